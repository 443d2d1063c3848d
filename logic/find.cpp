#include "logic/find.h"

#include "gamedata/itemdef.h"
#include "logic/refs.h"
#include "mission/mission.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <limits>

namespace {

bool containsNoCase(std::string_view text, std::string_view part) {
    if (part.empty()) return true;
    auto it = std::search(text.begin(), text.end(), part.begin(), part.end(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
    });
    return it != text.end();
}

bool set(std::int32_t criterion) { return criterion != kFindAny; }

}  // namespace

std::vector<std::int32_t> find_Items(const Mission& m, const FindCriteria& c,
                                     bool (*visible)(const Mission&, std::int32_t)) {
    const std::int32_t count = std::clamp(m.item_count, 0, kMaxItems);
    // The area's box, from its corners (none: nothing is inside).
    std::int32_t minX = std::numeric_limits<std::int32_t>::max(), maxX = std::numeric_limits<std::int32_t>::min();
    std::int32_t minY = minX, maxY = maxX;
    if (set(c.area)) {
        for (std::int32_t i = 0; i < count; ++i) {
            const MissionItem& it = m.items[std::size_t(i)];
            if (it.type_id != kAreaMarkerType || it.wpnumber != c.area) continue;
            minX = std::min(minX, it.x), maxX = std::max(maxX, it.x);
            minY = std::min(minY, it.y), maxY = std::max(maxY, it.y);
        }
    }
    std::vector<std::int32_t> out;
    for (std::int32_t i = 0; i < count; ++i) {
        const MissionItem& it = m.items[std::size_t(i)];
        if (set(c.typeId) && it.type_id != c.typeId) continue;
        if (set(c.kind) && it.kind != c.kind) continue;
        if (set(c.team) && it.team != c.team) continue;
        if (set(c.group) && it.group_id != c.group) continue;
        if (set(c.path) && (it.type_id == kAreaMarkerType || it.waypoint_id != c.path)) continue;
        if (set(c.layer) && it.layer != c.layer) continue;
        if ((std::uint32_t(it.bmsi_attributes) & c.attributes) != c.attributes) continue;
        if (set(c.area) && (it.x < minX || it.x > maxX || it.y < minY || it.y > maxY)) continue;
        if (!c.name.empty()) {
            const ItemDef* d = refs_ItemDef(it);
            if (!d || !containsNoCase(std::string_view(d->name, strnlen(d->name, sizeof d->name)), c.name)) continue;
        }
        if (visible && !visible(m, i)) continue;
        out.push_back(i);
    }
    return out;
}

#include "mission/index.h"

#include "gamedata/itemdef.h"

#include <algorithm>
#include <cstddef>
#include <utility>
#include <vector>

namespace {

// itemdef_FindByType for many items at once: the definitions' first index per type number in
// an open-addressed table, built afresh from the definition table each time, so it answers
// exactly as the linear search does whatever has happened to the table since.
class DefsByType {
public:
    DefsByType() {
        const std::int32_t count = std::max(itemdef_Count(), 0);
        std::size_t size = 16;
        while (size < std::size_t(count) * 2) size *= 2;
        slots_.assign(size, Slot{0, -1});
        mask_ = size - 1;
        for (std::int32_t i = 0; i < count; ++i) {
            const std::int32_t type = itemdef_At(i)->typeNumber;
            Slot& s = probe(type);
            if (s.def < 0) s = {type, i};  // the first definition of a type wins
        }
    }
    // The definition index, or 0 (as itemdef_FindByType) when no definition has the type.
    std::int32_t find(std::int32_t type) {
        if (type == last_type_ && last_def_ >= 0) return last_def_;
        const Slot& s = probe(type);
        last_type_ = type;
        last_def_ = s.def >= 0 ? s.def : 0;
        return last_def_;
    }

private:
    struct Slot {
        std::int32_t type, def;
    };
    Slot& probe(std::int32_t type) {
        std::size_t h = (std::uint32_t(type) * 0x9E3779B1u) & mask_;
        while (slots_[h].def >= 0 && slots_[h].type != type) h = (h + 1) & mask_;
        return slots_[h];
    }
    std::vector<Slot> slots_;
    std::size_t mask_ = 0;
    std::int32_t last_type_ = 0, last_def_ = -1;
};

// The marker definition must exist for markers of its type to count (as the editor has
// always done: without items.def there are no paths or areas).
bool hasDefinition(std::int32_t type) {
    const ItemDef* d = itemdef_At(itemdef_FindByType(type));
    return d && d->typeNumber == type;
}

}  // namespace

void mission_BuildIndex(const Mission& m, MissionIndex& index) {
    const std::int32_t count = std::clamp(m.item_count, 0, kMaxItems);
    index.item_count = count;
    for (PathPoints& p : index.paths) p.point_count = 0;
    index.group_members.fill(0);
    for (AreaBounds& a : index.areas) a.in_use = 0;

    DefsByType defs;
    const bool paths = hasDefinition(kWaypointMarkerType);
    const bool areas = hasDefinition(kAreaMarkerType);
    for (std::int32_t i = 0; i < count; ++i) {
        const MissionItem& item = m.items[std::size_t(i)];
        index.def_index[std::size_t(i)] = defs.find(item.type_id);
        const std::int32_t g = item.group_id;
        if (g >= 1 && g < kMaxGroups) ++index.group_members[std::size_t(g)];

        if (item.type_id == kWaypointMarkerType && paths) {
            const std::int32_t w = item.waypoint_id;
            if (w < 1 || w >= kMaxWaypoints) continue;  // a stray marker belongs to no path
            PathPoints& p = index.paths[std::size_t(w)];
            if (p.point_count < kWaypointMaxPoints) p.points[std::size_t(p.point_count++)] = i;
        } else if (item.type_id == kAreaMarkerType && areas) {
            const std::int32_t n = item.wpnumber;
            if (n < 1 || n >= kMaxAreaTriggers) continue;
            AreaBounds& a = index.areas[std::size_t(n)];
            if (!a.in_use) {
                a = {n, i, item.x, item.y, item.x, item.y};
                continue;
            }
            if (item.x < a.min_x) {
                a.min_x = item.x;
                a.leftmost = i;
            }
            a.max_x = std::max(a.max_x, item.x);
            a.min_y = std::min(a.min_y, item.y);
            a.max_y = std::max(a.max_y, item.y);
        }
    }

    // Each path in wpnumber order, with the exchange sort the saved files have always been
    // written with: each later point with a smaller wpnumber is swapped into position i (the
    // order of equal numbers is part of what the export writes).
    for (PathPoints& p : index.paths) {
        for (std::int32_t i = 0; i < p.point_count; ++i)
            for (std::int32_t j = i + 1; j < p.point_count; ++j)
                if (m.items[std::size_t(p.points[std::size_t(j)])].wpnumber <
                    m.items[std::size_t(p.points[std::size_t(i)])].wpnumber)
                    std::swap(p.points[std::size_t(i)], p.points[std::size_t(j)]);
    }
}

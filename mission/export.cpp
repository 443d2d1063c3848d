// The binary mission export. The page's items are sorted by type and waypoint number and split
// into four sections by kind, each cut to what the game accepts (with a warning); waypoints,
// groups and wav lists follow as whole fixed tables; the events are flattened into an event
// table and one table each of all trigger and action rows. Every record is written field by
// field, little-endian, into a buffer that the file layer then writes in one piece.
#include "mission/export.h"
#include "core/bytes.h"

#include "core/file.h"
#include "core/text.h"
#include "gamedata/sky.h"
#include "mission/index.h"
#include "mission/mission.h"
#include "platform/ui.h"

#include <algorithm>
#include <memory>
#include <cstring>
#include <numeric>

namespace {

class Bytes {
public:
    explicit Bytes(std::vector<std::uint8_t>& b) : b_(b) {}
    void i32(std::int32_t v) { le_Append32(b_, static_cast<std::uint32_t>(v)); }
    void i16(std::int32_t v) { le_Append16(b_, static_cast<std::uint16_t>(static_cast<std::uint32_t>(v))); }
    void u8(std::int32_t v) { b_.push_back(static_cast<std::uint8_t>(static_cast<std::uint32_t>(v))); }
    void zeros(std::size_t n) { b_.insert(b_.end(), n, 0); }
    // A text cut to width: NUL-padded when shorter, unterminated when it fills the field.
    void text(std::string_view t, std::size_t width) {
        const std::size_t n = std::min(t.size(), width);
        b_.insert(b_.end(), t.begin(), t.begin() + static_cast<std::ptrdiff_t>(n));
        zeros(width - n);
    }
    std::size_t size() const { return b_.size(); }

private:
    std::vector<std::uint8_t>& b_;
};

template <std::size_t N>
std::string_view text(const char (&field)[N]) {
    return mission_Text(field);
}

// Positions go out in 1/65536 m. A position beyond what that can hold wraps as the game's
// own 32-bit arithmetic would, without overflowing here.
std::int32_t times256(std::int32_t v) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::int64_t>(v) * 256));
}

enum Section { kSecItems = 0, kSecDecor = 1, kSecMarkers = 2, kSecPersons = 3 };

int sectionOf(std::int32_t kind) {
    switch (kind) {
    case 2:
    case 5: return kSecDecor;  // decoration, building
    case 4: return kSecMarkers;
    case 3: return kSecPersons;
    default: return kSecItems;  // vehicle, object, anything else
    }
}

// Sorts the used items by type_id, then wpnumber. Items equal in both keys keep their order.
void sortItems(Mission& m) {
    const int count = std::clamp(m.item_count, 0, kMaxItems);
    std::vector<std::int32_t> order(static_cast<std::size_t>(count));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&m](std::int32_t a, std::int32_t b) {
        const MissionItem& x = m.items[std::size_t(a)];
        const MissionItem& y = m.items[std::size_t(b)];
        if (x.type_id != y.type_id) return x.type_id < y.type_id;
        return x.wpnumber < y.wpnumber;
    });
    bool moved = false;
    for (int i = 0; i < count && !moved; ++i) moved = order[std::size_t(i)] != i;
    if (!moved) return;
    std::vector<MissionItem> sorted(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        sorted[std::size_t(i)] = m.items[std::size_t(order[std::size_t(i)])];
    }
    std::copy(sorted.begin(), sorted.end(), m.items.begin());
}

void writeHeader(Bytes& o, const Mission& m, const std::int32_t counts[4], const BmsSky& sky) {
    const GeneralInfo& g = m.info;
    o.u8('B');
    o.u8('M');
    o.u8('S');
    o.u8(15);
    o.text(text(g.name), 32);
    o.text(text(g.designer), 32);
    o.text(text(g.terrain), 16);
    o.text(text(g.cnv_file), 16);
    o.text(text(g.tt_file), 16);
    o.i32(g.terrain_color);
    o.i32(g.attrib);
    o.i32(g.visible_if);
    o.i32(g.notvisible_if);
    o.i32(g.arty);
    o.i32(g.water_level);
    o.i32(g.fog_level);
    o.i32(g.fog_color);
    for (auto e : g.default_equipment) o.u8(e);
    for (int s = 0; s < 4; ++s) o.i32(counts[s]);
    o.i32(std::clamp(m.event_count, 0, kMaxEvents));
    o.i32(g.weather_type);
    for (auto v : g.subgoals_win) o.u8(v);
    for (auto v : g.subgoals_lose) o.u8(v);
    o.text(std::string_view(sky.clouds, strnlen(sky.clouds, sizeof sky.clouds)), 16);
    o.text(std::string_view(sky.skygrad, strnlen(sky.skygrad, sizeof sky.skygrad)), 16);
    o.i32(sky.skyheight);
    o.i32(sky.horizon);
    o.u8(sky.gamma);
    o.u8(sky.sat);
    o.u8(sky.r);
    o.u8(sky.g);
    o.u8(sky.b);
    o.zeros(3);
    o.i32(g.wind[0]);
    o.i32(g.wind[1]);
    o.zeros(24);
    o.text(text(g.briefing), 256);
}

void writeItem(Bytes& o, const MissionItem& it) {
    o.i32(it.type_id);
    o.i32(it.name_index);
    o.i32(it.id);
    o.i32(it.bmsi_attributes);
    o.i32(times256(it.x));
    o.i32(times256(it.y));
    o.i32(times256(it.z));
    o.i32(it.wpdistance);
    o.i32(it.waccuracy);
    o.i32(it.perception);
    o.i32(it.perfectionist);
    o.i32(it.edistances[0]);
    o.i32(it.edistances[1]);
    o.i16(it.heading % 360);  // the remainder keeps the heading's sign
    o.i16(it.pitch);
    o.i16(it.fov);
    o.i16(it.movetimer);
    o.i16(it.crouchtimer);
    o.i16(it.shoottimer);
    o.i16(it.attention);
    o.u8(it.alert_state);
    o.u8(it.team);
    o.u8(it.nomorethan);
    o.u8(it.nolessthan);
    o.u8(it.weapon_type);
    o.u8(it.sweapon_type);
    o.u8(it.group_id);
    o.u8(it.waypoint_id);
    o.u8(it.wpnumber);
    o.u8(it.obliqueness);
    o.u8(it.map_symbol);
    o.zeros(3);
    o.i32(it.group_rel);
    o.i32(it.advancetimer);
    o.i32(it.ttoolindex);
    o.i32(0);
}

void warnLimit(const char* key, std::int32_t count, std::int32_t limit) {
    ui_MessageBox(text_Printf("Dialog Message", key, {count, limit}), text_Get("Dialog Message", "WARNING"),
                  MsgIcon::None, MsgButtons::Ok);
}

}  // namespace

BmsSky export_SkyFor(std::int32_t sunsetNumber) {
    BmsSky sky;
    const Sunset* chosen = nullptr;
    for (std::int32_t i = 0; i < sky_Count() && !chosen; ++i) {
        const Sunset* s = sky_At(i);
        if (s && s->number == sunsetNumber) chosen = s;
    }
    if (!chosen) chosen = sky_At(0);
    if (chosen) {
        std::memcpy(sky.clouds, chosen->clouds, sizeof sky.clouds);
        std::memcpy(sky.skygrad, chosen->skyGradient, sizeof sky.skygrad);
        sky.skyheight = chosen->skyHeight;
        sky.horizon = chosen->horizon;
        sky.gamma = chosen->gamma;
        sky.sat = chosen->saturation;
        sky.r = chosen->red;
        sky.g = chosen->green;
        sky.b = chosen->blue;
    }
    return sky;
}

std::vector<std::uint8_t> mission_ExportBinaryBytes(const Mission& page, const BmsSky* skyIn) {
    const BmsSky sky = skyIn ? *skyIn : export_SkyFor(page.info.sunset);
    // The game wants the items sorted: that is done on a copy of the tables, so the page, its
    // order, its history and its modified state stay as they were.
    auto copy = std::make_unique<Mission>();
    static_cast<MissionTables&>(*copy) = static_cast<const MissionTables&>(page);
    Mission& m = *copy;
    sortItems(m);
    const int itemCount = std::clamp(m.item_count, 0, kMaxItems);

    std::int32_t counts[4] = {0, 0, 0, 0};
    for (int i = 0; i < itemCount; ++i) ++counts[sectionOf(m.items[std::size_t(i)].kind)];
    // The game's limits, warned about in this order.
    struct Limit {
        int section;
        std::int32_t max;
        const char* key;
    };
    constexpr Limit kLimits[] = {{kSecDecor, kBmsMaxDecor, "TOO_MANY_DECOR"},
                                 {kSecMarkers, kBmsMaxMarkers, "TOO_MANY_MARKERS"},
                                 {kSecPersons, kBmsMaxPersons, "TOO_MANY_ORGANICS"},
                                 {kSecItems, kBmsMaxItems, "TOO_MANY_ITEMS"}};
    for (const Limit& l : kLimits) {
        if (counts[l.section] > l.max) {
            warnLimit(l.key, counts[l.section], l.max);
            counts[l.section] = l.max;
        }
    }

    const int eventCount = std::clamp(m.event_count, 0, kMaxEvents);
    std::size_t rows = 0;
    for (int e = 0; e < eventCount; ++e)
        rows += std::size_t(std::clamp(m.events[std::size_t(e)].trigger_count, 0, kEventMaxTriggers) +
                            std::clamp(m.events[std::size_t(e)].action_count, 0, kEventMaxActions));
    std::vector<std::uint8_t> buf;
    buf.reserve(kBmsEmptySize + std::size_t(counts[0] + counts[1] + counts[2] + counts[3]) * kBmsItemSize +
                std::size_t(eventCount) * kBmsEventSize + rows * kBmsRowSize);
    Bytes o(buf);
    writeHeader(o, m, counts, sky);

    for (int s = 0; s < 4; ++s) {
        std::int32_t written = 0;
        for (int i = 0; i < itemCount && written < counts[s]; ++i) {
            const MissionItem& it = m.items[std::size_t(i)];
            if (sectionOf(it.kind) != s) continue;
            writeItem(o, it);
            ++written;
        }
    }

    // Waypoints: each point as its position within the markers section, i.e. the number of
    // marker-kind items before it in the sorted table.
    const auto index = std::make_unique<MissionIndex>();
    mission_BuildIndex(m, *index);
    std::vector<std::int32_t> markersBefore(std::size_t(itemCount) + 1, 0);
    for (int i = 0; i < itemCount; ++i)
        markersBefore[std::size_t(i) + 1] = markersBefore[std::size_t(i)] + (m.items[std::size_t(i)].kind == 4 ? 1 : 0);
    for (int w = 0; w < kBmsWaypoints; ++w) {
        const PathPoints& path = index->paths[std::size_t(w)];
        o.i32(m.waypoints[std::size_t(w)].attrib);
        o.i32(path.point_count);
        const int shown = std::clamp(path.point_count, 0, kBmsWaypointPoints);
        for (int k = 0; k < kBmsWaypointPoints; ++k) {
            std::int32_t number = 0;
            if (k < shown) {
                const std::int32_t idx = path.points[std::size_t(k)];
                if (idx >= 0 && idx < itemCount) number = markersBefore[std::size_t(idx)];
            }
            o.i32(number);
        }
    }

    for (int g = 0; g < kBmsGroups; ++g) {
        const Group& gr = m.groups[std::size_t(g)];
        o.i32(gr.attrib & 3);
        o.i32(0);
        o.i32(gr.commander);
        o.i32(10);
        o.zeros(16);
    }

    for (int w = 0; w < kBmsWavs; ++w) {
        o.i32(0);
        o.text(text(m.wav_lists[std::size_t(w)].file_name), 16);
    }

    // Each event's first trigger and first action row: running totals over the events before.
    std::vector<std::int32_t> firstTrigger(static_cast<std::size_t>(eventCount), 0), firstAction(firstTrigger);
    std::int32_t triggerTotal = 0, actionTotal = 0;
    for (int e = 0; e < eventCount; ++e) {
        const MissionEvent& ev = m.events[std::size_t(e)];
        firstTrigger[std::size_t(e)] = triggerTotal;
        firstAction[std::size_t(e)] = actionTotal;
        triggerTotal += std::clamp(ev.trigger_count, 0, kEventMaxTriggers);
        actionTotal += std::clamp(ev.action_count, 0, kEventMaxActions);
    }
    o.i32(eventCount);
    o.i32(triggerTotal);
    o.i32(actionTotal);
    for (int e = 0; e < eventCount; ++e) {
        const MissionEvent& ev = m.events[std::size_t(e)];
        o.i32(ev.attrib);
        o.i32(firstTrigger[std::size_t(e)]);
        o.i32(firstAction[std::size_t(e)]);
        o.i16(0);
        o.i16(static_cast<std::int32_t>(static_cast<std::uint32_t>(ev.reset_value) * 50u));
        o.i16(0);
        o.i16(static_cast<std::int32_t>(static_cast<std::uint32_t>(ev.delay_value) * 50u));
        o.u8(0);
        o.u8(std::clamp(ev.trigger_count, 0, kEventMaxTriggers));
        o.u8(std::clamp(ev.action_count, 0, kEventMaxActions));
        o.u8(0);
    }
    for (int e = 0; e < eventCount; ++e) {
        const MissionEvent& ev = m.events[std::size_t(e)];
        for (int r = 0; r < std::clamp(ev.trigger_count, 0, kEventMaxTriggers); ++r) {
            const EventTrigger& t = ev.triggers[std::size_t(r)];
            for (std::int32_t v : {t.flags, t.type, t.condition, t.var1, t.var2, t.var3, t.var4, t.spare}) o.i32(v);
        }
    }
    for (int e = 0; e < eventCount; ++e) {
        const MissionEvent& ev = m.events[std::size_t(e)];
        for (int r = 0; r < std::clamp(ev.action_count, 0, kEventMaxActions); ++r) {
            const EventAction& a = ev.actions[std::size_t(r)];
            for (std::int32_t v : {a.spare0, a.type, a.subtype, a.var1, a.var2, a.var3, a.var4, a.spare7}) o.i32(v);
        }
    }
    return buf;
}

int mission_ExportBinaryWithSky(const Mission& m, const char* path, const BmsSky* sky) {
    if (!path || !*path) return 0;
    const std::vector<std::uint8_t> bytes = mission_ExportBinaryBytes(m, sky);
    return file_WriteAtomic(path, bytes.data(), bytes.size()) ? 1 : 0;
}

int mission_ExportBinary(const Mission& m, const char* path) { return mission_ExportBinaryWithSky(m, path, nullptr); }

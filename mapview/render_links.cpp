// View > Show Links: a thin line from each unit of a group to the first marker of the path it
// follows, in the path's colour. The first markers are found from the markers themselves, so
// the links need nothing derived beyond what the page holds.
#include "mapview/render.h"

#include "mapview/view.h"
#include "mission/mission.h"

#include <algorithm>
#include <array>

void render_Links(const RenderFrame& f, const Mission& page, const ViewState& view) {
    constexpr std::int32_t kNone = -1;
    std::array<std::int32_t, kMaxWaypoints> first;
    first.fill(kNone);
    const std::int32_t count = std::clamp(page.item_count, 0, kMaxItems);
    for (std::int32_t i = 0; i < count; ++i) {
        const MissionItem& m = page.items[std::size_t(i)];
        if (m.type_id != kWaypointMarkerType || m.waypoint_id < 1 || m.waypoint_id >= kMaxWaypoints) continue;
        std::int32_t& slot = first[std::size_t(m.waypoint_id)];
        if (slot == kNone || m.wpnumber < page.items[std::size_t(slot)].wpnumber) slot = i;
    }
    for (std::int32_t i = 0; i < count; ++i) {
        const MissionItem& unit = page.items[std::size_t(i)];
        if (unit.group_id <= 0 || unit.type_id == kWaypointMarkerType || unit.type_id == kAreaMarkerType) continue;
        if (unit.waypoint_id < 1 || unit.waypoint_id >= kMaxWaypoints) continue;
        const std::int32_t marker = first[std::size_t(unit.waypoint_id)];
        if (marker == kNone || !mission_ItemShown(page, i, view.show_flags)) continue;
        const MissionItem& to = page.items[std::size_t(marker)];
        render_DrawLine(f, unit.x, unit.y, to.x, to.y, render_CodeColour(page.waypoints[std::size_t(unit.waypoint_id)].color));
    }
}

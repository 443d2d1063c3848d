// View > Show Links: a thin line from each unit of a group to the first marker of the path it
// follows (the first point of the path in the page's index), in the path's colour.
#include "mapview/render.h"

#include "mapview/view.h"
#include "mission/index.h"
#include "mission/mission.h"

#include <algorithm>

void render_Links(const RenderFrame& f, const Mission& page, const MissionIndex& index, const ViewState& view) {
    const std::int32_t count = std::clamp(page.item_count, 0, kMaxItems);
    for (std::int32_t i = 0; i < count; ++i) {
        const MissionItem& unit = page.items[std::size_t(i)];
        if (unit.group_id <= 0 || unit.type_id == kWaypointMarkerType || unit.type_id == kAreaMarkerType) continue;
        if (unit.waypoint_id < 1 || unit.waypoint_id >= kMaxWaypoints) continue;
        const PathPoints& path = index.paths[std::size_t(unit.waypoint_id)];
        if (path.point_count <= 0 || !mission_ItemShown(page, i, view.show_flags)) continue;
        const std::int32_t marker = path.points[0];
        if (marker < 0 || marker >= count) continue;
        const MissionItem& to = page.items[std::size_t(marker)];
        render_DrawLine(f, unit.x, unit.y, to.x, to.y,
                        render_CodeColour(page.waypoints[std::size_t(unit.waypoint_id)].color));
    }
}

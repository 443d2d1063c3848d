// What is worked out from a page's content rather than held in it: the item definition of
// every item, the point lists of the waypoint paths, the member counts of the groups and the
// bounds of the area triggers. None of it is saved, compared by the undo or restored by it.
//
// mission_BuildIndex makes one from a page it only reads. Whoever needs the data builds it
// when they use it (the renderer once a frame, the writer and the export once a file, an
// editor when it shows a count), so an index never outlives the page state it was built
// from. The item indexes it holds are still checked against the page's item count where they
// are used.
#pragma once

#include "mission/mission.h"

#include <array>
#include <cstdint>

// The markers of one waypoint path: item indexes ordered by wpnumber (markers with the same
// wpnumber keep no particular order).
struct PathPoints {
    std::int32_t point_count;  // 0..kWaypointMaxPoints; markers beyond are left out
    std::array<std::int32_t, kWaypointMaxPoints> points;
};

// The rectangle around the markers of one area trigger, in world units.
struct AreaBounds {
    std::int32_t in_use;    // the area number when a marker exists, else 0
    std::int32_t leftmost;  // item index of the first marker with the smallest x
    std::int32_t min_x, max_y, max_x, min_y;
};

struct MissionIndex {
    std::int32_t item_count;                             // items of the page it was built from
    std::array<std::int32_t, kMaxItems> def_index;       // itemdef_FindByType of each item's type
    std::array<PathPoints, kMaxWaypoints> paths;         // [0] stays empty
    std::array<std::int32_t, kMaxGroups> group_members;  // [0] counts no group
    std::array<AreaBounds, kMaxAreaTriggers> areas;      // [0] stays unused
};

// Fills index from the page. Only the parts a reader looks at are written: the point lists
// past each path's count are left as they were.
void mission_BuildIndex(const Mission& m, MissionIndex& index);

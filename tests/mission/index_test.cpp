// What mission_BuildIndex works out from a page: paths, member counts, area bounds and the
// items' definitions; and the tidying of stray waypoint markers.
#include "mission/index.h"

#include "gamedata/itemdef.h"

#include "support/mission_pages.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <utility>
#include <vector>

namespace {

std::unique_ptr<MissionIndex> indexOf(const Mission& m) {
    auto index = std::make_unique<MissionIndex>();
    // Stale contents from an earlier build must not show through.
    std::memset(static_cast<void*>(index.get()), 0x5A, sizeof(MissionIndex));
    mission_BuildIndex(m, *index);
    return index;
}

std::vector<std::int32_t> points(const MissionIndex& index, std::size_t path) {
    const PathPoints& p = index.paths[path];
    return {p.points.begin(), p.points.begin() + p.point_count};
}

}  // namespace

TEST(MissionIndexPaths, OrderedByNumberWithStrayMarkersOnNoPath) {
    ScopedItemDefs defs;
    auto m = test_NewMission();
    auto marker = [&](std::int32_t path, std::int32_t number) {
        const std::int32_t i = test_AddItem(*m, kWaypointMarkerType);
        m->items[i].waypoint_id = path;
        m->items[i].wpnumber = number;
        return i;
    };
    const std::int32_t a3 = marker(1, 30);
    const std::int32_t b1 = marker(2, 1);
    const std::int32_t a1 = marker(1, 10);
    const std::int32_t none = marker(0, 1);
    const std::int32_t far = marker(200, 1);
    const std::int32_t a2 = marker(1, 20);
    const std::int32_t a0 = marker(1, -5);
    // A person following path 1 is no point of it.
    const std::int32_t person = test_AddItem(*m, kTestRifleman);
    m->items[person].waypoint_id = 1;

    auto index = indexOf(*m);
    EXPECT_EQ(points(*index, 1), (std::vector<std::int32_t>{a0, a1, a2, a3}));
    EXPECT_EQ(points(*index, 2), (std::vector<std::int32_t>{b1}));
    EXPECT_EQ(index->paths[5].point_count, 0);
    EXPECT_EQ(index->paths[0].point_count, 0);
    // Building reads the page only: the stray marker keeps its number until tidied.
    EXPECT_EQ(m->items[far].waypoint_id, 200);

    // A rebuild after a delete follows the new indexes.
    mission_Select(*m, b1);
    mission_DeleteSelected(*m);
    index = indexOf(*m);
    EXPECT_EQ(points(*index, 1), (std::vector<std::int32_t>{a0 - 1, a1 - 1, a2 - 1, a3}));
    EXPECT_EQ(index->paths[2].point_count, 0);

    // Tidying gives the stray marker path 0 and touches nothing else.
    EXPECT_EQ(mission_TidyStrayMarkers(*m), 1);
    EXPECT_EQ(m->items[far - 1].waypoint_id, 0);
    EXPECT_EQ(m->items[none - 1].waypoint_id, 0);
    EXPECT_EQ(m->items[person - 1].waypoint_id, 1);
    EXPECT_EQ(mission_TidyStrayMarkers(*m), 0);
}

TEST(MissionIndexPaths, APathListsAtMostSixtyFourMarkers) {
    ScopedItemDefs defs;
    auto m = test_NewMission();
    for (int i = 0; i < 70; ++i) {
        const std::int32_t index = test_AddItem(*m, kWaypointMarkerType);
        m->items[index].waypoint_id = 127;
        m->items[index].wpnumber = 100 - i;
    }
    const auto index = indexOf(*m);
    ASSERT_EQ(index->paths[127].point_count, kWaypointMaxPoints);
    // The first 64 markers in table order, sorted: the 64th (wpnumber 37) comes first.
    EXPECT_EQ(index->paths[127].points[0], 63);
    EXPECT_EQ(index->paths[127].points[63], 0);
}

TEST(MissionIndexPaths, MarkerDefinitionMissingOrFirstInTheTable) {
    auto m = test_NewMission();
    {
        // No waypoint marker definition: no paths, and no marker counts as stray.
        ScopedItemDefs defs({{kTestRifleman, kItemPerson}});
        const std::int32_t i = test_AddItem(*m, kWaypointMarkerType);
        m->items[i].waypoint_id = 3;
        const std::int32_t far = test_AddItem(*m, kWaypointMarkerType);
        m->items[far].waypoint_id = 300;
        EXPECT_EQ(indexOf(*m)->paths[3].point_count, 0);
        EXPECT_FALSE(mission_IsStrayMarker(m->items[far]));
        EXPECT_EQ(mission_TidyStrayMarkers(*m), 0);
    }
    {
        // The marker as the very first definition still makes paths; an item of an unknown
        // type, which falls back to that definition, is no marker.
        ScopedItemDefs defs({{kWaypointMarkerType, kItemMarker}, {kTestRifleman, kItemPerson}});
        mission_Clear(*m);
        const std::int32_t i = test_AddItem(*m, kWaypointMarkerType);
        m->items[i].waypoint_id = 3;
        const std::int32_t stray = test_AddItem(*m, 4242);
        m->items[stray].waypoint_id = 3;
        const auto index = indexOf(*m);
        EXPECT_EQ(points(*index, 3), (std::vector<std::int32_t>{i}));
        EXPECT_EQ(index->def_index[std::size_t(stray)], 0);
    }
}

TEST(MissionIndexGroups, MembersAreCountedForValidGroupsOnly) {
    ScopedItemDefs defs;
    auto m = test_NewMission();
    for (std::int32_t g : {1, 1, 63, 0, 64, -1, 5, 1}) {
        const std::int32_t i = test_AddItem(*m, kTestRifleman);
        m->items[i].group_id = g;
    }
    const auto index = indexOf(*m);
    const std::vector<std::pair<std::size_t, std::int32_t>> expected = {{1, 3}, {5, 1}, {63, 1}, {0, 0}, {7, 0}};
    for (const auto& [group, count] : expected) EXPECT_EQ(index->group_members[group], count) << group;
}

TEST(MissionIndexAreas, BoundsAndLeftmostMarkerPerArea) {
    ScopedItemDefs defs;
    auto m = test_NewMission();
    auto marker = [&](std::int32_t area, std::int32_t x, std::int32_t y) {
        const std::int32_t i = test_AddItem(*m, kAreaMarkerType, x, y);
        m->items[i].wpnumber = area;
        return i;
    };
    marker(4, 50, 50);
    const std::int32_t left = marker(4, -10, 80);
    marker(4, -10, -30);  // as far left, but later: the first one stays the leftmost
    marker(4, 90, 0);
    marker(0, -999, 0);  // outside 1..99
    marker(100, -999, 0);
    const std::int32_t single = marker(99, 7, 8);
    const std::int32_t person = test_AddItem(*m, kTestRifleman, -500, -500);
    m->items[person].wpnumber = 4;

    const auto index = indexOf(*m);
    const AreaBounds& a = index->areas[4];
    EXPECT_EQ(a.in_use, 4);
    EXPECT_EQ(a.min_x, -10);
    EXPECT_EQ(a.max_x, 90);
    EXPECT_EQ(a.min_y, -30);
    EXPECT_EQ(a.max_y, 80);
    EXPECT_EQ(a.leftmost, left);
    EXPECT_EQ(index->areas[99].in_use, 99);
    EXPECT_EQ(index->areas[99].leftmost, single);
    EXPECT_EQ(index->areas[99].min_x, 7);
    EXPECT_EQ(index->areas[99].max_y, 8);
    EXPECT_EQ(index->areas[0].in_use, 0);
    EXPECT_EQ(index->areas[12].in_use, 0);
}

// The index answers as itemdef_FindByType for every item, also where definitions share a
// type number (the first wins) and where the table changed since the last build.
TEST(MissionIndexDefinitions, SameAsTheLinearLookup) {
    auto m = test_NewMission();
    const auto check = [&](const char* table) {
        mission_Clear(*m);
        for (std::int32_t type : {kTestJeep, 9999, kTestRifleman, kWaypointMarkerType, kTestJeep, -1, 0}) {
            const std::int32_t i = test_AddItem(*m, kTestRifleman);
            m->items[std::size_t(i)].type_id = type;
        }
        const auto index = indexOf(*m);
        ASSERT_EQ(index->item_count, m->item_count);
        for (std::int32_t i = 0; i < m->item_count; ++i)
            EXPECT_EQ(index->def_index[std::size_t(i)], itemdef_FindByType(m->items[std::size_t(i)].type_id))
                << table << ", type " << m->items[std::size_t(i)].type_id;
    };
    {
        ScopedItemDefs defs(
            {{kTestRifleman, kItemPerson}, {kTestJeep, kItemVehicle}, {kWaypointMarkerType, kItemMarker}});
        check("distinct types");
    }
    {
        ScopedItemDefs defs({{kTestJeep, kItemVehicle}, {kTestJeep, kItemObject}, {0, kItemObject}});
        check("a shared type");
    }
    {
        ScopedItemDefs defs(std::initializer_list<TestDef>{});
        check("no definitions");
    }
}

#include "mission/mission.h"

#include "support/mission_pages.h"
#include "support/text_tables.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr std::int32_t kInt32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kInt32Min = std::numeric_limits<std::int32_t>::min();

// The ids of the page's items in table order.
std::vector<std::int32_t> ids(const Mission& m) {
    std::vector<std::int32_t> out;
    for (std::int32_t i = 0; i < m.item_count; ++i) out.push_back(m.items[i].id);
    return out;
}

std::vector<std::int32_t> selection(const Mission& m) {
    return {m.selection.index.begin(), m.selection.index.begin() + m.selection.count};
}

// Terrain maps stand-in: the test never looks inside, it only counts releases.
int g_terrainReleases = 0;
void releaseTerrain(TerrainMaps* maps) {
    ++g_terrainReleases;
    delete[] reinterpret_cast<char*>(maps);
}

}  // namespace

// ---------------------------------------------------------------------------------------
// Clearing and text fields

TEST(MissionClear, EmptiesEveryTableAndReleasesOwnedData) {
    ScopedItemDefs defs;
    ScopedTextTable text(test_ReadSourceFile("data/text/mission.txt"));
    auto m = test_NewMission();
    mission_SetText(m->info.name, "Night raid");
    m->info.current_layer = 3;
    m->info.hidden_layers = 0x10;
    test_AddItem(*m, kTestRifleman);
    mission_Select(*m, 0);
    m->event_count = 2;
    mission_SetText(m->groups[5].description, "Alpha");
    mission_SetText(m->waypoints[1].description, "Patrol");
    m->wind_list.push_back(WindEntry{});
    m->wind_count = 1;
    m->terrain = TerrainMapsPtr(reinterpret_cast<TerrainMaps*>(new char[16]), releaseTerrain);
    g_terrainReleases = 0;

    mission_Clear(*m);

    EXPECT_EQ(m->item_count, 0);
    EXPECT_EQ(m->selection.count, 0);
    EXPECT_EQ(m->event_count, 0);
    EXPECT_EQ(m->info.current_layer, 0);
    EXPECT_EQ(m->info.hidden_layers, 0u);
    EXPECT_EQ(mission_Text(m->info.name), "");
    EXPECT_EQ(mission_Text(m->groups[5].description), "");
    EXPECT_EQ(mission_Text(m->waypoints[1].description), "");
    EXPECT_EQ(m->items[0].type_id, 0);
    EXPECT_TRUE(m->wind_list.empty());
    EXPECT_EQ(m->wind_count, 0);
    EXPECT_FALSE(m->terrain);
    EXPECT_EQ(g_terrainReleases, 1);

    // Groups 1 and 2 carry the player names; every other group is empty.
    EXPECT_EQ(mission_Text(m->groups[1].description), "Blue Players");
    EXPECT_EQ(mission_Text(m->groups[2].description), "Red Players");
    for (int g = 3; g < kMaxGroups; ++g) EXPECT_EQ(m->groups[g].description[0], '\0');
}

TEST(MissionClear, DefaultNamesGoToTheClearedPageOnly) {
    mission_ResetPages();
    MissionPages& pages = mission_Pages();
    // Both pages get their names at start-up, whichever is current.
    EXPECT_NE(mission_Text(pages.page[1].groups[1].description), "");
    EXPECT_NE(mission_Text(pages.page[1].groups[2].description), "");

    // A name the designer removed on the current page stays removed when another record
    // (the clipboard, on copy) is cleared.
    mission_SetText(pages.page[0].groups[1].description, "");
    mission_Clear(pages.clipboard);
    EXPECT_EQ(mission_Text(pages.page[0].groups[1].description), "");

    // Names already given are kept.
    mission_SetText(pages.page[0].groups[2].description, "Raiders");
    group_SetDefaultNames(pages.page[0]);
    EXPECT_EQ(mission_Text(pages.page[0].groups[2].description), "Raiders");
    EXPECT_NE(mission_Text(pages.page[0].groups[1].description), "");
    mission_ResetPages();
}

TEST(MissionText, LongTextIsCutToTheFieldAndTerminated) {
    char field[8];
    std::memset(field, 'x', sizeof field);
    mission_SetText(field, "0123456789");
    EXPECT_EQ(std::string(field), "0123456");
    mission_SetText(field, "ab");
    EXPECT_EQ(std::string(field), "ab");
    EXPECT_EQ(field[7], '\0');  // the rest of the field is zero, not left-over bytes

    // A field without a terminator reads up to its end, never beyond.
    char raw[4] = {'a', 'b', 'c', 'd'};
    EXPECT_EQ(mission_Text(raw), "abcd");
}

// ---------------------------------------------------------------------------------------
// Adding items: ids, defaults, capacity

TEST(MissionItems, IdsCountUpAndOnlyTheHighestIsGivenAgain) {
    ScopedItemDefs defs;
    auto m = test_NewMission();
    EXPECT_EQ(mission_NextItemId(*m), 1);
    for (int i = 0; i < 4; ++i) test_AddItem(*m, kTestRifleman);
    EXPECT_EQ(ids(*m), (std::vector<std::int32_t>{1, 2, 3, 4}));

    // Deleting the highest id lets it be given again.
    mission_Select(*m, 3);
    mission_DeleteSelected(*m);
    EXPECT_EQ(m->items[test_AddItem(*m, kTestRifleman)].id, 4);

    // Deleting any other id does not.
    mission_Select(*m, 1);
    mission_DeleteSelected(*m);
    EXPECT_EQ(m->items[test_AddItem(*m, kTestRifleman)].id, 5);
    EXPECT_EQ(ids(*m), (std::vector<std::int32_t>{1, 3, 4, 5}));
}

TEST(MissionItems, LargestIdFromAFileDoesNotWrapToANegativeId) {
    ScopedItemDefs defs;
    auto m = test_NewMission();
    test_AddItem(*m, kTestRifleman);
    test_AddItem(*m, kTestRifleman);
    m->items[0].id = kInt32Max;  // as a metafile may carry it
    // id 2 is taken; 1 is free again.
    EXPECT_EQ(mission_NextItemId(*m), 1);
    m->items[1].id = 1;
    EXPECT_EQ(mission_NextItemId(*m), 2);
}

TEST(MissionItems, NewItemsGetTheirDefinitionDefaultsAndTheCurrentLayer) {
    ScopedItemDefs defs;
    auto m = test_NewMission();
    m->info.current_layer = 7;
    const MissionItem& item = m->items[test_AddItem(*m, kTestJeep, 256, -512, 1024)];
    EXPECT_EQ(item.type_id, kTestJeep);
    EXPECT_EQ(mission_DefIndex(item), 6);
    EXPECT_EQ(item.kind, kItemVehicle);
    EXPECT_EQ(item.x, 256);
    EXPECT_EQ(item.y, -512);
    EXPECT_EQ(item.z, 1024);
    EXPECT_EQ(item.layer, 7);
    EXPECT_EQ(item.team, kTeamNeutral);
    EXPECT_EQ(item.wpdistance, 4);
    EXPECT_EQ(item.fov, 180);
    EXPECT_EQ(item.obliqueness, 15);
    EXPECT_EQ(item.movetimer, 3);
    EXPECT_EQ(item.crouchtimer, 3);
    EXPECT_EQ(item.shoottimer, 5);
    EXPECT_EQ(item.attention, 30);
    EXPECT_EQ(item.advancetimer, 10);
    EXPECT_EQ(item.waccuracy, 100);
    EXPECT_EQ(item.perception, 100);
    EXPECT_EQ(item.perfectionist, 100);
    EXPECT_EQ(item.edistances[0], 16);
    EXPECT_EQ(item.edistances[1], 1024);
    EXPECT_EQ(item.hidden, 0);
    EXPECT_EQ(item.group_id, 0);

    // Team from the definition's attributes; evil wins when both are set.
    EXPECT_EQ(m->items[test_AddItem(*m, kTestGoodGuard)].team, kTeamGood);
    EXPECT_EQ(m->items[test_AddItem(*m, kTestEvilGuard)].team, kTeamEvil);
    EXPECT_EQ(m->items[test_AddItem(*m, kTestTurncoat)].team, kTeamEvil);
}

TEST(MissionItems, UnknownTypesFallBackToTheFirstDefinition) {
    auto m = test_NewMission();
    {
        ScopedItemDefs defs;
        const MissionItem& item = m->items[test_AddItem(*m, 9999)];
        EXPECT_EQ(item.type_id, 9999);  // the type stays as given
        EXPECT_EQ(mission_DefIndex(item), 0);
        EXPECT_EQ(item.kind, kItemPerson);
    }
    // With no definitions at all the item still goes in, with no kind.
    ScopedItemDefs none(std::initializer_list<TestDef>{});
    const MissionItem& item = m->items[test_AddItem(*m, kTestJeep)];
    EXPECT_EQ(mission_DefIndex(item), 0);
    EXPECT_EQ(item.kind, 0);
    EXPECT_EQ(item.team, kTeamNeutral);
}

TEST(MissionItems, FullTableRefusesAddAndCopy) {
    ScopedItemDefs defs;
    auto m = test_NewMission();
    for (int i = 0; i < kMaxItems; ++i) ASSERT_EQ(mission_AddItem(*m, kTestCrate, i, 0, 0), i);
    EXPECT_EQ(mission_AddItem(*m, kTestCrate, 0, 0, 0), -1);
    EXPECT_EQ(mission_InsertItemCopy(*m, m->items[0]), -1);
    EXPECT_EQ(m->item_count, kMaxItems);
    EXPECT_EQ(m->items[kMaxItems - 1].id, kMaxItems);

    // Copying the selection into the same full page adds nothing and leaves the copies'
    // selection empty.
    mission_Select(*m, 10);
    EXPECT_EQ(mission_CopySelected(*m, *m, 0, 0, 0), 0);
    EXPECT_EQ(m->item_count, kMaxItems);
    EXPECT_EQ(m->selection.count, 0);
}

TEST(MissionItems, InsertedCopyKeepsEverythingButIdAndLayer) {
    ScopedItemDefs defs;
    auto m = test_NewMission();
    test_AddItem(*m, kTestRifleman);
    MissionItem proto = m->items[0];
    proto.id = 77;
    proto.layer = 9;
    proto.group_id = 5;
    proto.waypoint_id = 12;
    proto.hidden = 1;
    proto.loadout = {1, 2, 3, 4, 5};
    m->info.current_layer = 2;
    const MissionItem& copy = m->items[mission_InsertItemCopy(*m, proto)];
    EXPECT_EQ(copy.id, 2);
    EXPECT_EQ(copy.layer, 2);
    EXPECT_EQ(copy.group_id, 5);
    EXPECT_EQ(copy.waypoint_id, 12);
    EXPECT_EQ(copy.hidden, 1);  // only the selection copy shows its items
    EXPECT_EQ(copy.loadout[4], 5);

    // Copying an item of the same table onto its end.
    const std::int32_t again = mission_InsertItemCopy(*m, m->items[1]);
    EXPECT_EQ(m->items[again].id, 3);
    EXPECT_EQ(m->items[again].group_id, 5);
}

// ---------------------------------------------------------------------------------------
// Delete and its order rules

TEST(MissionDelete, RemovesSelectedItemsAndKeepsTheOrderOfTheRest) {
    ScopedItemDefs defs;
    // The same items go, whatever order they were selected in.
    const std::vector<std::vector<std::int32_t>> orders = {{2, 5}, {5, 2}};
    for (const auto& order : orders) {
        auto m = test_NewMission();
        for (int i = 0; i < 7; ++i) test_AddItem(*m, kTestRifleman, i);
        m->marks[3] = kItemMarkDisplay;
        for (std::int32_t index : order) mission_Select(*m, index);
        mission_DeleteSelected(*m);
        EXPECT_EQ(ids(*m), (std::vector<std::int32_t>{1, 2, 4, 5, 7}));
        EXPECT_EQ(m->selection.count, 0);
        EXPECT_EQ(m->marks[2], 0u);         // clearing the selection clears the marks
        EXPECT_EQ(m->items[5].type_id, 0);  // freed records are blank
    }

    // Later entries that follow a removed one shift down: select 4, 1, 5 of 6.
    auto m = test_NewMission();
    for (int i = 0; i < 6; ++i) test_AddItem(*m, kTestRifleman);
    for (std::int32_t index : {4, 1, 5}) mission_Select(*m, index);
    mission_DeleteSelected(*m);
    EXPECT_EQ(ids(*m), (std::vector<std::int32_t>{1, 3, 4}));
}

TEST(MissionDelete, RepeatedOrStaleSelectionEntriesRemoveNothingElse) {
    ScopedItemDefs defs;
    auto m = test_NewMission();
    for (int i = 0; i < 5; ++i) test_AddItem(*m, kTestRifleman);
    // A selection written directly (not through mission_Select) may repeat an index or name
    // one past the table; neither may cost another item.
    m->selection.index[0] = 1;
    m->selection.index[1] = 1;
    m->selection.index[2] = 9;
    m->selection.index[3] = -3;
    m->selection.count = 4;
    mission_DeleteSelected(*m);
    EXPECT_EQ(ids(*m), (std::vector<std::int32_t>{1, 3, 4, 5}));
    EXPECT_EQ(m->selection.count, 0);
    EXPECT_EQ(mission_RemoveItem(*m, 4), 0);
    EXPECT_EQ(mission_RemoveItem(*m, -1), 0);
}

// ---------------------------------------------------------------------------------------
// Selection

TEST(MissionSelection, SelectDeselectToggleKeepOrderAndRefuseBadIndexes) {
    ScopedItemDefs defs;
    auto m = test_NewMission();
    for (int i = 0; i < 5; ++i) test_AddItem(*m, kTestRifleman);
    EXPECT_EQ(mission_Select(*m, 3), 1);
    EXPECT_EQ(mission_Select(*m, 0), 1);
    EXPECT_EQ(mission_Select(*m, 3), 0);
    EXPECT_EQ(mission_Select(*m, 4), 1);
    EXPECT_EQ(mission_Select(*m, 5), 0);  // past the used items
    EXPECT_EQ(mission_Select(*m, -1), 0);
    EXPECT_EQ(selection(*m), (std::vector<std::int32_t>{3, 0, 4}));
    EXPECT_EQ(mission_ReferenceItem(*m), 4);

    EXPECT_EQ(mission_Deselect(*m, 0), 1);
    EXPECT_EQ(mission_Deselect(*m, 0), 0);
    EXPECT_EQ(selection(*m), (std::vector<std::int32_t>{3, 4}));

    EXPECT_EQ(mission_ToggleSelect(*m, 3), -1);
    EXPECT_EQ(mission_ToggleSelect(*m, 1), 1);
    EXPECT_EQ(mission_ToggleSelect(*m, 7), 0);
    EXPECT_EQ(selection(*m), (std::vector<std::int32_t>{4, 1}));
    EXPECT_TRUE(mission_IsSelected(*m, 1));
    EXPECT_FALSE(mission_IsSelected(*m, 3));

    m->marks[2] = kItemMarkDisplay | 1u;
    mission_ClearSelection(*m);
    EXPECT_EQ(m->selection.count, 0);
    EXPECT_EQ(m->marks[2], 1u);  // only the display mark goes
    EXPECT_EQ(mission_ReferenceItem(*m), -1);
}

// ---------------------------------------------------------------------------------------
// Copy and move

TEST(MissionCopy, CopiesDisplacedShownAndSelectedInSelectionOrder) {
    ScopedItemDefs defs;
    auto src = test_NewMission();
    auto dst = test_NewMission();
    test_AddItem(*src, kTestRifleman, 100, 200, 5);
    test_AddItem(*src, kTestJeep, 300, 400, 6);
    test_AddItem(*src, kTestCrate, 500, 600, 7);
    src->items[1].hidden = 1;
    src->items[1].group_id = 9;
    mission_Select(*src, 2);
    mission_Select(*src, 1);

    test_AddItem(*dst, kTestCrate);  // id 1 on the destination
    mission_Select(*dst, 0);
    dst->info.current_layer = 4;

    EXPECT_EQ(mission_CopySelected(*dst, *src, 10, 20, 30), 2);
    ASSERT_EQ(dst->item_count, 3);
    EXPECT_EQ(selection(*dst), (std::vector<std::int32_t>{1, 2}));  // old selection replaced
    const MissionItem& crate = dst->items[1];
    const MissionItem& jeep = dst->items[2];
    EXPECT_EQ(crate.type_id, kTestCrate);
    EXPECT_EQ(crate.x, 510);
    EXPECT_EQ(crate.y, 620);
    EXPECT_EQ(crate.z, 37);
    EXPECT_EQ(jeep.type_id, kTestJeep);
    EXPECT_EQ(jeep.hidden, 0);
    EXPECT_EQ(jeep.group_id, 9);
    EXPECT_EQ(crate.id, 2);
    EXPECT_EQ(jeep.id, 3);
    EXPECT_EQ(jeep.layer, 4);
    // The source is untouched.
    EXPECT_EQ(src->items[1].x, 300);
    EXPECT_EQ(selection(*src), (std::vector<std::int32_t>{2, 1}));
}

TEST(MissionCopy, CopyWithinOnePageCopiesTheOriginals) {
    ScopedItemDefs defs;
    auto m = test_NewMission();
    test_AddItem(*m, kTestRifleman, 1);
    test_AddItem(*m, kTestJeep, 2);
    mission_Select(*m, 0);
    mission_Select(*m, 1);
    EXPECT_EQ(mission_CopySelected(*m, *m, 100, 0, 0), 2);
    EXPECT_EQ(m->item_count, 4);
    EXPECT_EQ(m->items[2].x, 101);
    EXPECT_EQ(m->items[3].x, 102);
    EXPECT_EQ(selection(*m), (std::vector<std::int32_t>{2, 3}));
}

TEST(MissionCopy, CopyIntoANearlyFullPageDropsWhatDoesNotFit) {
    ScopedItemDefs defs;
    auto src = test_NewMission();
    auto dst = test_NewMission();
    for (int i = 0; i < 3; ++i) test_AddItem(*src, kTestRifleman, i);
    for (int i = 0; i < 3; ++i) mission_Select(*src, i);
    for (int i = 0; i < kMaxItems - 2; ++i) mission_AddItem(*dst, kTestCrate, 0, 0, 0);
    EXPECT_EQ(mission_CopySelected(*dst, *src, 0, 0, 0), 2);
    EXPECT_EQ(dst->item_count, kMaxItems);
    EXPECT_EQ(selection(*dst), (std::vector<std::int32_t>{kMaxItems - 2, kMaxItems - 1}));
    EXPECT_EQ(dst->items[kMaxItems - 1].x, 1);
}

TEST(MissionMove, MovesOnlySelectedItemsAndStopsAtTheCoordinateRange) {
    ScopedItemDefs defs;
    auto m = test_NewMission();
    test_AddItem(*m, kTestRifleman, 10, 20, 30);
    test_AddItem(*m, kTestRifleman, 10, 20, 30);
    test_AddItem(*m, kTestRifleman, kInt32Max - 5, kInt32Min + 5, 0);
    mission_Select(*m, 0);
    mission_Select(*m, 2);
    mission_MoveSelected(*m, 100, -100, 7);
    EXPECT_EQ(m->items[0].x, 110);
    EXPECT_EQ(m->items[0].y, -80);
    EXPECT_EQ(m->items[0].z, 37);
    EXPECT_EQ(m->items[1].x, 10);
    EXPECT_EQ(m->items[2].x, kInt32Max);
    EXPECT_EQ(m->items[2].y, kInt32Min);
}

TEST(MissionMove, ASelectionOffTheTerrainComesBackAsAWholeThenEachItemIsHeldAtTheEdge) {
    constexpr std::int32_t E = kTerrainHalfSide;
    struct Case {
        const char* what;
        std::vector<std::pair<std::int32_t, std::int32_t>> before, after;
    };
    const Case cases[] = {
        {"on the terrain: untouched", {{0, 0}, {E, -E}}, {{0, 0}, {E, -E}}},
        {"over the east edge: the group shifts back, its shape kept",
         {{E + 100, 5}, {E - 400, 7}},
         {{E, 5}, {E - 500, 7}}},
        {"over the south-west corner", {{-E - 10, -E - 20}, {-E + 90, -E}}, {{-E, -E}, {-E + 100, -E + 20}}},
        {"7,800 km off", {{1996800000, 0}}, {{E, 0}}},
        {"wider than the terrain: the far side held at the edge", {{-E - 10, 0}, {E + 10, 0}}, {{-E, 0}, {E, 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScopedItemDefs defs;
        auto m = test_NewMission();
        const std::int32_t outsider = test_AddItem(*m, kTestRifleman, 2 * E, 0, 0);  // not selected
        for (const auto& [x, y] : c.before) mission_Select(*m, test_AddItem(*m, kTestRifleman, x, y, 9));
        mission_HoldSelectionOnTerrain(*m);
        for (std::size_t i = 0; i < c.after.size(); ++i) {
            EXPECT_EQ(m->items[i + 1].x, c.after[i].first) << i;
            EXPECT_EQ(m->items[i + 1].y, c.after[i].second) << i;
            EXPECT_EQ(m->items[i + 1].z, 9);
        }
        EXPECT_EQ(m->items[std::size_t(outsider)].x, 2 * E);
    }
}

// ---------------------------------------------------------------------------------------
// Hiding, visibility, select by type

TEST(MissionSelectType, AddsShownItemsOfTheReferenceType) {
    ScopedItemDefs defs;
    auto m = test_NewMission();
    const std::int32_t first = test_AddItem(*m, kTestGoodGuard);  // team good
    test_AddItem(*m, kTestJeep);
    const std::int32_t hidden = test_AddItem(*m, kTestGoodGuard);
    const std::int32_t layered = test_AddItem(*m, kTestGoodGuard);
    const std::int32_t plain = test_AddItem(*m, kTestGoodGuard);
    const std::int32_t evil = test_AddItem(*m, kTestGoodGuard);
    const std::int32_t reference = test_AddItem(*m, kTestGoodGuard);
    m->items[hidden].hidden = 1;
    m->items[layered].layer = 5;
    m->info.hidden_layers = 1u << 5;
    m->items[evil].team = kTeamEvil;  // team evil switched off below

    // Nothing happens without a selection.
    mission_SelectType(*m, kShowEverything);
    EXPECT_EQ(m->selection.count, 0);

    mission_Select(*m, reference);
    const std::uint32_t flags =
        (1u << kItemPerson) | (1u << kItemVehicle) | (1u << (kTeamNeutral + 16)) | (1u << (kTeamGood + 16));
    mission_SelectType(*m, flags);
    EXPECT_EQ(selection(*m), (std::vector<std::int32_t>{reference, first, plain}));

    // The person filter off: nothing more comes in, nothing is dropped.
    mission_SelectType(*m, flags & ~(1u << kItemPerson));
    EXPECT_EQ(m->selection.count, 3);
}

TEST(MissionSelectType, OutOfRangeFieldsNeverShiftPastTheFlagWords) {
    ScopedItemDefs defs;
    auto m = test_NewMission();
    test_AddItem(*m, kTestRifleman);
    m->items[0].layer = 40;  // no layer bit: not hidden by a layer
    EXPECT_TRUE(mission_ItemShown(*m, 0, kShowEverything));
    m->items[0].kind = 33;  // no kind bit: never shown
    EXPECT_FALSE(mission_ItemShown(*m, 0, kShowEverything));
    m->items[0].kind = kItemPerson;
    m->items[0].team = -2;
    EXPECT_FALSE(mission_ItemShown(*m, 0, kShowEverything));
    EXPECT_FALSE(mission_ItemShown(*m, 1, kShowEverything));
}

TEST(MissionPages, CurrentPageAndClipboardAreSeparateRecords) {
    ScopedItemDefs defs;
    mission_ResetPages();
    MissionPages& pages = mission_Pages();
    EXPECT_EQ(&mission_CurrentPage(), &pages.page[0]);
    pages.current = 1;
    EXPECT_EQ(&mission_CurrentPage(), &pages.page[1]);
    test_AddItem(mission_CurrentPage(), kTestJeep);
    test_AddItem(mission_Clipboard(), kTestJeep);
    EXPECT_EQ(pages.page[0].item_count, 0);
    EXPECT_EQ(pages.page[1].item_count, 1);
    mission_ResetPages();
    EXPECT_EQ(pages.current, 0);
    EXPECT_EQ(pages.page[1].item_count, 0);
    EXPECT_EQ(pages.clipboard.item_count, 0);
}

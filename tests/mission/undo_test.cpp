// The page history: every kind of change taken back and done again to the exact tables, the
// saved position, and the memory budget.
#include "mission/undo.h"

#include "support/mission_pages.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

namespace {

// A page with a little of everything: items, an event, a waypoint description, a briefing.
void fill(Mission& m, int items) {
    for (int i = 0; i < items; ++i) test_AddItem(m, i % 3 ? kTestJeep : kTestRifleman, i * 512, -i * 256, 0);
    m.event_count = 1;
    mission_SetText(m.events[0].name, "start");
    mission_SetText(m.waypoints[1].description, "north road");
    mission_SetText(m.info.briefing, "Hold the bridge.");
    mission_SetText(m.info.terrain, "");
    m.wind_list.push_back(WindEntry{"gust", 1, 2, 90, 5, 0});
}

std::unique_ptr<Mission> copyOf(const Mission& m) {
    auto c = test_NewMission();
    std::memcpy(static_cast<MissionTables*>(c.get()), static_cast<const MissionTables*>(&m), sizeof(MissionTables));
    c->wind_list = m.wind_list;
    c->file_path = m.file_path;
    c->selection = m.selection;
    return c;
}

void select(Mission& m, std::initializer_list<int> indexes) {
    mission_ClearSelection(m);
    for (int i : indexes) mission_Select(m, i);
}

struct Change {
    const char* what;
    std::function<void(Mission&)> apply;
};

const std::vector<Change>& changes() {
    static const std::vector<Change> table = {
        {"move one item",
         [](Mission& m) {
             select(m, {3});
             mission_MoveSelected(m, 256, -512, 0);
         }},
        {"move many items",
         [](Mission& m) {
             mission_ClearSelection(m);
             for (int i = 0; i < m.item_count; i += 2) mission_Select(m, i);
             mission_MoveSelected(m, 70000, 3, 1);
         }},
        {"delete a selection",
         [](Mission& m) {
             select(m, {7, 1, 4});
             mission_DeleteSelected(m);
         }},
        {"insert an item", [](Mission& m) { test_AddItem(m, kTestCrate, 99, 98, 97); }},
        {"paste a copy",
         [](Mission& m) {
             select(m, {0, 2});
             mission_CopySelected(m, m, 1024, 0, 0);
         }},
        {"hide",
         [](Mission& m) {
             select(m, {5});
             mission_HideUnselected(m);
         }},
        {"wind list", [](Mission& m) { m.wind_list.clear(); }},
        {"clear the page", [](Mission& m) { mission_Clear(m); }},
        {"event edit",
         [](Mission& m) {
             m.events[0].triggers[0].type = 7;
             m.events[0].trigger_count = 1;
         }},
        {"briefing", [](Mission& m) { mission_SetText(m.info.briefing, "Take the bridge."); }},
        {"layers",
         [](Mission& m) {
             m.info.hidden_layers = 0x6;
             m.info.current_layer = 3;
             mission_SetText(m.layers[3].description, "Roads");
         }},
        {"last byte of the tables", [](Mission& m) { m.tank_loadout = 0x7F000001; }},
    };
    return table;
}

}  // namespace

TEST(UndoHistory, EveryKindOfChangeUndoesAndRedoesToTheExactTables) {
    ScopedItemDefs defs;
    for (const Change& c : changes()) {
        SCOPED_TRACE(c.what);
        auto m = test_NewMission();
        fill(*m, 40);
        m->file_path = "/missions/a.mis";
        select(*m, {2, 9});
        UndoHistory h;
        h.reset(*m, true);
        const auto before = copyOf(*m);
        c.apply(*m);
        const auto after = copyOf(*m);
        ASSERT_TRUE(h.commit(*m, "STEP", undo_Selection(*before)));
        EXPECT_FALSE(h.commit(*m, "STEP", undo_Selection(*m)));  // nothing new

        ASSERT_TRUE(h.undo(*m).done);
        EXPECT_TRUE(undo_SameContent(*m, *before));
        EXPECT_EQ(undo_Selection(*m), undo_Selection(*before));
        EXPECT_FALSE(h.pending(*m));
        ASSERT_TRUE(h.redo(*m).done);
        EXPECT_TRUE(undo_SameContent(*m, *after));
        EXPECT_EQ(undo_Selection(*m), undo_Selection(*after));
        EXPECT_FALSE(h.redo(*m).done);
    }
}

TEST(UndoHistory, AChainOfStepsWalksBackAndForthThroughEveryState) {
    ScopedItemDefs defs;
    auto m = test_NewMission();
    fill(*m, 30);
    UndoHistory h;
    h.reset(*m, true);
    std::vector<std::unique_ptr<Mission>> states;
    states.push_back(copyOf(*m));
    for (const Change& c : changes()) {
        const auto sel = undo_Selection(*m);
        c.apply(*m);
        ASSERT_TRUE(h.commit(*m, c.what, sel)) << c.what;
        states.push_back(copyOf(*m));
    }
    for (std::size_t i = states.size() - 1; i > 0; --i) {
        EXPECT_STREQ(h.undoName(), changes()[i - 1].what);
        ASSERT_TRUE(h.undo(*m).done);
        EXPECT_TRUE(undo_SameContent(*m, *states[i - 1])) << i;
    }
    EXPECT_FALSE(h.canUndo());
    for (std::size_t i = 1; i < states.size(); ++i) {
        ASSERT_TRUE(h.redo(*m).done);
        EXPECT_TRUE(undo_SameContent(*m, *states[i])) << i;
    }
}

TEST(UndoHistory, SelectionMarksAndFilePathAreNoSteps) {
    ScopedItemDefs defs;
    auto m = test_NewMission();
    fill(*m, 10);
    UndoHistory h;
    h.reset(*m, true);
    select(*m, {1, 2, 3});
    m->marks[2] = kItemMarkDisplay;
    EXPECT_FALSE(h.pending(*m));
    EXPECT_FALSE(h.commit(*m, "STEP", {}));
    // A save names the file without a step; the page is what that file holds.
    m->file_path = "/x.mis";
    h.markSaved(*m);
    EXPECT_FALSE(h.modified(*m));
}

// Every byte of the tables is content: a change anywhere, even in the last byte, is a step
// that undoes to the same page.
TEST(UndoHistory, AChangeAnywhereInTheTablesIsOneStep) {
    ScopedItemDefs defs;
    for (std::size_t offset : {std::size_t(0), sizeof(MissionTables) / 2, sizeof(MissionTables) - 1}) {
        auto m = test_NewMission();
        fill(*m, 3);
        const auto before = copyOf(*m);
        UndoHistory h;
        h.reset(*m, true);
        reinterpret_cast<std::uint8_t*>(static_cast<MissionTables*>(m.get()))[offset] ^= 0x41;
        EXPECT_TRUE(h.pending(*m)) << offset;
        EXPECT_TRUE(h.commit(*m, "STEP", {})) << offset;
        EXPECT_FALSE(h.commit(*m, "STEP", {})) << offset;
        ASSERT_TRUE(h.undo(*m).done);
        EXPECT_TRUE(undo_SameContent(*m, *before)) << offset;
        EXPECT_FALSE(h.modified(*m)) << offset;
    }
}

TEST(UndoHistory, ModifiedFollowsTheSavedPositionAndIsLostWhenItsStateIs) {
    ScopedItemDefs defs;
    auto m = test_NewMission();
    fill(*m, 5);
    UndoHistory h;
    h.reset(*m, true);
    EXPECT_FALSE(h.modified(*m));
    m->items[0].x += 1;
    EXPECT_TRUE(h.modified(*m));  // a change no step has taken yet
    h.commit(*m, "A", {});
    EXPECT_TRUE(h.modified(*m));
    h.markSaved(*m);
    EXPECT_FALSE(h.modified(*m));
    h.undo(*m);
    EXPECT_TRUE(h.modified(*m));  // undone past the save
    h.redo(*m);
    EXPECT_FALSE(h.modified(*m));  // back at it
    h.undo(*m);
    m->items[1].x += 1;
    h.commit(*m, "B", {});  // the saved state is cut off with the redo side
    EXPECT_TRUE(h.modified(*m));
    h.undo(*m);
    EXPECT_TRUE(h.modified(*m));

    // A page taken on without a file stays modified until it is saved.
    h.reset(*m, false);
    EXPECT_TRUE(h.modified(*m));
}

TEST(UndoHistory, TheBudgetDropsTheOldestStepsAndTheSavedStateWithThem) {
    ScopedItemDefs defs;
    auto m = test_NewMission();
    fill(*m, 200);
    UndoHistory h;
    h.reset(*m, true);
    std::vector<std::unique_ptr<Mission>> states;
    states.push_back(copyOf(*m));
    for (int i = 0; i < 50; ++i) {
        m->items[std::size_t(i)].x += 1000 + i;
        ASSERT_TRUE(h.commit(*m, "MOVE", {}));
        states.push_back(copyOf(*m));
    }
    const std::size_t all = h.bytes();
    EXPECT_EQ(h.undoCount(), 50u);
    EXPECT_LT(all / 50, 512u);  // a one-item move keeps a few bytes, not the page
    h.setBudget(all / 5);
    EXPECT_LE(h.bytes(), all / 5);
    const std::size_t kept = h.undoCount();
    EXPECT_GT(kept, 5u);
    EXPECT_LT(kept, 50u);
    EXPECT_TRUE(h.modified(*m));  // the saved state (the start) is gone
    while (h.undo(*m).done) {}
    EXPECT_TRUE(undo_SameContent(*m, *states[50 - kept]));
    EXPECT_TRUE(h.modified(*m));

    // However small the budget, the newest step stays.
    m->items[0].x += 1;
    ASSERT_TRUE(h.commit(*m, "MOVE", {}));
    EXPECT_EQ(h.redoCount(), 0u);
    h.setBudget(1);
    EXPECT_EQ(h.undoCount(), 1u);
}

TEST(UndoHistory, UndoingATerrainChangeBringsTheEarlierTerrainBack) {
    auto m = test_NewMission();
    UndoHistory h;
    h.reset(*m, true);
    mission_SetText(m->info.terrain, "nowhere");
    ASSERT_TRUE(h.commit(*m, "STEP_GENERAL", {}));
    UndoResult r = h.undo(*m);
    EXPECT_TRUE(r.terrainChanged);
    EXPECT_EQ(m->terrain, nullptr);  // no terrain named: no maps
    r = h.redo(*m);
    EXPECT_TRUE(r.terrainChanged);
    EXPECT_NE(m->terrain, nullptr);  // loaded again (blank: the terrain does not exist here)
    EXPECT_EQ(mission_Text(m->info.terrain), "nowhere");
}

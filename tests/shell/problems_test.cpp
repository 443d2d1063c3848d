// The Problems panel, Find and Show References through the dispatcher on the fake platform:
// the panel's rows follow every step, a click selects or opens, Find's criteria select the
// matching items, and Show References selects what refers to the selection's group and path.
#include "shell/problems.h"

#include "gamedata/itemdef.h"
#include "logic/events_editor.h"
#include "logic/find.h"
#include "logic/records_editor.h"
#include "logic/refs.h"
#include "mapview/view.h"
#include "mission/mission.h"
#include "support/fake_platform.h"
#include "platform/problems_panel.h"
#include "resources/check_dialogs.h"
#include "shell/find_dialog.h"
#include "shell/shell.h"
#include "support/mission_pages.h"
#include "support/text_tables.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

class ScopedPanel {
public:
    ScopedPanel() { platform_SetProblemsPanel(&panel); }
    ~ScopedPanel() { platform_SetProblemsPanel(nullptr); }
    MemoryProblemsPanel panel;
};

class ProblemsTest : public ::testing::Test {
protected:
    void SetUp() override {
        mission_ResetPages();
        view_Reset();
        view_State().show_flags = kShowEverything;
    }
    void TearDown() override {
        shell_Reset();
        mission_ResetPages();
    }
    // Selects the entry of a drop-down whose item data is value.
    static void chooseData(FakeDialog& d, int id, std::int64_t value) {
        for (int i = 0; i < d.entryCount(id); ++i)
            if (d.entryData(id, i) == value) return d.choose(id, i);
        ADD_FAILURE() << "no entry " << value << " in control " << id;
    }

    ScopedFakePlatform fake;
    ScopedItemDefs defs;
    ScopedTextTable text{test_ReadSourceFile("data/text/checks.txt")};
    ScopedPanel scoped;
    MemoryProblemsPanel& panel = scoped.panel;
};

TEST_F(ProblemsTest, RowsFollowEveryStepAndAClickSelectsOrOpens) {
    Mission& m = mission_CurrentPage();
    // A guard north of the terrain (a warning) and an event whose trigger names event 3 (an error).
    const int guard = test_AddItem(m, kTestEvilGuard, 5120, 262144 + 2560);
    m.items[std::size_t(guard)].team = kTeamEvil;
    m.event_count = 2;
    m.events[1].trigger_count = 1;
    m.events[1].triggers[0] = EventTrigger{0, 2, 0, 3, 0, 0, 0, 0};
    m.events[0].trigger_count = 1;
    m.events[0].triggers[0] = EventTrigger{0, 5, 0, 0, 0, 0, 0, 0};

    shell_Command(cmd::kProblems);
    EXPECT_TRUE(panel.shown());
    EXPECT_TRUE(fake->menuChecks[cmd::kProblems]);
    ASSERT_EQ(panel.rows.size(), 2u);
    EXPECT_FALSE(panel.rows[0].error);  // the guard, found first
    EXPECT_TRUE(panel.rows[1].error);
    EXPECT_NE(panel.title.find('1'), std::string::npos) << panel.title;

    // The guard's row: selected alone and centred.
    mission_Select(m, 0);
    panel.click(0);
    ASSERT_EQ(m.selection.count, 1);
    EXPECT_EQ(m.selection.index[0], guard);
    EXPECT_EQ(view_State().center_x, 5120);
    EXPECT_EQ(view_State().center_y, 262144 + 2560);

    // The event's row: the events editor opens on event 1.
    int shown = -1;
    fake->dialogScripts["EDITEVENTS"] = [&](FakeDialog& d) { shown = d.selection(evid::kEventList); };
    panel.click(1);
    EXPECT_EQ(shown, 1);

    // A step that moves the guard onto the terrain leaves the error alone; an unchanged page
    // sends nothing new.
    const int updates = panel.rowUpdates;
    fake->dialogScripts.erase("EDITEVENTS");
    shell_Command(cmd::kUnselectAll);
    EXPECT_EQ(panel.rowUpdates, updates);
    m.items[std::size_t(guard)].y = -2560;
    shell_Command(cmd::kUnselectAll);
    ASSERT_EQ(panel.rows.size(), 1u);
    EXPECT_TRUE(panel.rows[0].error);
    // Rows past the end do nothing.
    panel.click(5);

    // Hidden, the panel is left alone.
    shell_Command(cmd::kProblems);
    EXPECT_FALSE(panel.shown());
    m.events[1].trigger_count = 0;
    shell_Command(cmd::kUnselectAll);
    EXPECT_EQ(panel.rows.size(), 1u);
    EXPECT_FALSE(fake->menuChecks[cmd::kProblems]);
}

TEST_F(ProblemsTest, FindSelectsTheItemsThatMatchEveryCriterion) {
    Mission& m = mission_CurrentPage();
    std::strcpy(itemdef_At(itemdef_FindByType(kTestJeep))->name, "Jeep");
    auto add = [&](std::int32_t type, std::int32_t team, std::int32_t group, std::int32_t x, std::int32_t y) {
        const int i = test_AddItem(m, type, x, y);
        MissionItem& it = m.items[std::size_t(i)];
        it.team = team;
        it.group_id = group;
        return i;
    };
    const int red1 = add(kTestEvilGuard, kTeamEvil, 2, 1000, -1000);
    const int red2 = add(kTestRifleman, kTeamEvil, 3, 9000, -9000);
    const int blue = add(kTestGoodGuard, kTeamGood, 1, 1200, -1200);
    const int jeep = add(kTestJeep, kTeamEvil, 2, 1100, -1100);
    add(kAreaMarkerType, kTeamNeutral, 0, 500, -500);
    add(kAreaMarkerType, kTeamNeutral, 0, 1500, -1500);
    for (int i = 0; i < m.item_count; ++i)
        m.items[std::size_t(i)].wpnumber = m.items[std::size_t(i)].type_id == kAreaMarkerType ? 4 : 0;
    m.items[std::size_t(red2)].waypoint_id = 7;
    m.items[std::size_t(blue)].layer = 3;
    m.items[std::size_t(jeep)].bmsi_attributes = 0x0402;

    struct Case {
        const char* name;
        FindCriteria c;
        std::vector<std::int32_t> want;
    };
    auto criteria = [](auto&& set) {
        FindCriteria c;
        set(c);
        return c;
    };
    const Case cases[] = {
        {"red persons", criteria([](FindCriteria& c) { c.team = kTeamEvil, c.kind = kItemPerson; }), {red1, red2}},
        {"group 2", criteria([](FindCriteria& c) { c.group = 2; }), {red1, jeep}},
        {"path 7", criteria([](FindCriteria& c) { c.path = 7; }), {red2}},
        {"layer 3", criteria([](FindCriteria& c) { c.layer = 3; }), {blue}},
        {"type", criteria([](FindCriteria& c) { c.typeId = kTestJeep; }), {jeep}},
        {"attribute bits", criteria([](FindCriteria& c) { c.attributes = 0x0400; }), {jeep}},
        {"inside area 4, markers too", criteria([](FindCriteria& c) { c.area = 4; }), {red1, blue, jeep, 4, 5}},
        {"inside an area without corners", criteria([](FindCriteria& c) { c.area = 9; }), {}},
        {"name, any case", criteria([](FindCriteria& c) { c.name = "JEE"; }), {jeep}},
        {"red in area 4", criteria([](FindCriteria& c) { c.area = 4, c.team = kTeamEvil; }), {red1, jeep}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        EXPECT_EQ(find_Items(m, k.c), k.want);
    }

    // Through Edit > Find...: red persons, counted as the choices change, then added to a
    // selection that holds the blue guard.
    mission_Select(m, blue);
    std::vector<std::string> counts;
    fake->dialogScripts["FINDITEMS"] = [&](FakeDialog& d) {
        counts.push_back(d.text(findid::kCount));
        chooseData(d, findid::kTeam, kTeamEvil);
        counts.push_back(d.text(findid::kCount));
        chooseData(d, findid::kKind, kItemPerson);
        counts.push_back(d.text(findid::kCount));
        d.toggle(findid::kAdd);
        d.click(kIdOk);
    };
    shell_Command(cmd::kFind);
    ASSERT_EQ(counts.size(), 3u);
    EXPECT_NE(counts[0], counts[1]);
    EXPECT_NE(counts[1], counts[2]);
    ASSERT_EQ(m.selection.count, 3);
    EXPECT_EQ(m.selection.index[0], blue);
    EXPECT_TRUE(mission_IsSelected(m, red1) && mission_IsSelected(m, red2));
    // Cancel changes nothing.
    fake->dialogScripts["FINDITEMS"] = [](FakeDialog& d) { d.click(kIdCancel); };
    shell_Command(cmd::kFind);
    EXPECT_EQ(m.selection.count, 3);
}

TEST_F(ProblemsTest, ShowReferencesSelectsWhatRefersToTheSelectionsGroupAndPath) {
    Mission& m = mission_CurrentPage();
    const int a = test_AddItem(m, kTestRifleman), b = test_AddItem(m, kTestRifleman),
              c = test_AddItem(m, kTestRifleman);
    m.items[std::size_t(a)].group_id = m.items[std::size_t(b)].group_id = 6;
    m.items[std::size_t(c)].waypoint_id = 2;
    m.items[std::size_t(a)].waypoint_id = 2;
    m.event_count = 1;
    m.events[0].action_count = 1;
    m.events[0].actions[0] = EventAction{0, 2, 0, 6, 0, 0, 0, 0};  // kill group 6
    int lines = -1;
    fake->dialogScripts["REFERENCES"] = [&](FakeDialog& d) {
        lines = d.entryCount(refid::kList);
        d.click(kIdOk);
    };
    mission_Select(m, a);
    shell_Command(cmd::kShowReferences);
    EXPECT_EQ(lines, 4);  // the action, a and b (group 6), c (path 2)
    EXPECT_EQ(m.selection.count, 3);
    // Nothing selected: nothing to show.
    mission_ClearSelection(m);
    lines = -1;
    shell_Command(cmd::kShowReferences);
    EXPECT_EQ(lines, -1);
}

TEST_F(ProblemsTest, DeletingWhatRowsNameAsksFirstWithTheCount) {
    Mission& m = mission_CurrentPage();
    const int a = test_AddItem(m, kTestRifleman), b = test_AddItem(m, kTestRifleman);
    const int corner = test_AddItem(m, kAreaMarkerType);
    m.items[std::size_t(a)].group_id = m.items[std::size_t(b)].group_id = 6;
    m.items[std::size_t(corner)].wpnumber = 3;
    m.event_count = 1;
    m.events[0].trigger_count = 1;
    m.events[0].triggers[0] = EventTrigger{0, 1, 10, 6, 3, 0, 0, 0};  // group 6 inside area 3
    m.events[0].action_count = 1;
    m.events[0].actions[0] = EventAction{0, 2, 0, 6, 0, 0, 0, 0};  // kill group 6

    struct Case {
        const char* name;
        std::vector<int> selected;
        int rows;  // rows the question counts; 0: no question
    };
    const Case cases[] = {
        {"one member of two", {a}, 0},
        {"both members", {a, b}, 2},
        {"the area's one corner", {corner}, 1},
        {"everything: a row naming both counts once", {a, b, corner}, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        mission_ClearSelection(m);
        for (int i : c.selected) mission_Select(m, i);
        EXPECT_EQ(refs_RowsEmptiedBySelection(m), c.rows);
    }
    // Declined, nothing goes; agreed, the items go.
    fake->boxes.clear();
    fake->msgAnswers = {MsgAnswer::No};
    shell_Command(cmd::kDelete);
    ASSERT_EQ(fake->boxes.size(), 1u);
    EXPECT_NE(fake->boxes[0].text.find('2'), std::string::npos) << fake->boxes[0].text;
    EXPECT_EQ(m.item_count, 3);
    mission_ClearSelection(m);
    for (int i : {a, b, corner}) mission_Select(m, i);
    shell_Command(cmd::kDelete);
    EXPECT_EQ(m.item_count, 0);
    // Nothing named: no question.
    fake->boxes.clear();
    mission_Select(m, test_AddItem(m, kTestRifleman));
    shell_Command(cmd::kDelete);
    EXPECT_TRUE(fake->boxes.empty());
    EXPECT_EQ(m.item_count, 0);
}

TEST_F(ProblemsTest, TheEditorsShowWhatRefersToTheirRecord) {
    Mission& m = mission_CurrentPage();
    const int a = test_AddItem(m, kTestRifleman), b = test_AddItem(m, kTestRifleman);
    test_AddItem(m, kTestRifleman);
    m.items[std::size_t(a)].group_id = m.items[std::size_t(b)].group_id = 6;
    m.event_count = 2;
    m.events[0].trigger_count = 1;
    m.events[0].triggers[0] = EventTrigger{0, 2, 0, 1, 0, 0, 0, 0};  // event 1 fired
    m.events[0].action_count = 1;
    m.events[0].actions[0] = EventAction{0, 2, 0, 6, 0, 0, 0, 0};  // kill group 6
    std::vector<int> lines;
    fake->dialogScripts["REFERENCES"] = [&](FakeDialog& d) { lines.push_back(d.entryCount(refid::kList)); };

    fake->dialogScripts["EDITEVENTS"] = [](FakeDialog& d) {
        d.choose(evid::kEventList, 1);
        d.click(refid::kShowButton);
    };
    shell_Command(cmd::kEvents);
    fake->dialogScripts["EDITGROUPS"] = [](FakeDialog& d) {
        d.choose(recid::kList, 5);
        d.click(refid::kShowButton);
    };
    shell_Command(cmd::kGroups);
    EXPECT_EQ(lines, (std::vector<int>{1, 3}));  // event 0's trigger; the action and two members
    EXPECT_EQ(m.selection.count, 2);

    // Deleting event 1, which two of event 0's triggers name, asks with that count; declined,
    // it stays.
    m.events[0].trigger_count = 2;
    m.events[0].triggers[1] = EventTrigger{0, 2, 0, 1, 0, 0, 0, 0};
    fake->boxes.clear();
    fake->msgAnswers = {MsgAnswer::No};
    fake->dialogScripts["EDITEVENTS"] = [](FakeDialog& d) {
        d.choose(evid::kEventList, 1);
        d.click(evid::kDeleteEvent);
    };
    shell_Command(cmd::kEvents);
    ASSERT_EQ(fake->boxes.size(), 1u);
    EXPECT_NE(fake->boxes[0].text.find('2'), std::string::npos) << fake->boxes[0].text;
    EXPECT_EQ(m.event_count, 2);
}

}  // namespace

// The Edit menu's groups, waypoints and area-trigger commands: what each rebuilds before its
// editor opens, and the map's own visibility test reaching Select Members.
#include "logic/records_editor.h"
#include "mapview/infopane.h"
#include "mapview/view.h"
#include "platform/fake_platform.h"
#include "shell/shell.h"
#include "support/mission_pages.h"

#include <gtest/gtest.h>

using namespace recid;

namespace {

class RecordsCommands : public ::testing::Test {
protected:
    ScopedFakePlatform fake;
    ScopedItemDefs defs;
    void SetUp() override { mission_ResetPages(); }
    void TearDown() override {
        records_Hooks() = {};
        shell_Reset();
        mission_ResetPages();
    }
};

}  // namespace

TEST_F(RecordsCommands, EachCommandRebuildsWhatItsEditorShowsFirst) {
    Mission& m = mission_CurrentPage();
    const int a = test_AddItem(m, kTestRifleman);
    const int b = test_AddItem(m, kTestJeep);
    m.items[a].group_id = 5;
    m.items[b].group_id = 5;
    const int w0 = test_AddItem(m, kWaypointMarkerType);
    const int w1 = test_AddItem(m, kWaypointMarkerType);
    m.items[w0].waypoint_id = 1;
    m.items[w1].waypoint_id = 1;
    m.items[w1].wpnumber = 1;
    const int area = test_AddItem(m, kAreaMarkerType);
    m.items[area].wpnumber = 4;
    // Nothing derived yet: the commands must build it.
    ASSERT_EQ(m.groups[5].member_count, 0);
    ASSERT_EQ(m.waypoints[1].point_count, 0);
    ASSERT_EQ(m.area_triggers[4].in_use, 0);

    // Only people are shown: Select Members takes the map's view of it.
    view_State().show_flags = (1u << kItemPerson) | 0xFFFF0000u;
    fake->dialogScripts["EDITGROUPS"] = [](FakeDialog& d) {
        d.choose(kList, 4);
        d.click(kSelect);
        d.click(kIdOk);
    };
    shell_Command(cmd::kGroups);
    EXPECT_EQ(m.groups[5].member_count, 2);
    ASSERT_EQ(m.selection.count, 1);
    EXPECT_EQ(m.selection.index[0], a);
    EXPECT_FALSE(fake->paneLines[kPaneSelection].empty());  // the selection pane followed

    fake->dialogScripts["EDITWAYPOINTS"] = [](FakeDialog& d) { d.click(kSelect); };
    mission_ClearSelection(m);
    shell_Command(cmd::kWaypoints);
    EXPECT_EQ(m.waypoints[1].point_count, 2);
    EXPECT_EQ(m.selection.count, 2);

    fake->dialogScripts["EDITAREATRIGGERS"] = [](FakeDialog& d) { d.click(kIdOk); };
    shell_Command(cmd::kAreaTriggers);
    EXPECT_EQ(m.area_triggers[4].in_use, 4);

    const std::vector<std::string> run = {"EDITGROUPS", "EDITWAYPOINTS", "EDITAREATRIGGERS"};
    EXPECT_EQ(fake->dialogsRun, run);
}

// The editor commands through the fake platform: what each rebuilds before its editor,
// whether an editor runs, and what is refreshed after.
#include "shell/editor_commands.h"

#include "mapview/infopane.h"
#include "mission/itemattr.h"
#include "platform/fake_platform.h"
#include "shell/shell.h"
#include "support/mission_pages.h"

#include <gtest/gtest.h>

namespace {

class EditorCommands : public ::testing::Test {
protected:
    ScopedFakePlatform ui;
    ScopedItemDefs defs;
    Mission& page = mission_CurrentPage();
    std::int32_t first = -1, second = -1;  // two markers of path 1, numbered 2 and 1

    void SetUp() override {
        mission_ResetPages();
        first = test_AddItem(page, kWaypointMarkerType);
        second = test_AddItem(page, kWaypointMarkerType);
        page.items[first].waypoint_id = page.items[second].waypoint_id = 1;
        page.items[first].wpnumber = 2;
        page.items[second].wpnumber = 1;
        const std::int32_t area = test_AddItem(page, kAreaMarkerType, 512, 256);
        page.items[area].wpnumber = 7;
        const std::int32_t soldier = test_AddItem(page, kTestRifleman);
        page.items[soldier].group_id = 5;
    }
    void TearDown() override { mission_ResetPages(); }
};

}  // namespace

TEST_F(EditorCommands, SelectionPaneWithNothingSelectedOpensNothingButRebuildsThePaths) {
    shell_RunEditor(cmd::kItemAttributes);
    EXPECT_TRUE(ui->dialogsRun.empty());
    ASSERT_EQ(page.waypoints[1].point_count, 2);
    EXPECT_EQ(page.waypoints[1].points[0], second);
    EXPECT_FALSE(ui->paneLines[kPaneSelection].empty());
}

TEST_F(EditorCommands, ItemAttributesRunsOnTheSelectionAndThePathsFollowItsNumbers) {
    mission_Select(page, first);
    ui->dialogScripts["ITEMATTRIBUTES"] = [](FakeDialog& d) {
        d.type(itemattr::kNumber, "0");
        d.click(kIdOk);
    };
    shell_RunEditor(cmd::kItemAttributes);
    ASSERT_EQ(ui->dialogsRun, std::vector<std::string>{"ITEMATTRIBUTES"});
    ASSERT_EQ(page.waypoints[1].point_count, 2);
    EXPECT_EQ(page.waypoints[1].points[0], first);
    EXPECT_FALSE(ui->paneLines[kPaneSelection].empty());
}

TEST_F(EditorCommands, EachEditorRowRebuildsWhatItsEditorShows) {
    struct Row {
        int command;
        bool paths, groups, areas;
    };
    for (const Row& r : {Row{cmd::kWaypoints, true, false, false}, Row{cmd::kGroups, false, true, false},
                         Row{cmd::kAreaTriggers, false, false, true}, Row{cmd::kEvents, false, false, false},
                         Row{cmd::kGeneralInfo, false, false, false}}) {
        SCOPED_TRACE(r.command);
        page.waypoints[1].point_count = 0;
        page.groups[5].member_count = 0;
        page.area_triggers[7].in_use = 0;
        shell_RunEditor(r.command);
        EXPECT_EQ(page.waypoints[1].point_count, r.paths ? 2 : 0);
        EXPECT_EQ(page.groups[5].member_count, r.groups ? 1 : 0);
        EXPECT_EQ(page.area_triggers[7].in_use, r.areas ? 7 : 0);
    }
    // Their editors come with their own work; until then no row claims to have run one.
    EXPECT_TRUE(ui->dialogsRun.empty());
}

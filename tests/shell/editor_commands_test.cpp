// The editor commands through the fake platform: what each rebuilds before its editor,
// whether an editor runs, and what is refreshed after.
#include "shell/editor_commands.h"

#include "mapview/infopane.h"
#include "mission/itemattr.h"
#include "support/fake_platform.h"
#include "shell/shell.h"
#include "support/mission_pages.h"

#include <gtest/gtest.h>

TEST(EditorCommands, EachRowRebuildsWhatItsEditorShowsThenRunsIt) {
    ScopedFakePlatform ui;
    ScopedItemDefs defs;
    mission_ResetPages();
    Mission& page = mission_CurrentPage();
    // Two markers of path 1 numbered 2 and 1, area marker 7, a member of group 5.
    const std::int32_t first = test_AddItem(page, kWaypointMarkerType), second = test_AddItem(page, kWaypointMarkerType);
    page.items[first].waypoint_id = page.items[second].waypoint_id = 1;
    page.items[first].wpnumber = 2, page.items[second].wpnumber = 1;
    page.items[test_AddItem(page, kAreaMarkerType)].wpnumber = 7;
    page.items[test_AddItem(page, kTestRifleman)].group_id = 5;
    struct Row {
        int command;
        bool paths, groups, areas;
    };
    // With nothing selected the selection pane opens nothing, yet the paths are rebuilt.
    for (const Row& r : {Row{cmd::kItemAttributes, true, false, false}, Row{cmd::kWaypoints, true, false, false},
                         Row{cmd::kGroups, false, true, false}, Row{cmd::kAreaTriggers, false, false, true},
                         Row{cmd::kEvents, false, false, false}, Row{cmd::kGeneralInfo, false, false, false}}) {
        page.waypoints[1].point_count = page.groups[5].member_count = page.area_triggers[7].in_use = 0;
        shell_RunEditor(r.command);
        EXPECT_EQ(page.waypoints[1].point_count, r.paths ? 2 : 0) << r.command;
        EXPECT_EQ(page.groups[5].member_count, r.groups ? 1 : 0) << r.command;
        EXPECT_EQ(page.area_triggers[7].in_use, r.areas ? 7 : 0) << r.command;
    }
    const std::vector<std::string> opened = {"EDITWAYPOINTS", "EDITGROUPS", "EDITAREATRIGGERS", "EDITEVENTS", "GENERALINFO"};
    EXPECT_EQ(ui->dialogsRun, opened);
    ui->dialogsRun.clear();
    EXPECT_EQ(page.waypoints[1].points[0], second);
    EXPECT_FALSE(ui->paneLines[kPaneSelection].empty());

    // With a selection it runs, and the paths follow the numbers it gave.
    mission_Select(page, first);
    ui->dialogScripts["ITEMATTRIBUTES"] = [](FakeDialog& d) {
        d.type(itemattr::kNumber, "0");
        d.click(kIdOk);
    };
    shell_RunEditor(cmd::kItemAttributes);
    EXPECT_EQ(ui->dialogsRun, std::vector<std::string>{"ITEMATTRIBUTES"});
    EXPECT_EQ(page.waypoints[1].points[0], first);
    mission_ResetPages();
}

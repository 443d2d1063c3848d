// The editor commands through the fake platform: whether an editor runs, and what is
// refreshed after.
#include "shell/editor_commands.h"

#include "mapview/infopane.h"
#include "mission/index.h"
#include "mission/itemattr.h"
#include "support/fake_platform.h"
#include "shell/shell.h"
#include "support/mission_pages.h"

#include <gtest/gtest.h>

#include <memory>

TEST(EditorCommands, EachRowRunsItsEditor) {
    ScopedFakePlatform ui;
    ScopedItemDefs defs;
    mission_ResetPages();
    Mission& page = mission_CurrentPage();
    // Two markers of path 1 numbered 2 and 1, area marker 7, a member of group 5.
    const std::int32_t first = test_AddItem(page, kWaypointMarkerType),
                       second = test_AddItem(page, kWaypointMarkerType);
    page.items[first].waypoint_id = page.items[second].waypoint_id = 1;
    page.items[first].wpnumber = 2, page.items[second].wpnumber = 1;
    page.items[test_AddItem(page, kAreaMarkerType)].wpnumber = 7;
    page.items[test_AddItem(page, kTestRifleman)].group_id = 5;
    const auto index = std::make_unique<MissionIndex>();
    const auto firstPoint = [&] {
        mission_BuildIndex(page, *index);
        return index->paths[1].point_count > 0 ? index->paths[1].points[0] : -1;
    };
    EXPECT_EQ(firstPoint(), second);
    // With nothing selected the selection pane opens nothing.
    for (int command :
         {cmd::kItemAttributes, cmd::kWaypoints, cmd::kGroups, cmd::kAreaTriggers, cmd::kEvents, cmd::kGeneralInfo})
        shell_RunEditor(command);
    const std::vector<std::string> opened = {"EDITWAYPOINTS", "EDITGROUPS", "EDITAREATRIGGERS", "EDITEVENTS",
                                             "GENERALINFO"};
    EXPECT_EQ(ui->dialogsRun, opened);
    ui->dialogsRun.clear();
    EXPECT_FALSE(ui->paneLines[kPaneSelection].empty());

    // With a selection it runs, and the paths follow the numbers it gave.
    mission_Select(page, first);
    ui->dialogScripts["ITEMATTRIBUTES"] = [](FakeDialog& d) {
        d.type(itemattr::kNumber, "0");
        d.click(kIdOk);
    };
    shell_RunEditor(cmd::kItemAttributes);
    EXPECT_EQ(ui->dialogsRun, std::vector<std::string>{"ITEMATTRIBUTES"});
    EXPECT_EQ(firstPoint(), first);
    mission_ResetPages();
}

// The Edit menu's record editors through the dispatcher: Select Members follows the map's
// show flags, and the selection pane follows what was selected.
#include "logic/records_editor.h"
#include "mapview/infopane.h"
#include "mapview/view.h"
#include "support/fake_platform.h"
#include "shell/shell.h"
#include "support/mission_pages.h"

#include <gtest/gtest.h>

TEST(RecordsCommands, GroupsCommandSelectsOnlyWhatTheMapShows) {
    ScopedFakePlatform fake;
    ScopedItemDefs defs;
    mission_ResetPages();
    Mission& m = mission_CurrentPage();
    const int person = test_AddItem(m, kTestRifleman), jeep = test_AddItem(m, kTestJeep);
    m.items[person].group_id = m.items[jeep].group_id = 5;
    view_State().show_flags = (1u << kItemPerson) | 0xFFFF0000u;  // vehicles not shown
    fake->dialogScripts["EDITGROUPS"] = [](FakeDialog& d) {
        d.choose(recid::kList, 4);
        d.click(recid::kSelect);
    };
    shell_Command(cmd::kGroups);
    EXPECT_EQ(fake->dialogsRun, std::vector<std::string>{"EDITGROUPS"});
    ASSERT_EQ(m.selection.count, 1);
    EXPECT_EQ(m.selection.index[0], person);
    EXPECT_FALSE(fake->paneLines[kPaneSelection].empty());
    records_Hooks() = {};
    shell_Reset();
    mission_ResetPages();
}

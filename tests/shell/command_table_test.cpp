// Every way into a command (an entry of any menu, a key of the key table, a button of the
// bar, a forwarded context-menu entry) must reach a command the dispatcher handles: a wrong
// id in a menu would otherwise do nothing without a word.
#include "shell/shell.h"

#include "mapview/interact.h"
#include "mapview/view.h"
#include "mission/mission.h"
#include "platform/command_table.h"
#include "platform/fake_platform.h"
#include "resources/templates.h"
#include "shell/reset.h"

#include <gtest/gtest.h>

#include <set>

namespace {

void collectIds(const std::vector<MenuEntry>& entries, std::set<int>& ids) {
    for (const MenuEntry& e : entries) {
        if (e.id != 0) ids.insert(e.id);
        collectIds(e.children, ids);
    }
}

TEST(CommandTable, EveryMenuEntryKeyAndBarButtonReachesAHandledCommand) {
    ScopedFakePlatform fake;
    std::set<int> ids;
    for (std::string_view menu : resources_MenuNames()) collectIds(resources_Menu(menu), ids);
    const std::size_t fromMenus = ids.size();
    for (const BarControl& c : shell_ButtonBar(CharMetrics{}))
        if (c.command != 0) ids.insert(c.command);
    for (int k = static_cast<int>(Key::Other); k <= static_cast<int>(Key::PadMinus); ++k)
        if (const int id = command_ForKey(static_cast<Key>(k))) ids.insert(id);
    ASSERT_GT(fromMenus, 20u);
    ASSERT_GT(ids.size(), fromMenus);

    std::set<int> rows;
    for (const Command& c : command_Table()) {
        EXPECT_TRUE(rows.insert(c.id).second) << "two rows for " << c.id;
        ids.insert(c.id);
    }
    for (int id : ids) {
        SCOPED_TRACE(id);
        ASSERT_NE(command_Find(id), nullptr);
        EXPECT_TRUE(shell_Dispatch(id)) << command_Find(id)->name;
        // What a context menu forwards reaches the dispatcher, and nothing else does.
        EXPECT_EQ(interact_Forwarded(id), command_Find(id)->forwarded);
    }
    EXPECT_FALSE(shell_Dispatch(0));
    EXPECT_FALSE(shell_Dispatch(99999));

    sortie_ResetProcess();
}

}  // namespace

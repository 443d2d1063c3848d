// The action table is the one source of the commands: every way into a command (an entry of
// any menu, a key, a button of the bar, a forwarded context-menu entry) must reach a row that
// runs, every row's wording must exist, and every row that changes the page must make exactly
// one step, named from its row, that undoes to the page as it was.
#include "shell/shell.h"

#include "core/text.h"
#include "logic/geninfo.h"
#include "logic/records_editor.h"
#include "mission/itemattr.h"
#include "mission/itemops.h"
#include "mission/mission.h"
#include "mission/undo.h"
#include "resources/shell_dialogs.h"
#include "resources/templates.h"
#include "shell/history.h"
#include "support/shell_env.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>

namespace {

class CommandTable : public ShellEnvTest {
protected:
    CommandTable()
        : ShellEnvTest({"data/text/undo.txt", "data/text/conveniences.txt", "data/text/checks.txt",
                        "data/text/map_tools.txt"}) {}
};

void collectIds(const std::vector<MenuEntry>& entries, std::set<int>& ids) {
    for (const MenuEntry& e : entries) {
        if (e.id != 0) ids.insert(e.id);
        collectIds(e.children, ids);
    }
}

bool worded(std::string_view section, std::string_view key) {
    return std::string(text_Get(std::string(section).c_str(), std::string(key).c_str())) != "Bad Texttool String";
}

TEST_F(CommandTable, EveryMenuEntryKeyAndBarButtonReachesARowThatRuns) {
    startShell();
    std::set<int> ids;
    for (std::string_view menu : resources_MenuNames()) collectIds(resources_Menu(menu), ids);
    const std::size_t fromMenus = ids.size();
    for (const BarControl& c : shell_ButtonBar(CharMetrics{}))
        if (c.command != 0) ids.insert(c.command);
    for (int k = static_cast<int>(Key::Other); k <= static_cast<int>(Key::Backspace); ++k)
        if (const int id = actions_ForKey(static_cast<Key>(k))) ids.insert(id);
    ASSERT_GT(fromMenus, 20u);
    ASSERT_GT(ids.size(), fromMenus);

    std::set<int> rows;
    for (const Action& a : actions_Table()) {
        EXPECT_TRUE(rows.insert(a.id).second) << "two rows for " << a.id;
        if (!a.menuKey.empty()) {
            EXPECT_TRUE(worded(a.menuSection, a.menuKey)) << a.name;
        }
        if (!a.stepKey.empty()) {
            EXPECT_TRUE(worded("Undo", a.stepKey)) << a.name;
        }
        ids.insert(a.id);
    }
    for (int id : ids) {
        SCOPED_TRACE(id);
        ASSERT_NE(actions_Find(id), nullptr);
        if (id == cmd::kExit) continue;  // quits
        EXPECT_TRUE(shell_Dispatch(id)) << actions_Find(id)->name;
    }
    EXPECT_FALSE(shell_Dispatch(0));
    EXPECT_FALSE(shell_Dispatch(99999));
    // What a context menu forwards runs only when its row says so.
    EXPECT_TRUE(shell_ForwardMapCommand(cmd::kInsertMode));
    for (int id : {0, cmd::kColourMap, cmd::kCentre, cmd::kDrawPath, cmd::kVisibleLayers, 99999})
        EXPECT_FALSE(shell_ForwardMapCommand(id)) << id;
}

// How each command that changes the page is driven: what the page needs first, the dialog it
// opens and what the user does there, and the click that ends a gesture it starts.
struct Drive {
    std::function<void(Mission&)> prepare{};
    std::map<std::string, std::function<void(FakeDialog&)>> scripts{};
    bool clickMap = false;
    Key finish = Key::Other;  // the key that ends the gesture after the click
};

std::map<int, Drive> drives() {
    auto ok = [](std::function<void(FakeDialog&)> edit) {
        return [edit](FakeDialog& d) {
            edit(d);
            d.click(kIdOk);
        };
    };
    auto hideFirst = [](Mission& m) { m.items[0].hidden = 1; };
    return {
        {cmd::kClear, {}},
        {cmd::kCut, {}},
        {cmd::kDelete, {}},
        {cmd::kPaste, {.clickMap = true}},
        {cmd::kMove, {.clickMap = true}},
        {cmd::kUnhideAll, {.prepare = hideFirst}},
        {cmd::kHideSelected, {}},
        {cmd::kHideUnselected, {}},
        {cmd::kItemAttributes,
         {.scripts = {{"ITEMATTRIBUTES", ok([](FakeDialog& d) { d.type(itemattr::kHeading, "123"); })}}}},
        {cmd::kBriefing,
         {.scripts = {{"EDITBRIEFING", ok([](FakeDialog& d) { d.type(dlgid::kBriefingEdit, "Cross at dawn."); })}}}},
        {cmd::kGeneralInfo, {.scripts = {{"GENERALINFO", ok([](FakeDialog& d) { d.type(gi::kName, "Bridgehead"); })}}}},
        {cmd::kGroups, {.scripts = {{"EDITGROUPS", ok([](FakeDialog& d) { d.type(recid::kDesc, "Recon"); })}}}},
        {cmd::kAreaTriggers,
         {.scripts = {{"EDITAREATRIGGERS", ok([](FakeDialog& d) { d.type(recid::kDesc, "Ford"); })}}}},
        {cmd::kWaypoints, {.scripts = {{"EDITWAYPOINTS", ok([](FakeDialog& d) { d.type(recid::kDesc, "Patrol"); })}}}},
        {cmd::kEvents, {.scripts = {{"EDITEVENTS", ok([](FakeDialog&) { mission_CurrentPage().event_count = 1; })}}}},
        {cmd::kLayerNames,
         {.scripts = {{"LAYERNAMES", ok([](FakeDialog& d) { d.type(dlgid::kLayerNameEdit, "Scouts"); })}}}},
        {cmd::kDrawPath, {.scripts = {{"CHOOSE", ok([](FakeDialog&) {})}}, .clickMap = true, .finish = Key::Return}},
        {cmd::kDrawArea, {.scripts = {{"CHOOSE", ok([](FakeDialog&) {})}}, .clickMap = true, .finish = Key::Escape}},
        {cmd::kVisibleLayers,
         {.scripts = {{"VISIBLELAYERS", ok([](FakeDialog& d) { d.toggle(dlgid::kLayerCheckFirst + 3); })}}}},
    };
}

TEST_F(CommandTable, EveryPageChangingRowIsOneStepNamedFromItsRowThatUndoes) {
    const std::map<int, Drive> all = drives();
    for (const Action& a : actions_Table()) {
        if (a.stepKey.empty()) continue;
        SCOPED_TRACE(std::string(a.name));
        const auto drive = all.find(a.id);
        ASSERT_NE(drive, all.end()) << "a page-changing row without a drive in this test";

        startShell();
        Mission& page = mission_CurrentPage();
        for (int i = 0; i < 4; ++i) test_AddItem(page, i % 2 ? kTestJeep : kTestRifleman, i * 2560, 0);
        page.items[3].layer = 3;
        mission_Select(page, 1);
        mission_Select(page, 2);
        itemops_Copy(page, mission_Clipboard());
        if (drive->second.prepare) drive->second.prepare(page);
        history_Baseline(0, true);
        auto before = test_NewMission();
        MissionSnapshot snap;
        snap.take(page);
        snap.restore(*before);
        before->file_path = page.file_path;
        for (const auto& [name, script] : drive->second.scripts) fake->dialogScripts[name] = script;

        shell_Command(a.id);
        if (drive->second.clickMap) {
            shell_MapSink().onMouseMove(500, 200, 0);
            shell_MapSink().onMouseDown(MouseButton::Left, 500, 200, 0);
            shell_MapSink().onMouseUp(MouseButton::Left, 500, 200, 0);
        }
        if (drive->second.finish != Key::Other) shell_Key(drive->second.finish, 0);
        const UndoHistory& h = undo_PageHistory(0);
        ASSERT_TRUE(h.canUndo());
        EXPECT_EQ(std::string(h.undoName()), a.stepKey);
        shell_Command(cmd::kUndo);
        EXPECT_FALSE(h.canUndo()) << "more than one step";
        EXPECT_TRUE(undo_SameContent(page, *before));
        shell_Command(cmd::kRedo);
        EXPECT_TRUE(h.canUndo());
        EXPECT_FALSE(undo_SameContent(page, *before));
    }
}

}  // namespace

// The shell without a toolkit: start-up order and its failures, the command table, the keys,
// the exit confirmation, the backups and the file commands, all through the fake platform.
#include "shell/shell.h"
#include "gamedata/image.h"

#include "core/mem.h"
#include "core/text.h"
#include "gamedata/itemdef.h"
#include "gamedata/model.h"
#include "gamedata/sky.h"
#include "mapview/infopane.h"
#include "mapview/view.h"
#include "mapview/gesture.h"
#include "mission/metafile.h"
#include "support/fake_platform.h"
#include "shell/data_start.h"
#include "shell/dialogs.h"
#include "shell/history.h"
#include "shell/reset.h"
#include "support/core_env.h"
#include "support/mission_pages.h"
#include "support/shell_env.h"
#include "support/text_tables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace {

const char* kVocabSource = "[WinConditions]\nSTRWINCOND000 = Reach the point\n";

// A data folder holding the string tables start-up needs, built from the shell's wording.
struct DataDir {
    ScopedTempDir dir;
    DataDir(bool withText = true, bool withVocab = true) {
        if (withText)
            dir.write("text.bin", test_BuildTableBytes(test_ReadSourceFile("data/text/shell.txt") +
                                                       test_ReadSourceFile("data/text/conveniences.txt")));
        if (withVocab) dir.write("kz7wpn.bin", test_BuildTableBytes(kVocabSource));
    }
    std::string path() const { return dir.path().string(); }
};

// Everything start-up touches, put back afterwards.
class ShellTest : public ::testing::Test {
protected:
    void TearDown() override { sortie_ResetProcess(); }

    // Starts the shell on a data folder through the fake platform.
    int start(const std::string& dataDir, std::string mission = {}) {
        ShellArgs a;
        a.dataDir = dataDir;
        a.mission = std::move(mission);
        return shell_Startup(a);
    }

    size_t logIndex(const std::string& prefix) {
        auto it = std::find_if(fake->log.begin(), fake->log.end(),
                               [&](const std::string& l) { return l.rfind(prefix, 0) == 0; });
        return it == fake->log.end() ? std::string::npos : static_cast<size_t>(it - fake->log.begin());
    }
    size_t countLog(const std::string& prefix) {
        return static_cast<size_t>(std::count_if(fake->log.begin(), fake->log.end(),
                                                 [&](const std::string& l) { return l.rfind(prefix, 0) == 0; }));
    }

    ScopedFakePlatform fake;
};

}  // namespace

// ---------------------------------------------------------------------------------------
// Command line

TEST(ShellArgs, SwitchesAsWholeArgumentsInAnyCaseDataAndMission) {
    ShellArgs a;
    std::string err;
    ASSERT_TRUE(shell_ParseArgs({"/showall", "--data", "/d", "m.mis", "--16"}, a, err));
    EXPECT_TRUE(a.showAll);
    EXPECT_TRUE(a.sixteen);
    EXPECT_EQ(a.dataDir, "/d");
    EXPECT_EQ(a.mission, "m.mis");
    ASSERT_TRUE(shell_ParseArgs({"--SHOWALL", "/16"}, a, err));
    EXPECT_TRUE(a.showAll && a.sixteen);
    // Only whole arguments count: a mission file whose name holds the text is a file.
    ASSERT_TRUE(shell_ParseArgs({"x/16y.mis"}, a, err));
    EXPECT_FALSE(a.sixteen);
    EXPECT_EQ(a.mission, "x/16y.mis");
    EXPECT_FALSE(shell_ParseArgs({"--data"}, a, err));
    EXPECT_FALSE(shell_ParseArgs({"--bogus"}, a, err));
    EXPECT_FALSE(shell_ParseArgs({"a.mis", "b.mis"}, a, err));
}

TEST(ShellData, MediumArchiveTakesTheFirstTwoBytesOfKz7Cd) {
    ScopedTempDir dir;
    EXPECT_EQ(startup_MediumArchive(dir.file("kz7.cd")), "");
    EXPECT_EQ(startup_MediumArchive(dir.write("kz7.cd", "E:whatever follows")), "E:\\KZ7SETUP\\terrains.pff");
    EXPECT_EQ(startup_MediumArchive(dir.write("short.cd", "E")), "");
}

// ---------------------------------------------------------------------------------------
// Start-up

TEST_F(ShellTest, StartupRunsItsStepsInOrderAndSetsUpTheWindow) {
    DataDir data;
    fake->mapPaneSize = {800, 600};
    ASSERT_EQ(start(data.path()), 1);
    const std::vector<std::string> expected = {
        "arguments", "memory", "files", "text.bin", "kz7wpn.bin", "kz7items.bin", "pages",   "view", "menu",   "window",
        "title",     "panes",  "timer", "checks",   "surface",    "items.def",    "sunsets", "rows", "running"};
    EXPECT_EQ(shell_State().trace, expected);

    // The window's pieces in the order the platform saw them.
    EXPECT_LT(logIndex("setMenu"), logIndex("setButtonBar"));
    EXPECT_LT(logIndex("setButtonBar"), logIndex("setWindowTitle"));
    EXPECT_LT(logIndex("setWindowTitle"), logIndex("showMainWindow"));
    EXPECT_LT(logIndex("showMainWindow"), logIndex("setTimer"));
    EXPECT_EQ(fake->timers[kBackupTimer], kBackupPeriodMs);
    EXPECT_EQ(fake->windowTitle, "Page 1 - Sortie Mission Editor (" + std::string(shell_Version()) + ")");
    EXPECT_EQ(fake->mainSink, &shell_MainSink());

    // The menu bar shows exactly File, Edit, View, Page and Info, with their texts.
    ASSERT_EQ(fake->menu.size(), 5u);
    EXPECT_EQ(fake->menu[0].text, "&File");
    EXPECT_EQ(fake->menu[2].text, "&View");
    EXPECT_EQ(fake->menu[4].text, "&Info");
    EXPECT_TRUE(fake->menuChecks[cmd::kSetViewByType]);
    EXPECT_FALSE(fake->menuChecks[cmd::kSetViewBySide]);
    EXPECT_FALSE(fake->menuChecks[cmd::kInsertMode]);

    // The view after the button bar, and the surface 1 to 16 pixels wider than the pane.
    const ViewState& v = view_State();
    EXPECT_EQ(v.show_flags, 0x001F03FEu);
    EXPECT_FLOAT_EQ(v.zoom, 0.001f);
    EXPECT_EQ(v.grid_size, 131072);
    EXPECT_EQ(v.snap_to_grid, 0);
    EXPECT_EQ(v.grid_shown, 1);
    EXPECT_EQ(view_Surface().width, 816);
    EXPECT_EQ(view_Surface().height, 600);
    EXPECT_EQ(fake->barControl(1012)->text, "512 m");

    // No items.def in this folder: said once, and start-up carried on.
    ASSERT_EQ(fake->boxes.size(), 1u);
    EXPECT_EQ(fake->boxes[0].text, text_Get("Dialog Message", "CANT_LOAD_ITEMS_DEF"));
    EXPECT_EQ(fake->boxes[0].caption, "");
    EXPECT_TRUE(shell_State().started);
    EXPECT_FALSE(dialogs_Settings().showAll);
}

TEST_F(ShellTest, SwitchesReachInsertItemAndTheElevationReader) {
    DataDir data;
    ShellArgs a;
    a.dataDir = data.path();
    a.showAll = true;
    a.sixteen = true;
    ASSERT_EQ(shell_Startup(a), 1);
    EXPECT_TRUE(dialogs_Settings().showAll);
    EXPECT_TRUE(img_Settings().r16ColourBands);

    a.sixteen = false;
    ASSERT_EQ(shell_Startup(a), 1);
    EXPECT_FALSE(img_Settings().r16ColourBands);
}

TEST_F(ShellTest, MissingStringTablesAbandonStartupBeforeAnyWindow) {
    {
        DataDir data(false, true);
        EXPECT_EQ(start(data.path()), 0);
        ASSERT_EQ(fake->boxes.size(), 1u);
        EXPECT_EQ(fake->boxes[0].text, "Warning: Unable to load file text.bin");
        EXPECT_EQ(logIndex("setMenu"), std::string::npos);
        EXPECT_EQ(logIndex("setButtonBar"), std::string::npos);
        EXPECT_EQ(logIndex("showMainWindow"), std::string::npos);
    }
    fake->boxes.clear();
    {
        DataDir data(true, false);
        EXPECT_EQ(start(data.path()), 0);
        ASSERT_EQ(fake->boxes.size(), 1u);
        EXPECT_EQ(fake->boxes[0].text, "Warning: Unable to load file kz7wpn.bin");
        EXPECT_EQ(logIndex("setMenu"), std::string::npos);
        EXPECT_FALSE(shell_State().started);
    }
}

TEST_F(ShellTest, PaneWithoutAreaGetsNoSurfaceAndSaysSo) {
    DataDir data;
    fake->mapPaneSize = {0, 0};
    ASSERT_EQ(start(data.path()), 1);
    EXPECT_FALSE(shell_State().surfaceOk);
    ASSERT_GE(fake->boxes.size(), 1u);
    EXPECT_EQ(fake->boxes[0].text, text_Get("Dialog Message", "CANT_CREATE_DIB"));
    // Rendering without a surface presents nothing and does not crash.
    fake->presented.clear();
    shell_Render();
    EXPECT_TRUE(fake->presented.empty());
}

// ---------------------------------------------------------------------------------------
// Title and grid label

TEST_F(ShellTest, TitleAndGridLabelTexts) {
    ScopedTextTable table(test_ReadSourceFile("data/text/shell.txt"));
    const std::string title = "Sortie Mission Editor (" + std::string(shell_Version()) + ")";
    EXPECT_EQ(shell_TitleFor(""), title);
    EXPECT_EQ(ui_PlainText(shell_TitleFor("/m/a.mis")), title + " - /m/a.mis");
    // The path is marked as one, to be shown in its own encoding.
    EXPECT_NE(shell_TitleFor("/m/a.mis").find(ui_PathText("/m/a.mis")), std::string::npos);
    EXPECT_EQ(shell_GridLabel(128), "50.0 cm");
    EXPECT_EQ(shell_GridLabel(131072), "512 m");
    EXPECT_EQ(shell_GridLabel(384), "1 m");
    EXPECT_EQ(shell_GridLabel(255), "99.6 cm");
}

// ---------------------------------------------------------------------------------------
// The command table

TEST_F(ShellTest, ShowTogglesFlipTheirFlagSetTheirBoxAndRender) {
    DataDir data;
    ASSERT_EQ(start(data.path()), 1);
    for (const ShowToggle& t : shell_ShowToggles()) {
        const std::uint32_t before = view_State().show_flags;
        const size_t presents = fake->presented.size();
        shell_Command(t.command);
        EXPECT_EQ(view_State().show_flags, before ^ t.flag) << t.command;
        const int want = (view_State().show_flags & t.flag) ? kChecked : kUnchecked;
        EXPECT_EQ(fake->barControl(t.checkBox)->check, want) << t.command;
        EXPECT_EQ(fake->presented.size(), presents + 1) << "rendered after " << t.command;
        shell_Command(t.command);
        EXPECT_EQ(view_State().show_flags, before);
    }
    // Every show check box of the bar sends the command that toggles its own flag.
    for (const ShowToggle& t : shell_ShowToggles()) EXPECT_EQ(fake->barControl(t.checkBox)->command, t.command);
}

TEST_F(ShellTest, MapModesPagesGridAndViewBy) {
    DataDir data;
    ASSERT_EQ(start(data.path()), 1);
    shell_Command(cmd::kEdgeMap);
    EXPECT_EQ(view_State().map_mode, 2);
    EXPECT_EQ(fake->barControl(1003)->check, kChecked);
    shell_Key(Key::F2, 0);
    EXPECT_EQ(view_State().map_mode, 1);

    // Page 2, then Page 2 again: the second does nothing at all.
    shell_Command(cmd::kPage2);
    EXPECT_EQ(view_State().page, 1);
    EXPECT_EQ(&mission_CurrentPage(), &mission_Pages().page[1]);
    // (The menus' states are told after every command.)
    auto windowCalls = [&] {
        return std::count_if(fake->log.begin(), fake->log.end(),
                             [](const std::string& l) { return l.rfind("setMenu", 0) != 0; });
    };
    const auto logged = windowCalls();
    shell_Command(cmd::kPage2);
    EXPECT_EQ(windowCalls(), logged);
    shell_Command(cmd::kPage1);
    EXPECT_EQ(&mission_CurrentPage(), &mission_Pages().page[0]);

    // Grid+ stops at 4096 m but rewrites the label; Grid- stops at 1.
    view_State().grid_size = kGridSizeLargest;
    fake->log.clear();
    shell_Command(cmd::kGridBigger);
    EXPECT_EQ(view_State().grid_size, kGridSizeLargest);
    EXPECT_EQ(countLog("barSetText"), 1u);
    view_State().grid_size = 1;
    shell_Command(cmd::kGridSmaller);
    EXPECT_EQ(view_State().grid_size, 1);
    view_State().grid_size = 3;
    shell_Command(cmd::kGridSmaller);
    EXPECT_EQ(view_State().grid_size, 1);

    shell_Command(cmd::kSetViewBySide);
    EXPECT_EQ(view_State().view_by, 1);
    EXPECT_TRUE(fake->menuChecks[cmd::kSetViewBySide]);
    EXPECT_FALSE(fake->menuChecks[cmd::kSetViewByType]);
    // The empty-space context menu carries the same marks.
    const std::vector<MenuEntry> mm = shell_ContextMenu("MouseMenu");
    auto side = std::find_if(mm.begin(), mm.end(), [](const MenuEntry& e) { return e.id == cmd::kSetViewBySide; });
    ASSERT_NE(side, mm.end());
    EXPECT_TRUE(side->checked);

    shell_Key(Key::Insert, 0);
    EXPECT_EQ(view_State().insert_mode, 1);
    EXPECT_TRUE(fake->menuChecks[cmd::kInsertMode]);
    shell_Command(cmd::kSnap);
    EXPECT_EQ(view_State().snap_to_grid, 1);
}

TEST_F(ShellTest, ZoomKeysClampWithoutRedrawAndArrowsMoveByATenthOfTheGrid) {
    DataDir data;
    ASSERT_EQ(start(data.path()), 1);
    ViewState& v = view_State();
    v.zoom = 950.0f;
    fake->presented.clear();
    shell_Key(Key::PageUp, 0);
    EXPECT_FLOAT_EQ(v.zoom, 1000.0f);
    shell_Key(Key::PadPlus, 0);
    EXPECT_FLOAT_EQ(v.zoom, 1000.0f);
    EXPECT_TRUE(fake->presented.empty());
    v.zoom = 0.00011f;
    shell_Key(Key::PageDown, 0);
    EXPECT_FLOAT_EQ(v.zoom, 0.0001f);
    EXPECT_TRUE(fake->presented.empty());
    v.zoom = 1.0f;
    shell_Key(Key::Pad9, 0);
    EXPECT_FLOAT_EQ(v.zoom, 1.1f);
    EXPECT_EQ(fake->presented.size(), 1u);

    v.grid_size = 5;
    shell_Key(Key::Left, 0);
    EXPECT_EQ(v.center_x, 0);
    v.grid_size = 2560;
    shell_Key(Key::Right, 0);
    shell_Key(Key::Up, 0);
    shell_Key(Key::Up, 0);
    shell_Key(Key::Down, 0);
    EXPECT_EQ(v.center_x, 256);
    EXPECT_EQ(v.center_y, 256);
    EXPECT_EQ(fake->paneLines[kPaneCentre].at(0).text, "Centre: x 1.0 m, y 1.0 m");
}

TEST_F(ShellTest, ItemCommandsAndHooks) {
    DataDir data;
    ASSERT_EQ(start(data.path()), 1);
    ScopedItemDefs defs;
    Mission& page = mission_CurrentPage();
    const int a = test_AddItem(page, kTestJeep, 0, 0);
    const int b = test_AddItem(page, kTestCrate, 512, 0);
    mission_Select(page, a);
    mission_Select(page, b);
    shell_Command(cmd::kCopy);
    EXPECT_EQ(mission_Clipboard().selection.count, 2);
    shell_Command(cmd::kHideSelected);
    EXPECT_EQ(page.selection.count, 0);
    EXPECT_EQ(page.items[a].hidden, 1);
    shell_Command(cmd::kUnhideAll);
    EXPECT_EQ(page.items[b].hidden, 0);
    shell_Command(cmd::kPaste);
    EXPECT_EQ(gesture_State().state, kGesturePlace);
    // A gesture in progress: a click on the selection pane opens nothing; once idle it opens
    // the item attributes editor.
    mission_Select(page, b);
    shell_PaneClick(kPaneSelection);
    EXPECT_TRUE(fake->dialogsRun.empty());
    gesture_Reset();
    shell_PaneClick(kPaneSelection);
    mission_ClearSelection(page);
    // The small dialogs open from their commands and from a click on the centre pane.
    shell_PaneClick(kPaneCentre);
    for (int id : {cmd::kVisibleLayers, cmd::kLayerNames, cmd::kAbout, cmd::kBriefing}) shell_Command(id);
    const std::vector<std::string> dialogs = {"ITEMATTRIBUTES", "GETCENTER",   "VISIBLELAYERS",
                                              "LAYERNAMES",     "ABOUT_KZMED", "EDITBRIEFING"};
    EXPECT_EQ(fake->dialogsRun, dialogs);
    // Only the context menus' own ids go on from the map pane.
    EXPECT_FALSE(shell_ForwardMapCommand(cmd::kOpen));
    mission_Select(page, a);
    EXPECT_TRUE(shell_ForwardMapCommand(cmd::kDelete));
    EXPECT_EQ(page.item_count, 1);
    EXPECT_EQ(fake->paneLines[kPaneSelection].at(0).text, "Nothing selected");
}

// ---------------------------------------------------------------------------------------
// Exit confirmation, files and backups

TEST_F(ShellTest, ExitAsksAboutEachPageWithWorkAndStaysOnCancel) {
    DataDir data;
    ASSERT_EQ(start(data.path()), 1);
    ScopedItemDefs defs;
    fake->boxes.clear();  // start-up's note about the missing items.def
    // Empty page 1, items on page 2: page 2 is asked about too.
    test_AddItem(mission_Pages().page[1], kTestJeep);
    fake->msgAnswers = {MsgAnswer::Cancel};
    EXPECT_FALSE(shell_CloseRequest());
    ASSERT_EQ(fake->boxes.size(), 1u);
    EXPECT_EQ(fake->boxes[0].text, text_Get("Dialog Message", "SAVE_PAGE_2?"));
    EXPECT_EQ(fake->boxes[0].caption, text_Get("Dialog Message", "EXIT"));

    // Page 1 with only a terrain name is asked about as well; No to both closes.
    mission_SetText(mission_Pages().page[0].info.terrain, "greenvale");
    fake->boxes.clear();
    fake->msgAnswers = {MsgAnswer::No, MsgAnswer::No};
    EXPECT_TRUE(shell_CloseRequest());
    EXPECT_EQ(fake->boxes.size(), 2u);

    // Yes, then the file dialog cancelled: the editor stays open.
    fake->msgAnswers = {MsgAnswer::Yes};
    fake->fileAnswers = {std::nullopt};
    EXPECT_FALSE(shell_CloseRequest());

    // Yes and a file: written, then the next page is asked about.
    ScopedTempDir out;
    fake->msgAnswers = {MsgAnswer::Yes, MsgAnswer::Yes};
    fake->fileAnswers = {out.file("p1.mis"), out.file("p2.mis")};
    EXPECT_TRUE(shell_CloseRequest());
    EXPECT_TRUE(std::filesystem::exists(out.file("p1.mis")));
    EXPECT_TRUE(std::filesystem::exists(out.file("p2.mis")));
    EXPECT_EQ(mission_Pages().page[1].file_path, out.file("p2.mis"));
}

TEST_F(ShellTest, NewPagesHaveNoSubGoalsUntilChosen) {
    DataDir data;
    ASSERT_EQ(start(data.path()), 1);
    ScopedItemDefs defs;
    ScopedTempDir out;
    for (int cleared = 0; cleared < 2; ++cleared) {
        if (cleared) shell_Command(cmd::kClear);
        test_AddItem(mission_CurrentPage(), kTestJeep);
        const std::string file = out.file("new" + std::to_string(cleared) + ".mis");
        fake->fileAnswers = {file};
        shell_Command(cmd::kSaveAs);
        const std::string text = readWholeFile(file);
        EXPECT_NE(text.find("subgoals_win -1 -1 -1 -1\r\n"), std::string::npos) << text;
        EXPECT_NE(text.find("subgoals_lose -1 -1 -1 -1\r\n"), std::string::npos) << text;
    }
}

TEST_F(ShellTest, EmptyPagesCloseAtOnce) {
    DataDir data;
    ASSERT_EQ(start(data.path()), 1);
    fake->boxes.clear();
    EXPECT_TRUE(shell_CloseRequest());
    EXPECT_TRUE(fake->boxes.empty());
}

TEST_F(ShellTest, SaveFailureIsReportedWithPathAndKeepsTheOldName) {
    DataDir data;
    ASSERT_EQ(start(data.path()), 1);
    ScopedItemDefs defs;
    ScopedTempDir out;
    Mission& page = mission_CurrentPage();
    test_AddItem(page, kTestJeep);

    fake->fileAnswers = {out.file("good.mis")};
    shell_Command(cmd::kSave);
    EXPECT_EQ(page.file_path, out.file("good.mis"));
    EXPECT_EQ(fake->windowTitle,
              "Page 1 - Sortie Mission Editor (" + std::string(shell_Version()) + ") - " + out.file("good.mis"));
    ASSERT_EQ(fake->fileRequests.size(), 1u);
    EXPECT_TRUE(fake->fileRequests[0].save);
    EXPECT_TRUE(fake->fileRequests[0].promptOverwrite);
    EXPECT_EQ(fake->fileRequests[0].defaultExtension, "mis");

    const std::string bad = out.file("no-such-folder/bad.mis");
    fake->fileAnswers = {bad};
    const size_t boxes = fake->boxes.size();
    shell_Command(cmd::kSaveAs);  // Save would write to good.mis without asking
    ASSERT_EQ(fake->boxes.size(), boxes + 1);
    EXPECT_NE(fake->boxes.back().text.find(bad), std::string::npos);
    EXPECT_NE(fake->boxes.back().text.find("No such file"), std::string::npos);
    EXPECT_EQ(page.file_path, out.file("good.mis"));

    // Export into a missing folder: reported as well, nothing claimed.
    fake->fileAnswers = {out.file("gone/x.bms")};
    shell_Command(cmd::kExport);
    ASSERT_EQ(fake->boxes.size(), boxes + 2);
    EXPECT_NE(fake->boxes.back().text.find("gone/x.bms"), std::string::npos);
    fake->fileAnswers = {out.file("x.bms")};
    shell_Command(cmd::kExport);
    EXPECT_TRUE(std::filesystem::exists(out.file("x.bms")));
    EXPECT_EQ(fake->boxes.size(), boxes + 2);
}

TEST_F(ShellTest, BackupsGoToTheStateFolderForPagesWithItems) {
    DataDir data;
    ASSERT_EQ(start(data.path()), 1);
    ScopedItemDefs defs;
    ScopedTempDir state;
    ScopedEnvVar stateHome("XDG_STATE_HOME", state.path().c_str());
    EXPECT_EQ(shell_BackupFolder(), (state.path() / "sortie").string());

    Mission& p1 = mission_Pages().page[0];
    test_AddItem(p1, kTestJeep, 2560, 512);
    p1.file_path = "/keep/this.mis";
    shell_Timer(2);  // not the backup timer
    EXPECT_TRUE(history_BackupPath(0).empty());
    shell_Timer(kBackupTimer);
    const std::filesystem::path p1File = history_BackupPath(0);
    EXPECT_EQ(p1File.parent_path().parent_path(), state.path() / "sortie");
    EXPECT_TRUE(std::filesystem::exists(p1File));
    EXPECT_FALSE(std::filesystem::exists(history_BackupPath(1)));
    EXPECT_EQ(p1.file_path, "/keep/this.mis");
    EXPECT_NE(readWholeFile(p1File.string()).find("num_items 1"), std::string::npos);
    // Nothing but the backup, the note of its page's file and the editor's lock is left (no
    // temporaries).
    int files = 0;
    for (auto& e : std::filesystem::directory_iterator(p1File.parent_path())) {
        (void)e;
        ++files;
    }
    EXPECT_EQ(files, 3);
    // The backups report nothing: start-up's note about items.def is the one box.
    ASSERT_EQ(fake->boxes.size(), 1u);
    EXPECT_EQ(fake->boxes[0].text, text_Get("Dialog Message", "CANT_LOAD_ITEMS_DEF"));

    ScopedEnvVar relative("XDG_STATE_HOME", "relative/ignored");
    ScopedEnvVar home("HOME", state.path().c_str());
    EXPECT_EQ(shell_BackupFolder(), (state.path() / ".local" / "state" / "sortie").string());
}

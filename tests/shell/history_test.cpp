// Undo, redo, the modified state, the file questions and recovery, through the shell's
// commands and the map pane on the fake platform.
#include "shell/history.h"

#include "core/text.h"
#include "mapview/view.h"
#include "mapview/gesture.h"
#include "mission/metafile.h"
#include "mission/undo.h"
#include "resources/shell_dialogs.h"
#include "shell/dialogs.h"
#include "shell/shell.h"
#include "support/mission_pages.h"
#include "support/shell_env.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

namespace {

namespace fs = std::filesystem;

class HistoryTest : public ShellEnvTest {
protected:
    HistoryTest() : ShellEnvTest({"data/text/undo.txt"}) {}

    // Starts the shell again, as after a crash or a new run.
    void start(bool recovery = false, std::string mission = {}) {
        ShellArgs a;
        a.recovery = recovery;
        a.mission = std::move(mission);
        startShell(a, false);
    }

    // A saved mission of n jeeps in a row.
    std::string missionFile(const char* name, int n) {
        auto m = test_NewMission();
        for (int i = 0; i < n; ++i) test_AddItem(*m, kTestJeep, i * 2560, 0);
        const std::string path = out.file(name);
        EXPECT_EQ(metafile_Write(*m, path.c_str()), 1);
        return path;
    }

    bool titleMarked() { return fake->windowTitle.rfind("*", 0) == 0; }
    std::string undoText() { return fake->menuTexts[cmd::kUndo]; }
    static std::string label(const char* format, const char* step) {
        return text_Printf("Undo", format, {text_Get("Undo", step)});
    }

    ScopedTempDir state, out;
    ScopedEnvVar stateHome{"XDG_STATE_HOME", state.path().c_str()};
};

}  // namespace

TEST_F(HistoryTest, CommandsAreStepsNamedForWhatTheyDidAndTheTitleFollows) {
    start();
    ScopedItemDefs defs;
    shell_OpenMissionPath(missionFile("a.mis", 6));
    Mission& page = mission_CurrentPage();
    const auto opened = test_NewMission();
    std::memcpy(static_cast<MissionTables*>(opened.get()), static_cast<MissionTables*>(&page), sizeof(MissionTables));
    opened->file_path = page.file_path;
    EXPECT_FALSE(titleMarked());
    EXPECT_FALSE(fake->menuEnabled[cmd::kUndo]);

    // Selecting and zooming are no steps.
    mission_Select(page, 1);
    mission_Select(page, 4);
    shell_Command(cmd::kSelectType);
    shell_Key(Key::PageUp, 0);
    shell_Command(cmd::kPage2);
    shell_Command(cmd::kPage1);
    EXPECT_FALSE(titleMarked());
    EXPECT_FALSE(fake->menuEnabled[cmd::kUndo]);

    shell_Key(Key::Delete, 0);
    EXPECT_EQ(page.item_count, 0);  // Select Type took every jeep
    EXPECT_TRUE(titleMarked());
    EXPECT_EQ(undoText(), label("MENU_UNDO_NAMED", "STEP_DELETE"));
    EXPECT_TRUE(fake->menuEnabled[cmd::kUndo]);

    shell_Command(cmd::kUndo);
    EXPECT_TRUE(undo_SameContent(page, *opened));
    EXPECT_EQ(page.selection.count, 6);  // as it stood before the delete
    EXPECT_FALSE(titleMarked());
    EXPECT_EQ(fake->menuTexts[cmd::kRedo], label("MENU_REDO_NAMED", "STEP_DELETE"));
    shell_Command(cmd::kRedo);
    EXPECT_EQ(page.item_count, 0);
    EXPECT_TRUE(titleMarked());
    shell_Command(cmd::kUndo);

    // One step per editor session that changed something, named after the editor.
    fake->dialogScripts["EDITEVENTS"] = [](FakeDialog& d) {
        mission_CurrentPage().event_count = 1;
        d.click(kIdOk);
    };
    fake->dialogScripts["GENERALINFO"] = [](FakeDialog& d) {
        mission_SetText(mission_CurrentPage().info.terrain, "nowhere");
        d.click(kIdCancel);
    };
    shell_Command(cmd::kGroups);  // changed nothing
    EXPECT_FALSE(fake->menuEnabled[cmd::kUndo]);
    EXPECT_EQ(fake->menuTexts[cmd::kRedo], label("MENU_REDO_NAMED", "STEP_DELETE"));
    shell_Command(cmd::kGeneralInfo);
    EXPECT_EQ(undoText(), label("MENU_UNDO_NAMED", "STEP_TERRAIN"));
    shell_Command(cmd::kUndo);
    shell_Command(cmd::kEvents);
    EXPECT_EQ(undoText(), label("MENU_UNDO_NAMED", "STEP_EVENTS"));
    fake->dialogScripts["EDITBRIEFING"] = [](FakeDialog& d) {
        d.type(dlgid::kBriefingEdit, "Cross at dawn.");
        d.click(kIdOk);
    };
    shell_Command(cmd::kBriefing);
    EXPECT_EQ(undoText(), label("MENU_UNDO_NAMED", "STEP_BRIEFING"));
    shell_Command(cmd::kUndo);
    shell_Command(cmd::kUndo);
    EXPECT_TRUE(undo_SameContent(page, *opened));
    EXPECT_FALSE(titleMarked());
}

TEST_F(HistoryTest, AMoveGestureOnTheMapIsOneStep) {
    start();
    ScopedItemDefs defs;
    Mission& page = mission_CurrentPage();
    test_AddItem(page, kTestJeep, 0, 0);
    history_Baseline(0, true);
    mission_Select(page, 0);
    shell_Command(cmd::kMove);
    MapPaneSink& map = shell_MapSink();
    for (int x = 420; x < 460; x += 10) map.onMouseMove(x, 300, 0);
    EXPECT_FALSE(titleMarked());  // nothing placed yet
    map.onMouseDown(MouseButton::Left, 460, 300, 0);
    map.onMouseUp(MouseButton::Left, 460, 300, 0);
    EXPECT_NE(page.items[0].x, 0);
    EXPECT_EQ(undoText(), label("MENU_UNDO_NAMED", "STEP_MOVE"));
    shell_Command(cmd::kUndo);
    EXPECT_EQ(page.items[0].x, 0);
    EXPECT_FALSE(fake->menuEnabled[cmd::kUndo]);
}

TEST_F(HistoryTest, OpenClearAndExitAskOnlyAboutModifiedPages) {
    start();
    ScopedItemDefs defs;
    const std::string a = missionFile("a.mis", 3), b = missionFile("b.mis", 2);
    shell_OpenMissionPath(a);
    Mission& page = mission_CurrentPage();

    // Unmodified: Open, exit and Clear Page go on without a question.
    fake->fileAnswers = {b};
    shell_Command(cmd::kOpen);
    EXPECT_EQ(page.item_count, 2);
    EXPECT_TRUE(fake->boxes.empty());
    EXPECT_TRUE(shell_CloseRequest());
    shell_Command(cmd::kClear);
    EXPECT_EQ(page.item_count, 0);
    EXPECT_TRUE(fake->boxes.empty());
    shell_Command(cmd::kUndo);  // back to what the file holds
    EXPECT_EQ(page.item_count, 2);

    // Modified: Open asks; Cancel keeps the page and shows no file dialog.
    mission_Select(page, 0);
    shell_Command(cmd::kDelete);
    const size_t requests = fake->fileRequests.size();
    fake->msgAnswers = {MsgAnswer::Cancel};
    shell_Command(cmd::kOpen);
    ASSERT_EQ(fake->boxes.size(), 1u);
    EXPECT_EQ(fake->boxes[0].caption, text_Get("Undo", "OPEN"));
    EXPECT_EQ(fake->fileRequests.size(), requests);
    EXPECT_EQ(page.item_count, 1);
    // Clear Page asks too; No clears, and the clear is a step that undoes.
    fake->msgAnswers = {MsgAnswer::No};
    shell_Command(cmd::kClear);
    EXPECT_EQ(fake->boxes.back().caption, text_Get("Undo", "CLEAR"));
    EXPECT_EQ(page.item_count, 0);
    shell_Command(cmd::kUndo);
    EXPECT_EQ(page.item_count, 1);
    EXPECT_EQ(page.file_path, b);

    // Exit: Yes saves to the page's own file without a dialog; then nothing is asked.
    fake->msgAnswers = {MsgAnswer::Yes};
    EXPECT_TRUE(shell_CloseRequest());
    EXPECT_EQ(fake->fileRequests.size(), requests);
    auto check = test_NewMission();
    metafile_Read(*check, b.c_str());
    EXPECT_EQ(check->item_count, 1);
    EXPECT_FALSE(history_PageModified(0));
    const size_t boxes = fake->boxes.size();
    EXPECT_TRUE(shell_CloseRequest());
    EXPECT_EQ(fake->boxes.size(), boxes);
}

TEST_F(HistoryTest, SaveWritesToThePageFileAndSaveAsAsks) {
    start();
    ScopedItemDefs defs;
    Mission& page = mission_CurrentPage();
    test_AddItem(page, kTestJeep);
    EXPECT_TRUE(history_PageModified(0));  // items no file holds

    fake->fileAnswers = {out.file("first.mis")};
    shell_Command(cmd::kSave);  // no file yet: asks like Save As
    EXPECT_EQ(fake->fileRequests.size(), 1u);
    EXPECT_FALSE(titleMarked());
    test_AddItem(page, kTestCrate);
    shell_Command(cmd::kSave);  // to the page's file
    EXPECT_EQ(fake->fileRequests.size(), 1u);
    auto check = test_NewMission();
    metafile_Read(*check, out.file("first.mis").c_str());
    EXPECT_EQ(check->item_count, 2);

    fake->fileAnswers = {out.file("second.mis")};
    shell_Command(cmd::kSaveAs);
    EXPECT_EQ(fake->fileRequests.size(), 2u);
    EXPECT_EQ(page.file_path, out.file("second.mis"));
    // Undo after a save modifies the page again; the file name stays.
    shell_Command(cmd::kUndo);
    EXPECT_TRUE(titleMarked());
    EXPECT_EQ(page.file_path, out.file("second.mis"));
    shell_Command(cmd::kRedo);
    EXPECT_FALSE(titleMarked());
}

// A file's stray waypoint marker (path 200) is tidied as the page takes the file over, so the
// opened page is not modified; then drawing, saving and exporting only read the page: none of
// them is a step or marks the page.
TEST_F(HistoryTest, ReadingThePageIsNoStepAndAStrayMarkerIsTidiedOnOpen) {
    start();
    ScopedItemDefs defs;
    std::string path;
    {
        auto m = test_NewMission();
        for (std::int32_t wp : {5, 1, 1}) m->items[std::size_t(test_AddItem(*m, kWaypointMarkerType))].waypoint_id = wp;
        m->items[std::size_t(test_AddItem(*m, kAreaMarkerType, 512, 512))].wpnumber = 3;
        std::string text = metafile_Format(*m, metafile_HeaderTime());
        text.replace(text.find("waypoint_id 5"), 13, "waypoint_id 200");
        path = out.file("stray.mis");
        std::ofstream(path, std::ios::binary) << text;
    }
    shell_OpenMissionPath(path);
    Mission& page = mission_CurrentPage();
    ASSERT_EQ(page.item_count, 4);
    EXPECT_EQ(page.items[0].waypoint_id, 0);
    EXPECT_FALSE(history_PageModified(0));

    mission_Select(page, 1);
    struct Reader {
        const char* what;
        std::function<void()> run;
    };
    const Reader readers[] = {
        {"draw", [] { shell_Render(); }},
        {"save", [] { shell_Command(cmd::kSave); }},
        {"save as",
         [&] {
             fake->fileAnswers = {out.file("again.mis")};
             shell_Command(cmd::kSaveAs);
         }},
        {"export",
         [&] {
             fake->fileAnswers = {out.file("stray.bms")};
             shell_Command(cmd::kExport);
         }},
    };
    for (const Reader& r : readers) {
        r.run();
        EXPECT_EQ(undo_PageHistory(0).undoCount(), 0u) << r.what;
        EXPECT_FALSE(history_PageModified(0)) << r.what;
        EXPECT_FALSE(fake->menuEnabled[cmd::kUndo]) << r.what;
        EXPECT_EQ(undo_Selection(page), std::vector<std::int32_t>{1}) << r.what;
    }
    EXPECT_EQ(page.file_path, out.file("again.mis"));
    EXPECT_TRUE(fs::exists(out.file("stray.bms")));
}

TEST_F(HistoryTest, TheEditMenuStartsWithUndoAndRedoAndEveryStepHasItsWording) {
    start();
    // The steps the map and the dispatcher name by themselves (the rows' own are checked with
    // the action table).
    for (const char* key : {"STEP_EDIT", "STEP_MOVE", "STEP_PASTE", "STEP_INSERT", "STEP_TERRAIN"})
        EXPECT_NE(std::string(text_Get("Undo", key)), "Bad Texttool String") << key;
    for (const MenuEntry& top : fake->menu) {
        if (top.key != "EDIT") continue;
        ASSERT_GE(top.children.size(), 3u);
        EXPECT_EQ(top.children[0].id, cmd::kUndo);
        EXPECT_EQ(top.children[1].id, cmd::kRedo);
        EXPECT_FALSE(top.children[0].shortcut.empty());
    }
}

TEST_F(HistoryTest, RecoveryOffersANewerBackupOnceAndNeverOverTheFile) {
    start(true);
    const std::string file = missionFile("work.mis", 2);
    shell_OpenMissionPath(file);
    Mission& page = mission_CurrentPage();
    test_AddItem(page, kTestCrate, 5000, 5000);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    shell_Timer(kBackupTimer);
    fs::path backup = history_BackupPath(0);
    ASSERT_TRUE(fs::exists(backup));
    const std::string fileBytes = readWholeFile(file);

    // The editor "crashed": a new start offers the backup; Yes brings the work back modified.
    start(true);
    ASSERT_EQ(fake->boxes.size(), 1u);
    EXPECT_EQ(fake->boxes[0].caption, text_Get("Undo", "RECOVER"));
    EXPECT_NE(fake->boxes[0].text.find(file), std::string::npos);
    EXPECT_EQ(mission_CurrentPage().item_count, 3);
    EXPECT_EQ(mission_CurrentPage().file_path, file);
    EXPECT_TRUE(history_PageModified(0));
    EXPECT_TRUE(titleMarked());
    EXPECT_EQ(readWholeFile(file), fileBytes);

    // The same content is not offered again, whatever the answer was.
    start(true);
    EXPECT_TRUE(fake->boxes.empty());

    // A backup older than its page's file is stale; so is one after a clean exit.
    shell_OpenMissionPath(file);
    test_AddItem(mission_CurrentPage(), kTestCrate, 1, 1);
    shell_Timer(kBackupTimer);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    missionFile("work.mis", 4);
    start(true);
    EXPECT_TRUE(fake->boxes.empty());
    shell_OpenMissionPath(file);
    test_AddItem(mission_CurrentPage(), kTestCrate, 2, 2);
    shell_Timer(kBackupTimer);
    backup = history_BackupPath(0);
    ASSERT_TRUE(fs::exists(backup));
    shell_Shutdown();
    EXPECT_FALSE(fs::exists(backup));

    // A save makes the page's backup stale as well.
    start(true);
    test_AddItem(mission_CurrentPage(), kTestCrate, 3, 3);
    shell_Timer(kBackupTimer);
    backup = history_BackupPath(0);
    ASSERT_TRUE(fs::exists(backup));
    fake->fileAnswers = {out.file("saved.mis")};
    shell_Command(cmd::kSave);
    EXPECT_FALSE(fs::exists(backup));
}

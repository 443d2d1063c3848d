// The flows that cross the real main window where work could be lost: the shortcuts after a
// save (the menus are rebuilt then), Export and the title, and a recovery question left open
// while the backup timer fires. Offscreen, with key clicks on the window.
#include "session_support.h"

#include "mission/mission.h"
#include "shell/history.h"
#include "shell/shell.h"

#include <QAction>
#include <QApplication>
#include <QTest>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

class TrustSession : public EditorSessionTest {
protected:
    // A copy of the tutorial in the session's folder, opened; the first few items selected.
    std::string openCopy() {
        const std::string copy = file("work.mis");
        fs::copy_file(sampleMission, copy, fs::copy_options::overwrite_existing);
        qt.files = {copy};
        menuAction(qt.mainWindow(), cmd::kOpen)->trigger();
        return copy;
    }
    // A key on the active main window, as the user types it: shortcuts of the window's menus
    // answer only when the window is active.
    void key(int k, Qt::KeyboardModifiers mods) {
        MainWindow& w = qt.mainWindow();
        if (!w.isActiveWindow()) {
            w.activateWindow();
            QApplication::setActiveWindow(&w);
            EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
        }
        QTest::keyClick(&w, Qt::Key(k), mods);
    }
    bool marked() { return qt.mainWindow().windowTitle().startsWith('*'); }
};

TEST_F(TrustSession, CtrlSThenCtrlZUndoesAndSaveAsKeepsTheRedo) {
    ASSERT_NO_FATAL_FAILURE(start());
    const std::string copy = openCopy();
    Mission& page = mission_CurrentPage();
    const int items = page.item_count;
    ASSERT_GT(items, 2);
    mission_Select(page, 0);
    mission_Select(page, 1);
    key(Qt::Key_Delete, Qt::NoModifier);
    ASSERT_EQ(page.item_count, items - 2);
    key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_FALSE(marked());
    EXPECT_TRUE(menuAction(qt.mainWindow(), cmd::kUndo)->isEnabled());
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(page.item_count, items);
    EXPECT_TRUE(marked());

    // Save As with the redo waiting, then Ctrl+Y.
    qt.files = {file("other.mis")};
    key(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_TRUE(fs::exists(file("other.mis")));
    EXPECT_TRUE(menuAction(qt.mainWindow(), cmd::kRedo)->isEnabled());
    key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(page.item_count, items - 2);
    EXPECT_TRUE(marked());
}

TEST_F(TrustSession, ExportLeavesTheTitleUnmarked) {
    ASSERT_NO_FATAL_FAILURE(start());
    openCopy();
    EXPECT_FALSE(marked());
    qt.files = {file("out.bms")};
    key(Qt::Key_E, Qt::ControlModifier);
    ASSERT_TRUE(fs::exists(file("out.bms")));
    EXPECT_FALSE(marked());
    EXPECT_FALSE(menuAction(qt.mainWindow(), cmd::kUndo)->isEnabled());
}

// A backup of an editor that crashed; the question stays open longer than the (shortened)
// backup interval. The backup survives until answered, and the recovered page is saved only
// under a name the user confirms.
TEST_F(TrustSession, RecoveryQuestionLeftOpenAcrossABackupTick) {
    const std::string original = file("work.mis");
    fs::copy_file(sampleMission, original);
    const fs::path gone = fs::path(dir) / "state" / "sortie" / "editor-crashed";
    fs::create_directories(gone);
    fs::copy_file(sampleMission, gone / "MEDP1BCK.MIS");
    std::ofstream(gone / "backups.txt") << "page1.file=" << original << "\n";
    fs::last_write_time(original, fs::last_write_time(gone / "MEDP1BCK.MIS") - std::chrono::hours(1));

    qputenv("SORTIE_BACKUP_INTERVAL", "1");
    qt.holdMs = 1500;
    qt.answers = {MsgAnswer::Yes};
    ShellArgs args;
    args.recovery = true;
    ASSERT_NO_FATAL_FAILURE(start(args));
    qunsetenv("SORTIE_BACKUP_INTERVAL");
    qt.holdMs = 0;
    ASSERT_EQ(qt.shown.size(), 1u);
    EXPECT_GT(mission_CurrentPage().item_count, 0);
    EXPECT_FALSE(fs::exists(gone));
    EXPECT_TRUE(marked());

    const std::string before = readFile(original);
    const std::size_t asked = qt.requests.size();
    qt.files = {std::nullopt};
    key(Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(qt.requests.size(), asked + 1);
    EXPECT_EQ(qt.requests.back().initialName, "work.mis");
    EXPECT_EQ(readFile(original), before);
    shell_Shutdown();
}

}  // namespace

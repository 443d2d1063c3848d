// A scripted session of the editor on the sample data kit, offscreen: open a sample mission,
// toggle every show flag and map mode with the button bar, zoom and scroll with the keys,
// save, export, let the backup timer fire, and leave through the exit question. Message
// boxes and file dialogs are answered by the script through the platform interface.
#include "session_support.h"

#include "core/text.h"
#include "gamedata/itemdef.h"
#include "mapview/view.h"
#include "mission/export.h"
#include "mission/mission.h"
#include "shell/history.h"
#include "shell/shell.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QTest>
#include <QTimer>

#include <filesystem>

namespace fs = std::filesystem;

using EditorSession = EditorSessionTest;

TEST_F(EditorSession, StartOpenToggleZoomSaveExportBackupAndExit) {
    ASSERT_NO_FATAL_FAILURE(start());
    MainWindow& w = qt.mainWindow();
    EXPECT_TRUE(qt.shown.empty()) << qt.shown.front();
    EXPECT_GT(itemdef_Count(), 0);

    // File > Open a sample mission.
    qt.files = {sampleMission};
    QAction* open = menuAction(w, cmd::kOpen);
    ASSERT_NE(open, nullptr);
    open->trigger();
    Mission& page = mission_Pages().page[0];
    const int items = page.item_count;
    EXPECT_GT(items, 0);
    EXPECT_NE(w.windowTitle().toStdString().find("tutorial.mis"), std::string::npos);
    EXPECT_TRUE(qt.shown.empty());
    w.mapPane().repaint();
    ASSERT_FALSE(w.mapPane().image().isNull());
    EXPECT_EQ(w.mapPane().image().width(), view_Surface().width);

    // Every show flag through its check box, twice.
    for (const ShowToggle& t : shell_ShowToggles()) {
        auto* box = qobject_cast<QAbstractButton*>(w.barWidget(t.checkBox));
        ASSERT_NE(box, nullptr) << t.checkBox;
        const std::uint32_t before = view_State().show_flags;
        // On the box itself: a check box takes clicks on its mark and caption only.
        const QPoint mark(6, box->height() / 2);
        QTest::mouseClick(box, Qt::LeftButton, {}, mark);
        EXPECT_EQ(view_State().show_flags, before ^ t.flag) << t.command;
        EXPECT_EQ(box->isChecked(), (view_State().show_flags & t.flag) != 0) << t.command;
        QTest::mouseClick(box, Qt::LeftButton, {}, mark);
        EXPECT_EQ(view_State().show_flags, before) << t.command;
    }
    // Every map mode through its button, then with the keys.
    QWidget* keys = w.centralWidget();
    for (int mode = 2; mode >= 0; --mode) {
        auto* b = qobject_cast<QAbstractButton*>(w.barWidget(1001 + mode));
        ASSERT_NE(b, nullptr);
        QTest::mouseClick(b, Qt::LeftButton);
        EXPECT_EQ(view_State().map_mode, mode);
        EXPECT_TRUE(b->isChecked());
    }
    QTest::keyClick(keys, Qt::Key_F3);
    EXPECT_EQ(view_State().map_mode, 2);
    QTest::keyClick(keys, Qt::Key_F1);
    EXPECT_EQ(view_State().map_mode, 0);

    // Zoom and scroll.
    const float zoom = view_State().zoom;
    QTest::keyClick(keys, Qt::Key_PageUp);
    EXPECT_FLOAT_EQ(view_State().zoom, zoom * 1.1f);
    QTest::keyClick(keys, Qt::Key_PageDown);
    const std::int32_t cx = view_State().center_x, cy = view_State().center_y;
    QTest::keyClick(keys, Qt::Key_Right);
    QTest::keyClick(keys, Qt::Key_Up);
    EXPECT_EQ(view_State().center_x, cx + view_State().grid_size / 10);
    EXPECT_EQ(view_State().center_y, cy + view_State().grid_size / 10);
    EXPECT_FALSE(w.pane(0).lines().empty());

    // Save As and export.
    const std::string saved = file("saved.mis"), exported = file("out.bms");
    qt.files = {saved};
    menuAction(w, cmd::kSaveAs)->trigger();
    EXPECT_TRUE(fs::exists(saved));
    EXPECT_NE(w.windowTitle().toStdString().find("saved.mis"), std::string::npos);
    qt.files = {exported};
    menuAction(w, cmd::kExport)->trigger();
    ASSERT_TRUE(fs::exists(exported));
    // A change no file holds yet: the backup timer and the exit question are about it.
    page.items[0].x += 256;

    // The backup timer, made to fire soon.
    qt.setTimer(kBackupTimer, 5);
    for (int i = 0; i < 100 && history_BackupPath(0).empty(); ++i) QTest::qWait(10);
    const fs::path backup = history_BackupPath(0);
    EXPECT_TRUE(fs::exists(backup));
    EXPECT_EQ(backup.parent_path().parent_path(), fs::path(dir) / "state" / "sortie");
    EXPECT_FALSE(fs::exists(history_BackupPath(1)));
    if (auto back = readMission(backup.string()))
        EXPECT_EQ(back->item_count, items);
    else
        ADD_FAILURE() << "the backup does not read";

    // Leaving by File > Exit in the running application: the question for page 1, answered
    // Yes, saves to the page's file without a dialog; the quit closes the window without
    // asking again.
    const size_t requests = qt.requests.size();
    fs::remove(saved);
    qt.answers = {MsgAnswer::Yes};
    QTimer::singleShot(0, menuAction(w, cmd::kExit), &QAction::trigger);
    QTimer stuck;  // an exit that never comes ends the loop with 2
    stuck.setSingleShot(true);
    QObject::connect(&stuck, &QTimer::timeout, [] { QCoreApplication::exit(2); });
    stuck.start(20000);
    EXPECT_EQ(QApplication::exec(), 0);
    ASSERT_EQ(qt.shown.size(), 1u);
    EXPECT_EQ(qt.shown[0], text_Get("Dialog Message", "SAVE_PAGE_1?"));
    EXPECT_EQ(qt.requests.size(), requests);
    EXPECT_FALSE(w.isVisible());
    EXPECT_TRUE(fs::exists(saved));
    EXPECT_FALSE(fs::exists(backup.parent_path()));  // a clean exit leaves nothing of this editor's

    // The file holds the mission.
    for (const std::string& f : {saved}) {
        auto back = readMission(f);
        EXPECT_NE(back, nullptr) << f;
        if (back) EXPECT_EQ(back->item_count, items) << f;
    }
    BmsFile parsed;
    std::string error;
    ASSERT_TRUE(readBms(exported, parsed, error)) << error;
    EXPECT_EQ(
        parsed.header.itemCount + parsed.header.decorCount + parsed.header.markerCount + parsed.header.personCount,
        items);
}

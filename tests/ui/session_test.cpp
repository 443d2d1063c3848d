// A scripted session of the editor on the sample data kit, offscreen: open a sample mission,
// toggle every show flag and map mode with the button bar, zoom and scroll with the keys,
// save, export, let the backup timer fire, and leave through the exit question. Message
// boxes and file dialogs are answered by the script through the platform interface.
#include "platform/qt/qt_platform.h"

#include "core/mem.h"
#include "core/text.h"
#include "gamedata/itemdef.h"
#include "gamedata/model.h"
#include "gamedata/sky.h"
#include "mapview/view.h"
#include "mission/export.h"
#include "mission/metafile.h"
#include "mission/mission.h"
#include "shell/history.h"
#include "shell/reset.h"
#include "shell/shell.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

namespace fs = std::filesystem;

class ScriptedQtPlatform : public QtPlatform {
public:
    std::deque<MsgAnswer> answers;
    std::deque<std::optional<std::string>> files;
    std::vector<std::string> shown;
    std::vector<FileDialogRequest> requests;

    MsgAnswer messageBox(std::string_view text, std::string_view, MsgIcon, MsgButtons) override {
        shown.emplace_back(text);
        if (answers.empty()) return MsgAnswer::Ok;
        MsgAnswer a = answers.front();
        answers.pop_front();
        return a;
    }
    std::optional<std::string> fileDialog(const FileDialogRequest& r) override {
        requests.push_back(r);
        if (files.empty()) return std::nullopt;
        auto f = files.front();
        files.pop_front();
        return f;
    }
};

QAction* menuAction(MainWindow& w, int id) {
    for (QAction* top : w.menuBar()->actions()) {
        if (!top->menu()) continue;
        for (QAction* a : top->menu()->actions())
            if (!a->isSeparator() && a->data().toInt() == id) return a;
    }
    return nullptr;
}

std::vector<std::uint8_t> readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

TEST(EditorSession, StartOpenToggleZoomSaveExportBackupAndExit) {
    const std::string kit = SORTIE_GAMEDATA_DIR;
    // The build always makes the kit: without it this session has not run, which is a failure.
    ASSERT_TRUE(fs::exists(fs::path(kit) / "kz7.pff")) << "no sample kit at " << kit;
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const std::string dir = tmp.path().toStdString();
    qputenv("XDG_STATE_HOME", QByteArray::fromStdString(dir + "/state"));

    ScriptedQtPlatform qt;
    platform_Set(&qt);
    ShellArgs args;
    args.dataDir = kit;
    ASSERT_EQ(shell_Startup(args), 1);
    MainWindow& w = qt.mainWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    EXPECT_TRUE(qt.shown.empty()) << qt.shown.front();
    EXPECT_GT(itemdef_Count(), 0);

    // File > Open a sample mission.
    const std::string sample = std::string(SORTIE_SOURCE_DIR) + "/data/missions/tutorial.mis";
    qt.files = {sample};
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
    const std::string saved = dir + "/saved.mis", exported = dir + "/out.bms";
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
    const fs::path backup = fs::path(dir) / "state" / "sortie" / "MEDP1BCK.MIS";
    qt.setTimer(kBackupTimer, 5);
    for (int i = 0; i < 100 && !fs::exists(backup); ++i) QTest::qWait(10);
    EXPECT_TRUE(fs::exists(backup));
    EXPECT_FALSE(fs::exists(fs::path(dir) / "state" / "sortie" / "MEDP2BCK.MIS"));

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

    // The files hold the mission.
    for (const std::string& f : {saved, backup.string()}) {
        auto back = std::make_unique<Mission>();
        EXPECT_EQ(metafile_Read(*back, f.c_str(), MetafileReadOptions{false, nullptr}), 1) << f;
        EXPECT_EQ(back->item_count, items) << f;
    }
    std::vector<std::uint8_t> bms = readBytes(exported);
    BmsFile parsed;
    std::string error;
    ASSERT_TRUE(bms_Parse(bms.data(), bms.size(), parsed, error)) << error;
    EXPECT_EQ(parsed.header.itemCount + parsed.header.decorCount + parsed.header.markerCount +
                  parsed.header.personCount,
              items);

    qt.setSinks(nullptr, nullptr);
    platform_Set(nullptr);
    sortie_ResetProcess();
}

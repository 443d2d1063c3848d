// The groups, waypoints and area-trigger editors in a scripted session on the sample kit,
// offscreen: opened from the Edit menu on a sample mission, worked with mouse and keys,
// closed by Escape, the close box and OK; the mission saved and checked by sortie-cli.
#include "platform/qt/qt_dialog.h"
#include "platform/qt/qt_platform.h"

#include "core/mem.h"
#include "core/text.h"
#include "gamedata/itemdef.h"
#include "gamedata/model.h"
#include "gamedata/sky.h"
#include "logic/records_editor.h"
#include "mapview/interact.h"
#include "mapview/render.h"
#include "mapview/view.h"
#include "mission/metafile.h"
#include "mission/mission.h"
#include "shell/dialogs.h"
#include "shell/reset.h"
#include "shell/shell.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <functional>

using namespace recid;

namespace {

// Answers file dialogs from a queue and runs each dialog with the next script.
class ScriptedQtPlatform : public QtPlatform {
public:
    std::deque<std::optional<std::string>> files;
    std::deque<std::function<void(QtDialog&)>> dialogs;
    std::vector<std::string> shown;

    MsgAnswer messageBox(std::string_view text, std::string_view, MsgIcon, MsgButtons) override {
        shown.emplace_back(text);
        return MsgAnswer::No;
    }
    std::optional<std::string> fileDialog(const FileDialogRequest&) override {
        if (files.empty()) return std::nullopt;
        auto f = files.front();
        files.pop_front();
        return f;
    }
    int runDialog(std::string_view name, DialogProc& proc) override {
        const DialogTemplate* t = resources_FindDialog(name);
        if (!t || dialogs.empty()) return -1;
        QtDialog dlg(*t, proc, &mainWindow());
        QTimer::singleShot(0, [&dlg, script = dialogs.front()] { script(dlg); });
        dialogs.pop_front();
        QTimer::singleShot(10000, &dlg.window(), [&dlg] { dlg.end(-99); });
        return dlg.run();
    }
};

QAction* menuAction(MainWindow& w, int id) {
    for (QAction* top : w.menuBar()->actions())
        for (QAction* a : top->menu() ? top->menu()->actions() : QList<QAction*>{})
            if (!a->isSeparator() && a->data().toInt() == id) return a;
    return nullptr;
}

template <class W>
W* widget(QtDialog& d, int id) {
    W* w = qobject_cast<W*>(d.control(id));
    EXPECT_NE(w, nullptr) << "control " << id;
    return w;
}

QPoint paneAt(const MissionItem& item) {
    std::int64_t px = 0, py = 0;
    interact_WorldToPane(interact_Viewport(view_State(), view_Surface()), item.x, item.y, px, py);
    return {static_cast<int>(px), static_cast<int>(py)};
}

// Pixels of this colour within r pixels of p.
int pixelsOf(const QImage& img, QPoint p, int r, std::uint32_t colour) {
    int n = 0;
    for (int y = p.y() - r; y <= p.y() + r; ++y)
        for (int x = p.x() - r; x <= p.x() + r; ++x) n += img.valid(x, y) && (img.pixel(x, y) & 0xFFFFFFu) == colour;
    return n;
}

}  // namespace

TEST(RecordsSession, RenameGroupsColourAPathSelectAnAreaAndSave) {
    const std::string kit = SORTIE_GAMEDATA_DIR;
    ASSERT_TRUE(std::filesystem::exists(kit + "/kz7.pff")) << "no sample kit at " << kit;
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const std::string saved = tmp.path().toStdString() + "/edited.mis";
    qputenv("XDG_STATE_HOME", QByteArray::fromStdString(tmp.path().toStdString()));
    ScriptedQtPlatform qt;
    platform_Set(&qt);
    ShellArgs args;
    args.dataDir = kit;
    ASSERT_EQ(shell_Startup(args), 1);
    MainWindow& w = qt.mainWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    qt.files = {std::string(SORTIE_SOURCE_DIR) + "/data/missions/tutorial.mis"};
    menuAction(w, cmd::kOpen)->trigger();
    Mission& page = mission_Pages().page[0];
    ASSERT_EQ(mission_Text(page.groups[1].description), "Blue Players");

    // The view on the middle of path 1's first leg, drawn green.
    const MissionItem* leg[2] = {};
    std::int32_t member = -1;
    for (int i = 0; i < page.item_count; ++i) {
        const MissionItem& it = page.items[std::size_t(i)];
        if (it.type_id == kWaypointMarkerType && it.waypoint_id == 1 && it.wpnumber < 2) leg[it.wpnumber] = &it;
        if (it.group_id == 1 && member < 0) member = i;
    }
    ASSERT_TRUE(leg[0] && leg[1] && member >= 0);
    view_State().center_x = (leg[0]->x + leg[1]->x) / 2;
    view_State().center_y = (leg[0]->y + leg[1]->y) / 2;
    view_State().zoom = 0.01f;
    shell_Render();
    const QPoint mid = (paneAt(*leg[0]) + paneAt(*leg[1])) / 2;
    const std::uint32_t green = render_CodeColour(4), purple = render_CodeColour(8);
    ASSERT_GT(pixelsOf(w.mapPane().image(), mid, 3, green), 0) << "path 1 is not drawn where expected";

    // Groups: rename group 1 and select its members, name group 3, leave with Escape.
    const QPoint at = paneAt(page.items[std::size_t(member)]);
    const int selectedBefore = pixelsOf(w.mapPane().image(), at, 12, kColourSelection);
    qt.dialogs = {[](QtDialog& d) {
        auto* list = widget<QListWidget>(d, kList);
        auto* edit = widget<QLineEdit>(d, kDesc);
        EXPECT_EQ(list->count(), 63);
        EXPECT_NE(d.text(kSize).find('4'), std::string::npos) << d.text(kSize);
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, "Alpha squad");
        EXPECT_EQ(list->item(0)->text().toStdString(), " 1 - Alpha squad");
        QTest::mouseClick(widget<QPushButton>(d, kSelect), Qt::LeftButton);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(2)).center());
        QTest::keyClicks(edit, "Scouts");
        QTest::keyClick(&d.window(), Qt::Key_Escape);
    }};
    menuAction(w, cmd::kGroups)->trigger();
    EXPECT_EQ(mission_Text(page.groups[1].description), "Alpha squad");
    EXPECT_EQ(mission_Text(page.groups[3].description), "Scouts");
    EXPECT_TRUE(mission_IsSelected(page, member));
    EXPECT_GT(pixelsOf(w.mapPane().image(), at, 12, kColourSelection), selectedBefore);

    // Waypoints: path 1 turns purple on the map while the dialog is open; the close box.
    qt.dialogs = {[&](QtDialog& d) {
        auto* colour = widget<QComboBox>(d, kColor);
        ASSERT_EQ(colour->count(), kRecordColorCount);
        for (int i = 0; i < colour->count(); ++i)
            EXPECT_EQ(colour->itemText(i).toStdString(), text_Get("Colors", records_ColorKey(i)));
        EXPECT_EQ(colour->currentIndex(), 4);
        colour->setCurrentIndex(8);  // as a choice by mouse or keys
        EXPECT_GT(pixelsOf(w.mapPane().image(), mid, 3, purple), 0);
        d.window().close();
    }};
    menuAction(w, cmd::kWaypoints)->trigger();
    EXPECT_EQ(page.waypoints[1].color, 8);
    EXPECT_EQ(pixelsOf(w.mapPane().image(), mid, 3, green), 0);

    // Area triggers: the two markers of area 1 and nothing else; OK.
    shell_Command(cmd::kUnselectAll);
    qt.dialogs = {[](QtDialog& d) {
        EXPECT_EQ(d.text(kDesc), "Village square");
        QTest::mouseClick(widget<QPushButton>(d, kSelect), Qt::LeftButton);
        QTest::mouseClick(widget<QPushButton>(d, kIdOk), Qt::LeftButton);
    }};
    menuAction(w, cmd::kAreaTriggers)->trigger();
    EXPECT_TRUE(qt.dialogs.empty());
    EXPECT_EQ(page.selection.count, 2);
    for (int s = 0; s < page.selection.count; ++s) {
        const MissionItem& it = page.items[std::size_t(page.selection.index[std::size_t(s)])];
        EXPECT_TRUE(it.type_id == kAreaMarkerType && it.wpnumber == 1);
    }

    // Saved, read back with the edits, and clean for the command-line check.
    qt.files = {saved};
    menuAction(w, cmd::kSaveAs)->trigger();
    EXPECT_TRUE(qt.shown.empty()) << qt.shown.front();
    auto back = std::make_unique<Mission>();
    ASSERT_EQ(metafile_Read(*back, saved.c_str(), MetafileReadOptions{false, nullptr}), 1);
    EXPECT_EQ(mission_Text(back->groups[1].description), "Alpha squad");
    EXPECT_EQ(mission_Text(back->groups[3].description), "Scouts");
    EXPECT_EQ(back->waypoints[1].color, 8);
    QProcess check;
    check.start(SORTIE_CLI_PATH, {"--data", QString::fromStdString(kit), "check", QString::fromStdString(saved)});
    ASSERT_TRUE(check.waitForFinished(30000));
    const std::string complaints = check.readAllStandardError().toStdString();
    EXPECT_EQ(check.exitCode(), 0) << complaints;
    EXPECT_EQ(complaints, "");

    qt.setSinks(nullptr, nullptr);
    platform_Set(nullptr);
    records_Hooks() = {};
    sortie_ResetProcess();
}

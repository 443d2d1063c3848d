// A scripted session with the groups, waypoints and area-trigger editors on the sample kit,
// offscreen: a sample mission opened, groups renamed and their members selected, a waypoint
// path given a new colour that the map shows while the dialog is still open, an area's
// markers selected, the mission saved and checked by sortie-cli. The dialogs are real Qt
// ones opened from the Edit menu and worked with the mouse and keyboard.
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

namespace fs = std::filesystem;

class ScriptedQtPlatform : public QtPlatform {
public:
    std::deque<std::optional<std::string>> files;
    std::deque<std::function<void(QtDialog&)>> dialogs;  // one script per dialog opened
    std::vector<std::string> dialogsRun;
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
        dialogsRun.emplace_back(name);
        const DialogTemplate* t = resources_FindDialog(name);
        if (!t) return -1;
        QtDialog dlg(*t, proc, &mainWindow());
        std::function<void(QtDialog&)> script;
        if (!dialogs.empty()) {
            script = dialogs.front();
            dialogs.pop_front();
        }
        QTimer::singleShot(0, [&dlg, script] {
            EXPECT_EQ(QApplication::activeModalWidget(), &dlg.window());
            if (script) script(dlg);
            else QTest::keyClick(&dlg.window(), Qt::Key_Escape);
        });
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, [&dlg] { dlg.end(-99); });
        guard.start(10000);
        return dlg.run();
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

template <class W>
W* widget(QtDialog& d, int id) {
    W* w = qobject_cast<W*>(d.control(id));
    EXPECT_NE(w, nullptr) << "control " << id;
    return w;
}

void clickRow(QListWidget* l, int row) {
    l->scrollToItem(l->item(row));
    QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, l->visualItemRect(l->item(row)).center());
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
        for (int x = p.x() - r; x <= p.x() + r; ++x)
            if (img.valid(x, y) && (img.pixel(x, y) & 0xFFFFFFu) == colour) ++n;
    return n;
}

}  // namespace

TEST(RecordsSession, RenameGroupsColourAPathSelectAnAreaAndSave) {
    const std::string kit = SORTIE_GAMEDATA_DIR;
    ASSERT_TRUE(fs::exists(fs::path(kit) / "kz7.pff")) << "no sample kit at " << kit;
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const std::string dir = tmp.path().toStdString();
    qputenv("XDG_STATE_HOME", QByteArray::fromStdString(dir + "/state"));

    ScriptedQtPlatform qt;
    platform_Set(&qt);
    interact_Reset();
    dialogs_Reset();
    ShellArgs args;
    args.dataDir = kit;
    ASSERT_EQ(shell_Startup(args), 1);
    MainWindow& w = qt.mainWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));

    qt.files = {std::string(SORTIE_SOURCE_DIR) + "/data/missions/tutorial.mis"};
    menuAction(w, cmd::kOpen)->trigger();
    Mission& page = mission_Pages().page[0];
    ASSERT_GT(page.item_count, 0);
    ASSERT_EQ(mission_Text(page.groups[1].description), "Blue Players");
    ASSERT_EQ(mission_Text(page.waypoints[1].description), "To the village");

    // The first two points of path 1 in the middle of the pane, 40 m apart.
    const MissionItem* path[2] = {nullptr, nullptr};
    for (int i = 0; i < page.item_count; ++i) {
        const MissionItem& it = page.items[std::size_t(i)];
        if (it.type_id == kWaypointMarkerType && it.waypoint_id == 1 && it.wpnumber < 2) path[it.wpnumber] = &it;
    }
    ASSERT_TRUE(path[0] && path[1]);
    ViewState& v = view_State();
    v.center_x = (path[0]->x + path[1]->x) / 2;
    v.center_y = (path[0]->y + path[1]->y) / 2;
    v.zoom = 0.01f;
    shell_Render();
    const QPoint a = paneAt(*path[0]), b = paneAt(*path[1]);
    const QPoint mid = (a + b) / 2;
    ASSERT_GT((a - b).manhattanLength(), 60);
    const std::uint32_t green = render_CodeColour(4), purple = render_CodeColour(8);
    ASSERT_EQ(page.waypoints[1].color, 4);
    ASSERT_GT(pixelsOf(w.mapPane().image(), mid, 3, green), 0) << "path 1 is not drawn where expected";
    ASSERT_EQ(pixelsOf(w.mapPane().image(), mid, 3, purple), 0);

    // Groups: rename group 1 and select its members, name group 3, leave with Escape.
    std::int32_t member = -1;
    for (int i = 0; i < page.item_count && member < 0; ++i)
        if (page.items[std::size_t(i)].group_id == 1) member = i;
    ASSERT_GE(member, 0);
    const QImage before = w.mapPane().image().copy();
    qt.dialogs = {[](QtDialog& d) {
        EXPECT_LT(d.window().width(), 1000);
        auto* list = widget<QListWidget>(d, kList);
        auto* edit = widget<QLineEdit>(d, kDesc);
        EXPECT_EQ(list->count(), 63);
        EXPECT_EQ(edit->text().toStdString(), "Blue Players");
        EXPECT_NE(d.text(kSize).find('4'), std::string::npos) << d.text(kSize);  // rebuilt before opening
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, "Alpha squad");
        EXPECT_EQ(list->item(0)->text().toStdString(), " 1 - Alpha squad");
        QTest::mouseClick(widget<QPushButton>(d, kSelect), Qt::LeftButton);
        clickRow(list, 2);
        EXPECT_EQ(edit->text().toStdString(), "");
        QTest::keyClicks(edit, "Scouts");
        QTest::keyClick(&d.window(), Qt::Key_Escape);
    }};
    menuAction(w, cmd::kGroups)->trigger();
    EXPECT_EQ(mission_Text(page.groups[1].description), "Alpha squad");
    EXPECT_EQ(mission_Text(page.groups[3].description), "Scouts");
    EXPECT_EQ(mission_Text(page.groups[2].description), "Red Players");
    EXPECT_GE(page.selection.count, 1);
    EXPECT_TRUE(mission_IsSelected(page, member));
    const QPoint at = paneAt(page.items[std::size_t(member)]);
    EXPECT_GT(pixelsOf(w.mapPane().image(), at, 12, kColourSelection),
              pixelsOf(before, at, 12, kColourSelection)) << "the selection was not drawn";

    // Waypoints: path 1 turns purple on the map as soon as it is chosen; the close box.
    qt.dialogs = {[&](QtDialog& d) {
        auto* colour = widget<QComboBox>(d, kColor);
        ASSERT_EQ(colour->count(), kRecordColorCount);
        for (int i = 0; i < colour->count(); ++i)
            EXPECT_EQ(colour->itemText(i).toStdString(), text_Get("Colors", records_ColorKey(i)));
        EXPECT_EQ(colour->currentIndex(), 4);
        colour->setFocus();
        colour->setCurrentIndex(8);  // what choosing with the keyboard or mouse does
        EXPECT_EQ(page.waypoints[1].color, 8);
        EXPECT_GT(pixelsOf(w.mapPane().image(), mid, 3, purple), 0);
        d.window().close();
    }};
    menuAction(w, cmd::kWaypoints)->trigger();
    EXPECT_EQ(page.waypoints[1].color, 8);
    EXPECT_EQ(pixelsOf(w.mapPane().image(), mid, 3, green), 0);
    EXPECT_GT(pixelsOf(w.mapPane().image(), mid, 3, purple), 0);

    // Area triggers: the markers of area 1, after clearing the selection.
    shell_Command(cmd::kUnselectAll);
    ASSERT_EQ(page.selection.count, 0);
    qt.dialogs = {[](QtDialog& d) {
        EXPECT_EQ(widget<QListWidget>(d, kList)->count(), 99);
        EXPECT_EQ(d.text(kDesc), "Village square");
        QTest::mouseClick(widget<QPushButton>(d, kSelect), Qt::LeftButton);
        QTest::mouseClick(widget<QPushButton>(d, kIdOk), Qt::LeftButton);
    }};
    menuAction(w, cmd::kAreaTriggers)->trigger();
    int areaMarkers = 0;
    for (int i = 0; i < page.item_count; ++i) {
        const MissionItem& it = page.items[std::size_t(i)];
        const bool mine = it.type_id == kAreaMarkerType && it.wpnumber == 1;
        areaMarkers += mine;
        EXPECT_EQ(mission_IsSelected(page, i), mine) << i;
    }
    EXPECT_EQ(areaMarkers, 2);
    EXPECT_TRUE(qt.dialogs.empty());
    const std::vector<std::string> run = {"EDITGROUPS", "EDITWAYPOINTS", "EDITAREATRIGGERS"};
    EXPECT_EQ(qt.dialogsRun, run);

    // Save; the file reads back with the edits and the command-line check finds nothing.
    const std::string saved = dir + "/edited.mis";
    qt.files = {saved};
    menuAction(w, cmd::kSave)->trigger();
    EXPECT_TRUE(qt.shown.empty()) << qt.shown.front();
    auto back = std::make_unique<Mission>();
    ASSERT_EQ(metafile_Read(*back, saved.c_str(), MetafileReadOptions{false, nullptr}), 1);
    EXPECT_EQ(mission_Text(back->groups[1].description), "Alpha squad");
    EXPECT_EQ(mission_Text(back->groups[3].description), "Scouts");
    EXPECT_EQ(back->waypoints[1].color, 8);
    EXPECT_EQ(back->waypoints[1].attrib, page.waypoints[1].attrib);
    QProcess check;
    check.start(QString::fromStdString(SORTIE_CLI_PATH),
                {"--data", QString::fromStdString(kit), "check", QString::fromStdString(saved)});
    ASSERT_TRUE(check.waitForFinished(30000));
    const std::string complaints = check.readAllStandardError().toStdString();
    EXPECT_EQ(check.exitCode(), 0) << complaints;
    EXPECT_EQ(complaints, "");

    qt.setSinks(nullptr, nullptr);
    platform_Set(nullptr);
    records_Hooks() = {};
    interact_Reset();
    dialogs_Reset();
    shell_Reset();
    mission_ResetPages();
    text_FreeTables();
    text_SetCurrent(nullptr);
    itemdef_Reset();
    model_Reset();
    sky_Reset();
    mem_Shutdown();
}

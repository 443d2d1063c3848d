// A scripted session on the sample data kit, offscreen: File > Clear Page, the second sample
// terrain chosen in General Information and seen drawn on the map, a few markers inserted
// with the mouse, the page saved and checked with sortie-cli. The General Information window
// is the real Qt dialog, worked through its widgets.
#include "platform/qt/qt_dialog.h"
#include "platform/qt/qt_platform.h"

#include "core/mem.h"
#include "core/text.h"
#include "gamedata/itemdef.h"
#include "gamedata/model.h"
#include "gamedata/sky.h"
#include "gamedata/terrain.h"
#include "logic/geninfo.h"
#include "mapview/interact.h"
#include "mapview/view.h"
#include "mission/mission.h"
#include "resources/shell_dialogs.h"
#include "shell/dialogs.h"
#include "shell/reset.h"
#include "shell/shell.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <filesystem>
#include <functional>
#include <utility>

namespace {

namespace fs = std::filesystem;

// Message boxes are recorded, file dialogs answer the next path, each dialog runs the
// next script (Escape when there is none).
class ScriptedQt : public QtPlatform {
public:
    std::deque<std::function<void(QtDialog&)>> dialogs;
    std::optional<std::string> file;
    int result = 0;
    std::vector<std::string> shown;

    MsgAnswer messageBox(std::string_view text, std::string_view, MsgIcon, MsgButtons) override {
        shown.emplace_back(text);
        return MsgAnswer::No;
    }
    std::optional<std::string> fileDialog(const FileDialogRequest&) override { return std::exchange(file, {}); }
    int runDialog(std::string_view name, DialogProc& proc) override {
        const DialogTemplate* t = resources_FindDialog(name);
        if (!t) return -1;
        QtDialog dlg(*t, proc, &mainWindow());
        std::function<void(QtDialog&)> script = [](QtDialog& d) { QTest::keyClick(&d.window(), Qt::Key_Escape); };
        if (!dialogs.empty()) {
            script = dialogs.front();
            dialogs.pop_front();
        }
        QTimer::singleShot(0, [&dlg, script] { script(dlg); });
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, [&dlg] { dlg.end(-99); });
        guard.start(10000);
        return result = dlg.run();
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

// Every text the dialog shows comes from the kit's string tables.
void expectEveryTextWorded(QtDialog& d) {
    EXPECT_NE(d.window().windowTitle().toStdString(), kTextFallback);
    for (const ControlTemplate& c : d.dialogTemplate().controls) {
        if (c.id == kIdStatic) continue;
        EXPECT_NE(d.text(c.id), kTextFallback) << "control " << c.id;
        for (int i = 0; i < d.entryCount(c.id); ++i)
            EXPECT_NE(d.entryText(c.id, i), kTextFallback) << "control " << c.id << " entry " << i;
    }
}

// Insert Item: the markers, then the first one that is neither a waypoint nor an area marker.
void choosePlainMarker(QtDialog& d) {
    widget<QRadioButton>(d, dlgid::kInsertMarkers)->click();
    QListWidget* list = widget<QListWidget>(d, dlgid::kInsertList);
    for (int i = 0; i < d.entryCount(dlgid::kInsertList); ++i) {
        const ItemDef* def = itemdef_At(static_cast<std::int32_t>(d.entryData(dlgid::kInsertList, i)));
        if (def && def->typeNumber != kWaypointMarkerType && def->typeNumber != kAreaMarkerType) {
            list->setCurrentRow(i);
            break;
        }
    }
    EXPECT_GE(d.selection(dlgid::kInsertList), 0);
    qobject_cast<QAbstractButton*>(d.control(kIdOk))->click();
}

// The pixels of the map as drawn now.
std::vector<std::uint32_t> mapPixels(QWidget* pane) {
    pane->repaint();
    QApplication::processEvents();
    return view_Surface().bits;
}

std::size_t changed(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b) {
    std::size_t n = 0;
    for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i) n += a[i] != b[i];
    return n;
}

}  // namespace

TEST(GeneralInfoSession, ClearPageChooseTerrainInsertMarkersSaveAndCheck) {
    const std::string kit = SORTIE_GAMEDATA_DIR;
    ASSERT_TRUE(fs::exists(fs::path(kit) / "kz7.pff")) << "no sample kit at " << kit << ": build the gamedata target";
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const std::string dir = tmp.path().toStdString();
    qputenv("XDG_STATE_HOME", QByteArray::fromStdString(dir + "/state"));

    ScriptedQt qt;
    platform_Set(&qt);
    interact_Reset();
    dialogs_Reset();
    // Whatever happens below, the next test finds no editor left behind.
    struct Cleanup {
        ScriptedQt& qt;
        ~Cleanup() {
            qt.setSinks(nullptr, nullptr);
            platform_Set(nullptr);
            sortie_ResetProcess();
        }
    } cleanup{qt};
    ShellArgs args;
    args.dataDir = kit;
    args.mission = std::string(SORTIE_SOURCE_DIR) + "/data/missions/tutorial.mis";
    ASSERT_EQ(shell_Startup(args), 1);
    MainWindow& w = qt.mainWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    QWidget* pane = &w.mapPane();
    Mission& page = mission_Pages().page[0];
    ASSERT_EQ(mission_Text(page.info.terrain), "greenvale");
    view_State().zoom = 0.01f;
    const std::vector<std::uint32_t> green = mapPixels(pane);

    // File > Clear Page: no terrain, nothing drawn of one.
    menuAction(w, cmd::kClear)->trigger();
    ASSERT_EQ(page.item_count, 0);
    ASSERT_EQ(mission_Text(page.info.terrain), "");
    const std::vector<std::uint32_t> blank = mapPixels(pane);
    ASSERT_FALSE(blank.empty());
    ASSERT_GT(changed(green, blank), blank.size() / 2);

    // General Information: the second sample terrain, a win condition typed then chosen.
    qt.dialogs = {[](QtDialog& d) {
        expectEveryTextWorded(d);
        QComboBox* terrain = widget<QComboBox>(d, gi::kTerrain);
        ASSERT_EQ(terrain->count(), 2);
        EXPECT_EQ(d.selection(gi::kTerrain), -1);
        const int dust = terrain->findText("dustbowl.trn");
        ASSERT_GE(dust, 0);
        terrain->setCurrentIndex(dust);
        QTest::keyClicks(widget<QLineEdit>(d, gi::kName), "Dust Up");
        QTest::keyClicks(widget<QLineEdit>(d, gi::kWindSpeed), "120");
        QComboBox* win = widget<QComboBox>(d, gi::kWinFirst);
        QTest::keyClicks(win->lineEdit(), "no such goal");
        EXPECT_EQ(d.selection(gi::kWinFirst), -1);
        win->setCurrentIndex(1);
        EXPECT_EQ(d.selection(gi::kWinFirst), 1);
        QTest::mouseClick(d.control(kIdOk), Qt::LeftButton);
    }};
    menuAction(w, cmd::kGeneralInfo)->trigger();
    ASSERT_EQ(qt.result, kIdOk);
    EXPECT_EQ(mission_Text(page.info.terrain), "dustbowl.trn");
    EXPECT_EQ(mission_Text(page.info.name), "Dust Up");
    EXPECT_EQ(page.info.wind[0], 45);
    EXPECT_EQ(page.info.subgoals_win[0], 1);
    ASSERT_NE(page.terrain, nullptr);
    const std::vector<std::uint32_t> dusty = mapPixels(pane);
    EXPECT_GT(changed(blank, dusty), dusty.size() / 2) << "the new terrain is not on the map";
    EXPECT_GT(changed(green, dusty), dusty.size() / 2) << "the map still shows the first terrain";
    EXPECT_NE(std::string(terrain_State().def.terrain_name).find("Dustbowl"), std::string::npos);

    // Three markers, inserted with the mouse.
    menuAction(w, cmd::kInsertMode)->trigger();
    const int cx = pane->width() / 2, cy = pane->height() / 2;
    for (int i = 0; i < 3; ++i) {
        qt.dialogs = {choosePlainMarker};
        QTest::mouseClick(pane, Qt::LeftButton, {}, {cx - 60 + 40 * i, cy + 10 * i});
    }
    menuAction(w, cmd::kInsertMode)->trigger();
    ASSERT_EQ(page.item_count, 3);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(page.items[i].kind, kItemMarker);

    // Save, then the command-line check of the file.
    const std::string saved = dir + "/dust.mis";
    qt.file = saved;
    menuAction(w, cmd::kSaveAs)->trigger();
    EXPECT_TRUE(qt.shown.empty()) << qt.shown.front();
    ASSERT_TRUE(fs::exists(saved));
    const std::string check = std::string("'") + SORTIE_CLI_PATH + "' --data '" + kit + "' check '" + saved + "'";
    EXPECT_EQ(std::system(check.c_str()), 0) << "sortie-cli check found problems";
}

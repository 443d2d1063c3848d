// A scripted session on the sample data kit, offscreen: File > Clear Page, the second sample
// terrain chosen in General Information and seen drawn on the map, a few markers inserted
// with the mouse, the page saved and checked with sortie-cli. The General Information window
// is the real Qt dialog, worked through its widgets.
#include "session_support.h"

#include "core/text.h"
#include "gamedata/itemdef.h"
#include "gamedata/terrain.h"
#include "logic/geninfo.h"
#include "mapview/view.h"
#include "mission/mission.h"
#include "resources/shell_dialogs.h"
#include "shell/shell.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTest>

#include <filesystem>

namespace {

namespace fs = std::filesystem;

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
    const auto& bits = view_Surface().bits;
    return std::vector<std::uint32_t>(bits.begin(), bits.end());
}

std::size_t changed(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b) {
    std::size_t n = 0;
    for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i) n += a[i] != b[i];
    return n;
}

}  // namespace

using GeneralInfoSession = EditorSessionTest;

TEST_F(GeneralInfoSession, ClearPageChooseTerrainInsertMarkersSaveAndCheck) {
    ShellArgs args;
    args.mission = sampleMission;
    ASSERT_NO_FATAL_FAILURE(start(args));
    MainWindow& w = qt.mainWindow();
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
        QComboBox* win = widget<QComboBox>(d, gi::kWinFirst);
        QTest::keyClicks(win->lineEdit(), "no such goal");
        EXPECT_EQ(d.selection(gi::kWinFirst), -1);
        EXPECT_EQ(win->itemText(0).toStdString(), text_Get("Dialog Message", "NO_SUBGOAL"));
        win->setCurrentIndex(2);  // after "(none)" and code 0
        EXPECT_EQ(d.selection(gi::kWinFirst), 2);
        // A wind the game does not take: OK says so, the dialog stays open at the field and
        // nothing is stored yet; letters cannot even be typed.
        QLineEdit* speed = widget<QLineEdit>(d, gi::kWindSpeed);
        speed->selectAll();
        QTest::keyClicks(speed, "12x0");
        EXPECT_EQ(speed->text().toStdString(), "120");
        QTest::mouseClick(d.control(kIdOk), Qt::LeftButton);
        QApplication::processEvents();
        EXPECT_TRUE(d.window().isVisible());
        EXPECT_EQ(d.window().focusWidget(), speed);
        EXPECT_EQ(mission_Text(mission_Pages().page[0].info.name), "");
        speed->selectAll();
        QTest::keyClicks(speed, "30");
        QTest::mouseClick(d.control(kIdOk), Qt::LeftButton);
    }};
    menuAction(w, cmd::kGeneralInfo)->trigger();
    ASSERT_EQ(qt.lastResult(), kIdOk);
    EXPECT_EQ(mission_Text(page.info.terrain), "dustbowl.trn");
    EXPECT_EQ(mission_Text(page.info.name), "Dust Up");
    EXPECT_EQ(page.info.wind[0], 30);
    ASSERT_FALSE(qt.shown.empty());
    EXPECT_NE(qt.shown.back().find("0 to 45"), std::string::npos) << qt.shown.back();
    qt.shown.clear();
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
    const std::string saved = file("dust.mis");
    qt.files = {saved};
    menuAction(w, cmd::kSaveAs)->trigger();
    EXPECT_TRUE(qt.shown.empty()) << qt.shown.front();
    ASSERT_TRUE(fs::exists(saved));
    EXPECT_EQ(cli({"check", saved}).exitCode, 0) << "sortie-cli check found problems";
}

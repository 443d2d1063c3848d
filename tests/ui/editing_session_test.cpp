// A scripted editing session on the sample data kit, offscreen: items of several kinds
// inserted with the mouse, a rubber band, a move, copy to page 2 and paste there, hide and
// unhide, a layer named and hidden, the briefing edited, both pages saved and read back.
// Dialogs and context menus are real Qt ones driven by the script; mouse input goes to the
// map pane widget at pane coordinates.
#include "session_support.h"

#include "gamedata/itemdef.h"
#include "mapview/interact.h"
#include "mapview/view.h"
#include "mission/mission.h"
#include "resources/shell_dialogs.h"
#include "shell/shell.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTest>

#include <algorithm>
#include <functional>
#include <memory>

using namespace dlgid;

namespace {

// Insert Item: the kind's radio button, the first entry of its list, OK. The dialog opens
// while the map pane still holds the pressed button, so synthetic mouse events would go to
// the pane; the widgets are worked by their own click and selection calls instead, which
// notify just as the mouse does.
DialogScript chooseFirstOf(int radio) {
    return [radio](QtDialog& d) {
        widget<QRadioButton>(d, radio)->click();
        QListWidget* list = widget<QListWidget>(d, kInsertList);
        EXPECT_GT(list->count(), 0) << "no definitions of the kind of radio " << radio;
        if (list->count() > 0) list->setCurrentRow(0);
        EXPECT_EQ(d.selection(kInsertList), 0);
        qobject_cast<QAbstractButton*>(d.control(kIdOk))->click();
    };
}

WorldPoint worldAt(QPoint p) {
    return interact_PaneToWorld(interact_Viewport(view_State(), view_Surface()), p.x(), p.y());
}

}  // namespace

using EditingSession = EditorSessionTest;

TEST_F(EditingSession, InsertBandMoveCopyPasteHideLayersBriefingAndSave) {
    ASSERT_NO_FATAL_FAILURE(start());
    MainWindow& w = qt.mainWindow();
    QWidget* pane = &w.mapPane();
    ASSERT_GT(pane->width(), 200);
    ASSERT_GT(pane->height(), 200);
    view_State().zoom = 0.01f;  // 100 world units (0.4 m) per pixel
    pane->repaint();

    // Three items of three kinds, inserted with the mouse.
    const int cx = pane->width() / 2, cy = pane->height() / 2;
    const std::vector<QPoint> spots = {{cx - 40, cy - 30}, {cx + 10, cy + 20}, {cx + 50, cy - 10}};
    menuAction(w, cmd::kInsertMode)->trigger();
    ASSERT_EQ(view_State().insert_mode, 1);
    qt.dialogs = {chooseFirstOf(kInsertVehicles), chooseFirstOf(kInsertPeople), chooseFirstOf(kInsertBuildings)};
    for (QPoint p : spots) QTest::mouseClick(pane, Qt::LeftButton, {}, p);
    Mission& one = mission_Pages().page[0];
    ASSERT_EQ(one.item_count, 3);
    const std::int32_t kinds[] = {kItemVehicle, kItemPerson, kItemBuilding};
    for (int i = 0; i < 3; ++i) {
        const WorldPoint wp = worldAt(spots[std::size_t(i)]);
        EXPECT_EQ(one.items[i].kind, kinds[i]) << i;
        EXPECT_EQ(one.items[i].x, wp.x) << i;
        EXPECT_EQ(one.items[i].y, wp.y) << i;
    }
    menuAction(w, cmd::kInsertMode)->trigger();
    ASSERT_EQ(view_State().insert_mode, 0);
    // The item inserted last is the selection; Unselect All empties it.
    ASSERT_EQ(one.selection.count, 1);
    EXPECT_EQ(one.selection.index[0], 2);
    menuAction(w, cmd::kUnselectAll)->trigger();

    // A Shift band round the first two.
    QTest::mousePress(pane, Qt::LeftButton, Qt::ShiftModifier, {cx - 60, cy + 40});
    QTest::mouseMove(pane, {cx + 20, cy - 40});
    QTest::mouseRelease(pane, Qt::LeftButton, Qt::ShiftModifier, {cx + 20, cy - 40});
    ASSERT_EQ(one.selection.count, 2);
    EXPECT_EQ(one.selection.index[0], 0);
    EXPECT_EQ(one.selection.index[1], 1);
    EXPECT_FALSE(w.pane(1).lines().empty());

    // Move them through the item menu: the reference (item 1) follows the pointer.
    const std::int32_t x0 = one.items[0].x, y0 = one.items[0].y;
    const std::int32_t x1 = one.items[1].x, y1 = one.items[1].y;
    qt.popups = {cmd::kMove};
    QTest::mouseClick(pane, Qt::RightButton, {}, {cx, cy});
    ASSERT_EQ(qt.popupIds.size(), 1u);
    EXPECT_NE(std::find(qt.popupIds[0].begin(), qt.popupIds[0].end(), cmd::kMove), qt.popupIds[0].end());
    ASSERT_EQ(gesture_State().state, kGestureMove);
    const QPoint target(cx + 30, cy + 60);
    QTest::mouseMove(pane, {cx + 25, cy + 50});
    QTest::mouseMove(pane, target);
    QTest::mouseClick(pane, Qt::LeftButton, {}, target);
    EXPECT_EQ(gesture_State().state, kGestureIdle);
    const WorldPoint t = worldAt(target);
    EXPECT_EQ(one.items[1].x, t.x);
    EXPECT_EQ(one.items[1].y, t.y);
    EXPECT_EQ(one.items[0].x - one.items[1].x, x0 - x1);
    EXPECT_EQ(one.items[0].y - one.items[1].y, y0 - y1);

    // Copy through the item menu, paste on page 2 at a click.
    qt.popups = {cmd::kCopy};
    QTest::mouseClick(pane, Qt::RightButton, {}, {5, 5});
    ASSERT_EQ(mission_Clipboard().item_count, 2);
    menuAction(w, cmd::kPage2)->trigger();
    ASSERT_EQ(view_State().page, 1);
    Mission& two = mission_Pages().page[1];
    menuAction(w, cmd::kPaste)->trigger();
    ASSERT_EQ(gesture_State().state, kGesturePlace);
    const QPoint drop(cx - 20, cy - 20);
    QTest::mouseMove(pane, drop);
    QTest::mouseClick(pane, Qt::LeftButton, {}, drop);
    ASSERT_EQ(two.item_count, 2);
    EXPECT_EQ(two.items[1].x, worldAt(drop).x);
    EXPECT_EQ(two.items[0].x - two.items[1].x, x0 - x1);
    EXPECT_EQ(two.selection.count, 2);

    // Hide the selection, then unhide all, through the menus of the pane.
    qt.popups = {cmd::kHideSelected};
    QTest::mouseClick(pane, Qt::RightButton, {}, {5, 5});
    EXPECT_EQ(two.items[0].hidden, 1);
    EXPECT_EQ(two.items[1].hidden, 1);
    EXPECT_EQ(two.selection.count, 0);
    qt.popups = {cmd::kUnhideAll};
    QTest::mouseClick(pane, Qt::RightButton, {}, {5, 5});  // the empty-space menu now
    EXPECT_EQ(two.items[0].hidden, 0);
    EXPECT_EQ(qt.popupIds.back().size(), 6u);

    // Name layer 3, then hide it.
    qt.dialogs = {[](QtDialog& d) {
        clickRow(widget<QListWidget>(d, kLayerNameList), 2);
        QTest::keyClicks(widget<QLineEdit>(d, kLayerNameEdit), "Convoy");
        QTest::mouseClick(d.control(kIdOk), Qt::LeftButton);
    }};
    menuAction(w, cmd::kLayerNames)->trigger();
    EXPECT_EQ(mission_Text(two.layers[2].description), "Convoy");
    qt.dialogs = {[](QtDialog& d) {
        EXPECT_NE(d.text(kLayerCheckFirst + 2).find("Convoy"), std::string::npos);
        QTest::mouseClick(widget<QCheckBox>(d, kLayerCheckFirst + 2), Qt::LeftButton, {}, {6, 5});
        QTest::mouseClick(d.control(kIdOk), Qt::LeftButton);
    }};
    ASSERT_NE(w.barWidget(1043), nullptr);  // the layer button of the bar
    QTest::mouseClick(w.barWidget(1043), Qt::LeftButton);
    EXPECT_EQ(two.info.hidden_layers, 1u << 2);

    // The briefing.
    qt.dialogs = {[](QtDialog& d) {
        QTest::keyClicks(widget<QPlainTextEdit>(d, kBriefingEdit), "Take the bridge by dawn.");
        QTest::mouseClick(d.control(kIdOk), Qt::LeftButton);
    }};
    menuAction(w, cmd::kBriefing)->trigger();
    EXPECT_EQ(mission_Text(two.info.briefing), "Take the bridge by dawn.");
    EXPECT_TRUE(qt.dialogs.empty());

    // Save both pages and read them back.
    const std::string saved2 = file("two.mis"), saved1 = file("one.mis");
    qt.files = {saved2};
    menuAction(w, cmd::kSaveAs)->trigger();
    menuAction(w, cmd::kPage1)->trigger();
    qt.files = {saved1};
    menuAction(w, cmd::kSaveAs)->trigger();
    EXPECT_TRUE(qt.shown.empty()) << qt.shown.front();

    auto back1 = readMission(saved1), back2 = readMission(saved2);
    ASSERT_NE(back1, nullptr);
    ASSERT_NE(back2, nullptr);
    ASSERT_EQ(back1->item_count, 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(back1->items[i].type_id, one.items[i].type_id);
        EXPECT_EQ(back1->items[i].x, one.items[i].x);
        EXPECT_EQ(back1->items[i].y, one.items[i].y);
    }
    ASSERT_EQ(back2->item_count, 2);
    EXPECT_EQ(back2->items[1].x, two.items[1].x);
    EXPECT_EQ(back2->items[1].type_id, one.items[1].type_id);
    EXPECT_EQ(mission_Text(back2->info.briefing), "Take the bridge by dawn.");
    EXPECT_EQ(mission_Text(back2->layers[2].description), "Convoy");
}

#include "mapview/interact.h"
#include "mission/index.h"

#include "mapview/render.h"
#include "mapview/reset.h"
#include "mapview/view.h"
#include "mapview/gesture.h"
#include "mission/itemops.h"
#include "mission/reset.h"
#include "support/fake_platform.h"
#include "resources/shell_dialogs.h"
#include "shell/dialogs.h"
#include "support/mission_pages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

int g_renders = 0;
std::vector<int> g_forwarded;
int g_itemRepaints = 0;
int g_centreRepaints = 0;

// At zoom 1 with the centre at the origin, world (x, y) is pane (400 + x, 300 - y): the
// pane is 784 x 600, so the surface is 800 x 600.
class Interact : public ::testing::Test {
protected:
    ScopedFakePlatform ui;
    ScopedItemDefs defs;

    void SetUp() override {
        mission_ResetLayer();
        mapview_ResetLayer();
        dialogs_Reset();
        view_ApplyButtonBarDefaults(view_State());
        view_State().zoom = 1.0f;
        ASSERT_TRUE(mapsurface_Create(view_Surface(), 784, 600));
        ASSERT_EQ(view_Surface().width, 800);
        g_renders = g_itemRepaints = g_centreRepaints = 0;
        g_forwarded.clear();
        InteractHooks& h = interact_State().hooks;
        h.render = [] { ++g_renders; };
        h.repaintItems = [] { ++g_itemRepaints; };
        h.repaintCentre = [] { ++g_centreRepaints; };
        h.forward = [](int id) { g_forwarded.push_back(id); };
        h.menu = &resources_Menu;
        h.chooseItem = &dialogs_ChooseInsertItem;
    }
    void TearDown() override {
        mapview_ResetLayer();
        mission_ResetLayer();
    }

    Mission& page() { return mission_CurrentPage(); }
    MapPaneSink& pane() { return interact_Sink(); }
    std::int32_t add(std::int32_t x, std::int32_t y, std::int32_t type = kTestRifleman) {
        return test_AddItem(page(), type, x, y, 0);
    }
    void click(int x, int y, unsigned mods = 0) {
        pane().onMouseDown(MouseButton::Left, x, y, mods);
        pane().onMouseUp(MouseButton::Left, x, y, mods);
    }
    std::vector<std::int32_t> selection() {
        const Selection& s = page().selection;
        return {s.index.begin(), s.index.begin() + s.count};
    }
};

using Sel = std::vector<std::int32_t>;

}  // namespace

// ---------------------------------------------------------------------------------------
// Geometry

// On a screen of another pixel ratio the bitmap is larger, but clicks, the band and the
// wheel still measure in pane pixels: the same pane point picks the same item.
TEST_F(Interact, PanePixelsWhateverTheScreensRatio) {
    const std::int32_t near = add(120, -40), far = add(-300, 200);
    for (float scale : {1.0f, 2.0f, 1.5f, 1.25f}) {
        ASSERT_TRUE(mapsurface_Create(view_Surface(), 784, 600, scale));
        const Viewport vp = interact_Viewport(view_State(), view_Surface());
        EXPECT_EQ(vp.width, 800) << scale;
        EXPECT_EQ(vp.height, 600) << scale;
        EXPECT_EQ(vp.zoom, 1.0f) << scale;
        mission_ClearSelection(page());
        click(520, 340);
        EXPECT_EQ(selection(), Sel{near}) << scale;
        mission_ClearSelection(page());
        click(100, 100);
        EXPECT_EQ(selection(), Sel{far}) << scale;
    }
}

TEST_F(Interact, PaneAndWorldConvertBothWays) {
    Viewport vp = interact_Viewport(view_State(), view_Surface());
    WorldPoint w = interact_PaneToWorld(vp, 410, 290);
    EXPECT_EQ(w.x, 10);
    EXPECT_EQ(w.y, 10);
    std::int64_t px = 0, py = 0;
    interact_WorldToPane(vp, -25, 40, px, py);
    EXPECT_EQ(px, 375);
    EXPECT_EQ(py, 260);
    // Truncation toward zero on both sides of the centre.
    vp.zoom = 0.5f;
    vp.cx = 0;
    vp.cz = 77;
    EXPECT_EQ(interact_PaneToWorld(vp, 399, 300).x, -2);
    EXPECT_EQ(interact_PaneToWorld(vp, 401, 300).x, 2);
    EXPECT_EQ(interact_PaneToWorld(vp, 401, 300).z, 77);
    // Far off at the smallest zoom: held to the 32-bit range instead of overflowing.
    vp.zoom = 0.0001f;
    vp.cx = 2147000000;
    EXPECT_EQ(interact_PaneToWorld(vp, 100000, 300).x, 2147483647);
}

TEST_F(Interact, SnapRoundsHalvesAwayFromZeroOnBothSides) {
    EXPECT_EQ(interact_Snap(-128, 256), -256);
    EXPECT_EQ(interact_Snap(128, 256), 256);
    EXPECT_EQ(interact_Snap(127, 256), 0);
    EXPECT_EQ(interact_Snap(-127, 256), 0);
    EXPECT_EQ(interact_Snap(0, 256), 0);
    EXPECT_EQ(interact_Snap(-129, 256), -256);
    EXPECT_EQ(interact_Snap(383, 256), 256);
    EXPECT_EQ(interact_Snap(5, 1), 5);
    EXPECT_EQ(interact_Snap(2147483647, 131072), 2147483647);  // no wrap at the edge
    EXPECT_EQ(interact_Snap(-2147483647 - 1, 131072), -2147483647 - 1);

    // Through a placement: with snap on, the click lands on the nearest grid point.
    view_State().snap_to_grid = 1;
    view_State().grid_size = 256;
    view_State().zoom = 0.5f;  // one pixel is 2 world units
    const std::int32_t a = add(0, 0);
    mission_Select(page(), a);
    ASSERT_EQ(itemops_Copy(page(), mission_Clipboard()), 1);
    ASSERT_EQ(interact_StartPlace(), 1);
    click(400 - 64, 300 - 64);  // world (-128, 128)
    ASSERT_EQ(page().item_count, 2);
    EXPECT_EQ(page().items[1].x, -256);
    EXPECT_EQ(page().items[1].y, 256);
}

// ---------------------------------------------------------------------------------------
// Click selection

TEST_F(Interact, ClickHitsUpTo255PixelsAndNotAt256) {
    const std::int32_t a = add(0, 0);
    click(400 + 256, 300);
    EXPECT_EQ(selection(), Sel{});
    EXPECT_EQ(g_itemRepaints, 0);
    click(400, 300 + 256);
    EXPECT_EQ(selection(), Sel{});
    click(400 + 255, 300);
    EXPECT_EQ(selection(), Sel{a});
    click(400 + 181, 300 + 181);  // 181^2 * 2 = 65522, just inside
    EXPECT_EQ(selection(), Sel{});
    // Only the item is redrawn and shown: no full render for a selection change.
    EXPECT_EQ(g_renders, 0);
    EXPECT_EQ(ui->presented.size(), 2u);
    EXPECT_EQ(g_itemRepaints, 2);
}

TEST_F(Interact, NearestWinsAndTiesGoToTheLowerIndex) {
    const std::int32_t a = add(10, 0), b = add(10, 0), c = add(-5, 0);
    click(403, 300);  // a and b 7 away, c 8 away
    EXPECT_EQ(selection(), Sel{a});
    click(403, 300);
    EXPECT_EQ(selection(), Sel{});
    click(397, 300);
    EXPECT_EQ(selection(), Sel{c});
    (void)b;
}

TEST_F(Interact, DoubleClickSelectsAndOpensTheAttributesAndClickDeselects) {
    const std::int32_t a = add(0, 0), b = add(100, 0);
    static int opened = 0;
    opened = 0;
    interact_State().hooks.openAttributes = [] { ++opened; };
    // The first click selects, the double click keeps it selected and opens the editor; on
    // a selected item the first click takes it out and the double click brings it back.
    for (int round = 1; round <= 2; ++round) {
        pane().onMouseDown(MouseButton::Left, 400, 300, 0);
        pane().onMouseUp(MouseButton::Left, 400, 300, 0);
        pane().onDoubleClick(MouseButton::Left, 400, 300, 0);
        pane().onMouseUp(MouseButton::Left, 400, 300, 0);
        EXPECT_EQ(selection(), Sel{a});
        EXPECT_EQ(opened, round);
    }
    // Far from everything: nothing opens.
    pane().onDoubleClick(MouseButton::Left, 799, 599, 0);
    EXPECT_EQ(opened, 2);
    mission_ClearSelection(page());
    click(500, 300);
    click(400, 300);
    EXPECT_EQ(selection(), (Sel{b, a}));  // appended at the end
    click(500, 300);
    EXPECT_EQ(selection(), Sel{a});
    // A right double click does nothing.
    pane().onDoubleClick(MouseButton::Right, 400, 300, 0);
    EXPECT_EQ(selection(), Sel{a});
    EXPECT_TRUE(ui->log.empty() || std::none_of(ui->log.begin(), ui->log.end(),
                                                [](const std::string& l) { return l.rfind("popup", 0) == 0; }));
}

TEST_F(Interact, InvisibleItemsAndCentresOutsideTheSurfaceCannotBeHit) {
    const std::int32_t hidden = add(0, 0);
    page().items[hidden].hidden = 1;
    const std::int32_t layered = add(20, 0);
    page().items[layered].layer = 4;
    page().info.hidden_layers = 1u << 4;
    const std::int32_t vehicle = add(40, 0, kTestJeep);
    view_State().show_flags &= ~kShowVehicles;
    const std::int32_t outside = add(-401, 0);  // pane x -1: its symbol reaches in, its centre not
    const std::int32_t below = add(0, -300);    // pane y 600, one past the last row
    for (int x : {400, 420, 440}) click(x, 300);
    click(0, 300);
    click(400, 599);
    EXPECT_EQ(selection(), Sel{});
    // The extra columns of the surface beyond the pane still count (the surface is 800 wide).
    const std::int32_t edge = add(399, 0);
    click(799, 300);
    EXPECT_EQ(selection(), Sel{edge});
    (void)vehicle, (void)outside, (void)below;
}

// ---------------------------------------------------------------------------------------
// Rubber bands

TEST_F(Interact, ShiftBandAddsWhatLiesInsideEdgesIncludedInAnyDirection) {
    const std::int32_t a = add(0, 0), b = add(50, -50), c = add(51, 0), d = add(-10, 10);
    page().items[d].hidden = 1;
    // From bottom-right to top-left: the rectangle is the same.
    pane().onMouseDown(MouseButton::Left, 450, 350, kModShift);
    EXPECT_EQ(gesture_State().state, kGestureBandAdd);
    EXPECT_TRUE(ui->mouseCaptured);
    pane().onMouseMove(420, 320, kModShift);
    pane().onMouseMove(380, 280, kModShift);
    pane().onMouseUp(MouseButton::Left, 380, 280, 0);
    EXPECT_EQ(gesture_State().state, kGestureIdle);
    EXPECT_FALSE(ui->mouseCaptured);
    EXPECT_EQ(selection(), (Sel{a, b}));
    EXPECT_EQ(g_itemRepaints, 1);
    EXPECT_EQ(g_renders, 0);
    // Every rectangle drawn is erased again by drawing it a second time.
    std::vector<std::array<int, 4>> rects = ui->xorRects;
    ASSERT_EQ(rects.size(), 6u);
    EXPECT_EQ(rects[0], (std::array<int, 4>{450, 350, 450, 350}));
    EXPECT_EQ(rects[1], rects[0]);
    EXPECT_EQ(rects[2], (std::array<int, 4>{450, 350, 420, 320}));
    EXPECT_EQ(rects[3], rects[2]);
    EXPECT_EQ(rects[4], (std::array<int, 4>{450, 350, 380, 280}));
    EXPECT_EQ(rects[5], rects[4]);

    // Anchor top-right, corner bottom-left; already selected items stay where they are.
    pane().onMouseDown(MouseButton::Left, 452, 299, kModShift);
    pane().onMouseMove(399, 351, 0);
    pane().onMouseUp(MouseButton::Left, 399, 351, 0);
    EXPECT_EQ(selection(), (Sel{a, b, c}));
    (void)c;
}

TEST_F(Interact, CtrlBandRemovesFromTheSelection) {
    const std::int32_t a = add(0, 0), b = add(30, 0), c = add(200, 0);
    for (std::int32_t i : {a, b, c}) mission_Select(page(), i);
    pane().onMouseDown(MouseButton::Left, 390, 310, kModCtrl);
    EXPECT_EQ(gesture_State().state, kGestureBandRemove);
    pane().onMouseMove(430, 290, kModCtrl);
    pane().onMouseUp(MouseButton::Left, 430, 290, kModCtrl);
    EXPECT_EQ(selection(), Sel{c});
    // A band of one point picks the item exactly under it.
    pane().onMouseDown(MouseButton::Left, 600, 300, kModShift | kModCtrl);  // Shift wins
    pane().onMouseUp(MouseButton::Left, 600, 300, 0);
    EXPECT_EQ(selection(), Sel{c});
    pane().onMouseDown(MouseButton::Left, 400, 300, kModShift);
    pane().onMouseUp(MouseButton::Left, 400, 300, 0);
    EXPECT_EQ(selection(), (Sel{c, a}));
}

TEST_F(Interact, RightClickCancelsABandErasingItAndFreeingTheMouse) {
    const std::int32_t a = add(0, 0);
    pane().onMouseDown(MouseButton::Left, 380, 280, kModShift);
    pane().onMouseMove(420, 320, 0);
    pane().onMouseDown(MouseButton::Right, 420, 320, 0);
    EXPECT_EQ(gesture_State().state, kGestureIdle);
    EXPECT_FALSE(ui->mouseCaptured);
    ASSERT_EQ(ui->xorRects.size() % 2, 0u);
    EXPECT_EQ(ui->xorRects.back(), (std::array<int, 4>{380, 280, 420, 320}));
    pane().onMouseUp(MouseButton::Left, 420, 320, 0);
    EXPECT_EQ(selection(), Sel{});
    EXPECT_EQ(ui->popupAnswers.size(), 0u);
    // The cancelling click opened no menu.
    EXPECT_TRUE(
        std::none_of(ui->log.begin(), ui->log.end(), [](const std::string& l) { return l.rfind("popup", 0) == 0; }));
    (void)a;
}

// ---------------------------------------------------------------------------------------
// Moving and placing

TEST_F(Interact, MoveFollowsThePointerAndCommitsOnTheLeftButton) {
    const std::int32_t a = add(0, 0), b = add(100, 50), c = add(-70, -70);
    mission_Select(page(), a);
    mission_Select(page(), b);  // the reference
    ASSERT_EQ(interact_StartMove(), 1);
    EXPECT_EQ(gesture_State().state, kGestureMove);
    EXPECT_EQ(gesture_State().ref_x, 100);
    EXPECT_EQ(gesture_State().ref_y, 50);
    EXPECT_EQ(interact_StartMove(), 0);  // refused while one is going on
    EXPECT_EQ(interact_StartPlace(), 0);
    pane().onMouseMove(520, 230, 0);  // world (120, 70)
    EXPECT_EQ(gesture_State().offset_x, 20);
    EXPECT_EQ(gesture_State().offset_y, 20);
    EXPECT_EQ(g_renders, 1);  // the preview
    pane().onMouseMove(510, 240, 0);
    EXPECT_EQ(g_renders, 2);
    // Shift and Ctrl bands do not start while moving; the left button commits.
    pane().onMouseDown(MouseButton::Left, 700, 100, kModShift);
    EXPECT_EQ(gesture_State().state, kGestureIdle);
    EXPECT_EQ(page().items[a].x, 10);
    EXPECT_EQ(page().items[a].y, 10);
    EXPECT_EQ(page().items[b].x, 110);
    EXPECT_EQ(page().items[b].y, 60);
    EXPECT_EQ(page().items[c].x, -70);
    EXPECT_EQ(g_itemRepaints, 1);
    EXPECT_EQ(g_renders, 3);
    EXPECT_EQ(interact_State().previewFrames, 2u);
}

TEST_F(Interact, RightClickDuringAMoveLeavesTheItemsWhereTheyWere) {
    const std::int32_t a = add(5, 5);
    mission_Select(page(), a);
    ASSERT_EQ(interact_StartMove(), 1);
    pane().onMouseMove(600, 100, 0);
    pane().onMouseDown(MouseButton::Right, 600, 100, 0);
    EXPECT_TRUE(gesture_Idle(gesture_State()));
    click(600, 100);  // now an ordinary click
    EXPECT_EQ(page().items[a].x, 5);
    EXPECT_EQ(page().items[a].y, 5);
    EXPECT_EQ(interact_Cancel(), 0);
    // Nothing selected: no move.
    mission_ClearSelection(page());
    EXPECT_EQ(interact_StartMove(), 0);
}

TEST_F(Interact, PasteOnTheOtherPagePutsTheReferenceOnTheClick) {
    const std::int32_t a = add(1000, 2000), b = add(1300, 1800, kTestJeep);
    page().items[a].z = 50;
    mission_Select(page(), a);
    mission_Select(page(), b);  // b is the reference
    ASSERT_EQ(itemops_Copy(page(), mission_Clipboard()), 1);

    mission_Pages().current = 1;
    view_State().page = 1;
    view_State().center_x = 5000;
    view_State().center_y = -5000;
    view_State().center_z = 7;
    Mission& two = page();
    mission_SetText(two.layers[0].description, "x");
    two.info.current_layer = 2;
    test_AddItem(two, kTestCrate, 0, 0, 0);

    ASSERT_EQ(interact_StartPlace(), 1);
    EXPECT_EQ(gesture_State().state, kGesturePlace);
    pane().onMouseMove(350, 320, 0);  // world (4950, -5020)
    EXPECT_EQ(gesture_State().offset_x, 4950);
    EXPECT_EQ(gesture_State().offset_y, -5020);
    pane().onMouseDown(MouseButton::Left, 340, 330, 0);  // world (4940, -5030)
    EXPECT_TRUE(gesture_Idle(gesture_State()));
    ASSERT_EQ(two.item_count, 3);
    // Selection order is kept: a's copy first, then b's, which lands on the click.
    EXPECT_EQ(two.items[2].type_id, kTestJeep);
    EXPECT_EQ(two.items[2].x, 4940);
    EXPECT_EQ(two.items[2].y, -5030);
    EXPECT_EQ(two.items[2].z, 7);
    EXPECT_EQ(two.items[1].x, 4940 - 300);
    EXPECT_EQ(two.items[1].y, -5030 + 200);
    EXPECT_EQ(two.items[1].z, 57);
    EXPECT_EQ(two.items[1].layer, 2);
    EXPECT_EQ(selection(), (Sel{1, 2}));
    // Page 1 is as it was; the clipboard can be placed again.
    EXPECT_EQ(mission_Pages().page[0].item_count, 2);
    EXPECT_EQ(mission_Pages().page[0].items[a].x, 1000);
    ASSERT_EQ(interact_StartPlace(), 1);
    pane().onMouseDown(MouseButton::Left, 400, 300, 0);
    EXPECT_EQ(two.item_count, 5);
    EXPECT_EQ(two.items[4].x, 5000);
}

TEST_F(Interact, PlacingIntoAFullPageDropsWhatDoesNotFitAndSaysSo) {
    const std::int32_t a = add(0, 0), b = add(10, 0);
    mission_Select(page(), a);
    mission_Select(page(), b);
    ASSERT_EQ(itemops_Copy(page(), mission_Clipboard()), 1);
    mission_ClearSelection(page());
    while (page().item_count < kMaxItems - 1) add(0, 0);
    ASSERT_EQ(interact_StartPlace(), 1);
    pane().onMouseDown(MouseButton::Left, 400, 300, 0);
    EXPECT_EQ(page().item_count, kMaxItems);
    EXPECT_EQ(page().selection.count, 1);
    // The one that did not fit is told.
    ASSERT_EQ(ui->boxes.size(), 1u);
    EXPECT_EQ(ui->boxes[0].icon, MsgIcon::Warning);
}

// ---------------------------------------------------------------------------------------
// Zoom and centre

TEST_F(Interact, ZoomDragScalesFromAnOddAnchor) {
    view_State().zoom = 0.25f;
    pane().onMouseDown(MouseButton::Right, 101, 300, kModShift);
    EXPECT_EQ(gesture_State().drag, kDragZoom);
    EXPECT_EQ(gesture_State().zoom_anchor_x, 101);
    EXPECT_TRUE(ui->mouseCaptured);
    pane().onMouseMove(202, 300, kModShift);
    EXPECT_FLOAT_EQ(view_State().zoom, 0.5f);
    pane().onMouseMove(1025, 300, 0);  // beyond the reach of the gesture: ignored
    pane().onMouseMove(1, 300, 0);
    EXPECT_FLOAT_EQ(view_State().zoom, 0.5f);
    // While zooming, left clicks, centring and the middle button do nothing.
    const std::int32_t a = add(0, 0);
    click(400, 300);
    pane().onMouseDown(MouseButton::Middle, 10, 10, 0);
    EXPECT_EQ(selection(), Sel{});
    EXPECT_EQ(view_State().center_x, 0);
    const int rendersBefore = g_renders;
    pane().onMouseUp(MouseButton::Right, 202, 300, 0);
    EXPECT_EQ(gesture_State().drag, kDragNone);
    EXPECT_FALSE(ui->mouseCaptured);
    EXPECT_EQ(g_renders, rendersBefore + 1);
    (void)a;

    pane().onMouseDown(MouseButton::Right, 100, 300, kModShift);
    EXPECT_EQ(gesture_State().zoom_anchor_x, 101);
    pane().onMouseUp(MouseButton::Right, 100, 300, 0);
    pane().onMouseDown(MouseButton::Right, 0, 300, kModShift);
    EXPECT_EQ(gesture_State().zoom_anchor_x, 1);
    pane().onMouseMove(2, 300, 0);
    EXPECT_FLOAT_EQ(view_State().zoom, 1.0f);
    pane().onMouseUp(MouseButton::Right, 2, 300, 0);
}

TEST_F(Interact, ZoomDragStaysInTheDrawableRange) {
    view_State().zoom = 0.0002f;
    pane().onMouseDown(MouseButton::Right, 801, 300, kModShift);
    pane().onMouseMove(2, 300, 0);  // 0.0002 * 2 / 801 is below the smallest zoom: not taken
    EXPECT_FLOAT_EQ(view_State().zoom, 0.0002f);
    pane().onMouseUp(MouseButton::Right, 2, 300, 0);
    view_State().zoom = 900.0f;
    pane().onMouseDown(MouseButton::Right, 1, 300, kModShift);
    pane().onMouseMove(1000, 300, 0);
    EXPECT_FLOAT_EQ(view_State().zoom, kZoomMax);
    pane().onMouseUp(MouseButton::Right, 1000, 300, 0);
}

TEST_F(Interact, CtrlRightAndMiddleButtonCentreWithoutSnapping) {
    view_State().snap_to_grid = 1;
    view_State().grid_size = 256;
    view_State().center_z = 9;
    pane().onMouseDown(MouseButton::Right, 410, 280, kModCtrl);
    EXPECT_EQ(view_State().center_x, 10);
    EXPECT_EQ(view_State().center_y, 20);
    EXPECT_EQ(view_State().center_z, 9);
    EXPECT_EQ(g_centreRepaints, 1);
    EXPECT_EQ(g_renders, 1);
    pane().onMouseDown(MouseButton::Middle, 390, 310, 0);
    EXPECT_EQ(view_State().center_x, 0);
    EXPECT_EQ(view_State().center_y, 10);
    pane().onMouseDown(MouseButton::Middle, 0, 0, kModCtrl);
    pane().onMouseDown(MouseButton::Middle, 0, 0, kModShift);
    EXPECT_EQ(view_State().center_x, 0);
    EXPECT_EQ(g_centreRepaints, 2);
}

// ---------------------------------------------------------------------------------------
// Context menus

TEST_F(Interact, RightClickOpensTheMenuOfTheSelectionOrOfEmptySpace) {
    const std::int32_t a = add(0, 0);
    view_State().insert_mode = 1;
    ui->popupAnswers = {163};
    pane().onMouseDown(MouseButton::Right, 400, 300, 0);  // on the item, nothing selected
    ASSERT_EQ(g_forwarded, std::vector<int>{163});
    EXPECT_EQ(selection(), Sel{});
    EXPECT_TRUE(ui->log.back().find("popup") != std::string::npos) << ui->log.back();

    mission_Select(page(), a);
    ui->popupAnswers = {184, 0, 999};
    pane().onMouseDown(MouseButton::Right, 700, 10, 0);  // anywhere: the item menu
    pane().onMouseDown(MouseButton::Right, 700, 10, 0);  // dismissed
    pane().onMouseDown(MouseButton::Right, 700, 10, 0);  // the shell decides what it runs
    EXPECT_EQ(g_forwarded, (std::vector<int>{163, 184, 999}));
}

// ---------------------------------------------------------------------------------------
// Inserting

TEST_F(Interact, InsertModeAddsTheChosenItemAtTheSnappedClickWithARandomFacing) {
    view_State().insert_mode = 1;
    view_State().snap_to_grid = 1;
    view_State().grid_size = 100;
    view_State().center_z = 3;
    ui->dialogScripts["INSERTITEM"] = [](FakeDialog& d) {
        d.setCheck(dlgid::kInsertVehicles, kChecked);
        d.click(dlgid::kInsertVehicles);
        d.choose(dlgid::kInsertList, 0);
        d.toggle(dlgid::kInsertRandomFacing);
        d.click(kIdOk);
    };
    click(451, 249);  // world (51, 51)
    ASSERT_EQ(page().item_count, 1);
    EXPECT_EQ(page().items[0].type_id, kTestJeep);
    EXPECT_EQ(page().items[0].x, 100);
    EXPECT_EQ(page().items[0].y, 100);
    EXPECT_EQ(page().items[0].z, 3);
    EXPECT_EQ(page().items[0].heading, 41);  // the generator's first number from seed 1
    EXPECT_EQ(g_renders, 1);

    // The dialog opens with the last choice: OK again inserts the same kind, next number.
    ui->dialogScripts["INSERTITEM"] = [](FakeDialog& d) { d.click(kIdOk); };
    click(300, 300);
    ASSERT_EQ(page().item_count, 2);
    EXPECT_EQ(page().items[1].type_id, kTestJeep);
    EXPECT_EQ(page().items[1].heading, 18467 % 360);

    // Cancelled: nothing.
    ui->dialogScripts["INSERTITEM"] = [](FakeDialog& d) { d.click(kIdCancel); };
    click(300, 300);
    EXPECT_EQ(page().item_count, 2);
    // A full page takes nothing and draws no number; it says why before an item is chosen.
    int asked = 0;
    ui->dialogScripts["INSERTITEM"] = [&asked](FakeDialog& d) {
        ++asked;
        d.click(kIdOk);
    };
    while (page().item_count < kMaxItems) add(0, 0);
    const std::uint32_t seed = interact_State().seed;
    click(300, 300);
    EXPECT_EQ(page().item_count, kMaxItems);
    EXPECT_EQ(interact_State().seed, seed);
    EXPECT_EQ(asked, 0);
    ASSERT_EQ(ui->boxes.size(), 1u);
    EXPECT_EQ(ui->boxes[0].icon, MsgIcon::Warning);
}

TEST_F(Interact, InsertWithNoChoiceOrWithoutDefinitionsInsertsNothing) {
    view_State().insert_mode = 1;
    // OK with no row chosen (with or without a kind ticked) inserts nothing the user did not
    // pick: the dialog waits, and closing it cancels.
    ui->dialogScripts["INSERTITEM"] = [](FakeDialog& d) { d.click(kIdOk); };
    click(400, 300);
    EXPECT_EQ(page().item_count, 0);
    ui->dialogScripts["INSERTITEM"] = [](FakeDialog& d) {
        d.click(dlgid::kInsertPeople);
        d.click(kIdOk);
    };
    click(400, 300);
    EXPECT_EQ(page().item_count, 0);
    {
        ScopedItemDefs none(std::initializer_list<TestDef>{});
        click(400, 300);
        EXPECT_EQ(page().item_count, 0);
    }
    // Shift still bands in insert mode.
    pane().onMouseDown(MouseButton::Left, 400, 300, kModShift);
    EXPECT_EQ(gesture_State().state, kGestureBandAdd);
}

TEST(InteractRandom, FollowsTheGeneratorSequence) {
    InteractState s;
    std::vector<std::int32_t> got;
    for (int i = 0; i < 5; ++i) got.push_back(interact_NextRandom(s));
    EXPECT_EQ(got, (std::vector<std::int32_t>{41, 18467, 6334, 26500, 19169}));
}

namespace {

// A left drag in one move from (x0, y0) to (x1, y1), released there.
void dragOn(MapPaneSink& pane, int x0, int y0, int x1, int y1, unsigned mods = 0) {
    pane.onMouseDown(MouseButton::Left, x0, y0, mods);
    pane.onMouseMove(x1, y1, mods);
    pane.onMouseUp(MouseButton::Left, x1, y1, mods);
}

}  // namespace

// Where a plain drag starts decides what it does: on a selected item it moves the selection,
// anywhere else it draws a band that replaces it; too short a drag is a click.
TEST_F(Interact, PlainDragMovesFromTheSelectionAndBandsElsewhere) {
    struct Case {
        const char* name;
        bool snap;
        int x0, y0, x1, y1;
        Sel selected;
        Sel after;
        std::int32_t ax, ay;  // where item a ends
    };
    // a at pane (400, 300), b at (500, 300), c at (400, 400).
    const Case cases[] = {
        {"move from a selected item", false, 403, 301, 433, 281, {0, 1}, {0, 1}, 30, 20},
        {"move snapped, the item on the grid", true, 403, 301, 433, 281, {0, 1}, {0, 1}, 0, 0},
        {"move snapped further", true, 403, 301, 463, 241, {0, 1}, {0, 1}, 64, 64},
        {"band from empty ground replaces", false, 380, 280, 520, 320, {2}, {0, 1}, 0, 0},
        {"band over nothing empties", false, 600, 500, 700, 550, {0, 2}, {}, 0, 0},
        {"drag from an unselected item bands", false, 400, 300, 420, 420, {1}, {0, 2}, 0, 0},
        {"three pixels is a click on a", false, 400, 300, 403, 302, {1}, {1, 0}, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        mission_ResetLayer();
        gesture_Reset();
        view_State().snap_to_grid = c.snap;
        view_State().grid_size = 64;
        add(0, 0), add(100, 0), add(0, -100);
        for (std::int32_t i : c.selected) mission_Select(page(), i);
        dragOn(pane(), c.x0, c.y0, c.x1, c.y1);
        EXPECT_TRUE(gesture_Idle(gesture_State()));
        EXPECT_FALSE(ui->mouseCaptured);
        EXPECT_EQ(selection(), c.after);
        EXPECT_EQ(page().items[0].x, c.ax);
        EXPECT_EQ(page().items[0].y, c.ay);
        // b moves with a when both were moved, else stays.
        const bool moved = c.ax != 0 || c.ay != 0;
        EXPECT_EQ(page().items[1].x, moved ? 100 + c.ax : 100);
    }
}

TEST_F(Interact, DrawPathNumbersOnFromThePathsHighestAndTakesBack) {
    std::int32_t old = add(0, 0, kWaypointMarkerType);
    page().items[old].waypoint_id = 4;
    page().items[old].wpnumber = 6;
    const std::int32_t other = add(50, 0, kWaypointMarkerType);
    page().items[other].waypoint_id = 5;
    page().items[other].wpnumber = 20;
    view_State().snap_to_grid = 1;
    view_State().grid_size = 64;
    EXPECT_EQ(interact_StartDraw(kGestureDrawPath, 0), 0);
    EXPECT_EQ(interact_StartDraw(kGestureDrawPath, kMaxWaypoints), 0);
    ASSERT_EQ(interact_StartDraw(kGestureDrawPath, 4), 1);
    EXPECT_EQ(interact_StartMove(), 0);  // one gesture at a time
    click(430, 300);                     // world (30, 0): snapped to (0, 0)
    click(500, 200);
    pane().onDoubleClick(MouseButton::Left, 600, 200, 0);  // one more marker
    ASSERT_EQ(page().item_count, 5);
    const std::int32_t numbers[] = {7, 8, 9};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(page().items[2 + i].type_id, kWaypointMarkerType);
        EXPECT_EQ(page().items[2 + i].waypoint_id, 4);
        EXPECT_EQ(page().items[2 + i].wpnumber, numbers[i]);
    }
    EXPECT_EQ(page().items[2].x, 0);
    auto index = std::make_unique<MissionIndex>();
    mission_BuildIndex(page(), *index);
    EXPECT_EQ(index->paths[4].point_count, 4);
    EXPECT_EQ(interact_DrawBack(), 1);
    EXPECT_EQ(interact_DrawBack(), 1);
    EXPECT_EQ(page().item_count, 3);
    EXPECT_EQ(interact_NextWaypointNumber(page(), 4), 8);
    // A right click ends the drawing and keeps the markers; Backspace then does nothing.
    pane().onMouseDown(MouseButton::Right, 300, 300, 0);
    EXPECT_TRUE(gesture_Idle(gesture_State()));
    EXPECT_EQ(interact_DrawBack(), 0);
    EXPECT_EQ(page().item_count, 3);
}

TEST_F(Interact, AnInsertedItemBecomesTheSelection) {
    add(0, 0);
    mission_Select(page(), 0);
    view_State().insert_mode = 1;
    ui->dialogScripts["INSERTITEM"] = [](FakeDialog& d) {
        d.setCheck(dlgid::kInsertVehicles, kChecked);
        d.click(dlgid::kInsertVehicles);
        d.choose(dlgid::kInsertList, 0);
        d.click(kIdOk);
    };
    click(450, 300);
    ASSERT_EQ(page().item_count, 2);
    EXPECT_EQ(selection(), Sel{1});
}

#include "mapview/gesture.h"
#include "mission/itemops.h"

#include "core/text.h"
#include "support/fake_platform.h"
#include "support/text_tables.h"
#include "support/mission_pages.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<std::int32_t> selection(const Mission& m) {
    return {m.selection.index.begin(), m.selection.index.begin() + m.selection.count};
}

// Two pages and a clipboard, with the default test definitions installed.
class ItemOps : public ::testing::Test {
protected:
    ScopedFakePlatform ui;
    ScopedItemDefs defs;
    std::unique_ptr<Mission> page = test_NewMission();
    std::unique_ptr<Mission> other = test_NewMission();
    std::unique_ptr<Mission> clipboard = test_NewMission();
    GestureState gesture;

    // A at (1000, 2000, 50), B at (1300, 1800, 70), C at (0, 0, 0); A and B in group 4 on
    // path 6; A selected, then B (B is the reference item).
    void selectAThenB() {
        a = test_AddItem(*page, kTestRifleman, 1000, 2000, 50);
        b = test_AddItem(*page, kTestGoodGuard, 1300, 1800, 70);
        c = test_AddItem(*page, kTestJeep, 0, 0, 0);
        for (std::int32_t i : {a, b}) {
            page->items[i].group_id = 4;
            page->items[i].waypoint_id = 6;
        }
        mission_Select(*page, a);
        mission_Select(*page, b);
    }

    void TearDown() override { EXPECT_TRUE(ui->boxes.empty()) << "no command shows a message"; }

    std::int32_t a = -1, b = -1, c = -1;
};

}  // namespace

TEST_F(ItemOps, CopyKeepsPositionsRelativeToTheLastSelectedItem) {
    selectAThenB();
    ASSERT_EQ(itemops_Copy(*page, *clipboard), 1);
    ASSERT_EQ(clipboard->item_count, 2);
    EXPECT_EQ(selection(*clipboard), (std::vector<std::int32_t>{0, 1}));
    EXPECT_EQ(clipboard->items[0].x, -300);  // A relative to B
    EXPECT_EQ(clipboard->items[0].y, 200);
    EXPECT_EQ(clipboard->items[0].z, 50);  // height stays absolute
    EXPECT_EQ(clipboard->items[1].x, 0);
    EXPECT_EQ(clipboard->items[1].y, 0);
    EXPECT_EQ(clipboard->items[1].z, 70);
    // The page is unchanged, selection included.
    EXPECT_EQ(page->item_count, 3);
    EXPECT_EQ(page->items[a].x, 1000);
    EXPECT_EQ(selection(*page), (std::vector<std::int32_t>{a, b}));

    // A second copy replaces the clipboard's contents.
    mission_ClearSelection(*page);
    mission_Select(*page, c);
    ASSERT_EQ(itemops_Copy(*page, *clipboard), 1);
    EXPECT_EQ(clipboard->item_count, 1);
    EXPECT_EQ(clipboard->items[0].type_id, kTestJeep);
}

TEST_F(ItemOps, PastePutsTheReferenceItemOnTheClickAndKeepsOffsets) {
    selectAThenB();
    itemops_Copy(*page, *clipboard);
    other->info.current_layer = 3;
    test_AddItem(*other, kTestCrate);  // the target page's ids continue from its own

    ASSERT_EQ(gesture_StartPaste(*clipboard, gesture), 1);
    EXPECT_EQ(gesture.state, kGesturePlace);
    ASSERT_EQ(gesture_Place(*other, *clipboard, gesture, 5000, 6000, 10), 2);
    EXPECT_EQ(gesture.state, kGestureIdle);

    ASSERT_EQ(other->item_count, 3);
    const MissionItem& pa = other->items[1];
    const MissionItem& pb = other->items[2];
    EXPECT_EQ(pb.x, 5000);
    EXPECT_EQ(pb.y, 6000);
    EXPECT_EQ(pb.z, 80);    // B.z + the placing height
    EXPECT_EQ(pa.x, 4700);  // same offset from B as before
    EXPECT_EQ(pa.y, 6200);
    EXPECT_EQ(pa.z, 60);
    EXPECT_EQ(pa.id, 2);
    EXPECT_EQ(pb.id, 3);
    EXPECT_EQ(pa.layer, 3);
    EXPECT_EQ(pb.layer, 3);
    EXPECT_EQ(pb.group_id, 4);  // numbers stay, pointing into the target page's tables
    EXPECT_EQ(pb.waypoint_id, 6);
    EXPECT_EQ(pb.team, kTeamGood);
    EXPECT_EQ(selection(*other), (std::vector<std::int32_t>{1, 2}));

    // The clipboard still holds the items: a second paste works too.
    ASSERT_EQ(gesture_StartPaste(*clipboard, gesture), 1);
    EXPECT_EQ(gesture_Place(*other, *clipboard, gesture, 0, 0, 0), 2);
    EXPECT_EQ(other->item_count, 5);
}

TEST_F(ItemOps, CutRemovesTheItemsAndTheClipboardSurvivesAClear) {
    selectAThenB();
    ASSERT_EQ(itemops_Cut(*page, *clipboard), 1);
    ASSERT_EQ(page->item_count, 1);
    EXPECT_EQ(page->items[0].type_id, kTestJeep);
    EXPECT_EQ(page->selection.count, 0);
    EXPECT_EQ(clipboard->item_count, 2);

    mission_Clear(*page);
    ASSERT_EQ(gesture_StartPaste(*clipboard, gesture), 1);
    EXPECT_EQ(gesture_Place(*page, *clipboard, gesture, 100, 100, 0), 2);
    EXPECT_EQ(page->items[0].id, 1);  // new ids from the target page
    EXPECT_EQ(page->items[1].id, 2);
    EXPECT_EQ(page->items[1].x, 100);
}

TEST_F(ItemOps, CommandsWithoutTheirPreconditionDoNothing) {
    test_AddItem(*page, kTestRifleman);
    test_AddItem(*clipboard, kTestJeep);
    mission_Select(*clipboard, 0);

    // Nothing selected: copy and cut leave the clipboard alone, move does not start.
    EXPECT_EQ(itemops_Copy(*page, *clipboard), 0);
    EXPECT_EQ(itemops_Cut(*page, *clipboard), 0);
    EXPECT_EQ(clipboard->item_count, 1);
    EXPECT_EQ(page->item_count, 1);
    EXPECT_EQ(gesture_StartMove(*page, gesture), 0);
    EXPECT_EQ(itemops_SelectThisType(*page, kShowEverything), 0);
    itemops_Delete(*page);
    EXPECT_EQ(page->item_count, 1);

    // A placing click without a paste in progress places nothing.
    EXPECT_EQ(gesture_Place(*page, *clipboard, gesture, 0, 0, 0), -1);
    EXPECT_EQ(page->item_count, 1);

    // An empty clipboard cannot be pasted.
    auto empty = test_NewMission();
    EXPECT_EQ(gesture_StartPaste(*empty, gesture), 0);
    EXPECT_EQ(gesture.state, kGestureIdle);

    // While one gesture runs, neither paste nor move starts.
    mission_Select(*page, 0);
    ASSERT_EQ(gesture_StartMove(*page, gesture), 1);
    EXPECT_EQ(gesture_StartPaste(*clipboard, gesture), 0);
    EXPECT_EQ(gesture_StartMove(*page, gesture), 0);
    EXPECT_EQ(gesture.state, kGestureMove);
    gesture_CancelGesture(gesture);
    gesture.drag = kDragZoom;  // a zoom drag counts as a gesture too
    EXPECT_EQ(gesture_StartPaste(*clipboard, gesture), 0);
    EXPECT_EQ(gesture_StartMove(*page, gesture), 0);
}

// Items that do not fit are left out, and the user is told how many of how many went in.
TEST_F(ItemOps, PasteIntoAFullPageSaysHowManyDidNotFit) {
    ScopedTextTable table(test_ReadSourceFile("data/text/missionfiles.txt"));
    selectAThenB();
    itemops_Copy(*page, *clipboard);
    for (int i = 0; i < kMaxItems - 1; ++i) mission_AddItem(*other, kTestCrate, 0, 0, 0);
    struct Case {
        int placed;  // what the page has room for
    } cases[] = {{1}, {0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.placed);
        ui->boxes.clear();
        ASSERT_EQ(gesture_StartPaste(*clipboard, gesture), 1);
        EXPECT_EQ(gesture_Place(*other, *clipboard, gesture, 0, 0, 0), c.placed);
        EXPECT_EQ(other->item_count, kMaxItems);
        EXPECT_EQ(gesture.state, kGestureIdle);
        ASSERT_EQ(ui->boxes.size(), 1u);
        EXPECT_EQ(ui->boxes[0].text,
                  text_Printf("Dialog Message", "ITEMS_DID_NOT_FIT", {c.placed, 2, kMaxItems, 2 - c.placed}));
    }
    EXPECT_EQ(other->items[kMaxItems - 1].type_id, kTestRifleman);  // A went in, B did not
    ui->boxes.clear();
    // A paste that fits says nothing (TearDown checks).
    ASSERT_EQ(gesture_StartPaste(*clipboard, gesture), 1);
    EXPECT_EQ(gesture_Place(*page, *clipboard, gesture, 0, 0, 0), 2);
}

TEST_F(ItemOps, MoveIsMeasuredFromTheReferenceItemAndCancelLeavesItemsInPlace) {
    selectAThenB();
    ASSERT_EQ(gesture_StartMove(*page, gesture), 1);
    EXPECT_EQ(gesture.ref_x, 1300);
    EXPECT_EQ(gesture.ref_y, 1800);
    EXPECT_EQ(gesture.offset_x, 0);

    // The map pane sets the offset as the pointer moves; a cancel drops it.
    gesture.offset_x = 500;
    gesture.offset_y = -200;
    EXPECT_EQ(gesture_CancelGesture(gesture), 1);
    EXPECT_EQ(gesture_FinishMove(*page, gesture), 0);
    EXPECT_EQ(page->items[a].x, 1000);
    EXPECT_EQ(page->items[b].x, 1300);

    ASSERT_EQ(gesture_StartMove(*page, gesture), 1);
    gesture.offset_x = 500;
    gesture.offset_y = -200;
    EXPECT_EQ(gesture_FinishMove(*page, gesture), 1);
    EXPECT_EQ(gesture.state, kGestureIdle);
    EXPECT_EQ(page->items[a].x, 1500);
    EXPECT_EQ(page->items[a].y, 1800);
    EXPECT_EQ(page->items[b].x, 1800);
    EXPECT_EQ(page->items[c].x, 0);  // not selected
    EXPECT_EQ(gesture_CancelGesture(gesture), 0);
}

TEST_F(ItemOps, HideSelectedClearsTheSelectionHideUnselectedKeepsIt) {
    selectAThenB();
    itemops_HideUnselected(*page);
    EXPECT_EQ(page->items[c].hidden, 1);
    EXPECT_EQ(page->items[a].hidden, 0);
    EXPECT_EQ(selection(*page), (std::vector<std::int32_t>{a, b}));

    itemops_HideSelected(*page);
    EXPECT_EQ(page->items[a].hidden, 1);
    EXPECT_EQ(page->items[b].hidden, 1);
    EXPECT_EQ(page->selection.count, 0);

    itemops_UnhideAll(*page);
    EXPECT_EQ(page->items[a].hidden + page->items[b].hidden + page->items[c].hidden, 0);
}

TEST_F(ItemOps, SelectThisTypeSkipsHiddenItemsAndHiddenLayers) {
    const std::int32_t r1 = test_AddItem(*page, kTestRifleman);
    const std::int32_t r2 = test_AddItem(*page, kTestRifleman);
    const std::int32_t r3 = test_AddItem(*page, kTestRifleman);
    const std::int32_t r4 = test_AddItem(*page, kTestRifleman);
    test_AddItem(*page, kTestJeep);
    page->items[r2].hidden = 1;
    page->items[r3].layer = 2;
    page->info.hidden_layers = 1u << 2;
    mission_Select(*page, r4);
    ASSERT_EQ(itemops_SelectThisType(*page, kShowEverything), 1);
    EXPECT_EQ(selection(*page), (std::vector<std::int32_t>{r4, r1}));

    itemops_ClearSelection(*page);
    EXPECT_EQ(page->selection.count, 0);
}

TEST_F(ItemOps, DeleteRemovesTheSelectionForGood) {
    selectAThenB();
    itemops_Delete(*page);
    ASSERT_EQ(page->item_count, 1);
    EXPECT_EQ(page->items[0].type_id, kTestJeep);
    EXPECT_EQ(page->selection.count, 0);
}

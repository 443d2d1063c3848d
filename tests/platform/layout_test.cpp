#include "platform/layout.h"

#include <gtest/gtest.h>

namespace {

TEST(MainPaneLayout, PanesFollowTheCharacterUnitsWithTruncatedHalves) {
    // cw 8, ch 15: ch/2 = 7 and ch/8 = 1 truncate.
    MainPaneLayout l = layout_MainPanes(1000, 700, {8, 15});
    EXPECT_EQ(l.map.x, 216);
    EXPECT_EQ(l.map.y, 45);
    EXPECT_EQ(l.map.w, 1000 - 8 - 216 + 1);
    EXPECT_EQ(l.map.h, 700 - 7 - 45 + 1);
    EXPECT_EQ(l.selection.x, 8);
    EXPECT_EQ(l.selection.y, 360);
    EXPECT_EQ(l.selection.w, 208 - 8 + 1);
    EXPECT_EQ(l.selection.h, 693 - 360 + 1);
    EXPECT_EQ(l.centre.x, 216);
    EXPECT_EQ(l.centre.y, 7);
    EXPECT_EQ(l.centre.w, 592 - 216 + 1);
    EXPECT_EQ(l.centre.h, 31 - 7 + 1);
}

TEST(MainPaneLayout, ATinyClientAreaGivesEmptyPanesNotNegativeOnes) {
    MainPaneLayout l = layout_MainPanes(100, 50, {8, 16});
    EXPECT_EQ(l.map.w, 0);
    EXPECT_EQ(l.map.h, 0);
    EXPECT_EQ(l.selection.h, 0);
    EXPECT_GT(l.centre.w, 0);  // the centre pane does not depend on the client size
    MainPaneLayout z = layout_MainPanes(0, 0, {0, 0});
    EXPECT_GE(z.map.w, 0);
    EXPECT_GE(z.map.h, 0);
}

}  // namespace

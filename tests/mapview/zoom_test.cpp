// Zooming: the wheel keeps the world point under the pointer where it is, within the zoom
// limits, and the fit shows every item of a page.
#include "mapview/zoom.h"

#include "mapview/interact.h"
#include "mapview/view.h"
#include "support/mission_pages.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

Viewport viewportOf(const ViewState& v, std::int32_t w, std::int32_t h) {
    MapSurface s;
    s.width = w;
    s.height = h;
    return interact_Viewport(v, s);
}

TEST(Zoom, WheelKeepsTheWorldPointUnderThePointerWithinTheLimits) {
    struct Case {
        float zoom;
        std::int32_t cx, cy;
        int px, py;
        double factor;
        bool changes;
    };
    const Case cases[] = {
        {0.01f, 50000, 80000, 700, 100, 1.25, true},   // right of and above zero
        {0.01f, -50000, -80000, 30, 590, 1.25, true},  // left of and below zero
        {0.5f, -100, 100, 100, 500, 0.8, true},        // the pointer across zero
        {0.002f, -3000000, 2500000, 799, 0, std::pow(1.25, 3), true},
        {900.0f, 7, -7, 650, 420, 1.25, true},       // held at the upper limit
        {0.00011f, 0, 0, 10, 10, 0.8, true},         // held at the lower limit
        {kZoomMax, 1234, -4321, 5, 5, 1.25, false},  // at a limit: nothing moves
        {kZoomMin, 1234, -4321, 5, 5, 0.8, false},
        {1.0f, 0, 0, 5, 5, std::nan(""), false},  // no factor
        {1.0f, 0, 0, 5, 5, -1.25, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.zoom << " x " << c.factor << " at " << c.cx << "," << c.cy);
        ViewState v{};
        v.zoom = c.zoom;
        v.center_x = c.cx;
        v.center_y = c.cy;
        const WorldPoint before = interact_PaneToWorld(viewportOf(v, 800, 600), c.px, c.py);
        ASSERT_EQ(zoom_About(v, 800, 600, c.px, c.py, c.factor), c.changes);
        EXPECT_GE(v.zoom, kZoomMin);
        EXPECT_LE(v.zoom, kZoomMax);
        const WorldPoint after = interact_PaneToWorld(viewportOf(v, 800, 600), c.px, c.py);
        // Within a world unit and what single precision makes of the coordinates.
        const double tolerance = 1.0 + std::abs(double(before.x) + double(before.y)) * 1e-6;
        EXPECT_NEAR(after.x, before.x, tolerance);
        EXPECT_NEAR(after.y, before.y, tolerance);
        if (!c.changes) {
            EXPECT_EQ(v.zoom, c.zoom);
        }
    }
}

TEST(Zoom, FitShowsEveryItemWithAMarginAndLeavesAnEmptyPageAlone) {
    ScopedItemDefs defs;
    auto page = test_NewMission();
    ViewState v{};
    v.zoom = 0.25f;
    EXPECT_FALSE(zoom_FitItems(*page, 800, 600, v));
    EXPECT_EQ(v.zoom, 0.25f);

    struct Case {
        int w, h;
        std::vector<std::pair<std::int32_t, std::int32_t>> items;
    };
    const Case cases[] = {
        {800, 600, {{-40000, 12345}}},  // one item: centred, among tens of metres of ground
        {800, 600, {{0, 0}, {262144, 131072}, {-5000, 200000}}},
        {300, 900, {{-1000000, -10}, {-990000, 10}}},  // tall pane, wide spread
    };
    for (const Case& c : cases) {
        mission_Clear(*page);
        for (auto [x, y] : c.items) test_AddItem(*page, kTestRifleman, x, y, 0);
        ASSERT_TRUE(zoom_FitItems(*page, c.w, c.h, v));
        EXPECT_GE(v.zoom, kZoomMin);
        const double metresAcross = c.w / v.zoom / 256.0;
        EXPECT_GT(metresAcross, 20.0);
        const Viewport vp = viewportOf(v, c.w, c.h);
        for (auto [x, y] : c.items) {
            std::int64_t px = 0, py = 0;
            interact_WorldToPane(vp, x, y, px, py);
            EXPECT_GE(px, c.w / 20) << x << "," << y;
            EXPECT_LE(px, c.w - c.w / 20) << x << "," << y;
            EXPECT_GE(py, c.h / 20) << x << "," << y;
            EXPECT_LE(py, c.h - c.h / 20) << x << "," << y;
        }
    }
    // Items at the ends of the coordinate range: the zoom is held to its limit, no overflow.
    mission_Clear(*page);
    test_AddItem(*page, kTestRifleman, INT32_MIN, INT32_MIN, 0);
    test_AddItem(*page, kTestRifleman, INT32_MAX, INT32_MAX, 0);
    ASSERT_TRUE(zoom_FitItems(*page, 800, 600, v));
    EXPECT_EQ(v.zoom, kZoomMin);
    EXPECT_LE(std::abs(v.center_x), 1);
}

}  // namespace

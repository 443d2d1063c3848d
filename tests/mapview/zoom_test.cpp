// Zooming: the wheel keeps the world point under the pointer where it is, the fit shows
// every item, and both hold to the zoom limits.
#include "mapview/zoom.h"

#include "mapview/interact.h"
#include "mapview/view.h"
#include "support/mission_pages.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {

Viewport viewportOf(const ViewState& v, std::int32_t w, std::int32_t h) {
    MapSurface s;
    s.width = w;
    s.height = h;
    return interact_Viewport(v, s);
}

TEST(Zoom, WheelKeepsTheWorldPointUnderThePointer) {
    struct Case {
        const char* what;
        float zoom;
        std::int32_t cx, cy;
        int px, py;
        double factor;
    };
    const Case cases[] = {
        {"in, right of and above zero", 0.01f, 50000, 80000, 700, 100, 1.25},
        {"in, left of and below zero", 0.01f, -50000, -80000, 30, 590, 1.25},
        {"out, pointer across zero", 0.5f, -100, 100, 100, 500, 0.8},
        {"several notches far out", 0.002f, -3000000, 2500000, 799, 0, std::pow(1.25, 3)},
        {"near the upper limit: held there", 900.0f, 7, -7, 650, 420, 1.25},
        {"near the lower limit: held there", 0.00011f, 0, 0, 10, 10, 0.8},
    };
    const std::int32_t w = 800, h = 600;
    for (const Case& c : cases) {
        ViewState v{};
        v.zoom = c.zoom;
        v.center_x = c.cx;
        v.center_y = c.cy;
        const WorldPoint before = interact_PaneToWorld(viewportOf(v, w, h), c.px, c.py);
        ASSERT_TRUE(zoom_About(v, w, h, c.px, c.py, c.factor)) << c.what;
        EXPECT_GE(v.zoom, kZoomMin) << c.what;
        EXPECT_LE(v.zoom, kZoomMax) << c.what;
        const WorldPoint after = interact_PaneToWorld(viewportOf(v, w, h), c.px, c.py);
        // Within a world unit and what single precision makes of the coordinates.
        const double tolerance = 1.0 + std::abs(double(before.x) + double(before.y)) * 1e-6;
        EXPECT_NEAR(after.x, before.x, tolerance) << c.what;
        EXPECT_NEAR(after.y, before.y, tolerance) << c.what;
    }
}

TEST(Zoom, AtTheLimitsNothingMoves) {
    for (float limit : {kZoomMax, kZoomMin}) {
        ViewState v{};
        v.zoom = limit;
        v.center_x = 1234;
        v.center_y = -4321;
        const double outward = limit == kZoomMax ? 1.25 : 0.8;
        EXPECT_FALSE(zoom_About(v, 800, 600, 5, 5, outward));
        EXPECT_EQ(v.zoom, limit);
        EXPECT_EQ(v.center_x, 1234);
        EXPECT_EQ(v.center_y, -4321);
        // Back the other way it moves again.
        EXPECT_TRUE(zoom_About(v, 800, 600, 5, 5, 1.0 / outward));
    }
    ViewState v{};
    v.zoom = 1.0f;
    EXPECT_FALSE(zoom_About(v, 800, 600, 5, 5, std::nan("")));
    EXPECT_FALSE(zoom_About(v, 800, 600, 5, 5, 0.0));
    EXPECT_FALSE(zoom_About(v, 800, 600, 5, 5, -1.25));
    EXPECT_EQ(v.zoom, 1.0f);
}

TEST(Zoom, WheelNotchesMakeEvenSteps) {
    EXPECT_DOUBLE_EQ(zoom_WheelFactor(kWheelNotch), kZoomStep);
    EXPECT_DOUBLE_EQ(zoom_WheelFactor(-kWheelNotch) * kZoomStep, 1.0);
    EXPECT_NEAR(zoom_WheelFactor(2 * kWheelNotch), kZoomStep * kZoomStep, 1e-12);
    // A fine-grained wheel's half notch is half the step in the logarithm.
    EXPECT_NEAR(zoom_WheelFactor(kWheelNotch / 2) * zoom_WheelFactor(kWheelNotch / 2), kZoomStep, 1e-12);
}

class ZoomFit : public ::testing::Test {
protected:
    void SetUp() override { page = std::make_unique<Mission>(); }
    std::unique_ptr<Mission> page;
    ScopedItemDefs defs;
};

TEST_F(ZoomFit, EmptyPageLeavesTheViewAlone) {
    ViewState v{};
    v.zoom = 0.25f;
    v.center_x = 99;
    EXPECT_FALSE(zoom_FitItems(*page, 800, 600, v));
    EXPECT_EQ(v.zoom, 0.25f);
    EXPECT_EQ(v.center_x, 99);
}

TEST_F(ZoomFit, OneItemIsCentredAmongItsSurroundings) {
    test_AddItem(*page, kTestRifleman, -40000, 12345, 0);
    ViewState v{};
    ASSERT_TRUE(zoom_FitItems(*page, 800, 600, v));
    EXPECT_EQ(v.center_x, -40000);
    EXPECT_EQ(v.center_y, 12345);
    // Not blown up to the largest zoom: the pane shows tens of metres around the item.
    const double metresAcross = 800 / v.zoom / 256.0;
    EXPECT_GT(metresAcross, 20.0);
    EXPECT_LT(metresAcross, 1000.0);
}

TEST_F(ZoomFit, EveryItemLandsInsideThePaneWithAMargin) {
    struct Case {
        int w, h;
        std::vector<std::pair<std::int32_t, std::int32_t>> items;
    };
    const Case cases[] = {
        {800, 600, {{0, 0}, {262144, 131072}, {-5000, 200000}}},
        {300, 900, {{-1000000, -10}, {-990000, 10}}},  // tall pane, wide spread
        {1200, 400, {{5, 5}, {6, 6}, {7, 7}}},          // a tight cluster
    };
    for (const Case& c : cases) {
        mission_Clear(*page);
        for (auto [x, y] : c.items) test_AddItem(*page, kTestRifleman, x, y, 0);
        ViewState v{};
        ASSERT_TRUE(zoom_FitItems(*page, c.w, c.h, v));
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
}

TEST_F(ZoomFit, ItemsAtTheEdgesOfTheWorldHoldTheZoomToItsLimit) {
    test_AddItem(*page, kTestRifleman, INT32_MIN, INT32_MIN, 0);
    test_AddItem(*page, kTestRifleman, INT32_MAX, INT32_MAX, 0);
    ViewState v{};
    ASSERT_TRUE(zoom_FitItems(*page, 800, 600, v));
    EXPECT_EQ(v.zoom, kZoomMin);
    EXPECT_LE(std::abs(v.center_x), 1);
    EXPECT_LE(std::abs(v.center_y), 1);
}

}  // namespace

// The map renderer's arithmetic: line clipping and stepping, the texture blend, the water
// tint, the terrain sampling, the surface and the visibility test.
#include "gamedata/model.h"
#include "gamedata/terrain.h"
#include "mapview/render.h"
#include "mapview/view.h"
#include "mapview/gesture.h"
#include "mission/mission.h"
#include "support/fake_platform.h"
#include "support/core_env.h"
#include "support/mission_pages.h"
#include "support/render_scene.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <set>
#include <utility>
#include <vector>

namespace {

using Pixels = std::set<std::pair<int, int>>;

constexpr std::uint32_t kPaper = 0x123456;
constexpr std::uint32_t kInk = 0xABCDEF;

// A 32 x 20 surface (a 16-pixel pane rounds up to 32) filled with paper.
class LineTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(mapsurface_Create(surface, 16, 20));
        ASSERT_EQ(surface.width, 32);
        ViewState v = view_StartupState();
        frame = render_SetupFrame(surface, v);
        std::fill(surface.bits.begin(), surface.bits.end(), kPaper);
    }
    Pixels line(std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1) {
        std::fill(surface.bits.begin(), surface.bits.end(), kPaper);
        render_DrawScreenLine(frame, x0, y0, x1, y1, kInk);
        Pixels p;
        for (int y = 0; y < surface.height; ++y)
            for (int x = 0; x < surface.width; ++x) {
                const std::uint32_t c = surface.rows[y][x];
                EXPECT_TRUE(c == kPaper || c == kInk);
                if (c == kInk) p.insert({x, y});
            }
        return p;
    }
    MapSurface surface;
    RenderFrame frame;
};

Pixels run(std::initializer_list<std::pair<int, int>> points) { return Pixels(points); }

TEST_F(LineTest, StepsWithTruncatedFixedPointAccumulators) {
    // 3/10 per column: the accumulator reaches 1.9998 at x = 5, so that pixel stays on row 1.
    EXPECT_EQ(line(0, 0, 10, 3),
              run({{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 1}, {5, 1}, {6, 2}, {7, 2}, {8, 2}, {9, 3}, {10, 3}}));
    EXPECT_EQ(line(10, 3, 0, 0), line(0, 0, 10, 3));
    // Steep, stepping down from the upper end with a negative column step.
    EXPECT_EQ(line(0, 9, 2, 0), run({{2, 0}, {2, 1}, {2, 2}, {1, 3}, {1, 4}, {1, 5}, {1, 6}, {0, 7}, {0, 8}, {0, 9}}));
    // Equal |dx| and |dy| steps by rows.
    EXPECT_EQ(line(3, 3, 0, 6), run({{3, 3}, {2, 4}, {1, 5}, {0, 6}}));
}

TEST_F(LineTest, ClipsAgainstEachEdge) {
    EXPECT_EQ(line(-10, 5, 40, 5).size(), 32u);  // through both sides: the whole row
    EXPECT_EQ(line(7, -5, 7, 30).size(), 20u);   // through top and bottom: the whole column
    // Left: y moves to 0 + 10 * 3 / 10 = 3.
    EXPECT_EQ(line(-3, 0, 7, 10), run({{0, 3}, {1, 4}, {2, 5}, {3, 6}, {4, 7}, {5, 8}, {6, 9}, {7, 10}}));
    // Right: y moves to 4 + 6 * -7 / -10 = 8 (4.2 truncated).
    EXPECT_EQ(line(28, 10, 38, 4), run({{28, 10}, {29, 9}, {30, 9}, {31, 8}}));
    // Top: x moves to 10 + 6 * 6 / 12 = 13.
    EXPECT_EQ(line(10, -6, 16, 6), run({{13, 0}, {14, 1}, {14, 2}, {15, 3}, {15, 4}, {16, 5}, {16, 6}}));
    // Bottom: x moves to 9 + (-4 * -8) / -12 = 7 (2.67 truncated toward zero).
    EXPECT_EQ(line(5, 15, 9, 27), run({{5, 15}, {6, 16}, {6, 17}, {7, 18}, {7, 19}}));
}

TEST_F(LineTest, ClipsThroughEachCorner) {
    Pixels diagonal;
    for (int k = 0; k < 20; ++k) diagonal.insert({k, k});
    EXPECT_EQ(line(-5, -5, 40, 40), diagonal);                                           // top-left, bottom
    EXPECT_EQ(line(35, -4, 27, 4), run({{31, 0}, {30, 1}, {29, 2}, {28, 3}, {27, 4}}));  // top-right
    EXPECT_EQ(line(-2, 21, 3, 16), run({{3, 16}, {2, 17}, {1, 18}, {0, 19}}));           // bottom-left
    EXPECT_EQ(line(29, 17, 34, 22), run({{29, 17}, {30, 18}, {31, 19}}));                // bottom-right
}

TEST_F(LineTest, DropsWhatLiesOutside) {
    EXPECT_TRUE(line(-5, 0, -1, 19).empty());  // left
    EXPECT_TRUE(line(32, 0, 50, 19).empty());  // right
    EXPECT_TRUE(line(0, -1, 31, -9).empty());  // above
    EXPECT_TRUE(line(0, 20, 31, 25).empty());  // below
    // Passing the top-left corner outside: after the x clip both ends lie above.
    EXPECT_TRUE(line(-10, 5, 5, -10).empty());
    // Passing the bottom-right corner: the right clip leaves both ends below.
    EXPECT_TRUE(line(28, 25, 40, 15).empty());
}

TEST_F(LineTest, SinglePointsDrawNothing) {
    EXPECT_TRUE(line(3, 3, 3, 3).empty());
    EXPECT_TRUE(line(-5, 0, 0, 0).empty());  // clipped down to the one pixel (0, 0)
    EXPECT_EQ(line(3, 3, 4, 3), run({{3, 3}, {4, 3}}));
}

TEST_F(LineTest, FarEndsAreClippedWithoutOverflow) {
    EXPECT_EQ(line(-1000000000000LL, 5, 1000000000000LL, 5).size(), 32u);
    EXPECT_EQ(line(-4000000000000000000LL, -4000000000000000000LL, 4000000000000000000LL, 4000000000000000000LL),
              line(-5, -5, 40, 40));
    EXPECT_TRUE(line(-4000000000000000000LL, 100, -4000000000000000000LL, 5).empty());
}

TEST(RenderProjection, NorthIsUpAndCentreIsHalfTheSurface) {
    MapSurface s;
    ASSERT_TRUE(mapsurface_Create(s, 100, 51));  // 112 x 51: hw 56, hh 25
    ViewState v = view_StartupState();
    v.zoom = 0.5f;
    v.center_x = 1000;
    v.center_y = -2000;
    const RenderFrame f = render_SetupFrame(s, v);
    EXPECT_EQ(f.hw, 56);
    EXPECT_EQ(f.hh, 25);
    ScreenPoint p = render_Project(f, 1000, -2000);
    EXPECT_EQ(p.x, 56);
    EXPECT_EQ(p.y, 25);
    p = render_Project(f, 1003, -1997);  // 1.5 pixels each way, truncated toward zero
    EXPECT_EQ(p.x, 57);
    EXPECT_EQ(p.y, 24);
    p = render_Project(f, 997, -2003);
    EXPECT_EQ(p.x, 55);
    EXPECT_EQ(p.y, 26);
    // Zoom outside its range is held to it.
    v.zoom = 0.0f;
    EXPECT_FLOAT_EQ(float(render_SetupFrame(s, v).zoom), kZoomMin);
    v.zoom = 1e9f;
    EXPECT_FLOAT_EQ(float(render_SetupFrame(s, v).zoom), kZoomMax);
}

TEST(RenderBlend, MatchesHandComputedLanes) {
    // Opaque texel (top byte 0): the colour map does not show; 127 widens to 254.
    EXPECT_EQ(render_TextureBlend(0x007F7F7F, 0x00123456), 0x00FEFEFEu);
    // Fully transparent texel (127): the colour map at about half, then doubled back.
    EXPECT_EQ(render_TextureBlend(0x7F000000, 0x00FF8000), 0xFEFE7F00u);
    // Half coverage mixes both.
    EXPECT_EQ(render_TextureBlend(0x40204060, 0x00804020), 0x8080A0D0u);
    EXPECT_EQ(render_TextureBlend(0x3F7F0040, 0x00FFFFFF), 0x7EFF7EFEu);
    // A top byte of 128 or more is a negative scale: the signed product read back as an
    // unsigned lane saturates the sum.
    EXPECT_EQ(render_TextureBlend(0x80102030, 0x00000040), 0xFF2040FFu);
}

TEST(RenderWater, TintHalvesBytesOrTheWholeWord) {
    EXPECT_EQ(render_WaterTintMasked(0x00010101), kWaterTint);
    EXPECT_EQ(render_WaterTintWhole(0x00010101), 0x4035BFCDu);  // green and blue 0x80 higher
    EXPECT_EQ(render_WaterTintMasked(0x00FFFFFF), 0x40B4BECCu);
    EXPECT_EQ(render_WaterTintWhole(0x00FFFFFF), 0x40B53F4Cu);  // red's low bit falls into green

    auto page = test_NewMission();
    EXPECT_EQ(render_WaterLevel(*page, kShowWater), 0u);  // no terrain, no override
    page->terrain = TerrainMapsPtr(terrain_NewMaps(), terrain_FreeMaps);
    page->terrain->waterLevel = 12;
    EXPECT_EQ(render_WaterLevel(*page, kShowWater), 12u);
    EXPECT_EQ(render_WaterLevel(*page, kShowFlagsStartup & ~kShowWater), 0u);
    page->info.water_level = -1;  // without its bit the override is not used
    EXPECT_EQ(render_WaterLevel(*page, kShowWater), 12u);
    page->info.attrib |= 1;
    // The override is an elevation byte: below the lowest ground no water, above the highest
    // water everywhere (never the low byte: -1 is not a sea over the whole map).
    for (const auto& [level, want] : {std::pair{-1, 0u},
                                      {-300, 0u},
                                      {0, 0u},
                                      {1, 1u},
                                      {255, 255u},
                                      {256, 255u},
                                      {0x1FF, 255u},
                                      {INT32_MIN, 0u},
                                      {INT32_MAX, 255u}}) {
        page->info.water_level = level;
        EXPECT_EQ(render_WaterLevel(*page, kShowWater), want) << level;
    }
}

TEST(RenderColours, TablesAndFallbacks) {
    EXPECT_EQ(render_CodeColour(0), 0xE47C00u);
    EXPECT_EQ(render_CodeColour(5), 0x0069A9u);
    EXPECT_EQ(render_CodeColour(16), 0xFFFFFFu);
    EXPECT_EQ(render_CodeColour(17), 0xE47C00u);
    EXPECT_EQ(render_CodeColour(-1), 0xE47C00u);
    EXPECT_EQ(render_TeamColour(3), 0xA07B00u);
    EXPECT_EQ(render_KindColour(7), 0x009186u);
    MissionItem item{};
    item.kind = kItemPerson;
    item.team = kTeamEvil;
    EXPECT_EQ(render_ItemColour(item, kViewByType, 0), 0x00FF00u);
    EXPECT_EQ(render_ItemColour(item, kViewBySide, 0), 0xFF0000u);
    EXPECT_EQ(render_ItemColour(item, kViewBySide, kItemMarkDisplay), kColourMarked);
    EXPECT_EQ(render_ItemColour(item, kViewBySide, 1), 0xFF0000u);  // other marks are no display mark
    item.kind = 40;
    item.team = -3;
    EXPECT_EQ(render_ItemColour(item, kViewByType, 0), 0xB4B4B4u);
    EXPECT_EQ(render_ItemColour(item, kViewBySide, 0), 0xB4B4B4u);
}

// ---------------------------------------------------------------------------------------
// Terrain sampling against a pixel-by-pixel reading of the rules.

std::uint32_t referencePixel(const Mission& page, const ViewState& v, const RenderFrame& f, int x, int y) {
    const TerrainMaps& t = *page.terrain;
    // Single precision, as the frame is: at zoom 0.1 that is 2560, not 2559.
    const std::int64_t s = std::int64_t(256.0f / float(f.zoom));
    const std::int64_t col = std::int64_t(256) * v.center_x - s * f.hw + s * x;
    const std::int64_t row = std::int64_t(-256) * v.center_y - s * f.hh + s * y;
    const std::size_t cell = std::size_t((row >> 16) & 1023) * 1024 + std::size_t((col >> 16) & 1023);
    std::uint32_t p;
    if (v.map_mode == kMapModeElevation)
        p = t.elevation[cell];
    else if (v.map_mode == kMapModeEdges)
        p = terrain_EdgeMap(t)[cell];
    else {
        p = t.colour[cell];
        if ((v.show_flags & kShowDetail) && t.detailFlag == 1 && s < 65536) {
            const std::size_t texel =
                std::size_t(t.detail[cell]) * 4096 + std::size_t((row >> 10) & 63) * 64 + std::size_t((col >> 10) & 63);
            p = render_TextureBlend(t.detailColourBlended[texel], p);
        }
    }
    const std::uint32_t level = render_WaterLevel(page, v.show_flags);
    if (level && ((t.elevation[cell] >> 8) & 0xFF) <= level)
        p = v.map_mode == kMapModeColour ? render_WaterTintMasked(p) : render_WaterTintWhole(p);
    return p;
}

class TerrainPassTest : public ::testing::Test {
protected:
    void SetUp() override {
        page = test_NewMission();
        test_MakeTerrain(*page);
        ASSERT_TRUE(mapsurface_Create(surface, 90, 61));
    }
    // The pass drawn into the surface, or into its first width columns, against the rule.
    void expectReference(const ViewState& v, const char* what, std::int32_t width = 0) {
        RenderFrame f = render_SetupFrame(surface, v);
        if (width > 0) {
            f.width = width;
            f.hw = width >> 1;
            f.xmax = width - 1;
        }
        render_Terrain(f, *page, v);
        int wrong = 0;
        for (int y = 0; y < f.height && wrong < 3; ++y)
            for (int x = 0; x < f.width && wrong < 3; ++x) {
                const std::uint32_t want = referencePixel(*page, v, f, x, y);
                if (surface.rows[y][x] != want) {
                    ++wrong;
                    ADD_FAILURE() << what << " at (" << x << ", " << y << "): " << std::hex << surface.rows[y][x]
                                  << " instead of " << want;
                }
            }
    }
    std::unique_ptr<Mission> page;
    MapSurface surface;
};

TEST_F(TerrainPassTest, EveryModeMatchesThePixelRule) {
    for (bool wide : {true, false}) {
        render_Tuning().wideVectors = wide;
        std::mt19937 rng(7);
        std::uniform_int_distribution<std::int32_t> coord(-600000, 600000);
        const float zooms[] = {0.001f, 0.0042f, 0.02f, 0.1f, 0.7f, 3.0f, 0.0001f};
        for (float zoom : zooms) {
            for (std::int32_t mode : {kMapModeColour, kMapModeElevation, kMapModeEdges}) {
                for (std::uint32_t extra : {0u, kShowWater, kShowDetail, kShowWater | kShowDetail}) {
                    ViewState v = view_StartupState();
                    v.show_flags = (kShowFlagsStartup & ~(kShowWater | kShowDetail)) | extra;
                    v.zoom = zoom;
                    v.map_mode = mode;
                    v.center_x = coord(rng);
                    v.center_y = coord(rng);
                    const std::string what = "zoom " + std::to_string(zoom) + " mode " + std::to_string(mode) +
                                             " flags " + std::to_string(extra);
                    expectReference(v, (what + (wide ? " wide" : " narrow")).c_str());
                }
            }
        }
    }
    render_Tuning().wideVectors = true;
}

// Frames over maps of random bytes (every tile number, every coverage, random elevations
// around the water level) in every mode, textured or not, at steps below and above a cell
// per pixel and at widths that leave every remainder of a vector's columns, with either
// vector width.
TEST_F(TerrainPassTest, RandomMapsMatchThePixelRule) {
    ASSERT_TRUE(mapsurface_Create(surface, 2500, 7));  // wide enough to cross the map twice
    TerrainMaps& t = *page->terrain;
    std::mt19937 rng(11);
    std::uniform_int_distribution<std::uint32_t> word;
    for (std::uint32_t& p : t.colour) p = word(rng);
    for (std::uint32_t& p : t.elevation) p = word(rng);
    for (std::uint8_t& d : t.detail) d = std::uint8_t(word(rng));
    for (std::uint32_t& p : t.detailColourBlended) p = word(rng);
    std::uniform_int_distribution<std::int32_t> coord(-2000000, 2000000);
    std::uniform_real_distribution<double> logZoom(std::log(0.0001), std::log(1000.0));
    std::uniform_int_distribution<std::int32_t> waterLevel(0, 255);
    for (bool wide : {true, false}) {
        render_Tuning().wideVectors = wide;
        for (int round = 0; round < 40; ++round) {
            for (std::int32_t mode : {kMapModeColour, kMapModeElevation, kMapModeEdges}) {
                ViewState v = view_StartupState();
                v.show_flags |= kShowWater | kShowDetail;
                if (round % 4 == 3) v.show_flags &= ~(kShowWater | kShowDetail);
                v.map_mode = mode;
                // The first rounds sit right at the widest step below a cell per pixel and the
                // narrowest one above.
                v.zoom = round < 2 ? (round == 0 ? 0.00390631f : 0.0039062f) : float(std::exp(logZoom(rng)));
                v.center_x = coord(rng);
                v.center_y = coord(rng);
                t.waterLevel = waterLevel(rng);
                for (std::int32_t width : {1, 5, 8, 13, 100, surface.width}) {
                    const std::string what = std::string(wide ? "wide" : "narrow") + " zoom " + std::to_string(v.zoom) +
                                             " mode " + std::to_string(mode) + " width " + std::to_string(width);
                    expectReference(v, what.c_str(), width);
                }
            }
        }
    }
    // Tall frames at coarse steps, whose rows wrap round the map and come back to cell rows
    // drawn further up.
    ASSERT_TRUE(mapsurface_Create(surface, 20, 700));
    std::uniform_real_distribution<double> logCoarse(std::log(0.0001), std::log(0.0039));
    for (bool wide : {true, false}) {
        render_Tuning().wideVectors = wide;
        // Bands of rows drawn apart still repeat the rows drawn further up in their own band.
        render_Tuning().threads = wide ? 3 : 1;
        for (int round = 0; round < 20; ++round) {
            ViewState v = view_StartupState();
            v.show_flags |= kShowWater;
            v.map_mode = round % 3;
            v.zoom = float(std::exp(logCoarse(rng)));
            v.center_x = coord(rng);
            v.center_y = coord(rng);
            t.waterLevel = waterLevel(rng);
            expectReference(v,
                            (std::string(wide ? "wide" : "narrow") + " tall, zoom " + std::to_string(v.zoom)).c_str());
        }
    }
    render_Tuning() = RenderTuning{};
}

TEST_F(TerrainPassTest, SamplingEdgeCases) {
    ViewState v = view_StartupState();
    v.show_flags &= ~kShowWater;
    // Start-up zoom: steps of nearly four cells, so no texturing even with the flag on.
    expectReference(v, "start-up view");
    // Centred at x = -10: the centre column samples the end of the image (column 1023,
    // drawn dark here).
    v.zoom = 0.05f;
    v.center_x = -10;
    v.center_y = -5000;
    render_Terrain(render_SetupFrame(surface, v), *page, v);
    const std::uint32_t centre = surface.rows[surface.height >> 1][surface.width >> 1];
    EXPECT_EQ(centre & 0xFFFFFFu, 0x101010u);
    // With the water flag off nothing is tinted, though the level and low ground are there.
    page->terrain->waterLevel = 255;
    render_Terrain(render_SetupFrame(surface, v), *page, v);
    EXPECT_EQ(surface.rows[surface.height >> 1][surface.width >> 1] & 0xFFFFFFu, 0x101010u);
}

TEST_F(TerrainPassTest, PageWithoutTerrainIsBlackOrWater) {
    page->terrain.reset();
    ViewState v = view_StartupState();
    render_Terrain(render_SetupFrame(surface, v), *page, v);  // no terrain water level either
    for (std::uint32_t p : surface.bits) ASSERT_EQ(p, 0u);
    page->info.attrib |= 1;
    page->info.water_level = 9;
    render_Terrain(render_SetupFrame(surface, v), *page, v);
    for (std::uint32_t p : surface.bits) ASSERT_EQ(p, kWaterTint);
}

// ---------------------------------------------------------------------------------------
// Surface and view state

TEST(MapSurfaceTest, WidthRuleRowTableAndLimits) {
    EXPECT_EQ(mapsurface_WidthForPane(800), 816);
    EXPECT_EQ(mapsurface_WidthForPane(801), 816);
    EXPECT_EQ(mapsurface_WidthForPane(815), 816);
    EXPECT_EQ(mapsurface_WidthForPane(816), 832);
    EXPECT_EQ(mapsurface_WidthForPane(1), 16);

    MapSurface s;
    ASSERT_TRUE(mapsurface_Create(s, 801, 300));
    EXPECT_EQ(s.width, 816);
    EXPECT_EQ(s.stride, 816 * 4);
    EXPECT_EQ(s.bits_per_pixel, 32);
    ASSERT_EQ(s.rows.size(), 300u);
    EXPECT_EQ(s.rows[299], s.bits.data() + 299 * 816);
    std::uint32_t* const before = s.rows[0];
    mapsurface_BuildRows(s);  // nothing moved: the same table
    EXPECT_EQ(s.rows[0], before);

    ASSERT_TRUE(mapsurface_Create(s, 100, kMapSurfaceMaxRows + 500));
    EXPECT_EQ(s.height, kMapSurfaceMaxRows);
    EXPECT_FALSE(mapsurface_Create(s, 0, 100));
    EXPECT_FALSE(mapsurface_Ready(s));
    EXPECT_FALSE(mapsurface_Create(s, 100, -1));
}

TEST(ViewStateTest, ResetThenButtonBar) {
    view_Reset();
    const ViewState& v = view_State();
    EXPECT_EQ(v.show_flags, 0u);
    EXPECT_FLOAT_EQ(v.zoom, 0.001f);
    EXPECT_EQ(v.grid_shown, 1);
    EXPECT_EQ(v.snap_to_grid, 1);
    EXPECT_EQ(v.grid_size, 32);
    const ViewState s = view_StartupState();
    EXPECT_EQ(s.show_flags, 0x001F03FEu);
    EXPECT_EQ(s.grid_size, 131072);
    EXPECT_EQ(s.snap_to_grid, 0);
    EXPECT_EQ(s.map_mode, kMapModeColour);
    EXPECT_EQ(view_State().grid_size, 32);  // the live state is left alone
}

TEST(ViewStateTest, VisibilityFollowsFlagsTeamsAndLayers) {
    ScopedItemDefs defs;
    auto page = test_NewMission();
    const std::int32_t i = test_AddItem(*page, kTestJeep);
    view_Reset();
    view_State().show_flags = kShowFlagsStartup;
    page->items[std::size_t(i)].team = kTeamViolet;
    EXPECT_TRUE(view_ItemVisible(*page, i));
    view_State().show_flags &= ~kShowVehicles;
    EXPECT_FALSE(view_ItemVisible(*page, i));
    view_State().show_flags = kShowFlagsStartup & ~kShowTeamViolet;
    EXPECT_FALSE(view_ItemVisible(*page, i));
    view_State().show_flags = kShowFlagsStartup;
    page->items[std::size_t(i)].layer = 3;
    page->info.hidden_layers = 1u << 3;
    EXPECT_FALSE(view_ItemVisible(*page, i));
    page->info.hidden_layers = 0;
    page->items[std::size_t(i)].hidden = 1;
    EXPECT_FALSE(view_ItemVisible(*page, i));
    EXPECT_FALSE(view_ItemVisible(*page, 99));
    view_Reset();
}

// A surface for a screen of another pixel ratio: the bitmap in device pixels, the view's
// size in pane pixels; ratios no screen has count as 1.
TEST(MapSurfaceTest, DevicePixelsAtTheScreensRatio) {
    struct Case {
        float scale;
        std::int32_t width, height;  // the bitmap
        float kept;
    };
    const Case cases[] = {
        {1.0f, 816, 301, 1.0f},    {2.0f, 1632, 602, 2.0f},  {1.5f, 1224, 452, 1.5f},
        {1.25f, 1020, 377, 1.25f}, {0.5f, 408, 151, 0.5f},   {0.0f, 816, 301, 1.0f},
        {-2.0f, 816, 301, 1.0f},   {100.0f, 816, 301, 1.0f}, {std::nanf(""), 816, 301, 1.0f},
    };
    for (const Case& c : cases) {
        MapSurface s;
        ASSERT_TRUE(mapsurface_Create(s, 801, 301, c.scale)) << c.scale;
        EXPECT_EQ(s.width, c.width) << c.scale;
        EXPECT_EQ(s.height, c.height) << c.scale;
        EXPECT_EQ(s.scale, c.kept) << c.scale;
        EXPECT_EQ(mapsurface_ViewWidth(s), 816) << c.scale;
        EXPECT_EQ(mapsurface_ViewHeight(s), 301) << c.scale;
        EXPECT_TRUE(mapsurface_Ready(s)) << c.scale;
    }
    MapSurface tall;
    ASSERT_TRUE(mapsurface_Create(tall, 100, 3000, 2.0f));
    EXPECT_EQ(tall.height, kMapSurfaceMaxRows);
}

// The same view at any pixel ratio: the frame's centre and zoom scale with it, so a world
// point lands on the device pixel under its pane pixel, and the lines stay one device pixel
// wide (a person symbol's pixels grow with the ratio, not with its square).
TEST(RenderScaleTest, SameViewAtEveryRatio) {
    auto page = test_NewMission();
    auto clipboard = test_NewMission();
    ScopedItemDefs defs({{kTestRifleman, kItemPerson}});
    const std::int32_t i = test_AddItem(*page, kTestRifleman, 3000, -2000, 0);
    page->items[std::size_t(i)].fov = 0;
    ViewState v = view_StartupState();
    v.grid_shown = 0;
    v.zoom = 0.02f;
    mission_Select(*page, i);
    struct Box {
        double x0 = 1e9, y0 = 1e9, x1 = -1e9, y1 = -1e9;
        int pixels = 0;
    };
    const auto draw = [&](float scale) {
        MapSurface s;
        EXPECT_TRUE(mapsurface_Create(s, 301, 201, scale));
        render_Draw(s, v, GestureState{}, *page, *clipboard);
        Box b;
        for (int y = 0; y < s.height; ++y)
            for (int x = 0; x < s.width; ++x)
                if (s.rows[y][x] == kColourSelection) {
                    b.x0 = std::min(b.x0, x / double(scale));
                    b.x1 = std::max(b.x1, (x + 1) / double(scale));
                    b.y0 = std::min(b.y0, y / double(scale));
                    b.y1 = std::max(b.y1, (y + 1) / double(scale));
                    ++b.pixels;
                }
        return b;
    };
    const Box one = draw(1.0f);
    ASSERT_GT(one.pixels, 10);
    for (float scale : {2.0f, 1.5f, 3.0f}) {
        const Box b = draw(scale);
        // The symbol covers the same pane pixels, give or take one.
        EXPECT_NEAR(b.x0, one.x0, 1.0) << scale;
        EXPECT_NEAR(b.x1, one.x1, 1.0) << scale;
        EXPECT_NEAR(b.y0, one.y0, 1.0) << scale;
        EXPECT_NEAR(b.y1, one.y1, 1.0) << scale;
        EXPECT_GT(b.pixels, one.pixels * scale * 0.8) << scale;
        EXPECT_LT(b.pixels, one.pixels * scale * 1.3) << scale;
    }
}

TEST(RenderPageTest, PresentsTheSurfaceAndTheInsertCaption) {
    ScopedFakePlatform fake;
    auto page = test_NewMission();
    view_Reset();
    view_ApplyButtonBarDefaults(view_State());
    view_ResetSurface();
    render_Page(*page);  // no bitmap: nothing happens
    EXPECT_TRUE(fake->presented.empty());

    ASSERT_TRUE(mapsurface_Create(view_Surface(), 150, 80));
    view_State().insert_mode = 1;
    render_Page(*page);
    ASSERT_EQ(fake->presented.size(), 1u);
    EXPECT_EQ(fake->presented[0].pixels, view_Surface().bits.data());
    EXPECT_EQ(fake->presented[0].width, 160);
    EXPECT_EQ(fake->presented[0].height, 80);
    EXPECT_EQ(fake->presented[0].stride, 160);
    EXPECT_EQ(fake->presented[0].scale, 1.0f);
    EXPECT_FALSE(fake->caption.empty());
    view_State().insert_mode = 0;
    render_Page(*page);
    EXPECT_TRUE(fake->caption.empty());
    view_ResetSurface();
    view_Reset();
}

}  // namespace

namespace {

// Pixels of a colour in a surface.
int countColour(const MapSurface& s, std::uint32_t colour) {
    int n = 0;
    for (std::uint32_t p : s.bits) n += p == colour;
    return n;
}

// Model outlines: each top-down segment is drawn once however many triangle edges lie on
// it. Random meshes whose vertices share top-down points (walls, shared edges, reversed
// edges, hidden edges, vertex numbers past the table) must give exactly the pixels of
// drawing every visible edge in turn.
TEST(RenderModelOutline, SameAsEveryVisibleEdge) {
    ScopedCore core;
    model_Reset();
    ScopedItemDefs defs({{kTestJeep, kItemVehicle}});
    ModelDesc d;
    d.name = "block";
    ModelDescMesh m;
    m.name = "block";
    m.radius = 1024 * 256;
    m.faces.push_back(ModelDescFace{});
    m.vertices = {{0, 0, 0}, {100, 0, 0}, {0, 100, 0}};
    ModelDescTriangle tri;
    tri.v[0] = 0;
    tri.v[1] = 1;
    tri.v[2] = 2;
    tri.face = 0;
    m.triangles.push_back(tri);
    d.lods.push_back(m);
    const std::vector<std::uint8_t> bytes = model_Encode(d);
    Model* model = model_ReadFromMemory(bytes.data(), bytes.size(), "block.3di", 0);
    ASSERT_NE(model, nullptr);
    ASSERT_NE(model->lod[0], nullptr);
    itemdef_At(itemdef_FindByType(kTestJeep))->model = model;
    ModelMesh& mesh = *model->lod[0];

    auto page = test_NewMission();
    auto clipboard = test_NewMission();
    MapSurface drawn, expected;
    ASSERT_TRUE(mapsurface_Create(drawn, 300, 200));
    ASSERT_TRUE(mapsurface_Create(expected, 300, 200));
    std::mt19937 rng(5);
    std::uniform_int_distribution<int> grid(-4, 4), any(0, 1 << 30);
    int inked = 0;
    for (int round = 0; round < 30; ++round) {
        mesh.vertices.clear();
        const int nv = 3 + any(rng) % 30;
        for (int i = 0; i < nv; ++i)
            mesh.vertices.push_back(
                {std::int16_t(grid(rng) * 150), std::int16_t(grid(rng) * 150), std::int16_t(grid(rng))});
        mesh.polygons.clear();
        for (int k = 0; k < 60; ++k) {
            ModelPolygon poly;
            for (auto& v : poly.vertex) v = std::uint16_t(any(rng) % (nv + 2));  // now and then past the table
            poly.flags = std::uint32_t(any(rng)) & 0xE;
            mesh.polygons.push_back(poly);
        }
        // Each polygon again the other way round, and a few again as they are.
        for (int k = 0; k < 60; ++k) {
            ModelPolygon poly = mesh.polygons[std::size_t(k)];
            if (k % 3 == 0) std::swap(poly.vertex[0], poly.vertex[1]);
            mesh.polygons.push_back(poly);
        }
        mission_Clear(*page);
        ViewState v = view_StartupState();
        v.grid_shown = 0;
        v.zoom = float(0.002 + (any(rng) % 1000) / 1000.0 * 0.3);
        for (int i = 0; i < 4; ++i) {
            const std::int32_t at = test_AddItem(*page, kTestJeep, any(rng) % 40000 - 20000, any(rng) % 30000 - 15000);
            page->items[std::size_t(at)].heading = any(rng) % 360;
        }
        render_Draw(drawn, v, GestureState{}, *page, *clipboard);

        // The same frame without the items, then each item's visible edges one by one.
        for (std::int32_t i = 0; i < page->item_count; ++i) page->items[std::size_t(i)].hidden = 1;
        render_Draw(expected, v, GestureState{}, *page, *clipboard);
        const RenderFrame f = render_SetupFrame(expected, v);
        for (std::int32_t i = 0; i < page->item_count; ++i) {
            const MissionItem& item = page->items[std::size_t(i)];
            const double a = (90.0 - double(item.heading)) * 0.01745327777777778;
            const double c = std::cos(a), sn = std::sin(a);
            const auto world = [&](const ModelVertex& mv, double& wx, double& wy) {
                wx = double(item.x) + 1.0 * (mv.x * c - mv.y * sn);
                wy = double(item.y) + 1.0 * (mv.x * sn + mv.y * c);
            };
            for (const ModelPolygon& poly : mesh.polygons)
                for (int e = 0; e < 3; ++e) {
                    const std::uint16_t va = poly.vertex[e], vb = poly.vertex[(e + 1) % 3];
                    if ((poly.flags & (2u << e)) || va >= mesh.vertices.size() || vb >= mesh.vertices.size()) continue;
                    const ModelVertex &p = mesh.vertices[va], &q = mesh.vertices[vb];
                    if (p.x == q.x && p.y == q.y) continue;
                    double x0, y0, x1, y1;
                    world(p, x0, y0);
                    world(q, x1, y1);
                    render_DrawLine(f, x0, y0, x1, y1, render_ItemColour(item, v.view_by, 0));
                }
        }
        ASSERT_EQ(drawn.bits, expected.bits) << "round " << round;
        inked += countColour(drawn, render_KindColour(kItemVehicle));
    }
    EXPECT_GT(inked, 1000);  // the outlines were on the map
    model_Reset();
}

TEST(RenderItemCulling, KeepsWhatReachesIntoTheMap) {
    ScopedItemDefs defs;
    auto page = test_NewMission();
    auto clipboard = test_NewMission();
    ViewState v = view_StartupState();
    v.zoom = 0.05f;
    v.grid_shown = 0;
    MapSurface s;
    ASSERT_TRUE(mapsurface_Create(s, 1390, 200));  // 1408 wide: hw 704
    // A person 600 pixels right of the centre: beyond column 1200, still on a wide map.
    const std::int32_t i = test_AddItem(*page, kTestRifleman, 12000, 0);
    page->items[std::size_t(i)].fov = 0;
    render_Draw(s, v, GestureState{}, *page, *clipboard);
    EXPECT_GT(countColour(s, 0x00FF00), 10);
    // A person 100 pixels above the map whose cone (2048 units, 102 pixels here) reaches
    // into it still shows the cone.
    page->items[std::size_t(i)].x = 0;
    page->items[std::size_t(i)].y = 4000;       // row 100 - 200 = -100
    page->items[std::size_t(i)].heading = 180;  // facing south, into the map
    page->items[std::size_t(i)].fov = 90;
    render_Draw(s, v, GestureState{}, *page, *clipboard);
    EXPECT_GT(countColour(s, 0x00FF00), 10);
    v.show_flags &= ~kShowCones;  // without the cone nothing reaches in
    render_Draw(s, v, GestureState{}, *page, *clipboard);
    EXPECT_EQ(countColour(s, 0x00FF00), 0);
}

}  // namespace

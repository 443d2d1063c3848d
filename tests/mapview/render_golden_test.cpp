// Whole pictures of the map renderer, 160 x 120 panes, compared pixel for pixel with the
// PNG files under tests/data/render (rewritten with SORTIE_UPDATE_GOLDENS=1 in the
// environment, then looked at before they are checked in).
#include "gamedata/model.h"
#include "mapview/render.h"
#include "mapview/view.h"
#include "mapview/gesture.h"
#include "mission/mission.h"
#include "support/fake_platform.h"
#include "support/core_env.h"
#include "support/mission_pages.h"
#include "support/render_scene.h"

#include <gtest/gtest.h>

namespace {

constexpr std::int32_t kTestTank = 200;  // vehicle with a model of four levels
constexpr std::int32_t kTestBox = 300;   // object without a model
constexpr std::int32_t kRadiusMarker = 6006;

class RenderGolden : public ::testing::Test {
protected:
    RenderGolden()
        : defs({{kTestRifleman, kItemPerson},
                {kWaypointMarkerType, kItemMarker},
                {kAreaMarkerType, kItemMarker},
                {kRadiusMarker, kItemMarker},
                {kTestTank, kItemVehicle},
                {kTestBox, kItemObject},
                {kTestGoodGuard, kItemPerson, kItemAttrGood}}) {}

    void SetUp() override {
        model_Reset();
        page = test_NewMission();
        clipboard = test_NewMission();
        view = view_StartupState();
        view.grid_shown = 0;
        ASSERT_TRUE(mapsurface_Create(surface, 160, 120));
    }
    void TearDown() override { model_Reset(); }

    // A plain background: no terrain, but the mission's own water level tints it all.
    void plainWater() {
        page->info.attrib |= 1;
        page->info.water_level = 9;
    }
    std::int32_t add(std::int32_t type, std::int32_t x, std::int32_t y, std::int32_t heading = 0) {
        const std::int32_t i = test_AddItem(*page, type, x, y, 0);
        page->items[std::size_t(i)].heading = heading;
        return i;
    }
    MissionItem& item(std::int32_t i) { return page->items[std::size_t(i)]; }

    // The picture drawn with wide vectors and again with narrow ones, each on one thread and
    // with its rows shared among several, against the file.
    void expectGolden(const std::string& name) {
        for (bool wide : {true, false})
            for (int threads : {1, 2, 3}) {
                render_Tuning().wideVectors = wide;
                render_Tuning().threads = threads;
                render_Draw(surface, view, gesture, *page, *clipboard);
                const std::string problem = test_CompareGolden(name, test_PaneImage(surface));
                EXPECT_TRUE(problem.empty()) << (wide ? "wide, " : "narrow, ") << threads << " threads: " << problem;
            }
        render_Tuning() = RenderTuning{};
    }

    // A tank-like model whose four levels differ visibly: hull with turret and barrel, hull
    // with barrel, hull, and a triangle. Facing +x; radius 1024 world units.
    void installTankModel() {
        ModelDesc d;
        d.name = "tank";
        const auto box = [](ModelDescMesh& m, int x0, int y0, int x1, int y1) {
            const std::uint16_t b = std::uint16_t(m.vertices.size());
            m.vertices.push_back({std::int16_t(x0), std::int16_t(y0), 0});
            m.vertices.push_back({std::int16_t(x1), std::int16_t(y0), 0});
            m.vertices.push_back({std::int16_t(x1), std::int16_t(y1), 0});
            m.vertices.push_back({std::int16_t(x0), std::int16_t(y1), 0});
            ModelDescTriangle t;
            t.v[0] = b;
            t.v[1] = std::uint16_t(b + 1);
            t.v[2] = std::uint16_t(b + 2);
            t.flags = 8;
            t.face = 0;
            m.triangles.push_back(t);
            t.v[0] = b;
            t.v[1] = std::uint16_t(b + 2);
            t.v[2] = std::uint16_t(b + 3);
            t.flags = 2;
            m.triangles.push_back(t);
        };
        const auto mesh = [&](int level) {
            ModelDescMesh m;
            m.name = "tank";
            m.radius = 1024 * 256;
            m.faces.push_back(ModelDescFace{});
            if (level <= 2) box(m, -700, -400, 700, 400);
            if (level <= 1) box(m, 300, -40, 1000, 40);
            if (level == 0) box(m, -300, -250, 200, 250);
            if (level == 3) {
                m.vertices = {{-700, -400, 0}, {700, 0, 0}, {-700, 400, 0}, {-700, 400, 90}};
                ModelDescTriangle t;
                t.v[0] = 0;
                t.v[1] = 1;
                t.v[2] = 2;
                t.face = 0;
                m.triangles.push_back(t);
                // An edge seen end-on from above (vertices 2 and 3) draws nothing.
                t.v[0] = 2;
                t.v[1] = 3;
                t.v[2] = 0;
                m.triangles.push_back(t);
            }
            return m;
        };
        for (int level = 0; level < 4; ++level) d.lods.push_back(mesh(level));
        const std::vector<std::uint8_t> bytes = model_Encode(d);
        Model* model = model_ReadFromMemory(bytes.data(), bytes.size(), "tank.3di", 0);
        ASSERT_NE(model, nullptr);
        ASSERT_EQ(model->extent >> 8, 1024);
        itemdef_At(itemdef_FindByType(kTestTank))->model = model;
    }

    ScopedCore core;
    ScopedFakePlatform fake;
    ScopedItemDefs defs;
    std::unique_ptr<Mission> page, clipboard;
    ViewState view;
    GestureState gesture;
    MapSurface surface;
};

// ---------------------------------------------------------------------------------------
// Terrain: a corner of the synthetic terrain where the shore runs diagonally.

class RenderGoldenTerrain : public RenderGolden {
protected:
    void SetUp() override {
        RenderGolden::SetUp();
        test_MakeTerrain(*page);
        view.zoom = 0.02f;
        view.center_x = 200 * 256;
        view.center_y = -900 * 256;
        view.show_flags = kShowFlagsStartup & ~(kShowWater | kShowDetail);
    }
};

TEST_F(RenderGoldenTerrain, ColourMap) {
    expectGolden("terrain_colour");
    view.show_flags |= kShowWater;
    expectGolden("terrain_colour_water");
    view.show_flags |= kShowDetail;
    expectGolden("terrain_colour_detail_water");
    view.show_flags &= ~kShowWater;
    expectGolden("terrain_colour_detail");
}

// Close in, where the step per pixel is 256 / 0.1: 2560 in the frame's single precision. A
// step of 2559 would draw the texels a column off from the middle outwards.
TEST_F(RenderGoldenTerrain, ColourDetailAtZoomOneTenth) {
    view.zoom = 0.1f;
    view.show_flags |= kShowWater | kShowDetail;
    expectGolden("terrain_colour_detail_zoom_0_1");
}

TEST_F(RenderGoldenTerrain, ElevationAndEdgeMaps) {
    view.map_mode = kMapModeElevation;
    expectGolden("terrain_elevation");
    view.show_flags |= kShowWater | kShowDetail;  // no texturing outside the colour map
    expectGolden("terrain_elevation_water");
    view.map_mode = kMapModeEdges;
    expectGolden("terrain_edges_water");
    view.show_flags &= ~kShowWater;
    expectGolden("terrain_edges");
}

// ---------------------------------------------------------------------------------------
// Grid and boundaries

TEST_F(RenderGolden, GridSizes) {
    plainWater();
    view.grid_shown = 1;
    view.zoom = 0.01f;
    view.center_x = 1000;
    view.center_y = -700;
    view.grid_size = 1024;
    expectGolden("grid_1024");
    view.grid_size = 4096;
    expectGolden("grid_4096");
    // At start-up zoom and size the grid spans far beyond the square boundaries.
    view = view_StartupState();
    view.zoom = 0.0001f;
    expectGolden("grid_startup_boundaries");
}

// ---------------------------------------------------------------------------------------
// Symbols

TEST_F(RenderGolden, PersonAtSeveralHeadings) {
    plainWater();
    view.zoom = 0.03f;
    const int headings[] = {0, 45, 90, 200};
    for (int k = 0; k < 4; ++k) add(kTestRifleman, -1800 + k * 1200, 800, headings[k]);
    // Without cones the people below look like the ones above.
    for (int k = 0; k < 4; ++k) item(add(kTestRifleman, -1800 + k * 1200, -800, headings[k])).fov = 0;
    view.show_flags &= ~kShowCones;
    expectGolden("person_headings");
}

TEST_F(RenderGolden, PersonCones) {
    plainWater();
    view.zoom = 0.012f;
    const int fov[] = {90, 180, 360, 30, 45, 250};
    const int headings[] = {0, 90, 30, 200, 315, 180};
    for (int k = 0; k < 6; ++k) {
        const std::int32_t i = add(kTestRifleman, -4400 + (k % 3) * 4400, k < 3 ? 2300 : -2300, headings[k]);
        item(i).fov = fov[k];
    }
    expectGolden("person_cones");
    view.show_flags &= ~kShowCones;
    expectGolden("person_cones_off");
}

TEST_F(RenderGolden, RadiusMarkersAndModellessItems) {
    plainWater();
    view.zoom = 0.02f;
    item(add(kRadiusMarker, -1500, 0, 0)).wpdistance = 3;
    item(add(kRadiusMarker, 1800, 400, 120)).wpdistance = 5;
    add(kTestBox, 1800, -1800, 45);              // no model: the person symbol
    add(kWaypointMarkerType, -2600, -2000, 90);  // other markers too
    expectGolden("radius_markers");
}

TEST_F(RenderGolden, ModelLevelsOfDetail) {
    plainWater();
    installTankModel();
    add(kTestTank, 0, 0, 60);
    const struct {
        float zoom;
        const char* name;
    } levels[] = {{0.2f, "model_level0"}, {0.1f, "model_level1"}, {0.05f, "model_level2"}, {0.015f, "model_level3"}};
    for (const auto& l : levels) {
        view.zoom = l.zoom;
        expectGolden(l.name);
    }
}

// ---------------------------------------------------------------------------------------
// Paths, areas, selection, previews

TEST_F(RenderGolden, WaypointLoopsAndAreas) {
    plainWater();
    view.zoom = 0.008f;
    const auto marker = [&](std::int32_t type, std::int32_t x, std::int32_t y, std::int32_t path, std::int32_t n) {
        const std::int32_t i = add(type, x, y);
        if (type == kWaypointMarkerType) item(i).waypoint_id = path;
        item(i).wpnumber = n;
    };
    // Path 1 loops (closing line), path 2 does not, path 3 has one point and draws no line.
    marker(kWaypointMarkerType, -8000, 5000, 1, 1);
    marker(kWaypointMarkerType, -2000, 6000, 1, 2);
    marker(kWaypointMarkerType, -1000, 1000, 1, 3);
    marker(kWaypointMarkerType, -7000, 500, 1, 4);
    page->waypoints[1].color = 3;
    marker(kWaypointMarkerType, 1000, -1000, 2, 1);
    marker(kWaypointMarkerType, 5000, -6000, 2, 2);
    marker(kWaypointMarkerType, 8000, -2000, 2, 3);
    page->waypoints[2].color = 16;
    page->waypoints[2].attrib = kWaypointNoLoop;
    marker(kWaypointMarkerType, 8000, 6000, 3, 1);
    // Area 4 from three markers; area 5's leftmost marker sits on a hidden layer.
    marker(kAreaMarkerType, 1000, 2000, 0, 4);
    marker(kAreaMarkerType, 6000, 5000, 0, 4);
    marker(kAreaMarkerType, 3000, 6500, 0, 4);
    page->area_triggers[4].color = 9;
    item(add(kAreaMarkerType, -6000, -3000)).wpnumber = 5;
    item(page->item_count - 1).layer = 2;
    item(add(kAreaMarkerType, -2000, -6000)).wpnumber = 5;
    page->area_triggers[5].color = 2;
    page->info.hidden_layers = 1u << 2;
    expectGolden("waypoints_areas");
    view.show_flags &= ~(kShowMarkers | kShowAreas);  // paths go with the markers
    expectGolden("waypoints_areas_off");
}

TEST_F(RenderGolden, SelectionAndColourSchemes) {
    plainWater();
    installTankModel();
    view.zoom = 0.015f;
    const std::int32_t a = add(kTestRifleman, -3500, 1500, 0);
    const std::int32_t b = add(kTestGoodGuard, -1000, 1500, 90);
    const std::int32_t c = add(kTestTank, 2000, 1500, 0);
    const std::int32_t d = add(kTestBox, -3500, -1800, 0);
    const std::int32_t e = add(kTestTank, 2000, -1800, 135);
    item(a).fov = 0;
    item(b).fov = 0;
    item(d).team = kTeamYellow;
    item(e).team = kTeamViolet;
    page->marks[std::size_t(c)] = kItemMarkDisplay;
    mission_Select(*page, d);
    mission_Select(*page, e);
    expectGolden("colours_by_type");
    view.view_by = kViewBySide;
    expectGolden("colours_by_side");
    // A selected item the view hides stays hidden.
    item(e).hidden = 1;
    expectGolden("colours_selected_hidden");
}

TEST_F(RenderGolden, DragPreviews) {
    plainWater();
    view.zoom = 0.015f;
    const std::int32_t a = add(kTestRifleman, -2000, 0, 0);
    const std::int32_t b = add(kTestBox, 0, 1000, 45);
    item(a).fov = 0;
    mission_Select(*page, a);
    mission_Select(*page, b);
    gesture.state = kGestureMove;
    gesture.offset_x = 1500;
    gesture.offset_y = -1200;
    expectGolden("preview_move");
    // Placing the clipboard: its selection follows the mouse; the page's stays put.
    mission_CopySelected(*clipboard, *page, 0, 0, 0);
    mission_ClearSelection(*page);
    gesture.state = kGesturePlace;
    gesture.offset_x = -800;
    gesture.offset_y = -2500;
    expectGolden("preview_place");
}

}  // namespace

// The level of detail the map draws a model at, for models of one to four levels (the sample
// kit's models have one, two or three): an item drawn from an n-level model must give the
// very pixels of the one level the on-screen radius calls for, drawn on its own.
#include "gamedata/itemdef.h"
#include "gamedata/model.h"
#include "mapview/render.h"
#include "mapview/view.h"
#include "mission/gesture.h"
#include "mission/mission.h"
#include "support/core_env.h"
#include "support/mission_pages.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

// The model's radius: 8000 m, so the on-screen radius in pixels is 8000 times the zoom.
constexpr std::int32_t kRadiusMetres = 8000;

// Level k: a triangle pointing its own way (east, north, west, south), so every level draws
// different pixels at any zoom.
ModelDescMesh levelMesh(int k) {
    ModelDescMesh m;
    m.name = "lod";
    m.radius = kRadiusMetres * 256;
    m.faces.push_back(ModelDescFace{});
    const double a = k * 1.5707963267948966;
    const auto at = [a](double along, double across) {
        const double x = along * std::cos(a) - across * std::sin(a);
        const double y = along * std::sin(a) + across * std::cos(a);
        return ModelVertex{std::int16_t(std::lround(x)), std::int16_t(std::lround(y)), 0};
    };
    m.vertices = {at(1500, -900), at(4000, 0), at(1500, 900)};
    ModelDescTriangle t;
    t.v[0] = 0; t.v[1] = 1; t.v[2] = 2; t.face = 0;
    m.triangles.push_back(t);
    return m;
}

Model* makeModel(const std::vector<int>& levels) {
    ModelDesc d;
    d.name = "lod";
    for (int k : levels) d.lods.push_back(levelMesh(k));
    const std::vector<std::uint8_t> bytes = model_Encode(d);
    return model_ReadFromMemory(bytes.data(), bytes.size(), "lod.3di", 0);
}

TEST(RenderLevelOfDetail, EachLevelCountDrawsTheLevelItsScreenRadiusCallsFor) {
    ScopedCore core;
    model_Reset();
    ScopedItemDefs defs({{kTestJeep, kItemVehicle}});
    ItemDef* def = itemdef_At(itemdef_FindByType(kTestJeep));
    ASSERT_NE(def, nullptr);
    auto page = test_NewMission();
    auto clipboard = test_NewMission();
    test_AddItem(*page, kTestJeep);
    MapSurface surface;
    ASSERT_TRUE(mapsurface_Create(surface, 240, 240));

    const auto draw = [&](Model* model, double pixels) {
        def->model = model;
        ViewState v = view_StartupState();
        v.grid_shown = 0;
        v.zoom = float(pixels / kRadiusMetres);
        render_Draw(surface, v, GestureState{}, *page, *clipboard);
        return surface.bits;
    };

    const double radii[] = {200, 149, 100, 79, 50, 19, 10};
    const struct {
        int levels;
        int expected[7];  // the level drawn at each radius above
    } table[] = {
        {1, {0, 0, 0, 0, 0, 0, 0}},
        {2, {0, 1, 1, 1, 1, 1, 1}},
        {3, {0, 1, 1, 2, 2, 2, 2}},
        {4, {0, 1, 1, 2, 2, 3, 3}},
    };
    std::vector<Model*> alone;
    for (int k = 0; k < 4; ++k) {
        alone.push_back(makeModel({k}));
        ASSERT_NE(alone.back(), nullptr);
    }
    for (const auto& row : table) {
        std::vector<int> levels;
        for (int k = 0; k < row.levels; ++k) levels.push_back(k);
        Model* model = makeModel(levels);
        ASSERT_NE(model, nullptr);
        ASSERT_EQ(model->lodCount, row.levels);
        ASSERT_EQ(model->extent >> 8, kRadiusMetres);
        for (int i = 0; i < 7; ++i) {
            SCOPED_TRACE(testing::Message() << row.levels << " levels, radius " << radii[i] << " px");
            const std::vector<std::uint32_t> got = draw(model, radii[i]);
            int matches = 0, which = -1;
            for (int k = 0; k < 4; ++k) {
                if (draw(alone[std::size_t(k)], radii[i]) == got) {
                    ++matches;
                    which = k;
                }
            }
            EXPECT_EQ(matches, 1);
            EXPECT_EQ(which, row.expected[i]);
        }
    }
    def->model = nullptr;
    model_Reset();
}

}  // namespace

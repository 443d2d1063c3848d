// The level of detail the map draws a model at, for models of one to four levels (the sample
// kit's models have one, two or three): an item drawn from an n-level model must give the
// very pixels of the one level its on-screen radius calls for, drawn on its own.
#include "gamedata/itemdef.h"
#include "gamedata/model.h"
#include "mapview/render.h"
#include "mapview/view.h"
#include "mapview/gesture.h"
#include "support/core_env.h"
#include "support/mission_pages.h"

#include <gtest/gtest.h>

namespace {

// A radius of 8000 m: the on-screen radius in pixels is 8000 times the zoom. Level k is a
// triangle pointing its own way (east, north, west, south), so no two levels draw the same
// pixels at any of the zooms used.
Model* makeModel(const std::vector<int>& levels) {
    ModelDesc d;
    d.name = "lod";
    for (int k : levels) {
        ModelDescMesh m;
        m.name = "lod";
        m.radius = 8000 * 256;
        m.faces.push_back(ModelDescFace{});
        const int c[4] = {1, 0, -1, 0}, sn[4] = {0, 1, 0, -1};
        const auto at = [&](int along, int across) {
            return ModelVertex{std::int16_t(along * c[k] - across * sn[k]), std::int16_t(along * sn[k] + across * c[k]),
                               0};
        };
        m.vertices = {at(1500, -900), at(4000, 0), at(1500, 900)};
        ModelDescTriangle t;
        t.v[0] = 0;
        t.v[1] = 1;
        t.v[2] = 2;
        t.face = 0;
        m.triangles.push_back(t);
        d.lods.push_back(m);
    }
    const std::vector<std::uint8_t> bytes = model_Encode(d);
    return model_ReadFromMemory(bytes.data(), bytes.size(), "lod.3di", 0);
}

TEST(RenderLevelOfDetail, EachLevelCountDrawsTheLevelItsScreenRadiusCallsFor) {
    ScopedCore core;
    model_Reset();
    ScopedItemDefs defs({{kTestJeep, kItemVehicle}});
    ItemDef* def = itemdef_At(itemdef_FindByType(kTestJeep));
    auto page = test_NewMission(), clipboard = test_NewMission();
    test_AddItem(*page, kTestJeep);
    MapSurface surface;
    ASSERT_TRUE(mapsurface_Create(surface, 240, 240));
    const auto draw = [&](Model* model, double pixels) {
        def->model = model;
        ViewState v = view_StartupState();
        v.grid_shown = 0;
        v.zoom = float(pixels / 8000);
        render_Draw(surface, v, GestureState{}, *page, *clipboard);
        return surface.bits;
    };
    std::vector<Model*> alone;
    for (int k = 0; k < 4; ++k) alone.push_back(makeModel({k}));

    const double radii[] = {200, 149, 100, 79, 50, 19, 10};
    const int expected[4][7] = {
        {0, 0, 0, 0, 0, 0, 0},  // one level
        {0, 1, 1, 1, 1, 1, 1},  // two
        {0, 1, 1, 2, 2, 2, 2},  // three
        {0, 1, 1, 2, 2, 3, 3},  // four
    };
    for (int n = 1; n <= 4; ++n) {
        std::vector<int> levels;
        for (int k = 0; k < n; ++k) levels.push_back(k);
        Model* model = makeModel(levels);
        ASSERT_NE(model, nullptr);
        ASSERT_EQ(model->lodCount, n);
        for (int i = 0; i < 7; ++i) {
            const LargeArray<std::uint32_t> got = draw(model, radii[i]);
            std::vector<int> same;
            for (int k = 0; k < 4; ++k)
                if (draw(alone[std::size_t(k)], radii[i]) == got) same.push_back(k);
            EXPECT_EQ(same, std::vector<int>{expected[n - 1][i]}) << n << " levels at " << radii[i] << " px";
        }
    }
    def->model = nullptr;
    model_Reset();
}

}  // namespace

// Speed of the map renderer: whole frames of the large sample mission (about 3,000 items on
// its terrain) at 1920 x 1080, in the colour map with detail texturing at a zoom where the
// texturing applies, in the elevation map, and at the start-up zoom; against filling the same
// bitmap with memset, the most any renderer writing every pixel could do. The terrain pass
// shares its rows among the cores, so the times are wall-clock times.
//
//   build-bench/bench/render_bench            (the kit under build-bench/gamedata)
//   SORTIE_DATA=/path/to/gamedata build-bench/bench/render_bench
#include "core/file.h"
#include "core/mem.h"
#include "core/text.h"
#include "gamedata/itemdef.h"
#include "gamedata/model.h"
#include "mapview/render.h"
#include "mapview/view.h"
#include "mapview/gesture.h"
#include "mission/index.h"
#include "mission/metafile.h"
#include "mission/mission.h"
#include "platform/console_platform.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kPaneWidth = 1904;  // the bitmap rounds it up to 1920
constexpr int kPaneHeight = 1080;

struct Scene {
    std::FILE* sink = std::fopen("/dev/null", "w");
    ConsolePlatform quiet{sink};
    std::unique_ptr<Mission> page = std::make_unique<Mission>();
    std::unique_ptr<Mission> clipboard = std::make_unique<Mission>();
    MapSurface surface;
    MapSurface surface4k;  // 3840 x 2160
    ViewState view;
    bool ready = false;
    std::string problem;

    Scene() {
        platform_Set(&quiet);
        std::string data = SORTIE_GAMEDATA_DIR;
        if (const char* env = std::getenv("SORTIE_DATA")) data = env;
        mem_Startup();
        file_Reset();
        const std::string kz7 = data + "/kz7.pff", terrains = data + "/terrains.pff";
        pff_RegisterArchives(kz7.c_str(), terrains.c_str());
        file_SetDiskFirst(1);
        text_Tables().ui = text_LoadTable("text.bin");
        text_SetCurrent(text_Tables().ui);
        if (itemdef_Load("items.def") != 1 || itemdef_Count() == 0) {
            problem = "no item definitions in " + kz7;
            return;
        }
        const std::string mission = std::string(SORTIE_SOURCE_DIR) + "/data/missions/large.mis";
        if (metafile_Read(*page, mission.c_str()) != 1 || page->item_count < 1000) {
            problem = "cannot read " + mission;
            return;
        }
        std::vector<std::int32_t> defs;
        for (std::int32_t i = 0; i < page->item_count; ++i)
            defs.push_back(mission_DefIndex(page->items[std::size_t(i)]));
        model_LoadForDefs(defs);
        mission_Clear(*clipboard);
        if (!mapsurface_Create(surface, kPaneWidth, kPaneHeight) ||
            !mapsurface_Create(surface4k, 2 * kPaneWidth + 16, 2 * kPaneHeight)) {
            problem = "no bitmap";
            return;
        }
        // Centred on the items' middle, where the mission is busiest.
        std::int64_t sx = 0, sy = 0;
        for (std::int32_t i = 0; i < page->item_count; ++i) {
            sx += page->items[std::size_t(i)].x;
            sy += page->items[std::size_t(i)].y;
        }
        view = view_StartupState();
        view.center_x = std::int32_t(sx / page->item_count);
        view.center_y = std::int32_t(sy / page->item_count);
        ready = true;
    }
};

Scene& scene() {
    static Scene s;
    return s;
}

void renderFrames(benchmark::State& state, const ViewState& view, bool large = false) {
    Scene& s = scene();
    if (!s.ready) {
        state.SkipWithError(s.problem.c_str());
        return;
    }
    MapSurface& surface = large ? s.surface4k : s.surface;
    const GestureState idle;
    for (auto _ : state) {
        render_Draw(surface, view, idle, *s.page, *s.clipboard);
        benchmark::DoNotOptimize(surface.bits.data());
        benchmark::ClobberMemory();
    }
    state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["items"] = double(s.page->item_count);
}

// Colour map with detail texturing: 0.01 pixels per world unit is 2.56 pixels per cell.
void BM_RenderColourDetail(benchmark::State& state) {
    ViewState v = scene().view;
    v.zoom = 0.01f;
    v.show_flags |= kShowDetail | kShowWater;
    renderFrames(state, v);
}
BENCHMARK(BM_RenderColourDetail)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same view on a 3840 x 2160 screen: four times the pixels, the items alike.
void BM_RenderColourDetail4k(benchmark::State& state) {
    ViewState v = scene().view;
    v.zoom = 0.01f;
    v.show_flags |= kShowDetail | kShowWater;
    renderFrames(state, v, true);
}
BENCHMARK(BM_RenderColourDetail4k)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same, closer in: 25.6 pixels per cell.
void BM_RenderColourDetailClose(benchmark::State& state) {
    ViewState v = scene().view;
    v.zoom = 0.1f;
    v.show_flags |= kShowDetail | kShowWater;
    renderFrames(state, v);
}
BENCHMARK(BM_RenderColourDetailClose)->Unit(benchmark::kMillisecond)->UseRealTime();

// The terrain pass alone (no items, no grid): how the frame time divides.
void BM_RenderColourDetailTerrainOnly(benchmark::State& state) {
    ViewState v = scene().view;
    v.zoom = 0.01f;
    v.show_flags = kShowDetail | kShowWater;
    v.grid_shown = 0;
    renderFrames(state, v);
}
BENCHMARK(BM_RenderColourDetailTerrainOnly)->Unit(benchmark::kMillisecond)->UseRealTime();

// What the frame spends on working out definitions, paths and areas from the page (the
// index every frame builds), on its own.
void BM_BuildIndex(benchmark::State& state) {
    Scene& s = scene();
    if (!s.ready) {
        state.SkipWithError(s.problem.c_str());
        return;
    }
    const auto index = std::make_unique<MissionIndex>();
    for (auto _ : state) {
        mission_BuildIndex(*s.page, *index);
        benchmark::DoNotOptimize(index->paths[1].point_count);
        benchmark::ClobberMemory();
    }
    state.counters["items"] = double(s.page->item_count);
}
BENCHMARK(BM_BuildIndex)->Unit(benchmark::kMillisecond);

void BM_RenderElevation(benchmark::State& state) {
    ViewState v = scene().view;
    v.zoom = 0.01f;
    v.map_mode = kMapModeElevation;
    renderFrames(state, v);
}
BENCHMARK(BM_RenderElevation)->Unit(benchmark::kMillisecond)->UseRealTime();

// Start-up zoom: the whole terrain, almost four cells per pixel, every item on screen.
void BM_RenderStartupView(benchmark::State& state) { renderFrames(state, scene().view); }
BENCHMARK(BM_RenderStartupView)->Unit(benchmark::kMillisecond)->UseRealTime();

// The physical limit: writing the same bitmap and nothing else.
void memsetFrames(benchmark::State& state, MapSurface Scene::*surface) {
    Scene& s = scene();
    if (!s.ready) {
        state.SkipWithError(s.problem.c_str());
        return;
    }
    auto& bits = (s.*surface).bits;
    int value = 0;
    for (auto _ : state) {
        std::memset(bits.data(), value++ & 0xFF, bits.size() * 4);
        benchmark::DoNotOptimize(bits.data());
        benchmark::ClobberMemory();
    }
    state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_MemsetBitmap(benchmark::State& state) { memsetFrames(state, &Scene::surface); }
BENCHMARK(BM_MemsetBitmap)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_MemsetBitmap4k(benchmark::State& state) { memsetFrames(state, &Scene::surface4k); }
BENCHMARK(BM_MemsetBitmap4k)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

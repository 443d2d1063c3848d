// Time per preview frame while dragging a selection across the map: the large sample
// mission on its terrain, a 1920 x 1080 map pane, 500 items selected and moving with the
// pointer, as a left drag that starts on a selected item moves them. Every mouse move renders
// the whole page with the preview on top; "fps" is frames a second (60 or more is smooth).
//
//   SORTIE_BUILD_DIR=build-bench scripts/build -DSORTIE_BENCH=ON -DCMAKE_BUILD_TYPE=Release
//   build-bench/bench/interact_bench
// The sample data kit (kz7.pff, terrains.pff, items.def) comes from the build, or from the
// folder SORTIE_DATA names; without one the mission is drawn on a blank map.
#include "core/file.h"
#include "core/mem.h"
#include "core/text.h"
#include "gamedata/itemdef.h"
#include "gamedata/model.h"
#include "mapview/interact.h"
#include "mapview/render.h"
#include "mapview/view.h"
#include "mission/metafile.h"
#include "mission/mission.h"
#include "mission/page_load.h"
#include "platform/console_platform.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

// Answers the map pane's requests without showing anything.
struct QuietPlatform : ConsolePlatform {
    QuietPlatform() : ConsolePlatform(std::fopen("/dev/null", "w")) {}
    void mapPresent(const PixelView&) override {}
    void mapInvalidate() override {}
};

struct Fixture {
    QuietPlatform quiet;
    bool terrain = false;
    int items = 0;

    Fixture() {
        platform_Set(&quiet);
        mem_Startup();
        file_Reset();
        const char* env = std::getenv("SORTIE_DATA");
        const std::string data = env && *env ? env : SORTIE_GAMEDATA_DIR;
        const std::string mission = std::string(SORTIE_SOURCE_DIR) + "/data/missions/large.mis";
        std::error_code ec;
        if (std::filesystem::exists(std::filesystem::path(data) / "kz7.pff", ec)) {
            std::filesystem::current_path(data);
            pff_RegisterArchives("kz7.pff", "terrains.pff");
            file_SetDiskFirst(1);
            itemdef_Load("items.def");
        }
        mission_ResetPages();
        metafile_Read(mission_CurrentPage(), mission.c_str());
        pageload_Models();
        Mission& page = mission_CurrentPage();
        terrain = page.terrain != nullptr;
        items = page.item_count;

        view_Reset();
        view_ApplyButtonBarDefaults(view_State());
        ViewState& v = view_State();
        v.zoom = 0.004f;  // the whole mission area in view
        mapsurface_Create(view_Surface(), 1920, 1080);
        interact_Reset();
        // The first 500 items the map shows, selected.
        for (std::int32_t i = 0; i < page.item_count && page.selection.count < 500; ++i)
            if (mission_ItemShown(page, i, v.show_flags)) mission_Select(page, i);
        // The left button goes down on the first selected item and the drag begins.
        const Viewport vp = interact_Viewport(v, view_Surface());
        std::int64_t px = 0, py = 0;
        const std::int32_t grabbed = page.selection.count > 0 ? page.selection.index[0] : 0;
        if (!interact_Pickable(page, vp, grabbed, px, py)) px = 900, py = 500;
        interact_Sink().onMouseDown(MouseButton::Left, int(px), int(py), 0);
        interact_Sink().onMouseMove(int(px) + kDragThreshold * 2, int(py), 0);
        dragging = gesture_State().state == kGestureMove && gesture_State().dragging;
    }
    bool dragging = false;
};

void BM_MoveSelectionPreview(benchmark::State& state) {
    static Fixture f;
    MapPaneSink& pane = interact_Sink();
    int x = 900;
    for (auto _ : state) {
        pane.onMouseMove(x, 500, 0);
        x = x == 1000 ? 900 : x + 1;
    }
    state.counters["items"] = f.items;
    state.counters["selected"] = mission_CurrentPage().selection.count;
    state.counters["terrain"] = f.terrain ? 1 : 0;
    state.counters["dragging"] = f.dragging ? 1 : 0;
    state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_MoveSelectionPreview)->Unit(benchmark::kMillisecond);

}  // namespace

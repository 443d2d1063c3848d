// Undo steps on the large sample mission (about 2,800 items): the time to take a step
// (compare the page with the last step and keep what changed), the time to undo and redo a
// move of 500 items, and the memory that 1,000 single-item moves and 100 moves of 500 items
// hold.
//
//   SORTIE_BUILD_DIR=build-bench scripts/build -DSORTIE_BENCH=ON -DCMAKE_BUILD_TYPE=Release
//   build-bench/bench/undo_bench
#include "core/mem.h"
#include "mission/metafile.h"
#include "mission/mission.h"
#include "mission/undo.h"
#include "platform/console_platform.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

namespace {

struct Fixture {
    ConsolePlatform quiet{std::fopen("/dev/null", "w")};
    Fixture() {
        platform_Set(&quiet);
        mem_Startup();
        mission_ResetPages();
        const std::string mission = std::string(SORTIE_SOURCE_DIR) + "/data/missions/large.mis";
        metafile_Read(mission_CurrentPage(), mission.c_str());
    }
    Mission& page() { return mission_CurrentPage(); }
    void selectFirst(int n) {
        Mission& m = page();
        mission_ClearSelection(m);
        for (int i = 0; i < n && i < m.item_count; ++i) mission_Select(m, i);
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

// One single-item move, then the step: compare the whole page and keep the change.
void BM_TakeStepSingleMove(benchmark::State& state) {
    Fixture& f = fixture();
    Mission& m = f.page();
    UndoHistory h;
    h.reset(m, true);
    const std::vector<std::int32_t> sel;
    std::int32_t i = 0;
    for (auto _ : state) {
        m.items[std::size_t(i)].x += 256;
        i = (i + 97) % m.item_count;
        benchmark::DoNotOptimize(h.commit(m, "STEP_MOVE", sel));
    }
    state.counters["items"] = m.item_count;
    state.counters["bytes/step"] = double(h.bytes()) / double(h.undoCount() ? h.undoCount() : 1);
}
BENCHMARK(BM_TakeStepSingleMove)->Unit(benchmark::kMillisecond);

// A step where nothing changed (every command that is not an edit pays this).
void BM_TakeStepNoChange(benchmark::State& state) {
    Fixture& f = fixture();
    Mission& m = f.page();
    UndoHistory h;
    h.reset(m, true);
    const std::vector<std::int32_t> sel;
    for (auto _ : state) benchmark::DoNotOptimize(h.commit(m, "STEP_EDIT", sel));
}
BENCHMARK(BM_TakeStepNoChange)->Unit(benchmark::kMillisecond);

// A 500-item move taken as a step, then undone and redone (one iteration: undo + redo).
void BM_UndoRedoMove500(benchmark::State& state) {
    Fixture& f = fixture();
    Mission& m = f.page();
    f.selectFirst(500);
    UndoHistory h;
    h.reset(m, true);
    const auto sel = undo_Selection(m);
    mission_MoveSelected(m, 12800, -6400, 0);
    h.commit(m, "STEP_MOVE", sel);
    for (auto _ : state) {
        h.undo(m);
        h.redo(m);
    }
    state.counters["step bytes"] = double(h.bytes());
}
BENCHMARK(BM_UndoRedoMove500)->Unit(benchmark::kMillisecond);

// Taking the step of a 500-item move.
void BM_TakeStepMove500(benchmark::State& state) {
    Fixture& f = fixture();
    Mission& m = f.page();
    f.selectFirst(500);
    UndoHistory h;
    h.reset(m, true);
    const auto sel = undo_Selection(m);
    for (auto _ : state) {
        mission_MoveSelected(m, 256, 0, 0);
        benchmark::DoNotOptimize(h.commit(m, "STEP_MOVE", sel));
    }
}
BENCHMARK(BM_TakeStepMove500)->Unit(benchmark::kMillisecond);

// Memory of whole histories: 1,000 single-item moves; 100 moves of 500 items.
void BM_MemoryHistories(benchmark::State& state) {
    Fixture& f = fixture();
    Mission& m = f.page();
    double single = 0, large = 0;
    for (auto _ : state) {
        UndoHistory h;
        h.reset(m, true);
        const std::vector<std::int32_t> none;
        for (int k = 0; k < 1000; ++k) {
            m.items[std::size_t((k * 131) % m.item_count)].x += 256;
            h.commit(m, "STEP_MOVE", none);
        }
        single = double(h.bytes());
        f.selectFirst(500);
        UndoHistory h2;
        h2.reset(m, true);
        const auto sel = undo_Selection(m);
        for (int k = 0; k < 100; ++k) {
            mission_MoveSelected(m, 256 * (k + 1), -128, 0);
            h2.commit(m, "STEP_MOVE", sel);
        }
        large = double(h2.bytes());
    }
    state.counters["1000x1 MiB"] = single / (1 << 20);
    state.counters["100x500 MiB"] = large / (1 << 20);
}
BENCHMARK(BM_MemoryHistories)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

// All checks of the large sample mission (about 2,800 items) with the kit's item definitions
// and string tables: the Problems panel runs them in full after every step, so they must stay
// well under the time a step takes (target: under 2 ms).
//
//   SORTIE_BUILD_DIR=build-bench scripts/build -DSORTIE_BENCH=ON -DCMAKE_BUILD_TYPE=Release
//   build-bench/bench/checks_bench
#include "core/file.h"
#include "core/mem.h"
#include "core/text.h"
#include "gamedata/itemdef.h"
#include "logic/checks.h"
#include "mission/metafile.h"
#include "mission/mission.h"
#include "platform/console_platform.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

struct Fixture {
    std::FILE* sink = std::fopen("/dev/null", "w");
    ConsolePlatform quiet{sink};
    std::unique_ptr<Mission> page = std::make_unique<Mission>();
    std::string problem;

    Fixture() {
        platform_Set(&quiet);
        std::string data = SORTIE_GAMEDATA_DIR;
        if (const char* env = std::getenv("SORTIE_DATA")) data = env;
        mem_Startup();
        file_Reset();
        pff_RegisterArchives((data + "/kz7.pff").c_str(), (data + "/terrains.pff").c_str());
        file_SetDiskFirst(1);
        TextTables& t = text_Tables();
        t.ui = text_LoadTable("text.bin");
        t.vocab = text_LoadTable("kz7wpn.bin");
        text_SetCurrent(t.ui);
        if (itemdef_Load("items.def") != 1 || itemdef_Count() == 0) problem = "no item definitions in " + data;
        const std::string mission = std::string(SORTIE_SOURCE_DIR) + "/data/missions/large.mis";
        MetafileReadOptions o;
        o.loadTerrain = false;
        if (metafile_Read(*page, mission.c_str(), o) != 1) problem = "cannot read " + mission;
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

void BM_CheckLargeMission(benchmark::State& state) {
    Fixture& f = fixture();
    if (!f.problem.empty()) {
        state.SkipWithError(f.problem.c_str());
        return;
    }
    std::size_t findings = 0;
    for (auto _ : state) {
        const auto found = check_Mission(*f.page);
        findings = found.size();
        benchmark::DoNotOptimize(found.data());
    }
    state.counters["items"] = f.page->item_count;
    state.counters["findings"] = double(findings);
}
BENCHMARK(BM_CheckLargeMission)->Unit(benchmark::kMillisecond);

}  // namespace

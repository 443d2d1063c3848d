// Speed of the mission files: reading and writing a metafile of 5,000 items (against reading
// the same bytes plainly, whole and line by line), and the binary export of the same mission.
#include "core/file.h"
#include "core/mem.h"
#include "gamedata/itemdef.h"
#include "mission/export.h"
#include "mission/metafile.h"
#include "mission/mission.h"
#include "platform/console_platform.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

struct Fixture {
    std::FILE* sink = std::fopen("/dev/null", "w");
    ConsolePlatform quiet{sink};
    std::unique_ptr<Mission> source = std::make_unique<Mission>();
    std::unique_ptr<Mission> target = std::make_unique<Mission>();
    std::string path = "/tmp/sortie-metafile-bench-" + std::to_string(::getpid()) + ".mis";
    std::string outPath = "/tmp/sortie-metafile-bench-" + std::to_string(::getpid()) + "-out.mis";
    std::string bmsPath = "/tmp/sortie-metafile-bench-" + std::to_string(::getpid()) + ".bms";
    std::size_t bytes = 0;

    Fixture() {
        platform_Set(&quiet);
        mem_Startup();
        file_Reset();
        static const std::int32_t kTypes[][2] = {{1001, 3}, {2001, 2}, {5001, 5}, {7001, 6},
                                                 {1, 1},    {6005, 4}, {6013, 4}};
        ItemDef* defs = itemdef_Allocate(7);
        for (int i = 0; i < 7; ++i) {
            std::snprintf(defs[i].name, sizeof defs[i].name, "Def%d", i);
            defs[i].typeNumber = kTypes[i][0];
            defs[i].type = kTypes[i][1];
        }
        Mission& m = *source;
        mission_Clear(m);
        mission_SetText(m.info.name, "Benchmark mission");
        // Items in an order the export must sort: types and waypoint numbers mixed.
        for (int i = 0; i < kMaxItems; ++i) {
            const std::int32_t k = mission_AddItem(m, kTypes[(i * 5) % 7][0], i * 2560, -i * 1280, i);
            MissionItem& it = m.items[std::size_t(k)];
            it.heading = (i * 37) % 360;
            it.team = i % 3;
            it.group_id = 1 + i % 63;
            it.waypoint_id = 1 + i % 127;
            it.wpnumber = (i * 7919) % 64;
        }
        m.event_count = kMaxEvents;
        for (int e = 0; e < kMaxEvents; ++e) {
            m.events[std::size_t(e)].trigger_count = 4;
            m.events[std::size_t(e)].action_count = 4;
            std::snprintf(m.events[std::size_t(e)].name, kEventNameSize, "Event %d", e);
        }
        metafile_Write(m, path.c_str());
        std::ifstream f(path, std::ios::binary | std::ios::ate);
        bytes = static_cast<std::size_t>(f.tellg());
    }
    ~Fixture() {
        std::remove(path.c_str());
        std::remove(outPath.c_str());
        std::remove(bmsPath.c_str());
        platform_Set(nullptr);
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

void BM_MetafileRead(benchmark::State& state) {
    Fixture& f = fixture();
    MetafileReadOptions o;
    o.loadTerrain = false;
    for (auto _ : state) benchmark::DoNotOptimize(metafile_Read(*f.target, f.path.c_str(), o));
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(f.bytes));
    state.counters["missions/s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_MetafileRead)->Unit(benchmark::kMillisecond);

// The floor: the same bytes read whole.
void BM_PlainReadWhole(benchmark::State& state) {
    Fixture& f = fixture();
    std::vector<char> buf(f.bytes);
    for (auto _ : state) {
        std::FILE* in = std::fopen(f.path.c_str(), "rb");
        benchmark::DoNotOptimize(std::fread(buf.data(), 1, buf.size(), in));
        std::fclose(in);
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(f.bytes));
}
BENCHMARK(BM_PlainReadWhole)->Unit(benchmark::kMillisecond);

// The same bytes line by line with the reader's 700-byte line buffer, nothing parsed.
void BM_PlainReadLines(benchmark::State& state) {
    Fixture& f = fixture();
    char line[700];
    for (auto _ : state) {
        std::FILE* in = std::fopen(f.path.c_str(), "r");
        int n = 0;
        while (std::fgets(line, sizeof line, in)) ++n;
        std::fclose(in);
        benchmark::DoNotOptimize(n);
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(f.bytes));
}
BENCHMARK(BM_PlainReadLines)->Unit(benchmark::kMillisecond);

void BM_MetafileWrite(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state) benchmark::DoNotOptimize(metafile_Write(*f.source, f.outPath.c_str()));
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(f.bytes));
    state.counters["missions/s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_MetafileWrite)->Unit(benchmark::kMillisecond);

// The text alone, without the file system.
void BM_MetafileFormat(benchmark::State& state) {
    Fixture& f = fixture();
    std::tm t{};
    for (auto _ : state) benchmark::DoNotOptimize(metafile_Format(*f.source, t));
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(f.bytes));
}
BENCHMARK(BM_MetafileFormat)->Unit(benchmark::kMillisecond);

// Export of the unsorted mission: the table is restored before every run, outside the timing.
void BM_ExportBinary(benchmark::State& state) {
    Fixture& f = fixture();
    BmsSky sky;
    std::size_t size = 0;
    for (auto _ : state) {
        state.PauseTiming();
        static_cast<MissionTables&>(*f.target) = static_cast<const MissionTables&>(*f.source);
        state.ResumeTiming();
        size = mission_ExportBinaryBytes(*f.target, &sky).size();
        benchmark::DoNotOptimize(size);
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(size));
    state.counters["missions/s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ExportBinary)->Unit(benchmark::kMillisecond);

void BM_ExportBinaryToFile(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state) {
        state.PauseTiming();
        static_cast<MissionTables&>(*f.target) = static_cast<const MissionTables&>(*f.source);
        state.ResumeTiming();
        benchmark::DoNotOptimize(mission_ExportBinary(*f.target, f.bmsPath.c_str()));
    }
    state.counters["missions/s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ExportBinaryToFile)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

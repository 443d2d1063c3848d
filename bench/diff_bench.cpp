// Comparing two large missions (the sample of about 2,800 items against a copy with one item
// moved and one removed): the whole `sortie-cli diff` command as a user runs it (start-up,
// game data, reading both files, the comparison, the output), and the same work inside one
// process split into reading and comparing, plus the canonical dump.
//
//   SORTIE_BUILD_DIR=build-bench scripts/build -DSORTIE_BENCH=ON -DCMAKE_BUILD_TYPE=Release
//   build-bench/bench/diff_bench
#include "core/text.h"
#include "logic/diff.h"
#include "mission/metafile.h"
#include "mission/mission.h"
#include "platform/console_platform.h"
#include "shell/data_start.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

std::string readAll(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

struct Fixture {
    ConsolePlatform quiet{std::fopen("/dev/null", "w")};
    std::string a = std::string(SORTIE_SOURCE_DIR) + "/data/missions/large.mis";
    std::string b = "/tmp/sortie-diff-bench-" + std::to_string(::getpid()) + ".mis";
    std::unique_ptr<Mission> ma = std::make_unique<Mission>(), mb = std::make_unique<Mission>();
    int items = 0;

    Fixture() {
        // The copy: item 100 moved 10 m east, the last item's block removed.
        std::string text = readAll(a);
        const std::size_t position = text.find("position ", text.find("begin item 100\r\n"));
        const std::size_t end = text.find(' ', position + 9);
        text.replace(position + 9, end - position - 9, std::to_string(std::stol(text.substr(position + 9)) + 2560));
        const std::size_t count = text.find("num_items ");
        items = std::stoi(text.substr(count + 10));
        text.replace(count + 10, text.find('\r', count) - count - 10, std::to_string(items - 1));
        text.erase(text.find("begin item " + std::to_string(items - 1) + "\r\n"));
        std::ofstream(b, std::ios::binary) << text;

        platform_Set(&quiet);
        startup_Foundation(SORTIE_GAMEDATA_DIR);
        TextTables& t = text_Tables();
        t.ui = startup_LoadTable(SORTIE_GAMEDATA_DIR, "text.bin");
        text_SetCurrent(t.ui);
        t.vocab = startup_LoadTable(SORTIE_GAMEDATA_DIR, "kz7wpn.bin");
        t.names = startup_LoadTable(SORTIE_GAMEDATA_DIR, "kz7items.bin");
        startup_LoadItemDefs(SORTIE_GAMEDATA_DIR, t.names);
        read();
    }
    ~Fixture() { std::remove(b.c_str()); }
    void read() {
        MetafileReadOptions o;
        o.loadTerrain = false;
        metafile_Read(*ma, a.c_str(), o);
        metafile_Read(*mb, b.c_str(), o);
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

// The command a user or git runs, from exec to exit, output to /dev/null.
void BM_DiffCommand(benchmark::State& state) {
    Fixture& f = fixture();
    std::string cli = SORTIE_CLI_PATH, data = SORTIE_GAMEDATA_DIR;
    std::string diff = "diff", dataOpt = "--data";
    char* argv[] = {cli.data(), dataOpt.data(), data.data(), diff.data(), f.a.data(), f.b.data(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    int status = 0;
    // The wall time counts whatever else the machine runs; the child's own processor time
    // (user and system, from the children's usage) is kept beside it.
    rusage before{}, after{};
    getrusage(RUSAGE_CHILDREN, &before);
    for (auto _ : state) {
        pid_t pid = 0;
        if (posix_spawn(&pid, cli.c_str(), &actions, nullptr, argv, environ) != 0) {
            state.SkipWithError("cannot start sortie-cli");
            break;
        }
        waitpid(pid, &status, 0);
    }
    getrusage(RUSAGE_CHILDREN, &after);
    posix_spawn_file_actions_destroy(&actions);
    const auto ms = [](const timeval& t) { return double(t.tv_sec) * 1e3 + double(t.tv_usec) / 1e3; };
    const double cpu = ms(after.ru_utime) - ms(before.ru_utime) + ms(after.ru_stime) - ms(before.ru_stime);
    state.counters["child_cpu_ms"] = state.iterations() ? cpu / double(state.iterations()) : 0.0;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 1) state.SkipWithError("sortie-cli diff did not exit 1");
    state.counters["items"] = f.items;
}
BENCHMARK(BM_DiffCommand)->Unit(benchmark::kMillisecond);

void BM_ReadBoth(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state) f.read();
}
BENCHMARK(BM_ReadBoth)->Unit(benchmark::kMillisecond);

void BM_Compare(benchmark::State& state) {
    Fixture& f = fixture();
    std::size_t changes = 0;
    for (auto _ : state) {
        const std::vector<DiffChange> d = diff_Missions(*f.ma, *f.mb);
        changes = d.size();
        benchmark::DoNotOptimize(d.data());
    }
    state.counters["changes"] = double(changes);
}
BENCHMARK(BM_Compare)->Unit(benchmark::kMillisecond);

void BM_Dump(benchmark::State& state) {
    Fixture& f = fixture();
    std::size_t bytes = 0;
    for (auto _ : state) {
        const std::string s = diff_Dump(*f.ma);
        bytes = s.size();
        benchmark::DoNotOptimize(s.data());
    }
    state.counters["bytes"] = double(bytes);
}
BENCHMARK(BM_Dump)->Unit(benchmark::kMillisecond);

}  // namespace

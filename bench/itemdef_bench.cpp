// Load time of an items.def of 2,000 definitions (both passes of the line parser through
// the file layer, every keyword kind), and of the same file in its scrambled "SCR" form.
#include "core/file.h"
#include "core/mem.h"
#include "gamedata/itemdef.h"
#include "core/parser.h"
#include "support/fake_platform.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

constexpr int kDefinitions = 2000;
constexpr std::uint32_t kItemsDefSeed = 0x3C5E7A19;

std::string itemsText() {
    std::ostringstream out;
    for (int i = 0; i < kDefinitions; ++i) {
        out << "// definition " << i << "\r\n"
            << "begin \"Bench item " << i << "\"\r\n"
            << "id " << 100000 + i << "\r\n"
            << "type "
            << (i % 3 == 0   ? "vehicle"
                : i % 3 == 1 ? "person"
                             : "building")
            << "\r\n"
            << "graphic model" << i % 97 << "\r\n"
            << "husk husk" << i % 31 << "\r\n"
            << "ai_function ai_" << i % 7 << "\r\n"
            << "move_function mv_" << i % 5 << "\r\n"
            << "hp " << 100 + i % 400 << " " << i % 50 << "\r\n"
            << "acceleration " << i % 20 << "\r\n"
            << "turn_rate " << i % 360 << "\r\n"
            << "axle_dist " << (i % 40) / 8.0 << "\r\n"
            << "attrib: good aidata snap \" DV   \" flesh\r\n"
            << "ambient engine" << i % 9 << " " << i % 4 << "\r\n"
            << "ambient wind 2\r\n"
            << "end\r\n\r\n";
    }
    return out.str();
}

// The scrambled form: XOR with the key stream, reversed, behind "SCR" and 0x01.
std::string scrambled(const std::string& plain) {
    std::vector<std::uint8_t> stream(plain.size(), 0);
    parser_Unscramble(stream.data(), static_cast<std::uint32_t>(stream.size()), kItemsDefSeed);
    std::string body(plain.size(), '\0');
    for (std::size_t i = 0; i < plain.size(); ++i) body[plain.size() - 1 - i] = static_cast<char>(plain[i] ^ stream[i]);
    return std::string("SCR\x01", 4) + body;
}

struct Fixture {
    std::string folder, plainPath, scrPath;
    FakePlatform quiet;

    Fixture() {
        char tmpl[] = "/tmp/sortie-bench-XXXXXX";
        folder = ::mkdtemp(tmpl);
        plainPath = folder + "/items.def";
        scrPath = folder + "/items_scr.def";
        const std::string text = itemsText();
        std::ofstream(plainPath, std::ios::binary) << text;
        std::ofstream(scrPath, std::ios::binary) << scrambled(text);
        platform_Set(&quiet);
        mem_Startup();
        file_Reset();
    }
    ~Fixture() {
        platform_Set(nullptr);
        std::error_code ec;
        std::filesystem::remove_all(folder, ec);
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

void load(benchmark::State& state, const std::string& path) {
    for (auto _ : state) {
        if (!itemdef_Load(path.c_str()) || itemdef_Count() != kDefinitions) {
            state.SkipWithError("items.def did not load");
            break;
        }
        benchmark::DoNotOptimize(itemdef_At(kDefinitions - 1));
    }
    state.counters["defs/s"] = benchmark::Counter(double(kDefinitions), benchmark::Counter::kIsIterationInvariantRate);
}

void BM_ItemDefLoad(benchmark::State& state) { load(state, fixture().plainPath); }
void BM_ItemDefLoadScrambled(benchmark::State& state) { load(state, fixture().scrPath); }

}  // namespace

BENCHMARK(BM_ItemDefLoad)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ItemDefLoadScrambled)->Unit(benchmark::kMillisecond);

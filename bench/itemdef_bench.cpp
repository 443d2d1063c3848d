// Load time of items.def with 2,000 definitions: writes such a file, then reads it a number
// of times and prints the best and the mean time of one load.
#include "core/file.h"
#include "core/mem.h"
#include "gamedata/itemdef.h"
#include "platform/fake_platform.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

int main(int argc, char** argv) {
    const int definitions = 2000;
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    const auto path = (std::filesystem::temp_directory_path() / "sortie_itemdef_bench.def").string();
    {
        std::ofstream out(path, std::ios::binary);
        for (int i = 0; i < definitions; ++i) {
            out << "// definition " << i << "\r\n"
                << "begin \"Bench item " << i << "\"\r\n"
                << "id " << 100000 + i << "\r\n"
                << "type " << (i % 3 == 0 ? "vehicle" : i % 3 == 1 ? "person" : "building") << "\r\n"
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
    }
    FakePlatform quiet;
    platform_Set(&quiet);
    mem_Startup();
    file_Reset();

    double best = 1e30, total = 0;
    for (int r = 0; r < rounds; ++r) {
        auto t0 = std::chrono::steady_clock::now();
        int ok = itemdef_Load(path.c_str());
        auto t1 = std::chrono::steady_clock::now();
        if (!ok || itemdef_Count() != definitions) {
            std::fprintf(stderr, "itemdef_bench: load failed (%d definitions)\n", static_cast<int>(itemdef_Count()));
            return 1;
        }
        double ms = std::chrono::duration<double, std::milli>(t1 - t0).count();
        best = std::min(best, ms);
        total += ms;
    }
    std::printf("itemdef_bench: %d definitions, %d loads: best %.3f ms, mean %.3f ms\n", definitions, rounds, best,
                total / rounds);
    std::filesystem::remove(path);
    platform_Set(nullptr);
    return 0;
}

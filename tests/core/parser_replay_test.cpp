// Replays the saved inputs of the line-parser fuzz target (tests/fuzz_regressions/parser):
// inputs that once broke the splitting, the line rules or the SCR scrambling, and a few seeds.
#include "fuzz/parser_exercise.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

TEST(ParserFuzzReplay, SavedInputsKeepEveryInvariant) {
    const std::filesystem::path dir = std::filesystem::path(SORTIE_SOURCE_DIR) / "tests/fuzz_regressions/parser";
    int replayed = 0;
    for (const auto& f : std::filesystem::directory_iterator(dir)) {
        std::ifstream in(f.path(), std::ios::binary);
        const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        EXPECT_TRUE(parser_ExerciseBuffer(bytes.data(), bytes.size())) << f.path();
        ++replayed;
    }
    EXPECT_GT(replayed, 0);
}

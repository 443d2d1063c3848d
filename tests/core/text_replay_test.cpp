// Replays the saved inputs of the string-table fuzz target (tests/fuzz_regressions/text):
// inputs that once broke the loader or the source reader, and a few seeds.
#include "fuzz/text_exercise.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

TEST(TextFuzzReplay, SavedInputsKeepEveryInvariant) {
    const std::filesystem::path dir = std::filesystem::path(SORTIE_SOURCE_DIR) / "tests/fuzz_regressions/text";
    int replayed = 0;
    for (const auto& f : std::filesystem::directory_iterator(dir)) {
        std::ifstream in(f.path(), std::ios::binary);
        const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        EXPECT_TRUE(text_ExerciseTable(bytes.data(), bytes.size())) << f.path();
        ++replayed;
    }
    EXPECT_GT(replayed, 0);
}

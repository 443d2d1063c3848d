// Replays the saved inputs of the fuzz targets of the binary mission reader and of the
// editor's own small files (fuzz/corpus/..., tests/fuzz_regressions/...).
#include "fuzz/bms_exercise.h"
#include "fuzz/small_files_exercise.h"
#include "support/fixtures.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

namespace {

using Exercise = std::function<bool(const std::vector<std::uint8_t>&)>;

int replay(const char* target, const Exercise& run) {
    int replayed = 0;
    for (const std::string folder :
         {std::string("/fuzz/corpus/") + target, std::string("/tests/fuzz_regressions/") + target}) {
        const std::filesystem::path dir = std::filesystem::path(SORTIE_SOURCE_DIR + folder);
        std::error_code ec;
        if (!std::filesystem::is_directory(dir, ec)) continue;
        for (const auto& f : std::filesystem::directory_iterator(dir)) {
            std::ifstream in(f.path(), std::ios::binary);
            const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
            EXPECT_TRUE(run(bytes)) << f.path();
            ++replayed;
        }
    }
    return replayed;
}

TEST(SmallFilesFuzzReplay, SavedInputsKeepEveryInvariant) {
    ScopedTempDir dir;
    const std::string folder = dir.path().string();
    EXPECT_GT(replay("bms", [](const auto& b) { return bms_ExerciseBytes(b.data(), b.size()); }), 0);
    testing::internal::CaptureStderr();  // what the readers ignore is said there
    EXPECT_GT(replay("settings", [&](const auto& b) { return settings_ExerciseBytes(b.data(), b.size(), folder); }), 0);
    EXPECT_GT(replay("notes", [&](const auto& b) { return notes_ExerciseBytes(b.data(), b.size(), folder); }), 0);
    testing::internal::GetCapturedStderr();
}

}  // namespace

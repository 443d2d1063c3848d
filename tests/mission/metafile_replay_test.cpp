// Replays the saved inputs of the metafile fuzz target (tests/fuzz_regressions/metafile): its
// seeds and any input that once broke the reader or the writer.
#include "fuzz/metafile_exercise.h"
#include "support/fake_platform.h"
#include "support/files_env.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

TEST(MetafileFuzzReplay, SavedInputsKeepEveryInvariant) {
    FilesEnv env;
    ScopedFakePlatform fake;
    const std::filesystem::path dir = std::filesystem::path(SORTIE_SOURCE_DIR) / "tests/fuzz_regressions/metafile";
    int replayed = 0;
    for (const auto& f : std::filesystem::directory_iterator(dir)) {
        std::ifstream in(f.path(), std::ios::binary);
        const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        EXPECT_TRUE(metafile_ExerciseBytes(bytes.data(), bytes.size(), env.path("replay"))) << f.path();
        ++replayed;
    }
    EXPECT_GT(replayed, 0);
}

// Replays the inputs kept for the definition-file and model fuzz targets: their seeds
// (fuzz/corpus/...) and every input that once made one fail (tests/fuzz_regressions/...).
// Built without the fuzzer, so the sanitizer build of the tests checks them too.
#include "fuzz/defs_exercise.h"

#include "core/mem.h"
#include "gamedata/reset.h"
#include "support/fake_platform.h"
#include "support/core_env.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

template <typename Exercise>
int replay(const char* target, Exercise exercise) {
    int replayed = 0;
    for (const std::string& folder :
         {std::string("/fuzz/corpus/") + target, std::string("/tests/fuzz_regressions/") + target}) {
        std::filesystem::path dir = std::string(SORTIE_SOURCE_DIR) + folder;
        if (!std::filesystem::is_directory(dir)) continue;
        for (const auto& entry : std::filesystem::directory_iterator(dir)) {
            if (!entry.is_regular_file()) continue;
            SCOPED_TRACE(entry.path().string());
            const std::string bytes = readWholeFile(entry.path().string());
            const auto before = mem_LiveBlocks(mem_State().mainPool);
            exercise(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
            EXPECT_EQ(mem_LiveBlocks(mem_State().mainPool), before) << "the pool got back what the input took";
            ++replayed;
        }
    }
    return replayed;
}

TEST(DefsReplay, SavedInputsReadCleanly) {
    ScopedCore core;
    ScopedFakePlatform fake;
    gamedata_ResetLayer();
    EXPECT_GE(replay("itemdef", defs_ExerciseItems), 1);
    EXPECT_GE(replay("sunsets", defs_ExerciseSunsets), 1);
    EXPECT_GE(replay("model", defs_ExerciseModel), 1);
    gamedata_ResetLayer();
}

}  // namespace

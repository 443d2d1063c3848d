// Replays the inputs kept for the PFF fuzz target: its seed archives and every input that
// once crashed it (tests/fuzz_regressions/pff). Built without the fuzzer, under the test
// suite's own flags, so a sanitizer build checks them too.
#include "fuzz/pff_exercise.h"

#include "support/core_env.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

TEST(PffReplay, SavedInputsReadCleanly) {
    ScopedCore core;
    int replayed = 0;
    for (const char* folder : {"/fuzz/corpus/pff", "/tests/fuzz_regressions/pff"}) {
        std::filesystem::path dir = std::string(SORTIE_SOURCE_DIR) + folder;
        if (!std::filesystem::is_directory(dir)) continue;
        for (const auto& entry : std::filesystem::directory_iterator(dir)) {
            if (!entry.is_regular_file()) continue;
            SCOPED_TRACE(entry.path().string());
            std::string bytes = readWholeFile(entry.path().string());
            pff_ExerciseArchive(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
            EXPECT_EQ(mem_LiveBlocks(mem_State().archivePool), 0);
            EXPECT_EQ(mem_LiveBlocks(mem_State().mainPool), 0);
            ++replayed;
        }
    }
    EXPECT_GE(replayed, 3);
}

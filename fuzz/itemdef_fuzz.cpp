// libFuzzer target: one input through defs_ExerciseItems (fuzz/defs_exercise.h).
#include "fuzz/defs_exercise.h"

#include "core/mem.h"
#include "platform/fake_platform.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    static FakePlatform quiet;   // records the parser's messages instead of printing them
    platform_Set(&quiet);
    mem_Startup();
    file_Reset();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    defs_ExerciseItems(data, size);
    return 0;
}

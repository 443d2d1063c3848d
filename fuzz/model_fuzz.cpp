// libFuzzer target: one input through defs_ExerciseModel (fuzz/defs_exercise.h).
#include "fuzz/defs_exercise.h"

#include "core/mem.h"
#include "platform/fake_platform.h"

namespace {
FakePlatform quiet;   // takes the parser's messages instead of printing them
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    platform_Set(&quiet);
    mem_Startup();
    file_Reset();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    quiet.boxes.clear();   // the fake keeps what it is shown; a long run must not grow
    quiet.log.clear();
    quiet.debugLines.clear();
    defs_ExerciseModel(data, size);
    return 0;
}

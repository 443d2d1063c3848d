// libFuzzer target: one input through defs_ExerciseSunsets (fuzz/defs_exercise.h).
#include "fuzz/defs_exercise.h"
#include "fuzz/quiet_fuzz.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) { return fuzz_QuietStart(); }

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz_QuietForget();
    defs_ExerciseSunsets(data, size);
    return 0;
}

// libFuzzer target: one input through defs_ExerciseItems (fuzz/defs_exercise.h).
#include "fuzz/defs_exercise.h"
#include "fuzz/quiet_fuzz.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) { return fuzz_QuietStart(); }

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz_QuietForget();
    defs_ExerciseItems(data, size);
    return 0;
}

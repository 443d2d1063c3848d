// Fuzzes the string-table loader and the source-form reader; see text_exercise.h.
#include "fuzz/text_exercise.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (!text_ExerciseTable(data, size)) std::abort();
    return 0;
}

// Fuzzes the line parser and the SCR scrambling; see parser_exercise.h.
#include "fuzz/parser_exercise.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (!parser_ExerciseBuffer(data, size)) std::abort();
    return 0;
}

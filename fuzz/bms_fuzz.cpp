// Fuzzes the binary mission reader: any bytes parse or are refused with a reason, and what
// parses dumps without reading outside what was parsed.
#include "fuzz/bms_exercise.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (!bms_ExerciseBytes(data, size)) std::abort();
    return 0;
}

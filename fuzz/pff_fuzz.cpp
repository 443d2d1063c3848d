// Fuzzes the PFF archive reader: every input is taken as a whole archive file.
#include "fuzz/pff_exercise.h"

#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    if (mem_Startup() != 0) std::abort();
    mem_State().debugLevel = 0;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    pff_ExerciseArchive(data, size);
    // Nothing may stay behind in the pools after an input.
    if (mem_LiveBlocks(mem_State().archivePool) != 0 || mem_LiveBlocks(mem_State().mainPool) != 0) std::abort();
    return 0;
}

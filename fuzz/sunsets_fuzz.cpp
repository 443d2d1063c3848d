// Fuzzes the sunsets.def reader and its table of 64.
#include "fuzz/defs_fuzz_support.h"
#include "gamedata/sky.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz_StartCore();
    const std::string& path = fuzz_WriteInput(data, size, "sunsets_fuzz");
    sky_Reset();
    sky_LoadSunsets(path.c_str());
    if (sky_Count() < 0 || sky_Count() > kSunsetMax) __builtin_trap();
    return 0;
}

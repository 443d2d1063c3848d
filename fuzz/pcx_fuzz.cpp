// Fuzzes both 8-bit PCX readers (indices with palette, and green channel) on a file in memory.
#include "fuzz/image_fuzz_common.h"
#include "gamedata/image.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (fuzz_ImagePools() != 0) return 0;
    ImageRecord image;
    if (img_DecodePcxIndexed(image, data, size, "fuzz.pcx") == kImgDone) {
        // Touch the palette behind the indices, where a wrong offset would show.
        volatile std::uint32_t sink = image.palette()[255];
        (void)sink;
    }
    (void)img_DecodePcxGreen(image, data, size, "fuzz.pcx");
    return 0;
}

// Fuzzes the TGA reader on a file in memory.
#include "fuzz/image_fuzz_common.h"
#include "gamedata/image.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (fuzz_ImagePools() != 0) return 0;
    ImageRecord image;
    (void)img_DecodeTga(image, data, size, "fuzz.tga");
    return 0;
}

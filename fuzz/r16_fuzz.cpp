// Fuzzes the R16 elevation reader, with and without the colour bands.
#include "fuzz/image_fuzz_common.h"
#include "gamedata/image.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (fuzz_ImagePools() != 0) return 0;
    ImageRecord image;
    img_Settings().r16ColourBands = size > 0 && (data[size - 1] & 1);
    (void)img_DecodeR16(image, data, size, "fuzz.r16");
    return 0;
}

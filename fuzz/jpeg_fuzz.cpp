// Fuzzes the colour-map decoder: size probe, caller-area decoding and allocate mode.
#include "gamedata/jpeg.h"

#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    int w = 0, h = 0;
    const int known = jpeg_ReadSize(data, size, &w, &h);
    // Caller's area: a small fixed size, so most inputs are refused at the frame header and the
    // rest decode into it.
    {
        std::vector<std::uint32_t> area(32 * 32);
        std::uint32_t* p = area.data();
        int cw = 32, ch = 32;
        (void)jpeg_Decode(data, size, &cw, &ch, &p, false);
    }
    // Allocate mode for pictures of a sensible size (large frames only cost time).
    if (known && std::uint64_t(w) * std::uint64_t(h) <= (std::uint64_t(1) << 20)) {
        std::uint32_t* p = nullptr;
        int aw = 0, ah = 0;
        if (jpeg_Decode(data, size, &aw, &ah, &p, true)) jpeg_FreePixels(p);
    }
    return 0;
}

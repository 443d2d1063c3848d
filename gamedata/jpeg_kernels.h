// The arithmetic of the colour-map decoder: the conversion tables, the accurate integer
// inverse DCT and the YCbCr -> pixel conversion. Each operation exists as a plain version and,
// where the compiler targets SSE2, a vector version that gives exactly the same bytes; the
// decoder uses the vector one when it is built, and the tests hold the two against each other.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#if defined(__SSE2__)
#define SORTIE_JPEG_VECTOR 1
#endif

constexpr int kJpegClampSize = 256 + 256 + 384 + 384 + 128;

// Built once on first use and constant afterwards.
struct JpegTables {
    // Index i + 256 gives i clamped to 0..255 for -256 <= i < 640; the tail (384 zeros and
    // the first 128 identity entries) lets the inverse DCT index with (value & 1023) + 384,
    // so wildly out-of-range values from bad data still land inside the table.
    std::array<std::uint8_t, kJpegClampSize> clamp{};
    std::array<int, 256> crRed{};
    std::array<int, 256> cbBlue{};
    std::array<std::int32_t, 256> crGreen{};
    std::array<std::int32_t, 256> cbGreen{};
};
const JpegTables& jpeg_Tables();

// Inverse DCT of one 8 x 8 block: coef holds the quantised coefficients in natural (row-major)
// order, quant the table in the same order; the 64 samples go to out, rows stride bytes apart.
void jpeg_IdctPlain(const std::int16_t* coef, const std::uint16_t* quant, std::uint8_t* out, int stride);

// Colour offsets of n chroma sample pairs: red, green and blue are added to the luminance.
void jpeg_ChromaOffsetsPlain(const std::uint8_t* cb, const std::uint8_t* cr, int n, std::int16_t* red,
                             std::int16_t* green, std::int16_t* blue);

// n pixels 0x00RRGGBB: pixel x takes luminance y[x] and the offsets at x >> shift.
void jpeg_ComposeRowPlain(const std::uint8_t* y, const std::int16_t* red, const std::int16_t* green,
                          const std::int16_t* blue, int shift, std::uint32_t* out, int n);

#if SORTIE_JPEG_VECTOR
// Same results as the plain versions. The IDCT wants every quant entry below 32768 (tables
// with larger entries go to the plain one); blocks whose values would not fit the 16-bit lanes
// are handed to the plain IDCT inside.
void jpeg_IdctVector(const std::int16_t* coef, const std::uint16_t* quant, std::uint8_t* out, int stride);
void jpeg_ChromaOffsetsVector(const std::uint8_t* cb, const std::uint8_t* cr, int n, std::int16_t* red,
                              std::int16_t* green, std::int16_t* blue);
void jpeg_ComposeRowVector(const std::uint8_t* y, const std::int16_t* red, const std::int16_t* green,
                           const std::int16_t* blue, int shift, std::uint32_t* out, int n);
#endif

#include "gamedata/jpeg_kernels.h"

#include <array>
#include <cstring>

#if SORTIE_JPEG_VECTOR
#include <emmintrin.h>
#endif

namespace {

constexpr std::int32_t kHalf = 1 << 15;

JpegTables buildTables() {
    JpegTables t;
    int k = 0;
    for (int i = 0; i < 256; ++i) t.clamp[k++] = 0;
    for (int i = 0; i < 256; ++i) t.clamp[k++] = static_cast<std::uint8_t>(i);
    for (int i = 0; i < 384; ++i) t.clamp[k++] = 255;
    for (int i = 0; i < 384; ++i) t.clamp[k++] = 0;
    for (int i = 0; i < 128; ++i) t.clamp[k++] = static_cast<std::uint8_t>(i);
    for (int i = 0; i < 256; ++i) {
        const std::int32_t x = i - 128;
        // Right shifts of negative values are arithmetic (C++20), as the JFIF conversion wants.
        t.crRed[i] = (91881 * x + kHalf) >> 16;    // 1.402
        t.cbBlue[i] = (116130 * x + kHalf) >> 16;  // 1.772
        t.crGreen[i] = -46802 * x;                 // 0.71414
        t.cbGreen[i] = -22554 * x + kHalf;         // 0.34414, carries the rounding
    }
    return t;
}

// ---------------------------------------------------------------------------------------
// Accurate integer inverse DCT (Loeffler-Ligtenberg-Moschytz, 13-bit constants). The first
// pass works down the columns into a workspace scaled by 2^2, the second along the rows.

constexpr int kConstBits = 13;
constexpr int kPass1Bits = 2;
constexpr std::int64_t F0_298 = 2446, F0_390 = 3196, F0_541 = 4433, F0_765 = 6270, F0_899 = 7373, F1_175 = 9633,
                       F1_501 = 12299, F1_847 = 15137, F1_961 = 16069, F2_053 = 16819, F2_562 = 20995, F3_072 = 25172;

inline std::int64_t descale(std::int64_t x, int n) { return (x + (std::int64_t(1) << (n - 1))) >> n; }

}  // namespace

const JpegTables& jpeg_Tables() {
    static const JpegTables t = buildTables();
    return t;
}

namespace {

// One 8-point pass of the transform over dequantised values x[0..7]: the eight outputs in
// order, before descaling. Both passes of the plain version go through it.
inline std::array<std::int64_t, 8> idct8(const std::int64_t (&x)[8]) {
    // Even part.
    std::int64_t z1 = (x[2] + x[6]) * F0_541;
    const std::int64_t e2 = z1 + x[6] * -F1_847;
    const std::int64_t e3 = z1 + x[2] * F0_765;
    const std::int64_t e0 = (x[0] + x[4]) * (1 << kConstBits);
    const std::int64_t e1 = (x[0] - x[4]) * (1 << kConstBits);
    const std::int64_t tmp10 = e0 + e3, tmp13 = e0 - e3;
    const std::int64_t tmp11 = e1 + e2, tmp12 = e1 - e2;

    // Odd part.
    std::int64_t tmp0 = x[7], tmp1 = x[5], tmp2 = x[3], tmp3 = x[1];
    z1 = tmp0 + tmp3;
    std::int64_t z2 = tmp1 + tmp2;
    std::int64_t z3 = tmp0 + tmp2;
    std::int64_t z4 = tmp1 + tmp3;
    const std::int64_t z5 = (z3 + z4) * F1_175;
    tmp0 *= F0_298;
    tmp1 *= F2_053;
    tmp2 *= F3_072;
    tmp3 *= F1_501;
    z1 *= -F0_899;
    z2 *= -F2_562;
    z3 = z3 * -F1_961 + z5;
    z4 = z4 * -F0_390 + z5;
    tmp0 += z1 + z3;
    tmp1 += z2 + z4;
    tmp2 += z2 + z3;
    tmp3 += z1 + z4;

    return {tmp10 + tmp3, tmp11 + tmp2, tmp12 + tmp1, tmp13 + tmp0,
            tmp13 - tmp0, tmp12 - tmp1, tmp11 - tmp2, tmp10 - tmp3};
}

}  // namespace

// 64-bit intermediates, so no input, however wild, overflows: this is the arithmetic every
// other version must reproduce.
void jpeg_IdctPlain(const std::int16_t* coef, const std::uint16_t* quant, std::uint8_t* out, int stride) {
    int ws[64];
    for (int c = 0; c < 8; ++c) {
        const std::int16_t* in = coef + c;
        const std::uint16_t* q = quant + c;
        int* w = ws + c;
        if (in[8] == 0 && in[16] == 0 && in[24] == 0 && in[32] == 0 && in[40] == 0 && in[48] == 0 && in[56] == 0) {
            const int dc = static_cast<int>(std::int64_t(in[0]) * q[0] * (1 << kPass1Bits));
            for (int r = 0; r < 8; ++r) w[r * 8] = dc;
            continue;
        }
        std::int64_t x[8];
        for (int r = 0; r < 8; ++r) x[r] = std::int64_t(in[r * 8]) * q[r * 8];
        const std::array<std::int64_t, 8> y = idct8(x);
        for (int r = 0; r < 8; ++r) w[r * 8] = static_cast<int>(descale(y[r], kConstBits - kPass1Bits));
    }
    // The clamp index: the value plus the level shift of 128, through the wrap-safe tail.
    const std::uint8_t* limit = jpeg_Tables().clamp.data() + 256 + 128;
    constexpr int n2 = kConstBits + kPass1Bits + 3;
    for (int r = 0; r < 8; ++r) {
        const int* w = ws + r * 8;
        std::uint8_t* o = out + r * stride;
        std::int64_t x[8];
        for (int i = 0; i < 8; ++i) x[i] = w[i];
        const std::array<std::int64_t, 8> y = idct8(x);
        for (int i = 0; i < 8; ++i) o[i] = limit[static_cast<int>(descale(y[i], n2)) & 1023];
    }
}

void jpeg_ChromaOffsetsPlain(const std::uint8_t* cb, const std::uint8_t* cr, int n, std::int16_t* red,
                             std::int16_t* green, std::int16_t* blue) {
    const JpegTables& t = jpeg_Tables();
    for (int i = 0; i < n; ++i) {
        red[i] = static_cast<std::int16_t>(t.crRed[cr[i]]);
        green[i] = static_cast<std::int16_t>((t.cbGreen[cb[i]] + t.crGreen[cr[i]]) >> 16);
        blue[i] = static_cast<std::int16_t>(t.cbBlue[cb[i]]);
    }
}

void jpeg_ComposeRowPlain(const std::uint8_t* y, const std::int16_t* red, const std::int16_t* green,
                          const std::int16_t* blue, int shift, std::uint32_t* out, int n) {
    // Offsets lie within -256..383 of the luminance, inside the clamp table's -256..639.
    const std::uint8_t* range = jpeg_Tables().clamp.data() + 256;
    for (int x = 0; x < n; ++x) {
        const int yy = y[x];
        const int o = x >> shift;
        const std::uint32_t r = range[yy + red[o]];
        const std::uint32_t g = range[yy + green[o]];
        const std::uint32_t b = range[yy + blue[o]];
        out[x] = (r << 16) | (g << 8) | b;
    }
}

#if SORTIE_JPEG_VECTOR

namespace {

// A pmaddwd constant: each 32-bit lane multiplies its low 16-bit half by lo and its high half
// by hi and adds the two products.
inline __m128i pair(int lo, int hi) {
    return _mm_set1_epi32(
        static_cast<int>((static_cast<std::uint32_t>(hi) << 16) | (static_cast<std::uint32_t>(lo) & 0xFFFF)));
}

inline void transpose8(__m128i* v) {
    const __m128i a0 = _mm_unpacklo_epi16(v[0], v[1]), a1 = _mm_unpackhi_epi16(v[0], v[1]);
    const __m128i a2 = _mm_unpacklo_epi16(v[2], v[3]), a3 = _mm_unpackhi_epi16(v[2], v[3]);
    const __m128i a4 = _mm_unpacklo_epi16(v[4], v[5]), a5 = _mm_unpackhi_epi16(v[4], v[5]);
    const __m128i a6 = _mm_unpacklo_epi16(v[6], v[7]), a7 = _mm_unpackhi_epi16(v[6], v[7]);
    const __m128i b0 = _mm_unpacklo_epi32(a0, a2), b1 = _mm_unpackhi_epi32(a0, a2);
    const __m128i b2 = _mm_unpacklo_epi32(a1, a3), b3 = _mm_unpackhi_epi32(a1, a3);
    const __m128i b4 = _mm_unpacklo_epi32(a4, a6), b5 = _mm_unpackhi_epi32(a4, a6);
    const __m128i b6 = _mm_unpacklo_epi32(a5, a7), b7 = _mm_unpackhi_epi32(a5, a7);
    v[0] = _mm_unpacklo_epi64(b0, b4);
    v[1] = _mm_unpackhi_epi64(b0, b4);
    v[2] = _mm_unpacklo_epi64(b1, b5);
    v[3] = _mm_unpackhi_epi64(b1, b5);
    v[4] = _mm_unpacklo_epi64(b2, b6);
    v[5] = _mm_unpackhi_epi64(b2, b6);
    v[6] = _mm_unpacklo_epi64(b3, b7);
    v[7] = _mm_unpackhi_epi64(b3, b7);
}

// One 1-D pass over eight lanes at once: v[k] holds input k of each lane, and receives output
// k descaled by Shift and packed to 16 bits with saturation. The products of the plain version
// are regrouped so that each output is two pmaddwd sums per input pair; integer sums do not
// depend on grouping, and with 16-bit inputs every partial sum stays below 61214 * 32768 <
// 2^31, so the 32-bit lanes give exactly the plain version's values.
template <int Shift>
inline void idctPass(__m128i* v) {
    const __m128i round = _mm_set1_epi32(1 << (Shift - 1));
    // Even part: inputs 0, 4 and 2, 6.
    const __m128i e04l = _mm_unpacklo_epi16(v[0], v[4]), e04h = _mm_unpackhi_epi16(v[0], v[4]);
    const __m128i e26l = _mm_unpacklo_epi16(v[2], v[6]), e26h = _mm_unpackhi_epi16(v[2], v[6]);
    const __m128i kSum = pair(8192, 8192), kDiff = pair(8192, -8192);
    const __m128i t0l = _mm_add_epi32(_mm_madd_epi16(e04l, kSum), round);
    const __m128i t0h = _mm_add_epi32(_mm_madd_epi16(e04h, kSum), round);
    const __m128i t1l = _mm_add_epi32(_mm_madd_epi16(e04l, kDiff), round);
    const __m128i t1h = _mm_add_epi32(_mm_madd_epi16(e04h, kDiff), round);
    // tmp3 = (z2 + z3) * 4433 + z2 * 6270, tmp2 = (z2 + z3) * 4433 - z3 * 15137.
    const __m128i k3 = pair(4433 + 6270, 4433), k2 = pair(4433, 4433 - 15137);
    const __m128i t3l = _mm_madd_epi16(e26l, k3), t3h = _mm_madd_epi16(e26h, k3);
    const __m128i t2l = _mm_madd_epi16(e26l, k2), t2h = _mm_madd_epi16(e26h, k2);
    const __m128i t10l = _mm_add_epi32(t0l, t3l), t10h = _mm_add_epi32(t0h, t3h);
    const __m128i t13l = _mm_sub_epi32(t0l, t3l), t13h = _mm_sub_epi32(t0h, t3h);
    const __m128i t11l = _mm_add_epi32(t1l, t2l), t11h = _mm_add_epi32(t1h, t2h);
    const __m128i t12l = _mm_sub_epi32(t1l, t2l), t12h = _mm_sub_epi32(t1h, t2h);

    // Odd part: inputs 7, 1 and 3, 5. With z5 = (all four) * 9633 spread over the terms,
    // each odd output is one fixed combination of the four inputs.
    const __m128i o71l = _mm_unpacklo_epi16(v[7], v[1]), o71h = _mm_unpackhi_epi16(v[7], v[1]);
    const __m128i o35l = _mm_unpacklo_epi16(v[3], v[5]), o35h = _mm_unpackhi_epi16(v[3], v[5]);
    auto odd = [&](int c7, int c1, int c3, int c5, __m128i& lo, __m128i& hi) {
        const __m128i ka = pair(c7, c1), kb = pair(c3, c5);
        lo = _mm_add_epi32(_mm_madd_epi16(o71l, ka), _mm_madd_epi16(o35l, kb));
        hi = _mm_add_epi32(_mm_madd_epi16(o71h, ka), _mm_madd_epi16(o35h, kb));
    };
    __m128i p0l, p0h, p1l, p1h, p2l, p2h, p3l, p3h;
    odd(2446 - 7373 - 16069 + 9633, -7373 + 9633, -16069 + 9633, 9633, p0l, p0h);
    odd(9633, -3196 + 9633, -20995 + 9633, 16819 - 20995 - 3196 + 9633, p1l, p1h);
    odd(-16069 + 9633, 9633, 25172 - 20995 - 16069 + 9633, -20995 + 9633, p2l, p2h);
    odd(-7373 + 9633, 12299 - 7373 - 3196 + 9633, 9633, -3196 + 9633, p3l, p3h);

    auto out = [](__m128i lo, __m128i hi) {
        return _mm_packs_epi32(_mm_srai_epi32(lo, Shift), _mm_srai_epi32(hi, Shift));
    };
    v[0] = out(_mm_add_epi32(t10l, p3l), _mm_add_epi32(t10h, p3h));
    v[7] = out(_mm_sub_epi32(t10l, p3l), _mm_sub_epi32(t10h, p3h));
    v[1] = out(_mm_add_epi32(t11l, p2l), _mm_add_epi32(t11h, p2h));
    v[6] = out(_mm_sub_epi32(t11l, p2l), _mm_sub_epi32(t11h, p2h));
    v[2] = out(_mm_add_epi32(t12l, p1l), _mm_add_epi32(t12h, p1h));
    v[5] = out(_mm_sub_epi32(t12l, p1l), _mm_sub_epi32(t12h, p1h));
    v[3] = out(_mm_add_epi32(t13l, p0l), _mm_add_epi32(t13h, p0h));
    v[4] = out(_mm_sub_epi32(t13l, p0l), _mm_sub_epi32(t13h, p0h));
}

}  // namespace

void jpeg_IdctVector(const std::int16_t* coef, const std::uint16_t* quant, std::uint8_t* out, int stride) {
    __m128i v[8];
    // Dequantise; every product must fit in 16 bits (the high half is the low half's sign).
    __m128i fits = _mm_set1_epi32(-1);
    for (int r = 0; r < 8; ++r) {
        const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(coef + 8 * r));
        const __m128i q = _mm_loadu_si128(reinterpret_cast<const __m128i*>(quant + 8 * r));
        const __m128i lo = _mm_mullo_epi16(c, q);
        fits = _mm_and_si128(fits, _mm_cmpeq_epi16(_mm_mulhi_epi16(c, q), _mm_srai_epi16(lo, 15)));
        v[r] = lo;
    }
    if (_mm_movemask_epi8(fits) != 0xFFFF) {
        jpeg_IdctPlain(coef, quant, out, stride);
        return;
    }
    // Columns: lanes are the eight columns, v[k] is row k.
    idctPass<kConstBits - kPass1Bits>(v);
    // The row pass needs 16-bit inputs: a saturated (or extreme) workspace value goes the
    // plain way instead.
    __m128i lowest = v[0], highest = v[0];
    for (int r = 1; r < 8; ++r) {
        lowest = _mm_min_epi16(lowest, v[r]);
        highest = _mm_max_epi16(highest, v[r]);
    }
    const __m128i extreme =
        _mm_or_si128(_mm_cmpeq_epi16(lowest, _mm_set1_epi16(-32768)), _mm_cmpeq_epi16(highest, _mm_set1_epi16(32767)));
    if (_mm_movemask_epi8(extreme) != 0) {
        jpeg_IdctPlain(coef, quant, out, stride);
        return;
    }
    // Rows: after the transpose the lanes are the eight rows, v[k] is column k. Results stay
    // within +-7653, so the packing does not saturate.
    transpose8(v);
    idctPass<kConstBits + kPass1Bits + 3>(v);
    // The clamp table on (value & 1023) is a 10-bit wrap, the level shift and a clamp to 0..255.
    const __m128i shift = _mm_set1_epi16(128);
    for (int k = 0; k < 8; ++k) v[k] = _mm_add_epi16(_mm_srai_epi16(_mm_slli_epi16(v[k], 6), 6), shift);
    transpose8(v);
    for (int r = 0; r < 8; r += 2) {
        const __m128i bytes = _mm_packus_epi16(v[r], v[r + 1]);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + r * stride), bytes);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + (r + 1) * stride), _mm_srli_si128(bytes, 8));
    }
}

// The table values in closed form, split so every multiplier fits pmaddwd (x = sample - 128):
//   red   (91881 x + 2^15) >> 16 = x + ((26345 x + 2^15) >> 16)
//   blue  (116130 x + 2^15) >> 16 = 2x + ((-14942 x + 2^15) >> 16)
//   green (-22554 cb - 46802 cr + 2^15) >> 16 = -cr + ((-22554 cb + 18734 cr + 2^15) >> 16)
// The whole multiples of 65536 pass through the floor division unchanged.
void jpeg_ChromaOffsetsVector(const std::uint8_t* cb, const std::uint8_t* cr, int n, std::int16_t* red,
                              std::int16_t* green, std::int16_t* blue) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i centre = _mm_set1_epi16(128);
    const __m128i two = _mm_set1_epi16(2);
    const __m128i half = _mm_set1_epi32(kHalf);
    const __m128i kRed = pair(26345, 16384), kBlue = pair(-14942, 16384), kGreen = pair(-22554, 18734);
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m128i b =
            _mm_sub_epi16(_mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(cb + i)), zero), centre);
        const __m128i r =
            _mm_sub_epi16(_mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(cr + i)), zero), centre);
        // (x, 2) pairs carry the rounding 2 * 16384 = 2^15 inside the pmaddwd.
        const __m128i rl = _mm_srai_epi32(_mm_madd_epi16(_mm_unpacklo_epi16(r, two), kRed), 16);
        const __m128i rh = _mm_srai_epi32(_mm_madd_epi16(_mm_unpackhi_epi16(r, two), kRed), 16);
        const __m128i bl = _mm_srai_epi32(_mm_madd_epi16(_mm_unpacklo_epi16(b, two), kBlue), 16);
        const __m128i bh = _mm_srai_epi32(_mm_madd_epi16(_mm_unpackhi_epi16(b, two), kBlue), 16);
        const __m128i gl = _mm_srai_epi32(_mm_add_epi32(_mm_madd_epi16(_mm_unpacklo_epi16(b, r), kGreen), half), 16);
        const __m128i gh = _mm_srai_epi32(_mm_add_epi32(_mm_madd_epi16(_mm_unpackhi_epi16(b, r), kGreen), half), 16);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(red + i), _mm_add_epi16(_mm_packs_epi32(rl, rh), r));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(blue + i),
                         _mm_add_epi16(_mm_packs_epi32(bl, bh), _mm_add_epi16(b, b)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(green + i), _mm_sub_epi16(_mm_packs_epi32(gl, gh), r));
    }
    jpeg_ChromaOffsetsPlain(cb + i, cr + i, n - i, red + i, green + i, blue + i);
}

namespace {

// 16 pixels from 16 luminance samples (two halves of 8 as 16-bit values) and their offsets.
inline void composeSixteen(__m128i yl, __m128i yh, __m128i rl, __m128i rh, __m128i gl, __m128i gh, __m128i bl,
                           __m128i bh, std::uint32_t* out) {
    // Luminance plus offset lies within -256..638: packus is the clamp to 0..255.
    const __m128i r = _mm_packus_epi16(_mm_add_epi16(yl, rl), _mm_add_epi16(yh, rh));
    const __m128i g = _mm_packus_epi16(_mm_add_epi16(yl, gl), _mm_add_epi16(yh, gh));
    const __m128i b = _mm_packus_epi16(_mm_add_epi16(yl, bl), _mm_add_epi16(yh, bh));
    const __m128i zero = _mm_setzero_si128();
    const __m128i bgLo = _mm_unpacklo_epi8(b, g), bgHi = _mm_unpackhi_epi8(b, g);
    const __m128i r0Lo = _mm_unpacklo_epi8(r, zero), r0Hi = _mm_unpackhi_epi8(r, zero);
    __m128i* o = reinterpret_cast<__m128i*>(out);
    _mm_storeu_si128(o + 0, _mm_unpacklo_epi16(bgLo, r0Lo));
    _mm_storeu_si128(o + 1, _mm_unpackhi_epi16(bgLo, r0Lo));
    _mm_storeu_si128(o + 2, _mm_unpacklo_epi16(bgHi, r0Hi));
    _mm_storeu_si128(o + 3, _mm_unpackhi_epi16(bgHi, r0Hi));
}

inline __m128i load8x16(const std::int16_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }

}  // namespace

void jpeg_ComposeRowVector(const std::uint8_t* y, const std::int16_t* red, const std::int16_t* green,
                           const std::int16_t* blue, int shift, std::uint32_t* out, int n) {
    const __m128i zero = _mm_setzero_si128();
    int x = 0;
    if (shift == 0) {
        for (; x + 16 <= n; x += 16) {
            const __m128i yv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(y + x));
            composeSixteen(_mm_unpacklo_epi8(yv, zero), _mm_unpackhi_epi8(yv, zero), load8x16(red + x),
                           load8x16(red + x + 8), load8x16(green + x), load8x16(green + x + 8), load8x16(blue + x),
                           load8x16(blue + x + 8), out + x);
        }
    } else if (shift == 1) {
        for (; x + 16 <= n; x += 16) {
            const __m128i yv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(y + x));
            const __m128i r = load8x16(red + x / 2), g = load8x16(green + x / 2), b = load8x16(blue + x / 2);
            composeSixteen(_mm_unpacklo_epi8(yv, zero), _mm_unpackhi_epi8(yv, zero), _mm_unpacklo_epi16(r, r),
                           _mm_unpackhi_epi16(r, r), _mm_unpacklo_epi16(g, g), _mm_unpackhi_epi16(g, g),
                           _mm_unpacklo_epi16(b, b), _mm_unpackhi_epi16(b, b), out + x);
        }
    } else if (shift == 2) {
        // Four offsets for sixteen pixels, each taken four times.
        const auto four = [](const std::int16_t* p, __m128i& lo, __m128i& hi) {
            const __m128i pairs = _mm_unpacklo_epi16(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)),
                                                     _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)));
            lo = _mm_unpacklo_epi32(pairs, pairs);
            hi = _mm_unpackhi_epi32(pairs, pairs);
        };
        for (; x + 16 <= n; x += 16) {
            const __m128i yv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(y + x));
            __m128i rl, rh, gl, gh, bl, bh;
            four(red + x / 4, rl, rh);
            four(green + x / 4, gl, gh);
            four(blue + x / 4, bl, bh);
            composeSixteen(_mm_unpacklo_epi8(yv, zero), _mm_unpackhi_epi8(yv, zero), rl, rh, gl, gh, bl, bh, out + x);
        }
    }
    // The rest (and other ratios) pixel by pixel; x is a multiple of 16, so x >> shift lines up.
    jpeg_ComposeRowPlain(y + x, red + (x >> shift), green + (x >> shift), blue + (x >> shift), shift, out + x, n - x);
}

#endif

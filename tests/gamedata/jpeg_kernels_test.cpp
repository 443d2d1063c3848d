// The vector IDCT and colour conversion of the colour-map decoder against the plain versions:
// the decoder's output may not depend on which one the build uses.
#include "gamedata/jpeg_kernels.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <random>
#include <vector>

namespace {

#if SORTIE_JPEG_VECTOR

// Runs both IDCTs into 8 x 8 areas inside wider rows and compares everything, including the
// bytes around the block that neither may touch.
void expectSameIdct(const std::array<std::int16_t, 64>& coef, const std::array<std::uint16_t, 64>& quant,
                    const char* what, int index) {
    constexpr int kStride = 24;
    std::vector<std::uint8_t> plain(kStride * 8, 0xA5), vec(kStride * 8, 0xA5);
    jpeg_IdctPlain(coef.data(), quant.data(), plain.data() + 4, kStride);
    jpeg_IdctVector(coef.data(), quant.data(), vec.data() + 4, kStride);
    for (int i = 0; i < kStride * 8; ++i)
        ASSERT_EQ(vec[i], plain[i]) << what << " block " << index << ", row " << i / kStride << " column "
                                    << i % kStride - 4;
}

TEST(JpegKernels, VectorIdctGivesThePlainBytesForEveryKindOfBlock) {
    std::mt19937 rng(7);
    std::array<std::int16_t, 64> coef{};
    std::array<std::uint16_t, 64> quant{};
    auto randomQuant = [&](int maxQ) {
        for (auto& q : quant) q = static_cast<std::uint16_t>(1 + rng() % maxQ);
    };
    // Blocks as pictures give them: dequantised DC within +-1024, a few AC terms within +-300.
    auto term = [&](int range, int q) {
        return static_cast<std::int16_t>((static_cast<int>(rng() % (2u * range + 1)) - range) / q);
    };
    for (int i = 0; i < 4000; ++i) {
        randomQuant(i % 2 ? 16 : 120);
        coef.fill(0);
        coef[0] = term(1024, quant[0]);
        const int terms = 1 + static_cast<int>(rng() % 20);
        for (int t = 0; t < terms; ++t) {
            const int k = 1 + static_cast<int>(rng() % 63);
            coef[k] = term(300, quant[k]);
        }
        expectSameIdct(coef, quant, "picture", i);
    }
    // Dense blocks at every magnitude up to the full 16-bit range, with tables up to 32767:
    // these reach the saturating and overflowing cases, which must fall back exactly.
    for (int i = 0; i < 6000; ++i) {
        const int bits = 1 + i % 16;
        randomQuant(i % 3 == 0 ? 1 : i % 3 == 1 ? 255 : 32767);
        for (auto& c : coef) c = static_cast<std::int16_t>(static_cast<int>(rng() % (2u << bits)) - (1 << bits));
        expectSameIdct(coef, quant, "dense", i);
    }
    // A lone term whose dequantised value leaves 16 bits (and might wrap to a small one).
    for (int i = 0; i < 2000; ++i) {
        coef.fill(0);
        randomQuant(255);
        const int k = i % 64;
        quant[k] = static_cast<std::uint16_t>(1 + rng() % 32767);
        const int least = 32768 / quant[k] + 1;
        coef[k] = static_cast<std::int16_t>((least + static_cast<int>(rng() % 512)) * (i % 2 ? 1 : -1));
        if (coef[k] == 0) coef[k] = 1;
        expectSameIdct(coef, quant, "lone", i);
    }
    // Extremes: every coefficient at one end of the range, signs alternating by pattern.
    for (int pattern = 0; pattern < 64; ++pattern) {
        quant.fill(pattern % 2 ? 1 : 32767);
        for (int k = 0; k < 64; ++k)
            coef[k] = ((k * 7 + pattern) >> (pattern % 5)) & 1 ? std::int16_t(-32768) : std::int16_t(32767);
        expectSameIdct(coef, quant, "extreme", pattern);
        // Values that just fit 16 bits after dequantisation.
        quant.fill(2);
        for (int k = 0; k < 64; ++k) coef[k] = (k + pattern) % 3 ? std::int16_t(16383) : std::int16_t(-16384);
        expectSameIdct(coef, quant, "edge", pattern);
    }
}

TEST(JpegKernels, VectorChromaOffsetsMatchTheTablesForEveryPair) {
    // All 65536 (Cb, Cr) pairs in rows of 256, plus a length that leaves a tail.
    std::vector<std::uint8_t> cb(256), cr(256);
    std::vector<std::int16_t> plain(3 * 256), vec(3 * 256);
    for (int c = 0; c < 256; ++c) {
        for (int i = 0; i < 256; ++i) {
            cb[i] = static_cast<std::uint8_t>(i);
            cr[i] = static_cast<std::uint8_t>(c);
        }
        if (c % 2) std::swap(cb, cr);
        const int n = c == 255 ? 251 : 256;
        jpeg_ChromaOffsetsPlain(cb.data(), cr.data(), n, plain.data(), plain.data() + 256, plain.data() + 512);
        jpeg_ChromaOffsetsVector(cb.data(), cr.data(), n, vec.data(), vec.data() + 256, vec.data() + 512);
        for (int i = 0; i < n; ++i)
            for (int ch = 0; ch < 3; ++ch)
                ASSERT_EQ(vec[ch * 256 + i], plain[ch * 256 + i])
                    << "cb " << int(cb[i]) << " cr " << int(cr[i]) << " channel " << ch;
    }
    // The offsets are the tables' values: spot checks of the neutral and the extreme chroma.
    const std::uint8_t ends[] = {0, 128, 255};
    std::int16_t r[3], g[3], b[3];
    jpeg_ChromaOffsetsPlain(ends, ends, 3, r, g, b);
    EXPECT_EQ(r[1], 0);
    EXPECT_EQ(g[1], 0);
    EXPECT_EQ(b[1], 0);
    EXPECT_EQ(r[0], -179);  // 1.402 * -128
    EXPECT_EQ(b[2], 225);   // 1.772 * 127
}

TEST(JpegKernels, VectorRowsMatchPlainForEveryLuminanceRatioAndLength) {
    std::mt19937 rng(3);
    // Offsets at the extremes the tables produce, so the clamp is exercised at both ends.
    std::vector<std::int16_t> red(64), green(64), blue(64);
    std::vector<std::uint8_t> y(64);
    for (int round = 0; round < 300; ++round) {
        for (int i = 0; i < 64; ++i) {
            red[i] = static_cast<std::int16_t>(static_cast<int>(rng() % 359) - 179);
            green[i] = static_cast<std::int16_t>(static_cast<int>(rng() % 271) - 135);
            blue[i] = static_cast<std::int16_t>(static_cast<int>(rng() % 452) - 227);
            y[i] = static_cast<std::uint8_t>(round < 256 ? (round + i) & 255 : rng());
        }
        for (int shift = 0; shift <= 2; ++shift)
            for (int n : {0, 1, 15, 16, 17, 33, 48, 64}) {
                std::vector<std::uint32_t> plain(n + 4, 0xDEADBEEF), vec(n + 4, 0xDEADBEEF);
                jpeg_ComposeRowPlain(y.data(), red.data(), green.data(), blue.data(), shift, plain.data(), n);
                jpeg_ComposeRowVector(y.data(), red.data(), green.data(), blue.data(), shift, vec.data(), n);
                ASSERT_EQ(vec, plain) << "round " << round << " shift " << shift << " length " << n;
            }
    }
}

#endif  // SORTIE_JPEG_VECTOR

TEST(JpegKernels, PlainRowClampsEachChannelAndPacksRedGreenBlue) {
    const std::uint8_t y[] = {0, 255, 100, 100};
    const std::int16_t red[] = {-179, 178, 10, 0};
    const std::int16_t green[] = {-135, 135, -20, 0};
    const std::int16_t blue[] = {-227, 225, 30, 0};
    std::uint32_t out[4] = {};
    jpeg_ComposeRowPlain(y, red, green, blue, 0, out, 4);
    EXPECT_EQ(out[0], 0x000000u);
    EXPECT_EQ(out[1], 0xFFFFFFu);
    EXPECT_EQ(out[2], 0x6E5082u);  // 110, 80, 130
    std::uint32_t halves[4] = {};
    jpeg_ComposeRowPlain(y, red + 2, green + 2, blue + 2, 1, halves, 4);
    EXPECT_EQ(halves[0], 0x0A001Eu);
    EXPECT_EQ(halves[1], 0xFFEBFFu) << "pixels 0 and 1 share the first offsets";
    EXPECT_EQ(halves[2], 0x646464u);
    EXPECT_EQ(halves[3], 0x646464u);
}

}  // namespace

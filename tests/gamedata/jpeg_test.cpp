// The colour-map decoder against libjpeg (accurate integer IDCT, no fancy upsampling), and its
// refusals of everything that is not a baseline JFIF colour picture.
#include "gamedata/jpeg.h"

#include "support/jpeg_reference.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

namespace {

#ifdef SORTIE_HAVE_LIBJPEG

struct Decoded {
    int ok = 0;
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels;
};

Decoded decodeAllocated(const std::vector<std::uint8_t>& file) {
    Decoded d;
    std::uint32_t* p = nullptr;
    d.ok = jpeg_Decode(file.data(), file.size(), &d.width, &d.height, &p, true);
    if (p) {
        d.pixels.assign(p, p + static_cast<std::size_t>(d.width) * d.height);
        jpeg_FreePixels(p);
    }
    return d;
}

std::vector<std::uint8_t> makeFile(const JpegEncodeOptions& o, unsigned seed = 1) {
    return jpegref_Encode(jpegref_TestPicture(o.width, o.height, seed), o);
}

// First differing pixel, for a readable failure.
std::string firstDifference(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b, int width) {
    if (a.size() != b.size()) return "sizes differ";
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i]) {
            char buf[96];
            std::snprintf(buf, sizeof buf, "pixel (%d,%d): ours %06X, reference %06X", int(i % width), int(i / width),
                          a[i], b[i]);
            return buf;
        }
    return "";
}

struct Layout {
    const char* name;
    int h, v;
};
constexpr Layout kLayouts[] = {{"4:4:4", 1, 1}, {"4:2:2", 2, 1}, {"4:2:0", 2, 2}, {"4:4:0", 1, 2}};

TEST(JpegDecode, MatchesReferenceForEverySamplingSizeAndCoding) {
    const int sizes[][2] = {{64, 64}, {37, 23}, {17, 33}, {1, 1}, {130, 9}, {8, 200}};
    for (const Layout& layout : kLayouts)
        for (const auto& size : sizes)
            for (int restart : {0, 3})
                for (bool optimize : {false, true}) {
                    JpegEncodeOptions o;
                    o.width = size[0];
                    o.height = size[1];
                    o.hSampY = layout.h;
                    o.vSampY = layout.v;
                    o.restartInterval = restart;
                    o.optimize = optimize;
                    o.quality = restart ? 95 : 75;
                    const auto file = makeFile(o, static_cast<unsigned>(size[0] * 31 + size[1]));
                    ASSERT_FALSE(file.empty());
                    int rw = 0, rh = 0;
                    const auto want = jpegref_Decode(file, &rw, &rh);
                    ASSERT_FALSE(want.empty());
                    const Decoded got = decodeAllocated(file);
                    SCOPED_TRACE(std::string(layout.name) + " " + std::to_string(o.width) + "x" +
                                 std::to_string(o.height) + " restart " + std::to_string(restart) +
                                 (optimize ? " optimised" : ""));
                    ASSERT_EQ(got.ok, 1);
                    EXPECT_EQ(got.width, rw);
                    EXPECT_EQ(got.height, rh);
                    EXPECT_EQ(firstDifference(got.pixels, want, rw), "");
                }
}

TEST(JpegDecode, UnusualSamplingsMatchReference) {
    // Ratios other than 1 and 2, chroma finer than luminance, Cb and Cr sampled differently:
    // every component is replicated over its own ratio.
    struct Sampling {
        int y[2], cb[2], cr[2];
    };
    const Sampling samplings[] = {{{4, 1}, {1, 1}, {1, 1}}, {{3, 1}, {1, 1}, {1, 1}}, {{1, 4}, {1, 2}, {1, 1}},
                                  {{3, 2}, {1, 1}, {1, 2}}, {{1, 1}, {2, 2}, {1, 1}}, {{2, 2}, {2, 1}, {1, 2}},
                                  {{4, 2}, {1, 1}, {1, 1}}, {{2, 1}, {1, 1}, {2, 1}}};
    for (const Sampling& s : samplings)
        for (const auto& size : {std::array<int, 2>{77, 45}, std::array<int, 2>{16, 16}, std::array<int, 2>{5, 70}}) {
            JpegEncodeOptions o;
            o.width = size[0];
            o.height = size[1];
            o.hSampY = s.y[0];
            o.vSampY = s.y[1];
            o.hSampCb = s.cb[0];
            o.vSampCb = s.cb[1];
            o.hSampCr = s.cr[0];
            o.vSampCr = s.cr[1];
            o.restartInterval = size[0] == 16 ? 2 : 0;
            const auto file = makeFile(o, static_cast<unsigned>(size[0] + size[1]));
            SCOPED_TRACE(std::to_string(s.y[0]) + "x" + std::to_string(s.y[1]) + " " + std::to_string(s.cb[0]) + "x" +
                         std::to_string(s.cb[1]) + " " + std::to_string(s.cr[0]) + "x" + std::to_string(s.cr[1]) + " " +
                         std::to_string(o.width) + "x" + std::to_string(o.height));
            ASSERT_FALSE(file.empty());
            int rw = 0, rh = 0;
            const auto want = jpegref_Decode(file, &rw, &rh);
            ASSERT_FALSE(want.empty());
            const Decoded got = decodeAllocated(file);
            ASSERT_EQ(got.ok, 1);
            EXPECT_EQ(firstDifference(got.pixels, want, rw), "");
        }
}

TEST(JpegDecode, ExtremeQualitiesMatchReference) {
    // Quality 100 drives coefficients and the clamp table to their limits; quality 5 leaves
    // mostly DC-only blocks.
    for (int quality : {100, 5}) {
        JpegEncodeOptions o;
        o.width = 48;
        o.height = 40;
        o.quality = quality;
        const auto file = makeFile(o, 7);
        int rw = 0, rh = 0;
        const auto want = jpegref_Decode(file, &rw, &rh);
        const Decoded got = decodeAllocated(file);
        ASSERT_EQ(got.ok, 1) << quality;
        EXPECT_EQ(firstDifference(got.pixels, want, rw), "") << quality;
    }
}

TEST(JpegDecode, CallerAreaOfTheRightSizeIsFilledAndOtherSizesRefused) {
    JpegEncodeOptions o;
    o.width = 32;
    o.height = 16;
    const auto file = makeFile(o);
    int rw = 0, rh = 0;
    const auto want = jpegref_Decode(file, &rw, &rh);

    std::vector<std::uint32_t> area(32 * 16 + 1, 0xDEADBEEF);
    std::uint32_t* p = area.data();
    int w = 32, h = 16;
    ASSERT_EQ(jpeg_Decode(file.data(), file.size(), &w, &h, &p, false), 1);
    EXPECT_EQ(p, area.data());
    EXPECT_EQ(area.back(), 0xDEADBEEFu) << "wrote past the caller's area";
    area.pop_back();
    EXPECT_EQ(firstDifference(area, want, 32), "");

    std::vector<std::uint32_t> small(16 * 16, 0);
    p = small.data();
    w = 16;
    h = 16;
    EXPECT_EQ(jpeg_Decode(file.data(), file.size(), &w, &h, &p, false), 0);
    EXPECT_EQ(p, small.data()) << "the caller's area is never replaced";
}

TEST(JpegDecode, RestartMarkersDecodeTheSamePictureAsWithout) {
    JpegEncodeOptions o;
    o.width = 96;
    o.height = 48;
    const Decoded plain = decodeAllocated(makeFile(o));
    o.restartInterval = 1;
    const auto withRestarts = makeFile(o);
    const Decoded restarted = decodeAllocated(withRestarts);
    ASSERT_EQ(plain.ok, 1);
    ASSERT_EQ(restarted.ok, 1);
    EXPECT_EQ(plain.pixels, restarted.pixels);
    // The file really holds RST markers.
    bool hasRst = false;
    for (std::size_t i = 0; i + 1 < withRestarts.size(); ++i)
        if (withRestarts[i] == 0xFF && withRestarts[i + 1] >= 0xD0 && withRestarts[i + 1] <= 0xD7) hasRst = true;
    EXPECT_TRUE(hasRst);
}

TEST(JpegReadSize, GivesTheBaselineFrameSizeAndRefusesOtherFiles) {
    JpegEncodeOptions o;
    o.width = 300;
    o.height = 17;
    auto file = makeFile(o);
    int w = 0, h = 0;
    EXPECT_EQ(jpeg_ReadSize(file.data(), file.size(), &w, &h), 1);
    EXPECT_EQ(w, 300);
    EXPECT_EQ(h, 17);

    JpegEncodeOptions prog = o;
    prog.progressive = true;
    const auto progressive = makeFile(prog);
    EXPECT_EQ(jpeg_ReadSize(progressive.data(), progressive.size(), &w, &h), 0);
    EXPECT_EQ(decodeAllocated(progressive).ok, 0);

    JpegEncodeOptions noJfif = o;
    noJfif.jfif = false;
    const auto bare = makeFile(noJfif);
    EXPECT_EQ(jpeg_ReadSize(bare.data(), bare.size(), &w, &h), 0);
    EXPECT_EQ(decodeAllocated(bare).ok, 0);

    JpegEncodeOptions grey = o;
    grey.greyscale = true;
    const auto greyFile = makeFile(grey);
    EXPECT_EQ(decodeAllocated(greyFile).ok, 0);

    EXPECT_EQ(jpeg_ReadSize(file.data(), 20, &w, &h), 0) << "data ends before the frame header";
    EXPECT_EQ(jpeg_ReadSize(nullptr, 0, &w, &h), 0);
}

TEST(JpegDecode, TruncatedAndDamagedFilesAreRefusedWithoutStrayAccess) {
    JpegEncodeOptions o;
    o.width = 40;
    o.height = 24;
    o.restartInterval = 2;
    const auto file = makeFile(o);
    // Every proper prefix lacks the end-of-image marker.
    for (std::size_t n = 0; n + 1 < file.size(); n += (n < 700 ? 1 : 13)) {
        std::vector<std::uint8_t> cut(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(n));
        EXPECT_EQ(decodeAllocated(cut).ok, 0) << "prefix of " << n << " bytes";
    }
    // Damaged bytes anywhere may decode or not, but must stay within the buffers (checked by the
    // sanitizer builds) and keep the caller's area intact beyond its end.
    for (std::size_t i = 2; i < file.size(); i += 3) {
        auto bad = file;
        bad[i] ^= static_cast<std::uint8_t>(0x55 + i);
        std::vector<std::uint32_t> area(40 * 24 + 4, 0xA5A5A5A5);
        std::uint32_t* p = area.data();
        int w = 40, h = 24;
        (void)jpeg_Decode(bad.data(), bad.size(), &w, &h, &p, false);
        for (int k = 0; k < 4; ++k) ASSERT_EQ(area[40 * 24 + k], 0xA5A5A5A5u) << "byte " << i;
    }
}

TEST(JpegDecode, SegmentLengthsBeyondTheBufferAreRefused) {
    JpegEncodeOptions o;
    o.width = 16;
    o.height = 16;
    const auto file = makeFile(o);
    // Find the DQT segment and let its length claim more than the file holds.
    for (std::size_t i = 0; i + 3 < file.size(); ++i)
        if (file[i] == 0xFF && file[i + 1] == 0xDB) {
            auto bad = file;
            bad[i + 2] = 0xFF;
            bad[i + 3] = 0xFF;
            EXPECT_EQ(decodeAllocated(bad).ok, 0);
            bad[i + 2] = 0;
            bad[i + 3] = 1;  // shorter than the length field itself
            EXPECT_EQ(decodeAllocated(bad).ok, 0);
            return;
        }
    FAIL() << "no DQT segment";
}

TEST(JpegDecode, OversizedFramesAreRefusedInAllocateMode) {
    JpegEncodeOptions o;
    o.width = 16;
    o.height = 16;
    auto file = makeFile(o);
    for (std::size_t i = 0; i + 9 < file.size(); ++i)
        if (file[i] == 0xFF && file[i + 1] == 0xC0) {
            // Height and width 65535: far beyond the cap; no allocation is attempted.
            file[i + 5] = file[i + 6] = file[i + 7] = file[i + 8] = 0xFF;
            std::uint32_t* p = reinterpret_cast<std::uint32_t*>(&file);  // must be reset
            int w = 0, h = 0;
            EXPECT_EQ(jpeg_Decode(file.data(), file.size(), &w, &h, &p, true), 0);
            EXPECT_EQ(p, nullptr);
            return;
        }
    FAIL() << "no frame header";
}

#endif  // SORTIE_HAVE_LIBJPEG

TEST(JpegDecode, RefusesDataThatIsNoJpegAtAll) {
    const std::uint8_t junk[] = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F',  0,
                                 1,    1,    0,    0,    1,    0,    1,   0,   0,   0xFF, 0xD9};
    int w = 0, h = 0;
    std::uint32_t* p = nullptr;
    EXPECT_EQ(jpeg_ReadSize(junk, sizeof junk, &w, &h), 0);
    EXPECT_EQ(jpeg_Decode(junk, sizeof junk, &w, &h, &p, true), 0) << "end of image without a picture";
    EXPECT_EQ(p, nullptr);
    EXPECT_EQ(jpeg_Decode(junk, 0, &w, &h, &p, true), 0);
}

}  // namespace

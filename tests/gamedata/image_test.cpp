// The map image readers: files written by ImageMagick read back to the pixels it was given,
// our own writers round-trip, and short or lying files are refused without stray access.
#include "gamedata/image.h"

#include "core/file.h"
#include "core/mem.h"
#include "core/reset.h"
#include "gamedata/path.h"
#include "gamedata/reset.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes readData(const std::string& name) {
    std::ifstream f(std::string(SORTIE_TEST_DATA_DIR) + "/images/" + name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

// The 5 x 3 picture of the ImageMagick files, 0x00RRGGBB, top row first.
constexpr std::uint32_t kSmall[15] = {
    0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x000000,  //
    0x0A141E, 0x28323C, 0x46505A, 0x646E78, 0x828C96,  //
    0xC86432, 0x3C1E78, 0xFAF0E6, 0x808080, 0x074DB1,
};
// Its greyscale version as ImageMagick computed it.
constexpr std::uint8_t kSmallGrey[15] = {0x36, 0xb6, 0x12, 0xff, 0x00, 0x13, 0x31, 0x4f,
                                         0x6d, 0x8b, 0x76, 0x2b, 0xf1, 0x80, 0x45};

// The 70 x 40 picture of big.pcx and big_rle.tga: whole rows of one colour every fifth row.
std::uint32_t bigPixel(int x, int y) {
    const int c = (y % 5 == 0) ? (y * 11) % 251 : ((x / 3) * 7 + y * 13) % 251;
    return (std::uint32_t(c) << 16) | (std::uint32_t((255 - c) % 256) << 8) | std::uint32_t((c * 37) & 255);
}

class ImageTest : public ::testing::Test {
protected:
    void SetUp() override {
        gamedata_ResetLayer();
        core_ResetLayer();
        ASSERT_EQ(mem_Startup(), 0);
    }
    void TearDown() override {
        img_Release(image);
        gamedata_ResetLayer();
        core_ResetLayer();
    }
    std::vector<std::uint32_t> pixels() const {
        return std::vector<std::uint32_t>(image.pixels32(), image.pixels32() + image.pixelCount);
    }
    ImageRecord image;
};

TEST_F(ImageTest, ImageMagickTgaFilesReadBackTopDown) {
    const std::vector<std::uint32_t> want(std::begin(kSmall), std::end(kSmall));
    for (const char* name : {"t24.tga", "t24rle.tga", "tpal.tga"}) {
        const Bytes file = readData(name);
        ASSERT_EQ(img_DecodeTga(image, file.data(), file.size(), name), kImgDone) << name;
        EXPECT_EQ(image.width, 5);
        EXPECT_EQ(image.height, 3);
        EXPECT_EQ(pixels(), want) << name;
    }
    Bytes file = readData("t32.tga");
    ASSERT_EQ(img_DecodeTga(image, file.data(), file.size(), "t32.tga"), kImgDone);
    for (int i = 0; i < 15; ++i) EXPECT_EQ(image.pixels32()[i], kSmall[i] | 0x80000000u) << i;

    file = readData("tgrey.tga");
    ASSERT_EQ(img_DecodeTga(image, file.data(), file.size(), "tgrey.tga"), kImgDone);
    for (int i = 0; i < 15; ++i) EXPECT_EQ(image.pixels32()[i], kSmallGrey[i] * 0x010101u) << i;

    file = readData("big_rle.tga");
    ASSERT_EQ(img_DecodeTga(image, file.data(), file.size(), "big_rle.tga"), kImgDone);
    ASSERT_EQ(image.pixelCount, 70 * 40);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 70; ++x) ASSERT_EQ(image.pixels32()[y * 70 + x], bigPixel(x, y)) << x << "," << y;
}

TEST_F(ImageTest, ImageMagickPcxFilesGiveIndicesPaletteAndGreen) {
    for (const char* name : {"p8.pcx", "big.pcx"}) {
        const bool big = std::string(name) == "big.pcx";
        const int w = big ? 70 : 5, h = big ? 40 : 3;
        const Bytes file = readData(name);
        ASSERT_EQ(img_DecodePcxIndexed(image, file.data(), file.size(), name), kImgDone) << name;
        ASSERT_EQ(image.width, w);
        ASSERT_EQ(image.height, h);
        const std::uint8_t* idx = image.indices();
        const std::uint32_t* pal = image.palette();
        bool zero = false;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const std::uint32_t want = big ? bigPixel(x, y) : kSmall[y * 5 + x];
                ASSERT_EQ(pal[idx[y * w + x]], want) << name << " " << x << "," << y;
                zero = zero || idx[y * w + x] == 0;
            }
        EXPECT_EQ((image.flags & kImgFlagHasIndexZero) != 0, zero);

        ASSERT_EQ(img_DecodePcxGreen(image, file.data(), file.size(), name), kImgDone);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const std::uint32_t want = big ? bigPixel(x, y) : kSmall[y * 5 + x];
                ASSERT_EQ(image.pixels32()[y * w + x], want & 0x00FF00u) << name << " " << x << "," << y;
            }
    }
}

TEST_F(ImageTest, RecordCarriesNameExponentsMasksAndFlags) {
    std::vector<std::uint32_t> px(64 * 16, 0x123456);
    Bytes file = img_EncodeTga(64, 16, px.data(), 24);
    ASSERT_EQ(img_DecodeTga(image, file.data(), file.size(), "C:\\maps\\alpsColour.tga"), kImgDone);
    EXPECT_STREQ(image.name, "alpsColo");
    EXPECT_EQ(image.widthBits, 6);
    EXPECT_EQ(image.heightBits, 4);
    EXPECT_EQ(image.widthMask, 63u);
    EXPECT_EQ(image.heightMask, 15u);
    EXPECT_EQ(image.flags, kImgFlagPowerOfTwo);

    file = img_EncodeTga(5, 16, px.data(), 24);
    ASSERT_EQ(img_DecodeTga(image, file.data(), file.size(), "x"), kImgDone);
    EXPECT_EQ(image.flags & kImgFlagPowerOfTwo, 0u);
    EXPECT_EQ(image.widthBits, 3);
}

TEST_F(ImageTest, WritersRoundTrip) {
    // TGA, with and without alpha.
    std::vector<std::uint32_t> px(7 * 5);
    for (std::size_t i = 0; i < px.size(); ++i)
        px[i] = 0x01000000u * std::uint32_t(i * 7) + std::uint32_t(i * 0x030507);
    Bytes file = img_EncodeTga(7, 5, px.data(), 32);
    ASSERT_EQ(img_DecodeTga(image, file.data(), file.size(), "a"), kImgDone);
    EXPECT_EQ(pixels(), px);
    file = img_EncodeTga(7, 5, px.data(), 24);
    ASSERT_EQ(img_DecodeTga(image, file.data(), file.size(), "a"), kImgDone);
    for (std::size_t i = 0; i < px.size(); ++i) EXPECT_EQ(image.pixels32()[i], px[i] & 0xFFFFFF);

    // PCX with runs longer than 63, values of 192 and more, and an odd width.
    const int w = 131, h = 9;
    std::vector<std::uint8_t> idx(w * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) idx[y * w + x] = std::uint8_t(y % 3 == 0 ? 200 + y : (x * 13 + y) & 255);
    std::uint8_t palette[768];
    for (int i = 0; i < 768; ++i) palette[i] = std::uint8_t(i * 5);
    file = img_EncodePcx8(w, h, idx.data(), palette);
    ASSERT_EQ(img_DecodePcxIndexed(image, file.data(), file.size(), "d"), kImgDone);
    EXPECT_EQ(std::vector<std::uint8_t>(image.indices(), image.indices() + w * h), idx);
    EXPECT_EQ(image.palette()[1], (std::uint32_t(palette[3]) << 16) | (std::uint32_t(palette[4]) << 8) | palette[5]);

    // R16: the high byte of each height in green.
    std::vector<std::uint16_t> heights = {0, 255, 256, 0x1234, 0xFFFF, 0x8000};
    file = img_EncodeR16(3, 2, heights.data());
    ASSERT_EQ(img_DecodeR16(image, file.data(), file.size(), "e"), kImgDone);
    const std::vector<std::uint32_t> green = {0, 0, 0x100, 0x1200, 0xFF00, 0x8000};
    EXPECT_EQ(pixels(), green);
}

TEST_F(ImageTest, R16ColourBandsFollowTheBandTable) {
    // (height, colour): the first and last value of some bands, V = offset in band + 64.
    const std::pair<std::uint16_t, std::uint32_t> cases[] = {
        {0, 0x000040},               // E 0: blue V
        {191 * 32, 0x0000FF},        // E 191: V 255
        {192 * 32, 0x002040},        // E 192: blue V, green V/2
        {576 * 32, 0x004020},        // E 576: blue V/2, green V
        {768 * 32, 0x004000},        // green only
        {1536 * 32, 0x400000},       // red only
        {1728 * 32 + 31, 0x400020},  // red V, blue V/2
        {65535, 0xBF00BF},           // E 2047: V 191 in the last, short band
    };
    for (const auto& [h, colour] : cases) EXPECT_EQ(img_R16Band(h), colour) << h;

    img_Settings().r16ColourBands = true;
    const std::uint16_t heights[2] = {0, 65535};
    const Bytes file = img_EncodeR16(2, 1, heights);
    ASSERT_EQ(img_DecodeR16(image, file.data(), file.size(), "e"), kImgDone);
    EXPECT_EQ(image.pixels32()[0], 0x000040u);
    EXPECT_EQ(image.pixels32()[1], 0xBF00BFu);
}

TEST_F(ImageTest, WrongKindsAreRefused) {
    Bytes pcx = readData("p8.pcx");
    pcx[3] = 4;  // 4 bits per pixel
    EXPECT_EQ(img_DecodePcxIndexed(image, pcx.data(), pcx.size(), "p"), kImgWrongFormat);
    EXPECT_EQ(img_DecodePcxGreen(image, pcx.data(), pcx.size(), "p"), kImgWrongFormat);
    EXPECT_EQ(image.pixels, nullptr);

    const std::uint16_t heights[4] = {1, 2, 3, 4};
    Bytes r16 = img_EncodeR16(2, 2, heights);
    r16[3] = 'b';
    EXPECT_EQ(img_DecodeR16(image, r16.data(), r16.size(), "r"), kImgWrongFormat);

    // Run-length colour-mapped and grey TGAs are read as black, as are unknown depths.
    std::vector<std::uint32_t> px(4, 0xFFFFFF);
    for (int type : {9, 11}) {
        Bytes tga = img_EncodeTga(2, 2, px.data(), 24);
        tga[2] = std::uint8_t(type);
        ASSERT_EQ(img_DecodeTga(image, tga.data(), tga.size(), "t"), kImgDone) << type;
        EXPECT_EQ(pixels(), std::vector<std::uint32_t>(4, 0)) << type;
    }
}

TEST_F(ImageTest, ShortAndLyingFilesGiveWrongFormat) {
    // Every proper prefix of every reference file is refused (and the sanitizer builds see no
    // access outside the buffer; each prefix gets a buffer of its own size).
    const std::pair<const char*, int (*)(ImageRecord&, const std::uint8_t*, std::size_t, const char*)> files[] = {
        {"t24.tga", img_DecodeTga},     {"t24rle.tga", img_DecodeTga},    {"tpal.tga", img_DecodeTga},
        {"big_rle.tga", img_DecodeTga}, {"p8.pcx", img_DecodePcxIndexed}, {"big.pcx", img_DecodePcxGreen},
    };
    for (const auto& [name, decode] : files) {
        const Bytes whole = readData(name);
        for (std::size_t n = 0; n < whole.size(); n += (n < 200 ? 1 : 17)) {
            const Bytes cut(whole.begin(), whole.begin() + std::ptrdiff_t(n));
            EXPECT_EQ(decode(image, cut.data(), cut.size(), name), kImgWrongFormat) << name << " cut to " << n;
        }
    }

    // Headers that claim more than the file holds.
    const std::uint16_t heights[4] = {1, 2, 3, 4};
    Bytes r16 = img_EncodeR16(2, 2, heights);
    r16[4] = 3;  // width 3: six heights promised, four stored
    EXPECT_EQ(img_DecodeR16(image, r16.data(), r16.size(), "r"), kImgWrongFormat);
    r16[4] = 0;  // width 0
    EXPECT_EQ(img_DecodeR16(image, r16.data(), r16.size(), "r"), kImgWrongFormat);
    r16[4] = 2;
    r16[7] = 0x80;  // width with the top bit set: not a 16-bit side
    EXPECT_EQ(img_DecodeR16(image, r16.data(), r16.size(), "r"), kImgWrongFormat);

    Bytes pcx = readData("p8.pcx");
    pcx[66] = 2;  // bytes per line below the width
    pcx[67] = 0;
    EXPECT_EQ(img_DecodePcxIndexed(image, pcx.data(), pcx.size(), "p"), kImgWrongFormat);
    pcx = readData("p8.pcx");
    pcx[8] = 0;  // xmax below xmin
    pcx[4] = 9;
    EXPECT_EQ(img_DecodePcxIndexed(image, pcx.data(), pcx.size(), "p"), kImgWrongFormat);

    Bytes tga = readData("t24.tga");
    tga[0] = 200;  // identifier longer than the file
    EXPECT_EQ(img_DecodeTga(image, tga.data(), tga.size(), "t"), kImgWrongFormat);
    tga = readData("tpal.tga");
    tga[5] = 2;  // colour map of 2 entries; the pixel indices beyond it read black
    tga[6] = 0;
    ASSERT_EQ(img_DecodeTga(image, tga.data(), tga.size(), "t"), kImgDone);
    for (const char* name : {"t24.tga", "t24rle.tga", "tgrey.tga", "tpal.tga"}) {
        tga = readData(name);
        tga[13] = tga[15] = 0x70;  // 28672 x 28672: far more than the file holds, and than the pool
        EXPECT_EQ(img_DecodeTga(image, tga.data(), tga.size(), "t"), kImgWrongFormat) << name << ": not out of memory";
    }
    pcx = readData("big.pcx");
    pcx[9] = pcx[11] = 0x70;  // the same for a PCX window
    pcx[67] = 0x70;
    EXPECT_EQ(img_DecodePcxGreen(image, pcx.data(), pcx.size(), "p"), kImgWrongFormat);
    tga = readData("t24.tga");
    tga[13] = 0x90;  // width beyond a signed 16-bit side
    EXPECT_EQ(img_DecodeTga(image, tga.data(), tga.size(), "t"), kImgWrongFormat);
}

TEST_F(ImageTest, FileReadersGoThroughTheFileLayer) {
    const std::string dir = std::string(SORTIE_TEST_DATA_DIR) + "/images/";
    EXPECT_EQ(img_ReadTga(image, (dir + "missing.tga").c_str()), kImgNotFound);
    EXPECT_EQ(img_ReadPcxIndexed(image, (dir + "missing.pcx").c_str()), kImgNotFound);
    EXPECT_EQ(img_ReadR16(image, (dir + "missing.r16").c_str()), kImgNotFound);
    ASSERT_EQ(img_ReadTga(image, (dir + "t24.tga").c_str()), kImgDone);
    EXPECT_EQ(image.pixels32()[0], kSmall[0]);
    EXPECT_STREQ(image.name, "t24");
    ASSERT_EQ(img_ReadPcxGreen(image, (dir + "p8.pcx").c_str()), kImgDone);
    EXPECT_EQ(image.pixels32()[1], 0x00FF00u);

    const std::string tmp = std::string(SORTIE_BINARY_DIR) + "/image_test_height.r16";
    const std::uint16_t heights[2] = {0x4100, 0x0100};
    ASSERT_TRUE(img_WriteR16(tmp, 2, 1, heights));
    ASSERT_EQ(img_ReadR16(image, tmp.c_str()), kImgDone);
    EXPECT_EQ(image.pixels32()[0], 0x4100u);
    std::filesystem::remove(tmp);
}

TEST(PathParts, SelectsDriveDirectoryNameAndExtension) {
    const char* p = "C:\\games\\maps/alps.old.TGA";
    EXPECT_EQ(path_Parts(p, kPathDrive), "C:");
    EXPECT_EQ(path_Parts(p, kPathDirectory), "\\games\\maps/");
    EXPECT_EQ(path_Parts(p, kPathName), "alps.old");
    EXPECT_EQ(path_Parts(p, kPathExtension), ".TGA");
    EXPECT_EQ(path_Parts(p, kPathName | kPathExtension), "alps.old.TGA");
    EXPECT_EQ(path_Parts(p, 15), p);
    EXPECT_EQ(path_Parts("alps", kPathExtension), "");
    EXPECT_EQ(path_Parts("dir.x/alps", kPathName), "alps");
}

}  // namespace

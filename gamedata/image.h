// Readers of the terrain's map images (8-bit PCX, TGA, R16 elevation files) and small writers
// of the same forms for the tests and the data kit.
//
// Every reader loads the whole file through the file layer and checks the header's sizes,
// counts and offsets against the bytes it holds before it touches the pixels: a short,
// truncated or lying file gives kImgWrongFormat and never reads or writes outside a buffer.
// Pixels live in a block of the main memory pool that the record owns.
#pragma once

#include "core/mem.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Results of the image readers.
constexpr int kImgDone = 0;
constexpr int kImgNotFound = 1;
constexpr int kImgNoMemory = 2;
constexpr int kImgWrongFormat = 3;

// Flag bits of ImageRecord::flags.
constexpr std::uint32_t kImgFlagHasIndexZero = 0x01;  // indexed PCX: some pixel index is 0
constexpr std::uint32_t kImgFlagPowerOfTwo = 0x10;    // both sides are powers of two

// One decoded image. Pixels are 32-bit (bytes blue, green, red, alpha: the value
// 0xAARRGGBB) for every reader but img_ReadPcxIndexed, which gives 8-bit indices followed
// in the same block (from the next multiple of 4) by a palette of 256 entries (bytes blue,
// green, red, 0).
struct ImageRecord {
    char name[9] = {};  // file name without directory and extension, 8 chars at most
    std::int16_t width = 0;
    std::int16_t height = 0;
    std::int32_t pixelCount = 0;  // width x height
    std::int32_t widthBits = 0;   // sides as powers of two: exponents 1..14
    std::int32_t heightBits = 0;
    std::uint32_t widthMask = 0;  // (1 << widthBits) - 1
    std::uint32_t heightMask = 0;
    std::uint32_t flags = 0;
    void* pixels = nullptr;  // main-pool block, owned

    ImageRecord() = default;
    ImageRecord(const ImageRecord&) = delete;
    ImageRecord& operator=(const ImageRecord&) = delete;
    ~ImageRecord();

    const std::uint32_t* pixels32() const { return static_cast<const std::uint32_t*>(pixels); }
    const std::uint8_t* indices() const { return static_cast<const std::uint8_t*>(pixels); }
    // Palette of an indexed image: 256 entries 0x00RRGGBB behind the indices.
    const std::uint32_t* palette() const;
};

// Releases the record's pixel block and resets every field.
void img_Release(ImageRecord& image);

// Reader settings, set by start-up from the command line; tests reset them.
struct ImageSettings {
    bool r16ColourBands = false;  // "/16": show R16 heights as colour bands
};
ImageSettings& img_Settings();

// A whole file read through the file layer (the archives or the disk), in a large block: image
// files run to megabytes, and a block from the system faults in a few huge pages.
struct ImageFile {
    LargeArray<std::uint8_t> bytes;
    std::size_t size = 0;  // bytes read
};
// kImgDone, kImgNotFound or kImgNoMemory.
int img_LoadFile(const char* fileName, ImageFile& out);

// File readers: 0 done, 1 not found, 2 out of memory, 3 wrong format. Each first releases the
// record's previous pixel block.
int img_ReadPcxIndexed(ImageRecord& image, const char* fileName);
int img_ReadPcxGreen(ImageRecord& image, const char* fileName);
int img_ReadTga(ImageRecord& image, const char* fileName);
int img_ReadR16(ImageRecord& image, const char* fileName);

// The same readers over a file already in memory (the file readers use these; so do the fuzz
// targets). fileName only names the record. 0, 2 or 3.
int img_DecodePcxIndexed(ImageRecord& image, const std::uint8_t* data, std::size_t size, const char* fileName);
int img_DecodePcxGreen(ImageRecord& image, const std::uint8_t* data, std::size_t size, const char* fileName);
int img_DecodeTga(ImageRecord& image, const std::uint8_t* data, std::size_t size, const char* fileName);
int img_DecodeR16(ImageRecord& image, const std::uint8_t* data, std::size_t size, const char* fileName);

// Encoders and writers. Pixels are row-major, top row first. Writers go through a temporary
// file renamed into place; true on success.
//  TGA: uncompressed true colour (type 2), bottom-up rows; depth 24 drops alpha, 32 keeps it.
std::vector<std::uint8_t> img_EncodeTga(int width, int height, const std::uint32_t* pixels, int depth);
bool img_WriteTga(const std::string& path, int width, int height, const std::uint32_t* pixels, int depth);
//  PCX: 8 bits per pixel, one plane, run-length coded, with the 256-entry palette at the end
//  (paletteRgb: 768 bytes red, green, blue).
std::vector<std::uint8_t> img_EncodePcx8(int width, int height, const std::uint8_t* indices,
                                         const std::uint8_t* paletteRgb);
bool img_WritePcx8(const std::string& path, int width, int height, const std::uint8_t* indices,
                   const std::uint8_t* paletteRgb);
//  R16: "R16a", width and height (32-bit little-endian), then the 16-bit heights.
std::vector<std::uint8_t> img_EncodeR16(int width, int height, const std::uint16_t* heights);
bool img_WriteR16(const std::string& path, int width, int height, const std::uint16_t* heights);

// The colour an R16 height takes with the "/16" colour bands (0x00RRGGBB).
std::uint32_t img_R16Band(std::uint16_t height);

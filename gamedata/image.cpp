#include "gamedata/image.h"
#include "core/bytes.h"

#include "core/file.h"
#include "core/mem.h"
#include "gamedata/path.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

constexpr std::size_t kPcxHeaderSize = 128;
constexpr std::size_t kPcxPaletteTail = 769;  // marker byte and 768 palette bytes at the end
constexpr std::size_t kTgaHeaderSize = 18;
constexpr std::size_t kR16HeaderSize = 12;

inline unsigned le16(const std::uint8_t* p) { return le_Read16(p); }
constexpr auto le32 = le_Read32;
inline void put16(std::vector<std::uint8_t>& v, unsigned x) { le_Append16(v, static_cast<std::uint16_t>(x)); }
constexpr auto put32 = le_Append32;

// Sides an ImageRecord can hold: positive signed 16-bit values.
bool sidesFit(long width, long height) { return width > 0 && height > 0 && width <= 32767 && height <= 32767; }

int exponentOf(int side) {
    int e = 1;
    while (e < 14 && (1 << e) < side) ++e;
    return e;
}

// Takes the pixel block and fills the size fields. false when the pool has no room.
bool allocatePixels(ImageRecord& image, int width, int height, std::size_t bytes, const char* fileName) {
    img_Release(image);
    if (bytes > 0xFFFFFFFFu) return false;
    void* block = mem_GetMemEx(static_cast<std::uint32_t>(bytes), 32, 0, "IMAGE");
    if (!block) return false;
    image.pixels = block;
    image.width = static_cast<std::int16_t>(width);
    image.height = static_cast<std::int16_t>(height);
    image.pixelCount = width * height;
    image.widthBits = exponentOf(width);
    image.heightBits = exponentOf(height);
    image.widthMask = (1u << image.widthBits) - 1;
    image.heightMask = (1u << image.heightBits) - 1;
    const bool pow2 = (width & (width - 1)) == 0 && (height & (height - 1)) == 0;
    image.flags = pow2 ? kImgFlagPowerOfTwo : 0;
    const std::string name = path_Parts(fileName ? fileName : "", kPathName).substr(0, 8);
    std::memcpy(image.name, name.c_str(), name.size() + 1);
    return true;
}

}  // namespace

int img_LoadFile(const char* fileName, ImageFile& out) {
    out = ImageFile{};
    if (!fileName) return kImgNotFound;
    const std::int32_t size = file_FileSizeEx(fileName);
    if (size < 0 || file_OpenEx(fileName) < 0) return kImgNotFound;
    try {
        out.bytes.assignZero(static_cast<std::size_t>(size));
    } catch (const std::bad_alloc&) {
        file_Close();
        return kImgNoMemory;
    }
    const int got = size > 0 ? file_Read(out.bytes.data(), size) : 0;
    file_Close();
    if (got < 0) return kImgNotFound;
    out.size = static_cast<std::size_t>(got);
    return kImgDone;
}

namespace {

// The same into a block of the image scratch pool (PCX files), released by the caller.
int loadFileScratch(const char* fileName, std::uint8_t*& out, std::size_t& outSize) {
    out = nullptr;
    outSize = 0;
    if (!fileName) return kImgNotFound;
    const std::int32_t size = file_FileSizeEx(fileName);
    if (size < 0 || file_OpenEx(fileName) < 0) return kImgNotFound;
    out = static_cast<std::uint8_t*>(mem_GetScratch(static_cast<std::uint32_t>(size > 0 ? size : 1)));
    if (!out) {
        file_Close();
        return kImgNoMemory;
    }
    const int got = size > 0 ? file_Read(out, size) : 0;
    file_Close();
    if (got < 0) {
        mem_FreeScratch(out);
        out = nullptr;
        return kImgNotFound;
    }
    outSize = static_cast<std::size_t>(got);
    return kImgDone;
}

// ---------------------------------------------------------------------------------------
// PCX

struct PcxInfo {
    int width = 0, height = 0;
    std::size_t bytesPerLine = 0;
    const std::uint8_t* palette = nullptr;  // 768 bytes red, green, blue
    const std::uint8_t* data = nullptr;     // run-length data
    std::size_t dataSize = 0;
};

// Checks the header of an 8-bit, one-plane PCX against the file's size.
bool pcxHeader(const std::uint8_t* d, std::size_t size, PcxInfo& info) {
    if (!d || size < kPcxHeaderSize + kPcxPaletteTail) return false;
    if (d[0] != 0x0A || d[3] != 8 || d[65] != 1) return false;
    const long width = long(le16(d + 8)) - long(le16(d + 4)) + 1;
    const long height = long(le16(d + 10)) - long(le16(d + 6)) + 1;
    if (!sidesFit(width, height)) return false;
    info.width = static_cast<int>(width);
    info.height = static_cast<int>(height);
    info.bytesPerLine = le16(d + 66);
    // A scan line shorter than the picture cannot fill a row.
    if (info.bytesPerLine < std::size_t(width)) return false;
    info.palette = d + size - 768;
    info.data = d + kPcxHeaderSize;
    info.dataSize = size - kPcxHeaderSize - kPcxPaletteTail;
    // A run gives at most 63 bytes, so fewer than total / 63 data bytes cannot fill the
    // picture: such a header lies, and costs no allocation.
    const std::size_t total = info.bytesPerLine * std::size_t(height);
    return info.dataSize >= (total + 62) / 63;
}

// Decodes the run-length data into width x height indices. The scan lines form one stream,
// so a run that crosses the end of a line carries on in the next; bytes past the picture's
// width (the padding of each line) are dropped. false when the data ends early.
template <typename Store>
bool pcxDecode(const PcxInfo& info, Store store) {
    const std::size_t bpl = info.bytesPerLine;
    const std::size_t total = bpl * std::size_t(info.height);
    std::size_t produced = 0, i = 0;
    std::size_t row = 0, col = 0;
    while (produced < total) {
        if (i >= info.dataSize) return false;
        std::uint8_t b = info.data[i++];
        std::size_t count = 1;
        if (b >= 192) {
            count = b & 63;
            if (i >= info.dataSize) return false;
            b = info.data[i++];
        }
        count = std::min(count, total - produced);
        produced += count;
        while (count > 0) {
            const std::size_t n = std::min(count, bpl - col);
            if (col < std::size_t(info.width)) {
                const std::size_t visible = std::min(n, std::size_t(info.width) - col);
                store(row * std::size_t(info.width) + col, visible, b);
            }
            col += n;
            count -= n;
            if (col == bpl) {
                col = 0;
                ++row;
            }
        }
    }
    return true;
}

// ---------------------------------------------------------------------------------------
// TGA

inline std::uint32_t bgr(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16);
}
inline std::uint32_t bgra(const std::uint8_t* p) { return bgr(p) | (std::uint32_t(p[3]) << 24); }

// Fills out (pixelCount pixels, already zero) from the image data. false when the data is short.
bool tgaPixels(const std::uint8_t* d, std::size_t size, int type, int depth, int cmLength, int cmEntry,
               std::size_t start, std::size_t count, std::uint32_t* out) {
    const std::size_t avail = size - start;
    const std::uint8_t* p = d + start;
    switch (type) {
    case 1: {
        if (cmEntry != 24 || depth != 8) return true;  // other layouts stay black
        const std::size_t mapBytes = std::size_t(cmLength) * 3;
        if (avail < mapBytes || avail - mapBytes < count) return false;
        const std::uint8_t* map = p;
        const std::uint8_t* idx = p + mapBytes;
        // An index beyond the colour map gives black rather than a read past it.
        for (std::size_t i = 0; i < count; ++i) out[i] = idx[i] < cmLength ? bgr(map + std::size_t(idx[i]) * 3) : 0;
        return true;
    }
    case 2:
        if (depth == 24) {
            if (avail / 3 < count) return false;
            for (std::size_t i = 0; i < count; ++i) out[i] = bgr(p + i * 3);
        } else if (depth == 32) {
            if (avail / 4 < count) return false;
            for (std::size_t i = 0; i < count; ++i) out[i] = bgra(p + i * 4);
        }
        return true;
    case 3:
        if (depth == 8) {
            if (avail < count) return false;
            for (std::size_t i = 0; i < count; ++i) out[i] = std::uint32_t(p[i]) * 0x010101u;
        }
        return true;
    case 10: {
        if (depth != 24 && depth != 32) return true;
        const std::size_t bpp = std::size_t(depth) / 8;
        std::size_t i = 0, n = 0;
        while (n < count) {
            if (i >= avail) return false;
            const std::uint8_t h = p[i++];
            std::size_t run = std::size_t(h & 127) + 1;
            run = std::min(run, count - n);
            if (h & 128) {
                if (avail - i < bpp) return false;
                const std::uint32_t v = bpp == 3 ? bgr(p + i) : bgra(p + i);
                i += bpp;
                std::fill(out + n, out + n + run, v);
                n += run;
            } else {
                if ((avail - i) / bpp < run) return false;
                for (std::size_t k = 0; k < run; ++k, i += bpp) out[n++] = bpp == 3 ? bgr(p + i) : bgra(p + i);
                // A literal packet cut by the picture's end still spends its stored pixels.
                i += (std::size_t(h & 127) + 1 - run) * bpp;
            }
        }
        return true;
    }
    default: return true;  // run-length colour-mapped and grey, and unknown types: black
    }
}

// Whether avail bytes can hold the pixel data the header promises; checked before the pixel
// block is taken, so a lying header costs no allocation. Run-length data needs at least one
// packet of a header byte and one pixel per 128 pixels.
bool tgaDataFits(int type, int depth, int cmLength, int cmEntry, std::size_t avail, std::size_t count) {
    switch (type) {
    case 1:
        if (cmEntry != 24 || depth != 8) return true;
        return avail >= std::size_t(cmLength) * 3 && avail - std::size_t(cmLength) * 3 >= count;
    case 2:
        if (depth != 24 && depth != 32) return true;
        return avail / (std::size_t(depth) / 8) >= count;
    case 3: return depth != 8 || avail >= count;
    case 10:
        if (depth != 24 && depth != 32) return true;
        return avail / (1 + std::size_t(depth) / 8) >= (count + 127) / 128;
    default: return true;
    }
}

// ---------------------------------------------------------------------------------------
// R16

constexpr std::uint8_t kR16Magic[4] = {0x52, 0x31, 0x36, 0x61};

}  // namespace

// ---------------------------------------------------------------------------------------

ImageRecord::~ImageRecord() { img_Release(*this); }

const std::uint32_t* ImageRecord::palette() const {
    if (!pixels) return nullptr;
    return reinterpret_cast<const std::uint32_t*>(indices() + ((std::size_t(pixelCount) + 3) & ~std::size_t(3)));
}

void img_Release(ImageRecord& image) {
    if (image.pixels) mem_Free(image.pixels);
    image.pixels = nullptr;
    image.name[0] = 0;
    image.width = image.height = 0;
    image.pixelCount = 0;
    image.widthBits = image.heightBits = 0;
    image.widthMask = image.heightMask = 0;
    image.flags = 0;
}

ImageSettings& img_Settings() {
    static ImageSettings settings;
    return settings;
}

int img_DecodePcxIndexed(ImageRecord& image, const std::uint8_t* data, std::size_t size, const char* fileName) {
    img_Release(image);
    PcxInfo info;
    if (!pcxHeader(data, size, info)) return kImgWrongFormat;
    const std::size_t count = std::size_t(info.width) * std::size_t(info.height);
    // The palette (1024 bytes) sits behind the indices; keep it 4-byte aligned.
    const std::size_t paletteOffset = (count + 3) & ~std::size_t(3);
    if (!allocatePixels(image, info.width, info.height, paletteOffset + 1024, fileName)) return kImgNoMemory;
    auto* indices = static_cast<std::uint8_t*>(image.pixels);
    std::memset(indices, 0, paletteOffset);
    if (!pcxDecode(info, [&](std::size_t at, std::size_t n, std::uint8_t v) { std::memset(indices + at, v, n); })) {
        img_Release(image);
        return kImgWrongFormat;
    }
    auto* palette = reinterpret_cast<std::uint32_t*>(indices + paletteOffset);
    for (int i = 0; i < 256; ++i) {
        const std::uint8_t* rgb = info.palette + 3 * i;
        palette[i] = (std::uint32_t(rgb[0]) << 16) | (std::uint32_t(rgb[1]) << 8) | rgb[2];
    }
    if (std::memchr(indices, 0, count)) image.flags |= kImgFlagHasIndexZero;
    return kImgDone;
}

int img_DecodePcxGreen(ImageRecord& image, const std::uint8_t* data, std::size_t size, const char* fileName) {
    img_Release(image);
    PcxInfo info;
    if (!pcxHeader(data, size, info)) return kImgWrongFormat;
    const std::size_t count = std::size_t(info.width) * std::size_t(info.height);
    if (!allocatePixels(image, info.width, info.height, count * 4, fileName)) return kImgNoMemory;
    auto* out = static_cast<std::uint32_t*>(image.pixels);
    std::uint32_t green[256];
    for (int i = 0; i < 256; ++i) green[i] = std::uint32_t(info.palette[3 * i + 1]) << 8;
    std::fill(out, out + count, 0u);
    if (!pcxDecode(info, [&](std::size_t at, std::size_t n, std::uint8_t v) {
            std::fill(out + at, out + at + n, green[v]);
        })) {
        img_Release(image);
        return kImgWrongFormat;
    }
    return kImgDone;
}

int img_DecodeTga(ImageRecord& image, const std::uint8_t* data, std::size_t size, const char* fileName) {
    img_Release(image);
    if (!data || size < kTgaHeaderSize) return kImgWrongFormat;
    const int idLength = data[0];
    const int type = data[2];
    const int cmLength = static_cast<int>(le16(data + 5));
    const int cmEntry = data[7];
    const long width = static_cast<long>(le16(data + 12));
    const long height = static_cast<long>(le16(data + 14));
    const int depth = data[16];
    if (!sidesFit(width, height)) return kImgWrongFormat;
    std::size_t start = kTgaHeaderSize + std::size_t(idLength);
    // Types other than 1 may still carry a colour map; their pixels follow it.
    if (type != 1 && data[1] == 1) start += std::size_t(cmLength) * ((std::size_t(cmEntry) + 7) / 8);
    if (start > size) return kImgWrongFormat;
    const std::size_t count = std::size_t(width) * std::size_t(height);
    if (!tgaDataFits(type, depth, cmLength, cmEntry, size - start, count)) return kImgWrongFormat;
    if (!allocatePixels(image, static_cast<int>(width), static_cast<int>(height), count * 4, fileName))
        return kImgNoMemory;
    auto* out = static_cast<std::uint32_t*>(image.pixels);
    std::fill(out, out + count, 0u);
    if (!tgaPixels(data, size, type, depth, cmLength, cmEntry, start, count, out)) {
        img_Release(image);
        return kImgWrongFormat;
    }
    // The file's bottom row becomes row 0, whatever the header's origin bits say.
    for (long top = 0, bottom = height - 1; top < bottom; ++top, --bottom)
        std::swap_ranges(out + top * width, out + (top + 1) * width, out + bottom * width);
    return kImgDone;
}

std::uint32_t img_R16Band(std::uint16_t height) {
    const int e = height >> 5;  // 0..2047
    const int band = e / 192;   // 0..10
    const std::uint32_t v = std::uint32_t(e % 192 + 64);
    const std::uint32_t h = v / 2;
    std::uint32_t b = 0, g = 0, r = 0;
    switch (band) {
    case 0: b = v; break;
    case 1:
        b = v;
        g = h;
        break;
    case 2:
        b = v;
        g = v;
        break;
    case 3:
        b = h;
        g = v;
        break;
    case 4: g = v; break;
    case 5:
        g = v;
        r = h;
        break;
    case 6:
        g = v;
        r = v;
        break;
    case 7:
        g = h;
        r = v;
        break;
    case 8: r = v; break;
    case 9:
        b = h;
        r = v;
        break;
    default:
        b = v;
        r = v;
        break;
    }
    return (r << 16) | (g << 8) | b;
}

int img_DecodeR16(ImageRecord& image, const std::uint8_t* data, std::size_t size, const char* fileName) {
    img_Release(image);
    if (!data || size < kR16HeaderSize || std::memcmp(data, kR16Magic, 4) != 0) return kImgWrongFormat;
    // The sides are 32-bit fields of which only 16-bit values make sense.
    const std::uint32_t w32 = le32(data + 4), h32 = le32(data + 8);
    if (w32 > 32767 || h32 > 32767 || !sidesFit(long(w32), long(h32))) return kImgWrongFormat;
    const int width = static_cast<int>(w32), height = static_cast<int>(h32);
    const std::size_t count = std::size_t(width) * std::size_t(height);
    if ((size - kR16HeaderSize) / 2 < count) return kImgWrongFormat;
    if (!allocatePixels(image, width, height, count * 4, fileName)) return kImgNoMemory;
    auto* out = static_cast<std::uint32_t*>(image.pixels);
    const std::uint8_t* p = data + kR16HeaderSize;
    if (img_Settings().r16ColourBands) {
        for (std::size_t i = 0; i < count; ++i) out[i] = img_R16Band(static_cast<std::uint16_t>(le16(p + 2 * i)));
    } else {
        for (std::size_t i = 0; i < count; ++i) out[i] = std::uint32_t(p[2 * i + 1]) << 8;  // the high byte
    }
    return kImgDone;
}

// ---------------------------------------------------------------------------------------
// File readers

int img_ReadPcxIndexed(ImageRecord& image, const char* fileName) {
    img_Release(image);
    std::uint8_t* data = nullptr;
    std::size_t size = 0;
    const int rc = loadFileScratch(fileName, data, size);
    if (rc != kImgDone) return rc;
    const int result = img_DecodePcxIndexed(image, data, size, fileName);
    mem_FreeScratch(data);
    return result;
}

int img_ReadPcxGreen(ImageRecord& image, const char* fileName) {
    img_Release(image);
    std::uint8_t* data = nullptr;
    std::size_t size = 0;
    const int rc = loadFileScratch(fileName, data, size);
    if (rc != kImgDone) return rc;
    const int result = img_DecodePcxGreen(image, data, size, fileName);
    mem_FreeScratch(data);
    return result;
}

int img_ReadTga(ImageRecord& image, const char* fileName) {
    img_Release(image);
    ImageFile file;
    const int rc = img_LoadFile(fileName, file);
    if (rc != kImgDone) return rc;
    return img_DecodeTga(image, file.bytes.data(), file.size, fileName);
}

int img_ReadR16(ImageRecord& image, const char* fileName) {
    img_Release(image);
    ImageFile file;
    const int rc = img_LoadFile(fileName, file);
    if (rc != kImgDone) return rc;
    return img_DecodeR16(image, file.bytes.data(), file.size, fileName);
}

// ---------------------------------------------------------------------------------------
// Encoders and writers

std::vector<std::uint8_t> img_EncodeTga(int width, int height, const std::uint32_t* pixels, int depth) {
    std::vector<std::uint8_t> out;
    if (!sidesFit(width, height) || !pixels || (depth != 24 && depth != 32)) return out;
    out.assign(kTgaHeaderSize, 0);
    out[2] = 2;
    out[12] = static_cast<std::uint8_t>(width);
    out[13] = static_cast<std::uint8_t>(width >> 8);
    out[14] = static_cast<std::uint8_t>(height);
    out[15] = static_cast<std::uint8_t>(height >> 8);
    out[16] = static_cast<std::uint8_t>(depth);
    out[17] = depth == 32 ? 8 : 0;  // alpha bits; origin bottom left
    out.reserve(out.size() + std::size_t(width) * height * (depth / 8));
    for (int y = height - 1; y >= 0; --y)
        for (int x = 0; x < width; ++x) {
            const std::uint32_t p = pixels[std::size_t(y) * width + x];
            out.push_back(static_cast<std::uint8_t>(p));
            out.push_back(static_cast<std::uint8_t>(p >> 8));
            out.push_back(static_cast<std::uint8_t>(p >> 16));
            if (depth == 32) out.push_back(static_cast<std::uint8_t>(p >> 24));
        }
    return out;
}

std::vector<std::uint8_t> img_EncodePcx8(int width, int height, const std::uint8_t* indices,
                                         const std::uint8_t* paletteRgb) {
    std::vector<std::uint8_t> out;
    if (!sidesFit(width, height) || width > 65535 || !indices || !paletteRgb) return out;
    out.assign(kPcxHeaderSize, 0);
    out[0] = 0x0A;  // manufacturer
    out[1] = 5;     // version with a 256-colour palette
    out[2] = 1;     // run-length coding
    out[3] = 8;
    out[8] = static_cast<std::uint8_t>(width - 1);
    out[9] = static_cast<std::uint8_t>((width - 1) >> 8);
    out[10] = static_cast<std::uint8_t>(height - 1);
    out[11] = static_cast<std::uint8_t>((height - 1) >> 8);
    out[12] = 72;  // resolution
    out[14] = 72;
    out[65] = 1;
    const int bpl = (width + 1) & ~1;  // scan lines hold an even number of bytes
    out[66] = static_cast<std::uint8_t>(bpl);
    out[67] = static_cast<std::uint8_t>(bpl >> 8);
    out[68] = 1;  // colour palette
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = indices + std::size_t(y) * width;
        int x = 0;
        while (x < bpl) {
            const std::uint8_t v = x < width ? row[x] : 0;
            int run = 1;
            while (x + run < bpl && run < 63 && (x + run < width ? row[x + run] : 0) == v) ++run;
            if (run > 1 || v >= 192) out.push_back(static_cast<std::uint8_t>(192 | run));
            out.push_back(v);
            x += run;
        }
    }
    out.push_back(0x0C);
    out.insert(out.end(), paletteRgb, paletteRgb + 768);
    return out;
}

std::vector<std::uint8_t> img_EncodeR16(int width, int height, const std::uint16_t* heights) {
    std::vector<std::uint8_t> out;
    if (!sidesFit(width, height) || !heights) return out;
    out.insert(out.end(), kR16Magic, kR16Magic + 4);
    put32(out, static_cast<std::uint32_t>(width));
    put32(out, static_cast<std::uint32_t>(height));
    const std::size_t count = std::size_t(width) * height;
    out.reserve(out.size() + count * 2);
    for (std::size_t i = 0; i < count; ++i) put16(out, heights[i]);
    return out;
}

namespace {
bool writeBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    return !bytes.empty() && file_WriteAtomic(path, bytes.data(), bytes.size());
}
}  // namespace

bool img_WriteTga(const std::string& path, int width, int height, const std::uint32_t* pixels, int depth) {
    return writeBytes(path, img_EncodeTga(width, height, pixels, depth));
}

bool img_WritePcx8(const std::string& path, int width, int height, const std::uint8_t* indices,
                   const std::uint8_t* paletteRgb) {
    return writeBytes(path, img_EncodePcx8(width, height, indices, paletteRgb));
}

bool img_WriteR16(const std::string& path, int width, int height, const std::uint16_t* heights) {
    return writeBytes(path, img_EncodeR16(width, height, heights));
}

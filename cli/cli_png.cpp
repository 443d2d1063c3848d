// PNG output for the commands that draw: 0x00RRGGBB pixels as an 8-bit RGB PNG, encoded in
// memory and written through a temporary beside the target.
#include "cli/cli.h"

#include "core/file.h"

#include <png.h>

#include <csetjmp>
#include <vector>

namespace {

void appendBytes(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void noFlush(png_structp) {}

}  // namespace

bool cli_EncodePng(const std::uint32_t* pixels, int width, int height, int stride, std::vector<std::uint8_t>& out) {
    out.clear();
    if (pixels == nullptr || width <= 0 || height <= 0 || stride < width) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    // Rows are converted one at a time; the buffer lives outside the jump's reach.
    std::vector<png_byte> row(std::size_t(width) * 3);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        out.clear();
        return false;
    }
    png_set_write_fn(png, &out, appendBytes, noFlush);
    png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y) {
        const std::uint32_t* src = pixels + std::size_t(y) * std::size_t(stride);
        for (int x = 0; x < width; ++x) {
            row[std::size_t(x) * 3 + 0] = png_byte(src[x] >> 16);
            row[std::size_t(x) * 3 + 1] = png_byte(src[x] >> 8);
            row[std::size_t(x) * 3 + 2] = png_byte(src[x]);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

bool cli_WritePng(const std::string& path, const std::uint32_t* pixels, int width, int height, int stride) {
    std::vector<std::uint8_t> bytes;
    if (!cli_EncodePng(pixels, width, height, stride, bytes)) return false;
    return file_WriteAtomic(path, bytes.data(), bytes.size());
}

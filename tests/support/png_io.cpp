#include "support/png_io.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <memory>

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

}  // namespace

bool png_ReadTestImage(const std::string& path, TestImage& image) {
    image = TestImage{};
    FilePtr file(std::fopen(path.c_str(), "rb"));
    if (!file) return false;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return false;
    }
    std::vector<png_byte> row;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        image = TestImage{};
        return false;
    }
    png_init_io(png, file.get());
    png_read_info(png, info);
    const png_uint_32 w = png_get_image_width(png, info), h = png_get_image_height(png, info);
    const int type = png_get_color_type(png, info);
    if (png_get_bit_depth(png, info) != 8 || (type != PNG_COLOR_TYPE_RGB && type != PNG_COLOR_TYPE_RGBA) ||
        png_get_interlace_type(png, info) != PNG_INTERLACE_NONE || w > 8192 || h > 8192) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    const int channels = type == PNG_COLOR_TYPE_RGBA ? 4 : 3;
    row.resize(std::size_t(w) * channels);
    image.width = int(w);
    image.height = int(h);
    image.pixels.resize(std::size_t(w) * h);
    for (png_uint_32 y = 0; y < h; ++y) {
        png_read_row(png, row.data(), nullptr);
        for (png_uint_32 x = 0; x < w; ++x) {
            const png_byte* p = row.data() + std::size_t(x) * channels;
            image.pixels[std::size_t(y) * w + x] = (std::uint32_t(p[0]) << 16) | (std::uint32_t(p[1]) << 8) | p[2];
        }
    }
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

bool png_WriteTestImage(const std::string& path, const TestImage& image) {
    if (image.width <= 0 || image.height <= 0 ||
        image.pixels.size() != std::size_t(image.width) * std::size_t(image.height))
        return false;
    FilePtr file(std::fopen(path.c_str(), "wb"));
    if (!file) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    std::vector<png_byte> row(std::size_t(image.width) * 3);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file.get());
    png_set_IHDR(png, info, png_uint_32(image.width), png_uint_32(image.height), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const std::uint32_t p = image.pixels[std::size_t(y) * image.width + x];
            row[std::size_t(x) * 3] = png_byte(p >> 16);
            row[std::size_t(x) * 3 + 1] = png_byte(p >> 8);
            row[std::size_t(x) * 3 + 2] = png_byte(p);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

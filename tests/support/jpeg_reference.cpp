#include "support/jpeg_reference.h"

std::vector<std::uint8_t> jpegref_TestPicture(int width, int height, unsigned seed) {
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * height * 3);
    unsigned s = seed * 2654435761u + 12345u;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            s = s * 1664525u + 1013904223u;
            const int noise = static_cast<int>((s >> 24) & 31) - 16;
            std::uint8_t* p = &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
            const bool edge = ((x / 7) + (y / 5)) % 3 == 0;
            int r = (x * 255) / (width > 1 ? width - 1 : 1) + noise;
            int g = (y * 255) / (height > 1 ? height - 1 : 1) - noise;
            int b = edge ? 230 : 20 + ((x ^ y) & 63);
            p[0] = static_cast<std::uint8_t>(r < 0 ? 0 : r > 255 ? 255 : r);
            p[1] = static_cast<std::uint8_t>(g < 0 ? 0 : g > 255 ? 255 : g);
            p[2] = static_cast<std::uint8_t>(b);
        }
    return rgb;
}

#ifdef SORTIE_HAVE_LIBJPEG
#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

namespace {

struct ErrorExit {
    jpeg_error_mgr mgr;
    std::jmp_buf jump;
};

void onError(j_common_ptr info) {
    auto* e = reinterpret_cast<ErrorExit*>(info->err);
    std::longjmp(e->jump, 1);
}

void silent(j_common_ptr, int) {}

}  // namespace

std::vector<std::uint8_t> jpegref_Encode(const std::vector<std::uint8_t>& rgb, const JpegEncodeOptions& o) {
    jpeg_compress_struct c{};
    ErrorExit err{};
    c.err = jpeg_std_error(&err.mgr);
    err.mgr.error_exit = onError;
    unsigned char* mem = nullptr;
    unsigned long memSize = 0;
    if (setjmp(err.jump)) {
        jpeg_destroy_compress(&c);
        std::free(mem);
        return {};
    }
    jpeg_create_compress(&c);
    jpeg_mem_dest(&c, &mem, &memSize);
    c.image_width = static_cast<JDIMENSION>(o.width);
    c.image_height = static_cast<JDIMENSION>(o.height);
    c.input_components = 3;
    c.in_color_space = JCS_RGB;
    jpeg_set_defaults(&c);
    if (o.greyscale) jpeg_set_colorspace(&c, JCS_GRAYSCALE);
    jpeg_set_quality(&c, o.quality, TRUE);
    if (!o.greyscale) {
        c.comp_info[0].h_samp_factor = o.hSampY;
        c.comp_info[0].v_samp_factor = o.vSampY;
        c.comp_info[1].h_samp_factor = o.hSampCb;
        c.comp_info[1].v_samp_factor = o.vSampCb;
        c.comp_info[2].h_samp_factor = o.hSampCr;
        c.comp_info[2].v_samp_factor = o.vSampCr;
    }
    c.restart_interval = static_cast<unsigned>(o.restartInterval);
    c.optimize_coding = o.optimize ? TRUE : FALSE;
    c.write_JFIF_header = o.jfif ? TRUE : FALSE;
    c.dct_method = JDCT_ISLOW;
    if (o.progressive) jpeg_simple_progression(&c);
    jpeg_start_compress(&c, TRUE);
    std::vector<std::uint8_t> row(static_cast<std::size_t>(o.width) * 3);
    while (c.next_scanline < c.image_height) {
        const std::uint8_t* src = &rgb[static_cast<std::size_t>(c.next_scanline) * o.width * 3];
        JSAMPROW rp = const_cast<JSAMPROW>(src);
        jpeg_write_scanlines(&c, &rp, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    std::vector<std::uint8_t> out(mem, mem + memSize);
    std::free(mem);
    return out;
}

std::vector<std::uint32_t> jpegref_Decode(const std::vector<std::uint8_t>& file, int* width, int* height) {
    jpeg_decompress_struct d{};
    ErrorExit err{};
    d.err = jpeg_std_error(&err.mgr);
    err.mgr.error_exit = onError;
    err.mgr.emit_message = silent;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&d);
        return {};
    }
    jpeg_create_decompress(&d);
    jpeg_mem_src(&d, file.data(), static_cast<unsigned long>(file.size()));
    jpeg_read_header(&d, TRUE);
    d.out_color_space = JCS_RGB;
    d.dct_method = JDCT_ISLOW;
    d.do_fancy_upsampling = FALSE;
    d.do_block_smoothing = FALSE;
    jpeg_start_decompress(&d);
    const int w = static_cast<int>(d.output_width), h = static_cast<int>(d.output_height);
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(w) * h);
    std::vector<std::uint8_t> row(static_cast<std::size_t>(w) * 3);
    while (d.output_scanline < d.output_height) {
        const int y = static_cast<int>(d.output_scanline);
        JSAMPROW rp = row.data();
        jpeg_read_scanlines(&d, &rp, 1);
        for (int x = 0; x < w; ++x)
            pixels[static_cast<std::size_t>(y) * w + x] =
                (std::uint32_t(row[x * 3]) << 16) | (std::uint32_t(row[x * 3 + 1]) << 8) | row[x * 3 + 2];
    }
    jpeg_finish_decompress(&d);
    jpeg_destroy_decompress(&d);
    if (width) *width = w;
    if (height) *height = h;
    return pixels;
}

#else

std::vector<std::uint8_t> jpegref_Encode(const std::vector<std::uint8_t>&, const JpegEncodeOptions&) { return {}; }
std::vector<std::uint32_t> jpegref_Decode(const std::vector<std::uint8_t>&, int*, int*) { return {}; }

#endif

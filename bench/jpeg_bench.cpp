// Colour-map decoding speed: our decoder against libjpeg-turbo on the same 1024 x 1024 4:2:0
// baseline picture, both with the accurate integer IDCT and plain chroma replication, both
// writing 0x00RRGGBB pixels (libjpeg-turbo straight into BGRX rows, so neither pays for an
// extra conversion). The ratio of the two times is the figure of interest. The entries with
// arguments decode the colour-map style of file: quality 90, luminance sampled h x v against
// chroma 1 x 1 (4 1 is 4:1:1, 2 2 is 4:2:0, 2 1 is 4:2:2, 1 1 is 4:4:4).
#include "gamedata/jpeg.h"

#include <benchmark/benchmark.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

namespace {

constexpr int kSide = 1024;

// A picture with gradients, noise and hard edges, so the entropy-coded data is realistic.
std::vector<std::uint8_t> testPicture() {
    std::vector<std::uint8_t> rgb(std::size_t(kSide) * kSide * 3);
    unsigned s = 12345;
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x) {
            s = s * 1664525u + 1013904223u;
            const int n = int(s >> 27);
            std::uint8_t* p = &rgb[(std::size_t(y) * kSide + x) * 3];
            p[0] = std::uint8_t((x * y / 37 + n) & 255);
            p[1] = std::uint8_t((x * 3 + y) & 255);
            p[2] = std::uint8_t(((x ^ y) + 2 * n) & 255);
        }
    return rgb;
}

std::vector<std::uint8_t> encode(const std::vector<std::uint8_t>& rgb, int h, int v, int quality) {
    jpeg_compress_struct c{};
    jpeg_error_mgr err{};
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* mem = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &mem, &size);
    c.image_width = kSide;
    c.image_height = kSide;
    c.input_components = 3;
    c.in_color_space = JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, quality, TRUE);
    c.comp_info[0].h_samp_factor = h;
    c.comp_info[0].v_samp_factor = v;
    jpeg_start_compress(&c, TRUE);
    while (c.next_scanline < c.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(&rgb[std::size_t(c.next_scanline) * kSide * 3]);
        jpeg_write_scanlines(&c, &row, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    std::vector<std::uint8_t> out(mem, mem + size);
    std::free(mem);
    return out;
}

const std::vector<std::uint8_t>& picture() {
    static const std::vector<std::uint8_t> rgb = testPicture();
    return rgb;
}

const std::vector<std::uint8_t>& file() {
    static const std::vector<std::uint8_t> f = encode(picture(), 2, 2, 85);
    return f;
}

// The quality 90 file of one sampling (index h * 8 + v).
const std::vector<std::uint8_t>& sampledFile(const benchmark::State& state) {
    static std::vector<std::uint8_t> files[40];
    const int h = int(state.range(0)), v = int(state.range(1));
    std::vector<std::uint8_t>& f = files[h * 8 + v];
    if (f.empty()) f = encode(picture(), h, v, 90);
    return f;
}

const std::vector<std::uint8_t>& fileFor(const benchmark::State& state) {
    return state.range(0) == 0 ? file() : sampledFile(state);
}

void BM_JpegDecode_Sortie(benchmark::State& state) {
    const auto& f = fileFor(state);
    std::vector<std::uint32_t> out(std::size_t(kSide) * kSide);
    for (auto _ : state) {
        int w = kSide, h = kSide;
        std::uint32_t* p = out.data();
        if (jpeg_Decode(f.data(), f.size(), &w, &h, &p, false) != 1) state.SkipWithError("refused");
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * kSide * kSide * 4);
    state.counters["file_bytes"] = double(f.size());
}

void BM_JpegDecode_LibjpegTurbo(benchmark::State& state) {
    const auto& f = fileFor(state);
    std::vector<std::uint32_t> out(std::size_t(kSide) * kSide);
    std::vector<JSAMPROW> rows(kSide);
    for (int y = 0; y < kSide; ++y) rows[y] = reinterpret_cast<JSAMPROW>(out.data() + std::size_t(y) * kSide);
    for (auto _ : state) {
        jpeg_decompress_struct d{};
        jpeg_error_mgr err{};
        d.err = jpeg_std_error(&err);
        jpeg_create_decompress(&d);
        jpeg_mem_src(&d, f.data(), static_cast<unsigned long>(f.size()));
        jpeg_read_header(&d, TRUE);
        d.out_color_space = JCS_EXT_BGRX;
        d.dct_method = JDCT_ISLOW;
        d.do_fancy_upsampling = FALSE;
        jpeg_start_decompress(&d);
        while (d.output_scanline < d.output_height)
            jpeg_read_scanlines(&d, rows.data() + d.output_scanline, d.output_height - d.output_scanline);
        jpeg_finish_decompress(&d);
        jpeg_destroy_decompress(&d);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * kSide * kSide * 4);
}

}  // namespace

// 0 0: the 4:2:0 quality 85 picture; then the colour-map samplings at quality 90.
#define SORTIE_JPEG_SAMPLINGS ->Args({0, 0})->Args({4, 1})->Args({2, 2})->Args({2, 1})->Args({1, 1})
BENCHMARK(BM_JpegDecode_Sortie)->Unit(benchmark::kMillisecond) SORTIE_JPEG_SAMPLINGS;
BENCHMARK(BM_JpegDecode_LibjpegTurbo)->Unit(benchmark::kMillisecond) SORTIE_JPEG_SAMPLINGS;

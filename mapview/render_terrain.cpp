// The terrain pass of the map renderer: every pixel of the frame from one of the page's three
// terrain images, optionally textured with the detail tiles and tinted where the ground lies
// at or below the water level.
//
// Sampling is fixed point with 16 fraction bits per cell: a step of s = trunc(256 / zoom) per
// pixel, cell = (accumulator >> 16) AND 1023, detail texel = (accumulator >> 10) AND 63. The
// images wrap around, so the accumulators are kept modulo 2^32, which leaves those bits exact.
#include "mapview/render.h"

#include "gamedata/terrain.h"
#include "mapview/view.h"
#include "mission/mission.h"

#include <algorithm>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

namespace {

constexpr int kTileTexels = 64 * 64;
constexpr std::size_t kTileCount = 256;   // a detail-map byte names one of these

// The page's maps when every one has its full size; null when the page has no terrain.
const TerrainMaps* usableMaps(const Mission& page) {
    const TerrainMaps* maps = page.terrain.get();
    if (maps == nullptr) return nullptr;
    if (maps->colour.size() != kTerrainMapCells || maps->elevation.size() != kTerrainMapCells ||
        maps->edge.size() != kTerrainMapCells || maps->detail.size() != kTerrainMapCells)
        return nullptr;
    return maps;
}

inline bool underWater(std::uint32_t elevation, std::uint32_t level) { return ((elevation >> 8) & 0xFF) <= level; }

}  // namespace

std::uint32_t render_TextureBlend(std::uint32_t texel, std::uint32_t colour) {
    // Four 16-bit lanes: the texel's colour widened to 15 bits, plus the colour-map pixel
    // scaled by the texel's (inverted) coverage, saturated, then back to bytes.
    const std::uint32_t a = texel >> 24;
    const std::int32_t scale = std::int16_t(std::uint16_t(a * 257));
    std::uint32_t out = 0;
    for (int lane = 0; lane < 4; ++lane) {
        const std::uint32_t t = (texel >> (8 * lane)) & 0xFF;
        const std::uint32_t m = (colour >> (8 * lane)) & 0xFF;
        const std::uint32_t base = (t * 257) >> 1;
        const std::int32_t widened = std::int32_t((m * 257) >> 1);
        // High half of the signed product, taken back as an unsigned lane for the add.
        const std::uint32_t product = std::uint16_t((scale * widened) >> 16);
        const std::uint32_t sum = std::min<std::uint32_t>(base + product, 65535);
        out |= std::min<std::uint32_t>(sum >> 6, 255) << (8 * lane);
    }
    return out;
}

namespace {

// The terms of one cell row for every pixel column of a textured frame: they change only
// when the cell row does, which at texturing zooms is every few pixel rows.
struct CellRowTerms {
    std::vector<std::uint32_t> colour;   // colour-map pixel
    std::vector<std::uint32_t> wet;      // all ones where the cell lies at or below the water
    std::vector<std::uint32_t> tile;     // texel offset: tile * 4096 + texel column
};

// What every row of one frame shares.
struct Rows {
    std::uint32_t* const* rows;
    std::int32_t width;
    const std::uint16_t* cellCol;   // cell column of each pixel column
    const std::uint8_t* texCol;     // texel column inside the detail tile
    std::uint32_t level;            // water level, 0 for none
    bool water;
};

inline std::uint32_t plainPixel(const Rows& r, const std::uint32_t* src, const std::uint32_t* elev, bool masked,
                                std::int32_t x) {
    const std::uint32_t c = r.cellCol[x];
    std::uint32_t p = src[c];
    if (r.water && underWater(elev[c], r.level)) p = masked ? render_WaterTintMasked(p) : render_WaterTintWhole(p);
    return p;
}

#if defined(__SSE2__)

// Four pixels at a time in 16-bit lanes: the same arithmetic as render_TextureBlend, lane
// for lane (multiply-high, unsigned saturating add, shift, pack with saturation).
inline __m128i blend4(__m128i texels, __m128i colours) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i k257 = _mm_set1_epi16(257);
    const auto half = [&](__m128i t, __m128i m) {
        const __m128i base = _mm_srli_epi16(_mm_mullo_epi16(t, k257), 1);
        // Each pixel's top lane (the texel's coverage) copied to its four lanes.
        const __m128i alpha = _mm_shufflehi_epi16(_mm_shufflelo_epi16(t, 0xFF), 0xFF);
        const __m128i scale = _mm_mullo_epi16(alpha, k257);
        const __m128i widened = _mm_srli_epi16(_mm_mullo_epi16(m, k257), 1);
        const __m128i sum = _mm_adds_epu16(base, _mm_mulhi_epi16(scale, widened));
        return _mm_srli_epi16(sum, 6);
    };
    const __m128i lo = half(_mm_unpacklo_epi8(texels, zero), _mm_unpacklo_epi8(colours, zero));
    const __m128i hi = half(_mm_unpackhi_epi8(texels, zero), _mm_unpackhi_epi8(colours, zero));
    return _mm_packus_epi16(lo, hi);
}

// Tints the pixels whose elevation lies at or below the level.
inline __m128i water4(__m128i pixels, __m128i elevations, __m128i levelPlusOne, bool masked) {
    const __m128i height = _mm_and_si128(_mm_srli_epi32(elevations, 8), _mm_set1_epi32(0xFF));
    const __m128i wet = _mm_cmplt_epi32(height, levelPlusOne);
    __m128i halved = _mm_srli_epi32(pixels, 1);
    if (masked) halved = _mm_and_si128(halved, _mm_set1_epi32(0x7F7F7F7F));
    const __m128i tinted = _mm_add_epi32(halved, _mm_set1_epi32(std::int32_t(kWaterTint)));
    return _mm_or_si128(_mm_and_si128(wet, tinted), _mm_andnot_si128(wet, pixels));
}

void plainRow(const Rows& r, std::uint32_t* out, const std::uint32_t* src, const std::uint32_t* elev, bool masked) {
    if (!r.water) {
        for (std::int32_t x = 0; x < r.width; ++x) out[x] = src[r.cellCol[x]];
        return;
    }
    const __m128i levelPlusOne = _mm_set1_epi32(std::int32_t(r.level + 1));
    std::int32_t x = 0;
    for (; x + 4 <= r.width; x += 4) {
        std::uint32_t m[4], e[4];
        for (int k = 0; k < 4; ++k) {
            const std::uint32_t c = r.cellCol[x + k];
            m[k] = src[c];
            e[k] = elev[c];
        }
        const __m128i p = water4(_mm_loadu_si128(reinterpret_cast<const __m128i*>(m)),
                                 _mm_loadu_si128(reinterpret_cast<const __m128i*>(e)), levelPlusOne, masked);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), p);
    }
    for (; x < r.width; ++x) out[x] = plainPixel(r, src, elev, masked, x);
}

// A textured row from the terms of its cell row (colour-map pixel, water mask and tile
// offset of every column, gathered once per cell row): only the texels are looked up here.
void texturedRowCached(std::int32_t width, std::uint32_t* out, const std::uint32_t* tilesRow,
                       const CellRowTerms& terms, bool water, std::int32_t first = 0) {
    const __m128i tint = _mm_set1_epi32(std::int32_t(kWaterTint));
    const __m128i mask7F = _mm_set1_epi32(0x7F7F7F7F);
    std::int32_t x = 0;
    for (; x + 4 <= width; x += 4) {
        const std::uint32_t* off = terms.tile.data() + first + x;
        const __m128i t = _mm_set_epi32(std::int32_t(tilesRow[off[3]]), std::int32_t(tilesRow[off[2]]),
                                        std::int32_t(tilesRow[off[1]]), std::int32_t(tilesRow[off[0]]));
        __m128i p = blend4(t, _mm_loadu_si128(reinterpret_cast<const __m128i*>(terms.colour.data() + first + x)));
        if (water) {
            const __m128i wet = _mm_loadu_si128(reinterpret_cast<const __m128i*>(terms.wet.data() + first + x));
            const __m128i tinted = _mm_add_epi32(_mm_and_si128(_mm_srli_epi32(p, 1), mask7F), tint);
            p = _mm_or_si128(_mm_and_si128(wet, tinted), _mm_andnot_si128(wet, p));
        }
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), p);
    }
    for (; x < width; ++x) {
        const std::size_t i = std::size_t(first + x);
        std::uint32_t p = render_TextureBlend(tilesRow[terms.tile[i]], terms.colour[i]);
        if (water && terms.wet[i]) p = render_WaterTintMasked(p);
        out[x] = p;
    }
}

#if defined(__x86_64__) && defined(__GNUC__)
#define SORTIE_RENDER_AVX2 1
// blend4's arithmetic on four pixels of 16-bit lanes (two in each 128-bit half).
__attribute__((target("avx2"))) inline __m256i blendHalfWide(__m256i t, __m256i m) {
    const __m256i k257 = _mm256_set1_epi16(257);
    const __m256i base = _mm256_srli_epi16(_mm256_mullo_epi16(t, k257), 1);
    const __m256i alpha = _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(t, 0xFF), 0xFF);
    const __m256i scale = _mm256_mullo_epi16(alpha, k257);
    const __m256i widened = _mm256_srli_epi16(_mm256_mullo_epi16(m, k257), 1);
    const __m256i sum = _mm256_adds_epu16(base, _mm256_mulhi_epi16(scale, widened));
    return _mm256_srli_epi16(sum, 6);
}

// The same row eight pixels at a time, the texels fetched with one gather. Only called when
// the processor has AVX2.
__attribute__((target("avx2"))) void texturedRowWide(std::int32_t width, std::uint32_t* out,
                                                     const std::uint32_t* tilesRow, const CellRowTerms& terms,
                                                     bool water) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i tint = _mm256_set1_epi32(std::int32_t(kWaterTint));
    const __m256i mask7F = _mm256_set1_epi32(0x7F7F7F7F);
    std::int32_t x = 0;
    for (; x + 8 <= width; x += 8) {
        const __m256i offsets = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(terms.tile.data() + x));
        const __m256i t = _mm256_i32gather_epi32(reinterpret_cast<const int*>(tilesRow), offsets, 4);
        const __m256i m = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(terms.colour.data() + x));
        // Unpacking and packing both work within 128-bit halves, so the pixel order holds.
        const __m256i lo = blendHalfWide(_mm256_unpacklo_epi8(t, zero), _mm256_unpacklo_epi8(m, zero));
        const __m256i hi = blendHalfWide(_mm256_unpackhi_epi8(t, zero), _mm256_unpackhi_epi8(m, zero));
        __m256i p = _mm256_packus_epi16(lo, hi);
        if (water) {
            const __m256i wet = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(terms.wet.data() + x));
            const __m256i tinted = _mm256_add_epi32(_mm256_and_si256(_mm256_srli_epi32(p, 1), mask7F), tint);
            p = _mm256_blendv_epi8(p, tinted, wet);
        }
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + x), p);
    }
    if (x < width) texturedRowCached(width - x, out + x, tilesRow, terms, water, x);
}
#endif

#else  // plain C++: one pixel at a time

void texturedRowCached(std::int32_t width, std::uint32_t* out, const std::uint32_t* tilesRow,
                       const CellRowTerms& terms, bool water, std::int32_t = 0) {
    for (std::int32_t x = 0; x < width; ++x) {
        std::uint32_t p = render_TextureBlend(tilesRow[terms.tile[std::size_t(x)]], terms.colour[std::size_t(x)]);
        if (water && terms.wet[std::size_t(x)]) p = render_WaterTintMasked(p);
        out[x] = p;
    }
}

void plainRow(const Rows& r, std::uint32_t* out, const std::uint32_t* src, const std::uint32_t* elev, bool masked) {
    for (std::int32_t x = 0; x < r.width; ++x) out[x] = plainPixel(r, src, elev, masked, x);
}

#endif

}  // namespace

RenderTuning& render_Tuning() {
    static RenderTuning tuning;
    return tuning;
}

std::uint32_t render_WaterLevel(const Mission& page, std::uint32_t showFlags) {
    if (!(showFlags & kShowWater)) return 0;
    std::int32_t level = 0;
    if (page.info.attrib & 1) level = page.info.water_level;
    else if (page.terrain) level = page.terrain->waterLevel;
    return std::uint32_t(level) & 0xFF;
}

void render_Terrain(const RenderFrame& f, const Mission& page, const ViewState& view) {
    if (f.rows == nullptr || f.width <= 0 || f.height <= 0) return;
    const std::int32_t w = f.width, h = f.height;
    const std::uint32_t level = render_WaterLevel(page, view.show_flags);
    const bool water = level != 0;
    const std::int32_t mode = view.map_mode;

    const TerrainMaps* maps = usableMaps(page);
    if (maps == nullptr) {
        // No terrain: the picture of cleared (all-zero) maps.
        const std::uint32_t p = water ? kWaterTint : 0;
        for (std::int32_t y = 0; y < h; ++y) std::fill_n(f.rows[y], w, p);
        return;
    }

    const std::uint32_t s = std::uint32_t(std::int32_t(256.0 / f.zoom));
    const std::uint32_t colStart = std::uint32_t(256 * std::int64_t(view.center_x)) - s * std::uint32_t(f.hw);
    std::uint32_t rowAcc = std::uint32_t(-256 * std::int64_t(view.center_y)) - s * std::uint32_t(f.hh);

    const bool texturing = mode == kMapModeColour && (view.show_flags & kShowDetail) && maps->detailFlag == 1 &&
                           s < 65536 && maps->detailColourBlended.size() >= kTileCount * kTileTexels;

    // The column terms are the same on every row.
    std::vector<std::uint16_t> cellCol(static_cast<std::size_t>(w));
    std::vector<std::uint8_t> texCol(static_cast<std::size_t>(w));
    {
        std::uint32_t acc = colStart;
        for (std::int32_t x = 0; x < w; ++x, acc += s) {
            cellCol[std::size_t(x)] = std::uint16_t((acc >> 16) & 1023);
            texCol[std::size_t(x)] = std::uint8_t((acc >> 10) & 63);
        }
    }

    const std::uint32_t* image = mode == kMapModeElevation ? maps->elevation.data()
                                 : mode == kMapModeEdges   ? maps->edge.data()
                                                           : maps->colour.data();
    const bool masked = mode != kMapModeElevation && mode != kMapModeEdges;

    const Rows rows{f.rows, w, cellCol.data(), texCol.data(), level, water};
#if defined(SORTIE_RENDER_AVX2)
    const bool wide = render_Tuning().wideVectors && __builtin_cpu_supports("avx2");
#endif
    CellRowTerms terms;
    std::int64_t termsRow = -1;
    // Where each run of columns sampling the same cell starts, and the end of the last.
    std::vector<std::int32_t> runStart;   // the cell row terms holds
    if (texturing) {
        for (std::int32_t x = 0; x < w; ++x)
            if (x == 0 || cellCol[std::size_t(x)] != cellCol[std::size_t(x - 1)]) runStart.push_back(x);
        runStart.push_back(w);
        terms.colour.resize(std::size_t(w));
        terms.wet.resize(std::size_t(w));
        terms.tile.resize(std::size_t(w));
    }
    std::int64_t previous = -1;   // what the last row was drawn from
    for (std::int32_t y = 0; y < h; ++y, rowAcc += s) {
        const std::uint32_t cellRow = (rowAcc >> 16) & 1023;
        const std::uint32_t texRow = (rowAcc >> 10) & 63;
        const std::int64_t key = texturing ? std::int64_t(cellRow * 64 + texRow) : std::int64_t(cellRow);
        std::uint32_t* out = f.rows[y];
        if (key == previous) {
            // Same cells (and texels) as the row above: the same pixels.
            std::memcpy(out, f.rows[y - 1], std::size_t(w) * 4);
            continue;
        }
        previous = key;
        const std::size_t rowBase = std::size_t(cellRow) * kTerrainMapSide;
        const std::uint32_t* elev = maps->elevation.data() + rowBase;
        if (texturing) {
            if (termsRow != std::int64_t(cellRow)) {
                termsRow = cellRow;
                const std::uint32_t* src = image + rowBase;
                const std::uint8_t* detail = maps->detail.data() + rowBase;
                // One look-up per run of columns in the same cell.
                for (std::size_t r = 0; r + 1 < runStart.size(); ++r) {
                    const std::uint32_t c = cellCol[std::size_t(runStart[r])];
                    const std::uint32_t m = src[c];
                    const std::uint32_t wet = water && underWater(elev[c], level) ? 0xFFFFFFFFu : 0u;
                    const std::uint32_t tile = std::uint32_t(detail[c]) * kTileTexels;
                    for (std::int32_t x = runStart[r]; x < runStart[r + 1]; ++x) {
                        terms.colour[std::size_t(x)] = m;
                        terms.wet[std::size_t(x)] = wet;
                        terms.tile[std::size_t(x)] = tile + texCol[std::size_t(x)];
                    }
                }
            }
            const std::uint32_t* tilesRow = maps->detailColourBlended.data() + texRow * 64;
#if defined(SORTIE_RENDER_AVX2)
            if (wide) texturedRowWide(w, out, tilesRow, terms, water);
            else
#endif
                texturedRowCached(w, out, tilesRow, terms, water);
        } else
            plainRow(rows, out, image + rowBase, elev, masked);
    }
}

// The terrain pass of the map renderer: every pixel of the frame from one of the page's three
// terrain images, optionally textured with the detail tiles and tinted where the ground lies
// at or below the water level.
//
// Sampling is fixed point with 16 fraction bits per cell: a step of s = trunc(256 / zoom) per
// pixel, cell = (accumulator >> 16) AND 1023, detail texel = (accumulator >> 10) AND 63. The
// images wrap around, so the accumulators are kept modulo 2^32, which leaves those bits exact.
#include "mapview/render.h"
#include "mapview/render_rows.h"

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
constexpr std::size_t kTileCount = 256;  // a detail-map byte names one of these

// The page's maps when every one has its full size; null when the page has no terrain.
const TerrainMaps* usableMaps(const Mission& page) {
    const TerrainMaps* maps = page.terrain.get();
    if (maps == nullptr) return nullptr;
    if (maps->colour.size() != kTerrainMapCells || maps->elevation.size() != kTerrainMapCells ||
        maps->detail.size() != kTerrainMapCells)
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

// What the columns of one frame sample; the same on every row.
struct Columns {
    std::int32_t width = 0;
    // The step is less than a cell per pixel, so the columns walk the cells in order, a few
    // columns to a cell, and eight columns never span more than eight cells.
    bool fine = false;
    std::vector<std::int32_t> cell;     // fine: cell counted from the leftmost one; else the cell column
    std::vector<std::int32_t> inGroup;  // fine: cell counted from that of the first column of its group of 8
    std::vector<std::uint8_t> texCol;   // fine: texel column inside the detail tile
    std::int32_t cells = 0;             // fine: how many cells a row crosses
    std::uint32_t firstCell = 0;        // fine: the leftmost cell column
};

// The column terms for a column accumulator starting at colStart and stepping s per pixel.
void frameColumns(Columns& cols, std::int32_t width, std::uint32_t colStart, std::uint32_t s) {
    cols.width = width;
    cols.fine = s < 65536;
    cols.cell.resize(std::size_t(width));
    if (!cols.fine) {
        std::uint32_t acc = colStart;
        for (std::int32_t x = 0; x < width; ++x, acc += s) cols.cell[std::size_t(x)] = std::int32_t((acc >> 16) & 1023);
        return;
    }
    cols.inGroup.resize(std::size_t(width));
    cols.texCol.resize(std::size_t(width));
    // The accumulator wraps modulo 2^32, a multiple of 1024 cells; counted on in 64 bits it
    // gives the cells in order without the wrap.
    const std::uint64_t first = std::uint64_t(colStart) >> 16;
    std::uint64_t acc = colStart;
    for (std::int32_t x = 0; x < width; ++x, acc += s) {
        cols.cell[std::size_t(x)] = std::int32_t((acc >> 16) - first);
        cols.texCol[std::size_t(x)] = std::uint8_t((acc >> 10) & 63);
        cols.inGroup[std::size_t(x)] = cols.cell[std::size_t(x)] - cols.cell[std::size_t(x & ~7)];
    }
    cols.cells = width > 0 ? cols.cell[std::size_t(width - 1)] + 1 : 0;
    cols.firstCell = std::uint32_t(first) & 1023;
}

// Calls body(k, c, n) for the cells k .. k + n - 1 of a row of cells starting at column
// first, in pieces that do not wrap: their columns are c .. c + n - 1. Only the first lap
// round the map is worked out; later laps repeat it and are left to repeatLaps.
template <typename Body>
void forCellPieces(std::uint32_t first, std::size_t count, Body body) {
    count = std::min<std::size_t>(count, kTerrainMapSide);
    for (std::size_t k = 0; k < count;) {
        const std::uint32_t c = (first + std::uint32_t(k)) & 1023;
        const std::size_t n = std::min<std::size_t>(count - k, kTerrainMapSide - c);
        body(k, c, n);
        k += n;
    }
}

// Fills the entries of a cell row past its first lap round the map from that lap.
void repeatLaps(std::vector<std::uint32_t>& terms) {
    for (std::size_t k = kTerrainMapSide; k < terms.size(); k += kTerrainMapSide)
        std::memcpy(terms.data() + k, terms.data(), std::min<std::size_t>(kTerrainMapSide, terms.size() - k) * 4);
}

inline std::uint32_t tinted(std::uint32_t p, bool masked) {
    return masked ? render_WaterTintMasked(p) : render_WaterTintWhole(p);
}

// The terms of the cells one textured pixel row crosses, from the leftmost on, with room for
// a vector read of eight past the last. Gathered once per cell row; at texturing zooms a
// cell row serves a few pixel rows.
struct CellTerms {
    std::vector<std::uint32_t> colour;  // colour-map pixel
    std::vector<std::uint32_t> wet;     // all ones where the cell lies at or below the water
    std::vector<std::uint32_t> tile;    // first texel of the cell's detail tile
    // The same spread over the pixel columns (the 256-bit path): each column's colour-map
    // pixel, wet mask and texel inside its tile's texel row. Worked out once per cell row, so
    // the pixel rows drawn from it only load them.
    std::vector<std::uint32_t> colourAt, wetAt, texelAt;
    bool anyWet = false;  // whether any cell is: rows without water skip the tint
};

void gatherCellTerms(CellTerms& terms, const Columns& cols, const std::uint32_t* colourRow,
                     const std::uint32_t* elevRow, const std::uint8_t* detailRow, std::uint32_t level, bool water) {
    const std::size_t n = std::size_t(cols.cells) + 8;
    terms.colour.resize(n);
    terms.wet.resize(n);
    terms.tile.resize(n);
    std::uint32_t* colour = terms.colour.data();
    std::uint32_t* wet = terms.wet.data();
    std::uint32_t* tile = terms.tile.data();
    forCellPieces(cols.firstCell, n, [&](std::size_t k, std::uint32_t c, std::size_t count) {
        std::memcpy(colour + k, colourRow + c, count * 4);
        for (std::size_t i = 0; i < count; ++i) tile[k + i] = std::uint32_t(detailRow[c + i]) * kTileTexels;
        if (!water)
            std::fill_n(wet + k, count, 0u);
        else
            for (std::size_t i = 0; i < count; ++i)
                wet[k + i] = ((elevRow[c + i] >> 8) & 0xFF) <= level ? 0xFFFFFFFFu : 0u;
    });
    std::uint32_t any = 0;
    if (water)
        for (std::size_t k = 0; k < std::min<std::size_t>(n, kTerrainMapSide); ++k) any |= wet[k];
    terms.anyWet = any != 0;
    repeatLaps(terms.colour);
    repeatLaps(terms.wet);
    repeatLaps(terms.tile);
}

// The finished pixel of every cell an untextured pixel row crosses (fine steps), padded
// the same way.
void cellPixels(std::vector<std::uint32_t>& out, const Columns& cols, const std::uint32_t* src,
                const std::uint32_t* elevRow, std::uint32_t level, bool water, bool masked) {
    const std::size_t n = std::size_t(cols.cells) + 8;
    out.resize(n);
    std::uint32_t* pixels = out.data();
    forCellPieces(cols.firstCell, n, [&](std::size_t k, std::uint32_t c, std::size_t count) {
        if (!water)
            std::memcpy(pixels + k, src + c, count * 4);
        else
            for (std::size_t i = 0; i < count; ++i) {
                const std::uint32_t p = src[c + i];
                pixels[k + i] = underWater(elevRow[c + i], level) ? tinted(p, masked) : p;
            }
    });
    repeatLaps(out);
}

// One textured pixel from the cell terms, the plain way.
inline std::uint32_t texturedPixel(const Columns& cols, const std::uint32_t* tilesRow, const CellTerms& terms,
                                   bool water, std::int32_t x) {
    const std::size_t k = std::size_t(cols.cell[std::size_t(x)]);
    std::uint32_t p = render_TextureBlend(tilesRow[terms.tile[k] + cols.texCol[std::size_t(x)]], terms.colour[k]);
    if (water && terms.wet[k]) p = render_WaterTintMasked(p);
    return p;
}

// One pixel of a coarse row (a cell or more per pixel), the plain way.
inline std::uint32_t coarsePixel(const Columns& cols, const std::uint32_t* src, const std::uint32_t* elevRow,
                                 std::uint32_t level, bool water, bool masked, std::int32_t x) {
    const std::size_t c = std::size_t(cols.cell[std::size_t(x)]);
    const std::uint32_t p = src[c];
    return water && underWater(elevRow[c], level) ? tinted(p, masked) : p;
}

// An untextured row at a fine step: each column takes its cell's finished pixel.
void spreadRow(const Columns& cols, std::uint32_t* out, const std::uint32_t* pixels) {
    for (std::int32_t x = 0; x < cols.width; ++x) out[x] = pixels[cols.cell[std::size_t(x)]];
}

#if defined(__SSE2__)

// Four pixels at a time in 16-bit lanes: the same arithmetic as render_TextureBlend, lane
// for lane (multiply-high, unsigned saturating add, shift, pack with saturation). A byte
// unpacked with itself is that byte times 257, which every term starts from.
inline __m128i blend4(__m128i texels, __m128i colours) {
    const auto half = [](__m128i t257, __m128i m257) {
        const __m128i base = _mm_srli_epi16(t257, 1);
        // Each pixel's top lane (the texel's coverage) copied to its four lanes.
        const __m128i scale = _mm_shufflehi_epi16(_mm_shufflelo_epi16(t257, 0xFF), 0xFF);
        const __m128i sum = _mm_adds_epu16(base, _mm_mulhi_epi16(scale, _mm_srli_epi16(m257, 1)));
        return _mm_srli_epi16(sum, 6);
    };
    const __m128i lo = half(_mm_unpacklo_epi8(texels, texels), _mm_unpacklo_epi8(colours, colours));
    const __m128i hi = half(_mm_unpackhi_epi8(texels, texels), _mm_unpackhi_epi8(colours, colours));
    return _mm_packus_epi16(lo, hi);
}

// Tints the pixels whose elevation lies at or below the level.
inline __m128i water4(__m128i pixels, __m128i elevations, __m128i levelPlusOne, bool masked) {
    const __m128i height = _mm_and_si128(_mm_srli_epi32(elevations, 8), _mm_set1_epi32(0xFF));
    const __m128i wet = _mm_cmplt_epi32(height, levelPlusOne);
    __m128i halved = _mm_srli_epi32(pixels, 1);
    if (masked) halved = _mm_and_si128(halved, _mm_set1_epi32(0x7F7F7F7F));
    const __m128i tint = _mm_add_epi32(halved, _mm_set1_epi32(std::int32_t(kWaterTint)));
    return _mm_or_si128(_mm_and_si128(wet, tint), _mm_andnot_si128(wet, pixels));
}

// A coarse row, four pixels at a time.
void coarseRow(const Columns& cols, std::uint32_t* out, const std::uint32_t* src, const std::uint32_t* elevRow,
               std::uint32_t level, bool water, bool masked) {
    const std::int32_t* cell = cols.cell.data();
    if (!water) {
        for (std::int32_t x = 0; x < cols.width; ++x) out[x] = src[cell[x]];
        return;
    }
    const __m128i levelPlusOne = _mm_set1_epi32(std::int32_t(level + 1));
    std::int32_t x = 0;
    for (; x + 4 <= cols.width; x += 4) {
        const std::int32_t c0 = cell[x], c1 = cell[x + 1], c2 = cell[x + 2], c3 = cell[x + 3];
        const __m128i m =
            _mm_set_epi32(std::int32_t(src[c3]), std::int32_t(src[c2]), std::int32_t(src[c1]), std::int32_t(src[c0]));
        const __m128i e = _mm_set_epi32(std::int32_t(elevRow[c3]), std::int32_t(elevRow[c2]), std::int32_t(elevRow[c1]),
                                        std::int32_t(elevRow[c0]));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), water4(m, e, levelPlusOne, masked));
    }
    for (; x < cols.width; ++x) out[x] = coarsePixel(cols, src, elevRow, level, water, masked, x);
}

// A textured row, four pixels at a time: the cell terms and the texels looked up one by one.
void texturedRow(const Columns& cols, std::uint32_t* out, const std::uint32_t* tilesRow, const CellTerms& terms,
                 bool water) {
    const __m128i tint = _mm_set1_epi32(std::int32_t(kWaterTint));
    const __m128i mask7F = _mm_set1_epi32(0x7F7F7F7F);
    const std::int32_t* cell = cols.cell.data();
    const std::uint8_t* texCol = cols.texCol.data();
    const std::uint32_t* colour = terms.colour.data();
    const std::uint32_t* tile = terms.tile.data();
    const std::uint32_t* wetCells = terms.wet.data();
    std::int32_t x = 0;
    for (; x + 4 <= cols.width; x += 4) {
        const std::int32_t k0 = cell[x], k1 = cell[x + 1], k2 = cell[x + 2], k3 = cell[x + 3];
        const __m128i t = _mm_set_epi32(
            std::int32_t(tilesRow[tile[k3] + texCol[x + 3]]), std::int32_t(tilesRow[tile[k2] + texCol[x + 2]]),
            std::int32_t(tilesRow[tile[k1] + texCol[x + 1]]), std::int32_t(tilesRow[tile[k0] + texCol[x]]));
        const __m128i m = _mm_set_epi32(std::int32_t(colour[k3]), std::int32_t(colour[k2]), std::int32_t(colour[k1]),
                                        std::int32_t(colour[k0]));
        __m128i p = blend4(t, m);
        if (water) {
            const __m128i wet = _mm_set_epi32(std::int32_t(wetCells[k3]), std::int32_t(wetCells[k2]),
                                              std::int32_t(wetCells[k1]), std::int32_t(wetCells[k0]));
            const __m128i tinted = _mm_add_epi32(_mm_and_si128(_mm_srli_epi32(p, 1), mask7F), tint);
            p = _mm_or_si128(_mm_and_si128(wet, tinted), _mm_andnot_si128(wet, p));
        }
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), p);
    }
    for (; x < cols.width; ++x) out[x] = texturedPixel(cols, tilesRow, terms, water, x);
}

#if defined(__x86_64__) && defined(__GNUC__)
#define SORTIE_RENDER_AVX2 1
// blend4's arithmetic on four pixels of 16-bit lanes (two in each 128-bit half), from bytes
// already unpacked with themselves.
__attribute__((target("avx2"))) inline __m256i blendHalfWide(__m256i t257, __m256i m257) {
    const __m256i base = _mm256_srli_epi16(t257, 1);
    // Each pixel's top lane copied to its four lanes, in one byte shuffle.
    const __m256i topLane = _mm256_setr_epi8(6, 7, 6, 7, 6, 7, 6, 7, 14, 15, 14, 15, 14, 15, 14, 15, 6, 7, 6, 7, 6, 7,
                                             6, 7, 14, 15, 14, 15, 14, 15, 14, 15);
    const __m256i scale = _mm256_shuffle_epi8(t257, topLane);
    const __m256i sum = _mm256_adds_epu16(base, _mm256_mulhi_epi16(scale, _mm256_srli_epi16(m257, 1)));
    return _mm256_srli_epi16(sum, 6);
}

// The cell terms spread over the pixel columns, eight columns per permute: each group of
// eight columns reads eight consecutive cell terms from its first column's cell.
__attribute__((target("avx2"))) void spreadCellTermsWide(const Columns& cols, CellTerms& terms) {
    const std::size_t n = (std::size_t(cols.width) + 7) & ~std::size_t(7);
    terms.colourAt.resize(n);
    terms.wetAt.resize(n);
    terms.texelAt.resize(n);
    const std::int32_t* cell = cols.cell.data();
    const std::int32_t* inGroup = cols.inGroup.data();
    const std::uint8_t* texCol = cols.texCol.data();
    const std::uint32_t* colour = terms.colour.data();
    const std::uint32_t* tile = terms.tile.data();
    const std::uint32_t* wetCells = terms.wet.data();
    std::uint32_t* colourAt = terms.colourAt.data();
    std::uint32_t* wetAt = terms.wetAt.data();
    std::uint32_t* texelAt = terms.texelAt.data();
    std::int32_t x = 0;
    for (; x + 8 <= cols.width; x += 8) {
        const std::int32_t first = cell[x];
        const __m256i spread = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(inGroup + x));
        const __m256i m = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(colour + first));
        const __m256i wet = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(wetCells + first));
        const __m256i tiles = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(tile + first));
        const __m256i texels = _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(texCol + x)));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(colourAt + x), _mm256_permutevar8x32_epi32(m, spread));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(wetAt + x), _mm256_permutevar8x32_epi32(wet, spread));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(texelAt + x),
                            _mm256_add_epi32(_mm256_permutevar8x32_epi32(tiles, spread), texels));
    }
    for (; x < cols.width; ++x) {
        const std::int32_t k = cell[x];
        colourAt[x] = colour[k];
        wetAt[x] = wetCells[k];
        texelAt[x] = tile[k] + texCol[x];
    }
}

// The textured row eight pixels at a time from the spread terms. Only called when the
// processor has AVX2.
__attribute__((target("avx2"))) void texturedRowWide(const Columns& cols, std::uint32_t* out,
                                                     const std::uint32_t* tilesRow, const CellTerms& terms,
                                                     bool water) {
    const __m256i tint = _mm256_set1_epi32(std::int32_t(kWaterTint));
    const __m256i mask7F = _mm256_set1_epi32(0x7F7F7F7F);
    const std::uint32_t* colourAt = terms.colourAt.data();
    const std::uint32_t* wetAt = terms.wetAt.data();
    const std::uint32_t* texelAt = terms.texelAt.data();
    std::int32_t x = 0;
    for (; x + 8 <= cols.width; x += 8) {
        // Eight plain loads beat a gather here: the texels often miss the nearer caches, and
        // separate loads each go ahead on their own.
        const std::uint32_t* at = texelAt + x;
        const __m256i t = _mm256_setr_epi32(std::int32_t(tilesRow[at[0]]), std::int32_t(tilesRow[at[1]]),
                                            std::int32_t(tilesRow[at[2]]), std::int32_t(tilesRow[at[3]]),
                                            std::int32_t(tilesRow[at[4]]), std::int32_t(tilesRow[at[5]]),
                                            std::int32_t(tilesRow[at[6]]), std::int32_t(tilesRow[at[7]]));
        const __m256i m = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(colourAt + x));
        // Unpacking and packing both work within 128-bit halves, so the pixel order holds.
        const __m256i lo = blendHalfWide(_mm256_unpacklo_epi8(t, t), _mm256_unpacklo_epi8(m, m));
        const __m256i hi = blendHalfWide(_mm256_unpackhi_epi8(t, t), _mm256_unpackhi_epi8(m, m));
        __m256i p = _mm256_packus_epi16(lo, hi);
        if (water) {
            const __m256i wet = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(wetAt + x));
            const __m256i tinted = _mm256_add_epi32(_mm256_and_si256(_mm256_srli_epi32(p, 1), mask7F), tint);
            p = _mm256_blendv_epi8(p, tinted, wet);
        }
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + x), p);
    }
    for (; x < cols.width; ++x) out[x] = texturedPixel(cols, tilesRow, terms, water, x);
}

// The untextured row at a fine step, eight columns per permute of their cells' pixels.
__attribute__((target("avx2"))) void spreadRowWide(const Columns& cols, std::uint32_t* out,
                                                   const std::uint32_t* pixels) {
    const std::int32_t* cell = cols.cell.data();
    const std::int32_t* inGroup = cols.inGroup.data();
    std::int32_t x = 0;
    for (; x + 8 <= cols.width; x += 8) {
        const __m256i spread = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(inGroup + x));
        const __m256i p =
            _mm256_permutevar8x32_epi32(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(pixels + cell[x])), spread);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + x), p);
    }
    for (; x < cols.width; ++x) out[x] = pixels[cell[x]];
}

// A coarse row eight pixels at a time, the cells loaded one by one (faster than gathers when
// every pixel reads a new cell).
__attribute__((target("avx2"))) void coarseRowWide(const Columns& cols, std::uint32_t* out, const std::uint32_t* src,
                                                   const std::uint32_t* elevRow, std::uint32_t level, bool water,
                                                   bool masked) {
    const std::int32_t* cell = cols.cell.data();
    const __m256i levelPlusOne = _mm256_set1_epi32(std::int32_t(level + 1));
    const __m256i byte = _mm256_set1_epi32(0xFF);
    const __m256i mask = _mm256_set1_epi32(masked ? 0x7F7F7F7F : 0x7FFFFFFF);
    const __m256i tint = _mm256_set1_epi32(std::int32_t(kWaterTint));
    std::int32_t x = 0;
    for (; x + 8 <= cols.width; x += 8) {
        const std::int32_t* c = cell + x;
        __m256i p = _mm256_setr_epi32(int(src[c[0]]), int(src[c[1]]), int(src[c[2]]), int(src[c[3]]), int(src[c[4]]),
                                      int(src[c[5]]), int(src[c[6]]), int(src[c[7]]));
        if (water) {
            const __m256i e =
                _mm256_setr_epi32(int(elevRow[c[0]]), int(elevRow[c[1]]), int(elevRow[c[2]]), int(elevRow[c[3]]),
                                  int(elevRow[c[4]]), int(elevRow[c[5]]), int(elevRow[c[6]]), int(elevRow[c[7]]));
            const __m256i wet = _mm256_cmpgt_epi32(levelPlusOne, _mm256_and_si256(_mm256_srli_epi32(e, 8), byte));
            const __m256i tinted = _mm256_add_epi32(_mm256_and_si256(_mm256_srli_epi32(p, 1), mask), tint);
            p = _mm256_blendv_epi8(p, tinted, wet);
        }
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + x), p);
    }
    for (; x < cols.width; ++x) out[x] = coarsePixel(cols, src, elevRow, level, water, masked, x);
}
#endif

#else  // plain C++: one pixel at a time

void texturedRow(const Columns& cols, std::uint32_t* out, const std::uint32_t* tilesRow, const CellTerms& terms,
                 bool water) {
    for (std::int32_t x = 0; x < cols.width; ++x) out[x] = texturedPixel(cols, tilesRow, terms, water, x);
}

void coarseRow(const Columns& cols, std::uint32_t* out, const std::uint32_t* src, const std::uint32_t* elevRow,
               std::uint32_t level, bool water, bool masked) {
    for (std::int32_t x = 0; x < cols.width; ++x) out[x] = coarsePixel(cols, src, elevRow, level, water, masked, x);
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
    if (page.info.attrib & 1)
        level = page.info.water_level;
    else if (page.terrain)
        level = page.terrain->waterLevel;
    // The level is an elevation byte: a level below the lowest ground floods nothing, one
    // above the highest floods everything. Taking the low byte instead would turn -1 into a
    // sea over the whole map and 256 into none.
    return std::uint32_t(std::clamp<std::int32_t>(level, 0, 255));
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

    // The frame's arithmetic is single precision: at zoom 0.1 the step is 2560, where a
    // division in double would give 2559 and shift the terrain by a column.
    const std::uint32_t s = std::uint32_t(std::int32_t(256.0f / float(f.zoom)));
    const std::uint32_t colStart = std::uint32_t(256 * std::int64_t(view.center_x)) - s * std::uint32_t(f.hw);
    const std::uint32_t rowStart = std::uint32_t(-256 * std::int64_t(view.center_y)) - s * std::uint32_t(f.hh);

    const bool texturing = mode == kMapModeColour && (view.show_flags & kShowDetail) && maps->detailFlag == 1 &&
                           s < 65536 && maps->detailColourBlended.size() >= kTileCount * kTileTexels;

    const std::uint32_t* image = mode == kMapModeElevation ? maps->elevation.data()
                                 : mode == kMapModeEdges   ? terrain_EdgeMap(*maps)
                                                           : maps->colour.data();
    const bool masked = mode != kMapModeElevation && mode != kMapModeEdges;

    Columns cols;
    frameColumns(cols, w, colStart, s);
#if defined(SORTIE_RENDER_AVX2)
    const bool wide = render_Tuning().wideVectors && __builtin_cpu_supports("avx2");
#endif
    // Each band of rows is drawn on its own, from its own first row: a row's pixels depend
    // on its cell and texel row alone, so any split gives the same picture.
    const auto band = [&](std::int32_t firstRow, std::int32_t endRow) {
        CellTerms terms;                    // textured frames
        std::vector<std::uint32_t> pixels;  // untextured frames at fine steps
        std::int64_t termsRow = -1;         // the cell row terms holds
        std::int64_t previous = -1;         // what the last row was drawn from
        // Untextured rows depend on their cell row alone, and at coarse steps the rows come back
        // to cell rows drawn further up: the first pixel row drawn from each cell row.
        std::vector<std::int32_t> drawnAt;
        if (!texturing) drawnAt.assign(kTerrainMapSide, -1);
        std::uint32_t rowAcc = rowStart + s * std::uint32_t(firstRow);
        for (std::int32_t y = firstRow; y < endRow; ++y, rowAcc += s) {
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
            if (!texturing) {
                if (drawnAt[cellRow] >= 0) {
                    std::memcpy(out, f.rows[drawnAt[cellRow]], std::size_t(w) * 4);
                    continue;
                }
                drawnAt[cellRow] = y;
            }
            const std::size_t rowBase = std::size_t(cellRow) * kTerrainMapSide;
            const std::uint32_t* elev = maps->elevation.data() + rowBase;
            const std::uint32_t* src = image + rowBase;
            if (texturing) {
                if (termsRow != std::int64_t(cellRow)) {
                    termsRow = cellRow;
                    gatherCellTerms(terms, cols, src, elev, maps->detail.data() + rowBase, level, water);
#if defined(SORTIE_RENDER_AVX2)
                    if (wide) spreadCellTermsWide(cols, terms);
#endif
                }
                const std::uint32_t* tilesRow = maps->detailColourBlended.data() + texRow * 64;
#if defined(SORTIE_RENDER_AVX2)
                if (wide)
                    texturedRowWide(cols, out, tilesRow, terms, terms.anyWet);
                else
#endif
                    texturedRow(cols, out, tilesRow, terms, terms.anyWet);
            } else if (cols.fine) {
                cellPixels(pixels, cols, src, elev, level, water, masked);
#if defined(SORTIE_RENDER_AVX2)
                if (wide)
                    spreadRowWide(cols, out, pixels.data());
                else
#endif
                    spreadRow(cols, out, pixels.data());
            } else {
#if defined(SORTIE_RENDER_AVX2)
                if (wide)
                    coarseRowWide(cols, out, src, elev, level, water, masked);
                else
#endif
                    coarseRow(cols, out, src, elev, level, water, masked);
            }
        }
    };
    render_ForRowBands(h, render_RowWorkers(std::int64_t(w) * h), band);
}

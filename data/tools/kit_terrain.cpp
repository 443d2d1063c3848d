// Procedural terrains of the sample kit: elevation from value noise with ridges, a river or a
// dry wadi, roads, colour by height bands with hill shading, and the detail tiles and the map
// of which tile lies where. Everything follows from the seed, so every machine builds the same
// bytes (integer hashing, no library random numbers, no platform-dependent maths in the
// stored values beyond IEEE double arithmetic, which is the same everywhere we build).
#include "data/tools/kit.h"

#include "core/file.h"
#include "gamedata/image.h"

#include <jpeglib.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kSide = 1024;
constexpr int kTile = 64;
constexpr int kTilesAcross = 12;  // detail colour image: 768 x 256, 48 tiles
constexpr int kTilesDown = 4;

std::uint32_t hash(std::uint32_t x, std::uint32_t y, std::uint32_t seed) {
    std::uint32_t h = x * 0x8DA6B343u ^ y * 0xD8163841u ^ seed * 0xCB1AB31Fu;
    h ^= h >> 13;
    h *= 0x85EBCA6Bu;
    h ^= h >> 16;
    return h;
}

double lattice(int x, int y, std::uint32_t seed) {
    return (hash(static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y), seed) & 0xFFFFFF) / double(0xFFFFFF);
}

double smooth(double t) { return t * t * (3 - 2 * t); }

// Value noise in 0..1 with a period of `period` lattice cells, so the map tiles seamlessly
// (the map view wraps the terrain at its edges).
double valueNoise(double x, double y, int period, std::uint32_t seed) {
    const int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
    const double fx = smooth(x - x0), fy = smooth(y - y0);
    auto at = [&](int i, int j) {
        return lattice(((i % period) + period) % period, ((j % period) + period) % period, seed);
    };
    const double a = at(x0, y0), b = at(x0 + 1, y0), c = at(x0, y0 + 1), d = at(x0 + 1, y0 + 1);
    return (a + (b - a) * fx) * (1 - fy) + (c + (d - c) * fx) * fy;
}

// Fractal sum of octaves over the map: cell (x, y) of the 1024 map, base period in cells.
double fbm(int x, int y, int basePeriod, int octaves, std::uint32_t seed) {
    double sum = 0, amp = 1, total = 0;
    int period = kSide / basePeriod;  // lattice cells across the map
    for (int o = 0; o < octaves; ++o) {
        const double scale = double(period) / kSide;
        sum += amp * valueNoise(x * scale, y * scale, period, seed + 977u * o);
        total += amp;
        amp *= 0.5;
        period *= 2;
    }
    return sum / total;
}

// Ridged noise: sharp crests where the noise crosses its middle, like eroded ridges.
double ridged(int x, int y, int basePeriod, int octaves, std::uint32_t seed) {
    double sum = 0, amp = 1, total = 0;
    int period = kSide / basePeriod;
    for (int o = 0; o < octaves; ++o) {
        const double scale = double(period) / kSide;
        double n = 1 - std::fabs(2 * valueNoise(x * scale, y * scale, period, seed + 1231u * o) - 1);
        sum += amp * n * n;
        total += amp;
        amp *= 0.5;
        period *= 2;
    }
    return sum / total;
}

struct Polyline {
    std::vector<std::array<double, 2>> points;
};

// Distance from (x, y) to the polyline, on the wrapping map.
double distanceTo(const Polyline& line, double x, double y) {
    double best = 1e9;
    for (std::size_t i = 0; i + 1 < line.points.size(); ++i) {
        const auto& a = line.points[i];
        const auto& b = line.points[i + 1];
        const double dx = b[0] - a[0], dy = b[1] - a[1];
        const double len2 = dx * dx + dy * dy;
        double t = len2 > 0 ? ((x - a[0]) * dx + (y - a[1]) * dy) / len2 : 0;
        t = std::clamp(t, 0.0, 1.0);
        const double px = a[0] + t * dx - x, py = a[1] + t * dy - y;
        best = std::min(best, std::sqrt(px * px + py * py));
    }
    return best;
}

// A meandering line from the top edge to the bottom edge around column `centre`.
Polyline meander(double centre, double swing, std::uint32_t seed) {
    Polyline p;
    for (int y = -16; y <= kSide + 16; y += 8) {
        const double wobble = (fbm(static_cast<int>(centre), (y + kSide) % kSide, 256, 3, seed) - 0.5) * 2;
        const double x = centre + swing * std::sin(y / 170.0 + seed % 7) + swing * 0.6 * wobble;
        p.points.push_back({x, double(y)});
    }
    return p;
}

// A road: straight legs between the given points.
Polyline road(std::initializer_list<std::array<double, 2>> pts) {
    Polyline p;
    p.points.assign(pts.begin(), pts.end());
    return p;
}

enum Surface : std::uint8_t { kGrass, kForest, kSand, kRock, kSnow, kRoad, kWater, kDirt, kSurfaceCount };

// Tile numbers of each surface in the detail colour image: six variants of each of eight
// surfaces fill its 48 tiles, in rows of twelve.
int tileOf(Surface s, int variant) { return int(s) * 6 + variant % 6; }

struct Palette {
    std::array<std::uint8_t, 3> base;  // red, green, blue
    int grain;                         // strength of the texture noise
};

struct Style {
    std::string name;
    std::uint32_t seed;
    bool water;     // river and lake below the water height
    int waterByte;  // elevation byte at or below which the map view draws water
    double relief;  // 0..1 how mountainous
    std::array<Palette, kSurfaceCount> surfaces;
};

Style styleFor(const std::string& name, std::uint32_t seed) {
    Style s;
    s.name = name;
    s.seed = seed;
    if (name == "dustbowl") {
        s.water = false;
        s.waterByte = 0;
        s.relief = 0.8;
        s.surfaces = {{{{150, 140, 80}, 18},
                       {{110, 105, 60}, 22},
                       {{214, 184, 130}, 16},
                       {{160, 110, 80}, 26},
                       {{230, 220, 200}, 10},
                       {{120, 100, 80}, 12},
                       {{60, 90, 120}, 8},
                       {{190, 150, 100}, 20}}};
    } else {
        s.water = true;
        s.waterByte = 40;
        s.relief = 0.6;
        s.surfaces = {{{{92, 140, 60}, 20},
                       {{40, 84, 38}, 24},
                       {{204, 190, 140}, 14},
                       {{130, 126, 118}, 24},
                       {{240, 242, 246}, 8},
                       {{120, 108, 90}, 12},
                       {{40, 80, 120}, 8},
                       {{140, 112, 76}, 18}}};
    }
    return s;
}

struct TerrainData {
    std::vector<std::uint16_t> height;  // 0..65535
    std::vector<Surface> surface;
    std::vector<std::uint32_t> colour;  // 0x00RRGGBB
};

TerrainData generate(const Style& st) {
    TerrainData t;
    t.height.resize(std::size_t(kSide) * kSide);
    t.surface.resize(t.height.size());
    t.colour.resize(t.height.size());

    const Polyline river = meander(st.water ? 380 : 620, st.water ? 90 : 60, st.seed + 11);
    const Polyline roadA = road({{-20, 820}, {200, 760}, {420, 700}, {640, 640}, {860, 520}, {1044, 470}});
    const Polyline roadB = road({{300, -20}, {330, 250}, {420, 500}, {430, 700}, {470, 1044}});
    const double waterLevel = st.waterByte * 256.0 + 128;

    // Distances to the river and the roads, once per cell.
    std::vector<float> riverDist(t.height.size()), roadDist(t.height.size());
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x) {
            const std::size_t i = std::size_t(y) * kSide + x;
            riverDist[i] = static_cast<float>(distanceTo(river, x, y));
            roadDist[i] = static_cast<float>(std::min(distanceTo(roadA, x, y), distanceTo(roadB, x, y)));
        }

    // Raw relief: broad hills with ridged crests, stretched to the whole height range.
    std::vector<double> h(t.height.size());
    double lo = 1e9, hi = -1e9;
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x) {
            const double base = fbm(x, y, 512, 6, st.seed);
            const double ridge = ridged(x, y, 256, 5, st.seed + 5);
            const double e = 0.55 * base + st.relief * 0.55 * ridge * base;
            h[std::size_t(y) * kSide + x] = e;
            lo = std::min(lo, e);
            hi = std::max(hi, e);
        }
    const double floor = (waterLevel + 2500) / 65535.0;  // lowest dry land
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x) {
            const std::size_t i = std::size_t(y) * kSide + x;
            double e = std::pow((h[i] - lo) / (hi - lo), 1.4);
            e = floor + e * (0.97 - floor);
            // The valley floor around the river is lower and flatter.
            const double dr = riverDist[i];
            const double valley = std::clamp(dr / 160.0, 0.0, 1.0);
            e = floor + (e - floor) * (0.25 + 0.75 * valley * valley);
            if (dr < 14)
                e = std::min(e, st.water ? (waterLevel - 900) / 65535.0 : 0.06 + dr * 0.003);
            else if (dr < 40)
                e = std::min(e, (st.water ? waterLevel + (dr - 14) * 90 : (0.10 + dr * 0.002) * 65535) / 65535.0);
            h[i] = e;
        }
    // Roads are cut level with their surroundings: smooth the height across them.
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x) {
            const std::size_t i = std::size_t(y) * kSide + x;
            const double d = roadDist[i];
            const double dr = riverDist[i];
            double e = h[i];
            if (d < 5) e = std::max(e, (waterLevel + 300) / 65535.0);
            e = std::clamp(e, 0.0, 1.0);
            t.height[i] = static_cast<std::uint16_t>(std::lround(e * 65535.0));
            Surface s;
            const double hb = t.height[i] / 256.0;
            const double forest = fbm(x, y, 128, 4, st.seed + 99);
            if (st.water && hb <= st.waterByte)
                s = kWater;
            else if (d < 3.5 && dr > 10)
                s = kRoad;
            else if (!st.water && dr < 16)
                s = kSand;
            else if (st.water && hb <= st.waterByte + 4)
                s = kSand;
            else if (hb > 225)
                s = kSnow;
            else if (hb > 165)
                s = kRock;
            else if (forest > 0.58 && hb < 150)
                s = kForest;
            else if (forest < 0.3)
                s = kDirt;
            else
                s = kGrass;
            t.surface[i] = s;
        }
    // Colour: the surface's colour, varied by fine noise and lit from the north-west.
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x) {
            const std::size_t i = std::size_t(y) * kSide + x;
            const Palette& p = st.surfaces[t.surface[i]];
            const int xl = (x + kSide - 1) % kSide, yu = (y + kSide - 1) % kSide;
            const double dzx = (t.height[i] - double(t.height[std::size_t(y) * kSide + xl])) / 256.0;
            const double dzy = (t.height[i] - double(t.height[std::size_t(yu) * kSide + x])) / 256.0;
            double light = 1.0 + std::clamp((dzx + dzy) * 0.12, -0.4, 0.4);
            if (t.surface[i] == kWater) {
                const double depth = std::clamp((waterLevel - t.height[i]) / 3000.0, 0.0, 1.0);
                light = 1.0 - 0.4 * depth;
            }
            const double grain = (fbm(x, y, 16, 2, st.seed + 7) - 0.5) * p.grain * 2;
            std::uint32_t c = 0;
            for (int k = 0; k < 3; ++k) {
                const double v = std::clamp(p.base[std::size_t(k)] * light + grain, 0.0, 255.0);
                c = c << 8 | static_cast<std::uint32_t>(v);
            }
            t.colour[i] = c;
        }
    return t;
}

// The 768 x 256 detail colour image (bytes blue, green, red, alpha): six variants of each
// surface's texture, with a low alpha so the colour map stays the dominant colour.
std::vector<std::uint32_t> detailColour(const Style& st) {
    std::vector<std::uint32_t> img(std::size_t(kTilesAcross) * kTile * kTilesDown * kTile);
    const int width = kTilesAcross * kTile;
    for (int tile = 0; tile < kTilesAcross * kTilesDown; ++tile) {
        const Surface s = static_cast<Surface>(tile / 6);
        const Palette& p = st.surfaces[s];
        const int tx = (tile % kTilesAcross) * kTile, ty = (tile / kTilesAcross) * kTile;
        for (int y = 0; y < kTile; ++y)
            for (int x = 0; x < kTile; ++x) {
                // Noise that tiles within 64 texels: period 64 at 1/8 and 1/4 scales.
                const double n1 = valueNoise(x / 8.0, y / 8.0, 8, st.seed + 300u + tile);
                const double n2 = valueNoise(x / 4.0, y / 4.0, 16, st.seed + 600u + tile);
                const double n = (0.6 * n1 + 0.4 * n2 - 0.5) * p.grain * 3;
                std::uint32_t c = 0;
                for (int k = 0; k < 3; ++k)
                    c = c << 8 | static_cast<std::uint32_t>(std::clamp(p.base[std::size_t(k)] + n, 0.0, 255.0));
                const std::uint32_t alpha = s == kWater ? 32 : 72;
                img[std::size_t(ty + y) * width + tx + x] = alpha << 24 | c;
            }
    }
    return img;
}

bool writeJpeg(const std::string& path, const std::vector<std::uint32_t>& rgb, int width, int height) {
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr jerr{};
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = static_cast<JDIMENSION>(width);
    cinfo.image_height = static_cast<JDIMENSION>(height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 85, TRUE);
    // Baseline Huffman coding, 2x2 chroma subsampling: the forms the editor's decoder reads.
    cinfo.optimize_coding = FALSE;
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<unsigned char> row(std::size_t(width) * 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t c = rgb[std::size_t(y) * width + x];
            row[std::size_t(x) * 3] = static_cast<unsigned char>(c >> 16);
            row[std::size_t(x) * 3 + 1] = static_cast<unsigned char>(c >> 8);
            row[std::size_t(x) * 3 + 2] = static_cast<unsigned char>(c);
        }
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&cinfo, &r, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    const bool ok = file_WriteAtomic(path, buffer, size);
    std::free(buffer);
    return ok;
}

}  // namespace

// sortie-kit terrain NAME SEED OUTDIR: writes NAME's maps into OUTDIR.
//   greenvale: NAME.jpg colour, NAME.r16 elevation, greenvd.pcx detail map, greenvc.tga
//              detail colour (the .trn names them);
//   dustbowl:  NAME.tga colour, NAME.pcx elevation.
int kit_Terrain(const std::string& name, std::uint32_t seed, const std::string& outDir) {
    const Style st = styleFor(name, seed);
    const TerrainData t = generate(st);
    const std::string base = outDir + "/" + name;
    if (name == "dustbowl") {
        if (!img_WriteTga(base + ".tga", kSide, kSide, t.colour.data(), 24)) return 1;
        // Elevation as an 8-bit PCX whose palette's green value is the height byte.
        std::vector<std::uint8_t> idx(t.height.size());
        for (std::size_t i = 0; i < idx.size(); ++i) idx[i] = static_cast<std::uint8_t>(t.height[i] >> 8);
        std::array<std::uint8_t, 768> pal{};
        for (int i = 0; i < 256; ++i)
            pal[std::size_t(i) * 3] = pal[std::size_t(i) * 3 + 1] = pal[std::size_t(i) * 3 + 2] = std::uint8_t(i);
        if (!img_WritePcx8(base + ".pcx", kSide, kSide, idx.data(), pal.data())) return 1;
        return 0;
    }
    if (!writeJpeg(base + ".jpg", t.colour, kSide, kSide)) return 1;
    if (!img_WriteR16(base + ".r16", kSide, kSide, t.height.data())) return 1;
    // Detail map: a tile of the cell's surface, the variant from coarse noise so that
    // neighbouring cells share tiles in patches.
    std::vector<std::uint8_t> detail(t.height.size());
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x) {
            const std::size_t i = std::size_t(y) * kSide + x;
            const int variant = static_cast<int>(fbm(x, y, 64, 2, seed + 42) * 6.0 * 1.999) % 6;
            detail[i] = static_cast<std::uint8_t>(tileOf(t.surface[i], variant));
        }
    // Its palette: each tile number's entry is the surface colour, so the map reads in any viewer.
    std::array<std::uint8_t, 768> pal{};
    for (int i = 0; i < kTilesAcross * kTilesDown; ++i)
        for (int k = 0; k < 3; ++k) pal[std::size_t(i) * 3 + k] = st.surfaces[std::size_t(i / 6)].base[std::size_t(k)];
    const std::string prefix = outDir + "/" + name.substr(0, 5);
    if (!img_WritePcx8(prefix + "d.pcx", kSide, kSide, detail.data(), pal.data())) return 1;
    const std::vector<std::uint32_t> tiles = detailColour(st);
    if (!img_WriteTga(prefix + "c.tga", kTilesAcross * kTile, kTilesDown * kTile, tiles.data(), 32)) return 1;
    return 0;
}

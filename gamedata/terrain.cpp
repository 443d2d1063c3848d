#include "gamedata/terrain.h"
#include "core/nocase.h"

#include "core/file.h"
#include "core/mem.h"
#include "gamedata/image.h"
#include "gamedata/jpeg.h"
#include "gamedata/path.h"
#include "core/parser.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <locale.h>
#include <limits>
#include <new>
#include <string>
#include <string_view>

namespace {

constexpr auto sameText = nocase_Equal;

std::int32_t clampToInt32(long double v) {
    if (std::isnan(v)) return 0;
    if (v >= 2147483647.0L) return std::numeric_limits<std::int32_t>::max();
    if (v <= -2147483648.0L) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(v);  // truncates toward zero
}

// A decimal integer: optional sign and digits, ended by the first other character; 0 for a
// token without digits. Values beyond 32 bits saturate.
std::int64_t readInteger(const char* s) {
    std::int64_t v = 0;
    bool negative = false;
    if (*s == '+' || *s == '-') negative = *s++ == '-';
    while (*s >= '0' && *s <= '9') {
        v = v * 10 + (*s++ - '0');
        if (v > (std::int64_t(1) << 32)) v = std::int64_t(1) << 32;  // saturated well past 32 bits
    }
    return negative ? -v : v;
}

std::int32_t readInt32(const char* s) { return clampToInt32(static_cast<long double>(readInteger(s))); }

// A decimal number with optional sign, fraction and exponent; 0 without digits.
double readDecimal(const char* s) {
    const char* p = s;
    if (*p == '+' || *p == '-') ++p;
    bool digits = false;
    while (*p >= '0' && *p <= '9') ++p, digits = true;
    if (*p == '.') {
        ++p;
        while (*p >= '0' && *p <= '9') ++p, digits = true;
    }
    if (!digits) return 0;
    if (*p == 'e' || *p == 'E') {
        const char* e = p + 1;
        if (*e == '+' || *e == '-') ++e;
        if (*e >= '0' && *e <= '9') {
            while (*e >= '0' && *e <= '9') ++e;
            p = e;
        }
    }
    // Converted in the C locale: the toolkit sets the user's locale at start-up, and a comma
    // for the decimal point would cut "0.5" to 0.
    static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t(0));
    const std::string number(s, p);
    return strtod_l(number.c_str(), nullptr, c);
}

void setText(char* field, std::size_t capacity, std::string_view text) {
    const std::size_t n = std::min(text.size(), capacity - 1);
    std::memcpy(field, text.data(), n);
    field[n] = 0;
}

// A map file name: the argument, with a dot and the default extension when it has no dot;
// a long name is cut so that the extension still fits.
void setFileName(char* field, std::string_view arg, const char* defaultExtension) {
    if (arg.find('.') != std::string_view::npos) {
        setText(field, kTerrainFileSize, arg);
        return;
    }
    const std::string ext = std::string(".") + defaultExtension;
    const std::size_t room = kTerrainFileSize - 1 - ext.size();
    setText(field, kTerrainFileSize, std::string(arg.substr(0, room)) + ext);
}

char* fileField(TerrainDef& d, std::string_view key, const char*& ext) {
    struct Entry {
        const char* keyword;
        char* field;
        const char* ext;
    };
    const Entry entries[] = {
        {"color_map", d.color_map, "tga"},         {"elev_map", d.elev_map, "pcx"},
        {"detail_map", d.detail_map, "pcx"},       {"detail_color", d.detail_color, "tga"},
        {"detail_elev", d.detail_elev, "pcx"},     {"detail_shade", d.detail_shade, "pcx"},
        {"char_data", d.char_data, "txt"},         {"sky_map", d.sky_map, "pcx"},
        {"sky_palette", d.sky_palette, "pcx"},     {"water_map", d.water_map, "pcx"},
        {"water_palette", d.water_palette, "pcx"}, {"moon_sun_object", d.moon_sun_object, "3do"},
        {"star_field", d.star_field, "sky"},
    };
    for (const Entry& e : entries)
        if (sameText(key, e.keyword)) {
            ext = e.ext;
            return e.field;
        }
    return nullptr;
}

std::int32_t* intField(TerrainDef& d, std::string_view key) {
    if (sameText(key, "saturation")) return &d.saturation;
    if (sameText(key, "gamma")) return &d.gamma;
    if (sameText(key, "sun_slope")) return &d.sun_slope;
    if (sameText(key, "sky_height")) return &d.sky_height;
    if (sameText(key, "scale_bits")) return &d.scale_bits;
    if (sameText(key, "fog_level")) return &d.fog_level;
    return nullptr;
}

SurfaceKind surfaceKind(std::string_view word) {
    static constexpr std::pair<const char*, SurfaceKind> kinds[] = {
        {"dirt", SurfaceKind::Dirt},     {"grass", SurfaceKind::Grass}, {"snow", SurfaceKind::Snow},
        {"cement", SurfaceKind::Cement}, {"sand", SurfaceKind::Sand},   {"packed_dirt", SurfaceKind::PackedDirt},
    };
    for (const auto& k : kinds)
        if (sameText(word, k.first)) return k.second;
    return SurfaceKind::Other;
}

}  // namespace

void terrain_DefineLine(TerrainDef& d, const LineTokens& t) {
    const std::string_view key = t.at(0);
    const char* arg = t.at(1);
    const char* ext = nullptr;
    if (sameText(key, "terrain_name")) {
        setText(d.terrain_name, kTerrainNameSize, arg);
    } else if (sameText(key, "terrain_creator")) {
        setText(d.terrain_creator, kTerrainCreatorSize, arg);
    } else if (std::int32_t* field = intField(d, key)) {
        *field = readInt32(arg);
    } else if (sameText(key, "water_height")) {
        // Kept in 1/32768 units; a height too large for that saturates.
        d.water_height = clampToInt32(static_cast<long double>(readInteger(arg)) * 32768.0L);
    } else if (sameText(key, "water_opacity")) {
        d.water_opacity = clampToInt32(static_cast<long double>(readDecimal(arg)) * 65536.0L);
    } else if (sameText(key, "horizon")) {
        d.horizon = clampToInt32(static_cast<long double>(readDecimal(arg)) * 65536.0L);
    } else if (char* file = fileField(d, key, ext)) {
        setFileName(file, arg, ext);
    } else if (sameText(key, "camouflage")) {
        if (sameText(arg, "green"))
            d.camouflage = 0;
        else if (sameText(arg, "brown"))
            d.camouflage = 1;
        else if (sameText(arg, "white"))
            d.camouflage = 2;
    } else if (sameText(key, "filter")) {
        for (int i = 0; i < 3; ++i) d.filter[i] = readInt32(t.at(1 + i));
    } else if (sameText(key, "fog_color")) {
        const auto r = static_cast<std::uint32_t>(readInt32(t.at(1)));
        const auto g = static_cast<std::uint32_t>(readInt32(t.at(2)));
        const auto b = static_cast<std::uint32_t>(readInt32(t.at(3)));
        d.fog_color = r * 65536u + g * 256u + b;
    } else if (sameText(key, "turbidity")) {
        d.turbidity[0] = clampToInt32(static_cast<long double>(readDecimal(arg)));
        d.turbidity[1] = readInt32(t.at(2));
        d.turbidity[2] = readInt32(t.at(3));
    } else if (sameText(key, "type")) {
        if (t.count != 5 || d.type_count >= kTerrainMaxTypes) return;
        TerrainSurfaceType& s = d.types[static_cast<std::size_t>(d.type_count)];
        s.red = static_cast<std::uint8_t>(readInt32(t.at(1)));
        s.green = static_cast<std::uint8_t>(readInt32(t.at(2)));
        s.blue = static_cast<std::uint8_t>(readInt32(t.at(3)));
        s.kind = surfaceKind(t.at(4));
        ++d.type_count;
    }
}

namespace {

bool hasExtension(const char* name, const char* ext) { return sameText(path_Parts(name, kPathExtension), ext); }

// Copies the overlap of a width x height image with the 1024 x 1024 map into its top left.
template <typename T>
void copyIntoMap(const T* src, int width, int height, T* map) {
    const int w = std::min(width, kTerrainMapSide), h = std::min(height, kTerrainMapSide);
    for (int y = 0; y < h; ++y)
        std::copy(src + std::size_t(y) * width, src + std::size_t(y) * width + w,
                  map + std::size_t(y) * kTerrainMapSide);
}

// The JPEG form of the colour map; true when it decoded into the map.
bool loadJpegColour(const TerrainDef& def, TerrainMaps& maps) {
    char name[kTerrainFileSize];
    setText(name, sizeof name, def.color_map);
    set_Extension(name, sizeof name, "jpg");
    if (!file_Exists(name)) return false;
    ImageFile file;
    if (img_LoadFile(name, file) != kImgDone || file.size == 0) return false;
    int w = 0, h = 0;
    if (!jpeg_ReadSize(file.bytes.data(), file.size, &w, &h) || w != kTerrainMapSide || h != kTerrainMapSide)
        return false;
    std::uint32_t* out = maps.colour.data();
    return jpeg_Decode(file.bytes.data(), file.size, &w, &h, &out, false) == 1;
}

}  // namespace

void terrain_Clear(TerrainMaps& maps) {
    // Fresh blocks read as zero without a write: only what a load fills is ever faulted in.
    maps.colour.assignZero(kTerrainMapCells);
    maps.elevation.assignZero(kTerrainMapCells);
    maps.edge.release();
    maps.detail.assignZero(kTerrainMapCells);
    maps.detailPalette.fill(0);
    maps.detailColour.assignZero(kTerrainDetailColourMaxPixels);
    maps.detailColourBlended.assignZero(kTerrainDetailColourMaxPixels);
    maps.detailColourWidth = maps.detailColourHeight = 0;
    maps.detailHeader = TerrainDetailHeader{};
    maps.detailFlag = 1;
    maps.waterLevel = 0;
}

TerrainMaps* terrain_NewMaps() {
    auto* maps = new TerrainMaps;
    terrain_Clear(*maps);
    return maps;
}

void terrain_FreeMaps(TerrainMaps* maps) { delete maps; }

TerrainState& terrain_State() {
    static TerrainState state;
    return state;
}

void terrain_ResetState() { terrain_State() = TerrainState{}; }

int terrain_LoadDef(const char* terrainName, TerrainDef& def) {
    char name[kTerrainNameSize];
    setText(name, sizeof name, terrainName ? terrainName : "");
    set_Extension(name, sizeof name, "trn");
    def = TerrainDef{};
    if (!file_Exists(name)) return 1;
    const std::int32_t rc = parser_ReadLayerFile(
        name,
        [&def](const LineTokens* tokens, int) -> std::int32_t {
            if (tokens) terrain_DefineLine(def, *tokens);
            return 0;
        },
        0);
    return rc == 0 ? 1 : 0;
}

std::uint32_t terrain_BlendPixel(std::uint32_t pixel) {
    const auto w = [](std::uint32_t x) { return (x * 257) / 2; };
    const std::uint32_t wa = w(pixel >> 24);
    std::uint32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const std::uint32_t x = std::min<std::uint32_t>(((w((pixel >> shift) & 0xFF) * wa) >> 16) / 128, 255);
        out |= x << shift;
    }
    const std::uint32_t a = std::min<std::uint32_t>(((wa * (wa | 0x7F7F)) >> 16) / 128, 255) ^ 0x7F;
    return out | (a << 24);
}

void terrain_BuildEdges(const std::uint32_t* elevation, std::uint32_t* edge) {
    constexpr int n = kTerrainMapSide, mask = kTerrainMapSide - 1;
    for (int y = 0; y < n; ++y) {
        const std::uint32_t* row = elevation + std::size_t(y) * n;
        const std::uint32_t* up = elevation + std::size_t((y - 1) & mask) * n;
        const std::uint32_t* down = elevation + std::size_t((y + 1) & mask) * n;
        std::uint32_t* out = edge + std::size_t(y) * n;
        for (int x = 0; x < n; ++x) {
            const std::uint32_t v = row[x];
            const bool same = up[x] == v && down[x] == v && row[(x - 1) & mask] == v && row[(x + 1) & mask] == v;
            out[x] = same ? 0 : kTerrainEdgeColour;
        }
    }
}

const std::uint32_t* terrain_EdgeMap(const TerrainMaps& maps) {
    if (maps.edge.size() != kTerrainMapCells) {
        maps.edge.assignZero(kTerrainMapCells);
        if (maps.elevation.size() == kTerrainMapCells) terrain_BuildEdges(maps.elevation.data(), maps.edge.data());
    }
    return maps.edge.data();
}

int terrain_LoadMaps(TerrainMaps& maps, const char* terrainName) {
    terrain_Clear(maps);
    if (!terrainName || !terrainName[0]) return 1;
    TerrainDef& def = terrain_State().def;
    if (!terrain_LoadDef(terrainName, def)) return 0;

    ImageRecord image;
    // Colour map: the JPEG form first, then the map's own form by its extension. A JPEG
    // refused half-way leaves its partial pixels until another form overwrites them.
    if (!loadJpegColour(def, maps)) {
        int rc = -1;
        if (hasExtension(def.color_map, ".tga"))
            rc = img_ReadTga(image, def.color_map);
        else if (hasExtension(def.color_map, ".pcx"))
            rc = img_ReadPcxGreen(image, def.color_map);
        if (rc == kImgDone) copyIntoMap(image.pixels32(), image.width, image.height, maps.colour.data());
    }

    // Elevation map.
    {
        int rc = -1;
        if (hasExtension(def.elev_map, ".r16"))
            rc = img_ReadR16(image, def.elev_map);
        else if (hasExtension(def.elev_map, ".pcx"))
            rc = img_ReadPcxGreen(image, def.elev_map);
        if (rc == kImgDone) copyIntoMap(image.pixels32(), image.width, image.height, maps.elevation.data());
    }

    // Detail colour image: plain and blended, in stored order.
    if (!hasExtension(def.detail_color, ".tga")) {
        maps.detailFlag = 0;
    } else if (img_ReadTga(image, def.detail_color) == kImgDone) {
        const std::size_t n = std::min<std::size_t>(std::size_t(image.pixelCount), kTerrainDetailColourMaxPixels);
        const std::uint32_t* px = image.pixels32();
        std::copy(px, px + n, maps.detailColour.begin());
        std::transform(px, px + n, maps.detailColourBlended.begin(), terrain_BlendPixel);
        maps.detailColourWidth = image.width;
        maps.detailColourHeight = image.height;
        maps.detailHeader = TerrainDetailHeader{};
        maps.detailHeader.set = true;
    }
    img_Release(image);

    // Detail map and its palette.
    if (!hasExtension(def.detail_map, ".pcx")) {
        maps.detailFlag = 0;
    } else if (img_ReadPcxIndexed(image, def.detail_map) == kImgDone) {
        copyIntoMap(image.indices(), image.width, image.height, maps.detail.data());
        std::copy(image.palette(), image.palette() + kTerrainDetailPaletteSize, maps.detailPalette.begin());
    }
    img_Release(image);

    maps.waterLevel = def.water_height >> 15;
    return 1;
}

bool terrain_Exists(const char* terrainName) {
    if (!terrainName || !*terrainName) return true;
    char name[kTerrainNameSize];
    setText(name, sizeof name, terrainName);
    set_Extension(name, sizeof name, "trn");
    return file_Exists(name) == 1;
}

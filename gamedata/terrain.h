// Terrains: the definition file (".trn") of a terrain and the maps a page draws it from.
//
// A mission names its terrain; terrain_LoadMaps reads that terrain's definition and then its
// images (colour map, elevation map, detail colour image, detail map) through the file layer,
// normally out of terrains.pff, into fixed-size maps, and derives the edge map that outlines
// every change of elevation. A missing file leaves its map black; only a definition file the
// line parser rejects fails the load.
#pragma once

#include "core/mem.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

struct LineTokens;  // core/parser.h

constexpr int kTerrainMapSide = 1024;
constexpr std::size_t kTerrainMapCells = std::size_t(kTerrainMapSide) * kTerrainMapSide;
constexpr int kTerrainMaxTypes = 100;
constexpr int kTerrainDetailPaletteSize = 192;
constexpr std::size_t kTerrainDetailColourMaxPixels = std::size_t(1) << 20;  // 4 MiB of pixels
constexpr std::uint32_t kTerrainEdgeColour = 0x404040;

// Field sizes of the definition record (each includes the terminating NUL).
constexpr std::size_t kTerrainNameSize = 80;
constexpr std::size_t kTerrainCreatorSize = 36;
constexpr std::size_t kTerrainFileSize = 16;

// Surface kinds of a `type` line.
enum class SurfaceKind : std::uint8_t { Other = 0, Dirt, Grass, Snow, Cement, Sand, PackedDirt };

struct TerrainSurfaceType {
    std::uint8_t red = 0, green = 0, blue = 0;
    SurfaceKind kind = SurfaceKind::Other;
};

// One terrain definition file. The defaults are those of a file that sets nothing.
struct TerrainDef {
    std::array<TerrainSurfaceType, kTerrainMaxTypes> types{};
    char terrain_name[kTerrainNameSize] = {};
    char terrain_creator[kTerrainCreatorSize] = {};
    char color_map[kTerrainFileSize] = {};        // default extension "tga"
    char elev_map[kTerrainFileSize] = {};         // "pcx"
    char detail_map[kTerrainFileSize] = {};       // "pcx"
    char detail_color[kTerrainFileSize] = {};     // "tga"
    char detail_elev[kTerrainFileSize] = {};      // "pcx"
    char detail_shade[kTerrainFileSize] = {};     // "pcx"
    char char_data[kTerrainFileSize] = {};        // "txt"
    char sky_map[kTerrainFileSize] = {};          // "pcx"
    char sky_palette[kTerrainFileSize] = {};      // "pcx"
    char water_map[kTerrainFileSize] = {};        // "pcx"
    char water_palette[kTerrainFileSize] = {};    // "pcx"
    char moon_sun_object[kTerrainFileSize] = {};  // "3do"
    char star_field[kTerrainFileSize] = {};       // "sky"
    std::int32_t camouflage = 0;                  // 0 green, 1 brown, 2 white
    std::int32_t sky_height = 1236;
    std::int32_t sun_slope = 60;
    std::int32_t water_height = 0;   // the file's integer x 32768
    std::int32_t water_opacity = 0;  // 16.16 fixed point
    std::array<std::int32_t, 3> filter{};
    std::int32_t saturation = 0;
    std::int32_t gamma = 0;
    std::int32_t horizon = 65536;  // 16.16 fixed point, 1.0
    std::array<std::int32_t, 3> turbidity{23, 8, 4};
    std::int32_t type_count = 0;
    std::int32_t scale_bits = 0;
    std::uint32_t fog_color = 0xC0C0C0C0;  // 0x00RRGGBB once a file sets it
    std::int32_t fog_level = 0;
};

// Header of the detail colour image as the map view shows it: a top-down 32-bit bitmap of
// 768 x 256 pixels at 1000 pixels per metre. Set once a detail colour image was loaded.
struct TerrainDetailHeader {
    bool set = false;
    std::int32_t width = 768;
    std::int32_t height = -256;  // negative: rows run top-down
    std::int32_t bitCount = 32;
    std::int32_t xPixelsPerMetre = 1000;
    std::int32_t yPixelsPerMetre = 1000;
};

// The terrain maps of one page. After terrain_Clear (and so after every load) every map has
// its full size; rows run from the top of the picture, cell (row, column) at
// row * 1024 + column. Pixels are 0x00RRGGBB (bytes blue, green, red, 0).
struct TerrainMaps {
    LargeArray<std::uint32_t> colour;     // 1024 x 1024
    LargeArray<std::uint32_t> elevation;  // 1024 x 1024, height in green (or a band)
    LargeArray<std::uint8_t> detail;      // 1024 x 1024 detail tile numbers
    std::array<std::uint32_t, kTerrainDetailPaletteSize> detailPalette{};
    // The detail colour image in stored order (tiles of 64 x 64 for the map view), plain
    // (bytes blue, green, red, alpha) and blended; kTerrainDetailColourMaxPixels each.
    LargeArray<std::uint32_t> detailColour;
    LargeArray<std::uint32_t> detailColourBlended;
    std::int32_t detailColourWidth = 0;  // size of the loaded image, 0 for none
    std::int32_t detailColourHeight = 0;
    TerrainDetailHeader detailHeader;
    std::int32_t detailFlag = 1;  // 1 when the detail maps are usable
    std::int32_t waterLevel = 0;

    // Derived: the edge map (1024 x 1024, 0 or kTerrainEdgeColour), worked out from the
    // elevation map the first time it is asked for (terrain_EdgeMap): most sessions never show
    // it. Empty until then; a load empties it again.
    mutable LargeArray<std::uint32_t> edge;
};

// Sizes every map and clears it to zero; detail flag 1, water level 0, no detail header, no
// edge map yet.
void terrain_Clear(TerrainMaps& maps);
// A new cleared set of maps, and the matching release (the page holds its maps by pointer).
TerrainMaps* terrain_NewMaps();
void terrain_FreeMaps(TerrainMaps* maps);

// The definition of the terrain loaded last; start-up and tests reset it.
struct TerrainState {
    TerrainDef def;
};
TerrainState& terrain_State();
void terrain_ResetState();

// Reads "<name>.trn" (the name's own extension, if any, is replaced) into def, which is reset
// to its defaults first. 1 when read without error or when the file does not exist; 0 when the
// line parser reported an error.
int terrain_LoadDef(const char* terrainName, TerrainDef& def);

// Applies one definition line (keyword and arguments) to def. Unknown keywords and malformed
// arguments are ignored: no line is ever an error.
void terrain_DefineLine(TerrainDef& def, const LineTokens& tokens);

// Loads a terrain into maps, reading its definition into terrain_State().def. 1 when done
// (also for an empty name: a blank terrain); 0 when the definition file has an error, in which
// case the maps stay clear.
int terrain_LoadMaps(TerrainMaps& maps, const char* terrainName);
// Whether the definition of the named terrain can be found (on disk or in the archives).
// An empty name is no terrain and counts as found.
bool terrain_Exists(const char* terrainName);

// The blend conversion of the detail colour image, pixel by pixel (bytes blue, green, red,
// alpha): colours scaled by alpha into 0..127, alpha turned into 127 minus its coverage.
std::uint32_t terrain_BlendPixel(std::uint32_t pixel);
// Marks every cell of a 1024 x 1024 elevation map whose value differs from one of its four
// neighbours (wrapping around at the edges) with kTerrainEdgeColour, others with 0.
void terrain_BuildEdges(const std::uint32_t* elevation, std::uint32_t* edge);
// The edge map of these maps' elevation, worked out now if it was not yet. Not for two threads
// at once.
const std::uint32_t* terrain_EdgeMap(const TerrainMaps& maps);

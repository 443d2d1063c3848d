// Terrain definitions and map loading, with the files served from an archive in memory the
// way terrains.pff serves them to the editor.
#include "gamedata/terrain.h"

#include "core/file.h"
#include "core/mem.h"
#include "core/pff.h"
#include "core/reset.h"
#include "gamedata/image.h"
#include "gamedata/reset.h"
#include "mission/mission.h"
#include "mission/page_load.h"
#include "support/fake_platform.h"
#include "support/jpeg_reference.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

template <typename T>
std::vector<T> asVector(const LargeArray<T>& map) {
    return std::vector<T>(map.begin(), map.end());
}

using Bytes = std::vector<std::uint8_t>;

Bytes text(const std::string& s) { return Bytes(s.begin(), s.end()); }

class TerrainTest : public ::testing::Test {
protected:
    void SetUp() override {
        gamedata_ResetLayer();
        core_ResetLayer();
        ASSERT_EQ(mem_Startup(), 0);
        terrain_Clear(maps);
    }
    void TearDown() override {
        gamedata_ResetLayer();
        core_ResetLayer();
    }
    // Registers an archive holding the given members (name, bytes).
    void serve(std::vector<PffPackMember> members) {
        std::string error;
        ASSERT_TRUE(pff_BuildArchive(members, archive, error)) << error;
        PffArchive* a = pff_OpenArchiveMemory(archive.data(), archive.size(), "terrains.pff");
        ASSERT_NE(a, nullptr);
        pff_AddArchive(a);
    }

    ScopedFakePlatform fake;
    Bytes archive;
    TerrainMaps maps;
};

// A 1024 x 1024 picture (0x00RRGGBB) from a formula, stored as the rows are given.
std::vector<std::uint32_t> mapPicture(std::uint32_t (*f)(int x, int y), int w = 1024, int h = 1024) {
    std::vector<std::uint32_t> px(std::size_t(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) px[std::size_t(y) * w + x] = f(x, y);
    return px;
}

std::uint32_t colourAt(int x, int y) {
    return std::uint32_t((x * 7) & 255) << 16 | std::uint32_t((y * 3) & 255) << 8 | 0x40;
}

TEST_F(TerrainTest, DefinitionKeywordsAndDefaults) {
    serve({{"alps.trn", text("// the alps\r\n"
                             "Terrain_Name \"High Alps, north face\"\r\n"
                             "terrain_creator Someone\r\n"
                             "color_map alps\r\n"
                             "ELEV_MAP alpsh.r16\r\n"
                             "detail_map alpsd\r\n"
                             "detail_color alpsc\r\n"
                             "detail_elev de\r\n"
                             "detail_shade ds\r\n"
                             "char_data chars\r\n"
                             "sky_map sky\r\n"
                             "sky_palette skyp\r\n"
                             "water_map wm\r\n"
                             "water_palette wp\r\n"
                             "moon_sun_object moon\r\n"
                             "star_field stars\r\n"
                             "camouflage brown\r\n"
                             "camouflage purple\r\n"
                             "sky_height 900\r\n"
                             "sun_slope -5\r\n"
                             "water_height 12\r\n"
                             "water_opacity 0.5\r\n"
                             "filter 1 -2 3\r\n"
                             "saturation 7\r\n"
                             "gamma 8\r\n"
                             "horizon -0.75\r\n"
                             "turbidity 2.9 5 6\r\n"
                             "scale_bits 3\r\n"
                             "fog_color 255 128 0\r\n"
                             "fog_level 44\r\n"
                             "type 10 20 30 grass\r\n"
                             "type 1 2 3\r\n"
                             "type 300 20 30 Packed_Dirt\r\n"
                             "type 1 1 1 lava\r\n"
                             "some_new_keyword 1 2 3\r\n")}});
    TerrainDef def;
    ASSERT_EQ(terrain_LoadDef("alps.old", def), 1) << "alps.old reads alps.trn";
    EXPECT_STREQ(def.terrain_name, "High Alps, north face");
    EXPECT_STREQ(def.terrain_creator, "Someone");
    EXPECT_STREQ(def.color_map, "alps.tga");
    EXPECT_STREQ(def.elev_map, "alpsh.r16") << "an argument with a dot keeps its own extension";
    EXPECT_STREQ(def.detail_map, "alpsd.pcx");
    EXPECT_STREQ(def.detail_color, "alpsc.tga");
    EXPECT_STREQ(def.detail_elev, "de.pcx");
    EXPECT_STREQ(def.detail_shade, "ds.pcx");
    EXPECT_STREQ(def.char_data, "chars.txt");
    EXPECT_STREQ(def.sky_map, "sky.pcx");
    EXPECT_STREQ(def.sky_palette, "skyp.pcx");
    EXPECT_STREQ(def.water_map, "wm.pcx");
    EXPECT_STREQ(def.water_palette, "wp.pcx");
    EXPECT_STREQ(def.moon_sun_object, "moon.3do");
    EXPECT_STREQ(def.star_field, "stars.sky");
    EXPECT_EQ(def.camouflage, 1) << "an unknown camouflage word leaves the field unchanged";
    EXPECT_EQ(def.sky_height, 900);
    EXPECT_EQ(def.sun_slope, -5);
    EXPECT_EQ(def.water_height, 393216);
    EXPECT_EQ(def.water_opacity, 32768);
    EXPECT_EQ(def.filter, (std::array<std::int32_t, 3>{1, -2, 3}));
    EXPECT_EQ(def.saturation, 7);
    EXPECT_EQ(def.gamma, 8);
    EXPECT_EQ(def.horizon, -49152) << "truncated toward zero";
    EXPECT_EQ(def.turbidity, (std::array<std::int32_t, 3>{2, 5, 6}));
    EXPECT_EQ(def.scale_bits, 3);
    EXPECT_EQ(def.fog_color, 0x00FF8000u);
    EXPECT_EQ(def.fog_level, 44);
    ASSERT_EQ(def.type_count, 3) << "a type line of four tokens adds nothing";
    EXPECT_EQ(def.types[0].red, 10);
    EXPECT_EQ(def.types[0].kind, SurfaceKind::Grass);
    EXPECT_EQ(def.types[1].red, 300 & 255) << "each colour is stored as one byte";
    EXPECT_EQ(def.types[1].kind, SurfaceKind::PackedDirt);
    EXPECT_EQ(def.types[2].kind, SurfaceKind::Other);

    // Reading another (missing) terrain resets everything to the defaults.
    ASSERT_EQ(terrain_LoadDef("nowhere", def), 1);
    const TerrainDef defaults;
    EXPECT_EQ(def.terrain_name[0], 0);
    EXPECT_EQ(def.color_map[0], 0);
    EXPECT_EQ(def.sky_height, 1236);
    EXPECT_EQ(def.sun_slope, 60);
    EXPECT_EQ(def.horizon, 65536);
    EXPECT_EQ(def.turbidity, (std::array<std::int32_t, 3>{23, 8, 4}));
    EXPECT_EQ(def.fog_color, 0xC0C0C0C0u);
    EXPECT_EQ(def.type_count, 0);
    EXPECT_EQ(std::memcmp(&def.types, &defaults.types, sizeof def.types), 0);
}

TEST_F(TerrainTest, DefinitionLimitsAndOddNumbers) {
    std::string lines;
    for (int i = 0; i < 105; ++i) lines += "type " + std::to_string(i) + " 0 0 snow\r\n";
    lines += "terrain_name " + std::string(120, 'n') + "\r\n";
    lines += "color_map " + std::string(30, 'c') + "\r\n";
    lines += "elev_map " + std::string(30, 'e') + ".r16\r\n";
    lines += "sky_height lots\r\n";
    lines += "sun_slope 12abc\r\n";
    lines += "water_height 99999999\r\n";
    lines += "horizon 1e3\r\n";
    serve({{"big.trn", text(lines)}});
    TerrainDef def;
    ASSERT_EQ(terrain_LoadDef("big", def), 1);
    EXPECT_EQ(def.type_count, 100) << "lines after the 100th entry are ignored";
    EXPECT_EQ(def.types[99].red, 99);
    EXPECT_EQ(std::strlen(def.terrain_name), 79u);
    EXPECT_STREQ(def.color_map, "ccccccccccc.tga") << "a long name is cut so the extension fits";
    EXPECT_EQ(std::strlen(def.elev_map), 15u);
    EXPECT_EQ(def.sky_height, 0) << "a token without digits gives 0";
    EXPECT_EQ(def.sun_slope, 12);
    EXPECT_EQ(def.water_height, 2147483647) << "saturates instead of wrapping";
    EXPECT_EQ(def.horizon, 1000 * 65536);
}

TEST_F(TerrainTest, BlankTerrainAndMissingFilesLeaveClearMaps) {
    maps.colour[5] = 1;
    maps.detailFlag = 0;
    EXPECT_EQ(terrain_LoadMaps(maps, ""), 1);
    EXPECT_EQ(maps.colour[5], 0u);
    EXPECT_EQ(maps.detailFlag, 1);
    ASSERT_EQ(maps.colour.size(), kTerrainMapCells);
    ASSERT_EQ(maps.detail.size(), kTerrainMapCells);

    // A definition without any map names: detail maps unusable, everything black.
    serve({{"bare.trn", text("terrain_name Bare\r\nwater_height 12\r\n")}});
    EXPECT_EQ(terrain_LoadMaps(maps, "bare"), 1);
    EXPECT_EQ(maps.detailFlag, 0);
    EXPECT_EQ(maps.waterLevel, 12);
    EXPECT_STREQ(terrain_State().def.terrain_name, "Bare");
    EXPECT_TRUE(maps.edge.empty()) << "edges are worked out when first asked for";
    for (std::size_t i = 0; i < kTerrainMapCells; ++i)
        ASSERT_EQ(terrain_EdgeMap(maps)[i], 0u) << "a uniform elevation map has no edges";

    // Named files that do not exist stay black; the detail flag stays set.
    serve({{"gone.trn", text("color_map c\r\nelev_map e\r\ndetail_map d\r\ndetail_color k\r\n")}});
    EXPECT_EQ(terrain_LoadMaps(maps, "gone"), 1);
    EXPECT_EQ(maps.detailFlag, 1);
    EXPECT_FALSE(maps.detailHeader.set);
    EXPECT_EQ(maps.colour[0], 0u);
}

TEST_F(TerrainTest, MapsFromTgaR16AndPcx) {
    const auto colour = mapPicture(colourAt);
    std::vector<std::uint16_t> heights(kTerrainMapCells, 0x2000);
    heights[500 * 1024 + 300] = 0x2100;  // one raised cell
    heights[10 * 1024 + 1023] = 0x3000;  // on the right edge: its wrap-around neighbour is column 0
    std::vector<std::uint32_t> detailColour(128 * 64);
    for (std::size_t i = 0; i < detailColour.size(); ++i) detailColour[i] = 0xFF000000u | std::uint32_t(i * 0x010203);
    detailColour[1] = 0x00FFFFFF;
    std::vector<std::uint8_t> detail(1024 * 1024);
    for (std::size_t i = 0; i < detail.size(); ++i) detail[i] = std::uint8_t((i / 1024 + i % 7) % 16);
    std::uint8_t palette[768];
    for (int i = 0; i < 768; ++i) palette[i] = std::uint8_t(255 - i % 256);

    serve({{"hills.trn", text("color_map hills\r\nelev_map hillsh.R16\r\ndetail_map hillsd\r\n"
                              "detail_color hillsc.TGA\r\nwater_height -3\r\n")},
           {"hills.tga", img_EncodeTga(1024, 1024, colour.data(), 24)},
           {"hillsh.r16", img_EncodeR16(1024, 1024, heights.data())},
           {"hillsc.tga", img_EncodeTga(128, 64, detailColour.data(), 32)},
           {"hillsd.pcx", img_EncodePcx8(1024, 1024, detail.data(), palette)}});
    ASSERT_EQ(terrain_LoadMaps(maps, "hills"), 1);

    EXPECT_EQ(asVector(maps.colour), colour) << "the TGA's rows come out top-down";
    EXPECT_EQ(maps.elevation[0], 0x2000u);
    EXPECT_EQ(maps.elevation[500 * 1024 + 300], 0x2100u);

    // Edges: the raised cell and its four neighbours, and the wrap from column 1023 to 0.
    terrain_EdgeMap(maps);
    EXPECT_EQ(maps.edge[500 * 1024 + 300], kTerrainEdgeColour);
    EXPECT_EQ(maps.edge[500 * 1024 + 301], kTerrainEdgeColour);
    EXPECT_EQ(maps.edge[499 * 1024 + 300], kTerrainEdgeColour);
    EXPECT_EQ(maps.edge[501 * 1024 + 301], 0u);
    EXPECT_EQ(maps.edge[10 * 1024 + 0], kTerrainEdgeColour);
    EXPECT_EQ(maps.edge[10 * 1024 + 1022], kTerrainEdgeColour);
    EXPECT_EQ(maps.edge[10 * 1024 + 1], 0u);
    std::size_t edges = 0;
    for (std::uint32_t v : maps.edge) edges += v != 0;
    EXPECT_EQ(edges, 10u);

    // Detail colour: stored order, bottom-up file turned top-down, plain and blended.
    EXPECT_EQ(maps.detailColourWidth, 128);
    EXPECT_EQ(maps.detailColourHeight, 64);
    EXPECT_TRUE(maps.detailHeader.set);
    EXPECT_EQ(maps.detailHeader.width, 768);
    EXPECT_EQ(maps.detailColour[1], 0x00FFFFFFu);
    EXPECT_EQ(maps.detailColour[2], detailColour[2]);
    EXPECT_EQ(maps.detailColourBlended[1], 0x7F000000u) << "zero alpha: colour 0, alpha 127";
    EXPECT_EQ(maps.detailColourBlended[2], terrain_BlendPixel(detailColour[2]));
    EXPECT_EQ(maps.detailColour[128 * 64], 0u);

    // Detail map and the first 192 palette entries.
    EXPECT_EQ(asVector(maps.detail), detail);
    EXPECT_EQ(maps.detailPalette[0], 0x00FFFEFDu);
    EXPECT_EQ(maps.detailPalette[1], 0x00FCFBFAu);
    EXPECT_EQ(maps.detailFlag, 1);
    EXPECT_EQ(maps.waterLevel, -3) << "the water height shifted back arithmetically";
}

TEST_F(TerrainTest, WrongDetailExtensionsClearTheFlagAndOddSizesAreClipped) {
    // A colour map of 1100 x 20 (only its overlap is used) and a PCX colour map read by green.
    std::vector<std::uint32_t> wide(1100 * 20, 0x112233);
    wide[1099] = 0xFFFFFF;
    serve({{"odd.trn", text("color_map odd\r\nelev_map oddh\r\ndetail_color oddc.bmp\r\n")},
           {"odd.tga", img_EncodeTga(1100, 20, wide.data(), 24)}});
    ASSERT_EQ(terrain_LoadMaps(maps, "odd"), 1);
    EXPECT_EQ(maps.detailFlag, 0);
    EXPECT_EQ(maps.colour[0], 0x112233u);
    EXPECT_EQ(maps.colour[1023], 0x112233u);
    EXPECT_EQ(maps.colour[1024], 0x112233u) << "row 1 starts with the image's row 1, not its tail of row 0";
    EXPECT_EQ(maps.colour[20 * 1024], 0u);
}

TEST_F(TerrainTest, ElevationFromPcxAndColourBands) {
    std::vector<std::uint8_t> idx(1024 * 1024, 1);
    std::uint8_t palette[768] = {};
    palette[3 + 1] = 0x77;  // entry 1: green 0x77
    std::vector<std::uint16_t> heights(kTerrainMapCells, 0);
    serve({{"p.trn", text("elev_map p.pcx\r\n")},
           {"p.pcx", img_EncodePcx8(1024, 1024, idx.data(), palette)},
           {"q.trn", text("elev_map q.r16\r\n")},
           {"q.r16", img_EncodeR16(1024, 1024, heights.data())}});
    ASSERT_EQ(terrain_LoadMaps(maps, "p"), 1);
    EXPECT_EQ(maps.elevation[12345], 0x7700u);
    img_Settings().r16ColourBands = true;
    ASSERT_EQ(terrain_LoadMaps(maps, "q"), 1);
    EXPECT_EQ(maps.elevation[0], 0x000040u) << "height 0 in the first band";
}

#ifdef SORTIE_HAVE_LIBJPEG
TEST_F(TerrainTest, JpegColourMapComesFirstWhenItIs1024Square) {
    JpegEncodeOptions o;
    o.width = 1024;
    o.height = 1024;
    const Bytes jpg = jpegref_Encode(jpegref_TestPicture(1024, 1024, 3), o);
    int w = 0, h = 0;
    const auto want = jpegref_Decode(jpg, &w, &h);
    JpegEncodeOptions small = o;
    small.width = small.height = 512;
    const Bytes smallJpg = jpegref_Encode(jpegref_TestPicture(512, 512, 3), small);
    std::vector<std::uint32_t> flat(1024 * 1024, 0x0000FF);

    serve({{"j.trn", text("color_map j\r\n")},
           {"j.jpg", jpg},
           {"j.tga", img_EncodeTga(1024, 1024, flat.data(), 24)},
           {"s.trn", text("color_map s.tga\r\n")},
           {"s.jpg", smallJpg},
           {"s.tga", img_EncodeTga(1024, 1024, flat.data(), 24)}});
    ASSERT_EQ(terrain_LoadMaps(maps, "j"), 1);
    EXPECT_EQ(asVector(maps.colour), want);
    ASSERT_EQ(terrain_LoadMaps(maps, "s"), 1);
    EXPECT_EQ(asVector(maps.colour), flat) << "a 512 x 512 JPEG is refused and the TGA used";
}
#endif

TEST_F(TerrainTest, PageGetsItsOwnMaps) {
    serve({{"w.trn", text("water_height 5\r\n")}});
    auto page = std::make_unique<Mission>();
    std::strcpy(page->info.terrain, "w");
    ASSERT_EQ(pageload_TerrainMaps(*page), 1);
    ASSERT_NE(page->terrain, nullptr);
    EXPECT_EQ(page->terrain->waterLevel, 5);
    EXPECT_EQ(page->terrain->colour.size(), kTerrainMapCells);
}

TEST(TerrainBlend, ScalesColourByAlphaAndInvertsAlpha) {
    EXPECT_EQ(terrain_BlendPixel(0xFFFFFFFF), 0x007F7F7Fu) << "full colour at full alpha: 127, alpha 0";
    EXPECT_EQ(terrain_BlendPixel(0x00FFFFFF), 0x7F000000u) << "zero alpha: colour 0, alpha 127";
    EXPECT_EQ(terrain_BlendPixel(0x00000000), 0x7F000000u);
    // Alpha 128, colour 200: w(128) = 16448, w(200) = 25700;
    // colour (25700 * 16448 >> 16) / 128 = 50; alpha ((16448 * (16448 | 0x7F7F)) >> 16) / 128 = 63, ^ 0x7F = 64.
    EXPECT_EQ(terrain_BlendPixel(0x80C8C8C8), 0x40323232u);
}

}  // namespace

#include "support/render_scene.h"

#include "gamedata/terrain.h"
#include "mission/mission.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

void test_MakeTerrain(Mission& page) {
    page.terrain = TerrainMapsPtr(terrain_NewMaps(), terrain_FreeMaps);
    TerrainMaps& t = *page.terrain;
    for (int row = 0; row < kTerrainMapSide; ++row) {
        for (int col = 0; col < kTerrainMapSide; ++col) {
            const std::size_t i = std::size_t(row) * kTerrainMapSide + std::size_t(col);
            // Bands of colour every 8 cells east and north, a dark line on column 1023 and a
            // light one on row 0 so that wrapping shows.
            std::uint32_t r = 0x30 + std::uint32_t((col / 8) % 8) * 0x18;
            std::uint32_t g = 0x60 + std::uint32_t((row / 8) % 4) * 0x20;
            std::uint32_t b = 0x20;
            if (col == 1023) r = g = b = 0x10;
            if (row == 0) r = g = b = 0xF0;
            t.colour[i] = (r << 16) | (g << 8) | b;
            // Elevation in the green byte: low towards row 1023 and column 0 (south-west).
            const int height = (col + (1023 - row)) / 8;
            t.elevation[i] = std::uint32_t(height & 0xFF) << 8 | 0x01;
            t.detail[i] = std::uint8_t(((row / 4) + (col / 4)) % 4);
        }
    }
    // Four detail tiles in the blended form: stripes and spots of differing coverage.
    for (int tile = 0; tile < 4; ++tile) {
        for (int ty = 0; ty < 64; ++ty) {
            for (int tx = 0; tx < 64; ++tx) {
                const bool on = tile == 0   ? (tx / 8) % 2 == 0
                                : tile == 1 ? (ty / 8) % 2 == 0
                                : tile == 2 ? ((tx / 8) + (ty / 8)) % 2 == 0
                                            : (tx % 16 < 6 && ty % 16 < 6);
                const std::uint32_t plain = on ? 0xC0FFFFFFu : 0x00000000u;  // alpha, red, green, blue
                const std::uint32_t dark = on ? 0x80000000u : 0x00000000u;
                const std::uint32_t pixel = tile == 3 ? dark : plain;
                t.detailColour[std::size_t(tile) * 4096 + std::size_t(ty) * 64 + std::size_t(tx)] = pixel;
                t.detailColourBlended[std::size_t(tile) * 4096 + std::size_t(ty) * 64 + std::size_t(tx)] =
                    terrain_BlendPixel(pixel);
            }
        }
    }
    t.detailFlag = 1;
    t.waterLevel = 40;
}

TestImage test_PaneImage(const MapSurface& surface) {
    TestImage image;
    image.width = std::min(surface.pane_width, surface.width);
    image.height = surface.height;
    image.pixels.resize(std::size_t(image.width) * std::size_t(image.height));
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            image.pixels[std::size_t(y) * image.width + x] = surface.rows[y][x] & 0x00FFFFFFu;
    return image;
}

std::string test_CompareGolden(const std::string& name, const TestImage& image) {
    const std::filesystem::path golden = std::filesystem::path(SORTIE_TEST_DATA_DIR) / "render" / (name + ".png");
    if (std::getenv("SORTIE_UPDATE_GOLDENS")) {
        std::filesystem::create_directories(golden.parent_path());
        return png_WriteTestImage(golden.string(), image) ? "" : "cannot write " + golden.string();
    }
    TestImage expected;
    if (!png_ReadTestImage(golden.string(), expected)) return "cannot read " + golden.string();
    std::string problem;
    if (expected.width != image.width || expected.height != image.height) {
        problem = name + ": drawn " + std::to_string(image.width) + "x" + std::to_string(image.height) + ", expected " +
                  std::to_string(expected.width) + "x" + std::to_string(expected.height);
    } else {
        std::size_t differing = 0, first = 0;
        for (std::size_t i = 0; i < image.pixels.size(); ++i)
            if (image.pixels[i] != expected.pixels[i] && differing++ == 0) first = i;
        if (differing) {
            char text[160];
            std::snprintf(text, sizeof text, "%s: %zu pixels differ, first at (%zu, %zu): 0x%06X, expected 0x%06X",
                          name.c_str(), differing, first % std::size_t(image.width), first / std::size_t(image.width),
                          unsigned(image.pixels[first]), unsigned(expected.pixels[first]));
            problem = text;
        }
    }
    if (!problem.empty()) {
        const std::filesystem::path dir = std::filesystem::path(SORTIE_BINARY_DIR) / "render_failures";
        std::filesystem::create_directories(dir);
        png_WriteTestImage((dir / (name + ".png")).string(), image);
    }
    return problem;
}

// Terrain loading speed: a whole terrain (definition, 1024 x 1024 TGA colour map, R16
// elevation, 8-bit PCX detail map, 768 x 256 detail colour image) from an archive in memory,
// as File > Open loads it after reading a metafile.
#include "core/file.h"
#include "core/mem.h"
#include "core/pff.h"
#include "gamedata/image.h"
#include "gamedata/terrain.h"
#include "support/fake_platform.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

struct TerrainFixture {
    std::vector<std::uint8_t> archive;

    TerrainFixture() {
        mem_Startup();
        file_Reset();
        std::vector<std::uint32_t> colour(kTerrainMapCells);
        std::vector<std::uint16_t> heights(kTerrainMapCells);
        std::vector<std::uint8_t> detail(kTerrainMapCells);
        for (std::size_t i = 0; i < kTerrainMapCells; ++i) {
            const std::uint32_t x = std::uint32_t(i % 1024), y = std::uint32_t(i / 1024);
            colour[i] = ((x * 5) & 255) << 16 | ((y * 3) & 255) << 8 | ((x ^ y) & 255);
            heights[i] = std::uint16_t(((x / 16) * 97 + (y / 16) * 31) * 8);
            detail[i] = std::uint8_t(((x / 32) + (y / 32)) % 24);
        }
        std::vector<std::uint32_t> detailColour(768 * 256);
        for (std::size_t i = 0; i < detailColour.size(); ++i)
            detailColour[i] = 0x80000000u | std::uint32_t(i * 2654435761u >> 8);
        std::uint8_t palette[768];
        for (int i = 0; i < 768; ++i) palette[i] = std::uint8_t(i * 7);
        const std::string def = std::string("terrain_name Bench\r\ncolor_map bench\r\nelev_map bench.r16\r\n") +
                                "detail_map benchd\r\ndetail_color benchc\r\nwater_height 3\r\n";
        std::vector<PffPackMember> members = {
            {"bench.trn", std::vector<std::uint8_t>(def.begin(), def.end())},
            {"bench.tga", img_EncodeTga(1024, 1024, colour.data(), 24)},
            {"bench.r16", img_EncodeR16(1024, 1024, heights.data())},
            {"benchd.pcx", img_EncodePcx8(1024, 1024, detail.data(), palette)},
            {"benchc.tga", img_EncodeTga(768, 256, detailColour.data(), 32)},
        };
        std::string error;
        pff_BuildArchive(members, archive, error);
        pff_AddArchive(pff_OpenArchiveMemory(archive.data(), archive.size(), "terrains.pff"));
    }
    ~TerrainFixture() {
        file_Reset();
        mem_Shutdown();
    }
};

void BM_TerrainLoadMaps(benchmark::State& state) {
    ScopedFakePlatform fake;
    TerrainFixture fixture;
    TerrainMaps maps;
    for (auto _ : state) {
        if (terrain_LoadMaps(maps, "bench") != 1) state.SkipWithError("load failed");
        benchmark::DoNotOptimize(maps.edge.data());
    }
}

void BM_TerrainBuildEdges(benchmark::State& state) {
    std::vector<std::uint32_t> elevation(kTerrainMapCells), edge(kTerrainMapCells);
    for (std::size_t i = 0; i < elevation.size(); ++i) elevation[i] = std::uint32_t((i / 16) % 7) << 8;
    for (auto _ : state) {
        terrain_BuildEdges(elevation.data(), edge.data());
        benchmark::DoNotOptimize(edge.data());
    }
}

}  // namespace

BENCHMARK(BM_TerrainLoadMaps)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TerrainBuildEdges)->Unit(benchmark::kMillisecond);

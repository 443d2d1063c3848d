// Replays the inputs that once crashed the game-data fuzz targets (tests/fuzz_regressions/
// jpeg, tga, pcx, r16 and terrain), through the same calls the targets make. Under the
// sanitizer build any stray access fails the test.
#include "core/mem.h"
#include "gamedata/image.h"
#include "gamedata/jpeg.h"
#include "gamedata/terrain.h"
#include "core/parser.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

std::vector<std::filesystem::path> regressions(const std::string& target) {
    std::vector<std::filesystem::path> out;
    const std::filesystem::path dir = std::filesystem::path(SORTIE_SOURCE_DIR) / "tests" / "fuzz_regressions" / target;
    if (!std::filesystem::exists(dir)) return out;
    for (const auto& e : std::filesystem::directory_iterator(dir))
        if (e.is_regular_file()) out.push_back(e.path());
    return out;
}

Bytes slurp(const std::filesystem::path& p) {
    std::ifstream f(p, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(f), {});
}

TEST(GameDataFuzzRegressions, CrashingInputsAreHandled) {
    ASSERT_EQ(mem_Startup(), 0);
    int replayed = 0;
    for (const auto& p : regressions("jpeg")) {
        const Bytes d = slurp(p);
        int w = 0, h = 0;
        (void)jpeg_ReadSize(d.data(), d.size(), &w, &h);
        std::vector<std::uint32_t> area(32 * 32);
        std::uint32_t* out = area.data();
        int cw = 32, ch = 32;
        (void)jpeg_Decode(d.data(), d.size(), &cw, &ch, &out, false);
        std::uint32_t* mine = nullptr;
        int aw = 0, ah = 0;
        if (jpeg_Decode(d.data(), d.size(), &aw, &ah, &mine, true)) jpeg_FreePixels(mine);
        ++replayed;
    }
    const std::pair<const char*, int (*)(ImageRecord&, const std::uint8_t*, std::size_t, const char*)> readers[] = {
        {"tga", img_DecodeTga}, {"pcx", img_DecodePcxIndexed}, {"pcx", img_DecodePcxGreen}, {"r16", img_DecodeR16}};
    for (const auto& [prefix, decode] : readers)
        for (const auto& p : regressions(prefix)) {
            const Bytes d = slurp(p);
            ImageRecord image;
            const int rc = decode(image, d.data(), d.size(), "x");
            EXPECT_TRUE(rc == kImgDone || rc == kImgNoMemory || rc == kImgWrongFormat) << p;
            ++replayed;
        }
    for (const auto& p : regressions("terrain")) {
        const Bytes d = slurp(p);
        const std::string text(d.begin(), d.end());
        TerrainDef def;
        for (std::size_t start = 0; start <= text.size();) {
            std::size_t end = text.find("\r\n", start);
            if (end == std::string::npos) end = text.size();
            const std::string line = text.substr(start, end - start);
            const LineTokens tokens = parser_SplitLine(line.c_str());
            if (tokens.count > 0 && tokens.at(0)[0] != '/') terrain_DefineLine(def, tokens);
            start = end + 2;
        }
        EXPECT_LE(def.type_count, kTerrainMaxTypes);
        ++replayed;
    }
    mem_Shutdown();
    RecordProperty("replayed", replayed);
    EXPECT_GT(replayed, 0) << "the regression folder holds at least the decoder's inputs";
}

TEST(JpegHuffman, OverfullTableIsRefused) {
    // DHT whose 1-bit codes number three: only two fit. Such a table used to overrun the
    // lookup while being built.
    Bytes file = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F',  'I',  'F',  0,    1,    1,
                  0,    0,    1,    0,    1,    0,    0,   0xFF, 0xC4, 0x00, 0x16, 0x00, 3};
    for (int i = 1; i < 16; ++i) file.push_back(0);
    file.insert(file.end(), {1, 2, 3, 0xFF, 0xD9});
    int w = 0, h = 0;
    std::uint32_t* p = nullptr;
    EXPECT_EQ(jpeg_Decode(file.data(), file.size(), &w, &h, &p, true), 0);
}

}  // namespace

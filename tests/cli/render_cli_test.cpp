// sortie-cli render: a sample mission drawn on the kit's terrain into a PNG file, and the
// arguments it refuses.
#include "support/core_env.h"
#include "support/png_io.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>
#include <sys/wait.h>

namespace {

int runCli(const std::string& args) {
    const std::string cmd = std::string("\"") + SORTIE_CLI_PATH + "\" " + args + " >/dev/null 2>&1";
    const int rc = std::system(cmd.c_str());
    return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
}

#ifdef SORTIE_GAMEDATA_DIR
const std::string kData = SORTIE_GAMEDATA_DIR;
#else
const std::string kData;
#endif
const std::string kTutorial = std::string(SORTIE_SOURCE_DIR) + "/data/missions/tutorial.mis";

class RenderCli : public ::testing::Test {
protected:
    void SetUp() override {
        if (kData.empty()) GTEST_SKIP() << "built without the sample data kit";
    }
    std::string render(const std::string& out, const std::string& options) {
        return "--data \"" + kData + "\" render \"" + kTutorial + "\" -o \"" + out + "\" " + options;
    }
    ScopedTempDir dir;
};

TEST_F(RenderCli, WritesThePaneSizedMap) {
    const std::string out = dir.file("map.png");
    ASSERT_EQ(runCli(render(out, "--size 200x150 --fit")), 0);
    TestImage image;
    ASSERT_TRUE(png_ReadTestImage(out, image));
    EXPECT_EQ(image.width, 200);  // the pane, not the wider bitmap behind it
    EXPECT_EQ(image.height, 150);
    std::set<std::uint32_t> colours(image.pixels.begin(), image.pixels.end());
    EXPECT_GT(colours.size(), 20u);  // terrain, grid and items, not one flat colour

    // The selection shows in its own colour; the elevation map looks different again.
    const std::string selected = dir.file("selected.png");
    ASSERT_EQ(runCli(render(selected, "--size 200x150 --fit --select 1")), 0);
    TestImage withSelection;
    ASSERT_TRUE(png_ReadTestImage(selected, withSelection));
    EXPECT_NE(withSelection.pixels, image.pixels);
    const std::string elevation = dir.file("elevation.png");
    ASSERT_EQ(runCli(render(elevation, "--size 200x150 --fit --mode elevation --no-grid --show -water,-teams")), 0);
    TestImage elevationImage;
    ASSERT_TRUE(png_ReadTestImage(elevation, elevationImage));
    EXPECT_NE(elevationImage.pixels, image.pixels);
}

// --scale draws the same view at that many device pixels per pane pixel: a picture S times
// as wide and high, whose every S x S block lies close to the pane pixel it stands for.
TEST_F(RenderCli, ScaleDrawsTheSameViewAtHigherResolution) {
    const std::string options = "--size 200x150 --zoom 0.01 --center 30000,-60000 --mode elevation --no-grid";
    const std::string plain = dir.file("plain.png");
    ASSERT_EQ(runCli(render(plain, options)), 0);
    TestImage one;
    ASSERT_TRUE(png_ReadTestImage(plain, one));
    struct Case {
        const char* scale;
        int width, height;
    };
    for (const Case& c : {Case{"2", 400, 300}, Case{"1.5", 300, 225}, Case{"1", 200, 150}}) {
        const std::string out = dir.file(std::string("scaled") + c.scale + ".png");
        ASSERT_EQ(runCli(render(out, options + " --scale " + c.scale)), 0) << c.scale;
        TestImage image;
        ASSERT_TRUE(png_ReadTestImage(out, image));
        EXPECT_EQ(image.width, c.width) << c.scale;
        EXPECT_EQ(image.height, c.height) << c.scale;
        // The elevation map has a cell every 2.56 pane pixels here: sampling the scaled
        // picture in the middle of each pane pixel finds the same cell except where a cell
        // edge passes (a view shifted or drawn at another size matches far less).
        const double s = double(c.width) / 200;
        int same = 0;
        for (int y = 0; y < 150; ++y)
            for (int x = 0; x < 200; ++x) {
                const int sx = int((x + 0.5) * s), sy = int((y + 0.5) * s);
                same += image.pixels[std::size_t(sy) * std::size_t(image.width) + std::size_t(sx)] ==
                        one.pixels[std::size_t(y) * 200 + std::size_t(x)];
            }
        if (s == 1) EXPECT_EQ(same, 200 * 150);
        EXPECT_GT(same, 200 * 150 * 3 / 4) << c.scale;
    }
}

TEST_F(RenderCli, RefusesWhatItCannotDo) {
    const std::string out = dir.file("map.png");
    EXPECT_EQ(runCli(render(out, "--zoom 0")), 2);
    EXPECT_EQ(runCli(render(out, "--zoom 2000")), 2);
    EXPECT_EQ(runCli(render(out, "--fit --zoom 0.1")), 2);
    EXPECT_EQ(runCli(render(out, "--size 0x10")), 2);
    EXPECT_EQ(runCli(render(out, "--size 100")), 2);
    for (const char* scale : {"0", "9", "-2", "two", "nan"})
        EXPECT_EQ(runCli(render(out, std::string("--scale ") + scale)), 2) << scale;
    EXPECT_EQ(runCli(render(out, "--mode sepia")), 2);
    EXPECT_EQ(runCli(render(out, "--show flowers")), 2);
    EXPECT_EQ(runCli(render(out, "--grid 0")), 2);
    EXPECT_EQ(runCli(render(out, "--center 5")), 2);
    EXPECT_EQ(runCli("--data \"" + kData + "\" render \"" + kTutorial + "\""), 2);  // no -o
    EXPECT_EQ(runCli(render(out, "--select 999999")), 1);                           // no such item
    EXPECT_EQ(runCli("--data \"" + kData + "\" render \"" + dir.file("missing.mis") + "\" -o \"" + out + "\""), 1);
    EXPECT_FALSE(std::filesystem::exists(out));
    EXPECT_EQ(runCli("render --help"), 0);
}

}  // namespace

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
    EXPECT_EQ(image.width, 200);    // the pane, not the wider bitmap behind it
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

TEST_F(RenderCli, RefusesWhatItCannotDo) {
    const std::string out = dir.file("map.png");
    EXPECT_EQ(runCli(render(out, "--zoom 0")), 2);
    EXPECT_EQ(runCli(render(out, "--zoom 2000")), 2);
    EXPECT_EQ(runCli(render(out, "--fit --zoom 0.1")), 2);
    EXPECT_EQ(runCli(render(out, "--size 0x10")), 2);
    EXPECT_EQ(runCli(render(out, "--size 100")), 2);
    EXPECT_EQ(runCli(render(out, "--mode sepia")), 2);
    EXPECT_EQ(runCli(render(out, "--show flowers")), 2);
    EXPECT_EQ(runCli(render(out, "--grid 0")), 2);
    EXPECT_EQ(runCli(render(out, "--center 5")), 2);
    EXPECT_EQ(runCli("--data \"" + kData + "\" render \"" + kTutorial + "\""), 2);   // no -o
    EXPECT_EQ(runCli(render(out, "--select 999999")), 1);                           // no such item
    EXPECT_EQ(runCli("--data \"" + kData + "\" render \"" + dir.file("missing.mis") + "\" -o \"" + out + "\""), 1);
    EXPECT_FALSE(std::filesystem::exists(out));
    EXPECT_EQ(runCli("render --help"), 0);
}

}  // namespace

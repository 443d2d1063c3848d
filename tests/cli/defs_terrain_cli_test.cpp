// sortie-cli defs terrain: reads a definition from a folder and prints its fields.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

// Runs the CLI; stdout into out, the exit code as result.
int runCli(const std::string& args, std::string& out) {
    const std::string cmd = std::string(SORTIE_CLI_PATH) + " " + args + " 2>/dev/null";
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return -1;
    char buf[512];
    out.clear();
    while (std::fgets(buf, sizeof buf, p)) out += buf;
    const int rc = pclose(p);
    return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
}

TEST(DefsTerrainCli, PrintsTheDefinitionAndRefusesMissingOnes) {
    const std::filesystem::path dir = std::filesystem::path(SORTIE_BINARY_DIR) / "defs_terrain_cli";
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "ridge.trn", std::ios::binary)
        << "terrain_name \"Long Ridge\"\r\ncolor_map ridge\r\nwater_height 12\r\nfog_color 255 128 0\r\n"
           "type 1 2 3 snow\r\n";
    std::string out;
    ASSERT_EQ(runCli("defs terrain " + (dir / "ridge").string(), out), 0);
    EXPECT_NE(out.find("terrain_name \"Long Ridge\""), std::string::npos) << out;
    EXPECT_NE(out.find("color_map \"ridge.tga\""), std::string::npos);
    EXPECT_NE(out.find("water_height 393216 (level 12)"), std::string::npos);
    EXPECT_NE(out.find("fog_color 0x00FF8000"), std::string::npos);
    EXPECT_NE(out.find("type 1 2 3 snow"), std::string::npos);
    EXPECT_EQ(runCli("defs terrain " + (dir / "absent").string(), out), 1);
    EXPECT_EQ(runCli("defs terrain", out), 2);
    EXPECT_EQ(runCli("defs nosuch", out), 2);
    std::filesystem::remove_all(dir);
}

}  // namespace

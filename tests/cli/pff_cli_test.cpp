#include "core/pff.h"

#include "support/core_env.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace {

struct CliRun {
    int code = -1;
    std::string out, err;
};

// Runs sortie-cli with args (each quoted for the shell) and collects its output.
CliRun cli(const ScopedTempDir& dir, const std::vector<std::string>& args) {
    std::string cmd = std::string("'") + SORTIE_CLI_PATH + "'";
    for (const auto& a : args) cmd += " '" + a + "'";
    cmd += " >'" + dir.file(".out") + "' 2>'" + dir.file(".err") + "'";
    int status = std::system(cmd.c_str());
    CliRun r;
    r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.out = readWholeFile(dir.file(".out"));
    r.err = readWholeFile(dir.file(".err"));
    return r;
}

class PffCli : public ::testing::Test {
protected:
    ScopedTempDir dir;
};

}  // namespace

TEST_F(PffCli, PackListExtractRoundTrip) {
    std::string a = dir.write("in/text.bin", "TEXT TABLE");
    std::string b = dir.write("in/Items.def", "item 1 tank\n");
    std::string pff = dir.file("kit.pff");
    CliRun r = cli(dir, {"pff", "pack", "-o", pff, "--scramble", "ITEMS.DEF", a, b});
    ASSERT_EQ(r.code, 0) << r.err;

    r = cli(dir, {"pff", "list", pff});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "        10         84 - text.bin\n        12         94 S Items.def\n");

    r = cli(dir, {"pff", "extract", pff, "-C", dir.file("out")});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(readWholeFile(dir.file("out/text.bin")), "TEXT TABLE");
    EXPECT_EQ(readWholeFile(dir.file("out/Items.def")), "item 1 tank\n") << "extracted unscrambled";

    r = cli(dir, {"pff", "extract", pff, "items.DEF", "-C", dir.file("one")});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(std::filesystem::exists(dir.file("one/Items.def")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("one/text.bin")));
}

TEST_F(PffCli, UsageAndBadInputExitCodes) {
    std::string a = dir.write("a.txt", "a");
    EXPECT_EQ(cli(dir, {"pff", "--help"}).code, 0);
    EXPECT_NE(cli(dir, {"pff", "--help"}).out.find("pff pack"), std::string::npos);
    EXPECT_EQ(cli(dir, {"pff"}).code, 2);
    EXPECT_EQ(cli(dir, {"pff", "unpack"}).code, 2);
    EXPECT_EQ(cli(dir, {"pff", "pack", a}).code, 2) << "no -o";
    EXPECT_EQ(cli(dir, {"pff", "pack", "-o", dir.file("x.pff")}).code, 2) << "no files";
    EXPECT_EQ(cli(dir, {"pff", "pack", "-o", dir.file("x.pff"), "--bogus", a}).code, 2);
    EXPECT_EQ(cli(dir, {"pff", "list"}).code, 2);

    EXPECT_EQ(cli(dir, {"pff", "pack", "-o", dir.file("x.pff"), dir.file("missing")}).code, 1);
    EXPECT_EQ(cli(dir, {"pff", "pack", "-o", dir.file("x.pff"), "--scramble", "b.txt", a}).code, 1);
    std::string longName = dir.write("a_name_longer_than_15.txt", "x");
    CliRun r = cli(dir, {"pff", "pack", "-o", dir.file("x.pff"), longName});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("15 characters"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir.file("x.pff")));

    std::string notPff = dir.write("not.pff", "too short");
    EXPECT_EQ(cli(dir, {"pff", "list", notPff}).code, 1);
    EXPECT_EQ(cli(dir, {"pff", "extract", notPff}).code, 1);
    ASSERT_EQ(cli(dir, {"pff", "pack", "-o", dir.file("ok.pff"), a}).code, 0);
    r = cli(dir, {"pff", "extract", dir.file("ok.pff"), "nothere", "-C", dir.file("o")});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("no member named nothere"), std::string::npos);
}

TEST_F(PffCli, ExtractNeverWritesOutsideTheTargetFolder) {
    // Member names that would climb out of the folder or name a folder are refused.
    std::vector<std::uint8_t> bytes;
    std::string error;
    ASSERT_TRUE(pff_BuildArchive(
        {{"aaaaaaaaaaaaa", {'1'}, false}, {"bbbbbbb", {'2'}, false}, {"safe.txt", {'3'}, false}}, bytes, error));
    std::memcpy(&bytes[20 + 16], "../escape.txt\0", 14);
    std::memcpy(&bytes[52 + 16], "..\0", 3);
    std::string pff = dir.write("evil.pff", bytes);
    CliRun r = cli(dir, {"pff", "extract", pff, "-C", dir.file("out")});
    EXPECT_EQ(r.code, 1);
    EXPECT_FALSE(std::filesystem::exists(dir.file("escape.txt")));
    EXPECT_EQ(readWholeFile(dir.file("out/safe.txt")), "3");
}

// sortie-cli image decode: exit codes and the PAM it writes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

int runCli(const std::string& args) {
    const std::string cmd = std::string(SORTIE_CLI_PATH) + " " + args + " >/dev/null 2>&1";
    const int rc = std::system(cmd.c_str());
    return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
}

std::string slurp(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
}

TEST(ImageCli, DecodesToPamAndReportsBadInput) {
    const std::string data = std::string(SORTIE_TEST_DATA_DIR) + "/images/";
    const std::string out = std::string(SORTIE_BINARY_DIR) + "/image_cli_test.pam";
    ASSERT_EQ(runCli("image decode " + data + "t24.tga -o " + out), 0);
    const std::string pam = slurp(out);
    const std::string header = "P7\nWIDTH 5\nHEIGHT 3\nDEPTH 3\nMAXVAL 255\nTUPLTYPE RGB\nENDHDR\n";
    ASSERT_EQ(pam.substr(0, header.size()), header);
    ASSERT_EQ(pam.size(), header.size() + 45);
    EXPECT_EQ(pam.substr(header.size(), 6), std::string("\xFF\x00\x00\x00\xFF\x00", 6)) << "red, then green";

    ASSERT_EQ(runCli("image decode " + data + "p8.pcx --indices -o " + out), 0);
    EXPECT_NE(slurp(out).find("TUPLTYPE GRAYSCALE"), std::string::npos);
    std::filesystem::remove(out);

    EXPECT_EQ(runCli("image decode " + data + "README.md"), 1) << "unknown kind";
    EXPECT_EQ(runCli("image decode " + data + "missing.tga"), 1);
    EXPECT_EQ(runCli("image decode " + std::string(SORTIE_TEST_DATA_DIR) + "/images/t24.tga --bogus"), 2);
    EXPECT_EQ(runCli("image"), 2);
    EXPECT_EQ(runCli("image --help"), 0);
}

}  // namespace

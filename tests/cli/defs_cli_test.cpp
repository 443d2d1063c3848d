// sortie-cli defs: the printed tables and the exit codes.
#include "support/core_env.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <sys/wait.h>

namespace {

struct CliRun {
    int status = -1;
    std::string out;
};

CliRun runCli(const std::string& args) {
    CliRun r;
    const std::string cmd = std::string("\"") + SORTIE_CLI_PATH + "\" " + args + " 2>/dev/null";
    std::FILE* p = popen(cmd.c_str(), "r");
    if (!p) return r;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
    int rc = pclose(p);
    r.status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    return r;
}

TEST(DefsCli, PrintsItemAndSunsetTables) {
    ScopedTempDir dir;
    auto items = dir.write("items.def",
                           "begin \"Light tank\"\r\nid 100042\r\ntype vehicle\r\ngraphic tank01\r\n"
                           "attrib: good snap\r\nend\r\nbegin Crate\r\nid 100300\r\nend\r\n");
    CliRun r = runCli("defs items \"" + items + "\"");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("   0      42 vehicle    \"Light tank\" 0201 tank01\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("   1     300 -          \"Crate\" 0000 -\n"), std::string::npos) << r.out;

    auto sunsets = dir.write("sunsets.def", "begin Dusk\r\nid 5\r\nskygrad red\r\nhorizon 0.5\r\nr 200\r\nend\r\n");
    r = runCli("defs sunsets \"" + sunsets + "\"");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(
        r.out.find(" 0 id=5 \"Dusk\" skygrad=red.tga clouds=- skyheight=0 horizon=0.5000 gamma=0 sat=0 rgb=200,0,0"),
        std::string::npos)
        << r.out;
}

TEST(DefsCli, BadInputAndUsage) {
    ScopedTempDir dir;
    auto bad = dir.write("items.def", "begin a\r\nwheels 4\r\nend\r\n");
    EXPECT_EQ(runCli("defs items \"" + bad + "\"").status, 1) << "a bad line is bad input";
    EXPECT_EQ(runCli("defs items \"" + dir.file("missing.def") + "\"").status, 1);
    EXPECT_EQ(runCli("defs sunsets \"" + dir.file("missing.def") + "\"").status, 1);
    EXPECT_EQ(runCli("defs").status, 2);
    EXPECT_EQ(runCli("defs items").status, 2);
    EXPECT_EQ(runCli("defs weather x").status, 2);
    CliRun help = runCli("defs --help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("sunsets"), std::string::npos);
}

}  // namespace

// sortie-cli list: the five listings of tests/data/listings/sample.mis, on standard output
// and into a file, with the wording of data/text/logic.txt built into a text.bin.
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

const std::string kListingsDir = std::string(SORTIE_TEST_DATA_DIR) + "/listings";

// Runs the tool from the listings folder (so the header names "sample.mis"), dated
// 2026-03-14 09:05 UTC.
CliRun runCli(const std::string& args) {
    CliRun r;
    const std::string cmd = "cd \"" + kListingsDir + "\" && SOURCE_DATE_EPOCH=1773479100 \"" + SORTIE_CLI_PATH + "\" " +
                            args + " 2>/dev/null";
    std::FILE* p = popen(cmd.c_str(), "r");
    if (!p) return r;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
    const int rc = pclose(p);
    r.status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    return r;
}

// A data folder with the logic wording as text.bin and the two marker definitions the
// derived point counts and areas in use are worked out from.
class ListCli : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string build = std::string("\"") + SORTIE_CLI_PATH + "\" strings build \"" + SORTIE_SOURCE_DIR +
                                  "/data/text/logic.txt\" -o \"" + data_.file("text.bin") + "\" >/dev/null 2>&1";
        ASSERT_EQ(std::system(build.c_str()), 0);
        data_.write("items.def",
                    "begin Waypoint\r\nid 106005\r\ntype marker\r\nend\r\n"
                    "begin Area\r\nid 106013\r\ntype marker\r\nend\r\n");
    }
    std::string list(const std::string& args) { return "--data \"" + data_.path().string() + "\" list " + args; }
    ScopedTempDir data_;
};

TEST_F(ListCli, PrintsTheFiveListings) {
    const std::pair<const char*, const char*> cases[] = {
        {"events", "events.txt"},       {"event 1", "event1.txt"}, {"groups", "groups.txt"},
        {"waypoints", "waypoints.txt"}, {"areas", "areas.txt"},
    };
    for (const auto& [what, expected] : cases) {
        const CliRun r = runCli(list(std::string(what) + " sample.mis"));
        EXPECT_EQ(r.status, 0) << what;
        EXPECT_EQ(r.out, readWholeFile(kListingsDir + "/" + expected)) << what;
    }
}

TEST_F(ListCli, WritesIntoAFile) {
    const std::string out = data_.file("areas out.txt");
    CliRun r = runCli(list("areas sample.mis -o \"" + out + "\""));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(readWholeFile(out), readWholeFile(kListingsDir + "/areas.txt"));
    // A folder that does not exist cannot take the file.
    r = runCli(list("groups sample.mis -o \"" + data_.file("none/x.txt") + "\""));
    EXPECT_EQ(r.status, 1);
}

TEST_F(ListCli, BadInputAndUsage) {
    EXPECT_EQ(runCli(list("event 4 sample.mis")).status, 1);  // four events: 0..3
    EXPECT_EQ(runCli(list("event -1 sample.mis")).status, 1);
    EXPECT_EQ(runCli(list("groups missing.mis")).status, 1);
    const std::string bad = data_.write("bad.mis", "begin group 1\nthis is not a line\nend group\n");
    EXPECT_EQ(runCli(list("groups \"" + bad + "\"")).status, 1);
    EXPECT_EQ(runCli(list("")).status, 2);
    EXPECT_EQ(runCli(list("items sample.mis")).status, 2);
    EXPECT_EQ(runCli(list("event sample.mis")).status, 2);
    EXPECT_EQ(runCli(list("event x sample.mis")).status, 2);
    EXPECT_EQ(runCli(list("groups")).status, 2);
    EXPECT_EQ(runCli(list("groups a.mis b.mis")).status, 2);
    EXPECT_EQ(runCli(list("groups sample.mis -o")).status, 2);
    EXPECT_EQ(runCli(list("groups sample.mis --wide")).status, 2);
    const CliRun help = runCli("list --help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("waypoints"), std::string::npos);
}

}  // namespace

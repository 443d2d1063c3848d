// sortie-cli's mission commands, run as a user would run them.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::atomic<int> g_counter{0};

std::string slurp(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

struct CliRun {
    int code = -1;
    bool signalled = false;
    std::string out, err;
};

class MissionCli : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("sortie-cli-mission-" + std::to_string(::getpid()) + "-" + std::to_string(g_counter++));
        fs::remove_all(dir_);
        fs::create_directories(dir_ / "data");
        // Our own little definition table: a person, a decoration and the two markers.
        // Definition files end their lines with CR LF.
        write("data/items.def",
              "begin Scout\r\nid 101001\r\ntype person\r\nend\r\n"
              "begin Pine\r\nid 102001\r\ntype decoration\r\nend\r\n"
              "begin Waypoint\r\nid 106005\r\ntype marker\r\nend\r\n"
              "begin Area\r\nid 106013\r\ntype marker\r\nend\r\n");
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }

    std::string write(const std::string& name, const std::string& bytes) {
        const fs::path p = dir_ / name;
        std::ofstream f(p, std::ios::binary);
        f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return p.string();
    }
    std::string path(const std::string& name) const { return (dir_ / name).string(); }

    CliRun run(const std::string& args, const std::string& env = "") {
        const fs::path out = dir_ / "stdout.txt", err = dir_ / "stderr.txt";
        const std::string cmd = env + " '" + std::string(SORTIE_CLI_PATH) + "' --data '" + (dir_ / "data").string() +
                                "' " + args + " >'" + out.string() + "' 2>'" + err.string() + "'";
        const int status = std::system(cmd.c_str());
        CliRun r;
        if (WIFEXITED(status)) {
            r.code = WEXITSTATUS(status);
            // The shell reports a child killed by a signal as 128 + the signal.
            r.signalled = r.code > 128;
        } else {
            r.signalled = true;
        }
        r.out = slurp(out);
        r.err = slurp(err);
        return r;
    }

    fs::path dir_;
};

const char* const kCleanMission =
    "begin general_information\nname \"Clean\"\nnum_items 3\nnum_events 2\nend general_information\n\n"
    "begin item 0\nid 1\ntype_id 1001\nposition 256 512 0\ngroup_id 3\nend item\n\n"
    "begin item 1\nid 2\ntype_id 6005\nwaypoint_id 4\nwpnumber 31\nend item\n\n"
    "begin item 2\nid 3\ntype_id 6013\nwpnumber 99\nend item\n\n"
    "begin event 0\nname \"one\"\nbegin triggers 1\n0 2 0 1 0 0 0 0\nend triggers\nend event\n\n"
    "begin event 1\nname \"two\"\nend event\n\n";

// The same mission as the checks want it: the path and the area have a second marker, and
// the unit stands on the terrain.
const char* const kCheckedClean =
    "begin general_information\nname \"Clean\"\nnum_items 5\nnum_events 2\nend general_information\n\n"
    "begin item 0\nid 1\ntype_id 1001\nposition 256 -512 0\ngroup_id 3\nend item\n\n"
    "begin item 1\nid 2\ntype_id 6005\nwaypoint_id 4\nwpnumber 31\nend item\n\n"
    "begin item 2\nid 3\ntype_id 6013\nwpnumber 99\nend item\n\n"
    "begin item 3\nid 4\ntype_id 6005\nposition 512 -512 0\nwaypoint_id 4\nwpnumber 30\nend item\n\n"
    "begin item 4\nid 5\ntype_id 6013\nposition 512 -512 0\nwpnumber 99\nend item\n\n"
    "begin event 0\nname \"one\"\nbegin triggers 1\n0 2 0 1 0 0 0 0\nend triggers\nend event\n\n"
    "begin event 1\nname \"two\"\nend event\n\n";

}  // namespace

TEST_F(MissionCli, CheckCleanFileExitsZero) {
    const CliRun r = run("check '" + write("clean.mis", kCheckedClean) + "'");
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.err, "");
}

TEST_F(MissionCli, CheckReportsEveryKindOfFindingWithItsLine) {
    const std::string file = write("findings.mis",
                                   "begin general_information\n"                                          // 1
                                   "num_items 7\nnum_events 1\n"                                          // 2, 3
                                   "end\n"                                                                // 4
                                   "begin item 0\nid 5\ntype_id 4242\nend\n"                              // 5-8
                                   "begin item 1\nid 5\ntype_id 1001\ngroup_id 64\nend\n"                 // 9-13
                                   "begin item 2\nid 6\ntype_id 6005\nwaypoint_id 0\nwpnumber 32\nend\n"  // 14-19
                                   "begin item 3\nid 7\ntype_id 6013\nwpnumber 100\nend\n"                // 20-24
                                   "begin item 4\nid 8\ntype_id 6005\nwaypoint_id 128\nend\n"             // 25-29
                                   "begin event 0\nbegin triggers 2\n0 1 0 0\n0 2 0 5\nend\nend\n"        // 30-35
                                   "begin item 9\nid 9\ntype_id 1001\nend\n");                            // 36-39
    const CliRun r = run("check '" + file + "'");
    EXPECT_EQ(r.code, 1);
    EXPECT_FALSE(r.signalled);
    for (const char* want :
         {":5: item 0: no item definition has type 4242", ":9: item 1 (Scout): id 5 is already the id of item 0",
          ":9: item 1 (Scout): group 64", ":14: item 2 (Waypoint): waypoint marker on path 0",
          ":14: item 2 (Waypoint): waypoint marker numbered 32", ":20: item 3 (Area): area marker for area 100",
          ":25: item 4 (Waypoint): waypoint marker on path 128", ":33: event 0, trigger 1: names event 5",
          ":36: item 9 lies beyond num_items 7"}) {
        EXPECT_NE(r.err.find(file + want), std::string::npos) << want << "\n" << r.err;
    }
    // Items 5 and 6 have no block: the count names them, and nothing is made up for them.
    EXPECT_NE(r.err.find(file + ":2: num_items 7 is more than the 5 item blocks"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("type 0"), std::string::npos) << r.err;
}

TEST_F(MissionCli, CountsLargerThanTheBlocksAreReportedAndNotInventedOnResave) {
    const std::string file = write("short.mis",
                                   "begin general_information\nnum_items 3\nnum_events 3\nend\n"  // 1-4
                                   "begin item 0\nid 4\ntype_id 1001\nend\n"                      // 5-8
                                   "begin event 0\nname \"a\"\nend\nbegin event 2\nname \"c\"\nend\n");
    const CliRun r = run("check '" + file + "'");
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find(file + ":2: num_items 3"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(file + ":3: warning: event 1 has no block"), std::string::npos) << r.err;
    ASSERT_EQ(run("resave '" + file + "' -o '" + path("out.mis") + "'").code, 0);
    const std::string out = slurp(path("out.mis"));
    EXPECT_NE(out.find("num_items 1\r\n"), std::string::npos) << out;
    EXPECT_EQ(out.find("begin item 1"), std::string::npos) << out;
    EXPECT_NE(out.find("num_events 3\r\n"), std::string::npos) << out;  // event 2 keeps its number
}

TEST_F(MissionCli, AnOutputThatIsTheInputIsRefusedButResaveMayRewriteItsInput) {
    const std::string in = write("in.mis", kCleanMission);
    fs::create_symlink(in, path("link.mis"));
    struct Case {
        const char* what;
        std::string args;
        int code;
    } cases[] = {
        {"export onto its input", "export '" + in + "' -o '" + in + "'", 2},
        {"export onto a link to its input", "export '" + in + "' -o '" + path("link.mis") + "'", 2},
        {"export through another spelling", "export '" + in + "' -o '" + path("./in.mis") + "'", 2},
        {"list onto its input", "list events '" + in + "' -o '" + in + "'", 2},
        {"render onto its input", "render '" + path("link.mis") + "' -o '" + in + "'", 2},
        {"resave onto its input", "resave '" + in + "' -o '" + in + "'", 0},
        {"export elsewhere", "export '" + in + "' -o '" + path("out.bms") + "'", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string before = slurp(in);
        const CliRun r = run(c.args, "SOURCE_DATE_EPOCH=1600000000");
        EXPECT_EQ(r.code, c.code) << r.err;
        if (c.code == 2) {
            EXPECT_EQ(slurp(in), before);
            EXPECT_NE(r.err.find("input"), std::string::npos) << r.err;
        }
    }
}

TEST_F(MissionCli, DoubleDashEndsTheOptions) {
    const std::string dashed = write("-dashed.mis", kCheckedClean);
    const CliRun plain = run("check -dashed.mis", "cd '" + dir_.string() + "' &&");
    EXPECT_EQ(plain.code, 2);  // an unknown option
    for (const std::string& args :
         {std::string("check -- -dashed.mis"), std::string("export -o out.bms -- -dashed.mis"),
          std::string("list events -o out.txt -- -dashed.mis"), std::string("check -- --help")}) {
        SCOPED_TRACE(args);
        if (args == "check -- --help") write("--help", kCheckedClean);
        const CliRun r = run(args, "cd '" + dir_.string() + "' &&");
        EXPECT_EQ(r.code, 0) << r.err;
        EXPECT_EQ(r.out.find("usage"), std::string::npos);
    }
}

TEST_F(MissionCli, ABinaryMissionGivenForAMetafileIsNamedAsOne) {
    const std::string in = write("in.mis", kCleanMission);
    ASSERT_EQ(run("export '" + in + "' -o '" + path("out.bms") + "'").code, 0);
    for (const std::string& args : {"check '" + path("out.bms") + "'", "list events '" + path("out.bms") + "'",
                                    "resave '" + path("out.bms") + "' -o '" + path("x.mis") + "'"}) {
        SCOPED_TRACE(args);
        const CliRun r = run(args);
        EXPECT_EQ(r.code, 1);
        EXPECT_NE(r.err.find("binary mission"), std::string::npos) << r.err;
        EXPECT_NE(r.err.find("dump-bms"), std::string::npos) << r.err;
    }
    EXPECT_FALSE(fs::exists(path("x.mis")));
}

TEST_F(MissionCli, CheckReportsItemsOffTheTerrainAtTheirLines) {
    // 7,800 km east, and one step past each edge; the edges themselves are on the terrain.
    std::string text = "begin general_information\nnum_items 4\nend\n";  // 1-3
    const char* positions[] = {"1996800000 0 0", "262145 0 0", "0 -262145 5", "262144 -262144 0"};
    for (int i = 0; i < 4; ++i)  // lines 4 + 5 i .. 8 + 5 i
        text += "begin item " + std::to_string(i) + "\nid " + std::to_string(i + 1) + "\ntype_id 1001\nposition " +
                positions[i] + "\nend\n";
    const std::string file = write("far.mis", text);
    const CliRun r = run("check '" + file + "'");
    EXPECT_EQ(r.code, 0);  // warnings: the mission still works in the game
    for (const char* want :
         {":4: warning: item 0 (Scout): at (7800000, 0) m, outside the terrain",
          ":9: warning: item 1 (Scout): at (1024, 0) m", ":14: warning: item 2 (Scout): at (0, -1024) m"})
        EXPECT_NE(r.err.find(file + want), std::string::npos) << want << "\n" << r.err;
    EXPECT_EQ(r.err.find("item 3"), std::string::npos) << r.err;
}

TEST_F(MissionCli, CheckReportsATerrainTheGameDataDoesNotHold) {
    // Loose game files are looked for in the current folder, as the editor does.
    write("data/hills.trn", "");
    const std::string inData = "cd '" + path("data") + "' &&";
    const std::string here = write("here.mis", "begin general_information\nterrain hills\nend\n");
    const std::string gone = write("gone.mis", "begin general_information\nterrain nowhere\nend\n");
    const CliRun ok = run("check '" + here + "'", inData);
    EXPECT_EQ(ok.code, 0) << ok.err;
    const CliRun r = run("check '" + gone + "'", inData);
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find(gone + ":1: terrain nowhere"), std::string::npos) << r.err;
}

TEST_F(MissionCli, CheckNamesTheBadLineOrRefusesTheFileAndNeverCrashes) {
    std::string garbage = "\x01\x02";
    std::uint32_t s = 99;
    for (int i = 0; i < 30000; ++i) {
        s = s * 1664525u + 1013904223u;
        garbage += char(s >> 24);
    }
    std::string full(kCleanMission);
    struct Case {
        const char* name;
        std::string text;
    };
    const Case cases[] = {
        {"unknown keyword", "begin general_information\nflavour sweet\nend\n"},
        {"item beyond capacity", "begin item 5000\nend\n"},
        {"count beyond capacity", "begin general_information\nnum_items 99999\nend\n"},
        {"trigger rows beyond capacity", "begin event 0\nbegin triggers 12\nend\nend\n"},
        {"binary garbage", garbage},
        {"truncated", full.substr(0, full.size() / 2)},
        {"truncated in a line", full.substr(0, 60)},
        {"5000-character line", "begin general_information\nname \"" + std::string(5000, 'x') + "\"\nend\n"},
        {"5000-character keyword", std::string(5000, 'k') + "\n"},
        {"huge numbers", "begin item 99999999999999999999999\nend\n"},
    };
    const std::regex located("^" + std::regex_replace(path("bad.mis"), std::regex(R"([.^$|()\[\]{}*+?\\])"), R"(\$&)") +
                             ":[0-9]+: ");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CliRun r = run("check '" + write("bad.mis", c.text) + "'");
        EXPECT_FALSE(r.signalled) << r.err;
        EXPECT_EQ(r.code, 1) << r.err;
        EXPECT_TRUE(std::regex_search(r.err, located)) << r.err;
    }
    const CliRun missing = run("check '" + path("nowhere.mis") + "'");
    EXPECT_EQ(missing.code, 2);
    const CliRun folder = run("check '" + dir_.string() + "'");
    EXPECT_EQ(folder.code, 2);
    EXPECT_EQ(run("check").code, 2);
}

TEST_F(MissionCli, ResaveReproducesByteForByte) {
    const std::string in = write("in.mis", kCleanMission);
    const std::string env = "SOURCE_DATE_EPOCH=1600000000";
    ASSERT_EQ(run("resave '" + in + "' -o '" + path("a.mis") + "'", env).code, 0);
    ASSERT_EQ(run("resave '" + path("a.mis") + "' -o '" + path("b.mis") + "'", env).code, 0);
    const std::string a = slurp(path("a.mis"));
    EXPECT_EQ(a, slurp(path("b.mis")));
    EXPECT_EQ(a.rfind("// mission metafile, saved on 9/13/2020, 12:26\r\n\r\n\r\nbegin general_information\r\n", 0),
              0u);
    EXPECT_NE(a.find("begin item 1\r\nid 2\r\ntype_id 6005\r\n"), std::string::npos);

    // A target that cannot be written fails and says so.
    const CliRun bad = run("resave '" + in + "' -o '" + path("no/such/dir/x.mis") + "'");
    EXPECT_EQ(bad.code, 1);
    EXPECT_NE(bad.err.find("cannot write"), std::string::npos);
    EXPECT_EQ(run("resave '" + in + "'").code, 2);
}

TEST_F(MissionCli, ExportThenDump) {
    const std::string in = write("in.mis", kCleanMission);
    const CliRun e = run("export '" + in + "' -o '" + path("out.bms") + "'");
    ASSERT_EQ(e.code, 0) << e.err;
    EXPECT_EQ(fs::file_size(path("out.bms")), 20628u + 3 * 96 + 2 * 24 + 32);
    const CliRun d = run("dump-bms '" + path("out.bms") + "'");
    ASSERT_EQ(d.code, 0) << d.err;
    EXPECT_NE(d.out.find("header format=15 name=\"Clean\""), std::string::npos) << d.out;
    EXPECT_NE(d.out.find("persons[0] type_id=1001 name_index=0 id=1 "), std::string::npos) << d.out;
    EXPECT_NE(d.out.find("markers[1] type_id=6013 "), std::string::npos) << d.out;
    EXPECT_NE(d.out.find("waypoint[4] attrib=0 count=1 markers=0\n"), std::string::npos) << d.out;
    EXPECT_NE(d.out.find("event[1] attrib=0 first_trigger=1 first_action=0"), std::string::npos) << d.out;
    // One line per record: header lines, 3 items, 128 waypoints, 64 groups, 32 wavs, totals,
    // 2 events, 1 trigger row.
    int lines = 0;
    for (char c : d.out) lines += c == '\n';
    EXPECT_EQ(lines, 7 + 3 + 128 + 64 + 32 + 1 + 2 + 1);

    // Every shorter copy is refused with where it ends.
    const std::string bytes = slurp(path("out.bms"));
    for (std::size_t n : {std::size_t(0), std::size_t(3), std::size_t(519), std::size_t(600), bytes.size() - 1}) {
        write("short.bms", bytes.substr(0, n));
        const CliRun r = run("dump-bms '" + path("short.bms") + "'");
        EXPECT_EQ(r.code, 1) << n;
        EXPECT_FALSE(r.signalled);
        EXPECT_NE(r.err.find("offset"), std::string::npos) << n << ": " << r.err;
    }
}

TEST_F(MissionCli, ExportWarnsAboutSectionLimitsOnStderr) {
    std::string text = "begin general_information\nnum_items 1030\nend\n";
    for (int i = 0; i < 1030; ++i) text += "begin item " + std::to_string(i) + "\ntype_id 2001\nend\n";
    const CliRun e = run("export '" + write("many.mis", text) + "' -o '" + path("many.bms") + "'");
    EXPECT_EQ(e.code, 0) << e.err;
    int lines = 0;
    for (char c : e.err) lines += c == '\n';
    EXPECT_EQ(lines, 1) << e.err;
    EXPECT_EQ(fs::file_size(path("many.bms")), 20628u + 1024 * 96);
    const CliRun bad = run("export '" + write("bad.mis", "nonsense\n") + "' -o '" + path("x.bms") + "'");
    EXPECT_EQ(bad.code, 1);
    EXPECT_FALSE(fs::exists(path("x.bms")));
}

TEST_F(MissionCli, CheckReportsCutTextsAndRefusesEmptyFiles) {
    const std::string cut = write("cut.mis",
                                  "begin general_information\nname \"Cut\"\nend\n"
                                  "begin group 3\ndescription \"" +
                                      std::string(300, 'd') + "\"\nend\n");
    const CliRun r = run("check '" + cut + "'");
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find(cut + ":5: description of 300 characters is cut"), std::string::npos) << r.err;
    for (const char* empty : {"", "\n\n\n"}) {
        const std::string file = write("empty.mis", empty);
        const CliRun e = run("check '" + file + "'");
        EXPECT_EQ(e.code, 1);
        EXPECT_NE(e.err.find(file + ": holds no mission"), std::string::npos) << e.err;
    }
}

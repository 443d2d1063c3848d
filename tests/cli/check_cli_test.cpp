// sortie-cli check --format=json and sortie-cli refs, run as a user would run them, and the
// sample missions checked with the kit's game data.
#include <gtest/gtest.h>

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

struct CliResult {
    int code = -1;
    std::string out, err;
};

std::string slurp(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

class CheckCli : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("sortie-cli-check-" + std::to_string(::getpid()) + "-" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    std::string write(const std::string& name, const std::string& text) {
        std::ofstream(dir_ / name, std::ios::binary) << text;
        return (dir_ / name).string();
    }
    CliResult run(const std::string& args, const std::string& data) {
        const fs::path out = dir_ / "out.txt", err = dir_ / "err.txt";
        const std::string cmd = "'" + std::string(SORTIE_CLI_PATH) + "' --data '" + data + "' " + args + " >'" +
                                out.string() + "' 2>'" + err.string() + "'";
        const int status = std::system(cmd.c_str());
        CliResult r;
        r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        r.out = slurp(out);
        r.err = slurp(err);
        return r;
    }
    fs::path dir_;
};

const std::string kMissions = std::string(SORTIE_SOURCE_DIR) + "/data/missions/";

// An event whose trigger names an event that does not exist, and an event nothing fires.
const char* const kDangling =
    "begin general_information\nnum_items 0\nnum_events 2\nend general_information\n"
    "begin event 0\nname \"Alarm C:\\north\"\nbegin triggers 1\n0 2 0 7 0 0 0 0\nend triggers\nend event\n"
    "begin event 1\nname \"Orphan\"\nend event\n";

TEST_F(CheckCli, JsonListsEachFindingWithWhatItPointsAt) {
    const std::string file = write("dangling.mis", kDangling);
    const CliResult r = run("check --format=json '" + file + "'", dir_.string());
    EXPECT_EQ(r.code, 1) << r.err;
    // One object a finding; the backslash of the event's name is escaped inside the message.
    const std::regex error(
        R"(\{"file": "[^"]*dangling\.mis", "line": 8, "severity": "error", "message": "[^\n]*C:\\\\north[^\n]*", "kind": "event", "number": 0, "check": "missing-event"\})");
    const std::regex warning(
        R"("severity": "warning", [^\n]*"kind": "event", "number": 1, "check": "unreachable-event")");
    EXPECT_TRUE(std::regex_search(r.out, error)) << r.out;
    EXPECT_TRUE(std::regex_search(r.out, warning)) << r.out;
    EXPECT_EQ(r.out.front(), '[');
    EXPECT_EQ(r.out.substr(r.out.size() - 2), "]\n");

    const CliResult clean =
        run("check --format=json '" + write("empty.mis", "begin general_information\nend\n") + "'", dir_.string());
    EXPECT_EQ(clean.code, 0) << clean.err;
    EXPECT_EQ(clean.out, "[]\n");
    EXPECT_EQ(run("check --format=xml '" + file + "'", dir_.string()).code, 2);
}

TEST_F(CheckCli, RefsPrintsEachReferenceWithItsLine) {
    const std::string tutorial = kMissions + "tutorial.mis";
    const CliResult r = run("refs '" + tutorial + "' group 1", dir_.string());
    EXPECT_EQ(r.code, 0) << r.err;
    // The two triggers naming group 1 (events 1 and 2) and the four members, in that order.
    std::vector<int> lines;
    const std::regex row("^" + std::regex_replace(tutorial, std::regex(R"([.^$|()\[\]{}*+?\\])"), R"(\$&)") +
                         ":([0-9]+): .+$");
    std::istringstream in(r.out);
    for (std::string l; std::getline(in, l);) {
        std::smatch mm;
        ASSERT_TRUE(std::regex_match(l, mm, row)) << l;
        lines.push_back(std::stoi(mm[1]));
    }
    EXPECT_EQ(lines, (std::vector<int>{73, 84, 92, 104, 117, 130}));

    struct Case {
        const char* args;
        int code;
    };
    for (const Case& c : {Case{"event 2", 0}, Case{"event 3", 1}, Case{"group 64", 1}, Case{"item 25", 1},
                          Case{"item 24", 0}, Case{"wagon 1", 2}, Case{"group x", 2}, Case{"group", 2}}) {
        SCOPED_TRACE(c.args);
        EXPECT_EQ(run("refs '" + tutorial + "' " + c.args, dir_.string()).code, c.code);
    }
    EXPECT_EQ(run("refs '" + (dir_ / "none.mis").string() + "' group 1", dir_.string()).code, 1);
}

#ifdef SORTIE_GAMEDATA_DIR
TEST_F(CheckCli, TheSampleMissionsHaveNoErrors) {
    for (const char* name : {"tutorial.mis", "full.mis", "large.mis"}) {
        SCOPED_TRACE(name);
        const CliResult r = run("check '" + kMissions + name + "'", SORTIE_GAMEDATA_DIR);
        EXPECT_EQ(r.code, 0) << r.err;
        // Whatever is printed is a warning.
        std::istringstream in(r.err);
        for (std::string l; std::getline(in, l);) EXPECT_NE(l.find(": warning: "), std::string::npos) << l;
    }
}
#endif

}  // namespace

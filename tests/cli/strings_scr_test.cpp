// sortie-cli strings and scr, run as the data kit runs them.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

namespace fs = std::filesystem;

struct CliRun {
    int code = -1;
    std::string out, err;
};

class CliTools : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("sortie_cli_" + std::to_string(::getpid()) + "_" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string path(const std::string& name) const { return (dir_ / name).string(); }
    void write(const std::string& name, const std::string& data) const {
        std::ofstream(path(name), std::ios::binary) << data;
    }
    std::string read(const std::string& name) const {
        std::ifstream in(path(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    CliRun run(const std::string& args) const {
        const std::string cmd = std::string("\"") + SORTIE_CLI_PATH + "\" " + args + " >\"" + path("stdout") +
                                "\" 2>\"" + path("stderr") + "\"";
        CliRun r;
        const int status = std::system(cmd.c_str());
        r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        r.out = read("stdout");
        r.err = read("stderr");
        return r;
    }

    fs::path dir_;
};

}  // namespace

TEST_F(CliTools, StringsBuildMergesSourcesAndDumpGivesThemBack) {
    write("a.txt", "# menus\n[Menu]\nOPEN = Open\n\n[Dialog Message]\nOK = Fine\\n\n");
    write("b.txt", "[menu]\nSAVE = Save\\tall\n");
    ASSERT_EQ(run("strings build " + path("a.txt") + " " + path("b.txt") + " -o " + path("t.bin")).code, 0);
    const CliRun dump = run("strings dump " + path("t.bin"));
    EXPECT_EQ(dump.code, 0) << dump.err;
    const std::string merged = "[Menu]\nOPEN = Open\nSAVE = Save\\tall\n\n[Dialog Message]\nOK = Fine\\n\n";
    EXPECT_EQ(dump.out, merged);

    // The dump builds the identical table again.
    write("c.txt", merged);
    ASSERT_EQ(run("strings build " + path("c.txt") + " -o " + path("u.bin")).code, 0);
    EXPECT_EQ(read("u.bin"), read("t.bin"));
}

TEST_F(CliTools, StringsDefaultsOnlyFillInMissingKeys) {
    write("area.txt", "[Dialog Message]\nOK = Fine\n[Menu]\nOPEN = Open\n");
    // The defaults word OK differently (the area's text wins), add a key to a section the area
    // has (matched without regard to case) and a section the area lacks.
    write("ui.txt", "[dialog message]\nOK = Okay\nCANCEL = Cancel\n[Teams]\nGOODTEAM = Blue\n");
    CliRun r = run("strings build " + path("area.txt") + " --defaults " + path("ui.txt") + " -o " + path("t.bin"));
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(run("strings dump " + path("t.bin")).out,
              "[Dialog Message]\nOK = Fine\nCANCEL = Cancel\n\n[Menu]\nOPEN = Open\n\n[Teams]\nGOODTEAM = Blue\n");

    // A defaults source is still checked on its own: a key twice in it is an error, with its line.
    write("twice.txt", "[Teams]\nGOODTEAM = Blue\nGOODTEAM = Azure\n");
    r = run("strings build " + path("area.txt") + " --defaults " + path("twice.txt") + " -o " + path("u.bin"));
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find(path("twice.txt") + ":3:"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(path("u.bin")));
    // Defaults alone make no table: at least one source is needed.
    EXPECT_EQ(run("strings build --defaults " + path("ui.txt") + " -o " + path("v.bin")).code, 2);
    EXPECT_EQ(run("strings build " + path("area.txt") + " --defaults -o " + path("v.bin")).code, 2);
}

TEST_F(CliTools, StringsReportsBadInputAndUsage) {
    write("bad.txt", "[Menu]\nOPEN = Open\nno equals here\n");
    CliRun r = run("strings build " + path("bad.txt") + " -o " + path("t.bin"));
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find(path("bad.txt") + ":3:"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(path("t.bin")));

    write("junk.bin", "not a table at all");
    EXPECT_EQ(run("strings dump " + path("junk.bin")).code, 1);
    EXPECT_EQ(run("strings dump " + path("absent.bin")).code, 1);
    EXPECT_EQ(run("strings build " + path("bad.txt")).code, 2);  // no -o
    EXPECT_EQ(run("strings frobnicate").code, 2);
    EXPECT_EQ(run("strings").code, 2);
    r = run("strings --help");
    EXPECT_EQ(r.code, 0);
    EXPECT_NE(r.out.find("strings build"), std::string::npos);
}

TEST_F(CliTools, ScrRoundTripsAndRefusesWhatItCannotUndo) {
    const std::string plain = "type 1001\r\nname \"Crate\"\r\n";
    write("items.def", plain);
    ASSERT_EQ(run("scr scramble --seed 0x1A2B3C4D " + path("items.def") + " -o " + path("s.def")).code, 0);
    const std::string scrambled = read("s.def");
    ASSERT_EQ(scrambled.size(), plain.size() + 4);
    EXPECT_EQ(scrambled.substr(0, 4), std::string("SCR\x01", 4));
    EXPECT_EQ(scrambled.find("Crate"), std::string::npos);

    ASSERT_EQ(run("scr unscramble --seed 1a2b3c4d " + path("s.def") + " -o " + path("p.def")).code, 0);
    EXPECT_EQ(read("p.def"), plain);

    EXPECT_EQ(run("scr unscramble --seed 1 " + path("items.def") + " -o " + path("x")).code, 1);  // no header
    EXPECT_EQ(run("scr scramble --seed 0 " + path("items.def") + " -o " + path("x")).code, 2);
    EXPECT_EQ(run("scr scramble --seed xyz " + path("items.def") + " -o " + path("x")).code, 2);
    EXPECT_EQ(run("scr scramble " + path("items.def") + " -o " + path("x")).code, 2);
    EXPECT_EQ(run("scr scramble --seed 5 " + path("absent") + " -o " + path("x")).code, 1);
    EXPECT_EQ(run("scr --help").code, 0);
}

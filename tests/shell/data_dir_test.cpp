// The default game data root: $SORTIE_DATA, the build's kit for a program in its build
// folder, else the installed kit beside the program.
#include "shell/data_start.h"
#include "support/shell_env.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

const DataDefaults kDefaults{"/src/build", "/src/build/gamedata", "../share/sortie/gamedata"};

TEST(DefaultDataDir, ChoosesByEnvironmentAndProgramFolder) {
    struct Case {
        const char* what;
        std::string programDir;
        const char* env;
        DataDefaults defaults;
        std::string expected;
    };
    const Case cases[] = {
        {"SORTIE_DATA wins over the build", "/src/build", "/games/kz7", kDefaults, "/games/kz7"},
        {"SORTIE_DATA wins over an installation", "/usr/bin", "/games/kz7", kDefaults, "/games/kz7"},
        {"an empty SORTIE_DATA is not set", "/src/build", "", kDefaults, "/src/build/gamedata"},
        {"run from the build folder", "/src/build", nullptr, kDefaults, "/src/build/gamedata"},
        {"build folder spelt with ./ and a trailing slash", "/src/./build/", nullptr, kDefaults, "/src/build/gamedata"},
        {"installed under /usr", "/usr/bin", nullptr, kDefaults, "/usr/share/sortie/gamedata"},
        {"installed under another prefix", "/opt/x/bin", nullptr, kDefaults, "/opt/x/share/sortie/gamedata"},
        {"a folder below the build is not the build", "/src/build/tests", nullptr, kDefaults,
         "/src/build/share/sortie/gamedata"},
        {"program folder unknown", "", nullptr, kDefaults, "/src/build/gamedata"},
        {"built without an installed place",
         "/usr/bin",
         nullptr,
         {"/src/build", "/src/build/gamedata", ""},
         "/src/build/gamedata"},
        {"an absolute installed place",
         "/usr/bin",
         nullptr,
         {"/src/build", "/src/build/gamedata", "/srv/kit"},
         "/srv/kit"},
    };
    for (const Case& c : cases) EXPECT_EQ(startup_ChooseDataDir(c.programDir, c.env, c.defaults), c.expected) << c.what;
}

// A link to the build folder is the build folder.
TEST(DefaultDataDir, BuildFolderReachedThroughALink) {
    const fs::path root = fs::temp_directory_path() / ("sortie_datadir_" + std::to_string(::getpid()));
    fs::create_directories(root / "build");
    std::error_code ec;
    fs::create_directory_symlink(root / "build", root / "link", ec);
    ASSERT_FALSE(ec) << ec.message();
    const DataDefaults d{(root / "build").string(), "/kit", "../share/sortie/gamedata"};
    EXPECT_EQ(startup_ChooseDataDir((root / "link").string(), nullptr, d), "/kit");
    fs::remove_all(root);
}

// The running program: its own folder and SORTIE_DATA from the environment.
TEST(DefaultDataDir, RunningProgramReadsItsFolderAndEnvironment) {
    const std::string here = fs::read_symlink("/proc/self/exe").parent_path().string();
    const DataDefaults d{here, "/build/kit", "../share/sortie/gamedata"};

    {
        ScopedEnvVar unset("SORTIE_DATA", nullptr);
        EXPECT_EQ(startup_DefaultDataDir("sortie_tests", d), "/build/kit");
        const DataDefaults elsewhere{"/nowhere/build", "/build/kit", "../share/sortie/gamedata"};
        EXPECT_EQ(startup_DefaultDataDir("sortie_tests", elsewhere),
                  (fs::path(here) / "../share/sortie/gamedata").lexically_normal().string());
    }
    ScopedEnvVar games("SORTIE_DATA", "/games/kz7");
    EXPECT_EQ(startup_DefaultDataDir("sortie_tests", d), "/games/kz7");
}

}  // namespace

// The folders form layers, each building on the ones below it only: core (with the platform
// interface), gamedata, mission, logic, mapview, then shell and resources. Every
// #include "folder/..." in a product folder is checked against that order, so the module
// graph stays one-way. The Qt backend (qt/), the programs and the tests (with the fake
// platform in tests/support/) sit on top and are not checked; no product folder includes Qt.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// Layer of a path relative to the source root; -1 for what is not a product layer.
int layerOf(const std::string& path) {
    static const std::map<std::string, int> kLayers = {
        {"core", 0},  {"platform", 0}, {"gamedata", 1}, {"mission", 2},
        {"logic", 3}, {"mapview", 4},  {"shell", 5},    {"resources", 5},
    };
    const auto slash = path.find('/');
    if (slash == std::string::npos) return -1;
    const auto it = kLayers.find(path.substr(0, slash));
    return it == kLayers.end() ? -1 : it->second;
}

// Every "folder/..." a file includes; with angles too, every <...>.
std::vector<std::string> quotedIncludes(const fs::path& file, bool angles = false) {
    std::vector<std::string> out;
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        const auto hash = line.find_first_not_of(" \t");
        if (hash == std::string::npos || line[hash] != '#') continue;
        const auto inc = line.find("include", hash);
        const auto open = line.find_first_of(angles ? "\"<" : "\"", hash);
        if (inc == std::string::npos || open == std::string::npos || open < inc) continue;
        const auto close = line.find_first_of("\">", open + 1);
        if (close == std::string::npos) continue;
        out.push_back(line.substr(open + 1, close - open - 1));
    }
    return out;
}

TEST(Layers, NoFolderIncludesAFolderAboveIt) {
    const fs::path root = SORTIE_SOURCE_DIR;
    int checked = 0;
    for (const char* folder : {"core", "platform", "gamedata", "mission", "logic", "mapview", "shell", "resources"}) {
        for (const auto& entry : fs::recursive_directory_iterator(root / folder)) {
            const std::string ext = entry.path().extension().string();
            if (ext != ".cpp" && ext != ".h") continue;
            const std::string rel = fs::relative(entry.path(), root).generic_string();
            const int own = layerOf(rel);
            if (own < 0) continue;
            ++checked;
            for (const std::string& inc : quotedIncludes(entry.path(), true))
                EXPECT_FALSE(inc.starts_with("Q")) << rel << " includes Qt's <" << inc << ">";
            for (const std::string& inc : quotedIncludes(entry.path())) {
                if (inc.find('/') == std::string::npos) continue;
                const int target = layerOf(inc);
                // Test support, Qt and the programs are above every layer.
                EXPECT_TRUE(target >= 0 && target <= own) << rel << " includes \"" << inc << "\"";
            }
        }
    }
    EXPECT_GT(checked, 50);
}

// Within core, the archive format sits below the file layer: the file layer keeps the registry
// of archives and opens them, the format knows nothing of it.
TEST(Layers, TheArchiveFormatDoesNotUseTheFileLayer) {
    const fs::path root = SORTIE_SOURCE_DIR;
    for (const char* file : {"core/pff.h", "core/pff.cpp"})
        for (const std::string& inc : quotedIncludes(root / file)) EXPECT_NE(inc, "core/file.h") << file;
}

}  // namespace

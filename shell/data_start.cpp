#include "shell/data_start.h"

#include "core/file.h"
#include "core/mem.h"
#include "core/text.h"
#include "gamedata/itemdef.h"
#include "gamedata/model.h"
#include "gamedata/sky.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace {

std::string under(const std::string& dataDir, const char* name) {
    if (dataDir.empty()) return name;
    return (std::filesystem::path(dataDir) / name).string();
}

// Two spellings of one folder: the same folder on disk, or the same path once "." and ".."
// and a trailing separator are taken out.
bool sameFolder(const std::string& a, const std::string& b) {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (fs::equivalent(a, b, ec)) return true;
    auto plain = [](const std::string& p) {
        fs::path n = fs::path(p).lexically_normal();
        return n.has_relative_path() && n.filename().empty() ? n.parent_path() : n;
    };
    return plain(a) == plain(b);
}

}  // namespace

std::string startup_ChooseDataDir(const std::string& programDir, const char* sortieData, const DataDefaults& d) {
    if (sortieData && *sortieData) return sortieData;
    if (programDir.empty() || d.installedKit.empty()) return d.buildKit;
    if (!d.buildProgramDir.empty() && sameFolder(programDir, d.buildProgramDir)) return d.buildKit;
    namespace fs = std::filesystem;
    const fs::path kit(d.installedKit);
    if (kit.is_absolute()) return kit.lexically_normal().string();
    return (fs::path(programDir) / kit).lexically_normal().string();
}

std::string startup_DefaultDataDir(const char* argv0, const DataDefaults& d) {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec && argv0 && *argv0) {
        // Without /proc: argv0 holds a folder when the program was started by path.
        const fs::path given(argv0);
        if (given.has_parent_path()) exe = fs::absolute(given, ec);
    }
    const std::string dir = exe.has_parent_path() ? exe.parent_path().string() : std::string();
    return startup_ChooseDataDir(dir, std::getenv("SORTIE_DATA"), d);
}

std::string startup_MediumArchive(const std::string& kz7cdPath) {
    std::FILE* f = std::fopen(kz7cdPath.c_str(), "rb");
    if (!f) return {};
    char drive[2] = {};
    const size_t got = std::fread(drive, 1, 2, f);
    std::fclose(f);
    if (got != 2) return {};
    return std::string(drive, 2) + "\\KZ7SETUP\\terrains.pff";
}

bool startup_Foundation(const std::string& dataDir) {
    if (mem_Startup() != 0) return false;
    file_Reset();
    const std::string kz7 = under(dataDir, "kz7.pff");
    const std::string terrains = under(dataDir, "terrains.pff");
    const std::string medium = startup_MediumArchive(under(dataDir, "kz7.cd"));
    pff_RegisterArchives(kz7.c_str(), terrains.c_str(), medium.empty() ? nullptr : medium.c_str());
    file_SetDiskFirst(1);
    return true;
}

std::string startup_DataPath(const std::string& dataDir, const char* name) {
    std::error_code ec;
    const std::string p = under(dataDir, name);
    if (!dataDir.empty() && std::filesystem::is_regular_file(p, ec)) return p;
    return name;
}

TextTable* startup_LoadTable(const std::string& dataDir, const char* name) {
    return text_LoadTable(startup_DataPath(dataDir, name).c_str());
}

bool startup_LoadItemDefs(const std::string& dataDir, const TextTable* names) {
    model_Reset();  // the pools were just made: nothing of an earlier cache survives them
    itemdef_Reset();
    if (itemdef_Load(startup_DataPath(dataDir, "items.def").c_str()) != 1) return false;
    itemdef_NamePass(names);
    return itemdef_Count() > 0;
}

bool startup_LoadSunsets(const std::string& dataDir, const TextTable* names) {
    sky_Reset();
    sky_NameSunsets(names, startup_DataPath(dataDir, "sunsets.def").c_str());
    return sky_Count() > 0;
}

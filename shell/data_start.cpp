#include "shell/data_start.h"

#include "core/file.h"
#include "core/mem.h"
#include "core/text.h"
#include "gamedata/itemdef.h"
#include "gamedata/model.h"
#include "gamedata/sky.h"

#include <cstdio>
#include <filesystem>

namespace {

std::string under(const std::string& dataDir, const char* name) {
    if (dataDir.empty()) return name;
    return (std::filesystem::path(dataDir) / name).string();
}

}  // namespace

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

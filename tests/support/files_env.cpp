#include "support/files_env.h"

#include "core/file.h"
#include "core/mem.h"
#include "gamedata/itemdef.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace {

struct TestDef {
    const char* name;
    std::int32_t type;
    std::int32_t kind;
    std::uint32_t attributes;
};

constexpr TestDef kDefs[] = {
    {"Rifleman", kTestPersonType, kItemPerson, kItemAttrGood},
    {"Jeep", kTestVehicleType, kItemVehicle, 0},
    {"Pine", kTestDecorType, kItemDecoration, 0},
    {"Hut", kTestBuildingType, kItemBuilding, 0},
    {"Crate", kTestObjectType, kItemObject, 0},
    {"Flag", kTestFlagType, kItemMarker, 0},
    {"Waypoint", kWaypointMarkerType, kItemMarker, 0},
    {"Area", kAreaMarkerType, kItemMarker, 0},
};

std::atomic<int> g_dirCounter{0};

}  // namespace

void files_InstallDefs() {
    constexpr int n = static_cast<int>(std::size(kDefs));
    ItemDef* defs = itemdef_Allocate(n);
    ASSERT_NE(defs, nullptr);
    for (int i = 0; i < n; ++i) {
        std::strncpy(defs[i].name, kDefs[i].name, sizeof defs[i].name - 1);
        defs[i].typeNumber = kDefs[i].type;
        defs[i].type = kDefs[i].kind;
        defs[i].attributes = kDefs[i].attributes;
    }
}

FilesEnv::FilesEnv() {
    mem_Shutdown();
    EXPECT_EQ(mem_Startup(), 0);
    file_Reset();
    itemdef_Reset();
    files_InstallDefs();
    dir_ = std::filesystem::temp_directory_path() /
           ("sortie-files-" + std::to_string(::getpid()) + "-" + std::to_string(g_dirCounter++));
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
}

FilesEnv::~FilesEnv() {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
    itemdef_Reset();
    file_Reset();
    mem_Shutdown();
}

std::string FilesEnv::write(const std::string& name, std::string_view bytes) const {
    const std::string p = path(name);
    std::ofstream f(p, std::ios::binary);
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return p;
}

std::unique_ptr<Mission> files_NewMission() {
    auto m = std::make_unique<Mission>();
    mission_Clear(*m);
    return m;
}

std::string files_ReadAll(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

std::int32_t files_Add(Mission& m, std::int32_t type, std::int32_t x, std::int32_t y, std::int32_t z) {
    return mission_AddItem(m, type, x, y, z);
}

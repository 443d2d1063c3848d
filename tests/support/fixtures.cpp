#include "support/fixtures.h"

#include "core/mem.h"
#include "core/reset.h"
#include "gamedata/itemdef.h"
#include "gamedata/reset.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <sstream>
#include <stdexcept>
#include <unistd.h>

ScopedCore::ScopedCore() {
    core_ResetLayer();
    if (mem_Startup() != 0) throw std::runtime_error("memory pools could not be created");
}

ScopedCore::~ScopedCore() { core_ResetLayer(); }

ScopedTempDir::ScopedTempDir() {
    std::random_device rd;
    auto base = std::filesystem::temp_directory_path();
    for (int i = 0; i < 100; ++i) {
        auto p = base / ("sortie-test-" + std::to_string(rd()));
        std::error_code ec;
        if (std::filesystem::create_directory(p, ec)) {
            path_ = p;
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder");
}

ScopedTempDir::~ScopedTempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::string ScopedTempDir::file(std::string_view name) const { return (path_ / std::string(name)).string(); }

std::string ScopedTempDir::write(std::string_view name, std::string_view bytes) const {
    std::string p = file(name);
    std::filesystem::create_directories(std::filesystem::path(p).parent_path());
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return p;
}

std::string ScopedTempDir::write(std::string_view name, const std::vector<std::uint8_t>& bytes) const {
    return write(name, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

std::string readWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// ---------------------------------------------------------------------------------------
ScopedItemDefs::ScopedItemDefs()
    : ScopedItemDefs({{kTestRifleman, kItemPerson},
                      {kWaypointMarkerType, kItemMarker},
                      {kAreaMarkerType, kItemMarker},
                      {kTestGoodGuard, kItemPerson, kItemAttrGood},
                      {kTestEvilGuard, kItemPerson, kItemAttrEvil},
                      {kTestTurncoat, kItemPerson, kItemAttrGood | kItemAttrEvil},
                      {kTestJeep, kItemVehicle},
                      {kTestCrate, kItemObject}}) {}

ScopedItemDefs::ScopedItemDefs(std::initializer_list<TestDef> defs) : previous_(itemdef_Table()) {
    defs_.resize(defs.size());
    std::size_t i = 0;
    for (const TestDef& d : defs) {
        ItemDef& def = defs_[i++];
        std::snprintf(def.name, sizeof def.name, "Test item %d", static_cast<int>(d.typeNumber));
        def.typeNumber = d.typeNumber;
        def.type = d.kind;
        def.attributes = d.attributes;
    }
    itemdef_Table().defs = defs_.empty() ? nullptr : defs_.data();
    itemdef_Table().count = static_cast<std::int32_t>(defs_.size());
}

ScopedItemDefs::~ScopedItemDefs() { itemdef_Table() = previous_; }

std::unique_ptr<Mission> test_NewMission() {
    auto m = std::make_unique<Mission>();
    mission_Clear(*m);
    return m;
}

std::int32_t test_AddItem(Mission& m, std::int32_t type, std::int32_t x, std::int32_t y, std::int32_t z) {
    const std::int32_t index = mission_AddItem(m, type, x, y, z);
    EXPECT_GE(index, 0) << "the item table refused an item";
    return index;
}

// ---------------------------------------------------------------------------------------
namespace {

struct FileDef {
    const char* name;
    std::int32_t type;
    std::int32_t kind;
    std::uint32_t attributes;
};

constexpr FileDef kDefs[] = {
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
    gamedata_ResetLayer();
    core_ResetLayer();
    EXPECT_EQ(mem_Startup(), 0);
    files_InstallDefs();
    dir_ = std::filesystem::temp_directory_path() /
           ("sortie-files-" + std::to_string(::getpid()) + "-" + std::to_string(g_dirCounter++));
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
}

FilesEnv::~FilesEnv() {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
    gamedata_ResetLayer();
    core_ResetLayer();
}

std::string FilesEnv::write(const std::string& name, std::string_view bytes) const {
    const std::string p = path(name);
    std::ofstream f(p, std::ios::binary);
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return p;
}

std::unique_ptr<Mission> files_NewMission() { return test_NewMission(); }

std::string files_ReadAll(const std::string& path) { return readWholeFile(path); }

std::int32_t files_Add(Mission& m, std::int32_t type, std::int32_t x, std::int32_t y, std::int32_t z) {
    return mission_AddItem(m, type, x, y, z);
}

// The test fixtures every suite shares (with the fake platform, the sortie_testsupport
// library): memory pools and the file layer for a scope, temporary folders, item definition
// tables, pages on the heap.
#pragma once

#include "gamedata/itemdef.h"
#include "mission/mission.h"

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// Test helpers for code that needs the memory pools and the file layer: a fresh set of
// pools and an empty archive registry for the life of one object, and a temporary folder.

// Puts the core layer back (core_ResetLayer: string tables, file layer, pools) and creates the
// three pools; puts the core back again on destruction.
class ScopedCore {
public:
    ScopedCore();
    ~ScopedCore();
    ScopedCore(const ScopedCore&) = delete;
    ScopedCore& operator=(const ScopedCore&) = delete;
};

// A fresh folder under the system's temporary folder, removed with everything in it.
class ScopedTempDir {
public:
    ScopedTempDir();
    ~ScopedTempDir();
    ScopedTempDir(const ScopedTempDir&) = delete;
    ScopedTempDir& operator=(const ScopedTempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // path()/name as a string.
    std::string file(std::string_view name) const;
    // Writes bytes to path()/name and gives the full path.
    std::string write(std::string_view name, std::string_view bytes) const;
    std::string write(std::string_view name, const std::vector<std::uint8_t>& bytes) const;

private:
    std::filesystem::path path_;
};

// The whole content of a disk file ("" when it cannot be read).
std::string readWholeFile(const std::string& path);

// ---------------------------------------------------------------------------------------
// Mission pages and item definitions for tests of the mission model and its users.

// Type numbers of the definitions ScopedItemDefs installs by default.
constexpr std::int32_t kTestRifleman = 100;   // person, no side       (definition 0)
constexpr std::int32_t kTestGoodGuard = 101;  // person, "good"        (definition 3)
constexpr std::int32_t kTestEvilGuard = 102;  // person, "evil"        (definition 4)
constexpr std::int32_t kTestTurncoat = 103;   // person, good and evil (definition 5)
constexpr std::int32_t kTestJeep = 200;       // vehicle               (definition 6)
constexpr std::int32_t kTestCrate = 300;      // object                (definition 7)

struct TestDef {
    std::int32_t typeNumber;
    std::int32_t kind;
    std::uint32_t attributes = 0;
};

// Installs a definition table owned by the test for a scope (no memory pools needed), then
// forgets it. The default table holds the definitions named above, with the waypoint marker
// as definition 1 and the area marker as definition 2.
class ScopedItemDefs {
public:
    ScopedItemDefs();
    explicit ScopedItemDefs(std::initializer_list<TestDef> defs);
    ~ScopedItemDefs();
    ScopedItemDefs(const ScopedItemDefs&) = delete;
    ScopedItemDefs& operator=(const ScopedItemDefs&) = delete;

private:
    std::vector<ItemDef> defs_;
    ItemDefTable previous_;
};

// A cleared page on the heap (pages are too large for the stack).
std::unique_ptr<Mission> test_NewMission();

// Appends an item and returns its index; fails the running test when the table refuses.
std::int32_t test_AddItem(Mission& m, std::int32_t type, std::int32_t x = 0, std::int32_t y = 0, std::int32_t z = 0);

// Every show flag on: all kinds and all teams.
constexpr std::uint32_t kShowEverything = 0xFFFFFFFFu;

// ---------------------------------------------------------------------------------------
// What the mission file tests share: memory pools, a reset file layer, a small item definition
// table with every item kind, a scratch folder, and pages built on the heap.

// Type numbers of the definitions files_InstallDefs puts in the table.
constexpr std::int32_t kTestPersonType = 1001;    // person, "good"
constexpr std::int32_t kTestVehicleType = 1;      // vehicle (sorts first)
constexpr std::int32_t kTestDecorType = 2001;     // decoration
constexpr std::int32_t kTestBuildingType = 5001;  // building
constexpr std::int32_t kTestObjectType = 7001;    // object
constexpr std::int32_t kTestFlagType = 6001;      // marker, not a waypoint or area marker
// kWaypointMarkerType (6005) and kAreaMarkerType (6013) are markers too.

// Replaces the item definition table with the test definitions (needs the memory pools).
void files_InstallDefs();

// Puts the game data and core layers back, then sets up pools and definitions for one test
// and a fresh scratch folder; puts both layers back afterwards.
class FilesEnv {
public:
    FilesEnv();
    ~FilesEnv();
    FilesEnv(const FilesEnv&) = delete;
    FilesEnv& operator=(const FilesEnv&) = delete;

    const std::filesystem::path& dir() const { return dir_; }
    std::string path(const std::string& name) const { return (dir_ / name).string(); }
    // Writes bytes to a file in the scratch folder; its path.
    std::string write(const std::string& name, std::string_view bytes) const;

private:
    std::filesystem::path dir_;
};

std::unique_ptr<Mission> files_NewMission();
std::string files_ReadAll(const std::string& path);
// Appends an item with the definition's defaults at (x, y, z); its index.
std::int32_t files_Add(Mission& m, std::int32_t type, std::int32_t x = 0, std::int32_t y = 0, std::int32_t z = 0);

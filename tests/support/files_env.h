// What the mission file tests share: memory pools, a reset file layer, a small item definition
// table with every item kind, a scratch folder, and pages built on the heap.
#pragma once

#include "mission/mission.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

// Type numbers of the definitions files_InstallDefs puts in the table.
constexpr std::int32_t kTestPersonType = 1001;     // person, "good"
constexpr std::int32_t kTestVehicleType = 1;       // vehicle (sorts first)
constexpr std::int32_t kTestDecorType = 2001;      // decoration
constexpr std::int32_t kTestBuildingType = 5001;   // building
constexpr std::int32_t kTestObjectType = 7001;     // object
constexpr std::int32_t kTestFlagType = 6001;       // marker, not a waypoint or area marker
// kWaypointMarkerType (6005) and kAreaMarkerType (6013) are markers too.

// Replaces the item definition table with the test definitions (needs the memory pools).
void files_InstallDefs();

// Sets up pools, file layer and definitions for one test and a fresh scratch folder; undoes
// all of it afterwards.
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

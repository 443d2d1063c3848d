// Bringing up the foundation and the game data in start-up's order. The editor's start-up
// and sortie-cli both come through here, so the two read the same files the same way.
#pragma once

#include <string>

struct TextTable;

// Where the programs look for their game data when no --data is given. The build bakes these
// in: the folder the build writes the programs to, the kit it makes, and where an
// installation keeps the kit, relative to the installed programs' folder.
struct DataDefaults {
    std::string buildProgramDir;
    std::string buildKit;
    std::string installedKit;
};

// The one rule for the default game data root: sortieData ($SORTIE_DATA) when set and not
// empty; else the build's kit for a program running from its build folder (or from a folder
// that cannot be told); else the installed kit beside the program, so an installation works
// under any prefix.
std::string startup_ChooseDataDir(const std::string& programDir, const char* sortieData, const DataDefaults& d);
// The same rule for the running program: $SORTIE_DATA and the program's own folder
// (/proc/self/exe, else the folder of argv0).
std::string startup_DefaultDataDir(const char* argv0, const DataDefaults& d);

// The archive an installation medium holds, named by the first two bytes of the file
// "kz7.cd" (a drive designation) followed by "\KZ7SETUP\terrains.pff"; empty when the file
// is missing or shorter than two bytes.
std::string startup_MediumArchive(const std::string& kz7cdPath);

// Memory pools, a fresh file layer, the archive search list (kz7.pff and terrains.pff under
// dataDir, then the medium's archive when dataDir holds kz7.cd) and disk files first.
// false when the memory pools cannot be had.
bool startup_Foundation(const std::string& dataDir);

// A data file under dataDir when it lies there on disk; else its bare name, which the file
// layer looks for in the registered archives (and the current folder).
std::string startup_DataPath(const std::string& dataDir, const char* name);

// Loads a string table from dataDir or the archives; nullptr when it cannot be loaded.
TextTable* startup_LoadTable(const std::string& dataDir, const char* name);

// Empties the model cache (call it right after startup_Foundation), loads items.def and takes the item names from the names table
// (may be null). true when at least one definition was loaded.
bool startup_LoadItemDefs(const std::string& dataDir, const TextTable* names);

// Loads sunsets.def and takes the sunset names from the names table (may be null). true when
// at least one sunset was loaded.
bool startup_LoadSunsets(const std::string& dataDir, const TextTable* names);

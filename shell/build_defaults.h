// What the build bakes into the programs: its kit, the folder it writes the programs to, the
// installed kit's place relative to the installed programs, and the version
// (data/CMakeLists.txt and cmake/Install.cmake define them for sortie and sortie-cli). Only
// the programs' main files include this; a program built without the definitions looks in
// the current folder and calls its version unknown.
#pragma once

#include "shell/data_start.h"

#ifndef SORTIE_DEFAULT_DATA_DIR
#define SORTIE_DEFAULT_DATA_DIR "."
#endif
#ifndef SORTIE_BUILD_PROGRAM_DIR
#define SORTIE_BUILD_PROGRAM_DIR ""
#endif
#ifndef SORTIE_INSTALLED_DATA_DIR
#define SORTIE_INSTALLED_DATA_DIR ""
#endif
#ifndef SORTIE_VERSION
#define SORTIE_VERSION "unknown"
#endif

// The places the default game data root is chosen from (startup_DefaultDataDir).
inline DataDefaults startup_BuildDefaults() {
    return {SORTIE_BUILD_PROGRAM_DIR, SORTIE_DEFAULT_DATA_DIR, SORTIE_INSTALLED_DATA_DIR};
}

inline constexpr const char* kSortieVersion = SORTIE_VERSION;

// Shared set-up of the definition-file fuzz targets: the pools, a quiet platform, and a
// scratch file the loaders read the input from (they read through the file layer by name).
#pragma once

#include "core/file.h"
#include "core/mem.h"
#include "platform/fake_platform.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

inline FakePlatform& fuzz_Platform() {
    static FakePlatform quiet;   // records the parser's messages instead of printing them
    return quiet;
}

inline void fuzz_StartCore() {
    if (!mem_State().mainPool.base) mem_Startup();
    file_Reset();
    platform_Set(&fuzz_Platform());
}

// Writes the input to a file of this process and gives its name.
inline const std::string& fuzz_WriteInput(const std::uint8_t* data, std::size_t size, const char* stem) {
    static std::string path;
    if (path.empty()) {
        const char* dir = std::getenv("TMPDIR");
        path = std::string(dir && *dir ? dir : "/tmp") + "/" + stem + "_" + std::to_string(getpid()) + ".def";
    }
    if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
        if (size) std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
    FakePlatform& p = fuzz_Platform();
    p.boxes.clear();
    p.log.clear();
    p.debugLines.clear();
    return path;
}

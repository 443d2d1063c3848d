// Shared set-up of the fuzz targets whose readers report through the platform: a fake platform
// takes their messages instead of printing them, and forgets them after every input so that a
// long run does not grow.
#pragma once

#include "core/file.h"
#include "core/mem.h"
#include "support/fake_platform.h"

inline FakePlatform& fuzz_Quiet() {
    static FakePlatform quiet;
    return quiet;
}

inline int fuzz_QuietStart() {
    platform_Set(&fuzz_Quiet());
    mem_Startup();
    file_Reset();
    return 0;
}

inline void fuzz_QuietForget() {
    FakePlatform& quiet = fuzz_Quiet();
    quiet.boxes.clear();
    quiet.log.clear();
    quiet.debugLines.clear();
}

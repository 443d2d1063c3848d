// Shared set-up of the image reader fuzz targets: the memory pools the readers allocate from.
#pragma once

#include "core/mem.h"

inline int fuzz_ImagePools() {
    static const int rc = [] {
        const int started = mem_Startup();
        mem_State().debugLevel = 0;  // refused requests of lying headers are expected here
        return started;
    }();
    return rc;
}

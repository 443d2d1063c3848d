// Shared set-up of the image reader fuzz targets: the memory pools the readers allocate from.
#pragma once

#include "core/mem.h"

inline int fuzz_ImagePools() {
    static const int rc = mem_Startup();
    return rc;
}

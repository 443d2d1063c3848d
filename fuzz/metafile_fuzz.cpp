// Fuzzes the metafile reader (and, for what it reads, the writer) with arbitrary files.
#include "core/file.h"
#include "core/mem.h"
#include "fuzz/metafile_exercise.h"
#include "gamedata/itemdef.h"
#include "platform/console_platform.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

struct Setup {
    std::FILE* sink = std::fopen("/dev/null", "w");
    ConsolePlatform quiet{sink};
    std::string prefix = "/tmp/sortie-metafile-fuzz-" + std::to_string(::getpid());

    Setup() {
        platform_Set(&quiet);
        mem_Startup();
        file_Reset();
        // A few definitions, so that name lookups and the marker rebuilds have work to do.
        static const struct {
            const char* name;
            std::int32_t type, kind;
        } kDefs[] = {{"Scout", 1001, 3}, {"Pine", 2001, 2}, {"Waypoint", 6005, 4}, {"Area", 6013, 4}};
        if (ItemDef* defs = itemdef_Allocate(4))
            for (int i = 0; i < 4; ++i) {
                std::strncpy(defs[i].name, kDefs[i].name, sizeof defs[i].name - 1);
                defs[i].typeNumber = kDefs[i].type;
                defs[i].type = kDefs[i].kind;
            }
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Setup s;
    if (!metafile_ExerciseBytes(data, size, s.prefix)) std::abort();
    return 0;
}

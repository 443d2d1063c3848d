// Fuzzes the metafile reader with arbitrary files. Whatever the input, the read must end
// without touching memory outside the page, and a page that was read must write a file that
// reads back.
#include "core/file.h"
#include "core/mem.h"
#include "gamedata/itemdef.h"
#include "mission/metafile.h"
#include "mission/mission.h"
#include "platform/console_platform.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

struct Setup {
    std::FILE* sink = std::fopen("/dev/null", "w");
    ConsolePlatform quiet{sink};
    std::unique_ptr<Mission> page = std::make_unique<Mission>();
    std::unique_ptr<Mission> again = std::make_unique<Mission>();
    std::string input = "/tmp/sortie-metafile-fuzz-" + std::to_string(::getpid()) + ".mis";
    std::string output = "/tmp/sortie-metafile-fuzz-" + std::to_string(::getpid()) + "-out.mis";

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

Setup& setup() {
    static Setup s;
    return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Setup& s = setup();
    if (std::FILE* f = std::fopen(s.input.c_str(), "wb")) {
        if (size) std::fwrite(data, 1, size, f);
        std::fclose(f);
    } else {
        return 0;
    }
    MetafileReadOptions o;
    o.loadTerrain = false;
    if (metafile_Read(*s.page, s.input.c_str(), o) != 1) return 0;
    if (s.page->item_count < 0 || s.page->item_count > kMaxItems || s.page->event_count < 0 ||
        s.page->event_count > kMaxEvents)
        std::abort();
    // What was read writes a file that reads back.
    if (metafile_Write(*s.page, s.output.c_str()) != 1) std::abort();
    if (metafile_Read(*s.again, s.output.c_str(), o) != 1) std::abort();
    if (s.again->item_count != s.page->item_count || s.again->event_count != s.page->event_count) std::abort();
    return 0;
}

// One run of the metafile reader over arbitrary bytes, shared by the fuzz target and the
// replay test. The bytes are read as a metafile; whatever they hold, the page's counts stay
// within its tables, and a page that was read writes a file that reads back with the same
// counts. false when one of these fails.
#pragma once

#include "mission/metafile.h"
#include "mission/mission.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

inline bool metafile_ExerciseBytes(const std::uint8_t* data, std::size_t size, const std::string& scratchPrefix) {
    static std::unique_ptr<Mission> page = std::make_unique<Mission>();
    static std::unique_ptr<Mission> again = std::make_unique<Mission>();
    const std::string input = scratchPrefix + ".mis";
    const std::string output = scratchPrefix + "-out.mis";
    std::FILE* f = std::fopen(input.c_str(), "wb");
    if (!f) return true;  // nowhere to put the input: nothing to check
    if (size) std::fwrite(data, 1, size, f);
    std::fclose(f);

    MetafileReadOptions o;
    o.loadTerrain = false;
    const bool read = metafile_Read(*page, input.c_str(), o) == 1;
    bool ok = page->item_count >= 0 && page->item_count <= kMaxItems && page->event_count >= 0 &&
              page->event_count <= kMaxEvents;
    for (std::int32_t e = 0; ok && e < page->event_count; ++e)
        ok = page->events[std::size_t(e)].trigger_count >= 0 &&
             page->events[std::size_t(e)].trigger_count <= kEventMaxTriggers &&
             page->events[std::size_t(e)].action_count >= 0 &&
             page->events[std::size_t(e)].action_count <= kEventMaxActions;
    if (ok && read) {
        ok = metafile_Write(*page, output.c_str()) == 1 && metafile_Read(*again, output.c_str(), o) == 1 &&
             again->item_count == page->item_count && again->event_count == page->event_count;
    }
    std::remove(input.c_str());
    std::remove(output.c_str());
    return ok;
}

// One run of the binary mission reader over arbitrary bytes, shared by its fuzz target and
// the replay test: a file parses, or is refused with a reason; one that parses holds no more
// records than its bytes can carry, its event rows stay within the trigger and action tables,
// and it dumps. false when one of these fails.
#pragma once

#include "mission/export.h"

#include <cstdint>
#include <string>

inline bool bms_ExerciseBytes(const std::uint8_t* data, std::size_t size) {
    BmsFile f;
    std::string error;
    if (!bms_Parse(data, size, f, error)) return !error.empty();
    std::size_t items = 0;
    for (const auto& s : f.sections) items += s.size();
    if (items * kBmsItemSize > size || f.events.size() * kBmsEventSize > size) return false;
    if (f.triggers.size() * kBmsRowSize > size || f.actions.size() * kBmsRowSize > size) return false;
    return !bms_Dump(f).empty();
}

// Drives the string-table loader over one image held in memory, looks up what it accepted,
// and takes the same bytes as source text: any source the reader accepts must build into a
// table that loads and finds every key. The body of the text fuzz target and of the test
// that replays saved inputs; false when an invariant breaks.
#pragma once

#include "core/text.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

inline bool text_ExerciseTable(const std::uint8_t* data, std::size_t size) {
    if (TextTable* t = text_LoadTableFromMemory(data, size)) {
        text_SetCurrent(t);
        const std::uint32_t sections = text_SectionCount(t);
        for (std::uint32_t s = 0; s < sections && s < 8; ++s) {
            const char* name = text_SectionName(t, s);
            const std::uint32_t keys = text_SectionKeyCount(t, s);
            for (std::uint32_t k = 0; k < keys && k < 8; ++k) {
                const char* key = text_SectionKey(t, s, k);
                const char* text = text_Get(name, key);
                if (!text) return false;
                (void)text_Printf(name, key, {1, "x"});
            }
        }
        (void)text_Get("Dialog Message", "BAD_LINE_NUMBER");
        (void)text_Entry(t, 0);
        (void)text_Entry(t, 0xFFFFFFFFu);
        (void)text_DumpSource(t);
        text_SetCurrent(nullptr);
        text_FreeTable(t);
    }

    TextSource source;
    TextSourceError error;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (!text_ParseSource(text, source, error)) return true;
    std::vector<std::uint8_t> bytes;
    if (!text_BuildTable(source, bytes)) return false;
    TextTable* built = text_LoadTableFromMemory(bytes.data(), bytes.size());
    if (!built) return false;
    for (const auto& sec : source.sections)
        for (const auto& k : sec.keys) {
            const char* got = text_EntryText(built, text_Find(built, sec.name.c_str(), k.key.c_str()));
            if (!got || k.text != got) return false;
        }
    text_FreeTable(built);
    return true;
}

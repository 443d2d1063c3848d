// The string tables the event logic reads, for tests: the UI table built from
// data/text/logic.txt (plus any extra source lines a test adds, which are read first so they
// can stand in for keys other areas word) and the game vocabulary built from
// data/text/vocab_kz7wpn.txt. Both are installed for the life of the object.
#pragma once

#include "core/text.h"

#include <string>
#include <string_view>

class ScopedLogicText {
public:
    explicit ScopedLogicText(std::string_view extraSource = {}, bool withVocab = true);
    ~ScopedLogicText();
    ScopedLogicText(const ScopedLogicText&) = delete;
    ScopedLogicText& operator=(const ScopedLogicText&) = delete;

private:
    TextTable* ui_ = nullptr;
    TextTable* vocab_ = nullptr;
    TextTables previous_;
    TextTable* previousCurrent_ = nullptr;
};

// Source lines the logic's own files leave to other areas.
inline constexpr std::string_view kLogicTestExtraSource = "[File I/O]\nDEF_EXT = mis\n";

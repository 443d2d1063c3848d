// String tables for tests: built from the readable source form, optionally made current.
#pragma once

#include "core/text.h"

#include <string>
#include <string_view>
#include <vector>

// The binary table for a source text; fails the running test when the source is bad.
std::vector<std::uint8_t> test_BuildTableBytes(std::string_view source);
// A loaded table for a source text (free it with text_FreeTable), nullptr when bad.
TextTable* test_TableFromSource(std::string_view source);
// The contents of a file of the repository (e.g. "data/text/foundation.txt").
std::string test_ReadSourceFile(const std::string& relativePath);

// Installs a table built from source as the current UI table for a scope; restores the
// previous one and frees its own at the end.
class ScopedTextTable {
public:
    explicit ScopedTextTable(std::string_view source);
    ~ScopedTextTable();
    ScopedTextTable(const ScopedTextTable&) = delete;
    ScopedTextTable& operator=(const ScopedTextTable&) = delete;
    TextTable* get() const { return table_; }

private:
    TextTable* table_ = nullptr;
    TextTable* previous_ = nullptr;
};

// String tables: every user-visible text is looked up by section and key.
#pragma once

#include "core/format.h"

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

struct TextTable;  // a loaded, checked string-table file
struct TextEntry;  // one entry of a table

// Loads a table through the file layer (disk or archive); nullptr when the file cannot be
// loaded or fails the layout checks. id is handed to mem_SetBlockId.
TextTable* text_LoadTable(const char* name, std::uint32_t id = 0xFFFFFFFF);
// Builds a table over a copy of bytes already in memory (tests, tools); nullptr when bad.
TextTable* text_LoadTableFromMemory(const void* data, std::size_t size);
void text_FreeTable(TextTable* table);

void text_SetCurrent(TextTable* table);
TextTable* text_Current();

const TextEntry* text_Find(const TextTable* table, const char* section, const char* key);
const TextEntry* text_Entry(const TextTable* table, std::uint32_t index);
const char* text_EntryText(const TextTable* table, const TextEntry* entry);  // nullptr for none

// The text of section/key in the current table; never null: "Bad Texttool String" when missing.
const char* text_Get(const char* section, const char* key);

// The text of section/key in the current table; nullptr when the table has none.
const char* text_Lookup(const char* section, const char* key);

// text_Get of section/key, formatted with the checked formatter.
std::string text_Printf(const char* section, const char* key, std::initializer_list<FmtArg> args);

// The other two tables that start-up loads: the game vocabulary and the game names.
struct TextTables {
    TextTable* ui = nullptr;     // text.bin (also the current table)
    TextTable* vocab = nullptr;  // kz7wpn.bin
    TextTable* names = nullptr;  // kz7items.bin
};
TextTables& text_Tables();

// Forgets every table slot (tests; the editor never unloads its tables).
void text_ResetTables();

// Frees the tables held in the slots (each once) and empties them: what start-up loaded goes
// back, so a process that starts the editor again does not keep the old tables.
void text_FreeTables();

// ---------------------------------------------------------------------------------------
// Walking a loaded table in directory order (the dump tool; the editor itself never lists).

std::uint32_t text_EntryCount(const TextTable* table);
std::uint32_t text_SectionCount(const TextTable* table);
const char* text_SectionName(const TextTable* table, std::uint32_t section);  // nullptr when out of range
std::uint32_t text_SectionKeyCount(const TextTable* table, std::uint32_t section);
const char* text_SectionKey(const TextTable* table, std::uint32_t section, std::uint32_t key);
// The global entry index of a section's first key (the key counts of the sections before it).
std::uint64_t text_SectionBase(const TextTable* table, std::uint32_t section);

// ---------------------------------------------------------------------------------------
// Building tables: the readable source form and the writer, the loader's inverse.
//
// Source form, one item a line:
//   [Section Name]
//   KEY = text with \n \t \\ and \xHH escapes
// Blank lines and lines whose first non-blank character is '#' or ';' are comments.

struct TextSourceKey {
    std::string key;
    std::string text;
};
struct TextSourceSection {
    std::string name;
    std::vector<TextSourceKey> keys;
};
struct TextSource {
    std::vector<TextSourceSection> sections;
};

struct TextSourceError {
    int line = 0;  // 1-based line of the source text
    std::string message;
};

// Adds the lines of one source text to source. A section already present (names compared
// without regard to ASCII case) is continued, keeping its keys in order. A duplicate key in
// one section, a key outside any section or a malformed line fails with the line's number;
// source then holds what came before that line.
bool text_ParseSource(std::string_view sourceText, TextSource& source, TextSourceError& error);

// The binary table that text_LoadTableFromMemory reads back; false when it would outgrow
// the 32-bit offsets.
bool text_BuildTable(const TextSource& source, std::vector<std::uint8_t>& out);

// The source form of a loaded table: build then dump gives the source text back.
std::string text_DumpSource(const TextTable* table);

// Escaping used by the source form (exposed for the tools and tests).
std::string text_EscapeSourceText(std::string_view text);
bool text_UnescapeSourceText(std::string_view text, std::string& out, std::string& error);

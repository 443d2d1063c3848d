// String tables: every user-visible text is looked up by section and key.
#pragma once

#include "core/format.h"

#include <cstdint>
#include <initializer_list>
#include <string>

struct TextTable;   // a loaded, checked string-table file
struct TextEntry;   // one entry of a table

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

// text_Get of section/key, formatted with the checked formatter.
std::string text_Printf(const char* section, const char* key, std::initializer_list<FmtArg> args);

// The other two tables that start-up loads: the game vocabulary and the game names.
struct TextTables {
    TextTable* ui = nullptr;       // text.bin (also the current table)
    TextTable* vocab = nullptr;    // kz7wpn.bin
    TextTable* names = nullptr;    // kz7items.bin
};
TextTables& text_Tables();

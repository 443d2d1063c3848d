// Finds the string-table lookups of the program's sources: every text_Get, text_Printf and
// text_Find call, and every text_Format whose format is a text_Get, with its section and key
// when they are literals (or names bound to literals in the same file) and the argument list
// a format is filled with.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct KeyLookup {
    std::string file;  // relative to the scanned root
    int line = 0;
    std::string function;   // text_Get, text_Printf, text_Find, text_Format
    bool resolved = false;  // section and key are both known
    std::string section;
    std::string key;
    std::string call;               // the call's argument text, for reports
    bool formatted = false;         // the text is used as a format
    std::vector<std::string> args;  // the format's arguments, as written
};

// The lookups of one source text. Comments are skipped; string literals are kept whole.
std::vector<KeyLookup> keyscan_Source(std::string_view text, const std::string& file);

// The lookups of every .cpp and .h file under root/folder for each folder.
std::vector<KeyLookup> keyscan_Tree(const std::string& root, const std::vector<std::string>& folders);

// What an argument expression evaluates to, as far as its text tells: 'i' integer, 'f' real,
// 's' text, '?' unknown.
char keyscan_ArgKind(std::string_view expr);

// The conversions of a format, as the checked formatter reads them: 'i' for an integer
// conversion (and for each '*' width or precision), 'f' real, 's' text. Empty with ok false
// when the format is malformed.
std::string keyscan_FormatKinds(std::string_view format, bool& ok);

// The line parser shared by every line-oriented text file: metafiles, items.def, terrain
// definitions and sunsets.def. It splits lines into tokens and hands them to a callback.
#pragma once

#include <cstdint>
#include <functional>

constexpr int kLineMaxTokens = 30;

struct LineTokens {
    int count = 0;
    const char* token[kLineMaxTokens] = {};
    // Slot i, or "" for a slot at or beyond count.
    const char* at(int i) const { return (i >= 0 && i < count && token[i]) ? token[i] : ""; }
};

// Called with each line's tokens and its number; with nullptr once at the end of the data.
// 0 accepts the line; anything else marks it bad and stops the parse.
using LineCallback = std::function<std::int32_t(const LineTokens* tokens, int lineNumber)>;

std::int32_t parser_ReadDiskFile(const char* path, const LineCallback& callback);
std::int32_t parser_ReadLayerFile(const char* name, const LineCallback& callback, std::uint32_t seed);
LineTokens parser_SplitLine(const char* text);
std::uint32_t parser_Unscramble(std::uint8_t* data, std::uint32_t length, std::uint32_t seed);
// Replaces everything after the first '.' of name with ext (or appends "." and ext).
void set_Extension(char* name, std::size_t capacity, const char* ext);

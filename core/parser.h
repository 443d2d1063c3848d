// The line parser shared by every line-oriented text file: metafiles, items.def, terrain
// definitions and sunsets.def. It splits lines into tokens and hands them to a callback.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

constexpr int kLineMaxTokens = 30;
// The shared line buffer holds this many characters of a line, then its terminator.
constexpr std::size_t kLineBufferChars = 1000;
// Disk files are read in pieces of at most this many characters: a longer physical line
// arrives as several consecutive pieces, each with the physical line's number.
constexpr std::size_t kDiskLineChars = 699;

struct LineTokens {
    int count = 0;
    const char* token[kLineMaxTokens] = {};
    // Slot i, or "" for a slot at or beyond count.
    const char* at(int i) const { return (i >= 0 && i < count && token[i]) ? token[i] : ""; }
};

// Called with each line's tokens and its number; with nullptr once at the end of the data.
// 0 accepts the line; anything else marks it bad and stops the parse.
using LineCallback = std::function<std::int32_t(const LineTokens* tokens, int lineNumber)>;

// The parser's one piece of state: the line buffer that the tokens of the current line
// point into. The next split overwrites it.
struct LineParser {
    std::array<char, kLineBufferChars + 1> line{};
    // Why the callback refused the current line, when it can say more than that the line
    // was not understood; the report of the bad line shows it. Cleared for every line.
    std::string reason;
    // Room a disk file is read into, kept from one file to the next so that reading a file
    // does not allocate (and fault in) its whole size again; busy while a parse uses it.
    std::vector<char> fileRoom;
    bool fileRoomBusy = false;
};
LineParser& parser_State();
// For a callback about to refuse its line: the reason the report gives.
void parser_SetReason(std::string reason);
// A line's text as a report shows it: tabs as \t and the other invisible bytes (control
// characters, DEL) as \xNN, so a line of them does not look empty.
std::string parser_VisibleText(std::string_view text);

// How lines end in a buffer: disk files end lines at LF (a CR before it goes too) and cut
// them into pieces of kDiskLineChars; files read through the file layer end lines at CR LF
// only.
enum class LineEnds { DiskText, CrLf };

// The per-line handling shared by both readers, over data already in memory. fileName is
// what a bad-line report names.
std::int32_t parser_ParseBuffer(const char* data, std::size_t size, LineEnds ends, const char* fileName,
                                const LineCallback& callback);

std::int32_t parser_ReadDiskFile(const char* path, const LineCallback& callback);
std::int32_t parser_ReadLayerFile(const char* name, const LineCallback& callback, std::uint32_t seed);
LineTokens parser_SplitLine(const char* text);
std::uint32_t parser_Unscramble(std::uint8_t* data, std::uint32_t length, std::uint32_t seed);
// The inverse of parser_Unscramble (the data tools): keystream first, then the reversal.
std::uint32_t parser_Scramble(std::uint8_t* data, std::uint32_t length, std::uint32_t seed);
// The four bytes a scrambled definition file starts with.
inline constexpr std::array<std::uint8_t, 4> kScrHeader = {'S', 'C', 'R', 0x01};

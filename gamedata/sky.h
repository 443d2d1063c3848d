// Sky and sunset definitions: the choices of sky a mission can make, read from sunsets.def
// at start-up and named from the game-names string table.
#pragma once

#include <cstddef>
#include <cstdint>

struct TextTable;  // core/text.h

constexpr int kSunsetMax = 64;
constexpr std::size_t kSunsetNameSize = 64;
constexpr std::size_t kSunsetFileSize = 16;

struct Sunset {
    char name[kSunsetNameSize];         // `begin`, then replaced by the name pass
    char skyGradient[kSunsetFileSize];  // `skygrad`, always with extension "tga"
    char clouds[kSunsetFileSize];       // `clouds`, always with extension "pcx"
    std::int32_t skyHeight;
    std::int32_t horizon;  // 16.16 fixed point
    std::uint8_t number;   // `id`
    std::uint8_t gamma;
    std::uint8_t saturation;
    std::uint8_t red;
    std::uint8_t green;
    std::uint8_t blue;
};

// The sunset table. A load restarts the count but keeps entries' fields the file does not set.
struct SkyState {
    Sunset sunsets[kSunsetMax] = {};
    std::int32_t count = 0;
};
SkyState& sky_State();
void sky_Reset();

// Reads "sunsets.def" (or the given name) through the file layer. 1 when it was read without
// error; 0 when it is missing or a line was bad (the parser has shown that line).
int sky_LoadSunsets(const char* fileName = "sunsets.def");

// Loads the sunsets, then replaces each one's name with its "KZ7 Sunsets" entry when it has
// one. names may be null (the load still happens).
void sky_NameSunsets(const TextTable* names, const char* fileName = "sunsets.def");

std::int32_t sky_Count();
// The sunset at index; null outside 0 .. count-1.
const Sunset* sky_At(std::int32_t index);

// Small helpers shared by the readers of the game's definition files (items.def,
// sunsets.def): keyword comparison, bounded name copies and the number forms those files use.
#pragma once

#include <cstddef>
#include <cstdint>

// Equal without regard to the case of the ASCII letters; every other byte must match.
bool defs_SameWord(const char* a, const char* b);

// Copies at most maxChars characters of src into dst (capacity bytes) and terminates it.
// maxChars is itself limited to capacity - 1, so the copy never runs past dst.
void defs_CopyName(char* dst, std::size_t capacity, const char* src, std::size_t maxChars);

// A decimal integer: optional blanks, an optional sign, then digits; the first other
// character ends the number and a text without digits gives 0. Values beyond the 32-bit
// range are held at its nearest end instead of wrapping.
std::int32_t defs_ReadInt(const char* text);

// A decimal number read the same way, with an optional fraction and exponent ("1.5",
// "-0.5", "2e3"). Nothing else is accepted: no hexadecimal, no "inf" or "nan".
double defs_ReadDecimal(const char* text);

// value x 65536 truncated toward zero, held within the 32-bit range (16.16 fixed point).
std::int32_t defs_Fixed16(double value);

// Holds a 64-bit intermediate within the 32-bit range.
std::int32_t defs_Clamp32(std::int64_t value);

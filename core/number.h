// Reading numbers out of text: the lenient reading files and older code rely on (a leading
// integer, held to 32 bits) and the strict reading of what a user typed into a number field
// (the whole text a number, nothing else).
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// Leading blanks, an optional sign, then the digits up to the first other character; 0 when
// there are none. A value beyond the 32-bit range stops at its end.
std::int32_t number_ClampedInt(std::string_view text);

// The whole text as a number: blanks around it, an optional sign, digits, and with decimal
// a fraction after a point ("12.5"); anything else, or nothing, is no number. A value too
// large for 64 bits is no number either.
std::optional<double> number_Strict(std::string_view text, bool decimal);

#include "gamedata/defwords.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>

namespace {

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

}  // namespace

bool defs_SameWord(const char* a, const char* b) {
    if (!a || !b) return false;
    for (; *a && *b; ++a, ++b)
        if (lowerAscii(*a) != lowerAscii(*b)) return false;
    return *a == *b;
}

void defs_CopyName(char* dst, std::size_t capacity, const char* src, std::size_t maxChars) {
    if (!dst || capacity == 0) return;
    if (maxChars > capacity - 1) maxChars = capacity - 1;
    std::size_t n = 0;
    if (src)
        while (n < maxChars && src[n]) ++n;
    if (n) std::memcpy(dst, src, n);
    dst[n] = '\0';
}

std::int32_t defs_Clamp32(std::int64_t value) {
    if (value > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
    if (value < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value);
}

std::int32_t defs_ReadInt(const char* text) {
    if (!text) return 0;
    while (isBlank(*text)) ++text;
    bool negative = false;
    if (*text == '+' || *text == '-') negative = *text++ == '-';
    // Accumulate in 64 bits and stop growing once past the 32-bit range, so long digit runs
    // neither overflow nor take the sign with them.
    std::int64_t value = 0;
    for (; isDigit(*text); ++text)
        if (value <= (std::int64_t{1} << 32)) value = value * 10 + (*text - '0');
    return defs_Clamp32(negative ? -value : value);
}

double defs_ReadDecimal(const char* text) {
    if (!text) return 0.0;
    while (isBlank(*text)) ++text;
    // Measure the accepted prefix by hand, then convert only that with the locale-free
    // converter (which would otherwise also take "inf", "nan" or hexadecimal forms).
    const char* p = text;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    const char* start = p;
    std::size_t digits = 0;
    while (isDigit(*p)) ++p, ++digits;
    if (*p == '.') {
        ++p;
        while (isDigit(*p)) ++p, ++digits;
    }
    if (digits == 0) return 0.0;
    if (*p == 'e' || *p == 'E') {
        const char* q = p + 1;
        if (*q == '+' || *q == '-') ++q;
        if (isDigit(*q)) {
            while (isDigit(*q)) ++q;
            p = q;
        }
    }
    double value = 0.0;
    auto result = std::from_chars(start, p, value, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        // Too large or too small to hold: the nearest representable end of the range.
        bool tiny = false;
        for (const char* e = start; e < p; ++e)
            if ((*e == 'e' || *e == 'E') && e[1] == '-') tiny = true;
        value = tiny ? 0.0 : std::numeric_limits<double>::max();
    } else if (result.ec != std::errc()) {
        value = 0.0;
    }
    return negative ? -value : value;
}

std::int32_t defs_Fixed16(double value) {
    if (std::isnan(value)) return 0;
    double scaled = std::trunc(value * 65536.0);
    if (scaled >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
    if (scaled <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(scaled);
}

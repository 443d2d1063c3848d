#include "core/number.h"

#include <algorithm>
#include <limits>

namespace {

bool blank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool digit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::int32_t number_ClampedInt(std::string_view text) {
    constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
    constexpr std::int64_t kMin = std::numeric_limits<std::int32_t>::min();
    std::size_t i = 0;
    while (i < text.size() && blank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    std::int64_t v = 0;
    for (; i < text.size() && digit(text[i]); ++i) v = std::min(v * 10 + (text[i] - '0'), kMax + 1);
    return static_cast<std::int32_t>(std::clamp(negative ? -v : v, kMin, kMax));
}

std::optional<double> number_Strict(std::string_view text, bool decimal) {
    std::size_t i = 0, end = text.size();
    while (i < end && blank(text[i])) ++i;
    while (end > i && blank(text[end - 1])) --end;
    bool negative = false;
    if (i < end && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    double whole = 0, scale = 1;
    bool any = false, point = false;
    int digits = 0;
    for (; i < end; ++i) {
        const char c = text[i];
        if (c == '.' && decimal && !point) {
            point = true;
            continue;
        }
        if (!digit(c)) return std::nullopt;
        any = true;
        if (point) {
            scale /= 10;
            whole += (c - '0') * scale;
        } else {
            if (whole > 0 || c != '0') ++digits;
            if (digits > 18) return std::nullopt;
            whole = whole * 10 + (c - '0');
        }
    }
    if (!any) return std::nullopt;
    return negative ? -whole : whole;
}

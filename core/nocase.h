// Comparing names without regard to case, as the game does for file and archive member
// names: ASCII letters only, whatever the locale.
#pragma once

#include <string>
#include <string_view>

constexpr char nocase_Lower(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

inline bool nocase_Equal(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (nocase_Lower(a[i]) != nocase_Lower(b[i])) return false;
    return true;
}

inline std::string nocase_ToLower(std::string s) {
    for (char& c : s) c = nocase_Lower(c);
    return s;
}

// A printf-style formatter for texts that come from the string tables.
//
// String-table texts are data, not code: a table may ask for a %s where the program passes
// an integer, for more conversions than it passes, or for %n. Handing such a text to printf
// would read or write memory it should not. text_Format checks every conversion against the
// argument actually passed and gives the fallback text ("Bad Texttool String") when the
// format does not fit the arguments.
//
// Supported conversions: %d %i %u %x %X %o %c (integer), %s (string), %f %F %e %E %g %G
// (real; an integer argument is accepted and converted), %% (literal). Flags "-+ #0", a
// width and a precision (digits or '*' taking an integer argument), and the length
// modifiers h hh l ll z j t L (accepted and ignored: every integer is 64-bit here).
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

class FmtArg {
public:
    enum class Kind { Int, Real, Str };

    FmtArg(int v) : kind_(Kind::Int), i_(v) {}
    FmtArg(unsigned v) : kind_(Kind::Int), i_(v) {}
    FmtArg(long v) : kind_(Kind::Int), i_(v) {}
    FmtArg(unsigned long v) : kind_(Kind::Int), i_(static_cast<std::int64_t>(v)) {}
    FmtArg(long long v) : kind_(Kind::Int), i_(v) {}
    FmtArg(unsigned long long v) : kind_(Kind::Int), i_(static_cast<std::int64_t>(v)) {}
    FmtArg(double v) : kind_(Kind::Real), d_(v) {}
    FmtArg(std::string_view v) : kind_(Kind::Str), s_(v) {}
    FmtArg(const char* v) : kind_(Kind::Str), s_(v ? std::string_view(v) : std::string_view()) {}
    FmtArg(const std::string& v) : kind_(Kind::Str), s_(v) {}

    Kind kind() const { return kind_; }
    std::int64_t integer() const { return i_; }
    double real() const { return d_; }
    std::string_view str() const { return s_; }

private:
    Kind kind_;
    std::int64_t i_ = 0;
    double d_ = 0;
    std::string_view s_;
};

// The text every failed lookup or unfit format gives.
inline constexpr std::string_view kTextFallback = "Bad Texttool String";

// Formats fmt with args; kTextFallback when a conversion does not fit its argument, an
// argument is missing, or the format is malformed. Arguments left over are ignored.
std::string text_Format(std::string_view fmt, std::initializer_list<FmtArg> args);

// As text_Format, but reports whether the format fitted instead of falling back.
bool text_TryFormat(std::string_view fmt, std::initializer_list<FmtArg> args, std::string& out);

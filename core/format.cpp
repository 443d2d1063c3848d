#include "core/format.h"

#include <cstdio>
#include <vector>

namespace {

// Conversion texts never grow beyond this: a width or precision above it is refused as
// malformed rather than letting a table ask for megabytes of padding.
constexpr int kMaxField = 4096;

bool readNumber(std::string_view fmt, size_t& i, int& value) {
    value = 0;
    bool any = false;
    while (i < fmt.size() && fmt[i] >= '0' && fmt[i] <= '9') {
        value = value * 10 + (fmt[i] - '0');
        if (value > kMaxField) return false;
        ++i;
        any = true;
    }
    (void)any;
    return true;
}

}  // namespace

bool text_TryFormat(std::string_view fmt, std::initializer_list<FmtArg> argList, std::string& out) {
    out.clear();
    const FmtArg* args = argList.begin();
    const size_t argCount = argList.size();
    size_t next = 0;

    auto takeInt = [&](std::int64_t& v) {
        if (next >= argCount || args[next].kind() != FmtArg::Kind::Int) return false;
        v = args[next++].integer();
        return true;
    };

    for (size_t i = 0; i < fmt.size();) {
        char c = fmt[i];
        if (c != '%') {
            out.push_back(c);
            ++i;
            continue;
        }
        ++i;
        if (i >= fmt.size()) return false;  // a lone % at the end
        if (fmt[i] == '%') {
            out.push_back('%');
            ++i;
            continue;
        }
        // Build the snprintf conversion from validated pieces only.
        std::string pattern = "%";
        while (i < fmt.size() && std::string_view("-+ #0").find(fmt[i]) != std::string_view::npos) {
            pattern.push_back(fmt[i]);
            ++i;
        }
        int width = -1;
        if (i < fmt.size() && fmt[i] == '*') {
            std::int64_t w;
            if (!takeInt(w) || w < -kMaxField || w > kMaxField) return false;
            width = static_cast<int>(w);
            if (width < 0) {
                pattern.push_back('-');
                width = -width;
            }
            ++i;
        } else if (i < fmt.size() && fmt[i] >= '1' && fmt[i] <= '9') {
            if (!readNumber(fmt, i, width)) return false;
        }
        if (width >= 0) pattern += std::to_string(width);
        int precision = -1;
        if (i < fmt.size() && fmt[i] == '.') {
            ++i;
            if (i < fmt.size() && fmt[i] == '*') {
                std::int64_t p;
                if (!takeInt(p) || p > kMaxField) return false;
                precision = p < 0 ? -1 : static_cast<int>(p);
                ++i;
            } else {
                if (!readNumber(fmt, i, precision)) return false;
            }
            if (precision >= 0) pattern += "." + std::to_string(precision);
        }
        // Length modifiers: all integers are passed as 64-bit, all reals as double.
        while (i < fmt.size() && std::string_view("hlzjtLq").find(fmt[i]) != std::string_view::npos) ++i;
        if (i >= fmt.size()) return false;
        char conv = fmt[i++];
        char buf[kMaxField + 64];
        int n = 0;
        switch (conv) {
        case 'd':
        case 'i': {
            std::int64_t v;
            if (!takeInt(v)) return false;
            pattern += "lld";
            n = std::snprintf(buf, sizeof buf, pattern.c_str(), static_cast<long long>(v));
            break;
        }
        case 'u':
        case 'x':
        case 'X':
        case 'o': {
            std::int64_t v;
            if (!takeInt(v)) return false;
            // The program passes 32-bit values; print them as the 32-bit unsigned they are.
            std::uint64_t u = (v < 0 && v >= INT32_MIN) ? static_cast<std::uint32_t>(v) : static_cast<std::uint64_t>(v);
            pattern += "ll";
            pattern.push_back(conv);
            n = std::snprintf(buf, sizeof buf, pattern.c_str(), static_cast<unsigned long long>(u));
            break;
        }
        case 'c': {
            std::int64_t v;
            if (!takeInt(v)) return false;
            pattern += "c";
            n = std::snprintf(buf, sizeof buf, pattern.c_str(), static_cast<int>(static_cast<unsigned char>(v)));
            break;
        }
        case 'f':
        case 'F':
        case 'e':
        case 'E':
        case 'g':
        case 'G': {
            if (next >= argCount) return false;
            const FmtArg& a = args[next++];
            double v;
            if (a.kind() == FmtArg::Kind::Real)
                v = a.real();
            else if (a.kind() == FmtArg::Kind::Int)
                v = static_cast<double>(a.integer());
            else
                return false;
            pattern.push_back(conv);
            n = std::snprintf(buf, sizeof buf, pattern.c_str(), v);
            break;
        }
        case 's': {
            if (next >= argCount || args[next].kind() != FmtArg::Kind::Str) return false;
            std::string_view s = args[next++].str();
            if (precision >= 0 && static_cast<size_t>(precision) < s.size())
                s = s.substr(0, static_cast<size_t>(precision));
            size_t pad =
                (width > 0 && static_cast<size_t>(width) > s.size()) ? static_cast<size_t>(width) - s.size() : 0;
            bool left = pattern.find('-') != std::string::npos;
            if (!left) out.append(pad, ' ');
            out.append(s);
            if (left) out.append(pad, ' ');
            continue;
        }
        default: return false;  // %n, %p and anything unknown
        }
        if (n < 0) return false;
        out.append(buf, static_cast<size_t>(n) < sizeof buf ? static_cast<size_t>(n) : sizeof buf - 1);
    }
    // Arguments left over are harmless (printf ignores them too): a wording may leave a
    // number out.
    return true;
}

std::string text_Format(std::string_view fmt, std::initializer_list<FmtArg> args) {
    std::string out;
    if (!text_TryFormat(fmt, args, out)) return std::string(kTextFallback);
    return out;
}

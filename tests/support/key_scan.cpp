#include "support/key_scan.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

namespace {

// The text with comments blanked out (newlines kept, so line numbers stay), string and
// character literals untouched.
std::string stripComments(std::string_view s) {
    std::string out(s);
    for (std::size_t i = 0; i < out.size();) {
        const char c = out[i];
        if (c == '"' || c == '\'') {
            // A raw string literal is not used around lookups; plain literals only.
            for (++i; i < out.size() && out[i] != c; ++i)
                if (out[i] == '\\') ++i;
            ++i;
        } else if (c == '/' && i + 1 < out.size() && out[i + 1] == '/') {
            while (i < out.size() && out[i] != '\n') out[i++] = ' ';
        } else if (c == '/' && i + 1 < out.size() && out[i + 1] == '*') {
            while (i + 1 < out.size() && !(out[i] == '*' && out[i + 1] == '/')) {
                if (out[i] != '\n') out[i] = ' ';
                ++i;
            }
            if (i + 1 < out.size()) out[i] = out[i + 1] = ' ';
            i += 2;
        } else {
            ++i;
        }
    }
    return out;
}

std::string trim(std::string_view s) {
    std::size_t a = 0, b = s.size();
    while (a < b && std::isspace(static_cast<unsigned char>(s[a]))) ++a;
    while (b > a && std::isspace(static_cast<unsigned char>(s[b - 1]))) --b;
    return std::string(s.substr(a, b - a));
}

// The arguments of the call whose '(' is at open, split at top-level commas; end is set to
// the index of the closing ')'. Empty when the call is not closed.
std::vector<std::string> splitArgs(const std::string& s, std::size_t open, std::size_t& end) {
    std::vector<std::string> args;
    int depth = 0;
    std::size_t start = open + 1;
    for (std::size_t i = open; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '"' || c == '\'') {
            for (++i; i < s.size() && s[i] != c; ++i)
                if (s[i] == '\\') ++i;
            continue;
        }
        if (c == '(' || c == '{' || c == '[')
            ++depth;
        else if (c == ')' || c == '}' || c == ']') {
            if (--depth == 0) {
                const std::string last = trim(std::string_view(s).substr(start, i - start));
                if (!last.empty() || !args.empty()) args.push_back(last);
                end = i;
                return args;
            }
        } else if (c == ',' && depth == 1) {
            args.push_back(trim(std::string_view(s).substr(start, i - start)));
            start = i + 1;
        }
    }
    end = std::string::npos;
    return {};
}

// A single plain string literal's value ("" quotes stripped, simple escapes undone).
bool literalValue(const std::string& expr, std::string& value) {
    if (expr.size() < 2 || expr.front() != '"' || expr.back() != '"') return false;
    value.clear();
    for (std::size_t i = 1; i + 1 < expr.size(); ++i) {
        char c = expr[i];
        if (c == '"') return false;  // two literals glued together: not handled
        if (c == '\\' && i + 2 < expr.size()) {
            c = expr[++i];
            if (c == 'n')
                c = '\n';
            else if (c == 't')
                c = '\t';
        }
        value.push_back(c);
    }
    return true;
}

bool isIdent(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

// Names bound to string literals in the file: `const char* kSec = "Triggers";`,
// `constexpr const char* k = "..."`, `constexpr char k[] = "..."`, `std::string_view k = "..."`.
std::map<std::string, std::string> literalNames(const std::string& s) {
    std::map<std::string, std::string> names;
    for (std::size_t eq = s.find('='); eq != std::string::npos; eq = s.find('=', eq + 1)) {
        if (eq + 1 < s.size() && s[eq + 1] == '=') {
            ++eq;
            continue;
        }
        if (eq > 0 && std::string_view("=!<>+-*/%&|^").find(s[eq - 1]) != std::string_view::npos) continue;
        // The declared name: the identifier just before '=' (skipping "[]" and blanks).
        std::size_t j = eq;
        while (j > 0 && (std::isspace(static_cast<unsigned char>(s[j - 1])) || s[j - 1] == ']' || s[j - 1] == '[')) --j;
        std::size_t k = j;
        while (k > 0 && isIdent(s[k - 1])) --k;
        if (k == j) continue;
        const std::string name = s.substr(k, j - k);
        // The declaration must say it holds text.
        const std::size_t lineStart = s.rfind('\n', k) == std::string::npos ? 0 : s.rfind('\n', k) + 1;
        const std::string decl = s.substr(lineStart, k - lineStart);
        if (decl.find("char") == std::string::npos && decl.find("string_view") == std::string::npos) continue;
        std::size_t v = eq + 1;
        while (v < s.size() && std::isspace(static_cast<unsigned char>(s[v]))) ++v;
        if (v >= s.size() || s[v] != '"') continue;
        std::size_t e = v + 1;
        while (e < s.size() && s[e] != '"') e += s[e] == '\\' ? 2 : 1;
        std::string value;
        if (e < s.size() && literalValue(s.substr(v, e - v + 1), value)) names.emplace(name, value);
    }
    return names;
}

bool resolve(const std::string& expr, const std::map<std::string, std::string>& names, std::string& value) {
    if (literalValue(expr, value)) return true;
    auto it = names.find(expr);
    if (it == names.end()) return false;
    value = it->second;
    return true;
}

int lineAt(const std::string& s, std::size_t pos) {
    return 1 + static_cast<int>(std::count(s.begin(), s.begin() + static_cast<std::ptrdiff_t>(pos), '\n'));
}

// The list inside a braced argument ("{a, b}"), split at top-level commas.
std::vector<std::string> braceList(const std::string& expr) {
    if (expr.size() < 2 || expr.front() != '{') return {};
    std::size_t end = 0;
    std::string wrapped = "(" + expr + ")";
    std::vector<std::string> outer = splitArgs(wrapped, 0, end);
    if (outer.size() != 1) return {};
    const std::string inner = outer[0];
    std::string asCall = "(" + inner.substr(1, inner.size() - 2) + ")";
    std::vector<std::string> args = splitArgs(asCall, 0, end);
    args.erase(std::remove(args.begin(), args.end(), std::string()), args.end());
    return args;
}

}  // namespace

std::vector<KeyLookup> keyscan_Source(std::string_view text, const std::string& file) {
    const std::string s = stripComments(text);
    const auto names = literalNames(s);
    std::vector<KeyLookup> out;
    for (const char* fn : {"text_Get", "text_Printf", "text_Find", "text_Format"}) {
        const std::string needle = fn;
        for (std::size_t at = s.find(needle); at != std::string::npos; at = s.find(needle, at + 1)) {
            if (at > 0 && (isIdent(s[at - 1]) || s[at - 1] == '.' || s[at - 1] == '>')) continue;
            std::size_t open = at + needle.size();
            if (open < s.size() && isIdent(s[open])) continue;  // a longer name
            while (open < s.size() && std::isspace(static_cast<unsigned char>(s[open]))) ++open;
            if (open >= s.size() || s[open] != '(') continue;
            // The declarations and definitions of the functions themselves.
            const std::size_t ls = s.rfind('\n', at) == std::string::npos ? 0 : s.rfind('\n', at) + 1;
            const std::string before = trim(std::string_view(s).substr(ls, at - ls));
            if (!before.empty() && isIdent(before.back()) && before.find("return") == std::string::npos &&
                before.find('=') == std::string::npos && before.find("<<") == std::string::npos)
                continue;
            std::size_t end = 0;
            std::vector<std::string> args = splitArgs(s, open, end);
            if (end == std::string::npos) continue;
            // A declaration names parameter types where a call passes values.
            if (std::any_of(args.begin(), args.end(), [](const std::string& a) {
                    return a.rfind("const ", 0) == 0 || a.find("initializer_list") != std::string::npos;
                }))
                continue;
            KeyLookup k;
            k.file = file;
            k.line = lineAt(s, at);
            k.function = needle;
            k.call = s.substr(open, end - open + 1);
            if (needle == "text_Get" && args.size() == 2) {
                k.resolved = resolve(args[0], names, k.section) && resolve(args[1], names, k.key);
            } else if (needle == "text_Printf" && args.size() == 3) {
                k.resolved = resolve(args[0], names, k.section) && resolve(args[1], names, k.key);
                k.formatted = true;
                k.args = braceList(args[2]);
            } else if (needle == "text_Find" && args.size() == 3) {
                k.resolved = resolve(args[1], names, k.section) && resolve(args[2], names, k.key);
            } else if (needle == "text_Format" && args.size() == 2) {
                // Only a format that is itself a lookup: text_Format(text_Get(S, K), {...}).
                const std::string f = args[0];
                if (f.rfind("text_Get", 0) != 0) continue;
                std::size_t innerOpen = f.find('('), innerEnd = 0;
                std::vector<std::string> inner = splitArgs(f, innerOpen, innerEnd);
                k.resolved =
                    inner.size() == 2 && resolve(inner[0], names, k.section) && resolve(inner[1], names, k.key);
                k.formatted = true;
                k.args = braceList(args[1]);
            } else {
                continue;
            }
            out.push_back(std::move(k));
        }
    }
    // A text_Get inside text_Format(text_Get(...)) is counted once, as the format.
    std::vector<KeyLookup> kept;
    for (const KeyLookup& k : out) {
        bool inner = false;
        if (k.function == "text_Get")
            for (const KeyLookup& f : out)
                if (f.function == "text_Format" && f.line <= k.line && f.resolved && f.section == k.section &&
                    f.key == k.key && f.call.find(k.call) != std::string::npos)
                    inner = true;
        if (!inner) kept.push_back(k);
    }
    std::sort(kept.begin(), kept.end(), [](const KeyLookup& a, const KeyLookup& b) {
        return a.file != b.file ? a.file < b.file : a.line < b.line;
    });
    return kept;
}

std::vector<KeyLookup> keyscan_Tree(const std::string& root, const std::vector<std::string>& folders) {
    namespace fs = std::filesystem;
    std::vector<KeyLookup> all;
    for (const std::string& folder : folders) {
        std::error_code ec;
        const fs::path dir = fs::path(root) / folder;
        if (!fs::is_directory(dir, ec)) continue;
        std::vector<fs::path> files;
        for (fs::recursive_directory_iterator it(dir, ec), end; it != end; it.increment(ec)) {
            if (ec) break;
            const std::string ext = it->path().extension().string();
            if (it->is_regular_file() && (ext == ".cpp" || ext == ".h")) files.push_back(it->path());
        }
        std::sort(files.begin(), files.end());
        for (const fs::path& p : files) {
            std::ifstream in(p, std::ios::binary);
            const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
            auto found = keyscan_Source(text, fs::relative(p, root).generic_string());
            all.insert(all.end(), found.begin(), found.end());
        }
    }
    return all;
}

char keyscan_ArgKind(std::string_view e) {
    const std::string expr = trim(e);
    if (expr.empty()) return '?';
    if (expr.front() == '"') return 's';
    if (expr.size() > 8 && expr.compare(expr.size() - 8, 8, ".c_str()") == 0) return 's';
    for (const char* textCall : {"mission_Text(", "text_Get(", "std::string(", "text_Printf(", "text_Format("})
        if (expr.rfind(textCall, 0) == 0) return 's';
    for (const char* intCast : {"static_cast<int", "static_cast<long", "static_cast<unsigned", "static_cast<std::int",
                                "static_cast<std::uint", "int(", "long("})
        if (expr.rfind(intCast, 0) == 0) return 'i';
    if (expr.rfind("static_cast<double", 0) == 0 || expr.rfind("double(", 0) == 0) return 'f';
    // A number written out.
    std::size_t i = expr[0] == '-' ? 1 : 0;
    if (i < expr.size() && std::isdigit(static_cast<unsigned char>(expr[i]))) {
        bool real = false, plain = true;
        for (; i < expr.size(); ++i) {
            const char c = expr[i];
            if (c == '.' || c == 'e' || c == 'E')
                real = true;
            else if (!std::isdigit(static_cast<unsigned char>(c)) && !(c == 'f' && i + 1 == expr.size()))
                plain = false;
        }
        if (plain) return real ? 'f' : 'i';
    }
    return '?';
}

std::string keyscan_FormatKinds(std::string_view f, bool& ok) {
    std::string kinds;
    ok = false;
    for (std::size_t i = 0; i < f.size();) {
        if (f[i] != '%') {
            ++i;
            continue;
        }
        if (++i >= f.size()) return {};
        if (f[i] == '%') {
            ++i;
            continue;
        }
        while (i < f.size() && std::string_view("-+ #0").find(f[i]) != std::string_view::npos) ++i;
        if (i < f.size() && f[i] == '*') {
            kinds += 'i';
            ++i;
        } else {
            while (i < f.size() && std::isdigit(static_cast<unsigned char>(f[i]))) ++i;
        }
        if (i < f.size() && f[i] == '.') {
            ++i;
            if (i < f.size() && f[i] == '*') {
                kinds += 'i';
                ++i;
            } else {
                while (i < f.size() && std::isdigit(static_cast<unsigned char>(f[i]))) ++i;
            }
        }
        while (i < f.size() && std::string_view("hlzjtLq").find(f[i]) != std::string_view::npos) ++i;
        if (i >= f.size()) return {};
        const char c = f[i++];
        if (std::string_view("diuxXoc").find(c) != std::string_view::npos)
            kinds += 'i';
        else if (std::string_view("fFeEgG").find(c) != std::string_view::npos)
            kinds += 'f';
        else if (c == 's')
            kinds += 's';
        else
            return {};
    }
    ok = true;
    return kinds;
}

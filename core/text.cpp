#include "core/text.h"
#include "core/bytes.h"

#include "core/file.h"
#include "core/mem.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <memory>
#include <unordered_map>

// One entry of a loaded table: its text, resolved once when the table is loaded.
struct TextEntry {
    const char* text = nullptr;
};

namespace {

constexpr char kFallback[] = "Bad Texttool String";

constexpr unsigned char asciiLower(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + ('a' - 'A')) : c;
}

// Section and key names compare without regard to the case of A-Z only; every other byte
// must be equal. The hash folds the same way so both agree.
struct CiHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const {
        std::uint64_t h = 1469598103934665603ull;
        for (unsigned char c : s) {
            h ^= asciiLower(c);
            h *= 1099511628211ull;
        }
        return static_cast<std::size_t>(h);
    }
};
struct CiEqual {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const {
        if (a.size() != b.size()) return false;
        for (std::size_t i = 0; i < a.size(); ++i)
            if (asciiLower(static_cast<unsigned char>(a[i])) != asciiLower(static_cast<unsigned char>(b[i])))
                return false;
        return true;
    }
};
// Name -> position of its first occurrence; later duplicates are never reachable.
using CiIndex = std::unordered_map<std::string_view, std::uint32_t, CiHash, CiEqual>;

constexpr auto rd32 = le_Read32;

void wr32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) { le_Write32(&out[at], v); }

}  // namespace

struct TextTable {
    struct Section {
        std::string_view name;
        std::uint64_t base = 0;  // global index of the first key
        std::vector<std::string_view> keys;
        CiIndex keyIndex;
    };

    std::vector<std::uint8_t> copy;  // the bytes, when built from memory
    void* block = nullptr;           // the memory manager's block, when loaded through the file layer
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;

    std::vector<TextEntry> entries;
    std::vector<Section> sections;
    CiIndex sectionIndex;
};

namespace {

// The NUL-terminated string at pos, or nullopt-like empty result when it runs off the end.
bool stringAt(const TextTable& t, std::uint64_t pos, std::string_view& out) {
    if (pos >= t.size) return false;
    const auto* start = t.data + pos;
    const void* nul = std::memchr(start, 0, t.size - static_cast<std::size_t>(pos));
    if (!nul) return false;
    out = std::string_view(reinterpret_cast<const char*>(start),
                           static_cast<std::size_t>(static_cast<const std::uint8_t*>(nul) - start));
    return true;
}

// Resolves every offset of the table once, checking each against the bytes actually held:
// the file is data from outside and a bad offset must not send a lookup off the block.
bool resolve(TextTable& t) {
    if (t.size < 16) return false;
    const std::uint64_t dirOffset = rd32(t.data + 4);
    const std::uint64_t entryCount = rd32(t.data + 12);
    const std::uint64_t stringArea = 16 + 16 * entryCount;
    if (stringArea > t.size) return false;

    t.entries.resize(static_cast<std::size_t>(entryCount));
    for (std::uint64_t i = 0; i < entryCount; ++i) {
        std::string_view text;
        if (!stringAt(t, stringArea + rd32(t.data + 16 + 16 * i), text)) return false;
        t.entries[static_cast<std::size_t>(i)].text = text.data();
    }

    if (dirOffset + 4 > t.size) return false;
    const std::uint64_t sectionCount = rd32(t.data + dirOffset);
    const std::uint64_t records = dirOffset + 4;
    if (records + 8 * sectionCount > t.size) return false;

    t.sections.resize(static_cast<std::size_t>(sectionCount));
    std::uint64_t namePos = records + 8 * sectionCount;
    std::uint64_t base = 0;
    for (std::uint64_t s = 0; s < sectionCount; ++s) {
        auto& sec = t.sections[static_cast<std::size_t>(s)];
        if (!stringAt(t, namePos, sec.name)) return false;
        namePos += sec.name.size() + 1;
        t.sectionIndex.try_emplace(sec.name, static_cast<std::uint32_t>(s));

        const std::uint8_t* rec = t.data + records + 8 * s;
        std::uint64_t keyPos = records + rd32(rec);
        const std::uint32_t keyCount = rd32(rec + 4);
        sec.base = base;
        base += keyCount;
        // Every key takes at least one byte, so a count beyond the block fails within it.
        if (keyCount > t.size) return false;
        sec.keys.reserve(keyCount);
        sec.keyIndex.reserve(keyCount);
        for (std::uint32_t k = 0; k < keyCount; ++k) {
            std::string_view key;
            if (!stringAt(t, keyPos, key)) return false;
            keyPos += key.size() + 1;
            sec.keys.push_back(key);
            sec.keyIndex.try_emplace(key, k);
        }
    }
    return true;
}

TextTable* finish(std::unique_ptr<TextTable> t) {
    if (!resolve(*t)) return nullptr;
    return t.release();
}

}  // namespace

TextTables& text_Tables() {
    static TextTables tables;
    return tables;
}

void text_ResetTables() { text_Tables() = TextTables{}; }

void text_FreeTables() {
    TextTables& tables = text_Tables();
    TextTable* held[] = {tables.ui, tables.vocab, tables.names};
    for (std::size_t i = 0; i < std::size(held); ++i) {
        bool seen = false;
        for (std::size_t j = 0; j < i; ++j) seen = seen || held[j] == held[i];
        if (!seen) text_FreeTable(held[i]);
    }
    text_ResetTables();
}

TextTable* text_LoadTable(const char* name, std::uint32_t id) {
    if (!name) return nullptr;
    void* block = file_LoadFileEx(name);
    if (!block) return nullptr;
    mem_SetBlockId(block, id);
    auto t = std::make_unique<TextTable>();
    t->block = block;
    t->data = static_cast<const std::uint8_t*>(block);
    t->size = file_LastLoadedSize();
    // A table that fails its checks is treated like a missing file: the block goes back.
    if (!resolve(*t)) {
        mem_Free(block);
        return nullptr;
    }
    return t.release();
}

TextTable* text_LoadTableFromMemory(const void* data, std::size_t size) {
    if (!data && size) return nullptr;
    auto t = std::make_unique<TextTable>();
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    t->copy.assign(bytes, bytes + size);
    t->data = t->copy.data();
    t->size = size;
    return finish(std::move(t));
}

void text_FreeTable(TextTable* table) {
    if (!table) return;
    auto& tables = text_Tables();
    if (tables.ui == table) tables.ui = nullptr;
    if (tables.vocab == table) tables.vocab = nullptr;
    if (tables.names == table) tables.names = nullptr;
    if (table->block) mem_Free(table->block);
    delete table;
}

void text_SetCurrent(TextTable* table) { text_Tables().ui = table; }
TextTable* text_Current() { return text_Tables().ui; }

const TextEntry* text_Find(const TextTable* table, const char* section, const char* key) {
    if (!table || !section || !key || table->sections.empty()) return nullptr;
    auto s = table->sectionIndex.find(std::string_view(section));
    if (s == table->sectionIndex.end()) return nullptr;
    const auto& sec = table->sections[s->second];
    auto k = sec.keyIndex.find(std::string_view(key));
    if (k == sec.keyIndex.end()) return nullptr;
    const std::uint64_t index = sec.base + k->second;
    if (index > 0xFFFFFFFFu) return nullptr;
    return text_Entry(table, static_cast<std::uint32_t>(index));
}

const TextEntry* text_Entry(const TextTable* table, std::uint32_t index) {
    if (!table || index >= table->entries.size()) return nullptr;
    return &table->entries[index];
}

const char* text_EntryText(const TextTable*, const TextEntry* entry) { return entry ? entry->text : nullptr; }

const char* text_Get(const char* section, const char* key) {
    const TextTable* table = text_Current();
    if (!table || !section || !key) return kFallback;
    const TextEntry* e = text_Find(table, section, key);
    if (!e || !e->text || e->text[0] == '\0') return kFallback;
    return e->text;
}

const char* text_Lookup(const char* section, const char* key) {
    const char* text = text_Get(section, key);
    return text == kFallback ? nullptr : text;
}

std::string text_Printf(const char* section, const char* key, std::initializer_list<FmtArg> args) {
    return text_Format(text_Get(section, key), args);
}

// ---------------------------------------------------------------------------------------
// Walking

std::uint32_t text_EntryCount(const TextTable* table) {
    return table ? static_cast<std::uint32_t>(table->entries.size()) : 0;
}

std::uint32_t text_SectionCount(const TextTable* table) {
    return table ? static_cast<std::uint32_t>(table->sections.size()) : 0;
}

const char* text_SectionName(const TextTable* table, std::uint32_t section) {
    if (!table || section >= table->sections.size()) return nullptr;
    return table->sections[section].name.data();
}

std::uint32_t text_SectionKeyCount(const TextTable* table, std::uint32_t section) {
    if (!table || section >= table->sections.size()) return 0;
    return static_cast<std::uint32_t>(table->sections[section].keys.size());
}

const char* text_SectionKey(const TextTable* table, std::uint32_t section, std::uint32_t key) {
    if (!table || section >= table->sections.size()) return nullptr;
    const auto& keys = table->sections[section].keys;
    return key < keys.size() ? keys[key].data() : nullptr;
}

std::uint64_t text_SectionBase(const TextTable* table, std::uint32_t section) {
    if (!table || section >= table->sections.size()) return 0;
    return table->sections[section].base;
}

// ---------------------------------------------------------------------------------------
// Source form

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::string_view trim(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::string text_EscapeSourceText(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size() + 8);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '\\')
            out += "\\\\";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\t')
            out += "\\t";
        // Control bytes, and blanks at either end (the reader trims those), as hex escapes.
        else if (c < 0x20 || c == 0x7F || (c == ' ' && (i == 0 || i + 1 == text.size()))) {
            out += "\\x";
            out += kHex[c >> 4];
            out += kHex[c & 15];
        } else
            out += static_cast<char>(c);
    }
    return out;
}

bool text_UnescapeSourceText(std::string_view text, std::string& out, std::string& error) {
    out.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c != '\\') {
            out += c;
            continue;
        }
        if (++i >= text.size()) {
            error = "backslash at the end of the text";
            return false;
        }
        switch (text[i]) {
        case 'n': out += '\n'; break;
        case 't': out += '\t'; break;
        case '\\': out += '\\'; break;
        case 'x': {
            int hi = i + 1 < text.size() ? hexValue(text[i + 1]) : -1;
            int lo = i + 2 < text.size() ? hexValue(text[i + 2]) : -1;
            if (hi < 0 || lo < 0) {
                error = "\\x needs two hex digits";
                return false;
            }
            if (hi == 0 && lo == 0) {
                error = "\\x00 would end the text";
                return false;
            }
            out += static_cast<char>(hi * 16 + lo);
            i += 2;
            break;
        }
        default: error = std::string("unknown escape \\") + text[i]; return false;
        }
    }
    return true;
}

bool text_ParseSource(std::string_view src, TextSource& source, TextSourceError& error) {
    TextSourceSection* current = nullptr;
    int lineNumber = 0;
    auto fail = [&](std::string message) {
        error.line = lineNumber;
        error.message = std::move(message);
        return false;
    };
    while (!src.empty()) {
        ++lineNumber;
        const std::size_t eol = src.find('\n');
        std::string_view raw = src.substr(0, eol);
        src.remove_prefix(eol == std::string_view::npos ? src.size() : eol + 1);

        const std::string_view line = trim(raw);
        if (line.empty() || line.front() == '#' || line.front() == ';') continue;
        if (line.find('\0') != std::string_view::npos) return fail("NUL byte in the line");

        if (line.front() == '[') {
            if (line.back() != ']' || line.size() < 2) return fail("section line without closing ']'");
            const std::string_view name = line.substr(1, line.size() - 2);
            current = nullptr;
            for (auto& s : source.sections)
                if (CiEqual{}(s.name, name)) {
                    current = &s;
                    break;
                }
            if (!current) {
                source.sections.push_back({std::string(name), {}});
                current = &source.sections.back();
            }
            continue;
        }

        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos) return fail("expected '[Section]' or 'KEY = text'");
        const std::string_view key = trim(line.substr(0, eq));
        if (key.empty()) return fail("empty key");
        if (!current) return fail("key '" + std::string(key) + "' before any [Section]");
        for (const auto& k : current->keys)
            if (CiEqual{}(k.key, key))
                return fail("key '" + std::string(key) + "' appears twice in [" + current->name + "]");
        std::string text, why;
        if (!text_UnescapeSourceText(trim(line.substr(eq + 1)), text, why)) return fail(why);
        current->keys.push_back({std::string(key), std::move(text)});
    }
    return true;
}

bool text_BuildTable(const TextSource& source, std::vector<std::uint8_t>& out) {
    out.clear();
    std::uint64_t entryCount = 0;
    for (const auto& s : source.sections) entryCount += s.keys.size();
    if (entryCount > 0x0FFFFFFFu) return false;

    const std::size_t stringArea = 16 + 16 * static_cast<std::size_t>(entryCount);
    out.assign(stringArea, 0);
    std::size_t entry = 16;
    for (const auto& s : source.sections)
        for (const auto& k : s.keys) {
            if ((out.size() - stringArea) > 0xFFFFFFFFu) return false;
            wr32(out, entry, static_cast<std::uint32_t>(out.size() - stringArea));
            entry += 16;
            out.insert(out.end(), k.text.begin(), k.text.end());
            out.push_back(0);
        }

    while (out.size() % 4) out.push_back(0);
    const std::size_t dir = out.size();
    const std::size_t records = dir + 4;
    out.resize(records + 8 * source.sections.size(), 0);
    wr32(out, dir, static_cast<std::uint32_t>(source.sections.size()));
    for (const auto& s : source.sections) {
        out.insert(out.end(), s.name.begin(), s.name.end());
        out.push_back(0);
    }
    for (std::size_t i = 0; i < source.sections.size(); ++i) {
        const auto& s = source.sections[i];
        if (out.size() - records > 0xFFFFFFFFu) return false;
        wr32(out, records + 8 * i, static_cast<std::uint32_t>(out.size() - records));
        wr32(out, records + 8 * i + 4, static_cast<std::uint32_t>(s.keys.size()));
        for (const auto& k : s.keys) {
            out.insert(out.end(), k.key.begin(), k.key.end());
            out.push_back(0);
        }
    }
    if (out.size() > 0xFFFFFFFFu) return false;
    wr32(out, 4, static_cast<std::uint32_t>(dir));
    wr32(out, 12, static_cast<std::uint32_t>(entryCount));
    return true;
}

std::string text_DumpSource(const TextTable* table) {
    std::string out;
    if (!table) return out;
    for (std::size_t s = 0; s < table->sections.size(); ++s) {
        const auto& sec = table->sections[s];
        if (s) out += '\n';
        out += '[';
        out += sec.name;
        out += "]\n";
        for (std::size_t k = 0; k < sec.keys.size(); ++k) {
            out += sec.keys[k];
            const TextEntry* e =
                text_Entry(table, static_cast<std::uint32_t>(std::min<std::uint64_t>(sec.base + k, 0xFFFFFFFFu)));
            const char* text = e ? e->text : "";
            if (*text) {
                out += " = ";
                out += text_EscapeSourceText(text);
            } else
                out += " =";
            out += '\n';
        }
    }
    return out;
}

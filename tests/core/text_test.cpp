#include "core/text.h"

#include "core/mem.h"
#include "support/core_env.h"
#include "support/text_tables.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace {

struct TableDeleter {
    void operator()(TextTable* t) const { text_FreeTable(t); }
};
using TablePtr = std::unique_ptr<TextTable, TableDeleter>;

const char* findText(const TextTable* t, const char* section, const char* key) {
    return text_EntryText(t, text_Find(t, section, key));
}

std::uint32_t get32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}
void put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

constexpr const char* kSample =
    "[Dialog Message]\n"
    "CANCEL = Cancel\n"
    "EMPTY =\n"
    "COUNT = %i items\n"
    "\n"
    "[Zone{x}]\n"
    "KEY = braces\n";

}  // namespace

TEST(TextLookup, SectionsAndKeysMatchWithoutAsciiCase) {
    TablePtr t(test_TableFromSource(kSample));
    ASSERT_TRUE(t);
    EXPECT_STREQ(findText(t.get(), "Dialog Message", "CANCEL"), "Cancel");
    EXPECT_STREQ(findText(t.get(), "dialog message", "cancel"), "Cancel");
    EXPECT_STREQ(findText(t.get(), "DIALOG MESSAGE", "CaNcEl"), "Cancel");
    // Only A-Z fold: '[' and '{' differ by the same bit as 'A' and 'a' but are not letters.
    EXPECT_STREQ(findText(t.get(), "Zone{x}", "key"), "braces");
    EXPECT_EQ(text_Find(t.get(), "Zone[x]", "KEY"), nullptr);
    EXPECT_EQ(text_Find(t.get(), "Dialog Message ", "CANCEL"), nullptr);
    EXPECT_EQ(text_Find(t.get(), "Dialog Message", "CANCE"), nullptr);
}

TEST(TextLookup, OnlyTheFirstSectionOfANameIsSearched) {
    // The source form merges a repeated section, so build the duplicate by hand: two
    // sections named alike, the second holding the key.
    TextSource src;
    src.sections.push_back({"Menu", {{"OPEN", "Open"}}});
    src.sections.push_back({"MENU", {{"SAVE", "Save"}}});
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(text_BuildTable(src, bytes));
    TablePtr t(text_LoadTableFromMemory(bytes.data(), bytes.size()));
    ASSERT_TRUE(t);
    EXPECT_STREQ(findText(t.get(), "menu", "open"), "Open");
    EXPECT_EQ(text_Find(t.get(), "Menu", "SAVE"), nullptr);
    EXPECT_EQ(text_SectionCount(t.get()), 2u);
    EXPECT_STREQ(text_SectionKey(t.get(), 1, 0), "SAVE");
}

TEST(TextLookup, GetFallsBackButNeverFails) {
    text_ResetTables();
    EXPECT_STREQ(text_Get("Dialog Message", "CANCEL"), "Bad Texttool String");  // nothing loaded

    ScopedTextTable table(kSample);
    EXPECT_STREQ(text_Get("Dialog Message", "CANCEL"), "Cancel");
    EXPECT_STREQ(text_Get("Dialog Message", "MISSING"), "Bad Texttool String");
    EXPECT_STREQ(text_Get(nullptr, "CANCEL"), "Bad Texttool String");
    EXPECT_STREQ(text_Get("Dialog Message", nullptr), "Bad Texttool String");
    // An empty text is found, but text_Get treats it as missing.
    EXPECT_NE(text_Find(table.get(), "Dialog Message", "EMPTY"), nullptr);
    EXPECT_STREQ(text_Get("Dialog Message", "EMPTY"), "Bad Texttool String");

    EXPECT_EQ(text_Printf("Dialog Message", "COUNT", {3}), "3 items");
    EXPECT_EQ(text_Printf("Dialog Message", "COUNT", {"three"}), "Bad Texttool String");
    EXPECT_EQ(text_Printf("Dialog Message", "MISSING", {3}), "Bad Texttool String");
}

TEST(TextLookup, FreeTablesReleasesEachHeldTableOnceAndEmptiesTheSlots) {
    // The same table in two slots must be freed once (the sanitizer build sees a second free).
    const auto bytes = test_BuildTableBytes(kSample);
    TextTable* shared = text_LoadTableFromMemory(bytes.data(), bytes.size());
    TextTable* names = text_LoadTableFromMemory(bytes.data(), bytes.size());
    ASSERT_TRUE(shared && names);
    text_Tables().ui = shared;
    text_Tables().vocab = shared;
    text_Tables().names = names;
    text_FreeTables();
    EXPECT_EQ(text_Current(), nullptr);
    EXPECT_EQ(text_Tables().vocab, nullptr);
    EXPECT_EQ(text_Tables().names, nullptr);
    EXPECT_STREQ(text_Get("Dialog Message", "CANCEL"), "Bad Texttool String");
    text_FreeTables();  // nothing held: nothing happens
}

TEST(TextLookup, EntriesBeyondTheCountAreNone) {
    // Two sections of one key each; the header is then cut to one entry, so the second
    // section's key points at index 1, past the end. The first entry's text offset is
    // moved along with the string area so the rest of the table stays valid.
    auto bytes = test_BuildTableBytes("[A]\nK = first\n[B]\nK = second\n");
    ASSERT_EQ(get32(bytes, 12), 2u);
    put32(bytes, 12, 1);
    put32(bytes, 16, get32(bytes, 16) + 16);
    TablePtr t(text_LoadTableFromMemory(bytes.data(), bytes.size()));
    ASSERT_TRUE(t);
    EXPECT_STREQ(findText(t.get(), "A", "K"), "first");
    EXPECT_EQ(text_Find(t.get(), "B", "K"), nullptr);
    EXPECT_EQ(text_Entry(t.get(), 1), nullptr);
    EXPECT_EQ(text_Entry(nullptr, 0), nullptr);
    EXPECT_EQ(text_Find(nullptr, "A", "K"), nullptr);
}

TEST(TextLookup, CountedEnumerationStopsAtTheFirstGap) {
    TablePtr t(test_TableFromSource("[WinConditions]\nSTRWINCOND000 = a\nSTRWINCOND001 = b\nSTRWINCOND003 = d\n"));
    ASSERT_TRUE(t);
    int n = 0;
    while (text_Find(t.get(), "WinConditions", text_Format("STRWINCOND%0.3i", {n}).c_str())) ++n;
    EXPECT_EQ(n, 2);
}

TEST(TextLoader, EveryTruncationIsRefused) {
    const auto bytes = test_BuildTableBytes(kSample);
    for (std::size_t n = 0; n < bytes.size(); ++n) {
        // A fresh allocation of exactly n bytes, so a read past it is caught by the sanitizers.
        std::unique_ptr<std::uint8_t[]> cut(new std::uint8_t[n ? n : 1]);
        if (n) std::memcpy(cut.get(), bytes.data(), n);
        EXPECT_EQ(text_LoadTableFromMemory(cut.get(), n), nullptr) << "length " << n;
    }
    TablePtr whole(text_LoadTableFromMemory(bytes.data(), bytes.size()));
    EXPECT_TRUE(whole);
}

TEST(TextLoader, OffsetsAndCountsOutsideTheFileAreRefused) {
    const auto good = test_BuildTableBytes("[S]\nA = alpha\nB = beta\n");
    const std::size_t size = good.size();
    const std::uint32_t dir = get32(good, 4);
    auto refused = [&](std::size_t at, std::uint32_t value) {
        auto b = good;
        put32(b, at, value);
        TextTable* t = text_LoadTableFromMemory(b.data(), b.size());
        text_FreeTable(t);
        return t == nullptr;
    };
    EXPECT_TRUE(refused(4, static_cast<std::uint32_t>(size)));        // directory at the end
    EXPECT_TRUE(refused(4, static_cast<std::uint32_t>(size - 3)));    // section count cut
    EXPECT_TRUE(refused(4, 0xFFFFFFFFu));                             // offset wraps
    EXPECT_TRUE(refused(12, 0xFFFFFFFFu));                            // entry count
    EXPECT_TRUE(refused(12, static_cast<std::uint32_t>(size / 16)));  // entries past the end
    EXPECT_TRUE(refused(16, static_cast<std::uint32_t>(size)));       // entry text offset
    EXPECT_TRUE(refused(16, 0xFFFFFFF0u));
    EXPECT_TRUE(refused(dir, 0xFFFFFFFFu));                           // section count
    EXPECT_TRUE(refused(dir, 2));                                     // second record runs into names
    EXPECT_TRUE(refused(dir + 4, static_cast<std::uint32_t>(size)));  // key block offset
    EXPECT_TRUE(refused(dir + 4, 0xFFFFFFFCu));
    EXPECT_TRUE(refused(dir + 8, 3));  // more keys than the block holds
    EXPECT_TRUE(refused(dir + 8, 0xFFFFFFFFu));

    // The last key losing its terminator would run off the block.
    auto b = good;
    b[b.size() - 1] = 'x';
    EXPECT_EQ(text_LoadTableFromMemory(b.data(), b.size()), nullptr);

    // Every word of the table set to an out-of-range value: refused or still sound.
    for (std::size_t at = 0; at + 4 <= size; ++at)
        for (std::uint32_t v : {0xFFFFFFFFu, 0x80000000u, static_cast<std::uint32_t>(size)}) {
            auto c = good;
            put32(c, at, v);
            TablePtr t(text_LoadTableFromMemory(c.data(), c.size()));
            if (!t) continue;
            for (const char* key : {"A", "B"}) {
                const char* text = findText(t.get(), "S", key);
                if (text) {
                    EXPECT_LT(std::strlen(text), size);
                }
            }
        }
    EXPECT_EQ(text_LoadTableFromMemory(nullptr, 16), nullptr);
}

TEST(TextSourceForm, BuildThenDumpGivesTheSourceBack) {
    const std::string source =
        "[Dialog Message]\n"
        "BAD_LINE_NUMBER = Line %i:\\n%s\n"
        "PATH = C:\\\\MEDP1BCK.MIS\\tdone\n"
        "EMPTY =\n"
        "PADDED = \\x20both ends\\x20\n"
        "BELL = ring\\x07\n"
        "\n"
        "[Empty Section]\n"
        "\n"
        "[KZ7 Item Names]\n"
        "STR_ITM0001 = Crate\n";
    TablePtr t(test_TableFromSource(source));
    ASSERT_TRUE(t);
    EXPECT_STREQ(findText(t.get(), "Dialog Message", "PATH"), "C:\\MEDP1BCK.MIS\tdone");
    EXPECT_STREQ(findText(t.get(), "Dialog Message", "BAD_LINE_NUMBER"), "Line %i:\n%s");
    EXPECT_STREQ(findText(t.get(), "Dialog Message", "PADDED"), " both ends ");
    EXPECT_EQ(text_DumpSource(t.get()), source);
    EXPECT_EQ(text_EntryCount(t.get()), 6u);
    EXPECT_EQ(text_SectionKeyCount(t.get(), 1), 0u);
    EXPECT_EQ(text_SectionBase(t.get(), 2), 5u);
}

TEST(TextSourceForm, RepeatedSectionsMergeAcrossSources) {
    TextSource src;
    TextSourceError err;
    ASSERT_TRUE(text_ParseSource("# first\n[A]\nONE = 1\n; note\n[B]\nX = x\n", src, err));
    ASSERT_TRUE(text_ParseSource("[a]\r\nTWO = 2\r\n[C]\nY = y\n", src, err));
    ASSERT_EQ(src.sections.size(), 3u);
    EXPECT_EQ(src.sections[0].name, "A");
    ASSERT_EQ(src.sections[0].keys.size(), 2u);
    EXPECT_EQ(src.sections[0].keys[1].key, "TWO");
    EXPECT_EQ(src.sections[0].keys[1].text, "2");  // CR of a CR LF source dropped
    EXPECT_EQ(src.sections[2].name, "C");
}

TEST(TextSourceForm, BadLinesNameTheirLine) {
    struct Case {
        const char* source;
        int line;
        const char* words;
    };
    const Case cases[] = {
        {"# c\nKEY = x\n", 2, "before any"},
        {"[A]\nK = 1\n[B\n", 3, "']'"},
        {"[A]\n\nno equals sign\n", 3, "KEY = text"},
        {"[A]\n = x\n", 2, "empty key"},
        {"[A]\nK = 1\nk = 2\n", 3, "twice"},
        {"[A]\nK = bad \\q escape\n", 2, "\\q"},
        {"[A]\nK = ends in \\\n", 2, "backslash"},
        {"[A]\nK = \\x4\n", 2, "hex"},
        {"[A]\nK = \\x00\n", 2, "\\x00"},
    };
    for (const auto& c : cases) {
        TextSource src;
        TextSourceError err;
        EXPECT_FALSE(text_ParseSource(c.source, src, err)) << c.source;
        EXPECT_EQ(err.line, c.line) << c.source;
        EXPECT_NE(err.message.find(c.words), std::string::npos) << err.message;
    }
}

TEST(TextSourceForm, EscapesSurviveEveryByte) {
    std::string all;
    for (int c = 1; c < 256; ++c) all += static_cast<char>(c);
    all = " " + all + " ";
    std::string back, why;
    ASSERT_TRUE(text_UnescapeSourceText(text_EscapeSourceText(all), back, why)) << why;
    EXPECT_EQ(back, all);
    EXPECT_EQ(text_EscapeSourceText(all).find('\n'), std::string::npos);
}

TEST(TextLoader, WordingFileOfTheFoundationBuildsAndFitsItsArguments) {
    ScopedTextTable table(test_ReadSourceFile("data/text/foundation.txt"));
    const std::string msg = text_Printf("Dialog Message", "BAD_LINE_NUMBER", {12, "begin item"});
    EXPECT_NE(msg, "Bad Texttool String");
    EXPECT_NE(msg.find("12"), std::string::npos);
    EXPECT_NE(msg.find("begin item"), std::string::npos);
    EXPECT_STRNE(text_Get("Dialog Message", "ASCII_PARSE"), "Bad Texttool String");
}

TEST(TextLoader, LoadsThroughTheFileLayerAndTreatsABadFileAsMissing) {
    ScopedCore core;
    ScopedTempDir dir;
    const auto bytes = test_BuildTableBytes(kSample);
    const std::string path = dir.write("text.bin", bytes);
    const int before = mem_LiveBlocks(mem_State().mainPool);

    TextTable* t = text_LoadTable(path.c_str(), 0xFFFFFFFF);
    ASSERT_NE(t, nullptr);
    EXPECT_STREQ(findText(t, "Dialog Message", "CANCEL"), "Cancel");
    EXPECT_EQ(mem_LiveBlocks(mem_State().mainPool), before + 1);
    text_FreeTable(t);
    EXPECT_EQ(mem_LiveBlocks(mem_State().mainPool), before);

    // A cut table fails its checks: none, and its block goes back to the pool.
    const std::string cut = dir.write("cut.bin", std::vector<std::uint8_t>(bytes.begin(), bytes.end() - 1));
    EXPECT_EQ(text_LoadTable(cut.c_str()), nullptr);
    EXPECT_EQ(mem_LiveBlocks(mem_State().mainPool), before);
    EXPECT_EQ(text_LoadTable(dir.file("absent.bin").c_str()), nullptr);
    EXPECT_EQ(text_LoadTable(nullptr), nullptr);
}

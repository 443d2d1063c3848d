#include "core/file.h"
#include "core/parser.h"

#include "core/mem.h"
#include "support/fake_platform.h"
#include "support/core_env.h"
#include "support/text_tables.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

std::vector<std::string> split(const char* text) {
    const LineTokens t = parser_SplitLine(text);
    std::vector<std::string> out;
    for (int i = 0; i < t.count; ++i) out.emplace_back(t.token[i]);
    return out;
}

using Tokens = std::vector<std::string>;

// One callback call as seen by a test: the line number and the tokens (none for the end).
struct Call {
    int line;
    bool end;
    Tokens tokens;
};

// A callback that records its calls and refuses the line numbered failOn with code.
struct Recorder {
    std::vector<Call> calls;
    int failOn = -1;
    std::int32_t code = 7;
    std::int32_t endResult = 0;

    LineCallback callback() {
        return [this](const LineTokens* t, int line) -> std::int32_t {
            Call c{line, t == nullptr, {}};
            if (t)
                for (int i = 0; i < t->count; ++i) c.tokens.emplace_back(t->at(i));
            calls.push_back(c);
            if (!t) return endResult;
            return line == failOn ? code : 0;
        };
    }
    std::vector<int> lines() const {
        std::vector<int> out;
        for (const auto& c : calls) out.push_back(c.end ? -c.line : c.line);
        return out;
    }
};

std::int32_t parse(std::string_view data, LineEnds ends, Recorder& r) {
    return parser_ParseBuffer(data.data(), data.size(), ends, "test.def", r.callback());
}

std::string tempPath(const char* name) {
    return (std::filesystem::temp_directory_path() / (std::string("sortie_parser_") + name)).string();
}

void writeFile(const std::string& path, std::string_view data) {
    std::ofstream(path, std::ios::binary).write(data.data(), static_cast<std::streamsize>(data.size()));
}

}  // namespace

TEST(ParserSplit, TokensFollowTheSeparatorAndQuoteRules) {
    EXPECT_EQ(split("begin item 5"), (Tokens{"begin", "item", "5"}));
    EXPECT_EQ(split("begin item 5 "), (Tokens{"begin", "item", "5", ""}));
    EXPECT_EQ(split("name \"\""), (Tokens{"name", ""}));
    EXPECT_EQ(split("brief \"Hold, then go\""), (Tokens{"brief", "Hold, then go", ""}));
    EXPECT_EQ(split("a,b\tc"), (Tokens{"a", "b", "c"}));
    EXPECT_EQ(split("a,,b"), (Tokens{"a", "b"}));
    EXPECT_EQ(split("say \"open, never closed"), (Tokens{"say", "open, never closed"}));
    EXPECT_EQ(split("x\"y\"z"), (Tokens{"x", "y", "z"}));
    EXPECT_EQ(split("   "), (Tokens{""}));
    EXPECT_EQ(split(""), Tokens{});
    EXPECT_EQ(split(nullptr), Tokens{});
    EXPECT_EQ(split("a // b"), (Tokens{"a", "//", "b"}));

    const LineTokens t = parser_SplitLine("one two");
    EXPECT_STREQ(t.at(1), "two");
    EXPECT_STREQ(t.at(2), "");
    EXPECT_STREQ(t.at(-1), "");
}

TEST(ParserSplit, LimitsOfThirtyTokensAndAThousandCharacters) {
    std::string many;
    for (int i = 0; i < 40; ++i) many += std::to_string(i) + " ";
    const auto t = split(many.c_str());
    ASSERT_EQ(t.size(), 30u);
    EXPECT_EQ(t[29], "29");

    std::string longLine = "key " + std::string(1200, 'v');
    const auto l = split(longLine.c_str());
    ASSERT_EQ(l.size(), 2u);
    EXPECT_EQ(l[1].size(), 1000u - 4u);  // only the first thousand characters are read
}

TEST(ParserLines, CommentsAndBlankLinesAreSkippedButCounted) {
    Recorder r;
    EXPECT_EQ(parse("// header\r\n\r\nbegin items\r\n/x\r\n  \r\nend\r\n", LineEnds::CrLf, r), 0);
    // A line of blanks is blank too.
    EXPECT_EQ(r.lines(), (std::vector<int>{3, 6, -7}));
    EXPECT_EQ(r.calls[0].tokens, (Tokens{"begin", "items"}));
}

TEST(ParserLines, EmptyDataCallsOnceAtLineOne) {
    Recorder r;
    r.endResult = 42;
    EXPECT_EQ(parse("", LineEnds::CrLf, r), 42);  // the final call's result is the parse's
    EXPECT_EQ(r.lines(), (std::vector<int>{-1}));
    Recorder d;
    EXPECT_EQ(parse("", LineEnds::DiskText, d), 0);
    EXPECT_EQ(d.lines(), (std::vector<int>{-1}));
}

TEST(ParserLines, AFailingLineIsReportedAndEndsTheParse) {
    ScopedFakePlatform fake;
    ScopedTextTable table(test_ReadSourceFile("data/text/foundation.txt"));
    std::string data;
    for (int i = 1; i <= 20; ++i) data += "line " + std::to_string(i) + (i == 12 ? " bad,value" : "") + "\n";
    Recorder r;
    r.failOn = 12;
    r.code = -3;
    EXPECT_EQ(parse(data, LineEnds::DiskText, r), -3);
    ASSERT_EQ(r.calls.size(), 12u);  // no line after it, and no final call
    EXPECT_FALSE(r.calls.back().end);

    ASSERT_EQ(fake->boxes.size(), 1u);
    const auto& box = fake->boxes[0];
    EXPECT_NE(box.text.find("12"), std::string::npos) << box.text;
    EXPECT_NE(box.text.find("line 12 bad,value"), std::string::npos) << box.text;
    EXPECT_EQ(box.caption, text_Get("Dialog Message", "ASCII_PARSE"));
    EXPECT_EQ(box.icon, MsgIcon::Error);
    EXPECT_EQ(fake->log.at(0), "lineError test.def:12");
}

TEST(ParserLines, WithoutWordingTheReportStillAppears) {
    ScopedFakePlatform fake;
    text_ResetTables();
    Recorder r;
    r.failOn = 1;
    EXPECT_EQ(parse("oops", LineEnds::CrLf, r), 7);
    ASSERT_EQ(fake->boxes.size(), 1u);
    EXPECT_EQ(fake->boxes[0].text, "Bad Texttool String");
}

// What a bad-line report says about lines a reader cannot take as they are. The callback
// takes a few keywords and refuses the first line it does not know.
TEST(ParserLines, ReportsShowTheRealLineItsInvisibleCharactersAndTheReason) {
    ScopedFakePlatform fake;
    ScopedTextTable table(test_ReadSourceFile("data/text/foundation.txt"));
    const std::string longLine = "name \"" + std::string(800, 'x') + "\"";  // 807 characters
    struct Case {
        const char* what;
        std::string data;
        const char* reason;  // what the callback says when it refuses, or nullptr
        int reported;        // the line number the report names, 0: no report
        std::string shown;   // a piece of the report's text
    } cases[] = {
        {"tab and control byte shown", "ok\nkey\tva\x01lue\x7F\n", nullptr, 2, "key\\tva\\x01lue\\x7F"},
        {"blanks only: blank", "ok\n   \t \nlast\n", nullptr, 0, ""},
        {"the callback's reason", "ok\nnum 9\n", "too many", 2, "too many"},
        {"tail of a long line: the line's own number", "a\n" + longLine + "\nb\n", nullptr, 2, "807"},
        {"after a long blank line", std::string(800, ' ') + "\nbad\n", nullptr, 2, "\nbad"},
        {"byte-order mark skipped",
         "\xEF\xBB\xBF"
         "ok\nbad\n",
         nullptr, 2, "\nbad"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fake->boxes.clear();
        fake->log.clear();
        LineCallback cb = [&](const LineTokens* t, int) -> std::int32_t {
            if (!t) return 0;
            for (const char* known : {"ok", "a", "b", "name", "last"})
                if (std::string(t->at(0)) == known) return 0;
            if (c.reason) parser_SetReason(c.reason);
            return 1;
        };
        parser_ParseBuffer(c.data.data(), c.data.size(), LineEnds::DiskText, "f.mis", cb);
        if (c.reported == 0) {
            EXPECT_TRUE(fake->boxes.empty());
            continue;
        }
        ASSERT_EQ(fake->boxes.size(), 1u);
        EXPECT_EQ(fake->log.at(0), "lineError f.mis:" + std::to_string(c.reported));
        EXPECT_NE(fake->boxes[0].text.find(c.shown), std::string::npos) << fake->boxes[0].text;
    }
}

TEST(ParserLines, LayerFilesEndLinesAtCrLfOnly) {
    Recorder r;
    EXPECT_EQ(parse("a\nb c\rd\r\nlast", LineEnds::CrLf, r), 0);
    ASSERT_EQ(r.calls.size(), 3u);
    EXPECT_EQ(r.calls[0].tokens, (Tokens{"a\nb", "c\rd"}));
    EXPECT_EQ(r.calls[1].tokens, (Tokens{"last"}));
    EXPECT_EQ(r.lines(), (std::vector<int>{1, 2, -3}));

    Recorder t;  // a trailing CR LF ends the last line; it does not start another
    parse("x\r\ny\r\n", LineEnds::CrLf, t);
    EXPECT_EQ(t.lines(), (std::vector<int>{1, 2, -3}));
}

TEST(ParserLines, DiskLinesEndAtLfAndComeInPiecesOf699) {
    Recorder r;
    parse("a\r\nb\rc\nlast", LineEnds::DiskText, r);
    ASSERT_EQ(r.calls.size(), 4u);
    EXPECT_EQ(r.calls[0].tokens, (Tokens{"a"}));
    EXPECT_EQ(r.calls[1].tokens, (Tokens{"b\rc"}));  // a lone CR stays
    EXPECT_EQ(r.calls[2].tokens, (Tokens{"last"}));

    const std::string longLine(1500, 'x');
    Recorder p;
    parse(longLine + "\nnext\n", LineEnds::DiskText, p);
    ASSERT_EQ(p.calls.size(), 5u);
    // The pieces keep the number of their line, and the lines after it keep theirs.
    EXPECT_EQ(p.lines(), (std::vector<int>{1, 1, 1, 2, -3}));
    EXPECT_EQ(p.calls[0].tokens[0].size(), 699u);
    EXPECT_EQ(p.calls[1].tokens[0].size(), 699u);
    EXPECT_EQ(p.calls[2].tokens[0].size(), 102u);
    EXPECT_EQ(p.calls[3].tokens, (Tokens{"next"}));

    // Exactly 699 characters (even before a CR LF) is still one line.
    Recorder e;
    parse(std::string(699, 'y') + "\r\nz\n", LineEnds::DiskText, e);
    EXPECT_EQ(e.lines(), (std::vector<int>{1, 2, -3}));
}

TEST(ParserFiles, DiskFileReadsAndMissingFileGivesOne) {
    ScopedFakePlatform fake;
    const std::string path = tempPath("disk.mis");
    writeFile(path, "begin\r\n  item 1\r\nend");
    Recorder r;
    EXPECT_EQ(parser_ReadDiskFile(path.c_str(), r.callback()), 0);
    EXPECT_EQ(r.lines(), (std::vector<int>{1, 2, 3, -4}));
    EXPECT_EQ(r.calls[1].tokens, (Tokens{"item", "1"}) /* leading blanks start no token */);
    std::remove(path.c_str());

    Recorder m;
    EXPECT_EQ(parser_ReadDiskFile(tempPath("missing.mis").c_str(), m.callback()), 1);
    EXPECT_TRUE(m.calls.empty());
    EXPECT_TRUE(fake->boxes.empty());
    EXPECT_EQ(parser_ReadDiskFile(std::filesystem::temp_directory_path().c_str(), m.callback()), 1);
}

// The room a disk file is read into is kept from one file to the next: a callback reading
// another file meanwhile, a longer file after a shorter one, and a shorter one after a longer
// one each see only their own lines.
TEST(ParserFiles, KeptRoomServesNestedLongerAndShorterFiles) {
    ScopedFakePlatform fake;
    const std::string outer = tempPath("outer.mis"), inner = tempPath("inner.mis"), big = tempPath("big.mis");
    writeFile(outer, "a 1\nb 2\nc 3\n");
    writeFile(inner, "x 9\n");
    std::string longText;
    for (int i = 0; i < 40000; ++i) longText += "line " + std::to_string(i) + "\n";
    writeFile(big, longText);
    Recorder nested;
    std::vector<std::string> outerKeys;
    const LineCallback readsAnother = [&](const LineTokens* t, int) -> std::int32_t {
        if (!t) return 0;
        outerKeys.emplace_back(t->at(0));
        if (outerKeys.size() == 1) EXPECT_EQ(parser_ReadDiskFile(inner.c_str(), nested.callback()), 0);
        return 0;
    };
    EXPECT_EQ(parser_ReadDiskFile(outer.c_str(), readsAnother), 0);
    EXPECT_EQ(outerKeys, (std::vector<std::string>{"a", "b", "c"}));
    ASSERT_EQ(nested.calls.size(), 2u);
    EXPECT_EQ(nested.calls[0].tokens, (Tokens{"x", "9"}));
    struct Case {
        const std::string* path;
        std::size_t lines;
        const char* last;
    };
    for (const Case& c : {Case{&big, 40000, "39999"}, Case{&outer, 3, "3"}, Case{&big, 40000, "39999"}}) {
        Recorder r;
        EXPECT_EQ(parser_ReadDiskFile(c.path->c_str(), r.callback()), 0);
        ASSERT_EQ(r.calls.size(), c.lines + 1) << *c.path;
        EXPECT_EQ(r.calls[c.lines - 1].tokens.back(), c.last) << *c.path;
        EXPECT_EQ(r.calls.back().line, int(c.lines) + 1) << *c.path;
    }
    for (const std::string& p : {outer, inner, big}) std::remove(p.c_str());
}

TEST(ParserScramble, KnownKeystreamAndRoundTrips) {
    std::uint8_t two[2] = {0x00, 0x01};
    // Reversed to {01, 00}; the first two keystream bytes for seed 1 are both 0x11.
    EXPECT_EQ(parser_Unscramble(two, 2, 1), 0x40108111u);
    EXPECT_EQ(two[0], 0x10);
    EXPECT_EQ(two[1], 0x11);

    std::uint8_t one[1] = {0x42};
    parser_Unscramble(one, 1, 1);
    EXPECT_EQ(one[0], 0x42 ^ 0x11);

    for (std::uint32_t seed : {1u, 0x6B2D91F4u, 0xFFFFFFFFu}) {
        for (std::size_t len : {0u, 1u, 2u, 3u, 64u, 1001u}) {
            std::vector<std::uint8_t> plain(len);
            for (std::size_t i = 0; i < len; ++i) plain[i] = static_cast<std::uint8_t>(i * 37 + 5);
            auto data = plain;
            const auto s1 = parser_Scramble(data.data(), static_cast<std::uint32_t>(len), seed);
            if (len > 2) {
                EXPECT_NE(data, plain);
            }
            const auto s2 = parser_Unscramble(data.data(), static_cast<std::uint32_t>(len), seed);
            EXPECT_EQ(data, plain) << "seed " << seed << " length " << len;
            EXPECT_EQ(s1, s2);
        }
    }
}

TEST(ParserNames, SetExtensionReplacesAfterTheFirstDot) {
    char name[16] = "desert.trn";
    EXPECT_TRUE(set_Extension(name, sizeof name, "pcx"));
    EXPECT_STREQ(name, "desert.pcx");
    char multi[16] = "a.b.c";
    EXPECT_TRUE(set_Extension(multi, sizeof multi, "r16"));
    EXPECT_STREQ(multi, "a.r16");
    char bare[16] = "sunsets";
    EXPECT_TRUE(set_Extension(bare, sizeof bare, "def"));
    EXPECT_STREQ(bare, "sunsets.def");
    // Too long for its buffer: refused, and the name is left as it was.
    char tight[12] = "abcdefgh";
    EXPECT_FALSE(set_Extension(tight, sizeof tight, "long"));
    EXPECT_STREQ(tight, "abcdefgh");
    EXPECT_TRUE(set_Extension(tight, sizeof tight, "ab"));
    EXPECT_STREQ(tight, "abcdefgh.ab");
}

TEST(ParserFiles, LayerFileUnscramblesOnlyWithASeedAndAlwaysFreesItsBuffer) {
    ScopedCore core;
    ScopedTempDir dir;
    ScopedFakePlatform fake;
    const std::string plain = "type 1\r\nname \"Crate\"\r\n";
    std::vector<std::uint8_t> body(plain.begin(), plain.end());
    parser_Scramble(body.data(), static_cast<std::uint32_t>(body.size()), 0x1234);
    std::string scr("SCR\x01", 4);
    scr.append(body.begin(), body.end());
    const std::string path = dir.write("items.def", scr);
    const int before = mem_LiveBlocks(mem_State().mainPool);

    Recorder r;
    EXPECT_EQ(parser_ReadLayerFile(path.c_str(), r.callback(), 0x1234), 0);
    ASSERT_EQ(r.calls.size(), 3u);
    EXPECT_EQ(r.calls[0].tokens, (Tokens{"type", "1"}));
    EXPECT_EQ(r.calls[1].tokens, (Tokens{"name", "Crate", ""}));
    EXPECT_EQ(r.lines(), (std::vector<int>{1, 2, -3}));
    EXPECT_EQ(mem_LiveBlocks(mem_State().mainPool), before);

    // Seed 0: the same file is parsed as it stands, header and all.
    Recorder z;
    EXPECT_EQ(parser_ReadLayerFile(path.c_str(), z.callback(), 0), 0);
    ASSERT_FALSE(z.calls.empty());
    ASSERT_FALSE(z.calls[0].end);
    EXPECT_EQ(z.calls[0].tokens.at(0).substr(0, 3), "SCR");

    // A file without the header is read unchanged even with a seed.
    const std::string open = dir.write("sunsets.def", plain);
    Recorder o;
    EXPECT_EQ(parser_ReadLayerFile(open.c_str(), o.callback(), 0x1234), 0);
    EXPECT_EQ(o.calls.at(1).tokens, (Tokens{"name", "Crate", ""}));

    // A refused line: its code comes back and the buffer is still released.
    Recorder f;
    f.failOn = 2;
    f.code = 9;
    EXPECT_EQ(parser_ReadLayerFile(path.c_str(), f.callback(), 0x1234), 9);
    EXPECT_EQ(f.calls.size(), 2u);
    EXPECT_EQ(mem_LiveBlocks(mem_State().mainPool), before);
    EXPECT_EQ(fake->boxes.size(), 1u);

    Recorder m;
    EXPECT_EQ(parser_ReadLayerFile(dir.file("absent.def").c_str(), m.callback(), 0x1234), 1);
    EXPECT_TRUE(m.calls.empty());

    const std::string empty = dir.write("empty.def", "");
    Recorder e;
    EXPECT_EQ(parser_ReadLayerFile(empty.c_str(), e.callback(), 0x1234), 0);
    EXPECT_EQ(e.lines(), (std::vector<int>{-1}));

    const std::string headerOnly = dir.write("header.def", std::string("SCR\x01", 4));
    Recorder h;
    EXPECT_EQ(parser_ReadLayerFile(headerOnly.c_str(), h.callback(), 0x1234), 0);
    EXPECT_EQ(h.lines(), (std::vector<int>{-1}));
    EXPECT_EQ(mem_LiveBlocks(mem_State().mainPool), before);
}

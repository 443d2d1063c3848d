// Item definitions: the two-pass loader, its keywords and conversions, the name pass and
// the lookups.
#include "gamedata/itemdef.h"

#include "core/mem.h"
#include "gamedata/defwords.h"
#include "core/parser.h"
#include "support/fake_platform.h"
#include "support/core_env.h"
#include "support/text_tables.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr const char* kParserTexts =
    "[Dialog Message]\n"
    "BAD_LINE_NUMBER = Bad line %d: %s\n"
    "ASCII_PARSE = Reading a file\n";

class ItemDefTest : public ::testing::Test {
protected:
    void SetUp() override { itemdef_Reset(); }
    void TearDown() override { itemdef_Reset(); }

    // Writes items.def text (lines joined with CR LF, as the file layer's reader expects).
    std::string writeDefs(const std::vector<std::string>& lines, const char* name = "items.def") {
        std::string text;
        for (const auto& l : lines) text += l + "\r\n";
        return dir.write(name, text);
    }

    ScopedCore core;
    ScopedTempDir dir;
    ScopedFakePlatform fake;
    ScopedTextTable texts{kParserTexts};
};

TEST_F(ItemDefTest, ReadsEveryKeywordOfADefinition) {
    const std::string longName(70, 'n');
    auto path = writeDefs({
        "// a comment line never reaches the loader",
        "begin " + longName,
        "ID 100042",
        "type vehicle",
        "graphic tank01",
        "husk tank01_dead",
        "chr_file soldier.chr",
        "anim_def walkrun",
        "ai_function tank_ai",
        "move_function tracked",
        "hp 250 40",
        "phrase_set 3",
        "face_set 4",
        "acceleration 3",
        "turn_rate 90",
        "axle_dist 1.5",
        "interrupt_sound_id 17",
        "extra -5",
        "tm8type 9",
        "attrib: good NoAK snap banana",
        "ambient engine 5",
        "ambient tracks",
        "end",
    });
    ASSERT_EQ(itemdef_Load(path.c_str()), 1);
    ASSERT_EQ(itemdef_Count(), 1);
    const ItemDef& d = *itemdef_At(0);
    EXPECT_EQ(std::string(d.name), std::string(62, 'n'));
    EXPECT_EQ(d.typeNumber, 42);
    EXPECT_EQ(d.type, kItemVehicle);
    EXPECT_STREQ(d.graphic, "tank01");
    EXPECT_STREQ(d.husk, "tank01_dead");
    EXPECT_STREQ(d.chrFile, "soldier.chr");
    EXPECT_STREQ(d.animDef, "walkrun");
    EXPECT_STREQ(d.aiFunction, "tank_ai");
    EXPECT_STREQ(d.moveFunction, "tracked");
    EXPECT_EQ(d.hitPoints[0], 250);
    EXPECT_EQ(d.hitPoints[1], 40);
    EXPECT_EQ(d.phraseSet, 3);
    EXPECT_EQ(d.faceSet, 4);
    EXPECT_EQ(d.acceleration, 3 * 1024);
    EXPECT_EQ(d.turnRate, 256);
    EXPECT_EQ(d.axleDistance, 98304);
    EXPECT_EQ(d.interruptSound, 17);
    EXPECT_EQ(d.extra, -5);
    EXPECT_EQ(d.tm8Type, 9);
    EXPECT_EQ(d.attributes, 0x0281u);  // low byte 129, second byte 2
    EXPECT_STREQ(d.ambient[0].name, "engine");
    EXPECT_EQ(d.ambient[0].number, 5);
    EXPECT_STREQ(d.ambient[1].name, "tracks");
    EXPECT_EQ(d.ambient[1].number, 0);
    EXPECT_EQ(d.model, nullptr);
    EXPECT_TRUE(fake->boxes.empty());
}

TEST_F(ItemDefTest, AttributeWordsTypeWordsAndAmbientSlots) {
    auto path = writeDefs({
        "begin first",
        "attrib: \" DV   \" evil aidata fo movecb powerup flesh",
        "type tank",
        "ambient a 1",
        "ambient b 2",
        "ambient c 3",
        "ambient d 4",
        "ambient e 5",
        "end",
        "begin second",
        "attrib: \" DV    \" pfoil train S&D",
        "type PERSON",
        "end",
    });
    ASSERT_EQ(itemdef_Load(path.c_str()), 1);
    ASSERT_EQ(itemdef_Count(), 2);
    const ItemDef& a = *itemdef_At(0);
    EXPECT_EQ(a.attributes, 0x0100u | 0x7Eu);
    EXPECT_EQ(a.type, 0) << "an unknown type word leaves the type alone";
    EXPECT_STREQ(a.ambient[3].name, "d");
    EXPECT_EQ(a.ambient[3].number, 4);
    const ItemDef& b = *itemdef_At(1);
    EXPECT_EQ(b.attributes, 0x2000u | 0x0400u | 0x0800u | 0x1000u);
    EXPECT_EQ(b.type, kItemPerson);

    EXPECT_FALSE(itemdef_Listed(a, false));
    EXPECT_TRUE(itemdef_Listed(a, true));
    EXPECT_FALSE(itemdef_Listed(b, false));
    ItemDef plain{};
    plain.attributes = kItemAttrSnap | kItemAttrGood;
    EXPECT_TRUE(itemdef_Listed(plain, false));
}

TEST_F(ItemDefTest, LongTextFieldsAreCutToTheirRecords) {
    auto path = writeDefs({
        "begin x",
        "graphic abcdefghijklmnopqrstuvwxyz",
        "ai_function abcdefghijklmnopqrstuvwxyz",
        "ambient abcdefghijklmnopqrstuvwxyz 3",
        "end",
    });
    ASSERT_EQ(itemdef_Load(path.c_str()), 1);
    const ItemDef& d = *itemdef_At(0);
    EXPECT_STREQ(d.graphic, "abcdefghijklmno");
    EXPECT_STREQ(d.aiFunction, "abcdefghijk");
    EXPECT_STREQ(d.ambient[0].name, "abcdefghijk");
    EXPECT_EQ(d.ambient[0].number, 3);
}

TEST(ItemDefConversions, TurnRateAccelerationAndNumbers) {
    EXPECT_EQ(itemdef_TurnRateFromDegrees(90), 256);
    EXPECT_EQ(itemdef_TurnRateFromDegrees(360), 1024);
    EXPECT_EQ(itemdef_TurnRateFromDegrees(45), 128);
    EXPECT_EQ(itemdef_TurnRateFromDegrees(1), 2);    // 65536/360 = 182, 182 >> 6 = 2
    EXPECT_EQ(itemdef_TurnRateFromDegrees(-1), -3);  // -182 >> 6 rounds down to -3
    EXPECT_EQ(itemdef_TurnRateFromDegrees(-90), -256);
    EXPECT_EQ(itemdef_TurnRateFromDegrees(100000), 284444);  // no 32-bit overflow on the way
    EXPECT_EQ(itemdef_AccelerationFromFile(-2), -2048);
    EXPECT_EQ(itemdef_AccelerationFromFile(3000000), INT32_MAX);

    EXPECT_EQ(defs_Fixed16(1.5), 98304);
    EXPECT_EQ(defs_Fixed16(-0.5), -32768);
    EXPECT_EQ(defs_Fixed16(0.00001), 0);  // truncated toward zero
    EXPECT_EQ(defs_Fixed16(-0.00001), 0);
    EXPECT_EQ(defs_Fixed16(1e12), INT32_MAX);

    EXPECT_EQ(defs_ReadInt("12abc"), 12);
    EXPECT_EQ(defs_ReadInt("abc"), 0);
    EXPECT_EQ(defs_ReadInt(""), 0);
    EXPECT_EQ(defs_ReadInt("+7"), 7);
    EXPECT_EQ(defs_ReadInt("-7x"), -7);
    EXPECT_EQ(defs_ReadInt("-"), 0);
    EXPECT_EQ(defs_ReadInt("99999999999999999999"), INT32_MAX);
    EXPECT_EQ(defs_ReadInt("-99999999999999999999"), INT32_MIN);

    EXPECT_DOUBLE_EQ(defs_ReadDecimal("1.5"), 1.5);
    EXPECT_DOUBLE_EQ(defs_ReadDecimal("-.5"), -0.5);
    EXPECT_DOUBLE_EQ(defs_ReadDecimal("2e3x"), 2000.0);
    EXPECT_DOUBLE_EQ(defs_ReadDecimal("3e"), 3.0);
    EXPECT_DOUBLE_EQ(defs_ReadDecimal("inf"), 0.0);
    EXPECT_DOUBLE_EQ(defs_ReadDecimal("nan"), 0.0);
    EXPECT_DOUBLE_EQ(defs_ReadDecimal("0x10"), 0.0);
    EXPECT_DOUBLE_EQ(defs_ReadDecimal("."), 0.0);
}

TEST_F(ItemDefTest, BadKeywordStopsTheSecondPassAndKeepsWhatWasRead) {
    auto path = writeDefs({
        "begin one",  // line 1
        "id 100001",
        "end",
        "begin two",   // line 4
        "colour red",  // line 5: unknown
        "id 100002",
        "end",
        "begin three",
        "id 100003",
        "end",
    });
    ASSERT_EQ(itemdef_Load(path.c_str()), 1) << "a bad line still leaves a built table";
    ASSERT_EQ(itemdef_Count(), 3);
    EXPECT_STREQ(itemdef_At(0)->name, "one");
    EXPECT_EQ(itemdef_At(0)->typeNumber, 1);
    EXPECT_STREQ(itemdef_At(1)->name, "two");
    EXPECT_EQ(itemdef_At(1)->typeNumber, 0);
    EXPECT_STREQ(itemdef_At(2)->name, "");
    ASSERT_EQ(fake->boxes.size(), 1u);
    EXPECT_NE(fake->boxes[0].text.find("Bad line 5"), std::string::npos) << fake->boxes[0].text;
    EXPECT_NE(fake->boxes[0].text.find("colour red"), std::string::npos);
}

TEST_F(ItemDefTest, SurplusEndLinesNeverWriteBehindTheTable) {
    auto path = writeDefs({
        "id 100009",  // before any begin: acts on the first definition
        "begin only",
        "end",
        "end",
        "end",
        "begin late",  // no slot for it: ignored
        "id 100077",
        "graphic late",
        "end",
    });
    ASSERT_EQ(itemdef_Load(path.c_str()), 1);
    // Two "begin" lines: two definitions; the second never gets a line.
    ASSERT_EQ(itemdef_Count(), 2);
    EXPECT_STREQ(itemdef_At(0)->name, "only");
    EXPECT_EQ(itemdef_At(0)->typeNumber, 9);
    EXPECT_STREQ(itemdef_At(1)->name, "");
    EXPECT_EQ(itemdef_At(1)->typeNumber, 0);
    EXPECT_EQ(itemdef_At(2), nullptr);
    EXPECT_EQ(itemdef_At(-1), nullptr);
    EXPECT_TRUE(fake->boxes.empty());
}

TEST_F(ItemDefTest, MissingFileGivesAnEmptyTableAndFindsAnswerZero) {
    ASSERT_EQ(itemdef_Load(dir.file("nothere.def").c_str()), 1);
    EXPECT_EQ(itemdef_Count(), 0);
    EXPECT_EQ(itemdef_FindByName("anything"), 0);
    EXPECT_EQ(itemdef_FindByType(42), 0);
    EXPECT_EQ(itemdef_At(0), nullptr);
}

TEST_F(ItemDefTest, ExhaustedPoolGivesZeroAndNoTable) {
    std::vector<std::string> lines;
    for (int i = 0; i < 50; ++i) {
        lines.push_back("begin item" + std::to_string(i));
        lines.push_back("end");
    }
    auto path = writeDefs(lines);

    // Fill the main pool so that only small requests fit; the reader's file buffer still
    // does, the table of 50 definitions does not.
    std::vector<std::pair<void*, std::uint32_t>> hogs;
    for (std::uint32_t size = 1u << 20; size >= 64; size /= 2)
        while (void* p = mem_GetMemEx(size, 16, 0, "hog")) hogs.push_back({p, size});
    // Give back the smallest blocks: about 8 KiB, room for the reader's file buffer but not
    // for fifty definitions.
    std::vector<void*> kept;
    for (auto [p, size] : hogs) {
        if (size <= 4096)
            mem_Free(p);
        else
            kept.push_back(p);
    }
    ASSERT_GT(50 * sizeof(ItemDef), 8192u);
    fake->debugLines.clear();
    EXPECT_EQ(itemdef_Load(path.c_str()), 0);
    EXPECT_EQ(itemdef_Count(), 0);
    EXPECT_EQ(itemdef_Table().defs, nullptr);
    for (void* p : kept) mem_Free(p);
    EXPECT_EQ(itemdef_Load(path.c_str()), 1);
    EXPECT_EQ(itemdef_Count(), 50);
}

TEST_F(ItemDefTest, ScrambledFileIsReadInClear) {
    const std::string plain = "begin hidden\r\nid 100005\r\nend\r\n";
    // Scrambling is the inverse of the parser's unscrambling: XOR with the key stream, then
    // reverse the bytes. The key stream is what unscrambling a block of zeros gives.
    std::vector<std::uint8_t> stream(plain.size(), 0);
    parser_Unscramble(stream.data(), static_cast<std::uint32_t>(stream.size()), 0x3C5E7A19);
    std::string body(plain.size(), '\0');
    for (std::size_t i = 0; i < plain.size(); ++i) body[plain.size() - 1 - i] = static_cast<char>(plain[i] ^ stream[i]);
    auto path = dir.write("items.def", std::string("SCR\x01", 4) + body);

    ASSERT_EQ(itemdef_Load(path.c_str()), 1);
    ASSERT_EQ(itemdef_Count(), 1);
    EXPECT_STREQ(itemdef_At(0)->name, "hidden");
    EXPECT_EQ(itemdef_At(0)->typeNumber, 5);
}

TEST_F(ItemDefTest, NamePassAndLookups) {
    auto path = writeDefs({
        "begin Tank",
        "id 100042",
        "end",
        "begin Jeep",
        "id 100007",
        "end",
        "begin Crate",
        "id 100300",
        "end",
        "begin tank",
        "id 100042",
        "end",
    });
    ASSERT_EQ(itemdef_Load(path.c_str()), 1);

    EXPECT_EQ(itemdef_FindByName("TANK"), 0);
    EXPECT_EQ(itemdef_FindByName("jeep"), 1);
    EXPECT_EQ(itemdef_FindByName("nothing"), 0);
    EXPECT_EQ(itemdef_FindByName(nullptr), 0);
    EXPECT_EQ(itemdef_FindByType(300), 2);
    EXPECT_EQ(itemdef_FindByType(42), 0) << "the first of two with the same number";
    EXPECT_EQ(itemdef_FindByType(-1), 0);

    itemdef_NamePass(nullptr);
    EXPECT_STREQ(itemdef_At(0)->name, "Tank");

    const std::string longText(80, 'L');
    TextTable* names = test_TableFromSource(
        "[KZ7 Item Names]\n"
        "STR_ITM0042 = Heavy Tank\n"
        "STR_ITM0007 =\n"
        "STR_ITM0300 = " +
        longText + "\n");
    ASSERT_NE(names, nullptr);
    itemdef_NamePass(names);
    EXPECT_STREQ(itemdef_At(0)->name, "Heavy Tank");
    EXPECT_STREQ(itemdef_At(1)->name, "Jeep") << "an empty entry leaves the name";
    EXPECT_EQ(std::string(itemdef_At(2)->name), std::string(63, 'L'));
    EXPECT_STREQ(itemdef_At(3)->name, "Heavy Tank");
    EXPECT_EQ(itemdef_FindByName("heavy tank"), 0);
    text_FreeTable(names);
}

TEST_F(ItemDefTest, ReloadReplacesTheTable) {
    auto first = writeDefs({"begin a", "end", "begin b", "end"}, "one.def");
    auto second = writeDefs({"begin c", "end"}, "two.def");
    ASSERT_EQ(itemdef_Load(first.c_str()), 1);
    ASSERT_EQ(itemdef_Count(), 2);
    ASSERT_EQ(itemdef_Load(second.c_str()), 1);
    ASSERT_EQ(itemdef_Count(), 1);
    EXPECT_STREQ(itemdef_At(0)->name, "c");
}

}  // namespace

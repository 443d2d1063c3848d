// Sunsets: the sunsets.def reader, its fixed table of 64 and the name pass.
#include "gamedata/sky.h"

#include "support/fake_platform.h"
#include "support/core_env.h"
#include "support/text_tables.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class SkyTest : public ::testing::Test {
protected:
    void SetUp() override { sky_Reset(); }
    void TearDown() override { sky_Reset(); }

    std::string writeDefs(const std::vector<std::string>& lines, const char* name = "sunsets.def") {
        std::string text;
        for (const auto& l : lines) text += l + "\r\n";
        return dir.write(name, text);
    }

    ScopedCore core;
    ScopedTempDir dir;
    ScopedFakePlatform fake;
    ScopedTextTable texts{"[Dialog Message]\nBAD_LINE_NUMBER = Bad line %d: %s\nASCII_PARSE = Reading\n"};
};

TEST_F(SkyTest, ReadsEveryField) {
    const std::string longName(80, 's');
    auto path = writeDefs({
        "begin " + longName,
        "id 300",
        "skygrad dusk",
        "clouds heavy.bmp",
        "skyheight 2400",
        "horizon -0.25",
        "gamma 12",
        "SAT 260",
        "r 255",
        "g -1",
        "b 7",
        "end",
        "begin Night",
        "skygrad dusk.bmp",
        "clouds abcdefghijklmnopqrstuvwxyz",
        "end",
    });
    ASSERT_EQ(sky_LoadSunsets(path.c_str()), 1);
    ASSERT_EQ(sky_Count(), 2);
    const Sunset& s = *sky_At(0);
    EXPECT_EQ(std::string(s.name), std::string(63, 's'));
    EXPECT_EQ(s.number, 44);
    EXPECT_STREQ(s.skyGradient, "dusk.tga");
    EXPECT_STREQ(s.clouds, "heavy.pcx");
    EXPECT_EQ(s.skyHeight, 2400);
    EXPECT_EQ(s.horizon, -16384);
    EXPECT_EQ(s.gamma, 12);
    EXPECT_EQ(s.saturation, 4);
    EXPECT_EQ(s.red, 255);
    EXPECT_EQ(s.green, 255);
    EXPECT_EQ(s.blue, 7);
    EXPECT_STREQ(sky_At(1)->skyGradient, "dusk.tga");
    EXPECT_STREQ(sky_At(1)->clouds, "abcdefghijk.pcx") << "the extension always fits";
    EXPECT_EQ(sky_At(2), nullptr);
    EXPECT_TRUE(fake->boxes.empty());
}

TEST_F(SkyTest, MissingFileAndBadLines) {
    EXPECT_EQ(sky_LoadSunsets(dir.file("none.def").c_str()), 0);
    EXPECT_EQ(sky_Count(), 0);
    EXPECT_TRUE(fake->boxes.empty()) << "a missing file is not reported";

    auto path = writeDefs({"begin one", "id 1", "end", "begin two", "fog 3", "end"});
    EXPECT_EQ(sky_LoadSunsets(path.c_str()), 0);
    EXPECT_EQ(sky_Count(), 1) << "the sunset completed before the bad line stays";
    EXPECT_STREQ(sky_At(0)->name, "one");
    ASSERT_EQ(fake->boxes.size(), 1u);
    EXPECT_NE(fake->boxes[0].text.find("Bad line 5"), std::string::npos) << fake->boxes[0].text;
}

TEST_F(SkyTest, SixtyFifthDefinitionIsRefusedAtItsEnd) {
    std::vector<std::string> lines;
    for (int i = 0; i < 65; ++i) {
        lines.push_back("begin sky" + std::to_string(i));
        lines.push_back("id " + std::to_string(i));
        lines.push_back("end");
    }
    auto path = writeDefs(lines);
    EXPECT_EQ(sky_LoadSunsets(path.c_str()), 0);
    EXPECT_EQ(sky_Count(), kSunsetMax);
    EXPECT_STREQ(sky_At(63)->name, "sky63") << "the 65th definition's lines changed nothing";
    EXPECT_EQ(sky_At(63)->number, 63);
    ASSERT_EQ(fake->boxes.size(), 1u);
    EXPECT_NE(fake->boxes[0].text.find("Bad line 195"), std::string::npos) << fake->boxes[0].text;
}

TEST_F(SkyTest, ReloadKeepsFieldsTheFileDoesNotSet) {
    auto first = writeDefs({"begin Dawn", "skyheight 900", "gamma 3", "end"}, "a.def");
    auto second = writeDefs({"begin Dusk", "end"}, "b.def");
    ASSERT_EQ(sky_LoadSunsets(first.c_str()), 1);
    ASSERT_EQ(sky_LoadSunsets(second.c_str()), 1);
    ASSERT_EQ(sky_Count(), 1);
    EXPECT_STREQ(sky_At(0)->name, "Dusk");
    EXPECT_EQ(sky_At(0)->skyHeight, 900);
    EXPECT_EQ(sky_At(0)->gamma, 3);
}

TEST_F(SkyTest, NamePassLoadsThenNamesFromTheTable) {
    auto path = writeDefs({"begin Dawn", "id 5", "end", "begin Dusk", "id 6", "end", "begin Noon", "id 7", "end"});
    TextTable* names = test_TableFromSource(
        "[KZ7 Sunsets]\n"
        "SUNSET005 = Early morning\n"
        "SUNSET007 =\n"
        "[KZ7 Item Names]\n"
        "SUNSET006 = wrong section\n");
    ASSERT_NE(names, nullptr);
    sky_NameSunsets(names, path.c_str());
    ASSERT_EQ(sky_Count(), 3);
    EXPECT_STREQ(sky_At(0)->name, "Early morning");
    EXPECT_STREQ(sky_At(1)->name, "Dusk");
    EXPECT_STREQ(sky_At(2)->name, "Noon");

    sky_Reset();
    sky_NameSunsets(nullptr, path.c_str());
    EXPECT_EQ(sky_Count(), 3) << "without a table the sunsets are still loaded";
    EXPECT_STREQ(sky_At(0)->name, "Dawn");
    text_FreeTable(names);
}

}  // namespace

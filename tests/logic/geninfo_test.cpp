#include "logic/geninfo.h"

#include "core/file.h"
#include "core/text.h"
#include "gamedata/sky.h"
#include "gamedata/terrain.h"
#include "mission/mission.h"
#include "platform/fake_platform.h"
#include "resources/geninfo_dialogs.h"
#include "support/core_env.h"
#include "support/mission_pages.h"
#include "support/text_tables.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

using namespace gi;

namespace {

// Weather names that sort in another order than their codes (2, 1, 0).
constexpr const char* kTexts = R"([Dialog Message]
GENERAL_INFORMATION = General
STATUS = Status
LOADING... = Loading %s
OK = OK
CANCEL = Cancel
[Colors]
GREEN = Green
BROWN = Brown
WHITE = White
ALPHA = Alpha
[Weather]
NICE_DAY = Zephyr
RAIN = Yellow rain
SNOW = Xmas snow
[Weapons]
SOCOM = Socom
SOCOMS = Socom quiet
H&K_P11 = P11
MASTER_KEY = Key
M203 = Launcher
M249 = Gun
BL50 = Fifty
H&K_MP5_SD = Smg
M40A1 = Bolt
UAR = Bullpup
DOUBLE_AMMO = Ammo
SMAW = Rocket
SATCHEL = Satchel
CLAYMORE = Mine
VIDEO_CAMERA = Camera
KEVLAR_VEST = Vest
GHILLIE_SUIT = Ghillie
LARV = Goggles
)";

constexpr const char* kVocab = R"([WinConditions]
STRWINCOND000 = Reach the point
STRWINCOND001 = Blow the bridge
STRWINCOND002 = Free the pilot
[LoseConditions]
STRLOSECOND000 = Pilot dies
STRLOSECOND001 = All dead
)";

// A page whose every field the dialog shows holds a value the dialog can show.
void fillPage(Mission& m) {
    GeneralInfo& i = m.info;
    mission_SetText(i.name, "Night Raid");
    mission_SetText(i.designer, "A. Planner");
    mission_SetText(i.terrain, "Hills");  // the file is hills.trn
    mission_SetText(i.cnv_file, "raid.cnv");
    mission_SetText(i.tt_file, "raid.tt");
    i.terrain_color = 2;
    i.attrib = static_cast<std::int32_t>(0x80000000u | (1u << 27) | (1u << 20) | (1u << 12) | 5u);
    i.visible_if = static_cast<std::int32_t>((1u << 1) | (1u << 30) | (1u << 7));
    i.arty = 3;
    i.water_level = -20;
    i.fog_level = 700;
    i.fog_color = 0x102030;
    i.weather_type = 1;
    i.sunset = 9;
    i.default_equipment = {5, 23, 24, 33};
    i.wind = {30, 270};
    i.subgoals_win = {2, -1, 0, -1};
    i.subgoals_lose = {1, 0, -1, -1};
}

class GeneralInfoTest : public ::testing::Test {
protected:
    ScopedCore core;
    ScopedTempDir dir;
    ScopedFakePlatform ui;
    ScopedTextTable texts{kTexts};
    TextTable* vocab = test_TableFromSource(kVocab);
    std::unique_ptr<Mission> page = test_NewMission();
    std::filesystem::path cwd = std::filesystem::current_path();

    void SetUp() override {
        std::filesystem::current_path(dir.path());
        text_Tables().vocab = vocab;
        sky_Reset();
        SkyState& sky = sky_State();
        const std::pair<const char*, int> suns[] = {{"Noon", 4}, {"Dusk", 9}, {"Dawn", 2}};
        for (const auto& [name, number] : suns) {
            Sunset& s = sky.sunsets[sky.count++];
            std::strcpy(s.name, name);
            s.number = static_cast<std::uint8_t>(number);
        }
        dir.write("hills.trn", "terrain_name Rolling hills\n");
        dir.write("Dunes.TRN", "terrain_name \"Dune sea\"\n");
        terrain_ResetState();
        fillPage(*page);
    }
    void TearDown() override {
        std::filesystem::current_path(cwd);
        text_Tables().vocab = nullptr;
        text_FreeTable(vocab);
        sky_Reset();
        terrain_ResetState();
    }

    // Runs the dialog on the page; the script plays the user, then OK is clicked unless the
    // script ended the dialog.
    int run(const std::function<void(FakeDialog&)>& script = {}) {
        ui->dialogScripts["GENERALINFO"] = [script](FakeDialog& d) {
            if (script) script(d);
            if (!d.ended()) d.click(kIdOk);
        };
        return gi_Run(*page);
    }
    bool reloaded() {
        for (const std::string& line : ui->log)
            if (line.rfind("statusOpen", 0) == 0) return true;
        return false;
    }
};

std::vector<std::string> entries(FakeDialog& d, int id) {
    std::vector<std::string> out;
    for (int i = 0; i < d.entryCount(id); ++i) out.push_back(d.entryText(id, i));
    return out;
}

int indexOf(FakeDialog& d, int id, const std::string& text) {
    for (int i = 0; i < d.entryCount(id); ++i)
        if (d.entryText(id, i) == text) return i;
    ADD_FAILURE() << "no entry " << text;
    return -1;
}

std::string selected(FakeDialog& d, int id) { return d.entryText(id, d.selection(id)); }

}  // namespace

TEST_F(GeneralInfoTest, OpenShowsThePageAndOkWithoutChangesStoresItBack) {
    GeneralInfo before;
    std::memcpy(&before, &page->info, sizeof before);
    EXPECT_EQ(run([](FakeDialog& d) {
                  EXPECT_EQ(d.title(), "General");
                  EXPECT_EQ(d.text(kName), "Night Raid");
                  EXPECT_EQ(d.text(kMissionFile), "raid.tt");
                  // Terrain files sorted; the stored name matches without regard to case or
                  // extension.
                  EXPECT_EQ(entries(d, kTerrain), (std::vector<std::string>{"dunes.trn", "hills.trn"}));
                  EXPECT_EQ(selected(d, kTerrain), "hills.trn");
                  EXPECT_EQ(selected(d, kColour), "White");
                  EXPECT_EQ(entries(d, kWinFirst).size(), 3u);
                  EXPECT_EQ(selected(d, kWinFirst), "Free the pilot");
                  EXPECT_EQ(d.selection(kWinFirst + 1), -1);
                  EXPECT_EQ(d.text(kWinFirst + 1), "");
                  EXPECT_EQ(selected(d, kLoseFirst), "All dead");
                  // Sorted by name, selected by code.
                  EXPECT_EQ(entries(d, kWeather), (std::vector<std::string>{"Xmas snow", "Yellow rain", "Zephyr"}));
                  EXPECT_EQ(selected(d, kWeather), "Yellow rain");
                  EXPECT_EQ(entries(d, kSunset), (std::vector<std::string>{"Dawn", "Dusk", "Noon"}));
                  EXPECT_EQ(selected(d, kSunset), "Dusk");
                  EXPECT_EQ(selected(d, kSidearm), "Socom quiet");
                  EXPECT_EQ(selected(d, kPrimary), "Bolt");
                  EXPECT_EQ(selected(d, kAuxiliary), "Goggles");
                  EXPECT_EQ(d.text(kFogRed), "16");
                  EXPECT_EQ(d.text(kFogGreen), "32");
                  EXPECT_EQ(d.text(kFogBlue), "48");
                  EXPECT_EQ(d.text(kWaterLevel), "-20");
                  EXPECT_EQ(d.text(kWindDirection), "270");
                  EXPECT_EQ(d.check(kFlagball), kChecked);
                  EXPECT_EQ(d.check(kSearchAndDestroy), kChecked);
                  EXPECT_EQ(d.check(kNight), kChecked);
                  EXPECT_EQ(d.check(kWaterLevelBox), kChecked);
                  EXPECT_EQ(d.check(kFogLevelBox), kUnchecked);
                  EXPECT_EQ(d.check(kFogColourBox), kChecked);
                  EXPECT_EQ(d.check(kCampVarFirst), kChecked);        // variable 1
                  EXPECT_EQ(d.check(kCampVarFirst + 6), kChecked);    // variable 7
                  EXPECT_EQ(d.check(kCampVarFirst + 29), kChecked);   // variable 30
                  EXPECT_EQ(d.check(kCampVarFirst + 1), kUnchecked);
                  EXPECT_EQ(d.text(kCampVarFirst + 29), "30");
              }),
              kIdOk);
    EXPECT_EQ(std::memcmp(&before, &page->info, sizeof before), 0) << "OK changed what nobody edited";
    EXPECT_FALSE(reloaded());
}

TEST_F(GeneralInfoTest, NumberFieldsAreReadAndHeldToTheirLimits) {
    struct Case {
        int field;
        const char* typed;
        std::int32_t GeneralInfo::*value;
        int index;  // of the wind pair, else -1
        std::int32_t stored;
    };
    const Case cases[] = {
        {kWindSpeed, "120", nullptr, 0, 45},
        {kWindSpeed, "45", nullptr, 0, 45},
        {kWindSpeed, " 44 ", nullptr, 0, 44},
        {kWindSpeed, "-5", nullptr, 0, 0},
        {kWindSpeed, "12km", nullptr, 0, 0},
        {kWindSpeed, "99999999999", nullptr, 0, 45},
        {kWindDirection, "-5", nullptr, 1, 0},
        {kWindDirection, "400", nullptr, 1, 400},
        {kWindDirection, "", nullptr, 1, 0},
        {kFireMissions, "  -12abc", &GeneralInfo::arty, -1, -12},
        {kFireMissions, "+7", &GeneralInfo::arty, -1, 7},
        {kFireMissions, "none", &GeneralInfo::arty, -1, 0},
        {kWaterLevel, "-99999999999", &GeneralInfo::water_level, -1, INT32_MIN},
        {kFogLevel, "12.9", &GeneralInfo::fog_level, -1, 12},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.typed) + " in control " + std::to_string(c.field));
        fillPage(*page);
        run([&](FakeDialog& d) { d.type(c.field, c.typed); });
        const std::int32_t got = c.value ? page->info.*c.value : page->info.wind[static_cast<std::size_t>(c.index)];
        EXPECT_EQ(got, c.stored);
    }
}

TEST_F(GeneralInfoTest, FogColourFieldsAreTakenModulo256) {
    struct Case {
        const char *red, *green, *blue;
        std::uint32_t stored;
    };
    const Case cases[] = {
        {"300", "0", "255", 0x2C00FFu},
        {"-1", "256", "1", 0xFF0001u},
        {"", "x", "513", 0x000001u},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.red);
        run([&](FakeDialog& d) {
            d.type(kFogRed, c.red);
            d.type(kFogGreen, c.green);
            d.type(kFogBlue, c.blue);
        });
        EXPECT_EQ(static_cast<std::uint32_t>(page->info.fog_color), c.stored);
    }
}

TEST_F(GeneralInfoTest, CheckBoxesChangeOnlyTheirOwnBits) {
    // Flag ball off, cooperative on: bit 12, which the dialog does not show, stays.
    run([](FakeDialog& d) {
        d.toggle(kFlagball);
        d.toggle(kCooperative);
    });
    const std::uint32_t attrib = static_cast<std::uint32_t>(page->info.attrib);
    EXPECT_EQ(attrib, 0x80000000u | (1u << 24) | (1u << 20) | (1u << 12) | 5u);

    // Bit 27 alone from a page with no bits the dialog shows.
    page->info.attrib = static_cast<std::int32_t>((1u << 5) | (1u << 21));
    run([](FakeDialog& d) { d.toggle(kFlagball); });
    EXPECT_EQ(static_cast<std::uint32_t>(page->info.attrib), (1u << 5) | (1u << 21) | (1u << 27));

    // Campaign variables: bits 0 and 31 never survive OK.
    page->info.visible_if = -1;
    run([](FakeDialog& d) {
        for (int v = 0; v < kGiCampVars; ++v) EXPECT_EQ(d.check(kCampVarFirst + v), kChecked);
        for (int v = 0; v < kGiCampVars; ++v) d.toggle(kCampVarFirst + v);
    });
    EXPECT_EQ(page->info.visible_if, 0);
    page->info.visible_if = -1;
    run();
    EXPECT_EQ(static_cast<std::uint32_t>(page->info.visible_if), 0x7FFFFFFEu);
}

TEST_F(GeneralInfoTest, ListsStoreTheCodesOfTheChosenEntries) {
    run([](FakeDialog& d) {
        d.choose(kWeather, indexOf(d, kWeather, "Zephyr"));
        d.choose(kSunset, indexOf(d, kSunset, "Noon"));
        d.choose(kColour, 3);
        d.choose(kSidearm, indexOf(d, kSidearm, "P11"));
        d.choose(kSecondary, indexOf(d, kSecondary, "Camera"));
        d.choose(kWinFirst + 1, 1);
        d.type(kWinFirst, "Free the pilot");   // spelled exactly: that entry
        d.type(kWinFirst + 2, "free the pilot");  // not an entry: none
        d.type(kLoseFirst, "");
    });
    const GeneralInfo& i = page->info;
    EXPECT_EQ(i.weather_type, 0);
    EXPECT_EQ(i.sunset, 4);
    EXPECT_EQ(i.terrain_color, 3);
    EXPECT_EQ(i.default_equipment[0], 28);
    EXPECT_EQ(i.default_equipment[2], 36);
    EXPECT_EQ(i.subgoals_win, (std::array<std::int8_t, 4>{2, 1, -1, -1}));
    EXPECT_EQ(i.subgoals_lose, (std::array<std::int8_t, 4>{-1, 0, -1, -1}));
}

TEST_F(GeneralInfoTest, ValuesNoEntryCarries) {
    GeneralInfo& i = page->info;
    i.default_equipment = {7, 0, -3, 99};  // a sidearm of 7 shows the first entry
    i.weather_type = 5;
    i.terrain_color = 9;
    i.sunset = 200;
    i.subgoals_win = {3, 100, -1, -1};  // past the three conditions
    run([](FakeDialog& d) {
        EXPECT_EQ(selected(d, kSidearm), "Socom");
        EXPECT_EQ(d.selection(kWeather), -1);
        EXPECT_EQ(d.selection(kColour), -1);
        EXPECT_EQ(selected(d, kSunset), "Dawn");
        EXPECT_EQ(d.selection(kWinFirst), -1);
    });
    EXPECT_EQ(i.default_equipment, (std::array<std::int32_t, 4>{6, 10, 1, 1}));
    EXPECT_EQ(i.weather_type, -1);
    EXPECT_EQ(i.terrain_color, 9) << "a colour code the list cannot show is kept";
    EXPECT_EQ(i.sunset, 2);
    EXPECT_EQ(i.subgoals_win, (std::array<std::int8_t, 4>{-1, -1, -1, -1}));

    // Without a vocabulary table the sub-goal lists are empty and store none.
    text_Tables().vocab = nullptr;
    fillPage(*page);
    run([](FakeDialog& d) { EXPECT_EQ(d.entryCount(kLoseFirst), 0); });
    EXPECT_EQ(page->info.subgoals_win, (std::array<std::int8_t, 4>{-1, -1, -1, -1}));
    EXPECT_EQ(page->info.subgoals_lose, (std::array<std::int8_t, 4>{-1, -1, -1, -1}));
}

TEST_F(GeneralInfoTest, TextFieldsAreCutToTheirFields) {
    const std::string longName(120, 'n');
    run([&](FakeDialog& d) {
        d.type(kName, longName);
        d.type(kDesigner, "");
        d.type(kDialogFile, "abcdefghijklmnop");
    });
    EXPECT_EQ(mission_Text(page->info.name), longName.substr(0, kGiNameMax));
    EXPECT_EQ(mission_Text(page->info.designer), "");
    EXPECT_EQ(mission_Text(page->info.cnv_file), "abcdefghijkl");
}

TEST_F(GeneralInfoTest, OnlyAnotherTerrainReloads) {
    // The same terrain in other letters: nothing reloads and the stored name stays.
    mission_SetText(page->info.terrain, "HILLS.TRN");
    run();
    EXPECT_FALSE(reloaded());
    EXPECT_EQ(mission_Text(page->info.terrain), "HILLS.TRN");
    EXPECT_EQ(page->terrain, nullptr);

    // Another terrain loads under the status box, which is gone again afterwards.
    run([](FakeDialog& d) { d.choose(kTerrain, indexOf(d, kTerrain, "dunes.trn")); });
    EXPECT_EQ(mission_Text(page->info.terrain), "dunes.trn");
    ASSERT_NE(page->terrain, nullptr);
    EXPECT_STREQ(terrain_State().def.terrain_name, "Dune sea");
    const std::vector<std::string> status = {"Loading dunes.trn"};
    EXPECT_EQ(ui->statusLines, status);
    EXPECT_EQ(ui->log.back(), "statusClose");

    // Cancel: nothing stored, nothing loaded.
    ui->log.clear();
    page->info.wind[0] = 3;
    run([](FakeDialog& d) {
        d.choose(kTerrain, indexOf(d, kTerrain, "hills.trn"));
        d.type(kWindSpeed, "9");
        d.click(kIdCancel);
    });
    EXPECT_FALSE(reloaded());
    EXPECT_EQ(mission_Text(page->info.terrain), "dunes.trn");
    EXPECT_EQ(page->info.wind[0], 3);
}

TEST_F(GeneralInfoTest, AStoredTerrainWithoutAFileIsClearedOnOk) {
    mission_SetText(page->info.terrain, "gone");
    run([](FakeDialog& d) { EXPECT_EQ(d.selection(kTerrain), -1); });
    EXPECT_EQ(mission_Text(page->info.terrain), "");
    EXPECT_TRUE(reloaded());

    // No terrain files at all: an empty list, and an empty name stays empty without a load.
    std::filesystem::remove(dir.path() / "hills.trn");
    std::filesystem::remove(dir.path() / "Dunes.TRN");
    dir.write("much-too-long-a-name.trn", "");  // could never be stored whole
    ui->log.clear();
    run([](FakeDialog& d) { EXPECT_EQ(d.entryCount(kTerrain), 0); });
    EXPECT_FALSE(reloaded());
}

TEST(GeneralInfoParse, UnsignedFieldsTakeDigitsOnly) {
    EXPECT_EQ(gi_ParseUnsigned("4294967295"), 4294967295u);
    EXPECT_EQ(gi_ParseUnsigned("4294967296"), 4294967295u);
    EXPECT_EQ(gi_ParseUnsigned("+5"), 0u);
    EXPECT_EQ(gi_ParseUnsigned("\t17\n"), 17u);
    EXPECT_EQ(gi_ParseUnsigned("1 7"), 0u);
    EXPECT_EQ(gi_ParseInt("2147483648"), INT32_MAX);
    EXPECT_EQ(gi_ParseInt("-"), 0);
    EXPECT_TRUE(gi_SameTerrain("Alps", "alps.trn"));
    EXPECT_TRUE(gi_SameTerrain("alps.old", "ALPS"));
    EXPECT_FALSE(gi_SameTerrain("alps", "alpsx.trn"));
    EXPECT_FALSE(gi_SameTerrain("", "alps.trn"));
}

#include "logic/geninfo.h"

#include "core/text.h"
#include "gamedata/reset.h"
#include "gamedata/sky.h"
#include "gamedata/terrain.h"
#include "mission/mission.h"
#include "support/fake_platform.h"
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
constexpr const char* kTexts =
    "[Dialog Message]\nSTATUS = Status\nLOADING... = Loading %s\nNO_SUBGOAL = (none)\n"
    "[Weather]\nNICE_DAY = Zephyr\nRAIN = Yellow rain\nSNOW = Xmas snow\n";
constexpr const char* kVocab =
    "[WinConditions]\nSTRWINCOND000 = Reach\nSTRWINCOND001 = Blow\nSTRWINCOND002 = Free the pilot\n"
    "[LoseConditions]\nSTRLOSECOND000 = Pilot dies\nSTRLOSECOND001 = All dead\n";

using Codes = std::array<std::int8_t, 4>;

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
        dir.write("hills.trn", "");
        dir.write("Dunes.TRN", "terrain_name \"Dune sea\"\n");
        text_Tables().vocab = vocab;
        sky_Reset();
        for (const auto& [name, number] : {std::pair{"Noon", 4}, {"Dusk", 9}, {"Dawn", 2}}) {
            Sunset& s = sky_State().sunsets[sky_State().count++];
            std::strcpy(s.name, name);
            s.number = static_cast<std::uint8_t>(number);
        }
        // Values the dialog can all show.
        GeneralInfo& i = page->info;
        mission_SetText(i.name, "Night Raid");
        mission_SetText(i.terrain, "Hills");  // the file hills.trn
        i.terrain_color = 2;
        i.attrib = static_cast<std::int32_t>(0x80000000u | (1u << 27) | (1u << 20) | (1u << 12) | 5u);
        i.visible_if = (1 << 1) | (1 << 30) | (1 << 7);
        i.fog_color = 0x102030;
        i.weather_type = 1;
        i.sunset = 9;
        i.default_equipment = {5, 23, 24, 33};
        i.wind = {30, 270};
        i.subgoals_win = {2, -1, 0, -1};
        i.subgoals_lose = {1, 0, -1, -1};
    }
    void TearDown() override {
        std::filesystem::current_path(cwd);
        text_Tables().vocab = nullptr;
        text_FreeTable(vocab);
        gamedata_ResetLayer();
    }
    // Runs the dialog on the page: the script plays the user, then OK unless it ended it.
    int run(const std::function<void(FakeDialog&)>& script = {}) {
        ui->dialogScripts["GENERALINFO"] = [script](FakeDialog& d) {
            if (script) script(d);
            if (!d.ended()) d.click(kIdOk);
        };
        return geninfo_Run(*page);
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

int withData(FakeDialog& d, int id, std::int64_t data) {
    for (int i = 0; i < d.entryCount(id); ++i)
        if (d.entryData(id, i) == data) return i;
    return -1;
}

}  // namespace

TEST_F(GeneralInfoTest, OpenShowsThePageAndOkWithoutChangesStoresItBack) {
    GeneralInfo before;
    std::memcpy(&before, &page->info, sizeof before);
    EXPECT_EQ(run([](FakeDialog& d) {
                  // The stored "Hills" is the file hills.trn.
                  EXPECT_EQ(entries(d, kTerrain), (std::vector<std::string>{"dunes.trn", "hills.trn"}));
                  EXPECT_EQ(d.selection(kTerrain), 1);
                  EXPECT_EQ(d.entryText(kWeather, d.selection(kWeather)), "Yellow rain");
                  EXPECT_EQ(d.entryText(kSunset, d.selection(kSunset)), "Dusk");
                  EXPECT_EQ(d.text(kWinFirst), "Free the pilot");
                  EXPECT_EQ(d.text(kWinFirst + 1), "(none)");  // -1: the entry that chooses none
                  EXPECT_EQ(d.text(kFogRed) + d.text(kFogGreen) + d.text(kFogBlue), "163248");
                  EXPECT_EQ(d.check(kSearchAndDestroy), kChecked);
                  EXPECT_EQ(d.check(kCampVarFirst + 29), kChecked);
                  EXPECT_EQ(d.check(kCampVarFirst + 1), kUnchecked);
              }),
              kIdOk);
    EXPECT_EQ(std::memcmp(&before, &page->info, sizeof before), 0) << "OK changed what nobody edited";
    EXPECT_FALSE(reloaded());
}

TEST_F(GeneralInfoTest, AnEditedFogByteRebuildsTheColourFromItsThreeFields) {
    struct Case {
        int field;
        const char* typed;
        std::int32_t want;
    };
    for (const Case& c :
         {Case{kFogRed, "255", 0xFF2030}, Case{kFogGreen, " 0", 0x100030}, Case{kFogBlue, "7", 0x102007}}) {
        SCOPED_TRACE(c.typed);
        page->info.fog_color = 0x7F102030;  // a high byte no field shows goes with the edit
        run([&](FakeDialog& d) { d.type(c.field, c.typed); });
        EXPECT_EQ(page->info.fog_color, c.want);
    }
}

TEST_F(GeneralInfoTest, BoxesChangeOnlyTheirOwnBits) {
    page->info.attrib = (1 << 5) | (1 << 21);
    run([](FakeDialog& d) { d.toggle(kFlagball); });
    EXPECT_EQ(page->info.attrib, (1 << 5) | (1 << 21) | (1 << 27));

    // Bits 0 and 31 of the campaign variables never survive OK.
    page->info.visible_if = -1;
    run();
    EXPECT_EQ(static_cast<std::uint32_t>(page->info.visible_if), 0x7FFFFFFEu);
    run([](FakeDialog& d) {
        for (int v = 0; v < kGiCampVars; ++v) d.toggle(kCampVarFirst + v);
    });
    EXPECT_EQ(page->info.visible_if, 0);
}

TEST_F(GeneralInfoTest, ListsStoreTheCodesOfTheChosenEntries) {
    run([](FakeDialog& d) {
        d.choose(kWeather, 2);  // sorted last: "Zephyr", code 0
        d.choose(kSunset, 2);   // sorted last: "Noon", number 4
        d.choose(kColour, 3);
        d.choose(kSidearm, withData(d, kSidearm, 28));
        d.choose(kWinFirst + 1, 2);               // after "(none)" and code 0: code 1
        d.type(kWinFirst, "Free the pilot");      // spelled exactly: that entry
        d.type(kWinFirst + 2, "free the pilot");  // no entry's text: none
        d.type(kLoseFirst, "");
    });
    const GeneralInfo& i = page->info;
    EXPECT_EQ(i.weather_type, 0);
    EXPECT_EQ(i.sunset, 4);
    EXPECT_EQ(i.terrain_color, 3);
    EXPECT_EQ(i.default_equipment, (std::array<std::int32_t, 4>{28, 23, 24, 33}));
    EXPECT_EQ(i.subgoals_win, (Codes{2, 1, -1, -1}));
    EXPECT_EQ(i.subgoals_lose, (Codes{-1, 0, -1, -1}));
}

TEST_F(GeneralInfoTest, ValuesNoEntryCarries) {
    GeneralInfo& i = page->info;
    i.default_equipment = {7, 0, -3, 99};  // each list falls back on its first entry
    i.weather_type = 5;
    i.terrain_color = 9;
    i.sunset = 200;
    i.subgoals_win = {3, 100, -1, -1};  // past the three conditions
    run([](FakeDialog& d) {
        EXPECT_EQ(d.selection(kWeather), -1);
        EXPECT_EQ(d.selection(kColour), -1);
        EXPECT_EQ(d.selection(kWinFirst), -1);
    });
    EXPECT_EQ(i.default_equipment, (std::array<std::int32_t, 4>{6, 10, 1, 1}));
    EXPECT_EQ(i.weather_type, -1);
    EXPECT_EQ(i.terrain_color, 9) << "a colour code the list cannot show is kept";
    EXPECT_EQ(i.sunset, 2);
    EXPECT_EQ(i.subgoals_win, (Codes{-1, -1, -1, -1}));

    // No vocabulary table: sub-goal lists with nothing but "(none)", none stored.
    text_Tables().vocab = nullptr;
    i.subgoals_lose = {0, 1, 0, 1};
    run([](FakeDialog& d) { EXPECT_EQ(d.entryCount(kLoseFirst), 1); });
    EXPECT_EQ(i.subgoals_lose, (Codes{-1, -1, -1, -1}));
}

TEST_F(GeneralInfoTest, OnlyAnotherTerrainReloads) {
    // The same terrain in other letters: nothing reloads and the stored name stays.
    mission_SetText(page->info.terrain, "HILLS.TRN");
    run();
    EXPECT_FALSE(reloaded());
    EXPECT_EQ(mission_Text(page->info.terrain), "HILLS.TRN");

    // Another one loads under the status box, which is gone again afterwards.
    run([](FakeDialog& d) { d.choose(kTerrain, 0); });
    EXPECT_EQ(mission_Text(page->info.terrain), "dunes.trn");
    ASSERT_NE(page->terrain, nullptr);
    EXPECT_STREQ(terrain_State().def.terrain_name, "Dune sea");
    EXPECT_EQ(ui->statusLines, std::vector<std::string>{"Loading dunes.trn"});
    EXPECT_EQ(ui->log.back(), "statusClose");

    // Cancel stores and loads nothing.
    ui->log.clear();
    run([](FakeDialog& d) {
        d.choose(kTerrain, 1);
        d.type(kWindSpeed, "9");
        d.click(kIdCancel);
    });
    EXPECT_FALSE(reloaded());
    EXPECT_EQ(mission_Text(page->info.terrain), "dunes.trn");
    EXPECT_EQ(page->info.wind[0], 30);

    // A stored terrain without a file selects nothing; OK clears it.
    mission_SetText(page->info.terrain, "gone");
    std::filesystem::remove(dir.path() / "hills.trn");
    std::filesystem::remove(dir.path() / "Dunes.TRN");
    dir.write("much-too-long-a-name.trn", "");  // could never be stored whole
    run([](FakeDialog& d) { EXPECT_EQ(d.entryCount(kTerrain), 0); });
    EXPECT_EQ(mission_Text(page->info.terrain), "");
    EXPECT_FALSE(reloaded());  // nothing to load, so no status box
}

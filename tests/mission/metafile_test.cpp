#include "mission/metafile.h"

#include "gamedata/itemdef.h"
#include "mission/mission.h"
#include "support/fake_platform.h"
#include "support/files_env.h"
#include "support/text_tables.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

std::tm fixedTime() {
    std::tm t{};
    t.tm_year = 2021 - 1900;
    t.tm_mon = 2;
    t.tm_mday = 4;
    t.tm_hour = 5;
    t.tm_min = 7;
    return t;
}

MetafileReadOptions noTerrain() {
    MetafileReadOptions o;
    o.loadTerrain = false;
    return o;
}

// A text of exactly n characters that varies with seed and holds blanks and commas, so the
// quoting is exercised; never a double quote, which the format cannot carry.
std::string textOf(std::size_t n, int seed) {
    static const char kChars[] = "abcdefghijklmnopqrstuvwxyz ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789,.-_()!?#";
    std::string s;
    for (std::size_t i = 0; i < n; ++i) s += kChars[(i * 7 + std::size_t(seed) * 13) % (sizeof kChars - 1)];
    if (n > 0) s[0] = 'T';  // a text starting with a blank or ending in one still reads back; keep it simple
    return s;
}

// Every table filled to its capacity, every written field non-zero somewhere, and the fields
// that are never written set too, so a read that picked them up would show.
void fillEverything(Mission& m) {
    GeneralInfo& g = m.info;
    mission_SetText(g.name, textOf(79, 1));
    mission_SetText(g.designer, textOf(79, 2));
    mission_SetText(g.terrain, "Valley_Of_Oaks9");
    mission_SetText(g.cnv_file, "dialog_one.cnv");
    mission_SetText(g.tt_file, "mission_one.tt");
    g.terrain_color = 2;
    g.attrib = 0x7FFF0001;
    g.visible_if = 6;
    g.notvisible_if = -8;
    g.arty = 3;
    g.water_level = -1200;
    g.fog_level = 77;
    g.fog_color = 0x00A0B0C0;
    g.weather_type = 2;
    g.sunset = 5;
    g.default_equipment = {11, 22, 33, 44};
    g.wind = {45, 270};
    g.lowest_elev = -2147483647 - 1;
    for (int i = 0; i < 8; ++i) {
        g.wp_names_blue[std::size_t(i)] = 100 + i;
        g.wp_names_red[std::size_t(i)] = -200 - i;
    }
    g.subgoals_win = {-1, 0, 127, -128};
    g.subgoals_lose = {5, -1, -1, 3};
    std::string brief = textOf(255, 3);
    brief[10] = '\n';
    brief[99] = '\n';
    brief[100] = '|';
    brief[200] = '\n';
    mission_SetText(g.briefing, brief);
    // Not written: these must not come back.
    g.hidden_layers = 0xF0;
    g.current_layer = 3;
    m.loadout = {1, 2, 3, 4, 5, 6};
    m.time_limit = 99;
    m.tank_loadout = 7;
    m.wind_list.push_back(WindEntry{});

    static const std::int32_t kTypes[] = {kTestPersonType, kTestVehicleType, kTestDecorType,      kTestBuildingType,
                                          kTestObjectType, kTestFlagType,    kWaypointMarkerType, kAreaMarkerType};
    m.item_count = kMaxItems;
    for (int i = 0; i < kMaxItems; ++i) {
        MissionItem& it = m.items[std::size_t(i)];
        it = MissionItem{};
        it.type_id = kTypes[i % 8];
        it.id = 1 + i * 3;
        it.x = i * 2561 - 6000000;
        it.y = -i * 977;
        it.z = i % 5 ? i : 0;
        it.heading = i % 7 ? (i * 13) % 720 - 360 : 0;
        it.pitch = i % 7 ? (i % 180) - 90 : 0;
        it.team = i % 5;
        it.map_symbol = i % 9;
        it.bmsi_attributes = i * 31;
        it.nolessthan = i % 17;
        it.nomorethan = i % 19;
        it.name_index = i % 300;
        it.weapon_type = i % 11;
        it.sweapon_type = i % 4;
        it.group_id = i % 64;
        it.group_rel = i % 3 - 1;
        it.waypoint_id = 1 + i % 127;
        it.wpnumber = it.type_id == kAreaMarkerType ? 1 + i % 99 : i % 40;
        it.wpdistance = 4 + i % 3;
        it.ttoolindex = i % 12;
        it.fov = 180 - i % 90;
        it.alert_state = i % 3;
        it.obliqueness = 15 + i % 2;
        it.waccuracy = i % 101;
        it.perception = 100 - i % 50;
        it.perfectionist = i % 7 * 10;
        it.movetimer = 3;
        it.crouchtimer = i % 4;
        it.shoottimer = 5;
        it.attention = 30 + i % 2;
        it.advancetimer = 10;
        it.edistances = {i % 6 ? 16 : 0, i % 6 ? 1024 + i : 0};
        it.attributes = i % 10 ? 0 : i;
        it.layer = i % 16;
        // Never written:
        std::memcpy(it.bumper, "BMPR", 4);
        it.camo_type = 1;
        it.speed = 2;
        it.hidden = 1;
        it.loadout = {1, 2, 3, 4, 5};
    }
    for (int n = 1; n < kMaxWaypoints; ++n) {
        Waypoint& w = m.waypoints[std::size_t(n)];
        mission_SetText(w.description, textOf(std::size_t(n % 3 == 0 ? kWaypointDescInputMax : n), n));
        w.color = n % 17;
        w.attrib = n % 8;
    }
    for (int n = 1; n < kMaxGroups; ++n) {
        Group& gr = m.groups[std::size_t(n)];
        mission_SetText(gr.description, textOf(std::size_t(n == 5 ? 255 : n + 1), n + 1000));
        gr.attrib = n % 4;
        gr.color = n % 17;
        gr.commander = n * 3;
    }
    for (int n = 1; n < kMaxAreaTriggers; ++n) {
        AreaTrigger& a = m.area_triggers[std::size_t(n)];
        mission_SetText(a.description, textOf(std::size_t(n == 9 ? 255 : n), n + 2000));
        a.attrib = n % 5;
        a.color = n % 17;
    }
    for (int n = 1; n < kMaxWavLists; ++n) {
        WavList& w = m.wav_lists[std::size_t(n)];
        mission_SetText(w.description, textOf(std::size_t(n * 8), n + 3000));
        mission_SetText(w.file_name, textOf(std::size_t(n == 1 ? 39 : 12), n + 4000));
    }
    for (int n = 0; n < kMaxLayers; ++n)
        mission_SetText(m.layers[std::size_t(n)].description, textOf(std::size_t(n + 1), n + 5000));
    m.event_count = kMaxEvents;
    for (int e = 0; e < kMaxEvents; ++e) {
        MissionEvent& ev = m.events[std::size_t(e)];
        mission_SetText(ev.name, textOf(e == 0 ? 63 : std::size_t(1 + e % 40), e + 6000));
        ev.attrib = e % 8;
        ev.reset_value = e % 3 ? e : 0;
        ev.delay_value = e * 2;
        ev.trigger_count = kEventMaxTriggers;
        ev.action_count = kEventMaxActions;
        for (int r = 0; r < kEventMaxTriggers; ++r) {
            const std::int32_t b = e * 100 + r * 10;
            ev.triggers[std::size_t(r)] = EventTrigger{b, r % 6, b + 2, b + 3, -(b + 4), b + 5, b + 6, b + 7};
            ev.actions[std::size_t(r)] = EventAction{-b, b + 1, b + 2, b + 3, b + 4, b + 5, b + 6, b + 7};
        }
    }
}

// The page that reading back must give: the written fields as they were, the derived ones
// recomputed, everything else cleared.
#define EXPECT_FIELD(f) EXPECT_EQ(got.f, want.f) << "item " << i << " field " #f
void expectItemsRoundTrip(const Mission& orig, const Mission& back) {
    ASSERT_EQ(back.item_count, orig.item_count);
    for (int i = 0; i < orig.item_count; ++i) {
        const MissionItem& want = orig.items[std::size_t(i)];
        const MissionItem& got = back.items[std::size_t(i)];
        EXPECT_FIELD(type_id);
        EXPECT_FIELD(id);
        EXPECT_FIELD(x);
        EXPECT_FIELD(y);
        EXPECT_FIELD(z);
        EXPECT_FIELD(heading);
        EXPECT_FIELD(pitch);
        EXPECT_FIELD(team);
        EXPECT_FIELD(map_symbol);
        EXPECT_FIELD(bmsi_attributes);
        EXPECT_FIELD(nolessthan);
        EXPECT_FIELD(nomorethan);
        EXPECT_FIELD(name_index);
        EXPECT_FIELD(weapon_type);
        EXPECT_FIELD(sweapon_type);
        EXPECT_FIELD(group_id);
        EXPECT_FIELD(group_rel);
        EXPECT_FIELD(waypoint_id);
        EXPECT_FIELD(wpnumber);
        EXPECT_FIELD(wpdistance);
        EXPECT_FIELD(ttoolindex);
        EXPECT_FIELD(fov);
        EXPECT_FIELD(alert_state);
        EXPECT_FIELD(obliqueness);
        EXPECT_FIELD(movetimer);
        EXPECT_FIELD(crouchtimer);
        EXPECT_FIELD(shoottimer);
        EXPECT_FIELD(attention);
        EXPECT_FIELD(advancetimer);
        EXPECT_FIELD(waccuracy);
        EXPECT_FIELD(perception);
        EXPECT_FIELD(perfectionist);
        EXPECT_FIELD(edistances[0]);
        EXPECT_FIELD(edistances[1]);
        EXPECT_FIELD(attributes);
        EXPECT_FIELD(layer);
        // Derived on reading.
        EXPECT_EQ(got.kind, itemdef_At(mission_DefIndex(got))->type) << i;
        // Never written.
        EXPECT_EQ(got.hidden, 0) << i;
        EXPECT_EQ(got.camo_type, 0) << i;
        EXPECT_EQ(std::string_view(got.bumper, 4), std::string_view("\0\0\0\0", 4)) << i;
        if (::testing::Test::HasFailure()) return;  // one broken item is enough to read
    }
}
#undef EXPECT_FIELD

}  // namespace

// ---------------------------------------------------------------------------------------
// Writing and reading back

TEST(MetafileRoundTrip, EveryTableFullReadsBackEqual) {
    FilesEnv env;
    ScopedFakePlatform fake;
    auto orig = files_NewMission();
    fillEverything(*orig);
    const std::string path = env.path("full.mis");
    ASSERT_EQ(metafile_Write(*orig, path.c_str()), 1);

    auto back = files_NewMission();
    ASSERT_EQ(metafile_Read(*back, path.c_str(), noTerrain()), 1) << (fake->boxes.empty() ? "" : fake->boxes[0].text);
    EXPECT_TRUE(fake->boxes.empty());

    const GeneralInfo& a = orig->info;
    const GeneralInfo& b = back->info;
    EXPECT_EQ(mission_Text(b.name), mission_Text(a.name));
    EXPECT_EQ(mission_Text(b.designer), mission_Text(a.designer));
    EXPECT_EQ(mission_Text(b.terrain), mission_Text(a.terrain));
    EXPECT_EQ(mission_Text(b.cnv_file), mission_Text(a.cnv_file));
    EXPECT_EQ(mission_Text(b.tt_file), mission_Text(a.tt_file));
    EXPECT_EQ(b.terrain_color, a.terrain_color);
    EXPECT_EQ(b.attrib, a.attrib);
    EXPECT_EQ(b.visible_if, a.visible_if);
    EXPECT_EQ(b.notvisible_if, a.notvisible_if);
    EXPECT_EQ(b.arty, a.arty);
    EXPECT_EQ(b.water_level, a.water_level);
    EXPECT_EQ(b.fog_level, a.fog_level);
    EXPECT_EQ(b.fog_color, a.fog_color);
    EXPECT_EQ(b.weather_type, a.weather_type);
    EXPECT_EQ(b.sunset, a.sunset);
    EXPECT_EQ(b.default_equipment, a.default_equipment);
    EXPECT_EQ(b.wind, a.wind);
    EXPECT_EQ(b.lowest_elev, a.lowest_elev);
    EXPECT_EQ(b.wp_names_blue, a.wp_names_blue);
    EXPECT_EQ(b.wp_names_red, a.wp_names_red);
    EXPECT_EQ(b.subgoals_win, a.subgoals_win);
    EXPECT_EQ(b.subgoals_lose, a.subgoals_lose);
    // The briefing keeps its line breaks; a "|" of its own comes back as a line break, since
    // the file carries line breaks as "|".
    std::string brief(mission_Text(a.briefing));
    ASSERT_EQ(brief.size(), 255u);
    for (char& c : brief)
        if (c == '|') c = '\n';
    EXPECT_EQ(mission_Text(b.briefing), brief);
    // Kept in memory only.
    EXPECT_EQ(b.hidden_layers, 0u);
    EXPECT_EQ(b.current_layer, 0);
    EXPECT_EQ(back->time_limit, 0);
    EXPECT_TRUE(back->wind_list.empty());

    expectItemsRoundTrip(*orig, *back);

    for (int n = 1; n < kMaxWaypoints; ++n) {
        const Waypoint& w = orig->waypoints[std::size_t(n)];
        const Waypoint& r = back->waypoints[std::size_t(n)];
        EXPECT_EQ(mission_Text(r.description), mission_Text(w.description)) << n;
        EXPECT_EQ(r.color, w.color) << n;
        EXPECT_EQ(r.attrib, w.attrib) << n;
    }
    for (int n = 1; n < kMaxGroups; ++n) {
        const Group& w = orig->groups[std::size_t(n)];
        const Group& r = back->groups[std::size_t(n)];
        EXPECT_EQ(mission_Text(r.description), mission_Text(w.description)) << n;
        EXPECT_EQ(r.attrib, w.attrib) << n;
        EXPECT_EQ(r.color, w.color) << n;
        EXPECT_EQ(r.commander, w.commander) << n;
    }
    for (int n = 1; n < kMaxAreaTriggers; ++n) {
        const AreaTrigger& w = orig->area_triggers[std::size_t(n)];
        const AreaTrigger& r = back->area_triggers[std::size_t(n)];
        EXPECT_EQ(mission_Text(r.description), mission_Text(w.description)) << n;
        EXPECT_EQ(r.attrib, w.attrib) << n;
        EXPECT_EQ(r.color, w.color) << n;
    }
    for (int n = 1; n < kMaxWavLists; ++n) {
        EXPECT_EQ(mission_Text(back->wav_lists[std::size_t(n)].description),
                  mission_Text(orig->wav_lists[std::size_t(n)].description))
            << n;
        EXPECT_EQ(mission_Text(back->wav_lists[std::size_t(n)].file_name),
                  mission_Text(orig->wav_lists[std::size_t(n)].file_name))
            << n;
    }
    for (int n = 0; n < kMaxLayers; ++n)
        EXPECT_EQ(mission_Text(back->layers[std::size_t(n)].description),
                  mission_Text(orig->layers[std::size_t(n)].description))
            << n;
    ASSERT_EQ(back->event_count, kMaxEvents);
    for (int e = 0; e < kMaxEvents; ++e) {
        const MissionEvent& w = orig->events[std::size_t(e)];
        const MissionEvent& r = back->events[std::size_t(e)];
        EXPECT_EQ(mission_Text(r.name), mission_Text(w.name)) << e;
        EXPECT_EQ(r.attrib, w.attrib) << e;
        EXPECT_EQ(r.reset_value, w.reset_value) << e;
        EXPECT_EQ(r.delay_value, w.delay_value) << e;
        ASSERT_EQ(r.trigger_count, kEventMaxTriggers) << e;
        ASSERT_EQ(r.action_count, kEventMaxActions) << e;
        EXPECT_EQ(std::memcmp(&r.triggers, &w.triggers, sizeof w.triggers), 0) << e;
        EXPECT_EQ(std::memcmp(&r.actions, &w.actions, sizeof w.actions), 0) << e;
    }

    // Writing what was read gives the same file again (the header date aside).
    EXPECT_EQ(metafile_Format(*back, fixedTime()), metafile_Format(*orig, fixedTime()));
}

TEST(MetafileRoundTrip, ItemsWithoutIdsGetFreshIdsAboveEveryIdInTheFile) {
    FilesEnv env;
    ScopedFakePlatform fake;
    const std::string path = env.write("ids.mis",
                                       "begin general_information\nnum_items 4\nend\n"
                                       "begin item 0\ntype_id 1001\nend\n"
                                       "begin item 1\nid 40\ntype_id 1001\nend\n"
                                       "begin item 3\nid 7\nend\n");
    auto m = files_NewMission();
    ASSERT_EQ(metafile_Read(*m, path.c_str(), noTerrain()), 1);
    // Item 2 has no block: nothing is made up for it, the items after it close up.
    ASSERT_EQ(m->item_count, 3);
    EXPECT_EQ(m->items[0].id, 41);
    EXPECT_EQ(m->items[1].id, 40);
    EXPECT_EQ(m->items[2].id, 7);
    EXPECT_EQ(m->items[0].kind, kItemPerson);
}

// ---------------------------------------------------------------------------------------
// The written format

TEST(MetafileFormat, ClearedMissionWritesHeaderGeneralBlockAndDefaultGroupsOnly) {
    FilesEnv env;
    auto m = files_NewMission();
    const std::string groupName(mission_Text(m->groups[1].description));
    const std::string expected =
        "// mission metafile, saved on 3/4/2021, 5: 7\r\n\r\n\r\n"
        "begin general_information\r\n"
        "name \"\"\r\ndesigner \"\"\r\nterrain \r\ncnv_file \r\ntt_file \r\n"
        "terrain_color 0\r\nattrib 0\r\nvisible_if 0\r\nnotvisible_if 0\r\narty 0\r\nwater_level 0\r\n"
        "fog_level 0\r\nfog_color 0\r\nweather_type 0\r\nlowest_elev 0\r\nnum_items 0\r\nnum_events 0\r\n"
        "subgoals_win 0 0 0 0\r\nsubgoals_lose 0 0 0 0\r\nsunset 0\r\ndefault_equipment 0 0 0 0\r\nwind 0 0\r\n"
        "wp_names_blue 0 0 0 0 0 0 0 0\r\nwp_names_red 0 0 0 0 0 0 0 0\r\n"
        "end general_information\r\n\r\n"
        "begin group 1\r\ndescription \"" +
        groupName +
        "\"\r\nend group\r\n\r\n"
        "begin group 2\r\ndescription \"" +
        std::string(mission_Text(m->groups[2].description)) + "\"\r\nend group\r\n\r\n";
    EXPECT_EQ(metafile_Format(*m, fixedTime()), expected);
}

TEST(MetafileFormat, ColumnOrdersFacingAndOmittedZeroLines) {
    FilesEnv env;
    auto m = files_NewMission();
    m->info.default_equipment = {1, 2, 3, 4};
    m->event_count = 1;
    m->events[0].action_count = 1;
    m->events[0].actions[0] = EventAction{0, 1, 2, 3, 4, 5, 6, 7};
    m->events[0].trigger_count = 1;
    m->events[0].triggers[0] = EventTrigger{0, 1, 2, 3, 4, 5, 6, 7};
    const std::int32_t flat = files_Add(*m, kTestDecorType);
    const std::int32_t tilted = files_Add(*m, kTestDecorType);
    m->items[std::size_t(tilted)].pitch = 10;
    m->waypoints[7].color = 5;  // no description and no marker: not written
    const std::string s = metafile_Format(*m, fixedTime());
    EXPECT_NE(s.find("default_equipment 2 3 4 1\r\n"), std::string::npos);
    EXPECT_NE(s.find("begin actions 1\r\n0 1 3 4 5 6 2 7\r\nend actions\r\n"), std::string::npos);
    EXPECT_NE(s.find("begin triggers 1\r\n0 1 2 3 4 5 6 7\r\nend triggers\r\n"), std::string::npos);
    EXPECT_NE(s.find("begin event 0\r\nname \"\"\r\nbegin triggers"), std::string::npos);  // zero values left out
    EXPECT_EQ(s.find("begin waypoint"), std::string::npos);
    const auto item0 = s.find("begin item " + std::to_string(flat));
    const auto item1 = s.find("begin item " + std::to_string(tilted));
    ASSERT_NE(item0, std::string::npos);
    ASSERT_NE(item1, std::string::npos);
    EXPECT_EQ(s.substr(item0, item1 - item0).find("facing"), std::string::npos);
    EXPECT_NE(s.find("facing 0 10\r\n", item1), std::string::npos);
    // Item lines of the defaults, in their order.
    EXPECT_NE(s.find("wpdistance 4\r\nfov 180\r\nobliqueness 15\r\nwaccuracy2 100\r\nperception2 100\r\n"
                     "perfectionist2 100\r\nmovetimer 3\r\ncrouchtimer 3\r\nshoottimer 5\r\nattention 30\r\n"
                     "advancetimer 10\r\nedistances 16 1024\r\nend item\r\n\r\n",
                     item1),
              std::string::npos);
    // Every line ends in CR LF.
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\n') {
            ASSERT_TRUE(i > 0 && s[i - 1] == '\r') << "bare LF at " << i;
        }
    }
}

TEST(MetafileFormat, BriefingIsCutIntoPiecesOfAHundred) {
    FilesEnv env;
    auto m = files_NewMission();
    auto briefLines = [&](std::size_t n) {
        std::string b(n, 'x');
        if (n > 3) b[3] = '\n';
        mission_SetText(m->info.briefing, b);
        const std::string s = metafile_Format(*m, fixedTime());
        int lines = 0;
        for (std::size_t at = s.find("brief \""); at != std::string::npos; at = s.find("brief \"", at + 1)) ++lines;
        return std::make_pair(lines, s);
    };
    EXPECT_EQ(briefLines(0).first, 0);
    EXPECT_EQ(briefLines(0).second.find("begin briefing"), std::string::npos);
    auto [n100, s100] = briefLines(100);
    EXPECT_EQ(n100, 1);
    EXPECT_NE(s100.find("begin briefing\r\n\r\nbrief \"xxx|" + std::string(96, 'x') + "\"\r\nendbriefing\r\n\r\n"),
              std::string::npos);
    auto [n101, s101] = briefLines(101);
    EXPECT_EQ(n101, 2);
    EXPECT_NE(s101.find("\"\r\nbrief \"x\"\r\nendbriefing"), std::string::npos);
    EXPECT_EQ(briefLines(255).first, 3);
}

TEST(MetafileFormat, HeaderDateComesFromSourceDateEpoch) {
    ::setenv("SOURCE_DATE_EPOCH", "1700000000", 1);  // 14 Nov 2023, 22:13 UTC
    const std::tm t = metafile_HeaderTime();
    ::unsetenv("SOURCE_DATE_EPOCH");
    EXPECT_EQ(t.tm_year, 123);
    EXPECT_EQ(t.tm_mon, 10);
    EXPECT_EQ(t.tm_mday, 14);
    EXPECT_EQ(t.tm_hour, 22);
    EXPECT_EQ(t.tm_min, 13);

    FilesEnv env;
    auto m = files_NewMission();
    ::setenv("SOURCE_DATE_EPOCH", "1700000000", 1);
    const std::string p1 = env.path("a.mis"), p2 = env.path("b.mis");
    ASSERT_EQ(metafile_Write(*m, p1.c_str()), 1);
    ASSERT_EQ(metafile_Write(*m, p2.c_str()), 1);
    ::unsetenv("SOURCE_DATE_EPOCH");
    const std::string a = files_ReadAll(p1);
    EXPECT_EQ(a.rfind("// mission metafile, saved on 11/14/2023, 22:13\r\n", 0), 0u);
    EXPECT_EQ(a, files_ReadAll(p2));
}

TEST(MetafileFormat, LineBreaksInOneLineTextsDoNotBreakTheFile) {
    FilesEnv env;
    ScopedFakePlatform fake;
    auto m = files_NewMission();
    mission_SetText(m->info.name, "two\nlines");
    mission_SetText(m->waypoints[3].description, "a\r\nb");
    const std::string path = env.path("breaks.mis");
    ASSERT_EQ(metafile_Write(*m, path.c_str()), 1);
    auto back = files_NewMission();
    ASSERT_EQ(metafile_Read(*back, path.c_str(), noTerrain()), 1);
    EXPECT_EQ(mission_Text(back->info.name), "two lines");
    EXPECT_EQ(mission_Text(back->waypoints[3].description), "a  b");
}

TEST(MetafileWrite, FailureIsReportedAndLeavesThePreviousFile) {
    FilesEnv env;
    auto m = files_NewMission();
    mission_SetText(m->info.name, "first");
    const std::string path = env.path("keep.mis");
    ASSERT_EQ(metafile_Write(*m, path.c_str()), 1);
    const std::string before = files_ReadAll(path);

    // A target in a folder that does not exist, and a target that is a folder.
    EXPECT_EQ(metafile_Write(*m, env.path("no/such/folder/x.mis").c_str()), 0);
    std::filesystem::create_directories(env.path("adir"));
    EXPECT_EQ(metafile_Write(*m, env.path("adir").c_str()), 0);
    EXPECT_TRUE(std::filesystem::is_directory(env.path("adir")));
    EXPECT_EQ(metafile_Write(*m, ""), 0);

    // Replacing works and leaves no temporary file behind.
    mission_SetText(m->info.name, "second");
    ASSERT_EQ(metafile_Write(*m, path.c_str()), 1);
    EXPECT_NE(files_ReadAll(path), before);
    int files = 0;
    for (const auto& e : std::filesystem::directory_iterator(env.dir()))
        if (e.is_regular_file()) ++files;
    EXPECT_EQ(files, 1);
}

// ---------------------------------------------------------------------------------------
// Reading: keywords of both generations

// Numbers and keywords in the forms files hold them: any letter case, signs, leading zeros,
// values beyond 32 bits held at its ends, text that is no number read as its leading digits.
TEST(MetafileRead, NumberAndKeywordForms) {
    FilesEnv env;
    ScopedFakePlatform fake;
    struct Case {
        const char* line;
        std::int32_t MissionItem::*field;
        std::int32_t want;
    };
    const Case cases[] = {
        {"id 42", &MissionItem::id, 42},
        {"ID 007", &MissionItem::id, 7},
        {"Type_Id -12", &MissionItem::type_id, -12},
        {"team +3", &MissionItem::team, 3},
        {"team -0", &MissionItem::team, 0},
        {"fov 2147483647", &MissionItem::fov, 2147483647},
        {"fov 2147483648", &MissionItem::fov, 2147483647},
        {"fov -2147483648", &MissionItem::fov, -2147483647 - 1},
        {"fov -99999999999999999999", &MissionItem::fov, -2147483647 - 1},
        {"layer 12abc", &MissionItem::layer, 12},
        {"layer abc", &MissionItem::layer, 0},
        {"layer -", &MissionItem::layer, 0},
        {"layer \v5", &MissionItem::layer, 5},
        {"ALIGNMENT 2", &MissionItem::team, 2},
        {"wpDistance 300", &MissionItem::wpdistance, 300},
        {"waccuracy 0.5", &MissionItem::waccuracy, 50},
        {"Position 5 -6 7", &MissionItem::y, -6},
    };
    for (const Case& c : cases) {
        const std::string path = env.write("forms.mis", std::string("begin general_information\nnum_items 1\nend\n"
                                                                    "begin item 0\n") +
                                                            c.line + "\nend\n");
        auto m = files_NewMission();
        ASSERT_EQ(metafile_Read(*m, path.c_str(), noTerrain()), 1) << c.line;
        EXPECT_EQ(m->items[0].*c.field, c.want) << c.line;
    }
    // Near-misses of keywords are bad lines, reported with their number.
    for (const char* line : {"positio 1 2 3", "positions 1 2 3", "id_ 4", "_id 4", "idd 4"}) {
        const std::string path =
            env.write("miss.mis", std::string("begin general_information\nend\nbegin item 0\n") + line + "\nend\n");
        auto m = files_NewMission();
        fake->log.clear();
        EXPECT_EQ(metafile_Read(*m, path.c_str(), noTerrain()), 0) << line;
        EXPECT_EQ(fake->log, (std::vector<std::string>{"lineError " + path + ":4"})) << line;
    }
}

TEST(MetafileRead, OlderKeywordsAndTheirForms) {
    FilesEnv env;
    ScopedFakePlatform fake;
    const std::string path =
        env.write("old.mis",
                  "// comment\n"
                  "BEGIN General_Information\n"
                  "num_items 5\nnum_events 1\n"
                  "mapkey_circle 3\nattribA 1\n"
                  "loadout 1 2 3 4 5 6\ntime_limit 600\ntank_loadout 2\n"
                  "wp_names_blue\n"
                  "wp_names_red 1 2 3 4 5 6 7 8\n"
                  "subgoals_win 255 256 -1 3\n"
                  "end\n"
                  "begin item 0\nwaccuracy 0.5\nperception 1.25\nperfectionist -0.019\nalignment 2\nname pine\nend\n"
                  "begin item 1\nwaccuracy2 50\nname Pine\ntype_id 1001\nfacing 45\nbumper ABCDEFG\nname_override xy\n"
                  "camo_type 3\nammo_tow 9\nsmoke_time 4\nloadout 9 8 7 6 5\nai_name Bob\nvalue 12\nend\n"
                  "begin item 2\ntype_id 1001\nname Pine\nfacing 45 -5\nend\n"
                  "begin item 3\nname NoSuchThing\nend\n"
                  "begin waypoint 4\nnoloop 1\nspeed 3\nend\n"
                  "begin event 0\nbegin triggers 2\n1 2 3 4 5 6 7\n1 2 3 4 5 6 7 8\nend\n"
                  "begin actions 2\n1 2 3 4 5 6\n1 2 3 4 5 6 7 8\nend\nend\n"
                  "begin wind 1\nname Breeze\nheading 90\ngusts 4\nspeed 12\nstart 5\nstop 50\nend\n"
                  "begin wind 2\nname SecondWindWithAVeryLongNameIndeed\nend\n");
    auto m = files_NewMission();
    ASSERT_EQ(metafile_Read(*m, path.c_str(), noTerrain()), 1) << (fake->boxes.empty() ? "" : fake->boxes[0].text);
    EXPECT_EQ(m->loadout, (std::array<std::int32_t, 6>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(m->time_limit, 600);
    EXPECT_EQ(m->tank_loadout, 2);
    EXPECT_EQ(m->info.wp_names_blue, (std::array<std::int32_t, 8>{}));
    EXPECT_EQ(m->info.wp_names_red[7], 8);
    EXPECT_EQ(m->info.subgoals_win, (std::array<std::int8_t, 4>{-1, 0, -1, 3}));

    const MissionItem& a = m->items[0];
    EXPECT_EQ(a.waccuracy, 50);
    EXPECT_EQ(a.perception, 125);
    EXPECT_EQ(a.perfectionist, -1);
    EXPECT_EQ(a.team, 2);
    EXPECT_EQ(a.type_id, kTestDecorType);  // named, case-insensitively
    EXPECT_EQ(a.kind, kItemDecoration);

    const MissionItem& b = m->items[1];
    EXPECT_EQ(b.waccuracy, 50);
    EXPECT_EQ(b.type_id, kTestPersonType);  // type_id after name wins
    EXPECT_EQ(b.heading, 0);                // facing with one value is ignored
    EXPECT_EQ(std::string_view(b.bumper, 4), "ABCD");
    EXPECT_EQ(std::string_view(b.name_override, 2), "xy");
    EXPECT_EQ(b.camo_type, 3);
    EXPECT_EQ(b.ammo_tow, 9);
    EXPECT_EQ(b.smoke_time, 4);
    EXPECT_EQ(b.loadout[4], 5);

    EXPECT_EQ(m->items[2].type_id, kTestPersonType);  // type_id before name wins
    EXPECT_EQ(m->items[2].heading, 45);
    EXPECT_EQ(m->items[2].pitch, -5);
    EXPECT_EQ(m->items[3].type_id, itemdef_At(0)->typeNumber);  // unknown name: the first definition
    EXPECT_EQ(m->waypoints[4].attrib, 1);

    const MissionEvent& e = m->events[0];
    EXPECT_EQ(e.trigger_count, 2);
    EXPECT_EQ(e.triggers[0].var4, 7);
    EXPECT_EQ(e.triggers[0].spare, 0);
    EXPECT_EQ(e.triggers[1].spare, 8);
    EXPECT_EQ(e.actions[0].var4, 6);
    EXPECT_EQ(e.actions[0].subtype, 0);
    EXPECT_EQ(e.actions[1].subtype, 7);
    EXPECT_EQ(e.actions[1].spare7, 8);

    ASSERT_EQ(m->wind_list.size(), 2u);
    EXPECT_EQ(mission_Text(m->wind_list[0].name), "Breeze");
    EXPECT_EQ(m->wind_list[0].heading, 90);
    EXPECT_EQ(m->wind_list[0].speed, 12);
    EXPECT_EQ(m->wind_list[0].start, 5);
    EXPECT_EQ(m->wind_list[0].stop, 50);
    EXPECT_EQ(mission_Text(m->wind_list[1].name), "SecondWindWithAVeryLong");  // 23 characters
}

TEST(MetafileRead, BriefingJoinsPiecesAndStopsAtItsCapacity) {
    FilesEnv env;
    ScopedFakePlatform fake;
    std::string text =
        "begin briefing\n\nbrief \"first|line \"\nanything \"second\"\nend\n// skipped\nbrief \"x\"\nendbriefing\n";
    auto m = files_NewMission();
    ASSERT_EQ(metafile_Read(*m, env.write("b.mis", text).c_str(), noTerrain()), 1);
    EXPECT_EQ(mission_Text(m->info.briefing), "first\nline secondx");

    std::string big = "begin briefing\n";
    for (int i = 0; i < 5; ++i) big += "brief \"" + std::string(100, char('a' + i)) + "\"\n";
    big += "endbriefing\n";
    ASSERT_EQ(metafile_Read(*m, env.write("big.mis", big).c_str(), noTerrain()), 1);
    EXPECT_EQ(mission_Text(m->info.briefing).size(), 255u);
    EXPECT_EQ(m->info.briefing[254], 'c');
}

TEST(MetafileRead, TextsLongerThanTheirFieldsAreCut) {
    FilesEnv env;
    ScopedFakePlatform fake;
    const std::string longText(300, 'L');
    const std::string path =
        env.write("long.mis", "begin general_information\nname \"" + longText + "\"\nterrain " + longText +
                                  "\nnum_events 1\nend\nbegin event 0\nname " + longText +
                                  "\nend\nbegin wav_list 3\nfile_name " + longText + "\nend\n");
    auto m = files_NewMission();
    ASSERT_EQ(metafile_Read(*m, path.c_str(), noTerrain()), 1);
    EXPECT_EQ(mission_Text(m->info.name).size(), kMissionNameSize - 1);
    EXPECT_EQ(mission_Text(m->info.terrain).size(), kMissionFileSize - 1);
    EXPECT_EQ(mission_Text(m->events[0].name).size(), kEventNameSize - 1);
    EXPECT_EQ(mission_Text(m->wav_lists[3].file_name).size(), kWavFileSize - 1);
    EXPECT_EQ(m->info.name[kMissionNameSize - 1], '\0');
}

// ---------------------------------------------------------------------------------------
// Reading: bad lines and what stays stored

namespace {

struct BadCase {
    const char* name;
    std::string text;
    int line;                     // the line the message must name
    const char* names = nullptr;  // and a number it must give (the limit that was passed)
};

}  // namespace

TEST(MetafileRead, BadLinesStopTheReadWithTheirLineNumber) {
    FilesEnv env;
    const std::string ok = "begin general_information\nnum_items 1\nend\n";  // lines 1-3
    const BadCase cases[] = {
        {"unknown item keyword", ok + "begin item 0\nwobble 3\nend\n", 5},
        {"unknown block", ok + "begin nonsense 3\n", 4},
        {"line outside blocks", ok + "type_id 5\n", 4},
        {"item beyond the table", ok + "begin item 5000\n", 4, "4999"},
        {"negative item", ok + "begin item -1\n", 4},
        {"waypoint 0", ok + "begin waypoint 0\n", 4},
        {"waypoint 128", ok + "begin waypoint 128\n", 4},
        {"group 64", ok + "begin group 64\n", 4},
        {"event 256", ok + "begin event 256\n", 4, "255"},
        {"wav list 32", ok + "begin wav_list 32\n", 4},
        {"layer 16", ok + "begin layer 16\n", 4},
        {"area 100", ok + "begin areatrig 100\n", 4},
        {"too many items", "begin general_information\nnum_items 5001\n", 2, "5000"},
        {"negative event count", "begin general_information\nnum_events -1\n", 2},
        {"too many events", "begin general_information\nnum_events 257\n", 2, "256"},
        {"eleven triggers", "begin event 0\nbegin triggers 11\n", 2},
        {"eleventh trigger row",
         "begin event 0\nbegin triggers 10\n" +
             [] {
                 std::string rows;
                 for (int i = 0; i < 11; ++i) rows += "1 2 3 4 5 6 7 8\n";
                 return rows;
             }(),
         13},
        {"eleventh action row",
         "begin event 0\nbegin actions 1\n" +
             [] {
                 std::string rows;
                 for (int i = 0; i < 11; ++i) rows += "1 2 3 4 5 6 7 8\n";
                 return rows;
             }(),
         13},
        {"other begin in an event", "begin event 0\nbegin items 3\n", 2},
        {"control character outside", ok + "\x01\n", 4},
    };
    ScopedTextTable wording(test_ReadSourceFile("data/text/foundation.txt") + "\n" +
                            test_ReadSourceFile("data/text/missionfiles.txt"));
    for (const BadCase& c : cases) {
        SCOPED_TRACE(c.name);
        ScopedFakePlatform fake;
        auto m = files_NewMission();
        const std::string path = env.write("bad.mis", c.text);
        EXPECT_EQ(metafile_Read(*m, path.c_str(), noTerrain()), 0);
        ASSERT_EQ(fake->boxes.size(), 1u);
        EXPECT_NE(std::find(fake->log.begin(), fake->log.end(), "lineError " + path + ":" + std::to_string(c.line)),
                  fake->log.end());
        if (c.names) EXPECT_NE(fake->boxes[0].text.find(c.names), std::string::npos) << fake->boxes[0].text;
    }
}

// Counts larger than the blocks the file has: the counts come down to the blocks read and no
// record is made up. Items close up (they are known by their ids); events are known by their
// numbers, so only those after the last event block go.
TEST(MetafileRead, CountsFollowTheBlocksRead) {
    FilesEnv env;
    const auto item = [](int n, int id) {
        return "begin item " + std::to_string(n) + "\nid " + std::to_string(id) + "\ntype_id 1001\nend\n";
    };
    const auto event = [](int n) {
        return "begin event " + std::to_string(n) + "\nname e" + std::to_string(n) + "\nend\n";
    };
    const struct Case {
        const char* what;
        std::string text;
        std::vector<std::int32_t> ids;  // the items read, in table order
        std::int32_t events;
        int itemsDeclared, eventsDeclared;
    } cases[] = {
        {"counts met",
         "begin general_information\nnum_items 2\nnum_events 1\nend\n" + item(0, 7) + item(1, 8) + event(0),
         {7, 8},
         1,
         2,
         1},
        {"missing at the end",
         "begin general_information\nnum_items 5\nnum_events 4\nend\n" + item(0, 7) + item(1, 8) + event(0) + event(1),
         {7, 8},
         2,
         5,
         4},
        {"missing between",
         "begin general_information\nnum_items 4\nnum_events 3\nend\n" + item(0, 7) + item(3, 9) + event(0) + event(2),
         {7, 9},
         3,
         4,
         3},
        {"no blocks at all", "begin general_information\nnum_items 3\nnum_events 2\nend\n", {}, 0, 3, 2},
        {"a block beyond the count is still lost",
         "begin general_information\nnum_items 1\nend\n" + item(0, 7) + item(1, 8),
         {7},
         0,
         1,
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScopedFakePlatform fake;
        auto m = files_NewMission();
        MetafileLines lines;
        MetafileReadOptions o = noTerrain();
        o.lines = &lines;
        ASSERT_EQ(metafile_Read(*m, env.write("counts.mis", c.text).c_str(), o), 1);
        std::vector<std::int32_t> ids;
        for (std::int32_t i = 0; i < m->item_count; ++i) ids.push_back(m->items[std::size_t(i)].id);
        EXPECT_EQ(ids, c.ids);
        EXPECT_EQ(m->event_count, c.events);
        EXPECT_EQ(lines.itemsDeclared, c.itemsDeclared);
        EXPECT_EQ(lines.eventsDeclared, c.eventsDeclared);
        // What lies beyond the count is empty, so the page equals one that never had it.
        EXPECT_EQ(m->items[std::size_t(m->item_count)].id, 0);
        EXPECT_EQ(m->items[std::size_t(m->item_count)].type_id, 0);
        // The lines of the items follow them.
        for (std::int32_t i = 0; i < m->item_count; ++i) EXPECT_GT(lines.item.at(std::size_t(i)), 0) << i;
        EXPECT_TRUE(fake->boxes.empty());
    }
}

TEST(MetafileRead, WhatWasReadBeforeABadLineStays) {
    FilesEnv env;
    ScopedFakePlatform fake;
    auto m = files_NewMission();
    const std::string path =
        env.write("partial.mis",
                  "begin general_information\nname Kept\nnum_items 2\nend\nbegin item 0\ntype_id 1001\nend\n"
                  "begin item 1\ntype_id 2001\nbogus\nend\n");
    EXPECT_EQ(metafile_Read(*m, path.c_str(), noTerrain()), 0);
    EXPECT_EQ(mission_Text(m->info.name), "Kept");
    EXPECT_EQ(m->items[0].type_id, kTestPersonType);
    EXPECT_EQ(m->items[1].type_id, kTestDecorType);
}

TEST(MetafileRead, MissingFilesAndUnterminatedBlocksFailQuietly) {
    FilesEnv env;
    ScopedFakePlatform fake;
    auto m = files_NewMission();
    mission_SetText(m->info.name, "before");
    EXPECT_EQ(metafile_Read(*m, env.path("absent.mis").c_str(), noTerrain()), 0);
    EXPECT_EQ(mission_Text(m->info.name), "");  // cleared
    EXPECT_EQ(metafile_Read(*m, env.dir().string().c_str(), noTerrain()), 0);
    for (const char* text : {"begin item 0\ntype_id 3\n", "begin briefing\nbrief x\nend\n",
                             "begin event 0\nbegin triggers 1\n1 2 3\n", "begin wind 1\n"}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(metafile_Read(*m, env.write("open.mis", text).c_str(), noTerrain()), 0);
    }
    EXPECT_TRUE(fake->boxes.empty());
    // An empty or blank file is no mission, and says nothing itself: the caller names it.
    for (const char* text : {"", "\n\n\n"}) {
        MetafileLines lines;
        MetafileReadOptions o = noTerrain();
        o.lines = &lines;
        EXPECT_EQ(metafile_Read(*m, env.write("empty.mis", text).c_str(), o), 0);
        EXPECT_TRUE(lines.noBlock);
        EXPECT_EQ(m->item_count, 0);
    }
    EXPECT_TRUE(fake->boxes.empty());
}

TEST(MetafileRead, HostileInputIsRefusedOrReadWithoutHarm) {
    FilesEnv env;
    std::string garbage;
    std::uint32_t s = 12345;
    for (int i = 0; i < 20000; ++i) {
        s = s * 1103515245u + 12345u;
        garbage += char(s >> 16);
    }
    const std::string longLine = "begin general_information\nname \"" + std::string(5000, 'n') + "\"\nend\n";
    const std::string longTokens = "begin general_information\nwp_names_red" + [] {
        std::string t;
        for (int i = 0; i < 2000; ++i) t += " 99999999999999999999";
        return t;
    }() + "\nend\n";
    const std::string truncated = [] {
        std::string t =
            "begin general_information\nnum_items 1\nend\nbegin item 0\ntype_id 1001\nposition 1 2 3\nend\n";
        return t.substr(0, t.size() - 6);
    }();
    const std::string nuls = std::string("begin item 0\0type_id 5\nend\n", 27);
    for (const std::string& text : {garbage, longLine, longTokens, truncated, nuls}) {
        ScopedFakePlatform fake;
        auto m = files_NewMission();
        const int rc = metafile_Read(*m, env.write("hostile.mis", text).c_str(), noTerrain());
        EXPECT_TRUE(rc == 0 || rc == 1);
        EXPECT_GE(m->item_count, 0);
        EXPECT_LE(m->item_count, kMaxItems);
        EXPECT_LE(mission_Text(m->info.name).size(), kMissionNameSize - 1);
        for (const auto& line : fake->log) {
            if (line.rfind("lineError ", 0) == 0) {
                EXPECT_NE(line.find(".mis:"), std::string::npos) << line;
            }
        }
    }
}

TEST(MetafileRead, RecordsWhereBlocksBegan) {
    FilesEnv env;
    ScopedFakePlatform fake;
    MetafileLines lines;
    MetafileReadOptions o = noTerrain();
    o.lines = &lines;
    auto m = files_NewMission();
    const std::string path = env.write("lines.mis",
                                       "begin general_information\nnum_items 3\nnum_events 1\nend\n"
                                       "begin item 2\nend\nbegin event 0\nbegin triggers 2\n0 2 0 5\n0 1\nend\nend\n"
                                       "begin group 7\nend\n");
    ASSERT_EQ(metafile_Read(*m, path.c_str(), o), 1);
    EXPECT_EQ(lines.generalInfo, 1);
    EXPECT_EQ(lines.numItems, 2);
    EXPECT_EQ(lines.numEvents, 3);
    // Item 2 is the only item block below num_items 3: it is the page's one item.
    EXPECT_EQ(m->item_count, 1);
    ASSERT_GE(lines.item.size(), 1u);
    EXPECT_EQ(lines.item[0], 5);
    ASSERT_EQ(lines.trigger.size(), 1u);
    EXPECT_EQ(lines.trigger[0], (std::vector<int>{9, 10}));
    EXPECT_EQ(lines.group[7], 13);
}

TEST(MetafileRead, LoadsTheNamedTerrainIntoThePage) {
    FilesEnv env;
    ScopedFakePlatform fake;
    auto m = files_NewMission();
    const std::string path = env.write("terrain.mis", "begin general_information\nterrain nowhere_land\nend\n");
    ASSERT_EQ(metafile_Read(*m, path.c_str()), 1);
    EXPECT_NE(m->terrain, nullptr);  // a terrain without files gives cleared maps
    ASSERT_EQ(metafile_Read(*m, path.c_str(), noTerrain()), 1);
    EXPECT_EQ(m->terrain, nullptr);  // cleared with the page, not loaded again
}

#include "mission/export.h"

#include "core/text.h"
#include "gamedata/sky.h"
#include "mission/mission.h"
#include "support/fake_platform.h"
#include "support/files_env.h"
#include "support/text_tables.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

std::int32_t le32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::int32_t>(std::uint32_t(b[at]) | std::uint32_t(b[at + 1]) << 8 |
                                     std::uint32_t(b[at + 2]) << 16 | std::uint32_t(b[at + 3]) << 24);
}

BmsFile parse(const std::vector<std::uint8_t>& bytes) {
    BmsFile f;
    std::string error;
    EXPECT_TRUE(bms_Parse(bytes.data(), bytes.size(), f, error)) << error;
    return f;
}

// Offsets of the tables that follow the item sections.
std::size_t waypointTable(const std::vector<std::uint8_t>& b) {
    std::size_t items = 0;
    for (std::size_t at = 0x098; at <= 0x0A4; at += 4) items += std::size_t(le32(b, at));
    return kBmsHeaderSize + items * kBmsItemSize;
}

}  // namespace

TEST(BinaryExport, EmptyMissionIsHeaderAndZeroTables) {
    FilesEnv env;
    ScopedFakePlatform fake;
    auto m = files_NewMission();
    BmsSky sky;
    const auto b = mission_ExportBinaryBytes(*m, &sky);
    ASSERT_EQ(b.size(), 20628u);
    ASSERT_EQ(kBmsEmptySize, 20628u);
    EXPECT_EQ(b[0], 0x42);
    EXPECT_EQ(b[1], 0x4D);
    EXPECT_EQ(b[2], 0x53);
    EXPECT_EQ(b[3], 0x0F);
    // Everything zero but the magic and the groups' fourth field.
    std::vector<std::uint8_t> want(20628, 0);
    std::memcpy(want.data(), "BMS\x0F", 4);
    const std::size_t groups = kBmsHeaderSize + kBmsWaypoints * kBmsWaypointSize;
    for (int g = 0; g < kBmsGroups; ++g) want[groups + std::size_t(g) * kBmsGroupSize + 12] = 10;
    EXPECT_EQ(b, want);
    EXPECT_TRUE(fake->boxes.empty());
}

TEST(BinaryExport, HeaderFieldsAndTextWidths) {
    FilesEnv env;
    ScopedFakePlatform fake;
    auto m = files_NewMission();
    GeneralInfo& g = m->info;
    mission_SetText(g.name, std::string(40, 'N'));  // cut to 32, not terminated
    mission_SetText(g.designer, "Dee");
    mission_SetText(g.terrain, "abcdefghijklmno");
    g.terrain_color = 1;
    g.fog_color = 0x112233;
    g.default_equipment = {1, 2, 3, -4};
    g.subgoals_win = {-1, 2, 3, 4};
    g.weather_type = 2;
    g.wind = {30, 270};
    mission_SetText(g.briefing, "line one\nline two");
    BmsSky sky;
    std::strcpy(sky.clouds, "dusk.pcx");
    std::memcpy(sky.skygrad, "sixteen_chars.tg", 16);
    sky.skyheight = 900;
    sky.horizon = 0x18000;
    sky.gamma = 1;
    sky.sat = 2;
    sky.r = 3;
    sky.g = 4;
    sky.b = 5;
    const auto b = mission_ExportBinaryBytes(*m, &sky);
    EXPECT_EQ(std::string(b.begin() + 4, b.begin() + 36), std::string(32, 'N'));
    EXPECT_EQ(b[0x24], 'D');
    EXPECT_EQ(b[0x27], 0);
    EXPECT_EQ(std::string(b.begin() + 0x44, b.begin() + 0x53), "abcdefghijklmno");
    EXPECT_EQ(le32(b, 0x074), 1);
    EXPECT_EQ(le32(b, 0x090), 0x112233);
    EXPECT_EQ(le32(b, 0x094), static_cast<std::int32_t>(0xFC030201u));  // one byte each, stored order
    EXPECT_EQ(le32(b, 0x0AC), 2);
    EXPECT_EQ(le32(b, 0x0B0), static_cast<std::int32_t>(0x040302FFu));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[0x0B8])), "dusk.pcx");
    EXPECT_EQ(std::string(b.begin() + 0x0C8, b.begin() + 0x0D8), "sixteen_chars.tg");
    EXPECT_EQ(le32(b, 0x0D8), 900);
    EXPECT_EQ(le32(b, 0x0DC), 0x18000);
    EXPECT_EQ(b[0x0E0], 1);
    EXPECT_EQ(b[0x0E4], 5);
    EXPECT_EQ(le32(b, 0x0E8), 30);
    EXPECT_EQ(le32(b, 0x0EC), 270);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[0x108])), "line one\nline two");
    const BmsFile f = parse(b);
    EXPECT_EQ(f.header.name, std::string(32, 'N'));
    EXPECT_EQ(f.header.defaultEquipment[3], -4);
}

TEST(BinaryExport, ItemRecordFieldsPositionsAndHeadings) {
    FilesEnv env;
    ScopedFakePlatform fake;
    auto m = files_NewMission();
    const std::int32_t i = files_Add(*m, kTestVehicleType, 2560, -256, 1);
    MissionItem& it = m->items[std::size_t(i)];
    it.heading = 370;
    it.pitch = -20;
    it.team = 4;
    it.group_id = 63;
    it.waypoint_id = 127;
    it.map_symbol = 8;
    it.group_rel = -3;
    it.ttoolindex = 77;
    it.name_index = 12;
    it.bmsi_attributes = 0x1234;
    it.alert_state = 2;
    it.nomorethan = 300;  // a byte field keeps its low 8 bits
    const std::int32_t j = files_Add(*m, kTestVehicleType);
    m->items[std::size_t(j)].heading = -30;
    m->items[std::size_t(j)].wpnumber = 1;  // sorts after the first one
    BmsSky sky;
    const auto b = mission_ExportBinaryBytes(*m, &sky);
    EXPECT_EQ(le32(b, 0x098), 2);
    const std::size_t r = kBmsHeaderSize;
    EXPECT_EQ(le32(b, r + 0x00), kTestVehicleType);
    EXPECT_EQ(le32(b, r + 0x04), 12);
    EXPECT_EQ(le32(b, r + 0x08), it.id);
    EXPECT_EQ(le32(b, r + 0x0C), 0x1234);
    EXPECT_EQ(le32(b, r + 0x10), 655360);
    EXPECT_EQ(le32(b, r + 0x14), -65536);
    EXPECT_EQ(le32(b, r + 0x18), 256);
    EXPECT_EQ(le32(b, r + 0x1C), 4);  // wpdistance default
    EXPECT_EQ(le32(b, r + 0x20), 100);
    EXPECT_EQ(le32(b, r + 0x2C), 16);
    EXPECT_EQ(le32(b, r + 0x30), 1024);
    EXPECT_EQ(b[r + 0x34] | b[r + 0x35] << 8, 10);  // 370 -> 10
    EXPECT_EQ(static_cast<std::int16_t>(b[r + 0x36] | b[r + 0x37] << 8), -20);
    EXPECT_EQ(b[r + 0x38] | b[r + 0x39] << 8, 180);
    EXPECT_EQ(b[r + 0x42], 2);
    EXPECT_EQ(b[r + 0x43], 4);
    EXPECT_EQ(b[r + 0x44], 300 & 0xFF);
    EXPECT_EQ(b[r + 0x48], 63);
    EXPECT_EQ(b[r + 0x49], 127);
    EXPECT_EQ(b[r + 0x4B], 15);
    EXPECT_EQ(b[r + 0x4C], 8);
    EXPECT_EQ(le32(b, r + 0x50), -3);
    EXPECT_EQ(le32(b, r + 0x54), 10);
    EXPECT_EQ(le32(b, r + 0x58), 77);
    EXPECT_EQ(le32(b, r + 0x5C), 0);
    const std::size_t r2 = r + kBmsItemSize;
    EXPECT_EQ(static_cast<std::int16_t>(b[r2 + 0x34] | b[r2 + 0x35] << 8), -30);
}

TEST(BinaryExport, SortBySectionAndTheSelectionFollowsItsItems) {
    FilesEnv env;
    ScopedFakePlatform fake;
    auto m = files_NewMission();
    // Added out of order; kinds spread over all four sections.
    const std::int32_t person = files_Add(*m, kTestPersonType);
    files_Add(*m, kTestDecorType);
    const std::int32_t late = files_Add(*m, kWaypointMarkerType);
    m->items[std::size_t(late)].wpnumber = 9;
    const std::int32_t early = files_Add(*m, kWaypointMarkerType);
    m->items[std::size_t(early)].wpnumber = 2;
    files_Add(*m, kTestBuildingType);
    files_Add(*m, kTestObjectType);
    files_Add(*m, kTestVehicleType);
    const std::int32_t personId = m->items[std::size_t(person)].id;
    const std::int32_t lateId = m->items[std::size_t(late)].id;
    mission_Select(*m, late);
    mission_Select(*m, person);

    const auto before = files_NewMission();
    static_cast<MissionTables&>(*before) = static_cast<const MissionTables&>(*m);
    BmsSky sky;
    const BmsFile f = parse(mission_ExportBinaryBytes(*m, &sky));
    // A copy is sorted: the page, its order and its selection stay as they were.
    EXPECT_EQ(std::memcmp(static_cast<MissionTables*>(before.get()), static_cast<MissionTables*>(m.get()),
                          sizeof(MissionTables)),
              0);
    EXPECT_EQ(m->items[std::size_t(m->selection.index[0])].id, lateId);
    EXPECT_EQ(m->items[std::size_t(m->selection.index[1])].id, personId);

    ASSERT_EQ(f.sections[0].size(), 2u);  // vehicle (type 1), object (7001)
    EXPECT_EQ(f.sections[0][0].typeId, kTestVehicleType);
    EXPECT_EQ(f.sections[0][1].typeId, kTestObjectType);
    ASSERT_EQ(f.sections[1].size(), 2u);  // decoration, building
    EXPECT_EQ(f.sections[1][0].typeId, kTestDecorType);
    EXPECT_EQ(f.sections[1][1].typeId, kTestBuildingType);
    ASSERT_EQ(f.sections[2].size(), 2u);
    EXPECT_EQ(f.sections[2][0].wpnumber, 2);
    EXPECT_EQ(f.sections[2][1].wpnumber, 9);
    ASSERT_EQ(f.sections[3].size(), 1u);
    EXPECT_EQ(f.sections[3][0].typeId, kTestPersonType);
}

TEST(BinaryExport, SectionLimitsWarnInOrderAndKeepTheFirstItems) {
    FilesEnv env;
    ScopedFakePlatform fake;
    auto m = files_NewMission();
    for (int i = 0; i < 1030; ++i) {
        const std::int32_t k = files_Add(*m, i % 2 ? kTestBuildingType : kTestDecorType, i);
        m->items[std::size_t(k)].wpnumber = i;
    }
    for (int i = 0; i < 513; ++i) files_Add(*m, kTestFlagType);
    for (int i = 0; i < 257; ++i) files_Add(*m, kTestPersonType);
    for (int i = 0; i < 1025; ++i) files_Add(*m, kTestObjectType);
    // Over the table's capacity of 5000? 2825 items: all fit.
    ASSERT_EQ(m->item_count, 1030 + 513 + 257 + 1025);
    BmsSky sky;
    const auto b = mission_ExportBinaryBytes(*m, &sky);
    ASSERT_EQ(fake->boxes.size(), 4u);
    // Wording comes from the string table; without one each message is the fallback text, but
    // the order, caption and icon are the code's.
    for (const auto& box : fake->boxes) {
        EXPECT_EQ(box.icon, MsgIcon::None);
        EXPECT_EQ(box.caption, text_Get("Dialog Message", "WARNING"));
    }
    EXPECT_EQ(le32(b, 0x098), 1024);
    EXPECT_EQ(le32(b, 0x09C), 1024);
    EXPECT_EQ(le32(b, 0x0A0), 512);
    EXPECT_EQ(le32(b, 0x0A4), 256);
    EXPECT_EQ(b.size(), kBmsEmptySize + (1024 + 1024 + 512 + 256) * kBmsItemSize);
    const BmsFile f = parse(b);
    // The first 1024 decorations of the sorted table: all 515 of type 2001, then 509 buildings.
    EXPECT_EQ(f.sections[1][514].typeId, kTestDecorType);
    EXPECT_EQ(f.sections[1][515].typeId, kTestBuildingType);
    EXPECT_EQ(f.sections[1][515].wpnumber, 1);
    EXPECT_EQ(f.sections[1][1023].wpnumber, (2 * 508 + 1) & 0xFF);  // a byte in the record
}

TEST(BinaryExport, WarningTextsCarryCountAndLimit) {
    FilesEnv env;
    ScopedFakePlatform fake;
    ScopedTextTable table(test_ReadSourceFile("data/text/missionfiles.txt"));
    ASSERT_NE(table.get(), nullptr);
    auto m = files_NewMission();
    for (int i = 0; i < 1025; ++i) files_Add(*m, kTestDecorType);
    for (int i = 0; i < 300; ++i) files_Add(*m, kTestPersonType);
    BmsSky sky;
    mission_ExportBinaryBytes(*m, &sky);
    ASSERT_EQ(fake->boxes.size(), 2u);
    EXPECT_EQ(fake->boxes[0].caption, "Warning");
    EXPECT_NE(fake->boxes[0].text.find("1025 decorations"), std::string::npos) << fake->boxes[0].text;
    EXPECT_NE(fake->boxes[0].text.find("takes 1024"), std::string::npos) << fake->boxes[0].text;
    EXPECT_NE(fake->boxes[1].text.find("300 people"), std::string::npos) << fake->boxes[1].text;
    EXPECT_NE(fake->boxes[1].text.find("takes 256"), std::string::npos) << fake->boxes[1].text;
}

TEST(BinaryExport, WaypointMarkerNumbersCountMarkersBeforeThePoint) {
    FilesEnv env;
    ScopedFakePlatform fake;
    auto m = files_NewMission();
    // Markers of another type sort before the waypoint markers (6001 < 6005) and count too;
    // persons and decorations do not.
    files_Add(*m, kTestFlagType);
    files_Add(*m, kTestFlagType);
    files_Add(*m, kTestDecorType);
    files_Add(*m, kTestPersonType);
    for (int n : {3, 1, 2}) {
        const std::int32_t k = files_Add(*m, kWaypointMarkerType);
        m->items[std::size_t(k)].waypoint_id = 5;
        m->items[std::size_t(k)].wpnumber = n;
    }
    const std::int32_t other = files_Add(*m, kWaypointMarkerType);
    m->items[std::size_t(other)].waypoint_id = 6;
    m->items[std::size_t(other)].wpnumber = 0;
    m->waypoints[5].attrib = 3;
    // A path of 40 markers: only 32 are written, the count says 40.
    for (int n = 0; n < 40; ++n) {
        const std::int32_t k = files_Add(*m, kWaypointMarkerType);
        m->items[std::size_t(k)].waypoint_id = 9;
        m->items[std::size_t(k)].wpnumber = 100 + n;
    }
    BmsSky sky;
    const BmsFile f = parse(mission_ExportBinaryBytes(*m, &sky));
    // Sorted markers: flag, flag, wp6#0, wp5#1, wp5#2, wp5#3, then path 9.
    EXPECT_EQ(f.waypoints[5].attrib, 3);
    EXPECT_EQ(f.waypoints[5].count, 3);
    EXPECT_EQ(f.waypoints[5].markers[0], 3);
    EXPECT_EQ(f.waypoints[5].markers[1], 4);
    EXPECT_EQ(f.waypoints[5].markers[2], 5);
    EXPECT_EQ(f.waypoints[5].markers[3], 0);
    EXPECT_EQ(f.waypoints[6].count, 1);
    EXPECT_EQ(f.waypoints[6].markers[0], 2);
    EXPECT_EQ(f.waypoints[9].count, 40);
    EXPECT_EQ(f.waypoints[9].markers[0], 6);
    EXPECT_EQ(f.waypoints[9].markers[31], 37);
    // Each marker number names the marker of that path in the markers section.
    for (int k = 0; k < 3; ++k) {
        const BmsItem& marker = f.sections[2][std::size_t(f.waypoints[5].markers[k])];
        EXPECT_EQ(marker.waypointId, 5);
        EXPECT_EQ(marker.wpnumber, k + 1);
    }
}

TEST(BinaryExport, GroupsWavsAndFlattenedEvents) {
    FilesEnv env;
    ScopedFakePlatform fake;
    auto m = files_NewMission();
    m->groups[4].attrib = 7;
    m->groups[4].commander = 99;
    mission_SetText(m->wav_lists[2].file_name, "a_rather_long_wav_name.wav");
    mission_SetText(m->wav_lists[3].file_name, "short.wav");
    m->event_count = 3;
    const int triggers[3] = {3, 1, 2};
    const int actions[3] = {0, 2, 1};
    for (int e = 0; e < 3; ++e) {
        MissionEvent& ev = m->events[std::size_t(e)];
        ev.trigger_count = triggers[e];
        ev.action_count = actions[e];
        ev.attrib = e + 1;
        ev.reset_value = 2;
        ev.delay_value = e;
        for (int r = 0; r < 10; ++r) {
            ev.triggers[std::size_t(r)] = EventTrigger{e, r, 0, 1, 2, 3, 4, 5};
            ev.actions[std::size_t(r)] = EventAction{e, r, 9, 1, 2, 3, 4, 5};
        }
    }
    BmsSky sky;
    const auto bytes = mission_ExportBinaryBytes(*m, &sky);
    const BmsFile f = parse(bytes);
    EXPECT_EQ(f.groups[4].flags, 3);
    EXPECT_EQ(f.groups[4].commander, 99);
    EXPECT_EQ(f.groups[4].fourth, 10);
    EXPECT_EQ(f.wavNames[2], "a_rather_long_wa");
    EXPECT_EQ(f.wavNames[3], "short.wav");
    EXPECT_EQ(f.eventTotal, 3);
    EXPECT_EQ(f.triggerTotal, 6);
    EXPECT_EQ(f.actionTotal, 3);
    EXPECT_EQ(f.events[2].firstTrigger, 4);
    EXPECT_EQ(f.events[2].firstAction, 2);
    EXPECT_EQ(f.events[1].firstAction, 0);
    EXPECT_EQ(f.events[1].reset50, 100);
    EXPECT_EQ(f.events[2].delay50, 100);
    EXPECT_EQ(f.events[0].triggerCount, 3);
    EXPECT_EQ(f.events[1].actionCount, 2);
    // Rows in stored order, event by event.
    EXPECT_EQ(f.triggers[3], (std::array<std::int32_t, 8>{1, 0, 0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(f.actions[2], (std::array<std::int32_t, 8>{2, 0, 9, 1, 2, 3, 4, 5}));
    EXPECT_EQ(bytes.size(), kBmsEmptySize + 3 * kBmsEventSize + 9 * kBmsRowSize);
}

TEST(BinaryExport, WritesAtomicallyAndReportsFailure) {
    FilesEnv env;
    ScopedFakePlatform fake;
    auto m = files_NewMission();
    files_Add(*m, kTestPersonType);
    const std::string path = env.path("out.bms");
    ASSERT_EQ(mission_ExportBinary(*m, path.c_str()), 1);
    EXPECT_EQ(files_ReadAll(path).size(), kBmsEmptySize + kBmsItemSize);
    EXPECT_EQ(mission_ExportBinary(*m, env.path("missing/dir/out.bms").c_str()), 0);
    EXPECT_EQ(mission_ExportBinary(*m, env.dir().string().c_str()), 0);
    EXPECT_EQ(files_ReadAll(path).size(), kBmsEmptySize + kBmsItemSize);
}

TEST(BinaryReader, RefusesEveryShortFileAndSaysWhere) {
    FilesEnv env;
    ScopedFakePlatform fake;
    auto m = files_NewMission();
    files_Add(*m, kTestPersonType);
    files_Add(*m, kTestDecorType);
    m->event_count = 1;
    m->events[0].trigger_count = 1;
    m->events[0].action_count = 1;
    BmsSky sky;
    const auto b = mission_ExportBinaryBytes(*m, &sky);
    BmsFile f;
    std::string error;
    for (std::size_t n = 0; n < b.size(); ++n) {
        ASSERT_FALSE(bms_Parse(b.data(), n, f, error)) << n;
        ASSERT_FALSE(error.empty());
    }
    EXPECT_TRUE(bms_Parse(b.data(), b.size(), f, error)) << error;
    ASSERT_FALSE(bms_Parse(b.data(), 600, f, error));
    EXPECT_NE(error.find("offset 600"), std::string::npos) << error;
    EXPECT_NE(error.find("decor section"), std::string::npos) << error;

    // Counts that claim more than the file holds, or negative ones.
    auto patched = b;
    patched[0x098] = 0xFF;
    patched[0x09B] = 0x7F;
    EXPECT_FALSE(bms_Parse(patched.data(), patched.size(), f, error));
    patched = b;
    patched[0x09F] = 0x80;
    EXPECT_FALSE(bms_Parse(patched.data(), patched.size(), f, error));
    // An event whose rows lie outside the row tables.
    patched = b;
    const std::size_t events =
        waypointTable(b) + kBmsWaypoints * kBmsWaypointSize + kBmsGroups * kBmsGroupSize + kBmsWavs * kBmsWavSize + 12;
    patched[events + 4] = 5;
    EXPECT_FALSE(bms_Parse(patched.data(), patched.size(), f, error));
    EXPECT_NE(error.find("event 0"), std::string::npos) << error;
    // Trailing bytes.
    patched = b;
    patched.push_back(0);
    EXPECT_FALSE(bms_Parse(patched.data(), patched.size(), f, error));
    EXPECT_FALSE(bms_Parse(nullptr, 100, f, error));
}

TEST(BinaryReader, DumpNamesEveryField) {
    FilesEnv env;
    ScopedFakePlatform fake;
    auto m = files_NewMission();
    mission_SetText(m->info.name, "Dump \"me\"");
    files_Add(*m, kTestPersonType, 256, 512, 0);
    m->event_count = 1;
    m->events[0].trigger_count = 1;
    BmsSky sky;
    const std::string d = bms_Dump(parse(mission_ExportBinaryBytes(*m, &sky)));
    EXPECT_NE(d.find("name=\"Dump \\\"me\\\"\""), std::string::npos) << d;
    EXPECT_NE(d.find("persons[0] type_id=1001 "), std::string::npos) << d;
    EXPECT_NE(d.find(" x=65536 y=131072 z=0 "), std::string::npos) << d;
    EXPECT_NE(d.find("event[0] attrib=0 first_trigger=0 first_action=0"), std::string::npos) << d;
    EXPECT_NE(d.find("trigger[0] flags=0 type=0"), std::string::npos) << d;
    EXPECT_NE(d.find("totals events=1 triggers=1 actions=0"), std::string::npos) << d;
}

TEST(BinaryExport, SkyComesFromTheSunsetWithTheMissionsNumber) {
    FilesEnv env;
    ScopedFakePlatform fake;
    sky_Reset();
    EXPECT_EQ(export_SkyFor(3).skyheight, 0);  // no sunsets loaded: all zero
    SkyState& st = sky_State();
    st.count = 2;
    std::strcpy(st.sunsets[0].clouds, "first.pcx");
    st.sunsets[0].number = 1;
    st.sunsets[0].skyHeight = 100;
    std::strcpy(st.sunsets[1].clouds, "second.pcx");
    std::memcpy(st.sunsets[1].skyGradient, "full_sixteen.tga", 16);
    st.sunsets[1].number = 7;
    st.sunsets[1].skyHeight = 700;
    st.sunsets[1].horizon = -5;
    st.sunsets[1].gamma = 9;
    st.sunsets[1].blue = 200;
    auto m = files_NewMission();
    m->info.sunset = 7;
    const BmsFile f = parse(mission_ExportBinaryBytes(*m, nullptr));
    EXPECT_EQ(f.header.clouds, "second.pcx");
    EXPECT_EQ(f.header.skygrad, "full_sixteen.tga");
    EXPECT_EQ(f.header.skyheight, 700);
    EXPECT_EQ(f.header.horizon, -5);
    EXPECT_EQ(f.header.gamma, 9);
    EXPECT_EQ(f.header.b, 200);
    m->info.sunset = 8;  // none has it: the first
    EXPECT_EQ(parse(mission_ExportBinaryBytes(*m, nullptr)).header.clouds, "first.pcx");
    sky_Reset();
}

// The printed listings: exact text against hand-written files, and the file handling of
// the print operations through the fake platform.
#include "logic/listings.h"

#include "logic/events.h"
#include "mission/mission.h"
#include "support/fake_platform.h"
#include "support/core_env.h"
#include "support/fixtures.h"
#include "support/logic_text.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>

namespace {

std::string expectedFile(const std::string& name) {
    return readWholeFile(std::string(SORTIE_TEST_DATA_DIR) + "/listings/" + name);
}

std::tm sampleTime() {
    std::tm t{};
    t.tm_year = 2026 - 1900;
    t.tm_mon = 2;
    t.tm_mday = 14;
    t.tm_hour = 9;
    t.tm_min = 5;
    return t;
}

EventTrigger trig(int flags, int type, int condition, int v1, int v2 = -1, int v3 = -1) {
    return EventTrigger{flags, type, condition, v1, v2, v3, -1, 0};
}

EventAction act(int type, int subtype, int v1, int v2 = -1) { return EventAction{0, type, subtype, v1, v2, -1, -1, 0}; }

void addRows(MissionEvent& ev, std::initializer_list<EventTrigger> triggers,
             std::initializer_list<EventAction> actions) {
    for (const auto& t : triggers) ev.triggers[static_cast<std::size_t>(ev.trigger_count++)] = t;
    for (const auto& a : actions) ev.actions[static_cast<std::size_t>(ev.action_count++)] = a;
}

// The mission of tests/data/listings (also stored there as sample.mis).
std::unique_ptr<Mission> sampleMission() {
    auto m = std::make_unique<Mission>();
    m->file_path = "sample.mis";
    mission_SetText(m->groups[1].description, "Alpha squad");
    mission_SetText(m->groups[2].description, "Bravo squad");
    mission_SetText(m->groups[5].description, "Ridge patrol");
    mission_SetText(m->groups[12].description, "Convoy escort");
    mission_SetText(m->groups[63].description, "Last group");
    const auto item = [&m](std::int32_t type, std::int32_t group, std::int32_t path, std::int32_t number) {
        MissionItem& it = m->items[static_cast<std::size_t>(m->item_count++)];
        it.type_id = type;
        it.group_id = group;
        it.waypoint_id = path;
        it.wpnumber = number;
    };
    for (int i = 0; i < 4; ++i) item(kTestRifleman, 7, 0, 0);  // members alone do not list a group

    // Markers: four on path 1, two on path 3, one on path 127 and three on no path (never
    // listed); areas 1, 4 and 99 in use.
    mission_SetText(m->waypoints[1].description, "Patrol loop");
    for (int n = 1; n <= 4; ++n) item(kWaypointMarkerType, 0, 1, n);
    for (int n = 1; n <= 2; ++n) item(kWaypointMarkerType, 0, 3, n);
    mission_SetText(m->waypoints[10].description, "Unused path");
    mission_SetText(m->waypoints[127].description, "Far path");
    item(kWaypointMarkerType, 0, 127, 1);
    for (int n = 1; n <= 3; ++n) item(kWaypointMarkerType, 0, 0, n);

    mission_SetText(m->area_triggers[1].description, "Bridge");
    for (int a : {1, 4, 99}) item(kAreaMarkerType, 0, 0, a);
    mission_SetText(m->area_triggers[20].description, "Village square");
    mission_SetText(m->area_triggers[99].description, "Edge");
    mission_SetText(m->area_triggers[0].description, "Never listed");

    m->event_count = 4;
    MissionEvent& e0 = m->events[0];
    mission_SetText(e0.name, "Opening");
    e0.attrib = 2;
    addRows(e0, {}, {act(6, -1, 12)});

    MissionEvent& e1 = m->events[1];
    mission_SetText(e1.name, "Ambush");
    e1.attrib = 1 | 4;
    e1.reset_value = 60;
    e1.delay_value = 5;
    addRows(e1, {trig(4, 1, 1, 3, 5), trig(7, 2, 0, 0), trig(2, 3, 0, 12)},
            {act(3, 2, 3, 0), act(16, -1, 7, 1), act(2, -1, 3)});

    // A reset time without the reset flag is not printed.
    MissionEvent& e2 = m->events[2];
    mission_SetText(e2.name, "Quiet");
    e2.reset_value = 99;

    MissionEvent& e3 = m->events[3];
    mission_SetText(e3.name, "Finale");
    e3.delay_value = 10;
    addRows(e3, {trig(0, 1, 8, 2, 11), trig(1 | 4, 1, 12, 6, 3)}, {act(8, -1, -1), act(12, 1, 4, 8)});
    return m;
}

class ListingsTest : public ::testing::Test {
protected:
    ScopedLogicText text_{kLogicTestExtraSource};
    ScopedItemDefs defs_;  // the marker definitions: paths and areas are made of markers
    ListingStamp stamp_ = list_Stamp("sample.mis", sampleTime());
};

TEST_F(ListingsTest, ListingsMatchTheHandWrittenFiles) {
    const auto m = sampleMission();
    std::ostringstream all, one, groups, waypoints, areas;
    list_WriteAllEvents(all, *m, stamp_);
    EXPECT_EQ(all.str(), expectedFile("events.txt"));
    EXPECT_TRUE(list_WriteEvent(one, *m, 1, stamp_));
    EXPECT_EQ(one.str(), expectedFile("event1.txt"));
    list_WriteGroups(groups, *m, stamp_);
    EXPECT_EQ(groups.str(), expectedFile("groups.txt"));
    list_WriteWaypoints(waypoints, *m, stamp_);
    EXPECT_EQ(waypoints.str(), expectedFile("waypoints.txt"));
    list_WriteAreaTriggers(areas, *m, stamp_);
    EXPECT_EQ(areas.str(), expectedFile("areas.txt"));
}

TEST_F(ListingsTest, EmptyListsAndEventsWithoutRows) {
    auto m = std::make_unique<Mission>();
    std::ostringstream groups, one, none;
    list_WriteGroups(groups, *m, stamp_);
    EXPECT_EQ(groups.str(), "Groups of mission sample.mis\nListed 03/14/2026 09:05\n\n");

    m->event_count = 1;
    mission_SetText(m->events[0].name, "Bare");
    m->events[0].attrib = 2 | 4;
    EXPECT_TRUE(list_WriteEvent(one, *m, 0, stamp_));
    EXPECT_EQ(one.str(),
              "Event 0 of mission sample.mis\nListed 03/14/2026 09:05\n\n"
              "Event 0: Bare\nPre-mission event\nPost-mission event\n");

    EXPECT_FALSE(list_WriteEvent(none, *m, 1, stamp_));
    EXPECT_FALSE(list_WriteEvent(none, *m, -1, stamp_));
    EXPECT_EQ(none.str(), "");
}

TEST_F(ListingsTest, ClearedPageListsTheTwoDefaultGroups) {
    auto m = std::make_unique<Mission>();
    mission_Clear(*m);
    std::ostringstream out;
    list_WriteGroups(out, *m, stamp_);
    const std::string text = out.str();
    const std::string one = std::string(" 1 - ") + std::string(mission_Text(m->groups[1].description)) + "\n";
    const std::string two = std::string(" 2 - ") + std::string(mission_Text(m->groups[2].description)) + "\n";
    EXPECT_FALSE(mission_Text(m->groups[1].description).empty());
    EXPECT_EQ(text, "Groups of mission sample.mis\nListed 03/14/2026 09:05\n\n" + one + two);
}

TEST_F(ListingsTest, DamagedCountsNeverReadPastTheRows) {
    auto m = sampleMission();
    m->events[1].trigger_count = 4000;
    m->events[1].action_count = -3;
    m->event_count = 70000;
    std::ostringstream one, all;
    ASSERT_TRUE(list_WriteEvent(one, *m, 1, stamp_));
    EXPECT_EQ(one.str().find("THEN"), std::string::npos);
    // Ten trigger rows: the three set ones and seven empty ones, the last without a logic word.
    const std::string text = one.str();
    EXPECT_NE(text.find("    Campaign variable 12 is set OR\n    (none) AND\n"), std::string::npos);
    EXPECT_TRUE(text.ends_with("    (none) AND\n    (none)\n")) << text;
    list_WriteAllEvents(all, *m, stamp_);
    EXPECT_NE(all.str().find("Event 255: \n"), std::string::npos);
}

TEST_F(ListingsTest, StampComesFromThePageAndSourceDateEpoch) {
    const char* old = std::getenv("SOURCE_DATE_EPOCH");
    const std::string saved = old ? old : "";
    setenv("SOURCE_DATE_EPOCH", "1773479100", 1);  // 2026-03-14 09:05 UTC
    auto m = sampleMission();
    const ListingStamp s = list_Stamp(*m);
    EXPECT_EQ(s.fileName, "sample.mis");
    EXPECT_EQ(s.year, 2026);
    EXPECT_EQ(s.month, 3);
    EXPECT_EQ(s.day, 14);
    EXPECT_EQ(s.hour, 9);
    EXPECT_EQ(s.minute, 5);
    if (old)
        setenv("SOURCE_DATE_EPOCH", saved.c_str(), 1);
    else
        unsetenv("SOURCE_DATE_EPOCH");
}

class PrintTest : public ListingsTest {
protected:
    void SetUp() override { setenv("SOURCE_DATE_EPOCH", "1773479100", 1); }
    void TearDown() override { unsetenv("SOURCE_DATE_EPOCH"); }
    ScopedFakePlatform fake_;
    ScopedTempDir dir_;
};

TEST_F(PrintTest, EachPrintAsksForAFileAndWritesTheListing) {
    const auto m = sampleMission();
    struct Case {
        int (*print)(Dialog*, const Mission&);
        const char* expected;
    };
    const Case cases[] = {
        {list_PrintAllEvents, "events.txt"},
        {list_PrintGroups, "groups.txt"},
        {list_PrintWaypoints, "waypoints.txt"},
        {list_PrintAreaTriggers, "areas.txt"},
    };
    for (const Case& c : cases) {
        const std::string path = dir_.file(std::string("out_") + c.expected);
        fake_->fileAnswers.push_back(path);
        EXPECT_EQ(c.print(nullptr, *m), 1) << c.expected;
        EXPECT_EQ(readWholeFile(path), expectedFile(c.expected)) << c.expected;
    }
    const std::string path = dir_.file("one.txt");
    fake_->fileAnswers.push_back(path);
    EXPECT_EQ(list_PrintEvent(nullptr, *m, 1), 1);
    EXPECT_EQ(readWholeFile(path), expectedFile("event1.txt"));

    ASSERT_EQ(fake_->fileRequests.size(), 5u);
    const FileDialogRequest& req = fake_->fileRequests.back();
    EXPECT_TRUE(req.save);
    EXPECT_TRUE(req.promptOverwrite);
    ASSERT_EQ(req.filters.size(), 1u);
    EXPECT_EQ(req.filters[0].label, "Text files (*.txt)");
    EXPECT_EQ(req.filters[0].pattern, "*.txt");
    EXPECT_EQ(req.defaultExtension, "txt");  // the listing's own, never the mission's
    EXPECT_EQ(req.startFolder, std::filesystem::current_path().string());
}

TEST_F(PrintTest, CancelOrABadEventWritesNothing) {
    const auto m = sampleMission();
    // An empty answer queue cancels.
    EXPECT_EQ(list_PrintGroups(nullptr, *m), 0);
    EXPECT_EQ(fake_->fileRequests.size(), 1u);

    // No event to print: no file is asked for, none is created.
    const std::string path = dir_.file("never.txt");
    fake_->fileAnswers.push_back(path);
    EXPECT_EQ(list_PrintEvent(nullptr, *m, 4), 0);
    EXPECT_EQ(list_PrintEvent(nullptr, *m, -1), 0);
    EXPECT_EQ(fake_->fileRequests.size(), 1u);
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_TRUE(fake_->boxes.empty());
}

TEST_F(PrintTest, AFileThatCannotBeWrittenIsReportedAsNotWrittenAndKeepsTheOldOne) {
    const auto m = sampleMission();
    fake_->fileAnswers.push_back(dir_.file("no/such/folder/list.txt"));
    EXPECT_EQ(list_PrintGroups(nullptr, *m), 0);
    EXPECT_TRUE(fake_->boxes.empty());

    // Replacing an existing file leaves either the old or the new listing, never a mix.
    const std::string path = dir_.write("old.txt", "old listing\n");
    fake_->fileAnswers.push_back(path);
    EXPECT_EQ(list_PrintAreaTriggers(nullptr, *m), 1);
    EXPECT_EQ(readWholeFile(path), expectedFile("areas.txt"));
    for (const auto& entry : std::filesystem::directory_iterator(dir_.path()))
        EXPECT_EQ(entry.path().filename(), "old.txt");  // no temporary left behind
}

}  // namespace

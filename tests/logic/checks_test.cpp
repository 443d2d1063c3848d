// The checks of a page: one small mission text per kind of finding, each against a base
// mission that the checks find clean, and the lines a finding read from a file points at.
#include "logic/checks.h"

#include "mission/metafile.h"
#include "mission/mission.h"
#include "support/files_env.h"
#include "support/logic_text.h"
#include "support/text_tables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <tuple>

namespace {

// A mission as text: general information lines, item and event bodies, then raw blocks.
struct Doc {
    std::string general;
    std::vector<std::string> items;
    std::vector<std::string> events;
    std::string tail;

    std::string text() const {
        std::string s = "begin general_information\n" + general + "num_items " + std::to_string(items.size()) +
                        "\nnum_events " + std::to_string(events.size()) + "\nend general_information\n";
        for (std::size_t i = 0; i < items.size(); ++i)
            s += "begin item " + std::to_string(i) + "\n" + items[i] + "end item\n";
        for (std::size_t e = 0; e < events.size(); ++e)
            s += "begin event " + std::to_string(e) + "\n" + events[e] + "end event\n";
        return s + tail;
    }
};

std::string item(int type, int x, int y, const std::string& more = "") {
    return "type_id " + std::to_string(type) + "\nposition " + std::to_string(x) + " " + std::to_string(y) + " 0\n" +
           more;
}

std::string event(const std::string& name, const std::vector<std::string>& triggers,
                  const std::vector<std::string>& actions) {
    std::string s = "name \"" + name + "\"\nbegin triggers " + std::to_string(triggers.size()) + "\n";
    for (const auto& t : triggers) s += t + "\n";
    s += "end triggers\nbegin actions " + std::to_string(actions.size()) + "\n";
    for (const auto& a : actions) s += a + "\n";
    return s + "end actions\n";
}

// Two blue soldiers of group 1 follow path 1 (two markers) into area 1 (two corners): that
// takes the village (blue wins); a red guard of group 2; losing the village lets red win.
Doc base() {
    Doc d;
    d.items = {
        item(kTestPersonType, 25600, -25600, "team 1\ngroup_id 1\nwaypoint_id 1\n"),
        item(kTestPersonType, 26112, -25600, "team 1\ngroup_id 1\nwaypoint_id 1\n"),
        item(kTestPersonType, 51200, -51200, "team 2\ngroup_id 2\n"),
        item(kWaypointMarkerType, 30720, -25600, "waypoint_id 1\n"),
        item(kWaypointMarkerType, 35840, -25600, "waypoint_id 1\nwpnumber 1\n"),
        item(kAreaMarkerType, 40960, -20480, "wpnumber 1\n"),
        item(kAreaMarkerType, 46080, -30720, "wpnumber 1\n"),
    };
    d.events = {
        event("Taken", {"0 1 10 1 1 0 0 0"}, {"0 8 0 0 0 0 0 0"}),
        event("Lost", {"0 2 0 0 0 0 0 0"}, {"0 9 0 0 0 0 0 0"}),
    };
    return d;
}

using Found = std::tuple<CheckKind, CheckTarget, std::int32_t>;

struct Case {
    const char* name;
    std::function<void(Doc&)> edit;
    std::vector<Found> want;
    std::function<void(Mission&)> after = nullptr;
    const char* vocab = nullptr;  // a vocabulary table of the case's own
};

class Checks : public ::testing::Test {
protected:
    std::vector<CheckFinding> run(const Doc& d, const std::function<void(Mission&)>& after = nullptr,
                                  MetafileLines* lines = nullptr) {
        auto m = files_NewMission();
        MetafileLines local;
        MetafileReadOptions o;
        o.loadTerrain = false;
        o.lines = lines ? lines : &local;
        EXPECT_EQ(metafile_Read(*m, env_.write("m.mis", d.text()).c_str(), o), 1) << d.text();
        if (after) after(*m);
        CheckOptions c;
        c.lines = o.lines;
        return check_Mission(*m, c);
    }

    FilesEnv env_;
    ScopedLogicText text_;
};

TEST_F(Checks, EachKindOfFindingFromItsOwnMission) {
    auto addItem = [](std::string body) { return [body](Doc& d) { d.items.push_back(body); }; };
    auto persons = [](int n) {
        return [n](Mission& m) {
            for (int i = 0; i < n; ++i)
                m.items[std::size_t(files_Add(m, kTestPersonType, 512 * (i + 1), -2560))].team = 2;
        };
    };
    const Case cases[] = {
        {"base mission", [](Doc&) {}, {}},
        {"unknown type", addItem(item(4242, 1000, -1000)), {{CheckKind::UnknownType, CheckTarget::Item, 7}}},
        {"duplicate id",
         [](Doc& d) {
             d.items.push_back(item(kTestDecorType, 1000, -1000, "id 900\n"));
             d.items.push_back(item(kTestDecorType, 2000, -1000, "id 900\n"));
         },
         {{CheckKind::DuplicateId, CheckTarget::Item, 8}}},
        {"marker on path 0",
         addItem(item(kWaypointMarkerType, 1000, -1000, "waypoint_id 0\n")),
         {{CheckKind::MarkerPath, CheckTarget::Item, 7}}},
        {"marker numbered 32",
         addItem(item(kWaypointMarkerType, 1000, -1000, "waypoint_id 1\nwpnumber 32\n")),
         {{CheckKind::MarkerNumber, CheckTarget::Item, 7}, {CheckKind::PathGap, CheckTarget::Path, 1}}},
        {"area marker for area 100",
         addItem(item(kAreaMarkerType, 1000, -1000, "wpnumber 100\n")),
         {{CheckKind::AreaMarker, CheckTarget::Item, 7}}},
        {"group 64",
         addItem(item(kTestDecorType, 1000, -1000, "group_id 64\n")),
         {{CheckKind::GroupRange, CheckTarget::Item, 7}}},
        {"item block beyond num_items",
         [](Doc& d) { d.tail = "begin item 9\ntype_id 2001\nend item\n"; },
         {{CheckKind::LostItem, CheckTarget::General, -1}}},
        {"event block beyond num_events",
         [](Doc& d) { d.tail = "begin event 4\nend event\n"; },
         {{CheckKind::LostEvent, CheckTarget::General, -1}}},
        {"more rows than an event holds",
         [](Doc&) {},
         {{CheckKind::RowCount, CheckTarget::Event, 0}},
         [](Mission& m) { m.events[0].trigger_count = 11; }},
        {"trigger on a missing event",
         [](Doc& d) { d.events[1] = event("Lost", {"0 2 0 7 0 0 0 0"}, {}); },
         {{CheckKind::MissingEvent, CheckTarget::Event, 1}}},
        {"missing terrain",
         [](Doc& d) { d.general = "terrain nowhere\n"; },
         {{CheckKind::MissingTerrain, CheckTarget::General, -1}}},
        {"trigger on a group with no members",
         [](Doc& d) { d.events[0] = event("Taken", {"0 1 4 5 0 0 0 0"}, {"0 8 0 0 0 0 0 0"}); },
         {{CheckKind::EmptyGroup, CheckTarget::Event, 0}}},
        {"action sends a group along a path with no markers",
         [](Doc& d) { d.events[0] = event("Taken", {"0 1 10 1 1 0 0 0"}, {"0 1 1 9 0 0 0 0"}); },
         {{CheckKind::MissingPath, CheckTarget::Event, 0}}},
        {"unit follows a path with no markers",
         addItem(item(kTestPersonType, 1000, -1000, "team 1\nwaypoint_id 9\n")),
         {{CheckKind::MissingPath, CheckTarget::Item, 7}}},
        {"trigger on an area with no markers",
         [](Doc& d) { d.events[0] = event("Taken", {"0 1 10 1 4 0 0 0"}, {"0 8 0 0 0 0 0 0"}); },
         {{CheckKind::MissingArea, CheckTarget::Event, 0}}},
        {"action wins a sub-goal that is not set",
         [](Doc& d) {
             d.general = "subgoals_win 0 -1 -1 -1\n";
             d.events[0] = event("Taken", {"0 1 10 1 1 0 0 0"}, {"0 14 2 0 0 0 0 0"});
         },
         {{CheckKind::MissingSubGoal, CheckTarget::Event, 0}}},
        {"trigger on group 70",
         [](Doc& d) { d.events[0] = event("Taken", {"0 1 4 70 0 0 0 0"}, {"0 8 0 0 0 0 0 0"}); },
         {{CheckKind::MissingRecord, CheckTarget::Event, 0}}},
        {"path of one marker",
         addItem(item(kWaypointMarkerType, 1000, -1000, "waypoint_id 2\n")),
         {{CheckKind::ShortPath, CheckTarget::Path, 2}}},
        {"path numbered 0, 1, 3",
         addItem(item(kWaypointMarkerType, 1000, -1000, "waypoint_id 1\nwpnumber 3\n")),
         {{CheckKind::PathGap, CheckTarget::Path, 1}}},
        {"path numbered 0, 1, 1",
         addItem(item(kWaypointMarkerType, 1000, -1000, "waypoint_id 1\nwpnumber 1\n")),
         {{CheckKind::PathGap, CheckTarget::Path, 1}}},
        {"area of one corner",
         addItem(item(kAreaMarkerType, 1000, -1000, "wpnumber 2\n")),
         {{CheckKind::ShortArea, CheckTarget::Area, 2}}},
        {"event nothing fires",
         [](Doc& d) { d.events.push_back(event("Orphan", {"0 0 0 0 0 0 0 0"}, {})); },
         {{CheckKind::UnreachableEvent, CheckTarget::Event, 2}}},
        {"pre-mission event without triggers", [](Doc& d) { d.events.push_back("name \"Start\"\nattrib 2\n"); }, {}},
        {"unit on another path than its group",
         [](Doc& d) {
             d.items.push_back(item(kWaypointMarkerType, 1000, -1000, "waypoint_id 2\n"));
             d.items.push_back(item(kWaypointMarkerType, 2000, -1000, "waypoint_id 2\nwpnumber 1\n"));
             d.items.push_back(item(kTestPersonType, 3000, -1000, "team 1\ngroup_id 1\nwaypoint_id 2\n"));
         },
         {{CheckKind::StrayUnit, CheckTarget::Item, 9}}},
        {"item north of the terrain",
         addItem(item(kTestDecorType, 1000, 262145)),
         {{CheckKind::OutsideTerrain, CheckTarget::Item, 7}}},
        {"item east of the terrain",
         addItem(item(kTestDecorType, 1024 * 256 + 1, -1000)),
         {{CheckKind::OutsideTerrain, CheckTarget::Item, 7}}},
        {"two decorations at one spot",
         [](Doc& d) {
             d.items.push_back(item(kTestDecorType, 1000, -1000));
             d.items.push_back(item(kTestBuildingType, 1000, -1000));
             d.items.push_back(item(kTestDecorType, 1000, -1000));
         },
         {{CheckKind::StackedItems, CheckTarget::Item, 9}}},
        {"neighbouring areas share a corner",
         addItem(item(kAreaMarkerType, 40960, -20480, "wpnumber 2\n")),
         {{CheckKind::ShortArea, CheckTarget::Area, 2}}},
        {"257 persons", [](Doc&) {}, {{CheckKind::SectionLimit, CheckTarget::General, -1}}, persons(257 - 3)},
        {"240 persons", [](Doc&) {}, {{CheckKind::NearLimit, CheckTarget::General, -1}}, persons(240 - 3)},
        {"the same condition wins and loses",
         [](Doc& d) { d.general = "subgoals_win 3 -1 -1 -1\nsubgoals_lose -1 -1 5 -1\n"; },
         {{CheckKind::SameSubGoals, CheckTarget::General, -1}},
         nullptr,
         "[WinConditions]\nSTRWINCOND003 = Hold the bridge\n[LoseConditions]\nSTRLOSECOND005 = Hold the bridge\n"},
        {"red wins without a red unit",
         [](Doc&) {},
         {{CheckKind::TeamMissing, CheckTarget::Event, 1}},
         [](Mission& m) { m.items[2].team = 0; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TextTable* vocab = c.vocab ? test_TableFromSource(c.vocab) : nullptr;
        TextTable* const previous = text_Tables().vocab;
        if (vocab) text_Tables().vocab = vocab;
        Doc d = base();
        c.edit(d);
        std::vector<Found> got;
        for (const CheckFinding& f : run(d, c.after)) {
            got.emplace_back(f.kind, f.target, f.number);
            EXPECT_FALSE(f.message.empty());
            EXPECT_GT(f.line, 0) << f.message << " " << check_KindName(f.kind);
        }
        text_Tables().vocab = previous;
        text_FreeTable(vocab);
        std::vector<Found> want = c.want;
        std::sort(got.begin(), got.end());
        std::sort(want.begin(), want.end());
        EXPECT_EQ(got, want);
    }
}

TEST_F(Checks, RowFindingsPointAtTheirRowAndNameTheRecords) {
    Doc d = base();
    d.events[0] = event("Taken", {"0 1 10 1 1 0 0 0", "0 1 4 5 0 0 0 0"}, {"0 8 0 0 0 0 0 0", "0 1 1 9 0 0 0 0"});
    MetafileLines lines;
    const auto found = run(d, nullptr, &lines);
    ASSERT_EQ(found.size(), 2u);
    const std::string text = d.text();
    auto lineOfText = [&](const std::string& row) {
        const std::size_t at = text.find(row + "\n");
        return int(std::count(text.begin(), text.begin() + std::ptrdiff_t(at), '\n')) + 1;
    };
    EXPECT_EQ(found[0].kind, CheckKind::EmptyGroup);
    EXPECT_FALSE(found[0].actionRow);
    EXPECT_EQ(found[0].row, 1);
    EXPECT_EQ(found[0].line, lineOfText("0 1 4 5 0 0 0 0"));
    EXPECT_EQ(found[1].kind, CheckKind::MissingPath);
    EXPECT_TRUE(found[1].actionRow);
    EXPECT_EQ(found[1].row, 1);
    EXPECT_EQ(found[1].line, lineOfText("0 1 1 9 0 0 0 0"));
    // Named by number and name: the event's name is in the message.
    EXPECT_NE(found[0].message.find("Taken"), std::string::npos) << found[0].message;
}

TEST_F(Checks, AnEditedPageHasNoLines) {
    Doc d = base();
    d.items.push_back(item(4242, 1000, -1000));
    auto m = files_NewMission();
    MetafileReadOptions o;
    o.loadTerrain = false;
    ASSERT_EQ(metafile_Read(*m, env_.write("m.mis", d.text()).c_str(), o), 1);
    const auto found = check_Mission(*m);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].line, 0);
    CheckOptions noTypes;
    noTypes.itemTypes = false;
    EXPECT_TRUE(check_Mission(*m, noTypes).empty());
}

}  // namespace

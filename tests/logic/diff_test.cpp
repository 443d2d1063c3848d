// Comparing missions by meaning: every kind of change on a small mission holding every
// table, order that must not matter, and the canonical text.
#include "logic/diff.h"

#include "logic/vocab.h"
#include "support/core_env.h"
#include "support/logic_text.h"
#include "support/text_tables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr std::int32_t kSoldierType = 101;
constexpr std::int32_t kTruckType = 200;

// The vocabulary with two people's names added.
class ScopedNames {
public:
    ScopedNames()
        : table_(test_TableFromSource(test_ReadSourceFile("data/text/vocab_kz7wpn.txt") +
                                      "\n[PeopleNames]\nSTRNAME000 = Ada Test\nSTRNAME001 = Bo Test\n")),
          previous_(text_Tables().vocab) {
        text_Tables().vocab = table_;
    }
    ~ScopedNames() {
        text_Tables().vocab = previous_;
        text_FreeTable(table_);
    }

private:
    TextTable* table_;
    TextTable* previous_;
};

std::unique_ptr<Mission> baseMission() {
    auto m = test_NewMission();
    mission_SetText(m->info.name, "Base");
    mission_SetText(m->info.briefing, "Go.\nNow.");
    m->info.subgoals_win = {1, -1, -1, -1};
    mission_SetText(m->groups[3].description, "Ridge");
    mission_SetText(m->waypoints[2].description, "Loop");
    m->waypoints[2].color = 4;
    mission_SetText(m->area_triggers[1].description, "Bridge");
    mission_SetText(m->layers[1].description, "Roads");
    mission_SetText(m->wav_lists[1].description, "Radio");
    mission_SetText(m->wav_lists[1].file_name, "radio.wav");
    m->wind_list.push_back(WindEntry{"Gust", 10, 20, 90, 5, 0});
    m->event_count = 2;
    MissionEvent& e = m->events[0];
    mission_SetText(e.name, "Opening");
    e.trigger_count = 2;
    e.triggers[0] = EventTrigger{kTriggerLogicOr, kTriggerGroup, 4, 3, -1, -1, -1, 0};
    e.triggers[1] = EventTrigger{0, kTriggerSecondTime, 0, 30, -1, -1, -1, 0};
    e.action_count = 1;
    e.actions[0] = EventAction{0, 2, -1, 3, -1, -1, -1, 0};
    mission_SetText(m->events[1].name, "Later");
    const std::int32_t soldier = test_AddItem(*m, kSoldierType, 2560, 5120, 0);
    m->items[std::size_t(soldier)].team = 1;
    test_AddItem(*m, kTruckType, -2560, 0, 256);
    test_AddItem(*m, kTestCrate, 0, 0, 0);
    return m;
}

std::int32_t idAt(const Mission& m, int index) { return m.items[std::size_t(index)].id; }

struct Expected {
    DiffSection section;
    DiffOp op;
    std::int64_t number;
    std::string field;
};

struct Case {
    const char* what;
    std::function<void(Mission&)> change;
    std::vector<Expected> expected;
    std::function<void(const DiffChange&, const Mission&)> check = nullptr;  // on the first change
};

class DiffTest : public ::testing::Test {
protected:
    ScopedLogicText text_{kLogicTestExtraSource};
    ScopedNames names_;
    ScopedItemDefs defs_;
};

TEST_F(DiffTest, EachKindOfChangeIsFoundAndWorded) {
    const auto base = baseMission();
    const std::int32_t soldier = idAt(*base, 0), truck = idAt(*base, 1), crate = idAt(*base, 2);
    using S = DiffSection;
    using O = DiffOp;
    const Case cases[] = {
        {"item moved 3 m east, 4 m north",
         [](Mission& m) { m.items[0].x += 3 * 256, m.items[0].y += 4 * 256; },
         {{S::Item, O::Moved, soldier, "position"}},
         [](const DiffChange& c, const Mission&) {
             EXPECT_DOUBLE_EQ(c.metres, 5.0);
             EXPECT_EQ(c.before, "2560 5120 0");
             EXPECT_EQ(c.after, "3328 6144 0");
             EXPECT_EQ(c.type, "Test item 101");
             EXPECT_EQ(c.name, "Ada Test");
         }},
        {"item removed from the middle: the later ones are still matched",
         [](Mission& m) { mission_RemoveItem(m, 1); },
         {{S::Item, O::Removed, truck, ""}},
         [](const DiffChange& c, const Mission&) {
             EXPECT_EQ(c.type, "Test item 200");
             ASSERT_FALSE(c.fields.empty());
             EXPECT_EQ(c.fields[0].name, "type_id");
         }},
        {"item added", [](Mission& m) { test_AddItem(m, kTestJeep, 1, 2, 3); }, {{S::Item, O::Added, crate + 1, ""}}},
        {"item field",
         [](Mission& m) { m.items[2].layer = 3, m.items[2].fov = 90; },
         {{S::Item, O::Changed, crate, "fov"}, {S::Item, O::Changed, crate, "layer"}},
         [](const DiffChange& c, const Mission&) {
             EXPECT_NE(c.before, "90");
             EXPECT_EQ(c.after, "90");
         }},
        {"person's name",
         [](Mission& m) { m.items[0].name_index = 1; },
         {{S::Item, O::Changed, soldier, "name_index"}},
         [](const DiffChange& c, const Mission&) {
             EXPECT_EQ(c.beforeWords, "Ada Test");
             EXPECT_EQ(c.afterWords, "Bo Test");
             EXPECT_EQ(c.name, "Bo Test");
         }},
        {"event renamed",
         [](Mission& m) { mission_SetText(m.events[1].name, "Much later"); },
         {{S::Event, O::Changed, 1, "name"}}},
        {"trigger row changed",
         [](Mission& m) { m.events[0].triggers[0].var1 = 5; },
         {{S::Event, O::Changed, 0, "trigger 0"}},
         [](const DiffChange& c, const Mission& m) {
             EXPECT_EQ(c.afterWords, event_TriggerText(m.events[0].triggers[0], false));
             EXPECT_NE(c.beforeWords, c.afterWords);
         }},
        {"a number the words do not show still counts",
         [](Mission& m) { m.events[0].triggers[1].var1 = 45; },
         {{S::Event, O::Changed, 0, "trigger 1"}}},
        {"trigger appended: the row before it keeps its numbers",
         [](Mission& m) { m.events[0].triggers[m.events[0].trigger_count++] = m.events[0].triggers[1]; },
         {{S::Event, O::Added, 0, "trigger 2"}}},
        {"action removed",
         [](Mission& m) { m.events[0].action_count = 0; },
         {{S::Event, O::Removed, 0, "action 0"}},
         [](const DiffChange& c, const Mission& m) {
             EXPECT_EQ(c.beforeWords, event_ActionText(m.events[0].actions[0]));
         }},
        {"event added", [](Mission& m) { m.event_count = 3; }, {{S::Event, O::Added, 2, ""}}},
        {"group",
         [](Mission& m) { mission_SetText(m.groups[3].description, "Valley"); },
         {{S::Group, O::Changed, 3, "description"}}},
        {"waypoint path", [](Mission& m) { m.waypoints[2].color = 5; }, {{S::Waypoint, O::Changed, 2, "color"}}},
        {"area trigger added", [](Mission& m) { m.area_triggers[7].attrib = 1; }, {{S::Area, O::Added, 7, ""}}},
        {"layer removed", [](Mission& m) { m.layers[1].description[0] = 0; }, {{S::Layer, O::Removed, 1, ""}}},
        {"wav list",
         [](Mission& m) { mission_SetText(m.wav_lists[1].file_name, "r2.wav"); },
         {{S::WavList, O::Changed, 1, "file_name"}}},
        {"wind entry", [](Mission& m) { m.wind_list[0].speed = 9; }, {{S::Wind, O::Changed, 1, "speed"}}},
        {"general information",
         [](Mission& m) {
             m.info.fog_level = 7, m.info.wind = {5, 180};
         },
         {{S::General, O::Changed, 0, "fog_level"}, {S::General, O::Changed, 0, "wind"}}},
        {"win sub-goals",
         [](Mission& m) { m.info.subgoals_win[1] = 2; },
         {{S::General, O::Changed, 0, "subgoals_win"}},
         [](const DiffChange& c, const Mission&) {
             EXPECT_EQ(c.after, "1 2 -1 -1");
             EXPECT_NE(c.afterWords.find(event_WinConditionName(2)), std::string::npos);
         }},
        {"briefing",
         [](Mission& m) { mission_SetText(m.info.briefing, "Wait."); },
         {{S::Briefing, O::Changed, 0, "text"}}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        auto changed = baseMission();
        k.change(*changed);
        const std::vector<DiffChange> got = diff_Missions(*base, *changed);
        ASSERT_EQ(got.size(), k.expected.size());
        for (std::size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i].section, k.expected[i].section);
            EXPECT_EQ(got[i].op, k.expected[i].op);
            EXPECT_EQ(got[i].number, k.expected[i].number);
            EXPECT_EQ(got[i].field, k.expected[i].field);
        }
        if (k.check) k.check(got[0], *changed);
        // The other way round the same changes appear, added and removed swapped.
        const std::vector<DiffChange> back = diff_Missions(*changed, *base);
        ASSERT_EQ(back.size(), got.size());
        for (std::size_t i = 0; i < got.size(); ++i) {
            const DiffOp swapped = got[i].op == O::Added ? O::Removed : got[i].op == O::Removed ? O::Added : got[i].op;
            EXPECT_EQ(back[i].op, swapped);
            EXPECT_EQ(back[i].before, got[i].after);
        }
    }
}

TEST_F(DiffTest, ItemOrderDoesNotMatterAndTheDumpIsCanonical) {
    const auto a = baseMission();
    auto b = baseMission();
    std::reverse(b->items.begin(), b->items.begin() + b->item_count);
    EXPECT_TRUE(diff_Missions(*a, *b).empty());
    EXPECT_EQ(diff_Dump(*a), diff_Dump(*b));

    // Items sharing an id are matched in table order.
    auto c = baseMission();
    a->items[2].id = c->items[2].id = idAt(*a, 0);
    c->items[2].fov = 1;
    const std::vector<DiffChange> d = diff_Missions(*a, *c);
    ASSERT_EQ(d.size(), 1u);
    EXPECT_EQ(d[0].duplicate, 1);
    EXPECT_EQ(d[0].field, "fov");
}

TEST_F(DiffTest, DumpLeavesOutWhatTheFileLeavesOutAndQuotesTexts) {
    auto m = baseMission();
    mission_SetText(m->layers[2].description, "Say \"hi\"\\\x01");
    const std::string dump = diff_Dump(*m);
    EXPECT_NE(dump.find("general_information fog_level 0\n"), std::string::npos);  // always written
    EXPECT_NE(dump.find("briefing text \"Go.\\nNow.\"\n"), std::string::npos);
    EXPECT_NE(dump.find("layer 2 description \"Say \\\"hi\\\"\\\\\\x01\"\n"), std::string::npos);
    EXPECT_EQ(dump.find("item " + std::to_string(idAt(*m, 2)) + " team"), std::string::npos);  // 0: left out
    EXPECT_NE(dump.find("item " + std::to_string(idAt(*m, 0)) + " name_index 0  # Ada Test\n"), std::string::npos);
}

}  // namespace

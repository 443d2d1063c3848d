// The event logic vocabulary: names, variable slots, value lists and rendered lines, with the
// wording of data/text/logic.txt.
#include "logic/vocab.h"

#include "mission/mission.h"
#include "support/fake_platform.h"
#include "support/logic_text.h"
#include "support/text_tables.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

EventTrigger trigger(int flags, int type, int condition, int v1 = 0, int v2 = 0, int v3 = 0, int v4 = 0) {
    return EventTrigger{flags, type, condition, v1, v2, v3, v4, 0};
}

EventAction action(int type, int subtype, int v1 = 0, int v2 = 0) {
    return EventAction{0, type, subtype, v1, v2, 0, 0, 0};
}

struct TriggerCase {
    int type, condition, v1, v2, v3;
    const char* whenTrue;
    const char* whenFalse;
};

// Every trigger type and every group condition, in both senses.
const std::vector<TriggerCase> kTriggerCases = {
    {0, 0, 1, 2, 3, "(none)", "(none)"},
    {1, 0, 1, 2, 3, "Group: no condition", "Group: no condition"},
    {1, 1, 3, 5, 0, "Group 3 sees group 5", "Group 3 does not see group 5"},
    {1, 2, 3, 5, 0, "Group 3 has targeted group 5", "Group 3 has not targeted group 5"},
    {1, 3, 4, 9, 9, "Group 4 is at red alert", "Group 4 is not at red alert"},
    {1, 4, 4, 9, 9, "Group 4 is destroyed", "Group 4 is not destroyed"},
    {1, 5, 4, 9, 9, "Group 4 has units alive", "Group 4 has no unit alive"},
    {1, 6, 2, 7, 9, "Group 2 has lost more than 7 units", "Group 2 has not lost more than 7 units"},
    {1, 7, 2, 11, 6, "Group 2 is at waypoint path 11, point 6", "Group 2 is not at waypoint path 11, point 6"},
    // The path chosen in slot 2 does not show.
    {1, 8, 2, 11, 6, "Group 2 has finished its waypoint path", "Group 2 has not finished its waypoint path"},
    {1, 9, 8, 1, 1, "Group 8 is intact", "Group 8 is not intact"},
    {1, 10, 8, 42, 1, "Group 8 is within area trigger 42", "Group 8 is not within area trigger 42"},
    {1, 11, 8, 9, 1, "Group 8 is holding group 9", "Group 8 is not holding group 9"},
    // The false sense has its own wording.
    {1, 12, 6, 3, 1, "Group 6 has more than 3 units", "Group 6 has 3 units or fewer"},
    {1, 13, 6, 1, 1, "Group 6 has shot at group 1", "Group 6 has not shot at group 1"},
    {1, 14, 6, 1, 1, "(none)", "(none)"},
    {1, -1, 6, 1, 1, "(none)", "(none)"},
    {2, 0, 17, 5, 5, "Event 17 has happened", "Event 17 has not happened"},
    {3, 0, 12, 5, 5, "Campaign variable 12 is set", "Campaign variable 12 is not set"},
    {4, 0, 12, 5, 5, "Second time through the mission", "First time through the mission"},
    {5, 0, 12, 5, 5, "Squadmates are on", "Squadmates are off"},
    {6, 0, 12, 5, 5, "???", "???"},
    {-3, 0, 12, 5, 5, "???", "???"},
};

struct ActionCase {
    int type, subtype, v1, v2;
    const char* text;
};

const std::vector<ActionCase> kActionCases = {
    {0, 0, 1, 2, "(none)"},
    {1, 0, 3, 14, "Send group 3 along waypoint path 14"},
    {2, 0, 3, -1, "Kill group 3"},
    {3, 2, 3, 0, "Change AI of group 3: guarding off"},
    {4, 0, 9, 0, "Vaporize group 9"},
    {5, 0, 30, 1, "Set campaign variable 30 to 1"},
    {6, 0, 512, 0, "Show text message 512"},
    {7, 0, 4, 0, "Play wav list 4"},
    {8, 0, 4, 0, "Blue team wins"},
    {9, 0, 4, 0, "Red team wins"},
    {10, 0, 4, 0, "Green team wins"},
    {11, 0, 5, 40, "Set group 5 to 40 km/h"},
    {12, 5, 21, 0, "Change AI of all red units in area 21: to red alert"},
    {13, 7, 22, 90, "Change AI of all blue units in area 22: field of view to 90 degrees"},
    {14, 0, 2, 0, "Sub-goal 2 is won"},
    {15, 0, 3, 0, "Sub-goal 3 is lost"},
    {16, 0, 7, 0, "Change group 7 to team Green"},
    {16, 0, 7, 1, "Change group 7 to team Blue"},
    {16, 0, 7, 2, "Change group 7 to team Red"},
    // No team colour for other values: only the formatted part.
    {16, 0, 7, 5, "Change group 7 to team "},
    {16, 0, 7, -1, "Change group 7 to team "},
    {17, 0, 7, 8, "Move the units of group 7 to group 8"},
    {18, 0, 7, 31, "Teleport group 7 to target 31"},
    {19, 0, 7, 31, "Reserved action"},
    {-1, 0, 7, 31, "Reserved action"},
};

// The AI change of every subtype, with var2 = 0 and var2 = 1 (or a value).
struct AiCase {
    int subtype;
    int value;
    const char* text;
};

const std::vector<AiCase> kAiCases = {
    {0, 1, "no change"},
    {1, 6, "weapon to 6"},
    {2, 1, "guarding on"},
    {2, 0, "guarding off"},
    {3, 1, "standing on"},
    {3, 0, "standing off"},
    {4, 1, "prone on"},
    {4, 0, "prone off"},
    {5, 0, "to red alert"},
    {6, 0, "to green alert"},
    {7, 270, "field of view to 270 degrees"},
    {8, 55, "accuracy to 55"},
    {9, 65, "perception to 65"},
    {10, 4, "move timer to 4 seconds"},
    {11, 5, "crouch timer to 5 seconds"},
    {12, 6, "attention span to 6 seconds"},
    {13, 20, "obliqueness to 20 degrees"},
    {14, 7, "silent on"},
    {14, 0, "silent off"},
    {15, 1, "blind on"},
    {15, 0, "blind off"},
    {16, 1, "berserk on"},
    {16, 0, "berserk off"},
    {17, 1, "climbing on"},
    {17, 0, "climbing off"},
    {18, 1, "keep out of water on"},
    {18, 0, "keep out of water off"},
    {19, 1, "deaf on"},
    {19, 0, "deaf off"},
    // Subtypes no table knows read like subtype 0.
    {20, 1, "no change"},
    {-2, 1, "no change"},
};

class VocabTest : public ::testing::Test {
protected:
    ScopedLogicText text_;
};

TEST_F(VocabTest, EveryTriggerRendersInBothSenses) {
    for (const auto& c : kTriggerCases) {
        SCOPED_TRACE("type " + std::to_string(c.type) + " condition " + std::to_string(c.condition));
        EXPECT_EQ(event_TriggerText(trigger(0, c.type, c.condition, c.v1, c.v2, c.v3), true), c.whenTrue);
        EXPECT_EQ(event_TriggerText(trigger(1, c.type, c.condition, c.v1, c.v2, c.v3), true), c.whenFalse);
    }
}

TEST_F(VocabTest, LogicWordFollowsEveryTriggerButTheLast) {
    const EventTrigger sees = trigger(0, 1, 1, 3, 5);
    EXPECT_EQ(event_TriggerText(sees, false), "Group 3 sees group 5 AND");
    EXPECT_EQ(event_TriggerText(trigger(2, 1, 1, 3, 5), false), "Group 3 sees group 5 OR");
    EXPECT_EQ(event_TriggerText(trigger(4, 1, 1, 3, 5), false), "Group 3 sees group 5 XOR");
    // OR wins when both logic bits are set; the sense bit does not disturb the logic word.
    EXPECT_EQ(event_TriggerText(trigger(6, 1, 1, 3, 5), false), "Group 3 sees group 5 OR");
    EXPECT_EQ(event_TriggerText(trigger(7, 2, 0, 9), false), "Event 9 has not happened OR");
    // Bits beyond the logic ones are carried, not read.
    EXPECT_EQ(event_TriggerText(trigger(8 | 16, 4, 0), false), "Second time through the mission AND");
    EXPECT_EQ(event_TriggerText(trigger(0, 0, 0), false), "(none) AND");
    EXPECT_EQ(event_TriggerText(trigger(0, 6, 0), false), "??? AND");
    // The last trigger never shows its logic word, whatever its bits.
    for (int flags = 0; flags < 8; ++flags)
        EXPECT_EQ(event_TriggerText(trigger(flags & ~1, 1, 1, 3, 5), true), "Group 3 sees group 5");
}

TEST_F(VocabTest, WithThePageGroupsPathsAndAreasAreNamed) {
    auto page = std::make_unique<Mission>();
    mission_SetText(page->groups[2].description, "Red Players");
    mission_SetText(page->groups[3].description, "Scouts");
    mission_SetText(page->waypoints[4].description, "Ridge road");
    mission_SetText(page->area_triggers[1].description, "Village square");
    struct Case {
        std::string line, want;
    };
    const Case cases[] = {
        {event_TriggerText(trigger(0, 1, 4, 2), true, page.get()), "Group 2 Red Players is destroyed"},
        {event_TriggerText(trigger(0, 1, 7, 3, 4, 6), false, page.get()),
         "Group 3 Scouts is at waypoint path 4 Ridge road, point 6 AND"},
        {event_TriggerText(trigger(0, 1, 10, 2, 1), true, page.get()),
         "Group 2 Red Players is within area trigger 1 Village square"},
        // A record without a description, a number that names no record: the number alone.
        {event_TriggerText(trigger(0, 1, 10, 5, 1), true, page.get()),
         "Group 5 is within area trigger 1 Village square"},
        {event_TriggerText(trigger(0, 1, 4, 99), true, page.get()), "Group 99 is destroyed"},
        {event_TriggerText(trigger(0, 1, 4, 2), true), "Group 2 is destroyed"},
        {event_ActionText(action(1, 0, 3, 4), page.get()), "Send group 3 Scouts along waypoint path 4 Ridge road"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.line, c.want);
}

TEST_F(VocabTest, EveryActionRenders) {
    for (const auto& c : kActionCases) {
        SCOPED_TRACE("type " + std::to_string(c.type) + " var2 " + std::to_string(c.v2));
        EXPECT_EQ(event_ActionText(action(c.type, c.subtype, c.v1, c.v2)), c.text);
    }
}

TEST_F(VocabTest, EveryAiChangeRendersAndEmbedsInAllThreeActions) {
    for (const auto& c : kAiCases) {
        SCOPED_TRACE("subtype " + std::to_string(c.subtype) + " value " + std::to_string(c.value));
        EXPECT_EQ(event_AiChangeText(action(3, c.subtype, 1, c.value)), c.text);
        EXPECT_EQ(event_ActionText(action(3, c.subtype, 4, c.value)), std::string("Change AI of group 4: ") + c.text);
        EXPECT_EQ(event_ActionText(action(12, c.subtype, 4, c.value)),
                  std::string("Change AI of all red units in area 4: ") + c.text);
        EXPECT_EQ(event_ActionText(action(13, c.subtype, 4, c.value)),
                  std::string("Change AI of all blue units in area 4: ") + c.text);
    }
}

TEST_F(VocabTest, NamesFallBackOutsideTheirTables) {
    const std::vector<std::pair<int, const char*>> types = {
        {0, "(none)"},     {1, "Group"},  {2, "Event"},  {3, "Campaign variable"}, {4, "Second time through"},
        {5, "Squadmates"}, {6, "(none)"}, {-1, "(none)"}};
    for (const auto& [code, name] : types) EXPECT_EQ(event_TriggerTypeName(code), name) << code;

    EXPECT_EQ(event_ConditionName(1, 0), "(none)");
    EXPECT_EQ(event_ConditionName(1, 1), "Has seen group");
    EXPECT_EQ(event_ConditionName(1, 8), "Finished waypoint path");
    EXPECT_EQ(event_ConditionName(1, 13), "Has shot at group");
    EXPECT_EQ(event_ConditionName(1, 14), "(none)");
    EXPECT_EQ(event_ConditionName(2, 1), "(none)");  // conditions belong to GROUP only

    EXPECT_EQ(event_ActionTypeName(0), "(none)");
    EXPECT_EQ(event_ActionTypeName(2), "Kill group");
    EXPECT_EQ(event_ActionTypeName(18), "Teleport group");
    EXPECT_EQ(event_ActionTypeName(19), "Reserved");
    EXPECT_EQ(event_ActionTypeName(-5), "Reserved");

    EXPECT_EQ(event_AiSubtypeName(3, 2), "Guard");
    EXPECT_EQ(event_AiSubtypeName(12, 19), "Deaf");
    EXPECT_EQ(event_AiSubtypeName(13, 1), "New weapon");
    EXPECT_EQ(event_AiSubtypeName(3, 0), "(none)");
    EXPECT_EQ(event_AiSubtypeName(3, 20), "(none)");
    EXPECT_EQ(event_AiSubtypeName(4, 2), "(none)");  // not an AI-changing action
}

TEST_F(VocabTest, TriggerVariableSpecs) {
    LogicVarSpec s = event_TriggerVars(1, 7);
    EXPECT_TRUE(s.selectorEnabled);
    EXPECT_EQ(s.slots[0].labelKey, "GROUP1");
    EXPECT_EQ(s.slots[0].label, "First group");
    EXPECT_EQ(s.slots[0].list, LogicList::Groups);
    EXPECT_EQ(s.slots[1].list, LogicList::Waypoints);
    EXPECT_EQ(s.slots[2].labelKey, "WAYPOINT_NUMBER");
    EXPECT_EQ(s.slots[2].list, LogicList::WaypointNumbers);
    EXPECT_EQ(s.slots[3].labelKey, "NULL");
    EXPECT_EQ(s.slots[3].label, "(none)");
    EXPECT_EQ(s.slots[3].list, LogicList::None);

    // The waypoint path is offered even though the line does not show it.
    s = event_TriggerVars(1, 8);
    EXPECT_EQ(s.slots[1].list, LogicList::Waypoints);
    EXPECT_EQ(s.slots[2].list, LogicList::None);

    s = event_TriggerVars(1, 10);
    EXPECT_EQ(s.slots[0].labelKey, "GROUP");
    EXPECT_EQ(s.slots[1].label, "Area trigger");
    EXPECT_EQ(s.slots[1].list, LogicList::Areas);
    s = event_TriggerVars(1, 11);
    EXPECT_EQ(s.slots[1].label, "Held group");
    EXPECT_EQ(s.slots[1].list, LogicList::Groups);
    s = event_TriggerVars(1, 12);
    EXPECT_EQ(s.slots[1].list, LogicList::UnitCount);

    // GROUP keeps its condition selector even for conditions no table knows.
    s = event_TriggerVars(1, 0);
    EXPECT_TRUE(s.selectorEnabled);
    EXPECT_EQ(s.slots[0].list, LogicList::None);
    s = event_TriggerVars(1, 40);
    EXPECT_TRUE(s.selectorEnabled);
    for (const auto& slot : s.slots) EXPECT_EQ(slot.list, LogicList::None);

    s = event_TriggerVars(2, 5);
    EXPECT_FALSE(s.selectorEnabled);
    EXPECT_EQ(s.slots[0].label, "Event number");
    EXPECT_EQ(s.slots[0].list, LogicList::Events);
    EXPECT_EQ(s.slots[1].list, LogicList::None);
    s = event_TriggerVars(3, 0);
    EXPECT_EQ(s.slots[0].label, "Campaign variable to test");
    EXPECT_EQ(s.slots[0].list, LogicList::CampaignVars);
    for (int type : {0, 4, 5, 6, -1}) {
        s = event_TriggerVars(type, 1);
        EXPECT_FALSE(s.selectorEnabled) << type;
        for (const auto& slot : s.slots) {
            EXPECT_EQ(slot.list, LogicList::None) << type;
            EXPECT_EQ(slot.label, "(none)") << type;
        }
    }
}

TEST_F(VocabTest, ActionVariableSpecs) {
    LogicVarSpec s = event_ActionVars(2, 0);
    EXPECT_FALSE(s.selectorEnabled);
    EXPECT_EQ(s.slots[0].labelKey, "GROUP");
    EXPECT_EQ(s.slots[0].list, LogicList::Groups);
    EXPECT_EQ(s.slots[1].list, LogicList::None);

    s = event_ActionVars(5, 0);
    EXPECT_EQ(s.slots[0].label, "Campaign variable to set");
    EXPECT_EQ(s.slots[0].list, LogicList::CampaignVars);
    EXPECT_EQ(s.slots[1].list, LogicList::Bits);
    s = event_ActionVars(16, 0);
    EXPECT_EQ(s.slots[1].list, LogicList::Teams);
    s = event_ActionVars(14, 0);
    EXPECT_EQ(s.slots[0].list, LogicList::WinSubGoals);
    s = event_ActionVars(15, 0);
    EXPECT_EQ(s.slots[0].list, LogicList::LoseSubGoals);

    // Slot 2 of the AI-changing actions follows the subtype.
    s = event_ActionVars(3, 1);
    EXPECT_TRUE(s.selectorEnabled);
    EXPECT_EQ(s.slots[1].label, "Weapon");
    EXPECT_EQ(s.slots[1].list, LogicList::Weapons);
    s = event_ActionVars(12, 7);
    EXPECT_EQ(s.slots[0].list, LogicList::Areas);
    EXPECT_EQ(s.slots[1].list, LogicList::Degrees);
    s = event_ActionVars(13, 5);
    EXPECT_EQ(s.slots[1].labelKey, "NULL");
    EXPECT_EQ(s.slots[1].list, LogicList::None);
    s = event_ActionVars(3, 20);
    EXPECT_TRUE(s.selectorEnabled);
    EXPECT_EQ(s.slots[1].list, LogicList::None);
    EXPECT_EQ(event_AiValueVar(10).label, "Time (seconds)");
    EXPECT_EQ(event_AiValueVar(10).list, LogicList::Numbers);
    EXPECT_EQ(event_AiValueVar(-1).list, LogicList::None);

    for (int type : {0, 8, 19, -1}) {
        s = event_ActionVars(type, 2);
        EXPECT_FALSE(s.selectorEnabled) << type;
        for (const auto& slot : s.slots) EXPECT_EQ(slot.list, LogicList::None) << type;
    }
    for (int type = 0; type <= 18; ++type) {
        s = event_ActionVars(type, 2);
        EXPECT_EQ(s.slots[2].list, LogicList::None);
        EXPECT_EQ(s.slots[3].list, LogicList::None);
    }
}

TEST_F(VocabTest, RecordListsListEverySlot) {
    auto m = std::make_unique<Mission>();
    mission_SetText(m->groups[3].description, "Ridge patrol");
    mission_SetText(m->waypoints[127].description, "Long way round");
    mission_SetText(m->area_triggers[10].description, "Bunker");
    m->event_count = 1;
    mission_SetText(m->events[0].name, "Start");

    const ValueList groups = list_Groups(*m);
    ASSERT_EQ(groups.size(), 64u);
    EXPECT_EQ(groups[0].text, "(none)");
    EXPECT_EQ(groups[0].data, 0);
    EXPECT_EQ(groups[3].text, " 3 - Ridge patrol");
    EXPECT_EQ(groups[3].data, 3);
    EXPECT_EQ(groups[63].text, "63 - ");
    EXPECT_EQ(groups[63].data, 63);

    const ValueList wps = list_Waypoints(*m);
    ASSERT_EQ(wps.size(), 128u);
    EXPECT_EQ(wps[127].text, "127 - Long way round");
    const ValueList areas = list_Areas(*m);
    ASSERT_EQ(areas.size(), 100u);
    EXPECT_EQ(areas[10].text, "10 - Bunker");
    EXPECT_EQ(areas[99].data, 99);

    // Every event slot, also with one event, and no "none" entry.
    const ValueList events = list_Events(*m);
    ASSERT_EQ(events.size(), 256u);
    EXPECT_EQ(events[0].text, "(0) Start");
    EXPECT_EQ(events[0].data, 0);
    EXPECT_EQ(events[255].text, "(255) ");
    EXPECT_EQ(events[255].data, 255);
}

TEST_F(VocabTest, FixedLists) {
    const auto check = [](const ValueList& l, std::size_t size, std::size_t i, const char* text, std::int64_t data) {
        ASSERT_EQ(l.size(), size);
        EXPECT_EQ(l[i].text, text);
        EXPECT_EQ(l[i].data, data);
    };
    auto m = std::make_unique<Mission>();
    check(list_CampaignVars(), 32, 0, "(none)", 0);
    check(list_CampaignVars(), 32, 31, "Campaign variable 31", 31);
    check(list_WaypointNumbers(), 32, 0, "(none)", 0);
    check(list_WaypointNumbers(), 32, 1, "1", 1);
    check(list_Bits(), 2, 1, "1", 1);
    check(list_Percent(), 101, 100, "100", 100);
    check(list_UnitCount(), 129, 128, "128", 128);
    check(list_Degrees(), 360, 359, "359", 359);
    check(list_Numbers(), 1000, 999, "999", 999);
    check(list_TeleportTargets(), 32, 0, "0", 0);
    check(list_Teams(), 3, 2, "Red", 2);
    const ValueList weapons = list_Weapons();
    ASSERT_EQ(weapons.size(), 7u);
    const std::vector<std::int64_t> data = {0, 1, 2, 3, 6, 8, 9};
    for (std::size_t i = 0; i < data.size(); ++i) EXPECT_EQ(weapons[i].data, data[i]);
    EXPECT_EQ(weapons[0].text, "None");
    EXPECT_EQ(weapons[4].text, "Silenced submachine gun");
    EXPECT_TRUE(list_Build(LogicList::None, *m).empty());
    EXPECT_EQ(list_Build(LogicList::Degrees, *m).size(), 360u);
    EXPECT_EQ(list_Build(LogicList::Groups, *m).size(), 64u);
}

TEST_F(VocabTest, SubGoalListsNameTheMissionsConditions) {
    auto m = std::make_unique<Mission>();
    m->info.subgoals_win = {7, 0, -1, 99};
    m->info.subgoals_lose = {12, -1, -1, 1};
    const ValueList win = list_WinSubGoals(*m);
    ASSERT_EQ(win.size(), 4u);
    EXPECT_EQ(win[0].text, "1 - Escort the convoy to the depot");
    EXPECT_EQ(win[0].data, 1);
    EXPECT_EQ(win[1].text, "2 - Reach the extraction point");
    EXPECT_EQ(win[2].text, "3 - (none)");
    EXPECT_EQ(win[3].text, "4 - Condition 99");  // the vocabulary has no name for it
    EXPECT_EQ(win[3].data, 4);
    const ValueList lose = list_LoseSubGoals(*m);
    EXPECT_EQ(lose[0].text, "1 - The squad is spotted");
    EXPECT_EQ(lose[1].text, "2 - (none)");
    EXPECT_EQ(lose[3].text, "4 - A hostage is killed");
}

TEST(VocabNoVocabulary, SubGoalsWithoutTheVocabularyTableNameTheCode) {
    ScopedLogicText text({}, false);
    EXPECT_EQ(event_WinConditionName(3), "Condition 3");
    EXPECT_EQ(event_LoseConditionName(-1), "(none)");
}

// A drop-down driven through the dialog interface.
class ComboProc : public DialogProc {
public:
    void onInit(Dialog&) override {}
    void onCommand(Dialog&, int, Notify) override {}
};

TEST_F(VocabTest, SelectByDataPicksTheFirstMatchOrEntryZero) {
    ComboProc proc;
    FakeDialog dlg(proc);
    auto m = std::make_unique<Mission>();
    vocab_FillCombo(dlg, 10, list_Percent());
    ASSERT_EQ(dlg.entryCount(10), 101);
    vocab_SelectComboData(dlg, 10, 42);
    EXPECT_EQ(dlg.selection(10), 42);
    // A stored value no entry carries selects entry 0, whose data OK would then store.
    vocab_SelectComboData(dlg, 10, 500);
    EXPECT_EQ(dlg.selection(10), 0);
    EXPECT_EQ(dlg.entryData(10, dlg.selection(10)), 0);

    dlg.clearEntries(11);
    dlg.addEntry(11, "a", 5);
    dlg.addEntry(11, "b", 7);
    dlg.addEntry(11, "c", 7);
    vocab_SelectComboData(dlg, 11, 7);
    EXPECT_EQ(dlg.selection(11), 1);

    // Refilling replaces the entries.
    vocab_FillCombo(dlg, 11, list_Groups(*m));
    EXPECT_EQ(dlg.entryCount(11), 64);
    EXPECT_EQ(dlg.entryText(11, 0), "(none)");

    dlg.clearEntries(12);
    vocab_SelectComboData(dlg, 12, 3);
    EXPECT_EQ(dlg.selection(12), -1);
}

// Wording is data: a long text renders whole, and a text that does not fit the arguments
// gives the fallback instead of reading arguments that are not there.
TEST(VocabWording, LongAndUnfitWordingIsHandledSafely) {
    const std::string longWords(5000, 'x');
    ScopedTextTable table("[Triggers]\nGROUP_SEES_GROUP = " + longWords +
                          " %i %i\n"
                          "GROUP_NOT_SEES_GROUP = %s sees %s\n"
                          "CHANGE_GROUP = %i%s%s\n"
                          "GUARD_ON = " +
                          longWords +
                          "\n"
                          "ELIMINATE_GROUP = %n\n"
                          "[Trigger Logic]\nAND = " +
                          longWords + "\n");
    EXPECT_EQ(event_TriggerText(trigger(0, 1, 1, 3, 5), true), longWords + " 3 5");
    EXPECT_EQ(event_TriggerText(trigger(0, 1, 1, 3, 5), false), longWords + " 3 5" + longWords);
    EXPECT_EQ(event_TriggerText(trigger(1, 1, 1, 3, 5), true), "Bad Texttool String");
    EXPECT_EQ(event_AiChangeText(action(3, 2, 1, 1)), longWords);
    EXPECT_EQ(event_ActionText(action(3, 2, 1, 1)), "Bad Texttool String");
    EXPECT_EQ(event_ActionText(action(2, 0, 1, 1)), "Bad Texttool String");
    // Keys the table lacks give the fallback text.
    EXPECT_EQ(event_TriggerTypeName(1), "Bad Texttool String");
    EXPECT_EQ(event_ActionText(action(4, 0, 1, 1)), "Bad Texttool String");
}

}  // namespace

// The event table operations: adding, removing and inserting events, triggers and actions,
// and the renumbering of EVENT references that goes with removing and inserting events.
#include "logic/events.h"

#include "logic/vocab.h"
#include "support/logic_text.h"
#include "support/text_tables.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

EventTrigger eventRef(int target, int flags = 0) {
    return EventTrigger{flags, kTriggerEvent, 0, target, -1, -1, -1, 0};
}

EventTrigger groupTrigger(int group) { return EventTrigger{0, kTriggerGroup, 4, group, -1, -1, -1, 0}; }

EventAction killGroup(int group) { return EventAction{0, 2, -1, group, -1, -1, -1, 0}; }

std::unique_ptr<Mission> makeMission() { return std::make_unique<Mission>(); }

// Adds an event named name whose triggers are the given rows.
int addEvent(Mission& m, const std::string& name, const std::vector<EventTrigger>& triggers) {
    const int e = event_Add(m);
    EXPECT_GE(e, 0);
    MissionEvent& ev = m.events[static_cast<std::size_t>(e)];
    mission_SetText(ev.name, name);
    for (const auto& t : triggers) ev.triggers[static_cast<std::size_t>(ev.trigger_count++)] = t;
    return e;
}

std::string nameOf(const Mission& m, int e) {
    return std::string(mission_Text(m.events[static_cast<std::size_t>(e)].name));
}

// Every slot past a count is zero.
void expectCleanTail(const Mission& m) {
    for (int e = m.event_count; e < kMaxEvents; ++e) {
        const MissionEvent& ev = m.events[static_cast<std::size_t>(e)];
        EXPECT_EQ(ev.name[0], 0) << e;
        EXPECT_EQ(ev.trigger_count, 0) << e;
        EXPECT_EQ(ev.action_count, 0) << e;
    }
    for (int e = 0; e < m.event_count; ++e) {
        const MissionEvent& ev = m.events[static_cast<std::size_t>(e)];
        for (int t = ev.trigger_count; t < kEventMaxTriggers; ++t)
            EXPECT_EQ(ev.triggers[static_cast<std::size_t>(t)].type, 0) << e << "/" << t;
        for (int a = ev.action_count; a < kEventMaxActions; ++a)
            EXPECT_EQ(ev.actions[static_cast<std::size_t>(a)].type, 0) << e << "/" << a;
    }
}

class EventsTest : public ::testing::Test {
protected:
    void SetUp() override { event_ResetClipboard(); }
    ScopedLogicText text_;
};

TEST_F(EventsTest, AddNamesTheEventAndStopsAtTheTableEnd) {
    auto m = makeMission();
    m->events[0].trigger_count = 3;  // a stale slot is cleared whole
    m->events[0].attrib = 7;
    EXPECT_EQ(event_Add(*m), 0);
    EXPECT_EQ(nameOf(*m, 0), "Event 0");
    EXPECT_EQ(m->events[0].trigger_count, 0);
    EXPECT_EQ(m->events[0].attrib, 0);
    EXPECT_EQ(event_Add(*m), 1);
    EXPECT_EQ(nameOf(*m, 1), "Event 1");
    EXPECT_EQ(m->event_count, 2);

    m->event_count = kMaxEvents - 1;
    EXPECT_EQ(event_Add(*m), 255);
    EXPECT_EQ(nameOf(*m, 255), "Event 255");
    EXPECT_EQ(event_Add(*m), -1);
    EXPECT_EQ(m->event_count, kMaxEvents);
    m->event_count = 9999;  // a count no file should carry
    EXPECT_EQ(event_Add(*m), -1);
}

TEST(EventsWording, LongDefaultNameIsCutToTheField) {
    ScopedTextTable table("[Triggers]\nEVENT_NUM = " + std::string(100, 'n') + " %i\n");
    auto m = makeMission();
    ASSERT_EQ(event_Add(*m), 0);
    EXPECT_EQ(nameOf(*m, 0), std::string(63, 'n'));
}

TEST_F(EventsTest, RemoveFixesReferences) {
    auto m = makeMission();
    addEvent(*m, "zero", {});
    addEvent(*m, "one", {eventRef(3), eventRef(5), eventRef(1), groupTrigger(3), eventRef(3)});
    addEvent(*m, "two", {eventRef(3)});
    addEvent(*m, "three", {eventRef(5)});
    addEvent(*m, "four", {eventRef(3, 7), eventRef(4), eventRef(0)});
    addEvent(*m, "five", {groupTrigger(3)});

    EXPECT_EQ(event_Remove(*m, 3), 1);
    ASSERT_EQ(m->event_count, 5);
    EXPECT_EQ(nameOf(*m, 3), "four");
    EXPECT_EQ(nameOf(*m, 4), "five");

    // "one": both references to 3 gone, 5 -> 4, 1 and the group trigger untouched.
    const MissionEvent& one = m->events[1];
    ASSERT_EQ(one.trigger_count, 3);
    EXPECT_EQ(one.triggers[0].var1, 4);
    EXPECT_EQ(one.triggers[1].var1, 1);
    EXPECT_EQ(one.triggers[2].type, kTriggerGroup);
    EXPECT_EQ(one.triggers[2].var1, 3);  // a group number, not an event
    EXPECT_EQ(m->events[2].trigger_count, 0);
    const MissionEvent& four = m->events[3];
    ASSERT_EQ(four.trigger_count, 2);
    EXPECT_EQ(four.triggers[0].var1, 3);
    EXPECT_EQ(four.triggers[1].var1, 0);
    EXPECT_EQ(m->events[4].triggers[0].var1, 3);
    expectCleanTail(*m);

    EXPECT_EQ(event_Remove(*m, 5), 0);
    EXPECT_EQ(event_Remove(*m, -1), 0);
    EXPECT_EQ(m->event_count, 5);
}

TEST_F(EventsTest, RemovingTheOnlyEventEmptiesTheTable) {
    auto m = makeMission();
    addEvent(*m, "only", {eventRef(0)});
    EXPECT_EQ(event_Remove(*m, 0), 1);
    EXPECT_EQ(m->event_count, 0);
    expectCleanTail(*m);
}

TEST_F(EventsTest, InsertShiftsReferencesIncludingTheCopy) {
    auto m = makeMission();
    addEvent(*m, "zero", {eventRef(1)});
    addEvent(*m, "one", {eventRef(0), eventRef(2)});
    addEvent(*m, "two", {eventRef(1, 2), groupTrigger(1)});

    // The copy of "two" refers to "one" (index 1) and a group.
    MissionEvent copy = m->events[2];
    mission_SetText(copy.name, "pasted");
    EXPECT_EQ(event_InsertAt(*m, copy, 0), 1);
    ASSERT_EQ(m->event_count, 4);
    EXPECT_EQ(nameOf(*m, 0), "pasted");
    EXPECT_EQ(m->events[0].triggers[0].var1, 2);  // still "one"
    EXPECT_EQ(m->events[0].triggers[0].flags, 2);
    EXPECT_EQ(m->events[0].triggers[1].var1, 1);  // group number kept
    EXPECT_EQ(m->events[1].triggers[0].var1, 2);
    EXPECT_EQ(m->events[2].triggers[0].var1, 1);
    EXPECT_EQ(m->events[2].triggers[1].var1, 3);

    // Only before an existing event; the end of the list is no place to paste.
    EXPECT_EQ(event_InsertAt(*m, copy, 4), 0);
    EXPECT_EQ(event_InsertAt(*m, copy, -1), 0);
    EXPECT_EQ(m->event_count, 4);

    // An event of the table itself may be pasted.
    EXPECT_EQ(event_InsertAt(*m, m->events[3], 3), 1);
    EXPECT_EQ(nameOf(*m, 3), "two");
    EXPECT_EQ(nameOf(*m, 4), "two");
    EXPECT_EQ(m->events[3].triggers[0].var1, 2);
    EXPECT_EQ(m->events[4].triggers[0].var1, 2);
}

// A full table: every event refers to others by index; after removing and inserting, each
// reference must still name the same event (compared by name).
TEST_F(EventsTest, ReferencesSurviveRemoveAndInsertInAFullTable) {
    auto m = makeMission();
    const auto targets = [](int e) {
        return std::vector<int>{(e + 1) % kMaxEvents, (e + 100) % kMaxEvents, 100, 255, 0};
    };
    for (int e = 0; e < kMaxEvents; ++e) {
        std::vector<EventTrigger> rows;
        for (int t : targets(e)) rows.push_back(eventRef(t));
        rows.push_back(groupTrigger(100));
        addEvent(*m, "E" + std::to_string(e), rows);
    }
    ASSERT_EQ(m->event_count, kMaxEvents);

    // The table is full: a paste is refused and nothing moves.
    MissionEvent copy = m->events[7];
    mission_SetText(copy.name, "copy of E7");
    EXPECT_EQ(event_InsertAt(*m, copy, 10), 0);
    EXPECT_EQ(nameOf(*m, 10), "E10");

    // Each event's references, by the names of the events they point at.
    const auto checkAll = [&] {
        for (int e = 0; e < m->event_count; ++e) {
            const int original = std::stoi(nameOf(*m, e).substr(1));
            std::vector<int> expected;
            for (int t : targets(original))
                if (t != 100) expected.push_back(t);
            const MissionEvent& ev = m->events[static_cast<std::size_t>(e)];
            ASSERT_EQ(ev.trigger_count, static_cast<int>(expected.size()) + 1) << nameOf(*m, e);
            for (std::size_t i = 0; i < expected.size(); ++i) {
                const int target = ev.triggers[i].var1;
                ASSERT_GE(target, 0);
                ASSERT_LT(target, m->event_count);
                EXPECT_EQ(nameOf(*m, target), "E" + std::to_string(expected[i])) << nameOf(*m, e);
            }
            EXPECT_EQ(ev.triggers[expected.size()].type, kTriggerGroup);
            EXPECT_EQ(ev.triggers[expected.size()].var1, 100);
        }
    };

    // Removing E100 drops every reference to it and moves the later ones down.
    ASSERT_EQ(event_Remove(*m, 100), 1);
    ASSERT_EQ(m->event_count, 255);
    EXPECT_EQ(nameOf(*m, 100), "E101");
    checkAll();

    // Paste E7 before E0: its own references (E8, E107, E255, E0; the one to E100 went with
    // E100) must follow their events up, as must every other event's.
    ASSERT_EQ(event_InsertAt(*m, m->events[7], 0), 1);
    ASSERT_EQ(m->event_count, kMaxEvents);
    EXPECT_EQ(nameOf(*m, 0), "E7");
    EXPECT_EQ(nameOf(*m, 8), "E7");
    checkAll();
    expectCleanTail(*m);
}

TEST_F(EventsTest, TriggerAndActionRows) {
    auto m = makeMission();
    addEvent(*m, "e", {groupTrigger(1), groupTrigger(2), groupTrigger(3)});

    // Insert at the front, in the middle and at the end (the count appends).
    EXPECT_EQ(event_InsertTrigger(*m, 0, 0, groupTrigger(10)), 1);
    EXPECT_EQ(event_InsertTrigger(*m, 0, 2, groupTrigger(11)), 1);
    EXPECT_EQ(event_InsertTrigger(*m, 0, 5, groupTrigger(12)), 1);
    EXPECT_EQ(event_InsertTrigger(*m, 0, 7, groupTrigger(13)), 0);  // past the end
    const MissionEvent& ev = m->events[0];
    std::vector<int> groups;
    for (int t = 0; t < ev.trigger_count; ++t) groups.push_back(ev.triggers[static_cast<std::size_t>(t)].var1);
    EXPECT_EQ(groups, (std::vector<int>{10, 1, 11, 2, 3, 12}));

    EXPECT_EQ(event_RemoveTrigger(*m, 0, 1), 1);
    EXPECT_EQ(event_RemoveTrigger(*m, 0, 4), 1);
    EXPECT_EQ(event_RemoveTrigger(*m, 0, 4), 0);
    EXPECT_EQ(event_RemoveTrigger(*m, 1, 0), 0);  // no such event
    ASSERT_EQ(ev.trigger_count, 4);
    EXPECT_EQ(ev.triggers[3].var1, 3);
    EXPECT_EQ(ev.triggers[4].type, 0);  // the freed slot is clean
    EXPECT_EQ(ev.triggers[4].var1, 0);

    // Ten is the limit.
    while (ev.trigger_count < kEventMaxTriggers) ASSERT_EQ(event_InsertTrigger(*m, 0, 0, groupTrigger(20)), 1);
    EXPECT_EQ(event_InsertTrigger(*m, 0, 0, groupTrigger(21)), 0);
    EXPECT_EQ(event_InsertTrigger(*m, 0, 10, groupTrigger(21)), 0);
    EXPECT_EQ(ev.trigger_count, kEventMaxTriggers);

    EXPECT_EQ(event_InsertAction(*m, 0, 0, killGroup(4)), 1);
    EXPECT_EQ(event_InsertAction(*m, 0, 0, killGroup(5)), 1);
    EXPECT_EQ(event_InsertAction(*m, 0, 3, killGroup(6)), 0);
    ASSERT_EQ(ev.action_count, 2);
    EXPECT_EQ(ev.actions[0].var1, 5);
    EXPECT_EQ(ev.actions[1].var1, 4);
    EXPECT_EQ(event_RemoveAction(*m, 0, 0), 1);
    EXPECT_EQ(ev.actions[0].var1, 4);
    EXPECT_EQ(ev.actions[1].type, 0);
    while (ev.action_count < kEventMaxActions) ASSERT_EQ(event_InsertAction(*m, 0, 1, killGroup(7)), 1);
    EXPECT_EQ(event_InsertAction(*m, 0, 0, killGroup(8)), 0);
    EXPECT_EQ(event_RemoveAction(*m, 0, 10), 0);
    EXPECT_EQ(event_RemoveAction(*m, 0, -1), 0);
    expectCleanTail(*m);
}

// Counts read from a damaged file never send the row operations past the ten slots.
TEST_F(EventsTest, OutOfRangeCountsAreHeldToTheTable) {
    auto m = makeMission();
    addEvent(*m, "a", {});
    addEvent(*m, "b", {});
    m->events[0].trigger_count = 500;
    m->events[0].action_count = -4;
    EXPECT_EQ(event_TriggerCount(m->events[0]), 10);
    EXPECT_EQ(event_ActionCount(m->events[0]), 0);
    EXPECT_EQ(event_InsertTrigger(*m, 0, 0, groupTrigger(1)), 0);
    EXPECT_EQ(event_RemoveTrigger(*m, 0, 9), 1);
    EXPECT_EQ(m->events[0].trigger_count, 9);
    EXPECT_EQ(event_InsertAction(*m, 0, 0, killGroup(1)), 1);
    EXPECT_EQ(m->events[0].action_count, 1);

    MissionEvent bad = m->events[1];
    bad.trigger_count = 1000;
    bad.triggers[0] = eventRef(1);
    ASSERT_EQ(event_InsertAt(*m, bad, 0), 1);
    EXPECT_EQ(m->events[0].trigger_count, 10);
    EXPECT_EQ(m->events[0].triggers[0].var1, 2);  // "b" moved from 1 to 2
    m->event_count = 100000;
    EXPECT_EQ(event_Remove(*m, 1), 1);
    EXPECT_EQ(m->event_count, kMaxEvents - 1);
}

TEST_F(EventsTest, ClipboardStartsEmptyAndResets) {
    EventClipboard& clip = event_Clipboard();
    EXPECT_FALSE(clip.eventFilled || clip.triggerFilled || clip.actionFilled);
    clip.trigger = eventRef(3);
    clip.triggerFilled = true;
    mission_SetText(clip.event.name, "kept");
    clip.eventFilled = true;
    EXPECT_TRUE(event_Clipboard().triggerFilled);
    event_ResetClipboard();
    EXPECT_FALSE(event_Clipboard().triggerFilled);
    EXPECT_FALSE(event_Clipboard().eventFilled);
    EXPECT_EQ(event_Clipboard().event.name[0], 0);
    EXPECT_EQ(event_Clipboard().trigger.var1, 0);
}

}  // namespace

// The event table of a page: adding, removing and inserting events, triggers and actions,
// and the clipboard the events editor copies them to.
//
// Triggers of type EVENT name another event of the same page by its index, so removing or
// inserting an event renumbers those references (and drops the ones to a removed event).
// Slots past a count are kept zeroed, so a slot that comes back into use starts clean.
#pragma once

#include "mission/mission.h"

#include <cstdint>

// What the events editor copied: one event, one trigger, one action. Lives for the whole run
// of the program, across pages and dialog openings.
struct EventClipboard {
    MissionEvent event{};
    bool eventFilled = false;
    EventTrigger trigger{};
    bool triggerFilled = false;
    EventAction action{};
    bool actionFilled = false;
};
EventClipboard& event_Clipboard();
// Empties all three parts (start-up, tests).
void event_ResetClipboard();

// The counts of an event as the operations use them: held to 0..10 whatever the record says.
std::int32_t event_TriggerCount(const MissionEvent& e);
std::int32_t event_ActionCount(const MissionEvent& e);

// Appends a cleared event named from "EVENT_NUM" (section "Triggers") formatted with its
// index. The new index, or -1 when the page already holds 256 events.
std::int32_t event_Add(Mission& m);

// Removes event index; later events move down, the freed last slot is cleared. Then every
// EVENT trigger naming the removed event is dropped and those naming a later one follow it
// down. 1, or 0 for an index that is not an event.
int event_Remove(Mission& m, std::int32_t index);

// Inserts a copy of ev before event index (0 <= index < count); the events from index on
// move up, and every EVENT trigger naming index or later, those of the copy included, follows
// them. 1, or 0 when the index is not an event or the table is full.
int event_InsertAt(Mission& m, const MissionEvent& ev, std::int32_t index);

// Removes a trigger; the later ones move down. 1, or 0 for a bad event or trigger index.
int event_RemoveTrigger(Mission& m, std::int32_t eventIndex, std::int32_t triggerIndex);
// Inserts a copy of t at triggerIndex (0..count, count appends). 1, or 0 when the event or
// index is bad or the event already has 10 triggers.
int event_InsertTrigger(Mission& m, std::int32_t eventIndex, std::int32_t triggerIndex, const EventTrigger& t);
int event_RemoveAction(Mission& m, std::int32_t eventIndex, std::int32_t actionIndex);
int event_InsertAction(Mission& m, std::int32_t eventIndex, std::int32_t actionIndex, const EventAction& a);

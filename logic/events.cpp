#include "logic/events.h"

#include "core/text.h"

#include <algorithm>

namespace {

EventClipboard gClipboard;

// A count read from a file may lie outside the table; the operations never trust it.
void normaliseEventCount(Mission& m) { m.event_count = std::clamp(m.event_count, 0, kMaxEvents); }

bool validEvent(const Mission& m, std::int32_t index) {
    return index >= 0 && index < m.event_count && index < kMaxEvents;
}

std::int32_t clampCount(std::int32_t count, std::int32_t max) { return std::clamp(count, 0, max); }

// Removes slot index of a row array holding count rows; the freed last row is cleared.
template <typename Row, std::size_t N>
void removeRow(std::array<Row, N>& rows, std::int32_t& count, std::int32_t index) {
    const auto n = static_cast<std::size_t>(count);
    const auto i = static_cast<std::size_t>(index);
    std::copy(rows.begin() + static_cast<std::ptrdiff_t>(i) + 1, rows.begin() + static_cast<std::ptrdiff_t>(n),
              rows.begin() + static_cast<std::ptrdiff_t>(i));
    rows[n - 1] = Row{};
    --count;
}

template <typename Row, std::size_t N>
void insertRow(std::array<Row, N>& rows, std::int32_t& count, std::int32_t index, const Row& row) {
    const auto n = static_cast<std::size_t>(count);
    const auto i = static_cast<std::size_t>(index);
    std::copy_backward(rows.begin() + static_cast<std::ptrdiff_t>(i), rows.begin() + static_cast<std::ptrdiff_t>(n),
                       rows.begin() + static_cast<std::ptrdiff_t>(n) + 1);
    rows[i] = row;
    ++count;
}

// Events read from a file may carry counts out of range; the operations only ever shift the
// rows inside the record.
void normaliseCounts(MissionEvent& e) {
    e.trigger_count = event_TriggerCount(e);
    e.action_count = event_ActionCount(e);
}

// After event k was removed: EVENT triggers naming k go, those naming a later event follow it.
void fixReferencesAfterRemove(Mission& m, std::int32_t k) {
    for (std::int32_t e = 0; e < m.event_count; ++e) {
        MissionEvent& ev = m.events[static_cast<std::size_t>(e)];
        normaliseCounts(ev);
        std::int32_t t = 0;
        while (t < ev.trigger_count) {
            EventTrigger& tr = ev.triggers[static_cast<std::size_t>(t)];
            if (tr.type == kTriggerTypeEvent && tr.var1 == k) {
                event_RemoveTrigger(m, e, t);  // the next trigger moved into slot t
                continue;
            }
            if (tr.type == kTriggerTypeEvent && tr.var1 > k) --tr.var1;
            ++t;
        }
    }
}

// After an event was inserted at k: EVENT triggers naming k or later follow their event up.
void fixReferencesAfterInsert(Mission& m, std::int32_t k) {
    for (std::int32_t e = 0; e < m.event_count; ++e) {
        MissionEvent& ev = m.events[static_cast<std::size_t>(e)];
        for (std::int32_t t = 0; t < event_TriggerCount(ev); ++t) {
            EventTrigger& tr = ev.triggers[static_cast<std::size_t>(t)];
            if (tr.type == kTriggerTypeEvent && tr.var1 >= k) ++tr.var1;
        }
    }
}

}  // namespace

EventClipboard& event_Clipboard() { return gClipboard; }

void event_ResetClipboard() { gClipboard = EventClipboard{}; }

std::int32_t event_TriggerCount(const MissionEvent& e) { return clampCount(e.trigger_count, kEventMaxTriggers); }

std::int32_t event_ActionCount(const MissionEvent& e) { return clampCount(e.action_count, kEventMaxActions); }

std::int32_t event_Add(Mission& m) {
    const std::int32_t n = m.event_count;
    if (n < 0 || n >= kMaxEvents) return -1;
    MissionEvent& ev = m.events[static_cast<std::size_t>(n)];
    ev = MissionEvent{};
    // The name field cuts a long wording to fit.
    mission_SetText(ev.name, text_Printf("Triggers", "EVENT_NUM", {n}));
    m.event_count = n + 1;
    return n;
}

int event_Remove(Mission& m, std::int32_t index) {
    normaliseEventCount(m);
    if (!validEvent(m, index)) return 0;
    removeRow(m.events, m.event_count, index);
    fixReferencesAfterRemove(m, index);
    return 1;
}

int event_InsertAt(Mission& m, const MissionEvent& ev, std::int32_t index) {
    normaliseEventCount(m);
    if (!validEvent(m, index) || m.event_count >= kMaxEvents) return 0;
    MissionEvent copy = ev;  // ev may be an event of this very table
    normaliseCounts(copy);
    insertRow(m.events, m.event_count, index, copy);
    fixReferencesAfterInsert(m, index);
    return 1;
}

int event_RemoveTrigger(Mission& m, std::int32_t eventIndex, std::int32_t triggerIndex) {
    if (!validEvent(m, eventIndex)) return 0;
    MissionEvent& ev = m.events[static_cast<std::size_t>(eventIndex)];
    normaliseCounts(ev);
    if (triggerIndex < 0 || triggerIndex >= ev.trigger_count) return 0;
    removeRow(ev.triggers, ev.trigger_count, triggerIndex);
    return 1;
}

int event_InsertTrigger(Mission& m, std::int32_t eventIndex, std::int32_t triggerIndex, const EventTrigger& t) {
    if (!validEvent(m, eventIndex)) return 0;
    MissionEvent& ev = m.events[static_cast<std::size_t>(eventIndex)];
    normaliseCounts(ev);
    if (triggerIndex < 0 || triggerIndex > ev.trigger_count || ev.trigger_count >= kEventMaxTriggers) return 0;
    const EventTrigger copy = t;
    insertRow(ev.triggers, ev.trigger_count, triggerIndex, copy);
    return 1;
}

int event_RemoveAction(Mission& m, std::int32_t eventIndex, std::int32_t actionIndex) {
    if (!validEvent(m, eventIndex)) return 0;
    MissionEvent& ev = m.events[static_cast<std::size_t>(eventIndex)];
    normaliseCounts(ev);
    if (actionIndex < 0 || actionIndex >= ev.action_count) return 0;
    removeRow(ev.actions, ev.action_count, actionIndex);
    return 1;
}

int event_InsertAction(Mission& m, std::int32_t eventIndex, std::int32_t actionIndex, const EventAction& a) {
    if (!validEvent(m, eventIndex)) return 0;
    MissionEvent& ev = m.events[static_cast<std::size_t>(eventIndex)];
    normaliseCounts(ev);
    if (actionIndex < 0 || actionIndex > ev.action_count || ev.action_count >= kEventMaxActions) return 0;
    const EventAction copy = a;
    insertRow(ev.actions, ev.action_count, actionIndex, copy);
    return 1;
}

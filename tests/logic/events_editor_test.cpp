// The events editor's three dialogs driven through the fake platform: the panel and the
// event list, the row and event commands with their confirmations and clipboards, printing,
// and the trigger and action dialogs' selectors, variable slots and OK/Cancel.
#include "logic/events_editor.h"

#include "core/format.h"
#include "logic/events.h"
#include "logic/vocab.h"
#include "support/fake_platform.h"
#include "resources/events_dialogs.h"
#include "support/core_env.h"
#include "support/logic_text.h"
#include "support/mission_pages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

using namespace evid;

namespace {

using Row = std::array<std::int32_t, 8>;
Row rowOf(const EventTrigger& t) { return {t.flags, t.type, t.condition, t.var1, t.var2, t.var3, t.var4, t.spare}; }
Row rowOf(const EventAction& a) { return {a.spare0, a.type, a.subtype, a.var1, a.var2, a.var3, a.var4, a.spare7}; }

EventTrigger eventRef(int target) { return EventTrigger{0, kTriggerEvent, 0, target, -1, -1, -1, 0}; }

std::vector<std::string> entries(const FakeDialog& d, int id) {
    std::vector<std::string> out;
    for (int i = 0; i < d.entryCount(id); ++i) out.push_back(d.entryText(id, i));
    return out;
}

// Every control a procedure touched is one its template has.
void expectIdsInTemplate(const FakeDialog& d, const DialogTemplate& t) {
    for (const auto& [id, c] : d.controls()) {
        if (id == kIdOk || id == kIdCancel) continue;
        EXPECT_NE(t.control(id), nullptr) << t.name << " lacks " << id;
    }
}

class EventsEditor : public ::testing::Test {
protected:
    void SetUp() override { event_ResetClipboard(); }
    void TearDown() override { event_ResetClipboard(); }

    // Appends events named n0, n1... with the given trigger rows in event 0.
    void addEvents(int n, std::vector<EventTrigger> triggers = {}) {
        for (int i = 0; i < n; ++i) {
            const int e = event_Add(*page);
            mission_SetText(page->events[e].name, "n" + std::to_string(e));
        }
        for (const EventTrigger& t : triggers) event_InsertTrigger(*page, 0, event_TriggerCount(page->events[0]), t);
    }
    FakeDialog& open() {
        dlg.init();
        return dlg;
    }
    void doubleClick(int list, int line) {
        dlg.control(list).selection = line;
        dlg.command(list, Notify::DoubleClick);
    }
    void select(int list, int line) { dlg.control(list).selection = line; }

    ScopedFakePlatform ui;
    ScopedLogicText text{std::string(kLogicTestExtraSource) + "[Dialog Message]\nEVENTS_FULL = full\n"};
    std::unique_ptr<Mission> page = test_NewMission();
    EventsDialogProc proc{*page};
    FakeDialog dlg{proc, &kDlgEditEvents};
};

TEST_F(EventsEditor, OpeningAddsAnEventToAnEmptyPageAndShowsEventZero) {
    FakeDialog& d = open();
    expectIdsInTemplate(d, kDlgEditEvents);
    ASSERT_EQ(page->event_count, 1);
    EXPECT_EQ(entries(d, kEventList),
              (std::vector<std::string>{event_ListLine(*page, 0), text_Get("Triggers", "NEW_EVENT")}));
    EXPECT_EQ(d.selection(kEventList), 0);
    EXPECT_EQ(entries(d, kTriggerList), std::vector<std::string>{text_Get("Triggers", "NEW_TRIGGER")});
    for (int id : {kTriggerPaste, kActionPaste, kPasteEvent}) EXPECT_FALSE(d.isEnabled(id)) << id;
    // Each clipboard part enables its own paste button at the next opening.
    event_Clipboard().actionFilled = true;
    FakeDialog again(proc, &kDlgEditEvents);
    again.init();
    EXPECT_TRUE(again.isEnabled(kActionPaste));
    EXPECT_FALSE(again.isEnabled(kTriggerPaste));
    EXPECT_EQ(page->event_count, 1);
}

TEST_F(EventsEditor, PanelIsStoredOnSwitchingAndOkButCancelDropsIt) {
    addEvents(2);
    page->events[0].attrib = 8;  // a bit the panel does not show
    FakeDialog& d = open();
    d.type(kDelayValue, " +12 ");
    d.type(kResetValue, "0");
    d.toggle(kResetAfter);
    d.toggle(kPostMission);
    d.choose(kEventList, 1);
    EXPECT_EQ(page->events[0].delay_value, 12);
    EXPECT_EQ(page->events[0].reset_value, 0);
    EXPECT_EQ(page->events[0].attrib, 8 | kEventResetAfter | kEventPostMission);
    EXPECT_EQ(d.text(kName), "n1");
    EXPECT_EQ(d.check(kResetAfter), kUnchecked);
    // Typing the name stores at once, cut to the field, and renames the list line.
    d.type(kName, std::string(70, 'x'));
    EXPECT_EQ(mission_Text(page->events[1].name), std::string(kEventNameMax, 'x'));
    EXPECT_EQ(d.entryText(kEventList, 1), event_ListLine(*page, 1));
    EXPECT_EQ(d.selection(kEventList), 1);
    d.type(kDelayValue, "600");
    // Cancel puts back the page as the dialog found it: what was stored on the way too.
    const std::string name1(mission_Text(page->events[1].name));
    d.click(kIdCancel);
    EXPECT_EQ(d.result(), kIdCancel);
    EXPECT_EQ(page->events[1].delay_value, 0);
    EXPECT_EQ(page->events[0].delay_value, 0);
    EXPECT_EQ(page->events[0].attrib, 8);
    EXPECT_NE(mission_Text(page->events[1].name), name1);
    FakeDialog ok(proc, &kDlgEditEvents);
    ok.init();
    ok.type(kDelayValue, "12");
    ok.choose(kEventList, 0);
    // A number the field does not take keeps the dialog open on its event, stores nothing,
    // and holds the panel there when another event is chosen.
    ok.type(kDelayValue, "-99999999999");
    ok.click(kIdOk);
    EXPECT_FALSE(ok.ended());
    EXPECT_EQ(ok.focus(), kDelayValue);
    ok.choose(kEventList, 1);
    EXPECT_EQ(ok.selection(kEventList), 0);
    EXPECT_EQ(page->events[0].delay_value, 12);
    ok.type(kDelayValue, "655");
    ok.click(kIdOk);
    EXPECT_EQ(ok.result(), kIdOk);
    EXPECT_EQ(page->events[0].delay_value, 655);
}

TEST_F(EventsEditor, NewEventLineAddsAnEventUntilTheTableIsFull) {
    FakeDialog& d = open();
    d.choose(kEventList, 1);
    EXPECT_EQ(page->event_count, 2);
    EXPECT_EQ(proc.current(), 1);
    EXPECT_EQ(d.entryCount(kEventList), 3);
    EXPECT_EQ(d.selection(kEventList), 1);
    while (page->event_count < kMaxEvents) event_Add(*page);
    event_FillList(d, *page);
    EXPECT_EQ(d.entryCount(kEventList), kMaxEvents);  // no "new" line
}

// Double-clicks on the trigger and action lists, with the sub-dialog answering OK or Cancel.
TEST_F(EventsEditor, DoubleClickEditsARowAndOnlyAnOkOnTheNewLineAppends) {
    struct Case {
        bool trigger;
        int line;
        bool ok;
        int count;
    };
    for (const Case& c : {Case{true, 0, false, 0}, Case{true, 0, true, 1}, Case{true, 0, true, 1},
                          Case{true, 1, false, 1}, Case{false, 0, true, 1}, Case{false, -1, true, 1}}) {
        SCOPED_TRACE(std::to_string(c.trigger) + " line " + std::to_string(c.line));
        if (page->event_count == 0) open();
        ui->dialogsRun.clear();
        const char* sub = c.trigger ? "EVENTTRIGGERS" : "EVENTACTIONS";
        ui->dialogScripts[sub] = [&c](FakeDialog& s) {
            s.choose(kType, 2);  // EVENT, or KILL_GROUP
            s.click(c.ok ? kIdOk : kIdCancel);
        };
        doubleClick(c.trigger ? kTriggerList : kActionList, c.line);
        const MissionEvent& ev = page->events[0];
        EXPECT_EQ(c.trigger ? ev.trigger_count : ev.action_count, c.count);
        EXPECT_EQ(ui->dialogsRun.size(), c.line < 0 ? 0u : 1u);
        EXPECT_EQ(dlg.entryCount(c.trigger ? kTriggerList : kActionList), c.count + 1);
    }
    EXPECT_EQ(page->events[0].triggers[0].type, kTriggerEvent);
    EXPECT_EQ(rowOf(page->events[0].actions[0]), (Row{0, 2, -1, 0, -1, -1, -1, 0}));
    // Cancel of the Events dialog takes back what the sub-dialogs wrote and the event the
    // dialog added to an empty table.
    dlg.click(kIdCancel);
    EXPECT_EQ(page->event_count, 0);
    EXPECT_EQ(page->events[0].triggers[0].type, 0);
}

// Delete (asked first), copy and paste of rows, the same for triggers and actions.
TEST_F(EventsEditor, RowDeleteCopyPasteAndTheTenRowLimit) {
    addEvents(1);
    MissionEvent& ev = page->events[0];
    for (int i = 0; i < 3; ++i) {
        ev.triggers[i] = eventRef(i + 10);
        ev.actions[i] = EventAction{0, 2, -1, i + 10, -1, -1, -1, 0};
    }
    ev.trigger_count = ev.action_count = 3;
    FakeDialog& d = open();
    for (bool trigger : {true, false}) {
        SCOPED_TRACE(trigger ? "triggers" : "actions");
        const int list = trigger ? kTriggerList : kActionList;
        const int del = trigger ? kTriggerDelete : kActionDelete;
        const int copy = trigger ? kTriggerCopy : kActionCopy;
        const int paste = trigger ? kTriggerPaste : kActionPaste;
        auto count = [&] { return trigger ? ev.trigger_count : ev.action_count; };
        auto var1 = [&](int i) { return trigger ? ev.triggers[i].var1 : ev.actions[i].var1; };
        ui->boxes.clear();
        ui->msgAnswers = {MsgAnswer::No};
        select(list, 1);
        d.click(del);
        EXPECT_EQ(count(), 3);
        select(list, 1);
        d.click(del);  // the empty queue answers Yes
        ASSERT_EQ(count(), 2);
        EXPECT_EQ(var1(1), 12);
        ASSERT_EQ(ui->boxes.size(), 2u);
        EXPECT_EQ(ui->boxes[0].buttons, MsgButtons::YesNo);
        select(list, 2);  // the "new" line: nothing to delete or copy
        d.click(del);
        d.click(copy);
        EXPECT_EQ(ui->boxes.size(), 2u);
        EXPECT_FALSE(d.isEnabled(paste));
        select(list, 1);
        d.click(copy);
        EXPECT_TRUE(d.isEnabled(paste));
        select(list, 0);
        d.click(paste);
        EXPECT_EQ(count(), 3);
        EXPECT_EQ(var1(0), 12);
        for (int n = 3; n < kEventMaxTriggers; ++n) {
            select(list, n);  // the "new" line appends
            d.click(paste);
        }
        ASSERT_EQ(count(), 10);
        EXPECT_EQ(d.entryCount(list), 10);  // no "new" line
        select(list, 9);
        d.click(paste);
        EXPECT_EQ(count(), 10);
    }
}

TEST_F(EventsEditor, DeletingEventsKeepsReferencesAndThePanelOnAnEvent) {
    addEvents(6);
    page->events[2].triggers[0] = eventRef(3);
    page->events[2].triggers[1] = eventRef(5);
    page->events[2].triggers[2] = eventRef(1);
    page->events[2].trigger_count = 3;
    FakeDialog& d = open();
    d.choose(kEventList, 3);
    ui->msgAnswers = {MsgAnswer::No};
    d.click(kDeleteEvent);
    EXPECT_EQ(page->event_count, 6);
    d.click(kDeleteEvent);
    ASSERT_EQ(page->event_count, 5);
    EXPECT_EQ(rowOf(page->events[2].triggers[0])[3], 4);
    EXPECT_EQ(rowOf(page->events[2].triggers[1])[3], 1);
    EXPECT_EQ(page->events[2].trigger_count, 2);
    EXPECT_EQ(d.text(kName), "n4");
    EXPECT_EQ(d.entryText(kEventList, 3), "(3) n4");
    // Deleting the last event shows the one before it; deleting the only one leaves a fresh one.
    d.choose(kEventList, 4);
    d.click(kDeleteEvent);
    EXPECT_EQ(proc.current(), 3);
    EXPECT_EQ(d.selection(kEventList), 3);
    while (page->event_count > 1) d.click(kDeleteEvent);
    d.click(kDeleteEvent);
    ASSERT_EQ(page->event_count, 1);
    EXPECT_EQ(d.text(kName), text_Printf("Triggers", "EVENT_NUM", {0}));
}

TEST_F(EventsEditor, PastedEventsShiftReferencesAndAFullTableSaysSo) {
    addEvents(3, {eventRef(0), eventRef(2)});
    FakeDialog& d = open();
    d.click(kCopyEvent);  // event 0, highlighted at opening
    EXPECT_TRUE(d.isEnabled(kPasteEvent));
    d.type(kDelayValue, "7");  // unstored edit of the event that moves down
    d.click(kPasteEvent);
    ASSERT_EQ(page->event_count, 4);
    EXPECT_EQ(page->events[1].delay_value, 7);
    for (int e : {0, 1}) {
        EXPECT_EQ(page->events[e].triggers[0].var1, 1) << e;
        EXPECT_EQ(page->events[e].triggers[1].var1, 3) << e;
    }
    EXPECT_EQ(d.selection(kEventList), 0);
    select(kEventList, 4);  // the "new" line
    d.click(kPasteEvent);
    EXPECT_EQ(page->event_count, 4);
    while (page->event_count < kMaxEvents) event_Add(*page);
    select(kEventList, 0);
    d.click(kPasteEvent);
    EXPECT_EQ(page->event_count, kMaxEvents);
    ASSERT_EQ(ui->boxes.size(), 1u);
    EXPECT_EQ(ui->boxes[0].text, text_Get("Dialog Message", "EVENTS_FULL"));
}

TEST_F(EventsEditor, PrintingStoresThePanelFirstAndCancelWritesNothing) {
    ScopedTempDir tmp;
    addEvents(2);
    FakeDialog& d = open();
    d.type(kDelayValue, "42");
    ui->fileAnswers = {tmp.file("one.txt"), tmp.file("all.txt")};
    d.click(kPrintEvent);
    EXPECT_EQ(page->events[0].delay_value, 42);
    d.click(kPrintAll);
    const std::string delay = text_Printf("Write Event", "DELAY_EVENT", {42});
    EXPECT_NE(readWholeFile(tmp.file("one.txt")).find(delay), std::string::npos);
    EXPECT_NE(readWholeFile(tmp.file("all.txt")).find("n1"), std::string::npos);
    d.click(kPrintEvent);  // the file dialog is cancelled
    EXPECT_EQ(ui->fileRequests.size(), 3u);
}

// ---------------------------------------------------------------------------------------
// The trigger and action dialogs

struct SubStep {
    int id;    // control
    int line;  // line chosen; -1: a click
};

TEST_F(EventsEditor, TriggerDialogSelectorsSlotsAndRows) {
    struct Case {
        const char* what;
        EventTrigger stored;
        std::vector<SubStep> steps;
        Row row;
    };
    const EventTrigger group7{8, kTriggerGroup, 7, 3, 500, 4, 9, 77};
    const Case cases[] = {
        {"group 3 sees group 5, true, AND",
         {},
         {{kType, 1}, {kSelector, 1}, {kVarFirst, 3}, {kVarFirst + 1, 5}},
         {0, 1, 1, 3, 5, -1, -1, 0}},
        {"stored row kept; a value not offered takes entry 0", group7, {}, {8, 1, 7, 3, 0, 4, -1, 77}},
        {"type change resets the condition and offers events", group7, {{kType, 2}}, {8, 2, 0, 3, -1, -1, -1, 77}},
        {"a value hidden by a condition change is not kept",
         group7,
         {{kVarFirst + 1, 9}, {kSelector, 3}, {kSelector, 7}},
         {8, 1, 7, 3, 0, 4, -1, 77}},
        {"false and XOR replace the logic read (OR over XOR)",
         EventTrigger{6, 4, 0, 0, 0, 0, 0, 0},
         {{kSenseFalse, -1}, {kLogicXor, -1}},
         {5, 4, 0, -1, -1, -1, -1, 0}},
    };
    addEvents(12);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EventTrigger slot = c.stored;
        TriggerDialogProc tp(*page, slot);
        FakeDialog t(tp, &kDlgEventTriggers);
        t.init();
        expectIdsInTemplate(t, kDlgEventTriggers);
        EXPECT_TRUE(t.isEnabled(kSelector));
        for (const SubStep& s : c.steps) (s.line < 0) ? t.click(s.id) : t.choose(s.id, s.line);
        if (c.stored.type == kTriggerGroup && !c.steps.empty() && c.steps[0].id == kType) {
            EXPECT_FALSE(t.isEnabled(kSelector));
            EXPECT_EQ(t.entryCount(kVarFirst), kMaxEvents);
            EXPECT_EQ(t.selection(kVarFirst), 3);
            EXPECT_FALSE(t.isEnabled(kVarFirst + 1));
        }
        t.click(kIdOk);
        EXPECT_EQ(t.result(), kIdOk);
        EXPECT_EQ(rowOf(slot), c.row);
    }
    EventTrigger slot = group7;
    ui->dialogScripts["EVENTTRIGGERS"] = [](FakeDialog& t) { t.choose(kType, 0); };  // then Escape
    EXPECT_EQ(events_RunTrigger(*page, slot), kIdCancel);
    EXPECT_EQ(rowOf(slot), rowOf(group7));
}

TEST_F(EventsEditor, ActionDialogSubtypesFollowTheType) {
    struct Case {
        const char* what;
        EventAction stored;
        std::vector<SubStep> steps;
        Row row;
        int subtypes;
    };
    const EventAction ai{5, kActionChangeGroupAi, 7, 2, 90, 1, 1, 6};
    const Case cases[] = {
        {"kill group stores -1 for every empty box", {}, {{kType, 2}, {kVarFirst, 3}}, {0, 2, -1, 3, -1, -1, -1, 0}, 0},
        {"an AI change keeps its row", ai, {}, {5, 3, 7, 2, 90, -1, -1, 6}, kAiSubtypeMax + 1},
        {"a subtype change relabels the value",
         ai,
         {{kSelector, 2}, {kVarFirst + 1, 1}},
         {5, 3, 2, 2, 1, -1, -1, 6},
         kAiSubtypeMax + 1},
        {"a type change empties the subtypes", ai, {{kType, 16}}, {5, 16, -1, 2, 0, -1, -1, 6}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EventAction slot = c.stored;
        ActionDialogProc ap(*page, slot);
        FakeDialog a(ap, &kDlgEventActions);
        a.init();
        expectIdsInTemplate(a, kDlgEventActions);
        for (const SubStep& s : c.steps) a.choose(s.id, s.line);
        EXPECT_EQ(a.entryCount(kSelector), c.subtypes);
        EXPECT_EQ(a.isEnabled(kSelector), c.subtypes > 0);
        EXPECT_EQ(a.text(kVarLabelFirst + 1), event_ActionVars(c.row[1], std::max(c.row[2], 0)).slots[1].label);
        a.click(kIdOk);
        EXPECT_EQ(rowOf(slot), c.row);
    }
}

}  // namespace

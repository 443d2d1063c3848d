#include "logic/events_editor.h"

#include "core/format.h"
#include "core/text.h"
#include "logic/events.h"
#include "logic/listings.h"
#include "logic/refs.h"
#include "logic/vocab.h"
#include "mission/mission.h"
#include "platform/number_fields.h"

#include <algorithm>
#include <array>
#include <limits>

using namespace evid;

namespace {

constexpr const char* kMsg = "Dialog Message";
constexpr const char* kTrig = "Triggers";

std::int32_t eventCount(const Mission& m) { return std::clamp(m.event_count, 0, kMaxEvents); }

bool validEvent(const Mission& m, std::int32_t index) { return index >= 0 && index < eventCount(m); }

// The item data of a drop-down's selection; -1 when nothing is selected (an empty list).
std::int32_t selectedData(const Dialog& dlg, int id) {
    const int sel = dlg.selection(id);
    if (sel < 0 || sel >= dlg.entryCount(id)) return -1;
    const std::int64_t v = dlg.entryData(id, sel);
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

// Radio buttons of one group: the clicked one checked, the others cleared. The toolkit does
// this by itself too; doing it here keeps the state right whatever drives the dialog.
template <std::size_t N>
void checkRadio(Dialog& dlg, const std::array<int, N>& group, int on) {
    for (int id : group) dlg.setCheck(id, id == on ? kChecked : kUnchecked);
}

constexpr std::array<int, 2> kSenseRadios = {kSenseTrue, kSenseFalse};
constexpr std::array<int, 3> kLogicRadios = {kLogicAnd, kLogicOr, kLogicXor};

// Shows the four variable slots of a trigger or action. Each slot with a value list is filled and
// preselected from the stored word; a slot without one stays empty and disabled.
void showVars(Dialog& dlg, const Mission& page, const LogicVarSpec& vars, const std::array<std::int32_t, 4>& stored) {
    for (int i = 0; i < 4; ++i) {
        const LogicVarSlot& slot = vars.slots[static_cast<std::size_t>(i)];
        const int box = kVarFirst + i;
        dlg.setText(kVarLabelFirst + i, slot.label);
        dlg.clearEntries(box);
        const bool used = slot.list != LogicList::None;
        if (used) {
            vocab_FillCombo(dlg, box, list_Build(slot.list, page));
            vocab_SelectComboData(dlg, box, stored[static_cast<std::size_t>(i)]);
        }
        dlg.enable(box, used);
    }
}

// The four variable words of a trigger or action slot, and the drop-downs' choices put back.
template <class Slot>
std::array<std::int32_t, 4> storedVars(const Slot& slot) {
    return {slot.var1, slot.var2, slot.var3, slot.var4};
}

template <class Slot>
void storeVars(const Dialog& dlg, Slot& slot) {
    slot.var1 = selectedData(dlg, kVarFirst);
    slot.var2 = selectedData(dlg, kVarFirst + 1);
    slot.var3 = selectedData(dlg, kVarFirst + 2);
    slot.var4 = selectedData(dlg, kVarFirst + 3);
}

}  // namespace

// ---------------------------------------------------------------------------------------
// The panel and the event list

std::string event_ListLine(const Mission& page, std::int32_t index) {
    if (!validEvent(page, index)) return {};
    return text_Format("(%i) %s", {index, mission_Text(page.events[static_cast<std::size_t>(index)].name)});
}

void event_StorePanel(Dialog& dlg, Mission& page, std::int32_t index) {
    if (!validEvent(page, index)) return;
    MissionEvent& ev = page.events[static_cast<std::size_t>(index)];
    const std::string name = dlg.text(kName);
    mission_SetText(ev.name, std::string_view(name).substr(0, kEventNameMax));
    // A number is stored once the user typed one the field takes; until then the event
    // keeps its own, whatever the file held.
    const auto number = [&](int id, std::int32_t& value) {
        const std::optional<NumberRange> range = dlg.numberRange(id);
        if (!dlg.edited(id) || !range) return;
        if (const std::optional<double> v = ui_NumberIn(dlg.text(id), *range)) value = static_cast<std::int32_t>(*v);
    };
    number(kDelayValue, ev.delay_value);
    number(kResetValue, ev.reset_value);
    std::int32_t attrib = ev.attrib & ~(kEventResetAfter | kEventPreMission | kEventPostMission);
    if (dlg.check(kResetAfter) == kChecked) attrib |= kEventResetAfter;
    if (dlg.check(kPreMission) == kChecked) attrib |= kEventPreMission;
    if (dlg.check(kPostMission) == kChecked) attrib |= kEventPostMission;
    ev.attrib = attrib;
}

void event_ShowPanel(Dialog& dlg, const Mission& page, std::int32_t index) {
    if (!validEvent(page, index)) return;
    const MissionEvent& ev = page.events[static_cast<std::size_t>(index)];
    dlg.setText(kDelayValue, text_Format("%i", {ev.delay_value}));
    dlg.setText(kResetValue, text_Format("%i", {ev.reset_value}));
    dlg.setCheck(kResetAfter, (ev.attrib & kEventResetAfter) ? kChecked : kUnchecked);
    dlg.setCheck(kPreMission, (ev.attrib & kEventPreMission) ? kChecked : kUnchecked);
    dlg.setCheck(kPostMission, (ev.attrib & kEventPostMission) ? kChecked : kUnchecked);

    const std::int32_t triggers = event_TriggerCount(ev);
    dlg.clearEntries(kTriggerList);
    for (std::int32_t i = 0; i < triggers; ++i) {
        const std::string line = event_TriggerText(ev.triggers[static_cast<std::size_t>(i)], i == triggers - 1, &page);
        dlg.addEntry(kTriggerList, text_Format("(%i) %s", {i, line}), i);
    }
    if (triggers < kEventMaxTriggers) dlg.addEntry(kTriggerList, text_Get(kTrig, "NEW_TRIGGER"), triggers);

    const std::int32_t actions = event_ActionCount(ev);
    dlg.clearEntries(kActionList);
    for (std::int32_t i = 0; i < actions; ++i) {
        const std::string line = event_ActionText(ev.actions[static_cast<std::size_t>(i)], &page);
        dlg.addEntry(kActionList, text_Format("(%i) %s", {i, line}), i);
    }
    if (actions < kEventMaxActions) dlg.addEntry(kActionList, text_Get(kTrig, "NEW_ACTION"), actions);

    dlg.setText(kName, mission_Text(ev.name));
}

void event_FillList(Dialog& dlg, const Mission& page) {
    const std::int32_t count = eventCount(page);
    dlg.clearEntries(kEventList);
    for (std::int32_t i = 0; i < count; ++i) dlg.addEntry(kEventList, event_ListLine(page, i), i);
    if (count < kMaxEvents) dlg.addEntry(kEventList, text_Get(kTrig, "NEW_EVENT"), count);
}

// ---------------------------------------------------------------------------------------
// EDITEVENTS

void EventsDialogProc::onInit(Dialog& dlg) {
    dlg.setTextLimit(kName, kEventNameMax);
    dlg.setTextLimit(kDelayValue, 11);  // "-2147483648"
    dlg.setTextLimit(kResetValue, 11);

    // A count a file got wrong is held to the table before anything indexes with it.
    page_.event_count = eventCount(page_);
    before_.take(page_);
    if (page_.event_count == 0) event_Add(page_);
    const EventClipboard& clip = event_Clipboard();
    dlg.enable(kTriggerPaste, clip.triggerFilled);
    dlg.enable(kActionPaste, clip.actionFilled);
    dlg.enable(kPasteEvent, clip.eventFilled);

    current_ = validEvent(page_, start_) ? start_ : 0;
    event_FillList(dlg, page_);
    event_ShowPanel(dlg, page_, current_);
    // The event shown is the one highlighted, so the event buttons act on it from the start.
    dlg.setSelection(kEventList, current_);
}

bool EventsDialogProc::currentValid() const { return validEvent(page_, current_); }

bool EventsDialogProc::storeFirst(Dialog& dlg) {
    if (!currentValid()) return true;
    if (!ui_CheckNumbers(dlg)) {
        // The panel stays on its event until its numbers are ones the fields take.
        dlg.setSelection(kEventList, current_);
        return false;
    }
    event_StorePanel(dlg, page_, current_);
    return true;
}

std::int32_t EventsDialogProc::takeSelectedEvent(Dialog& dlg) {
    const int sel = dlg.selection(kEventList);
    if (!validEvent(page_, sel)) return -1;
    if (sel != current_) {
        // The panel belongs to the event shown; it is stored there, never into another.
        if (!storeFirst(dlg)) return -1;
        current_ = sel;
        event_ShowPanel(dlg, page_, current_);
    }
    return sel;
}

void EventsDialogProc::showEventLine(Dialog& dlg, std::int32_t index) {
    dlg.removeEntry(kEventList, index);
    dlg.insertEntry(kEventList, index, event_ListLine(page_, index), index);
    dlg.setSelection(kEventList, index);
}

void EventsDialogProc::chooseEvent(Dialog& dlg) {
    if (!storeFirst(dlg)) return;
    const int sel = dlg.selection(kEventList);
    const std::int32_t count = eventCount(page_);
    // Nothing chosen (a selection cleared): the panel keeps the event it shows.
    if (sel < 0 || sel > count) return;
    current_ = sel;
    if (sel == count) {
        if (event_Add(page_) < 0) return;
        event_FillList(dlg, page_);
        dlg.setSelection(kEventList, sel);
    }
    event_ShowPanel(dlg, page_, current_);
}

void EventsDialogProc::nameTyped(Dialog& dlg) {
    if (!currentValid()) return;
    event_StorePanel(dlg, page_, current_);
    showEventLine(dlg, current_);
}

void EventsDialogProc::editRow(Dialog& dlg, bool trigger) {
    if (!storeFirst(dlg)) return;
    if (!currentValid()) return;
    const int b = dlg.selection(trigger ? kTriggerList : kActionList);
    MissionEvent& ev = page_.events[static_cast<std::size_t>(current_)];
    ev.trigger_count = event_TriggerCount(ev);
    ev.action_count = event_ActionCount(ev);
    std::int32_t& count = trigger ? ev.trigger_count : ev.action_count;
    // Line b is slot b; the line after the last row is the "new" line, which appends.
    if (b < 0 || b > count || b >= (trigger ? kEventMaxTriggers : kEventMaxActions)) return;
    const auto slot = static_cast<std::size_t>(b);
    const int r = trigger ? events_RunTrigger(page_, ev.triggers[slot]) : events_RunAction(page_, ev.actions[slot]);
    if (r == kIdOk && b == count) ++count;
    event_ShowPanel(dlg, page_, current_);
}

void EventsDialogProc::deleteRow(Dialog& dlg, bool trigger) {
    if (!storeFirst(dlg)) return;
    if (!currentValid()) return;
    const int b = dlg.selection(trigger ? kTriggerList : kActionList);
    const MissionEvent& ev = page_.events[static_cast<std::size_t>(current_)];
    if (b < 0 || b >= (trigger ? event_TriggerCount(ev) : event_ActionCount(ev))) return;
    const char* text = trigger ? text_Get(kMsg, "DELETE_TRIGGER_?") : text_Get(kMsg, "DELETE_ACTION_?");
    if (ui_MessageBox(text, text_Get(kMsg, "EVENTS"), MsgIcon::Question, MsgButtons::YesNo) != MsgAnswer::Yes) return;
    if (trigger)
        event_RemoveTrigger(page_, current_, b);
    else
        event_RemoveAction(page_, current_, b);
    event_ShowPanel(dlg, page_, current_);
}

void EventsDialogProc::copyRow(Dialog& dlg, bool trigger) {
    if (!storeFirst(dlg)) return;
    if (!currentValid()) return;
    const int b = dlg.selection(trigger ? kTriggerList : kActionList);
    const MissionEvent& ev = page_.events[static_cast<std::size_t>(current_)];
    if (b < 0 || b >= (trigger ? event_TriggerCount(ev) : event_ActionCount(ev))) return;
    EventClipboard& clip = event_Clipboard();
    if (trigger) {
        clip.trigger = ev.triggers[static_cast<std::size_t>(b)];
        clip.triggerFilled = true;
        dlg.enable(kTriggerPaste, true);
    } else {
        clip.action = ev.actions[static_cast<std::size_t>(b)];
        clip.actionFilled = true;
        dlg.enable(kActionPaste, true);
    }
}

void EventsDialogProc::pasteRow(Dialog& dlg, bool trigger) {
    if (!storeFirst(dlg)) return;
    if (!currentValid()) return;
    const EventClipboard& clip = event_Clipboard();
    if (!(trigger ? clip.triggerFilled : clip.actionFilled)) return;
    const int b = dlg.selection(trigger ? kTriggerList : kActionList);
    if (b < 0) return;
    // A full list refuses the row (the operations check the index and the count).
    if (trigger)
        event_InsertTrigger(page_, current_, b, clip.trigger);
    else
        event_InsertAction(page_, current_, b, clip.action);
    event_ShowPanel(dlg, page_, current_);
}

void EventsDialogProc::deleteEvent(Dialog& dlg) {
    const int sel = dlg.selection(kEventList);
    if (!validEvent(page_, sel)) return;
    // Edits to the event shown are kept when another event goes.
    if (!storeFirst(dlg)) return;
    // An event other rows name asks with their count: deleting it drops those rows.
    const int refs = refs_RowCount(page_, RefKind::Event, sel);
    const std::string question =
        refs > 0 ? text_Printf("Checks", "DELETE_REFERENCED?", {refs_Name(page_, RefKind::Event, sel), refs})
                 : std::string(text_Get(kMsg, "DELETE_EVENT_?"));
    if (ui_MessageBox(question, text_Get(kMsg, "EVENTS"), MsgIcon::Question, MsgButtons::YesNo) != MsgAnswer::Yes)
        return;
    event_Remove(page_, sel);
    if (page_.event_count == 0) event_Add(page_);
    // The panel shows the event that took the deleted one's place, or the new last one: never
    // the "new event" line, whose panel would store nowhere.
    current_ = std::min<std::int32_t>(sel, eventCount(page_) - 1);
    event_FillList(dlg, page_);
    dlg.setSelection(kEventList, current_);
    event_ShowPanel(dlg, page_, current_);
}

void EventsDialogProc::copyEvent(Dialog& dlg) {
    const std::int32_t sel = takeSelectedEvent(dlg);
    if (sel < 0) return;
    EventClipboard& clip = event_Clipboard();
    clip.event = page_.events[static_cast<std::size_t>(sel)];
    clip.eventFilled = true;
    dlg.enable(kPasteEvent, true);
}

void EventsDialogProc::pasteEvent(Dialog& dlg) {
    const EventClipboard& clip = event_Clipboard();
    if (!clip.eventFilled) return;
    const int sel = dlg.selection(kEventList);
    if (!validEvent(page_, sel)) return;  // nothing, or the "new event" line, selected
    if (eventCount(page_) >= kMaxEvents) {
        ui_MessageBox(text_Get(kMsg, "EVENTS_FULL"), text_Get(kMsg, "EVENTS"), MsgIcon::Warning, MsgButtons::Ok);
        return;
    }
    // The event shown moves down a line; its unstored edits go with it.
    if (!storeFirst(dlg)) return;
    current_ = sel;
    event_InsertAt(page_, clip.event, sel);
    event_FillList(dlg, page_);
    dlg.setSelection(kEventList, current_);
    event_ShowPanel(dlg, page_, current_);
}

void EventsDialogProc::onCommand(Dialog& dlg, int id, Notify code) {
    if (id == refid::kShowButton && code == Notify::Clicked) {
        storeFirst(dlg);
        if (currentValid()) refs_Show(page_, RefKind::Event, current_);
        return;
    }
    if (code == Notify::SelChange) {
        if (id == kEventList) chooseEvent(dlg);
        return;
    }
    if (code == Notify::Changed) {
        if (id == kName) nameTyped(dlg);
        return;
    }
    if (code == Notify::DoubleClick) {
        if (id == kTriggerList || id == kActionList) editRow(dlg, id == kTriggerList);
        return;
    }
    if (code != Notify::Clicked) return;
    switch (id) {
    case kTriggerDelete: deleteRow(dlg, true); break;
    case kTriggerCopy: copyRow(dlg, true); break;
    case kTriggerPaste: pasteRow(dlg, true); break;
    case kActionDelete: deleteRow(dlg, false); break;
    case kActionCopy: copyRow(dlg, false); break;
    case kActionPaste: pasteRow(dlg, false); break;
    case kDeleteEvent: deleteEvent(dlg); break;
    case kCopyEvent: copyEvent(dlg); break;
    case kPasteEvent: pasteEvent(dlg); break;
    case kPrintEvent: {
        if (!storeFirst(dlg)) break;
        const std::int32_t sel = takeSelectedEvent(dlg);
        if (sel >= 0) list_PrintEvent(&dlg, page_, sel);
        break;
    }
    case kPrintAll:
        if (!storeFirst(dlg)) break;
        takeSelectedEvent(dlg);
        list_PrintAllEvents(&dlg, page_);
        break;
    case kIdOk:
        if (!storeFirst(dlg)) break;
        dlg.end(kIdOk);
        break;
    case kIdCancel:
        // The lists, deletes and pastes changed the page as they went: all of it goes back.
        before_.restore(page_);
        dlg.end(kIdCancel);
        break;
    default: break;
    }
}

// ---------------------------------------------------------------------------------------
// EVENTTRIGGERS and EVENTACTIONS

bool SlotDialogProc::typeOrSelectorChosen(Dialog& dlg, int id, Notify code, const std::array<std::int32_t, 4>& stored) {
    if (code != Notify::SelChange || (id != kType && id != kSelector)) return false;
    if (dlg.selection(id) < 0) return true;
    const std::int32_t chosen = selectedData(dlg, id);
    if (chosen == (id == kType ? type_ : selector_)) return true;
    if (id == kType) {
        type_ = chosen;
        selector_ = 0;
    } else {
        selector_ = chosen;
    }
    const LogicVarSpec vars = varSpec();
    showVars(dlg, page_, vars, stored);
    if (id == kType) {
        fillSelector(dlg);
        vocab_SelectComboData(dlg, kSelector, 0);  // an empty list stays without a selection
    }
    dlg.enable(kSelector, vars.selectorEnabled);
    return true;
}

// ---------------------------------------------------------------------------------------
// EVENTTRIGGERS

void TriggerDialogProc::fillSelector(Dialog& dlg) {
    dlg.clearEntries(kSelector);
    const std::int32_t last = type_ == kTriggerGroup ? kGroupConditionMax : 0;
    for (std::int32_t c = 0; c <= last; ++c) dlg.addEntry(kSelector, event_ConditionName(type_, c), c);
}

LogicVarSpec TriggerDialogProc::varSpec() const { return event_TriggerVars(type_, selector_); }

void TriggerDialogProc::onInit(Dialog& dlg) {
    type_ = slot_.type;
    selector_ = slot_.condition;
    dlg.clearEntries(kType);
    for (std::int32_t t : kTriggerTypeOrder) dlg.addEntry(kType, event_TriggerTypeName(t), t);
    vocab_SelectComboData(dlg, kType, type_);
    fillSelector(dlg);
    vocab_SelectComboData(dlg, kSelector, selector_);
    checkRadio(dlg, kSenseRadios, (slot_.flags & kTriggerSenseFalse) ? kSenseFalse : kSenseTrue);
    showVars(dlg, page_, varSpec(), storedVars(slot_));
    const int logic = (slot_.flags & kTriggerLogicOr)    ? kLogicOr
                      : (slot_.flags & kTriggerLogicXor) ? kLogicXor
                                                         : kLogicAnd;
    checkRadio(dlg, kLogicRadios, logic);
    dlg.enable(kSelector, true);
}

void TriggerDialogProc::onCommand(Dialog& dlg, int id, Notify code) {
    if (typeOrSelectorChosen(dlg, id, code, storedVars(slot_))) return;
    if (code != Notify::Clicked) return;
    if (id == kSenseTrue || id == kSenseFalse) {
        checkRadio(dlg, kSenseRadios, id);
    } else if (id == kLogicAnd || id == kLogicOr || id == kLogicXor) {
        checkRadio(dlg, kLogicRadios, id);
    } else if (id == kIdOk) {
        slot_.type = selectedData(dlg, kType);
        slot_.condition = selectedData(dlg, kSelector);
        std::int32_t flags = slot_.flags & ~(kTriggerSenseFalse | kTriggerLogicOr | kTriggerLogicXor);
        if (dlg.check(kSenseTrue) != kChecked) flags |= kTriggerSenseFalse;
        if (dlg.check(kLogicOr) == kChecked) flags |= kTriggerLogicOr;
        if (dlg.check(kLogicXor) == kChecked) flags |= kTriggerLogicXor;
        slot_.flags = flags;
        storeVars(dlg, slot_);
        dlg.end(kIdOk);
    } else if (id == kIdCancel) {
        dlg.end(kIdCancel);
    }
}

// ---------------------------------------------------------------------------------------
// EVENTACTIONS

void ActionDialogProc::fillSelector(Dialog& dlg) {
    dlg.clearEntries(kSelector);
    if (!event_ActionHasSubtype(type_)) return;
    for (std::int32_t s = 0; s <= kAiSubtypeMax; ++s) dlg.addEntry(kSelector, event_AiSubtypeName(type_, s), s);
}

LogicVarSpec ActionDialogProc::varSpec() const { return event_ActionVars(type_, selector_); }

void ActionDialogProc::onInit(Dialog& dlg) {
    type_ = slot_.type;
    selector_ = slot_.subtype;
    dlg.clearEntries(kType);
    for (std::int32_t t = 0; t <= kActionTypeMax; ++t) dlg.addEntry(kType, event_ActionTypeName(t), t);
    vocab_SelectComboData(dlg, kType, type_);
    fillSelector(dlg);
    vocab_SelectComboData(dlg, kSelector, selector_);
    const LogicVarSpec vars = varSpec();
    dlg.enable(kSelector, vars.selectorEnabled);
    showVars(dlg, page_, vars, storedVars(slot_));
}

void ActionDialogProc::onCommand(Dialog& dlg, int id, Notify code) {
    if (typeOrSelectorChosen(dlg, id, code, storedVars(slot_))) return;
    if (code != Notify::Clicked) return;
    if (id == kIdOk) {
        slot_.type = selectedData(dlg, kType);
        slot_.subtype = selectedData(dlg, kSelector);
        storeVars(dlg, slot_);
        dlg.end(kIdOk);
    } else if (id == kIdCancel) {
        dlg.end(kIdCancel);
    }
}

// ---------------------------------------------------------------------------------------
// Running them

int events_RunEditor(Mission& page) { return events_RunEditorAt(page, 0); }

int events_RunEditorAt(Mission& page, std::int32_t start) {
    EventsDialogProc proc(page, start);
    return platform().runDialog("EDITEVENTS", proc);
}

int events_RunTrigger(const Mission& page, EventTrigger& slot) {
    TriggerDialogProc proc(page, slot);
    return platform().runDialog("EVENTTRIGGERS", proc);
}

int events_RunAction(const Mission& page, EventAction& slot) {
    ActionDialogProc proc(page, slot);
    return platform().runDialog("EVENTACTIONS", proc);
}

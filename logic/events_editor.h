// The events editor: the Events dialog (EDITEVENTS) with the event list of a page and the
// panel of the event shown, and the two dialogs that edit one trigger (EVENTTRIGGERS) and
// one action (EVENTACTIONS).
//
// The editor works on the page's event table in place: the lists, the deletes, the pastes
// and the trigger and action dialogs change the table at once; only the panel's name,
// delay, reset and flags wait until they are stored (when another event is chosen, before
// every list operation, and on OK). Cancel drops just those unstored panel edits.
// Copies go to the run-long clipboard of logic/events.h, so they survive closing the dialog
// and may be pasted on the other page.
#pragma once

#include "mission/mission.h"
#include "platform/ui.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

struct Mission;
struct EventTrigger;
struct EventAction;
struct LogicVarSpec;

// Control ids of the three dialogs; the templates in resources/ use them.
namespace evid {
// EDITEVENTS
constexpr int kEventList = 3100;
constexpr int kNameLabel = 3101;
constexpr int kName = 3102;
constexpr int kPreMission = 3103;
constexpr int kPostMission = 3104;
constexpr int kResetAfter = 3105;
constexpr int kResetValue = 3106;
constexpr int kDelayLabel = 3107;
constexpr int kDelayValue = 3108;
constexpr int kTriggerFrame = 3110;
constexpr int kTriggerList = 3111;
constexpr int kTriggerDelete = 3112;
constexpr int kTriggerCopy = 3113;
constexpr int kTriggerPaste = 3114;
constexpr int kActionFrame = 3120;
constexpr int kActionList = 3121;
constexpr int kActionDelete = 3122;
constexpr int kActionCopy = 3123;
constexpr int kActionPaste = 3124;
constexpr int kDeleteEvent = 3130;
constexpr int kCopyEvent = 3131;
constexpr int kPasteEvent = 3132;
constexpr int kPrintEvent = 3133;
constexpr int kPrintAll = 3134;
// EVENTTRIGGERS and EVENTACTIONS share the selector and variable ids.
constexpr int kTypeLabel = 3200;
constexpr int kType = 3201;
constexpr int kSelectorLabel = 3202;  // condition (trigger) or subtype (action)
constexpr int kSelector = 3203;
constexpr int kVarGroup = 3204;
constexpr int kVarLabelFirst = 3210;  // 3210..3213: labels of slots 1..4
constexpr int kVarFirst = 3220;       // 3220..3223: drop-downs of slots 1..4
// EVENTTRIGGERS only
constexpr int kSenseLabel = 3230;
constexpr int kSenseTrue = 3231;
constexpr int kSenseFalse = 3232;
constexpr int kLogicGroup = 3233;
constexpr int kLogicAnd = 3234;
constexpr int kLogicOr = 3235;
constexpr int kLogicXor = 3236;
}  // namespace evid

// MissionEvent::attrib bits the panel shows; other bits pass through.
constexpr std::int32_t kEventResetAfter = 1;
constexpr std::int32_t kEventPreMission = 2;
constexpr std::int32_t kEventPostMission = 4;

// The longest delay or reset the export can carry: seconds times 50 in 16 bits.
constexpr std::int32_t kEventSecondsMax = 32767 / 50;

// The longest event name the name field takes.
constexpr int kEventNameMax = 59;

// The panel of the Events dialog. StorePanel and ShowPanel ignore an index that is not an
// event of the page.
void event_StorePanel(Dialog& dlg, Mission& page, std::int32_t index);
void event_ShowPanel(Dialog& dlg, const Mission& page, std::int32_t index);
void event_FillList(Dialog& dlg, const Mission& page);
// The line of an event in the event list.
std::string event_ListLine(const Mission& page, std::int32_t index);

// EDITEVENTS on one page.
class EventsDialogProc : public DialogProc {
public:
    // start: the event shown first (0 when it is not an event of the page).
    explicit EventsDialogProc(Mission& page, std::int32_t start = 0) : page_(page), start_(start) {}
    void onInit(Dialog& dlg) override;
    void onCommand(Dialog& dlg, int id, Notify code) override;
    // The event the panel shows (tests).
    std::int32_t current() const { return current_; }

private:
    bool currentValid() const;
    // Stores the panel into the event shown; false (nothing stored) when a number field
    // holds what it does not take.
    bool storeFirst(Dialog& dlg);
    // The selected event line (not the "new" line), or -1. When it is not the event the
    // panel shows, the panel is stored and then shows it.
    std::int32_t takeSelectedEvent(Dialog& dlg);
    void chooseEvent(Dialog& dlg);
    void nameTyped(Dialog& dlg);
    void editRow(Dialog& dlg, bool trigger);
    void deleteRow(Dialog& dlg, bool trigger);
    void copyRow(Dialog& dlg, bool trigger);
    void pasteRow(Dialog& dlg, bool trigger);
    void deleteEvent(Dialog& dlg);
    void copyEvent(Dialog& dlg);
    void pasteEvent(Dialog& dlg);
    void showEventLine(Dialog& dlg, std::int32_t index);

    Mission& page_;
    std::int32_t start_ = 0;
    std::int32_t current_ = 0;
    MissionSnapshot before_;  // the page as the dialog opened, for Cancel
};

// What the trigger and action dialogs share: a type list, a selector list below it that the
// type fills (a trigger's condition, an action's AI subtype), and the four variable rows the
// type and selector ask for.
class SlotDialogProc : public DialogProc {
protected:
    explicit SlotDialogProc(const Mission& page) : page_(page) {}
    // A choice in the type or the selector list: a new type starts at selector 0 with its
    // selector list refilled; either shows the variable rows the pair asks for, holding the
    // slot's stored values where they still fit. false for any other notification.
    bool typeOrSelectorChosen(Dialog& dlg, int id, Notify code, const std::array<std::int32_t, 4>& stored);
    // The selector list's entries for type_.
    virtual void fillSelector(Dialog& dlg) = 0;
    // The variable rows type_ and selector_ ask for.
    virtual LogicVarSpec varSpec() const = 0;

    const Mission& page_;
    std::int32_t type_ = 0;
    std::int32_t selector_ = 0;
};

// EVENTTRIGGERS on one trigger slot; the page fills the value lists. OK writes the slot.
class TriggerDialogProc : public SlotDialogProc {
public:
    TriggerDialogProc(const Mission& page, EventTrigger& slot) : SlotDialogProc(page), slot_(slot) {}
    void onInit(Dialog& dlg) override;
    void onCommand(Dialog& dlg, int id, Notify code) override;

private:
    void fillSelector(Dialog& dlg) override;
    LogicVarSpec varSpec() const override;
    EventTrigger& slot_;
};

// EVENTACTIONS on one action slot.
class ActionDialogProc : public SlotDialogProc {
public:
    ActionDialogProc(const Mission& page, EventAction& slot) : SlotDialogProc(page), slot_(slot) {}
    void onInit(Dialog& dlg) override;
    void onCommand(Dialog& dlg, int id, Notify code) override;

private:
    void fillSelector(Dialog& dlg) override;
    LogicVarSpec varSpec() const override;
    EventAction& slot_;
};

// Runs the Events dialog on the page; kIdOk or kIdCancel.
int events_RunEditor(Mission& page);
// The same, showing event start first.
int events_RunEditorAt(Mission& page, std::int32_t start);
// Run the trigger and action dialogs on one slot; kIdOk when OK wrote it.
int events_RunTrigger(const Mission& page, EventTrigger& slot);
int events_RunAction(const Mission& page, EventAction& slot);

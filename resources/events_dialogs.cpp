#include "resources/events_dialogs.h"

#include "logic/events_editor.h"
#include "logic/refs.h"

using K = ControlKind;
using namespace evid;

namespace {

// The Events dialog: the event list with its buttons on the left; the panel of the event
// shown on the right, its trigger and action lists wide enough for the longest lines.
constexpr ControlTemplate kEditEvents[] = {
    {kEventList, K::ListBox, "", 7, 7, 190, 232, kCtlGroup},
    {kDeleteEvent, K::PushButton, "DELETE_EVENT", 7, 244, 60, 14, kCtlGroup},
    {kCopyEvent, K::PushButton, "COPY_EVENT", 72, 244, 60, 14},
    {kPasteEvent, K::PushButton, "PASTE_EVENT", 137, 244, 60, 14},
    {kPrintEvent, K::PushButton, "PRINT_EVENT", 7, 262, 92, 14},
    {kPrintAll, K::PushButton, "PRINT_ALL", 105, 262, 92, 14},
    {refid::kShowButton, K::PushButton, "REFS_SHOW", 7, 280, 92, 14},

    {kNameLabel, K::StaticText, "NAME", 207, 9, 40, 10},
    {kName, K::Edit, "", 250, 7, 250, 13, kCtlGroup},
    {kPreMission, K::CheckBox, "PRE_MISSION_EVENT", 207, 25, 140, 12, kCtlGroup},
    {kPostMission, K::CheckBox, "POST_MISSION_EVENT", 355, 25, 140, 12},
    {kResetAfter, K::CheckBox, "RESET_AFTER", 207, 41, 100, 12},
    numberField(kResetValue, 310, 40, 44, 13, 0, kEventSecondsMax, kResetAfter),
    {kDelayLabel, K::StaticText, "DELAY_SEC", 370, 42, 60, 10},
    numberField(kDelayValue, 435, 40, 44, 13, 0, kEventSecondsMax, kDelayLabel),

    {kTriggerFrame, K::GroupBox, "IF_TRIGGERS", 207, 58, 386, 108},
    {kTriggerList, K::ListBox, "", 214, 70, 320, 90, kCtlGroup},
    {kTriggerDelete, K::PushButton, "DELETE", 540, 70, 46, 14},
    {kTriggerCopy, K::PushButton, "COPY", 540, 88, 46, 14},
    {kTriggerPaste, K::PushButton, "PASTE", 540, 106, 46, 14},

    {kActionFrame, K::GroupBox, "THEN_ACTIONS", 207, 170, 386, 108},
    {kActionList, K::ListBox, "", 214, 182, 320, 90, kCtlGroup},
    {kActionDelete, K::PushButton, "DELETE", 540, 182, 46, 14},
    {kActionCopy, K::PushButton, "COPY", 540, 200, 46, 14},
    {kActionPaste, K::PushButton, "PASTE", 540, 218, 46, 14},

    {kIdCancel, K::PushButton, "CANCEL", 482, 282, 53, 14, kCtlGroup},
    {kIdOk, K::DefaultButton, "OK", 540, 282, 53, 14},
};

// One labelled drop-down of the variables frame; y is the drop-down's top.
constexpr ControlTemplate varLabel(int slot, int y) {
    return {kVarLabelFirst + slot, K::StaticText, "", 14, y + 2, 110, 10};
}
constexpr ControlTemplate varBox(int slot, int y) {
    return {kVarFirst + slot, K::DropDownList, "", 128, y, 198, 140, kCtlGroup};
}

constexpr ControlTemplate kEventTriggers[] = {
    {kTypeLabel, K::StaticText, "TRIGGER_TYPE", 7, 9, 90, 10},
    {kType, K::DropDownList, "", 100, 7, 233, 76, kCtlGroup},
    {kSelectorLabel, K::StaticText, "TRIGGER_CONDITION", 7, 25, 90, 10},
    {kSelector, K::DropDownList, "", 100, 23, 233, 140, kCtlGroup},
    {kSenseLabel, K::StaticText, "TRIGGER_IF", 7, 42, 150, 10},
    {kSenseTrue, K::RadioButton, "TRUE", 160, 41, 60, 12, kCtlGroup},
    {kSenseFalse, K::RadioButton, "FALSE", 225, 41, 60, 12},
    {kVarGroup, K::GroupBox, "TRIGGER_VARIABLES", 7, 58, 326, 84},
    varLabel(0, 70),
    varBox(0, 70),
    varLabel(1, 86),
    varBox(1, 86),
    varLabel(2, 102),
    varBox(2, 102),
    varLabel(3, 118),
    varBox(3, 118),
    {kLogicGroup, K::GroupBox, "LOGIC", 7, 148, 326, 30},
    {kLogicAnd, K::RadioButton, "AND", 20, 161, 60, 12, kCtlGroup},
    {kLogicOr, K::RadioButton, "OR", 100, 161, 60, 12},
    {kLogicXor, K::RadioButton, "XOR", 180, 161, 60, 12},
    {kIdCancel, K::PushButton, "CANCEL", 200, 188, 60, 14, kCtlGroup},
    {kIdOk, K::DefaultButton, "OK", 270, 188, 60, 14},
};

constexpr ControlTemplate kEventActions[] = {
    {kTypeLabel, K::StaticText, "ACTION_TYPE", 7, 9, 90, 10},
    {kType, K::DropDownList, "", 100, 7, 233, 140, kCtlGroup},
    {kSelectorLabel, K::StaticText, "ACTION_SUBTYPE", 7, 25, 90, 10},
    {kSelector, K::DropDownList, "", 100, 23, 233, 140, kCtlGroup},
    {kVarGroup, K::GroupBox, "ACTION_VARIABLES", 7, 42, 326, 84},
    varLabel(0, 54),
    varBox(0, 54),
    varLabel(1, 70),
    varBox(1, 70),
    varLabel(2, 86),
    varBox(2, 86),
    varLabel(3, 102),
    varBox(3, 102),
    {kIdCancel, K::PushButton, "CANCEL", 200, 134, 60, 14, kCtlGroup},
    {kIdOk, K::DefaultButton, "OK", 270, 134, 60, 14},
};

}  // namespace

const DialogTemplate kDlgEditEvents = {"EDITEVENTS", "EVENTS", 600, 302, {}, 8, kEditEvents};
const DialogTemplate kDlgEventTriggers = {"EVENTTRIGGERS", "EVENT_TRIGGER", 340, 210, {}, 8, kEventTriggers};
const DialogTemplate kDlgEventActions = {"EVENTACTIONS", "EVENT_ACTION", 340, 156, {}, 8, kEventActions};

// The vocabulary of the event logic: what the eight words of a trigger or an action mean,
// the names of their codes, which of the four variables each code uses with its label and
// value list, and how a trigger, an action and an AI change read as one line of text.
//
// Every name and rendered line comes from the string table (section "Triggers" unless said
// otherwise). Rendered lines use the table's text as a format through the checked formatter,
// so a table whose wording does not fit the arguments gives the fallback text, never garbage.
// Results are owned strings: a rendered action embeds a rendered AI change freely, and no
// wording, however long, can overrun a buffer.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class Dialog;
struct Mission;
struct EventTrigger;
struct EventAction;

// ---------------------------------------------------------------------------------------
// Codes

// Trigger types (EventTrigger::type).
constexpr std::int32_t kTriggerNull = 0;
constexpr std::int32_t kTriggerGroup = 1;
constexpr std::int32_t kTriggerEvent = 2;
constexpr std::int32_t kTriggerCampaignVar = 3;
constexpr std::int32_t kTriggerSecondTime = 4;
constexpr std::int32_t kTriggerSquadmates = 5;

// EventTrigger::flags bits.
constexpr std::int32_t kTriggerSenseFalse = 1;  // holds when the test is not true
constexpr std::int32_t kTriggerLogicOr = 2;
constexpr std::int32_t kTriggerLogicXor = 4;

constexpr std::int32_t kGroupConditionMax = 13;  // group conditions 0..13
constexpr std::int32_t kActionTypeMax = 18;      // action types 0..18
constexpr std::int32_t kAiSubtypeMax = 19;       // AI-change subtypes 0..19

// Action types that change the AI and so carry a subtype.
constexpr std::int32_t kActionChangeGroupAi = 3;
constexpr std::int32_t kActionAreaAiRed = 12;
constexpr std::int32_t kActionAreaAiBlue = 13;
constexpr std::int32_t kActionChangeTeam = 16;
bool event_ActionHasSubtype(std::int32_t actionType);

// The orders in which the trigger and action dialogs offer the codes.
constexpr std::array<std::int32_t, 6> kTriggerTypeOrder = {0, 1, 2, 4, 5, 3};

// ---------------------------------------------------------------------------------------
// Value lists: what a variable slot may hold. Each entry has a display text and the item
// data stored in the variable when the entry is chosen.

enum class LogicList {
    None,
    Groups,
    Waypoints,
    Areas,
    Events,
    CampaignVars,
    WaypointNumbers,
    Bits,
    Percent,
    UnitCount,
    Degrees,
    Numbers,
    TeleportTargets,
    Teams,
    Weapons,
    WinSubGoals,
    LoseSubGoals,
};

struct ListEntry {
    std::string text;
    std::int64_t data = 0;
};
using ValueList = std::vector<ListEntry>;

// Lists built from the records of a page (read at the moment of the call). Every slot of the
// table is listed, used or not.
ValueList list_Groups(const Mission& m);        // "NULL", then 1..63
ValueList list_Waypoints(const Mission& m);     // "NULL", then 1..127
ValueList list_Areas(const Mission& m);         // "NULL", then 1..99
ValueList list_Events(const Mission& m);        // 0..255, no "NULL" entry
ValueList list_WinSubGoals(const Mission& m);   // 1..4
ValueList list_LoseSubGoals(const Mission& m);  // 1..4
// Fixed lists.
ValueList list_CampaignVars();
ValueList list_WaypointNumbers();
ValueList list_Bits();
ValueList list_Percent();
ValueList list_UnitCount();
ValueList list_Degrees();
ValueList list_Numbers();
ValueList list_TeleportTargets();
ValueList list_Teams();
ValueList list_Weapons();

// The entries of any list (empty for LogicList::None).
ValueList list_Build(LogicList list, const Mission& m);

// The name a sub-goal list shows for a win (lose) condition code: the text of "NULL" for -1,
// else the game vocabulary's name of the condition.
std::string event_WinConditionName(std::int32_t code);
std::string event_LoseConditionName(std::int32_t code);

// Drop-downs. Fills the control (emptied first) with the entries in order.
void vocab_FillCombo(Dialog& dlg, int id, const ValueList& entries);
// Selects the first entry whose item data equals value; when none does, entry 0.
void vocab_SelectComboData(Dialog& dlg, int id, std::int64_t value);

// ---------------------------------------------------------------------------------------
// Variable slots

struct LogicVarSlot {
    std::string labelKey = "NULL";  // key of the label in section "Triggers"
    std::string label;              // its text
    LogicList list = LogicList::None;
};

// What a dialog shows for one trigger or action: four labelled slots and whether the second
// selector (group condition or AI subtype) is enabled.
struct LogicVarSpec {
    std::array<LogicVarSlot, 4> slots;
    bool selectorEnabled = false;
};

// Variables with every slot labelled "NULL" and no list.
LogicVarSpec event_EmptyVarSpec();
LogicVarSpec event_TriggerVars(std::int32_t type, std::int32_t condition);
LogicVarSpec event_ActionVars(std::int32_t type, std::int32_t subtype);
// Label and list of the AI value (slot 2 of the AI-changing actions).
LogicVarSlot event_AiValueVar(std::int32_t subtype);

// ---------------------------------------------------------------------------------------
// What the variables refer to

// The list each of var1..var4 of a trigger or an action draws its value from (None for an
// unused variable), as the dialogs offer them; what checks and where-used read the records
// a row names from. No text is looked up.
std::array<LogicList, 4> event_TriggerVarLists(std::int32_t type, std::int32_t condition);
std::array<LogicList, 4> event_ActionVarLists(std::int32_t type, std::int32_t subtype);

// ---------------------------------------------------------------------------------------
// Names and rendered lines

std::string event_TriggerTypeName(std::int32_t type);
std::string event_ConditionName(std::int32_t type, std::int32_t condition);
std::string event_ActionTypeName(std::int32_t type);
std::string event_AiSubtypeName(std::int32_t actionType, std::int32_t subtype);

// The trigger as a line; the logic word joining it to the next trigger is appended unless it
// is the last trigger of its event. With a page, a group, path or area the line names is
// given by its number and description ("Group 2 Red Players is destroyed").
std::string event_TriggerText(const EventTrigger& t, bool last, const Mission* page = nullptr);
std::string event_ActionText(const EventAction& a, const Mission* page = nullptr);
// The AI change an action makes, from its subtype and var2.
std::string event_AiChangeText(const EventAction& a);

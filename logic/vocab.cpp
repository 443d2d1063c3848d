#include "logic/vocab.h"

#include <algorithm>

#include "core/format.h"
#include "core/text.h"
#include "mission/mission.h"
#include "platform/ui.h"

namespace {

constexpr const char* kSec = "Triggers";

// One variable slot of a code table: its label key, or nullptr when the slot is unused.
struct SlotDef {
    const char* label = nullptr;
    LogicList list = LogicList::None;
};

constexpr SlotDef kNoSlot{};
constexpr SlotDef kGroup1{"GROUP1", LogicList::Groups};
constexpr SlotDef kGroup2{"GROUP2", LogicList::Groups};
constexpr SlotDef kGroup{"GROUP", LogicList::Groups};

// Labels of the slots whose wording is ours to choose.
constexpr SlotDef kEventToTest{"EVENT_TO_TEST", LogicList::Events};
constexpr SlotDef kCampVarToTest{"CAMP_VAR_TO_TEST", LogicList::CampaignVars};
constexpr SlotDef kAreaToTest{"AREA_TO_TEST", LogicList::Areas};
constexpr SlotDef kHeldGroup{"HELD_GROUP", LogicList::Groups};
constexpr SlotDef kCampVarToSet{"CAMP_VAR_TO_SET", LogicList::CampaignVars};

// Table 2: the group conditions of trigger type 1. argc is how many of var1..var3 the
// rendered line takes.
struct ConditionDef {
    const char* name;
    std::array<SlotDef, 3> slots;
    const char* keyTrue;
    const char* keyFalse;
    int argc;
};

constexpr std::array<ConditionDef, kGroupConditionMax + 1> kConditions = {{
    {"NULL", {kNoSlot, kNoSlot, kNoSlot}, "GROUP-NULL", "GROUP-NULL", 0},
    {"SEEN_ENEMY", {kGroup1, kGroup2, kNoSlot}, "GROUP_SEES_GROUP", "GROUP_NOT_SEES_GROUP", 2},
    {"HAS_TARGETED", {kGroup1, kGroup2, kNoSlot}, "GROUP_HAS_TARGETED_GROUP", "GROUP_HAS_NOT_TARGETED_GROUP", 2},
    {"CONDITION_RED", {kGroup1, kNoSlot, kNoSlot}, "GROUP_AT_RED_ALERT", "GROUP_NOT_AT_RED_ALERT", 1},
    {"ALL_DESTROYED", {kGroup1, kNoSlot, kNoSlot}, "GROUP_DESTROYED", "GROUP_NOT_DESTROYED", 1},
    {"ANY_ALIVE", {kGroup1, kNoSlot, kNoSlot}, "GROUP_ALIVE", "GROUP_NOT_ALIVE", 1},
    {"LOST_X_UNITS",
     {kGroup1, SlotDef{"NUM_UNITS", LogicList::UnitCount}, kNoSlot},
     "GROUP_HAS_LOST_MORE_UNITS",
     "GROUP_HAS_NOT_LOST_MORE_UNITS",
     2},
    {"REACHED_WAYPOINT",
     {kGroup1, SlotDef{"WAYPOINT_LIST", LogicList::Waypoints}, SlotDef{"WAYPOINT_NUMBER", LogicList::WaypointNumbers}},
     "GROUP_AT_WAYPOINT",
     "GROUP_NOT_AT_WAYPOINT",
     3},
    // The path is chosen in the dialog but the line names only the group.
    {"FINISHES_WAYPOINT",
     {kGroup1, SlotDef{"WAYPOINT_LIST", LogicList::Waypoints}, kNoSlot},
     "GROUP_FINISH_WP_LIST",
     "GROUP_NOT_FINISH_WP_LIST",
     1},
    {"ALL_INTACT", {kGroup1, kNoSlot, kNoSlot}, "GROUP_INTACT", "GROUP_NOT_INTACT", 1},
    {"AREA_TRIGGER", {kGroup, kAreaToTest, kNoSlot}, "GROUP_IS_WITHIN_AREA", "GROUP_IS_NOT_WITHIN_AREA", 2},
    {"HOLDS_ITEM", {kGroup, kHeldGroup, kNoSlot}, "GROUP_HOLDING_GROUP", "GROUP_NOT_HOLDING_GROUP", 2},
    // The false sense has its own wording rather than a negated one.
    {"HAS_X_UNITS",
     {kGroup1, SlotDef{"NUM_UNITS", LogicList::UnitCount}, kNoSlot},
     "GROUP_HAS_MORE_UNITS",
     "GROUP_LESS_THAN",
     2},
    {"GROUP_SHOT_GROUP", {kGroup1, kGroup2, kNoSlot}, "GROUP_HAS_SHOT_GROUP", "GROUP_HAS_NOT_SHOT_GROUP", 2},
}};

constexpr std::array<const char*, 6> kTriggerTypeNames = {"NULL",        "GROUP",     "EVENT", "CAMPAIGN_VARIABLE",
                                                          "SECOND_TIME", "SQUADMATES"};

// Table 4: the action types. How the rendered line is made:
enum class ActionRender {
    Copy,      // the key's text as it stands
    Ints,      // formatted with argc of var1, var2
    AiChange,  // formatted with var1 and the rendered AI change
    Team,      // formatted with var1, then the team's colour appended
};

struct ActionDef {
    const char* name;
    SlotDef slot1;
    SlotDef slot2;
    const char* key;
    ActionRender render;
    int argc;
};

constexpr std::array<ActionDef, kActionTypeMax + 1> kActions = {{
    {"NULL", kNoSlot, kNoSlot, "NULL", ActionRender::Copy, 0},
    {"REDIRECT_GROUP_TO", kGroup, SlotDef{"WAYPOINT_LIST", LogicList::Waypoints}, "GROUP_REDIRECT_TO",
     ActionRender::Ints, 2},
    {"KILL_GROUP", kGroup, kNoSlot, "ELIMINATE_GROUP", ActionRender::Ints, 1},
    {"CHANGE_GROUP_AI", kGroup, kNoSlot, "CHANGE_GROUP", ActionRender::AiChange, 1},
    {"VAPORIZE_GROUP", kGroup, kNoSlot, "VAPORIZE_GROUP_NUM", ActionRender::Ints, 1},
    {"SET_CAMPAIGN_VARIABLE", kCampVarToSet, SlotDef{"VARIABLE_STATUS", LogicList::Bits}, "SET_CAMPAIGN_VARIABLE_NUM",
     ActionRender::Ints, 2},
    {"OUTPUT_TEXT", SlotDef{"TEXT_ID", LogicList::Numbers}, kNoSlot, "TEXT_MESSAGE", ActionRender::Ints, 1},
    {"PLAY_WAVLIST", SlotDef{"WAV_LIST_NUMBER", LogicList::Numbers}, kNoSlot, "PLAY_WAV_FILE_LIST", ActionRender::Ints,
     1},
    {"BLUE_WIN", kNoSlot, kNoSlot, "BLUE_WIN", ActionRender::Copy, 0},
    {"RED_WIN", kNoSlot, kNoSlot, "RED_WIN", ActionRender::Copy, 0},
    {"GREEN_WIN", kNoSlot, kNoSlot, "GREEN_WIN", ActionRender::Copy, 0},
    {"GROUP_VELOCITY", kGroup, SlotDef{"VELOCITY_KPH", LogicList::Percent}, "SET_GROUP_TO_SPEED", ActionRender::Ints,
     2},
    {"AREA_AI_RED", SlotDef{"AREA_ID", LogicList::Areas}, kNoSlot, "CHANGE_ALL_RED_IN_AREA", ActionRender::AiChange, 1},
    {"AREA_AI_BLUE", SlotDef{"AREA_ID", LogicList::Areas}, kNoSlot, "CHANGE_ALL_BLUE_IN_AREA", ActionRender::AiChange,
     1},
    {"SUB_GOAL_WON", SlotDef{"SUB_GOAL_NUMBER", LogicList::WinSubGoals}, kNoSlot, "SUB_GOAL_NUM_WON",
     ActionRender::Ints, 1},
    {"SUB_GOAL_LOST", SlotDef{"SUB_GOAL_NUMBER", LogicList::LoseSubGoals}, kNoSlot, "SUB_GOAL_NUM_LOST",
     ActionRender::Ints, 1},
    {"CHANGE_TEAM_ACTION", kGroup, SlotDef{"TEAM", LogicList::Teams}, "CHANGE_TEAM_STRING", ActionRender::Team, 1},
    {"CHANGE_GROUP_ACTION", kGroup, kGroup, "CHANGE_GROUP_STRING", ActionRender::Ints, 2},
    {"GROUP_TELEPORT_ACTION", kGroup, SlotDef{"TELEPORT_TARGET_NUM", LogicList::TeleportTargets},
     "GROUP_TELEPORT_STRING", ActionRender::Ints, 2},
}};

// Table 5: the AI-change subtypes. A subtype with an "off" key renders on/off by var2; one
// with a value takes var2 as its one argument.
struct AiSubtypeDef {
    const char* name;
    SlotDef value;
    const char* keyOn;
    const char* keyOff;
    bool withValue;
};

constexpr SlotDef kNullSlot{"NULL", LogicList::None};

constexpr std::array<AiSubtypeDef, kAiSubtypeMax + 1> kAiSubtypes = {{
    {"NULL", kNullSlot, "COLON_NULL", nullptr, false},
    {"NEW_WEAPON", {"WEAPON_NUMBER", LogicList::Weapons}, "WEAPONS_TO", nullptr, true},
    {"GUARDER", {"GUARD_BIT", LogicList::Bits}, "GUARD_ON", "GUARD_OFF", false},
    {"STANDER", {"STAND_BIT", LogicList::Bits}, "STAND_ON", "STAND_OFF", false},
    {"PRONER", {"PRONE_BIT", LogicList::Bits}, "PRONE_ON", "PRONE_OFF", false},
    {"RED_ALERT", kNullSlot, "TO_RED_ALERT", nullptr, false},
    {"GREEN_ALERT", kNullSlot, "TO_GREEN_ALERT", nullptr, false},
    {"FIELD_OF_VIEW", {"FOV_DEGREES", LogicList::Degrees}, "TO_FOV_DEGREES", nullptr, true},
    {"ACCURACY", {"ACCURACY_100", LogicList::Percent}, "ACCURACY_TO", nullptr, true},
    {"PERCEPTION", {"PERCEPTION_100", LogicList::Percent}, "PERCEPTION_TO", nullptr, true},
    {"MOVE_TIMER", {"TIMER_SEC", LogicList::Numbers}, "MOVE_TIMER_TO", nullptr, true},
    {"CROUCH_TIMER", {"TIMER_SEC", LogicList::Numbers}, "CROUCH_TIMER_TO", nullptr, true},
    {"ATTENTION_SPAN", {"TIMER_SEC", LogicList::Numbers}, "ATTENTION_SPAN_TO", nullptr, true},
    {"OBLIQUENESS", {"OBLIQUENESS_DEGREES", LogicList::Degrees}, "OBLIQUENESS_TO", nullptr, true},
    {"SILENT", {"SILENT_BIT", LogicList::Bits}, "SILENT_ON", "SILENT_OFF", false},
    {"BLIND", {"BLIND_BIT", LogicList::Bits}, "BLIND_ON", "BLIND_OFF", false},
    {"BERSERK", {"BERSERK_BIT", LogicList::Bits}, "BERSERK_ON", "BERSERK_OFF", false},
    {"CLIMBER", {"CLIMBER_BIT", LogicList::Bits}, "CLIMBER_ON", "CLIMBER_OFF", false},
    {"NO_WATER", {"NO_WATER_BIT", LogicList::Bits}, "NO_WATER_ON", "NO_WATER_OFF", false},
    {"DEAF", {"DEAF_BIT", LogicList::Bits}, "DEAF_ON", "DEAF_OFF", false},
}};

std::string get(const char* key) { return text_Get(kSec, key); }

LogicVarSlot makeSlot(const SlotDef& def) {
    LogicVarSlot s;
    if (!def.label) {
        s.label = get("NULL");
        return s;
    }
    s.labelKey = def.label;
    s.label = get(def.label);
    s.list = def.list;
    return s;
}

// A key of "Triggers" formatted with the first argc of the given integers.
std::string formatInts(const char* key, int argc, std::int32_t a, std::int32_t b = 0, std::int32_t c = 0) {
    switch (argc) {
    case 0: return text_Printf(kSec, key, {});
    case 1: return text_Printf(kSec, key, {a});
    case 2: return text_Printf(kSec, key, {a, b});
    default: return text_Printf(kSec, key, {a, b, c});
    }
}

// The record a slot's value stands for, by number and description ("2 Red Players"); empty
// when there is no page, the slot names no record or the record has no description.
std::string recordName(const Mission* page, LogicList list, std::int32_t v) {
    if (!page) return {};
    std::string_view d;
    if (list == LogicList::Groups && v >= 1 && v < kMaxGroups)
        d = mission_Text(page->groups[std::size_t(v)].description);
    else if (list == LogicList::Waypoints && v >= 1 && v < kMaxWaypoints)
        d = mission_Text(page->waypoints[std::size_t(v)].description);
    else if (list == LogicList::Areas && v >= 1 && v < kMaxAreaTriggers)
        d = mission_Text(page->area_triggers[std::size_t(v)].description);
    if (d.empty()) return {};
    return text_Format("%i %s", {v, d});
}

// A key of "Triggers" formatted with the first argc of the slot values, a value that names a
// record given by its name: its conversion in the wording becomes a text conversion.
std::string formatNamed(const char* key, int argc, const std::array<std::int32_t, 3>& v,
                        const std::array<LogicList, 3>& lists, const Mission* page) {
    std::array<std::string, 3> names;
    bool any = false;
    for (std::size_t i = 0; i < std::size_t(std::clamp(argc, 0, 3)); ++i) {
        names[i] = recordName(page, lists[i], v[i]);
        any = any || !names[i].empty();
    }
    if (!any) return formatInts(key, argc, v[0], v[1], v[2]);
    const std::string_view fmt = text_Get(kSec, key);
    std::string out;
    int arg = 0;
    for (std::size_t i = 0; i < fmt.size(); ++i) {
        if (fmt[i] != '%' || i + 1 >= fmt.size()) {
            out.push_back(fmt[i]);
            continue;
        }
        if (fmt[i + 1] == '%') {
            out += "%%";
            ++i;
            continue;
        }
        std::size_t end = i + 1;
        while (end < fmt.size() && std::string_view("-+ #0123456789.*hlLzjt").find(fmt[end]) != std::string_view::npos)
            ++end;
        const bool named = arg < 3 && !names[std::size_t(arg)].empty();
        out += named ? std::string("%s") : std::string(fmt.substr(i, end + 1 - i));
        ++arg;
        i = end;
    }
    const auto a = [&](int k) {
        return names[std::size_t(k)].empty() ? FmtArg(v[std::size_t(k)]) : FmtArg(names[std::size_t(k)]);
    };
    switch (argc) {
    case 1: return text_Format(out, {a(0)});
    case 2: return text_Format(out, {a(0), a(1)});
    default: return text_Format(out, {a(0), a(1), a(2)});
    }
}

// "NULL", then "%2i - %s" for slots 1..count-1 of a table of described records.
template <typename Table>
ValueList describedList(const Table& table, std::size_t count) {
    ValueList out;
    out.reserve(count);
    out.push_back({get("NULL"), 0});
    for (std::size_t i = 1; i < count && i < table.size(); ++i) {
        const int n = static_cast<int>(i);
        out.push_back({text_Format("%2i - %s", {n, mission_Text(table[i].description)}), n});
    }
    return out;
}

ValueList numberList(int first, int last) {
    ValueList out;
    out.reserve(static_cast<std::size_t>(last - first + 1));
    for (int i = first; i <= last; ++i) out.push_back({text_Format("%i", {i}), i});
    return out;
}

// The vocabulary table's name of a win or lose condition.
std::string conditionName(const char* section, const char* keyFormat, std::int32_t code) {
    if (code == -1) return get("NULL");
    const TextTable* vocab = text_Tables().vocab;
    if (vocab) {
        const std::string key = text_Format(keyFormat, {code});
        if (const TextEntry* e = text_Find(vocab, section, key.c_str())) {
            if (const char* t = text_EntryText(vocab, e)) return t;
        }
    }
    // No name known for the code: say which condition it is rather than show nothing.
    return text_Printf(kSec, "UNNAMED_CONDITION", {code});
}

ValueList subGoalList(const std::array<std::int8_t, 4>& codes, bool win) {
    ValueList out;
    for (int s = 1; s <= 4; ++s) {
        const std::int32_t code = codes[static_cast<std::size_t>(s - 1)];
        const std::string name = win ? event_WinConditionName(code) : event_LoseConditionName(code);
        out.push_back({text_Format("%i - %s", {s, name}), s});
    }
    return out;
}

bool validCondition(std::int32_t type, std::int32_t condition) {
    return type == kTriggerGroup && condition >= 0 && condition <= kGroupConditionMax;
}

bool validAction(std::int32_t type) { return type >= 0 && type <= kActionTypeMax; }
bool validSubtype(std::int32_t subtype) { return subtype >= 0 && subtype <= kAiSubtypeMax; }

}  // namespace

bool event_ActionHasSubtype(std::int32_t actionType) {
    return actionType == kActionChangeGroupAi || actionType == kActionAreaAiRed || actionType == kActionAreaAiBlue;
}

// ---------------------------------------------------------------------------------------
// Value lists

ValueList list_Groups(const Mission& m) { return describedList(m.groups, kMaxGroups); }
ValueList list_Waypoints(const Mission& m) { return describedList(m.waypoints, kMaxWaypoints); }
ValueList list_Areas(const Mission& m) { return describedList(m.area_triggers, kMaxAreaTriggers); }

ValueList list_Events(const Mission& m) {
    ValueList out;
    out.reserve(kMaxEvents);
    for (int e = 0; e < kMaxEvents; ++e)
        out.push_back({text_Format("(%i) %s", {e, mission_Text(m.events[static_cast<std::size_t>(e)].name)}), e});
    return out;
}

ValueList list_WinSubGoals(const Mission& m) { return subGoalList(m.info.subgoals_win, true); }
ValueList list_LoseSubGoals(const Mission& m) { return subGoalList(m.info.subgoals_lose, false); }

ValueList list_CampaignVars() {
    ValueList out;
    out.push_back({get("NULL"), 0});
    for (int v = 1; v <= 31; ++v) out.push_back({text_Printf(kSec, "CAMP_VAR_NUM", {v}), v});
    return out;
}

ValueList list_WaypointNumbers() {
    ValueList out = numberList(1, 31);
    out.insert(out.begin(), ListEntry{get("NULL"), 0});
    return out;
}

ValueList list_Bits() { return numberList(0, 1); }
ValueList list_Percent() { return numberList(0, 100); }
ValueList list_UnitCount() { return numberList(0, 128); }
ValueList list_Degrees() { return numberList(0, 359); }
ValueList list_Numbers() { return numberList(0, 999); }
ValueList list_TeleportTargets() { return numberList(0, 31); }

ValueList list_Teams() {
    return {
        {text_Get("Teams", "NEUTRALTEAM"), 0}, {text_Get("Teams", "GOODTEAM"), 1}, {text_Get("Teams", "EVILTEAM"), 2}};
}

ValueList list_Weapons() {
    return {{text_Get("Med Resources", "NONE"), 0},   {text_Get("Weapons", "M16"), 1},
            {text_Get("Weapons", "AK47"), 2},         {text_Get("Weapons", "DRAGUNOVA"), 3},
            {text_Get("Weapons", "H&K_MP5_SD"), 6},   {text_Get("Weapons", "COLT_45"), 8},
            {text_Get("Weapons", "SUPPRESSED_22"), 9}};
}

ValueList list_Build(LogicList list, const Mission& m) {
    switch (list) {
    case LogicList::None: return {};
    case LogicList::Groups: return list_Groups(m);
    case LogicList::Waypoints: return list_Waypoints(m);
    case LogicList::Areas: return list_Areas(m);
    case LogicList::Events: return list_Events(m);
    case LogicList::CampaignVars: return list_CampaignVars();
    case LogicList::WaypointNumbers: return list_WaypointNumbers();
    case LogicList::Bits: return list_Bits();
    case LogicList::Percent: return list_Percent();
    case LogicList::UnitCount: return list_UnitCount();
    case LogicList::Degrees: return list_Degrees();
    case LogicList::Numbers: return list_Numbers();
    case LogicList::TeleportTargets: return list_TeleportTargets();
    case LogicList::Teams: return list_Teams();
    case LogicList::Weapons: return list_Weapons();
    case LogicList::WinSubGoals: return list_WinSubGoals(m);
    case LogicList::LoseSubGoals: return list_LoseSubGoals(m);
    }
    return {};
}

std::string event_WinConditionName(std::int32_t code) {
    return conditionName("WinConditions", "STRWINCOND%0.3i", code);
}

std::string event_LoseConditionName(std::int32_t code) {
    return conditionName("LoseConditions", "STRLOSECOND%0.3i", code);
}

void vocab_FillCombo(Dialog& dlg, int id, const ValueList& entries) {
    dlg.clearEntries(id);
    for (const ListEntry& e : entries) dlg.addEntry(id, e.text, e.data);
}

void vocab_SelectComboData(Dialog& dlg, int id, std::int64_t value) {
    const int n = dlg.entryCount(id);
    for (int i = 0; i < n; ++i) {
        if (dlg.entryData(id, i) == value) {
            dlg.setSelection(id, i);
            return;
        }
    }
    // An empty drop-down has no entry 0 to fall back on.
    dlg.setSelection(id, n > 0 ? 0 : -1);
}

// ---------------------------------------------------------------------------------------
// Variable slots

LogicVarSpec event_EmptyVarSpec() {
    LogicVarSpec vars;
    for (LogicVarSlot& s : vars.slots) s.label = get("NULL");
    return vars;
}

LogicVarSpec event_TriggerVars(std::int32_t type, std::int32_t condition) {
    LogicVarSpec vars = event_EmptyVarSpec();
    switch (type) {
    case kTriggerGroup:
        // The condition selector stays usable whatever condition is stored.
        vars.selectorEnabled = true;
        if (validCondition(type, condition)) {
            const ConditionDef& c = kConditions[static_cast<std::size_t>(condition)];
            for (std::size_t i = 0; i < c.slots.size(); ++i) {
                if (c.slots[i].label) vars.slots[i] = makeSlot(c.slots[i]);
            }
        }
        break;
    case kTriggerEvent: vars.slots[0] = makeSlot(kEventToTest); break;
    case kTriggerCampaignVar: vars.slots[0] = makeSlot(kCampVarToTest); break;
    default: break;
    }
    return vars;
}

LogicVarSlot event_AiValueVar(std::int32_t subtype) {
    if (!validSubtype(subtype)) return makeSlot(kNullSlot);
    return makeSlot(kAiSubtypes[static_cast<std::size_t>(subtype)].value);
}

LogicVarSpec event_ActionVars(std::int32_t type, std::int32_t subtype) {
    LogicVarSpec vars = event_EmptyVarSpec();
    if (!validAction(type)) return vars;
    const ActionDef& a = kActions[static_cast<std::size_t>(type)];
    if (a.slot1.label) vars.slots[0] = makeSlot(a.slot1);
    if (event_ActionHasSubtype(type)) {
        vars.selectorEnabled = true;
        vars.slots[1] = event_AiValueVar(subtype);
    } else if (a.slot2.label) {
        vars.slots[1] = makeSlot(a.slot2);
    }
    return vars;
}

// ---------------------------------------------------------------------------------------
// What the variables refer to

std::array<LogicList, 4> event_TriggerVarLists(std::int32_t type, std::int32_t condition) {
    std::array<LogicList, 4> lists{};
    lists.fill(LogicList::None);
    if (type == kTriggerEvent)
        lists[0] = kEventToTest.list;
    else if (type == kTriggerCampaignVar)
        lists[0] = kCampVarToTest.list;
    else if (validCondition(type, condition)) {
        const ConditionDef& c = kConditions[static_cast<std::size_t>(condition)];
        for (std::size_t i = 0; i < c.slots.size(); ++i)
            if (c.slots[i].label) lists[i] = c.slots[i].list;
    }
    return lists;
}

std::array<LogicList, 4> event_ActionVarLists(std::int32_t type, std::int32_t subtype) {
    std::array<LogicList, 4> lists{};
    lists.fill(LogicList::None);
    if (!validAction(type)) return lists;
    const ActionDef& a = kActions[static_cast<std::size_t>(type)];
    if (a.slot1.label) lists[0] = a.slot1.list;
    if (event_ActionHasSubtype(type)) {
        if (validSubtype(subtype)) lists[1] = kAiSubtypes[static_cast<std::size_t>(subtype)].value.list;
    } else if (a.slot2.label) {
        lists[1] = a.slot2.list;
    }
    return lists;
}

// ---------------------------------------------------------------------------------------
// Names

std::string event_TriggerTypeName(std::int32_t type) {
    if (type < 1 || type > kTriggerSquadmates) return get("NULL");
    return get(kTriggerTypeNames[static_cast<std::size_t>(type)]);
}

std::string event_ConditionName(std::int32_t type, std::int32_t condition) {
    if (!validCondition(type, condition) || condition == 0) return get("NULL");
    return get(kConditions[static_cast<std::size_t>(condition)].name);
}

std::string event_ActionTypeName(std::int32_t type) {
    if (!validAction(type)) return get("RESERVED");
    return get(kActions[static_cast<std::size_t>(type)].name);
}

std::string event_AiSubtypeName(std::int32_t actionType, std::int32_t subtype) {
    if (!event_ActionHasSubtype(actionType) || !validSubtype(subtype) || subtype == 0) return get("NULL");
    return get(kAiSubtypes[static_cast<std::size_t>(subtype)].name);
}

// ---------------------------------------------------------------------------------------
// Rendered lines

std::string event_TriggerText(const EventTrigger& t, bool last, const Mission* page) {
    const bool negated = (t.flags & kTriggerSenseFalse) != 0;
    std::string text;
    switch (t.type) {
    case kTriggerNull: text = get("NULL"); break;
    case kTriggerGroup:
        if (validCondition(t.type, t.condition)) {
            const ConditionDef& c = kConditions[static_cast<std::size_t>(t.condition)];
            text = formatNamed(negated ? c.keyFalse : c.keyTrue, c.argc, {t.var1, t.var2, t.var3},
                               {c.slots[0].list, c.slots[1].list, c.slots[2].list}, page);
        } else {
            // A condition no table knows: read as no condition at all.
            text = get("NULL");
        }
        break;
    case kTriggerEvent: text = formatInts(negated ? "EVENT_NOT_TRIGGERED" : "EVENT_TRIGGERED", 1, t.var1); break;
    case kTriggerCampaignVar:
        text = formatInts(negated ? "CAMPAIGN_VARIABLE_NOT_SET" : "CAMPAIGN_VARIABLE_SET", 1, t.var1);
        break;
    case kTriggerSecondTime:
        text = formatInts(negated ? "NOT_SECOND_TIME_THROUGH" : "SECOND_TIME_THROUGH", 0, 0);
        break;
    case kTriggerSquadmates: text = formatInts(negated ? "SQUADMATES_ARE_OFF" : "SQUADMATES_ARE_ON", 0, 0); break;
    default: text = "???"; break;
    }
    if (!last) {
        // OR is tested first, so a row with both logic bits reads as OR.
        const char* logic = (t.flags & kTriggerLogicOr) ? "OR" : (t.flags & kTriggerLogicXor) ? "XOR" : "AND";
        text += text_Get("Trigger Logic", logic);
    }
    return text;
}

std::string event_AiChangeText(const EventAction& a) {
    // A subtype no table knows renders like subtype 0.
    if (!validSubtype(a.subtype)) return get(kAiSubtypes[0].keyOn);
    const AiSubtypeDef& s = kAiSubtypes[static_cast<std::size_t>(a.subtype)];
    if (s.keyOff) return formatInts(a.var2 != 0 ? s.keyOn : s.keyOff, 0, 0);
    return formatInts(s.keyOn, s.withValue ? 1 : 0, a.var2);
}

std::string event_ActionText(const EventAction& a, const Mission* page) {
    if (!validAction(a.type)) return get("RESERVED2");
    const ActionDef& d = kActions[static_cast<std::size_t>(a.type)];
    switch (d.render) {
    case ActionRender::Copy: return get(d.key);
    case ActionRender::Ints:
        return formatNamed(d.key, d.argc, {a.var1, a.var2, 0}, {d.slot1.list, d.slot2.list, LogicList::None}, page);
    case ActionRender::AiChange: {
        const std::string change = event_AiChangeText(a);
        return text_Printf(kSec, d.key, {a.var1, change});
    }
    case ActionRender::Team: {
        std::string text = formatInts(d.key, 1, a.var1);
        static constexpr std::array<const char*, 3> kColors = {"GREEN", "BLUE", "RED"};
        if (a.var2 >= 0 && a.var2 < static_cast<std::int32_t>(kColors.size()))
            text += text_Get("Colors", kColors[static_cast<std::size_t>(a.var2)]);
        return text;
    }
    }
    return get("RESERVED2");
}

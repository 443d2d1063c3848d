#include "mission/itemattr.h"

#include "core/format.h"
#include "core/number.h"
#include "core/text.h"
#include "gamedata/itemdef.h"
#include "platform/number_fields.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <utility>
#include <string_view>
#include <vector>

using namespace itemattr;

namespace {

constexpr const char* kMsg = "Dialog Message";

ItemAttrHooks g_hooks;

// ---------------------------------------------------------------------------------------
// Reading edits

std::string_view skipBlanks(std::string_view t) {
    while (!t.empty() && (t.front() == ' ' || (t.front() >= '\t' && t.front() <= '\r'))) t.remove_prefix(1);
    return t;
}

// The leading decimal number of an edit's text (0 when there is none). The C locale's
// point is the decimal separator whatever the user's locale says.
double parseReal(std::string_view t) {
    t = skipBlanks(t.substr(0, kItemAttrEditMax));
    if (!t.empty() && t.front() == '+') t.remove_prefix(1);
    double v = 0;
    const auto r = std::from_chars(t.data(), t.data() + t.size(), v, std::chars_format::general);
    if (r.ec != std::errc() || std::isnan(v)) return 0;
    return v;
}

// A real number truncated toward zero, held to 32 bits.
std::int32_t truncated(double v) {
    if (v >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
    if (v <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(std::trunc(v));
}

std::int32_t readInt(const Dialog& dlg, int id) {
    return number_ClampedInt(std::string_view(dlg.text(id)).substr(0, kItemAttrEditMax));
}

// A position axis from its metres and 1/256 m edits, held to 32 bits.
std::int32_t readAxis(const Dialog& dlg, int metres, int fraction) {
    const std::int64_t v = std::int64_t{readInt(dlg, metres)} * 256 + readInt(dlg, fraction);
    if (v > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
    if (v < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(v);
}

void setInt(Dialog& dlg, int id, std::int32_t v) { dlg.setText(id, text_Format("%i", {v})); }

// Fills a list with texts; the entry at value is selected (none when value is not listed).
void fillList(Dialog& dlg, int id, const std::vector<std::string>& texts, std::int32_t value) {
    dlg.clearEntries(id);
    for (std::size_t i = 0; i < texts.size(); ++i) dlg.addEntry(id, texts[i], static_cast<std::int64_t>(i));
    dlg.setSelection(id, value >= 0 && value < static_cast<std::int32_t>(texts.size()) ? value : -1);
}

// Entries of a vocabulary list: keys made from pattern with 0, 1, 2... up to the first one
// the game vocabulary table does not hold.
std::vector<std::string> vocabList(const char* section, const char* pattern) {
    std::vector<std::string> out;
    const TextTable* vocab = text_Tables().vocab;
    if (!vocab) return out;
    for (int n = 0; n < 1000; ++n) {
        char key[32];
        std::snprintf(key, sizeof key, pattern, n);
        const char* text = text_EntryText(vocab, text_Find(vocab, section, key));
        if (!text) break;
        out.emplace_back(text);
    }
    return out;
}

// "%2i - %s" lines of numbered records 1..count-1 after a "none" entry.
template <class Records>
std::vector<std::string> numberedList(const Records& records) {
    std::vector<std::string> out;
    out.emplace_back(text_Get("Med Resources", "NONE"));
    for (std::size_t n = 1; n < records.size(); ++n)
        out.push_back(text_Format("%2i - %s", {static_cast<int>(n), mission_Text(records[n].description)}));
    return out;
}

// The check boxes of the AI attribute bits.
struct BitBox {
    int id;
    std::int32_t bit;
};
constexpr std::array<BitBox, 14> kBitBoxes{{
    {kBlind, kBmsiBlind},
    {kGuarding, kBmsiGuarding},
    {kBreakLeft, kBmsiBreakLeft},
    {kBreakRight, kBmsiBreakRight},
    {kLessThanCheck, kBmsiLessThan},
    {kMoreThanCheck, kBmsiMoreThan},
    {kMultiplayer, kBmsiMultiplayer},
    {kStander, kBmsiStander},
    {kProner, kBmsiProner},
    {kSilent, kBmsiSilent},
    {kBerserk, kBmsiBerserk},
    {kClimbLadders, kBmsiClimbLadders},
    {kNoWater, kBmsiNoWater},
    {kDeaf, kBmsiDeaf},
}};

// The number edits and the lists the mixed marks cover, with the field each shows.
struct FieldOf {
    int id;
    std::int32_t MissionItem::*field;
};
constexpr FieldOf kEditFields[] = {
    {kHeading, &MissionItem::heading},
    {kPitch, &MissionItem::pitch},
    {kLessThan, &MissionItem::nolessthan},
    {kMoreThan, &MissionItem::nomorethan},
    {kFov, &MissionItem::fov},
    {kAccuracy, &MissionItem::waccuracy},
    {kPerception, &MissionItem::perception},
    {kObliqueness, &MissionItem::obliqueness},
    {kNumber, &MissionItem::wpnumber},
    {kDistance, &MissionItem::wpdistance},
};
constexpr FieldOf kListFields[] = {
    {kLayerList, &MissionItem::layer},
    {kMapSymbol, &MissionItem::map_symbol},
    {kWaypointList, &MissionItem::waypoint_id},
    {kGroupList, &MissionItem::group_id},
    {kTeamList, &MissionItem::team},
    {kAlertList, &MissionItem::alert_state},
    {kWeaponList, &MissionItem::weapon_type},
    {kNameList, &MissionItem::name_index},
    {kWaypointName, &MissionItem::ttoolindex},
};
// The item data of the "(mixed)" entry a list gets when its items disagree.
constexpr std::int64_t kMixedEntry = -2;

// Timers and engagement distances: shown to nobody, filled all the same.
constexpr int kHiddenEdits[] = {kMoveTimer, kCrouchTimer, kAttention, kAdvanceTimer, kMinEngage, kMaxEngage};

// The control ids of each group of attribute controls (each list ends with 0).
constexpr int kHeadingIds[] = {kHeading, 0};
constexpr int kPitchIds[] = {kPitch, 0};
constexpr int kMapSymbolIds[] = {kMapSymbol, 0};
constexpr int kTeamIds[] = {kTeamList, 0};
constexpr int kNameIds[] = {kNameList, 0};
constexpr int kFovIds[] = {kFov, 0};
constexpr int kAccuracyIds[] = {kAccuracy, 0};
constexpr int kPerceptionIds[] = {kPerception, 0};
constexpr int kWaypointListIds[] = {kWaypointList, 0};
constexpr int kNumberIds[] = {kNumber, 0};
constexpr int kDistanceIds[] = {kDistance, 0};
constexpr int kWaypointNameIds[] = {kWaypointName, 0};
constexpr int kDeafIds[] = {kDeaf, 0};
constexpr int kBlindIds[] = {kBlind, 0};
constexpr int kGuardingIds[] = {kGuarding, 0};
constexpr int kPersonOnlyIds[] = {kLessThanCheck, kLessThan,    kMoreThanCheck, kMoreThan,     kMultiplayer, kGroupList,
                                  kAlertList,     kObliqueness, kWeaponList,    kBreakLeft,    kBreakRight,  kStander,
                                  kProner,        kSilent,      kBerserk,       kClimbLadders, kNoWater,     kMoveTimer,
                                  kCrouchTimer,   kAttention,   kAdvanceTimer,  kMinEngage,    kMaxEngage,   0};

struct ControlGroup {
    ItemAttrControls group;
    const int* ids;
};
constexpr std::array<ControlGroup, 16> kGroups{{
    {kIaHeading, kHeadingIds},
    {kIaPitch, kPitchIds},
    {kIaMapSymbol, kMapSymbolIds},
    {kIaTeam, kTeamIds},
    {kIaName, kNameIds},
    {kIaFov, kFovIds},
    {kIaAccuracy, kAccuracyIds},
    {kIaPerception, kPerceptionIds},
    {kIaWaypointList, kWaypointListIds},
    {kIaNumber, kNumberIds},
    {kIaDistance, kDistanceIds},
    {kIaWaypointName, kWaypointNameIds},
    {kIaDeaf, kDeafIds},
    {kIaBlind, kBlindIds},
    {kIaGuarding, kGuardingIds},
    {kIaPersonOnly, kPersonOnlyIds},
}};

bool oneOf(std::int32_t v, std::initializer_list<std::int32_t> set) {
    for (std::int32_t s : set)
        if (v == s) return true;
    return false;
}

bool within(std::int32_t v, std::int32_t lo, std::int32_t hi) { return v >= lo && v <= hi; }

}  // namespace

ItemAttrHooks& itemattr_Hooks() { return g_hooks; }

std::optional<std::pair<std::int32_t, std::int32_t>> itemattr_EngagementFor(std::int32_t weapon) {
    switch (weapon) {
    case kWeaponM16:
    case kWeaponAk47: return std::pair{100, 500};
    case kWeaponAk74: return std::pair{400, 800};
    case kWeaponUzi: return std::pair{100, 300};
    case kWeaponRpg:
    case kWeaponColt45: return std::pair{5, 100};
    default: return std::nullopt;
    }
}

std::uint32_t itemattr_ControlsFor(std::int32_t kind, std::int32_t type) {
    constexpr std::uint32_t kFacingSymbolTeam = kIaHeading | kIaPitch | kIaMapSymbol | kIaTeam;
    switch (kind) {
    case kItemVehicle:
        return kFacingSymbolTeam | kIaName | kIaFov | kIaAccuracy | kIaPerception | kIaWaypointList | kIaNumber |
               kIaDistance | kIaWaypointName | kIaDeaf | kIaBlind | kIaGuarding;
    case kItemBuilding: return kFacingSymbolTeam | kIaName;
    case kItemDecoration: return oneOf(type, {1041, 1042}) ? kFacingSymbolTeam | kIaName : kFacingSymbolTeam;
    case kItemMarker:
        if (type == kWaypointMarkerType)
            return kIaHeading | kIaMapSymbol | kIaTeam | kIaWaypointList | kIaNumber | kIaDistance | kIaWaypointName;
        if (oneOf(type, {6002, 6095})) return kFacingSymbolTeam | kIaNumber;
        if (type == 6006) return kIaMapSymbol | kIaDistance;
        if (oneOf(type, {kAreaMarkerType, 6088})) return kIaNumber;
        if (oneOf(type, {6026, 6027, 6028, 6092, 6093})) return kIaHeading | kIaMapSymbol | kIaTeam;
        if (oneOf(type, {6001, 6003, 6004, 6090, 6091, 6094}) || within(type, 6096, 6099)) return kFacingSymbolTeam;
        return 0;
    case kItemObject:
        if (type == 4015) return kFacingSymbolTeam | kIaName;
        if (oneOf(type, {4035, 4036, 4043, 4044, 4136, 4137}) || within(type, 4128, 4130))
            return kIaHeading | kIaPitch | kIaTeam;
        if (within(type, 4047, 4049) || oneOf(type, {4126, 4127}))
            return kFacingSymbolTeam | kIaWaypointList | kIaNumber | kIaBlind;
        return kFacingSymbolTeam;
    default: return kIaAll;  // people, and kinds no rule names
    }
}

// ---------------------------------------------------------------------------------------
// The procedure

NumberRange ItemAttrDialogProc::fieldRange(int id, const NumberRange& range) const {
    NumberRange r = range;
    if (id == kNumber) {
        // Waypoint markers are numbered within a path of 32 points, area markers 1 to 99.
        if (work_.type_id == kWaypointMarkerType)
            r.max = kWaypointNumberMax;
        else if (work_.type_id == kAreaMarkerType)
            r.min = 1, r.max = kAreaNumberMax;
    } else if (id == kXMetres || id == kYMetres) {
        // A typed position stays on the terrain.
        r.min = -kTerrainHalfSide / 256, r.max = kTerrainHalfSide / 256;
    }
    return r;
}

bool ItemAttrDialogProc::checkNumbers(Dialog& dlg) const {
    if (!ui_CheckNumbers(dlg, [&](int field, const NumberRange& range) { return fieldRange(field, range); }))
        return false;
    // The metres of an edge take no fraction beyond it.
    for (const auto [metres, fraction] : {std::pair{kXMetres, kXFraction}, std::pair{kYMetres, kYFraction}}) {
        if (!dlg.edited(metres) && !dlg.edited(fraction)) continue;
        const std::int32_t v = readAxis(dlg, metres, fraction);
        if (v >= -kTerrainHalfSide && v <= kTerrainHalfSide) continue;
        if (const std::optional<NumberRange> range = dlg.numberRange(metres))
            ui_RefuseNumber(dlg, metres, fieldRange(metres, *range));
        else
            dlg.setFocus(metres);
        return false;
    }
    return true;
}

ItemAttrDialogProc::ItemAttrDialogProc(Mission& page) : page_(page) {
    ref_ = mission_ReferenceItem(page_);
    if (ref_ >= 0) work_ = page_.items[static_cast<std::size_t>(ref_)];
}

template <class F>
void ItemAttrDialogProc::forSelected(F&& f) {
    for (std::int32_t i = 0; i < page_.selection.count && i < kMaxItems; ++i) {
        const std::int32_t index = page_.selection.index[static_cast<std::size_t>(i)];
        if (index >= 0 && index < page_.item_count) f(page_.items[static_cast<std::size_t>(index)]);
    }
}

void ItemAttrDialogProc::onInit(Dialog& dlg) {
    if (ref_ < 0) {
        dlg.end(kIdCancel);
        return;
    }
    for (int id : {kXMetres, kYMetres, kZMetres, kXFraction, kYFraction, kZFraction, kHeading, kPitch, kLessThan,
                   kMoreThan, kFov, kAccuracy, kPerception, kObliqueness, kNumber, kDistance})
        dlg.setTextLimit(id, kItemAttrEditMax);
    fillLists(dlg);
    showItem(dlg);
    markMixed(dlg);
    for (int id : kHiddenEdits) dlg.show(id, false);
    applyEnableRules(dlg);
}

void ItemAttrDialogProc::fillLists(Dialog& dlg) {
    const MissionItem& w = work_;
    // Definitions of the reference item's kind; the one whose name is the reference's is
    // chosen.
    const ItemDef* own = itemdef_At(mission_DefIndex(w));
    const std::string_view ownName = own ? mission_Text(own->name) : std::string_view();
    dlg.clearEntries(kSubType);
    int chosen = -1;
    const std::int32_t count = itemdef_Count();
    for (std::int32_t i = 0; i < count; ++i) {
        const ItemDef* def = itemdef_At(i);
        if (!def || def->type != w.kind || !itemdef_Listed(*def, g_hooks.showAll)) continue;
        const int at = dlg.addEntry(kSubType, mission_Text(def->name), i);
        if (chosen < 0 && own && mission_Text(def->name) == ownName) chosen = at;
    }
    dlg.setSelection(kSubType, chosen);

    std::vector<std::string> layers;
    for (int n = 0; n < kMaxLayers; ++n) layers.push_back(mission_LayerCaption(page_, n));
    fillList(dlg, kLayerList, layers, w.layer);

    fillList(
        dlg, kMapSymbol,
        {text_Get("Med Resources", "NONE"), text_Get("Map Symbols", "CIRCLE"), text_Get("Map Symbols", "FILLEDCIRCLE"),
         text_Get("Map Symbols", "DIAMOND"), text_Get("Map Symbols", "CROSS"), text_Get("Map Symbols", "PERSON"),
         text_Get("Map Symbols", "BOX"), text_Get("Map Symbols", "CIRCLEX"), text_Get("Map Symbols", "TRIANGLE")},
        w.map_symbol);
    fillList(dlg, kGroupList, numberedList(page_.groups), w.group_id);
    fillList(dlg, kTeamList,
             {text_Get("Teams", "NEUTRALTEAM"), text_Get("Teams", "GOODTEAM"), text_Get("Teams", "EVILTEAM"),
              text_Get("Teams", "YELLOWTEAM"), text_Get("Teams", "VIOLETTEAM")},
             w.team);
    fillList(dlg, kNameList, vocabList("PeopleNames", "STRNAME%03d"), w.name_index);
    fillList(dlg, kAlertList, {text_Get("Colors", "GREEN"), text_Get("Colors", "YELLOW"), text_Get("Colors", "RED")},
             w.alert_state);
    fillList(dlg, kWeaponList,
             {text_Get("Med Resources", "NONE"), text_Get("Weapons", "M16"), text_Get("Weapons", "AK47"),
              text_Get("Weapons", "AK74"), text_Get("Weapons", "DRAGUNOVA"), text_Get("Weapons", "INGRAM_M11"),
              text_Get("Weapons", "UZZI"), text_Get("Weapons", "H&K_MP5_SD"), text_Get("Weapons", "RPG"),
              text_Get("Weapons", "COLT_45"), text_Get("Weapons", "SUPPRESSED_22")},
             w.weapon_type);
    fillList(dlg, kWaypointList, numberedList(page_.waypoints), w.waypoint_id);
    fillList(dlg, kWaypointName, vocabList("WPNames", "STRWPNAME%03d"), w.ttoolindex);
}

void ItemAttrDialogProc::showItem(Dialog& dlg) {
    const MissionItem& w = work_;
    // A kind without a name keeps the template's caption.
    if (const char* key = mission_KindKey(w.kind)) dlg.setText(kKind, text_Get("Item Type", key));
    dlg.setText(kSsn, text_Printf("Items", "SSN", {w.id}));
    // Whole metres rounded toward minus infinity, and what is left in 1/256 m.
    setInt(dlg, kXMetres, w.x >> 8);
    setInt(dlg, kXFraction, w.x & 0xFF);
    setInt(dlg, kYMetres, w.y >> 8);
    setInt(dlg, kYFraction, w.y & 0xFF);
    setInt(dlg, kZMetres, w.z >> 8);
    setInt(dlg, kZFraction, w.z & 0xFF);
    setInt(dlg, kHeading, w.heading);
    setInt(dlg, kPitch, w.pitch);
    setInt(dlg, kLessThan, w.nolessthan);
    setInt(dlg, kMoreThan, w.nomorethan);
    setInt(dlg, kFov, w.fov);
    setInt(dlg, kAccuracy, w.waccuracy);
    setInt(dlg, kPerception, w.perception);
    setInt(dlg, kObliqueness, w.obliqueness);
    setInt(dlg, kNumber, w.wpnumber);
    setInt(dlg, kDistance, w.wpdistance);
    setInt(dlg, kMoveTimer, w.movetimer);
    setInt(dlg, kCrouchTimer, w.crouchtimer);
    setInt(dlg, kAttention, w.attention);
    setInt(dlg, kAdvanceTimer, w.advancetimer);
    setInt(dlg, kMinEngage, w.edistances[0]);
    setInt(dlg, kMaxEngage, w.edistances[1]);
    for (const BitBox& b : kBitBoxes) dlg.setCheck(b.id, (w.bmsi_attributes & b.bit) ? kChecked : kUnchecked);
}

// With several items: how many, and every control whose value they do not share shown
// blank, "(mixed)" or half checked. Such a control changes nothing unless the user sets it.
void ItemAttrDialogProc::markMixed(Dialog& dlg) {
    mixed_.clear();
    std::int32_t count = 0;
    forSelected([&](const MissionItem&) { ++count; });
    if (count < 2) return;
    dlg.setText(kSsn, text_Printf(kMsg, "ITEMS_EDITED", {count}));
    const auto differs = [&](std::int32_t MissionItem::*field) {
        bool d = false;
        forSelected([&](const MissionItem& it) { d = d || it.*field != work_.*field; });
        return d;
    };
    const auto blank = [&](std::initializer_list<int> ids) {
        for (int id : ids) {
            dlg.setText(id, "");
            mixed_.push_back(id);
        }
    };
    if (differs(&MissionItem::x)) blank({kXMetres, kXFraction});
    if (differs(&MissionItem::y)) blank({kYMetres, kYFraction});
    if (differs(&MissionItem::z)) blank({kZMetres, kZFraction});
    for (const auto& [id, field] : kEditFields)
        if (differs(field)) blank({id});
    for (const auto& [id, field] : kListFields) {
        if (!differs(field)) continue;
        dlg.setSelection(id, dlg.addEntry(id, text_Get(kMsg, "MIXED"), kMixedEntry));
        mixed_.push_back(id);
    }
    // The sub-type among the items of the reference's kind, which alone take a new one.
    bool otherType = false;
    forSelected([&](const MissionItem& it) {
        otherType = otherType || (it.kind == work_.kind && it.type_id != work_.type_id);
    });
    if (otherType) dlg.setSelection(kSubType, dlg.addEntry(kSubType, text_Get(kMsg, "MIXED"), kMixedEntry));
    for (const BitBox& b : kBitBoxes) {
        bool d = false;
        forSelected([&](const MissionItem& it) { d = d || ((it.bmsi_attributes ^ work_.bmsi_attributes) & b.bit); });
        if (!d) continue;
        dlg.setCheck(b.id, kIndeterminate);
        mixed_.push_back(b.id);
    }
}

bool ItemAttrDialogProc::mixed(int id) const { return std::find(mixed_.begin(), mixed_.end(), id) != mixed_.end(); }

// A control marked mixed that the user left alone (or emptied): it changes nothing.
bool ItemAttrDialogProc::mixedBlank(const Dialog& dlg, int id) const {
    if (!mixed(id)) return false;
    const std::string t = dlg.text(id);
    return t.find_first_not_of(" \t") == std::string::npos;
}

// Every attribute control on, then each selected item switches off what does not apply to
// it: what stays on applies to the whole selection.
void ItemAttrDialogProc::applyEnableRules(Dialog& dlg) {
    std::uint32_t on = kIaAll;
    forSelected([&](const MissionItem& item) {
        on &= itemattr_ControlsFor(item.kind, typeChosen_ ? work_.type_id : item.type_id);
    });
    for (const ControlGroup& g : kGroups)
        for (const int* id = g.ids; *id; ++id) dlg.enable(*id, (on & g.group) != 0);
}

void ItemAttrDialogProc::onCommand(Dialog& dlg, int id, Notify code) {
    if (id == kSubType && code == Notify::SelChange) {
        const int sel = dlg.selection(kSubType);
        const ItemDef* def = sel >= 0 ? itemdef_At(static_cast<std::int32_t>(dlg.entryData(kSubType, sel))) : nullptr;
        if (!def) return;
        work_.type_id = def->typeNumber;
        typeChosen_ = true;
        applyEnableRules(dlg);
    } else if (id == kIdOk && code == Notify::Clicked) {
        if (!checkNumbers(dlg)) return;
        apply(dlg);
        dlg.end(kIdOk);
    } else if (id == kIdCancel && code == Notify::Clicked) {
        dlg.end(kIdCancel);
    }
}

// OK: each value whose control differs from the reference goes into every selected item.
// Sweapon_type, shoottimer, group_rel and the attribute bit 0x80 have no control here and are
// left as each item has them.
void ItemAttrDialogProc::apply(Dialog& dlg) {
    const MissionItem& ref = page_.items[static_cast<std::size_t>(ref_)];
    const MissionItem& w = work_;

    // 1. Sub-type: items of the reference's kind take the new definition.
    if (w.type_id != ref.type_id) {
        const std::int32_t kind = ref.kind, type = w.type_id;
        forSelected([&](MissionItem& it) {
            if (it.kind != kind) return;
            it.type_id = type;
        });
        if (g_hooks.repaintMap) g_hooks.repaintMap();
    }

    // 2. Lists. A list with nothing chosen (the value was not one it offers) changes nothing.
    const auto list = [&](int id, std::int32_t MissionItem::*field) {
        const std::int32_t sel = dlg.selection(id);
        // A value the items did not share is written whatever it is, the reference's too.
        if (sel < 0 || (sel == w.*field && !mixed(id)) || dlg.entryData(id, sel) == kMixedEntry) return false;
        forSelected([&](MissionItem& it) { it.*field = sel; });
        return true;
    };
    list(kLayerList, &MissionItem::layer);
    list(kMapSymbol, &MissionItem::map_symbol);
    list(kWaypointList, &MissionItem::waypoint_id);
    list(kGroupList, &MissionItem::group_id);
    list(kTeamList, &MissionItem::team);
    list(kAlertList, &MissionItem::alert_state);
    if (list(kWeaponList, &MissionItem::weapon_type)) {
        if (const auto d = itemattr_EngagementFor(dlg.selection(kWeaponList)))
            forSelected([&](MissionItem& it) { it.edistances = {d->first, d->second}; });
    }

    const auto edit = [&](int id, std::int32_t MissionItem::*field) {
        if (mixedBlank(dlg, id)) return;
        const std::int32_t v = readInt(dlg, id);
        if (v != w.*field || mixed(id)) forSelected([&](MissionItem& it) { it.*field = v; });
    };

    // 3. Position: a changed axis puts every selected item on the same coordinate.
    const auto axis = [&](int metres, int fraction, std::int32_t MissionItem::*field) {
        if (mixedBlank(dlg, metres) && mixedBlank(dlg, fraction)) return;
        const std::int32_t v = readAxis(dlg, metres, fraction);
        if (v != w.*field || mixed(metres)) forSelected([&](MissionItem& it) { it.*field = v; });
    };
    axis(kXMetres, kXFraction, &MissionItem::x);
    axis(kYMetres, kYFraction, &MissionItem::y);
    axis(kZMetres, kZFraction, &MissionItem::z);

    // 4. Facing.
    edit(kHeading, &MissionItem::heading);
    edit(kPitch, &MissionItem::pitch);

    // 5. Number (held to what the item's type takes by the check before).
    edit(kNumber, &MissionItem::wpnumber);

    // 6. Player limits and field of view.
    edit(kLessThan, &MissionItem::nolessthan);
    edit(kMoreThan, &MissionItem::nomorethan);
    edit(kFov, &MissionItem::fov);

    // 7. Accuracy and perception: decimal numbers, stored truncated.
    const auto real = [&](int id, std::int32_t MissionItem::*field) {
        if (mixedBlank(dlg, id)) return;
        const double v = parseReal(dlg.text(id));
        if (static_cast<float>(v) == static_cast<float>(w.*field) && !mixed(id)) return;
        const std::int32_t stored = truncated(v);
        forSelected([&](MissionItem& it) { it.*field = stored; });
    };
    real(kAccuracy, &MissionItem::waccuracy);
    real(kPerception, &MissionItem::perception);

    // 8. Name, obliqueness, distance, waypoint name.
    list(kNameList, &MissionItem::name_index);
    edit(kObliqueness, &MissionItem::obliqueness);
    edit(kDistance, &MissionItem::wpdistance);
    list(kWaypointName, &MissionItem::ttoolindex);

    // 9. Attribute bits: a box whose state differs from the reference's bit sets or clears
    // that bit alone in every selected item.
    for (const BitBox& b : kBitBoxes) {
        if (dlg.check(b.id) == kIndeterminate) continue;  // mixed, left alone
        const bool checked = dlg.check(b.id) == kChecked;
        if (checked == ((w.bmsi_attributes & b.bit) != 0) && !mixed(b.id)) continue;
        forSelected([&](MissionItem& it) {
            if (checked)
                it.bmsi_attributes |= b.bit;
            else
                it.bmsi_attributes &= ~b.bit;
        });
    }
}

int itemattr_Run(Mission& page) {
    if (mission_ReferenceItem(page) < 0) return kIdCancel;
    ItemAttrDialogProc proc(page);
    return platform().runDialog("ITEMATTRIBUTES", proc) == kIdOk ? kIdOk : kIdCancel;
}

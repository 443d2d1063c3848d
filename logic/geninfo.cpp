#include "logic/geninfo.h"

#include "core/dirlist.h"
#include "core/format.h"
#include "core/number.h"
#include "core/text.h"
#include "gamedata/sky.h"
#include "gamedata/terrain.h"
#include "logic/vocab.h"
#include "mission/mission.h"
#include "mission/page_load.h"
#include "platform/number_fields.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <limits>
#include <string>
#include <vector>

using namespace gi;

namespace {

constexpr const char* kMsg = "Dialog Message";

// Terrain colour schemes by code (section "Colors").
constexpr const char* kColourKeys[] = {"GREEN", "BROWN", "WHITE", "ALPHA"};
// Weather by code (section "Weather").
constexpr const char* kWeatherKeys[] = {"NICE_DAY", "RAIN", "SNOW"};

// Which default_equipment value each list stores: sidearm 0, primary 1, secondary 2,
// auxiliary 3 (the order of equipmentLists).
constexpr std::size_t kEquipmentSlots = 4;

// A game-type, night or override bit of GeneralInfo::attrib and the check box showing it.
struct AttribBox {
    int bit;
    int control;
};

// An equipment list: its weapons as (code, key of the name in section "Weapons").
struct Weapon {
    std::int32_t code;
    const char* key;
};
struct EquipmentList {
    int control;
    std::vector<Weapon> weapons;
};

constexpr std::array<AttribBox, 14> kAttribBoxes = {{
    {0, kWaterLevelBox},
    {1, kFogLevelBox},
    {2, kFogColourBox},
    {3, kWeatherBox},
    {20, kNight},
    {23, kAttackAndDefend},
    {24, kCooperative},
    {25, kDeathmatch},
    {26, kKingOfTheHill},
    {27, kFlagball},
    {28, kCaptureTheFlag},
    {29, kTeamDeathmatch},
    {30, kTeamKingOfTheHill},
    {31, kSearchAndDestroy},
}};

const std::array<EquipmentList, 4>& equipmentLists() {
    static const std::array<EquipmentList, 4> lists = {{
        {kSidearm, {{6, "SOCOM"}, {5, "SOCOMS"}, {28, "H&K_P11"}}},
        {kPrimary,
         {{10, "MASTER_KEY"}, {9, "M203"}, {11, "M249"}, {12, "BL50"}, {15, "H&K_MP5_SD"}, {23, "M40A1"}, {29, "UAR"}}},
        {kSecondary, {{1, "DOUBLE_AMMO"}, {20, "SMAW"}, {21, "SATCHEL"}, {24, "CLAYMORE"}, {36, "VIDEO_CAMERA"}}},
        {kAuxiliary,
         {{1, "DOUBLE_AMMO"},
          {20, "SMAW"},
          {21, "SATCHEL"},
          {24, "CLAYMORE"},
          {31, "KEVLAR_VEST"},
          {32, "GHILLIE_SUIT"},
          {33, "LARV"},
          {36, "VIDEO_CAMERA"}}},
    }};
    return lists;
}

char fold(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool sameNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (fold(a[i]) != fold(b[i])) return false;
    return true;
}

std::uint32_t attribBit(int bit) { return std::uint32_t(1) << bit; }

std::string fieldText(Dialog& dlg, int id, int maxChars) {
    std::string t = dlg.text(id);
    if (t.size() > static_cast<std::size_t>(maxChars)) t.resize(static_cast<std::size_t>(maxChars));
    return t;
}

// The selected entry's item data, or fallback when nothing is selected.
std::int64_t selectedData(Dialog& dlg, int id, std::int64_t fallback) {
    const int sel = dlg.selection(id);
    return sel >= 0 ? dlg.entryData(id, sel) : fallback;
}

// Selects the first entry carrying value, or nothing when none does.
void selectByData(Dialog& dlg, int id, std::int64_t value) {
    const int n = dlg.entryCount(id);
    for (int i = 0; i < n; ++i) {
        if (dlg.entryData(id, i) == value) {
            dlg.setSelection(id, i);
            return;
        }
    }
    dlg.setSelection(id, -1);
}

// The terrains offered: lower-case names of the terrain definition files on disk and in the
// archives, without those too long for the page's terrain field. Unsorted.
std::vector<std::string> terrainFiles() {
    std::vector<std::string> out;
    StrList* files = file_ListFiles("*.trn");
    if (!files) return out;
    for (const StrEntry* e = files->first; e; e = e->next) {
        const std::string_view name = e->string;
        // A name the page's terrain field cannot hold whole could never be stored.
        if (name.size() <= static_cast<std::size_t>(kGiTerrainMax)) out.emplace_back(name);
    }
    strlist_Free(files);
    return out;
}

// The names of the win (lose) conditions of the game vocabulary, by code from 0 up to the
// first code without a name.
std::vector<std::string> conditionNames(bool win) {
    const char* section = win ? "WinConditions" : "LoseConditions";
    const char* pattern = win ? "STRWINCOND%0.3i" : "STRLOSECOND%0.3i";
    const TextTable* vocab = text_Tables().vocab;
    std::vector<std::string> names;
    if (!vocab) return names;
    for (int code = 0; code < kGiConditionsMax; ++code) {
        const std::string key = text_Format(pattern, {code});
        const TextEntry* entry = text_Find(vocab, section, key.c_str());
        if (!entry) break;
        const char* text = text_EntryText(vocab, entry);
        names.emplace_back(text ? text : "");
    }
    return names;
}

void openTerrain(Dialog& dlg, const Mission& page) {
    dlg.clearEntries(kTerrain);
    const std::string_view stored = mission_Text(page.info.terrain);
    int chosen = -1;
    for (const std::string& name : terrainFiles()) {
        // The list is sorted: the entry goes where it sorts, so its index comes back.
        const int at = dlg.addEntry(kTerrain, name, 0);
        if (chosen >= at) ++chosen;
        if (chosen < 0 && !stored.empty() && geninfo_SameTerrain(name, stored)) chosen = at;
    }
    dlg.setSelection(kTerrain, chosen);
}

void openConditions(Dialog& dlg, bool win, const std::array<std::int8_t, 4>& codes) {
    const std::vector<std::string> names = conditionNames(win);
    const int first = win ? kWinFirst : kLoseFirst;
    for (int i = 0; i < 4; ++i) {
        const int id = first + i;
        dlg.clearEntries(id);
        // First the entry that chooses no sub-goal, then the conditions by code.
        dlg.addEntry(id, text_Get(kMsg, "NO_SUBGOAL"), -1);
        for (std::size_t p = 0; p < names.size(); ++p) dlg.addEntry(id, names[p], static_cast<std::int64_t>(p));
        selectByData(dlg, id, codes[static_cast<std::size_t>(i)]);  // a code past the list: nothing
    }
}

void storeConditions(Dialog& dlg, bool win, std::array<std::int8_t, 4>& codes) {
    const int first = win ? kWinFirst : kLoseFirst;
    for (int i = 0; i < 4; ++i) {
        const std::int64_t code = selectedData(dlg, first + i, -1);
        codes[static_cast<std::size_t>(i)] = static_cast<std::int8_t>(code >= 0 && code < kGiConditionsMax ? code : -1);
    }
}

// A number field into its value, when the user edited it; a value read from a file stays as
// it was, in range or not.
void readNumber(const Dialog& dlg, int id, std::int32_t& value) {
    if (dlg.edited(id)) value = number_ClampedInt(dlg.text(id));
}

// Reloads the page's terrain under the status box.
void loadTerrain(Mission& page) { pageload_TerrainMaps(page); }

}  // namespace

bool geninfo_SameTerrain(std::string_view a, std::string_view b) {
    // The loader reads "<name>.trn" whatever extension a stored name carries.
    auto base = [](std::string_view s) { return s.substr(0, s.find('.')); };
    return sameNoCase(base(a), base(b));
}

void geninfo_Open(Dialog& dlg, const Mission& page) {
    const GeneralInfo& info = page.info;

    for (int v = 1; v <= kGiCampVars; ++v) dlg.setText(kCampVarFirst + v - 1, std::to_string(v));

    dlg.setTextLimit(kName, kGiNameMax);
    dlg.setTextLimit(kDesigner, kGiNameMax);
    dlg.setTextLimit(kDialogFile, kGiFileMax);
    dlg.setTextLimit(kMissionFile, kGiFileMax);
    dlg.setText(kName, mission_Text(info.name));
    dlg.setText(kDesigner, mission_Text(info.designer));
    dlg.setText(kDialogFile, mission_Text(info.cnv_file));
    dlg.setText(kMissionFile, mission_Text(info.tt_file));

    openTerrain(dlg, page);
    openConditions(dlg, true, info.subgoals_win);
    openConditions(dlg, false, info.subgoals_lose);

    dlg.clearEntries(kColour);
    for (std::size_t code = 0; code < std::size(kColourKeys); ++code)
        dlg.addEntry(kColour, text_Get("Colors", kColourKeys[code]), static_cast<std::int64_t>(code));
    // The list is in code order. A code outside the four selects nothing, and OK keeps it.
    const bool knownColour = info.terrain_color >= 0 && info.terrain_color < std::int32_t(std::size(kColourKeys));
    dlg.setSelection(kColour, knownColour ? info.terrain_color : -1);

    dlg.setText(kFireMissions, text_Format("%i", {info.arty}));
    for (int v = 1; v <= kGiCampVars; ++v)
        dlg.setCheck(kCampVarFirst + v - 1, (std::uint32_t(info.visible_if) & attribBit(v)) ? kChecked : kUnchecked);
    for (const AttribBox& b : kAttribBoxes)
        dlg.setCheck(b.control, (std::uint32_t(info.attrib) & attribBit(b.bit)) ? kChecked : kUnchecked);

    dlg.setText(kWaterLevel, text_Format("%i", {info.water_level}));
    dlg.setText(kFogLevel, text_Format("%i", {info.fog_level}));
    const std::uint32_t fog = static_cast<std::uint32_t>(info.fog_color);
    dlg.setText(kFogRed, text_Format("%i", {std::int32_t((fog >> 16) & 0xFF)}));
    dlg.setText(kFogGreen, text_Format("%i", {std::int32_t((fog >> 8) & 0xFF)}));
    dlg.setText(kFogBlue, text_Format("%i", {std::int32_t(fog & 0xFF)}));

    // Weather and sunsets are shown sorted by name; each entry carries its code.
    dlg.clearEntries(kWeather);
    for (std::size_t code = 0; code < std::size(kWeatherKeys); ++code)
        dlg.addEntry(kWeather, text_Get("Weather", kWeatherKeys[code]), static_cast<std::int64_t>(code));
    selectByData(dlg, kWeather, info.weather_type);  // a code outside 0..2 selects nothing

    dlg.clearEntries(kSunset);
    for (std::int32_t i = 0; i < sky_Count(); ++i)
        if (const Sunset* s = sky_At(i)) dlg.addEntry(kSunset, s->name, s->number);
    vocab_SelectComboData(dlg, kSunset, info.sunset);

    for (std::size_t slot = 0; slot < kEquipmentSlots; ++slot) {
        const EquipmentList& list = equipmentLists()[slot];
        dlg.clearEntries(list.control);
        for (const Weapon& w : list.weapons) dlg.addEntry(list.control, text_Get("Weapons", w.key), w.code);
        vocab_SelectComboData(dlg, list.control, info.default_equipment[slot]);
    }

    dlg.setText(kWindSpeed, text_Format("%u", {std::uint32_t(info.wind[0])}));
    dlg.setText(kWindDirection, text_Format("%u", {std::uint32_t(info.wind[1])}));
}

void geninfo_Store(Dialog& dlg, Mission& page) {
    GeneralInfo& info = page.info;

    mission_SetText(info.name, fieldText(dlg, kName, kGiNameMax));
    mission_SetText(info.designer, fieldText(dlg, kDesigner, kGiNameMax));
    mission_SetText(info.cnv_file, fieldText(dlg, kDialogFile, kGiFileMax));
    mission_SetText(info.tt_file, fieldText(dlg, kMissionFile, kGiFileMax));

    const int terrainSel = dlg.selection(kTerrain);
    const std::string terrain = terrainSel >= 0 ? dlg.entryText(kTerrain, terrainSel) : std::string();
    if (!geninfo_SameTerrain(terrain, mission_Text(info.terrain))) {
        mission_SetText(info.terrain, terrain);
        loadTerrain(page);
    }

    if (dlg.selection(kColour) >= 0) info.terrain_color = dlg.selection(kColour);

    storeConditions(dlg, true, info.subgoals_win);
    storeConditions(dlg, false, info.subgoals_lose);

    readNumber(dlg, kFireMissions, info.arty);

    std::uint32_t visible = 0;
    for (int v = 1; v <= kGiCampVars; ++v)
        if (dlg.check(kCampVarFirst + v - 1) == kChecked) visible |= attribBit(v);
    info.visible_if = static_cast<std::int32_t>(visible);

    std::uint32_t attrib = static_cast<std::uint32_t>(info.attrib);
    for (const AttribBox& b : kAttribBoxes) {
        if (dlg.check(b.control) == kChecked)
            attrib |= attribBit(b.bit);
        else
            attrib &= ~attribBit(b.bit);
    }
    info.attrib = static_cast<std::int32_t>(attrib);
    readNumber(dlg, kWaterLevel, info.water_level);
    readNumber(dlg, kFogLevel, info.fog_level);
    // The colour is built again only when one of its bytes was edited; each byte is what
    // its field shows (the check held an edited one to 0..255).
    if (dlg.edited(kFogRed) || dlg.edited(kFogGreen) || dlg.edited(kFogBlue)) {
        auto byte = [&](int id) { return static_cast<std::uint32_t>(number_ClampedInt(dlg.text(id))) & 0xFFu; };
        info.fog_color = static_cast<std::int32_t>(byte(kFogRed) << 16 | byte(kFogGreen) << 8 | byte(kFogBlue));
    }

    info.weather_type = static_cast<std::int32_t>(selectedData(dlg, kWeather, -1));
    info.sunset = static_cast<std::int32_t>(selectedData(dlg, kSunset, -1));
    for (std::size_t slot = 0; slot < kEquipmentSlots; ++slot)
        info.default_equipment[slot] = static_cast<std::int32_t>(selectedData(dlg, equipmentLists()[slot].control, -1));

    readNumber(dlg, kWindSpeed, info.wind[0]);
    readNumber(dlg, kWindDirection, info.wind[1]);
}

void GeneralInfoDialogProc::onInit(Dialog& dlg) { geninfo_Open(dlg, page_); }

void GeneralInfoDialogProc::onCommand(Dialog& dlg, int id, Notify code) {
    if (code != Notify::Clicked) return;
    if (id == kIdOk) {
        if (!ui_CheckNumbers(dlg)) return;
        geninfo_Store(dlg, page_);
        dlg.end(kIdOk);
    } else if (id == kIdCancel) {
        dlg.end(kIdCancel);
    }
}

int geninfo_Run(Mission& page) {
    GeneralInfoDialogProc proc(page);
    return platform().runDialog("GENERALINFO", proc) == kIdOk ? kIdOk : kIdCancel;
}

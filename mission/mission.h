// The mission model: one page of the editor holds the general information, the briefing,
// every placed item, waypoint paths, groups, events, wav lists, layer names, area triggers,
// the wind list and the page's terrain maps, and beside them the session's selection. Every
// table has a fixed capacity; items are addressed by table index inside one operation and by id across operations.
//
// The editor holds two pages and a clipboard page (MissionPages). The operations here keep the
// tables consistent: adding, copying, moving and deleting items, the selection and hiding.
// What is worked out from the content (definitions, point lists, member counts, area bounds)
// is not part of the page: see mission/index.h.
#pragma once

#include "core/mem.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

struct TerrainMaps;  // gamedata/terrain.h: colour, elevation, edge and detail maps of a page

// ---------------------------------------------------------------------------------------
// Capacities and sizes of the text fields (each size includes the terminating NUL)

constexpr int kMaxItems = 5000;
constexpr int kMaxWaypoints = 128;  // paths 1..127; record 0 is never used
constexpr int kWaypointMaxPoints = 64;
constexpr int kMaxGroups = 64;  // groups 1..63; record 0 is never used
constexpr int kMaxEvents = 256;
constexpr int kEventMaxTriggers = 10;
constexpr int kEventMaxActions = 10;
constexpr int kMaxWavLists = 32;       // wav lists 1..31; record 0 is never used
constexpr int kMaxLayers = 16;         // layers 0..15
constexpr int kMaxAreaTriggers = 100;  // area triggers 1..99; record 0 is never used

constexpr std::size_t kMissionNameSize = 80;  // name, designer
constexpr std::size_t kMissionFileSize = 16;  // terrain, cnv_file, tt_file
constexpr std::size_t kBriefingSize = 256;
constexpr std::size_t kWaypointDescSize = 1280;
constexpr int kWaypointDescInputMax = 249;  // the waypoint editor lets this many in
constexpr std::size_t kGroupDescSize = 256;
constexpr std::size_t kAreaDescSize = 256;
constexpr std::size_t kEventNameSize = 64;
constexpr std::size_t kWavDescSize = 256;
constexpr std::size_t kWavFileSize = 40;
constexpr std::size_t kWindNameSize = 24;
constexpr std::size_t kItemTagSize = 4;  // bumper, name_override

// ---------------------------------------------------------------------------------------
// Values with a fixed meaning

// Item type numbers of the two markers waypoint paths and area triggers are built from.
constexpr std::int32_t kWaypointMarkerType = 6005;
constexpr std::int32_t kAreaMarkerType = 6013;

// Teams (MissionItem::team).
constexpr std::int32_t kTeamNeutral = 0;
constexpr std::int32_t kTeamGood = 1;
constexpr std::int32_t kTeamEvil = 2;
constexpr std::int32_t kTeamYellow = 3;
constexpr std::int32_t kTeamViolet = 4;

// Mission::marks: a display mark of the map view, cleared whenever the selection is.
constexpr std::uint8_t kItemMarkDisplay = 2;

// Waypoint::attrib bits.
constexpr std::int32_t kWaypointNoLoop = 1;
constexpr std::int32_t kWaypointTeamBlue = 2;
constexpr std::int32_t kWaypointTeamRed = 4;

// Trigger type whose var1 is the index of another event of the same page.
constexpr std::int32_t kTriggerTypeEvent = 2;

// Defaults given by mission_SetItemDefaults.
constexpr std::int32_t kItemDefaultWpDistance = 4;
constexpr std::int32_t kItemDefaultFov = 180;
constexpr std::int32_t kItemDefaultObliqueness = 15;
constexpr std::int32_t kItemDefaultMoveTimer = 3;
constexpr std::int32_t kItemDefaultCrouchTimer = 3;
constexpr std::int32_t kItemDefaultShootTimer = 5;
constexpr std::int32_t kItemDefaultAttention = 30;
constexpr std::int32_t kItemDefaultAdvanceTimer = 10;
constexpr std::int32_t kItemDefaultAccuracy = 100;
constexpr std::int32_t kItemDefaultPerception = 100;
constexpr std::int32_t kItemDefaultPerfectionist = 100;
constexpr std::int32_t kItemDefaultMinEngage = 16;
constexpr std::int32_t kItemDefaultMaxEngage = 1024;

// ---------------------------------------------------------------------------------------
// Records. Positions are 1/256 metre, angles whole degrees, text fields NUL-terminated bytes.
// Every record here is plain data: zero bytes are its cleared state.

struct MissionItem {
    std::int32_t type_id;  // ItemDef type number
    std::int32_t id;       // unique within the page, >= 1
    std::int32_t kind;     // the ItemDef's type (kItemVehicle ... kItemEffect)
    std::int32_t x, y, z;
    std::int32_t heading;          // 0 = north (+y), 90 = east (+x)
    std::int32_t pitch;            // 90 = up
    std::int32_t team;             // kTeam*
    std::int32_t map_symbol;       // 0 none, 1 circle ... 8 triangle
    std::int32_t bmsi_attributes;  // AI and multiplayer attribute bits
    std::int32_t nolessthan;       // removed in multiplayer below this many players
    std::int32_t nomorethan;       // removed above this many players
    std::int32_t name_index;       // person's name in the people-name list
    std::int32_t weapon_type;      // NPC primary weapon, 0 none
    std::int32_t sweapon_type;     // second weapon
    std::int32_t group_id;         // 1..63, 0 none
    std::int32_t waypoint_id;      // person: path it follows; waypoint marker: its path
    std::int32_t wpnumber;         // waypoint marker: order in the path; area marker: area number
    std::int32_t wpdistance;       // metres
    std::int32_t fov;              // degrees
    std::int32_t alert_state;      // 0 green, 1 yellow, 2 red
    std::int32_t obliqueness;
    std::int32_t movetimer;  // seconds
    std::int32_t crouchtimer;
    std::int32_t shoottimer;
    std::int32_t attention;
    std::int32_t advancetimer;
    std::int32_t waccuracy;  // hundredths
    std::int32_t perception;
    std::int32_t perfectionist;
    std::array<std::int32_t, 2> edistances;  // min and max engagement distance, metres
    char bumper[kItemTagSize];
    // Read from older metafiles and kept; never written or exported.
    std::int32_t camo_type, speed, ai, advance, formation, icon_value;
    std::int32_t ammo_50_cal, ammo_tow, ammo_stinger, ammo_grenade, delay, smoke_time;
    char name_override[kItemTagSize];
    std::int32_t attributes;  // saved and read only
    std::int32_t hidden;      // 1 = hidden on the map
    std::int32_t layer;       // 0..15
    std::array<std::int32_t, 5> loadout;
    std::int32_t group_rel;   // saved, read and exported; no dialog shows it
    std::int32_t ttoolindex;  // waypoint name in the waypoint-name list
};

struct Waypoint {
    char description[kWaypointDescSize];
    std::int32_t attrib;  // kWaypointNoLoop, kWaypointTeamBlue, kWaypointTeamRed
    std::int32_t color;   // colour index 0..16
};

struct Group {
    char description[kGroupDescSize];
    std::int32_t attrib;  // bit values 1 and 2 are exported
    std::int32_t color;
    std::int32_t commander;
};

struct AreaTrigger {
    char description[kAreaDescSize];
    std::int32_t attrib;
    std::int32_t color;  // colour index 0..16
};

struct EventTrigger {
    std::int32_t flags;  // sense and logic bits
    std::int32_t type;
    std::int32_t condition;
    std::int32_t var1, var2, var3, var4;
    std::int32_t spare;
};

struct EventAction {
    std::int32_t spare0;
    std::int32_t type;
    std::int32_t subtype;
    std::int32_t var1, var2, var3, var4;
    std::int32_t spare7;
};

struct MissionEvent {
    char name[kEventNameSize];
    std::int32_t attrib;         // 1 reset enabled, 2 pre-mission, 4 post-mission
    std::int32_t reset_value;    // seconds
    std::int32_t delay_value;    // seconds
    std::int32_t trigger_count;  // 0..kEventMaxTriggers
    std::int32_t action_count;   // 0..kEventMaxActions
    std::array<EventTrigger, kEventMaxTriggers> triggers;
    std::array<EventAction, kEventMaxActions> actions;
};

struct WavList {
    char description[kWavDescSize];
    char file_name[kWavFileSize];
};

// Same shape as a wav list; only the description is used, as the layer's name.
struct Layer {
    char description[kWavDescSize];
    char file_name[kWavFileSize];
};

struct WindEntry {
    char name[kWindNameSize];
    std::int32_t start;
    std::int32_t stop;
    std::int16_t heading;
    std::int16_t speed;
    std::int32_t spare;
};

// The mission-wide values the general information editor works on.
struct GeneralInfo {
    char name[kMissionNameSize];
    char designer[kMissionNameSize];
    char terrain[kMissionFileSize];
    char cnv_file[kMissionFileSize];  // dialog file
    char tt_file[kMissionFileSize];   // mission file
    std::int32_t terrain_color;       // 0 green, 1 brown, 2 white, 3 alpha
    std::int32_t attrib;              // game-type, night and override bits
    std::int32_t visible_if;          // bits 1..30: campaign variables shown
    std::int32_t notvisible_if;
    std::int32_t arty;  // fire missions
    std::int32_t water_level;
    std::int32_t fog_level;
    std::int32_t fog_color;     // 0x00RRGGBB
    std::int32_t weather_type;  // 0 nice day, 1 rain, 2 snow
    std::int32_t sunset;
    std::array<std::int32_t, 4> default_equipment;  // sidearm, primary, secondary, auxiliary
    std::array<std::int32_t, 2> wind;               // speed km/h (0..45), direction
    std::uint32_t hidden_layers;                    // bit n: layer n hidden; the current layer's bit is clear
    std::int32_t current_layer;                     // 0..15; new and pasted items go on it
    std::int32_t lowest_elev;
    std::array<std::int32_t, 8> wp_names_blue;
    std::array<std::int32_t, 8> wp_names_red;
    char briefing[kBriefingSize];             // line breaks stored as LF
    std::array<std::int8_t, 4> subgoals_win;  // condition codes, -1 none
    std::array<std::int8_t, 4> subgoals_lose;
};

struct Selection {
    std::int32_t count;                         // 0..kMaxItems
    std::array<std::int32_t, kMaxItems> index;  // item indexes in the order they were selected
};

// The content of a page, in fixed-capacity tables: plain data, cleared by a zero fill. Every
// byte is content: the undo compares and restores the block as a whole.
// Megabytes: a copy made with new lives in a large block (LargeObject, core/mem.h).
struct MissionTables : LargeObject {
    GeneralInfo info;
    std::int32_t item_count;  // records 0..item_count-1 are used
    std::array<MissionItem, kMaxItems> items;
    std::array<Waypoint, kMaxWaypoints> waypoints;
    std::array<Group, kMaxGroups> groups;
    std::int32_t event_count;  // records 0..event_count-1 are used
    std::array<MissionEvent, kMaxEvents> events;
    std::array<WavList, kMaxWavLists> wav_lists;
    std::array<Layer, kMaxLayers> layers;
    std::array<AreaTrigger, kMaxAreaTriggers> area_triggers;
    std::int32_t wind_count;              // kept as read; the list itself is wind_list
    std::array<std::int32_t, 6> loadout;  // kept as read; not written or exported
    std::int32_t time_limit;              // kept as read
    std::int32_t tank_loadout;            // kept as read
};
static_assert(std::is_trivially_copyable_v<MissionTables>);

// The page's terrain maps are large (tens of MiB) and belong to the terrain loader's layout,
// so a page holds them by pointer: null until a terrain is loaded into the page, released by
// mission_Clear. The loader that creates them supplies the function that releases them, so
// the model does not depend on their layout.
using TerrainMapsPtr = std::unique_ptr<TerrainMaps, void (*)(TerrainMaps*)>;

// One page. The owned parts (terrain maps, wind list) sit beside the tables so that a page
// is cleared without touching their layout and the clipboard never carries a terrain; the
// session's selection and display marks sit beside them too, being no content of the page.
// Pages are large (about 2 MiB): keep them in MissionPages or on the heap, never on the stack.
struct Mission : MissionTables {
    Mission() : MissionTables{} {}
    Mission(const Mission&) = delete;
    Mission& operator=(const Mission&) = delete;

    TerrainMapsPtr terrain{nullptr, nullptr};
    std::vector<WindEntry> wind_list;  // entries the metafile brought; never saved
    // The metafile last opened or saved, whole (any length the system allows); shown in the
    // title. Empty: the page has no file.
    std::string file_path;
    // The selected items, and the map view's marks by item index; cleared with the tables.
    Selection selection{};
    std::array<std::uint8_t, kMaxItems> marks{};
};

// The two pages and the clipboard: process-wide, reset by tests with mission_ResetPages.
struct MissionPages : LargeObject {
    std::array<Mission, 2> page;
    std::int32_t current = 0;  // 0 or 1
    Mission clipboard;         // only its items and selection are used
};
MissionPages& mission_Pages();
Mission& mission_CurrentPage();
Mission& mission_Clipboard();
// Clears page 1, page 2 and the clipboard and makes page 1 current (start-up, tests).
void mission_ResetPages();

// ---------------------------------------------------------------------------------------
// Text fields

// Copies text into a fixed field, cut to fit and always NUL-terminated. Every text that
// enters the model from a file or a dialog goes through here.
void mission_SetText(char* field, std::size_t capacity, std::string_view text);
template <std::size_t N>
void mission_SetText(char (&field)[N], std::string_view text) {
    mission_SetText(field, N, text);
}
// The text of a fixed field, up to its NUL or its end, whichever comes first.
template <std::size_t N>
std::string_view mission_Text(const char (&field)[N]) {
    const void* nul = std::memchr(field, 0, N);
    return std::string_view(field, nul ? static_cast<const char*>(nul) - field : N);
}

// ---------------------------------------------------------------------------------------
// Operations. "index" is a position in the item table, "id" an item's id. Results follow
// the model's convention: an index or 1 for success, -1 for a full table, 0 for nothing done.

// Empties the page: every table and text zero, counts 0, terrain maps and wind list
// released, nothing selected or marked; then group_SetDefaultNames on the same page.
void mission_Clear(Mission& m);
// The page takes over what a page read aside holds (a file read completely before anything of
// the page is touched): its tables, terrain maps and wind list, under the file path given,
// with nothing selected; its stray waypoint markers are tidied (mission_TidyStrayMarkers).
void mission_TakeOver(Mission& m, Mission& read, const std::string& filePath);
// The tables and the selection of a page as they were when taken, for an editor that changes
// the page as the user works and puts it back on Cancel. The terrain and the wind list are not
// part of it.
class MissionSnapshot {
public:
    MissionSnapshot();
    ~MissionSnapshot();
    void take(const Mission& m);
    // Puts the page's tables back; nothing when no snapshot was taken.
    void restore(Mission& m) const;

private:
    std::unique_ptr<MissionTables> tables_;
    std::unique_ptr<Selection> selection_;
};

// How a layer is named wherever the user reads it: "%2i - %s" with its number (1..16) and the
// name given in Layer Names; a layer without a name is "Layer N" (the LAYERNAME text), or
// with unnamedAsNumber false " N - " (the Layer Names list itself).
std::string mission_LayerCaption(const Mission& m, std::int32_t layer, bool unnamedAsNumber = true);

// The key of an item kind's name in section "Item Type" of the string table; nullptr for a
// kind without one.
const char* mission_KindKey(std::int32_t kind);

// Empties the page for a mission the designer starts: as mission_Clear, with no win or lose
// sub-goal chosen yet (-1 each) rather than four copies of the first condition.
void mission_NewPage(Mission& m);
// Gives groups 1 and 2 the default player names when their descriptions are empty.
void group_SetDefaultNames(Mission& m);

// Highest id among the used items plus 1 (1 for an empty table). Should the highest id be
// the largest 32-bit value, the lowest id not in use is given instead.
std::int32_t mission_NextItemId(const Mission& m);
// Appends a new item of the given type at (x, y, z) with its defaults, a fresh id and the
// current layer. Index, or -1 when the table is full.
std::int32_t mission_AddItem(Mission& m, std::int32_t typeId, std::int32_t x, std::int32_t y, std::int32_t z);
// Kind, team and the default values of an item of item.type_id.
void mission_SetItemDefaults(MissionItem& item);
// Appends a copy of item with a fresh id on the current layer. Index, or -1 when full.
std::int32_t mission_InsertItemCopy(Mission& m, const MissionItem& item);
// Removes the item at index; the records behind it move down. 1, or 0 for a bad index.
// The selection is not adjusted.
int mission_RemoveItem(Mission& m, std::int32_t index);

// Copies the selected items of src, in selection order, displaced by (dx, dy, dz) and shown,
// into dst; the copies become dst's selection. Items that do not fit are dropped. Number of
// items copied. src and dst may be the same page.
int mission_CopySelected(Mission& dst, const Mission& src, std::int32_t dx, std::int32_t dy, std::int32_t dz);
// Adds the displacement to every selected item (saturating at the coordinate range).
void mission_MoveSelected(Mission& m, std::int32_t dx, std::int32_t dy, std::int32_t dz);
// Removes the selected items in selection order, keeping the order of the rest; then clears
// the selection.
void mission_DeleteSelected(Mission& m);

// The terrain: the square of 2048 m about the origin the map marks with its inner boundary,
// as a half side in 1/256 m.
constexpr std::int32_t kTerrainHalfSide = 262144;
// Whether a position lies on the terrain (its edges included).
bool mission_OnTerrain(std::int32_t x, std::int32_t y);
// A coordinate held to the terrain's edge.
std::int32_t mission_HoldOnTerrain(std::int32_t v);
// Brings the selected items back onto the terrain after a move or a paste: the selection is
// shifted as a whole until it lies on the terrain where it fits, and then any item still off
// it is held at the edge. The items keep their height.
void mission_HoldSelectionOnTerrain(Mission& m);

void mission_ClearSelection(Mission& m);
// 1 added, 0 already selected (or not an item).
int mission_Select(Mission& m, std::int32_t index);
// 1 removed, 0 not selected.
int mission_Deselect(Mission& m, std::int32_t index);
// -1 removed, 1 added, 0 not an item.
int mission_ToggleSelect(Mission& m, std::int32_t index);
bool mission_IsSelected(const Mission& m, std::int32_t index);
// Index of the reference item (the last one selected), or -1 when the selection is empty.
std::int32_t mission_ReferenceItem(const Mission& m);

void mission_HideSelected(Mission& m);
void mission_HideUnselected(Mission& m);
void mission_UnhideAll(Mission& m);

// Whether the map shows the item: not hidden, its kind bit (1 << kind) and its team bit
// (1 << (team + 16)) set in showFlags, its layer not hidden on the page.
bool mission_ItemShown(const Mission& m, std::int32_t index, std::uint32_t showFlags);
// Adds every shown item with the type of the reference item to the selection.
void mission_SelectType(Mission& m, std::uint32_t showFlags);
// Drops from the selection every item the map does not show under showFlags, keeping the
// order of the rest: what is hidden is not cut, deleted or moved unseen. Number dropped.
int mission_DeselectHidden(Mission& m, std::uint32_t showFlags);

// The item's definition: itemdef_FindByType of its type (0 for an unknown type). For many
// items at once, mission_BuildIndex (mission/index.h) is quicker.
std::int32_t mission_DefIndex(const MissionItem& item);

// Whether the item is a waypoint marker whose path number names no path (outside
// 1..kMaxWaypoints-1): it belongs to no path, and is saved with path number 0.
bool mission_IsStrayMarker(const MissionItem& item);
// Gives every stray waypoint marker path number 0. Number of markers changed.
int mission_TidyStrayMarkers(Mission& m);

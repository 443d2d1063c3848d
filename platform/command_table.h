// The main window's commands, in one table: each command's id, its name, the string-table key
// of its menu text, the key that runs it, whether the map's context menus pass it on to the
// main window, and the refresh actions that follow it. The menus, the dispatcher, the key
// table, the button bar and the map interaction all read this table; the dispatcher
// (shell/commands.cpp) holds what each command does.
//
// Adding a command: a constant below, a row in kCommands and its case in shell_Command. A menu entry or bar button then names the constant.
#pragma once

#include "platform/ui.h"

#include <cstdint>
#include <span>
#include <string_view>

// ---------------------------------------------------------------------------------------
// Command ids of the main window

namespace cmd {
constexpr int kColourMap = 101, kElevationMap = 102, kEdgeMap = 103;
constexpr int kCopy = 107, kSnap = 111, kCentre = 115;
constexpr int kPrint = 124, kMetafile = 126;
constexpr int kClear = 134, kOpen = 135, kSave = 136, kExit = 137;
constexpr int kUnselectAll = 144, kGridShown = 145, kGridBigger = 146, kGridSmaller = 147;
constexpr int kToggleVehicles = 148, kTogglePeople = 149, kToggleObjects = 150, kToggleDecorations = 151;
constexpr int kToggleBuildings = 152, kToggleMarkers = 153, kToggleBlue = 154, kToggleRed = 155;
constexpr int kCut = 160, kPaste = 161, kDelete = 162, kInsertMode = 163;
constexpr int kPage1 = 165, kPage2 = 166;
constexpr int kItemAttributes = 170, kMove = 184, kGeneralInfo = 185;
constexpr int kUnhideAll = 186, kHideSelected = 187, kHideUnselected = 188;
constexpr int kExport = 207, kToggleGreen = 217, kSetViewByType = 218, kSetViewBySide = 219;
constexpr int kToggleYellow = 220, kToggleViolet = 221;
constexpr int kWaypoints = 223, kEvents = 224, kGroups = 225, kSelectType = 226;
constexpr int kToggleFovCones = 228, kToggleAreaTriggers = 229, kVisibleLayers = 230;
constexpr int kLayerNames = 231, kToggleCharacters = 233, kToggleWater = 1045;
constexpr int kAreaTriggers = 40004, kAbout = 40006, kBriefing = 40007;
// The page's history (shell/history): menu entries and shortcuts made there.
constexpr int kUndo = 41000, kRedo = 41001, kSaveAs = 41002;
// The conveniences (shell/conveniences): the zoom and File > Recent Files, whose entry i
// (0 newest) is kRecentFirst + i.
constexpr int kZoomIn = 41050, kZoomOut = 41051, kZoomToMission = 41052, kRecentClear = 41053;
constexpr int kRecentFirst = 41060, kRecentLast = 41067;
// The checks and where-used (shell/problems, shell/find_dialog): View > Problems, Edit >
// Find... and Edit > Show References (of the selection's reference item).
constexpr int kProblems = 41100, kFind = 41101, kShowReferences = 41102;
}  // namespace cmd

// ---------------------------------------------------------------------------------------
// Control ids of the button bar

namespace bar {
constexpr int kColourMap = 1001, kElevationMap = 1002, kEdgeMap = 1003;
constexpr int kUnselectAll = 1010, kGridBox = 1011, kGridLabel = 1012, kGridSmaller = 1013;
constexpr int kGridBigger = 1014, kSnap = 1015, kShowBox = 1016;
constexpr int kVehicles = 1017, kPeople = 1018, kBuildings = 1019, kObjects = 1020;
constexpr int kDecorations = 1021, kMarkers = 1022, kTeamBlue = 1023, kTeamRed = 1024;
constexpr int kTeamGreen = 1025, kCharacters = 1026, kPage1 = 1034, kPage2 = 1035;
constexpr int kGridShown = 1040, kFovCones = 1041, kAreaTriggers = 1042, kVisibleLayers = 1043;
constexpr int kWater = 1044, kTeamYellow = 1046, kTeamViolet = 1047;
}  // namespace bar

// ---------------------------------------------------------------------------------------
// The table

// A refresh action of the main window (see shell/shell.h), run after a command's handler.
enum class Refresh : std::uint8_t {
    None,
    Render,   // render the current page now and show it
    Map,      // ask for a repaint of the map pane
    Items,    // the selection pane
    Centre,   // the centre pane
    Checks,   // check marks of the menus
    Title,    // the window title
};

struct Command {
    int id;
    std::string_view name;     // for messages and tests
    std::string_view menuKey;  // "Menu Text" key of its menu entry; empty when it has none
    Key key;                   // the key that runs it; Key::Other: none
    bool forwarded;            // the map's context menus pass it on to the dispatcher
    Refresh refresh[3];        // in this order, after the handler
};

namespace command_rows {
using enum Refresh;
// What a handler refreshes only under a condition (a grid change with the grid shown, a page
// switch to another page, a file actually opened) it does itself; the rows hold the rest.
// The mission editors (170, 185, 223, 224, 225, 40004) refresh in shell/editor_commands, where
// each one's rebuild, run and refresh stand together; their rows refresh nothing more.
inline constexpr Command kCommands[] = {
    // id                        name              menu key              key          fwd    refresh
    {cmd::kColourMap,          "ColourMap",      {},                   Key::F1,     false, {}},
    {cmd::kElevationMap,       "ElevationMap",   {},                   Key::F2,     false, {}},
    {cmd::kEdgeMap,            "EdgeMap",        {},                   Key::F3,     false, {}},
    {cmd::kCopy,               "Copy",           "EDIT_COPY",          Key::Other,  true,  {}},
    {cmd::kSnap,               "Snap",           {},                   Key::Other,  false, {Checks}},
    {cmd::kCentre,             "Centre",         {},                   Key::Other,  false, {Centre, Map}},
    {cmd::kPrint,              "Print",          "FILE_PRINT",         Key::Other,  false, {}},
    {cmd::kMetafile,           "Metafile",       {},                   Key::Other,  false, {}},
    {cmd::kClear,              "Clear",          "FILE_CLEAR",         Key::Other,  false, {Title, Map, Items}},
    {cmd::kOpen,               "Open",           "FILE_OPEN",          Key::Other,  false, {}},
    {cmd::kSave,               "Save",           "FILE_SAVE",          Key::Other,  false, {Title}},
    {cmd::kExit,               "Exit",           "FILE_EXIT",          Key::Other,  true,  {}},
    {cmd::kUnselectAll,        "UnselectAll",    {},                   Key::U,      false, {Render, Items}},
    {cmd::kGridShown,          "GridShown",      {},                   Key::Other,  false, {Checks, Render}},
    {cmd::kGridBigger,         "GridBigger",     {},                   Key::Other,  false, {}},
    {cmd::kGridSmaller,        "GridSmaller",    {},                   Key::Other,  false, {}},
    {cmd::kToggleVehicles,     "ShowVehicles",   {},                   Key::Other,  false, {Checks, Items, Render}},
    {cmd::kTogglePeople,       "ShowPeople",     {},                   Key::Other,  false, {Checks, Items, Render}},
    {cmd::kToggleObjects,      "ShowObjects",    {},                   Key::Other,  false, {Checks, Items, Render}},
    {cmd::kToggleDecorations,  "ShowDecorations", {},                  Key::Other,  false, {Checks, Items, Render}},
    {cmd::kToggleBuildings,    "ShowBuildings",  {},                   Key::Other,  false, {Checks, Items, Render}},
    {cmd::kToggleMarkers,      "ShowMarkers",    {},                   Key::Other,  false, {Checks, Items, Render}},
    {cmd::kToggleBlue,         "ShowBlue",       {},                   Key::Other,  false, {Checks, Items, Render}},
    {cmd::kToggleRed,          "ShowRed",        {},                   Key::Other,  false, {Checks, Items, Render}},
    {cmd::kCut,                "Cut",            "EDIT_CUT",           Key::Other,  true,  {Items, Map}},
    {cmd::kPaste,              "Paste",          "EDIT_PASTE",         Key::Other,  true,  {}},
    {cmd::kDelete,             "Delete",         "EDIT_DELETE",        Key::Delete, true,  {Items, Render}},
    {cmd::kInsertMode,         "InsertMode",     "EDIT_INSERTMODE",    Key::Insert, true,  {Checks, Map}},
    {cmd::kPage1,              "Page1",          "PAGE_1",             Key::Other,  false, {}},
    {cmd::kPage2,              "Page2",          "PAGE_2",             Key::Other,  false, {}},
    {cmd::kItemAttributes,     "ItemAttributes", {},                   Key::Other,  false, {}},
    {cmd::kMove,               "Move",           "MOUSE_MOVE",         Key::Other,  true,  {}},
    {cmd::kGeneralInfo,        "GeneralInfo",    "EDIT_GENERALINFO",   Key::Other,  false, {}},
    {cmd::kUnhideAll,          "UnhideAll",      "MOUSE_UNHIDEALL",    Key::Other,  true,  {Render}},
    {cmd::kHideSelected,       "HideSelected",   "MOUSE_HIDESELECTED", Key::Other,  true,  {Items, Render}},
    {cmd::kHideUnselected,     "HideUnselected", "MOUSE_HIDEUNSELECTED", Key::Other, true, {Render}},
    {cmd::kExport,             "Export",         "FILE_EXPORT",        Key::Other,  false, {}},
    {cmd::kToggleGreen,        "ShowGreen",      {},                   Key::Other,  false, {Checks, Items, Render}},
    {cmd::kSetViewByType,      "ViewByType",     "MOUSE_VIEWBYTYPE",   Key::Other,  true,  {Checks, Render}},
    {cmd::kSetViewBySide,      "ViewBySide",     "MOUSE_VIEWBYSIDE",   Key::Other,  true,  {Checks, Render}},
    {cmd::kToggleYellow,       "ShowYellow",     {},                   Key::Other,  false, {Checks, Items, Render}},
    {cmd::kToggleViolet,       "ShowViolet",     {},                   Key::Other,  false, {Checks, Items, Render}},
    {cmd::kWaypoints,          "Waypoints",      "EDIT_WAYPOINTS",     Key::Other,  false, {}},
    {cmd::kEvents,             "Events",         "EDIT_EVENTS",        Key::Other,  false, {}},
    {cmd::kGroups,             "Groups",         "EDIT_GROUPS",        Key::Other,  false, {}},
    {cmd::kSelectType,         "SelectType",     "MOUSE_SELECTTYPE",   Key::Other,  true,  {Render, Items}},
    {cmd::kToggleFovCones,     "ShowFovCones",   {},                   Key::Other,  false, {Checks, Items, Render}},
    {cmd::kToggleAreaTriggers, "ShowAreaTriggers", {},                 Key::Other,  false, {Checks, Items, Render}},
    {cmd::kVisibleLayers,      "VisibleLayers",  {},                   Key::Other,  false, {Items, Render}},
    {cmd::kLayerNames,         "LayerNames",     "EDIT_LAYERNAMES",    Key::Other,  false, {Render}},
    {cmd::kToggleCharacters,   "ShowCharacters", {},                   Key::Other,  false, {Checks, Items, Render}},
    {cmd::kToggleWater,        "ShowWater",      {},                   Key::Other,  false, {Checks, Items, Render}},
    {cmd::kAreaTriggers,       "AreaTriggers",   "EDIT_AREATRIGGERS",  Key::Other,  false, {}},
    {cmd::kAbout,              "About",          "INFO_ABOUTKZ7MED",   Key::Other,  false, {}},
    {cmd::kBriefing,           "Briefing",       "EDIT_BRIEFING",      Key::Other,  false, {Map}},
    {cmd::kUndo,               "Undo",           {},                   Key::Other,  false, {}},
    {cmd::kRedo,               "Redo",           {},                   Key::Other,  false, {}},
    {cmd::kSaveAs,             "SaveAs",         {},                   Key::Other,  false, {Title}},
    {cmd::kZoomIn,             "ZoomIn",         "VIEW_ZOOMIN",        Key::Plus,   false, {}},
    {cmd::kZoomOut,            "ZoomOut",        "VIEW_ZOOMOUT",       Key::Minus,  false, {}},
    {cmd::kZoomToMission,      "ZoomToMission",  "VIEW_ZOOMFIT",       Key::Home,   false, {}},
    {cmd::kRecentClear,        "RecentClear",    {},                   Key::Other,  false, {}},
    {cmd::kRecentFirst,        "Recent1",        "FILE_RECENT_NONE",   Key::Other,  false, {}},
    {cmd::kRecentFirst + 1,    "Recent2",        {},                   Key::Other,  false, {}},
    {cmd::kRecentFirst + 2,    "Recent3",        {},                   Key::Other,  false, {}},
    {cmd::kRecentFirst + 3,    "Recent4",        {},                   Key::Other,  false, {}},
    {cmd::kRecentFirst + 4,    "Recent5",        {},                   Key::Other,  false, {}},
    {cmd::kRecentFirst + 5,    "Recent6",        {},                   Key::Other,  false, {}},
    {cmd::kRecentFirst + 6,    "Recent7",        {},                   Key::Other,  false, {}},
    {cmd::kRecentFirst + 7,    "Recent8",        {},                   Key::Other,  false, {}},
    {cmd::kProblems,           "Problems",       "VIEW_PROBLEMS",      Key::Other,  false, {}},
    {cmd::kFind,               "Find",           "EDIT_FIND",          Key::Other,  false, {Render, Items}},
    {cmd::kShowReferences,     "ShowReferences", "EDIT_SHOWREFERENCES", Key::Other, false, {Render, Items}},
};
}  // namespace command_rows

std::span<const Command> command_Table();
// The row of a command id; null when id is not a command.
const Command* command_Find(int id);
// The command a key runs; 0 when none.
int command_ForKey(Key key);

// The menu text key of a command at compile time (the menu templates): a command without a
// row does not compile.
consteval std::string_view command_MenuKey(int id) {
    for (const Command& c : command_rows::kCommands)
        if (c.id == id) return c.menuKey;
    throw "not a command";
}

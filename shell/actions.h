// The main window's actions, in one table: each command's id, name, menu text, the keys and
// shortcuts that run it, the name of the undo step it takes, what it does, when it is
// enabled and checked, and the refresh actions that follow it. The menus (their texts,
// shortcuts, enabled states and check marks), the key handler, the button bar, the context
// menus, the history's step names and the dispatcher all read this table, at every refresh:
// nothing else keeps what the window shows.
//
// Adding a command: a constant below and a row in shell/actions.cpp (and its text). A menu
// template entry or a bar button then names the constant.
#pragma once

#include "platform/ui.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// ---------------------------------------------------------------------------------------
// Command ids of the main window

namespace cmd {
constexpr int kColourMap = 101, kElevationMap = 102, kEdgeMap = 103;
constexpr int kCopy = 107, kSnap = 111, kCentre = 115;
constexpr int kPrint = 124;
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
// Editing on the map itself: File > New, Select All, the drawing tools, Show Links, Export Map
// Image, and the keys that end or take back a gesture (Esc, Backspace).
constexpr int kNew = 41150, kSelectAll = 41151, kDrawPath = 41152, kDrawArea = 41153;
constexpr int kShowLinks = 41154, kExportImage = 41155, kCancelGesture = 41156, kDrawBack = 41157;
constexpr int kZoomInStep = 41158, kZoomOutStep = 41159;
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
    Render,  // render the current page now and show it
    Map,     // ask for a repaint of the map pane
    Items,   // the selection pane
    Centre,  // the centre pane
    Title,   // the window title
};

struct Action {
    int id = 0;
    std::string_view name{};                     // for messages and tests
    std::string_view menuKey{};                  // key of its menu text; empty: none
    std::string_view menuSection = "Menu Text";  // the string-table section of menuKey
    std::array<Key, 4> keys{};                   // plain keys that run it; Key::Other: none
    std::string_view shortcut{};                 // menu shortcuts, "; " between two (the
                                                 // menus show the plain keys after them)
    std::string_view stepKey{};                  // section "Undo": the step it takes
    bool forwarded = false;                      // the map's context menus pass it on
    std::array<Refresh, 3> refresh{};            // in this order, after run
    void (*run)(int id) = nullptr;
    bool (*enabled)(int id) = nullptr;       // null: always enabled
    bool (*checked)(int id) = nullptr;       // null: not a checked entry
    std::string (*label)(int id) = nullptr;  // a text worded at run time; null: menuKey's
};

std::span<const Action> actions_Table();
// The row of a command id; null when id is not a command.
const Action* actions_Find(int id);
// The command a plain key runs; 0 when none.
int actions_ForKey(Key key);
// What a menu shows and binds for a row: its shortcuts, then its plain keys, "; " between.
std::string actions_Shortcut(const Action& a);
// The undo step a command takes ("STEP_EDIT" for a row that names none); null when id is
// not a command.
const char* actions_StepKey(int id);

// A menu tree as built from its template: each command entry takes its row's text key and
// shortcut (entries that word themselves keep theirs), then its texts.
void actions_PrepareMenu(std::vector<MenuEntry>& entries);
// Enabled states, check marks and run-time texts of a menu tree's entries, from the rows
// (a context menu as it opens).
void actions_ApplyState(std::vector<MenuEntry>& entries);
// The same for the main window's menus, told to the platform for every row, every time: a
// rebuilt menu starts from its entries, so the window may show something else than was
// last set.
void actions_RefreshWindow();

// The rows of the action table and what each command does.
#include "shell/actions.h"

#include "core/text.h"
#include "logic/refs.h"
#include "mapview/gesture.h"
#include "mapview/interact.h"
#include "mapview/view.h"
#include "mapview/zoom.h"
#include "mission/itemops.h"
#include "mission/mission.h"
#include "shell/conveniences.h"
#include "shell/dialogs.h"
#include "shell/editor_commands.h"
#include "shell/find_dialog.h"
#include "shell/history.h"
#include "shell/map_tools.h"
#include "shell/problems.h"
#include "shell/recent.h"
#include "shell/shell.h"

#include <algorithm>

namespace {

constexpr const char* kMsg = "Dialog Message";

Mission& page() { return mission_CurrentPage(); }
int currentPage() { return mission_Pages().current; }

// What the map stops showing stops being selected, so that no command acts on items the user
// cannot see. The show flags are the view's, so both pages lose their hidden items.
void deselectHidden() {
    for (Mission& m : mission_Pages().page) mission_DeselectHidden(m, view_State().show_flags);
}

// Toggles a show flag and sets its check box to the flag's new state.
void toggleShow(int id) {
    for (const ShowToggle& t : shell_ShowToggles()) {
        if (t.command != id) continue;
        ViewState& v = view_State();
        v.show_flags ^= t.flag;
        platform().barSetCheck(t.checkBox, (v.show_flags & t.flag) ? kChecked : kUnchecked);
        deselectHidden();
    }
}

void setMapMode(int id) {
    const int mode = id == cmd::kColourMap ? 0 : id == cmd::kElevationMap ? 1 : 2;
    const int radio = id == cmd::kColourMap      ? bar::kColourMap
                      : id == cmd::kElevationMap ? bar::kElevationMap
                                                 : bar::kEdgeMap;
    view_State().map_mode = mode;
    platform().barSetCheck(radio, kChecked);
    shell_RepaintMap();
}

void setPage(int id) {
    const int index = id == cmd::kPage2 ? 1 : 0;
    ViewState& v = view_State();
    if (v.page == index) return;
    v.page = index;
    mission_Pages().current = index;
    platform().barSetCheck(index == 1 ? bar::kPage2 : bar::kPage1, kChecked);
    shell_RepaintMap();
    shell_RefreshTitle();
    // Both panes describe the page now shown.
    shell_RepaintItems();
    shell_RepaintCentre();
}

// Deleting the last members of a group, or the last markers of a path or an area, that event
// rows name asks first, with how many rows would name an empty record.
bool confirmEmptying() {
    const int rows = refs_RowsEmptiedBySelection(page());
    if (rows == 0) return true;
    return ui_MessageBox(text_Printf("Checks", "EMPTY_REFERENCED?", {rows}), text_Get(kMsg, "WARNING"),
                         MsgIcon::Question, MsgButtons::YesNo) == MsgAnswer::Yes;
}

void exitProgram(int) {
    // Asked once: the quit closes the main window, whose close request then lets it go.
    if (!shell_State().leaving) {
        if (!shell_CloseRequest()) return;
        shell_State().leaving = true;
        shell_Shutdown();
    }
    platform().quit();
}

void gridSize(int id) {
    ViewState& v = view_State();
    if (id == cmd::kGridBigger && v.grid_size < kGridSizeLargest) v.grid_size *= 2;
    if (id == cmd::kGridSmaller && v.grid_size > 1) v.grid_size /= 2;
    shell_RefreshGridLabel();
    if (v.grid_shown) shell_RepaintMap();
}

// When a command can act.
bool hasSelection(int) { return page().selection.count > 0; }
bool hasClipboard(int) { return mission_Clipboard().selection.count > 0; }

// Undo and Redo name the step they take back or again.
std::string undoLabel(int) { return history_UndoLabel(currentPage()); }
std::string redoLabel(int) { return history_RedoLabel(currentPage()); }

// Return and Alt+Return: a drawing ends; otherwise the item attributes open on the selection.
void itemAttributes(int id) {
    if (gesture_Drawing(gesture_State()))
        interact_Cancel();
    else if (page().selection.count > 0)
        shell_RunEditor(id);
}

// Esc: the gesture in progress ends (a move, placement, band or zoom drag is cancelled, a
// drawing ends), else insert mode ends.
void cancelGesture(int) {
    if (interact_Cancel()) return;
    if (view_State().insert_mode) {
        view_State().insert_mode = 0;
        shell_RepaintMap();
    }
}

// File > New: an empty, untitled page, asked about first when modified.
void newPage(int) {
    const int index = currentPage();
    if (!history_AskAboutPage(index, "CLEAR")) return;
    interact_Cancel();
    mission_NewPage(page());
    page().file_path.clear();
    history_Baseline(index, true);
}

bool idle(int) { return gesture_Idle(gesture_State()); }

// Page Up and Page Down (and the number pad's 9, 3, + and -) zoom about the centre in finer
// steps than + and -; at either end of the range they hold the zoom there without a redraw.
void zoomStep(int id) {
    ViewState& v = view_State();
    const float z = v.zoom * (id == cmd::kZoomInStep ? 1.1f : 0.9f);
    if (z > kZoomMax) {
        v.zoom = kZoomMax;
    } else if (z < kZoomMin) {
        v.zoom = kZoomMin;
    } else {
        v.zoom = z;
        shell_Render();
    }
}

using enum Refresh;
constexpr std::array<Refresh, 3> kShowRefresh = {Items, Render};

// clang-format off
const Action kRows[] = {
    // The map modes and the pages (bar radio buttons, F1..F3, the Page menu)
    {.id = cmd::kColourMap, .name = "ColourMap", .keys = {Key::F1}, .run = setMapMode},
    {.id = cmd::kElevationMap, .name = "ElevationMap", .keys = {Key::F2}, .run = setMapMode},
    {.id = cmd::kEdgeMap, .name = "EdgeMap", .keys = {Key::F3}, .run = setMapMode},
    {.id = cmd::kPage1, .name = "Page1", .menuKey = "PAGE_1", .run = setPage,
     .checked = [](int) { return currentPage() == 0; }},
    {.id = cmd::kPage2, .name = "Page2", .menuKey = "PAGE_2", .run = setPage,
     .checked = [](int) { return currentPage() == 1; }},

    // File
    {.id = cmd::kClear, .name = "Clear", .menuKey = "FILE_CLEAR", .stepKey = "STEP_CLEAR", .refresh = {Title, Map, Items},
     .run = [](int) { if (history_AskAboutPage(currentPage(), "CLEAR")) mission_NewPage(page()); }},
    {.id = cmd::kOpen, .name = "Open", .menuKey = "FILE_OPEN", .shortcut = "Ctrl+O",
     .run = [](int) { if (history_AskAboutPage(currentPage(), "OPEN")) shell_OpenMission(); }},
    {.id = cmd::kSave, .name = "Save", .menuKey = "FILE_SAVE", .shortcut = "Ctrl+S", .refresh = {Title},
     .run = [](int) { history_SavePage(currentPage(), false); }},
    {.id = cmd::kSaveAs, .name = "SaveAs", .menuKey = "MENU_SAVE_AS", .menuSection = "Undo", .shortcut = "Ctrl+Shift+S",
     .refresh = {Title}, .run = [](int) { history_SavePage(currentPage(), true); }},
    {.id = cmd::kExport, .name = "Export", .menuKey = "FILE_EXPORT", .shortcut = "Ctrl+E",
     .run = [](int) { shell_ExportMission(); }},
    {.id = cmd::kNew, .name = "New", .menuKey = "FILE_NEW", .shortcut = "Ctrl+N", .refresh = {Title, Map, Items},
     .run = newPage},
    {.id = cmd::kPrint, .name = "Print", .menuKey = "FILE_PRINT", .shortcut = "Ctrl+P", .run = [](int) { maptools_Print(); }},
    {.id = cmd::kExportImage, .name = "ExportImage", .menuKey = "FILE_EXPORT_IMAGE", .run = [](int) { maptools_ExportImage(); }},
    {.id = cmd::kRecentClear, .name = "RecentClear", .menuKey = "FILE_RECENT_CLEAR", .run = [](int) { conv_ClearRecent(); }},
    {.id = cmd::kRecentFirst, .name = "Recent1", .menuKey = "FILE_RECENT_NONE", .run = conv_OpenRecent},
    {.id = cmd::kRecentFirst + 1, .name = "Recent2", .run = conv_OpenRecent},
    {.id = cmd::kRecentFirst + 2, .name = "Recent3", .run = conv_OpenRecent},
    {.id = cmd::kRecentFirst + 3, .name = "Recent4", .run = conv_OpenRecent},
    {.id = cmd::kRecentFirst + 4, .name = "Recent5", .run = conv_OpenRecent},
    {.id = cmd::kRecentFirst + 5, .name = "Recent6", .run = conv_OpenRecent},
    {.id = cmd::kRecentFirst + 6, .name = "Recent7", .run = conv_OpenRecent},
    {.id = cmd::kRecentFirst + 7, .name = "Recent8", .run = conv_OpenRecent},
    {.id = cmd::kExit, .name = "Exit", .menuKey = "FILE_EXIT", .shortcut = "Ctrl+Q", .forwarded = true, .run = exitProgram},

    // Edit
    {.id = cmd::kUndo, .name = "Undo", .menuKey = "MENU_UNDO", .menuSection = "Undo", .shortcut = "Ctrl+Z",
     .run = [](int) { history_Undo(currentPage(), true); },
     .enabled = [](int) { return history_CanUndo(currentPage(), true); }, .label = undoLabel},
    {.id = cmd::kRedo, .name = "Redo", .menuKey = "MENU_REDO", .menuSection = "Undo", .shortcut = "Ctrl+Y; Ctrl+Shift+Z",
     .run = [](int) { history_Undo(currentPage(), false); },
     .enabled = [](int) { return history_CanUndo(currentPage(), false); }, .label = redoLabel},
    {.id = cmd::kCut, .name = "Cut", .menuKey = "EDIT_CUT", .shortcut = "Ctrl+X", .stepKey = "STEP_CUT", .forwarded = true,
     .refresh = {Items, Map}, .run = [](int) { itemops_Cut(page(), mission_Clipboard()); }, .enabled = hasSelection},
    {.id = cmd::kCopy, .name = "Copy", .menuKey = "EDIT_COPY", .shortcut = "Ctrl+C", .forwarded = true,
     .run = [](int) { itemops_Copy(page(), mission_Clipboard()); }, .enabled = hasSelection},
    {.id = cmd::kPaste, .name = "Paste", .menuKey = "EDIT_PASTE", .shortcut = "Ctrl+V", .stepKey = "STEP_PASTE",
     .forwarded = true, .run = [](int) { interact_StartPlace(); }, .enabled = hasClipboard},
    {.id = cmd::kDelete, .name = "Delete", .menuKey = "EDIT_DELETE", .keys = {Key::Delete}, .stepKey = "STEP_DELETE",
     .forwarded = true, .refresh = {Items, Render},
     .run = [](int) { if (confirmEmptying()) itemops_Delete(page()); }, .enabled = hasSelection},
    {.id = cmd::kFind, .name = "Find", .menuKey = "EDIT_FIND", .shortcut = "Ctrl+F", .refresh = {Render, Items},
     .run = [](int) { find_RunDialog(page()); }},
    {.id = cmd::kShowReferences, .name = "ShowReferences", .menuKey = "EDIT_SHOWREFERENCES", .refresh = {Render, Items},
     .run = [](int) {
         // The references of the reference item: its group and its path.
         if (const std::int32_t item = mission_ReferenceItem(page()); item >= 0) refs_Show(page(), RefKind::Item, item);
     }},
    {.id = cmd::kInsertMode, .name = "InsertMode", .menuKey = "EDIT_INSERTMODE", .keys = {Key::Insert}, .forwarded = true,
     .refresh = {Map}, .run = [](int) { view_State().insert_mode = !view_State().insert_mode; },
     .checked = [](int) { return view_State().insert_mode != 0; }},
    {.id = cmd::kMove, .name = "Move", .menuKey = "MOUSE_MOVE", .stepKey = "STEP_MOVE", .forwarded = true,
     .run = [](int) { interact_StartMove(); }, .enabled = hasSelection},
    {.id = cmd::kSelectAll, .name = "SelectAll", .menuKey = "EDIT_SELECTALL", .shortcut = "Ctrl+A", .refresh = {Render, Items},
     .run = [](int) { itemops_SelectAll(page(), view_State().show_flags); }, .enabled = idle},
    {.id = cmd::kUnselectAll, .name = "UnselectAll", .menuKey = "EDIT_UNSELECTALL", .keys = {Key::U},
     .shortcut = "Ctrl+Shift+A", .refresh = {Render, Items}, .run = [](int) { itemops_ClearSelection(page()); }},
    {.id = cmd::kDrawPath, .name = "DrawPath", .menuKey = "EDIT_DRAWPATH", .stepKey = "STEP_DRAW_PATH",
     .run = maptools_StartDrawing, .enabled = idle},
    {.id = cmd::kDrawArea, .name = "DrawArea", .menuKey = "EDIT_DRAWAREA", .stepKey = "STEP_DRAW_AREA",
     .run = maptools_StartDrawing, .enabled = idle},
    {.id = cmd::kCancelGesture, .name = "CancelGesture", .keys = {Key::Escape}, .run = cancelGesture},
    {.id = cmd::kDrawBack, .name = "DrawBack", .keys = {Key::Backspace}, .run = [](int) { interact_DrawBack(); }},
    {.id = cmd::kSelectType, .name = "SelectType", .menuKey = "MOUSE_SELECTTYPE", .forwarded = true, .refresh = {Render, Items},
     .run = [](int) { itemops_SelectThisType(page(), view_State().show_flags); }, .enabled = hasSelection},
    {.id = cmd::kUnhideAll, .name = "UnhideAll", .menuKey = "MOUSE_UNHIDEALL", .stepKey = "STEP_UNHIDE", .forwarded = true,
     .refresh = {Render}, .run = [](int) { itemops_UnhideAll(page()); }},
    {.id = cmd::kHideSelected, .name = "HideSelected", .menuKey = "MOUSE_HIDESELECTED", .stepKey = "STEP_HIDE",
     .forwarded = true, .refresh = {Items, Render}, .run = [](int) { itemops_HideSelected(page()); }, .enabled = hasSelection},
    {.id = cmd::kHideUnselected, .name = "HideUnselected", .menuKey = "MOUSE_HIDEUNSELECTED", .stepKey = "STEP_HIDE",
     .forwarded = true, .refresh = {Render}, .run = [](int) { itemops_HideUnselected(page()); }},
    // The mission editors rebuild what they show and refresh what they may change
    // (shell/editor_commands).
    {.id = cmd::kItemAttributes, .name = "ItemAttributes", .menuKey = "EDIT_ITEMATTRIBUTES", .keys = {Key::Return},
     .shortcut = "Alt+Return", .stepKey = "STEP_ATTRIBUTES", .forwarded = true, .run = itemAttributes,
     .enabled = [](int) { return page().selection.count > 0 || gesture_Drawing(gesture_State()); }},
    {.id = cmd::kBriefing, .name = "Briefing", .menuKey = "EDIT_BRIEFING", .stepKey = "STEP_BRIEFING", .refresh = {Map},
     .run = [](int) { dialogs_RunBriefing(page()); }},
    {.id = cmd::kGeneralInfo, .name = "GeneralInfo", .menuKey = "EDIT_GENERALINFO", .stepKey = "STEP_GENERAL",
     .run = shell_RunEditor},
    {.id = cmd::kGroups, .name = "Groups", .menuKey = "EDIT_GROUPS", .stepKey = "STEP_GROUPS", .run = shell_RunEditor},
    {.id = cmd::kAreaTriggers, .name = "AreaTriggers", .menuKey = "EDIT_AREATRIGGERS", .stepKey = "STEP_AREAS",
     .run = shell_RunEditor},
    {.id = cmd::kWaypoints, .name = "Waypoints", .menuKey = "EDIT_WAYPOINTS", .stepKey = "STEP_WAYPOINTS",
     .run = shell_RunEditor},
    {.id = cmd::kEvents, .name = "Events", .menuKey = "EDIT_EVENTS", .stepKey = "STEP_EVENTS", .run = shell_RunEditor},
    {.id = cmd::kLayerNames, .name = "LayerNames", .menuKey = "EDIT_LAYERNAMES", .stepKey = "STEP_LAYER_NAMES",
     .refresh = {Render}, .run = [](int) { dialogs_RunLayerNames(page()); }},
    {.id = cmd::kVisibleLayers, .name = "VisibleLayers", .stepKey = "STEP_LAYERS", .refresh = {Items, Render},
     .run = [](int) {
         dialogs_RunVisibleLayers(page(), &shell_Render);
         deselectHidden();  // in the step that hides the layers
     }},

    // View
    {.id = cmd::kZoomIn, .name = "ZoomIn", .menuKey = "VIEW_ZOOMIN", .keys = {Key::Plus}, .shortcut = "+",
     .run = [](int) { conv_Zoom(kZoomStep); }},
    {.id = cmd::kZoomOut, .name = "ZoomOut", .menuKey = "VIEW_ZOOMOUT", .keys = {Key::Minus}, .shortcut = "-",
     .run = [](int) { conv_Zoom(1.0 / kZoomStep); }},
    {.id = cmd::kZoomToMission, .name = "ZoomToMission", .menuKey = "VIEW_ZOOMFIT", .keys = {Key::Home},
     .shortcut = "Home", .run = [](int) { conv_ShowMission(); }},
    {.id = cmd::kZoomInStep, .name = "ZoomInStep", .menuKey = "VIEW_ZOOMINSTEP", .keys = {Key::PageUp, Key::Pad9, Key::PadPlus},
     .run = zoomStep},
    {.id = cmd::kZoomOutStep, .name = "ZoomOutStep", .menuKey = "VIEW_ZOOMOUTSTEP",
     .keys = {Key::PageDown, Key::Pad3, Key::PadMinus}, .run = zoomStep},
    {.id = cmd::kShowLinks, .name = "ShowLinks", .menuKey = "VIEW_SHOWLINKS", .refresh = {Render},
     .run = [](int) { view_State().links_shown = !view_State().links_shown; },
     .checked = [](int) { return view_State().links_shown != 0; }},
    {.id = cmd::kCentre, .name = "Centre", .menuKey = "VIEW_CENTREON", .shortcut = "Ctrl+G", .refresh = {Centre, Map},
     .run = [](int) { dialogs_RunCenter(view_State().center_x, view_State().center_y); }},
    {.id = cmd::kProblems, .name = "Problems", .menuKey = "VIEW_PROBLEMS", .shortcut = "F8",
     .run = [](int) { problems_Toggle(); }, .checked = [](int) { return problems_Shown(); }},
    {.id = cmd::kSetViewByType, .name = "ViewByType", .menuKey = "MOUSE_VIEWBYTYPE", .forwarded = true, .refresh = {Render},
     .run = [](int) { view_State().view_by = 0; }, .checked = [](int) { return view_State().view_by == 0; }},
    {.id = cmd::kSetViewBySide, .name = "ViewBySide", .menuKey = "MOUSE_VIEWBYSIDE", .forwarded = true, .refresh = {Render},
     .run = [](int) { view_State().view_by = 1; }, .checked = [](int) { return view_State().view_by == 1; }},
    // The button bar
    {.id = cmd::kSnap, .name = "Snap", .run = [](int) { view_State().snap_to_grid = !view_State().snap_to_grid; }},
    {.id = cmd::kGridShown, .name = "GridShown", .refresh = {Render},
     .run = [](int) { view_State().grid_shown = !view_State().grid_shown; }},
    {.id = cmd::kGridBigger, .name = "GridBigger", .run = gridSize},
    {.id = cmd::kGridSmaller, .name = "GridSmaller", .run = gridSize},
    {.id = cmd::kToggleVehicles, .name = "ShowVehicles", .refresh = kShowRefresh, .run = toggleShow},
    {.id = cmd::kTogglePeople, .name = "ShowPeople", .refresh = kShowRefresh, .run = toggleShow},
    {.id = cmd::kToggleObjects, .name = "ShowObjects", .refresh = kShowRefresh, .run = toggleShow},
    {.id = cmd::kToggleDecorations, .name = "ShowDecorations", .refresh = kShowRefresh, .run = toggleShow},
    {.id = cmd::kToggleBuildings, .name = "ShowBuildings", .refresh = kShowRefresh, .run = toggleShow},
    {.id = cmd::kToggleMarkers, .name = "ShowMarkers", .refresh = kShowRefresh, .run = toggleShow},
    {.id = cmd::kToggleBlue, .name = "ShowBlue", .refresh = kShowRefresh, .run = toggleShow},
    {.id = cmd::kToggleRed, .name = "ShowRed", .refresh = kShowRefresh, .run = toggleShow},
    {.id = cmd::kToggleGreen, .name = "ShowGreen", .refresh = kShowRefresh, .run = toggleShow},
    {.id = cmd::kToggleYellow, .name = "ShowYellow", .refresh = kShowRefresh, .run = toggleShow},
    {.id = cmd::kToggleViolet, .name = "ShowViolet", .refresh = kShowRefresh, .run = toggleShow},
    {.id = cmd::kToggleFovCones, .name = "ShowFovCones", .refresh = kShowRefresh, .run = toggleShow},
    {.id = cmd::kToggleAreaTriggers, .name = "ShowAreaTriggers", .refresh = kShowRefresh, .run = toggleShow},
    {.id = cmd::kToggleCharacters, .name = "ShowCharacters", .refresh = kShowRefresh, .run = toggleShow},
    {.id = cmd::kToggleWater, .name = "ShowWater", .refresh = kShowRefresh, .run = toggleShow},

    // Info
    {.id = cmd::kAbout, .name = "About", .menuKey = "INFO_ABOUTKZ7MED", .run = [](int) { dialogs_RunAbout(); }},
};
// clang-format on

// The name a menu shows (and the toolkit binds) for a plain key.
std::string_view keyName(Key k) {
    switch (k) {
    case Key::Delete: return "Del";
    case Key::Insert: return "Ins";
    case Key::F1: return "F1";
    case Key::F2: return "F2";
    case Key::F3: return "F3";
    case Key::U: return "U";
    case Key::Plus: return "+";
    case Key::Minus: return "-";
    case Key::Home: return "Home";
    case Key::PageUp: return "PgUp";
    case Key::PageDown: return "PgDown";
    case Key::Pad9: return "Num+9";
    case Key::Pad3: return "Num+3";
    case Key::PadPlus: return "Num++";
    case Key::PadMinus: return "Num+-";
    case Key::Return: return "Return";
    case Key::Escape: return "Esc";
    case Key::Backspace: return "Backspace";
    default: return {};
    }
}

}  // namespace

std::span<const Action> actions_Table() { return kRows; }

const Action* actions_Find(int id) {
    if (id == 0) return nullptr;
    for (const Action& a : kRows)
        if (a.id == id) return &a;
    return nullptr;
}

int actions_ForKey(Key key) {
    if (key == Key::Other) return 0;
    for (const Action& a : kRows)
        if (std::find(a.keys.begin(), a.keys.end(), key) != a.keys.end()) return a.id;
    return 0;
}

std::string actions_Shortcut(const Action& a) {
    std::string out(a.shortcut);
    for (Key k : a.keys) {
        const std::string_view name = keyName(k);
        if (name.empty()) continue;
        // A key the shortcuts name already is not shown twice.
        bool named = false;
        std::string_view rest = a.shortcut;
        while (!rest.empty() && !named) {
            const std::size_t end = rest.find("; ");
            named = rest.substr(0, end) == name;
            rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 2);
        }
        if (named) continue;
        if (!out.empty()) out += "; ";
        out += name;
    }
    return out;
}

const char* actions_StepKey(int id) {
    const Action* a = actions_Find(id);
    if (!a) return nullptr;
    return a->stepKey.empty() ? "STEP_EDIT" : a->stepKey.data();
}

void actions_PrepareMenu(std::vector<MenuEntry>& entries) {
    for (MenuEntry& e : entries) {
        if (const Action* a = actions_Find(e.id)) {
            if (e.key.empty() && e.text.empty() && !a->menuKey.empty()) {
                e.key = std::string(a->menuKey);
                e.text = text_Get(std::string(a->menuSection).c_str(), e.key.c_str());
            } else if (!e.key.empty()) {
                e.text = text_Get("Menu Text", e.key.c_str());
            }
            e.shortcut = actions_Shortcut(*a);
        } else if (!e.key.empty()) {
            e.text = text_Get("Menu Text", e.key.c_str());
        }
        actions_PrepareMenu(e.children);
    }
    actions_ApplyState(entries);
}

void actions_ApplyState(std::vector<MenuEntry>& entries) {
    for (MenuEntry& e : entries) {
        if (const Action* a = actions_Find(e.id)) {
            if (a->enabled) e.enabled = a->enabled(e.id);
            if (a->checked) e.checked = a->checked(e.id);
            if (a->label) e.text = a->label(e.id);
        }
        actions_ApplyState(e.children);
    }
}

void actions_RefreshWindow() {
    Platform& ui = platform();
    for (const Action& a : kRows) {
        if (a.enabled) ui.setMenuEnabled(a.id, a.enabled(a.id));
        if (a.checked) ui.setMenuCheck(a.id, a.checked(a.id));
        if (a.label) ui.setMenuText(a.id, a.label(a.id));
    }
}

// Every command runs as one action of the page's history: what it changed becomes one step,
// named from its row.
void shell_Command(int id) {
    history_Begin(id);
    shell_Dispatch(id);
    history_End();
    problems_Refresh();
    shell_RefreshMenuState();
}

bool shell_Dispatch(int id) {
    const Action* a = actions_Find(id);
    if (!a || !a->run) return false;
    a->run(id);
    for (Refresh r : a->refresh) {
        switch (r) {
        case Refresh::None: break;
        case Refresh::Render: shell_Render(); break;
        case Refresh::Map: shell_RepaintMap(); break;
        case Refresh::Items: shell_RepaintItems(); break;
        case Refresh::Centre: shell_RepaintCentre(); break;
        case Refresh::Title: shell_RefreshTitle(); break;
        }
    }
    return true;
}

bool shell_ForwardMapCommand(int id) {
    const Action* a = actions_Find(id);
    if (!a || !a->forwarded) return false;
    shell_Command(id);
    return true;
}

const std::vector<ShowToggle>& shell_ShowToggles() {
    static const std::vector<ShowToggle> toggles = {
        {cmd::kToggleVehicles, kShowVehicles, bar::kVehicles},
        {cmd::kTogglePeople, kShowPeople, bar::kPeople},
        {cmd::kToggleObjects, kShowObjects, bar::kObjects},
        {cmd::kToggleDecorations, kShowDecorations, bar::kDecorations},
        {cmd::kToggleBuildings, kShowBuildings, bar::kBuildings},
        {cmd::kToggleMarkers, kShowMarkers, bar::kMarkers},
        {cmd::kToggleBlue, kShowTeamGood, bar::kTeamBlue},
        {cmd::kToggleRed, kShowTeamEvil, bar::kTeamRed},
        {cmd::kToggleGreen, kShowTeamNeutral, bar::kTeamGreen},
        {cmd::kToggleYellow, kShowTeamYellow, bar::kTeamYellow},
        {cmd::kToggleViolet, kShowTeamViolet, bar::kTeamViolet},
        {cmd::kToggleFovCones, kShowCones, bar::kFovCones},
        {cmd::kToggleAreaTriggers, kShowAreas, bar::kAreaTriggers},
        {cmd::kToggleCharacters, kShowDetail, bar::kCharacters},
        {cmd::kToggleWater, kShowWater, bar::kWater},
    };
    return toggles;
}

// The main window's dispatcher: what every command id, key and timer does, and which
// refresh actions follow it.
#include "shell/shell.h"

#include "core/text.h"
#include "gamedata/model.h"
#include "logic/events_editor.h"
#include "mapview/infopane.h"
#include "mapview/interact.h"
#include "mapview/render.h"
#include "mapview/view.h"
#include "mission/export.h"
#include "mission/gesture.h"
#include "mission/itemops.h"
#include "mission/metafile.h"
#include "mission/mission.h"
#include "shell/conveniences.h"
#include "shell/dialogs.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace {

constexpr const char* kMsg = "Dialog Message";
constexpr const char* kBar = "Med Window Text";

Mission& page() { return mission_CurrentPage(); }

// Why a file cannot be written: tries to create a file beside it, as the writer does, and
// reports what the system says.
std::string writeFailureReason(const std::string& path) {
    std::error_code ec;
    std::filesystem::path p(path);
    std::filesystem::path folder = p.parent_path();
    if (folder.empty()) folder = ".";
    if (!std::filesystem::is_directory(folder, ec)) return std::strerror(ENOENT);
    if (std::filesystem::is_directory(p, ec)) return std::strerror(EISDIR);
    const std::string probe = (folder / (".sortie-probe-" + std::to_string(std::rand()))).string();
    errno = 0;
    if (std::FILE* f = std::fopen(probe.c_str(), "wb")) {
        std::fclose(f);
        std::filesystem::remove(probe, ec);
        return std::strerror(EIO);
    }
    return std::strerror(errno ? errno : EACCES);
}

void reportWriteFailure(const std::string& path) {
    ui_MessageBox(text_Printf(kMsg, "CANT_WRITE_FILE", {path, writeFailureReason(path)}),
                  text_Get(kMsg, "WARNING"), MsgIcon::Warning, MsgButtons::Ok);
}

std::vector<FileFilter> missionFilters() {
    return {{text_Get("File I/O", "KZ_IN_FILTER_DES"), text_Get("File I/O", "KZ_IN_FILTER_EXT")}};
}

// Toggles a show flag and sets its check box to the flag's new state.
void toggleShow(const ShowToggle& t) {
    ViewState& v = view_State();
    v.show_flags ^= t.flag;
    platform().barSetCheck(t.checkBox, (v.show_flags & t.flag) ? kChecked : kUnchecked);
    shell_RefreshChecks();
    shell_Render();
}

void setMapMode(int mode, int radio) {
    view_State().map_mode = mode;
    platform().barSetCheck(radio, kChecked);
    shell_RefreshChecks();
    shell_RepaintMap();
}

void setPage(int index, int radio) {
    ViewState& v = view_State();
    if (v.page == index) return;
    v.page = index;
    mission_Pages().current = index;
    platform().barSetCheck(radio, kChecked);
    shell_RefreshChecks();
    shell_RepaintMap();
    shell_RefreshTitle();
}

bool runEditor(int id) {
    if (auto fn = shell_State().hooks.editor) {
        fn(id);
        return true;
    }
    return false;
}

void zoomBy(float factor) {
    ViewState& v = view_State();
    const float z = v.zoom * factor;
    if (z > kZoomMax) {
        v.zoom = kZoomMax;
    } else if (z < kZoomMin) {
        v.zoom = kZoomMin;
    } else {
        v.zoom = z;
        shell_Render();
    }
}

void moveCentre(std::int32_t dx, std::int32_t dy) {
    ViewState& v = view_State();
    v.center_x += dx;
    v.center_y += dy;
    shell_RepaintCentre();
    shell_Render();
}

bool pageWorthSaving(const Mission& m) { return m.item_count > 0 || !mission_Text(m.info.terrain).empty(); }

}  // namespace

// ---------------------------------------------------------------------------------------
// Refresh actions

void shell_Render() {
    ShellState& s = shell_State();
    MapSurface& surf = view_Surface();
    if (!s.surfaceOk || !mapsurface_Ready(surf)) return;
    render_Page(page());  // draws the page and shows it
    conv_ScaleFollowsZoom();
}

void shell_RepaintMap() { platform().mapInvalidate(); }

void shell_RepaintItems() {
    platform().paneSetLines(kPaneSelection, infopane_SelectionLines(page(), shell_State().metrics));
}

void shell_RepaintCentre() { platform().paneSetLines(kPaneCentre, conv_CentreLines(shell_State().metrics)); }

void shell_RefreshChecks() {
    ShellState& s = shell_State();
    const ViewState& v = view_State();
    Platform& ui = platform();
    ui.setMenuCheck(cmd::kInsertMode, v.insert_mode != 0);
    ui.setMenuCheck(cmd::kViewByType, v.view_by == 0);
    ui.setMenuCheck(cmd::kViewBySide, v.view_by == 1);
    // The context menus are built when they open: keep their marks in their entries.
    for (MenuEntry& e : s.mouseMenu) {
        if (e.id == cmd::kInsertMode) e.checked = v.insert_mode != 0;
        if (e.id == cmd::kViewByType) e.checked = v.view_by == 0;
        if (e.id == cmd::kViewBySide) e.checked = v.view_by == 1;
    }
}

std::string shell_TitleFor(std::string_view fileName) {
    const char* consumer = text_Get(kMsg, "CONSUMER");
    if (fileName.empty()) return text_Printf(kMsg, "KZMED_TITLE", {consumer, "2001"});
    return text_Printf(kMsg, "KZMED_TITLE_PLUS_FNAME", {consumer, "2001", fileName});
}

void shell_RefreshTitle() {
    platform().setWindowTitle(conv_PageTitle(shell_TitleFor(mission_Text(page().info.file_path))));
}

std::string shell_GridLabel(std::int32_t gridSize) {
    if (gridSize < 256) return text_Printf(kBar, "KZ_GRID_SIZE_CM", {gridSize * 0.390625});
    return text_Printf(kBar, "KZ_GRID_SIZE_M", {gridSize / 256});
}

void shell_RefreshGridLabel() { platform().barSetText(1012, shell_GridLabel(view_State().grid_size)); }

void shell_PageRefresh() {
    shell_RefreshTitle();
    shell_RepaintMap();
    shell_RepaintItems();
}

// ---------------------------------------------------------------------------------------
// Files

void shell_OpenMissionPath(const std::string& path) {
    Mission& m = page();
    // A failed read has been reported by the reader where there was something to say.
    const bool ok = metafile_Read(m, path.c_str()) == 1;
    mission_SetText(m.info.file_path, path);
    model_LoadForItems();
    conv_MissionOpened(path, ok);
    shell_PageRefresh();
}

bool shell_OpenMission() {
    FileDialogRequest r;
    r.save = false;
    r.filters = missionFilters();
    r.defaultExtension = text_Get("File I/O", "DEF_EXT");
    r.promptCreate = true;
    std::optional<std::string> path = platform().fileDialog(r);
    if (!path) return false;
    shell_OpenMissionPath(*path);
    return true;
}

bool shell_SaveMission(Mission& m) {
    FileDialogRequest r;
    r.save = true;
    r.filters = missionFilters();
    r.defaultExtension = text_Get("File I/O", "DEF_EXT");
    r.promptOverwrite = true;
    std::optional<std::string> path = platform().fileDialog(r);
    if (!path) return false;
    if (metafile_Write(m, path->c_str()) != 1) {
        reportWriteFailure(*path);
        return false;  // the page keeps the name it had
    }
    mission_SetText(m.info.file_path, *path);
    conv_MissionSaved(*path);
    return true;
}

bool shell_ExportMission() {
    FileDialogRequest r;
    r.save = true;
    r.filters = {{text_Get("File I/O", "KZ_OUT_FILTER_DES"), text_Get("File I/O", "KZ_OUT_FILTER_EXT")}};
    r.defaultExtension = text_Get("File I/O", "DEF_EXT");
    r.promptOverwrite = true;
    std::optional<std::string> path = platform().fileDialog(r);
    if (!path) return false;
    if (mission_ExportBinary(page(), path->c_str()) != 1) {
        reportWriteFailure(*path);
        return false;
    }
    return true;
}

std::string shell_BackupFolder() {
    namespace fs = std::filesystem;
    const char* state = std::getenv("XDG_STATE_HOME");
    fs::path base;
    if (state && *state && fs::path(state).is_absolute()) {
        base = state;
    } else {
        const char* home = std::getenv("HOME");
        base = fs::path(home && *home ? home : ".") / ".local" / "state";
    }
    return (base / "sortie").string();
}

void shell_WriteBackups() {
    namespace fs = std::filesystem;
    const fs::path folder = shell_BackupFolder();
    std::error_code ec;
    fs::create_directories(folder, ec);
    MissionPages& pages = mission_Pages();
    // metafile_Write writes beside the target and renames, so the last backup survives a
    // crash in the middle of the next one.
    if (pages.page[0].item_count > 0) metafile_Write(pages.page[0], (folder / "MEDP1BCK.MIS").string().c_str());
    if (pages.page[1].item_count > 0) metafile_Write(pages.page[1], (folder / "MEDP2BCK.MIS").string().c_str());
}

// ---------------------------------------------------------------------------------------
// The dispatcher

const std::vector<ShowToggle>& shell_ShowToggles() {
    static const std::vector<ShowToggle> toggles = {
        {cmd::kShowVehicles, 0x2, 1017},       {cmd::kShowPeople, 0x8, 1018},
        {cmd::kShowObjects, 0x40, 1020},       {cmd::kShowDecorations, 0x4, 1021},
        {cmd::kShowBuildings, 0x20, 1019},     {cmd::kShowMarkers, 0x10, 1022},
        {cmd::kShowBlue, 0x20000, 1023},       {cmd::kShowRed, 0x40000, 1024},
        {cmd::kShowGreen, 0x10000, 1025},      {cmd::kShowYellow, 0x80000, 1046},
        {cmd::kShowViolet, 0x100000, 1047},    {cmd::kShowFovCones, 0x80, 1041},
        {cmd::kShowAreaTriggers, 0x100, 1042}, {cmd::kShowCharacters, 0x200000, 1026},
        {cmd::kShowWater, 0x200, 1044},
    };
    return toggles;
}

void shell_Command(int id) {
    if (conv_Command(id)) return;
    for (const ShowToggle& t : shell_ShowToggles()) {
        if (t.command == id) {
            toggleShow(t);
            return;
        }
    }
    ViewState& v = view_State();
    switch (id) {
    case cmd::kColourMap: setMapMode(0, 1001); break;
    case cmd::kElevationMap: setMapMode(1, 1002); break;
    case cmd::kEdgeMap: setMapMode(2, 1003); break;
    case cmd::kCopy: itemops_Copy(page(), mission_Clipboard()); break;
    case cmd::kSnap:
        v.snap_to_grid = !v.snap_to_grid;
        shell_RefreshChecks();
        break;
    case cmd::kCentre:
        dialogs_RunCenter(v.center_x, v.center_y);
        shell_RepaintCentre();
        shell_RepaintMap();
        break;
    case cmd::kClear:
        mission_Clear(page());
        shell_PageRefresh();
        break;
    case cmd::kOpen:
        shell_OpenMission();  // refreshes the page when a file was chosen
        break;
    case cmd::kSave:
        shell_SaveMission(page());
        shell_RefreshTitle();
        break;
    case cmd::kExit:
        if (shell_CloseRequest()) {
            shell_Shutdown();
            platform().quit();
        }
        break;
    case cmd::kUnselectAll:
        itemops_ClearSelection(page());
        shell_Render();
        shell_RepaintItems();
        break;
    case cmd::kGridShown:
        v.grid_shown = !v.grid_shown;
        shell_RefreshChecks();
        shell_Render();
        break;
    case cmd::kGridBigger:
    case cmd::kGridSmaller:
        if (id == cmd::kGridBigger && v.grid_size < kGridSizeLargest) v.grid_size *= 2;
        if (id == cmd::kGridSmaller && v.grid_size > 1) v.grid_size /= 2;
        shell_RefreshGridLabel();
        if (v.grid_shown) shell_RepaintMap();
        break;
    case cmd::kCut:
        itemops_Cut(page(), mission_Clipboard());
        shell_RepaintItems();
        shell_RepaintMap();
        break;
    case cmd::kPaste:
        interact_StartPlace();
        break;
    case cmd::kDelete:
        itemops_Delete(page());
        shell_RepaintItems();
        shell_Render();
        break;
    case cmd::kInsertMode:
        v.insert_mode = !v.insert_mode;
        shell_RefreshChecks();
        shell_RepaintMap();
        break;
    case cmd::kPage1: setPage(0, 1034); break;
    case cmd::kPage2: setPage(1, 1035); break;
    case cmd::kMove:
        interact_StartMove();
        break;
    case cmd::kUnhideAll:
        itemops_UnhideAll(page());
        shell_Render();
        break;
    case cmd::kHideSelected:
        itemops_HideSelected(page());
        shell_RepaintItems();
        shell_Render();
        break;
    case cmd::kHideUnselected:
        itemops_HideUnselected(page());
        shell_Render();
        break;
    case cmd::kExport: shell_ExportMission(); break;
    case cmd::kViewByType:
    case cmd::kViewBySide:
        v.view_by = id == cmd::kViewBySide ? 1 : 0;
        shell_RefreshChecks();
        shell_Render();
        break;
    case cmd::kSelectType:
        itemops_SelectThisType(page(), v.show_flags);
        shell_Render();
        shell_RepaintItems();
        break;
    case cmd::kVisibleLayers:
        dialogs_RunVisibleLayers(page(), &shell_Render);
        shell_Render();
        break;
    case cmd::kLayerNames:
        dialogs_RunLayerNames(page());
        shell_Render();
        break;
    case cmd::kAbout: dialogs_RunAbout(); break;
    case cmd::kBriefing:
        dialogs_RunBriefing(page());
        shell_RepaintMap();
        break;
    case cmd::kPrint:
    case cmd::kMetafile: break;  // nothing to do in this program
    // The mission editors: each one refreshes what it may have changed.
    case cmd::kItemAttributes:
        runEditor(id);
        shell_RepaintItems();
        break;
    case cmd::kGeneralInfo:
        runEditor(id);
        shell_RepaintMap();
        break;
    case cmd::kWaypoints:
    case cmd::kGroups:
    case cmd::kAreaTriggers:
        runEditor(id);
        shell_Render();
        break;
    case cmd::kEvents: events_RunEditor(page()); break;  // events do not show on the map
    default: break;
    }
}

void shell_Key(Key key, unsigned) {
    const ViewState& v = view_State();
    const std::int32_t step = v.grid_size / 10;
    switch (key) {
    case Key::PageUp:
    case Key::Pad9:
    case Key::PadPlus: zoomBy(1.1f); break;
    case Key::PageDown:
    case Key::Pad3:
    case Key::PadMinus: zoomBy(0.9f); break;
    case Key::Space: shell_Render(); break;
    case Key::Left: moveCentre(-step, 0); break;
    case Key::Right: moveCentre(step, 0); break;
    case Key::Up: moveCentre(0, step); break;
    case Key::Down: moveCentre(0, -step); break;
    case Key::Insert: shell_Command(cmd::kInsertMode); break;
    case Key::Delete: shell_Command(cmd::kDelete); break;
    case Key::U: shell_Command(cmd::kUnselectAll); break;
    case Key::Pad2:
    case Key::Pad4:
    case Key::Pad6:
    case Key::Pad8: shell_RepaintMap(); break;
    case Key::F1: shell_Command(cmd::kColourMap); break;
    case Key::F2: shell_Command(cmd::kElevationMap); break;
    case Key::F3: shell_Command(cmd::kEdgeMap); break;
    case Key::Plus:
    case Key::Minus:
    case Key::Home: conv_Key(key); break;
    case Key::F4:
    case Key::Other: break;
    }
}

void shell_Timer(int id) {
    if (id == kBackupTimer) shell_WriteBackups();
}

bool shell_CloseRequest() {
    // Each page that holds work is asked about in turn; page 2 as well, since leaving would
    // lose it just the same.
    MissionPages& pages = mission_Pages();
    for (int i = 0; i < 2; ++i) {
        Mission& m = pages.page[static_cast<size_t>(i)];
        if (!pageWorthSaving(m)) continue;
        const char* question = i == 0 ? text_Get(kMsg, "SAVE_PAGE_1?") : text_Get(kMsg, "SAVE_PAGE_2?");
        MsgAnswer a = ui_MessageBox(question, text_Get(kMsg, "EXIT"), MsgIcon::Question, MsgButtons::YesNoCancel);
        if (a == MsgAnswer::Cancel) return false;
        if (a == MsgAnswer::Yes) {
            if (!shell_SaveMission(m)) return false;  // cancelled or not written: stay
            if (&m == &mission_CurrentPage()) shell_RefreshTitle();
        }
    }
    return true;
}

void shell_PaneClick(int pane) {
    const GestureState& g = gesture_State();
    if (pane == kPaneCentre) {
        if (g.drag == kDragNone) shell_Command(cmd::kCentre);
    } else if (pane == kPaneSelection) {
        if (gesture_Idle(g)) shell_Command(cmd::kItemAttributes);
    }
}

bool shell_ForwardMapCommand(int id) {
    switch (id) {
    case cmd::kCopy: case cmd::kExit: case cmd::kCut: case cmd::kPaste: case cmd::kDelete:
    case cmd::kInsertMode: case cmd::kMove: case cmd::kUnhideAll: case cmd::kHideSelected:
    case cmd::kHideUnselected: case cmd::kViewByType: case cmd::kViewBySide: case cmd::kSelectType:
        shell_Command(id);
        return true;
    default: return false;
    }
}

// ---------------------------------------------------------------------------------------
// The button bar

std::vector<BarControl> shell_ButtonBar(CharMetrics m) {
    const int cw = m.cw, ch = m.ch;
    std::vector<BarControl> bar;
    auto add = [&](int id, BarKind kind, const char* key, int x, int y, int w, int h, int check, int command,
                   bool group = false) {
        BarControl c;
        c.id = id;
        c.kind = kind;
        c.text = text_Get(kBar, key);
        c.x = x;
        c.y = y;
        c.w = w;
        c.h = h;
        c.check = check;
        c.command = command;
        c.groupStart = group;
        bar.push_back(std::move(c));
    };
    const int top = ch / 2, tall = 7 * ch / 4;
    add(1001, BarKind::PushRadio, "COLOR_MAP_BUTTON", cw, top, 4 * cw, tall, kChecked, 101, true);
    add(1002, BarKind::PushRadio, "DEPTH_MAP_BUTTON", 5 * cw, top, 4 * cw, tall, kUnchecked, 102);
    add(1003, BarKind::PushRadio, "FIRST_ORDER_MAP_BUTTON", 9 * cw, top, 4 * cw, tall, kUnchecked, 103);
    add(1034, BarKind::PushRadio, "PAGE_1_BUTTON", 18 * cw, top, 4 * cw, tall, kChecked, 165, true);
    add(1035, BarKind::PushRadio, "PAGE_2_BUTTON", 22 * cw, top, 4 * cw, tall, kUnchecked, 166);
    add(1043, BarKind::PushButton, "LAYER_BUTTON", 62 * cw, top, 20 * cw, tall, kUnchecked, 230);
    add(1010, BarKind::PushButton, "UNSELECT_ALL_BUTTON", 84 * cw, top, 20 * cw, tall, kUnchecked, 144);
    add(1011, BarKind::GroupBox, "GRID", cw, ch / 2 + 2 * ch, 25 * cw, 4 * ch, kUnchecked, 0);
    const int gridRow = ch / 2 + 3 * ch + ch / 4;
    add(1040, BarKind::CheckBox, "VIEW", 2 * cw, gridRow, 14 * cw, ch, kChecked, 145);
    add(1013, BarKind::PushButton, "GRID-", 17 * cw, gridRow, 3 * cw, ch, kUnchecked, 147);
    add(1014, BarKind::PushButton, "GRID+", 21 * cw, gridRow, 3 * cw, ch, kUnchecked, 146);
    const int snapRow = 4 * ch + 2 * (ch / 2);
    add(1015, BarKind::CheckBox, "SNAP_TO_GRID", 2 * cw, snapRow, 14 * cw, ch, kUnchecked, 111);
    add(1012, BarKind::Label, "DEFAULT_GRID_SIZE", 17 * cw, snapRow, 8 * cw, ch, kUnchecked, 0);
    add(1016, BarKind::GroupBox, "SHOW", cw, 6 * ch + ch / 2, 25 * cw, 17 * ch + ch / 2, kUnchecked, 0);
    struct Show {
        int id;
        const char* key;
        int command;
        int check;
    };
    static constexpr Show kShows[] = {
        {1017, "VEHICLES", 148, kChecked},   {1018, "PEOPLE", 149, kChecked},
        {1019, "BUILDINGS", 152, kChecked},  {1020, "OBJECTS", 150, kChecked},
        {1021, "DECORATIONS", 151, kChecked}, {1022, "MARKERS", 153, kChecked},
        {1041, "FOV_CONES", 228, kChecked},  {1042, "AREA_TRIGGERS", 229, kChecked},
        {1044, "WATER", 1045, kChecked},     {1023, "TEAM_BLUE", 154, kChecked},
        {1024, "TEAM_RED", 155, kChecked},   {1025, "TEAM_GREEN", 217, kChecked},
        {1046, "TEAM_YELLOW", 220, kChecked}, {1047, "TEAM_VIOLET", 221, kChecked},
        {1026, "CHARACTERS", 233, kUnchecked},
    };
    int row = 7;
    for (const Show& s : kShows) {
        add(s.id, BarKind::CheckBox, s.key, 2 * cw, row * ch + ch / 2, 17 * cw, ch, s.check, s.command);
        ++row;
    }
    return bar;
}

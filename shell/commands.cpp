// The main window's dispatcher: what every command id, key and timer does, and which
// refresh actions follow it.
#include "shell/shell.h"

#include "core/file.h"
#include "core/text.h"
#include "gamedata/model.h"
#include "gamedata/terrain.h"
#include "mapview/infopane.h"
#include "mapview/interact.h"
#include "mapview/render.h"
#include "mapview/view.h"
#include "mission/export.h"
#include "mapview/gesture.h"
#include "mission/itemops.h"
#include "mission/metafile.h"
#include "mission/mission.h"
#include "mission/page_load.h"
#include "shell/conveniences.h"
#include "shell/dialogs.h"
#include "shell/editor_commands.h"
#include "shell/find_dialog.h"
#include "shell/history.h"
#include "shell/prefetch.h"
#include "shell/map_tools.h"
#include "shell/problems.h"
#include "logic/refs.h"

#include <algorithm>
#include <charconv>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>

namespace {

constexpr const char* kMsg = "Dialog Message";
constexpr const char* kBar = "Med Window Text";

Mission& page() { return mission_CurrentPage(); }

// Why a file cannot be written: what the system said at the step of the write that failed;
// failing that, tries to create a file beside it, as the writer does, and reports what the
// system says then.
std::string writeFailureReason(const std::string& path) {
    if (const int error = file_LastWriteError()) return std::strerror(error);
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
    ui_MessageBox(text_Printf(kMsg, "CANT_WRITE_FILE", {ui_PathText(path), writeFailureReason(path)}),
                  text_Get(kMsg, "WARNING"), MsgIcon::Warning, MsgButtons::Ok);
}

std::vector<FileFilter> missionFilters() {
    return {{text_Get("File I/O", "KZ_IN_FILTER_DES"), text_Get("File I/O", "KZ_IN_FILTER_EXT")}};
}

// A save dialog starts in the folder of the page's file with its name proposed, the
// extension replaced by ext when one is given.
void proposePageFile(FileDialogRequest& r, const Mission& m, const std::string& ext) {
    const std::filesystem::path file(m.file_path);
    if (file.empty()) return;
    r.startFolder = file.parent_path().string();
    std::filesystem::path name = file.filename();
    if (!ext.empty()) name.replace_extension(ext);
    r.initialName = name.string();
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

void shell_RefreshMenuState() {
    actions_RefreshWindow();
    maptools_RefreshStatus();  // the selection and the gesture may have changed with them
}

std::string shell_TitleFor(std::string_view fileName) {
    const char* consumer = text_Get(kMsg, "CONSUMER");
    if (fileName.empty()) return text_Printf(kMsg, "KZMED_TITLE", {consumer, shell_Version()});
    return text_Printf(kMsg, "KZMED_TITLE_PLUS_FNAME", {consumer, shell_Version(), ui_PathText(fileName)});
}

void shell_RefreshTitle() {
    platform().setWindowTitle(history_MarkTitle(conv_PageTitle(shell_TitleFor(page().file_path))));
}

std::string shell_GridLabel(std::int32_t gridSize) {
    if (gridSize < 256) return text_Printf(kBar, "KZ_GRID_SIZE_CM", {gridSize * 0.390625});
    return text_Printf(kBar, "KZ_GRID_SIZE_M", {gridSize / 256});
}

void shell_RefreshGridLabel() { platform().barSetText(bar::kGridLabel, shell_GridLabel(view_State().grid_size)); }

void shell_PageRefresh() {
    shell_RefreshTitle();
    shell_RepaintMap();
    shell_RepaintItems();
    problems_Refresh();
}

// ---------------------------------------------------------------------------------------
// Files

void shell_OpenMissionPath(const std::string& path) {
    Mission& m = page();
    // The same file in both pages would have each save overwrite the other's changes.
    const int current = mission_Pages().current;
    if (const int other = history_PageHolding(path, current); other >= 0) {
        if (ui_MessageBox(text_Printf(kMsg, "FILE_IN_OTHER_PAGE?", {ui_PathText(path), other + 1, other + 1}),
                          text_Get(kMsg, "WARNING"), MsgIcon::Question, MsgButtons::YesNo) == MsgAnswer::Yes)
            shell_Command(other == 0 ? cmd::kPage1 : cmd::kPage2);
        return;
    }
    // The file is read into a fresh page, taken over only when the whole file was read: a
    // bad line (reported by the reader) leaves the open mission, its title and its path.
    // At start-up the page may have been read ahead already (shell/prefetch.h).
    std::unique_ptr<Mission> fresh;
    MetafileLines lines;
    std::vector<MetafileCut> cuts;
    MetafileReadOptions options;
    options.lines = &lines;
    options.cuts = &cuts;
    bool read = prefetch_TakeMission(path, fresh, lines, cuts);
    if (!read) {
        fresh = std::make_unique<Mission>();
        read = metafile_Read(*fresh, path.c_str(), options) == 1;
    }
    if (!read) {
        // The reader has shown a bad line; a file that cannot be opened, is empty or ends
        // inside a block it leaves to the caller.
        std::error_code ec;
        const bool opened = std::filesystem::is_regular_file(path, ec) && std::ifstream(path).good();
        if (!opened || lines.unterminated > 0 || lines.noBlock)
            ui_MessageBox(text_Printf(kMsg, "MISSION_NOT_READ", {ui_PathText(path)}), text_Get(kMsg, "WARNING"),
                          MsgIcon::Warning, MsgButtons::Ok);
        return;
    }
    mission_TakeOver(m, *fresh, path);
    pageload_Models();
    history_Baseline(mission_Pages().current, true);
    history_NoteFileOnDisk(mission_Pages().current);
    conv_MissionOpened(path, true);
    shell_PageRefresh();
    // Counts larger than the blocks: the page holds what the blocks hold; said once.
    if (lines.itemsDeclared > m.item_count || lines.eventsDeclared > m.event_count)
        ui_MessageBox(
            text_Printf(kMsg, "COUNTS_NOT_MET",
                        {ui_PathText(path), lines.itemsDeclared, lines.eventsDeclared, m.item_count, m.event_count}),
            text_Get(kMsg, "WARNING"), MsgIcon::Warning, MsgButtons::Ok);
    const std::string terrain(mission_Text(m.info.terrain));
    if (!terrain_Exists(terrain.c_str()))
        ui_MessageBox(text_Printf(kMsg, "TERRAIN_NOT_FOUND", {terrain}), text_Get(kMsg, "WARNING"), MsgIcon::Warning,
                      MsgButtons::Ok);
    if (!cuts.empty()) {
        // One warning for all of them, so the user learns it before saving.
        std::string list;
        for (const MetafileCut& c : cuts) {
            if (!list.empty()) list += '\n';
            list += text_Printf(kMsg, "TEXT_CUT_LINE", {c.line, c.field, int(c.length), int(c.capacity)});
        }
        ui_MessageBox(text_Printf(kMsg, "TEXT_CUT", {ui_PathText(path), list}), text_Get(kMsg, "WARNING"),
                      MsgIcon::Warning, MsgButtons::Ok);
    }
}

bool shell_OpenMission() {
    FileDialogRequest r;
    r.save = false;
    r.filters = missionFilters();
    r.title = text_Get("File I/O", "OPEN_TITLE");
    r.defaultExtension = text_Get("File I/O", "DEF_EXT");
    std::optional<std::string> path = platform().fileDialog(r);
    if (!path) return false;
    std::error_code ec;
    if (!std::filesystem::exists(*path, ec)) {
        // A name that is not there yet starts a new mission under it, if the user wants that.
        const std::string name = std::filesystem::path(*path).filename().string();
        if (ui_MessageBox(text_Printf(kMsg, "CREATE_MISSION?", {ui_PathText(name)}), r.title, MsgIcon::Question,
                          MsgButtons::YesNo) != MsgAnswer::Yes)
            return false;
        mission_NewPage(page());
        page().file_path = *path;
        shell_PageRefresh();
        return true;
    }
    shell_OpenMissionPath(*path);
    return true;
}

bool shell_SaveMission(Mission& m) {
    FileDialogRequest r;
    r.save = true;
    r.title = text_Get("File I/O", "SAVE_TITLE");
    r.filters = missionFilters();
    r.defaultExtension = text_Get("File I/O", "DEF_EXT");
    r.promptOverwrite = true;
    proposePageFile(r, m, {});
    const int index = &m == &mission_Pages().page[1] ? 1 : 0;
    for (;;) {
        std::optional<std::string> path = platform().fileDialog(r);
        if (!path) return false;
        // Saving over the file the other page holds would have each page overwrite the other.
        const int other = history_PageHolding(*path, index);
        if (other < 0) return shell_WriteMission(m, *path);
        ui_MessageBox(text_Printf(kMsg, "OTHER_PAGE_HOLDS", {ui_PathText(*path), other + 1}), text_Get(kMsg, "WARNING"),
                      MsgIcon::Warning, MsgButtons::Ok);
    }
}

bool shell_WriteMission(Mission& m, const std::string& path) {
    if (metafile_Write(m, path.c_str()) != 1) {
        reportWriteFailure(path);
        return false;  // the page keeps the name it had
    }
    m.file_path = path;
    history_NoteFileOnDisk(&m == &mission_Pages().page[1] ? 1 : 0);
    conv_MissionSaved(path);
    maptools_StatusMessage(text_Printf("Map Tools", "SAVED", {ui_PathText(path)}));
    return true;
}

bool shell_ExportMission() {
    FileDialogRequest r;
    r.save = true;
    r.title = text_Get("File I/O", "EXPORT_TITLE");
    r.filters = {{text_Get("File I/O", "KZ_OUT_FILTER_DES"), text_Get("File I/O", "KZ_OUT_FILTER_EXT")}};
    // The binary mission's own extension (from its pattern "*.bms"), never the metafile's: a
    // name typed without one must not land on the mission metafile.
    const std::string ext = ui_FilterExtension(r.filters.front());
    r.defaultExtension = ext;
    proposePageFile(r, page(), ext);
    r.promptOverwrite = true;
    std::optional<std::string> path = platform().fileDialog(r);
    if (!path) return false;
    if (mission_ExportBinary(page(), path->c_str()) != 1) {
        reportWriteFailure(*path);
        return false;
    }
    maptools_StatusMessage(text_Printf("Map Tools", "EXPORTED", {page().item_count, ui_PathText(*path)}));
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

void shell_WriteBackups() { history_WriteBackups(); }

int shell_BackupIntervalMs() {
    // Seconds, from the environment, else the settings file "backup-interval", else ten minutes.
    auto parse = [](const std::string& text) -> int {
        int seconds = 0;
        const char* end = text.data() + text.size();
        const auto r = std::from_chars(text.data(), end, seconds);
        if (r.ec != std::errc() || r.ptr != end || seconds < 1 || seconds > 24 * 3600) return 0;
        return seconds * 1000;
    };
    if (const char* env = std::getenv("SORTIE_BACKUP_INTERVAL"); env && *env) {
        if (const int ms = parse(env)) return ms;
        std::fprintf(stderr, "sortie: SORTIE_BACKUP_INTERVAL=%s is not a number of seconds (1..86400); ignored\n", env);
    }
    const std::vector<std::string> set = platform().settings().list("backup-interval");
    if (!set.empty()) {
        if (const int ms = parse(set.front())) return ms;
        std::fprintf(stderr,
                     "sortie: the backup-interval setting \"%s\" is not a number of seconds (1..86400); ignored\n",
                     set.front().c_str());
    }
    return kBackupPeriodMs;
}

// ---------------------------------------------------------------------------------------
// The dispatcher

void shell_Key(Key key, unsigned mods) {
    // No key of the table names Ctrl or Alt: those combinations are left to shortcuts.
    if (mods & (kModCtrl | kModAlt)) return;
    // A key of the command table runs its command; the rest move and zoom the view.
    if (const int id = actions_ForKey(key)) {
        shell_Command(id);
        return;
    }
    const ViewState& v = view_State();
    const std::int32_t step = v.grid_size / 10;
    switch (key) {
    case Key::Space: shell_Render(); break;
    case Key::Left: moveCentre(-step, 0); break;
    case Key::Right: moveCentre(step, 0); break;
    case Key::Up: moveCentre(0, step); break;
    case Key::Down: moveCentre(0, -step); break;
    case Key::Pad2:
    case Key::Pad4:
    case Key::Pad6:
    case Key::Pad8: shell_RepaintMap(); break;
    default: break;  // F4 and the rest
    }
}

void shell_Timer(int id) {
    if (id == kBackupTimer) shell_WriteBackups();
}

bool shell_CloseRequest() {
    // Each page that holds work no file has is asked about in turn; page 2 as well, since
    // leaving would lose it just the same.
    MissionPages& pages = mission_Pages();
    for (int i = 0; i < 2; ++i) {
        Mission& m = pages.page[static_cast<size_t>(i)];
        if (!pageWorthSaving(m) || !history_PageModified(i)) continue;
        const char* question = i == 0 ? text_Get(kMsg, "SAVE_PAGE_1?") : text_Get(kMsg, "SAVE_PAGE_2?");
        MsgAnswer a = ui_MessageBox(question, text_Get(kMsg, "EXIT"), MsgIcon::Question, MsgButtons::YesNoCancel);
        if (a == MsgAnswer::Cancel) return false;
        if (a == MsgAnswer::Yes) {
            if (!history_SavePage(i, false)) return false;  // cancelled or not written: stay
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
    add(bar::kColourMap, BarKind::PushRadio, "COLOR_MAP_BUTTON", cw, top, 4 * cw, tall, kChecked, cmd::kColourMap,
        true);
    add(bar::kElevationMap, BarKind::PushRadio, "DEPTH_MAP_BUTTON", 5 * cw, top, 4 * cw, tall, kUnchecked,
        cmd::kElevationMap);
    add(bar::kEdgeMap, BarKind::PushRadio, "FIRST_ORDER_MAP_BUTTON", 9 * cw, top, 4 * cw, tall, kUnchecked,
        cmd::kEdgeMap);
    add(bar::kPage1, BarKind::PushRadio, "PAGE_1_BUTTON", 18 * cw, top, 4 * cw, tall, kChecked, cmd::kPage1, true);
    add(bar::kPage2, BarKind::PushRadio, "PAGE_2_BUTTON", 22 * cw, top, 4 * cw, tall, kUnchecked, cmd::kPage2);
    add(bar::kVisibleLayers, BarKind::PushButton, "LAYER_BUTTON", 62 * cw, top, 20 * cw, tall, kUnchecked,
        cmd::kVisibleLayers);
    add(bar::kUnselectAll, BarKind::PushButton, "UNSELECT_ALL_BUTTON", 84 * cw, top, 20 * cw, tall, kUnchecked,
        cmd::kUnselectAll);
    add(bar::kGridBox, BarKind::GroupBox, "GRID", cw, ch / 2 + 2 * ch, 25 * cw, 4 * ch, kUnchecked, 0);
    const int gridRow = ch / 2 + 3 * ch + ch / 4;
    add(bar::kGridShown, BarKind::CheckBox, "VIEW", 2 * cw, gridRow, 14 * cw, ch, kChecked, cmd::kGridShown);
    add(bar::kGridSmaller, BarKind::PushButton, "GRID-", 17 * cw, gridRow, 3 * cw, ch, kUnchecked, cmd::kGridSmaller);
    add(bar::kGridBigger, BarKind::PushButton, "GRID+", 21 * cw, gridRow, 3 * cw, ch, kUnchecked, cmd::kGridBigger);
    const int snapRow = 4 * ch + 2 * (ch / 2);
    add(bar::kSnap, BarKind::CheckBox, "SNAP_TO_GRID", 2 * cw, snapRow, 14 * cw, ch, kUnchecked, cmd::kSnap);
    add(bar::kGridLabel, BarKind::Label, "DEFAULT_GRID_SIZE", 17 * cw, snapRow, 8 * cw, ch, kUnchecked, 0);
    add(bar::kShowBox, BarKind::GroupBox, "SHOW", cw, 6 * ch + ch / 2, 25 * cw, 17 * ch + ch / 2, kUnchecked, 0);
    struct Show {
        int id;
        const char* key;
        int command;
        int check;
    };
    static constexpr Show kShows[] = {
        {bar::kVehicles, "VEHICLES", cmd::kToggleVehicles, kChecked},
        {bar::kPeople, "PEOPLE", cmd::kTogglePeople, kChecked},
        {bar::kBuildings, "BUILDINGS", cmd::kToggleBuildings, kChecked},
        {bar::kObjects, "OBJECTS", cmd::kToggleObjects, kChecked},
        {bar::kDecorations, "DECORATIONS", cmd::kToggleDecorations, kChecked},
        {bar::kMarkers, "MARKERS", cmd::kToggleMarkers, kChecked},
        {bar::kFovCones, "FOV_CONES", cmd::kToggleFovCones, kChecked},
        {bar::kAreaTriggers, "AREA_TRIGGERS", cmd::kToggleAreaTriggers, kChecked},
        {bar::kWater, "WATER", cmd::kToggleWater, kChecked},
        {bar::kTeamBlue, "TEAM_BLUE", cmd::kToggleBlue, kChecked},
        {bar::kTeamRed, "TEAM_RED", cmd::kToggleRed, kChecked},
        {bar::kTeamGreen, "TEAM_GREEN", cmd::kToggleGreen, kChecked},
        {bar::kTeamYellow, "TEAM_YELLOW", cmd::kToggleYellow, kChecked},
        {bar::kTeamViolet, "TEAM_VIOLET", cmd::kToggleViolet, kChecked},
        {bar::kCharacters, "CHARACTERS", cmd::kToggleCharacters, kUnchecked},
    };
    int row = 7;
    for (const Show& s : kShows) {
        add(s.id, BarKind::CheckBox, s.key, 2 * cw, row * ch + ch / 2, 17 * cw, ch, s.check, s.command);
        ++row;
    }
    return bar;
}

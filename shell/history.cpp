#include "shell/history.h"

#include "core/text.h"
#include "gamedata/model.h"
#include "mapview/interact.h"
#include "mapview/view.h"
#include "mapview/gesture.h"
#include "mission/metafile.h"
#include "mission/mission.h"
#include "mission/page_load.h"
#include "mission/undo.h"
#include "shell/shell.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

namespace {

namespace fs = std::filesystem;

constexpr const char* kUndo = "Undo";
constexpr const char* kMsg = "Dialog Message";
constexpr const char* kStepEdit = "STEP_EDIT";

// The action in progress: the page it began on, the selection then, and its step's name.
struct Action {
    int depth = 0;
    bool open = false;
    int page = 0;
    std::vector<std::int32_t> selection;
    const char* name = nullptr;
};

struct HistoryState {
    Action action;
    // What the window shows now, so it is only told about changes.
    bool titleKnown = false;
    int titlePage = 0;
    bool titleModified = false;
    std::string undoText, redoText;
    int undoEnabled = -1, redoEnabled = -1;
};
HistoryState g;

int currentIndex() { return mission_Pages().current == 1 ? 1 : 0; }
Mission& pageAt(int index) { return mission_Pages().page[index == 1 ? 1 : 0]; }

UndoHistory& historyOf(int index) {
    UndoHistory& h = undo_PageHistory(index);
    // A history not started yet takes the page as it stands; a page holding items then was
    // never saved.
    if (!h.started()) {
        const Mission& m = pageAt(index);
        h.reset(m, m.item_count == 0);
    }
    return h;
}

const HistoryCommand* commandInfo(int id) {
    for (const HistoryCommand& c : history_Commands())
        if (c.id == id) return &c;
    return nullptr;
}

// Commits what changed on a page since its last step, as a step of the open action.
void commitPage(int index) {
    Mission& m = pageAt(index);
    const bool own = g.action.open && g.action.page == index;
    const std::vector<std::int32_t> none;
    UndoHistory& h = historyOf(index);
    const char* name = g.action.name ? g.action.name : kStepEdit;
    if (!h.commit(m, name, own ? g.action.selection : none)) return;
    // A general information session that picked another terrain is named after that.
    if (std::string_view(name) == "STEP_GENERAL" && h.lastChangedTerrain()) h.renameLast("STEP_TERRAIN");
}

void refreshTitleIfChanged() {
    const int page = currentIndex();
    const bool modified = historyOf(page).modifiedAfterCommit();
    if (g.titleKnown && g.titlePage == page && g.titleModified == modified) return;
    shell_RefreshTitle();  // sets titleKnown through history_MarkTitle
}

void closeAction() {
    commitPage(g.action.page);
    if (currentIndex() != g.action.page) commitPage(currentIndex());
    g.action = Action{};
    refreshTitleIfChanged();
    history_RefreshMenu();
}

// ---------------------------------------------------------------------------------------
// Backups

fs::path backupFile(int index) { return fs::path(shell_BackupFolder()) / (index == 0 ? "MEDP1BCK.MIS" : "MEDP2BCK.MIS"); }
fs::path notesFile() { return fs::path(shell_BackupFolder()) / "backups.txt"; }

// The notes beside the backups: the file each page had, and the content last offered.
using Notes = std::map<std::string, std::string>;

Notes readNotes() {
    Notes n;
    std::ifstream in(notesFile());
    std::string line;
    while (std::getline(in, line)) {
        const std::size_t eq = line.find('=');
        if (eq != std::string::npos) n[line.substr(0, eq)] = line.substr(eq + 1);
    }
    return n;
}

void writeNotes(const Notes& n) {
    std::error_code ec;
    fs::create_directories(notesFile().parent_path(), ec);
    std::ofstream out(notesFile(), std::ios::trunc);
    for (const auto& [k, v] : n) out << k << '=' << v << '\n';
}

std::string pageKey(int index, const char* what) { return "page" + std::to_string(index + 1) + "." + what; }

bool backupsKept() { return shell_State().args.recovery; }

// The backup of a page is no longer wanted: its content was saved or given up.
void dropBackup(int index) {
    if (!backupsKept()) return;
    std::error_code ec;
    fs::remove(backupFile(index), ec);
}

std::string contentHash(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::uint64_t h = 1469598103934665603ull;  // FNV-1a
    char buf[65536];
    while (in.read(buf, sizeof buf) || in.gcount() > 0) {
        for (std::streamsize i = 0; i < in.gcount(); ++i) {
            h ^= static_cast<unsigned char>(buf[i]);
            h *= 1099511628211ull;
        }
    }
    char out[17];
    std::snprintf(out, sizeof out, "%016llx", static_cast<unsigned long long>(h));
    return out;
}

std::string localTime(fs::file_time_type t) {
    const auto sys = std::chrono::time_point_cast<std::chrono::system_clock::duration>(
        t - fs::file_time_type::clock::now() + std::chrono::system_clock::now());
    const std::time_t tt = std::chrono::system_clock::to_time_t(sys);
    std::tm tm{};
    localtime_r(&tt, &tm);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M", &tm);
    return buf;
}

}  // namespace

// ---------------------------------------------------------------------------------------

const std::vector<HistoryCommand>& history_Commands() {
    static const std::vector<HistoryCommand> table = {
        {cmd::kUndo, "MENU_UNDO", "Ctrl+Z", nullptr},
        {cmd::kRedo, "MENU_REDO", "Ctrl+Y; Ctrl+Shift+Z", nullptr},
        {cmd::kSaveAs, "MENU_SAVE_AS", "Ctrl+Shift+S", nullptr},
        {cmd::kSave, nullptr, "Ctrl+S", nullptr},
        {cmd::kOpen, nullptr, "Ctrl+O", nullptr},
        {cmd::kExport, nullptr, "Ctrl+E", "STEP_EXPORT"},
        {cmd::kExit, nullptr, "Ctrl+Q", nullptr},
        {cmd::kCut, nullptr, "Ctrl+X", "STEP_CUT"},
        {cmd::kCopy, nullptr, "Ctrl+C", nullptr},
        {cmd::kPaste, nullptr, "Ctrl+V", "STEP_PASTE"},
        {cmd::kDelete, nullptr, nullptr, "STEP_DELETE"},
        {cmd::kClear, nullptr, nullptr, "STEP_CLEAR"},
        {cmd::kMove, nullptr, nullptr, "STEP_MOVE"},
        {cmd::kUnhideAll, nullptr, nullptr, "STEP_UNHIDE"},
        {cmd::kHideSelected, nullptr, nullptr, "STEP_HIDE"},
        {cmd::kHideUnselected, nullptr, nullptr, "STEP_HIDE"},
        {cmd::kVisibleLayers, nullptr, nullptr, "STEP_LAYERS"},
        {cmd::kLayerNames, nullptr, nullptr, "STEP_LAYER_NAMES"},
        {cmd::kBriefing, nullptr, nullptr, "STEP_BRIEFING"},
        {cmd::kItemAttributes, nullptr, nullptr, "STEP_ATTRIBUTES"},
        {cmd::kGeneralInfo, nullptr, nullptr, "STEP_GENERAL"},
        {cmd::kWaypoints, nullptr, nullptr, "STEP_WAYPOINTS"},
        {cmd::kEvents, nullptr, nullptr, "STEP_EVENTS"},
        {cmd::kGroups, nullptr, nullptr, "STEP_GROUPS"},
        {cmd::kAreaTriggers, nullptr, nullptr, "STEP_AREAS"},
    };
    return table;
}

void history_AddToMenu(std::vector<MenuEntry>& menu) {
    auto entry = [](int id) {
        MenuEntry e;
        e.id = id;
        const HistoryCommand* c = commandInfo(id);
        e.text = text_Get(kUndo, c->menuKey);
        e.shortcut = c->shortcut;
        return e;
    };
    for (MenuEntry& top : menu) {
        for (std::size_t i = 0; i < top.children.size(); ++i) {
            MenuEntry& e = top.children[i];
            if (const HistoryCommand* c = commandInfo(e.id); c && c->shortcut) e.shortcut = c->shortcut;
        }
        auto& items = top.children;
        for (std::size_t i = 0; i < items.size(); ++i) {
            if (items[i].id == cmd::kSave) {
                items.insert(items.begin() + std::ptrdiff_t(i) + 1, entry(cmd::kSaveAs));
                break;
            }
        }
        for (std::size_t i = 0; i < items.size(); ++i) {
            if (items[i].id == cmd::kCut) {
                MenuEntry undo = entry(cmd::kUndo), redo = entry(cmd::kRedo);
                undo.enabled = redo.enabled = false;
                g.undoText = undo.text;
                g.redoText = redo.text;
                g.undoEnabled = g.redoEnabled = 0;
                items.insert(items.begin() + std::ptrdiff_t(i), {undo, redo, MenuEntry{}});
                break;
            }
        }
    }
}

void history_Reset() {
    history_Forget();
    for (int i = 0; i < 2; ++i) historyOf(i);
}

void history_Forget() {
    g = HistoryState{};
    for (int i = 0; i < 2; ++i) undo_PageHistory(i).forget();
}

void history_Baseline(int page, bool saved) {
    // The map tidies the path numbers of stray waypoint markers when it draws them; tidied
    // now, drawing changes nothing.
    mission_BuildWaypointPaths(pageAt(page));
    historyOf(page).reset(pageAt(page), saved);
    if (g.action.open && g.action.page == page) g.action.selection = undo_Selection(pageAt(page));
    g.titleKnown = false;
}

bool history_PageModified(int page) { return historyOf(page).modified(pageAt(page)); }

void history_Begin(int commandId) {
    Action& a = g.action;
    if (!a.open) {
        a.open = true;
        a.page = currentIndex();
        a.selection = undo_Selection(pageAt(a.page));
        a.name = nullptr;
    }
    if (!a.name)
        if (const HistoryCommand* c = commandInfo(commandId)) a.name = c->stepKey;
    ++a.depth;
}

void history_End() {
    Action& a = g.action;
    if (a.depth > 0) --a.depth;
    if (a.depth > 0 || !a.open) return;
    // A gesture in progress keeps the action open: the whole gesture is one step.
    if (!gesture_Idle(gesture_State())) return;
    closeAction();
}

void history_MapBegin(MouseButton button, unsigned mods, bool press) {
    const GestureState& gs = gesture_State();
    const char* name = nullptr;
    if (gs.state == kGestureMove) name = "STEP_MOVE";
    else if (gs.state == kGesturePlace) name = "STEP_PASTE";
    else if (press && button == MouseButton::Left && view_State().insert_mode && !(mods & (kModShift | kModCtrl)))
        name = "STEP_INSERT";
    history_Begin(0);
    if (!g.action.name) g.action.name = name;
}

void history_MapEnd() { history_End(); }

bool history_Command(int id) {
    if (id == cmd::kSaveAs) {
        history_SavePage(currentIndex(), true);
        return true;
    }
    if (id != cmd::kUndo && id != cmd::kRedo) return false;
    // A gesture in progress ends first; what changed so far becomes a step of its own.
    interact_Cancel();
    const int index = currentIndex();
    commitPage(index);
    Mission& m = pageAt(index);
    UndoHistory& h = historyOf(index);
    const UndoResult r = id == cmd::kUndo ? h.undo(m) : h.redo(m);
    if (!r.done) return true;
    if (r.itemsAdded || r.terrainChanged) model_LoadForItems();
    shell_Render();
    shell_RepaintItems();
    shell_RepaintMap();
    return true;
}

bool history_SavePage(int index, bool askName) {
    Mission& m = pageAt(index);
    UndoHistory& h = historyOf(index);
    commitPage(index);
    const std::string path(mission_Text(m.info.file_path));
    const bool written = (askName || path.empty()) ? shell_SaveMission(m) : shell_WriteMission(m, path);
    if (!written) return false;
    h.adoptPath(m);
    // Writing rebuilds the derived tables and may tidy a marker's path number: that is what
    // the file holds now.
    commitPage(index);
    h.markSaved(m);
    dropBackup(index);
    if (index == currentIndex()) shell_RefreshTitle();
    history_RefreshMenu();
    return true;
}

bool history_AskAboutPage(int index, const char* captionKey) {
    if (!history_PageModified(index)) return true;
    const MsgAnswer a = ui_MessageBox(text_Printf(kUndo, "UNSAVED_PAGE?", {index + 1}), text_Get(kUndo, captionKey),
                                      MsgIcon::Question, MsgButtons::YesNoCancel);
    if (a == MsgAnswer::Cancel) return false;
    if (a == MsgAnswer::Yes) return history_SavePage(index, false);
    return true;
}

std::string history_MarkTitle(const std::string& title) {
    const int page = currentIndex();
    const bool modified = history_PageModified(page);
    g.titleKnown = true;
    g.titlePage = page;
    g.titleModified = modified;
    return modified ? text_Printf(kUndo, "TITLE_MODIFIED", {title}) : title;
}

void history_RefreshMenu() {
    const UndoHistory& h = historyOf(currentIndex());
    auto label = [](const char* step, const char* plain, const char* named) {
        if (!step) return std::string(text_Get(kUndo, plain));
        return text_Printf(kUndo, named, {text_Get(kUndo, step)});
    };
    const std::string undo = label(h.undoName(), "MENU_UNDO", "MENU_UNDO_NAMED");
    const std::string redo = label(h.redoName(), "MENU_REDO", "MENU_REDO_NAMED");
    Platform& ui = platform();
    if (undo != g.undoText) ui.setMenuText(cmd::kUndo, g.undoText = undo);
    if (redo != g.redoText) ui.setMenuText(cmd::kRedo, g.redoText = redo);
    if (int on = h.canUndo(); on != g.undoEnabled) ui.setMenuEnabled(cmd::kUndo, (g.undoEnabled = on) != 0);
    if (int on = h.canRedo(); on != g.redoEnabled) ui.setMenuEnabled(cmd::kRedo, (g.redoEnabled = on) != 0);
}

// ---------------------------------------------------------------------------------------
// Backups and recovery

void history_WriteBackups() {
    std::error_code ec;
    fs::create_directories(shell_BackupFolder(), ec);
    Notes notes = readNotes();
    bool noted = false;
    for (int i = 0; i < 2; ++i) {
        Mission& m = pageAt(i);
        if (m.item_count <= 0 || !history_PageModified(i)) {
            // An unmodified page is on its file; an old backup of it would only be offered.
            dropBackup(i);
            continue;
        }
        // metafile_Write writes beside the target and renames, so the last backup survives
        // a crash in the middle of the next one.
        if (metafile_Write(m, backupFile(i).string().c_str()) != 1) continue;
        notes[pageKey(i, "file")] = std::string(mission_Text(m.info.file_path));
        noted = true;
    }
    if (noted) writeNotes(notes);
}

void history_OfferRecovery() {
    if (!backupsKept()) return;
    Notes notes = readNotes();
    bool changed = false, recovered = false;
    for (int i = 0; i < 2; ++i) {
        const fs::path backup = backupFile(i);
        std::error_code ec;
        if (!fs::is_regular_file(backup, ec)) continue;
        const std::string hash = contentHash(backup);
        if (notes[pageKey(i, "offered")] == hash) continue;
        const std::string file = notes[pageKey(i, "file")];
        const auto backupTime = fs::last_write_time(backup, ec);
        if (ec) continue;
        // A file written after the backup holds newer work than it.
        if (!file.empty() && fs::exists(file, ec)) {
            const auto fileTime = fs::last_write_time(file, ec);
            if (!ec && fileTime >= backupTime) continue;
        }
        // Only into an empty page, or the page that holds the same file.
        Mission& m = pageAt(i);
        const std::string pagePath(mission_Text(m.info.file_path));
        if (!(m.item_count == 0 && pagePath.empty()) && pagePath != file) continue;
        notes[pageKey(i, "offered")] = hash;
        changed = true;
        const std::string where = file.empty() ? std::string(text_Get(kUndo, "NO_FILE")) : ui_PathText(file);
        const MsgAnswer a = ui_MessageBox(text_Printf(kUndo, "RECOVER_PAGE?", {i + 1, localTime(backupTime), where, i + 1}),
                                          text_Get(kUndo, "RECOVER"), MsgIcon::Question, MsgButtons::YesNo);
        if (a != MsgAnswer::Yes) continue;
        metafile_Read(m, backup.string().c_str());
        mission_SetText(m.info.file_path, file);  // saving goes where the page's work came from
        model_LoadForItems();
        history_Baseline(i, false);
        recovered = true;
    }
    if (changed) writeNotes(notes);
    if (recovered) {
        shell_PageRefresh();
        history_RefreshMenu();
    }
}

void history_CleanExit() {
    dropBackup(0);
    dropBackup(1);
}

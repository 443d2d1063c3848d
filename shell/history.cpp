#include "shell/history.h"

#include "core/file.h"
#include "core/text.h"
#include "gamedata/model.h"
#include "mapview/interact.h"
#include "mapview/view.h"
#include "mapview/gesture.h"
#include "mission/metafile.h"
#include "mission/mission.h"
#include "mission/page_load.h"
#include "mission/undo.h"
#include "platform/settings.h"
#include "shell/actions.h"
#include "shell/recent.h"
#include "shell/shell.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>

#include <stdlib.h>

namespace {

namespace fs = std::filesystem;

constexpr const char* kUndo = "Undo";
constexpr const char* kMsg = "Dialog Message";
constexpr const char* kStepEdit = "STEP_EDIT";

// The action in progress: the page it began on, the selection then, and its step's name.
struct OpenAction {
    int depth = 0;
    bool open = false;
    int page = 0;
    std::vector<std::int32_t> selection;
    const char* name = nullptr;
};

struct HistoryState {
    OpenAction action;
    // What the window shows now, so it is only told about changes.
    bool titleKnown = false;
    int titlePage = 0;
    bool titleModified = false;
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
    g.action = OpenAction{};
    refreshTitleIfChanged();  // the menus' states follow every command and map event (shell)
}

// The page's file on disk: what it was when the page last read or wrote it.
struct DiskStamp {
    bool known = false;
    bool exists = false;
    std::uintmax_t size = 0;
    fs::file_time_type time{};
    std::uint64_t hash = 0;
};
std::array<DiskStamp, 2> g_disk;

std::uint64_t fileHash(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::uint64_t h = 1469598103934665603ull;  // FNV-1a
    char buf[65536];
    while (in.read(buf, sizeof buf) || in.gcount() > 0) {
        for (std::streamsize i = 0; i < in.gcount(); ++i) {
            h ^= static_cast<unsigned char>(buf[i]);
            h *= 1099511628211ull;
        }
    }
    return h;
}

DiskStamp stampOf(const std::string& path) {
    DiskStamp d;
    d.known = true;
    std::error_code ec;
    if (path.empty() || !fs::is_regular_file(path, ec)) return d;
    d.exists = true;
    d.size = fs::file_size(path, ec);
    d.time = fs::last_write_time(path, ec);
    d.hash = fileHash(path);
    return d;
}

bool samePath(const std::string& a, const std::string& b) {
    if (a.empty() || b.empty()) return false;
    std::error_code ec;
    if (fs::equivalent(a, b, ec)) return true;
    return recent_Normal(a) == recent_Normal(b);
}

// ---------------------------------------------------------------------------------------
// Backups
//
// Each running editor keeps its backups in a folder of its own in the state folder,
// "editor-XXXXXX", holding MEDP1BCK.MIS, MEDP2BCK.MIS, backups.txt (the file each page had)
// and a lock held while the editor runs. At start-up the backups of editors that no longer
// run (their lock is free) are offered; those of running editors are never touched. Backups
// of older versions of the editor, in the state folder itself, are offered the same way.

constexpr const char* kBackupName[2] = {"MEDP1BCK.MIS", "MEDP2BCK.MIS"};
constexpr const char* kNotesName = "backups.txt";
constexpr const char* kLockName = "lock";
constexpr const char* kOwnPrefix = "editor-";

struct BackupState {
    fs::path own;                     // this editor's folder; empty until made
    int lockFd = -1;                  // the lock on it
    std::array<bool, 2> recovered{};  // the page holds recovered work: its first Save asks for a name
};
BackupState gb;

bool backupsKept() { return shell_State().args.recovery; }

// This editor's backup folder, made and locked on first use.
const fs::path& ownFolder() {
    if (!gb.own.empty()) return gb.own;
    std::error_code ec;
    fs::create_directories(shell_BackupFolder(), ec);
    std::string tmpl = (fs::path(shell_BackupFolder()) / (std::string(kOwnPrefix) + "XXXXXX")).string();
    if (::mkdtemp(tmpl.data()) == nullptr) return gb.own;
    gb.lockFd = file_TryLock((fs::path(tmpl) / kLockName).string());
    gb.own = tmpl;
    return gb.own;
}

// The notes beside a set of backups: "pageN.file=PATH", the file each page had.
using Notes = std::map<std::string, std::string>;

Notes readNotes(const fs::path& folder) {
    Notes n;
    for (const std::string& line : settings_ReadLines((folder / kNotesName).string(), kSettingsMaxBytes)) {
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        const std::string key = line.substr(0, eq), value = line.substr(eq + 1);
        // Only what the editor writes: a page's file, as an absolute path.
        if ((key == "page1.file" || key == "page2.file") && (value.empty() || fs::path(value).is_absolute()))
            n[key] = value;
    }
    return n;
}

void writeNotes(const fs::path& folder, const Notes& n) {
    std::string text;
    for (const auto& [k, v] : n) text += k + '=' + v + '\n';
    file_WriteAtomic((folder / kNotesName).string(), text.data(), text.size());
}

std::string pageKey(int index) { return "page" + std::to_string(index + 1) + ".file"; }

// This editor's backup of a page is no longer wanted: its content was saved or given up.
void dropBackup(int index) {
    if (gb.own.empty()) return;
    std::error_code ec;
    fs::remove(gb.own / kBackupName[index], ec);
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

// A set of backups left by an editor that no longer runs, locked while it is looked at.
struct Orphan {
    fs::path folder;
    bool legacy = false;  // the state folder itself (older versions), whose files are not all ours
    int lockFd = -1;
};

std::vector<Orphan> findOrphans() {
    std::vector<Orphan> found;
    const fs::path state(shell_BackupFolder());
    std::error_code ec;
    if (!fs::is_directory(state, ec)) return found;
    // Older versions wrote straight into the state folder and took no lock; a lock of our
    // own keeps two new editors from offering the same backups.
    bool legacy = false;
    for (const char* name : kBackupName) legacy = legacy || fs::is_regular_file(state / name, ec);
    if (legacy) {
        const int fd = file_TryLock((state / "legacy.lock").string());
        if (fd >= 0) found.push_back({state, true, fd});
    }
    std::vector<fs::path> folders;
    for (fs::directory_iterator it(state, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.rfind(kOwnPrefix, 0) != 0 || it->path() == gb.own) continue;
        std::error_code e2;
        if (it->is_directory(e2) && !it->is_symlink(e2)) folders.push_back(it->path());
    }
    std::sort(folders.begin(), folders.end());  // the same order on every start
    for (const fs::path& f : folders) {
        const int fd = file_TryLock((f / kLockName).string());
        if (fd >= 0) found.push_back({f, false, fd});  // its editor no longer runs
    }
    return found;
}

// Done with an orphan: a folder of a gone editor that holds no backup any more goes.
void releaseOrphan(Orphan& o) {
    std::error_code ec;
    bool empty = true;
    for (const char* name : kBackupName) empty = empty && !fs::exists(o.folder / name, ec);
    if (empty) {
        fs::remove(o.folder / kNotesName, ec);
        if (o.legacy) {
            fs::remove(o.folder / "legacy.lock", ec);
        } else {
            fs::remove(o.folder / kLockName, ec);
            fs::remove(o.folder, ec);
        }
    }
    file_Unlock(o.lockFd);
    o.lockFd = -1;
}

// A page recovered work can go into: empty and never given a file, or holding the very file
// the work came from, as opened and not changed since.
bool pageTakes(int index, const std::string& file) {
    const Mission& m = pageAt(index);
    if (history_PageModified(index)) return false;
    if (m.item_count == 0 && m.file_path.empty()) return true;
    return !file.empty() && m.file_path == file;
}

// Offers one backup; true when it was answered (taken or given up), false when it is kept.
bool offerBackup(const fs::path& backup, int index, const std::string& file) {
    std::error_code ec;
    const auto backupTime = fs::last_write_time(backup, ec);
    if (ec) return false;
    // A file written after the backup holds newer work than it: not offered.
    if (!file.empty() && fs::exists(file, ec)) {
        const auto fileTime = fs::last_write_time(file, ec);
        if (!ec && fileTime >= backupTime) return false;
    }
    // Into its own page, else the other page, else kept for a later start.
    int target = -1;
    for (int p : {index, 1 - index})
        if (target < 0 && pageTakes(p, file)) target = p;
    if (target < 0) return false;

    // Read completely into a page of its own before anything is asked: a backup that does not
    // read whole is never offered, and stays where it is.
    auto fresh = std::make_unique<Mission>();
    MetafileLines lines;
    MetafileReadOptions options;
    options.lines = &lines;
    if (metafile_Read(*fresh, backup.string().c_str(), options) != 1) {
        ui_MessageBox(text_Printf(kUndo, "BACKUP_NOT_READ", {index + 1, ui_PathText(backup.string())}),
                      text_Get(kUndo, "RECOVER"), MsgIcon::Warning, MsgButtons::Ok);
        return false;
    }
    const std::string where = file.empty() ? std::string(text_Get(kUndo, "NO_FILE")) : ui_PathText(file);
    const MsgAnswer a =
        ui_MessageBox(text_Printf(kUndo, "RECOVER_PAGE?", {index + 1, localTime(backupTime), where, target + 1}),
                      text_Get(kUndo, "RECOVER"), MsgIcon::Question, MsgButtons::YesNo);
    if (a == MsgAnswer::Yes) {
        Mission& m = pageAt(target);
        mission_TakeOver(m, *fresh, file);  // the file is proposed when the page is first saved
        pageload_Models();
        history_Baseline(target, false);
        gb.recovered[std::size_t(target)] = true;
    }
    // Answered: the work is in a page (and backed up from there) or given up.
    fs::remove(backup, ec);
    return true;
}

}  // namespace

// ---------------------------------------------------------------------------------------

void history_Reset() {
    history_Forget();
    for (int i = 0; i < 2; ++i) historyOf(i);
}

void history_Forget() {
    g = HistoryState{};
    g_disk = {};
    // As when the editor stops without a clean exit: the backups stay, the lock goes.
    file_Unlock(gb.lockFd);
    gb = BackupState{};
    for (int i = 0; i < 2; ++i) undo_PageHistory(i).forget();
}

void history_Baseline(int page, bool saved) {
    historyOf(page).reset(pageAt(page), saved);
    gb.recovered[page == 1 ? 1 : 0] = false;
    if (g.action.open && g.action.page == page) g.action.selection = undo_Selection(pageAt(page));
    g.titleKnown = false;
}

bool history_PageModified(int page) { return historyOf(page).modified(pageAt(page)); }

void history_Begin(int commandId) {
    OpenAction& a = g.action;
    if (!a.open) {
        a.open = true;
        a.page = currentIndex();
        a.selection = undo_Selection(pageAt(a.page));
        a.name = nullptr;
    }
    if (!a.name) a.name = actions_StepKey(commandId);
    ++a.depth;
}

void history_End() {
    OpenAction& a = g.action;
    if (a.depth > 0) --a.depth;
    if (a.depth > 0 || !a.open) return;
    // A gesture in progress keeps the action open: the whole gesture is one step.
    if (!gesture_Idle(gesture_State())) return;
    closeAction();
}

void history_MapBegin(MouseButton button, unsigned mods, bool press) {
    const GestureState& gs = gesture_State();
    const char* name = nullptr;
    if (gs.state == kGestureMove)
        name = "STEP_MOVE";
    else if (gs.state == kGesturePlace)
        name = "STEP_PASTE";
    else if (press && button == MouseButton::Left && view_State().insert_mode && !(mods & (kModShift | kModCtrl)))
        name = "STEP_INSERT";
    history_Begin(0);
    if (!g.action.name) g.action.name = name;
}

void history_MapEnd() { history_End(); }

void history_Undo(int index, bool undo) {
    // A gesture in progress ends first; what changed so far becomes a step of its own.
    interact_Cancel();
    commitPage(index);
    Mission& m = pageAt(index);
    UndoHistory& h = historyOf(index);
    const UndoResult r = undo ? h.undo(m) : h.redo(m);
    if (!r.done) return;
    if (r.itemsAdded || r.terrainChanged) pageload_Models();
    shell_Render();
    shell_RepaintItems();
    shell_RepaintMap();
}

bool history_CanUndo(int index, bool undo) {
    const UndoHistory& h = historyOf(index);
    return undo ? h.canUndo() : h.canRedo();
}

bool history_SavePage(int index, bool askName) {
    Mission& m = pageAt(index);
    UndoHistory& h = historyOf(index);
    commitPage(index);
    const std::string path(m.file_path);
    // Recovered work is saved under a name the user confirms: the file it came from may hold
    // other work by now.
    askName = askName || gb.recovered[std::size_t(index)];
    if (!askName && !path.empty() && history_FileChangedOnDisk(index)) {
        // Someone else wrote the file since this page read or wrote it: overwriting would
        // lose that work without a word.
        const MsgAnswer a = ui_MessageBox(text_Printf(kUndo, "FILE_CHANGED_ON_DISK?", {ui_PathText(path)}),
                                          text_Get(kUndo, "SAVE"), MsgIcon::Warning, MsgButtons::YesNoCancel);
        if (a == MsgAnswer::Cancel) return false;
        askName = a == MsgAnswer::No;
    }
    const bool written = (askName || path.empty()) ? shell_SaveMission(m) : shell_WriteMission(m, path);
    if (!written) return false;
    gb.recovered[std::size_t(index)] = false;
    // Writing only reads the page: it is what the file holds now, under the path written.
    h.markSaved(m);
    dropBackup(index);
    if (index == currentIndex()) shell_RefreshTitle();
    shell_RefreshMenuState();
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

namespace {
std::string stepLabel(const char* step, const char* plain, const char* named) {
    if (!step) return std::string(text_Get(kUndo, plain));
    return text_Printf(kUndo, named, {text_Get(kUndo, step)});
}
}  // namespace

std::string history_UndoLabel(int index) {
    return stepLabel(historyOf(index).undoName(), "MENU_UNDO", "MENU_UNDO_NAMED");
}

std::string history_RedoLabel(int index) {
    return stepLabel(historyOf(index).redoName(), "MENU_REDO", "MENU_REDO_NAMED");
}

// ---------------------------------------------------------------------------------------
// Backups and recovery

void history_WriteBackups() {
    const fs::path& folder = ownFolder();
    if (folder.empty()) return;
    Notes notes = readNotes(folder);
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
        if (metafile_Write(m, (folder / kBackupName[i]).string().c_str()) != 1) continue;
        // An absolute path, so the note means the same whatever folder the next editor starts in.
        std::error_code ec;
        notes[pageKey(i)] = m.file_path.empty() ? std::string() : fs::absolute(m.file_path, ec).string();
        noted = true;
    }
    if (noted) writeNotes(folder, notes);
}

void history_OfferRecovery() {
    if (!backupsKept()) return;
    ownFolder();  // locked first, so that an editor starting now sees this one running
    bool recovered = false;
    for (Orphan& o : findOrphans()) {
        const Notes notes = readNotes(o.folder);
        for (int i = 0; i < 2; ++i) {
            const fs::path backup = o.folder / kBackupName[i];
            std::error_code ec;
            if (!fs::is_regular_file(backup, ec)) continue;
            const auto note = notes.find(pageKey(i));
            const bool before = gb.recovered[0] || gb.recovered[1];
            offerBackup(backup, i, note == notes.end() ? std::string() : note->second);
            recovered = recovered || (!before && (gb.recovered[0] || gb.recovered[1]));
        }
        releaseOrphan(o);
    }
    if (recovered) {
        shell_PageRefresh();
        shell_RefreshMenuState();
    }
}

std::map<std::string, std::string> history_ReadBackupNotes(const std::string& folder) { return readNotes(folder); }

// ---------------------------------------------------------------------------------------
// The page's file on disk

void history_NoteFileOnDisk(int page) {
    const int i = page == 1 ? 1 : 0;
    g_disk[std::size_t(i)] = stampOf(pageAt(i).file_path);
}

bool history_FileChangedOnDisk(int page) {
    const int i = page == 1 ? 1 : 0;
    const DiskStamp& was = g_disk[std::size_t(i)];
    if (!was.known || pageAt(i).file_path.empty()) return false;
    const DiskStamp now = stampOf(pageAt(i).file_path);
    // Size and time first; the content decides when they say nothing (a copy with its time kept).
    // A file that appeared or went since holds no one's work that a save would overwrite.
    if (!now.exists || !was.exists) return false;
    return now.size != was.size || now.time != was.time || now.hash != was.hash;
}

int history_PageHolding(const std::string& path, int except) {
    for (int i = 0; i < 2; ++i)
        if (i != except && samePath(pageAt(i).file_path, path)) return i;
    return -1;
}

bool history_PageRecovered(int page) { return gb.recovered[page == 1 ? 1 : 0]; }

std::string history_BackupPath(int page) {
    if (gb.own.empty()) return {};
    return (gb.own / kBackupName[page == 1 ? 1 : 0]).string();
}

void history_CleanExit() {
    if (gb.own.empty()) return;
    // Nothing of this editor's is left: backups, notes, lock and folder.
    std::error_code ec;
    dropBackup(0);
    dropBackup(1);
    fs::remove(gb.own / kNotesName, ec);
    fs::remove(gb.own / kLockName, ec);
    fs::remove(gb.own, ec);
    file_Unlock(gb.lockFd);
    gb = BackupState{};
}

// The editor's shell: start-up in its fixed order, the main window's command dispatcher
// (buttons, menus, keys, the backup timer, the exit confirmation) and the refresh actions
// that bring the window up to date after a command. No toolkit here: the shell talks to the
// user through platform/ui.h only, so the tests drive it through the fake platform.
#pragma once

#include "shell/actions.h"
#include "platform/ui.h"

#include <cstdint>
#include <string>
#include <vector>

struct Mission;

// ---------------------------------------------------------------------------------------
// Command line

struct ShellArgs {
    std::string dataDir;          // game data root; empty: the current folder
    std::string mission;          // metafile opened into page 1 at start; empty: none
    bool showAll = false;         // /SHOWALL: hidden item definitions are listed too
    bool sixteen = false;         // /16
    bool exitAfterStart = false;  // start, wait for the first paint, end (start-up timing, smoke tests)
    bool recovery = false;        // offer the backups at start and drop them when stale (the editor)
};

// Reads the arguments after the program name. /SHOWALL and /16 are recognised as whole
// arguments in any case, and as --showall and --16. false with a message for bad usage.
bool shell_ParseArgs(const std::vector<std::string>& args, ShellArgs& out, std::string& error);
// The usage text of the editor.
std::string shell_Usage();

// Command ids of the main window (cmd::), the button bar's control ids (bar::) and the
// action table: shell/actions.h.

// Grid+ doubles the grid size while it is below this (4096 m).
constexpr std::int32_t kGridSizeLargest = 1048576;

// The timer that drives the automatic backups, and its period.
constexpr int kBackupTimer = 1;
constexpr int kBackupPeriodMs = 600000;  // unless set otherwise (shell_BackupIntervalMs)

// ---------------------------------------------------------------------------------------
// Hooks: the parts that come with later work plug in here. A command whose hook is not set
// does nothing but its refresh.

struct ShellHooks {
    // Mouse input on the map pane (map interaction); paint and size are the shell's.
    MapPaneSink* mapInput = nullptr;
};

// ---------------------------------------------------------------------------------------
// Shell state: one record for the process; tests reset it with shell_Reset.

struct ShellState {
    ShellArgs args;
    bool started = false;            // start-up reached the message loop
    bool leaving = false;            // the user agreed to leave: no second question
    CharMetrics metrics;             // cw and ch of the main window
    bool surfaceOk = false;          // the map surface exists
    std::vector<std::string> trace;  // start-up steps, in the order they ran
    ShellHooks hooks;
};

ShellState& shell_State();
// Forgets everything: state, hooks, the view settings and the surface (tests).
void shell_Reset();

// ---------------------------------------------------------------------------------------
// Start-up and shutdown

// Runs start-up in its fixed order: foundation, the three string tables, both pages
// cleared, the view reset, the main window (menu, button bar, title, sinks), the backup
// timer, the context menus, the check marks, the map surface, the item definitions, the
// sunsets; then opens args.mission into page 1 when given. 1 when the editor is up, 0
// when start-up was abandoned (a string table missing; the warning was shown).
int shell_Startup(const ShellArgs& args);
// The main window is going: stops the backup timer.
void shell_Shutdown();

// ---------------------------------------------------------------------------------------
// The dispatcher

// Runs a main-window command (button, menu, forwarded context-menu entry): its handler, then
// the refresh its row in the command table names.
void shell_Command(int id);
// The same; false when id has no row in the command table or no handler.
bool shell_Dispatch(int id);
// A key pressed in the main window.
void shell_Key(Key key, unsigned mods);
// A timer of the main window fired.
void shell_Timer(int id);
// The exit confirmation: true when the window may close.
bool shell_CloseRequest();
// A left click on an information pane (kPaneCentre, kPaneSelection).
void shell_PaneClick(int pane);
// A command chosen in a context menu of the map pane: only the context menus' own ids go
// on to the dispatcher. true when forwarded.
bool shell_ForwardMapCommand(int id);

// The main window and map pane listeners the platform reports to.
MainWindowSink& shell_MainSink();
MapPaneSink& shell_MapSink();

// ---------------------------------------------------------------------------------------
// Refresh actions

void shell_Render();         // render the current page now and show it
void shell_RepaintMap();     // ask for a repaint of the map pane (it renders when painted)
void shell_RepaintItems();   // the selection pane
void shell_RepaintCentre();  // the centre pane
// Every menu entry's enabled, checked and text state from its one source; after any rebuild
// of the menus (Qt's rebuilt menus start from their entries).
void shell_RefreshMenuState();
// Builds the main menu from its template, the action table and the recent files, hands it to
// the platform and brings its states up to date (start-up, the recent files changed).
void shell_BuildMainMenu();
// The entries of a context menu of the map ("MouseMenu", "MouseMenuItem") as it opens: texts,
// shortcuts, enabled states and check marks from the action table.
std::vector<MenuEntry> shell_ContextMenu(std::string_view name);
void shell_RefreshTitle();  // the title from the current page's file name
void shell_RefreshGridLabel();
void shell_PageRefresh();  // title, repaint map, repaint items

// The title for a page file name (empty: none).
std::string shell_TitleFor(std::string_view fileName);
// The program's version, the one --version prints (the title and the About box show it).
const char* shell_Version();
// The grid label for a grid size (1/256 m).
std::string shell_GridLabel(std::int32_t gridSize);

// ---------------------------------------------------------------------------------------
// Files

// File > Open into the current page: the open dialog, the read, the models. false when
// cancelled.
bool shell_OpenMission();
// Opens path into the current page as File > Open does after its dialog.
void shell_OpenMissionPath(const std::string& path);
// File > Save of a page: the save dialog, then the write. true when written; false when
// cancelled or the write failed (the failure was shown; the page keeps its old path).
bool shell_SaveMission(Mission& page);
// Writes a page to path; on success the page takes path as its file. A failure is shown.
bool shell_WriteMission(Mission& page, const std::string& path);
// File > Export: the save dialog, then the binary mission. true when written.
bool shell_ExportMission();

// Where the backups go: $XDG_STATE_HOME/sortie, else ~/.local/state/sortie.
std::string shell_BackupFolder();
// Writes the backups of the pages that hold items. Nothing is reported.
void shell_WriteBackups();
// The backup interval: SORTIE_BACKUP_INTERVAL (seconds), else the setting "backup-interval",
// else kBackupPeriodMs.
int shell_BackupIntervalMs();

// ---------------------------------------------------------------------------------------
// The button bar

// The button bar in pixels for these character units, with captions and initial states.
std::vector<BarControl> shell_ButtonBar(CharMetrics m);
// The show flag a show command toggles and its check box (0 when id is not one).
struct ShowToggle {
    int command;
    std::uint32_t flag;
    int checkBox;
};
const std::vector<ShowToggle>& shell_ShowToggles();

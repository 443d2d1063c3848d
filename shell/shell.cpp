// Start-up, the command line and the listeners the platform reports to.
#include "shell/shell.h"

#include "shell/build_defaults.h"

#include "core/text.h"
#include "gamedata/image.h"
#include "gamedata/model.h"
#include "mapview/infopane.h"
#include "mapview/interact.h"
#include "mapview/view.h"
#include "mapview/gesture.h"
#include "mission/mission.h"
#include "resources/templates.h"
#include "shell/conveniences.h"
#include "shell/data_start.h"
#include "shell/dialogs.h"
#include "shell/history.h"
#include "shell/map_tools.h"
#include "shell/prefetch.h"
#include "shell/problems.h"

#include <cctype>

namespace {

std::string upper(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

class MainSink : public MainWindowSink {
public:
    void onCommand(int id) override { shell_Command(id); }  // which tells the menus' states
    void onKey(Key key, unsigned mods) override {
        shell_Key(key, mods);
        shell_RefreshMenuState();
    }
    void onDropFiles(const std::vector<std::string>& paths) override {
        conv_DropFiles(paths);
        shell_RefreshMenuState();
    }
    void onTimer(int id) override { shell_Timer(id); }
    bool onCloseRequest() override {
        // Whichever way the user leaves (File > Exit, the close button, the session's end),
        // the questions are asked once: a close that follows an agreed exit goes through.
        ShellState& s = shell_State();
        if (s.leaving) return true;
        if (!shell_CloseRequest()) return false;
        s.leaving = true;
        shell_Shutdown();
        return true;
    }
    void onPaneClick(int pane) override { shell_PaneClick(pane); }
};

// The map pane: paint and size are the shell's; the mouse goes to the map interaction.
class MapSink : public MapPaneSink {
public:
    void onMouseDown(MouseButton b, int x, int y, unsigned mods) override {
        history_MapBegin(b, mods, true);
        if (MapPaneSink* in = shell_State().hooks.mapInput) in->onMouseDown(b, x, y, mods);
        history_MapEnd();
        problems_Refresh();
        shell_RefreshMenuState();  // the selection, the clipboard or the page may have changed
    }
    void onMouseUp(MouseButton b, int x, int y, unsigned mods) override {
        history_MapBegin(b, mods, false);
        if (MapPaneSink* in = shell_State().hooks.mapInput) in->onMouseUp(b, x, y, mods);
        history_MapEnd();
        problems_Refresh();
        shell_RefreshMenuState();  // the selection, the clipboard or the page may have changed
    }
    void onDoubleClick(MouseButton b, int x, int y, unsigned mods) override {
        history_MapBegin(b, mods, true);
        if (MapPaneSink* in = shell_State().hooks.mapInput) in->onDoubleClick(b, x, y, mods);
        history_MapEnd();
        problems_Refresh();
        shell_RefreshMenuState();
    }
    void onWheel(int x, int y, int delta, unsigned mods) override {
        if (MapPaneSink* in = shell_State().hooks.mapInput) in->onWheel(x, y, delta, mods);
    }
    void onMouseMove(int x, int y, unsigned mods) override {
        const std::int32_t state = gesture_State().state;
        if (MapPaneSink* in = shell_State().hooks.mapInput) in->onMouseMove(x, y, mods);
        maptools_StatusPointer(x, y);
        if (gesture_State().state != state) maptools_RefreshStatus();  // a press became a drag
    }
    void onPaint() override { shell_Render(); }
    void onResize(int width, int height) override {
        ShellState& s = shell_State();
        if (!s.started) return;  // start-up creates the surface in its own place
        s.surfaceOk = mapsurface_Create(view_Surface(), width, height, platform().mapSize().scale);
        if (MapPaneSink* in = s.hooks.mapInput) in->onResize(width, height);
    }
};

}  // namespace

bool shell_ParseArgs(const std::vector<std::string>& args, ShellArgs& out, std::string& error) {
    out = ShellArgs{};
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const std::string u = upper(a);
        if (u == "/SHOWALL" || u == "--SHOWALL") {
            out.showAll = true;
        } else if (u == "/16" || u == "--16") {
            out.sixteen = true;
        } else if (a == "--exit-after-start") {
            out.exitAfterStart = true;
        } else if (a == "--data") {
            if (i + 1 >= args.size()) {
                error = "--data needs a folder";
                return false;
            }
            out.dataDir = args[++i];
        } else if (a.rfind("--data=", 0) == 0) {
            out.dataDir = a.substr(7);
        } else if (!a.empty() && a[0] == '-' && a != "-") {
            error = "unknown option " + a;
            return false;
        } else if (out.mission.empty()) {
            out.mission = a;
        } else {
            error = "only one mission file can be opened at start";
            return false;
        }
    }
    // The editor keeps its backups; a start that only measures start-up leaves them alone.
    out.recovery = !out.exitAfterStart;
    return true;
}

std::string shell_Usage() {
    return "usage: sortie [--data DIR] [/SHOWALL | --showall] [/16 | --16] [--exit-after-start] [MISSION.mis]\n"
           "  --data DIR            the game data root (default: $SORTIE_DATA, else the sample kit)\n"
           "  /SHOWALL, --showall   list the hidden item definitions too\n"
           "  /16, --16             sixteen-bit mode switch\n"
           "  --exit-after-start    start, wait for the first paint of the map, print the time, exit\n"
           "  -h, --help            print this text and exit\n"
           "  --version             print the version and exit\n";
}

ShellState& shell_State() {
    static ShellState state;
    return state;
}

void shell_Reset() {
    shell_State() = ShellState{};
    view_Reset();
    view_ResetSurface();
    gesture_Reset();
    interact_Reset();
    history_Forget();
    problems_Reset();
}

MainWindowSink& shell_MainSink() {
    static MainSink sink;
    return sink;
}

MapPaneSink& shell_MapSink() {
    static MapSink sink;
    return sink;
}

void shell_BuildMainMenu() {
    std::vector<MenuEntry> menu = resources_Menu("MenuMainWindow");
    actions_PrepareMenu(menu);
    conv_FillRecent(menu);
    platform().setMenu(menu);
    shell_RefreshMenuState();
}

std::vector<MenuEntry> shell_ContextMenu(std::string_view name) {
    std::vector<MenuEntry> menu = resources_Menu(name);
    if (menu.empty()) return {};
    std::vector<MenuEntry> entries = std::move(menu.front().children);
    actions_PrepareMenu(entries);
    return entries;
}

int shell_Startup(const ShellArgs& args) {
    ShellState& s = shell_State();
    const ShellHooks hooks = s.hooks;  // plugged in before start-up; they stay
    s = ShellState{};
    s.hooks = hooks;
    s.args = args;
    auto step = [&s](const char* name) { s.trace.emplace_back(name); };
    Platform& ui = platform();

    step("arguments");
    dialogs_Settings().showAll = args.showAll;     // Insert Item lists hidden definitions too
    img_Settings().r16ColourBands = args.sixteen;  // R16 heights shown as colour bands
    step("memory");
    step("files");
    // The editor reads the data ahead while its window is built (shell/prefetch.h); when that
    // read all of it, the steps below keep what it read. A second start in one process (tests
    // do) lets go of the first start's tables while the pools they were read into still exist.
    const bool ready = prefetch_Finish(args.dataDir);
    if (!ready) text_FreeTables();
    if (!ready && !startup_Foundation(args.dataDir)) {
        // Without memory nothing can be shown from the string table either.
        ui.messageBox("Warning: Unable to set up the memory pools", "", MsgIcon::None, MsgButtons::Ok);
        return 0;
    }

    step("text.bin");
    TextTables& tables = text_Tables();
    if (!ready) {
        tables.ui = startup_LoadTable(args.dataDir, "text.bin");
        text_SetCurrent(tables.ui);
    }
    if (!tables.ui) {
        ui.messageBox("Warning: Unable to load file text.bin", "", MsgIcon::None, MsgButtons::Ok);
        return 0;
    }
    step("kz7wpn.bin");
    if (!ready) tables.vocab = startup_LoadTable(args.dataDir, "kz7wpn.bin");
    if (!tables.vocab) {
        ui.messageBox("Warning: Unable to load file kz7wpn.bin", "", MsgIcon::None, MsgButtons::Ok);
        return 0;
    }
    step("kz7items.bin");
    if (!ready) tables.names = startup_LoadTable(args.dataDir, "kz7items.bin");  // optional

    step("pages");
    MissionPages& pages = mission_Pages();
    mission_NewPage(pages.page[0]);
    mission_NewPage(pages.page[1]);
    pages.current = 0;
    history_Reset();

    step("view");
    view_Reset();
    gesture_Reset();

    step("menu");
    shell_BuildMainMenu();

    step("window");
    s.metrics = ui.charMetrics();
    ui.setButtonBar(conv_DecorateBar(shell_ButtonBar(s.metrics), s.metrics));
    {
        // Building the bar sets these, as its check boxes and radios show them.
        ViewState& v = view_State();
        view_ApplyButtonBarDefaults(v);
        v.page = 0;
    }
    shell_RefreshGridLabel();
    // The map pane's mouse goes to the map interaction unless something else was plugged in.
    if (!s.hooks.mapInput) s.hooks.mapInput = &interact_Sink();
    {
        InteractHooks& ih = interact_State().hooks;
        ih.render = &shell_Render;
        ih.repaintMap = &shell_RepaintMap;
        ih.repaintItems = &shell_RepaintItems;
        ih.repaintCentre = &shell_RepaintCentre;
        ih.forward = [](int id) { shell_ForwardMapCommand(id); };
        ih.menu = &shell_ContextMenu;
        ih.chooseItem = &dialogs_ChooseInsertItem;
        ih.openAttributes = [] { shell_Command(cmd::kItemAttributes); };
    }
    ui.setSinks(&shell_MainSink(), &shell_MapSink());

    step("title");
    shell_RefreshTitle();
    ui.showMainWindow();

    step("panes");
    shell_RepaintCentre();
    shell_RepaintItems();

    step("timer");
    ui.setTimer(kBackupTimer, shell_BackupIntervalMs());

    step("checks");
    shell_RefreshMenuState();

    step("surface");
    const PaneSize pane = ui.mapSize();
    s.surfaceOk = mapsurface_Create(view_Surface(), pane.width, pane.height, pane.scale);
    if (!s.surfaceOk) ui.messageBox(text_Get("Dialog Message", "CANT_CREATE_DIB"), "", MsgIcon::None, MsgButtons::Ok);

    step("items.def");
    if (!ready && !startup_LoadItemDefs(args.dataDir, tables.names))
        ui.messageBox(text_Get("Dialog Message", "CANT_LOAD_ITEMS_DEF"), "", MsgIcon::None, MsgButtons::Ok);

    step("sunsets");
    if (!ready) startup_LoadSunsets(args.dataDir, tables.names);

    step("rows");
    mapsurface_BuildRows(view_Surface());

    s.started = true;
    if (!args.mission.empty()) {
        step("mission");
        shell_OpenMissionPath(args.mission);
    }
    history_OfferRecovery();
    step("running");
    // Start-up is no command: what the mission and the recovery changed is told here.
    shell_RefreshMenuState();
    shell_RepaintMap();
    return 1;
}

void shell_Shutdown() {
    platform().killTimer(kBackupTimer);
    history_CleanExit();
}

const char* shell_Version() { return kSortieVersion; }

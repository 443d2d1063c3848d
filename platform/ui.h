// The interface that stands where the operating system's user interface would.
//
// Every part of the editor reaches the user only through this header: message boxes,
// file dialogs, dialogs addressed by control id, the periodic timer, menus with check
// marks, the map pane, the two information panes, the main window's title and the
// modeless status box. Three implementations exist: the Qt 6 one (platform/qt), the
// console one used by sortie-cli, and a fake used by the tests, which records calls and
// answers from a script.
//
// The interface is deliberately small and toolkit-neutral: ids, strings, integers and a
// pixel buffer. Anything that would still make sense with another toolkit lives in the core.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// ---------------------------------------------------------------------------------------
// Message boxes

enum class MsgIcon { None, Information, Warning, Error, Question };
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MsgAnswer { Ok, Cancel, Yes, No };

// ---------------------------------------------------------------------------------------
// File dialogs

struct FileFilter {
    std::string label;    // shown to the user, e.g. "Mission files (*.mis)"
    std::string pattern;  // one or more patterns separated by ';', e.g. "*.mis"
};

// The extension of a filter's first pattern ("*.bms;*.BMS" gives "bms"); empty when it has
// none or a wildcard in it.
std::string ui_FilterExtension(const FileFilter& filter);

struct FileDialogRequest {
    bool save = false;  // save dialog (else open dialog)
    std::string title;  // caption; empty for the toolkit's default
    std::vector<FileFilter> filters;
    std::string defaultExtension;  // appended when the user types a name without one
    std::string startFolder;       // empty: the current folder
    std::string initialName;       // file name proposed in the name field
    bool promptOverwrite = false;  // save: ask before replacing an existing file
    bool mustExist = false;        // open: the file must exist
};

// ---------------------------------------------------------------------------------------
// Dialogs addressed by control id

// What a dialog procedure is told about a control. Notifications report what the user
// did; the program's own changes through Dialog (setText, setSelection, setCheck...) never
// notify, on any platform.
enum class Notify {
    Clicked,      // button, check box, radio button
    Changed,      // edit text changed
    SelChange,    // list or drop-down selection changed
    DoubleClick,  // list entry double clicked
    SetFocus,
    KillFocus,
};

// Check states of check boxes and radio buttons.
constexpr int kUnchecked = 0;
constexpr int kChecked = 1;
constexpr int kIndeterminate = 2;

// Standard command ids every dialog template may use.
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;

// What a number field takes: whole numbers (with decimal, numbers with a fraction too) from
// min to max. label is the control whose text names the field when a value is refused.
struct NumberRange {
    std::int32_t min = 0;
    std::int32_t max = 0;
    bool decimal = false;
    int label = -1;
};

// The controls of one open dialog. List operations work on list boxes and drop-down
// lists alike; index -1 means "no entry".
class Dialog {
public:
    virtual ~Dialog() = default;

    virtual void setTitle(std::string_view text) = 0;
    virtual void setText(int id, std::string_view text) = 0;
    virtual std::string text(int id) const = 0;

    virtual void clearEntries(int id) = 0;
    virtual int addEntry(int id, std::string_view text, std::int64_t data = 0) = 0;  // index
    virtual int insertEntry(int id, int index, std::string_view text, std::int64_t data = 0) = 0;
    virtual void removeEntry(int id, int index) = 0;
    virtual int entryCount(int id) const = 0;
    virtual std::string entryText(int id, int index) const = 0;
    virtual std::int64_t entryData(int id, int index) const = 0;
    virtual void setEntryData(int id, int index, std::int64_t data) = 0;

    // Single-selection lists and drop-downs.
    virtual void setSelection(int id, int index) = 0;
    virtual int selection(int id) const = 0;
    // Multiple-selection lists.
    virtual void setEntrySelected(int id, int index, bool selected) = 0;
    virtual bool entrySelected(int id, int index) const = 0;

    virtual void setCheck(int id, int state) = 0;
    virtual int check(int id) const = 0;

    virtual void enable(int id, bool on) = 0;
    virtual bool isEnabled(int id) const = 0;
    virtual void show(int id, bool on) = 0;
    virtual void setFocus(int id) = 0;
    // Limits how many characters the user can type into an edit (0: the toolkit's limit).
    virtual void setTextLimit(int id, int maxChars) = 0;

    // The text shown when the pointer rests on a control; empty for none.
    virtual void setToolTip(int id, std::string_view text) {
        (void)id;
        (void)text;
    }

    // The number fields of the dialog's template, in template order.
    virtual std::vector<int> numberFields() const { return {}; }
    // What a number field takes; nothing for any other control.
    virtual std::optional<NumberRange> numberRange(int id) const {
        (void)id;
        return std::nullopt;
    }
    // Whether the user changed an edit's text since the program last set it.
    virtual bool edited(int id) const {
        (void)id;
        return true;
    }

    // Ends the modal dialog; runDialog returns the result.
    virtual void end(int result) = 0;
};

// The logic of one dialog. Lives in the core; the platform calls it.
class DialogProc {
public:
    virtual ~DialogProc() = default;
    virtual void onInit(Dialog& dlg) = 0;
    virtual void onCommand(Dialog& dlg, int id, Notify code) = 0;
};

// ---------------------------------------------------------------------------------------
// Menus

struct MenuEntry {
    std::string text;  // empty text: a separator
    int id = 0;        // command id; 0 for a submenu or separator
    bool checked = false;
    bool enabled = true;
    std::vector<MenuEntry> children;  // a submenu when not empty
    std::string key;                  // string-table key the text comes from; empty for a fixed text
    std::string shortcut;             // key sequence shown and bound in the menu ("Ctrl+Shift+Z"); empty: none
};

// ---------------------------------------------------------------------------------------
// Map pane: a 32-bit 0x00RRGGBB pixel buffer shown in the main window.

struct PixelView {
    std::uint32_t* pixels = nullptr;  // first row (the rubber band is drawn into it)
    int width = 0;                    // pixels per row actually shown
    int height = 0;
    int stride = 0;      // pixels from one row to the next
    float scale = 1.0f;  // device pixels per pane pixel
};

enum class MouseButton { None, Left, Right, Middle };

constexpr unsigned kModShift = 1;
constexpr unsigned kModCtrl = 2;
constexpr unsigned kModAlt = 4;

struct PaneSize {
    int width = 0;
    int height = 0;
    // Device pixels per pane pixel: the map is drawn at the screen's own resolution, while
    // every position the pane reports stays in pane pixels.
    float scale = 1.0f;
};

// What the map pane reports. Positions are pane pixels, (0,0) the top-left corner.
// Moves that arrive in a burst are coalesced by the platform: a handler sees the latest.
class MapPaneSink {
public:
    virtual ~MapPaneSink() = default;
    virtual void onMouseDown(MouseButton button, int x, int y, unsigned mods) = 0;
    virtual void onMouseUp(MouseButton button, int x, int y, unsigned mods) = 0;
    // A second press in quick succession; it replaces that press's onMouseDown.
    virtual void onDoubleClick(MouseButton button, int x, int y, unsigned mods) = 0;
    virtual void onMouseMove(int x, int y, unsigned mods) = 0;
    // The pane needs its pixels: render and call mapPresent.
    virtual void onPaint() = 0;
    // The pane's size changed (also once when it is first shown).
    virtual void onResize(int width, int height) = 0;
    // The wheel turned over the pane by delta eighths of a degree (120 a notch; positive
    // away from the user) with the pointer at (x, y).
    virtual void onWheel(int x, int y, int delta, unsigned mods) { (void)x, (void)y, (void)delta, (void)mods; }
};

// ---------------------------------------------------------------------------------------
// Main window

// The keys the main window tells apart; the number-pad keys are separate from the others.
enum class Key {
    Other,
    PageUp,
    PageDown,
    Space,
    Left,
    Right,
    Up,
    Down,
    Insert,
    Delete,
    U,
    F1,
    F2,
    F3,
    F4,
    Pad2,
    Pad3,
    Pad4,
    Pad6,
    Pad8,
    Pad9,
    PadPlus,
    PadMinus,
    Plus,
    Minus,
    Home,  // the main keyboard's + (or =) and -, and Home
    Escape,
    Return,
    Backspace,  // Return and the number pad's Enter alike
};

// Average character width and line height of the main window's fixed-pitch font: the
// units of the button bar and pane layout.
struct CharMetrics {
    int cw = 8;
    int ch = 16;
};

// The button bar: controls at fixed pixel positions in the main window.
enum class BarKind { PushButton, PushRadio, CheckBox, GroupBox, Label };

struct BarControl {
    int id = 0;
    BarKind kind = BarKind::PushButton;
    std::string text;
    int x = 0, y = 0, w = 0, h = 0;  // pixels in the main window's client area
    bool groupStart = false;         // push-like radios: starts a new exclusive group
    int check = kUnchecked;
    int command = 0;  // sent to MainWindowSink::onCommand when clicked; 0: none
    std::string tip;  // tooltip; empty: none
};

// The fields of the status bar.
enum class StatusField { Position, Selection, Hint, Scale };

// A line of an information pane at a pixel position inside the pane.
struct PaneLine {
    int x = 0;
    int y = 0;
    std::string text;
};

// What the main window reports. Button bar clicks, menu entries and the commands the
// map pane forwards all arrive as command ids.
class MainWindowSink {
public:
    virtual ~MainWindowSink() = default;
    virtual void onCommand(int id) = 0;
    virtual void onKey(Key key, unsigned mods) = 0;
    virtual void onTimer(int id) = 0;
    // The user asks to close the window; true lets it close.
    virtual bool onCloseRequest() = 0;
    // A left click on an information pane (0 the centre pane, 1 the selection pane).
    virtual void onPaneClick(int pane) = 0;
    // Files dropped on the window, as local paths.
    virtual void onDropFiles(const std::vector<std::string>& paths) { (void)paths; }
};

// ---------------------------------------------------------------------------------------
// Settings kept between runs: named lists of texts (the recently used missions). The
// editor's are files under $XDG_CONFIG_HOME/sortie; the console and the tests keep them in
// memory.

class Settings {
public:
    virtual ~Settings() = default;
    // The list of that name; empty when none was kept or it cannot be read.
    virtual std::vector<std::string> list(std::string_view name) = 0;
    // Replaces the list. A failure to write is not reported: settings are a convenience.
    virtual void setList(std::string_view name, const std::vector<std::string>& values) = 0;
};

// ---------------------------------------------------------------------------------------
// The platform itself

class Platform {
public:
    virtual ~Platform() = default;

    // Message box; owner is implied (the main window when it exists).
    virtual MsgAnswer messageBox(std::string_view text, std::string_view caption, MsgIcon icon, MsgButtons buttons) = 0;

    // A bad line in a text file: a message box in the editor, "file:line: message" on a
    // console. The default shows text under caption with the error icon.
    virtual void lineError(std::string_view file, int line, std::string_view text, std::string_view caption) {
        (void)file;
        (void)line;
        messageBox(text, caption, MsgIcon::Error, MsgButtons::Ok);
    }

    // File dialog: the chosen path, or nothing when cancelled.
    virtual std::optional<std::string> fileDialog(const FileDialogRequest& request) = 0;

    // Runs the named dialog template modally with the given procedure; the value passed
    // to Dialog::end, or -1 when the template does not exist.
    virtual int runDialog(std::string_view templateName, DialogProc& proc) = 0;

    // Debug output channel (the memory manager's reports).
    virtual void debugOutput(std::string_view text) = 0;

    // Modeless status box, built from the named dialog template, shown while a long load
    // runs; statusLine shows the latest progress line in it.
    virtual void statusOpen(std::string_view templateName) = 0;
    virtual void statusLine(std::string_view text) = 0;
    virtual void statusClose() = 0;

    // Where the main window and the map pane report; nullptr: nobody listens.
    virtual void setSinks(MainWindowSink* mainWindow, MapPaneSink* mapPane) = 0;

    // Main window.
    // Shows the main window (maximised) once start-up has built it; until then nothing of
    // the editor is on screen.
    virtual void showMainWindow() {}
    virtual CharMetrics charMetrics() = 0;
    virtual void setButtonBar(const std::vector<BarControl>& bar) = 0;
    virtual void barSetCheck(int id, int state) = 0;
    virtual void barSetText(int id, std::string_view text) = 0;
    virtual void setWindowTitle(std::string_view title) = 0;
    virtual void setMenu(const std::vector<MenuEntry>& menu) = 0;
    virtual void setMenuCheck(int id, bool checked) = 0;
    virtual void setMenuEnabled(int id, bool enabled) = 0;
    // Changes the text of the main menu's entries with this id.
    virtual void setMenuText(int id, std::string_view text) {
        (void)id;
        (void)text;
    }
    // Popup menu at a map pane position; the chosen id, or 0 when dismissed.
    virtual int popupMenu(const std::vector<MenuEntry>& menu, int x, int y) = 0;

    // Periodic timer: the main window receives onTimer(id) every intervalMs.
    virtual void setTimer(int id, int intervalMs) = 0;
    virtual void killTimer(int id) = 0;

    // Map pane. The pixels handed to mapPresent stay in use (they are shown, not copied)
    // until the next mapPresent; the rubber band is drawn into them, in 0x0000C8.
    virtual PaneSize mapSize() = 0;
    virtual void mapPresent(const PixelView& view) = 0;  // show these pixels now
    virtual void mapInvalidate() = 0;                    // request a repaint
    virtual void mapCaptureMouse(bool on) = 0;
    virtual void mapXorRect(int x0, int y0, int x1, int y1) = 0;  // rubber band, drawn twice = gone
    virtual void mapCaption(std::string_view text) = 0;           // text over the map (insert mode)

    // The status bar under the map: the world position under the pointer, the selection,
    // a hint for the gesture in progress (each a field that keeps its text until set again)
    // and a message that stays a few seconds.
    virtual void statusField(StatusField field, std::string_view text) {
        (void)field;
        (void)text;
    }
    virtual void statusMessage(std::string_view text) { (void)text; }

    // File > Print: the map's pixels on a printed page, fitted to it, under a heading and
    // above a footer line. false when the user cancelled or nothing could be printed.
    virtual bool printMap(const PixelView& pixels, std::string_view heading, std::string_view footer) {
        (void)pixels;
        (void)heading;
        (void)footer;
        return false;
    }
    // Writes pixels as a PNG file; false when it could not be written.
    virtual bool writePng(const std::string& path, const PixelView& pixels) {
        (void)path;
        (void)pixels;
        return false;
    }

    // Information panes: 0 the centre pane, 1 the selection pane.
    virtual void paneSetText(int pane, std::string_view text) = 0;
    virtual void paneSetLines(int pane, const std::vector<PaneLine>& lines) = 0;

    // Asks the main loop to end.
    virtual void quit() = 0;

    // The settings kept between runs.
    virtual Settings& settings() = 0;
};

// The platform in use. Never null: until one is installed, a console platform serves.
Platform& platform();
// Installs a platform (not owned); nullptr restores the default console platform.
void platform_Set(Platform* p);
// The platform of the calling thread alone, over the installed one; nullptr ends it. A worker
// that must never reach the window (start-up reads ahead on one) reports to its own.
void platform_SetForThread(Platform* p);

// The order of sorted lists: without regard to ASCII case, then by byte value. A new entry
// goes before the first entry it sorts before, so equal texts keep their order of arrival.
bool ui_SortsBefore(std::string_view a, std::string_view b);
// The index at which a sorted list of these texts takes a new entry.
int ui_SortedIndex(const std::vector<std::string>& texts, std::string_view text);

// Texts for the user are bytes in Windows-1252, as the string tables and the mission's own
// texts are; file paths are UTF-8. A path that goes into such a text (the title, a menu entry,
// a message box) is wrapped by ui_PathText, and the platform shows the wrapped part as UTF-8,
// so each part is read in its own encoding. The marks are the shift-out and shift-in control
// characters; control characters inside the path itself are shown as '?'.
constexpr char kUiPathBegin = '\x0E';
constexpr char kUiPathEnd = '\x0F';
std::string ui_PathText(std::string_view path);
// The text without the marks of ui_PathText (consoles print a path's bytes as they are).
std::string ui_PlainText(std::string_view text);
// The parts of a text: calls part(bytes, isPath) for each run, in order.
template <typename Fn>
void ui_ForEachPart(std::string_view text, Fn&& part) {
    while (!text.empty()) {
        const std::size_t begin = text.find(kUiPathBegin);
        const std::size_t end = begin == std::string_view::npos ? begin : text.find(kUiPathEnd, begin + 1);
        if (end == std::string_view::npos) {  // no (complete) path in the rest
            part(text, false);
            return;
        }
        if (begin > 0) part(text.substr(0, begin), false);
        part(text.substr(begin + 1, end - begin - 1), true);
        text.remove_prefix(end + 1);
    }
}

// Convenience: a message box through the current platform.
MsgAnswer ui_MessageBox(std::string_view text, std::string_view caption, MsgIcon icon = MsgIcon::Information,
                        MsgButtons buttons = MsgButtons::Ok);

// A platform for tests: it records every call as a line of text, answers message boxes
// and file dialogs from scripted queues, and runs dialogs against FakeDialog, which keeps
// each control's state in memory. A script for a dialog template drives the procedure the
// way a user would (set a text, click a button) and ends it.
#pragma once

#include "platform/settings.h"
#include "platform/ui.h"

struct DialogTemplate;

#include <array>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

// One control's state.
struct FakeControl {
    struct Entry {
        std::string text;
        std::int64_t data = 0;
        bool selected = false;
    };
    std::string text;
    std::vector<Entry> entries;
    int selection = -1;
    int check = kUnchecked;
    bool enabled = true;
    bool visible = true;
    int textLimit = 0;    // characters the user may type; 0: no limit
    bool edited = false;  // the user typed since the program last set the text
    std::string toolTip;
};

class FakeDialog : public Dialog {
public:
    // With a template, lists the template marks sorted keep their entries in order.
    // Worded as the template says, as the Qt dialog is when it opens.
    explicit FakeDialog(DialogProc& proc, const DialogTemplate* tmpl = nullptr);

    // Drive the procedure as a user would.
    void init() { proc_.onInit(*this); }
    void command(int id, Notify code = Notify::Clicked) { proc_.onCommand(*this, id, code); }
    void click(int id) { command(id, Notify::Clicked); }
    // Types into an edit as a user would: the edit's limit cuts the text. In the text field
    // of a combo box, the text selects the entry it spells exactly, else none.
    void type(int id, std::string_view text) {
        auto& c = controls_[id];
        if (c.textLimit > 0 && text.size() > static_cast<size_t>(c.textLimit)) text = text.substr(0, c.textLimit);
        c.text = std::string(text);
        c.edited = true;
        if (comboBox(id)) c.selection = spelledEntry(c);
        command(id, Notify::Changed);
    }
    void choose(int id, int index) {
        auto& c = controls_[id];
        c.selection = index;
        if (comboBox(id)) c.text = entryText(id, index);
        command(id, Notify::SelChange);
    }
    void toggle(int id) {
        auto& c = controls_[id];
        c.check = c.check == kChecked ? kUnchecked : kChecked;
        command(id, Notify::Clicked);
    }

    bool ended() const { return ended_; }
    int result() const { return result_; }
    std::string title() const { return title_; }
    FakeControl& control(int id) { return controls_[id]; }
    const std::map<int, FakeControl>& controls() const { return controls_; }

    void setTitle(std::string_view text) override { title_ = std::string(text); }
    void setText(int id, std::string_view text) override {
        controls_[id].text = std::string(text);
        controls_[id].edited = false;
    }
    std::string text(int id) const override;
    void clearEntries(int id) override;
    int addEntry(int id, std::string_view text, std::int64_t data) override;
    int insertEntry(int id, int index, std::string_view text, std::int64_t data) override;
    void removeEntry(int id, int index) override;
    int entryCount(int id) const override;
    std::string entryText(int id, int index) const override;
    std::int64_t entryData(int id, int index) const override;
    void setEntryData(int id, int index, std::int64_t data) override;
    void setSelection(int id, int index) override;
    int selection(int id) const override;
    void setEntrySelected(int id, int index, bool selected) override;
    bool entrySelected(int id, int index) const override;
    void setCheck(int id, int state) override { controls_[id].check = state; }
    int check(int id) const override;
    void enable(int id, bool on) override { controls_[id].enabled = on; }
    bool isEnabled(int id) const override;
    void show(int id, bool on) override { controls_[id].visible = on; }
    void setFocus(int id) override { focus_ = id; }
    void setTextLimit(int id, int maxChars) override { controls_[id].textLimit = maxChars < 0 ? 0 : maxChars; }
    void setToolTip(int id, std::string_view text) override { controls_[id].toolTip = std::string(text); }
    int focus() const { return focus_; }
    // The template's number fields and their ranges; none without a template.
    std::vector<int> numberFields() const override;
    std::optional<NumberRange> numberRange(int id) const override;
    bool edited(int id) const override;
    void end(int result) override {
        ended_ = true;
        result_ = result;
    }

private:
    const FakeControl* find(int id) const;
    FakeControl::Entry* entry(int id, int index);
    const FakeControl::Entry* entry(int id, int index) const;
    bool sorted(int id) const;
    bool comboBox(int id) const;
    static int spelledEntry(const FakeControl& c);

    DialogProc& proc_;
    const DialogTemplate* tmpl_;
    std::map<int, FakeControl> controls_;
    std::string title_;
    bool ended_ = false;
    int result_ = 0;
    int focus_ = 0;
};

class FakePlatform : public Platform {
public:
    using DialogScript = std::function<void(FakeDialog&)>;

    // Every call, one line each, e.g. "messageBox Caption|Text".
    std::vector<std::string> log;
    // Message boxes shown: caption, text, icon.
    struct ShownBox {
        std::string text, caption;
        MsgIcon icon;
        MsgButtons buttons;
    };
    std::vector<ShownBox> boxes;
    std::vector<FileDialogRequest> fileRequests;
    std::vector<std::string> debugLines;
    std::vector<std::string> statusLines;
    std::string windowTitle;
    std::map<int, bool> menuChecks;
    std::map<int, bool> menuEnabled;
    std::map<int, std::string> menuTexts;  // texts changed after the menu was set
    std::vector<MenuEntry> menu;
    std::vector<MenuEntry> lastPopup;  // the entries of the last popup menu
    std::map<int, int> timers;         // id -> interval
    std::vector<PixelView> presented;
    int invalidations = 0;
    bool mouseCaptured = false;
    std::vector<std::array<int, 4>> xorRects;
    std::string caption;
    std::string panes[2];
    std::vector<PaneLine> paneLines[2];
    MainWindowSink* mainSink = nullptr;
    MapPaneSink* mapSink = nullptr;
    CharMetrics metrics;             // answered by charMetrics()
    PaneSize mapPaneSize{800, 600};  // answered by mapSize()
    std::vector<BarControl> bar;     // the button bar; checks and texts kept current
    int quitCalls = 0;
    // The status bar: each field's text and every message, in order.
    std::map<StatusField, std::string> statusFields;
    std::vector<std::string> statusMessages;
    // What was printed and the PNG files asked for (kept here, not written); the answers.
    struct Picture {
        std::string where;  // the heading printed over it, or the PNG's path
        std::string footer;
        int width = 0, height = 0;
    };
    std::vector<Picture> printed, pngs;
    bool printAnswer = true, pngAnswer = true;

    // Scripted answers; an empty queue answers Ok/Yes (message boxes) or cancels (files).
    std::deque<MsgAnswer> msgAnswers;
    std::deque<std::optional<std::string>> fileAnswers;
    std::deque<int> popupAnswers;
    // Run while a message box is open, as a timer of the window may fire then.
    std::function<void()> duringModal;
    // Scripts for dialog templates; a template without one is cancelled after onInit.
    std::map<std::string, DialogScript, std::less<>> dialogScripts;
    std::vector<std::string> dialogsRun;

    MsgAnswer messageBox(std::string_view text, std::string_view caption, MsgIcon icon, MsgButtons buttons) override;
    void lineError(std::string_view file, int line, std::string_view text, std::string_view caption) override;
    std::optional<std::string> fileDialog(const FileDialogRequest& request) override;
    int runDialog(std::string_view templateName, DialogProc& proc) override;
    void debugOutput(std::string_view text) override;
    void statusOpen(std::string_view templateName) override;
    void statusLine(std::string_view text) override;
    void statusClose() override;
    void setSinks(MainWindowSink* mainWindow, MapPaneSink* mapPane) override;
    void showMainWindow() override { log.push_back("showMainWindow"); }
    CharMetrics charMetrics() override { return metrics; }
    void setButtonBar(const std::vector<BarControl>& b) override;
    void barSetCheck(int id, int state) override;
    void barSetText(int id, std::string_view text) override;
    // The bar control with this id, or nullptr.
    const BarControl* barControl(int id) const;
    void setWindowTitle(std::string_view title) override;
    void setMenu(const std::vector<MenuEntry>& m) override;
    void setMenuCheck(int id, bool checked) override;
    void setMenuEnabled(int id, bool enabled) override;
    void setMenuText(int id, std::string_view text) override { menuTexts[id] = std::string(text); }
    int popupMenu(const std::vector<MenuEntry>& m, int x, int y) override;
    void setTimer(int id, int intervalMs) override;
    void killTimer(int id) override;
    PaneSize mapSize() override { return mapPaneSize; }
    void mapPresent(const PixelView& view) override;
    void mapInvalidate() override;
    void mapCaptureMouse(bool on) override;
    void mapXorRect(int x0, int y0, int x1, int y1) override;
    void mapCaption(std::string_view text) override;
    void paneSetText(int pane, std::string_view text) override;
    void paneSetLines(int pane, const std::vector<PaneLine>& lines) override;
    void statusField(StatusField field, std::string_view text) override { statusFields[field] = std::string(text); }
    void statusMessage(std::string_view text) override { statusMessages.emplace_back(text); }
    bool printMap(const PixelView& pixels, std::string_view heading, std::string_view footer) override {
        if (printAnswer) printed.push_back({std::string(heading), std::string(footer), pixels.width, pixels.height});
        return printAnswer;
    }
    bool writePng(const std::string& path, const PixelView& pixels) override {
        if (pngAnswer) pngs.push_back({path, {}, pixels.width, pixels.height});
        return pngAnswer;
    }
    void quit() override;
    Settings& settings() override { return settingsStore; }
    // The settings, kept in memory for the test to look at.
    MemorySettings settingsStore;
};

// Installs a FakePlatform for the lifetime of a scope (a test), then restores the default.
class ScopedFakePlatform {
public:
    ScopedFakePlatform() { platform_Set(&fake_); }
    ~ScopedFakePlatform() { platform_Set(nullptr); }
    ScopedFakePlatform(const ScopedFakePlatform&) = delete;
    ScopedFakePlatform& operator=(const ScopedFakePlatform&) = delete;
    FakePlatform* operator->() { return &fake_; }
    FakePlatform& operator*() { return fake_; }

private:
    FakePlatform fake_;
};

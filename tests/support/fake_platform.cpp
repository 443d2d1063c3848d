#include "support/fake_platform.h"

#include "resources/templates.h"

// ---------------------------------------------------------------------------------------
// FakeDialog

FakeDialog::FakeDialog(DialogProc& proc, const DialogTemplate* tmpl) : proc_(proc), tmpl_(tmpl) {
    if (!tmpl) return;
    title_ = resources_Caption(tmpl->caption);
    for (const ControlTemplate& c : tmpl->controls)
        if (c.id != kIdStatic && !c.text.empty()) controls_[c.id].text = resources_Caption(c.text);
}

const FakeControl* FakeDialog::find(int id) const {
    auto it = controls_.find(id);
    return it == controls_.end() ? nullptr : &it->second;
}

FakeControl::Entry* FakeDialog::entry(int id, int index) {
    auto& c = controls_[id];
    if (index < 0 || index >= static_cast<int>(c.entries.size())) return nullptr;
    return &c.entries[static_cast<size_t>(index)];
}

const FakeControl::Entry* FakeDialog::entry(int id, int index) const {
    const FakeControl* c = find(id);
    if (!c || index < 0 || index >= static_cast<int>(c->entries.size())) return nullptr;
    return &c->entries[static_cast<size_t>(index)];
}

std::string FakeDialog::text(int id) const {
    const FakeControl* c = find(id);
    return c ? c->text : std::string();
}

void FakeDialog::clearEntries(int id) {
    auto& c = controls_[id];
    c.entries.clear();
    c.selection = -1;
}

bool FakeDialog::sorted(int id) const {
    const ControlTemplate* c = tmpl_ ? tmpl_->control(id) : nullptr;
    return c && (c->style & kCtlSorted);
}

int FakeDialog::addEntry(int id, std::string_view text, std::int64_t data) {
    auto& c = controls_[id];
    if (sorted(id)) {
        std::vector<std::string> texts;
        for (const auto& e : c.entries) texts.push_back(e.text);
        return insertEntry(id, ui_SortedIndex(texts, text), text, data);
    }
    c.entries.push_back({std::string(text), data, false});
    return static_cast<int>(c.entries.size()) - 1;
}

int FakeDialog::insertEntry(int id, int index, std::string_view text, std::int64_t data) {
    auto& c = controls_[id];
    if (index < 0 || index > static_cast<int>(c.entries.size())) index = static_cast<int>(c.entries.size());
    c.entries.insert(c.entries.begin() + index, {std::string(text), data, false});
    if (c.selection >= index) ++c.selection;
    return index;
}

void FakeDialog::removeEntry(int id, int index) {
    auto& c = controls_[id];
    if (index < 0 || index >= static_cast<int>(c.entries.size())) return;
    c.entries.erase(c.entries.begin() + index);
    if (c.selection == index)
        c.selection = -1;
    else if (c.selection > index)
        --c.selection;
}

int FakeDialog::entryCount(int id) const {
    const FakeControl* c = find(id);
    return c ? static_cast<int>(c->entries.size()) : 0;
}

std::string FakeDialog::entryText(int id, int index) const {
    const auto* e = entry(id, index);
    return e ? e->text : std::string();
}

std::int64_t FakeDialog::entryData(int id, int index) const {
    const auto* e = entry(id, index);
    return e ? e->data : -1;
}

void FakeDialog::setEntryData(int id, int index, std::int64_t data) {
    if (auto* e = entry(id, index)) e->data = data;
}

void FakeDialog::setSelection(int id, int index) {
    auto& c = controls_[id];
    c.selection = (index >= 0 && index < static_cast<int>(c.entries.size())) ? index : -1;
    if (comboBox(id)) c.text = c.selection >= 0 ? c.entries[static_cast<size_t>(c.selection)].text : std::string();
}

bool FakeDialog::comboBox(int id) const {
    const ControlTemplate* c = tmpl_ ? tmpl_->control(id) : nullptr;
    return c && c->kind == ControlKind::ComboBox;
}

int FakeDialog::spelledEntry(const FakeControl& c) {
    for (size_t i = 0; i < c.entries.size(); ++i)
        if (c.entries[i].text == c.text) return static_cast<int>(i);
    return -1;
}

int FakeDialog::selection(int id) const {
    const FakeControl* c = find(id);
    return c ? c->selection : -1;
}

void FakeDialog::setEntrySelected(int id, int index, bool selected) {
    if (auto* e = entry(id, index)) e->selected = selected;
}

bool FakeDialog::entrySelected(int id, int index) const {
    const auto* e = entry(id, index);
    return e && e->selected;
}

int FakeDialog::check(int id) const {
    const FakeControl* c = find(id);
    return c ? c->check : kUnchecked;
}

bool FakeDialog::isEnabled(int id) const {
    const FakeControl* c = find(id);
    return c ? c->enabled : true;
}

// ---------------------------------------------------------------------------------------
// FakePlatform

namespace {
void plainMenuTexts(std::vector<MenuEntry>& entries) {
    for (MenuEntry& e : entries) {
        e.text = ui_PlainText(e.text);
        plainMenuTexts(e.children);
    }
}
}  // namespace

MsgAnswer FakePlatform::messageBox(std::string_view text, std::string_view cap, MsgIcon icon, MsgButtons buttons) {
    // What the user reads: paths shown in their own encoding, without the marks around them.
    const std::string shown = ui_PlainText(text);
    log.push_back("messageBox " + std::string(cap) + "|" + shown);
    boxes.push_back({shown, std::string(cap), icon, buttons});
    // The box is modal, but timers still fire under it.
    if (duringModal) duringModal();
    if (!msgAnswers.empty()) {
        MsgAnswer a = msgAnswers.front();
        msgAnswers.pop_front();
        return a;
    }
    return (buttons == MsgButtons::Ok || buttons == MsgButtons::OkCancel) ? MsgAnswer::Ok : MsgAnswer::Yes;
}

void FakePlatform::lineError(std::string_view file, int line, std::string_view text, std::string_view cap) {
    log.push_back("lineError " + std::string(file) + ":" + std::to_string(line));
    // Seen by the user as a message box: record it as one.
    boxes.push_back({ui_PlainText(text), std::string(cap), MsgIcon::Error, MsgButtons::Ok});
}

std::optional<std::string> FakePlatform::fileDialog(const FileDialogRequest& request) {
    log.push_back(std::string(request.save ? "saveDialog " : "openDialog ") + request.title);
    fileRequests.push_back(request);
    if (fileAnswers.empty()) return std::nullopt;
    auto a = fileAnswers.front();
    fileAnswers.pop_front();
    return a;
}

std::vector<int> FakeDialog::numberFields() const { return tmpl_ ? tmpl_->numberFields() : std::vector<int>{}; }

std::optional<NumberRange> FakeDialog::numberRange(int id) const {
    return tmpl_ ? tmpl_->numberRange(id) : std::nullopt;
}

bool FakeDialog::edited(int id) const {
    const FakeControl* c = find(id);
    return c && c->edited;
}

int FakePlatform::runDialog(std::string_view templateName, DialogProc& proc) {
    log.push_back("dialog " + std::string(templateName));
    dialogsRun.emplace_back(templateName);
    FakeDialog dlg(proc, resources_FindDialog(templateName));
    dlg.init();
    auto it = dialogScripts.find(templateName);
    if (it != dialogScripts.end() && !dlg.ended()) it->second(dlg);
    if (!dlg.ended()) return kIdCancel;
    return dlg.result();
}

void FakePlatform::debugOutput(std::string_view text) { debugLines.emplace_back(text); }

void FakePlatform::statusOpen(std::string_view cap) { log.push_back("statusOpen " + std::string(cap)); }

void FakePlatform::statusLine(std::string_view text) { statusLines.emplace_back(text); }

void FakePlatform::statusClose() { log.push_back("statusClose"); }

void FakePlatform::setSinks(MainWindowSink* mainWindow, MapPaneSink* mapPane) {
    mainSink = mainWindow;
    mapSink = mapPane;
}

void FakePlatform::setButtonBar(const std::vector<BarControl>& b) {
    log.push_back("setButtonBar " + std::to_string(b.size()));
    bar = b;
}

const BarControl* FakePlatform::barControl(int id) const {
    for (const BarControl& c : bar)
        if (c.id == id) return &c;
    return nullptr;
}

void FakePlatform::barSetCheck(int id, int state) {
    log.push_back("barSetCheck " + std::to_string(id) + " " + std::to_string(state));
    if (auto* c = const_cast<BarControl*>(barControl(id))) c->check = state;
}

void FakePlatform::barSetText(int id, std::string_view text) {
    log.push_back("barSetText " + std::to_string(id) + " " + std::string(text));
    if (auto* c = const_cast<BarControl*>(barControl(id))) c->text = std::string(text);
}

void FakePlatform::setWindowTitle(std::string_view title) {
    windowTitle = ui_PlainText(title);
    log.push_back("setWindowTitle " + windowTitle);
}

void FakePlatform::setMenu(const std::vector<MenuEntry>& m) {
    log.push_back("setMenu " + std::to_string(m.size()));
    menu = m;
    // As the window does: a rebuilt menu shows what its entries say, nothing set before.
    menuChecks.clear();
    menuEnabled.clear();
    menuTexts.clear();
    std::function<void(const std::vector<MenuEntry>&)> take = [&](const std::vector<MenuEntry>& entries) {
        for (const MenuEntry& e : entries) {
            if (e.id != 0) {
                menuEnabled[e.id] = e.enabled;
                if (e.checked) menuChecks[e.id] = true;
            }
            take(e.children);
        }
    };
    take(m);
    plainMenuTexts(menu);
}

void FakePlatform::setMenuCheck(int id, bool checked) {
    log.push_back("setMenuCheck " + std::to_string(id) + (checked ? " on" : " off"));
    menuChecks[id] = checked;
}

void FakePlatform::setMenuEnabled(int id, bool enabled) { menuEnabled[id] = enabled; }

int FakePlatform::popupMenu(const std::vector<MenuEntry>& m, int x, int y) {
    lastPopup = m;
    log.push_back("popupMenu " + std::to_string(x) + "," + std::to_string(y));
    if (popupAnswers.empty()) return 0;
    int a = popupAnswers.front();
    popupAnswers.pop_front();
    return a;
}

void FakePlatform::setTimer(int id, int intervalMs) {
    log.push_back("setTimer " + std::to_string(id) + " " + std::to_string(intervalMs));
    timers[id] = intervalMs;
}

void FakePlatform::killTimer(int id) {
    log.push_back("killTimer " + std::to_string(id));
    timers.erase(id);
}

void FakePlatform::mapPresent(const PixelView& view) { presented.push_back(view); }

void FakePlatform::mapInvalidate() { ++invalidations; }

void FakePlatform::mapCaptureMouse(bool on) { mouseCaptured = on; }

void FakePlatform::mapXorRect(int x0, int y0, int x1, int y1) { xorRects.push_back({x0, y0, x1, y1}); }

void FakePlatform::mapCaption(std::string_view text) { caption = std::string(text); }

void FakePlatform::paneSetText(int pane, std::string_view text) {
    if (pane == 0 || pane == 1) panes[pane] = std::string(text);
}

void FakePlatform::paneSetLines(int pane, const std::vector<PaneLine>& lines) {
    if (pane == 0 || pane == 1) paneLines[pane] = lines;
}

void FakePlatform::quit() { ++quitCalls; }

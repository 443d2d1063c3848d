// The platform layer on Qt 6 Widgets. Create it after the QApplication; it owns the main
// window, the timers and the status box.
#pragma once

#include "qt/main_window.h"
#include "qt/problems_dock.h"
#include "platform/settings.h"
#include "platform/ui.h"

#include <QElapsedTimer>

#include <map>
#include <memory>

class QtDialog;
class QTimer;
class StatusDialogProc;

class QtPlatform : public Platform {
public:
    QtPlatform();
    ~QtPlatform() override;
    QtPlatform(const QtPlatform&) = delete;
    QtPlatform& operator=(const QtPlatform&) = delete;

    MainWindow& mainWindow() { return *main_; }
    // The Problems panel's dock, built now if it was not yet (the main window owns it).
    ProblemsDock& problemsDock() { return problems_->dock(); }
    // The status box while it is shown (tests look at it), else nullptr.
    QtDialog* statusBox() const { return status_.get(); }
    // How long a load runs before its status box appears (tests set 0 to see it at once).
    void setStatusBoxDelay(int ms) { statusDelayMs_ = ms; }

    MsgAnswer messageBox(std::string_view text, std::string_view caption, MsgIcon icon, MsgButtons buttons) override;
    void lineError(std::string_view file, int line, std::string_view text, std::string_view caption) override;
    std::optional<std::string> fileDialog(const FileDialogRequest& request) override;
    int runDialog(std::string_view templateName, DialogProc& proc) override;
    void debugOutput(std::string_view text) override;
    void statusOpen(std::string_view templateName) override;
    void statusLine(std::string_view text) override;
    void statusClose() override;
    void setSinks(MainWindowSink* mainWindow, MapPaneSink* mapPane) override;
    void showMainWindow() override;
    CharMetrics charMetrics() override;
    void setButtonBar(const std::vector<BarControl>& bar) override;
    void barSetCheck(int id, int state) override;
    void barSetText(int id, std::string_view text) override;
    void setWindowTitle(std::string_view title) override;
    void setMenu(const std::vector<MenuEntry>& menu) override;
    void setMenuCheck(int id, bool checked) override;
    void setMenuEnabled(int id, bool enabled) override;
    void setMenuText(int id, std::string_view text) override;
    int popupMenu(const std::vector<MenuEntry>& menu, int x, int y) override;
    void setTimer(int id, int intervalMs) override;
    void killTimer(int id) override;
    PaneSize mapSize() override;
    void mapPresent(const PixelView& view) override;
    void mapInvalidate() override;
    void mapCaptureMouse(bool on) override;
    void mapXorRect(int x0, int y0, int x1, int y1) override;
    void mapCaption(std::string_view text) override;
    void paneSetText(int pane, std::string_view text) override;
    void paneSetLines(int pane, const std::vector<PaneLine>& lines) override;
    void statusField(StatusField field, std::string_view text) override;
    void statusMessage(std::string_view text) override;
    bool printMap(const PixelView& pixels, std::string_view heading, std::string_view footer) override;
    bool writePng(const std::string& path, const PixelView& pixels) override;
    void quit() override;
    Settings& settings() override { return settings_; }

private:
    // The window that owns a new dialog or message box: the topmost modal one, else the
    // main window.
    QWidget* owner() const;

    std::unique_ptr<MainWindow> main_;
    std::unique_ptr<ProblemsPanelOnDemand> problems_;
    std::map<int, std::unique_ptr<QTimer>> timers_;
    // Shows the status box of the running load with its latest line.
    void showStatusBox();

    std::unique_ptr<StatusDialogProc> statusProc_;
    std::unique_ptr<QtDialog> status_;
    // A load in progress: its box template, its latest line and how long it has run. The box
    // is shown only once a load takes long enough to notice.
    bool loading_ = false;
    std::string statusTemplate_, statusText_;
    QElapsedTimer statusClock_;
    int statusDelayMs_ = 400;
    FileSettings settings_{settings_ConfigFolder()};
};

// The name filters of a file dialog: "label (patterns)" with the patterns separated by
// spaces, which is how Qt reads them.
QStringList qt_FileFilters(const std::vector<FileFilter>& filters);
// The chosen name with the default extension added when the name has none.
std::string qt_WithDefaultExtension(const std::string& path, std::string_view extension);
// Draws the map on the printer's page: the heading above, the footer below, the map between
// them as large as it fits with its proportions kept. false when nothing could be printed.
class QPrinter;
class QImage;
bool qt_PrintMap(QPrinter& printer, const QImage& map, const QString& heading, const QString& footer);

// The platform of sortie-cli: message boxes and reports go to standard error, file
// dialogs are answered from paths the command line gave, and everything visual is a no-op.
#pragma once

#include "platform/settings.h"
#include "platform/ui.h"

#include <cstdio>
#include <deque>

class ConsolePlatform : public Platform {
public:
    explicit ConsolePlatform(std::FILE* err = stderr) : err_(err) {}

    // Paths that answer the next file dialogs, in order; a dialog with none left is cancelled.
    void queueFileAnswer(std::string path) { fileAnswers_.push_back(std::move(path)); }
    // The answer every question gets (Yes / Ok by default: a command line has already said
    // what it wants).
    void setDefaultAnswer(MsgAnswer a) { answer_ = a; }
    // Status lines are printed only when verbose.
    void setVerbose(bool v) { verbose_ = v; }
    // Counts message boxes with the error or warning icon, so a command can exit non-zero.
    int errorCount() const { return errors_; }
    int warningCount() const { return warnings_; }

    MsgAnswer messageBox(std::string_view text, std::string_view caption, MsgIcon icon, MsgButtons buttons) override;
    void lineError(std::string_view file, int line, std::string_view text, std::string_view caption) override;
    std::optional<std::string> fileDialog(const FileDialogRequest& request) override;
    int runDialog(std::string_view templateName, DialogProc& proc) override;
    void debugOutput(std::string_view text) override;
    void statusOpen(std::string_view templateName) override;
    void statusLine(std::string_view text) override;
    void statusClose() override {}
    void setSinks(MainWindowSink*, MapPaneSink*) override {}
    CharMetrics charMetrics() override { return {}; }
    void setButtonBar(const std::vector<BarControl>&) override {}
    void barSetCheck(int, int) override {}
    void barSetText(int, std::string_view) override {}
    void setWindowTitle(std::string_view) override {}
    void setMenu(const std::vector<MenuEntry>&) override {}
    void setMenuCheck(int, bool) override {}
    void setMenuEnabled(int, bool) override {}
    int popupMenu(const std::vector<MenuEntry>&, int, int) override { return 0; }
    void setTimer(int, int) override {}
    void killTimer(int) override {}
    PaneSize mapSize() override { return {}; }
    void mapPresent(const PixelView&) override {}
    void mapInvalidate() override {}
    void mapCaptureMouse(bool) override {}
    void mapXorRect(int, int, int, int) override {}
    void mapCaption(std::string_view) override {}
    void paneSetText(int, std::string_view) override {}
    void paneSetLines(int, const std::vector<PaneLine>&) override {}
    void quit() override {}
    // A command line remembers nothing between runs.
    Settings& settings() override { return settings_; }

private:
    MemorySettings settings_;
    std::FILE* err_;
    std::deque<std::string> fileAnswers_;
    MsgAnswer answer_ = MsgAnswer::Yes;
    bool verbose_ = false;
    int errors_ = 0;
    int warnings_ = 0;
};

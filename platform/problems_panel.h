// The Problems panel: a dock of the main window that lists rows of text (the findings of the
// current page) under a title with their counts. A row the user activates (clicks) is
// reported to the panel's sink by its index. What the rows say and what a click does is the
// shell's (shell/problems); the platform only shows them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct PanelRow {
    std::string text;
    bool error = false;  // shown as an error, else as a warning
};

class PanelSink {
public:
    virtual ~PanelSink() = default;
    virtual void onPanelRow(int row) = 0;
};

class ProblemsPanel {
public:
    virtual ~ProblemsPanel() = default;
    virtual void setShown(bool on) = 0;
    virtual bool shown() const = 0;
    virtual void setTitle(std::string_view text) = 0;
    virtual void setRows(const std::vector<PanelRow>& rows) = 0;
    virtual void setSink(PanelSink* sink) = 0;
};

// The panel in use. Never null: until a platform installs one, a panel that keeps what it is
// told and shows nothing serves (the console, start-up before the window).
ProblemsPanel& platform_ProblemsPanel();
// Installs a panel (not owned); nullptr restores the default one.
void platform_SetProblemsPanel(ProblemsPanel* panel);

// A panel that keeps what it is told: the default, and the tests' fake.
class MemoryProblemsPanel : public ProblemsPanel {
public:
    void setShown(bool on) override { shown_ = on; }
    bool shown() const override { return shown_; }
    void setTitle(std::string_view text) override { title = std::string(text); }
    void setRows(const std::vector<PanelRow>& r) override {
        rows = r;
        ++rowUpdates;
    }
    void setSink(PanelSink* s) override { sink = s; }
    // A click on row i, as the user would make it.
    void click(int row) {
        if (sink) sink->onPanelRow(row);
    }

    std::string title;
    std::vector<PanelRow> rows;
    int rowUpdates = 0;
    PanelSink* sink = nullptr;

private:
    bool shown_ = false;
};

// The Problems panel on Qt: a dock at the bottom of the main window holding a list, one row
// a finding, an error or a warning icon before each. A click on a row goes to the panel's
// sink. The dock cannot be closed by its own button: View > Problems shows and hides it.
#pragma once

#include "platform/problems_panel.h"

#include <QDockWidget>

#include <string>
#include <vector>

class QListWidget;

class ProblemsDock : public QDockWidget, public ProblemsPanel {
public:
    explicit ProblemsDock(QWidget* parent);

    void setShown(bool on) override;
    bool shown() const override;
    void setTitle(std::string_view text) override;
    void setRows(const std::vector<PanelRow>& rows) override;
    void setSink(PanelSink* sink) override { sink_ = sink; }

    QListWidget& list() { return *list_; }

private:
    QListWidget* list_ = nullptr;
    PanelSink* sink_ = nullptr;
    bool sized_ = false;
};

class QMainWindow;

// The panel the core talks to: it keeps what it is told and builds the dock the first time the
// panel is shown. Most sessions start without the panel, and building the dock (a list, its
// icons, its accessibility) would hold the window's first frame back.
class ProblemsPanelOnDemand : public ProblemsPanel {
public:
    explicit ProblemsPanelOnDemand(QMainWindow& window) : window_(window) {}

    void setShown(bool on) override;
    bool shown() const override { return dock_ && dock_->shown(); }
    void setTitle(std::string_view text) override;
    void setRows(const std::vector<PanelRow>& rows) override;
    void setSink(PanelSink* sink) override;

    // The dock, built now if it was not yet.
    ProblemsDock& dock();

private:
    QMainWindow& window_;
    ProblemsDock* dock_ = nullptr;  // owned by the window
    std::string title_;
    std::vector<PanelRow> rows_;
    PanelSink* sink_ = nullptr;
};

// The Problems panel on Qt: a dock at the bottom of the main window holding a list, one row
// a finding, an error or a warning icon before each. A click on a row goes to the panel's
// sink. The dock cannot be closed by its own button: View > Problems shows and hides it.
#pragma once

#include "platform/problems_panel.h"

#include <QDockWidget>

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

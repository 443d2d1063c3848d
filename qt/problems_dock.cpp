#include "qt/problems_dock.h"

#include "qt/qt_text.h"

#include <QApplication>
#include <QListWidget>
#include <QMainWindow>
#include <QStyle>

ProblemsDock::ProblemsDock(QWidget* parent) : QDockWidget(parent), list_(new QListWidget(this)) {
    setObjectName("problems");
    setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
    setWidget(list_);
    connect(list_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        if (sink_ && item) sink_->onPanelRow(list_->row(item));
    });
    connect(list_, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        if (sink_ && item) sink_->onPanelRow(list_->row(item));
    });
    hide();
}

void ProblemsDock::setShown(bool on) {
    setVisible(on);
    // Shown the first time, the dock takes about eight lines rather than half the window.
    if (on && !sized_) {
        if (auto* window = qobject_cast<QMainWindow*>(parentWidget()))
            window->resizeDocks({this}, {fontMetrics().height() * 8}, Qt::Vertical);
        sized_ = true;
    }
}

bool ProblemsDock::shown() const { return !isHidden(); }

void ProblemsDock::setTitle(std::string_view text) { setWindowTitle(qtText(text)); }

void ProblemsDock::setRows(const std::vector<PanelRow>& rows) {
    const QIcon error = QApplication::style()->standardIcon(QStyle::SP_MessageBoxCritical);
    const QIcon warning = QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning);
    list_->clear();
    for (const PanelRow& r : rows) list_->addItem(new QListWidgetItem(r.error ? error : warning, qtText(r.text)));
}

ProblemsDock& ProblemsPanelOnDemand::dock() {
    if (!dock_) {
        dock_ = new ProblemsDock(&window_);
        window_.addDockWidget(Qt::BottomDockWidgetArea, dock_);
        dock_->setTitle(title_);
        dock_->setRows(rows_);
        dock_->setSink(sink_);
        rows_.clear();
    }
    return *dock_;
}

void ProblemsPanelOnDemand::setShown(bool on) {
    if (on || dock_) dock().setShown(on);
}

void ProblemsPanelOnDemand::setTitle(std::string_view text) {
    title_ = text;
    if (dock_) dock_->setTitle(text);
}

void ProblemsPanelOnDemand::setRows(const std::vector<PanelRow>& rows) {
    if (dock_)
        dock_->setRows(rows);
    else
        rows_ = rows;
}

void ProblemsPanelOnDemand::setSink(PanelSink* sink) {
    sink_ = sink;
    if (dock_) dock_->setSink(sink);
}

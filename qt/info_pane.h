// An information pane: lines of text at pixel positions on a light grey ground, in the
// main window's fixed-pitch font, inside a sunken edge; a left click is reported to the
// main window. Line positions are taken from the inside of the edge.
#pragma once

#include "platform/ui.h"

#include <QFrame>

#include <functional>
#include <vector>

class InfoPane : public QFrame {
public:
    InfoPane(QWidget* parent, const QFont& font);

    void setLines(const std::vector<PaneLine>& lines);
    // One line per '\n', from (5,5) on, a line height apart.
    void setText(std::string_view text);
    const std::vector<PaneLine>& lines() const { return lines_; }

    std::function<void()> onClick;

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;

private:
    std::vector<PaneLine> lines_;
};

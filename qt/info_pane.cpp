#include "qt/info_pane.h"

#include "qt/qt_text.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>

InfoPane::InfoPane(QWidget* parent, const QFont& font) : QFrame(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
    setFont(font);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(192, 192, 192));
    pal.setColor(QPalette::WindowText, Qt::black);
    setPalette(pal);
    setFocusPolicy(Qt::NoFocus);
}

void InfoPane::setLines(const std::vector<PaneLine>& lines) {
    lines_ = lines;
    update();
}

void InfoPane::setText(std::string_view text) {
    std::vector<PaneLine> lines;
    const int lh = QFontMetrics(font()).lineSpacing();
    int y = 5;
    while (true) {
        size_t nl = text.find('\n');
        lines.push_back({5, y, std::string(text.substr(0, nl))});
        if (nl == std::string_view::npos) break;
        text.remove_prefix(nl + 1);
        y += lh;
    }
    setLines(lines);
}

void InfoPane::paintEvent(QPaintEvent* e) {
    QFrame::paintEvent(e);
    QPainter p(this);
    const QRect inside = contentsRect();
    p.setClipRect(inside);
    p.translate(inside.topLeft());
    p.setPen(palette().color(QPalette::WindowText));
    const int ascent = QFontMetrics(font()).ascent();
    // Lines are not clipped to their own width: a long one runs to the pane's edge.
    for (const PaneLine& l : lines_) p.drawText(l.x, l.y + ascent, qtText(l.text));
}

void InfoPane::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton && onClick) onClick();
}

#include "qt/map_pane.h"

#include <QMouseEvent>

#include <cmath>
#include <QPainter>
#include <QWheelEvent>

unsigned qt_Modifiers(Qt::KeyboardModifiers m) {
    unsigned out = 0;
    if (m & Qt::ShiftModifier) out |= kModShift;
    if (m & Qt::ControlModifier) out |= kModCtrl;
    if (m & Qt::AltModifier) out |= kModAlt;
    return out;
}

MouseButton qt_Button(Qt::MouseButton b) {
    switch (b) {
    case Qt::LeftButton: return MouseButton::Left;
    case Qt::RightButton: return MouseButton::Right;
    case Qt::MiddleButton: return MouseButton::Middle;
    default: return MouseButton::None;
    }
}

MapPane::MapPane(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setCursor(Qt::CrossCursor);
    // The main window keeps the keyboard focus; the pane never takes it.
    setFocusPolicy(Qt::NoFocus);
    setContextMenuPolicy(Qt::PreventContextMenu);
}

void MapPane::present(const PixelView& view) {
    view_ = view;
    if (view.pixels && view.width > 0 && view.height > 0 && view.stride >= view.width) {
        image_ = QImage(reinterpret_cast<uchar*>(view.pixels), view.width, view.height,
                        static_cast<qsizetype>(view.stride) * 4, QImage::Format_RGB32);
        image_.setDevicePixelRatio(view.scale > 0 ? view.scale : 1.0);
    } else {
        image_ = QImage();
        view_ = PixelView{};
    }
    if (painting_) return;
    presentOnly_ = true;
    repaint();
    presentOnly_ = false;
}

void MapPane::xorRect(int x0, int y0, int x1, int y1) {
    if (!view_.pixels) return;
    if (view_.scale != 1.0f && view_.scale > 0) {
        // Pane pixels to device pixels, the same way both times the band is drawn.
        const auto device = [s = double(view_.scale)](int v) { return static_cast<int>(std::floor(v * s)); };
        x0 = device(x0), y0 = device(y0), x1 = device(x1), y1 = device(y1);
    }
    if (x0 > x1) std::swap(x0, x1);
    if (y0 > y1) std::swap(y0, y1);
    const int w = view_.width, h = view_.height;
    // Each pixel of the outline exactly once, so that a second pass undoes the first.
    auto flip = [&](int x, int y) {
        if (x >= 0 && x < w && y >= 0 && y < h)
            view_.pixels[static_cast<size_t>(y) * static_cast<size_t>(view_.stride) + static_cast<size_t>(x)] ^=
                kBandColour;
    };
    for (int x = x0; x <= x1; ++x) {
        flip(x, y0);
        if (y1 != y0) flip(x, y1);
    }
    for (int y = y0 + 1; y < y1; ++y) {
        flip(x0, y);
        if (x1 != x0) flip(x1, y);
    }
    if (!painting_) {
        presentOnly_ = true;
        repaint();
        presentOnly_ = false;
    }
}

void MapPane::setCaption(const QString& text) {
    if (caption_ == text) return;
    caption_ = text;
    update();
}

void MapPane::capture(bool on) {
    if (on == captured_) return;
    if (on && isVisible()) {
        grabMouse();
        captured_ = true;
    } else if (!on) {
        releaseMouse();
        captured_ = false;
    }
}

void MapPane::paintEvent(QPaintEvent*) {
    painting_ = true;
    // Moved to a screen of another pixel ratio: the core makes its buffer again first.
    if (!presentOnly_ && sink_ && devicePixelRatioF() != ratio_) {
        ratio_ = devicePixelRatioF();
        sink_->onResize(width(), height());
    }
    if (!presentOnly_ && sink_) {
        // Only what the core presents during this paint is drawn: the buffer of an
        // earlier present may be gone by now.
        image_ = QImage();
        view_ = PixelView{};
        sink_->onPaint();
    }
    QPainter p(this);
    if (!image_.isNull()) p.drawImage(QPointF(0, 0), image_);
    // The part of the pane the buffer does not cover stays black.
    const QSizeF shown = image_.isNull() ? QSizeF() : image_.deviceIndependentSize();
    const int iw = static_cast<int>(std::floor(shown.width())), ih = static_cast<int>(std::floor(shown.height()));
    if (iw < width()) p.fillRect(iw, 0, width() - iw, height(), Qt::black);
    if (ih < height()) p.fillRect(0, ih, std::min(iw, width()), height() - ih, Qt::black);
    if (!caption_.isEmpty()) {
        p.setPen(Qt::white);
        p.drawText(rect().adjusted(5, 5, -5, -5), Qt::AlignLeft | Qt::AlignTop, caption_);
    }
    painting_ = false;
}

void MapPane::resizeEvent(QResizeEvent* e) {
    // The core rebuilds its buffer for the new size: stop pointing at the old one.
    image_ = QImage();
    view_ = PixelView{};
    QWidget::resizeEvent(e);
    ratio_ = devicePixelRatioF();
    if (sink_) sink_->onResize(width(), height());
}

void MapPane::mousePressEvent(QMouseEvent* e) {
    MouseButton b = qt_Button(e->button());
    if (sink_ && b != MouseButton::None) {
        QPoint p = e->position().toPoint();
        sink_->onMouseDown(b, p.x(), p.y(), qt_Modifiers(e->modifiers()));
    }
}

void MapPane::mouseReleaseEvent(QMouseEvent* e) {
    MouseButton b = qt_Button(e->button());
    if (sink_ && b != MouseButton::None) {
        QPoint p = e->position().toPoint();
        sink_->onMouseUp(b, p.x(), p.y(), qt_Modifiers(e->modifiers()));
    }
}

void MapPane::mouseDoubleClickEvent(QMouseEvent* e) {
    MouseButton b = qt_Button(e->button());
    if (sink_ && b != MouseButton::None) {
        QPoint p = e->position().toPoint();
        sink_->onDoubleClick(b, p.x(), p.y(), qt_Modifiers(e->modifiers()));
    }
}

void MapPane::mouseMoveEvent(QMouseEvent* e) {
    if (sink_) {
        QPoint p = e->position().toPoint();
        sink_->onMouseMove(p.x(), p.y(), qt_Modifiers(e->modifiers()));
    }
}

void MapPane::wheelEvent(QWheelEvent* e) {
    const int delta = e->angleDelta().y();
    if (!sink_ || delta == 0) {
        e->ignore();
        return;
    }
    e->accept();
    const QPoint p = e->position().toPoint();
    sink_->onWheel(p.x(), p.y(), delta, qt_Modifiers(e->modifiers()));
}

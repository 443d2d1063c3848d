// The map pane: shows the renderer's pixel buffer as it stands (no copy), passes mouse
// input, paints and size changes to the core, and draws the rubber band into the buffer.
// The buffer holds device pixels (the core draws at the screen's pixel ratio, fractional
// ones too); positions to and from the core are in the pane's own (logical) pixels.
#pragma once

#include "platform/ui.h"

#include <QImage>
#include <QWidget>

class MapPane : public QWidget {
public:
    explicit MapPane(QWidget* parent = nullptr);

    void setSink(MapPaneSink* sink) { sink_ = sink; }

    // Shows these pixels now. Within a paint the pane simply takes them; otherwise it
    // repaints at once without asking the core to render again.
    void present(const PixelView& view);
    // Asks for a full paint: the core renders, then presents.
    void invalidate() { update(); }
    // Inverts the outline of the rectangle with corners (x0,y0) and (x1,y1), both
    // included, in the band colour; doing it twice restores the pixels. The corners are pane
    // pixels; the outline is one device pixel wide.
    void xorRect(int x0, int y0, int x1, int y1);
    void setCaption(const QString& text);
    void capture(bool on);

    // What the pane shows (tests read it).
    const QImage& image() const { return image_; }

    static constexpr std::uint32_t kBandColour = 0x0000C8;

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;

private:
    MapPaneSink* sink_ = nullptr;
    PixelView view_;
    QImage image_;  // over view_.pixels, never owning them
    QString caption_;
    bool painting_ = false;
    bool presentOnly_ = false;
    bool captured_ = false;
    qreal ratio_ = 0;  // the pixel ratio the core last sized its buffer for
};

// Converts Qt's modifier flags and buttons to the core's.
unsigned qt_Modifiers(Qt::KeyboardModifiers m);
MouseButton qt_Button(Qt::MouseButton b);

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QRegion>
#include <QWidget>

class QPainter;
class QPainterPath;

namespace character {

// A small window that goes with the character (the speech balloon, the listening tip): on top,
// never focused, never in the way of the mouse, and shaped to its outline where no compositor
// makes it translucent. It is drawn once into an image at the screen's device pixel ratio, and
// the shape is taken from that image's pixels, so the two always agree.
class PopupWindow : public QWidget
{
    Q_OBJECT

public:
    Q_DISABLE_COPY_MOVE(PopupWindow)

    // The window's shape in device pixels, as last given to the window system; empty when
    // translucent.
    QRegion shapeInDevicePixels() const { return m_shape; }
    // What the window shows, in device pixels.
    const QImage &image() const { return m_image; }

protected:
    PopupWindow(const QString &name, bool translucent, QWidget *parent);

    // The outline, in the window's coordinates.
    virtual QPainterPath shape() const = 0;
    // Draws the whole window in its logical coordinates onto a transparent ground.
    virtual void paintContent(QPainter &painter) const = 0;
    // Call after the size, the outline or the content changed.
    void refresh();
    bool isTranslucent() const { return m_translucent; }

    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    bool m_translucent;
    QImage m_image;
    QRegion m_shape;
};

} // namespace character

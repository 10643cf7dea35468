// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QPoint>
#include <QRegion>
#include <QWidget>

namespace character {

// Whether the windows can be translucent (a compositor runs) or must be shaped from alpha.
bool desktopHasCompositor();

// The pixels of an image that a shaped window shows: those at least half opaque, in the image's
// own (device) pixels.
QRegion opaqueRegion(const QImage &image);

// Shapes a top-level window to a region in device pixels. On X11 the shape goes to the native
// window as it is: at a fractional scale no region in logical coordinates names every device
// pixel, and Qt's rounding would cut the picture or show bits of background. Elsewhere the
// region is mapped to logical coordinates.
void setWindowShape(QWidget *window, const QRegion &devicePixels);

// The character's own top-level window: frameless, above other windows, out of the task bar and
// never taking the focus. It shows the current frame and turns the mouse into the character's
// click, drag and menu events. A click never takes the keyboard from the program's window;
// assistive technology may give it the focus, and then the Menu key or Shift+F10 opens the menu.
class CharacterWindow final : public QWidget
{
    Q_OBJECT

public:
    explicit CharacterWindow(bool translucent, QWidget *parent = nullptr);
    Q_DISABLE_COPY_MOVE(CharacterWindow)

    void setFrame(const QImage &frame);
    const QImage &frame() const { return m_frame; }
    bool isTranslucent() const { return m_translucent; }
    // The window's shape in device pixels, as last given to the window system; empty when
    // translucent.
    QRegion shapeInDevicePixels() const { return m_shape; }
    // Keeps the window inside the work area of the screen it is on (or of the nearest one).
    void moveWithinWorkArea(QPoint topLeft);
    // Windows of this component carry this property, so they are never taken for the program's.
    static const char *const ownWindowProperty;

    void setVisible(bool visible) override;

signals:
    // button 1 left, 2 right, 4 middle; shift 1 Shift, 2 Ctrl, 4 Alt; the pointer on the screen.
    void clicked(short button, short shift, QPoint globalPos);
    void dragged(short button, short shift, QPoint globalPos);
    void menuRequested(QPoint globalPos);
    void menuKeyPressed();
    void moved();
    // The window went to a screen of another scale: the frame needs drawing afresh.
    void devicePixelRatioChanged();
    // Something other than the character closed the window: the application quitting closes
    // every window, even while the program still says good-bye.
    void closedFromOutside();

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    bool m_translucent;
    QImage m_frame;
    QRegion m_shape;
    Qt::MouseButton m_pressed = Qt::NoButton;
    QPoint m_pressGlobal;
    QPoint m_pressWindowPos;
    bool m_dragging = false;
    bool m_keptOffTaskbar = false;
};

short shiftState(Qt::KeyboardModifiers modifiers);
// The keys that open a pop-up menu from the keyboard: the Menu key and Shift+F10.
bool isMenuKey(const QKeyEvent *event);
// Gives the character's windows their roles for assistive technology; once is enough.
void installAccessibleInterfaces();
// Asks the desktop to leave a window out of its task bar and pager.
void keepOffTaskbar(QWidget *window);

} // namespace character

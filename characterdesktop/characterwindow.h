// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QPoint>
#include <QWidget>

namespace character {

// Whether the windows can be translucent (a compositor runs) or must be shaped from alpha.
bool desktopHasCompositor();

// The character's own top-level window: frameless, above other windows, out of the task bar and
// never taking the focus. It shows the current frame and turns the mouse into the character's
// click, drag and menu events.
class CharacterWindow final : public QWidget
{
    Q_OBJECT

public:
    explicit CharacterWindow(bool translucent, QWidget *parent = nullptr);
    Q_DISABLE_COPY_MOVE(CharacterWindow)

    void setFrame(const QImage &frame);
    bool isTranslucent() const { return m_translucent; }
    // Keeps the window inside the work area of the screen it is on (or of the nearest one).
    void moveWithinWorkArea(QPoint topLeft);
    // Windows of this component carry this property, so they are never taken for the program's.
    static const char *const ownWindowProperty;

signals:
    // button 1 left, 2 right, 4 middle; shift 1 Shift, 2 Ctrl, 4 Alt; the pointer on the screen.
    void clicked(short button, short shift, QPoint globalPos);
    void dragged(short button, short shift, QPoint globalPos);
    void menuRequested(QPoint globalPos);
    void moved();
    // Something other than the character closed the window: the application quitting closes
    // every window, even while the program still says good-bye.
    void closedFromOutside();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    bool m_translucent;
    QImage m_frame;
    Qt::MouseButton m_pressed = Qt::NoButton;
    QPoint m_pressGlobal;
    QPoint m_pressWindowPos;
    bool m_dragging = false;
};

short shiftState(Qt::KeyboardModifiers modifiers);
// Asks the desktop to leave a window out of its task bar and pager.
void keepOffTaskbar(QWidget *window);

} // namespace character

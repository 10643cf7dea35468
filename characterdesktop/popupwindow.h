// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class QPainterPath;

namespace character {

// A small window that goes with the character (the speech balloon, the listening tip): on top,
// never focused, never in the way of the mouse, and shaped to its outline where no compositor
// makes it translucent.
class PopupWindow : public QWidget
{
    Q_OBJECT

public:
    Q_DISABLE_COPY_MOVE(PopupWindow)

protected:
    PopupWindow(const QString &name, bool translucent, QWidget *parent);

    // The outline, in the window's coordinates.
    virtual QPainterPath shape() const = 0;
    // Call after the size or the outline changed.
    void updateShapeMask();
    bool isTranslucent() const { return m_translucent; }

private:
    bool m_translucent;
};

} // namespace character

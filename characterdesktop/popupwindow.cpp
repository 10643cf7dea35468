// SPDX-License-Identifier: GPL-3.0-or-later
#include "characterdesktop/popupwindow.h"

#include <QBitmap>
#include <QPainter>
#include <QPainterPath>

#include "characterdesktop/characterwindow.h"

namespace character {

PopupWindow::PopupWindow(const QString &name, bool translucent, QWidget *parent)
    : QWidget(parent,
              Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus
                  | Qt::WindowTransparentForInput)
    , m_translucent(translucent)
{
    setObjectName(name);
    setProperty(CharacterWindow::ownWindowProperty, true);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_QuitOnClose, false);
    setAttribute(Qt::WA_TranslucentBackground, translucent);
    setFocusPolicy(Qt::NoFocus);
}

void PopupWindow::updateShapeMask()
{
    if (m_translucent)
        return;
    QBitmap mask(size());
    mask.fill(Qt::color0);
    QPainter painter(&mask);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(Qt::color1);
    painter.setBrush(Qt::color1);
    painter.drawPath(shape());
    painter.end();
    setMask(mask);
}

} // namespace character

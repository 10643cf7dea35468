// SPDX-License-Identifier: GPL-3.0-or-later
#include "characterdesktop/popupwindow.h"

#include <cmath>

#include <QEvent>
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
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
}

void PopupWindow::refresh()
{
    const qreal ratio = devicePixelRatioF();
    const QSize pixels(int(std::ceil(width() * ratio)), int(std::ceil(height() * ratio)));
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    image.setDevicePixelRatio(ratio);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    paintContent(painter);
    painter.end();
    m_image = std::move(image);
    if (!m_translucent) {
        QRegion shape = opaqueRegion(m_image);
        if (shape != m_shape) {
            m_shape = std::move(shape);
            setWindowShape(this, m_shape);
        }
    }
    update();
}

bool PopupWindow::event(QEvent *event)
{
    const bool handled = QWidget::event(event);
    if (event->type() == QEvent::ScreenChangeInternal && !m_image.isNull()
        && !qFuzzyCompare(m_image.devicePixelRatio(), devicePixelRatioF()))
        refresh();
    return handled;
}

void PopupWindow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(rect(), Qt::transparent);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.drawImage(QPointF(0, 0), m_image);
}

} // namespace character

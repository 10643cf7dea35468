// SPDX-License-Identifier: GPL-3.0-or-later
#include "characterdesktop/balloonwindow.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>

using namespace Qt::StringLiterals;

namespace character {

namespace {

constexpr int maximumTextWidth = 240;
constexpr int padding = 10;
constexpr int tailHeight = 14;
constexpr int radius = 12;

} // namespace

BalloonWindow::BalloonWindow(bool translucent, QWidget *parent)
    : PopupWindow(u"characterBalloon"_s, translucent, parent)
{
    QFont font = this->font();
    font.setPointSizeF(std::max(font.pointSizeF(), 11.0) * 1.15);
    font.setBold(true);
    setFont(font);
}

void BalloonWindow::showText(const QString &shown, const QString &whole, const QRect &character, int anchorX)
{
    m_text = shown;
    layoutFor(whole.isEmpty() ? shown : whole, character, anchorX);
    updateShapeMask();
    if (!isVisible())
        show();
    raise();
    update();
}

void BalloonWindow::layoutFor(const QString &whole, const QRect &character, int anchorX)
{
    const QFontMetrics metrics(font());
    QRect textRect = metrics.boundingRect(QRect(0, 0, maximumTextWidth, 10000), Qt::TextWordWrap, whole);
    textRect.setWidth(std::max(textRect.width(), 40));
    const QSize size(textRect.width() + 2 * padding + 2, textRect.height() + 2 * padding + tailHeight + 2);

    QScreen *screen = QGuiApplication::screenAt(character.center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(QPoint(0, 0), size * 4);

    // Above the character when there is room, else below it; the tail reaches into the
    // character's frame, which is mostly transparent round the head.
    constexpr int overlap = 6;
    m_tailDown = character.top() + overlap - size.height() >= area.top();
    // The balloon opens towards the wider side of the screen, which keeps it off the program's
    // window that the character stands beside.
    const bool opensRight = area.right() - anchorX >= anchorX - area.left();
    const int tailInset = radius + 14;
    QPoint topLeft(opensRight ? anchorX - tailInset : anchorX - size.width() + tailInset,
                   m_tailDown ? character.top() + overlap - size.height() : character.bottom() + 1 - overlap);
    topLeft.setX(std::clamp(topLeft.x(), area.left(), std::max(area.left(), area.right() + 1 - size.width())));
    topLeft.setY(std::clamp(topLeft.y(), area.top(), std::max(area.top(), area.bottom() + 1 - size.height())));
    m_tailX = std::clamp(anchorX - topLeft.x(), radius + 8, size.width() - radius - 8);
    m_textRect = QRect(padding + 1, (m_tailDown ? 0 : tailHeight) + padding + 1, textRect.width(), textRect.height());
    setFixedSize(size);
    move(topLeft);
}

QPainterPath BalloonWindow::shape() const
{
    const QRectF body(0.5, m_tailDown ? 0.5 : tailHeight + 0.5, width() - 1.0, height() - tailHeight - 1.0);
    QPainterPath path;
    path.addRoundedRect(body, radius, radius);
    QPainterPath tail;
    if (m_tailDown) {
        tail.moveTo(m_tailX - 9, body.bottom() - 1);
        tail.lineTo(m_tailX + 3, height() - 0.5);
        tail.lineTo(m_tailX + 9, body.bottom() - 1);
    } else {
        tail.moveTo(m_tailX - 9, body.top() + 1);
        tail.lineTo(m_tailX + 3, 0.5);
        tail.lineTo(m_tailX + 9, body.top() + 1);
    }
    tail.closeSubpath();
    return path.united(tail);
}

void BalloonWindow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0x40, 0x40, 0x40), 1.2));
    painter.setBrush(QColor(0xff, 0xfd, 0xe8));
    painter.drawPath(shape());
    painter.setPen(QColor(0x20, 0x20, 0x20));
    painter.drawText(m_textRect, Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, m_text);
}

} // namespace character

// SPDX-License-Identifier: GPL-3.0-or-later
#include "characterdesktop/listeningtip.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>


using namespace Qt::StringLiterals;

namespace character {

namespace {

constexpr int maximumTextWidth = 300;
constexpr int padding = 9;
constexpr int markSize = 26;
constexpr int markGap = 8;
constexpr int lineGap = 3;
constexpr int tail = 12;
constexpr int radius = 10;
// The character's window is mostly transparent round its feet; the tip tucks in a little.
constexpr int overlap = 4;

QFont titleFont(const QFont &base)
{
    QFont font = base;
    font.setBold(true);
    return font;
}

} // namespace

ListeningTip::ListeningTip(bool translucent, QWidget *parent)
    : PopupWindow(u"listeningTip"_s, translucent, parent)
{
    QFont font = this->font();
    font.setPointSizeF(std::max(font.pointSizeF(), 10.0));
    setFont(font);
}

QString ListeningTip::text() const
{
    QStringList parts{m_title, m_body, m_note};
    parts.removeAll(QString());
    return parts.join(u'\n');
}

QFont ListeningTip::noteFont() const
{
    QFont font = this->font();
    font.setPointSizeF(font.pointSizeF() * 0.9);
    return font;
}

void ListeningTip::showTip(Mark mark, const QString &title, const QString &body, const QString &note,
                           const QRect &character)
{
    m_mark = mark;
    m_title = title;
    m_body = body;
    m_note = note;
    placeBy(character);
    if (!isVisible())
        show();
    raise();
    update();
}

QSize ListeningTip::contentSize() const
{
    const QRect bounds(0, 0, maximumTextWidth, 10000);
    int width = 60;
    int height = 0;
    const auto add = [&](const QFont &font, const QString &text) {
        if (text.isEmpty())
            return;
        const QRect r = QFontMetrics(font).boundingRect(bounds, Qt::TextWordWrap, text);
        width = std::max(width, r.width());
        height += (height > 0 ? lineGap : 0) + r.height();
    };
    add(titleFont(font()), m_title);
    add(font(), m_body);
    add(noteFont(), m_note);
    return {markSize + markGap + width, std::max(markSize, height)};
}

void ListeningTip::placeBy(const QRect &character)
{
    const QSize content = contentSize();
    const QSize body(content.width() + 2 * padding + 2, content.height() + 2 * padding + 2);

    QScreen *screen = QGuiApplication::screenAt(character.center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(QPoint(0, 0), body * 4);

    QSize size;
    QPoint topLeft;
    const int below = character.bottom() + 1 - overlap;
    if (below + body.height() + tail <= area.bottom() + 1) {
        m_side = Side::Below;
        size = QSize(body.width(), body.height() + tail);
        topLeft = QPoint(character.center().x() - size.width() / 2, below);
    } else {
        // Beside the feet, towards the wider side of the screen.
        const bool right = area.right() - character.right() >= character.left() - area.left();
        m_side = right ? Side::Right : Side::Left;
        size = QSize(body.width() + tail, body.height());
        // The character stands in the middle of its window; the tip comes closer at the sides.
        const int sideOverlap = overlap + character.width() / 6;
        topLeft = QPoint(right ? character.right() + 1 - sideOverlap : character.left() - size.width() + sideOverlap,
                         character.bottom() + 1 - size.height() - character.height() / 6);
    }
    topLeft.setX(std::clamp(topLeft.x(), area.left(), std::max(area.left(), area.right() + 1 - size.width())));
    topLeft.setY(std::clamp(topLeft.y(), area.top(), std::max(area.top(), area.bottom() + 1 - size.height())));
    if (m_side == Side::Below)
        m_tailAt = std::clamp(character.center().x() - topLeft.x(), radius + 10, size.width() - radius - 10);
    else
        m_tailAt = std::clamp(character.bottom() - character.height() / 4 - topLeft.y(), radius + 10,
                              size.height() - radius - 10);

    const QPoint origin(m_side == Side::Right ? tail : 0, m_side == Side::Below ? tail : 0);
    m_bodyRect = QRect(origin, body);
    setFixedSize(size);
    move(topLeft);
    updateShapeMask();
}

QPainterPath ListeningTip::shape() const
{
    const QRectF body = QRectF(m_bodyRect).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath path;
    path.addRoundedRect(body, radius, radius);
    QPainterPath pointer;
    switch (m_side) {
    case Side::Below:
        pointer.moveTo(m_tailAt - 8, body.top() + 1);
        pointer.lineTo(m_tailAt, 0.5);
        pointer.lineTo(m_tailAt + 8, body.top() + 1);
        break;
    case Side::Right:
        pointer.moveTo(body.left() + 1, m_tailAt - 8);
        pointer.lineTo(0.5, m_tailAt);
        pointer.lineTo(body.left() + 1, m_tailAt + 8);
        break;
    case Side::Left:
        pointer.moveTo(body.right() - 1, m_tailAt - 8);
        pointer.lineTo(width() - 0.5, m_tailAt);
        pointer.lineTo(body.right() - 1, m_tailAt + 8);
        break;
    }
    pointer.closeSubpath();
    return path.united(pointer);
}

void ListeningTip::drawMark(QPainter &painter, const QRectF &box) const
{
    // A microphone: a capsule in a cradle on a stand, crossed out when nothing can be heard.
    const QColor ink = m_mark == Mark::CannotHear ? QColor(0x80, 0x80, 0x80) : QColor(0x2a, 0x5d, 0xb0);
    painter.save();
    painter.translate(box.topLeft());
    const double s = box.width() / 26.0;
    painter.scale(s, s);
    painter.setPen(Qt::NoPen);
    painter.setBrush(ink);
    painter.drawRoundedRect(QRectF(9, 2, 8, 14), 4, 4);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(ink, 2, Qt::SolidLine, Qt::RoundCap));
    painter.drawArc(QRectF(6, 6, 14, 14), 180 * 16, 180 * 16);
    painter.drawLine(QPointF(13, 20), QPointF(13, 24));
    painter.drawLine(QPointF(9, 24), QPointF(17, 24));
    if (m_mark == Mark::CannotHear) {
        painter.setPen(QPen(QColor(0xc0, 0x30, 0x30), 2.5, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(4, 3), QPointF(22, 23));
    }
    painter.restore();
}

void ListeningTip::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0x40, 0x40, 0x40), 1.2));
    painter.setBrush(QColor(0xff, 0xfd, 0xe8));
    painter.drawPath(shape());

    const QRect inner = m_bodyRect.adjusted(padding + 1, padding + 1, -padding - 1, -padding - 1);
    drawMark(painter, QRectF(inner.left(), inner.top(), markSize, markSize));
    QRect textRect = inner.adjusted(markSize + markGap, 0, 0, 0);
    const auto draw = [&](const QFont &font, const QColor &colour, const QString &text) {
        if (text.isEmpty())
            return;
        painter.setFont(font);
        painter.setPen(colour);
        QRect drawn;
        painter.drawText(textRect, Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, text, &drawn);
        textRect.setTop(drawn.bottom() + 1 + lineGap);
    };
    draw(titleFont(font()), QColor(0x20, 0x20, 0x20), m_title);
    draw(font(), QColor(0x20, 0x20, 0x20), m_body);
    draw(noteFont(), QColor(0x60, 0x60, 0x60), m_note);
}

} // namespace character

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "characterdesktop/popupwindow.h"

namespace character {

// The listening tip: a small window by the character that says it is listening and what to
// say, then what it heard, or that it cannot hear. It hangs below the character with a tail
// pointing up at it, or beside it where the screen has no room below; the speech balloon keeps
// the space above.
class ListeningTip final : public PopupWindow
{
    Q_OBJECT

public:
    enum class Mark { Listening, CannotHear };

    explicit ListeningTip(bool translucent, QWidget *parent = nullptr);
    Q_DISABLE_COPY_MOVE(ListeningTip)

    QString title() const { return m_title; }
    QString body() const { return m_body; }
    QString note() const { return m_note; }
    // All of it as one text, as the child reads it.
    QString text() const;
    Mark mark() const { return m_mark; }

    // The note, in smaller print, is for whoever helps the child: which key, where the menu is.
    void showTip(Mark mark, const QString &title, const QString &body, const QString &note, const QRect &character);
    // Follows the character when it is dragged elsewhere.
    void placeBy(const QRect &character);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    enum class Side { Below, Left, Right };
    QPainterPath shape() const override;
    QSize contentSize() const;
    QFont noteFont() const;
    void drawMark(QPainter &painter, const QRectF &box) const;

    Mark m_mark = Mark::Listening;
    QString m_title;
    QString m_body;
    QString m_note;
    Side m_side = Side::Below;
    int m_tailAt = 0;
    QRect m_bodyRect;
};

} // namespace character

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPoint>
#include "characterdesktop/popupwindow.h"

namespace character {

// The speech balloon: a small window of its own next to the character that shows the words
// spoken so far, with a tail pointing at the character's mouth.
class BalloonWindow final : public PopupWindow
{
    Q_OBJECT

public:
    explicit BalloonWindow(bool translucent, QWidget *parent = nullptr);
    Q_DISABLE_COPY_MOVE(BalloonWindow)

    QString text() const { return m_text; }
    // Shows the words said so far in a balloon sized for the whole utterance, so that it does not
    // grow under the child's eyes. The balloon stands above the character's window (below it
    // when the screen has no room above), never over it, its tail pointing at anchorX, on screen.
    void showText(const QString &shown, const QString &whole, const QRect &character, int anchorX);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPainterPath shape() const override;
    void layoutFor(const QString &whole, const QRect &character, int anchorX);

    QString m_text;
    bool m_tailDown = true;
    int m_tailX = 0;
    QRect m_textRect;
};

} // namespace character

// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/answerbox.h"

#include <QKeyEvent>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace app {

AnswerBox::AnswerBox(QWidget *parent)
    : QLineEdit(parent)
{
    // "0" is an optional digit: text() leaves out the blanks, so it holds only what was typed.
    setInputMask(QString(maxDigits, u'0') + u";_"_s);
    setAlignment(Qt::AlignCenter);
}

void AnswerBox::keyPressEvent(QKeyEvent *event)
{
    // Clearing the box leaves the cursor at the end of the blanks, where nothing can be typed.
    if (!hasSelectedText() && cursorPosition() > text().size())
        moveCursorAfterDigits();
    QLineEdit::keyPressEvent(event);
}

void AnswerBox::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event);
    // QLineEdit places the cursor after the focus event (select-all on tab); put it back after.
    QTimer::singleShot(0, this, &AnswerBox::moveCursorAfterDigits);
}

void AnswerBox::mouseReleaseEvent(QMouseEvent *event)
{
    QLineEdit::mouseReleaseEvent(event);
    if (!hasSelectedText())
        moveCursorAfterDigits();
}

void AnswerBox::moveCursorAfterDigits()
{
    deselect();
    setCursorPosition(int(text().size()));
}

} // namespace app

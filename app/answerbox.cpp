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
    // Every way in passes here: keys, input methods, pasting, dropping, middle-click selection.
    connect(this, &QLineEdit::textChanged, this, &AnswerBox::keepAsciiDigits);
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

void AnswerBox::keepAsciiDigits()
{
    // The mask lets through anything Unicode calls a number. The answer is read as ASCII
    // digits, so a pasted "٣٤" would count as 0: give each digit its ASCII form instead, and drop
    // numbers that are no single digit (½, Ⅻ).
    const QString typed = text();
    QString ascii;
    for (const char32_t c : typed.toUcs4()) {
        const int value = QChar::digitValue(c);
        if (value >= 0 && value <= 9)
            ascii += QChar(u'0' + value);
    }
    if (ascii == typed)
        return;
    setText(ascii);
    moveCursorAfterDigits();
}

void AnswerBox::moveCursorAfterDigits()
{
    deselect();
    setCursorPosition(int(text().size()));
}

} // namespace app

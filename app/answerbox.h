// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLineEdit>

namespace app {

// The big answer box: digits only, up to three of them, "_" in the empty places. text() is only
// the digits typed, empty when none. The cursor always stands right after the typed digits, so a
// click into the box never leaves a gap before an answer. Digits of other scripts (Arabic-Indic,
// Devanagari, full-width, superscript) become the ASCII digits of the same value as they arrive,
// so the box always shows exactly the number that is judged.
class AnswerBox final : public QLineEdit
{
    Q_OBJECT

public:
    static constexpr int maxDigits = 3;

    explicit AnswerBox(QWidget *parent = nullptr);
    Q_DISABLE_COPY_MOVE(AnswerBox)

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void moveCursorAfterDigits();
    void keepAsciiDigits();
};

} // namespace app

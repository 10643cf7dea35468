// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The standard dialogs answered by a script: each box is noted, and questions get the answers
// the test set beforehand.

#include <QList>
#include <QString>
#include <QStringList>

#include "widgets/dialogs.h"

namespace testsupport {

class FakeDialogs final : public widgets::Dialogs
{
public:
    struct Message
    {
        QString title;
        QString text;
    };

    void inform(QWidget *, const QString &title, const QString &text) override { informed.append({title, text}); }
    void warn(QWidget *, const QString &title, const QString &text) override { warnings << title + u'\n' + text; }
    bool askYesNoWarning(QWidget *, const QString &title, const QString &text, const QString &detail) override
    {
        questions << title + u'\n' + text;
        details << detail;
        return answerYes;
    }
    QString askText(QWidget *, const QString &title, const QString &prompt) override
    {
        textPrompts << title + u'\n' + prompt;
        return typedText;
    }

    bool answerYes = false;
    QString typedText;
    QList<Message> informed;
    QStringList warnings;
    QStringList questions;
    QStringList details;
    QStringList textPrompts;
};

} // namespace testsupport

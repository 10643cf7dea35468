// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QWidget;

namespace widgets {

// The platform's standard dialogs as the program's windows use them. Tests answer them without a
// person in front of the screen.
class Dialogs
{
public:
    virtual ~Dialogs() = default;
    // OK alone, without an icon.
    virtual void inform(QWidget *parent, const QString &title, const QString &text) = 0;
    // OK alone with the warning icon.
    virtual void warn(QWidget *parent, const QString &title, const QString &text) = 0;
    // Yes and No with a warning icon, Yes the default; true for Yes. A detail, when given, is
    // offered behind the box's "Show Details..." button.
    virtual bool askYesNoWarning(QWidget *parent, const QString &title, const QString &text, const QString &detail) = 0;
    // A modal input box with a prompt and an empty field; empty text when cancelled or closed.
    virtual QString askText(QWidget *parent, const QString &title, const QString &prompt) = 0;
};

class DesktopDialogs final : public Dialogs
{
public:
    void inform(QWidget *parent, const QString &title, const QString &text) override;
    void warn(QWidget *parent, const QString &title, const QString &text) override;
    bool askYesNoWarning(QWidget *parent, const QString &title, const QString &text, const QString &detail) override;
    QString askText(QWidget *parent, const QString &title, const QString &prompt) override;
};

} // namespace widgets

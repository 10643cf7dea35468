// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QWidget;

namespace about {

// The platform's message box with the OK button alone and no icon. Tests answer it without a
// person in front of the screen.
class MessageDialog
{
public:
    virtual ~MessageDialog() = default;
    virtual void inform(QWidget *parent, const QString &title, const QString &text) = 0;
};

class DesktopMessageDialog final : public MessageDialog
{
public:
    void inform(QWidget *parent, const QString &title, const QString &text) override;
};

} // namespace about

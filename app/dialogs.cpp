// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/dialogs.h"

#include <QInputDialog>
#include <QMessageBox>

namespace app {

bool DesktopDialogs::askYesNoWarning(QWidget *parent, const QString &title, const QString &text,
                                     const QString &detail)
{
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::Yes);
    if (!detail.isEmpty())
        box.setDetailedText(detail);
    return box.exec() == QMessageBox::Yes;
}

void DesktopDialogs::warn(QWidget *parent, const QString &title, const QString &text)
{
    QMessageBox::warning(parent, title, text);
}

QString DesktopDialogs::askText(QWidget *parent, const QString &title, const QString &prompt)
{
    bool accepted = false;
    const QString text = QInputDialog::getText(parent, title, prompt, QLineEdit::Normal, QString(), &accepted);
    return accepted ? text : QString();
}

} // namespace app

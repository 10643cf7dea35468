// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/dialogs.h"

#include <QInputDialog>
#include <QMessageBox>

namespace widgets {

void DesktopDialogs::inform(QWidget *parent, const QString &title, const QString &text)
{
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parent);
    box.exec();
}

void DesktopDialogs::warn(QWidget *parent, const QString &title, const QString &text)
{
    QMessageBox::warning(parent, title, text);
}

bool DesktopDialogs::askYesNoWarning(QWidget *parent, const QString &title, const QString &text, const QString &detail)
{
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::Yes);
    if (!detail.isEmpty())
        box.setDetailedText(detail);
    return box.exec() == QMessageBox::Yes;
}

QString DesktopDialogs::askText(QWidget *parent, const QString &title, const QString &prompt)
{
    bool accepted = false;
    const QString text = QInputDialog::getText(parent, title, prompt, QLineEdit::Normal, QString(), &accepted);
    return accepted ? text : QString();
}

} // namespace widgets

// SPDX-License-Identifier: GPL-3.0-or-later
#include "about/messagedialog.h"

#include <QMessageBox>

namespace about {

void DesktopMessageDialog::inform(QWidget *parent, const QString &title, const QString &text)
{
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parent);
    box.exec();
}

} // namespace about

// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/labels.h"

#include <QLabel>

namespace widgets {

QLabel *makeLabel(QWidget *parent, const QString &name, const QString &caption, const QRect &geometry, Wrap wrap)
{
    auto *label = new QLabel(caption, parent);
    label->setObjectName(name);
    label->setGeometry(geometry);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(wrap == Wrap::Words);
    return label;
}

} // namespace widgets

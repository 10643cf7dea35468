// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QLabel;
class QRect;
class QWidget;

namespace widgets {

enum class Wrap { None, Words };

// A label at a fixed place, its text at the top left, named so that tests and accessibility tools
// find it.
QLabel *makeLabel(QWidget *parent, const QString &name, const QString &caption, const QRect &geometry,
                  Wrap wrap = Wrap::None);

} // namespace widgets

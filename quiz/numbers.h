// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>

namespace quiz {

// The decimal number at the start of a text: "07" reads 7, "12 apples" reads 12; an empty text or
// one that does not begin with a digit reads 0.
double readNumber(QStringView text);

// A count as the score labels show it: digits only, no sign, leading zeros, separators or point.
QString formatCount(double count);

// The counter rule: the caption read as a number, plus one, written back. Counts never wrap.
QString raiseCounter(QStringView caption);

} // namespace quiz

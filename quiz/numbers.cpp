// SPDX-License-Identifier: GPL-3.0-or-later
#include "quiz/numbers.h"

#include <cmath>

namespace quiz {

double readNumber(QStringView text)
{
    double value = 0;
    qsizetype i = 0;
    for (; i < text.size() && text[i].isDigit() && text[i].unicode() < 128; ++i)
        value = value * 10 + text[i].digitValue();
    if (i > 0 && i < text.size() && text[i] == u'.') {
        double scale = 0.1;
        for (++i; i < text.size() && text[i].isDigit() && text[i].unicode() < 128; ++i) {
            value += scale * text[i].digitValue();
            scale /= 10;
        }
    }
    return value;
}

QString formatCount(double count)
{
    return QString::number(std::floor(std::fabs(count)), 'f', 0);
}

QString raiseCounter(QStringView caption)
{
    return formatCount(readNumber(caption) + 1);
}

} // namespace quiz

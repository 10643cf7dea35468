// SPDX-License-Identifier: GPL-3.0-or-later
#include "character/phraselist.h"

namespace character {

QStringList phraseAlternatives(const QString &phraseList)
{
    QStringList alternatives;
    for (const QString &alternative : phraseList.split(u'|')) {
        if (!alternative.trimmed().isEmpty())
            alternatives << alternative;
    }
    return alternatives;
}

} // namespace character

// SPDX-License-Identifier: GPL-3.0-or-later
#include "character/phraselist.h"

using namespace Qt::StringLiterals;

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

namespace {
// Longer than any word of a language a child speaks.
constexpr qsizetype longestWord = 40;
} // namespace

QString boundedPhrase(const QString &text)
{
    qsizetype first = 0;
    while (first < text.size() && text.at(first).isSpace())
        ++first;
    qsizetype pos = first;
    qsizetype kept = first; // where the last whole word that fits ends
    qsizetype words = 0;
    for (;;) {
        while (pos < text.size() && text.at(pos).isSpace())
            ++pos;
        if (pos == text.size())
            return text; // everything fitted
        const qsizetype start = pos;
        while (pos < text.size() && !text.at(pos).isSpace())
            ++pos;
        if (words == mostSpokenWords)
            break;
        if (pos - first > mostSpokenCharacters) {
            // No word is that long: a run of letters pasted as a name is cut where the bound
            // falls, so that some of it still shows.
            if (pos - start > longestWord)
                kept = first + mostSpokenCharacters;
            break;
        }
        ++words;
        kept = pos;
    }
    QString shown = text.mid(first, kept - first);
    if (!shown.isEmpty() && shown.back().isHighSurrogate())
        shown.chop(1);
    // The ellipsis takes the place of a trailing comma or full stop: "Ann..." rather than "Ann,...".
    while (!shown.isEmpty() && (shown.back().isPunct() || shown.back().isSpace()))
        shown.chop(1);
    return shown + u"..."_s;
}

} // namespace character

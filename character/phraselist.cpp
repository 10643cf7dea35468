// SPDX-License-Identifier: GPL-3.0-or-later
#include "character/phraselist.h"

using namespace Qt::StringLiterals;

namespace character {

std::optional<WordSpan> nextWord(QStringView text, qsizetype from)
{
    qsizetype start = from;
    while (start < text.size() && text.at(start).isSpace())
        ++start;
    if (start >= text.size())
        return std::nullopt;
    qsizetype end = start;
    while (end < text.size() && !text.at(end).isSpace())
        ++end;
    return WordSpan{start, end};
}

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

// Where the part of a text that is spoken ends, the first word starting at first; -1 when all of
// it is within the bounds.
qsizetype boundedEnd(const QString &text, qsizetype first)
{
    qsizetype kept = first; // where the last whole word that fits ends
    qsizetype words = 0;
    for (auto word = nextWord(text, first); word; word = nextWord(text, word->end)) {
        if (words == mostSpokenWords)
            return kept;
        if (word->end - first > mostSpokenCharacters) {
            // No word is that long: a run of letters pasted as a name is cut where the bound
            // falls, so that some of it still shows.
            return word->end - word->start > longestWord ? first + mostSpokenCharacters : kept;
        }
        ++words;
        kept = word->end;
    }
    return -1;
}
} // namespace

QString boundedPhrase(const QString &text)
{
    const auto firstWord = nextWord(text, 0);
    if (!firstWord)
        return text;
    const qsizetype first = firstWord->start;
    const qsizetype kept = boundedEnd(text, first);
    if (kept < 0)
        return text; // everything fitted
    QString shown = text.mid(first, kept - first);
    if (!shown.isEmpty() && shown.back().isHighSurrogate())
        shown.chop(1);
    // The ellipsis takes the place of a trailing comma or full stop: "Ann..." rather than "Ann,...".
    while (!shown.isEmpty() && (shown.back().isPunct() || shown.back().isSpace()))
        shown.chop(1);
    return shown + u"..."_s;
}

} // namespace character

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

#include <QString>
#include <QStringList>
#include <QStringView>

namespace character {

// A word of a spoken text, from start up to end.
struct WordSpan
{
    qsizetype start = 0;
    qsizetype end = 0;
};

// The first word at or after from: a run of characters that are not white space. None when only
// white space is left. The balloon's bound, the reading pace and the voice's pieces all count
// words this way, so that they agree on what a word is.
std::optional<WordSpan> nextWord(QStringView text, qsizetype from);

// The alternatives of a phrase list ("a|b|c"); empty alternatives are left out.
QStringList phraseAlternatives(const QString &phraseList);

// The most a character says at once. Speaking takes about a second per three words, and the
// balloon has room for a few lines; a name pasted a thousand times over must neither keep the
// voice busy for minutes nor fill the screen.
inline constexpr qsizetype mostSpokenCharacters = 300;
inline constexpr qsizetype mostSpokenWords = 50;

// The text as spoken and shown: unchanged when it is within those bounds, else its whole words
// that fit, followed by "...". A "word" longer than any real one is cut where the bound falls.
QString boundedPhrase(const QString &text);

} // namespace character

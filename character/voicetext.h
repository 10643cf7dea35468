// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace character {

// A command's voice text, parsed: words, "..." (any words), "[ ]" optional words and "( | )"
// alternatives. Read in one place for the recogniser's grammar and for the listening tip's
// "Say: ..." line, so the two always agree on what a text means.
struct VoicePattern
{
    enum class Kind { Word, AnyWords, Group, Optional };
    Kind kind = Kind::Word;
    QString word; // as written; a number ("12") is a word of its own
    // Group and Optional: the alternatives, each a sequence.
    QList<QList<VoicePattern>> alternatives;
};
using VoiceSequence = QList<VoicePattern>;

// Words as written, "..." (also written "\u2026") and the brackets as separate tokens. Spaces and
// punctuation only separate words; a number is a word of its own.
QStringList voiceTextTokens(const QString &voice);

// Empty when the text is malformed (unbalanced brackets, a stray "|") or says no word for sure.
VoiceSequence parseVoiceText(const QString &voice);

// True when the sequence says at least one word whatever choices are made.
bool saysAWord(const VoiceSequence &sequence);

} // namespace character

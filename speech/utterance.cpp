// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/utterance.h"

#include "character/phraselist.h"
#include "character/readingtimespeech.h"

namespace speech {

using character::readingMsAfter;
using character::readingMsPerWord;

Utterance readingUtterance(const QString &text)
{
    Utterance out;
    int timeMs = 0;
    for (auto word = character::nextWord(text, 0); word; word = character::nextWord(text, word->end)) {
        out.words.append({text.mid(word->start, word->end - word->start), text.left(word->end).trimmed(), timeMs,
                          timeMs + readingMsPerWord});
        timeMs += readingMsPerWord;
    }
    out.mouth.append({0, character::MouthShape::Closed});
    out.durationMs = out.words.isEmpty() ? 0 : timeMs + readingMsAfter;
    return out;
}

} // namespace speech

// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/utterance.h"

#include "character/readingtimespeech.h"

namespace speech {

using character::readingMsAfter;
using character::readingMsPerWord;

Utterance readingUtterance(const QString &text)
{
    Utterance out;
    qsizetype pos = 0;
    int timeMs = 0;
    while (pos < text.size()) {
        while (pos < text.size() && text.at(pos).isSpace())
            ++pos;
        const qsizetype start = pos;
        while (pos < text.size() && !text.at(pos).isSpace())
            ++pos;
        if (pos == start)
            break;
        out.words.append({text.mid(start, pos - start), text.left(pos).trimmed(), timeMs, timeMs + readingMsPerWord});
        timeMs += readingMsPerWord;
    }
    out.mouth.append({0, character::MouthShape::Closed});
    out.durationMs = out.words.isEmpty() ? 0 : timeMs + readingMsAfter;
    return out;
}

} // namespace speech

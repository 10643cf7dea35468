// SPDX-License-Identifier: GPL-3.0-or-later
#include "character/readingtimespeech.h"

#include <algorithm>


namespace character {

namespace {

MouthShape shapeFor(QChar letter, int position)
{
    switch (letter.toLower().unicode()) {
    case 'a':
        return position % 2 ? MouthShape::Wide3 : MouthShape::Wide4;
    case 'e':
    case 'i':
    case 'y':
        return position % 2 ? MouthShape::Wide1 : MouthShape::Wide2;
    case 'o':
        return MouthShape::Medium;
    case 'u':
    case 'w':
        return MouthShape::Narrow;
    case 'm':
    case 'b':
    case 'p':
        return MouthShape::Closed;
    default:
        return MouthShape::Wide1;
    }
}

} // namespace

ReadingTimeSpeech::ReadingTimeSpeech(QObject *parent)
    : SpeechEngine(parent)
{
    m_timer.setSingleShot(true);
    // Word timing is what this engine is about; coarse timers may fire a little early.
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &ReadingTimeSpeech::step);
}

void ReadingTimeSpeech::speak(const QString &text, const VoiceSettings &voice)
{
    stop();
    m_words = text.split(u' ', Qt::SkipEmptyParts);
    const double rate = voice.rate > 0 ? voice.rate : 1.0;
    const int wordMs = std::max(100, int(m_wordMs / rate));
    for (qsizetype w = 0; w < m_words.size(); ++w) {
        const QString &word = m_words.at(w);
        // Longer words and the pause after a sentence mark take longer, as when reading aloud.
        int ms = wordMs + int(std::max<qsizetype>(0, word.size() - 5)) * wordMs / 10;
        if (word.endsWith(u',') || word.endsWith(u'.') || word.endsWith(u'!') || word.endsWith(u'?'))
            ms += wordMs / 2;
        // The mouth moves on the word's vowels and closes at its end.
        QList<MouthShape> shapes;
        int position = 0;
        for (const QChar c : word) {
            if (!c.isLetterOrNumber())
                continue;
            const MouthShape s = shapeFor(c, position++);
            if (shapes.isEmpty() || shapes.last() != s)
                shapes << s;
        }
        if (shapes.isEmpty())
            shapes << MouthShape::Wide1;
        const qsizetype moves = std::min<qsizetype>(shapes.size(), std::max(1, (ms - 80) / 90));
        const int moveMs = (ms - 80) / int(moves);
        for (qsizetype m = 0; m < moves; ++m) {
            Step s;
            s.ms = moveMs;
            s.word = m == 0 ? int(w) : -1;
            s.mouth = shapes.at(m * shapes.size() / moves);
            m_steps << s;
        }
        m_steps << Step{80, -1, MouthShape::Closed};
    }
    m_steps << Step{m_trailingMs, -1, MouthShape::Closed};
    m_next = 0;
    step();
}

void ReadingTimeSpeech::step()
{
    if (m_steps.isEmpty())
        return;
    if (m_next >= m_steps.size()) {
        // The whole text has stayed readable for its last moment.
        m_steps.clear();
        m_words.clear();
        emit finished();
        return;
    }
    const Step s = m_steps.at(m_next++);
    if (s.word >= 0)
        emit wordStarted(s.word, m_words.mid(0, s.word + 1).join(u' '));
    if (m_steps.isEmpty())
        return; // stopped by a receiver
    emit mouthShapeChanged(s.mouth);
    if (!m_steps.isEmpty())
        m_timer.start(s.ms);
}

void ReadingTimeSpeech::stop()
{
    m_timer.stop();
    m_steps.clear();
    m_words.clear();
    m_next = 0;
}

} // namespace character

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>
#include <QTimer>

#include "character/speechengine.h"

namespace character {

// A calm reading pace for a child of five to eight: a word every 400 ms (150 words a minute,
// the low end of reading aloud), and 600 ms more once the last word is shown. Every place that
// shows words without a voice keeps this pace, so the balloon reads the same whichever engine
// fell back.
inline constexpr int readingMsPerWord = 400;
inline constexpr int readingMsAfter = 600;

// Speech without a voice: the words appear one at a time at a calm reading pace, the mouth moves
// with the letters of each word, and the utterance ends after the time a child needs to read it.
// The default engine until a synthesiser is plugged in, and the fallback when one fails.
class ReadingTimeSpeech final : public SpeechEngine
{
    Q_OBJECT

public:
    explicit ReadingTimeSpeech(QObject *parent = nullptr);
    Q_DISABLE_COPY_MOVE(ReadingTimeSpeech)

    void speak(const QString &text, const VoiceSettings &voice) override;
    void stop() override;

    // Milliseconds a word stays before the next one shows, at rate 1.
    void setWordMs(int ms) { m_wordMs = ms; }
    // How long the whole text stays readable after the last word.
    void setTrailingMs(int ms) { m_trailingMs = ms; }

private:
    void step();

    struct Step
    {
        int ms = 0;
        int word = -1; // >= 0: this word starts
        MouthShape mouth = MouthShape::Closed;
    };

    QTimer m_timer;
    QStringList m_words;
    QList<Step> m_steps;
    qsizetype m_next = 0;
    int m_wordMs = readingMsPerWord;
    int m_trailingMs = readingMsAfter;
};

} // namespace character

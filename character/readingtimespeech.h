// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>
#include <QTimer>

#include "character/speechengine.h"

namespace character {

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
    int m_wordMs = 380;
    int m_trailingMs = 700;
};

} // namespace character

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

namespace character {

// The mouth shapes drawn over the head while the character speaks.
enum class MouthShape { Closed, Wide1, Wide2, Wide3, Wide4, Medium, Narrow };

// How a character sounds; part of its character file.
struct VoiceSettings
{
    QString voice;      // engine-specific voice name; empty for the engine's default
    double rate = 1.0;  // 1 is the voice's natural speed
    double pitch = 1.0; // 1 is the voice's natural pitch
};

// Speaks one utterance at a time for a character. speak() returns at once; the engine reports
// each word as it is spoken (for the balloon), the mouth shapes in time with the voice, and the
// end. Without a sound device it keeps the same timing in silence, and a synthesis failure still
// ends in finished().
class SpeechEngine : public QObject
{
    Q_OBJECT

public:
    explicit SpeechEngine(QObject *parent = nullptr);
    Q_DISABLE_COPY_MOVE(SpeechEngine)

    // One alternative, already picked from the phrase list.
    virtual void speak(const QString &text, const VoiceSettings &voice) = 0;
    // Cuts the voice at once; nothing more is reported for the utterance.
    virtual void stop() = 0;

signals:
    // shownSoFar is the text as the balloon shows it up to and including word `index`, written
    // as in the request (a number shows as "12" while it is spoken as "twelve").
    void wordStarted(int index, const QString &shownSoFar);
    void mouthShapeChanged(character::MouthShape shape);
    void finished();
};

} // namespace character

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The character's voice. FliteSynthesizer turns a text into an utterance in memory (samples, the
// timing of every shown word, the mouth shapes); FliteSpeech has it synthesised piece by piece on
// a thread of its own, plays the samples through an AudioOutput (the default sound device) and
// reports words and mouth shapes by the output's clock, so they keep with what is heard. Without
// a sound device it runs the same timeline in silence. Stopping or destroying it never waits for
// the synthesis: a piece still being synthesised is dropped when it is done.

#include <memory>

#include <QElapsedTimer>
#include <QTimer>

#include "character/speechengine.h"
#include "speech/audiooutput.h"
#include "speech/utterance.h"

namespace speech {

class Mailbox;
class PcmStream;
class PcmStreamDevice;
class Synthesizer;

class FliteSpeech final : public character::SpeechEngine
{
    Q_OBJECT

public:
    enum class Output {
        DefaultDevice, // the system's default output; silent if there is none or it fails
        Silent,        // never opens a device
    };

    explicit FliteSpeech(QObject *parent = nullptr);
    FliteSpeech(std::shared_ptr<Synthesizer> synthesizer, Output output, QObject *parent = nullptr);
    // An empty factory speaks in silence.
    FliteSpeech(std::shared_ptr<Synthesizer> synthesizer, AudioOutputFactory output, QObject *parent = nullptr);
    ~FliteSpeech() override;
    Q_DISABLE_COPY_MOVE(FliteSpeech)

    // Texts longer than a phrase are cut first (see character::boundedPhrase).
    void speak(const QString &text, const character::VoiceSettings &voice) override;
    void stop() override;

    bool isSpeaking() const;
    // Whether the utterance now playing reaches a sound device.
    bool isAudible() const;
    // Where the utterance's timeline stands, in milliseconds of sound heard.
    qint64 positionMs();

signals:
    // The utterance's timeline has begun: its first samples were handed to the sound device, or,
    // with audible false, it runs in silence.
    void audioStarted(bool audible);

private:
    enum class State { Idle, Synthesizing, Playing };

    void onPiece(const Utterance &piece);
    void onSynthesisFinished(bool failed);
    void startPlaying(int sampleRate);
    void goSilent(qint64 fromMs);
    void advance();

    std::shared_ptr<Synthesizer> m_synthesizer;
    AudioOutputFactory m_outputFactory;
    State m_state = State::Idle;
    // Bumped by every speak() and stop(), so that an event of a synthesis that was stopped or
    // replaced is dropped.
    quint64 m_generation = 0;
    QString m_text;

    // The timeline as far as it has been synthesised; words and cues are appended piece by piece.
    Utterance m_utterance;
    bool m_synthesisDone = false;
    qsizetype m_nextWord = 0;
    qsizetype m_nextCue = 0;

    std::shared_ptr<Mailbox> m_mailbox;
    std::shared_ptr<PcmStream> m_stream;
    std::unique_ptr<PcmStreamDevice> m_device;
    std::unique_ptr<AudioOutput> m_output;

    // The clock: the output's while it plays; once the sound has ended, failed or stalled, time
    // goes on from where it stood. In silence it waits at the end of what has been synthesised.
    qint64 m_silentFromMs = 0;
    QElapsedTimer m_silentClock;
    qint64 m_lastPlayedMs = -1;
    QElapsedTimer m_sinceProgress;
    QTimer m_timer;
};

// What the character component uses for its voice.
std::unique_ptr<character::SpeechEngine> createSpeechEngine();

} // namespace speech

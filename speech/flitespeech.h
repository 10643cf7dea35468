// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The character's voice. FliteSynthesizer turns a text into an utterance in memory (samples, the
// timing of every shown word, the mouth shapes); FliteSpeech synthesises it off the window's
// thread, plays it through the default sound device and reports words and mouth shapes in time
// with the audio. Without a sound device it runs the same timeline in silence.

#include <memory>

#include <QElapsedTimer>
#include <QThreadPool>
#include <QTimer>

#include "character/speechengine.h"
#include "speech/utterance.h"

class QAudioSink;

namespace speech {

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
    ~FliteSpeech() override;
    Q_DISABLE_COPY_MOVE(FliteSpeech)

    void speak(const QString &text, const character::VoiceSettings &voice) override;
    void stop() override;

    bool isSpeaking() const;
    // Whether the utterance now playing reaches a sound device.
    bool isAudible() const;

signals:
    // The utterance's timeline has begun: its samples were handed to the sound device, or, with
    // audible false, it runs in silence.
    void audioStarted(bool audible);

private:
    enum class State { Idle, Synthesizing, Playing };

    void play(Utterance timeline);
    bool openSink();
    void closeSink();
    void advance();
    void onSinkStateChanged();

    std::shared_ptr<Synthesizer> m_synthesizer;
    Output m_output;
    State m_state = State::Idle;
    // Bumped by every speak() and stop(), so that a synthesis finishing for an utterance that
    // was stopped or replaced is dropped.
    quint64 m_generation = 0;

    Utterance m_utterance;
    qsizetype m_nextWord = 0;
    qsizetype m_nextCue = 0;
    QElapsedTimer m_clock;
    QTimer m_timer;
    // The samples of the utterance being synthesised or played; cancelled to stop its synthesis.
    std::shared_ptr<PcmStream> m_stream;
    PcmStreamDevice *m_device = nullptr;
    QAudioSink *m_sink = nullptr;
    bool m_sinkDrained = false;
    // Our own worker, so that speech never waits behind long jobs in the global pool; last, so
    // that it is gone (after the synthesis it runs has stopped) before anything else here goes.
    QThreadPool m_workers;
};

// What the character component uses for its voice.
std::unique_ptr<character::SpeechEngine> createSpeechEngine();

} // namespace speech

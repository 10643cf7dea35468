// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <memory>

#include <QtGlobal>

class QAudioSink;
class QIODevice;

namespace speech {

// Where an utterance's samples are played, and the clock that says how much of them has been
// heard: words and mouth shapes follow this clock, not the time since speaking began, so they
// stay with the sound however late the device starts or however it stalls.
class AudioOutput
{
public:
    AudioOutput() = default;
    virtual ~AudioOutput() = default;
    AudioOutput(const AudioOutput &) = delete;
    AudioOutput &operator=(const AudioOutput &) = delete;

    // Starts pulling signed 16-bit mono samples from `source`. False when there is nowhere to
    // play them; the caller goes on in silence.
    virtual bool start(QIODevice *source, int sampleRate) = 0;
    // How much of the samples has been played so far.
    virtual qint64 playedUSecs() const = 0;
    // The device went away or failed after it started.
    virtual bool hasFailed() const = 0;
};

using AudioOutputFactory = std::function<std::unique_ptr<AudioOutput>()>;

// How much sound the system's device holds before it starts to play. PulseAudio holds a stream
// back until its buffer is full, two seconds by default. Long enough to ride out a busy moment of
// the machine, short enough that a word starts when it is due.
constexpr qint64 deviceBufferMs = 150;

// The system's default output device through QAudioSink.
class SinkOutput final : public AudioOutput
{
public:
    SinkOutput();
    ~SinkOutput() override;

    bool start(QIODevice *source, int sampleRate) override;
    qint64 playedUSecs() const override;
    bool hasFailed() const override;

private:
    std::unique_ptr<QAudioSink> m_sink;
};

} // namespace speech

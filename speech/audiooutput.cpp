// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/audiooutput.h"

#include <atomic>

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QMediaDevices>

#include "speech/logging.h"

namespace speech {

SinkOutput::SinkOutput() = default;

SinkOutput::~SinkOutput()
{
    if (!m_sink)
        return;
    m_sink->stop();
    // Not deleted here: Qt's PulseAudio sink processes pending events in its destructor, and this
    // runs in the middle of the character's own work (stopping, starting the next utterance),
    // which must not be re-entered. Later, from the event loop, it does no harm.
    m_sink.release()->deleteLater();
}

bool SinkOutput::start(QIODevice *source, int sampleRate)
{
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull()) {
        // Said once: without a sound card every utterance would say it again.
        static std::atomic_bool told = false;
        if (!told.exchange(true))
            qCWarning(lcSpeech, "no sound output device; speaking in silence");
        return false;
    }
    QAudioFormat format;
    format.setSampleRate(sampleRate);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    if (!device.isFormatSupported(format)) {
        qCWarning(lcSpeech, "the sound device \"%s\" does not take %d Hz mono; speaking in silence",
                  qPrintable(device.description()), sampleRate);
        return false;
    }
    m_sink = std::make_unique<QAudioSink>(device, format);
    // The voice is made piece by piece, so the source cannot tell the device its length up front.
    m_sink->setBufferSize(qsizetype(format.bytesForDuration(deviceBufferMs * 1000)));
    m_sink->start(source);
    // A missing or refused device shows only here, right after start().
    if (m_sink->error() != QAudio::NoError) {
        qCWarning(lcSpeech, "the sound device \"%s\" did not start (error %d); speaking in silence",
                  qPrintable(device.description()), int(m_sink->error()));
        m_sink.reset();
        return false;
    }
    return true;
}

qint64 SinkOutput::playedUSecs() const
{
    return m_sink ? m_sink->processedUSecs() : 0;
}

bool SinkOutput::hasFailed() const
{
    return !m_sink || (m_sink->state() == QAudio::StoppedState && m_sink->error() != QAudio::NoError);
}

} // namespace speech

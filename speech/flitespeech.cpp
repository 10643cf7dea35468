// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/flitespeech.h"

#include <algorithm>

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QFutureWatcher>
#include <QMediaDevices>
#include <QtConcurrent/QtConcurrentRun>

#include "speech/flitesynthesizer.h"

namespace speech {

namespace {
// The sink reports the last samples played a little after the timeline reaches its end; if it
// never does (a stuck device), the timeline alone ends the utterance after this.
constexpr qint64 drainGraceMs = 1000;
constexpr int drainPollMs = 10;
} // namespace

FliteSpeech::FliteSpeech(QObject *parent)
    : FliteSpeech(std::make_shared<FliteSynthesizer>(), Output::DefaultDevice, parent)
{
}

FliteSpeech::FliteSpeech(std::shared_ptr<Synthesizer> synthesizer, Output output, QObject *parent)
    : SpeechEngine(parent)
    , m_synthesizer(std::move(synthesizer))
    , m_output(output)
{
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &FliteSpeech::advance);
}

FliteSpeech::~FliteSpeech()
{
    // A synthesis still running keeps its synthesizer alive through its own copy of the pointer;
    // its watcher goes with this object, so its result is never delivered.
    stop();
}

bool FliteSpeech::isSpeaking() const
{
    return m_state != State::Idle;
}

bool FliteSpeech::isAudible() const
{
    return m_sink != nullptr;
}

void FliteSpeech::speak(const QString &text, const character::VoiceSettings &voice)
{
    stop();
    const quint64 generation = m_generation;
    m_state = State::Synthesizing;

    using Result = std::optional<Utterance>;
    auto *watcher = new QFutureWatcher<Result>(this);
    connect(watcher, &QFutureWatcher<Result>::finished, this, [this, watcher, generation, text] {
        watcher->deleteLater();
        if (generation != m_generation)
            return;
        Result result = watcher->result();
        play(result ? std::move(*result) : readingUtterance(text));
    });
    watcher->setFuture(QtConcurrent::run([synthesizer = m_synthesizer, text, voice]() -> Result {
        return synthesizer->synthesize(text, voice);
    }));
}

void FliteSpeech::stop()
{
    ++m_generation;
    m_timer.stop();
    closeSink();
    m_state = State::Idle;
    m_utterance = {};
    m_nextWord = 0;
    m_nextCue = 0;
}

void FliteSpeech::play(Utterance utterance)
{
    m_utterance = std::move(utterance);
    m_nextWord = 0;
    m_nextCue = 0;
    m_state = State::Playing;
    const bool audible = m_output == Output::DefaultDevice && openSink();
    m_clock.start();
    const quint64 generation = m_generation;
    emit audioStarted(audible);
    if (generation == m_generation)
        advance();
}

bool FliteSpeech::openSink()
{
    if (m_utterance.pcm.isEmpty() || m_utterance.sampleRate <= 0)
        return false;
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull())
        return false;
    QAudioFormat format;
    format.setSampleRate(m_utterance.sampleRate);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    if (!device.isFormatSupported(format))
        return false;

    m_sink = new QAudioSink(device, format, this);
    m_sinkDrained = false;
    m_buffer.setData(m_utterance.pcm);
    m_buffer.open(QIODevice::ReadOnly);
    m_sink->start(&m_buffer);
    // A missing or refused device shows only here, right after start().
    if (m_sink->error() != QAudio::NoError) {
        closeSink();
        return false;
    }
    connect(m_sink, &QAudioSink::stateChanged, this, &FliteSpeech::onSinkStateChanged);
    return true;
}

void FliteSpeech::closeSink()
{
    if (m_sink) {
        m_sink->disconnect(this);
        m_sink->stop();
        // The sink may be the sender of the signal being handled.
        m_sink->deleteLater();
        m_sink = nullptr;
    }
    m_buffer.close();
    m_buffer.setData(QByteArray());
}

void FliteSpeech::onSinkStateChanged()
{
    if (!m_sink)
        return;
    switch (m_sink->state()) {
    case QAudio::IdleState:
        m_sinkDrained = true;
        advance();
        break;
    case QAudio::StoppedState:
        if (m_sink->error() != QAudio::NoError) {
            // The device went away mid-sentence: the rest runs in silence on the same clock.
            closeSink();
            advance();
        }
        break;
    default:
        break;
    }
}

void FliteSpeech::advance()
{
    if (m_state != State::Playing)
        return;
    const quint64 generation = m_generation;
    const qint64 now = m_clock.elapsed();

    // Words and mouth shapes go out in time order; a slot may stop or replace the utterance, after
    // which nothing more of it is reported.
    while (generation == m_generation) {
        const bool wordDue = m_nextWord < m_utterance.words.size() && m_utterance.words.at(m_nextWord).startMs <= now;
        const bool cueDue = m_nextCue < m_utterance.mouth.size() && m_utterance.mouth.at(m_nextCue).timeMs <= now;
        if (!wordDue && !cueDue)
            break;
        if (cueDue && (!wordDue || m_utterance.mouth.at(m_nextCue).timeMs <= m_utterance.words.at(m_nextWord).startMs)) {
            emit mouthShapeChanged(m_utterance.mouth.at(m_nextCue++).shape);
        } else {
            const int index = int(m_nextWord++);
            emit wordStarted(index, m_utterance.words.at(index).shownSoFar);
        }
    }
    if (generation != m_generation)
        return;

    qint64 nextDue = m_utterance.durationMs;
    if (m_nextWord < m_utterance.words.size())
        nextDue = std::min<qint64>(nextDue, m_utterance.words.at(m_nextWord).startMs);
    if (m_nextCue < m_utterance.mouth.size())
        nextDue = std::min<qint64>(nextDue, m_utterance.mouth.at(m_nextCue).timeMs);

    if (now >= nextDue) {
        // Only the end is left: it comes when the sound has been played.
        if (!m_sink || m_sinkDrained || now >= m_utterance.durationMs + drainGraceMs) {
            stop();
            emit finished();
            return;
        }
        m_timer.start(drainPollMs);
        return;
    }
    m_timer.start(int(nextDue - now));
}

std::unique_ptr<character::SpeechEngine> createSpeechEngine()
{
    return std::make_unique<FliteSpeech>();
}

} // namespace speech

// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/flitespeech.h"

#include <algorithm>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QFutureWatcher>
#include <QMediaDevices>
#include <QPromise>
#include <QtConcurrent/QtConcurrentRun>

#include "speech/flitesynthesizer.h"
#include "speech/pcmstream.h"

namespace speech {

namespace {

// The sink reports the last samples played a little after the timeline reaches its end; if it
// never does (a stuck device), the timeline alone ends the utterance after this.
constexpr qint64 drainGraceMs = 1000;
constexpr int drainPollMs = 10;

// What the synthesising thread reports: first, when the synthesizer streams, the timings as soon
// as the first samples exist; last, the whole result (nothing when synthesis failed).
struct SynthesisEvent
{
    bool complete = false;
    std::optional<Utterance> utterance;
};

// Passes a streamed utterance on: its samples into the stream the sink reads, its timings to the
// window's thread once the first samples are there to play.
class StreamRelay final : public UtteranceStream
{
public:
    StreamRelay(QPromise<SynthesisEvent> &promise, PcmStream &stream)
        : m_promise(promise)
        , m_stream(stream)
    {
    }

    bool begin(const Utterance &timeline) override
    {
        m_timeline = timeline;
        return !m_stream.isCancelled();
    }

    bool append(const char *pcm, qsizetype bytes) override
    {
        m_stream.append(pcm, bytes);
        if (m_timeline) {
            m_promise.addResult(SynthesisEvent{false, std::move(m_timeline)});
            m_timeline.reset();
            m_begun = true;
        }
        return !m_stream.isCancelled();
    }

    bool hasBegun() const { return m_begun; }

private:
    QPromise<SynthesisEvent> &m_promise;
    PcmStream &m_stream;
    std::optional<Utterance> m_timeline;
    bool m_begun = false;
};

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
    m_workers.setMaxThreadCount(1);
    m_workers.setExpiryTimeout(-1); // a thread ready for the next utterance saves starting one
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &FliteSpeech::advance);
}

FliteSpeech::~FliteSpeech()
{
    // A synthesis still running stops at its next chunk, and the worker pool waits for it; its
    // watcher goes with this object, so nothing is delivered.
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
    m_stream = std::make_shared<PcmStream>();

    auto *watcher = new QFutureWatcher<SynthesisEvent>(this);
    connect(watcher, &QFutureWatcher<SynthesisEvent>::resultReadyAt, this, [this, watcher, generation, text](int index) {
        if (generation != m_generation || m_state != State::Synthesizing)
            return; // stopped or replaced meanwhile, or already playing the streamed timeline
        SynthesisEvent event = watcher->resultAt(index);
        if (event.utterance)
            play(std::move(*event.utterance));
        else if (event.complete)
            play(readingUtterance(text));
    });
    connect(watcher, &QFutureWatcher<SynthesisEvent>::finished, watcher, &QObject::deleteLater);
    watcher->setFuture(QtConcurrent::run(&m_workers,
        [synthesizer = m_synthesizer, stream = m_stream, text, voice](QPromise<SynthesisEvent> &promise) {
            StreamRelay relay(promise, *stream);
            std::optional<Utterance> result = synthesizer->synthesize(text, voice, &relay);
            if (result && !relay.hasBegun())
                stream->append(result->pcm.constData(), result->pcm.size());
            stream->close();
            if (result)
                result->pcm.clear(); // the stream has the samples
            promise.addResult(SynthesisEvent{true, std::move(result)});
#ifdef __GLIBC__
            // Synthesis allocates and frees megabytes on this thread; glibc keeps the freed pages
            // of the thread's malloc arena, so each new longest phrase left the program larger
            // for good (about 20 MB over a long session). Hand them back.
            malloc_trim(0);
#endif
        }));
}

void FliteSpeech::stop()
{
    ++m_generation;
    m_timer.stop();
    closeSink();
    if (m_stream) {
        m_stream->cancel();
        m_stream.reset();
    }
    m_state = State::Idle;
    m_utterance = {};
    m_nextWord = 0;
    m_nextCue = 0;
}

void FliteSpeech::play(Utterance timeline)
{
    m_utterance = std::move(timeline);
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
    if (m_utterance.sampleRate <= 0 || m_utterance.durationMs <= 0 || m_stream->isDrained())
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
    m_device = new PcmStreamDevice(m_stream, this);
    m_device->open(QIODevice::ReadOnly);
    m_sink->start(m_device);
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
    // Either may be the sender of the signal being handled, so they go later.
    if (m_sink) {
        m_sink->disconnect(this);
        m_sink->stop();
        m_sink->deleteLater();
        m_sink = nullptr;
    }
    if (m_device) {
        m_device->close();
        m_device->deleteLater();
        m_device = nullptr;
    }
}

void FliteSpeech::onSinkStateChanged()
{
    if (!m_sink)
        return;
    switch (m_sink->state()) {
    case QAudio::IdleState:
        // Idle also means the sink caught up with a synthesis running behind; only the end of
        // the stream is the end of the sound.
        m_sinkDrained = m_stream && m_stream->isDrained();
        if (m_sinkDrained)
            advance();
        break;
    case QAudio::ActiveState:
        m_sinkDrained = false;
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

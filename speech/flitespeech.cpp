// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/flitespeech.h"

#include <algorithm>

#include "character/phraselist.h"
#include "speech/flitesynthesizer.h"
#include "speech/logging.h"
#include "speech/pcmstream.h"
#include "speech/synthesisworker.h"

namespace speech {

namespace {

// Words and mouth shapes are held against the clock this often while speaking, well within a
// frame of the character's animation.
constexpr int tickMs = 10;
// A device that plays none of the samples it has for this long is taken for stuck, and the
// rest goes on in silence. Its clock counts only what has come out of the speaker, so the device's
// own latency passes first: PulseAudio's null sink reports up to two seconds. While the voice is
// still being made, a device holding less than its buffer has not started yet: it waits for the
// next piece, which a busy machine can take long to make.
constexpr qint64 stalledAfterMs = 3000;
// Once the last samples have been handed over, the device's clock has this long to reach their
// end; some devices stop counting a little short of it. A device whose clock has not started yet
// is still within its latency, and has as long as a stuck one.
constexpr qint64 drainGraceMs(qint64 playedMs)
{
    return playedMs > 0 ? 500 : stalledAfterMs;
}

} // namespace

FliteSpeech::FliteSpeech(QObject *parent)
    : FliteSpeech(std::make_shared<FliteSynthesizer>(), Output::DefaultDevice, parent)
{
}

FliteSpeech::FliteSpeech(std::shared_ptr<Synthesizer> synthesizer, Output output, QObject *parent)
    : FliteSpeech(std::move(synthesizer),
                  output == Output::DefaultDevice ? AudioOutputFactory([] { return std::make_unique<SinkOutput>(); })
                                                  : AudioOutputFactory(),
                  parent)
{
}

FliteSpeech::FliteSpeech(std::shared_ptr<Synthesizer> synthesizer, AudioOutputFactory output, QObject *parent)
    : SpeechEngine(parent)
    , m_synthesizer(std::move(synthesizer))
    , m_outputFactory(std::move(output))
{
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(tickMs);
    connect(&m_timer, &QTimer::timeout, this, &FliteSpeech::advance);
}

FliteSpeech::~FliteSpeech()
{
    // Nothing here waits for a synthesis still running: it finds its stream cancelled and its
    // mailbox closed, and ends on its own thread.
    stop();
}

bool FliteSpeech::isSpeaking() const
{
    return m_state != State::Idle;
}

bool FliteSpeech::isAudible() const
{
    return m_output != nullptr;
}

void FliteSpeech::speak(const QString &text, const character::VoiceSettings &voice)
{
    stop();
    const quint64 generation = m_generation;
    m_text = character::boundedPhrase(text);
    m_state = State::Synthesizing;
    m_stream = std::make_shared<PcmStream>();
    m_mailbox = std::make_shared<Mailbox>(this);

    SynthesisOrder order;
    order.text = m_text;
    order.voice = voice;
    order.synthesizer = m_synthesizer;
    order.stream = m_stream;
    // An event posted just before a stop() still arrives; the generation tells it is stale.
    order.pieceReady = [this, generation, mailbox = m_mailbox](const Utterance &piece) {
        mailbox->post([this, generation, piece] {
            if (generation == m_generation)
                onPiece(piece);
        });
    };
    order.finished = [this, generation, mailbox = m_mailbox](bool failed) {
        mailbox->post([this, generation, failed] {
            if (generation == m_generation)
                onSynthesisFinished(failed);
        });
    };
    qCDebug(lcSpeech, "speaking \"%s\"", qPrintable(m_text));
    synthesizeInBackground(std::move(order));
}

void FliteSpeech::stop()
{
    ++m_generation;
    m_timer.stop();
    if (m_mailbox) {
        m_mailbox->close();
        m_mailbox.reset();
    }
    if (m_stream) {
        m_stream->cancel();
        m_stream.reset();
    }
    // The output first: it reads from the device.
    m_output.reset();
    m_device.reset();
    m_state = State::Idle;
    m_utterance = {};
    m_synthesisDone = false;
    m_nextWord = 0;
    m_nextCue = 0;
    m_lastPlayedMs = -1;
}

void FliteSpeech::onPiece(const Utterance &piece)
{
    if (m_state == State::Idle)
        return;
    m_utterance.words += piece.words;
    for (const MouthCue &cue : piece.mouth) {
        // Pieces begin and end with the mouth closed; one closing is enough.
        if (m_utterance.mouth.isEmpty() || m_utterance.mouth.last().shape != cue.shape)
            m_utterance.mouth << cue;
    }
    m_utterance.durationMs = std::max(m_utterance.durationMs, piece.durationMs);
    qCDebug(lcSpeech, "piece ready: %lld words, timeline now %d ms, %lld ms of samples", qlonglong(piece.words.size()),
            m_utterance.durationMs, m_stream->durationMs());
    if (m_state == State::Synthesizing) {
        m_utterance.sampleRate = piece.sampleRate;
        startPlaying(piece.sampleRate);
    } else if (m_device) {
        m_device->announceSamples();
    }
}

void FliteSpeech::onSynthesisFinished(bool failed)
{
    qCDebug(lcSpeech, "synthesis finished%s", failed ? " with a failure" : "");
    m_synthesisDone = true;
    if (m_state == State::Synthesizing)
        startPlaying(0); // nothing to say: an empty text
}

void FliteSpeech::startPlaying(int sampleRate)
{
    m_state = State::Playing;
    bool audible = false;
    if (m_outputFactory && sampleRate > 0) {
        m_output = m_outputFactory();
        m_device = std::make_unique<PcmStreamDevice>(m_stream);
        m_device->open(QIODevice::ReadOnly);
        audible = m_output && m_output->start(m_device.get(), sampleRate);
    }
    if (!audible)
        goSilent(0);
    m_lastPlayedMs = -1;
    m_sinceProgress.start();
    m_timer.start();
    const quint64 generation = m_generation;
    emit audioStarted(audible);
    if (generation == m_generation)
        advance();
}

void FliteSpeech::goSilent(qint64 fromMs)
{
    m_output.reset();
    m_device.reset();
    m_silentFromMs = fromMs;
    m_silentClock.start();
}

qint64 FliteSpeech::positionMs()
{
    if (m_state != State::Playing)
        return 0;
    if (m_output) {
        const qint64 played = m_output->playedUSecs() / 1000;
        if (played != m_lastPlayedMs) {
            m_lastPlayedMs = played;
            m_sinceProgress.start();
        }
        const qint64 samplesMs = m_stream->durationMs();
        if (m_output->hasFailed()) {
            qCWarning(lcSpeech, "the sound device failed after %lld ms; going on in silence", played);
            goSilent(played);
        } else if (m_stream->isDrained()
                   && (played >= samplesMs || m_sinceProgress.elapsed() >= drainGraceMs(played))) {
            // All the sound has been heard; whatever the timeline still holds goes on in silence.
            goSilent(std::max(played, samplesMs));
        } else if (played < samplesMs && m_sinceProgress.elapsed() >= stalledAfterMs
                   && (m_synthesisDone || samplesMs - played > deviceBufferMs)) {
            qCWarning(lcSpeech, "the sound device stopped playing at %lld ms; going on in silence", played);
            goSilent(played);
        } else {
            return played;
        }
    }
    qint64 position = m_silentFromMs + m_silentClock.elapsed();
    if (!m_synthesisDone && position > m_utterance.durationMs) {
        // Waiting for the next piece: time stands at the end of what has been synthesised.
        position = m_utterance.durationMs;
        m_silentFromMs = position;
        m_silentClock.start();
    }
    return position;
}

void FliteSpeech::advance()
{
    if (m_state != State::Playing)
        return;
    const quint64 generation = m_generation;
    const qint64 now = positionMs();
    if (m_device)
        m_device->announceSamples(); // a sink that ran dry reads again

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

    const bool allReported = m_nextWord >= m_utterance.words.size() && m_nextCue >= m_utterance.mouth.size();
    if (m_synthesisDone && allReported && !m_output && now >= m_utterance.durationMs) {
        stop();
        emit finished();
    }
}

std::unique_ptr<character::SpeechEngine> createSpeechEngine()
{
    return std::make_unique<FliteSpeech>();
}

} // namespace speech

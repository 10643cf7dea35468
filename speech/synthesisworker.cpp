// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/synthesisworker.h"

#include <condition_variable>
#include <deque>
#include <thread>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include <QObject>

#include "character/phraselist.h"
#include "speech/logging.h"
#include "speech/pcmstream.h"
#include "speech/synthesizer.h"

namespace speech {

namespace {

// A comma ends a piece once it has this many words; without any punctuation a piece ends after
// the most words. flite takes a fraction of a second for a piece of that length.
constexpr int wordsBeforeCommaBreak = 6;
constexpr int mostWordsPerPiece = 16;

bool endsSentence(QStringView word)
{
    // Closing quotes and brackets may follow the full stop: "Hello." or (yes!)
    qsizetype i = word.size() - 1;
    while (i > 0 && (word.at(i) == u'"' || word.at(i) == u'\'' || word.at(i) == u')' || word.at(i) == u'\u201d'))
        --i;
    const QChar c = word.at(i);
    return c == u'.' || c == u'!' || c == u'?';
}

bool endsClause(QStringView word)
{
    const QChar c = word.back();
    return c == u',' || c == u';' || c == u':';
}

// Passes one piece on: its samples into the stream, its timings, moved to where the piece sits
// in the utterance, once the first samples are there to play.
class PieceRelay final : public UtteranceStream
{
public:
    PieceRelay(const SynthesisOrder &order, qsizetype textStart, qint64 startMs)
        : m_order(order)
        , m_textStart(textStart)
        , m_startMs(startMs)
    {
    }

    bool begin(const Utterance &timeline) override
    {
        m_timeline = timeline;
        return !m_order.stream->isCancelled();
    }

    bool append(const char *pcm, qsizetype bytes) override
    {
        m_order.stream->append(pcm, bytes);
        if (m_timeline) {
            hand(std::move(*m_timeline));
            m_timeline.reset();
        }
        return !m_order.stream->isCancelled();
    }

    // Hands a piece over that came whole rather than streamed.
    void handWhole(Utterance piece)
    {
        m_order.stream->append(piece.pcm.constData(), piece.pcm.size());
        piece.pcm.clear();
        hand(std::move(piece));
    }

    bool hasBegun() const { return m_begun; }

private:
    void hand(Utterance piece)
    {
        m_begun = true;
        if (m_order.stream->sampleRate() <= 0 && piece.sampleRate > 0)
            m_order.stream->setSampleRate(piece.sampleRate);
        const QString before = m_order.text.left(m_textStart);
        for (WordTiming &word : piece.words) {
            word.startMs += int(m_startMs);
            word.endMs += int(m_startMs);
            word.shownSoFar = (before + word.shownSoFar).trimmed();
        }
        for (MouthCue &cue : piece.mouth)
            cue.timeMs += int(m_startMs);
        piece.durationMs += int(m_startMs);
        m_order.pieceReady(piece);
    }

    const SynthesisOrder &m_order;
    qsizetype m_textStart;
    qint64 m_startMs;
    std::optional<Utterance> m_timeline;
    bool m_begun = false;
};

// The process's synthesising thread and its orders. Made once and never destroyed: the thread
// may still be inside flite when the program ends.
class SynthesisThread
{
public:
    static SynthesisThread &instance()
    {
        static auto *thread = new SynthesisThread;
        return *thread;
    }

    void post(SynthesisOrder order)
    {
        {
            std::lock_guard lock(m_mutex);
            m_orders.push_back(std::move(order));
        }
        m_wake.notify_one();
    }

private:
    SynthesisThread()
    {
        std::thread([this] { run(); }).detach();
    }

    void run()
    {
        for (;;) {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return !m_orders.empty(); });
            SynthesisOrder order = std::move(m_orders.front());
            m_orders.pop_front();
            lock.unlock();
            // An order stopped while it waited costs nothing.
            if (!order.stream->isCancelled())
                synthesizePieces(order);
#ifdef __GLIBC__
            // Synthesis allocates and frees megabytes on this thread; glibc keeps the freed pages
            // of the thread's malloc arena, so each new longest phrase left the program larger
            // for good (about 20 MB over a long session). Hand them back.
            malloc_trim(0);
#endif
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<SynthesisOrder> m_orders;
};

} // namespace

QList<TextPiece> splitIntoPieces(const QString &text)
{
    QList<TextPiece> pieces;
    std::optional<TextPiece> current;
    int words = 0;
    for (auto span = character::nextWord(text, 0); span; span = character::nextWord(text, span->end)) {
        if (!current)
            current = TextPiece{span->start, span->end};
        current->end = span->end;
        ++words;
        const QStringView word = QStringView(text).mid(span->start, span->end - span->start);
        if (endsSentence(word) || (endsClause(word) && words >= wordsBeforeCommaBreak) || words >= mostWordsPerPiece) {
            pieces << *current;
            current.reset();
            words = 0;
        }
    }
    if (current)
        pieces << *current;
    return pieces;
}

Mailbox::Mailbox(QObject *receiver)
    : m_receiver(receiver)
{
}

void Mailbox::post(std::function<void()> event)
{
    // Under the lock, so that close() cannot return while an event is on its way; an event
    // already posted dies with its receiver.
    std::lock_guard lock(m_mutex);
    if (m_receiver)
        QMetaObject::invokeMethod(m_receiver, std::move(event), Qt::QueuedConnection);
}

void Mailbox::close()
{
    std::lock_guard lock(m_mutex);
    m_receiver = nullptr;
}

void synthesizePieces(const SynthesisOrder &order)
{
    qint64 samplesBefore = 0;
    for (const TextPiece &piece : splitIntoPieces(order.text)) {
        if (order.stream->isCancelled())
            return;
        const qint64 startMs = order.stream->sampleRate() > 0 ? samplesBefore * 1000 / order.stream->sampleRate() : 0;
        PieceRelay relay(order, piece.start, startMs);
        qCDebug(lcSpeech, "synthesising piece at %lld", qlonglong(piece.start));
        std::optional<Utterance> result =
            order.synthesizer->synthesize(order.text.mid(piece.start, piece.end - piece.start), order.voice, &relay);
        if (order.stream->isCancelled())
            return;
        if (!result) {
            qCWarning(lcSpeech, "could not synthesise \"%s\"; showing the rest of the text in silence",
                      qPrintable(order.text.mid(piece.start, piece.end - piece.start)));
            PieceRelay rest(order, piece.start, std::max<qint64>(startMs, order.stream->durationMs()));
            rest.handWhole(readingUtterance(order.text.mid(piece.start)));
            order.stream->close();
            order.finished(true);
            return;
        }
        if (order.stream->sampleRate() <= 0)
            order.stream->setSampleRate(result->sampleRate);
        if (!relay.hasBegun())
            relay.handWhole(std::move(*result));
        samplesBefore = order.stream->bytesWritten() / 2;
    }
    order.stream->close();
    order.finished(false);
}

void synthesizeInBackground(SynthesisOrder order)
{
    SynthesisThread::instance().post(std::move(order));
}

} // namespace speech

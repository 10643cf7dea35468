// SPDX-License-Identifier: GPL-3.0-or-later
// The request queue on its own, without a window or a screen: the order requests are carried out
// in, their ends, what the queue tells a screen to do, and the watchdogs with shortened timing.
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "character/characterfile.h"
#include "character/requestqueue.h"

using namespace Qt::StringLiterals;
using namespace character;

namespace {

// Speech that says each word on the next turn of the event loop and then ends, or never ends.
class ScriptedSpeech final : public SpeechEngine
{
public:
    explicit ScriptedSpeech(bool ends)
        : m_ends(ends)
    {
    }
    void speak(const QString &text, const VoiceSettings &) override
    {
        ++speakCalls;
        QTimer::singleShot(0, this, [this, text] {
            emit wordStarted(0, text);
            emit mouthShapeChanged(MouthShape::Wide1);
            if (m_ends)
                emit finished();
        });
    }
    void stop() override { ++stopCalls; }

    int speakCalls = 0;
    int stopCalls = 0;

private:
    bool m_ends;
};

std::shared_ptr<const CharacterData> blob()
{
    static const auto data = loadCharacterFile(QStringLiteral(ZUMBREL_TEST_DATA) + u"/characters/blob/blob.json"_s);
    return data;
}

Timing quickTiming()
{
    Timing timing;
    timing.idleDelayMs = -1;
    timing.balloonLingerMs = 10;
    return timing;
}

} // namespace

class TestRequestQueue : public QObject
{
    Q_OBJECT

private:
    ScriptedSpeech *m_speech = nullptr;

    std::unique_ptr<RequestQueue> makeQueue(Timing timing = quickTiming(), bool speechEnds = true)
    {
        RequestQueue::Options options;
        // Never takes a branch back, so every animation runs straight through.
        options.random = [] { return 0.99; };
        options.timing = timing;
        options.speechFactory = [this, speechEnds] {
            auto speech = std::make_unique<ScriptedSpeech>(speechEnds);
            m_speech = speech.get();
            return speech;
        };
        return std::make_unique<RequestQueue>(blob(), options);
    }

private slots:
    void eachRequestFinishesOnceWithItsStatus_data()
    {
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<QString>("statuses"); // one digit per call, as Status() reports it
        QTest::newRow("shown, then played and spoken")
            << QStringList{u"show"_s, u"play Wave"_s, u"speak Hi|Hello"_s} << u"000"_s;
        QTest::newRow("hidden character fails") << QStringList{u"play Wave"_s, u"speak Hi"_s, u"hide"_s} << u"111"_s;
        QTest::newRow("unknown animation fails, the queue goes on")
            << QStringList{u"show fast"_s, u"play Nope"_s, u"play Blink"_s} << u"010"_s;
        QTest::newRow("shown twice, hidden twice")
            << QStringList{u"show fast"_s, u"show"_s, u"hide fast"_s, u"hide"_s} << u"0001"_s;
        QTest::newRow("stopped while running")
            << QStringList{u"show fast"_s, u"play Explain"_s, u"speak Hi"_s, u"stop"_s} << u"033"_s;
    }

    void eachRequestFinishesOnceWithItsStatus()
    {
        QFETCH(QStringList, calls);
        QFETCH(QString, statuses);
        const auto queue = makeQueue();
        QList<RequestPtr> requests;
        QList<QList<RequestStatus>> reported;
        for (const QString &call : std::as_const(calls)) {
            const QString verb = call.section(u' ', 0, 0);
            const QString rest = call.section(u' ', 1);
            RequestPtr request;
            if (verb == u"show")
                request = queue->show(rest == u"fast");
            else if (verb == u"hide")
                request = queue->hide(rest == u"fast");
            else if (verb == u"play")
                request = queue->play(rest);
            else if (verb == u"speak")
                request = queue->speak(rest);
            else
                queue->stopAll();
            if (!request)
                continue;
            const qsizetype index = requests.size();
            reported.append(QList<RequestStatus>());
            if (request->hasEnded())
                reported[index] << request->status();
            connect(request.get(), &Request::finished, this,
                    [&reported, index](RequestStatus status) { reported[index] << status; });
            requests << request;
        }
        QTRY_VERIFY_WITH_TIMEOUT(
            std::all_of(requests.cbegin(), requests.cend(), [](const RequestPtr &r) { return r->hasEnded(); }), 5000);
        QString seen;
        for (qsizetype i = 0; i < requests.size(); ++i) {
            seen += QString::number(requests.at(i)->Status());
            QCOMPARE(reported.at(i).size(), 1);
            QCOMPARE(reported.at(i).first(), requests.at(i)->status());
        }
        QCOMPARE(seen, statuses);
    }

    // A caller that waits for one request and then asks for the next, from inside finished().
    void requestQueuedFromFinishedRunsNext()
    {
        const auto queue = makeQueue();
        queue->show(true);
        QStringList order;
        RequestPtr second;
        const RequestPtr first = queue->play(u"Blink"_s);
        connect(first.get(), &Request::finished, this, [&] {
            order << u"Blink ended"_s;
            second = queue->play(u"Pleased"_s);
            order << queue->currentAnimation();
        });
        const RequestPtr queuedBefore = queue->speak(u"Hi"_s);
        QTRY_VERIFY_WITH_TIMEOUT(second && second->hasEnded(), 5000);
        // The speech asked for earlier keeps its place ahead of the new request.
        QCOMPARE(order.first(), u"Blink ended"_s);
        QCOMPARE(order.at(1), u"Speaking"_s);
        QCOMPARE(queuedBefore->status(), RequestStatus::Complete);
        QCOMPARE(second->status(), RequestStatus::Complete);
    }

    // What a screen follows: on, the words as spoken, the balloon away after the linger, off.
    void signalsTellTheScreenWhatToDo()
    {
        const auto queue = makeQueue();
        QStringList events;
        connect(queue.get(), &RequestQueue::appeared, this, [&] { events << u"appeared"_s; });
        connect(queue.get(), &RequestQueue::disappeared, this, [&] { events << u"disappeared"_s; });
        connect(queue.get(), &RequestQueue::visibleChanged, this,
                [&](bool visible) { events << (visible ? u"visible"_s : u"hidden"_s); });
        connect(queue.get(), &RequestQueue::wordShown, this,
                [&](const QString &shown, const QString &whole) { events << shown + u" of "_s + whole; });
        connect(queue.get(), &RequestQueue::balloonCleared, this, [&] { events << u"balloon cleared"_s; });
        queue->show(true);
        const RequestPtr speak = queue->speak(u"Good morning"_s);
        QTRY_VERIFY_WITH_TIMEOUT(speak->hasEnded(), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(events.contains(u"balloon cleared"_s), 2000);
        // While the speech lasted the mouth moved; once it ended the mouth is back at rest.
        QCOMPARE(queue->mouth(), std::nullopt);
        const RequestPtr hide = queue->hide(true);
        QVERIFY(hide->hasEnded());
        QCOMPARE(events.join(u", "_s),
                 u"appeared, visible, Good morning of Good morning, balloon cleared, "
                 "balloon cleared, disappeared, hidden"_s);
        QVERIFY(!queue->isVisible());
    }

    void speechWatchdogEndsSilentEngine_data()
    {
        QTest::addColumn<bool>("engineEnds");
        QTest::addColumn<int>("stopCalls");
        QTest::newRow("engine reports its end") << true << 0;
        QTest::newRow("engine never reports its end") << false << 1;
    }

    void speechWatchdogEndsSilentEngine()
    {
        QFETCH(bool, engineEnds);
        QFETCH(int, stopCalls);
        Timing timing = quickTiming();
        timing.speechWatchdogBaseMs = 50;
        timing.speechWatchdogPerWordMs = 10;
        const auto queue = makeQueue(timing, engineEnds);
        queue->show(true);
        if (!engineEnds)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"did not finish"_s));
        const RequestPtr speak = queue->speak(u"three little words"_s);
        const RequestPtr after = queue->play(u"Blink"_s);
        QSignalSpy finished(speak.get(), &Request::finished);
        QVERIFY(finished.wait(5000));
        QCOMPARE(speak->status(), RequestStatus::Complete);
        QCOMPARE(m_speech->stopCalls, stopCalls);
        // The queue goes on behind it.
        QTRY_COMPARE_WITH_TIMEOUT(after->status(), RequestStatus::Complete, 5000);
    }

    // An animation that branches back to itself for ever is brought to its exit by the limit.
    void animationLimitEndsLoopingAnimation()
    {
        Timing timing = quickTiming();
        timing.animationLimitMs = 300;
        const auto queue = makeQueue(timing);
        queue->show(true);
        const RequestPtr play = queue->play(u"Forever"_s);
        QCOMPARE(queue->currentAnimation(), u"Forever"_s);
        QSignalSpy finished(play.get(), &Request::finished);
        QVERIFY(finished.wait(5000));
        QCOMPARE(play->status(), RequestStatus::Complete);
        QCOMPARE(queue->pose(), blob()->neutralPose());
    }

    // Idling while shown and quiet; a request waits for the idle animation to land.
    void idlesBetweenRequestsWithShortenedDelay()
    {
        Timing timing = quickTiming();
        timing.idleDelayMs = 30;
        timing.idleGapMs = 30;
        timing.idleGapSpreadMs = 0;
        const auto queue = makeQueue(timing);
        queue->show(true);
        QTRY_VERIFY_WITH_TIMEOUT(queue->isIdling(), 2000);
        QCOMPARE(queue->currentAnimation(), u"Blink"_s);
        const RequestPtr play = queue->play(u"Pleased"_s);
        QTRY_COMPARE_WITH_TIMEOUT(queue->currentAnimation(), u"Pleased"_s, 2000);
        QVERIFY(!queue->isIdling());
        QTRY_COMPARE_WITH_TIMEOUT(play->status(), RequestStatus::Complete, 3000);
        QTRY_VERIFY_WITH_TIMEOUT(queue->isIdling(), 2000);
    }
};

QTEST_GUILESS_MAIN(TestRequestQueue)
#include "tst_requestqueue.moc"

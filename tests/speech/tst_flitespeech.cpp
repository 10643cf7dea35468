// SPDX-License-Identifier: GPL-3.0-or-later
#include <atomic>

#include <QAudioDevice>
#include <QElapsedTimer>
#include <QIODevice>
#include <QMediaDevices>
#include <QSemaphore>
#include <QTest>

#include "speech/flitespeech.h"
#include "character/phraselist.h"
#include "speech/flitesynthesizer.h"
#include <QSignalSpy>

using namespace Qt::StringLiterals;
using character::MouthShape;
using character::VoiceSettings;
using speech::FliteSpeech;

namespace {

const QString greeting = u"Welcome. I am your teacher for today."_s;

// Everything an engine reports, in the order it was reported.
struct Recording
{
    QStringList events;
    QList<int> wordIndexes;
    QStringList shown;
    QList<MouthShape> shapes;
    int finishedCount = 0;
    int audioStarts = 0;
    bool audible = false;

    explicit Recording(FliteSpeech &engine)
    {
        QObject::connect(&engine, &FliteSpeech::wordStarted, &engine, [this](int index, const QString &soFar) {
            events << u"word"_s;
            wordIndexes << index;
            shown << soFar;
        });
        QObject::connect(&engine, &FliteSpeech::mouthShapeChanged, &engine, [this](MouthShape shape) {
            events << u"mouth"_s;
            shapes << shape;
        });
        QObject::connect(&engine, &FliteSpeech::finished, &engine, [this] {
            events << u"finished"_s;
            ++finishedCount;
        });
        QObject::connect(&engine, &FliteSpeech::audioStarted, &engine, [this, &engine](bool toDevice) {
            ++audioStarts;
            audible = toDevice && engine.isAudible();
        });
    }
};

// Test doubles: a voice that always fails, and one whose synthesis takes a while.
class FailingSynthesizer final : public speech::Synthesizer
{
public:
    std::optional<speech::Utterance> synthesize(const QString &, const VoiceSettings &, speech::UtteranceStream *) override { return std::nullopt; }
};

// Holds every synthesis at its start until the test opens the gate (which then stays open), and
// notes whether the listener still wanted the samples when they came.
class GatedSynthesizer final : public speech::Synthesizer
{
public:
    std::optional<speech::Utterance> synthesize(const QString &text, const VoiceSettings &voice,
                                                speech::UtteranceStream *stream) override
    {
        entered.release();
        gate.acquire();
        gate.release();
        auto utterance = m_real.synthesize(text, voice);
        if (stream && utterance) {
            const bool wanted = stream->begin(*utterance) && stream->append(utterance->pcm.constData(), utterance->pcm.size());
            if (!wanted)
                ++refused;
        }
        done.release();
        return utterance;
    }

    QSemaphore entered;
    QSemaphore gate;
    QSemaphore done;
    std::atomic<int> refused{0};

private:
    speech::FliteSynthesizer m_real;
};

// A sound device whose clock the test drives: it starts playing only after it has been asked
// for its position a number of times, then plays a fixed stretch per question, pulling the
// samples it plays from the source; at a chosen point it stalls for a while. One with a long
// buffer takes all the samples there are at once and plays them later.
class ScriptedOutput final : public speech::AudioOutput
{
public:
    struct Script
    {
        int silentQuestions = 0; // asked this often before the first sample plays
        int stepMs = 5;          // played per question after that
        int stallAtMs = -1;      // where it stops for a while
        int stallQuestions = 0;
        bool takesAllAtOnce = false;
    };

    // `heard` follows the clock and outlives the output, which the engine drops once the sound
    // has been played.
    ScriptedOutput(Script script, std::shared_ptr<qint64> heard)
        : m_script(script)
        , m_heard(std::move(heard))
    {
    }

    bool start(QIODevice *source, int sampleRate) override
    {
        m_source = source;
        m_sampleRate = sampleRate;
        return true;
    }

    qint64 playedUSecs() const override
    {
        if (m_script.takesAllAtOnce)
            m_bufferedBytes += m_source->readAll().size();
        if (m_asked++ >= m_script.silentQuestions) {
            if (m_script.stallAtMs >= 0 && *m_heard >= m_script.stallAtMs && m_stalled < m_script.stallQuestions) {
                ++m_stalled;
            } else {
                // Only what the source had can be played: a synthesis running behind stalls it.
                const qint64 want = qint64(m_script.stepMs) * m_sampleRate / 1000 * 2;
                qint64 got = std::min(want, m_bufferedBytes);
                m_bufferedBytes -= got;
                if (!m_script.takesAllAtOnce) {
                    QByteArray buffer(want, Qt::Uninitialized);
                    got = m_source->read(buffer.data(), want);
                }
                m_playedBytes += std::max<qint64>(0, got);
            }
        }
        *m_heard = m_playedBytes / 2 * 1000 / m_sampleRate;
        return m_playedBytes / 2 * 1000000 / m_sampleRate;
    }

    bool hasFailed() const override { return false; }

private:
    Script m_script;
    std::shared_ptr<qint64> m_heard;
    QIODevice *m_source = nullptr;
    int m_sampleRate = 0;
    mutable int m_asked = 0;
    mutable int m_stalled = 0;
    mutable qint64 m_playedBytes = 0;
    mutable qint64 m_bufferedBytes = 0;
};

std::shared_ptr<speech::Synthesizer> flite()
{
    return std::make_shared<speech::FliteSynthesizer>();
}

} // namespace

class TestFliteSpeech : public QObject
{
    Q_OBJECT

private slots:
    void reportsWordsAndMouthInOrder_data();
    void reportsWordsAndMouthInOrder();
    void silentPathMatchesAudible();
    void stopCutsEverything_data();
    void stopCutsEverything();
    void staleSynthesisIsDropped();
    void nextUtteranceReplacesTheFirst();
    void synthesisFailureStillFinishes();
    void emptyTextFinishes();
    void destroyedWhileSynthesizing();
    void wordsAndMouthFollowTheSoundDevice_data();
    void wordsAndMouthFollowTheSoundDevice();
    void longTextIsCutAndSpokenInPieces();
};

void TestFliteSpeech::reportsWordsAndMouthInOrder_data()
{
    QTest::addColumn<FliteSpeech::Output>("output");
    QTest::newRow("default device") << FliteSpeech::Output::DefaultDevice;
    QTest::newRow("silent") << FliteSpeech::Output::Silent;
}

void TestFliteSpeech::reportsWordsAndMouthInOrder()
{
    QFETCH(FliteSpeech::Output, output);

    const auto expected = speech::FliteSynthesizer().synthesize(greeting, VoiceSettings{});
    QVERIFY(expected);

    FliteSpeech engine(flite(), output);
    Recording recording(engine);
    QElapsedTimer clock;
    clock.start();
    engine.speak(greeting, VoiceSettings{});
    QVERIFY(engine.isSpeaking());
    QVERIFY(recording.events.isEmpty()); // speak() returns before anything is reported
    QTRY_COMPARE_WITH_TIMEOUT(recording.finishedCount, 1, 10000);
    const qint64 elapsed = clock.elapsed();

    QCOMPARE(recording.audioStarts, 1);
    // CTest runs this once against a private sound server and once with no sound device.
    const bool haveDevice = !QMediaDevices::defaultAudioOutput().isNull();
    QCOMPARE(recording.audible, output == FliteSpeech::Output::DefaultDevice && haveDevice);
    QCOMPARE(recording.wordIndexes, (QList<int>{0, 1, 2, 3, 4, 5, 6}));
    QCOMPARE(recording.shown.first(), u"Welcome."_s);
    QCOMPARE(recording.shown.at(4), u"Welcome. I am your teacher"_s);
    QCOMPARE(recording.shown.last(), greeting);
    QList<MouthShape> expectedShapes;
    for (const auto &cue : expected->mouth)
        expectedShapes << cue.shape;
    QCOMPARE(recording.shapes, expectedShapes);
    QCOMPARE(recording.events.last(), u"finished"_s);
    // It ends when the audio has been played, not when the last word starts.
    QVERIFY2(elapsed >= expected->durationMs, qPrintable(QString::number(elapsed)));
    QVERIFY(!engine.isSpeaking());

    // Nothing trails the end: what comes next belongs to the next utterance only.
    const qsizetype before = recording.shown.size();
    engine.speak(u"Ouch!"_s, VoiceSettings{});
    QTRY_COMPARE_WITH_TIMEOUT(recording.finishedCount, 2, 10000);
    QCOMPARE(recording.shown.mid(before), QStringList{u"Ouch!"_s});
}

void TestFliteSpeech::silentPathMatchesAudible()
{
    FliteSpeech audible(flite(), FliteSpeech::Output::DefaultDevice);
    FliteSpeech silent(flite(), FliteSpeech::Output::Silent);
    Recording a(audible);
    Recording s(silent);
    audible.speak(greeting, VoiceSettings{});
    silent.speak(greeting, VoiceSettings{});
    QTRY_COMPARE_WITH_TIMEOUT(a.finishedCount, 1, 10000);
    QTRY_COMPARE_WITH_TIMEOUT(s.finishedCount, 1, 10000);
    QCOMPARE(s.events, a.events);
    QCOMPARE(s.shown, a.shown);
    QCOMPARE(s.shapes, a.shapes);
    QVERIFY(!silent.isAudible());
}

void TestFliteSpeech::stopCutsEverything_data()
{
    QTest::addColumn<int>("wordsBeforeStop");
    QTest::newRow("while synthesising") << 0;
    QTest::newRow("after the first word") << 1;
    QTest::newRow("mid-sentence") << 4;
}

void TestFliteSpeech::stopCutsEverything()
{
    QFETCH(int, wordsBeforeStop);

    FliteSpeech engine(flite(), FliteSpeech::Output::DefaultDevice);
    Recording recording(engine);
    engine.speak(greeting, VoiceSettings{});
    if (wordsBeforeStop > 0)
        QTRY_COMPARE_WITH_TIMEOUT(recording.wordIndexes.size(), wordsBeforeStop, 10000);
    engine.stop();
    QVERIFY(!engine.isSpeaking());
    QVERIFY(!engine.isAudible());
    const qsizetype eventsBefore = recording.events.size();
    const qsizetype shownBefore = recording.shown.size();
    const qsizetype shapesBefore = recording.shapes.size();

    // The engine speaks again after a stop, and only the new utterance is reported from then on.
    const auto next = speech::FliteSynthesizer().synthesize(u"Are you ready?"_s, VoiceSettings{});
    QVERIFY(next);
    engine.speak(u"Are you ready?"_s, VoiceSettings{});
    QTRY_COMPARE_WITH_TIMEOUT(recording.finishedCount, 1, 10000);
    QCOMPARE(recording.shown.mid(shownBefore), (QStringList{u"Are"_s, u"Are you"_s, u"Are you ready?"_s}));
    QList<MouthShape> nextShapes;
    for (const auto &cue : next->mouth)
        nextShapes << cue.shape;
    QCOMPARE(recording.shapes.mid(shapesBefore), nextShapes);
    QCOMPARE(recording.events.mid(eventsBefore).count(u"finished"_s), 1);
}

void TestFliteSpeech::staleSynthesisIsDropped()
{
    auto synthesizer = std::make_shared<GatedSynthesizer>();
    FliteSpeech engine(synthesizer, FliteSpeech::Output::Silent);
    Recording recording(engine);
    engine.speak(u"Ouch!"_s, VoiceSettings{});
    QVERIFY(synthesizer->entered.tryAcquire(1, 10000));
    engine.stop();
    engine.speak(u"That tickles"_s, VoiceSettings{});
    synthesizer->gate.release();
    QTRY_COMPARE_WITH_TIMEOUT(recording.finishedCount, 1, 10000);
    QVERIFY(synthesizer->done.tryAcquire(2, 10000));
    QCOMPARE(synthesizer->refused.load(), 1);
    QCOMPARE(recording.audioStarts, 1);
    QCOMPARE(recording.shown, (QStringList{u"That"_s, u"That tickles"_s}));
}

void TestFliteSpeech::nextUtteranceReplacesTheFirst()
{
    FliteSpeech engine(flite(), FliteSpeech::Output::Silent);
    Recording recording(engine);
    engine.speak(greeting, VoiceSettings{});
    QTRY_COMPARE_WITH_TIMEOUT(recording.wordIndexes.size(), 2, 10000);
    recording.shown.clear();
    engine.speak(u"So long"_s, VoiceSettings{});
    QTRY_COMPARE_WITH_TIMEOUT(recording.finishedCount, 1, 10000);
    QCOMPARE(recording.shown, (QStringList{u"So"_s, u"So long"_s}));
}

void TestFliteSpeech::synthesisFailureStillFinishes()
{
    FliteSpeech engine(std::make_shared<FailingSynthesizer>(), FliteSpeech::Output::DefaultDevice);
    Recording recording(engine);
    QElapsedTimer clock;
    clock.start();
    engine.speak(u"Come back soon, Ann"_s, VoiceSettings{});
    QTRY_COMPARE_WITH_TIMEOUT(recording.finishedCount, 1, 10000);
    QCOMPARE(recording.wordIndexes, (QList<int>{0, 1, 2, 3}));
    QCOMPARE(recording.shown.last(), u"Come back soon, Ann"_s);
    QVERIFY(!recording.shapes.contains(MouthShape::Wide4));
    QCOMPARE(recording.events.last(), u"finished"_s);
    // The balloon stays up long enough to be read.
    QVERIFY(clock.elapsed() >= 1000);
}

void TestFliteSpeech::emptyTextFinishes()
{
    FliteSpeech engine(flite(), FliteSpeech::Output::DefaultDevice);
    Recording recording(engine);
    engine.speak(QString(), VoiceSettings{});
    QTRY_COMPARE_WITH_TIMEOUT(recording.finishedCount, 1, 5000);
    QVERIFY(recording.wordIndexes.isEmpty());
}

void TestFliteSpeech::destroyedWhileSynthesizing()
{
    auto synthesizer = std::make_shared<GatedSynthesizer>();
    auto engine = std::make_unique<FliteSpeech>(synthesizer, FliteSpeech::Output::DefaultDevice);
    engine->speak(greeting, VoiceSettings{});
    QVERIFY(synthesizer->entered.tryAcquire(1, 10000));
    // The synthesis is held, so an engine that waited for it would never come back from this.
    engine.reset();
    synthesizer->gate.release();
    QVERIFY(synthesizer->done.tryAcquire(1, 10000));
    // The abandoned synthesis was told that nobody wants its samples.
    QCOMPARE(synthesizer->refused.load(), 1);

    // The synthesising thread is free for the next voice.
    FliteSpeech next(flite(), FliteSpeech::Output::Silent);
    Recording recording(next);
    next.speak(u"Ouch!"_s, VoiceSettings{});
    QTRY_COMPARE_WITH_TIMEOUT(recording.finishedCount, 1, 10000);
}

void TestFliteSpeech::wordsAndMouthFollowTheSoundDevice_data()
{
    QTest::addColumn<int>("silentQuestions");
    QTest::addColumn<int>("stallAtMs");
    QTest::addColumn<int>("stallQuestions");
    QTest::addColumn<bool>("takesAllAtOnce");
    QTest::newRow("starts at once") << 0 << -1 << 0 << false;
    QTest::newRow("starts late") << 40 << -1 << 0 << false;
    QTest::newRow("stalls mid-sentence") << 0 << 600 << 40 << false;
    QTest::newRow("starts late and stalls") << 30 << 900 << 30 << false;
    // All of the sound handed over long before the device's latency has passed (PulseAudio's
    // null sink holds two seconds): the sound still plays, and the words wait for it.
    QTest::newRow("long latency") << 100 << -1 << 0 << true;
}

void TestFliteSpeech::wordsAndMouthFollowTheSoundDevice()
{
    QFETCH(int, silentQuestions);
    QFETCH(int, stallAtMs);
    QFETCH(int, stallQuestions);
    QFETCH(bool, takesAllAtOnce);
    // One frame of the character's animation at 25 frames a second.
    constexpr qint64 frameMs = 40;

    const QString text = u"Are you ready for the next question"_s; // one piece
    const auto expected = speech::FliteSynthesizer().synthesize(text, VoiceSettings{});
    QVERIFY(expected);

    auto heard = std::make_shared<qint64>(0);
    FliteSpeech engine(flite(), speech::AudioOutputFactory([=] {
                           return std::make_unique<ScriptedOutput>(
                               ScriptedOutput::Script{silentQuestions, 10, stallAtMs, stallQuestions, takesAllAtOnce},
                               heard);
                       }));
    QList<qint64> wordHeardAt;
    QList<qint64> cueHeardAt;
    QStringList shown;
    connect(&engine, &FliteSpeech::wordStarted, this, [&](int, const QString &soFar) {
        wordHeardAt << *heard;
        shown << soFar;
    });
    connect(&engine, &FliteSpeech::mouthShapeChanged, this, [&](MouthShape) { cueHeardAt << *heard; });
    QSignalSpy finished(&engine, &FliteSpeech::finished);
    engine.speak(text, VoiceSettings{});
    QVERIFY(finished.wait(20000));
    QVERIFY(!engine.isSpeaking());

    QCOMPARE(shown.size(), expected->words.size());
    QCOMPARE(shown.last(), text);
    for (qsizetype i = 0; i < wordHeardAt.size(); ++i) {
        const qint64 due = expected->words.at(i).startMs;
        QVERIFY2(wordHeardAt.at(i) >= due && wordHeardAt.at(i) <= due + frameMs,
                 qPrintable(u"word %1 due at %2 ms, shown at %3 ms of sound"_s.arg(i).arg(due).arg(wordHeardAt.at(i))));
    }
    QCOMPARE(cueHeardAt.size(), expected->mouth.size());
    // The mouth closes at the end of the last sound; past the end of the sound the clock stops.
    const qint64 soundMs = qint64(expected->sampleCount()) * 1000 / expected->sampleRate;
    for (qsizetype i = 0; i < cueHeardAt.size(); ++i) {
        const qint64 due = std::min(qint64(expected->mouth.at(i).timeMs), soundMs);
        QVERIFY2(cueHeardAt.at(i) >= due && cueHeardAt.at(i) <= due + frameMs,
                 qPrintable(u"mouth %1 due at %2 ms, drawn at %3 ms of sound"_s.arg(i).arg(due).arg(cueHeardAt.at(i))));
    }
}

void TestFliteSpeech::longTextIsCutAndSpokenInPieces()
{
    // A name pasted over and over: cut to a phrase, spoken in several pieces, one timeline.
    const QString text = u"Good-bye, "_s + QStringList(200, u"Bartholomew"_s).join(u' ');
    const QString bounded = character::boundedPhrase(text);
    QVERIFY(bounded.size() < 320);
    FliteSpeech engine(flite(), FliteSpeech::Output::Silent);
    Recording recording(engine);
    engine.speak(text, VoiceSettings{});
    QTRY_COMPARE_WITH_TIMEOUT(recording.finishedCount, 1, 60000);
    QCOMPARE(recording.shown.size(), bounded.split(u' ', Qt::SkipEmptyParts).size());
    QCOMPARE(recording.shown.last(), bounded);
    for (qsizetype i = 1; i < recording.shown.size(); ++i)
        QVERIFY(recording.shown.at(i).startsWith(recording.shown.at(i - 1)));
}

QTEST_GUILESS_MAIN(TestFliteSpeech)
#include "tst_flitespeech.moc"

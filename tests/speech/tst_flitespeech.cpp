// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAudioDevice>
#include <QElapsedTimer>
#include <QMediaDevices>
#include <QTest>

#include "speech/flitespeech.h"
#include "speech/flitesynthesizer.h"

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

class SlowSynthesizer final : public speech::Synthesizer
{
public:
    std::optional<speech::Utterance> synthesize(const QString &text, const VoiceSettings &voice, speech::UtteranceStream *) override
    {
        QThread::msleep(150);
        return m_real.synthesize(text, voice);
    }

private:
    speech::FliteSynthesizer m_real;
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

    // Nothing trails the end.
    QTest::qWait(200);
    QCOMPARE(recording.finishedCount, 1);
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
    const auto before = recording.events;
    QTest::qWait(3000); // longer than the whole sentence
    QCOMPARE(recording.events, before);
    QCOMPARE(recording.finishedCount, 0);

    // The engine speaks again after a stop.
    engine.speak(u"Are you ready?"_s, VoiceSettings{});
    QTRY_COMPARE_WITH_TIMEOUT(recording.finishedCount, 1, 10000);
    QCOMPARE(recording.shown.last(), u"Are you ready?"_s);
}

void TestFliteSpeech::staleSynthesisIsDropped()
{
    FliteSpeech engine(std::make_shared<SlowSynthesizer>(), FliteSpeech::Output::Silent);
    Recording recording(engine);
    engine.speak(u"Ouch!"_s, VoiceSettings{});
    QTest::qWait(20);
    engine.stop();
    QTest::qWait(20);
    engine.speak(u"That tickles"_s, VoiceSettings{});
    QTRY_COMPARE_WITH_TIMEOUT(recording.finishedCount, 1, 10000);
    QTest::qWait(300);
    QCOMPARE(recording.audioStarts, 1);
    QCOMPARE(recording.shown, (QStringList{u"That"_s, u"That tickles"_s}));
    QCOMPARE(recording.finishedCount, 1);
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
    auto engine = std::make_unique<FliteSpeech>(std::make_shared<SlowSynthesizer>(), FliteSpeech::Output::DefaultDevice);
    engine->speak(greeting, VoiceSettings{});
    engine.reset();
    // The synthesis finishes on its worker with nothing left to report to.
    QTest::qWait(400);
}

QTEST_GUILESS_MAIN(TestFliteSpeech)
#include "tst_flitespeech.moc"

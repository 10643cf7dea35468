// SPDX-License-Identifier: GPL-3.0-or-later
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

#include "character/readingtimespeech.h"

using namespace Qt::StringLiterals;
using namespace character;

class TestReadingTimeSpeech : public QObject
{
    Q_OBJECT

private slots:
    void showsEachWordThenFinishes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("sentence") << u"The correct answer is 12"_s
                                  << QStringList{u"The"_s, u"The correct"_s, u"The correct answer"_s,
                                                 u"The correct answer is"_s, u"The correct answer is 12"_s};
        QTest::newRow("extra blanks") << u"  Ouch!   That  "_s << QStringList{u"Ouch!"_s, u"Ouch! That"_s};
        QTest::newRow("nothing to say") << u"   "_s << QStringList{};
    }

    void showsEachWordThenFinishes()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, shown);
        ReadingTimeSpeech speech;
        speech.setWordMs(100);
        speech.setTrailingMs(100);
        QSignalSpy words(&speech, &SpeechEngine::wordStarted);
        QSignalSpy mouth(&speech, &SpeechEngine::mouthShapeChanged);
        QSignalSpy finished(&speech, &SpeechEngine::finished);
        speech.speak(text, {});
        QVERIFY(finished.wait(5000));
        QCOMPARE(finished.size(), 1);
        QStringList seen;
        for (int i = 0; i < words.size(); ++i) {
            QCOMPARE(words.at(i).at(0).toInt(), i);
            seen << words.at(i).at(1).toString();
        }
        QCOMPARE(seen, shown);
        // The mouth opens while words are said and is closed at the end.
        if (!shown.isEmpty()) {
            QVERIFY(mouth.size() > shown.size());
            bool opened = false;
            for (const auto &args : mouth)
                opened = opened || args.at(0).value<MouthShape>() != MouthShape::Closed;
            QVERIFY(opened);
        }
        QVERIFY(mouth.isEmpty() || mouth.last().at(0).value<MouthShape>() == MouthShape::Closed);
    }

    void longerTextsAndSlowerVoicesTakeLonger()
    {
        const auto duration = [](const QString &text, double rate) {
            ReadingTimeSpeech speech;
            speech.setWordMs(100);
            speech.setTrailingMs(100);
            QSignalSpy finished(&speech, &SpeechEngine::finished);
            QElapsedTimer timer;
            timer.start();
            VoiceSettings voice;
            voice.rate = rate;
            speech.speak(text, voice);
            finished.wait(10000);
            return timer.elapsed();
        };
        // Timers never fire early, so these lower bounds hold on any machine: each word stays at
        // least its share of the reading pace, and half the rate doubles it.
        QVERIFY(duration(u"One two three four five six"_s, 1.0) >= 6 * 100 + 100);
        QVERIFY(duration(u"One two"_s, 0.5) >= 2 * 200 + 100);
    }

    void stopReportsNothingMore()
    {
        ReadingTimeSpeech speech;
        speech.setWordMs(100);
        QSignalSpy words(&speech, &SpeechEngine::wordStarted);
        QSignalSpy finished(&speech, &SpeechEngine::finished);
        speech.speak(u"one two three four"_s, {});
        QCOMPARE(words.size(), 1);
        speech.stop();
        QTest::qWait(800);
        QCOMPARE(words.size(), 1);
        QCOMPARE(finished.size(), 0);
        // And speaks again afterwards.
        speech.speak(u"again"_s, {});
        QVERIFY(finished.wait(3000));
    }
};

QTEST_GUILESS_MAIN(TestReadingTimeSpeech)
#include "tst_readingtimespeech.moc"

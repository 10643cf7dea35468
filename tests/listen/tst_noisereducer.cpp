// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>
#include <cmath>
#include <vector>

#include <QTest>

#include "listen/noisereducer.h"
#include "speechsamples.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int padMs = 300;
constexpr size_t samplesPerMs = 16;

std::vector<qint16> toSamples(const QByteArray &pcm)
{
    const auto *data = reinterpret_cast<const qint16 *>(pcm.constData());
    return {data, data + pcm.size() / 2};
}

// Energy of the difference between two equally long stretches, in dB.
double differenceDb(const std::vector<qint16> &a, const std::vector<qint16> &b, size_t from, size_t to)
{
    double energy = 1e-9;
    for (size_t i = from; i < to; ++i)
        energy += (double(a[i]) - b[i]) * (double(a[i]) - b[i]);
    return 10.0 * std::log10(energy);
}

double energyDb(const std::vector<qint16> &samples, size_t from, size_t to)
{
    return differenceDb(samples, std::vector<qint16>(samples.size(), 0), from, to);
}

} // namespace

class TestNoiseReducer : public QObject
{
    Q_OBJECT

private slots:
    // A steady noise well up against the speech comes out: the result is much closer to the
    // speech alone than what went in, the pauses fall quiet, and the words keep their loudness.
    void steadyNoiseIsTakenOut_data()
    {
        QTest::addColumn<QString>("voice");
        QTest::addColumn<speechsamples::Noise>("noise");
        QTest::addColumn<double>("snrDb");
        QTest::newRow("slt, pink, 10 dB") << u"slt"_s << speechsamples::Noise::Pink << 10.0;
        QTest::newRow("awb, white, 10 dB") << u"awb"_s << speechsamples::Noise::White << 10.0;
        QTest::newRow("rms, pink, 15 dB") << u"rms"_s << speechsamples::Noise::Pink << 15.0;
        QTest::newRow("kal16, white, 5 dB") << u"kal16"_s << speechsamples::Noise::White << 5.0;
    }
    void steadyNoiseIsTakenOut()
    {
        QFETCH(QString, voice);
        QFETCH(speechsamples::Noise, noise);
        QFETCH(double, snrDb);
        const QByteArray cleanPcm
            = speechsamples::padded(speechsamples::say(u"go to level three"_s, {voice, 1.0, 1.0}), padMs, padMs);
        const std::vector<qint16> clean = toSamples(cleanPcm);
        const std::vector<qint16> noisy = toSamples(speechsamples::withNoise(cleanPcm, snrDb, 7, noise));
        std::vector<qint16> reduced = noisy;

        const listen::NoiseReport report = listen::reduceSteadyNoise(reduced);
        QVERIFY2(report.reduced,
                 qPrintable(u"%1 dB above noise, unsteady by %2 dB"_s.arg(report.speechAboveNoiseDb)
                                .arg(report.noiseUnsteadinessDb)));
        QCOMPARE(reduced.size(), noisy.size());

        const size_t all = clean.size();
        const double before = differenceDb(noisy, clean, 0, all);
        const double after = differenceDb(reduced, clean, 0, all);
        QVERIFY2(after < before - 3.0, qPrintable(u"%1 dB of noise left of %2 dB"_s.arg(after).arg(before)));

        const size_t pause = (padMs - 50) * samplesPerMs;
        const double pauseBefore = energyDb(noisy, 0, pause);
        const double pauseAfter = energyDb(reduced, 0, pause);
        QVERIFY2(pauseAfter < pauseBefore - 10.0,
                 qPrintable(u"pause %1 dB, was %2"_s.arg(pauseAfter).arg(pauseBefore)));

        const size_t wordsFrom = padMs * samplesPerMs;
        const size_t wordsTo = all - padMs * samplesPerMs;
        const double words = energyDb(clean, wordsFrom, wordsTo);
        QVERIFY2(std::abs(energyDb(reduced, wordsFrom, wordsTo) - words) < 3.0,
                 qPrintable(u"words at %1 dB, clean %2"_s.arg(energyDb(reduced, wordsFrom, wordsTo)).arg(words)));
    }

    // Quiet noise, no noise, and other people talking are left exactly as they came.
    void otherAudioIsLeftAlone_data()
    {
        QTest::addColumn<QByteArray>("audio");
        const QByteArray speech
            = speechsamples::padded(speechsamples::say(u"level four"_s, {u"slt"_s, 1.0, 1.0}), padMs, padMs);
        QTest::newRow("clean speech") << speech;
        QTest::newRow("faint hiss, 30 dB") << speechsamples::withNoise(speech, 30.0, 3, speechsamples::Noise::White);
        const QList<QByteArray> talkers = {
            speechsamples::say(u"we went to the park and played on the swings all afternoon"_s, {u"rms"_s, 1.0, 1.0}),
            speechsamples::say(u"the teacher said that we should bring our books tomorrow"_s, {u"kal16"_s, 1.0, 1.0}),
            speechsamples::say(u"my brother has a red bicycle with a bell on it"_s, {u"awb"_s, 1.0, 1.2}),
            speechsamples::say(u"after lunch we are going to paint pictures of animals"_s, {u"slt"_s, 1.0, 1.0}),
        };
        for (const double db : {10.0, 5.0})
            QTest::addRow("talk behind, %g dB", db) << speechsamples::withTalkBehind(speech, talkers, db);
        QTest::newRow("too short to judge") << QByteArray(200, '\x05');
        QTest::newRow("nothing") << QByteArray();
    }
    void otherAudioIsLeftAlone()
    {
        QFETCH(QByteArray, audio);
        const std::vector<qint16> original = toSamples(audio);
        std::vector<qint16> samples = original;
        const listen::NoiseReport report = listen::reduceSteadyNoise(samples);
        QVERIFY2(!report.reduced,
                 qPrintable(u"%1 dB above noise, unsteady by %2 dB"_s.arg(report.speechAboveNoiseDb)
                                .arg(report.noiseUnsteadinessDb)));
        QVERIFY(samples == original);
    }

    // Noise without speech, loud or digital silence, comes out no louder and never overflows.
    void noiseAloneStaysQuiet()
    {
        const QByteArray silence(32000 * 2, '\0');
        std::vector<qint16> zeros = toSamples(silence);
        listen::reduceSteadyNoise(zeros);
        QVERIFY(std::all_of(zeros.cbegin(), zeros.cend(), [](qint16 s) { return s == 0; }));

        const std::vector<qint16> hum
            = toSamples(speechsamples::withNoise(QByteArray(32000 * 2, '\x10'), -10.0, 11, speechsamples::Noise::Pink));
        std::vector<qint16> reduced = hum;
        listen::reduceSteadyNoise(reduced);
        QVERIFY(energyDb(reduced, 0, reduced.size()) <= energyDb(hum, 0, hum.size()));
    }

    // Speech whose pauses are digital silence, or the one-step dither of a synthesiser, gets a
    // faint tone in the pauses, 40 dB below the speech; the words themselves stay as they were,
    // and the same audio always gets the same tone.
    void silentPausesGetARoomTone_data()
    {
        QTest::addColumn<QByteArray>("audio");
        const QByteArray speech
            = speechsamples::padded(speechsamples::say(u"reset please"_s, {u"awb"_s, 1.0, 1.0}), padMs, padMs);
        QTest::newRow("digital silence") << speech;
        QTest::newRow("one-step dither") << speechsamples::withNoise(speech, 75.0, 5, speechsamples::Noise::White);
        QTest::newRow("quiet speech") << speechsamples::clipped(speech, 0.1);
    }
    void silentPausesGetARoomTone()
    {
        QFETCH(QByteArray, audio);
        const std::vector<qint16> original = toSamples(audio);
        std::vector<qint16> toned = original;
        QVERIFY(listen::addRoomTone(toned));
        QCOMPARE(toned.size(), original.size());

        const size_t pause = (padMs - 50) * samplesPerMs;
        const size_t wordsFrom = padMs * samplesPerMs;
        const size_t wordsTo = original.size() - padMs * samplesPerMs;
        const double words = energyDb(original, wordsFrom, wordsTo) - 10.0 * std::log10(double(wordsTo - wordsFrom));
        const double tone = energyDb(toned, 0, pause) - 10.0 * std::log10(double(pause));
        // The tone is set against the loud frames, which stand a few dB above the words' average.
        QVERIFY2(tone < words - 30.0 && tone > words - 45.0,
                 qPrintable(u"tone %1 dB, words %2"_s.arg(tone).arg(words)));
        QVERIFY2(differenceDb(toned, original, wordsFrom, wordsTo) < energyDb(original, wordsFrom, wordsTo) - 30.0,
                 "the words keep their sound");

        std::vector<qint16> again = original;
        listen::addRoomTone(again);
        QVERIFY(again == toned);
    }

    // Audio that already has a room's noise, or no speech to set a tone against, is left as it
    // came.
    void roomToneOnlyWherePausesAreSilent_data()
    {
        QTest::addColumn<QByteArray>("audio");
        const QByteArray speech
            = speechsamples::padded(speechsamples::say(u"level four"_s, {u"slt"_s, 1.0, 1.0}), padMs, padMs);
        QTest::newRow("quiet room, 30 dB") << speechsamples::withNoise(speech, 30.0, 3, speechsamples::Noise::Pink);
        QTest::newRow("noisy, 10 dB") << speechsamples::withNoise(speech, 10.0, 3, speechsamples::Noise::White);
        QTest::newRow("digital silence alone") << QByteArray(32000 * 2, '\0');
        QTest::newRow("a whisper of dither alone") << speechsamples::clipped(speech, 0.0005);
        QTest::newRow("too short to judge") << QByteArray(200, '\x05');
        QTest::newRow("nothing") << QByteArray();
    }
    void roomToneOnlyWherePausesAreSilent()
    {
        QFETCH(QByteArray, audio);
        const std::vector<qint16> original = toSamples(audio);
        std::vector<qint16> samples = original;
        QVERIFY(!listen::addRoomTone(samples));
        QVERIFY(samples == original);
    }

    // Speech at full scale gets the tone without a sample wrapping round.
    void roomToneNeverOverflows()
    {
        std::vector<qint16> loud = toSamples(speechsamples::padded(
            speechsamples::clipped(speechsamples::say(u"exit"_s, {u"rms"_s, 1.0, 1.0}), 20.0), padMs, padMs));
        const std::vector<qint16> original = loud;
        QVERIFY(listen::addRoomTone(loud));
        for (size_t i = 0; i < loud.size(); ++i)
            QVERIFY2(std::abs(int(loud[i]) - int(original[i])) < 2000, qPrintable(u"sample %1"_s.arg(i)));
    }
};

QTEST_GUILESS_MAIN(TestNoiseReducer)
#include "tst_noisereducer.moc"

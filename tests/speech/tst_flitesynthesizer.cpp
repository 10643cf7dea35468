// SPDX-License-Identifier: GPL-3.0-or-later
#include <QTest>

#include "speech/flitesynthesizer.h"

using namespace Qt::StringLiterals;
using character::MouthShape;
using character::VoiceSettings;

namespace {

int audioMs(const speech::Utterance &u)
{
    return int(qint64(u.sampleCount()) * 1000 / u.sampleRate);
}

int peak(const speech::Utterance &u)
{
    const auto *samples = reinterpret_cast<const qint16 *>(u.pcm.constData());
    int result = 0;
    for (int i = 0; i < u.sampleCount(); ++i)
        result = std::max(result, std::abs(int(samples[i])));
    return result;
}

// Keeps what a streamed synthesis hands over; can ask it to stop after some samples.
class RecordingStream final : public speech::UtteranceStream
{
public:
    explicit RecordingStream(qsizetype stopAfterBytes = -1)
        : m_stopAfterBytes(stopAfterBytes)
    {
    }

    bool begin(const speech::Utterance &timeline) override
    {
        ++begins;
        beganBeforeSamples = pcm.isEmpty();
        this->timeline = timeline;
        return true;
    }

    bool append(const char *data, qsizetype bytes) override
    {
        pcm.append(data, bytes);
        ++chunks;
        return m_stopAfterBytes < 0 || pcm.size() < m_stopAfterBytes;
    }

    speech::Utterance timeline;
    QByteArray pcm;
    int begins = 0;
    int chunks = 0;
    bool beganBeforeSamples = false;

private:
    qsizetype m_stopAfterBytes;
};

} // namespace

class TestFliteSynthesizer : public QObject
{
    Q_OBJECT

private slots:
    void wordTimingsFollowTheText_data();
    void wordTimingsFollowTheText();
    void numbersShowAsWritten_data();
    void numbersShowAsWritten();
    void mouthCuesStayInsideTheAudio();
    void rateChangesLengthPitchDoesNot_data();
    void rateChangesLengthPitchDoesNot();
    void phonesMapToMouthShapes_data();
    void phonesMapToMouthShapes();
    void emptyTextGivesSilence();
    void unknownVoiceStillSpeaks();
    void streamingGivesTimingsFirst();
    void streamingStopsWhenAsked();
};

void TestFliteSynthesizer::wordTimingsFollowTheText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("shown");

    QTest::newRow("greeting") << u"Welcome. I am your teacher for today."_s
                              << QStringList{u"Welcome."_s, u"I"_s, u"am"_s, u"your"_s, u"teacher"_s, u"for"_s, u"today."_s};
    QTest::newRow("hyphen and comma") << u"Good-bye, Ann"_s << QStringList{u"Good-bye,"_s, u"Ann"_s};
    QTest::newRow("apostrophe and question") << u"What? There's something special about this place?"_s
                                             << QStringList{u"What?"_s, u"There's"_s, u"something"_s, u"special"_s,
                                                            u"about"_s, u"this"_s, u"place?"_s};
    QTest::newRow("extra spaces") << u"  Hi there,   Bob  "_s << QStringList{u"Hi"_s, u"there,"_s, u"Bob"_s};
    QTest::newRow("quotes") << u"\"Hello,\" said Ann."_s << QStringList{u"\"Hello,\""_s, u"said"_s, u"Ann."_s};
    QTest::newRow("not ASCII") << u"Merci, José!"_s << QStringList{u"Merci,"_s, u"José!"_s};
    QTest::newRow("one word") << u"Ouch!"_s << QStringList{u"Ouch!"_s};
}

void TestFliteSynthesizer::wordTimingsFollowTheText()
{
    QFETCH(QString, text);
    QFETCH(QStringList, shown);

    speech::FliteSynthesizer synthesizer;
    const auto utterance = synthesizer.synthesize(text, VoiceSettings{});
    QVERIFY(utterance);
    QCOMPARE(utterance->sampleRate, 16000);
    QVERIFY(peak(*utterance) > 1000);

    QStringList got;
    for (const auto &word : utterance->words)
        got << word.shown;
    QCOMPARE(got, shown);

    const int length = audioMs(*utterance);
    QVERIFY(utterance->durationMs >= length);
    int previousStart = -1;
    int previousEnd = 0;
    for (const auto &word : utterance->words) {
        QVERIFY2(word.startMs > previousStart, qPrintable(word.shown));
        QVERIFY(word.startMs >= previousEnd - 1); // words don't overlap
        QVERIFY(word.endMs > word.startMs);
        QVERIFY(word.endMs <= length + 5);
        QVERIFY(text.startsWith(word.shownSoFar.trimmed()) || text.trimmed().startsWith(word.shownSoFar));
        previousStart = word.startMs;
        previousEnd = word.endMs;
    }
    QCOMPARE(utterance->words.last().shownSoFar, text.trimmed());
    // The words cover the audio: only short pauses before the first and after the last.
    QVERIFY(utterance->words.first().startMs < 400);
    QVERIFY(length - utterance->words.last().endMs < 600);
}

void TestFliteSynthesizer::numbersShowAsWritten_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("number");

    QTest::newRow("12") << u"The correct answer is 12"_s << u"12"_s;
    QTest::newRow("101") << u"The correct answer is 101"_s << u"101"_s;
    QTest::newRow("0") << u"The correct answer is 0"_s << u"0"_s;
}

void TestFliteSynthesizer::numbersShowAsWritten()
{
    QFETCH(QString, text);
    QFETCH(QString, number);

    speech::FliteSynthesizer synthesizer;
    const auto utterance = synthesizer.synthesize(text, VoiceSettings{});
    QVERIFY(utterance);
    QCOMPARE(utterance->words.size(), 5);
    const auto &last = utterance->words.last();
    QCOMPARE(last.shown, number);
    QCOMPARE(last.shownSoFar, text);
    // The spoken number ("one hundred one") lasts as long as a spoken word, not a character.
    QVERIFY(last.endMs - last.startMs > 150);
}

void TestFliteSynthesizer::mouthCuesStayInsideTheAudio()
{
    speech::FliteSynthesizer synthesizer;
    const auto utterance = synthesizer.synthesize(u"Welcome. I am your teacher for today."_s, VoiceSettings{});
    QVERIFY(utterance);
    const auto &mouth = utterance->mouth;
    QVERIFY(mouth.size() > 10);
    QSet<MouthShape> shapes;
    for (qsizetype i = 0; i < mouth.size(); ++i) {
        QVERIFY(mouth[i].timeMs >= 0);
        QVERIFY(mouth[i].timeMs <= utterance->durationMs);
        if (i > 0) {
            QVERIFY(mouth[i].timeMs >= mouth[i - 1].timeMs);
            QVERIFY(mouth[i].shape != mouth[i - 1].shape); // only changes are cued
        }
        shapes.insert(mouth[i].shape);
    }
    QCOMPARE(mouth.first().shape, MouthShape::Closed); // the leading pause
    QCOMPARE(mouth.last().shape, MouthShape::Closed);
    QVERIFY(shapes.size() >= 5);
    // The mouth opens during the first word, not before it starts.
    const auto firstOpen = std::find_if(mouth.begin(), mouth.end(),
                                        [](const speech::MouthCue &c) { return c.shape != MouthShape::Closed; });
    QVERIFY(firstOpen != mouth.end());
    QCOMPARE(firstOpen->timeMs, utterance->words.first().startMs);
}

void TestFliteSynthesizer::rateChangesLengthPitchDoesNot_data()
{
    QTest::addColumn<double>("rate");
    QTest::addColumn<double>("pitch");
    QTest::addColumn<double>("minRatio");
    QTest::addColumn<double>("maxRatio");

    QTest::newRow("faster") << 1.5 << 1.0 << 0.5 << 0.8;
    QTest::newRow("slower") << 0.7 << 1.0 << 1.2 << 1.6;
    QTest::newRow("higher") << 1.0 << 1.4 << 0.9 << 1.1;
    QTest::newRow("lower") << 1.0 << 0.7 << 0.9 << 1.1;
}

void TestFliteSynthesizer::rateChangesLengthPitchDoesNot()
{
    QFETCH(double, rate);
    QFETCH(double, pitch);
    QFETCH(double, minRatio);
    QFETCH(double, maxRatio);

    const QString text = u"Are you ready? Let us count to twelve together."_s;
    speech::FliteSynthesizer synthesizer;
    const auto plain = synthesizer.synthesize(text, VoiceSettings{});
    const auto changed = synthesizer.synthesize(text, VoiceSettings{QString(), rate, pitch});
    QVERIFY(plain && changed);
    const double ratio = double(audioMs(*changed)) / audioMs(*plain);
    QVERIFY2(ratio >= minRatio && ratio <= maxRatio, qPrintable(QString::number(ratio)));
    // The word timings follow the new speed.
    const double wordRatio = double(changed->words.last().endMs) / plain->words.last().endMs;
    QVERIFY2(wordRatio >= minRatio && wordRatio <= maxRatio, qPrintable(QString::number(wordRatio)));

    // Settings apply to one utterance only (the samples themselves carry a little random noise).
    const auto again = synthesizer.synthesize(text, VoiceSettings{});
    QVERIFY(again);
    QCOMPARE(again->sampleCount(), plain->sampleCount());
    QCOMPARE(again->words.last().endMs, plain->words.last().endMs);
}

void TestFliteSynthesizer::phonesMapToMouthShapes_data()
{
    QTest::addColumn<QString>("phone");
    QTest::addColumn<MouthShape>("shape");

    QTest::newRow("pause") << u"pau"_s << MouthShape::Closed;
    QTest::newRow("m") << u"m"_s << MouthShape::Closed;
    QTest::newRow("p") << u"p"_s << MouthShape::Closed;
    QTest::newRow("father") << u"aa"_s << MouthShape::Wide4;
    QTest::newRow("cat") << u"ae"_s << MouthShape::Wide3;
    QTest::newRow("bed") << u"eh"_s << MouthShape::Wide2;
    QTest::newRow("sit") << u"ih"_s << MouthShape::Wide1;
    QTest::newRow("too") << u"uw"_s << MouthShape::Narrow;
    QTest::newRow("see") << u"iy"_s << MouthShape::Narrow;
    QTest::newRow("w") << u"w"_s << MouthShape::Narrow;
    QTest::newRow("t") << u"t"_s << MouthShape::Medium;
    QTest::newRow("unknown") << u"xx"_s << MouthShape::Medium;
}

void TestFliteSynthesizer::phonesMapToMouthShapes()
{
    QFETCH(QString, phone);
    QFETCH(MouthShape, shape);
    QCOMPARE(speech::mouthShapeForPhone(phone), shape);
}

void TestFliteSynthesizer::emptyTextGivesSilence()
{
    speech::FliteSynthesizer synthesizer;
    for (const QString &text : {QString(), u"   "_s}) {
        const auto utterance = synthesizer.synthesize(text, VoiceSettings{});
        QVERIFY(utterance);
        QVERIFY(utterance->pcm.isEmpty());
        QVERIFY(utterance->words.isEmpty());
        QCOMPARE(utterance->durationMs, 0);
    }
}

void TestFliteSynthesizer::unknownVoiceStillSpeaks()
{
    speech::FliteSynthesizer synthesizer;
    QTest::ignoreMessage(QtWarningMsg, "speech: no voice \"marvin\", speaking with cmu_us_rms");
    const auto utterance = synthesizer.synthesize(u"Hi there"_s, VoiceSettings{u"marvin"_s, 1.0, 1.0});
    QVERIFY(utterance);
    QCOMPARE(utterance->words.size(), 2);
    QVERIFY(peak(*utterance) > 1000);
}

void TestFliteSynthesizer::streamingGivesTimingsFirst()
{
    speech::FliteSynthesizer synthesizer;
    RecordingStream stream;
    const auto utterance = synthesizer.synthesize(u"The correct answer is 12"_s, VoiceSettings{}, &stream);
    QVERIFY(utterance);
    QCOMPARE(stream.begins, 1);
    QVERIFY(stream.beganBeforeSamples);
    QVERIFY(stream.chunks > 1);
    QCOMPARE(stream.pcm, utterance->pcm);
    QVERIFY(stream.timeline.pcm.isEmpty());
    QCOMPARE(stream.timeline.sampleRate, utterance->sampleRate);
    QCOMPARE(stream.timeline.words.size(), utterance->words.size());
    for (qsizetype i = 0; i < utterance->words.size(); ++i) {
        QCOMPARE(stream.timeline.words[i].shownSoFar, utterance->words[i].shownSoFar);
        QCOMPARE(stream.timeline.words[i].startMs, utterance->words[i].startMs);
    }
    QCOMPARE(stream.timeline.mouth.size(), utterance->mouth.size());
    // The length known at the start is the final one, give or take a frame.
    QVERIFY(std::abs(stream.timeline.durationMs - utterance->durationMs) <= 20);
}

void TestFliteSynthesizer::streamingStopsWhenAsked()
{
    speech::FliteSynthesizer synthesizer;
    RecordingStream stream(3200); // a tenth of a second
    synthesizer.synthesize(u"Welcome. I am your teacher for today."_s, VoiceSettings{}, &stream);
    QVERIFY(stream.pcm.size() >= 3200);
    QVERIFY(stream.pcm.size() < 16000);

    // The next utterance streams in full again.
    RecordingStream full;
    const auto utterance = synthesizer.synthesize(u"Are you ready?"_s, VoiceSettings{}, &full);
    QVERIFY(utterance);
    QCOMPARE(full.pcm.size(), utterance->pcm.size());
}

QTEST_GUILESS_MAIN(TestFliteSynthesizer)
#include "tst_flitesynthesizer.moc"

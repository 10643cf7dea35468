// SPDX-License-Identifier: GPL-3.0-or-later
// eSpeak NG as Merlin's voice for German, French and Spanish: sound, the balloon's words timed by
// eSpeak's word events, the mouth moved by its phoneme events, and the same engine that plays
// flite's utterances playing these.
#include <cmath>

#include <QSignalSpy>
#include <QTest>

#include "speech/espeaksynthesizer.h"
#include "speech/flitespeech.h"

using namespace Qt::StringLiterals;
using character::MouthShape;

Q_DECLARE_METATYPE(character::MouthShape)

namespace {

double rms(const QByteArray &pcm)
{
    const auto *samples = reinterpret_cast<const qint16 *>(pcm.constData());
    const qsizetype count = pcm.size() / 2;
    double sum = 0;
    for (qsizetype i = 0; i < count; ++i)
        sum += double(samples[i]) * samples[i];
    return count ? std::sqrt(sum / double(count)) : 0;
}

} // namespace

class TestEspeakSynthesizer : public QObject
{
    Q_OBJECT

private slots:
    void speaksTheLanguage_data();
    void speaksTheLanguage();
    void mouthShapes_data();
    void mouthShapes();
    void voiceEngineForLanguage_data();
    void voiceEngineForLanguage();
    void playsThroughTheSpeechEngine();
    void withoutAVoiceTheWordsShowAtReadingPace();
};

void TestEspeakSynthesizer::speaksTheLanguage_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("number"); // a token spoken as a number word, or empty
    QTest::newRow("de answer") << u"de"_s << u"Die richtige Antwort ist 12"_s << u"12"_s;
    QTest::newRow("fr answer") << u"fr"_s << u"La bonne réponse est 17"_s << u"17"_s;
    QTest::newRow("es answer") << u"es"_s << u"La respuesta correcta es 81"_s << u"81"_s;
    QTest::newRow("de punctuation") << u"de"_s << u"Hoppla! Das stimmt nicht"_s << QString();
    // French puts a no-break space before "!" and "?"; the mark shows with its word.
    QTest::newRow("fr no-break space") << u"fr"_s << u"Aïe\u00a0! Ça chatouille"_s << QString();
    QTest::newRow("es inverted marks") << u"es"_s << u"¿Qué? ¿Este sitio tiene algo especial?"_s << QString();
    QTest::newRow("a lone dash") << u"de"_s << u"Hallo - Anna"_s << QString();
    QTest::newRow("name with a broken bar") << u"de"_s << u"Tschüss, A\u00a6B"_s << QString();
}

void TestEspeakSynthesizer::speaksTheLanguage()
{
    QFETCH(QString, language);
    QFETCH(QString, text);
    QFETCH(QString, number);
    speech::EspeakSynthesizer synthesizer(language);
    const std::optional<speech::Utterance> u = synthesizer.synthesize(text, {});
    QVERIFY(u);
    QCOMPARE(u->sampleRate, 22050);
    QVERIFY2(rms(u->pcm) > 300, "too quiet to be speech");
    const int audioMs = int(qint64(u->sampleCount()) * 1000 / u->sampleRate);
    QVERIFY(u->durationMs >= audioMs);

    // Every token of the text reaches the balloon, in order, as written.
    const QStringList tokens = text.split(u' ', Qt::SkipEmptyParts);
    QCOMPARE(u->words.size(), tokens.size());
    int previous = 0;
    for (qsizetype i = 0; i < tokens.size(); ++i) {
        const speech::WordTiming &w = u->words.at(i);
        QCOMPARE(w.shown, tokens.at(i));
        QVERIFY(w.startMs >= previous);
        QVERIFY(w.endMs >= w.startMs);
        QVERIFY(w.startMs <= audioMs);
        previous = w.startMs;
    }
    QCOMPARE(u->words.last().shownSoFar, text);
    // The words are spread over the sound, not all shown at its start.
    QVERIFY(u->words.last().startMs > audioMs / 4);

    if (!number.isEmpty()) {
        const speech::WordTiming &n = u->words.last();
        QCOMPARE(n.shown, number);
        QVERIFY2(n.endMs - n.startMs > 250, "the number is spoken as a word");
    }

    // The mouth opens while the voice speaks and is closed at the end.
    QVERIFY(u->mouth.size() >= 3);
    QVERIFY(std::any_of(u->mouth.cbegin(), u->mouth.cend(), [](const speech::MouthCue &c) {
        return c.shape != MouthShape::Closed;
    }));
    QCOMPARE(u->mouth.last().shape, MouthShape::Closed);
    for (qsizetype i = 1; i < u->mouth.size(); ++i) {
        QVERIFY(u->mouth.at(i).timeMs >= u->mouth.at(i - 1).timeMs);
        QVERIFY(u->mouth.at(i).shape != u->mouth.at(i - 1).shape);
    }
    QVERIFY(u->mouth.last().timeMs <= u->durationMs);
}

void TestEspeakSynthesizer::mouthShapes_data()
{
    QTest::addColumn<QString>("phoneme");
    QTest::addColumn<MouthShape>("shape");
    QTest::newRow("pause") << u"_"_s << MouthShape::Closed;
    QTest::newRow("long pause") << u"_:"_s << MouthShape::Closed;
    QTest::newRow("nothing") << QString() << MouthShape::Closed;
    QTest::newRow("m") << u"m"_s << MouthShape::Closed;
    QTest::newRow("b") << u"b"_s << MouthShape::Closed;
    QTest::newRow("open a") << u"a:"_s << MouthShape::Wide4;
    QTest::newRow("diphthong aI") << u"aI"_s << MouthShape::Wide3;
    QTest::newRow("diphthong aU") << u"aU"_s << MouthShape::Wide3;
    QTest::newRow("E") << u"E"_s << MouthShape::Wide2;
    QTest::newRow("schwa") << u"@"_s << MouthShape::Wide1;
    QTest::newRow("f") << u"f"_s << MouthShape::Wide1;
    QTest::newRow("rounded o") << u"o:"_s << MouthShape::Narrow;
    QTest::newRow("u") << u"u"_s << MouthShape::Narrow;
    QTest::newRow("French nasal o") << u"O~"_s << MouthShape::Narrow;
    QTest::newRow("sh") << u"S"_s << MouthShape::Narrow;
    QTest::newRow("t") << u"t"_s << MouthShape::Medium;
    QTest::newRow("ch") << u"tS"_s << MouthShape::Medium;
}

void TestEspeakSynthesizer::mouthShapes()
{
    QFETCH(QString, phoneme);
    QFETCH(MouthShape, shape);
    QCOMPARE(speech::mouthShapeForEspeakPhoneme(phoneme), shape);
}

void TestEspeakSynthesizer::voiceEngineForLanguage_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<bool>("espeak");
    QTest::addColumn<bool>("warns");
    QTest::newRow("English") << u"en"_s << false << false;
    QTest::newRow("British English") << u"en_GB"_s << false << false;
    QTest::newRow("German") << u"de"_s << true << false;
    QTest::newRow("Austrian German") << u"de_AT"_s << true << false;
    QTest::newRow("French") << u"fr"_s << true << false;
    QTest::newRow("Spanish") << u"es"_s << true << false;
    QTest::newRow("no such voice") << u"zz"_s << false << true;
}

void TestEspeakSynthesizer::voiceEngineForLanguage()
{
    QFETCH(QString, language);
    QFETCH(bool, espeak);
    QFETCH(bool, warns);
    if (warns) {
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"no voice for"_s,
                                                              QRegularExpression::CaseInsensitiveOption));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"English voice"_s));
        // Asked again for the engine: eSpeak has told once, the fallback tells each time.
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"English voice"_s));
    }
    QCOMPARE(speech::voiceEngineFor(language) == speech::VoiceEngine::Espeak, espeak);
    QVERIFY(speech::createSpeechEngineFor(language));
}

void TestEspeakSynthesizer::playsThroughTheSpeechEngine()
{
    speech::FliteSpeech engine(std::make_shared<speech::EspeakSynthesizer>(u"de"_s), speech::FliteSpeech::Output::Silent);
    QSignalSpy words(&engine, &character::SpeechEngine::wordStarted);
    QSignalSpy mouth(&engine, &character::SpeechEngine::mouthShapeChanged);
    QSignalSpy finished(&engine, &character::SpeechEngine::finished);
    const QString text = u"Gut gemacht, Anna"_s;
    engine.speak(text, {});
    QVERIFY(finished.wait(10000));
    QCOMPARE(words.size(), 3);
    QCOMPARE(words.at(0).at(1).toString(), u"Gut"_s);
    QCOMPARE(words.at(2).at(1).toString(), text);
    QVERIFY(mouth.size() >= 3);
    QCOMPARE(mouth.last().at(0).value<MouthShape>(), MouthShape::Closed);
}

void TestEspeakSynthesizer::withoutAVoiceTheWordsShowAtReadingPace()
{
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"has no voice for \"yy\""_s));
    speech::FliteSpeech engine(std::make_shared<speech::EspeakSynthesizer>(u"yy"_s), speech::FliteSpeech::Output::Silent);
    QSignalSpy words(&engine, &character::SpeechEngine::wordStarted);
    QSignalSpy finished(&engine, &character::SpeechEngine::finished);
    const QString text = u"Die richtige Antwort ist 12"_s;
    engine.speak(text, {});
    QVERIFY(finished.wait(10000));
    QCOMPARE(words.size(), 5);
    QCOMPARE(words.last().at(1).toString(), text);
}

QTEST_GUILESS_MAIN(TestEspeakSynthesizer)
#include "tst_espeaksynthesizer.moc"

// SPDX-License-Identifier: GPL-3.0-or-later
#include <cmath>
#include <tuple>

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "listen/commanddecoder.h"
#include "speechsamples.h"

using namespace Qt::StringLiterals;

// Round trip through the real decoder: phrases synthesised by natural voices, fed as audio.
class TestCommandDecoder : public QObject
{
    Q_OBJECT

private:
    static QList<character::VoiceCommand> programCommands()
    {
        QList<character::VoiceCommand> commands;
        for (const speechsamples::CommandText &command : speechsamples::programCommands())
            commands.append({command.name, command.voice, true});
        return commands;
    }

    static QByteArray spoken(const QString &text, const QString &voice)
    {
        return speechsamples::padded(speechsamples::say(text, {voice, 1.0, 1.0}), 300, 300);
    }

    static QByteArray childLike(const QString &text, const QString &voice, int semitones)
    {
        const QByteArray adult = speechsamples::say(text, {voice, 1.0, 1.0});
        return speechsamples::padded(speechsamples::raised(adult, std::pow(2.0, semitones / 12.0)), 300, 300);
    }

    static QByteArray roomTone(double seconds, quint32 seed)
    {
        // A faint hiss at about -60 dBFS, as a microphone in a quiet room gives.
        const QByteArray quiet(qsizetype(seconds * 16000) * 2, '\0');
        return speechsamples::withNoise(quiet, 30.0, seed, speechsamples::Noise::Pink);
    }

    static QByteArray modelMeans()
    {
        QFile file(listen::CommandDecoder::defaultModelDir() + u"/means"_s);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    static bool writeFile(const QString &path, const QByteArray &contents)
    {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size();
    }

    listen::CommandDecoder m_decoder;
    listen::CommandDecoder m_unwarped;
    listen::CommandDecoder m_asRecorded; // neither noise reduction nor room tone
    listen::CommandDecoder m_noiseLeftIn; // no noise reduction
    listen::CommandDecoder m_withoutRoomTone;
    int m_childCommands = 0;
    int m_missedUnwarped = 0;
    int m_noisyCommands = 0;
    int m_missedAsRecorded = 0;
    int m_echoedCommands = 0;
    int m_missedEchoed = 0;
    int m_missedEchoedWithoutTone = 0;

private slots:
    void initTestCase()
    {
        // `make test` installs the model; without it the recogniser is broken, not untestable.
        QVERIFY2(m_decoder.isUsable(), qPrintable(m_decoder.errorString()));
        m_decoder.setCommands(programCommands());
        QVERIFY2(m_decoder.prepare(), qPrintable(m_decoder.errorString()));
        // Each row below must hear the same audio on every run.
        QCOMPARE(spoken(u"level three"_s, u"slt"_s), spoken(u"level three"_s, u"slt"_s));
        QVERIFY(!m_decoder.warpFactors().isEmpty());
        m_unwarped.setCommands(programCommands());
        m_unwarped.setWarpFactors({});
        m_asRecorded.setCommands(programCommands());
        m_asRecorded.setNoiseReduction(false);
        m_asRecorded.setRoomTone(false);
        m_noiseLeftIn.setCommands(programCommands());
        m_noiseLeftIn.setNoiseReduction(false);
        m_withoutRoomTone.setCommands(programCommands());
        m_withoutRoomTone.setRoomTone(false);
    }

    void phrasesRoundTrip_data()
    {
        QTest::addColumn<QString>("voice");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("command");
        const QList<speechsamples::Phrase> phrases = {
            {u"reset"_s, u"Reset"_s},
            {u"reset please"_s, u"Reset"_s},
            {u"level one"_s, u"LevelOne"_s},
            {u"level two"_s, u"LevelTwo"_s},
            {u"level three"_s, u"LevelThree"_s},
            {u"three"_s, u"LevelThree"_s},
            {u"level four"_s, u"LevelFour"_s},
            {u"I want level two"_s, u"LevelTwo"_s},
            {u"I want level four"_s, u"LevelFour"_s},
            {u"exit"_s, u"Exit"_s},
            {u"exit now"_s, u"Exit"_s},
            {u"what is five plus seven"_s, {}},
            {u"I like cats"_s, {}},
            // A command word where its voice text allows none.
            {u"please reset"_s, {}},
            {u"three little pigs"_s, {}},
            {u"one more time"_s, {}},
            // Answers to the sums, which children say aloud.
            {u"seventeen"_s, {}},
            {u"nineteen"_s, {}},
        };
        for (const QString &voice : {u"slt"_s, u"awb"_s}) {
            for (const speechsamples::Phrase &phrase : phrases) {
                QTest::addRow("%s: %s", qPrintable(voice), qPrintable(phrase.text))
                    << voice << phrase.text << phrase.command;
            }
        }
    }
    void phrasesRoundTrip()
    {
        QFETCH(QString, voice);
        QFETCH(QString, text);
        QFETCH(QString, command);
        const character::UserInput input = m_decoder.decode(spoken(text, voice));
        if (command.isEmpty()) {
            QCOMPARE(input.Count, short(0));
            QVERIFY(input.Name.isEmpty());
            QVERIFY2(!input.Voice.isEmpty(), "speech that is no command still reports the words heard");
            return;
        }
        QCOMPARE(input.Name, command);
        QVERIFY(input.Count >= 1 && input.Count <= 3);
        QVERIFY(input.Confidence >= 0 && input.Confidence <= 100);
        QVERIFY(input.Voice.split(u' ').size() >= 1);
        // Alternatives are other commands, never the chosen one again.
        QVERIFY(input.Alt1Name != input.Name);
        QCOMPARE(input.Alt1Name.isEmpty(), input.Count < 2);
        QCOMPARE(input.Alt2Name.isEmpty(), input.Count < 3);
    }

    // "... Four" allows no words after "four", but the command grammar has no place for them
    // either, so the decoder draws the command word out over them. Numbers that start like a
    // command word are the answers children say most. Commands whose last vowel is long still
    // count: their tail is the word's own sound, not another word.
    void wordsAfterTheLastCommandWord_data()
    {
        QTest::addColumn<QString>("voice");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("command");
        QTest::newRow("kal16: fourteen") << u"kal16"_s << u"fourteen"_s << QString();
        QTest::newRow("rms: fourteen") << u"rms"_s << u"fourteen"_s << QString();
        QTest::newRow("slt: one two three go") << u"slt"_s << u"one two three go"_s << QString();
        QTest::newRow("awb: two and a half") << u"awb"_s << u"two and a half"_s << QString();
        QTest::newRow("slt: go to level three") << u"slt"_s << u"go to level three"_s << u"LevelThree"_s;
        QTest::newRow("kal16: level three") << u"kal16"_s << u"level three"_s << u"LevelThree"_s;
        QTest::newRow("kal16: three") << u"kal16"_s << u"three"_s << u"LevelThree"_s;
        QTest::newRow("awb: three") << u"awb"_s << u"three"_s << u"LevelThree"_s;
        QTest::newRow("rms: four") << u"rms"_s << u"four"_s << u"LevelFour"_s;
        QTest::newRow("kal16: go to level four") << u"kal16"_s << u"go to level four"_s << u"LevelFour"_s;
    }
    void wordsAfterTheLastCommandWord()
    {
        QFETCH(QString, voice);
        QFETCH(QString, text);
        QFETCH(QString, command);
        const character::UserInput input = m_decoder.decode(spoken(text, voice));
        QVERIFY2(input.Name == command, qPrintable(u"heard \"%1\" as %2"_s.arg(input.Voice, input.Name)));
        QCOMPARE(input.Count > 0, !command.isEmpty());
    }

    // A short command word such as "four" said as "faw" fits the breath and the faint sounds
    // after the last word of a sentence; it must not count when nothing as loud as speech is
    // there. A command word that is spoken still counts, in quiet and in noise.
    void noCommandWordInTheBreathAfterSpeech_data()
    {
        QTest::addColumn<QString>("voice");
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("snrDb");
        QTest::addColumn<QString>("command");
        QTest::newRow("kal16: seven") << u"kal16"_s << u"seven"_s << 0.0 << QString();
        QTest::newRow("kal16: seven, white noise") << u"kal16"_s << u"seven"_s << 20.0 << QString();
        QTest::newRow("awb: no") << u"awb"_s << u"no"_s << 0.0 << QString();
        QTest::newRow("awb: ten, white noise") << u"awb"_s << u"ten"_s << 20.0 << QString();
        QTest::newRow("kal16: level four, white noise") << u"kal16"_s << u"level four"_s << 20.0 << u"LevelFour"_s;
        QTest::newRow("awb: four, white noise") << u"awb"_s << u"four"_s << 20.0 << u"LevelFour"_s;
        QTest::newRow("slt: I want level two") << u"slt"_s << u"I want level two"_s << 0.0 << u"LevelTwo"_s;
    }
    void noCommandWordInTheBreathAfterSpeech()
    {
        QFETCH(QString, voice);
        QFETCH(QString, text);
        QFETCH(double, snrDb);
        QFETCH(QString, command);
        QByteArray audio = spoken(text, voice);
        if (snrDb > 0)
            audio = speechsamples::withNoise(audio, snrDb, 2, speechsamples::Noise::White);
        const character::UserInput input = m_decoder.decode(audio);
        QVERIFY2(input.Name == command, qPrintable(u"heard \"%1\" as %2"_s.arg(input.Voice, input.Name)));
    }

    // Whatever was decoded before, the same audio gives the same result to the last digit, and a
    // fresh decoder agrees with one that has heard other things; also when the result comes from
    // a warped front end, which must not carry anything over either.
    void sameAudioSameResultWhateverCameBefore_data()
    {
        QTest::addColumn<QByteArray>("first");
        QTest::addColumn<QString>("command");
        QTest::newRow("adult voice") << spoken(u"level three"_s, u"slt"_s) << u"LevelThree"_s;
        // Two whose confidence is no clear 100: a change in how the audio is heard shows there.
        QTest::newRow("adult voice, reset") << spoken(u"reset"_s, u"slt"_s) << u"Reset"_s;
        QTest::newRow("adult voice, three") << spoken(u"three"_s, u"awb"_s) << u"LevelThree"_s;
        QTest::newRow("child-like voice") << childLike(u"level two"_s, u"awb"_s, 5) << u"LevelTwo"_s;
    }
    void sameAudioSameResultWhateverCameBefore()
    {
        QFETCH(QByteArray, first);
        QFETCH(QString, command);
        const QByteArray between
            = speechsamples::withNoise(spoken(u"exit now"_s, u"awb"_s), 10.0, 7, speechsamples::Noise::White);
        const character::UserInput a = m_decoder.decode(first);
        QCOMPARE(a.Name, command);
        // Two seconds of a loud room and nobody speaking: what the decoder learns of that noise
        // must not change how the next utterance is heard.
        const QByteArray loudRoom
            = speechsamples::withNoise(QByteArray(2 * 16000 * 2, '\0'), -12.0, 5, speechsamples::Noise::Pink);
        m_decoder.decode(loudRoom);
        const character::UserInput afterNoise = m_decoder.decode(first);
        QVERIFY2(afterNoise == a,
                 qPrintable(u"%1 (%2) / %3 (%4)"_s.arg(afterNoise.Voice)
                                .arg(afterNoise.Confidence)
                                .arg(a.Voice)
                                .arg(a.Confidence)));
        m_decoder.decode(between);
        m_decoder.decode(childLike(u"I like cats"_s, u"rms"_s, 4));
        m_decoder.decode(speechsamples::withNoise(spoken(u"reset"_s, u"rms"_s), -6.0, 3, speechsamples::Noise::Pink));
        const character::UserInput again = m_decoder.decode(first);
        QVERIFY2(again == a, qPrintable(again.Voice + u" / "_s + a.Voice));
        listen::CommandDecoder fresh;
        fresh.setCommands(programCommands());
        const character::UserInput freshResult = fresh.decode(first);
        QVERIFY2(freshResult == a, qPrintable(freshResult.Voice + u" / "_s + a.Voice));
    }

    // Adult voices raised by four to six semitones, formants and all, as a child of six or seven
    // would say the commands: the warped front ends hear them, and sentences said alike are still
    // no command.
    void childLikeVoices_data()
    {
        QTest::addColumn<QString>("voice");
        QTest::addColumn<int>("semitones");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("command");
        const QList<std::tuple<QString, int, speechsamples::Phrase>> rows = {
            {u"slt"_s, 5, {u"three"_s, u"LevelThree"_s}},
            {u"slt"_s, 5, {u"level four"_s, u"LevelFour"_s}},
            {u"awb"_s, 5, {u"level two"_s, u"LevelTwo"_s}},
            {u"awb"_s, 5, {u"level four"_s, u"LevelFour"_s}},
            {u"rms"_s, 6, {u"level two"_s, u"LevelTwo"_s}},
            {u"rms"_s, 6, {u"level four"_s, u"LevelFour"_s}},
            {u"kal16"_s, 5, {u"level two"_s, u"LevelTwo"_s}},
            {u"kal16"_s, 6, {u"level four"_s, u"LevelFour"_s}},
            {u"awb"_s, 5, {u"I like cats"_s, {}}},
            {u"rms"_s, 5, {u"three little pigs"_s, {}}},
            {u"slt"_s, 6, {u"can we play a game"_s, {}}},
            {u"slt"_s, 4, {u"please reset"_s, {}}},
        };
        for (const auto &[voice, semitones, phrase] : rows) {
            QTest::addRow("%s +%d: %s", qPrintable(voice), semitones, qPrintable(phrase.text))
                << voice << semitones << phrase.text << phrase.command;
        }
    }
    void childLikeVoices()
    {
        QFETCH(QString, voice);
        QFETCH(int, semitones);
        QFETCH(QString, text);
        QFETCH(QString, command);
        const QByteArray audio = childLike(text, voice, semitones);
        const character::UserInput input = m_decoder.decode(audio);
        QCOMPARE(input.Name, command);
        if (!command.isEmpty()) {
            ++m_childCommands;
            m_missedUnwarped += m_unwarped.decode(audio).Name != command;
        }
    }
    // The rows above are beyond the adult model: without the warps most of them are missed, so
    // they show the warps at work rather than commands any decoder hears.
    void childLikeVoicesNeedTheWarps()
    {
        QVERIFY(m_childCommands > 0);
        QVERIFY2(2 * m_missedUnwarped > m_childCommands,
                 qPrintable(u"%1 of %2 missed"_s.arg(m_missedUnwarped).arg(m_childCommands)));
    }

    // Other people talking in the room, 15 dB below the child: their words are no words of the
    // child's, so they do not stop a command whose voice text allows nothing before it, while
    // the child's own word there still does.
    void otherPeopleTalkingBehind_data()
    {
        QTest::addColumn<QString>("voice");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("command");
        const QList<std::pair<QString, speechsamples::Phrase>> rows = {
            {u"slt"_s, {u"exit"_s, u"Exit"_s}},     {u"slt"_s, {u"reset"_s, u"Reset"_s}},
            {u"awb"_s, {u"exit now"_s, u"Exit"_s}}, {u"slt"_s, {u"level three"_s, u"LevelThree"_s}},
            {u"slt"_s, {u"please reset"_s, {}}},    {u"awb"_s, {u"the exit is over there"_s, {}}},
            {u"slt"_s, {u"I like cats"_s, {}}},
        };
        for (const auto &[voice, phrase] : rows)
            QTest::addRow("%s: %s", qPrintable(voice), qPrintable(phrase.text))
                << voice << phrase.text << phrase.command;
    }
    void otherPeopleTalkingBehind()
    {
        QFETCH(QString, voice);
        QFETCH(QString, text);
        QFETCH(QString, command);
        const QList<QByteArray> talkers = {
            speechsamples::say(u"we went to the park and played on the swings all afternoon"_s, {u"rms"_s, 1.0, 1.0}),
            speechsamples::say(u"the teacher said that we should bring our books tomorrow"_s, {u"kal16"_s, 1.0, 1.0}),
            speechsamples::say(u"my brother has a red bicycle with a bell on it"_s, {u"awb"_s, 1.0, 1.2}),
        };
        const character::UserInput input
            = m_decoder.decode(speechsamples::withTalkBehind(spoken(text, voice), talkers, 15.0));
        QVERIFY2(input.Name == command, qPrintable(input.Voice + u" -> "_s + input.Name));
    }

    // The confidence says how sure the decoder is, so it falls as noise covers the same words,
    // also where the command word still beats every other word there as clearly as before. The
    // noise is left in: what the noise reduction does is not what is tested here. The clean
    // audio's silent pauses get the room tone, as every utterance that the speaker adaptation
    // was estimated on had.
    void confidenceFallsAsTheAudioWorsens_data()
    {
        QTest::addColumn<QString>("voice");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("command");
        QTest::addColumn<speechsamples::Noise>("noise");
        QTest::newRow("slt: three, pink noise")
            << u"slt"_s << u"three"_s << u"LevelThree"_s << speechsamples::Noise::Pink;
        QTest::newRow("kal16: three, pink noise")
            << u"kal16"_s << u"three"_s << u"LevelThree"_s << speechsamples::Noise::Pink;
        QTest::newRow("awb: level one, white noise")
            << u"awb"_s << u"level one"_s << u"LevelOne"_s << speechsamples::Noise::White;
        QTest::newRow("slt: level three, pink noise")
            << u"slt"_s << u"level three"_s << u"LevelThree"_s << speechsamples::Noise::Pink;
    }
    void confidenceFallsAsTheAudioWorsens()
    {
        QFETCH(QString, voice);
        QFETCH(QString, text);
        QFETCH(QString, command);
        QFETCH(speechsamples::Noise, noise);
        const QByteArray clean = spoken(text, voice);
        const character::UserInput clear = m_noiseLeftIn.decode(clean);
        const character::UserInput noisy = m_noiseLeftIn.decode(speechsamples::withNoise(clean, 15.0, 21, noise));
        QCOMPARE(clear.Name, command);
        QCOMPARE(noisy.Name, command);
        QVERIFY2(clear.Confidence >= 80, qPrintable(QString::number(clear.Confidence)));
        QVERIFY2(noisy.Confidence < clear.Confidence,
                 qPrintable(u"%1 in noise, %2 clean"_s.arg(noisy.Confidence).arg(clear.Confidence)));
    }

    // Commands in loud, steady noise, 10 dB below the speech: the noise is taken out before
    // decoding, so they are heard, and sentences that are no command still are none.
    void steadyNoiseIsTakenOut_data()
    {
        QTest::addColumn<QString>("voice");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("command");
        QTest::addColumn<speechsamples::Noise>("noise");
        using speechsamples::Noise;
        const QList<std::tuple<QString, Noise, speechsamples::Phrase>> rows = {
            {u"slt"_s, Noise::White, {u"level three"_s, u"LevelThree"_s}},
            {u"slt"_s, Noise::White, {u"three"_s, u"LevelThree"_s}},
            {u"slt"_s, Noise::Pink, {u"level four"_s, u"LevelFour"_s}},
            {u"rms"_s, Noise::White, {u"level four"_s, u"LevelFour"_s}},
            {u"rms"_s, Noise::Pink, {u"level two"_s, u"LevelTwo"_s}},
            {u"rms"_s, Noise::Pink, {u"three"_s, u"LevelThree"_s}},
            {u"kal16"_s, Noise::White, {u"reset"_s, u"Reset"_s}},
            {u"kal16"_s, Noise::White, {u"level two"_s, u"LevelTwo"_s}},
            {u"awb"_s, Noise::Pink, {u"level four"_s, u"LevelFour"_s}},
            {u"rms"_s, Noise::White, {u"I like cats"_s, {}}},
            {u"awb"_s, Noise::Pink, {u"three little pigs"_s, {}}},
            {u"kal16"_s, Noise::Pink, {u"three little pigs"_s, {}}},
        };
        for (const auto &[voice, noise, phrase] : rows) {
            QTest::addRow("%s, %s noise: %s", qPrintable(voice), noise == Noise::White ? "white" : "pink",
                          qPrintable(phrase.text))
                << voice << phrase.text << phrase.command << noise;
        }
    }
    void steadyNoiseIsTakenOut()
    {
        QFETCH(QString, voice);
        QFETCH(QString, text);
        QFETCH(QString, command);
        QFETCH(speechsamples::Noise, noise);
        const QByteArray audio = speechsamples::withNoise(spoken(text, voice), 10.0, 31, noise);
        const character::UserInput input = m_decoder.decode(audio);
        QVERIFY2(input.Name == command, qPrintable(input.Voice + u" -> "_s + input.Name));
        if (!command.isEmpty()) {
            ++m_noisyCommands;
            m_missedAsRecorded += m_asRecorded.decode(audio).Name != command;
        }
    }
    // Decoded as recorded, most of the commands above are missed: they show the noise reduction
    // at work rather than commands that any decoder hears through the noise.
    void steadyNoiseIsTakenOutBeforeDecoding()
    {
        QVERIFY(m_noisyCommands > 0);
        QVERIFY2(2 * m_missedAsRecorded > m_noisyCommands,
                 qPrintable(u"%1 of %2 missed"_s.arg(m_missedAsRecorded).arg(m_noisyCommands)));
    }

    // Speech in a room with hard walls, its echoes dying away over half a second: the pauses
    // before the words are the synthesiser's digital silence and the echoes follow the words.
    // The decoder hears at least four in five of them (what it must hear in a reverberant room),
    // never as another command; without the room tone in the silent pauses it misses at least
    // twice as many.
    void reverberantRoom_data()
    {
        QTest::addColumn<QString>("voice");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("command");
        for (const QString &voice : {u"slt"_s, u"awb"_s, u"kal16"_s}) {
            for (const speechsamples::Phrase &phrase : speechsamples::commandPhrases()) {
                QTest::addRow("%s: %s", qPrintable(voice), qPrintable(phrase.text))
                    << voice << phrase.text << phrase.command;
            }
        }
    }
    void reverberantRoom()
    {
        QFETCH(QString, voice);
        QFETCH(QString, text);
        QFETCH(QString, command);
        const QByteArray audio = speechsamples::reverberant(spoken(text, voice), 0.5, 41);
        const character::UserInput input = m_decoder.decode(audio);
        QVERIFY2(input.Name.isEmpty() || input.Name == command, qPrintable(input.Voice + u" -> "_s + input.Name));
        ++m_echoedCommands;
        m_missedEchoed += input.Name != command;
        m_missedEchoedWithoutTone += m_withoutRoomTone.decode(audio).Name != command;
    }
    void reverberantRoomNeedsTheRoomTone()
    {
        QVERIFY(m_echoedCommands > 0);
        const QString counts
            = u"%1 and %2 of %3 missed"_s.arg(m_missedEchoed).arg(m_missedEchoedWithoutTone).arg(m_echoedCommands);
        QVERIFY2(5 * m_missedEchoed <= m_echoedCommands, qPrintable(counts));
        QVERIFY2(m_missedEchoedWithoutTone >= 2 * std::max(1, m_missedEchoed), qPrintable(counts));
    }

    // What a held key brings in without a command in it: never a command, and never a hang.
    void badInputIsNoCommand_data()
    {
        QTest::addColumn<QByteArray>("audio");
        QTest::newRow("nothing recorded") << QByteArray();
        QTest::newRow("odd byte") << QByteArray(1, '\x7f');
        QTest::newRow("digital silence") << QByteArray(16000 * 2, '\0');
        QTest::newRow("key held, nobody speaks") << roomTone(2.0, 3);
        QTest::newRow("cough") << speechsamples::cough(5);
        QTest::newRow("cough in a quiet room")
            << speechsamples::withNoise(speechsamples::cough(9), 40.0, 4, speechsamples::Noise::Pink);
        QTest::newRow("hum of a fan") << speechsamples::withNoise(QByteArray(32000 * 2, '\x10'), -10.0, 11,
                                                                  speechsamples::Noise::Pink);
        QTest::newRow("thirty seconds held, nobody speaks") << roomTone(30.0, 13);
    }

    void badInputIsNoCommand()
    {
        QFETCH(QByteArray, audio);
        const character::UserInput input = m_decoder.decode(audio);
        QCOMPARE(input.Name, QString());
        QCOMPARE(input.Count, short(0));
    }

    // Clipped speech is either heard right or not at all; never as another command.
    void clippedSpeechIsNeverAnotherCommand_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("command");
        QTest::newRow("exit") << u"exit"_s << u"Exit"_s;
        QTest::newRow("level four") << u"level four"_s << u"LevelFour"_s;
        QTest::newRow("reset") << u"reset"_s << u"Reset"_s;
    }

    void clippedSpeechIsNeverAnotherCommand()
    {
        QFETCH(QString, text);
        QFETCH(QString, command);
        const character::UserInput input = m_decoder.decode(speechsamples::clipped(spoken(text, u"rms"_s), 12.0));
        QVERIFY2(input.Count == 0 || input.Name == command, qPrintable(input.Name));
    }

    void silenceMatchesNoCommand()
    {
        const character::UserInput input = m_decoder.decode(QByteArray(16000 * 2, '\0'));
        QCOMPARE(input.Count, short(0));
        QVERIFY(input.Name.isEmpty());
        QCOMPARE(m_decoder.decode(QByteArray()).Count, short(0));
    }

    void disabledCommandIsNotHeard()
    {
        listen::CommandDecoder decoder;
        QList<character::VoiceCommand> commands = programCommands();
        commands[3].enabled = false; // LevelThree
        decoder.setCommands(commands);
        const QByteArray audio = spoken(u"level three"_s, u"slt"_s);
        QVERIFY(decoder.decode(audio).Name != u"LevelThree"_s);
        commands[3].enabled = true;
        decoder.setCommands(commands);
        QCOMPARE(decoder.decode(audio).Name, u"LevelThree"_s);
    }

    // The system's model comes with its speaker adaptation, and a decoder given another model
    // leaves it out. The adapted means really take the place of the model's: the model's own means
    // as the adaptation change nothing, to the last digit of the confidence, while the shipped
    // ones move the scores and still hear every command.
    void adaptationShipsWithTheSystemModel()
    {
        QCOMPARE(m_decoder.adaptation(), listen::CommandDecoder::defaultAdaptation());
        QVERIFY(m_decoder.isAdapted());
        const listen::CommandDecoder other(u"/some/other/model"_s);
        QVERIFY(other.adaptation().isEmpty());

        QTemporaryDir dir;
        const QString ownFile = dir.filePath(u"means"_s);
        QVERIFY(writeFile(ownFile, modelMeans()));
        listen::CommandDecoder unadapted, own;
        unadapted.setAdaptation({});
        own.setAdaptation(ownFile);
        for (listen::CommandDecoder *decoder : {&unadapted, &own})
            decoder->setCommands(programCommands());
        QVERIFY(own.prepare() && own.isAdapted());
        QVERIFY(unadapted.prepare() && !unadapted.isAdapted());
        int moved = 0;
        for (const speechsamples::Phrase &phrase : speechsamples::commandPhrases()) {
            const QByteArray audio = spoken(phrase.text, u"awb"_s);
            const character::UserInput asItIs = unadapted.decode(audio);
            const character::UserInput same = own.decode(audio);
            const character::UserInput adapted = m_decoder.decode(audio);
            QCOMPARE(same.Voice, asItIs.Voice);
            QCOMPARE(same.Confidence, asItIs.Confidence);
            QCOMPARE(adapted.Name, phrase.command);
            moved += adapted.Confidence != asItIs.Confidence || adapted.Voice != asItIs.Voice;
        }
        QVERIFY2(moved > 0, "the shipped means changed no score");
    }

    // Means that cannot be used leave a warning and the model as it is: the commands are still
    // heard. Handed to the decoder unchecked, a file cut short or with a wrong checksum would end
    // the program.
    void unusableAdaptationLeavesTheModelAsItIs_data()
    {
        QTest::addColumn<QByteArray>("contents");
        const QByteArray means = modelMeans();
        QVERIFY(!means.isEmpty());
        QByteArray changed = means;
        changed[changed.size() - 100] = char(changed.at(changed.size() - 100) ^ 0x10);
        QTest::newRow("no such file") << QByteArray();
        QTest::newRow("cut short") << means.left(means.size() / 2);
        QTest::newRow("a value changed, checksum not") << changed;
        QTest::newRow("not a means file") << QByteArray("<html><body>Not found</body></html>");
    }
    void unusableAdaptationLeavesTheModelAsItIs()
    {
        QFETCH(QByteArray, contents);
        QTemporaryDir dir;
        const QString file = dir.filePath(u"means"_s);
        if (!contents.isEmpty())
            QVERIFY(writeFile(file, contents));
        listen::CommandDecoder decoder;
        decoder.setCommands(programCommands());
        decoder.setAdaptation(file);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"speaker adaptation .* cannot be used"_s));
        QVERIFY(decoder.prepare());
        QVERIFY(!decoder.isAdapted());
        QCOMPARE(decoder.decode(spoken(u"level two"_s, u"slt"_s)).Name, u"LevelTwo"_s);
    }

    void missingModelIsReportedNotFatal()
    {
        listen::CommandDecoder decoder(u"/nonexistent/model"_s);
        decoder.setCommands(programCommands());
        QVERIFY(!decoder.isUsable());
        QVERIFY(!decoder.errorString().isEmpty());
        QCOMPARE(decoder.decode(spoken(u"reset"_s, u"slt"_s)).Count, short(0));
    }
};

QTEST_GUILESS_MAIN(TestCommandDecoder)
#include "tst_commanddecoder.moc"

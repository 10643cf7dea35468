// SPDX-License-Identifier: GPL-3.0-or-later
// How the English command recogniser does with children who speak German, French or Spanish:
// the English command phrases said by the eSpeak NG voice of each language (an accent), that
// language's own sentences (which must not be taken for commands), and the command words of the
// translated menu said in the language (which the English grammar cannot be expected to know).
#include <cmath>
#include <cstdio>

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryFile>

#include "listen/commanddecoder.h"
#include "speech/espeaksynthesizer.h"
#include "speechsamples.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int micRate = 16000;

void printFigure(const QString &name, double value, const char *unit)
{
    std::printf("BENCH %s %.2f %s\n", qPrintable(name), value, unit);
    std::fflush(stdout);
}

// eSpeak speaks at 22050 Hz, the recogniser listens at 16 kHz. eSpeak's voices carry little
// above 7 kHz, so a short smoothing filter and linear interpolation are enough.
QByteArray toMicRate(const QByteArray &pcm, int rate)
{
    const auto *in = reinterpret_cast<const qint16 *>(pcm.constData());
    const qsizetype n = pcm.size() / 2;
    QList<double> smooth(n);
    for (qsizetype i = 0; i < n; ++i) {
        const double a = in[std::max<qsizetype>(0, i - 1)], b = in[i], c = in[std::min(n - 1, i + 1)];
        smooth[i] = 0.25 * a + 0.5 * b + 0.25 * c;
    }
    const qsizetype outCount = n * micRate / rate;
    QByteArray out(outCount * 2, Qt::Uninitialized);
    auto *o = reinterpret_cast<qint16 *>(out.data());
    for (qsizetype j = 0; j < outCount; ++j) {
        const double x = double(j) * rate / micRate;
        const qsizetype i = qsizetype(x);
        const double f = x - double(i);
        const double v = smooth[i] * (1 - f) + smooth[std::min(n - 1, i + 1)] * f;
        o[j] = qint16(std::clamp(std::lround(v), -32768L, 32767L));
    }
    return out;
}

struct Tally
{
    int right = 0;
    int total = 0;
    double percent() const { return total ? 100.0 * right / total : 0.0; }
};

struct Language
{
    QString code;
    // The language's own command words, as the translated menu has them, and the command each means.
    QList<speechsamples::Phrase> ownCommands;
    QStringList ownSentences;
    // The same commands as a grammar of the language's words, and those words written in the US
    // English model's phones as nearly as it has them.
    QList<character::VoiceCommand> ownGrammar;
    QStringList ownPronunciations;
};

QList<Language> languages()
{
    return {
        // The English eSpeak voice checks the path from eSpeak to the recogniser: no accent.
        {u"en"_s, {}, {}, {}, {}},
        {u"de"_s,
         {{u"Neu"_s, u"Reset"_s}, {u"Stufe eins"_s, u"LevelOne"_s}, {u"Stufe zwei"_s, u"LevelTwo"_s},
          {u"Stufe drei"_s, u"LevelThree"_s}, {u"Stufe vier"_s, u"LevelFour"_s}, {u"Beenden"_s, u"Exit"_s}},
         {u"Was ist fünf plus sieben"_s, u"Ich mag Katzen"_s, u"Hallo Merlin"_s, u"Mein Hund ist groß"_s,
          u"Können wir ein Spiel spielen"_s, u"Ich weiß die Antwort nicht"_s},
         {{u"Reset"_s, u"neu ..."_s, true}, {u"LevelOne"_s, u"... eins"_s, true}, {u"LevelTwo"_s, u"... zwei"_s, true},
          {u"LevelThree"_s, u"... drei"_s, true}, {u"LevelFour"_s, u"... vier"_s, true},
          {u"Exit"_s, u"beenden ..."_s, true}},
         {u"neu N OY"_s, u"stufe SH T UW F AH"_s, u"eins AY N S"_s, u"zwei T S V AY"_s, u"drei D R AY"_s,
          u"vier F IY R"_s, u"beenden B AH EH N D AH N"_s}},
        {u"fr"_s,
         {{u"Rejouer"_s, u"Reset"_s}, {u"Niveau un"_s, u"LevelOne"_s}, {u"Niveau deux"_s, u"LevelTwo"_s},
          {u"Niveau trois"_s, u"LevelThree"_s}, {u"Niveau quatre"_s, u"LevelFour"_s}, {u"Quitter"_s, u"Exit"_s}},
         {u"Combien font cinq plus sept"_s, u"J'aime les chats"_s, u"Bonjour Merlin"_s, u"Mon chien est grand"_s,
          u"On peut jouer à un jeu"_s, u"Je ne connais pas la réponse"_s},
         {{u"Reset"_s, u"rejouer ..."_s, true}, {u"LevelOne"_s, u"... un"_s, true}, {u"LevelTwo"_s, u"... deux"_s, true},
          {u"LevelThree"_s, u"... trois"_s, true}, {u"LevelFour"_s, u"... quatre"_s, true},
          {u"Exit"_s, u"quitter ..."_s, true}},
         {u"rejouer R AH ZH UW EY"_s, u"niveau N IY V OW"_s, u"un AE N"_s, u"deux D ER"_s, u"trois T R W AA"_s,
          u"quatre K AE T R AH"_s, u"quitter K IY T EY"_s}},
        {u"es"_s,
         {{u"Reiniciar"_s, u"Reset"_s}, {u"Nivel uno"_s, u"LevelOne"_s}, {u"Nivel dos"_s, u"LevelTwo"_s},
          {u"Nivel tres"_s, u"LevelThree"_s}, {u"Nivel cuatro"_s, u"LevelFour"_s}, {u"Salir"_s, u"Exit"_s}},
         {u"Cuánto es cinco más siete"_s, u"Me gustan los gatos"_s, u"Hola Merlin"_s, u"Mi perro es grande"_s,
          u"Podemos jugar a un juego"_s, u"No sé la respuesta"_s},
         {{u"Reset"_s, u"reiniciar ..."_s, true}, {u"LevelOne"_s, u"... uno"_s, true}, {u"LevelTwo"_s, u"... dos"_s, true},
          {u"LevelThree"_s, u"... tres"_s, true}, {u"LevelFour"_s, u"... cuatro"_s, true},
          {u"Exit"_s, u"salir ..."_s, true}},
         {u"reiniciar R EY N IY TH Y AA R"_s, u"nivel N IY B EH L"_s, u"uno UW N OW"_s, u"dos D OW S"_s,
          u"tres T R EY S"_s, u"cuatro K W AA T R OW"_s, u"salir S AA L IY R"_s}},
    };
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const bool verbose = app.arguments().contains(u"-v"_s);
    listen::CommandDecoder decoder;
    QList<character::VoiceCommand> commands;
    for (const speechsamples::CommandText &command : speechsamples::programCommands())
        commands.append({command.name, command.voice, true});
    decoder.setCommands(commands);
    if (!decoder.prepare()) {
        std::fprintf(stderr, "decoder unusable: %s\n", qPrintable(decoder.errorString()));
        return 1;
    }
    // Each voice at its own pace, slower and higher (a child), and faster and lower.
    const QList<character::VoiceSettings> deliveries{{QString(), 1.0, 1.0}, {QString(), 0.8, 1.4}, {QString(), 1.2, 0.9}};

    // Codes given on the command line choose the languages; none, all of them.
    QStringList chosen = app.arguments().mid(1);
    chosen.removeAll(u"-v"_s);
    for (const Language &language : languages()) {
        if (!chosen.isEmpty() && !chosen.contains(language.code))
            continue;
        speech::EspeakSynthesizer voice(language.code);
        Tally accent, accentNoisy, sentences, own;
        quint32 seed = 1;
        const auto hear = [&](const QString &text, const character::VoiceSettings &delivery, bool noisy) {
            const std::optional<speech::Utterance> u = voice.synthesize(text, delivery);
            if (!u)
                return character::UserInput{};
            // A microphone never gives digital silence: a quiet room is noise 40 dB down, a humming one 20 dB.
            const QByteArray pcm = speechsamples::withNoise(speechsamples::padded(toMicRate(u->pcm, u->sampleRate), 300, 300),
                                                            noisy ? 20.0 : 40.0, seed++, speechsamples::Noise::Pink);
            return decoder.decode(pcm);
        };
        const auto note = [&](const char *what, const QString &text, const character::UserInput &heard) {
            if (verbose)
                std::fprintf(stderr, "%s %s \"%s\" -> %s [%s]\n", qPrintable(language.code), what, qPrintable(text),
                             qPrintable(heard.Name), qPrintable(heard.Voice));
        };
        for (const character::VoiceSettings &delivery : deliveries) {
            for (const speechsamples::Phrase &phrase : speechsamples::commandPhrases()) {
                for (bool noisy : {false, true}) {
                    const character::UserInput heard = hear(phrase.text, delivery, noisy);
                    Tally &tally = noisy ? accentNoisy : accent;
                    const bool right = heard.Count > 0 && heard.Name == phrase.command;
                    ++tally.total;
                    tally.right += right;
                    if (!right)
                        note(noisy ? "accent-noisy" : "accent", phrase.text, heard);
                }
            }
            for (const QString &sentence : language.ownSentences) {
                const character::UserInput heard = hear(sentence, delivery, false);
                ++sentences.total;
                sentences.right += heard.Count == 0;
                if (heard.Count != 0)
                    note("false-accept", sentence, heard);
            }
            for (const speechsamples::Phrase &phrase : language.ownCommands) {
                const character::UserInput heard = hear(phrase.text, delivery, false);
                ++own.total;
                own.right += heard.Count > 0 && heard.Name == phrase.command;
                note("own-words", phrase.text, heard);
            }
        }
        // The other way: a grammar of the language's own words in English phones.
        Tally native, nativeSentences;
        if (!language.ownGrammar.isEmpty()) {
            QTemporaryFile dictionary;
            QFile english(listen::CommandDecoder::defaultDictionaryFile());
            if (!dictionary.open() || !english.open(QIODevice::ReadOnly))
                return 1;
            dictionary.write(english.readAll());
            for (const QString &line : language.ownPronunciations)
                dictionary.write(line.toUtf8() + '\n');
            dictionary.flush();
            listen::CommandDecoder own(QString(), dictionary.fileName());
            own.setCommands(language.ownGrammar);
            if (!own.prepare()) {
                std::fprintf(stderr, "%s grammar unusable: %s\n", qPrintable(language.code), qPrintable(own.errorString()));
                return 1;
            }
            for (const character::VoiceSettings &delivery : deliveries) {
                for (const speechsamples::Phrase &phrase : language.ownCommands) {
                    const std::optional<speech::Utterance> u = voice.synthesize(phrase.text, delivery);
                    const character::UserInput heard = u ? own.decode(speechsamples::withNoise(
                                                               speechsamples::padded(toMicRate(u->pcm, u->sampleRate), 300, 300),
                                                               40.0, seed++, speechsamples::Noise::Pink))
                                                         : character::UserInput{};
                    ++native.total;
                    native.right += heard.Count > 0 && heard.Name == phrase.command;
                    note("own-grammar", phrase.text, heard);
                }
                for (const QString &sentence : language.ownSentences) {
                    const std::optional<speech::Utterance> u = voice.synthesize(sentence, delivery);
                    const character::UserInput heard = u ? own.decode(speechsamples::withNoise(
                                                               speechsamples::padded(toMicRate(u->pcm, u->sampleRate), 300, 300),
                                                               40.0, seed++, speechsamples::Noise::Pink))
                                                         : character::UserInput{};
                    ++nativeSentences.total;
                    nativeSentences.right += heard.Count == 0;
                    if (heard.Count != 0)
                        note("own-grammar-false-accept", sentence, heard);
                }
            }
        }
        if (native.total) {
            printFigure(u"listen_own_grammar_"_s + language.code + u"_accuracy"_s, native.percent(), "%");
            printFigure(u"listen_own_grammar_"_s + language.code + u"_false_accepts"_s, 100.0 - nativeSentences.percent(), "%");
        }
        const QString prefix = u"listen_accent_"_s + language.code;
        printFigure(prefix + u"_command_accuracy"_s, accent.percent(), "%");
        printFigure(prefix + u"_accuracy_noisy"_s, accentNoisy.percent(), "%");
        if (sentences.total)
            printFigure(prefix + u"_false_accepts"_s, 100.0 - sentences.percent(), "%");
        if (own.total)
            printFigure(u"listen_own_words_"_s + language.code + u"_heard"_s, own.percent(), "%");
    }
    return 0;
}

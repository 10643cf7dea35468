// SPDX-License-Identifier: GPL-3.0-or-later
// Recognition figures over synthesised speech: commands said in several ways by several voices,
// rates and pitches, clean and with noise, and sentences that are no command.
#include <cstdio>
#include <ctime>

#include <QCoreApplication>

#include "listen/commanddecoder.h"
#include "tests/listen/speechsamples.h"

using namespace Qt::StringLiterals;

namespace {

QList<speechsamples::Delivery> deliveries()
{
    QList<speechsamples::Delivery> list;
    for (const QString &voice : speechsamples::voices()) {
        list.append({voice, 1.0, 1.0});
        list.append({voice, 0.85, 1.15});
        list.append({voice, 1.25, 0.9});
    }
    return list;
}

// The machine is shared while the figures are taken; the decoding thread's own CPU time says
// what decoding costs, where the wall clock would add whatever else ran meanwhile.
double threadSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

void printFigure(const char *name, double value, const char *unit)
{
    std::printf("BENCH %s %.2f %s\n", name, value, unit);
    std::fflush(stdout);
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

    const double noiseSnrDb = qEnvironmentVariableIsSet("SNR") ? qEnvironmentVariable("SNR").toDouble() : 12.0;
    int commandsRight = 0, commandsTotal = 0;
    int noisyRight = 0, noisyTotal = 0;
    int falseAccepts = 0, othersTotal = 0;
    double audioSeconds = 0, decodeSeconds = 0;
    quint32 seed = 1;

    const auto run = [&](const QByteArray &pcm) {
        const double start = threadSeconds();
        const character::UserInput input = decoder.decode(pcm);
        decodeSeconds += threadSeconds() - start;
        audioSeconds += speechsamples::durationSeconds(pcm);
        return input;
    };

    // -q: one delivery per voice, for trying settings quickly.
    QList<speechsamples::Delivery> all = deliveries();
    if (app.arguments().contains(u"-q"_s)) {
        for (qsizetype i = all.size() - 1; i >= 0; --i) {
            if (i % 3 != 0)
                all.removeAt(i);
        }
    }
    for (const speechsamples::Delivery &delivery : std::as_const(all)) {
        for (const speechsamples::Phrase &phrase : speechsamples::commandPhrases() + speechsamples::otherSentences()) {
            const QByteArray clean = speechsamples::padded(speechsamples::say(phrase.text, delivery), 300, 300);
            const character::UserInput heard = run(clean);
            const bool isCommand = !phrase.command.isEmpty();
            const bool right = isCommand ? (heard.Count > 0 && heard.Name == phrase.command) : heard.Count == 0;
            if (isCommand) {
                ++commandsTotal;
                commandsRight += right;
            } else {
                ++othersTotal;
                falseAccepts += !right;
            }
            if (verbose && !right)
                std::fprintf(stderr, "clean %s %.2f %.2f: \"%s\" -> %s [%s] %d\n", qPrintable(delivery.voice),
                             delivery.stretch, delivery.pitch, qPrintable(phrase.text), qPrintable(heard.Name),
                             qPrintable(heard.Voice), heard.Confidence);
            if (!isCommand)
                continue;
            const QByteArray noisy = speechsamples::withNoise(clean, noiseSnrDb, seed++, qEnvironmentVariableIsSet("WHITE") ? speechsamples::Noise::White : speechsamples::Noise::Pink);
            const character::UserInput heardNoisy = run(noisy);
            const bool noisyOk = heardNoisy.Count > 0 && heardNoisy.Name == phrase.command;
            ++noisyTotal;
            noisyRight += noisyOk;
            if (verbose && !noisyOk)
                std::fprintf(stderr, "noisy %s %.2f %.2f: \"%s\" -> %s [%s]\n", qPrintable(delivery.voice),
                             delivery.stretch, delivery.pitch, qPrintable(phrase.text), qPrintable(heardNoisy.Name),
                             qPrintable(heardNoisy.Voice));
        }
    }

    printFigure("listen_command_accuracy", 100.0 * commandsRight / commandsTotal, "%");
    printFigure("listen_false_accepts", 100.0 * falseAccepts / othersTotal, "%");
    printFigure("listen_accuracy_noisy", 100.0 * noisyRight / noisyTotal, "%");
    printFigure("listen_decode_rtf", decodeSeconds / audioSeconds, "x");
    return 0;
}

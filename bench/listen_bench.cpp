// SPDX-License-Identifier: GPL-3.0-or-later
// Recognition figures over synthesised speech: commands said in several ways by several voices,
// rates and pitches, clean and with room noise, and sentences that are no command.
#include <cstdio>
#include <ctime>

#include <QCoreApplication>

#include "listen/commanddecoder.h"
#include "speechsamples.h"

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

struct Tally
{
    int right = 0;
    int total = 0;
    double percent() const { return total ? 100.0 * right / total : 0.0; }
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    // -v lists every miss; -q takes one delivery per voice, for trying settings quickly.
    const bool verbose = app.arguments().contains(u"-v"_s);
    const bool quick = app.arguments().contains(u"-q"_s);

    listen::CommandDecoder decoder;
    QList<character::VoiceCommand> commands;
    for (const speechsamples::CommandText &command : speechsamples::programCommands())
        commands.append({command.name, command.voice, true});
    decoder.setCommands(commands);
    if (!decoder.prepare()) {
        std::fprintf(stderr, "decoder unusable: %s\n", qPrintable(decoder.errorString()));
        return 1;
    }

    // A quiet room with a fan or a computer humming, and a louder one.
    struct NoisyCondition
    {
        const char *label;
        double snrDb;
        Tally tally;
    };
    NoisyCondition noisy[] = {{"pink20", 20.0, {}}, {"pink15", 15.0, {}}};
    Tally clean, others;
    double audioSeconds = 0, decodeSeconds = 0;
    quint32 seed = 1;

    const auto run = [&](const QByteArray &pcm) {
        const double start = threadSeconds();
        const character::UserInput input = decoder.decode(pcm);
        decodeSeconds += threadSeconds() - start;
        audioSeconds += speechsamples::durationSeconds(pcm);
        return input;
    };
    const auto report = [&](const char *condition, const speechsamples::Delivery &delivery, const QString &text,
                            const character::UserInput &heard) {
        if (verbose)
            std::fprintf(stderr, "%s %s %.2f %.2f: \"%s\" -> %s [%s] %d\n", condition, qPrintable(delivery.voice),
                         delivery.stretch, delivery.pitch, qPrintable(text), qPrintable(heard.Name),
                         qPrintable(heard.Voice), heard.Confidence);
    };

    const QList<speechsamples::Delivery> all = deliveries();
    for (qsizetype d = 0; d < all.size(); ++d) {
        if (quick && d % 3 != 0)
            continue;
        const speechsamples::Delivery &delivery = all.at(d);
        for (const speechsamples::Phrase &phrase : speechsamples::commandPhrases() + speechsamples::otherSentences()) {
            const QByteArray audio = speechsamples::padded(speechsamples::say(phrase.text, delivery), 300, 300);
            const character::UserInput heard = run(audio);
            if (phrase.command.isEmpty()) {
                ++others.total;
                others.right += heard.Count == 0;
                if (heard.Count != 0)
                    report("false-accept", delivery, phrase.text, heard);
                continue;
            }
            const bool right = heard.Count > 0 && heard.Name == phrase.command;
            ++clean.total;
            clean.right += right;
            if (!right)
                report("clean", delivery, phrase.text, heard);
            for (NoisyCondition &condition : noisy) {
                const character::UserInput heardNoisy =
                    run(speechsamples::withNoise(audio, condition.snrDb, seed++, speechsamples::Noise::Pink));
                const bool noisyRight = heardNoisy.Count > 0 && heardNoisy.Name == phrase.command;
                ++condition.tally.total;
                condition.tally.right += noisyRight;
                if (!noisyRight)
                    report(condition.label, delivery, phrase.text, heardNoisy);
            }
        }
    }

    printFigure("listen_command_accuracy", clean.percent(), "%");
    printFigure("listen_false_accepts", 100.0 - others.percent(), "%");
    printFigure("listen_accuracy_noisy", noisy[0].tally.percent(), "%");
    printFigure("listen_accuracy_noisy_15db", noisy[1].tally.percent(), "%");
    printFigure("listen_decode_rtf", decodeSeconds / audioSeconds, "x");
    return 0;
}

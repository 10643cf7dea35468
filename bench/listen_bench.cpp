// SPDX-License-Identifier: GPL-3.0-or-later
// Recognition figures over the generated command sets (tools/devset/make_devset.py): each
// condition of the development set, for tuning the decoder, and of the held-out set, whose voices
// and condition settings must never be used in choosing its settings. Each figure comes with its
// 95 % Wilson interval, so that a difference can be told from chance.
//
// Usage: zumbrel_bench_listen [DEVSET_DIR] [--set dev|heldout] [--every N] [--list] [--warps F,F...]
//                             [--no-noise-reduction] [--no-room-tone] [--no-adaptation]
// --list writes every utterance's result to stderr, tab separated, for looking into misses: set, condition,
// voice, command, text, command heard, words heard, confidence, decode ms (processor), seconds of audio.
// --warps sets the frequency warp factors tried on high voices ("" for none), for comparing;
// --no-noise-reduction and --no-room-tone decode the audio as it is; --no-adaptation decodes with the
// speech model as it is, without the speaker adaptation that ships with the program.
// At the end, every tenth utterance is decoded again in the opposite order: a result that changes
// shows the decoder carrying something over from one utterance to the next.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <map>
#include <optional>
#include <vector>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QStringList>

#include "listen/commanddecoder.h"
#include "speechsamples.h"

using namespace Qt::StringLiterals;

namespace {

struct Item
{
    QString set;
    QString condition;
    QString voice;
    QString command;
    QString text;
    QString file;
};

// The decoding thread's own CPU time: on a shared machine it says what decoding costs on one
// idle core, where the wall clock would add whatever else ran meanwhile.
double threadSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

QList<Item> readManifest(const QString &dir)
{
    QFile file(dir + u"/manifest.tsv"_s);
    QList<Item> items;
    if (!file.open(QIODevice::ReadOnly))
        return items;
    file.readLine();
    while (!file.atEnd()) {
        const QStringList fields = QString::fromUtf8(file.readLine()).trimmed().split(u'\t');
        if (fields.size() < 6)
            continue;
        items.append({fields[0], fields[1], fields[2], fields[3], fields[4], dir + u'/' + fields[5]});
    }
    return items;
}

// The samples of a 16-bit mono RIFF file.
QByteArray readWav(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray all = file.readAll();
    qsizetype at = 12;
    while (at + 8 <= all.size()) {
        const QByteArray id = all.mid(at, 4);
        const quint32 size = quint32(quint8(all[at + 4])) | quint32(quint8(all[at + 5])) << 8
            | quint32(quint8(all[at + 6])) << 16 | quint32(quint8(all[at + 7])) << 24;
        if (id == "data")
            return all.mid(at + 8, std::min<qsizetype>(size, all.size() - at - 8));
        at += 8 + size + (size & 1);
    }
    return {};
}

struct Wilson
{
    double low;
    double high;
};

Wilson wilson(int hits, int total)
{
    if (total == 0)
        return {0, 0};
    const double z = 1.959964, n = total, p = hits / n;
    const double centre = (p + z * z / (2 * n)) / (1 + z * z / n);
    const double half = z * std::sqrt(p * (1 - p) / n + z * z / (4 * n * n)) / (1 + z * z / n);
    return {100.0 * std::max(0.0, centre - half), 100.0 * std::min(1.0, centre + half)};
}

struct Tally
{
    int hits = 0;
    int total = 0;
};

void printRate(const QString &name, const Tally &tally)
{
    const Wilson ci = wilson(tally.hits, tally.total);
    std::printf("BENCH %s %.1f %% (95%% CI %.1f-%.1f, n=%d)\n", qPrintable(name),
                tally.total ? 100.0 * tally.hits / tally.total : 0.0, ci.low, ci.high, tally.total);
}

// The chance that a right result scores above a wrong one (area under the ROC curve).
double areaUnderCurve(const std::vector<double> &right, const std::vector<double> &wrong)
{
    if (right.empty() || wrong.empty())
        return 0;
    double wins = 0;
    for (double r : right) {
        for (double w : wrong)
            wins += r > w ? 1.0 : r == w ? 0.5 : 0.0;
    }
    return wins / (double(right.size()) * double(wrong.size()));
}

double percentile(std::vector<double> values, double share)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, size_t(share * double(values.size())))];
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    QString onlySet;
    int every = 1;
    bool list = false;
    std::optional<QList<double>> warps;
    bool noiseReduction = true;
    bool roomTone = true;
    bool adaptation = true;
    QString dir = QStringLiteral(ZUMBREL_LISTEN_DEVSET);
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        const QString value = i + 1 < args.size() ? args.at(i + 1) : QString();
        if (arg == u"--set"_s)
            onlySet = value, ++i;
        else if (arg == u"--list"_s)
            list = true;
        else if (arg == u"--every"_s)
            every = std::max(1, value.toInt()), ++i;
        else if (arg == u"--warps"_s) {
            warps.emplace();
            for (const QString &factor : value.split(u',', Qt::SkipEmptyParts))
                warps->append(factor.toDouble());
            ++i;
        } else if (arg == u"--no-noise-reduction"_s) {
            noiseReduction = false;
        } else if (arg == u"--no-room-tone"_s) {
            roomTone = false;
        } else if (arg == u"--no-adaptation"_s) {
            adaptation = false;
        } else {
            dir = arg;
        }
    }
    const QList<Item> items = readManifest(dir);
    if (items.isEmpty()) {
        std::fprintf(stderr, "no command set in %s; `make bench` generates it (tools/devset/make_devset.py)\n",
                     qPrintable(dir));
        return 1;
    }

    QList<character::VoiceCommand> commands;
    for (const speechsamples::CommandText &command : speechsamples::programCommands())
        commands.append({command.name, command.voice, true});
    auto decoder = std::make_unique<listen::CommandDecoder>();
    decoder->setCommands(commands);
    if (warps)
        decoder->setWarpFactors(*warps);
    decoder->setNoiseReduction(noiseReduction);
    decoder->setRoomTone(roomTone);
    if (!adaptation)
        decoder->setAdaptation({});
    if (!decoder->prepare()) {
        std::fprintf(stderr, "decoder unusable: %s\n", qPrintable(decoder->errorString()));
        return 1;
    }
    if (adaptation && !decoder->isAdapted()) {
        std::fprintf(stderr, "the speaker adaptation %s cannot be used\n", qPrintable(decoder->adaptation()));
        return 1;
    }

    std::map<QString, Tally> accuracy, falseAccepts, wrongCommand;
    std::map<QString, std::vector<double>> rightConfidence, wrongConfidence;
    std::vector<double> cpuMs, wallMs;
    // Every tenth result, to decode again in the opposite order at the end.
    QList<std::pair<QByteArray, character::UserInput>> replay;
    int index = 0;
    for (const Item &item : items) {
        if (!onlySet.isEmpty() && item.set != onlySet)
            continue;
        if (index++ % every != 0)
            continue;
        const QByteArray pcm = readWav(item.file);
        if (pcm.isEmpty()) {
            std::fprintf(stderr, "unreadable: %s\n", qPrintable(item.file));
            continue;
        }
        QElapsedTimer wall;
        wall.start();
        const double start = threadSeconds();
        const character::UserInput heard = decoder->decode(pcm);
        cpuMs.push_back((threadSeconds() - start) * 1000.0);
        wallMs.push_back(double(wall.nsecsElapsed()) / 1e6);

        if (cpuMs.size() % 10 == 1)
            replay.append({pcm, heard});

        const QString key = item.set + u'_' + item.condition;
        const bool accepted = heard.Count > 0;
        bool right = false;
        if (item.command.isEmpty()) {
            falseAccepts[item.set].total++;
            falseAccepts[item.set].hits += accepted;
        } else {
            right = accepted && heard.Name == item.command;
            accuracy[key].total++;
            accuracy[key].hits += right;
            wrongCommand[item.set].total++;
            wrongCommand[item.set].hits += accepted && !right;
        }
        if (list)
            std::fprintf(stderr, "%s\t%s\t%s\t%s\t%s\t%s\t%s\t%d\t%.0f\t%.2f\n", qPrintable(item.set),
                         qPrintable(item.condition), qPrintable(item.voice), qPrintable(item.command),
                         qPrintable(item.text), qPrintable(heard.Name), qPrintable(heard.Voice), int(heard.Confidence),
                         cpuMs.back(), double(pcm.size()) / (2 * 16000.0));
        if (accepted)
            (right ? rightConfidence : wrongConfidence)[item.set].push_back(heard.Confidence);
    }

    for (const auto &[key, tally] : accuracy)
        printRate(u"listen_accuracy_"_s + key, tally);
    for (const auto &[set, tally] : falseAccepts)
        printRate(u"listen_noncommand_accepted_"_s + set, tally);
    for (const auto &[set, tally] : wrongCommand)
        printRate(u"listen_wrong_command_"_s + set, tally);
    for (const auto &[set, right] : rightConfidence) {
        const std::vector<double> &wrong = wrongConfidence[set];
        std::printf("BENCH listen_confidence_right_median_%s %.0f %%\n", qPrintable(set), percentile(right, 0.5));
        if (!wrong.empty()) {
            std::printf("BENCH listen_confidence_wrong_median_%s %.0f %%\n", qPrintable(set), percentile(wrong, 0.5));
            std::printf("BENCH listen_confidence_auc_%s %.3f\n", qPrintable(set), areaUnderCurve(right, wrong));
        }
    }
    // The same audio must give the same result whatever was decoded before it: decoded again
    // after other utterances, in the opposite order, every field of the result must agree.
    int changed = 0;
    for (auto it = replay.crbegin(); it != replay.crend(); ++it) {
        changed += decoder->decode(it->first) != it->second;
    }
    std::printf("BENCH listen_results_changed_by_order %d of %lld\n", changed, static_cast<long long>(replay.size()));
    std::printf("BENCH listen_decode_cpu_p95 %.0f ms\n", percentile(cpuMs, 0.95));
    std::printf("BENCH listen_decode_wall_p95 %.0f ms\n", percentile(wallMs, 0.95));
    return 0;
}

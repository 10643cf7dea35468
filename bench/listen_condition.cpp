// SPDX-License-Identifier: GPL-3.0-or-later
// Conditions audio the way the command decoder does before it decodes: a loud, steady noise is
// taken out and near-silent pauses get a faint room tone. The speaker adaptation is estimated on
// audio as the decoder hears it (tools/adapt/make_adaptation.py).
//
// Usage: zumbrel_listen_condition IN.raw OUT.raw   (16 kHz mono signed 16-bit little-endian)
#include <cstdio>
#include <vector>

#include <QCoreApplication>
#include <QFile>

#include "listen/noisereducer.h"

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: zumbrel_listen_condition IN.raw OUT.raw\n");
        return 2;
    }
    QFile in(args.at(1));
    if (!in.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(args.at(1)));
        return 1;
    }
    const QByteArray pcm = in.readAll();
    const auto *first = reinterpret_cast<const qint16 *>(pcm.constData());
    std::vector<qint16> samples(first, first + pcm.size() / qsizetype(sizeof(qint16)));
    listen::reduceSteadyNoise(samples);
    listen::addRoomTone(samples);
    QFile out(args.at(2));
    const auto bytes = qint64(samples.size() * sizeof(qint16));
    if (!out.open(QIODevice::WriteOnly) || out.write(reinterpret_cast<const char *>(samples.data()), bytes) != bytes) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(args.at(2)));
        return 1;
    }
    return 0;
}

// SPDX-License-Identifier: GPL-3.0-or-later
// Speech figures: how soon speak() hands the first samples to the sound device, and how long
// synthesis takes per second of audio. With --wav FILE [TEXT] it writes the utterance as a WAV
// file instead, for listening and for sox.

#include <algorithm>
#include <cstdio>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTimer>
#include <QtEndian>

#include "speech/flitespeech.h"
#include "speech/flitesynthesizer.h"

using namespace Qt::StringLiterals;

namespace {

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    const qsizetype n = values.size();
    return n % 2 ? values.at(n / 2) : (values.at(n / 2 - 1) + values.at(n / 2)) / 2;
}

template<typename T>
void appendLittleEndian(QByteArray &out, T value)
{
    value = qToLittleEndian(value);
    out.append(reinterpret_cast<const char *>(&value), sizeof value);
}

int writeWav(const QString &path, const QString &text)
{
    const auto utterance = speech::FliteSynthesizer().synthesize(text, character::VoiceSettings{});
    if (!utterance) {
        std::fprintf(stderr, "synthesis failed\n");
        return 1;
    }
    QByteArray wav = "RIFF";
    appendLittleEndian<quint32>(wav, quint32(36 + utterance->pcm.size()));
    wav += "WAVEfmt ";
    appendLittleEndian<quint32>(wav, 16);
    appendLittleEndian<quint16>(wav, 1); // PCM
    appendLittleEndian<quint16>(wav, 1); // mono
    appendLittleEndian<quint32>(wav, quint32(utterance->sampleRate));
    appendLittleEndian<quint32>(wav, quint32(utterance->sampleRate * 2));
    appendLittleEndian<quint16>(wav, 2);
    appendLittleEndian<quint16>(wav, 16);
    wav += "data";
    appendLittleEndian<quint32>(wav, quint32(utterance->pcm.size()));
    const auto *samples = reinterpret_cast<const qint16 *>(utterance->pcm.constData());
    for (int i = 0; i < utterance->sampleCount(); ++i)
        appendLittleEndian<qint16>(wav, samples[i]);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(wav) != wav.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return 1;
    }
    for (const auto &word : utterance->words)
        std::printf("%6d %6d  %s\n", word.startMs, word.endMs, qPrintable(word.shown));
    return 0;
}

void benchSynthesis()
{
    const QStringList phrases = {
        u"Welcome. I am your teacher for today."_s,
        u"Are you ready?"_s,
        u"The correct answer is 12"_s,
        u"What? There's something special about this place?"_s,
        u"Hello, Ann. Nice to meet you"_s,
        u"Don't click me"_s,
    };
    speech::FliteSynthesizer synthesizer;
    synthesizer.synthesize(u"warm up"_s, character::VoiceSettings{}); // registers the voice
    double synthMs = 0;
    double audioSeconds = 0;
    QList<double> sentenceMs;
    for (int round = 0; round < 5; ++round) {
        for (const QString &phrase : phrases) {
            QElapsedTimer clock;
            clock.start();
            const auto utterance = synthesizer.synthesize(phrase, character::VoiceSettings{});
            const double ms = clock.nsecsElapsed() / 1e6;
            if (!utterance)
                continue;
            synthMs += ms;
            sentenceMs << ms;
            audioSeconds += double(utterance->sampleCount()) / utterance->sampleRate;
        }
    }
    std::printf("BENCH speech_synthesis_per_audio_second %.2f ms\n", synthMs / audioSeconds);
    std::printf("BENCH speech_synthesis_sentence_median %.2f ms\n", median(sentenceMs));
}

void benchFirstAudio()
{
    const QString phrase = u"I am your teacher for today"_s; // six words
    speech::FliteSpeech engine;
    QList<double> firstAudio;
    bool audible = false;
    for (int run = 0; run < 21; ++run) {
        QEventLoop loop;
        QElapsedTimer clock;
        double ms = -1;
        const auto connection = QObject::connect(&engine, &speech::FliteSpeech::audioStarted, &loop,
                                                 [&](bool toDevice) {
                                                     ms = clock.nsecsElapsed() / 1e6;
                                                     audible = toDevice;
                                                     loop.quit();
                                                 });
        QTimer::singleShot(5000, &loop, &QEventLoop::quit);
        clock.start();
        engine.speak(phrase, character::VoiceSettings{});
        loop.exec();
        QObject::disconnect(connection);
        engine.stop();
        // The first run registers the voice and opens the device; it is not typical.
        if (run > 0 && ms >= 0)
            firstAudio << ms;
    }
    if (firstAudio.isEmpty())
        return;
    std::printf("# speech first audio: %s\n", audible ? "to the default sound device" : "no sound device, silent timeline");
    std::printf("BENCH speech_first_audio_ms %.2f ms\n", median(firstAudio));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() >= 3 && args.at(1) == u"--wav")
        return writeWav(args.at(2), args.size() >= 4 ? args.at(3) : u"Welcome. I am your teacher for today."_s);
    benchSynthesis();
    benchFirstAudio();
    return 0;
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "speechsamples.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <mutex>
#include <random>
#include <vector>

#include <QHash>

extern "C" {
#include <flite/flite.h>
cst_voice *register_cmu_us_slt(const char *voxdir);
cst_voice *register_cmu_us_rms(const char *voxdir);
cst_voice *register_cmu_us_awb(const char *voxdir);
cst_voice *register_cmu_us_kal16(const char *voxdir);
}

using namespace Qt::StringLiterals;

namespace speechsamples {

namespace {

constexpr int sampleRate = 16000;

cst_voice *voiceNamed(const QString &name)
{
    static std::once_flag once;
    static QHash<QString, cst_voice *> voices;
    std::call_once(once, [] {
        flite_init();
        voices.insert(u"slt"_s, register_cmu_us_slt(nullptr));
        voices.insert(u"rms"_s, register_cmu_us_rms(nullptr));
        voices.insert(u"awb"_s, register_cmu_us_awb(nullptr));
        voices.insert(u"kal16"_s, register_cmu_us_kal16(nullptr));
    });
    return voices.value(name, nullptr);
}

} // namespace

QStringList voices()
{
    return {u"slt"_s, u"rms"_s, u"awb"_s, u"kal16"_s};
}

QByteArray say(const QString &text, const Delivery &delivery)
{
    static std::mutex synthLock;
    const std::lock_guard lock(synthLock);
    cst_voice *voice = voiceNamed(delivery.voice);
    if (!voice)
        return {};
    feat_set_float(voice->features, "duration_stretch", static_cast<float>(delivery.stretch));
    // Statistical voices shift their pitch by a factor, the diphone voice aims at a mean in Hz.
    feat_set_float(voice->features, "f0_shift", static_cast<float>(delivery.pitch));
    feat_set_float(voice->features, "int_f0_target_mean", static_cast<float>(105.0 * delivery.pitch));

    // The statistical voices mix random noise into their excitation, drawn from the C library's
    // generator: without a fixed seed the same words come out a little different on every call,
    // and a test near the edge of what the decoder hears would pass or fail by chance.
    std::srand(1);
    const QByteArray utf8 = text.toUtf8();
    cst_wave *wave = flite_text_to_wave(utf8.constData(), voice);
    if (!wave)
        return {};
    if (cst_wave_sample_rate(wave) != sampleRate)
        cst_wave_resample(wave, sampleRate);
    QByteArray pcm;
    if (cst_wave_num_channels(wave) == 1) {
        pcm = QByteArray(reinterpret_cast<const char *>(cst_wave_samples(wave)),
                         cst_wave_num_samples(wave) * qsizetype(sizeof(short)));
    }
    delete_wave(wave);
    return pcm;
}

QByteArray padded(const QByteArray &pcm, int leadMs, int trailMs)
{
    const qsizetype lead = qsizetype(leadMs) * sampleRate / 1000 * 2;
    const qsizetype trail = qsizetype(trailMs) * sampleRate / 1000 * 2;
    return QByteArray(lead, '\0') + pcm + QByteArray(trail, '\0');
}

namespace {

// Loudness of the speech alone: the silent padding would make any noise look quiet.
double speechLoudness(const QByteArray &pcm)
{
    const auto *in = reinterpret_cast<const qint16 *>(pcm.constData());
    const qsizetype n = pcm.size() / 2;
    double energy = 0;
    qsizetype voiced = 0;
    for (qsizetype i = 0; i < n; ++i) {
        if (std::abs(in[i]) > 300) {
            energy += double(in[i]) * in[i];
            ++voiced;
        }
    }
    return voiced ? std::sqrt(energy / voiced) : 1000.0;
}

// The speech with another sound added, snrDb below the speech's loudness.
QByteArray mixedIn(const QByteArray &pcm, const std::vector<double> &sound, double snrDb)
{
    const qsizetype n = pcm.size() / 2;
    double power = 0;
    for (const double value : sound)
        power += value * value;
    const double soundRms = speechLoudness(pcm) / std::pow(10.0, snrDb / 20.0);
    const double scale = n > 0 && power > 0 ? soundRms / std::sqrt(power / double(n)) : 0.0;
    const auto *in = reinterpret_cast<const qint16 *>(pcm.constData());
    QByteArray out(pcm.size(), '\0');
    auto *samples = reinterpret_cast<qint16 *>(out.data());
    for (qsizetype i = 0; i < n; ++i)
        samples[i] = qint16(std::clamp(std::lround(in[i] + sound[size_t(i)] * scale), -32768L, 32767L));
    return out;
}

} // namespace

QByteArray withTalkBehind(const QByteArray &pcm, const QList<QByteArray> &talkers, double snrDb)
{
    const qsizetype n = pcm.size() / 2;
    std::vector<double> talk(size_t(n), 0.0);
    for (qsizetype t = 0; t < talkers.size(); ++t) {
        const auto *voice = reinterpret_cast<const qint16 *>(talkers.at(t).constData());
        const qsizetype length = talkers.at(t).size() / 2;
        if (length == 0)
            continue;
        // Each talker from a different point of what they say, so that all pause at different times.
        const qsizetype start = length * t / qMax<qsizetype>(1, talkers.size());
        for (qsizetype i = 0; i < n; ++i)
            talk[size_t(i)] += voice[(start + i) % length];
    }
    return mixedIn(pcm, talk, snrDb);
}

QByteArray withNoise(const QByteArray &pcm, double snrDb, quint32 seed, Noise colour)
{
    const qsizetype n = pcm.size() / 2;
    std::mt19937 random(seed);
    std::normal_distribution<double> gauss(0.0, 1.0);
    std::vector<double> noise(size_t(n), 0.0);
    // Pink noise through Paul Kellet's economical filter: the hum and rumble of a room, most of
    // its energy low, rather than the hiss of white noise.
    double b0 = 0, b1 = 0, b2 = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const double white = gauss(random);
        double value = white;
        if (colour == Noise::Pink) {
            b0 = 0.99765 * b0 + white * 0.0990460;
            b1 = 0.96300 * b1 + white * 0.2965164;
            b2 = 0.57000 * b2 + white * 1.0526913;
            value = b0 + b1 + b2 + white * 0.1848;
        }
        noise[size_t(i)] = value;
    }
    return mixedIn(pcm, noise, snrDb);
}

QByteArray reverberant(const QByteArray &pcm, double t60Seconds, quint32 seed)
{
    // The room's response: the direct sound, a few milliseconds of nothing, then echoes as
    // decaying noise, their energy all told equal to the direct sound's.
    std::mt19937 random(seed);
    std::normal_distribution<double> gauss(0.0, 1.0);
    const auto length = size_t(t60Seconds * sampleRate);
    const size_t firstEcho = sampleRate * 5 / 1000;
    std::vector<double> response(length, 0.0);
    response[0] = 1.0;
    double echoes = 0;
    for (size_t i = firstEcho; i < length; ++i) {
        response[i] = gauss(random) * std::pow(10.0, -3.0 * double(i) / double(length));
        echoes += response[i] * response[i];
    }
    for (size_t i = firstEcho; i < length; ++i)
        response[i] /= std::sqrt(echoes);

    const auto *in = reinterpret_cast<const qint16 *>(pcm.constData());
    const auto n = size_t(pcm.size() / 2);
    std::vector<double> wet(n, 0.0);
    double peak = 1.0;
    for (size_t i = 0; i < n; ++i) {
        if (in[i] == 0)
            continue;
        for (size_t k = 0; k < length && i + k < n; ++k)
            wet[i + k] += in[i] * response[k];
    }
    for (const double value : wet)
        peak = std::max(peak, std::abs(value));
    const double gain = std::min(1.0, 32000.0 / peak);
    QByteArray out(pcm.size(), '\0');
    auto *samples = reinterpret_cast<qint16 *>(out.data());
    for (size_t i = 0; i < n; ++i)
        samples[i] = qint16(std::lround(wet[i] * gain));
    return out;
}

double durationSeconds(const QByteArray &pcm)
{
    return double(pcm.size()) / 2.0 / sampleRate;
}

QByteArray raised(const QByteArray &pcm, double factor)
{
    const auto *in = reinterpret_cast<const qint16 *>(pcm.constData());
    const qsizetype n = pcm.size() / 2;
    const auto outCount = qsizetype(double(n) / factor);
    QByteArray out(outCount * 2, '\0');
    auto *samples = reinterpret_cast<qint16 *>(out.data());
    for (qsizetype i = 0; i < outCount; ++i) {
        const double pos = double(i) * factor;
        const auto at = qsizetype(pos);
        const double frac = pos - double(at);
        const double a = in[at];
        const double b = at + 1 < n ? in[at + 1] : a;
        samples[i] = qint16(std::lround(a + (b - a) * frac));
    }
    return out;
}

QByteArray clipped(const QByteArray &pcm, double gain)
{
    QByteArray out = pcm;
    auto *samples = reinterpret_cast<qint16 *>(out.data());
    for (qsizetype i = 0; i < out.size() / 2; ++i)
        samples[i] = qint16(std::clamp(std::lround(samples[i] * gain), -32768L, 32767L));
    return out;
}

QByteArray cough(quint32 seed)
{
    std::mt19937 random(seed);
    std::normal_distribution<double> gauss(0.0, 1.0);
    QByteArray out;
    for (const double seconds : {0.25, 0.15}) {
        const auto n = qsizetype(seconds * sampleRate);
        QByteArray burst(n * 2, '\0');
        auto *samples = reinterpret_cast<qint16 *>(burst.data());
        double low = 0;
        for (qsizetype i = 0; i < n; ++i) {
            // Brown-ish noise, loud at once and dying away.
            low = 0.97 * low + 0.03 * gauss(random) * 8;
            const double envelope = std::exp(-4.0 * double(i) / double(n));
            samples[i] = qint16(std::clamp(std::lround(low * envelope * 12000), -32768L, 32767L));
        }
        out += burst + QByteArray(qsizetype(0.12 * sampleRate) * 2, '\0');
    }
    return padded(out, 300, 300);
}

QList<CommandText> programCommands()
{
    return {{u"Reset"_s, u"Reset ..."_s},      {u"LevelOne"_s, u"... One"_s},     {u"LevelTwo"_s, u"... Two"_s},
            {u"LevelThree"_s, u"... Three"_s}, {u"LevelFour"_s, u"... Four"_s},   {u"Exit"_s, u"Exit ..."_s}};
}

QList<Phrase> commandPhrases()
{
    return {
        {u"reset"_s, u"Reset"_s},
        {u"reset please"_s, u"Reset"_s},
        {u"reset the game"_s, u"Reset"_s},
        {u"level one"_s, u"LevelOne"_s},
        {u"one"_s, u"LevelOne"_s},
        {u"level two"_s, u"LevelTwo"_s},
        {u"two"_s, u"LevelTwo"_s},
        {u"level three"_s, u"LevelThree"_s},
        {u"three"_s, u"LevelThree"_s},
        {u"level four"_s, u"LevelFour"_s},
        {u"go to level four"_s, u"LevelFour"_s},
        {u"exit"_s, u"Exit"_s},
        {u"exit now"_s, u"Exit"_s},
        {u"exit please"_s, u"Exit"_s},
    };
}

QList<Phrase> otherSentences()
{
    return {
        {u"what is five plus seven"_s, {}},
        {u"I like cats"_s, {}},
        {u"hello Merlin"_s, {}},
        {u"my dog is big"_s, {}},
        {u"can we play a game"_s, {}},
        {u"I do not know the answer"_s, {}},
    };
}

} // namespace speechsamples

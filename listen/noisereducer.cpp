// SPDX-License-Identifier: GPL-3.0-or-later
#include "listen/noisereducer.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

namespace listen {

namespace {

using Complex = std::complex<double>;

// 32 ms windows every 8 ms at 16 kHz: long enough to resolve a voice's harmonics, short enough
// to follow its changes.
constexpr size_t windowSize = 512;
constexpr size_t hopSize = 128;
constexpr size_t bins = windowSize / 2 + 1;
// The quietest 15 % of the windows: push to talk leaves at least that much before and after
// the words, and less would make the estimate of the noise itself noisy.
constexpr double quietShare = 0.15;
constexpr size_t minQuietWindows = 2;
// Reduce only below this. From 20 dB up, the decoder loses as many words to the reduction's
// distortion as it wins from the quieter noise; at 15 dB and below it wins clearly.
constexpr double maxSpeechAboveNoiseDb = 20.0;
// A steady noise's band levels wander by about 3 dB from one quiet window to the next; other
// people talking wander by 7 dB and more.
constexpr double maxNoiseUnsteadinessDb = 5.0;
// How strongly the estimate of the speech leans on the frame before (decision directed); close
// to 1 keeps the leftover noise from warbling.
constexpr double speechSmoothing = 0.98;
// The least any part of the spectrum is turned down to, about 16 dB: the decoder's model knows
// speech in a little noise, not speech with holes cut into it.
constexpr double minGain = 0.15;
// Band edges, in bins, for judging how steady the noise is: 20 bands evenly spaced on a log scale
// from 125 Hz to 8 kHz, about as the ear and the decoder's filters space them.
constexpr size_t bandCount = 20;
constexpr double lowestBandBin = 4.0;
// A quiet room with a fair microphone: its noise lies about 40 dB below the speech.
constexpr double roomToneBelowSpeechDb = 40.0;
constexpr size_t loudnessFrame = 160; // 10 ms

void fft(std::vector<Complex> &data, bool inverse)
{
    const size_t n = data.size();
    for (size_t i = 1, j = 0; i < n; ++i) {
        size_t bit = n >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j)
            std::swap(data[i], data[j]);
    }
    for (size_t length = 2; length <= n; length <<= 1) {
        const double angle = 2 * std::numbers::pi / double(length) * (inverse ? 1 : -1);
        const Complex step(std::cos(angle), std::sin(angle));
        for (size_t start = 0; start < n; start += length) {
            Complex twiddle(1);
            for (size_t k = 0; k < length / 2; ++k) {
                const Complex even = data[start + k];
                const Complex odd = data[start + k + length / 2] * twiddle;
                data[start + k] = even + odd;
                data[start + k + length / 2] = even - odd;
                twiddle *= step;
            }
        }
    }
    if (inverse) {
        for (Complex &value : data)
            value /= double(n);
    }
}

double dB(double ratio)
{
    return 10.0 * std::log10(ratio);
}

// The mean over the bands of how much each band's level varies across the quiet windows.
double unsteadiness(const std::vector<std::vector<double>> &power, const std::vector<size_t> &quiet)
{
    std::vector<size_t> edges;
    for (size_t band = 0; band <= bandCount; ++band) {
        const double bin = lowestBandBin * std::pow(double(bins - 1) / lowestBandBin, double(band) / bandCount);
        const auto edge = size_t(std::lround(bin));
        if (edges.empty() || edges.back() != edge)
            edges.push_back(edge);
    }
    double sum = 0.0;
    for (size_t band = 0; band + 1 < edges.size(); ++band) {
        std::vector<double> levels;
        for (const size_t window : quiet) {
            double energy = 0.0;
            for (size_t bin = edges[band]; bin < edges[band + 1]; ++bin)
                energy += power[window][bin];
            // The floor keeps digital silence from reading as wildly unsteady.
            levels.push_back(dB(energy + 1e-3));
        }
        double mean = 0.0;
        for (const double level : levels)
            mean += level;
        mean /= double(levels.size());
        double variance = 0.0;
        for (const double level : levels)
            variance += (level - mean) * (level - mean);
        sum += std::sqrt(variance / double(levels.size()));
    }
    return edges.size() > 1 ? sum / double(edges.size() - 1) : 0.0;
}

} // namespace

NoiseReport reduceSteadyNoise(std::vector<qint16> &samples)
{
    NoiseReport report;
    if (samples.size() < windowSize)
        return report;

    // Half a window of zeros either side, so the first and last samples sit mid-window like all
    // others, and enough at the end for whole windows.
    const size_t count = samples.size();
    size_t padded = count + windowSize;
    padded += (hopSize - (padded - windowSize) % hopSize) % hopSize;
    std::vector<double> signal(padded, 0.0);
    for (size_t i = 0; i < count; ++i)
        signal[windowSize / 2 + i] = samples[i];
    const size_t windows = (padded - windowSize) / hopSize + 1;

    std::vector<double> window(windowSize);
    double windowSum = 0.0;
    for (size_t i = 0; i < windowSize; ++i) {
        window[i] = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * double(i) / windowSize);
        windowSum += window[i];
    }

    std::vector<std::vector<Complex>> spectra(windows, std::vector<Complex>(windowSize));
    std::vector<std::vector<double>> power(windows, std::vector<double>(bins));
    std::vector<double> energy(windows, 0.0);
    for (size_t w = 0; w < windows; ++w) {
        std::vector<Complex> &spectrum = spectra[w];
        for (size_t i = 0; i < windowSize; ++i)
            spectrum[i] = signal[w * hopSize + i] * window[i] / windowSum;
        fft(spectrum, false);
        for (size_t bin = 0; bin < bins; ++bin) {
            power[w][bin] = std::norm(spectrum[bin]);
            energy[w] += power[w][bin];
        }
    }

    std::vector<size_t> order(windows);
    for (size_t w = 0; w < windows; ++w)
        order[w] = w;
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) { return energy[a] < energy[b]; });
    const size_t quietCount = std::max(minQuietWindows, size_t(double(windows) * quietShare));
    const std::vector<size_t> quiet(order.begin(), order.begin() + qsizetype(std::min(quietCount, windows)));
    const double loud = energy[order[windows * 9 / 10]];
    const double soft = std::max(energy[order[windows / 10]], 1e-3);
    report.speechAboveNoiseDb = dB(loud / soft);
    report.noiseUnsteadinessDb = unsteadiness(power, quiet);
    if (report.speechAboveNoiseDb >= maxSpeechAboveNoiseDb || report.noiseUnsteadinessDb >= maxNoiseUnsteadinessDb)
        return report;

    std::vector<double> noise(bins, 0.0);
    for (const size_t w : quiet) {
        for (size_t bin = 0; bin < bins; ++bin)
            noise[bin] += power[w][bin] / double(quiet.size());
    }
    for (double &value : noise)
        value += 1e-10;

    // Each window's gain from its a priori speech-to-noise ratio: mostly the speech estimated in
    // the window before, a little of what this window shows above the noise.
    std::vector<double> output(padded, 0.0);
    std::vector<double> overlap(padded, 0.0);
    std::vector<double> speechBefore(bins, 0.0);
    for (size_t w = 0; w < windows; ++w) {
        std::vector<Complex> &spectrum = spectra[w];
        for (size_t bin = 0; bin < bins; ++bin) {
            const double posterior = power[w][bin] / noise[bin];
            const double prior = speechSmoothing * speechBefore[bin] / noise[bin]
                + (1.0 - speechSmoothing) * std::max(posterior - 1.0, 0.0);
            const double gain = std::max(prior / (1.0 + prior), minGain);
            speechBefore[bin] = gain * gain * power[w][bin];
            spectrum[bin] *= gain;
            if (bin > 0 && bin < windowSize / 2)
                spectrum[windowSize - bin] *= gain;
        }
        fft(spectrum, true);
        for (size_t i = 0; i < windowSize; ++i) {
            output[w * hopSize + i] += spectrum[i].real() * windowSum * window[i];
            overlap[w * hopSize + i] += window[i] * window[i];
        }
    }
    for (size_t i = 0; i < count; ++i) {
        const size_t at = windowSize / 2 + i;
        const double value = overlap[at] > 1e-10 ? output[at] / overlap[at] : 0.0;
        samples[i] = qint16(std::clamp(std::lround(value), -32768L, 32767L));
    }
    report.reduced = true;
    return report;
}

std::vector<double> frameLoudness(const qint16 *samples, size_t count)
{
    std::vector<double> loudness(count / loudnessFrame, 0.0);
    for (size_t frame = 0; frame < loudness.size(); ++frame) {
        double energy = 0;
        for (size_t i = frame * loudnessFrame; i < (frame + 1) * loudnessFrame; ++i)
            energy += double(samples[i]) * samples[i];
        loudness[frame] = std::sqrt(energy / loudnessFrame);
    }
    return loudness;
}

bool addRoomTone(std::vector<qint16> &samples)
{
    // The loud part of the speech and the quiet part between the words, as frame loudness
    // percentiles, so that a click or a breath sets neither.
    const std::vector<double> loudness = frameLoudness(samples.data(), samples.size());
    if (loudness.size() < 10)
        return false;
    std::vector<double> sorted = loudness;
    std::sort(sorted.begin(), sorted.end());
    const double loud = sorted[sorted.size() * 9 / 10];
    const double quiet = sorted[sorted.size() / 10];
    const double tone = loud * std::pow(10.0, -roomToneBelowSpeechDb / 20.0);
    // Below one step of the samples there is nothing the tone could be heard against.
    if (tone < 1.0 || quiet >= tone)
        return false;

    // Pink noise: white noise (a sum of uniform draws from a fixed generator) through three
    // leaky integrators whose sum falls by 3 dB an octave across the speech band.
    std::vector<double> noise(samples.size());
    quint32 state = 0x2545F491u;
    double slow = 0, middle = 0, fast = 0, energy = 0;
    for (double &value : noise) {
        double white = 0;
        for (int draw = 0; draw < 4; ++draw) {
            state = state * 1664525u + 1013904223u;
            white += double(state >> 8) / double(1u << 24) - 0.5;
        }
        slow = 0.99765 * slow + white * 0.0990460;
        middle = 0.96300 * middle + white * 0.2965164;
        fast = 0.57000 * fast + white * 1.0526913;
        value = slow + middle + fast + white * 0.1848;
        energy += value * value;
    }
    const double scale = tone / std::sqrt(energy / double(noise.size()));
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = qint16(std::clamp(std::lround(samples[i] + noise[i] * scale), -32768L, 32767L));
    return true;
}

} // namespace listen

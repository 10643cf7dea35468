// SPDX-License-Identifier: GPL-3.0-or-later
#include "listen/sphinxrecognizer.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include <QAudioSource>
#include <QCoreApplication>
#include <QMediaDevices>
#include <QMutexLocker>

#include "listen/commanddecoder.h"
#include "listen/logging.h"

using namespace Qt::StringLiterals;

namespace listen {

namespace {

constexpr int decoderRate = 16000;
// A held key is not a dictation: half a minute is far beyond any command, and the cap keeps a
// key stuck down from filling memory.
constexpr qsizetype maxRecordedBytes = qsizetype(30) * decoderRate * 2;

QAudioFormat decoderFormat()
{
    QAudioFormat format;
    format.setSampleRate(decoderRate);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    return format;
}

} // namespace

SphinxRecognizer::SphinxRecognizer(QObject *parent)
    : CommandRecognizer(parent)
    , m_decoder(std::make_unique<CommandDecoder>())
{
    m_workers.setMaxThreadCount(1);
}

SphinxRecognizer::SphinxRecognizer(const QAudioDevice &device, QObject *parent)
    : SphinxRecognizer(parent)
{
    m_useDefaultDevice = false;
    m_device = device;
}

SphinxRecognizer::~SphinxRecognizer()
{
    if (m_source)
        m_source->stop();
    // A decode still running posts its result to this object; it must end before the object does.
    m_workers.waitForDone();
}

QAudioDevice SphinxRecognizer::currentDevice() const
{
    return m_useDefaultDevice ? QMediaDevices::defaultAudioInput() : m_device;
}

void SphinxRecognizer::setCommands(const QList<character::VoiceCommand> &commands)
{
    const QMutexLocker lock(&m_decoderLock);
    m_decoder->setCommands(commands);
}

QString SphinxRecognizer::unavailableReason() const
{
    if (!m_decoder->isUsable())
        return m_decoder->errorString();
    if (currentDevice().isNull())
        return QCoreApplication::translate("listen", "There is no microphone.");
    return {};
}

bool SphinxRecognizer::isAvailable() const
{
    const QMutexLocker lock(&m_decoderLock);
    return unavailableReason().isEmpty();
}

void SphinxRecognizer::startListening()
{
    if (m_source)
        return;
    QString reason;
    {
        const QMutexLocker lock(&m_decoderLock);
        reason = unavailableReason();
    }
    if (!reason.isEmpty()) {
        qCWarning(lcListen).noquote() << "cannot listen:" << reason;
        emit unavailable(reason);
        return;
    }
    const QAudioDevice device = currentDevice();
    m_captureFormat = decoderFormat();
    if (!device.isFormatSupported(m_captureFormat))
        m_captureFormat = device.preferredFormat();
    m_recorded.clear();
    m_source = new QAudioSource(device, m_captureFormat, this);
    connect(m_source, &QAudioSource::stateChanged, this, &SphinxRecognizer::sourceStateChanged);
    m_input = m_source->start();
    if (!m_input) {
        fail(QCoreApplication::translate("listen", "The microphone cannot be opened."));
        return;
    }
    connect(m_input, &QIODevice::readyRead, this, &SphinxRecognizer::readAudio);
}

void SphinxRecognizer::readAudio()
{
    if (!m_input)
        return;
    const QByteArray chunk = m_input->readAll();
    if (m_recorded.size() < maxRecordedBytes)
        m_recorded.append(chunk.left(maxRecordedBytes - m_recorded.size()));
}

void SphinxRecognizer::sourceStateChanged()
{
    if (m_source && m_source->error() != QAudio::NoError && m_source->error() != QAudio::UnderrunError)
        fail(QCoreApplication::translate("listen", "The microphone stopped working."));
}

void SphinxRecognizer::fail(const QString &reason)
{
    if (m_source) {
        m_source->disconnect(this);
        m_source->stop();
        m_source->deleteLater();
    }
    m_source = nullptr;
    m_input = nullptr;
    m_recorded.clear();
    qCWarning(lcListen).noquote() << "listening stopped:" << reason;
    emit unavailable(reason);
}

void SphinxRecognizer::stopListening()
{
    if (!m_source)
        return;
    readAudio();
    m_source->disconnect(this);
    m_source->stop();
    m_source->deleteLater();
    m_source = nullptr;
    m_input = nullptr;

    const QByteArray pcm = toDecoderFormat(m_recorded, m_captureFormat);
    m_recorded.clear();
    // Decoding takes a good part of a second on a slow machine; the character keeps moving meanwhile.
    m_workers.start([this, pcm] {
        const character::UserInput input = decode(pcm);
        QMetaObject::invokeMethod(this, [this, input] { emit heard(input); }, Qt::QueuedConnection);
    });
}

character::UserInput SphinxRecognizer::decode(const QByteArray &pcm16k)
{
    const QMutexLocker lock(&m_decoderLock);
    return m_decoder->decode(pcm16k);
}

QByteArray SphinxRecognizer::toDecoderFormat(const QByteArray &audio, const QAudioFormat &format)
{
    if (!format.isValid() || format == decoderFormat())
        return audio;
    const int channels = std::max(1, format.channelCount());
    const int frameBytes = format.bytesPerFrame();
    if (frameBytes <= 0)
        return {};
    const qsizetype frames = audio.size() / frameBytes;
    // Mono at the capture rate first, as floats in -1..1.
    std::vector<float> mono(size_t(frames), 0.0f);
    for (qsizetype i = 0; i < frames; ++i) {
        const char *frame = audio.constData() + i * frameBytes;
        float sum = 0;
        for (int c = 0; c < channels; ++c)
            sum += format.normalizedSampleValue(frame + c * format.bytesPerSample());
        mono[size_t(i)] = sum / channels;
    }
    // Linear interpolation is enough for speech below 8 kHz; the recogniser's features stop there.
    const double step = double(format.sampleRate()) / decoderRate;
    const qsizetype outFrames = step > 0 ? qsizetype(double(frames) / step) : 0;
    QByteArray out(outFrames * 2, '\0');
    auto *samples = reinterpret_cast<qint16 *>(out.data());
    for (qsizetype i = 0; i < outFrames; ++i) {
        const double pos = i * step;
        const auto index = qsizetype(pos);
        const double frac = pos - double(index);
        const float a = mono[size_t(index)];
        const float b = index + 1 < frames ? mono[size_t(index + 1)] : a;
        const double value = std::clamp((a + (b - a) * frac) * 32767.0, -32768.0, 32767.0);
        samples[i] = qint16(std::lround(value));
    }
    return out;
}

} // namespace listen

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

#include <QAudioDevice>
#include <QAudioFormat>
#include <QByteArray>
#include <QMutex>
#include <QThreadPool>

#include "character/recognizer.h"

class QAudioSource;
class QIODevice;

namespace listen {

class CommandDecoder;

// Push-to-talk recognition from the microphone with pocketsphinx. Audio is captured only
// between startListening() and stopListening(); on release the utterance is decoded on a worker
// thread and heard() follows on the object's own thread.
class SphinxRecognizer final : public character::CommandRecognizer
{
    Q_OBJECT

public:
    // Listens on the system's default microphone, looked up afresh each time listening starts.
    explicit SphinxRecognizer(QObject *parent = nullptr);
    // Listens on the given device; a null device stands for a machine without a microphone.
    explicit SphinxRecognizer(const QAudioDevice &device, QObject *parent = nullptr);
    ~SphinxRecognizer() override;
    Q_DISABLE_COPY_MOVE(SphinxRecognizer)

    void setCommands(const QList<character::VoiceCommand> &commands) override;
    void startListening() override;
    void stopListening() override;
    bool isAvailable() const override;

    bool isListening() const { return m_source != nullptr; }
    // Decodes 16 kHz mono 16-bit audio at once on the calling thread, with the same decoder.
    character::UserInput decode(const QByteArray &pcm16k);
    // Any capture format to what the decoder takes: mono, 16 kHz, signed 16-bit.
    static QByteArray toDecoderFormat(const QByteArray &audio, const QAudioFormat &format);

private:
    void readAudio();
    void sourceStateChanged();
    void fail(const QString &reason);
    QAudioDevice currentDevice() const;
    QString unavailableReason() const;

    bool m_useDefaultDevice = true;
    QAudioDevice m_device;
    QAudioSource *m_source = nullptr;
    QIODevice *m_input = nullptr;
    QAudioFormat m_captureFormat;
    QByteArray m_recorded;

    // The decoder is used by the worker and by decode(); one at a time.
    mutable QMutex m_decoderLock;
    std::unique_ptr<CommandDecoder> m_decoder;
    QThreadPool m_workers;
};

} // namespace listen

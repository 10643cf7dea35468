// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <mutex>

#include <QByteArray>
#include <QIODevice>

namespace speech {

// Samples on their way from the synthesising thread to the sound device: one thread appends,
// the sink reads from the window's thread.
class PcmStream
{
public:
    void append(const char *data, qsizetype bytes);
    // No more samples will come.
    void close();
    // The listener has gone; the synthesis may stop.
    void cancel();
    bool isCancelled() const;

    // Set with the first samples; all samples of an utterance share it.
    void setSampleRate(int rate);
    int sampleRate() const;
    // Everything appended so far, read or not, and how long it plays.
    qsizetype bytesWritten() const;
    qint64 durationMs() const;

    qsizetype read(char *data, qsizetype maxBytes);
    qsizetype bytesAvailable() const;
    // Everything appended has been read and nothing more will come.
    bool isDrained() const;

private:
    mutable std::mutex m_mutex;
    QByteArray m_data;
    qsizetype m_readPos = 0;
    int m_sampleRate = 0;
    bool m_closed = false;
    bool m_cancelled = false;
};

// The device QAudioSink pulls from. While the synthesis is ahead of the sink it always has data;
// should it fall behind, a read gives nothing and the sink waits.
class PcmStreamDevice final : public QIODevice
{
    Q_OBJECT

public:
    explicit PcmStreamDevice(std::shared_ptr<PcmStream> stream, QObject *parent = nullptr);

    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override;
    // Tells the sink that samples have come. A sink that found nothing to read waits for this
    // before it reads again.
    void announceSamples();

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *data, qint64 maxSize) override;

private:
    std::shared_ptr<PcmStream> m_stream;
};

} // namespace speech

// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/pcmstream.h"

#include <algorithm>

namespace speech {

void PcmStream::append(const char *data, qsizetype bytes)
{
    std::lock_guard lock(m_mutex);
    if (!m_closed)
        m_data.append(data, bytes);
}

void PcmStream::close()
{
    std::lock_guard lock(m_mutex);
    m_closed = true;
}

void PcmStream::cancel()
{
    std::lock_guard lock(m_mutex);
    m_cancelled = true;
    m_closed = true;
}

bool PcmStream::isCancelled() const
{
    std::lock_guard lock(m_mutex);
    return m_cancelled;
}

void PcmStream::setSampleRate(int rate)
{
    std::lock_guard lock(m_mutex);
    m_sampleRate = rate;
}

int PcmStream::sampleRate() const
{
    std::lock_guard lock(m_mutex);
    return m_sampleRate;
}

qsizetype PcmStream::bytesWritten() const
{
    std::lock_guard lock(m_mutex);
    return m_data.size();
}

qint64 PcmStream::durationMs() const
{
    std::lock_guard lock(m_mutex);
    return m_sampleRate > 0 ? qint64(m_data.size() / 2) * 1000 / m_sampleRate : 0;
}

qsizetype PcmStream::read(char *data, qsizetype maxBytes)
{
    std::lock_guard lock(m_mutex);
    // Whole samples only, so a short chunk never splits one.
    const qsizetype n = std::min(maxBytes, m_data.size() - m_readPos) & ~qsizetype(1);
    std::copy_n(m_data.constData() + m_readPos, n, data);
    m_readPos += n;
    return n;
}

qsizetype PcmStream::bytesAvailable() const
{
    std::lock_guard lock(m_mutex);
    return m_data.size() - m_readPos;
}

bool PcmStream::isDrained() const
{
    std::lock_guard lock(m_mutex);
    return m_closed && m_readPos >= m_data.size() - 1;
}

PcmStreamDevice::PcmStreamDevice(std::shared_ptr<PcmStream> stream, QObject *parent)
    : QIODevice(parent)
    , m_stream(std::move(stream))
{
}

qint64 PcmStreamDevice::bytesAvailable() const
{
    return m_stream->bytesAvailable() + QIODevice::bytesAvailable();
}

void PcmStreamDevice::announceSamples()
{
    if (m_stream->bytesAvailable() > 0)
        emit readyRead();
}

qint64 PcmStreamDevice::readData(char *data, qint64 maxSize)
{
    return m_stream->read(data, maxSize);
}

qint64 PcmStreamDevice::writeData(const char *, qint64)
{
    return -1;
}

} // namespace speech

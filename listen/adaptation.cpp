// SPDX-License-Identifier: GPL-3.0-or-later
#include "listen/adaptation.h"

#include <QtEndian>

#include <cmath>
#include <cstring>
#include <limits>
#include <optional>

namespace listen {

namespace {

// The byte order mark after the header, as written on a little-endian machine.
constexpr quint32 byteOrderMark = 0x11223344;
constexpr qsizetype maxHeaderBytes = 4096;
// Bounds well beyond any model, so that a corrupt size cannot overflow the arithmetic below.
constexpr qint32 maxDimension = 1 << 20;
constexpr qint32 maxStreams = 64;

struct GaussianFile
{
    qsizetype dimensionsAt = 0; // just after the byte order mark: where the checksum starts
    qsizetype valuesAt = 0;     // where the values start; everything before is header and dimensions
    qsizetype valueCount = 0;
    bool checksummed = false;
};

std::optional<quint32> wordAt(const QByteArray &file, qsizetype at)
{
    if (at < 0 || at + 4 > file.size())
        return std::nullopt;
    return qFromLittleEndian<quint32>(file.constData() + at);
}

// The layout of a Gaussian parameter file: "s3" header lines up to "endhdr", the byte order mark,
// the codebook, stream and density counts, each stream's length, the value count, the values, and
// a checksum when the header says "chksum0 yes".
std::optional<GaussianFile> parse(const QByteArray &file)
{
    static const QByteArray endOfHeader = "endhdr\n";
    if (!file.startsWith("s3\n"))
        return std::nullopt;
    const qsizetype headerEnd = file.indexOf(endOfHeader);
    if (headerEnd < 0 || headerEnd > maxHeaderBytes)
        return std::nullopt;
    GaussianFile layout;
    layout.checksummed = file.left(headerEnd).contains("\nchksum0 yes\n");
    qsizetype at = headerEnd + endOfHeader.size();
    const auto next = [&]() -> std::optional<qint32> {
        const std::optional<quint32> word = wordAt(file, at);
        at += 4;
        return word ? std::optional<qint32>(qint32(*word)) : std::nullopt;
    };
    const std::optional<qint32> mark = next();
    layout.dimensionsAt = at;
    const std::optional<qint32> codebooks = next(), streams = next(), densities = next();
    if (!mark || quint32(*mark) != byteOrderMark || !codebooks || !streams || !densities || *codebooks <= 0
        || *codebooks > maxDimension || *streams <= 0 || *streams > maxStreams || *densities <= 0
        || *densities > maxDimension)
        return std::nullopt;
    qint64 streamLengths = 0;
    for (qint32 stream = 0; stream < *streams; ++stream) {
        const std::optional<qint32> length = next();
        if (!length || *length <= 0 || *length > maxDimension)
            return std::nullopt;
        streamLengths += *length;
    }
    // Each factor is bounded, and the first product is checked before the last one is taken, so
    // no product overflows.
    const qint64 gaussians = qint64(*codebooks) * *densities;
    const std::optional<qint32> count = next();
    if (!count || gaussians > std::numeric_limits<qint32>::max() || qint64(*count) != gaussians * streamLengths)
        return std::nullopt;
    layout.valuesAt = at;
    layout.valueCount = *count;
    if (file.size() != at + layout.valueCount * 4 + (layout.checksummed ? 4 : 0))
        return std::nullopt;
    return layout;
}

// sphinxbase's running checksum over every 32-bit word after the byte order mark.
quint32 checksum(const QByteArray &file, qsizetype from, qsizetype to)
{
    quint32 sum = 0;
    for (qsizetype at = from; at < to; at += 4)
        sum = ((sum << 20) | (sum >> 12)) + qFromLittleEndian<quint32>(file.constData() + at);
    return sum;
}

} // namespace

bool isGaussianFileLike(const QByteArray &candidate, const QByteArray &reference)
{
    const std::optional<GaussianFile> layout = parse(candidate);
    const std::optional<GaussianFile> expected = parse(reference);
    if (!layout || !expected || layout->valuesAt != expected->valuesAt
        || candidate.left(layout->valuesAt) != reference.left(expected->valuesAt))
        return false;
    const qsizetype valuesEnd = layout->valuesAt + layout->valueCount * 4;
    for (qsizetype at = layout->valuesAt; at < valuesEnd; at += 4) {
        const quint32 bits = qFromLittleEndian<quint32>(candidate.constData() + at);
        float value = 0;
        std::memcpy(&value, &bits, sizeof value);
        if (!std::isfinite(value))
            return false;
    }
    return !layout->checksummed
        || checksum(candidate, layout->dimensionsAt, valuesEnd) == *wordAt(candidate, valuesEnd);
}

} // namespace listen

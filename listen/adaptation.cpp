// SPDX-License-Identifier: GPL-3.0-or-later
#include "listen/adaptation.h"

#include <cmath>

namespace listen {

namespace {

// The decoder applies the first regression class of a transform to every Gaussian; a transform of
// several classes would be applied wrongly, not partly.
constexpr int supportedClasses = 1;
// What the model's front end gives when feat.params does not say otherwise.
constexpr int defaultCepstra = 13;
constexpr int differencesPerCepstrum = 3; // the value, its first and its second difference

QByteArray parameterValue(const QByteArray &parameters, const QByteArray &name)
{
    const QList<QByteArray> words = parameters.simplified().split(' ');
    const qsizetype at = words.indexOf(name);
    return at >= 0 && at + 1 < words.size() ? words.at(at + 1) : QByteArray();
}

} // namespace

QList<int> modelStreamLengths(const QByteArray &featureParameters)
{
    const QByteArray subvectors = parameterValue(featureParameters, "-svspec");
    if (!subvectors.isEmpty()) {
        QList<int> lengths;
        for (const QByteArray &subvector : subvectors.split('/')) {
            // "0-12" or "0-12,26-38": the length is the count of dimensions named.
            int length = 0;
            for (const QByteArray &range : subvector.split(',')) {
                const QList<QByteArray> ends = range.split('-');
                bool firstOk = false, lastOk = ends.size() == 1;
                const int first = ends.constFirst().toInt(&firstOk);
                const int last = ends.size() == 2 ? ends.at(1).toInt(&lastOk) : first;
                if (!firstOk || !lastOk || ends.size() > 2 || first < 0 || last < first)
                    return {};
                length += last - first + 1;
            }
            lengths.append(length);
        }
        return lengths;
    }
    const QByteArray feature = parameterValue(featureParameters, "-feat");
    if (!feature.isEmpty() && feature != "1s_c_d_dd")
        return {};
    const QByteArray cepstra = parameterValue(featureParameters, "-ceplen");
    bool ok = cepstra.isEmpty();
    const int count = ok ? defaultCepstra : cepstra.toInt(&ok);
    if (!ok || count <= 0)
        return {};
    return {count * differencesPerCepstrum};
}

bool isAdaptationFor(const QByteArray &text, const QList<int> &streamLengths)
{
    const QList<QByteArray> words = text.simplified().split(' ');
    qsizetype next = 0;
    const auto integer = [&](int &value) {
        bool ok = false;
        value = next < words.size() ? words.at(next++).toInt(&ok) : 0;
        return ok;
    };
    const auto numbers = [&](qsizetype count, bool positive) {
        for (qsizetype i = 0; i < count; ++i) {
            bool ok = false;
            const double value = next < words.size() ? words.at(next++).toDouble(&ok) : 0.0;
            if (!ok || !std::isfinite(value) || (positive && value <= 0))
                return false;
        }
        return true;
    };
    int classes = 0, streams = 0;
    if (streamLengths.isEmpty() || !integer(classes) || classes != supportedClasses || !integer(streams)
        || streams != streamLengths.size())
        return false;
    for (const int expected : streamLengths) {
        int length = 0;
        if (!integer(length) || length != expected || !numbers(qsizetype(length) * length, false)
            || !numbers(length, false) || !numbers(length, true))
            return false;
    }
    return next == words.size();
}

} // namespace listen

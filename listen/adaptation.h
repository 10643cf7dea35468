// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>

namespace listen {

// The lengths of the feature streams that a model's Gaussians cover, from its feat.params: the
// -svspec subvectors, or one stream of cepstra with their first and second differences. Empty
// when the file names a feature type whose layout is not known here.
QList<int> modelStreamLengths(const QByteArray &featureParameters);

// Whether the text is a well-formed MLLR transform (sphinxtrain's mllr_solve output) for streams
// of those lengths that the decoder can apply: one regression class (the decoder applies no
// other), the stream count, then for each stream its length, the rotation, the bias and positive
// variance scales, all finite numbers.
bool isAdaptationFor(const QByteArray &text, const QList<int> &streamLengths);

} // namespace listen

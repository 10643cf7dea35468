// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

namespace listen {

// Whether a file of Gaussian parameters in sphinxtrain's binary format (means or variances, as
// map_adapt writes them) can stand in for the model's own file (reference): the same header and
// the same dimensions, the declared number of values and nothing more, every value finite, and
// the checksum right when the header promises one. The decoder ends the whole program on a file
// whose sizes or checksum it cannot match, so nothing else may reach it.
bool isGaussianFileLike(const QByteArray &candidate, const QByteArray &reference);

} // namespace listen

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLoggingCategory>

namespace listen {

// Why the recogniser cannot hear: a missing model or microphone, a refused grammar. Warnings show
// by default; QT_LOGGING_RULES="zumbrel.listen.debug=true" shows more.
Q_DECLARE_LOGGING_CATEGORY(lcListen)

} // namespace listen

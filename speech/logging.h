// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLoggingCategory>

namespace speech {

// Where the voice says why it fell silent or fell back: QT_LOGGING_RULES="zumbrel.speech.debug=true"
// shows everything, warnings show by default.
Q_DECLARE_LOGGING_CATEGORY(lcSpeech)

} // namespace speech

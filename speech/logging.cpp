// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/logging.h"

namespace speech {

Q_LOGGING_CATEGORY(lcSpeech, "zumbrel.speech", QtWarningMsg)

} // namespace speech

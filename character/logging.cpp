// SPDX-License-Identifier: GPL-3.0-or-later
#include "character/logging.h"

namespace character {
Q_LOGGING_CATEGORY(lcCharacter, "zumbrel.character", QtWarningMsg)
} // namespace character

// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/logging.h"

namespace platform {
Q_LOGGING_CATEGORY(lcPlatform, "zumbrel.platform", QtWarningMsg)
} // namespace platform

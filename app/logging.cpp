// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/logging.h"

namespace app {
Q_LOGGING_CATEGORY(lcApp, "zumbrel.app", QtWarningMsg)
} // namespace app

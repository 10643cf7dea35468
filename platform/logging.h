// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLoggingCategory>

namespace platform {
// zumbrel.platform: the browser, the signals that end the program, the data folders.
Q_DECLARE_LOGGING_CATEGORY(lcPlatform)
} // namespace platform

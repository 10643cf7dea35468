// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLoggingCategory>

namespace app {
// zumbrel.app: start-up, the character that cannot be loaded, the fatal error report.
Q_DECLARE_LOGGING_CATEGORY(lcApp)
} // namespace app

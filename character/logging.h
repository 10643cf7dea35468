// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLoggingCategory>

namespace character {
// zumbrel.character: loading, the request queue and its watchdogs, and the desktop windows.
Q_DECLARE_LOGGING_CATEGORY(lcCharacter)
} // namespace character

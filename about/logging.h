// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLoggingCategory>

namespace about {
// zumbrel.about: the system information tool that cannot be found or started.
Q_DECLARE_LOGGING_CATEGORY(lcAbout)
} // namespace about

// SPDX-License-Identifier: GPL-3.0-or-later
#include "about/logging.h"

namespace about {
Q_LOGGING_CATEGORY(lcAbout, "zumbrel.about", QtWarningMsg)
} // namespace about

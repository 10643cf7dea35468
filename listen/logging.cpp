// SPDX-License-Identifier: GPL-3.0-or-later
#include "listen/logging.h"

namespace listen {

Q_LOGGING_CATEGORY(lcListen, "zumbrel.listen", QtWarningMsg)

} // namespace listen

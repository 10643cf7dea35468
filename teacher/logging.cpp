// SPDX-License-Identifier: GPL-3.0-or-later
#include "teacher/logging.h"

namespace teacher {
Q_LOGGING_CATEGORY(lcTeacher, "zumbrel.teacher", QtWarningMsg)
} // namespace teacher

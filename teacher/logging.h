// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLoggingCategory>

namespace teacher {
// zumbrel.teacher: the lesson's calls on the character that fail or time out.
Q_DECLARE_LOGGING_CATEGORY(lcTeacher)
} // namespace teacher

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The drill's logic, free of widgets: the four operations, the question rules with their range
// limits, the counter and number rules of the score labels, the reseedable random source, and the
// teacher's feedback texts. The main window keeps the quiz state in its labels and asks this
// library what to write there.

#include <array>
#include <optional>

#include <QChar>
#include <QString>

namespace quiz {

enum class Operation { Addition, Subtraction, Multiplication, Division };

inline constexpr std::array<Operation, 4> allOperations{Operation::Addition, Operation::Subtraction,
                                                         Operation::Multiplication, Operation::Division};

// The key is the plain keyboard character the window stores; the sign is the typographic
// character the child sees (en dash, multiplication sign, division sign).
QString operationKey(Operation operation);
QChar operationSign(Operation operation);
// Keys are compared as whole texts, exactly.
std::optional<Operation> operationFromKey(const QString &key);

} // namespace quiz

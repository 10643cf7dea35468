// SPDX-License-Identifier: GPL-3.0-or-later
#include "quiz/operation.h"

namespace quiz {

QString operationKey(Operation operation)
{
    switch (operation) {
    case Operation::Addition: return QStringLiteral("+");
    case Operation::Subtraction: return QStringLiteral("-");
    case Operation::Multiplication: return QStringLiteral("*");
    case Operation::Division: return QStringLiteral("/");
    }
    Q_UNREACHABLE();
}

QChar operationSign(Operation operation)
{
    switch (operation) {
    case Operation::Addition: return QChar(0x002B);
    case Operation::Subtraction: return QChar(0x2013);
    case Operation::Multiplication: return QChar(0x00D7);
    case Operation::Division: return QChar(0x00F7);
    }
    Q_UNREACHABLE();
}

std::optional<Operation> operationFromKey(const QString &key)
{
    for (Operation operation : allOperations) {
        if (operationKey(operation) == key)
            return operation;
    }
    return std::nullopt;
}

} // namespace quiz

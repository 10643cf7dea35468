// SPDX-License-Identifier: GPL-3.0-or-later
#include "quiz/question.h"

#include <cmath>

#include "quiz/randomsource.h"

namespace quiz {

RangeLimits standardRangeLimits()
{
    return {{
        {10, 20, 60, 100}, // addition
        {10, 20, 40, 100}, // subtraction
        {2, 3, 6, 9},      // multiplication
        {3, 5, 7, 10},     // division
    }};
}

qint16 rangeLimit(const RangeLimits &limits, Operation operation, qint16 level)
{
    return limits.at(static_cast<std::size_t>(operation)).at(static_cast<std::size_t>(level));
}

namespace {
int floorToInt(double value)
{
    return static_cast<int>(std::floor(value));
}

// floor(n * r + 1), taken as floor(n * r) + 1: the same number, but adding 1 in floating point
// can round a draw just below 1 up to n + 1 (4 * (1 - 2^-53) + 1 rounds to 5), while the product
// alone always stays below n.
int drawFromOne(int n, double r)
{
    return floorToInt(n * r) + 1;
}
} // namespace

Question questionFromDraws(Operation operation, int limit, double r1, double r2)
{
    const int t = limit;
    Question q;
    switch (operation) {
    case Operation::Addition:
        q.first = drawFromOne(t + 1, r1);
        // With first = T + 1 the factor is -1: the second operand is 0, or 1 when r2 is exactly 0.
        q.second = drawFromOne(t - q.first, r2);
        q.result = q.first + q.second;
        break;
    case Operation::Subtraction:
        q.first = drawFromOne(t + 1, r1);
        q.second = floorToInt((q.first + 1) * r2);
        q.result = q.first - q.second;
        break;
    case Operation::Multiplication:
        q.first = drawFromOne(t + 1, r1);
        q.second = drawFromOne(t + 1, r2);
        q.result = q.first * q.second;
        break;
    case Operation::Division: {
        const int divisor = drawFromOne(t + 1, r1);
        const int quotient = drawFromOne(t + 1, r2);
        q.first = quotient * divisor;
        q.second = divisor;
        q.result = quotient;
        break;
    }
    }
    return q;
}

Question drawQuestion(Operation operation, int limit, RandomSource &random)
{
    const double r1 = random.next();
    const double r2 = random.next();
    return questionFromDraws(operation, limit, r1, r2);
}

} // namespace quiz

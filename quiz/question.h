// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>

#include <QtGlobal>

#include "quiz/operation.h"

namespace quiz {

class RandomSource;

// One limit per operation (rows: addition, subtraction, multiplication, division) and level
// (columns: Level 0 to 3). A limit is not the largest operand: operands run from 1 to limit + 1.
using RangeLimits = std::array<std::array<qint16, 4>, 4>;
RangeLimits standardRangeLimits();
qint16 rangeLimit(const RangeLimits &limits, Operation operation, qint16 level);

struct Question
{
    int first = 0;
    int second = 0;
    int result = 0;
    friend bool operator==(const Question &, const Question &) = default;
};

// The rule of an operation for the two uniform draws r1 and r2 in [0, 1). There is no redraw and
// no swap: every question costs exactly two numbers, and the rules keep every answer whole and
// never negative.
Question questionFromDraws(Operation operation, int limit, double r1, double r2);

// Draws r1 then r2 from the source and applies the rule.
Question drawQuestion(Operation operation, int limit, RandomSource &random);

} // namespace quiz

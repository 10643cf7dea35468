// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

class QTime;

namespace quiz {

// A source of uniform numbers in [0, 1) that is reseeded from the time of day before every
// question and every reaction to an answer.
class RandomSource
{
public:
    virtual ~RandomSource() = default;
    virtual double next() = 0;
    virtual void reseed(double secondsSinceMidnight) = 0;
};

// The program's generator. A reseed folds the time into the state the generator already has,
// so two reseeds with the same time (two quick skips within one clock tick) still give fresh
// numbers, and no time ever brings back a sequence given before.
class ClockSeededRandom final : public RandomSource
{
public:
    ClockSeededRandom();
    explicit ClockSeededRandom(std::uint64_t initialState);

    double next() override;
    void reseed(double secondsSinceMidnight) override;

private:
    std::uint64_t m_state;
    std::uint64_t m_reseeds = 0;
};

// Seconds since midnight with their fraction, as the generator is reseeded with.
double secondsSinceMidnight(const QTime &time);

} // namespace quiz

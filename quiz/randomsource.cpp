// SPDX-License-Identifier: GPL-3.0-or-later
#include "quiz/randomsource.h"

#include <bit>
#include <random>

#include <QTime>

namespace quiz {

namespace {
// SplitMix64: a full-period 64-bit generator whose output function also serves as the mixer
// that folds a reseed into the state.
std::uint64_t mix(std::uint64_t z)
{
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
}
constexpr std::uint64_t golden = 0x9e3779b97f4a7c15ULL;
} // namespace

ClockSeededRandom::ClockSeededRandom()
    : m_state((std::uint64_t(std::random_device{}()) << 32) ^ std::random_device{}())
{
}

ClockSeededRandom::ClockSeededRandom(std::uint64_t initialState)
    : m_state(initialState)
{
}

double ClockSeededRandom::next()
{
    m_state += golden;
    return double(mix(m_state) >> 11) * 0x1.0p-53;
}

void ClockSeededRandom::reseed(double secondsSinceMidnight)
{
    ++m_reseeds;
    m_state = mix(m_state ^ mix(std::bit_cast<std::uint64_t>(secondsSinceMidnight) + m_reseeds * golden));
}

double secondsSinceMidnight(const QTime &time)
{
    return time.msecsSinceStartOfDay() / 1000.0;
}

} // namespace quiz

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

#include <QObject>
#include <QTimer>

#include "character/characterfile.h"

namespace character {

// Uniform numbers in [0, 1); passed in so that tests can choose the branches taken.
using RandomSource = std::function<double()>;

// Plays one animation frame by frame. Only one single-shot timer runs, and only while a frame
// is showing; between animations nothing ticks.
class AnimationPlayer final : public QObject
{
    Q_OBJECT

public:
    explicit AnimationPlayer(RandomSource random, QObject *parent = nullptr);
    Q_DISABLE_COPY_MOVE(AnimationPlayer)

    // A played animation is brought to its end after this long, so a looping one ends too.
    static constexpr int defaultMaximumPlayMs = 15000;
    void setMaximumPlayMs(int ms) { m_maximumPlayMs = ms; }

    void start(const Animation *animation);
    // Takes the current keyframe's exit path; without one, stops at once. Returns whether the
    // animation still plays (finished() follows later) or has ended now (finished() was emitted).
    bool endEarly();
    // Stops at once without reporting anything.
    void stop();

    bool isPlaying() const { return m_animation != nullptr; }
    const Animation *animation() const { return m_animation; }
    int frameIndex() const { return m_frame; }

signals:
    void frameChanged(const character::Frame &frame);
    void soundStarted(const QString &path);
    void finished();

private:
    void showFrame(int index);
    void advance();
    int nextFrame();

    RandomSource m_random;
    QTimer m_timer;
    const Animation *m_animation = nullptr;
    int m_frame = 0;
    int m_elapsed = 0;
    bool m_exiting = false;
    int m_maximumPlayMs = defaultMaximumPlayMs;
};

} // namespace character

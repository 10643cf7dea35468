// SPDX-License-Identifier: GPL-3.0-or-later
#include "character/animationplayer.h"

namespace character {

AnimationPlayer::AnimationPlayer(RandomSource random, QObject *parent)
    : QObject(parent)
    , m_random(std::move(random))
{
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &AnimationPlayer::advance);
}

void AnimationPlayer::start(const Animation *animation)
{
    stop();
    if (!animation || animation->frames.isEmpty()) {
        emit finished();
        return;
    }
    m_animation = animation;
    m_elapsed = 0;
    m_exiting = false;
    showFrame(0);
}

void AnimationPlayer::showFrame(int index)
{
    m_frame = index;
    const Frame &frame = m_animation->frames.at(index);
    m_timer.start(frame.duration);
    if (!frame.sound.isEmpty())
        emit soundStarted(frame.sound);
    emit frameChanged(frame);
}

int AnimationPlayer::nextFrame()
{
    const Frame &frame = m_animation->frames.at(m_frame);
    if (!m_exiting && m_elapsed >= m_maximumPlayMs) {
        m_exiting = true;
        if (frame.exitFrame >= 0 && frame.exitFrame != m_frame)
            return frame.exitFrame;
        return -1;
    }
    if (!m_exiting && !frame.branches.isEmpty()) {
        const double r = m_random() * 100.0;
        int total = 0;
        for (const Branch &branch : frame.branches) {
            total += branch.probability;
            if (r < total)
                return branch.toFrame;
        }
    }
    return m_frame + 1 < m_animation->frames.size() ? m_frame + 1 : -1;
}

void AnimationPlayer::advance()
{
    if (!m_animation)
        return;
    m_elapsed += m_animation->frames.at(m_frame).duration;
    const int next = nextFrame();
    if (next < 0) {
        m_animation = nullptr;
        emit finished();
        return;
    }
    showFrame(next);
}

bool AnimationPlayer::endEarly()
{
    if (!m_animation)
        return false;
    if (m_exiting)
        return true;
    m_exiting = true;
    const int exit = m_animation->frames.at(m_frame).exitFrame;
    if (exit >= 0) {
        showFrame(exit);
        return true;
    }
    stop();
    emit finished();
    return false;
}

void AnimationPlayer::stop()
{
    m_timer.stop();
    m_animation = nullptr;
    m_exiting = false;
}

} // namespace character

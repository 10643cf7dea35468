// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QObject>

#include "character/soundplayer.h"

class QSoundEffect;

namespace speech {

// A character's animation sounds through Qt Multimedia, each file loaded once.
class SoundEffects final : public character::SoundPlayer
{
public:
    SoundEffects();
    ~SoundEffects() override;

    void play(const QString &path) override;
    void stopAll() override;

private:
    QObject m_owner; // parent of the effects
    QHash<QString, QSoundEffect *> m_effects;
};

} // namespace speech

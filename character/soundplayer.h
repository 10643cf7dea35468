// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <memory>

#include <QString>

namespace character {

// Plays the short sounds that a character's animations name. The host supplies one, so that the
// component itself needs no sound library.
class SoundPlayer
{
public:
    SoundPlayer() = default;
    virtual ~SoundPlayer() = default;
    Q_DISABLE_COPY_MOVE(SoundPlayer)

    // A file inside the character's folder, checked by the loader.
    virtual void play(const QString &path) = 0;
    virtual void stopAll() = 0;
};

using SoundPlayerFactory = std::function<std::unique_ptr<SoundPlayer>()>;

} // namespace character

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the engines module offers the program: the voice, the recogniser of spoken commands and
// the player of animation sounds. Their libraries (speech synthesis, speech recognition, the
// sound system) are large; kept in a module that the program loads when it first needs one of
// them, they do not hold up the program's first frame.

#include <memory>

#include <QString>

#include "character/recognizer.h"
#include "character/soundplayer.h"
#include "character/speechengine.h"

namespace engines {

class Engines
{
public:
    Engines() = default;
    virtual ~Engines() = default;
    Q_DISABLE_COPY_MOVE(Engines)

    // The voice for the language of the interface (empty: English).
    virtual std::unique_ptr<character::SpeechEngine> createSpeechEngine(const QString &language) = 0;
    // Listens on the default microphone.
    virtual std::unique_ptr<character::CommandRecognizer> createRecognizer() = 0;
    virtual std::unique_ptr<character::SoundPlayer> createSoundPlayer() = 0;
};

// The module's one exported function returns its Engines; the version in the name keeps a
// program from taking a module built for another form of this interface.
using EntryPoint = Engines *(*)();
inline constexpr char entryPointName[] = "zumbrel_engines_v1";
inline constexpr char moduleBaseName[] = "zumbrel_engines";

} // namespace engines

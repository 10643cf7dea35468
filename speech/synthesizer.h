// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

#include "speech/utterance.h"

namespace speech {

// Turns text into an utterance in memory. Implementations must allow synthesize() from any
// thread; FliteSpeech calls it off the window's thread.
class Synthesizer
{
public:
    Synthesizer() = default;
    virtual ~Synthesizer() = default;
    Synthesizer(const Synthesizer &) = delete;
    Synthesizer &operator=(const Synthesizer &) = delete;

    // Returns nothing when the text could not be synthesised.
    virtual std::optional<Utterance> synthesize(const QString &text, const character::VoiceSettings &voice) = 0;
};

} // namespace speech

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

#include "speech/utterance.h"

namespace speech {

// Receives an utterance while it is being synthesised, so that playing can start with the first
// samples instead of after the last. Called on the synthesising thread.
class UtteranceStream
{
public:
    UtteranceStream() = default;
    virtual ~UtteranceStream() = default;
    UtteranceStream(const UtteranceStream &) = delete;
    UtteranceStream &operator=(const UtteranceStream &) = delete;

    // The timings are known; `timeline` has everything but the samples. Returning false stops
    // the synthesis.
    virtual bool begin(const Utterance &timeline) = 0;
    // The next samples (signed 16-bit mono). Returning false stops the synthesis.
    virtual bool append(const char *pcm, qsizetype bytes) = 0;
};

// Turns text into an utterance in memory. Implementations must allow synthesize() from any
// thread; FliteSpeech calls it off the window's thread.
class Synthesizer
{
public:
    Synthesizer() = default;
    virtual ~Synthesizer() = default;
    Synthesizer(const Synthesizer &) = delete;
    Synthesizer &operator=(const Synthesizer &) = delete;

    // Returns nothing when the text could not be synthesised. With a stream, an implementation
    // may also hand the utterance over piece by piece as it goes; it need not.
    virtual std::optional<Utterance> synthesize(const QString &text, const character::VoiceSettings &voice,
                                                UtteranceStream *stream = nullptr) = 0;
};

} // namespace speech

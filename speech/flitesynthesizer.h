// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

#include "speech/synthesizer.h"

namespace speech {

// Synthesis with flite, linked in-process. Voices are registered once per process and shared by
// every instance; flite keeps global state, so all synthesis in the process is serialised.
class FliteSynthesizer final : public Synthesizer
{
public:
    FliteSynthesizer() = default;

    // The voice used for an empty or unknown voice name.
    static QString defaultVoice();
    static QStringList voices();

    // Streams: the timings come with the first samples, the rest of the samples as they are made.
    std::optional<Utterance> synthesize(const QString &text, const character::VoiceSettings &voice,
                                        UtteranceStream *stream = nullptr) override;
};

// Which mouth shape the character shows for a phone of flite's US English phone set.
character::MouthShape mouthShapeForPhone(const QString &phone);

} // namespace speech

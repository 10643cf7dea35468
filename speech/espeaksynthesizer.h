// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

#include <QString>

#include "speech/synthesizer.h"

namespace character {
class SpeechEngine;
}

namespace speech {

// Synthesis with eSpeak NG, linked in-process, for the languages flite has no voice for. eSpeak
// reports where each word begins in the text and each phoneme as it is made; those events time
// the balloon's words and the mouth shapes. eSpeak keeps global state: all synthesis in the
// process is serialised, and the language is set anew for every utterance.
class EspeakSynthesizer final : public Synthesizer
{
public:
    // `language` is an eSpeak voice name such as "de", "fr" or "es".
    explicit EspeakSynthesizer(QString language);

    QString language() const { return m_language; }
    // Whether eSpeak starts and has a voice for `language`; warns once when it does not.
    static bool hasVoice(const QString &language);

    // The character's voice name belongs to flite and is not used; its rate and pitch are.
    std::optional<Utterance> synthesize(const QString &text, const character::VoiceSettings &voice,
                                        UtteranceStream *stream = nullptr) override;

private:
    QString m_language;
};

// Which mouth shape the character shows for a phoneme named in eSpeak's phoneme mnemonics.
character::MouthShape mouthShapeForEspeakPhoneme(const QString &phoneme);

enum class VoiceEngine { Flite, Espeak };

// Which engine speaks `language` ("de", "de_AT", "en"): flite for English, eSpeak NG for any other
// language it has a voice for. A language eSpeak cannot speak falls back to the English voice,
// with a warning.
VoiceEngine voiceEngineFor(const QString &language);

// The character's voice for the language of the interface, as voiceEngineFor() decides.
std::unique_ptr<character::SpeechEngine> createSpeechEngineFor(const QString &language);

} // namespace speech

// SPDX-License-Identifier: GPL-3.0-or-later
#include "engines/engines.h"

#include "listen/sphinxrecognizer.h"
#include "speech/espeaksynthesizer.h"
#include "speech/soundeffects.h"

namespace {

class ModuleEngines final : public engines::Engines
{
public:
    std::unique_ptr<character::SpeechEngine> createSpeechEngine(const QString &language) override
    {
        return speech::createSpeechEngineFor(language);
    }

    std::unique_ptr<character::CommandRecognizer> createRecognizer() override
    {
        return std::make_unique<listen::SphinxRecognizer>();
    }

    std::unique_ptr<character::SoundPlayer> createSoundPlayer() override
    {
        return std::make_unique<speech::SoundEffects>();
    }
};

} // namespace

extern "C" Q_DECL_EXPORT engines::Engines *zumbrel_engines_v1()
{
    static ModuleEngines instance;
    return &instance;
}

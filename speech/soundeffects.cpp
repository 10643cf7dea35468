// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/soundeffects.h"

#include <QSoundEffect>
#include <QUrl>

#include "speech/logging.h"

namespace speech {

SoundEffects::SoundEffects() = default;

SoundEffects::~SoundEffects()
{
    stopAll();
}

void SoundEffects::play(const QString &path)
{
    QSoundEffect *&effect = m_effects[path];
    if (!effect) {
        effect = new QSoundEffect(&m_owner);
        effect->setSource(QUrl::fromLocalFile(path));
        QObject::connect(effect, &QSoundEffect::statusChanged, effect, [effect] {
            if (effect->status() == QSoundEffect::Error)
                qCWarning(lcSpeech) << "cannot play the sound" << effect->source().toLocalFile();
        });
    }
    effect->play();
}

void SoundEffects::stopAll()
{
    for (QSoundEffect *effect : std::as_const(m_effects))
        effect->stop();
}

} // namespace speech

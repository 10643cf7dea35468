// SPDX-License-Identifier: GPL-3.0-or-later
#include "character/recognizer.h"
#include "character/speechengine.h"

namespace character {

SpeechEngine::SpeechEngine(QObject *parent)
    : QObject(parent)
{
}

CommandRecognizer::CommandRecognizer(QObject *parent)
    : QObject(parent)
{
}

} // namespace character

// SPDX-License-Identifier: GPL-3.0-or-later
#include "character/desktopagent.h"

using namespace Qt::StringLiterals;

namespace character {

// No character engine is built in yet: every load fails, so the program takes its
// missing-character path.
class DesktopAgent::Collection final : public CharacterCollection
{
public:
    RequestPtr Load(const QString &, const QString &file) override
    {
        throw Error(u"Cannot load %1: this build has no character engine."_s.arg(file));
    }
    std::shared_ptr<Character> Item(const QString &characterId) override
    {
        throw Error(u"No character is loaded as %1."_s.arg(characterId));
    }
    void Unload(const QString &) override {}
};

DesktopAgent::DesktopAgent(QObject *parent)
    : Agent(parent)
    , m_characters(std::make_unique<Collection>())
{
}

DesktopAgent::~DesktopAgent() = default;

CharacterCollection &DesktopAgent::Characters()
{
    return *m_characters;
}

} // namespace character

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "character/agent.h"

namespace character {

// The component as it runs on the desktop.
class DesktopAgent final : public Agent
{
    Q_OBJECT

public:
    explicit DesktopAgent(QObject *parent = nullptr);
    ~DesktopAgent() override;
    Q_DISABLE_COPY_MOVE(DesktopAgent)

    CharacterCollection &Characters() override;

private:
    class Collection;
    std::unique_ptr<Collection> m_characters;
};

} // namespace character

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

#include <QList>
#include <QString>

#include "character/agent.h"

namespace character {

// The commands of one character, in the order they were added.
class CommandList final : public CommandCollection
{
public:
    struct Entry
    {
        QString name;
        QString caption;
        QString voice;
        bool enabled = true;
        bool visible = true;
    };

    explicit CommandList(std::function<void()> changed);
    // A name added again replaces the earlier command in its place.
    void Add(const QString &name, const QString &caption, const QString &voice, bool enabled, bool visible) override;
    const QList<Entry> &entries() const { return m_entries; }

private:
    QList<Entry> m_entries;
    std::function<void()> m_changed;
};

// The enabled voice commands written as a child would say them, for the listening tip: "..."
// and optional words left out, the first of alternatives, and a voice text that lets any words
// come first takes the leading words of its caption ("... One" with "Level &1" is "Level One").
// Three or more in a row that differ in their last word only are shortened to the first and
// the last: "Reset, Level One ... Level Four, Exit".
QString sayableCommands(const QList<CommandList::Entry> &entries);

} // namespace character

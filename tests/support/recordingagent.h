// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A recording double of the character component: every call is written to a log in call order,
// requests end on the next turn of the event loop (or when the test says so), and the test
// decides whether loading fails and whether the character shows.

#include <functional>
#include <map>

#include <QStringList>

#include "character/agent.h"

namespace testsupport {

class RecordingCharacter;

class RecordingAgent final : public character::Agent
{
    Q_OBJECT

public:
    explicit RecordingAgent(QObject *parent = nullptr);
    ~RecordingAgent() override;

    character::CharacterCollection &Characters() override;

    // Each call as text, e.g. "Play(Greet)", "Speak(Are you ready?)", "Show(fast)".
    QStringList log;
    // Called after every logged call, with the entry; lets a test act in the middle of a handler.
    std::function<void(const QString &entry)> onCall;

    bool failLoad = false;
    bool failCharactersAccess = false;
    // Show makes the character visible when carried out; false keeps it hidden (the child hid it).
    bool showWorks = true;
    // Requests end on their own on the next turn of the event loop; false leaves them pending
    // until completePending().
    bool autoComplete = true;
    // Hide is carried out but the character keeps reporting itself visible.
    bool hideNeverHides = false;
    // Hide is taken but never carried out nor ended, while everything before it is.
    bool hideNeverEnds = false;

    std::shared_ptr<RecordingCharacter> character() const { return m_character; }
    bool isLoaded() const { return bool(m_character); }
    // Ends every pending request as carried out.
    void completePending();
    QStringList entriesStartingWith(const QString &prefix) const;

private:
    class Collection;
    friend class RecordingCharacter;
    void record(const QString &entry);

    std::unique_ptr<Collection> m_collection;
    std::shared_ptr<RecordingCharacter> m_character;
};

class RecordingCharacter final : public character::Character, public character::CommandCollection
{
public:
    explicit RecordingCharacter(RecordingAgent &agent);

    character::RequestPtr Show(bool fast = false) override;
    character::RequestPtr Hide(bool fast = false) override;
    character::RequestPtr Play(const QString &animation) override;
    character::RequestPtr Speak(const QString &text) override;
    void StopAll() override;
    bool Visible() const override { return visible; }
    character::CommandCollection &Commands() override { return *this; }
    void Add(const QString &name, const QString &caption, const QString &voice, bool enabled, bool visible) override;

    bool visible = false;

private:
    struct Pending
    {
        character::RequestPtr request;
        std::function<void()> carryOut;
        bool neverEnds = false;
    };
    character::RequestPtr enqueue(const QString &entry, std::function<void()> carryOut = {});
    void scheduleCompletion();
    void completePending();

    friend class RecordingAgent;
    RecordingAgent &m_agent;
    QList<Pending> m_pending;
    bool m_completionScheduled = false;
};

} // namespace testsupport

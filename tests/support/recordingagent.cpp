// SPDX-License-Identifier: GPL-3.0-or-later
#include "recordingagent.h"

#include <QTimer>

using namespace Qt::StringLiterals;

namespace testsupport {

class RecordingAgent::Collection final : public character::CharacterCollection
{
public:
    explicit Collection(RecordingAgent &agent)
        : m_agent(agent)
    {
    }

    character::RequestPtr Load(const QString &characterId, const QString &file) override
    {
        m_agent.record(u"Load(%1,%2)"_s.arg(characterId, file));
        if (m_agent.failLoad)
            throw character::Error(u"cannot load %1"_s.arg(file));
        m_agent.m_character = std::make_shared<RecordingCharacter>(m_agent);
        m_id = characterId;
        return std::make_shared<character::Request>(character::RequestStatus::Complete);
    }

    std::shared_ptr<character::Character> Item(const QString &characterId) override
    {
        if (!m_agent.m_character || characterId != m_id)
            throw character::Error(u"not loaded: %1"_s.arg(characterId));
        return m_agent.m_character;
    }

    void Unload(const QString &characterId) override
    {
        m_agent.record(u"Unload(%1)"_s.arg(characterId));
        if (!m_agent.m_character)
            throw character::Error(u"not loaded: %1"_s.arg(characterId));
        m_agent.m_character->visible = false;
        m_agent.m_character.reset();
    }

private:
    RecordingAgent &m_agent;
    QString m_id;
};

RecordingAgent::RecordingAgent(QObject *parent)
    : character::Agent(parent)
    , m_collection(std::make_unique<Collection>(*this))
{
}

RecordingAgent::~RecordingAgent() = default;

character::CharacterCollection &RecordingAgent::Characters()
{
    if (failCharactersAccess)
        throw character::Error(u"the component is not registered"_s);
    return *m_collection;
}

void RecordingAgent::record(const QString &entry)
{
    log << entry;
    if (onCall)
        onCall(entry);
}

void RecordingAgent::completePending()
{
    if (m_character)
        m_character->completePending();
}

QStringList RecordingAgent::entriesStartingWith(const QString &prefix) const
{
    QStringList entries;
    for (const QString &entry : log) {
        if (entry.startsWith(prefix))
            entries << entry;
    }
    return entries;
}

RecordingCharacter::RecordingCharacter(RecordingAgent &agent)
    : m_agent(agent)
{
}

character::RequestPtr RecordingCharacter::enqueue(const QString &entry, std::function<void()> carryOut)
{
    auto request = std::make_shared<character::Request>();
    m_pending.append({request, std::move(carryOut)});
    m_agent.record(entry);
    if (m_agent.autoComplete)
        scheduleCompletion();
    return request;
}

void RecordingCharacter::scheduleCompletion()
{
    if (m_completionScheduled)
        return;
    m_completionScheduled = true;
    // The agent outlives every test's event processing; the character may not (Unload).
    QTimer::singleShot(0, &m_agent, [agent = &m_agent] {
        if (!agent->m_character)
            return;
        agent->m_character->m_completionScheduled = false;
        if (agent->autoComplete)
            agent->m_character->completePending();
    });
}

void RecordingCharacter::completePending()
{
    const QList<Pending> pending = std::exchange(m_pending, {});
    for (const Pending &item : pending) {
        if (item.neverEnds) {
            item.request->setStatus(character::RequestStatus::InProgress);
            m_pending << item;
            continue;
        }
        if (item.carryOut)
            item.carryOut();
        item.request->setStatus(character::RequestStatus::Complete);
    }
}

character::RequestPtr RecordingCharacter::Show(bool fast)
{
    // Like the component with an idle queue: the show starts within the call, so the character
    // reports itself visible as soon as Show returns.
    visible = m_agent.showWorks;
    return enqueue(fast ? u"Show(fast)"_s : u"Show()"_s);
}

character::RequestPtr RecordingCharacter::Hide(bool fast)
{
    character::RequestPtr request = enqueue(fast ? u"Hide(fast)"_s : u"Hide()"_s, [this] {
        if (!m_agent.hideNeverHides)
            visible = false;
    });
    m_pending.last().neverEnds = m_agent.hideNeverEnds;
    return request;
}

character::RequestPtr RecordingCharacter::Play(const QString &animation)
{
    return enqueue(u"Play(%1)"_s.arg(animation));
}

character::RequestPtr RecordingCharacter::Speak(const QString &text)
{
    // Like the component, it says one alternative; this one always the first.
    character::RequestPtr request = enqueue(u"Speak(%1)"_s.arg(text));
    const QString spoken = text.section(u'|', 0, 0);
    m_pending.last().carryOut = [request = request.get(), spoken] { request->setSpokenText(spoken); };
    return request;
}

void RecordingCharacter::StopAll()
{
    const QList<Pending> pending = std::exchange(m_pending, {});
    for (const Pending &item : pending)
        item.request->setStatus(character::RequestStatus::Interrupted);
    m_agent.record(u"StopAll()"_s);
}

void RecordingCharacter::Add(const QString &name, const QString &caption, const QString &voice, bool enabled,
                             bool visibleInMenu)
{
    m_agent.record(u"Commands.Add(%1,%2,%3,%4,%5)"_s.arg(name, caption, voice)
                       .arg(enabled ? u"true"_s : u"false"_s, visibleInMenu ? u"true"_s : u"false"_s));
}

} // namespace testsupport

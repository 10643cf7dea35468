// SPDX-License-Identifier: GPL-3.0-or-later
#include "character/agent.h"

namespace character {

Error::Error(const QString &message)
    : std::runtime_error(message.toStdString())
{
}

QString Error::message() const
{
    return QString::fromStdString(what());
}

Request::Request(RequestStatus status)
    : m_status(status)
{
}

void Request::setStatus(RequestStatus status)
{
    if (hasEnded() || status == m_status)
        return;
    m_status = status;
    if (status == RequestStatus::InProgress)
        emit started();
    else if (hasEnded())
        emit finished(status);
}

bool Request::hasEnded() const
{
    return m_status == RequestStatus::Complete || m_status == RequestStatus::Failed
        || m_status == RequestStatus::Interrupted;
}

Agent::Agent(QObject *parent)
    : QObject(parent)
{
}

} // namespace character

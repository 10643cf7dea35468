// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QObject>
#include <QString>

#include "character/agent.h"

namespace character {

// A command as voice input knows it: the name reported back and the words to say.
struct VoiceCommand
{
    QString name;
    QString voice; // "..." any words, "[ ]" optional words, "( | )" alternatives
    bool enabled = true;
};

// Offline recognition of the character's spoken commands, push to talk: only what is said between
// startListening() and stopListening() is recorded, and that utterance is decoded on release.
class CommandRecognizer : public QObject
{
    Q_OBJECT

public:
    explicit CommandRecognizer(QObject *parent = nullptr);
    Q_DISABLE_COPY_MOVE(CommandRecognizer)

    virtual void setCommands(const QList<VoiceCommand> &commands) = 0;
    virtual void startListening() = 0;
    virtual void stopListening() = 0;
    // False when there is no microphone or the recogniser cannot run.
    virtual bool isAvailable() const = 0;

signals:
    // Count 0 when speech was heard but matched no command.
    void heard(const character::UserInput &input);
    void unavailable(const QString &reason);
};

} // namespace character

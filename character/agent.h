// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The desktop character component: an animated character that lives in its own window on the
// desktop, speaks, listens for spoken commands and reports clicks, drags and commands.
//
// A program hosts one Agent (the control). Through its Characters() it loads a character from a
// character file under an ID and gets the Character to drive. Every call on a character returns
// at once with a Request; the character carries its requests out one after another, in the order
// of the calls, and each request's Status() tells where it stands. The member names are the ones
// the program's handlers use, so a call reads the same in both places.

#include <memory>
#include <stdexcept>

#include <QObject>
#include <QString>

namespace character {

// What Status() reports. A request always ends: complete, failed or interrupted.
enum class RequestStatus : int { Complete = 0, Failed = 1, Pending = 2, Interrupted = 3, InProgress = 4 };

// A failed call on the component.
class Error : public std::runtime_error
{
public:
    explicit Error(const QString &message);
    QString message() const;
};

// One call on a character as it is carried out. started() is raised when the character begins
// it, finished() once when it ends, so a caller can wait for either instead of polling Status().
class Request : public QObject
{
    Q_OBJECT

public:
    Request() = default;
    explicit Request(RequestStatus status);
    Q_DISABLE_COPY_MOVE(Request)

    int Status() const { return static_cast<int>(m_status); }
    RequestStatus status() const { return m_status; }
    // Complete, failed or interrupted: nothing that waits on it should wait any longer.
    bool hasEnded() const;

    // Set by the component as it carries the request out. A request that has ended stays as it
    // ended.
    void setStatus(RequestStatus status);

    // For a Speak, once it has begun: the alternative picked from the phrase list, as spoken.
    QString spokenText() const { return m_spokenText; }
    void setSpokenText(const QString &text) { m_spokenText = text; }

signals:
    void started();
    void finished(character::RequestStatus status);

private:
    RequestStatus m_status = RequestStatus::Pending;
    QString m_spokenText;
};
using RequestPtr = std::shared_ptr<Request>;

// What the character heard or which menu command was chosen, best match first.
struct UserInput
{
    QString CharacterID;
    short Count = 0; // alternatives matched; 0 when speech was heard but matched no command
    QString Name;
    short Confidence = 0;
    QString Voice;
    QString Alt1Name;
    short Alt1Confidence = 0;
    QString Alt1Voice;
    QString Alt2Name;
    short Alt2Confidence = 0;
    QString Alt2Voice;

    bool operator==(const UserInput &) const = default;
};

class CommandCollection
{
public:
    virtual ~CommandCollection() = default;
    // A command of the character's pop-up menu (caption, with "&" before its access key) and of
    // its voice input (the words to say; "..." stands for any words, "[ ]" for optional words
    // and "( | )" for alternatives).
    virtual void Add(const QString &name, const QString &caption, const QString &voice, bool enabled,
                     bool visible) = 0;
};

class Character
{
public:
    virtual ~Character() = default;

    virtual RequestPtr Show(bool fast = false) = 0;
    virtual RequestPtr Hide(bool fast = false) = 0;
    virtual RequestPtr Play(const QString &animation) = 0;
    // The text is a phrase list: alternatives separated by "|", one of them spoken at random.
    virtual RequestPtr Speak(const QString &text) = 0;
    // Interrupts the current request and every queued one, and returns to the neutral pose.
    virtual void StopAll() = 0;
    // True from when a Show is carried out until a Hide is.
    virtual bool Visible() const = 0;
    virtual CommandCollection &Commands() = 0;
};

class CharacterCollection
{
public:
    virtual ~CharacterCollection() = default;
    // Throws Error when the file is missing, unreadable or not a usable character.
    virtual RequestPtr Load(const QString &characterId, const QString &file) = 0;
    // Throws Error for an ID that is not loaded.
    virtual std::shared_ptr<Character> Item(const QString &characterId) = 0;
    virtual void Unload(const QString &characterId) = 0;
};

// The control a window hosts. Its events carry the character's ID, the mouse button (1 left,
// 2 right, 4 middle), the Shift/Ctrl/Alt state (1, 2, 4) and the pointer position.
class Agent : public QObject
{
    Q_OBJECT

public:
    explicit Agent(QObject *parent = nullptr);
    Q_DISABLE_COPY_MOVE(Agent)

    virtual CharacterCollection &Characters() = 0;

signals:
    void Click(const QString &characterId, short button, short shift, short x, short y);
    void DragComplete(const QString &characterId, short button, short shift, short x, short y);
    void Command(const character::UserInput &input);
    // The character was shown or hidden; byUser when the child hid it (from its menu or the
    // notification area), so that the program can offer a way to call it back.
    void visibleChanged(const QString &characterId, bool visible, bool byUser);
};

} // namespace character

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the teacher character says and obeys: the texts of the greeting, the reactions to clicks
// and drags, the greeting by name and the good-bye; the six commands the character learns at
// start-up and how a command the child gives is decided; the message shown when the character
// cannot be loaded; and the wait the main window uses while the character finishes something.

#include <array>
#include <chrono>
#include <functional>

#include <QDeadlineTimer>
#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

#include "character/agent.h"

namespace teacher {

inline constexpr char16_t characterId[] = u"MyChar";
inline constexpr char16_t characterFile[] = u"Merlin.acs";

struct CommandDefinition
{
    QString name;
    QString caption;
    QString voice;
    bool enabled = true;
    bool visible = true;
};
// In the order the commands are registered. Captions are the English source texts; the pop-up
// menu shows commandCaption(), in the language of the interface. The voice stays English: the
// recogniser hears English words only.
const std::array<CommandDefinition, 6> &commandTable();
QString commandCaption(const CommandDefinition &command);

// Every animation the program plays on the character: a character without one of them is
// refused when it is loaded, not halfway through a lesson.
const QStringList &animationsUsed();

enum class CommandAction { None, Reset, Exit, SetLevel };
struct CommandDecision
{
    CommandAction action = CommandAction::None;
    qint16 level = 0; // for SetLevel: 0 to 3
};
// Names are compared whole and case-sensitively; an input that matched nothing does nothing.
CommandDecision decideCommand(const character::UserInput &input);

QString welcomeText();
QString readyText();
QString clickPhrases();
QString dragPhrases();
QString nameGreetingPhrases(const QString &learnerName);
QString farewellPhrases(const QString &learnerName);

// The help page installed with the program that tells how to install or repair the character
// and its speech files, as a local file address.
QUrl helpPageUrl();
QString missingCharacterTitle();
QString missingCharacterMessage(const QString &address);

// How long the good-bye may keep the program from ending when the character does not report
// itself gone. First the wait for the good-bye to begin (the wave comes before it); once the
// character has picked what it says, a bound by the words of that alternative.
struct FarewellTiming
{
    std::chrono::milliseconds untilSpeaking{8000};
    // The voice starting, the balloon lingering, the hiding animation.
    std::chrono::milliseconds afterSpeaking{6000};
    // A slow, child-friendly voice takes up to a second for a long word (a name of four
    // syllables); short words take less, so the bound is generous for everyday phrases.
    std::chrono::milliseconds perWord{1000};
};
// The bound from the moment the good-bye `spoken` (the alternative picked) has begun.
std::chrono::milliseconds farewellSpeakingBound(const QString &spoken, const FarewellTiming &timing);

// Waits for the character in nested event loops, so that the window stays alive and handlers
// nested inside run as usual. A wait ends when its condition holds or its deadline passes. The
// condition is looked at again when a request the wait watches starts or ends, when a wait
// nested inside it ends, and when wake() is called: for changes no request reports, such as the
// program being asked to end.
class CharacterWait final
{
public:
    CharacterWait() = default;
    Q_DISABLE_COPY_MOVE(CharacterWait)

    // Returns done() as it stands at the end.
    bool until(const std::function<bool()> &done, const QList<character::RequestPtr> &watched,
               QDeadlineTimer deadline = QDeadlineTimer::Forever);
    // Every running wait looks at its condition again.
    void wake();

private:
    QList<std::function<void()> *> m_running; // innermost last
};

} // namespace teacher

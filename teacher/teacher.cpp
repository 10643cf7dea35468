// SPDX-License-Identifier: GPL-3.0-or-later
#include "teacher/teacher.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include "character/agent.h"
#include "platform/datapaths.h"
#include "teacher/logging.h"
#include "quiz/feedback.h"

using namespace Qt::StringLiterals;

namespace teacher {

const std::array<CommandDefinition, 6> &commandTable()
{
    static const std::array<CommandDefinition, 6> table{{
        {u"Reset"_s, u"&Reset"_s, u"Reset ..."_s, true, true},
        {u"LevelOne"_s, u"Level &1"_s, u"... One"_s, true, true},
        {u"LevelTwo"_s, u"Level &2"_s, u"... Two"_s, true, true},
        {u"LevelThree"_s, u"Level &3"_s, u"... Three"_s, true, true},
        {u"LevelFour"_s, u"Level &4"_s, u"... Four"_s, true, true},
        {u"Exit"_s, u"E&xit"_s, u"Exit ..."_s, true, true},
    }};
    return table;
}

const QStringList &animationsUsed()
{
    static const QStringList names = {
        u"Greet"_s,    u"Wave"_s,     u"GetAttention"_s, u"GetAttentionReturn"_s, u"RestPose"_s,
        u"Pleased"_s,  u"Announce"_s, u"Congratulate"_s, u"Congratulate_2"_s,     u"Surprised"_s,
        u"Write"_s,    u"Confused"_s, u"Decline"_s,      u"Explain"_s,            u"Read"_s,
        u"Sad"_s,      u"Search"_s,   u"Suggest"_s,
    };
    return names;
}

CommandDecision decideCommand(const character::UserInput &input)
{
    if (input.Count == 0)
        return {};
    if (input.Name == u"Reset"_s)
        return {CommandAction::Reset};
    if (input.Name == u"Exit"_s)
        return {CommandAction::Exit};
    static const QString levels[] = {u"LevelOne"_s, u"LevelTwo"_s, u"LevelThree"_s, u"LevelFour"_s};
    for (qint16 level = 0; level < 4; ++level) {
        if (input.Name == levels[level])
            return {CommandAction::SetLevel, level};
    }
    return {};
}

QString welcomeText()
{
    return u"Welcome. I am your teacher for today."_s;
}

QString readyText()
{
    return u"Are you ready?"_s;
}

QString clickPhrases()
{
    return u"Ouch!|That tickles|Don't click me|Keep the mouse away from me"_s;
}

QString dragPhrases()
{
    return u"Happy?|I feel much better here|Leave me where I was|What? There's something special about this place?"
           u"|Leave me alone"_s;
}

QString nameGreetingPhrases(const QString &learnerName)
{
    const QString n = quiz::phraseLiteral(learnerName);
    return u"Hello, "_s + n + u". Nice to meet you|Hi there, "_s + n;
}

QString farewellPhrases(const QString &learnerName)
{
    if (learnerName.isEmpty())
        return u"Good-bye|See you later|So long|Come back soon"_s;
    const QString n = quiz::phraseLiteral(learnerName);
    return u"Good-bye, "_s + n + u"|See you later, "_s + n + u"|So long|Come back soon, "_s + n;
}

QUrl helpPageUrl()
{
    const QString relative = u"help/character.html"_s;
    QString path = platform::findDataPath(relative);
    if (path.isEmpty()) {
        // Not found anywhere: name the place an installation puts it, so the message still says
        // where the page belongs.
        path = QCoreApplication::applicationDirPath() + u"/../share/zumbrel/"_s + relative;
    }
    return QUrl::fromLocalFile(path);
}

QString missingCharacterTitle()
{
    return u"Cannot load character"_s;
}

QString missingCharacterMessage(const QString &address)
{
    // Merlin and his voice come with Zumbrel itself: the repair is a reinstall, which the page
    // explains for the Debian package and for a build from source.
    return u"This program requires the Merlin character.\r\n"_s + u"Read how to install it at "_s + address
        + u"\r\nIf Zumbrel came as a Debian package: sudo apt-get install --reinstall zumbrel\r\n"_s
        + u"And run this program again.\r\n"_s + u"Do you want to open this page now?"_s;
}

bool processEventsUntil(const std::function<bool()> &done, QDeadlineTimer deadline)
{
    // The timer only wakes the loop at the deadline; it has nothing to do itself.
    QTimer wake;
    wake.setSingleShot(true);
    wake.setTimerType(Qt::PreciseTimer);
    while (!done() && !deadline.hasExpired()) {
        if (!deadline.isForever() && !wake.isActive())
            wake.start(std::chrono::milliseconds(std::max<qint64>(1, deadline.remainingTime())));
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    const bool finished = done();
    if (!finished)
        qCWarning(lcTeacher) << "The character did not finish in time; the lesson goes on without waiting";
    return finished;
}

} // namespace teacher

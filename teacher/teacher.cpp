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

QString commandCaption(const CommandDefinition &command)
{
    return QCoreApplication::translate("teacher", command.caption.toUtf8().constData());
}

const std::array<CommandDefinition, 6> &commandTable()
{
    static const std::array<CommandDefinition, 6> table{{
        {u"Reset"_s, QStringLiteral(QT_TRANSLATE_NOOP("teacher", "&Reset")), u"Reset ..."_s, true, true},
        {u"LevelOne"_s, QStringLiteral(QT_TRANSLATE_NOOP("teacher", "Level &1")), u"... One"_s, true, true},
        {u"LevelTwo"_s, QStringLiteral(QT_TRANSLATE_NOOP("teacher", "Level &2")), u"... Two"_s, true, true},
        {u"LevelThree"_s, QStringLiteral(QT_TRANSLATE_NOOP("teacher", "Level &3")), u"... Three"_s, true, true},
        {u"LevelFour"_s, QStringLiteral(QT_TRANSLATE_NOOP("teacher", "Level &4")), u"... Four"_s, true, true},
        {u"Exit"_s, QStringLiteral(QT_TRANSLATE_NOOP("teacher", "E&xit")), u"Exit ..."_s, true, true},
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
    return QCoreApplication::translate("teacher", "Welcome. I am your teacher for today.");
}

QString readyText()
{
    return QCoreApplication::translate("teacher", "Are you ready?");
}

QString clickPhrases()
{
    return QCoreApplication::translate("teacher", "Ouch!|That tickles|Don't click me|Keep the mouse away from me");
}

QString dragPhrases()
{
    return QCoreApplication::translate("teacher", "Happy?|I feel much better here|Leave me where I was"
                                                "|What? There's something special about this place?|Leave me alone");
}

QString nameGreetingPhrases(const QString &learnerName)
{
    return QCoreApplication::translate("teacher", "Hello, %1. Nice to meet you|Hi there, %1")
        .arg(quiz::phraseLiteral(learnerName));
}

QString farewellPhrases(const QString &learnerName)
{
    if (learnerName.isEmpty())
        return QCoreApplication::translate("teacher", "Good-bye|See you later|So long|Come back soon");
    return QCoreApplication::translate("teacher", "Good-bye, %1|See you later, %1|So long|Come back soon, %1")
        .arg(quiz::phraseLiteral(learnerName));
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
    return QCoreApplication::translate("teacher", "Cannot load character");
}

QString missingCharacterMessage(const QString &address)
{
    // Merlin and his voice come with Zumbrel itself: the repair is a reinstall, which the page
    // explains for the Debian package and for a build from source.
    return QStringList{QCoreApplication::translate("teacher", "This program requires the Merlin character."),
                       QCoreApplication::translate("teacher", "Read how to install it at %1").arg(address),
                       QCoreApplication::translate("teacher", "If Zumbrel came as a Debian package: %1")
                           .arg(u"sudo apt-get install --reinstall zumbrel"_s),
                       QCoreApplication::translate("teacher", "And run this program again."),
                       QCoreApplication::translate("teacher", "Do you want to open this page now?")}
        .join(u"\r\n"_s);
}

std::chrono::milliseconds farewellSpeakingBound(const QString &spoken, const FarewellTiming &timing)
{
    const auto words = spoken.split(u' ', Qt::SkipEmptyParts).size();
    return timing.afterSpeaking + timing.perWord * words;
}

bool CharacterWait::until(const std::function<bool()> &done, const QList<character::RequestPtr> &watched,
                          QDeadlineTimer deadline)
{
    if (!done()) {
        QEventLoop loop;
        std::function<void()> check = [&] {
            if (done())
                loop.quit();
        };
        // Connected with the loop as context, so nothing reaches it once the wait is over.
        for (const character::RequestPtr &request : watched) {
            if (!request)
                continue;
            QObject::connect(request.get(), &character::Request::started, &loop, check);
            QObject::connect(request.get(), &character::Request::finished, &loop, check);
        }
        QTimer bound;
        bound.setSingleShot(true);
        bound.setTimerType(Qt::PreciseTimer);
        QObject::connect(&bound, &QTimer::timeout, &loop, &QEventLoop::quit);
        if (!deadline.isForever())
            bound.start(std::chrono::milliseconds(std::max<qint64>(0, deadline.remainingTime())));
        m_running.append(&check);
        loop.exec();
        m_running.removeOne(&check);
        // What ended this wait may be what the waits around it wait for: a nested handler may
        // have replaced the request they watch.
        wake();
    }
    const bool finished = done();
    if (!finished)
        qCWarning(lcTeacher) << "The character did not finish in time; the lesson goes on without waiting";
    return finished;
}

void CharacterWait::wake()
{
    // A check may end a loop, never start one, so the list does not change under the iteration.
    const QList<std::function<void()> *> running = m_running;
    for (std::function<void()> *check : running)
        (*check)();
}

} // namespace teacher

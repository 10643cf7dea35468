// SPDX-License-Identifier: GPL-3.0-or-later
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

#include "character/agent.h"
#include "teacher/teacher.h"

using namespace Qt::StringLiterals;

class TestTeacher : public QObject
{
    Q_OBJECT

private slots:
    void commandTableInRegistrationOrder();
    void commandDecision_data();
    void commandDecision();
    void farewellPhrases();
    void nameGreeting();
    void missingCharacterMessage();
    void waitEndsWhenTheRequestDoes_data();
    void waitEndsWhenTheRequestDoes();
    void waitGivesUpAtItsDeadline();
    void wakeMakesEveryWaitLookAgain();
    void nestedWaitEndingWakesTheOuterOne();
};

void TestTeacher::commandTableInRegistrationOrder()
{
    const auto &table = teacher::commandTable();
    QStringList rows;
    for (const auto &command : table) {
        QVERIFY(command.enabled && command.visible);
        rows << command.name + u';' + command.caption + u';' + command.voice;
    }
    QCOMPARE(rows, (QStringList{u"Reset;&Reset;Reset ..."_s, u"LevelOne;Level &1;... One"_s,
                                u"LevelTwo;Level &2;... Two"_s, u"LevelThree;Level &3;... Three"_s,
                                u"LevelFour;Level &4;... Four"_s, u"Exit;E&xit;Exit ..."_s}));
}

void TestTeacher::commandDecision_data()
{
    QTest::addColumn<short>("count");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("action");
    QTest::addColumn<int>("level");
    using teacher::CommandAction;
    QTest::newRow("reset") << short(1) << u"Reset"_s << int(CommandAction::Reset) << 0;
    QTest::newRow("exit") << short(1) << u"Exit"_s << int(CommandAction::Exit) << 0;
    QTest::newRow("level one") << short(1) << u"LevelOne"_s << int(CommandAction::SetLevel) << 0;
    QTest::newRow("level four") << short(3) << u"LevelFour"_s << int(CommandAction::SetLevel) << 3;
    QTest::newRow("nothing matched") << short(0) << u"Reset"_s << int(CommandAction::None) << 0;
    QTest::newRow("wrong case") << short(1) << u"levelthree"_s << int(CommandAction::None) << 0;
    QTest::newRow("unknown") << short(1) << u"Dance"_s << int(CommandAction::None) << 0;
    QTest::newRow("trailing blank") << short(1) << u"Exit "_s << int(CommandAction::None) << 0;
}

void TestTeacher::commandDecision()
{
    QFETCH(short, count);
    QFETCH(QString, name);
    QFETCH(int, action);
    QFETCH(int, level);
    character::UserInput input;
    input.Count = count;
    input.Name = name;
    const teacher::CommandDecision decision = teacher::decideCommand(input);
    QCOMPARE(int(decision.action), action);
    if (decision.action == teacher::CommandAction::SetLevel)
        QCOMPARE(int(decision.level), level);
}

void TestTeacher::farewellPhrases()
{
    QCOMPARE(teacher::farewellPhrases(QString()), u"Good-bye|See you later|So long|Come back soon"_s);
    QCOMPARE(teacher::farewellPhrases(u"Ann"_s), u"Good-bye, Ann|See you later, Ann|So long|Come back soon, Ann"_s);
    QCOMPARE(teacher::farewellPhrases(u"A|B"_s).split(u'|').size(), 4);
}

void TestTeacher::nameGreeting()
{
    QCOMPARE(teacher::nameGreetingPhrases(u"Sam"_s), u"Hello, Sam. Nice to meet you|Hi there, Sam"_s);
    QCOMPARE(teacher::nameGreetingPhrases(u"S|m"_s).split(u'|').size(), 2);
}

void TestTeacher::missingCharacterMessage()
{
    const QString address = u"file:///usr/share/zumbrel/help/character.html"_s;
    const QStringList lines = teacher::missingCharacterMessage(address).split(u"\r\n"_s);
    QCOMPARE(lines, (QStringList{u"This program requires the Merlin character."_s, u"Read how to install it at "_s + address,
                                 u"If Zumbrel came as a Debian package: sudo apt-get install --reinstall zumbrel"_s,
                                 u"And run this program again."_s, u"Do you want to open this page now?"_s}));
    QVERIFY(teacher::helpPageUrl().isLocalFile());
}

void TestTeacher::waitEndsWhenTheRequestDoes_data()
{
    QTest::addColumn<character::RequestStatus>("reached");
    QTest::addColumn<bool>("untilStarted");
    QTest::newRow("started") << character::RequestStatus::InProgress << true;
    QTest::newRow("complete") << character::RequestStatus::Complete << false;
    QTest::newRow("interrupted") << character::RequestStatus::Interrupted << false;
    QTest::newRow("failed") << character::RequestStatus::Failed << false;
}

// Nothing but the request's own signal ends the wait: no timer looks at it in between.
void TestTeacher::waitEndsWhenTheRequestDoes()
{
    QFETCH(character::RequestStatus, reached);
    QFETCH(bool, untilStarted);
    const auto request = std::make_shared<character::Request>();
    int nested = 0;
    QTimer::singleShot(0, this, [&] { ++nested; });
    QTimer::singleShot(20, this, [&] { request->setStatus(reached); });
    teacher::CharacterWait wait;
    const bool done = wait.until(
        [&] { return untilStarted ? request->status() != character::RequestStatus::Pending : request->hasEnded(); },
        {request});
    QVERIFY(done);
    QCOMPARE(request->status(), reached);
    QCOMPARE(nested, 1);
}

void TestTeacher::waitGivesUpAtItsDeadline()
{
    const auto request = std::make_shared<character::Request>();
    QElapsedTimer clock;
    clock.start();
    teacher::CharacterWait wait;
    QVERIFY(!wait.until([&] { return request->hasEnded(); }, {request}, QDeadlineTimer(50)));
    QVERIFY(clock.elapsed() >= 40);
}

void TestTeacher::wakeMakesEveryWaitLookAgain()
{
    teacher::CharacterWait wait;
    bool endNow = false;
    QTimer::singleShot(20, this, [&] {
        endNow = true;
        wait.wake();
    });
    QVERIFY(wait.until([&] { return endNow; }, {}));
}

// A handler inside the wait replaces the request the outer wait watches, and waits for the new
// one itself: once it is done, the outer wait must see that its condition holds.
void TestTeacher::nestedWaitEndingWakesTheOuterOne()
{
    teacher::CharacterWait wait;
    auto current = std::make_shared<character::Request>();
    const character::RequestPtr first = current;
    QTimer::singleShot(0, this, [&] {
        current = std::make_shared<character::Request>();
        const character::RequestPtr second = current;
        QTimer::singleShot(20, this, [second] { second->setStatus(character::RequestStatus::Complete); });
        QVERIFY(wait.until([&] { return current->hasEnded(); }, {current}));
    });
    // Bounded only so that a fault fails here rather than hanging.
    QVERIFY(wait.until([&] { return current->hasEnded(); }, {current}, QDeadlineTimer(10000)));
    QCOMPARE(first->status(), character::RequestStatus::Pending);
}

QTEST_GUILESS_MAIN(TestTeacher)
#include "tst_teacher.moc"

// SPDX-License-Identifier: GPL-3.0-or-later
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
    void waitRunsNestedEventsUntilDone();
    void waitGivesUpAtItsDeadline();
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

void TestTeacher::waitRunsNestedEventsUntilDone()
{
    bool done = false;
    int nested = 0;
    QTimer::singleShot(0, this, [&] { ++nested; });
    QTimer::singleShot(20, this, [&] { done = true; });
    QVERIFY(teacher::processEventsUntil([&] { return done; }));
    QCOMPARE(nested, 1);
}

void TestTeacher::waitGivesUpAtItsDeadline()
{
    QElapsedTimer clock;
    clock.start();
    QVERIFY(!teacher::processEventsUntil([] { return false; }, QDeadlineTimer(50)));
    QVERIFY(clock.elapsed() >= 40);
}

QTEST_GUILESS_MAIN(TestTeacher)
#include "tst_teacher.moc"

// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAction>
#include <QActionGroup>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "appfixture.h"

using namespace Qt::StringLiterals;
using testsupport::AppFixture;

namespace {
QStringList withPrefix(const QStringList &log, const QString &prefix)
{
    QStringList entries;
    for (const QString &entry : log) {
        if (entry.startsWith(prefix))
            entries << entry;
    }
    return entries;
}

QString speak(const QString &text)
{
    return u"Speak(%1)"_s.arg(text);
}
} // namespace

class TestDrill : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    // Start-up
    void startUpCallsInOrder();
    void greetingStepsSkippedWhileHidden();
    void missingCharacter_data();
    void missingCharacter();
    void startStateIsAdditionAtLevelOne();

    // Answers
    void emptyAnswerDoesNothing();
    void correctAnswerIsPraisedThenRestPoseThenNextQuestion();
    void wrongAnswerWithNameNamesTheResult();
    void leadingZeroAnswerIsCorrect();
    void hiddenCharacterCountsInSilence();
    void everyAnimationIsDrawn();
    void skipCountsAndLeavesTheCharacterAlone();
    void resetDuringRestPoseWait();
    void secondEnterDuringReactionIsNotJudgedAgain();
    void confirmationOfNewQuestionDuringWaitIsJudged();
    void waitEndsWhenRestPoseIsInterrupted();

    // Operation and level
    void operationChangeResetsScoreAndKeepsLevel();
    void levelChangeKeepsOperation();
    void choosingTheCurrentOperationStillResets();
    void menuChoiceDiscardsTypedAnswer();

    // Character events
    void leftClickSpeaksOtherButtonsDoNot();
    void dragCompleteSpeaks();
    void commands_data();
    void commands();
    void exitCommandSaysGoodbyeOnceAndCloses();

    // Farewell
    void farewellWithName();
    void farewellWhileHiddenOnlyUnloads();
    void farewellCutsOffFeedback();
    void farewellEndsWhenHideEndsWithoutHiding();
    void farewellWaitIsBounded();
    void closeButtonEndsAtOnce();

    // Name
    void names_data();
    void names();
    void namedPraiseAfterName();
    void nameWithBarKeepsPhraseListsWhole();

    // About
    void aboutHidesAndRestoresTheCharacter();

private:
    std::unique_ptr<AppFixture> f;
};

void TestDrill::init()
{
    f = std::make_unique<AppFixture>();
}

void TestDrill::cleanup()
{
    f.reset();
}

void TestDrill::startUpCallsInOrder()
{
    f->create();
    QVERIFY(f->window->Form_Load());
    QCOMPARE(f->agent.log,
             (QStringList{u"Load(MyChar,Merlin.acs)"_s, u"Show()"_s, u"Play(Greet)"_s,
                          speak(u"Welcome. I am your teacher for today."_s), u"Play(GetAttention)"_s,
                          speak(u"Are you ready?"_s), u"Play(GetAttentionReturn)"_s,
                          u"Commands.Add(Reset,&Reset,Reset ...,true,true)"_s,
                          u"Commands.Add(LevelOne,Level &1,... One,true,true)"_s,
                          u"Commands.Add(LevelTwo,Level &2,... Two,true,true)"_s,
                          u"Commands.Add(LevelThree,Level &3,... Three,true,true)"_s,
                          u"Commands.Add(LevelFour,Level &4,... Four,true,true)"_s,
                          u"Commands.Add(Exit,E&xit,Exit ...,true,true)"_s, u"Play(RestPose)"_s}));
}

void TestDrill::greetingStepsSkippedWhileHidden()
{
    f->agent.showWorks = false;
    f->create();
    QVERIFY(f->window->Form_Load());
    QCOMPARE(withPrefix(f->agent.log, u"Speak"_s), QStringList());
    QCOMPARE(withPrefix(f->agent.log, u"Play(GetAttention"_s), QStringList());
    QCOMPARE(withPrefix(f->agent.log, u"Commands.Add"_s).size(), 6);
    QCOMPARE(f->counters(), u"1/0/0/0"_s);
}

void TestDrill::missingCharacter_data()
{
    QTest::addColumn<bool>("failAccess");
    QTest::addColumn<bool>("answerYes");
    QTest::addColumn<bool>("browserWorks");
    QTest::newRow("no") << false << false << true;
    QTest::newRow("yes") << false << true << true;
    QTest::newRow("yes, no browser") << false << true << false;
    QTest::newRow("component missing altogether") << true << false << true;
}

void TestDrill::missingCharacter()
{
    QFETCH(bool, failAccess);
    QFETCH(bool, answerYes);
    QFETCH(bool, browserWorks);
    f->agent.failLoad = true;
    f->agent.failCharactersAccess = failAccess;
    f->dialogs.answerYes = answerYes;
    f->browser.works = browserWorks;
    f->create();
    QVERIFY(!f->window->Form_Load());
    QVERIFY(!f->window->isVisible());
    QCOMPARE(f->dialogs.questions.size(), 1);
    const QStringList lines = f->dialogs.questions.first().split(u'\n');
    QCOMPARE(lines.first(), u"Cannot load character"_s);
    const QString secondLine = f->dialogs.questions.first().split(u"\r\n"_s).at(1);
    QVERIFY(secondLine.startsWith(u"Read how to install it at "_s));
    const QString address = secondLine.mid(QStringLiteral("Read how to install it at ").size());
    if (answerYes) {
        QCOMPARE(f->browser.opened, QList<QUrl>{QUrl(address)});
    } else {
        QVERIFY(f->browser.opened.isEmpty());
    }
    QCOMPARE(f->dialogs.warnings.size(), answerYes && !browserWorks ? 1 : 0);
    if (!f->dialogs.warnings.isEmpty())
        QVERIFY(f->dialogs.warnings.first().contains(address));
    // Nothing beyond the load was asked of the character.
    QCOMPARE(withPrefix(f->agent.log, u"Show"_s), QStringList());
}

void TestDrill::startStateIsAdditionAtLevelOne()
{
    f->start();
    QCOMPARE(f->text(u"lblSign"), u"+"_s);
    QCOMPARE(f->text(u"lblLevel"), u"1"_s);
    QCOMPARE(f->counters(), u"1/0/0/0"_s);
    // r1 = r2 = 0.5 at T = 10: 6 + 3.
    QCOMPARE(f->text(u"lblNumber1"), u"6"_s);
    QCOMPARE(f->text(u"lblNumber2"), u"3"_s);
    QCOMPARE(f->expectedResult(), u"9"_s);
}

void TestDrill::emptyAnswerDoesNothing()
{
    f->start();
    const QString question = f->text(u"lblNumber1") + f->text(u"lblNumber2");
    f->click(u"cmdOK");
    QCOMPARE(f->counters(), u"1/0/0/0"_s);
    QCOMPARE(f->agent.log, QStringList());
    QCOMPARE(f->text(u"lblNumber1") + f->text(u"lblNumber2"), question);
}

void TestDrill::correctAnswerIsPraisedThenRestPoseThenNextQuestion()
{
    f->start();
    f->agent.autoComplete = false;
    f->random.queued = {0.99}; // the animation draw: the last praise
    bool questionKeptDuringWait = false;
    f->agent.onCall = [&](const QString &entry) {
        if (entry == u"Play(RestPose)"_s) {
            QTimer::singleShot(10, f->window.get(), [&] {
                questionKeptDuringWait = f->counters() == u"1/1/0/0"_s && f->answerBox()->text() == u"9"_s;
                f->agent.completePending();
            });
        }
    };
    f->type(u"9"_s);
    f->click(u"cmdOK");
    QVERIFY(questionKeptDuringWait);
    QCOMPARE(f->agent.log,
             (QStringList{u"StopAll()"_s, u"Play(Write)"_s,
                          speak(u"Correct answer|You are right|Well done|Very Good|That is correct"_s),
                          u"Play(RestPose)"_s}));
    QCOMPARE(f->counters(), u"2/1/0/0"_s);
    QCOMPARE(f->answerBox()->text(), QString());
}

void TestDrill::wrongAnswerWithNameNamesTheResult()
{
    f->start();
    f->dialogs.typedText = u"Ann"_s;
    f->window->findChild<QAction *>(u"mnuFileName"_s)->trigger();
    // Level 2 addition drawing 5 + 7: r1 = 0.2 gives 5, r2 = 0.42 gives 7.
    f->window->findChild<QActionGroup *>(u"mnuQuestionsLevelsLevel"_s)->actions().at(1)->trigger();
    f->random.queued = {0.2, 0.42};
    f->click(u"cmdSkip");
    QCOMPARE(f->text(u"lblNumber1") + u'+' + f->text(u"lblNumber2"), u"5+7"_s);
    f->agent.log.clear();
    f->random.queued = {0.0};
    f->type(u"11"_s);
    f->click(u"cmdOK");
    QCOMPARE(f->agent.log,
             (QStringList{u"StopAll()"_s, u"Play(Confused)"_s,
                          speak(u"Wrong answer, Ann|That is not correct, Ann|You gave the wrong answer, Ann|"
                                u"Your answer is wrong|Oops! That is not right|Please, pay attention|"
                                u"Hey, you made a boo-boo"_s),
                          speak(u"The correct answer is 12"_s), u"Play(RestPose)"_s}));
    QCOMPARE(f->counters(), u"3/0/1/1"_s);
}

void TestDrill::leadingZeroAnswerIsCorrect()
{
    f->start();
    f->answerBox()->setProperty("Tag", u"7"_s);
    f->type(u"07"_s);
    f->click(u"cmdOK");
    QCOMPARE(f->counters(), u"2/1/0/0"_s);
}

void TestDrill::hiddenCharacterCountsInSilence()
{
    f->start();
    f->agent.character()->visible = false;
    f->agent.autoComplete = false; // a wait would never end
    f->type(u"1"_s);
    f->click(u"cmdOK");
    QCOMPARE(f->counters(), u"2/0/1/0"_s);
    QCOMPARE(f->agent.log, QStringList());
}

void TestDrill::everyAnimationIsDrawn()
{
    f->start();
    QSet<QString> played;
    for (int i = 0; i < 7; ++i) {
        f->random.queued = {i / 7.0 + 0.01};
        f->type(u"9"_s);
        f->answerBox()->setProperty("Tag", u"9"_s);
        f->click(u"cmdOK");
        f->random.queued = {i / 7.0 + 0.01};
        f->type(u"8"_s);
        f->answerBox()->setProperty("Tag", u"9"_s);
        f->click(u"cmdOK");
    }
    for (const QString &entry : withPrefix(f->agent.log, u"Play("_s))
        played.insert(entry.mid(5).chopped(1));
    played.remove(u"RestPose"_s);
    QCOMPARE(played.size(), 13);
}

void TestDrill::skipCountsAndLeavesTheCharacterAlone()
{
    f->start();
    f->agent.autoComplete = false;
    f->agent.character()->Speak(u"Still talking"_s);
    f->agent.log.clear();
    f->type(u"4"_s);
    f->click(u"cmdSkip");
    QCOMPARE(f->counters(), u"2/0/0/1"_s);
    QCOMPARE(f->agent.log, QStringList());
    QCOMPARE(f->answerBox()->text(), QString());
}

void TestDrill::resetDuringRestPoseWait()
{
    f->start();
    f->agent.autoComplete = false;
    bool resetDone = false;
    f->agent.onCall = [&](const QString &entry) {
        if (entry == u"Play(RestPose)"_s && !resetDone) {
            resetDone = true;
            QTimer::singleShot(0, f->window.get(), [&] {
                f->click(u"cmdReset");
                f->agent.completePending();
            });
        }
    };
    f->type(u"9"_s);
    f->click(u"cmdOK");
    // The reset showed a question; the answer handler then showed one more.
    QCOMPARE(f->counters(), u"2/0/0/0"_s);
}

void TestDrill::secondEnterDuringReactionIsNotJudgedAgain()
{
    f->start();
    f->agent.autoComplete = false;
    int restPoses = 0;
    f->agent.onCall = [&](const QString &entry) {
        if (entry == u"Play(RestPose)"_s && ++restPoses == 1) {
            QTimer::singleShot(0, f->window.get(), [&] {
                f->click(u"cmdOK"); // the same answer, still on screen
                f->agent.completePending();
            });
        }
    };
    f->type(u"9"_s);
    f->click(u"cmdOK");
    QCOMPARE(restPoses, 1);
    QCOMPARE(withPrefix(f->agent.log, u"StopAll"_s).size(), 1);
    QCOMPARE(f->counters(), u"2/1/0/0"_s);
}

void TestDrill::confirmationOfNewQuestionDuringWaitIsJudged()
{
    f->start();
    f->agent.autoComplete = false;
    int restPoses = 0;
    f->agent.onCall = [&](const QString &entry) {
        if (entry == u"Play(RestPose)"_s && ++restPoses == 1) {
            QTimer::singleShot(0, f->window.get(), [&] {
                f->click(u"cmdSkip");
                f->type(f->expectedResult());
                f->click(u"cmdOK"); // a new question: judged, with its own reaction and wait
            });
        } else if (entry == u"Play(RestPose)"_s) {
            QTimer::singleShot(0, f->window.get(), [&] { f->agent.completePending(); });
        }
    };
    f->type(u"9"_s);
    f->click(u"cmdOK");
    QCOMPARE(restPoses, 2);
    // Outer answer correct, skip, nested answer correct; three new questions after the reset's one.
    QCOMPARE(f->counters(), u"4/2/0/1"_s);
}

void TestDrill::waitEndsWhenRestPoseIsInterrupted()
{
    f->start();
    f->agent.autoComplete = false;
    f->agent.onCall = [&](const QString &entry) {
        if (entry == u"Play(RestPose)"_s)
            QTimer::singleShot(0, f->window.get(), [&] { f->agent.character()->StopAll(); });
    };
    f->type(u"9"_s);
    f->click(u"cmdOK");
    QCOMPARE(f->counters(), u"2/1/0/0"_s);
}

void TestDrill::operationChangeResetsScoreAndKeepsLevel()
{
    f->start();
    f->window->findChild<QActionGroup *>(u"mnuQuestionsLevelsLevel"_s)->actions().at(1)->trigger();
    f->agent.character()->visible = false;
    for (int i = 0; i < 3; ++i) {
        f->type(f->expectedResult());
        f->click(u"cmdOK");
    }
    f->type(u"999"_s);
    f->click(u"cmdOK");
    QCOMPARE(f->counters(), u"5/3/1/0"_s);
    f->agent.log.clear();
    f->random.fallback = 0.999;
    f->window->findChild<QAction *>(u"mnuQuestionsSubtraction"_s)->trigger();
    QCOMPARE(f->text(u"lblSign"), QString(QChar(0x2013)));
    QCOMPARE(f->text(u"lblLevel"), u"2"_s);
    QCOMPARE(f->counters(), u"1/0/0/0"_s);
    QCOMPARE(f->text(u"lblNumber1"), u"21"_s); // the top of level 2
    QCOMPARE(f->agent.log, QStringList{u"Play(RestPose)"_s});
}

void TestDrill::levelChangeKeepsOperation()
{
    f->start();
    f->window->findChild<QAction *>(u"mnuQuestionsDivision"_s)->trigger();
    f->random.fallback = 0.999;
    f->window->findChild<QActionGroup *>(u"mnuQuestionsLevelsLevel"_s)->actions().at(2)->trigger();
    QCOMPARE(f->text(u"lblSign"), QString(QChar(0x00F7)));
    QCOMPARE(f->text(u"lblLevel"), u"3"_s);
    QCOMPARE(f->text(u"lblNumber2"), u"8"_s);
    QCOMPARE(f->expectedResult(), u"8"_s);
    QCOMPARE(f->text(u"lblNumber1"), u"64"_s);
}

void TestDrill::choosingTheCurrentOperationStillResets()
{
    f->start();
    f->click(u"cmdSkip");
    f->random.fallback = 0.1;
    f->window->findChild<QAction *>(u"mnuQuestionsAddition"_s)->trigger();
    QCOMPARE(f->counters(), u"1/0/0/0"_s);
    QCOMPARE(f->text(u"lblNumber1"), u"2"_s); // a new question was drawn
}

void TestDrill::menuChoiceDiscardsTypedAnswer()
{
    f->start();
    f->type(f->expectedResult());
    f->window->findChild<QAction *>(u"mnuQuestionsMultiplication"_s)->trigger();
    QCOMPARE(f->counters(), u"1/0/0/0"_s);
    QCOMPARE(f->answerBox()->text(), QString());
    QCOMPARE(withPrefix(f->agent.log, u"Speak"_s), QStringList());
}

void TestDrill::leftClickSpeaksOtherButtonsDoNot()
{
    f->start();
    const QString phrases = u"Ouch!|That tickles|Don't click me|Keep the mouse away from me"_s;
    emit f->agent.Click(u"MyChar"_s, 1, 0, 10, 10);
    emit f->agent.Click(u"MyChar"_s, 1, 0, 10, 10);
    emit f->agent.Click(u"MyChar"_s, 2, 0, 10, 10);
    emit f->agent.Click(u"MyChar"_s, 4, 0, 10, 10);
    QCOMPARE(f->agent.log, (QStringList{speak(phrases), speak(phrases)}));
}

void TestDrill::dragCompleteSpeaks()
{
    f->start();
    emit f->agent.DragComplete(u"MyChar"_s, 2, 1, 300, 200);
    QCOMPARE(f->agent.log,
             QStringList{speak(u"Happy?|I feel much better here|Leave me where I was|"
                               u"What? There's something special about this place?|Leave me alone"_s)});
}

void TestDrill::commands_data()
{
    QTest::addColumn<short>("count");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("level");
    QTest::addColumn<bool>("resets");
    QTest::newRow("reset") << short(1) << u"Reset"_s << u"1"_s << true;
    QTest::newRow("level one") << short(1) << u"LevelOne"_s << u"1"_s << true;
    QTest::newRow("level two") << short(1) << u"LevelTwo"_s << u"2"_s << true;
    QTest::newRow("level three") << short(1) << u"LevelThree"_s << u"3"_s << true;
    QTest::newRow("level four") << short(2) << u"LevelFour"_s << u"4"_s << true;
    QTest::newRow("reset, nothing matched") << short(0) << u"Reset"_s << u"1"_s << false;
    QTest::newRow("exit, nothing matched") << short(0) << u"Exit"_s << u"1"_s << false;
    QTest::newRow("level three, nothing matched") << short(0) << u"LevelThree"_s << u"1"_s << false;
    QTest::newRow("wrong case") << short(1) << u"levelThree"_s << u"1"_s << false;
    QTest::newRow("unknown") << short(1) << u"Hide"_s << u"1"_s << false;
}

void TestDrill::commands()
{
    QFETCH(short, count);
    QFETCH(QString, name);
    QFETCH(QString, level);
    QFETCH(bool, resets);
    f->start();
    f->window->findChild<QAction *>(u"mnuQuestionsDivision"_s)->trigger();
    f->click(u"cmdSkip");
    f->agent.log.clear();
    character::UserInput input;
    input.Count = count;
    input.Name = name;
    emit f->agent.Command(input);
    QCOMPARE(f->text(u"lblLevel"), level);
    QCOMPARE(f->text(u"lblSign"), QString(QChar(0x00F7)));
    QCOMPARE(f->counters(), resets ? u"1/0/0/0"_s : u"2/0/0/1"_s);
    QCOMPARE(f->agent.log, resets ? QStringList{u"Play(RestPose)"_s} : QStringList());
    QVERIFY(f->agent.isLoaded());
}

void TestDrill::exitCommandSaysGoodbyeOnceAndCloses()
{
    f->start();
    f->window->show();
    QSignalSpy closed(f->window.get(), &app::MainWindow::closed);
    character::UserInput input;
    input.Count = 1;
    input.Name = u"Exit"_s;
    emit f->agent.Command(input);
    QCOMPARE(f->agent.log, (QStringList{u"StopAll()"_s, u"Play(Wave)"_s,
                                        speak(u"Good-bye|See you later|So long|Come back soon"_s), u"Hide()"_s,
                                        u"Unload(MyChar)"_s}));
    QCOMPARE(closed.size(), 1);
    QVERIFY(!f->window->isVisible());
    QVERIFY(!f->window->hasEndedAtOnce());
    // The terminate handler's farewell finds no character and does nothing.
    f->window->Form_Terminate();
    QCOMPARE(f->agent.log.size(), 5);
}

void TestDrill::farewellWithName()
{
    f->start();
    f->dialogs.typedText = u"Ann"_s;
    f->window->findChild<QAction *>(u"mnuFileName"_s)->trigger();
    f->agent.completePending();
    f->agent.log.clear();
    f->window->Form_Terminate();
    QCOMPARE(f->agent.log.at(2), speak(u"Good-bye, Ann|See you later, Ann|So long|Come back soon, Ann"_s));
    QVERIFY(!f->agent.isLoaded());
}

void TestDrill::farewellWhileHiddenOnlyUnloads()
{
    f->start();
    f->agent.character()->visible = false;
    f->window->Form_Terminate();
    QCOMPARE(f->agent.log, QStringList{u"Unload(MyChar)"_s});
}

void TestDrill::farewellCutsOffFeedback()
{
    f->start();
    f->agent.autoComplete = false;
    const character::RequestPtr feedback = f->agent.character()->Speak(u"Well done"_s);
    f->agent.autoComplete = true;
    f->window->Form_Terminate();
    QCOMPARE(feedback->status(), character::RequestStatus::Interrupted);
    QCOMPARE(f->agent.log.at(1), u"StopAll()"_s);
}

void TestDrill::farewellEndsWhenHideEndsWithoutHiding()
{
    f->start();
    f->agent.hideNeverHides = true;
    QElapsedTimer clock;
    clock.start();
    f->window->Form_Terminate();
    QVERIFY(clock.elapsed() < 5000);
    QVERIFY(f->agent.log.contains(u"Unload(MyChar)"_s));
}

void TestDrill::farewellWaitIsBounded()
{
    // The character takes the hide but never carries it out, nor ends it.
    f->start();
    f->agent.autoComplete = false;
    f->window->Form_Terminate();
    QVERIFY(f->agent.log.contains(u"Unload(MyChar)"_s));
}

void TestDrill::closeButtonEndsAtOnce()
{
    f->start();
    QSignalSpy ended(f->window.get(), &app::MainWindow::endRequested);
    f->click(u"cmdClose");
    QCOMPARE(ended.size(), 1);
    QVERIFY(f->window->hasEndedAtOnce());
    QCOMPARE(f->agent.log.last(), u"Unload(MyChar)"_s);
    QCOMPARE(f->agent.log.first(), u"StopAll()"_s);
}

void TestDrill::names_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("Sam") << u"Sam"_s << true;
    QTest::newRow("three blanks") << u"   "_s << true;
    QTest::newRow("two letters") << u"Al"_s << false;
    QTest::newRow("cancelled") << QString() << false;
}

void TestDrill::names()
{
    QFETCH(QString, typed);
    QFETCH(bool, accepted);
    f->start();
    f->agent.character()->visible = false; // the handler makes its calls all the same
    f->dialogs.typedText = typed;
    f->window->findChild<QAction *>(u"mnuFileName"_s)->trigger();
    QCOMPARE(f->dialogs.textPrompts, QStringList{u"Enter Name\nWhat is your name?"_s});
    if (accepted) {
        QCOMPARE(f->agent.log, (QStringList{u"Play(Pleased)"_s,
                                            speak(u"Hello, "_s + typed + u". Nice to meet you|Hi there, "_s + typed),
                                            u"Play(RestPose)"_s}));
    } else {
        QCOMPARE(f->agent.log, QStringList());
    }
    // The farewell shows whether the name was kept.
    f->agent.character()->visible = true;
    f->agent.log.clear();
    f->window->Form_Terminate();
    const QString farewell = f->agent.log.at(2);
    QCOMPARE(farewell.contains(u", "_s + typed), accepted);
}

void TestDrill::namedPraiseAfterName()
{
    f->start();
    f->dialogs.typedText = u"Sam"_s;
    f->window->findChild<QAction *>(u"mnuFileName"_s)->trigger();
    f->dialogs.typedText = u"Al"_s; // a later short name forgets the first
    f->window->findChild<QAction *>(u"mnuFileName"_s)->trigger();
    f->agent.log.clear();
    f->type(u"9"_s);
    f->click(u"cmdOK");
    QCOMPARE(f->agent.log.at(2), speak(u"Correct answer|You are right|Well done|Very Good|That is correct"_s));
}

void TestDrill::nameWithBarKeepsPhraseListsWhole()
{
    f->start();
    f->dialogs.typedText = u"Jo|Ann"_s;
    f->window->findChild<QAction *>(u"mnuFileName"_s)->trigger();
    QCOMPARE(f->agent.log.at(1).count(u'|'), 1);
    f->agent.log.clear();
    f->type(u"9"_s);
    f->click(u"cmdOK");
    QCOMPARE(f->agent.log.at(2).count(u'|'), 5);
    QVERIFY(f->agent.log.at(2).contains(u"Jo"_s));
}

void TestDrill::aboutHidesAndRestoresTheCharacter()
{
    f->start();
    f->window->findChild<QAction *>(u"mnuHelpAbout"_s)->trigger();
    QCOMPARE(f->aboutShown, 1);
    QCOMPARE(f->agent.log, (QStringList{u"Hide(fast)"_s, u"Show(fast)"_s}));
    f->agent.log.clear();
    f->agent.character()->visible = false;
    f->window->findChild<QAction *>(u"mnuHelpAbout"_s)->trigger();
    QCOMPARE(f->aboutShown, 2);
    QCOMPARE(f->agent.log, QStringList());
}

QTEST_MAIN(TestDrill)
#include "tst_drill.moc"

// SPDX-License-Identifier: GPL-3.0-or-later
// The drill with the real character component and the real Merlin, on a real X server: start-up
// with the greeting, an answer with its reaction, a menu change, and the Exit command from
// Merlin's own pop-up menu, after which the window closes with Merlin gone.
#include <QAction>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>

#include "app/application.h"
#include "app/enginemodule.h"
#include "app/mainwindow.h"
#include "appfixture.h"
#include "characterdesktop/balloonwindow.h"
#include "characterdesktop/characterwindow.h"
#include "characterdesktop/desktopagent.h"
#include "characterdesktop/desktopcharacter.h"
#include "desktopagents.h"
#include "platform/fonts.h"
#include "quiz/randomsource.h"

using namespace Qt::StringLiterals;

class TestEndToEnd : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void aLessonFromStartToExit();
};

void TestEndToEnd::initTestCase()
{
    platform::installFontSubstitutions();
}

void TestEndToEnd::aLessonFromStartToExit()
{
    // The engines module of the build, found as the program finds it.
    app::EngineModule engines;
    QVERIFY2(engines.load(), qPrintable(engines.errorString()));
    character::DesktopAgent agent;
    app::setUpAgent(agent, engines);
    agent.setTrayIconEnabled(false);
    quiz::ClockSeededRandom random;
    testsupport::FakeOutside outside;
    app::MainWindow window(outside.services(agent, random));
    agent.addHostWindow(&window);

    QVERIFY(window.Form_Load());
    character::DesktopCharacter *merlin = agent.character(u"MyChar"_s);
    QVERIFY(merlin);
    QVERIFY(merlin->Visible());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(testsupport::shownOnScreen(merlin->window()));

    // The greeting is spoken word by word in the balloon.
    QTRY_VERIFY_WITH_TIMEOUT(merlin->balloon()->text().startsWith(u"Welcome."_s), 15000);
    QTRY_VERIFY_WITH_TIMEOUT(merlin->balloon()->text().contains(u"ready?"_s), 20000);

    // A right answer: Merlin reacts, then the next question comes.
    auto *answer = window.findChild<QLineEdit *>(u"txtAnswer"_s);
    const QString expected = answer->property("Tag").toString();
    window.activateWindow();
    answer->setFocus();
    QTest::keyClicks(answer, expected);
    QTest::keyClick(answer, Qt::Key_Return); // returns after the rest pose
    QCOMPARE(window.findChild<QLabel *>(u"lblCorrect"_s)->text(), u"1"_s);
    QCOMPARE(window.findChild<QLabel *>(u"lblTotal"_s)->text(), u"2"_s);
    QCOMPARE(answer->text(), QString());

    // A menu change.
    window.findChild<QAction *>(u"mnuQuestionsMultiplication"_s)->trigger();
    QCOMPARE(window.findChild<QLabel *>(u"lblSign"_s)->text(), QString(QChar(0x00D7)));
    QCOMPARE(window.findChild<QLabel *>(u"lblTotal"_s)->text(), u"1"_s);

    // Exit from Merlin's own pop-up menu: good-bye, then the window closes.
    QSignalSpy closed(&window, &app::MainWindow::closed);
    QTest::mouseClick(merlin->window(), Qt::RightButton, {}, merlin->window()->rect().center());
    QTRY_VERIFY(merlin->menu() && merlin->menu()->isVisible());
    QAction *exit = nullptr;
    for (QAction *action : merlin->menu()->actions()) {
        if (action->data().toString() == u"Exit"_s)
            exit = action;
    }
    QVERIFY(exit);
    QCOMPARE(exit->text(), u"E&xit"_s);
    merlin->menu()->hide();
    exit->trigger();
    QCOMPARE(closed.size(), 1);
    QVERIFY(!window.isVisible());
    QVERIFY(!agent.character(u"MyChar"_s));
    // The terminate handler's farewell finds nothing left to do.
    window.Form_Terminate();
}

QTEST_MAIN(TestEndToEnd)
#include "tst_endtoend.moc"

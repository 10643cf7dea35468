// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QMouseEvent>
#include <QProcess>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

#include "characterdesktop/balloonwindow.h"
#include "characterdesktop/characterwindow.h"
#include "characterdesktop/desktopagent.h"
#include "desktopagents.h"

using namespace Qt::StringLiterals;
using namespace character;

namespace {

// Two monitors side by side on one X screen of 2304x1024, as xrandr makes them: what Qt sees
// on a laptop with a second screen plugged in.
const QRect leftMonitor(0, 0, 1280, 1024);
const QRect rightMonitor(1280, 0, 1024, 768);

bool xrandr(const QStringList &arguments)
{
    return QProcess::execute(u"xrandr"_s, arguments) == 0;
}

void plugInRightMonitor()
{
    xrandr({u"--setmonitor"_s, u"left"_s, u"1280/338x1024/270+0+0"_s, u"screen"_s});
    xrandr({u"--setmonitor"_s, u"right"_s, u"1024/270x768/203+1280+0"_s, u"none"_s});
}

QScreen *screenNamed(const QString &name)
{
    for (QScreen *screen : QGuiApplication::screens()) {
        if (screen->name() == name)
            return screen;
    }
    return nullptr;
}

void sendMouse(QWidget *window, QEvent::Type type, QPoint global)
{
    const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, window->mapFromGlobal(QPointF(global)), QPointF(global),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(window, &event);
}

} // namespace

class TestScreens : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<DesktopAgent> m_agent;
    std::unique_ptr<QWidget> m_main;

    DesktopCharacter *showBeside(const QRect &mainGeometry)
    {
        m_main = std::make_unique<QWidget>();
        m_main->setWindowTitle(u"Program"_s);
        m_main->setGeometry(mainGeometry);
        m_agent = testsupport::quietAgent(QStringLiteral(ZUMBREL_TEST_DATA));
        m_agent->Characters().Load(u"MyChar"_s, u"Blob.acs"_s);
        DesktopCharacter *character = m_agent->character(u"MyChar"_s);
        // As the program does it: the character first, then the main window.
        character->Show(true);
        m_main->show();
        return character;
    }

private slots:
    void init()
    {
        if (!screenNamed(u"right"_s))
            plugInRightMonitor();
        QTRY_VERIFY(screenNamed(u"left"_s) && screenNamed(u"right"_s));
        QCOMPARE(QGuiApplication::screens().size(), 2);
    }

    void cleanup()
    {
        m_agent.reset();
        m_main.reset();
    }

    void startsOnTheMainWindowsScreen_data()
    {
        QTest::addColumn<QRect>("mainGeometry");
        QTest::addColumn<QString>("screen");
        QTest::newRow("main window on the left monitor") << QRect(200, 300, 400, 300) << u"left"_s;
        QTest::newRow("main window on the right monitor") << QRect(1400, 200, 400, 300) << u"right"_s;
        // No room to its right on that monitor: he stands on its left, still on the same one.
        QTest::newRow("main window at the right monitor's edge") << QRect(1850, 300, 400, 300) << u"right"_s;
        QTest::newRow("main window at the left monitor's edge") << QRect(850, 300, 420, 300) << u"left"_s;
    }

    void startsOnTheMainWindowsScreen()
    {
        QFETCH(QRect, mainGeometry);
        QFETCH(QString, screen);
        DesktopCharacter *character = showBeside(mainGeometry);
        QVERIFY(QTest::qWaitForWindowExposed(m_main.get()));
        QVERIFY(testsupport::shownOnScreen(character->window()));
        const QRect placed = character->window()->frameGeometry();
        QVERIFY2(screenNamed(screen)->availableGeometry().contains(placed),
                 qPrintable(u"%1,%2 %3x%4"_s.arg(placed.x()).arg(placed.y()).arg(placed.width()).arg(placed.height())));
        QVERIFY(!placed.intersects(m_main->frameGeometry()));
    }

    void draggedToTheOtherScreen()
    {
        DesktopCharacter *character = showBeside(QRect(200, 300, 400, 300));
        CharacterWindow *window = character->window();
        QVERIFY(testsupport::shownOnScreen(window));
        QSignalSpy dragged(m_agent.get(), &Agent::DragComplete);
        const QPoint grab = window->mapToGlobal(QPoint(60, 100));
        const QPoint drop(1700, 400);
        sendMouse(window, QEvent::MouseButtonPress, grab);
        sendMouse(window, QEvent::MouseMove, (grab + drop) / 2);
        sendMouse(window, QEvent::MouseMove, drop);
        sendMouse(window, QEvent::MouseButtonRelease, drop);
        QCOMPARE(dragged.size(), 1);
        QVERIFY(rightMonitor.contains(window->frameGeometry()));
        // He stays where he was dropped, the grabbed point under the pointer.
        QCOMPARE(window->mapToGlobal(QPoint(60, 100)), drop);
        QTRY_COMPARE(window->screen()->name(), u"right"_s);
        // Drawn afresh for that screen's scale (set per screen with QT_SCREEN_SCALE_FACTORS).
        QTRY_COMPARE(window->frame().devicePixelRatio(), window->screen()->devicePixelRatio());
        QVERIFY(!window->shapeInDevicePixels().isEmpty());
    }

    void unpluggingHisScreenBringsHimBack()
    {
        DesktopCharacter *character = showBeside(QRect(200, 300, 400, 300));
        CharacterWindow *window = character->window();
        QVERIFY(testsupport::shownOnScreen(window));
        window->moveWithinWorkArea(QPoint(2100, 500));
        QVERIFY(rightMonitor.contains(window->frameGeometry()));
        QSignalSpy removed(qApp, &QGuiApplication::screenRemoved);
        QVERIFY(xrandr({u"--delmonitor"_s, u"right"_s}));
        QTRY_COMPARE(removed.size(), 1);
        QTRY_VERIFY2(leftMonitor.contains(window->frameGeometry()),
                     qPrintable(u"at %1,%2"_s.arg(window->x()).arg(window->y())));
        QVERIFY(window->isVisible());
        // What he says shows on the screen he is on now.
        character->Speak(u"Here I am again"_s);
        QTRY_VERIFY(character->balloon()->isVisible());
        QVERIFY(leftMonitor.contains(character->balloon()->frameGeometry()));
    }
};

QTEST_MAIN(TestScreens)
#include "tst_screens.moc"

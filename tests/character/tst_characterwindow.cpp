// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QLineEdit>
#include <QScreen>
#include <QTest>

#include "characterdesktop/balloonwindow.h"
#include "characterdesktop/characterwindow.h"
#include "characterdesktop/desktopagent.h"
#include "desktopagents.h"

#include <xcb/xcb.h>

using namespace Qt::StringLiterals;
using namespace character;

// Placement and shaping on a real X server (Xvfb, no window manager and no compositor).
class TestCharacterWindow : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<DesktopAgent> m_agent;
    std::unique_ptr<QWidget> m_main;

    DesktopCharacter *load()
    {
        m_agent = testsupport::quietAgent(QStringLiteral(ZUMBREL_TEST_DATA));
        m_agent->Characters().Load(u"MyChar"_s, u"Blob.acs"_s);
        return m_agent->character(u"MyChar"_s);
    }

    QWidget *mainWindow(const QRect &geometry)
    {
        m_main = std::make_unique<QWidget>();
        m_main->setWindowTitle(u"Program"_s);
        m_main->setGeometry(geometry);
        if (m_agent)
            m_agent->addHostWindow(m_main.get());
        return m_main.get();
    }

    static xcb_atom_t atom(xcb_connection_t *connection, const char *name)
    {
        xcb_intern_atom_reply_t *reply
            = xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, uint16_t(qstrlen(name)), name), nullptr);
        const xcb_atom_t result = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        free(reply);
        return result;
    }

private slots:
    void cleanup()
    {
        m_agent.reset();
        m_main.reset();
    }

    void placedBesideTheMainWindow_data()
    {
        QTest::addColumn<QRect>("mainGeometry");
        QTest::addColumn<QString>("side");
        QTest::newRow("room on the right") << QRect(100, 200, 400, 300) << u"right"_s;
        QTest::newRow("right edge of the screen") << QRect(850, 200, 400, 300) << u"left"_s;
        QTest::newRow("filling the screen") << QRect(0, 0, 1280, 1024) << u"inside"_s;
        QTest::newRow("off the bottom") << QRect(300, 900, 400, 300) << u"right"_s;
    }

    void placedBesideTheMainWindow()
    {
        QFETCH(QRect, mainGeometry);
        QFETCH(QString, side);
        DesktopCharacter *character = load();
        QWidget *main = mainWindow(mainGeometry);
        // As the program does it: the character is shown before the main window.
        character->Show(true);
        main->show();
        QVERIFY(QTest::qWaitForWindowExposed(main));
        QVERIFY(testsupport::shownOnScreen(character->window()));
        const QRect frame = main->frameGeometry();
        const QRect placed = character->window()->frameGeometry();
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY2(area.contains(placed), qPrintable(u"%1,%2 %3x%4"_s.arg(placed.x()).arg(placed.y()).arg(placed.width()).arg(placed.height())));
        if (side == u"right")
            QVERIFY(placed.left() > frame.right() && placed.left() - frame.right() < 20);
        else if (side == u"left")
            QVERIFY(placed.right() < frame.left() && frame.left() - placed.right() < 20);
        QVERIFY(character->isPlacementSettled());

        // Once settled, other windows (say, a dialog) do not move it.
        QWidget other;
        other.setGeometry(10, 10, 200, 100);
        other.show();
        QVERIFY(QTest::qWaitForWindowExposed(&other));
        QCOMPARE(character->window()->frameGeometry(), placed);
    }

    void draggingStaysInTheWorkArea()
    {
        DesktopCharacter *character = load();
        character->Show(true);
        QVERIFY(testsupport::shownOnScreen(character->window()));
        character->window()->moveWithinWorkArea(QPoint(5000, -300));
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY(area.contains(character->window()->frameGeometry()));
        QCOMPARE(character->window()->frameGeometry().right(), area.right());
        QCOMPARE(character->window()->frameGeometry().top(), area.top());
    }

    // Task bars and pagers are told to leave the character out, before he is first mapped; until
    // he is shown, the program has made no native window for him at all.
    void keptOutOfTheTaskBar()
    {
        DesktopCharacter *character = load();
        QVERIFY(!character->window()->testAttribute(Qt::WA_WState_Created));
        character->Show(true);
        QVERIFY(testsupport::shownOnScreen(character->window()));
        auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
        QVERIFY(x11 && x11->connection());
        xcb_connection_t *connection = x11->connection();
        xcb_get_property_reply_t *reply
            = xcb_get_property_reply(connection,
                                     xcb_get_property(connection, 0, xcb_window_t(character->window()->winId()),
                                                      atom(connection, "_NET_WM_STATE"), XCB_ATOM_ATOM, 0, 32),
                                     nullptr);
        QVERIFY(reply);
        const auto *states = static_cast<const xcb_atom_t *>(xcb_get_property_value(reply));
        const QList<xcb_atom_t> list(states, states + xcb_get_property_value_length(reply) / 4);
        free(reply);
        QVERIFY(list.contains(atom(connection, "_NET_WM_STATE_SKIP_TASKBAR")));
        QVERIFY(list.contains(atom(connection, "_NET_WM_STATE_SKIP_PAGER")));
    }

    void balloonStandsClearOfTheCharacter_data()
    {
        QTest::addColumn<QPoint>("characterAt");
        QTest::addColumn<bool>("above");
        QTest::newRow("room above") << QPoint(600, 500) << true;
        QTest::newRow("top of the screen") << QPoint(600, 0) << false;
        QTest::newRow("right edge") << QPoint(1200, 500) << true;
    }

    void balloonStandsClearOfTheCharacter()
    {
        QFETCH(QPoint, characterAt);
        QFETCH(bool, above);
        DesktopCharacter *character = load();
        character->Show(true);
        QVERIFY(testsupport::shownOnScreen(character->window()));
        character->window()->moveWithinWorkArea(characterAt);
        character->Speak(u"The correct answer is twelve, well done"_s);
        BalloonWindow *balloon = character->balloon();
        QTRY_VERIFY_WITH_TIMEOUT(balloon->isVisible(), 3000);
        QVERIFY(QTest::qWaitForWindowExposed(balloon));
        const QRect body = character->window()->frameGeometry();
        const QRect bubble = balloon->frameGeometry();
        QVERIFY(QGuiApplication::primaryScreen()->availableGeometry().contains(bubble));
        // Only the tail may reach a few pixels into the character's (transparent) margin.
        if (above)
            QVERIFY(bubble.bottom() <= body.top() + 8);
        else
            QVERIFY(bubble.top() >= body.bottom() - 8);
        QVERIFY(!balloon->shapeInDevicePixels().isEmpty());
    }

    void translucentWindowsAreNotShaped()
    {
        m_agent = testsupport::quietAgent(QStringLiteral(ZUMBREL_TEST_DATA));
        m_agent->setTranslucentWindows(true);
        m_agent->Characters().Load(u"MyChar"_s, u"Blob.acs"_s);
        DesktopCharacter *character = m_agent->character(u"MyChar"_s);
        character->Show(true);
        QVERIFY(testsupport::shownOnScreen(character->window()));
        QVERIFY(character->window()->isTranslucent());
        QVERIFY(character->window()->testAttribute(Qt::WA_TranslucentBackground));
        QVERIFY(character->window()->shapeInDevicePixels().isEmpty());
    }

    void windowIsShapedAndKeepsOutOfTheWay()
    {
        DesktopCharacter *character = load();
        QWidget *main = mainWindow(QRect(100, 100, 300, 200));
        auto *edit = new QLineEdit(main);
        main->show();
        main->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(main));
        edit->setFocus();
        character->Show(true);
        CharacterWindow *window = character->window();
        QVERIFY(testsupport::shownOnScreen(window));

        const Qt::WindowFlags flags = window->windowFlags();
        QVERIFY(flags.testFlag(Qt::FramelessWindowHint));
        QVERIFY(flags.testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(flags.testFlag(Qt::WindowDoesNotAcceptFocus));
        QCOMPARE(window->windowType(), Qt::Tool);
        QVERIFY(window->testAttribute(Qt::WA_ShowWithoutActivating));
        QVERIFY(!window->testAttribute(Qt::WA_QuitOnClose));
        QTest::qWait(200);
        QCOMPARE(QApplication::activeWindow(), main);
        QVERIFY(edit->hasFocus());

        // No compositor here: only the character's own pixels belong to the window.
        QVERIFY(!desktopHasCompositor());
        QVERIFY(!window->isTranslucent());
        const QRegion rest = window->shapeInDevicePixels();
        QVERIFY(!rest.isEmpty());
        QVERIFY(rest.contains(QPoint(60, 100)));  // body
        QVERIFY(!rest.contains(QPoint(2, 2)));    // beside the head
        QVERIFY(!rest.contains(QPoint(106, 26))); // the hidden star
        // A new frame brings a new shape.
        const RequestPtr attention = character->Play(u"GetAttention"_s);
        QTRY_COMPARE_WITH_TIMEOUT(attention->Status(), 0, 3000);
        QVERIFY(window->shapeInDevicePixels() != rest);
        QVERIFY(window->shapeInDevicePixels().contains(QPoint(106, 26)));
    }
};

QTEST_MAIN(TestCharacterWindow)
#include "tst_characterwindow.moc"

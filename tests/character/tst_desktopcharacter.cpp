// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "character/readingtimespeech.h"
#include "characterdesktop/balloonwindow.h"
#include "characterdesktop/characterwindow.h"
#include "characterdesktop/desktopagent.h"
#include "characterdesktop/listeningtip.h"
#include "desktopagents.h"

using namespace Qt::StringLiterals;
using namespace character;

namespace {

// Speech that records what it was asked to say and ends on the next turn of the event loop.
class InstantSpeech final : public SpeechEngine
{
public:
    explicit InstantSpeech(QStringList *said)
        : m_said(said)
    {
    }
    void speak(const QString &text, const VoiceSettings &) override
    {
        *m_said << text;
        emit wordStarted(0, text);
        QTimer::singleShot(0, this, [this] { emit finished(); });
    }
    void stop() override {}

private:
    QStringList *m_said;
};

// Records the sounds it is asked to play and how often all were stopped.
struct SoundLog
{
    QStringList played;
    int stops = 0;
};

class RecordingSounds final : public SoundPlayer
{
public:
    explicit RecordingSounds(SoundLog *log)
        : m_log(log)
    {
    }
    void play(const QString &path) override { m_log->played << QFileInfo(path).fileName(); }
    void stopAll() override { ++m_log->stops; }

private:
    SoundLog *m_log;
};

class FakeRecognizer final : public CommandRecognizer
{
public:
    void setCommands(const QList<VoiceCommand> &commands) override { m_commands = commands; }
    void startListening() override {}
    void stopListening() override {}
    bool isAvailable() const override { return true; }
    void hear(const UserInput &input) { emit heard(input); }
    QList<VoiceCommand> m_commands;
};

QString statuses(const QList<RequestPtr> &requests)
{
    QString s;
    for (const RequestPtr &r : requests)
        s += QString::number(r->Status());
    return s;
}

// The pointer at a point of the screen, as the window sees it wherever it stands by now.
void sendMouse(QWidget *window, QEvent::Type type, Qt::MouseButton button, QPoint globalPoint,
               Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    const QPointF global(globalPoint);
    const QPointF local = window->mapFromGlobal(global);
    const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent event(type, local, global, type == QEvent::MouseMove ? Qt::NoButton : button, buttons,
                      modifiers);
    QApplication::sendEvent(window, &event);
}

} // namespace

class TestDesktopCharacter : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<DesktopAgent> m_agent;
    std::shared_ptr<Character> m_character;
    DesktopCharacter *m_desktop = nullptr;
    QStringList m_said;
    SoundLog m_sounds;
    int m_soundPlayersMade = 0;

    // Speech ends quickly so the queue tests stay short; the reading-time engine has its own test.
    void load(SpeechEngineFactory speech = {})
    {
        m_agent = testsupport::quietAgent(QStringLiteral(ZUMBREL_TEST_DATA));
        m_agent->setTranslucentWindows(false);
        m_agent->setRandomSeed(42);
        m_said.clear();
        m_agent->setSpeechEngineFactory(speech ? speech : [this] { return std::make_unique<InstantSpeech>(&m_said); });
        const RequestPtr loaded = m_agent->Characters().Load(u"MyChar"_s, u"Blob.acs"_s);
        QCOMPARE(loaded->Status(), 0);
        m_character = m_agent->Characters().Item(u"MyChar"_s);
        m_desktop = m_agent->character(u"MyChar"_s);
    }

    // The animations the character shows, in order and each once, until the request has ended.
    QStringList animationsUntilEnded(const RequestPtr &request)
    {
        QStringList played;
        const bool ended = QTest::qWaitFor(
            [&] {
                const QString now = m_desktop->currentAnimation();
                if (!now.isEmpty() && (played.isEmpty() || played.last() != now))
                    played << now;
                return request->hasEnded();
            },
            8000);
        if (!ended)
            played << u"(still running)"_s;
        return played;
    }

private slots:
    void cleanup()
    {
        m_character.reset();
        m_agent.reset();
    }

    void requestsRunInCallOrder()
    {
        load();
        QList<RequestPtr> requests{m_character->Show(), m_character->Play(u"Greet"_s), m_character->Speak(u"Hello there"_s),
                                   m_character->Play(u"Wave"_s), m_character->Play(u"RestPose"_s)};
        // The show starts at once; the rest wait their turn.
        QCOMPARE(statuses(requests), u"42222"_s);
        QVERIFY(m_character->Visible());
        QString seen = statuses(requests);
        QStringList history{seen};
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                const QString now = statuses(requests);
                if (now != history.last())
                    history << now;
                return now == u"00000"_s;
            }(),
            10000);
        // At every moment: ended requests, then at most one in progress, then pending ones.
        static const QRegularExpression ordered(u"^0*4?2*$"_s);
        for (const QString &state : std::as_const(history))
            QVERIFY2(ordered.match(state).hasMatch(), qPrintable(history.join(u' ')));
        QCOMPARE(m_said, QStringList{u"Hello there"_s});
    }

    void stopAllInterruptsCurrentAndQueued_data()
    {
        QTest::addColumn<int>("waitMs");
        QTest::newRow("mid-animation") << 250;
        QTest::newRow("at once") << 0;
    }

    void stopAllInterruptsCurrentAndQueued()
    {
        QFETCH(int, waitMs);
        load();
        m_character->Show(true);
        QList<RequestPtr> requests{m_character->Play(u"Explain"_s), m_character->Speak(u"One|Two"_s),
                                   m_character->Play(u"Wave"_s)};
        QTest::qWait(waitMs);
        QCOMPARE(statuses(requests), u"422"_s);
        m_character->StopAll();
        QCOMPARE(statuses(requests), u"333"_s);
        // Back in the rest pose at once, and nothing plays on.
        QCOMPARE(m_desktop->pose(), m_desktop->data().neutralPose());
        QVERIFY(m_desktop->currentAnimation().isEmpty());
        QTest::qWait(300);
        QCOMPARE(statuses(requests), u"333"_s);
        QVERIFY(m_said.isEmpty());
        QVERIFY(m_character->Visible());
        // The queue works on afterwards.
        const RequestPtr after = m_character->Play(u"Pleased"_s);
        QTRY_COMPARE_WITH_TIMEOUT(after->Status(), 0, 5000);
    }

    void stopAllDuringSpeechHidesTheBalloon()
    {
        load([] {
            auto speech = std::make_unique<ReadingTimeSpeech>();
            speech->setWordMs(150);
            return speech;
        });
        m_character->Show(true);
        const RequestPtr speak = m_character->Speak(u"a rather long sentence to read"_s);
        QTRY_VERIFY_WITH_TIMEOUT(m_desktop->balloon()->isVisible(), 2000);
        m_character->StopAll();
        QCOMPARE(speak->Status(), 3);
        QVERIFY(!m_desktop->balloon()->isVisible());
        const QString shown = m_desktop->balloon()->text();
        QTest::qWait(400);
        QCOMPARE(m_desktop->balloon()->text(), shown);
    }

    void visibleFollowsShowAndHide()
    {
        load();
        QVERIFY(!m_character->Visible());
        QVERIFY(!m_desktop->window()->isVisible());
        const RequestPtr show = m_character->Show();
        QVERIFY(m_character->Visible());
        // The window comes out on the next turn of the event loop.
        QVERIFY(!m_desktop->window()->isVisible());
        QTRY_VERIFY(m_desktop->window()->isVisible());
        const RequestPtr hide = m_character->Hide();
        // Visible until the hide is carried out, after its animation.
        QVERIFY(m_character->Visible());
        QTRY_COMPARE_WITH_TIMEOUT(show->Status(), 0, 3000);
        QVERIFY(m_character->Visible());
        QTRY_VERIFY_WITH_TIMEOUT(!m_character->Visible(), 3000);
        QCOMPARE(hide->Status(), 0);
        QVERIFY(!m_desktop->window()->isVisible());

        // Behind other requests, a show takes effect only when its turn comes.
        m_character->Show(true);
        m_character->Play(u"Greet"_s);
        const RequestPtr fastHide = m_character->Hide(true);
        const RequestPtr showAgain = m_character->Show(true);
        QVERIFY(m_character->Visible());
        QTRY_COMPARE_WITH_TIMEOUT(fastHide->Status(), 0, 3000);
        QCOMPARE(showAgain->Status(), 0);
        QVERIFY(m_character->Visible());
        m_character->Hide(true);
        QVERIFY(!m_character->Visible());
    }

    void visibilityEventsSayWhoHidTheCharacter_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("byUser");
        QTest::newRow("the child, from the menu") << u"menu"_s << true;
        QTest::newRow("the child, while busy") << u"menu while busy"_s << true;
        QTest::newRow("the program") << u"Hide"_s << false;
        QTest::newRow("the program, at once") << u"Hide(true)"_s << false;
    }

    void visibilityEventsSayWhoHidTheCharacter()
    {
        QFETCH(QString, how);
        QFETCH(bool, byUser);
        load();
        QSignalSpy changes(m_agent.get(), &Agent::visibleChanged);
        m_character->Show(true);
        QCOMPARE(changes.size(), 1);
        QCOMPARE(changes.takeFirst(), (QVariantList{u"MyChar"_s, true, false}));
        if (how.startsWith(u"menu"_s)) {
            if (how.endsWith(u"busy"_s))
                m_character->Play(u"Explain"_s);
            m_desktop->openMenu(m_desktop->window()->mapToGlobal(QPoint(60, 100)));
            m_desktop->menu()->findChild<QAction *>(u"hideAction"_s)->trigger();
        } else {
            m_character->Hide(how.contains(u"true"_s));
        }
        QTRY_VERIFY_WITH_TIMEOUT(!m_character->Visible(), 3000);
        QCOMPARE(changes.size(), 1);
        QCOMPARE(changes.takeFirst(), (QVariantList{u"MyChar"_s, false, byUser}));
        // Shown again, and hidden by the program afterwards: no longer the child's doing.
        m_character->Show(true);
        m_character->Hide(true);
        QCOMPARE(changes.size(), 2);
        QCOMPARE(changes.at(1), (QVariantList{u"MyChar"_s, false, false}));
    }

    void survivesTheApplicationClosingItsWindows()
    {
        // Quitting closes every window, and the program says good-bye after that.
        load();
        m_character->Show(true);
        QTRY_VERIFY(m_desktop->window()->isVisible());
        const QPoint place = m_desktop->window()->pos();
        QVERIFY(m_desktop->window()->close());
        QVERIFY(!m_desktop->window()->isVisible());
        QTRY_VERIFY(m_desktop->window()->isVisible());
        QCOMPARE(m_desktop->window()->pos(), place);
        QVERIFY(m_character->Visible());
        // A hidden character stays hidden.
        m_character->Hide(true);
        m_desktop->window()->close();
        QTest::qWait(50);
        QVERIFY(!m_desktop->window()->isVisible());
    }

    void callsOnHiddenCharacterFail_data()
    {
        QTest::addColumn<QString>("call");
        QTest::newRow("play") << u"play"_s;
        QTest::newRow("speak") << u"speak"_s;
        QTest::newRow("hide") << u"hide"_s;
        QTest::newRow("unknown animation") << u"unknown"_s;
    }

    void callsOnHiddenCharacterFail()
    {
        QFETCH(QString, call);
        load();
        RequestPtr request;
        if (call == u"play")
            request = m_character->Play(u"Greet"_s);
        else if (call == u"speak")
            request = m_character->Speak(u"Hello"_s);
        else if (call == u"hide")
            request = m_character->Hide();
        else
            request = m_character->Play(u"NoSuchAnimation"_s);
        QCOMPARE(request->Status(), 1);
        QVERIFY(request->hasEnded());
        QVERIFY(!m_character->Visible());
        QVERIFY(!m_desktop->window()->isVisible());
        QVERIFY(!m_desktop->balloon()->isVisible());
        QVERIFY(m_said.isEmpty());
    }

    void unknownAnimationFailsAndQueueGoesOn()
    {
        load();
        m_character->Show(true);
        const RequestPtr wrong = m_character->Play(u"Dance"_s);
        const RequestPtr next = m_character->Play(u"Blink"_s);
        QCOMPARE(wrong->Status(), 1);
        QTRY_COMPARE_WITH_TIMEOUT(next->Status(), 0, 3000);
    }

    void returnAnimationJoinsHeldPose()
    {
        load();
        m_character->Show(true);
        m_character->Play(u"GetAttention"_s);
        const RequestPtr wave = m_character->Play(u"Wave"_s);
        QCOMPARE(animationsUntilEnded(wave), (QStringList{u"GetAttention"_s, u"GetAttentionReturn"_s, u"Wave"_s}));
        // The return animation played by the program itself is not doubled.
        m_character->Play(u"GetAttention"_s);
        const RequestPtr back = m_character->Play(u"GetAttentionReturn"_s);
        QCOMPARE(animationsUntilEnded(back), (QStringList{u"GetAttention"_s, u"GetAttentionReturn"_s}));

        // The character also comes back to rest before it leaves.
        m_character->Play(u"GetAttention"_s);
        const RequestPtr hide = m_character->Hide();
        QCOMPARE(animationsUntilEnded(hide), (QStringList{u"GetAttention"_s, u"GetAttentionReturn"_s, u"Hiding"_s}));
        QCOMPARE(hide->Status(), 0);
        QVERIFY(!m_character->Visible());
    }

    void speakPicksOneAlternative()
    {
        load();
        m_character->Show(true);
        const QStringList alternatives{u"Ouch!"_s, u"That tickles"_s, u"Don't click me"_s};
        RequestPtr last;
        for (int i = 0; i < 30; ++i)
            last = m_character->Speak(u"Ouch!||That tickles|Don't click me| "_s);
        QTRY_COMPARE_WITH_TIMEOUT(last->Status(), 0, 10000);
        QCOMPARE(m_said.size(), 30);
        for (const QString &said : std::as_const(m_said))
            QVERIFY2(alternatives.contains(said), qPrintable(said));
        QCOMPARE(QSet<QString>(m_said.begin(), m_said.end()).size(), 3);

        // The same seed picks the same phrases.
        const QStringList first = m_said;
        load();
        m_character->Show(true);
        for (int i = 0; i < 30; ++i)
            last = m_character->Speak(u"Ouch!||That tickles|Don't click me| "_s);
        QTRY_COMPARE_WITH_TIMEOUT(last->Status(), 0, 10000);
        QCOMPARE(m_said, first);
    }

    void readingTimeSpeechShowsWordByWord()
    {
        load([] {
            auto speech = std::make_unique<ReadingTimeSpeech>();
            speech->setWordMs(120);
            speech->setTrailingMs(200);
            return speech;
        });
        m_character->Show(true);
        const RequestPtr speak = m_character->Speak(u"The correct answer is 12"_s);
        QStringList shown;
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                const QString now = m_desktop->balloon()->isVisible() ? m_desktop->balloon()->text() : QString();
                if (!now.isEmpty() && (shown.isEmpty() || shown.last() != now))
                    shown << now;
                return speak->hasEnded();
            }(),
            5000);
        QCOMPARE(speak->Status(), 0);
        QCOMPARE(shown, (QStringList{u"The"_s, u"The correct"_s, u"The correct answer"_s, u"The correct answer is"_s,
                                     u"The correct answer is 12"_s}));
        // The balloon goes away shortly after.
        QTRY_VERIFY_WITH_TIMEOUT(!m_desktop->balloon()->isVisible(), 2000);
    }

    void clickAndDragRaiseEvents_data()
    {
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<int>("distance");
        QTest::addColumn<int>("clickButton"); // 0: no click expected
        QTest::addColumn<bool>("drag");
        QTest::newRow("left click") << Qt::LeftButton << 0 << 1 << false;
        QTest::newRow("left click with a tremble") << Qt::LeftButton << 2 << 1 << false;
        QTest::newRow("left drag") << Qt::LeftButton << 60 << 0 << true;
        QTest::newRow("middle click") << Qt::MiddleButton << 0 << 4 << false;
    }

    void clickAndDragRaiseEvents()
    {
        QFETCH(Qt::MouseButton, button);
        QFETCH(int, distance);
        QFETCH(int, clickButton);
        QFETCH(bool, drag);
        load();
        m_character->Show(true);
        QTRY_VERIFY(m_desktop->window()->isVisible());
        QSignalSpy clicks(m_agent.get(), &Agent::Click);
        QSignalSpy drags(m_agent.get(), &Agent::DragComplete);
        CharacterWindow *window = m_desktop->window();
        window->move(300, 300);
        const QPoint start = window->pos();
        const QPoint at = window->mapToGlobal(QPoint(60, 100));
        sendMouse(window, QEvent::MouseButtonPress, button, at, Qt::ShiftModifier);
        sendMouse(window, QEvent::MouseMove, button, at + QPoint(distance / 2, 0), Qt::ShiftModifier);
        sendMouse(window, QEvent::MouseMove, button, at + QPoint(distance, distance / 2), Qt::ShiftModifier);
        sendMouse(window, QEvent::MouseButtonRelease, button, at + QPoint(distance, distance / 2), Qt::ShiftModifier);
        QCOMPARE(clicks.size(), clickButton ? 1 : 0);
        QCOMPARE(drags.size(), drag ? 1 : 0);
        const QList<QVariant> args = clickButton ? clicks.first() : drags.first();
        QCOMPARE(args.at(0).toString(), u"MyChar"_s);
        QCOMPARE(args.at(1).value<short>(), short(clickButton ? clickButton : 1));
        QCOMPARE(args.at(2).value<short>(), short(1)); // Shift
        if (drag) {
            QCOMPARE(window->pos(), start + QPoint(distance, distance / 2));
            QVERIFY(m_desktop->isPlacementSettled());
        } else {
            QCOMPARE(window->pos(), start);
        }
        const QPoint pointer = at + QPoint(distance, distance / 2);
        QCOMPARE(QPoint(args.at(3).value<short>(), args.at(4).value<short>()), pointer);
    }

    void menuListsHideThenCommands()
    {
        load();
        m_character->Show(true);
        CommandCollection &commands = m_character->Commands();
        commands.Add(u"Reset"_s, u"&Reset"_s, u"Reset ..."_s, true, true);
        commands.Add(u"Secret"_s, u"&Secret"_s, u"secret"_s, true, false);
        commands.Add(u"VoiceOnly"_s, QString(), u"voice only"_s, true, true);
        commands.Add(u"LevelOne"_s, u"Level &One"_s, u"... One"_s, false, true);
        commands.Add(u"Exit"_s, u"E&xit"_s, u"Exit ..."_s, true, true);
        QSignalSpy chosen(m_agent.get(), &Agent::Command);
        QSignalSpy clicks(m_agent.get(), &Agent::Click);

        sendMouse(m_desktop->window(), QEvent::MouseButtonPress, Qt::RightButton, m_desktop->window()->mapToGlobal(QPoint(60, 100)));
        sendMouse(m_desktop->window(), QEvent::MouseButtonRelease, Qt::RightButton, m_desktop->window()->mapToGlobal(QPoint(60, 100)));
        QMenu *menu = m_desktop->menu();
        QVERIFY(menu);
        QTRY_VERIFY(menu->isVisible());
        QCOMPARE(clicks.size(), 0);
        const QList<QAction *> actions = menu->actions();
        QStringList texts;
        for (QAction *action : actions)
            texts << (action->isSeparator() ? u"-"_s : action->text());
        QCOMPARE(texts, (QStringList{u"&Hide"_s, u"&Listen"_s, u"-"_s, u"&Reset"_s, u"Level &One"_s, u"E&xit"_s}));
        QVERIFY(actions.at(3)->isEnabled());
        QVERIFY(!actions.at(4)->isEnabled());

        actions.at(5)->trigger();
        QCOMPARE(chosen.size(), 1);
        const auto input = chosen.first().first().value<UserInput>();
        QCOMPARE(input.Count, short(1));
        QCOMPARE(input.Name, u"Exit"_s);
        QCOMPARE(input.Confidence, short(100));
        QCOMPARE(input.CharacterID, u"MyChar"_s);
        menu->hide();

        // The component's own entry hides the character, cutting short what it was doing.
        const RequestPtr busy = m_character->Play(u"Explain"_s);
        sendMouse(m_desktop->window(), QEvent::MouseButtonPress, Qt::RightButton, m_desktop->window()->mapToGlobal(QPoint(60, 100)));
        m_desktop->menu()->actions().first()->trigger();
        QCOMPARE(busy->Status(), 3);
        QTRY_VERIFY_WITH_TIMEOUT(!m_character->Visible(), 3000);
        QCOMPARE(chosen.size(), 1);
    }

    void menuOpensFromTheKeyboard_data()
    {
        QTest::addColumn<QString>("where");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("opens");
        const int none = Qt::NoModifier;
        QTest::newRow("Menu key on him") << u"character"_s << int(Qt::Key_Menu) << none << true;
        QTest::newRow("Shift+F10 on him") << u"character"_s << int(Qt::Key_F10) << int(Qt::ShiftModifier) << true;
        QTest::newRow("F10 alone on him") << u"character"_s << int(Qt::Key_F10) << none << false;
        QTest::newRow("Menu key in the program") << u"program"_s << int(Qt::Key_Menu) << none << true;
        QTest::newRow("Shift+F10 in the program") << u"program"_s << int(Qt::Key_F10) << int(Qt::ShiftModifier) << true;
        QTest::newRow("Ctrl+F10 in the program") << u"program"_s << int(Qt::Key_F10) << int(Qt::ControlModifier) << false;
        QTest::newRow("Menu key while he is hidden") << u"program, hidden"_s << int(Qt::Key_Menu) << none << false;
    }

    void menuOpensFromTheKeyboard()
    {
        QFETCH(QString, where);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(bool, opens);
        load();
        m_character->Commands().Add(u"Reset"_s, u"&Reset"_s, u"Reset"_s, true, true);
        QWidget program;
        auto *field = new QLineEdit(&program);
        program.setWindowTitle(u"Program"_s);
        m_agent->addHostWindow(&program);
        program.show();
        program.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&program));
        field->setFocus();
        if (!where.contains(u"hidden"_s))
            m_character->Show(true);
        QWidget *target = where == u"character"_s ? static_cast<QWidget *>(m_desktop->window()) : field;
        QTest::keyClick(target, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QMenu *menu = m_desktop->menu();
        QCOMPARE(menu && menu->isVisible(), opens);
        if (!opens)
            return;
        // Marked, so Enter or the arrows work at once.
        QCOMPARE(menu->activeAction(), menu->findChild<QAction *>(u"hideAction"_s));
        QVERIFY(QAccessible::queryAccessibleInterface(menu)->text(QAccessible::Name).contains(u"Blob"_s));
        // Pressed again while it is open, the menu does not open a second time under itself.
        QAction *marked = menu->activeAction();
        QTest::keyClick(m_desktop->window(), Qt::Key_F10, Qt::ShiftModifier);
        QCOMPARE(menu->activeAction(), marked);
        menu->hide();
    }

    void whatHeSaysReachesAssistiveTechnology()
    {
        load([] { return std::make_unique<ReadingTimeSpeech>(); });
        const QAccessibleInterface *window = QAccessible::queryAccessibleInterface(m_desktop->window());
        QCOMPARE(window->text(QAccessible::Name), u"Blob"_s);
        QCOMPARE(window->role(), QAccessible::Animation);
        QCOMPARE(QAccessible::queryAccessibleInterface(m_desktop->balloon())->role(), QAccessible::Notification);
        QVERIFY(window->text(QAccessible::Description).contains(u"Shift+F10"_s));
        m_character->Show(true);
        m_character->Speak(u"Seven and five make twelve"_s);
        BalloonWindow *balloon = m_desktop->balloon();
        QTRY_VERIFY(balloon->isVisible());
        const QAccessibleInterface *said = QAccessible::queryAccessibleInterface(balloon);
        // The whole phrase at once, while the balloon still fills word by word.
        QCOMPARE(said->text(QAccessible::Name), u"Seven and five make twelve"_s);
        QVERIFY(said->text(QAccessible::Description).contains(u"Blob"_s));
        m_character->StopAll();
        m_character->Speak(u"Well done"_s);
        QTRY_COMPARE(said->text(QAccessible::Name), u"Well done"_s);

        // The listening tip says what it shows.
        m_desktop->startListening();
        ListeningTip *tip = m_desktop->listeningTip();
        QTRY_VERIFY(tip->isVisible());
        const QAccessibleInterface *listening = QAccessible::queryAccessibleInterface(tip);
        QCOMPARE(listening->text(QAccessible::Name), tip->title());
        QVERIFY(listening->text(QAccessible::Description).contains(u"Right-click Blob"_s));
    }

    void commandMayUnloadTheCharacter()
    {
        // As the program's Exit command does: let go of the character from inside its event.
        load();
        m_character->Show(true);
        m_character->Commands().Add(u"Exit"_s, u"E&xit"_s, u"Exit ..."_s, true, true);
        bool unloaded = false;
        connect(m_agent.get(), &Agent::Command, this, [&] {
            m_character.reset();
            m_agent->Characters().Unload(u"MyChar"_s);
            unloaded = true;
        });
        sendMouse(m_desktop->window(), QEvent::MouseButtonPress, Qt::RightButton,
                  m_desktop->window()->mapToGlobal(QPoint(60, 100)));
        QAction *exit = m_desktop->menu()->actions().last();
        QEventLoop loop;
        QTimer::singleShot(0, exit, &QAction::trigger);
        QTimer::singleShot(100, &loop, &QEventLoop::quit);
        loop.exec();
        QVERIFY(unloaded);
        QVERIFY(!m_agent->character(u"MyChar"_s));
    }

    void recognizerHearsRegisteredCommands()
    {
        load();
        m_character->Show(true);
        FakeRecognizer recognizer;
        m_agent->setCommandRecognizer(&recognizer);
        m_character->Commands().Add(u"Reset"_s, u"&Reset"_s, u"Reset ..."_s, true, true);
        m_character->Commands().Add(u"LevelOne"_s, u"Level &One"_s, u"... One"_s, true, true);
        m_character->Commands().Add(u"Quiet"_s, u"&Quiet"_s, QString(), true, true);
        QCOMPARE(recognizer.m_commands.size(), 2);
        QCOMPARE(recognizer.m_commands.at(1).name, u"LevelOne"_s);
        QCOMPARE(recognizer.m_commands.at(1).voice, u"... One"_s);

        QSignalSpy chosen(m_agent.get(), &Agent::Command);
        UserInput heard;
        heard.Count = 1;
        heard.Name = u"Reset"_s;
        heard.Confidence = 73;
        heard.Voice = u"reset please"_s;
        // Only what is heard while the character listens counts.
        recognizer.hear(heard);
        QCOMPARE(chosen.size(), 0);
        m_desktop->startListening();
        m_desktop->stopListening();
        recognizer.hear(heard);
        QCOMPARE(chosen.size(), 1);
        const auto input = chosen.first().first().value<UserInput>();
        QCOMPARE(input.CharacterID, u"MyChar"_s);
        QCOMPARE(input.Voice, u"reset please"_s);
        QCOMPARE(input.Confidence, short(73));
    }

    void idlesOnlyWhileShownAndQuiet()
    {
        load();
        m_agent.reset();
        m_agent = std::make_unique<DesktopAgent>();
        m_agent->setCharacterDirectories({QStringLiteral(ZUMBREL_TEST_DATA)});
        m_agent->setIdleDelay(150);
        m_agent->setTranslucentWindows(false);
        m_agent->setTrayIconEnabled(false);
        m_agent->Characters().Load(u"MyChar"_s, u"blob"_s);
        m_character = m_agent->Characters().Item(u"MyChar"_s);
        m_desktop = m_agent->character(u"MyChar"_s);

        QTest::qWait(400);
        QVERIFY(!m_desktop->isIdling()); // hidden: no idling
        m_character->Show(true);
        QTRY_VERIFY_WITH_TIMEOUT(m_desktop->isIdling(), 2000);
        const QStringList idles = m_desktop->data().states.value(u"IdlingLevel1"_s);
        QVERIFY(idles.contains(m_desktop->currentAnimation()));
        // A request ends the idle animation and runs next.
        const RequestPtr play = m_character->Play(u"Pleased"_s);
        QVERIFY(play->Status() == 2 || play->Status() == 4);
        QTRY_COMPARE_WITH_TIMEOUT(m_desktop->currentAnimation(), u"Pleased"_s, 2000);
        QVERIFY(!m_desktop->isIdling());
        QTRY_COMPARE_WITH_TIMEOUT(play->Status(), 0, 3000);
        m_character->Hide(true);
        QTest::qWait(400);
        QVERIFY(!m_desktop->isIdling());
    }

    void listeningAnimationsGiveWayToRequests()
    {
        load();
        m_character->Show(true);
        m_desktop->setListeningState(DesktopCharacter::ListeningState::Listening);
        QCOMPARE(m_desktop->currentAnimation(), u"Listening"_s);
        // The loop goes on for as long as the listening lasts.
        QTest::qWait(1200);
        QCOMPARE(m_desktop->currentAnimation(), u"Listening"_s);
        m_desktop->setListeningState(DesktopCharacter::ListeningState::Hearing);
        QTRY_COMPARE_WITH_TIMEOUT(m_desktop->currentAnimation(), u"Hearing"_s, 2000);
        const RequestPtr play = m_character->Play(u"Pleased"_s);
        QTRY_COMPARE_WITH_TIMEOUT(m_desktop->currentAnimation(), u"Pleased"_s, 2000);
        QTRY_COMPARE_WITH_TIMEOUT(play->Status(), 0, 3000);
        QTRY_COMPARE_WITH_TIMEOUT(m_desktop->currentAnimation(), u"Hearing"_s, 2000);
        m_desktop->setListeningState(DesktopCharacter::ListeningState::Off);
        QTRY_VERIFY_WITH_TIMEOUT(m_desktop->currentAnimation().isEmpty(), 3000);
        QCOMPARE(m_desktop->pose(), m_desktop->data().neutralPose());
    }

    // The animations' sounds go to the player the host gave, made at the first sound; without
    // one the animation still plays, silently.
    void soundsGoToTheHostsPlayer_data()
    {
        QTest::addColumn<bool>("withPlayer");
        QTest::newRow("a player") << true;
        QTest::newRow("none") << false;
    }

    void soundsGoToTheHostsPlayer()
    {
        QFETCH(bool, withPlayer);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString source = QStringLiteral(ZUMBREL_TEST_DATA) + u"/characters/blob/"_s;
        QFile manifestFile(source + u"blob.json"_s);
        QVERIFY(manifestFile.open(QIODevice::ReadOnly));
        QJsonObject manifest = QJsonDocument::fromJson(manifestFile.readAll()).object();
        QJsonObject animations = manifest.value(u"animations"_s).toObject();
        QJsonObject greet = animations.value(u"Greet"_s).toObject();
        QJsonArray keyframes = greet.value(u"keyframes"_s).toArray();
        QJsonObject first = keyframes.at(0).toObject();
        first.insert(u"sound"_s, u"ding.wav"_s);
        keyframes.replace(0, first);
        greet.insert(u"keyframes"_s, keyframes);
        animations.insert(u"Greet"_s, greet);
        manifest.insert(u"animations"_s, animations);
        QFile json(dir.filePath(u"blob.json"_s));
        QVERIFY(json.open(QIODevice::WriteOnly));
        json.write(QJsonDocument(manifest).toJson());
        json.close();
        QVERIFY(QFile::copy(source + u"blob.svg"_s, dir.filePath(u"blob.svg"_s)));
        QFile wav(dir.filePath(u"ding.wav"_s));
        QVERIFY(wav.open(QIODevice::WriteOnly));
        wav.write("RIFF");
        wav.close();

        // Kept by the test object: the character may stop its sounds when it is let go, after
        // this function has returned.
        m_sounds = {};
        SoundLog &log = m_sounds;
        int &made = m_soundPlayersMade;
        made = 0;
        m_agent = testsupport::quietAgent(QStringLiteral(ZUMBREL_TEST_DATA));
        if (withPlayer) {
            m_agent->setSoundPlayerFactory([this] {
                ++m_soundPlayersMade;
                return std::make_unique<RecordingSounds>(&m_sounds);
            });
        }
        m_agent->Characters().Load(u"MyChar"_s, dir.filePath(u"blob.json"_s));
        m_character = m_agent->Characters().Item(u"MyChar"_s);
        m_character->Show(true);
        QCOMPARE(made, 0);
        for (int i = 0; i < 2; ++i) {
            const RequestPtr greeting = m_character->Play(u"Greet"_s);
            QTRY_VERIFY_WITH_TIMEOUT(greeting->hasEnded(), 5000);
            QCOMPARE(greeting->Status(), 0);
        }
        m_character->StopAll();
        QCOMPARE(made, withPlayer ? 1 : 0);
        QCOMPARE(log.played, withPlayer ? QStringList(2, u"ding.wav"_s) : QStringList());
        QCOMPARE(log.stops, withPlayer ? 1 : 0);
    }

    void loadAndUnloadByID()
    {
        load();
        QVERIFY_THROWS_EXCEPTION(Error, m_agent->Characters().Load(u"MyChar"_s, u"Blob.acs"_s));
        QVERIFY_THROWS_EXCEPTION(Error, m_agent->Characters().Item(u"Other"_s));
        m_character->Show(true);
        const RequestPtr pending = m_character->Play(u"Explain"_s);
        m_agent->Characters().Unload(u"MyChar"_s);
        // What was still running ends, and the windows leave the screen.
        QVERIFY(pending->hasEnded());
        QVERIFY(!m_desktop->window()->isVisible());
        QVERIFY(!m_character->Visible());
        QVERIFY_THROWS_EXCEPTION(Error, m_agent->Characters().Item(u"MyChar"_s));
        // A program that still holds the character can call it safely.
        QCOMPARE(m_character->Play(u"Wave"_s)->Status(), 1);
    }
};

QTEST_MAIN(TestDesktopCharacter)
#include "tst_desktopcharacter.moc"

// SPDX-License-Identifier: GPL-3.0-or-later
#include <optional>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include "characterdesktop/characterwindow.h"
#include "characterdesktop/desktopagent.h"
#include "characterdesktop/listeningtip.h"
#include "desktopagents.h"

using namespace Qt::StringLiterals;
using namespace character;

namespace {

// A recogniser that counts what it is told and hears what the test says it heard.
class FakeRecognizer final : public CommandRecognizer
{
public:
    void setCommands(const QList<VoiceCommand> &commands) override { m_commands = commands; }
    void startListening() override { ++m_starts; }
    void stopListening() override
    {
        ++m_stops;
        if (m_decodeOnStop)
            emit heard(*std::exchange(m_decodeOnStop, std::nullopt));
    }
    bool isAvailable() const override { return m_available; }
    void hear(const UserInput &input) { emit heard(input); }
    void fail(const QString &reason)
    {
        m_available = false;
        emit unavailable(reason);
    }

    QList<VoiceCommand> m_commands;
    int m_starts = 0;
    int m_stops = 0;
    bool m_available = true;
    // Heard as the listening stops, as a recogniser that decodes at once does.
    std::optional<UserInput> m_decodeOnStop;
};

// As the keyboard sends it: to the widget with the focus, auto-repeated while held.
bool sendKey(QWidget *receiver, QEvent::Type type, Qt::Key key, bool autoRepeat = false)
{
    QKeyEvent event(type, key, Qt::NoModifier, key == Qt::Key_Space ? u" "_s : QString(), autoRepeat);
    QApplication::sendEvent(receiver, &event);
    return event.isAccepted();
}

void addProgramCommands(CommandCollection &commands, bool levelTwoEnabled = true)
{
    commands.Add(u"Reset"_s, u"&Reset"_s, u"Reset ..."_s, true, true);
    commands.Add(u"LevelOne"_s, u"Level &1"_s, u"... One"_s, true, true);
    commands.Add(u"LevelTwo"_s, u"Level &2"_s, u"... Two"_s, levelTwoEnabled, true);
    commands.Add(u"LevelThree"_s, u"Level &3"_s, u"... Three"_s, true, true);
    commands.Add(u"LevelFour"_s, u"Level &4"_s, u"... Four"_s, true, true);
    commands.Add(u"Exit"_s, u"E&xit"_s, u"Exit ..."_s, true, true);
}

QStringList menuTexts(QMenu *menu)
{
    QStringList texts;
    for (QAction *action : menu->actions())
        texts << (action->isSeparator() ? u"-"_s : action->text());
    return texts;
}

} // namespace

class TestPushToTalk : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QWidget> m_main;
    QPushButton *m_button = nullptr;
    std::unique_ptr<FakeRecognizer> m_recognizer;
    std::unique_ptr<DesktopAgent> m_agent;
    std::shared_ptr<Character> m_character;
    DesktopCharacter *m_desktop = nullptr;

    // A program window with a focused button, as the main window has, and a shown character.
    void start(bool withRecognizer = true)
    {
        m_main = std::make_unique<QWidget>();
        m_main->setWindowTitle(u"Program"_s);
        m_button = new QPushButton(u"&Skip"_s, m_main.get());
        m_main->setGeometry(100, 100, 300, 200);
        m_main->show();
        m_main->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_main.get()));
        m_button->setFocus();

        m_agent = testsupport::quietAgent(QStringLiteral(ZUMBREL_TEST_DATA));
        m_agent->setTranslucentWindows(false);
        m_agent->setRandomSeed(7);
        m_agent->addHostWindow(m_main.get());
        m_agent->Characters().Load(u"MyChar"_s, u"Blob.acs"_s);
        m_character = m_agent->Characters().Item(u"MyChar"_s);
        m_desktop = m_agent->character(u"MyChar"_s);
        if (withRecognizer) {
            m_recognizer = std::make_unique<FakeRecognizer>();
            m_agent->setCommandRecognizer(m_recognizer.get());
        }
        m_character->Show(true);
        QTRY_VERIFY(m_desktop->window()->isVisible());
        // The offscreen platform activates every window it shows; on a desktop the character's
        // never takes the focus.
        m_main->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_main.get()));
        addProgramCommands(m_character->Commands());
    }

    QMenu *openMenu()
    {
        m_desktop->openMenu(m_desktop->window()->mapToGlobal(QPoint(20, 20)));
        return m_desktop->menu();
    }

    QAction *menuAction(const QString &objectName)
    {
        QMenu *menu = openMenu();
        return menu ? menu->findChild<QAction *>(objectName) : nullptr;
    }

private slots:
    void cleanup()
    {
        m_character.reset();
        m_agent.reset();
        m_recognizer.reset();
        m_main.reset();
    }

    void sayableCommands_data()
    {
        QTest::addColumn<QStringList>("captions");
        QTest::addColumn<QStringList>("voices");
        QTest::addColumn<QString>("disabled");
        QTest::addColumn<QString>("expected");

        const QStringList captions{u"&Reset"_s, u"Level &1"_s, u"Level &2"_s, u"Level &3"_s, u"Level &4"_s, u"E&xit"_s};
        const QStringList voices{u"Reset ..."_s, u"... One"_s, u"... Two"_s, u"... Three"_s, u"... Four"_s, u"Exit ..."_s};
        QTest::newRow("the program's six") << captions << voices << QString()
                                           << u"Reset, Level One ... Level Four, Exit"_s;
        // A shortened run would promise the disabled command in its middle.
        QTest::newRow("a level in the middle disabled") << captions << voices << u"Level &2"_s
                                                        << u"Reset, Level One, Level Three, Level Four, Exit"_s;
        QTest::newRow("the first level disabled") << captions << voices << u"Level &1"_s
                                                  << u"Reset, Level Two ... Level Four, Exit"_s;
        QTest::newRow("exit disabled") << captions << voices << u"E&xit"_s << u"Reset, Level One ... Level Four"_s;
        QTest::newRow("optional words and alternatives")
            << QStringList{u"&Start"_s, u"&Help"_s, u"&Quiet"_s}
            << QStringList{u"[please] start [now]"_s, u"(help | what now) ..."_s, u"..."_s} << QString()
            << u"Start, Help"_s;
        QTest::newRow("two alike stay whole") << QStringList{u"Level &1"_s, u"Level &2"_s}
                                              << QStringList{u"... One"_s, u"... Two"_s} << QString()
                                              << u"Level One, Level Two"_s;
        // The recogniser cannot match a malformed text either, so the tip does not offer it.
        QTest::newRow("numbers whole, malformed left out")
            << QStringList{u"&Twelve"_s, u"&Broken"_s} << QStringList{u"say 12"_s, u"(help | me"_s} << QString()
            << u"Say 12"_s;
        QTest::newRow("nothing to say") << QStringList{u"&Hide"_s} << QStringList{QString()} << QString() << QString();
    }

    void sayableCommands()
    {
        QFETCH(QStringList, captions);
        QFETCH(QStringList, voices);
        QFETCH(QString, disabled);
        QFETCH(QString, expected);
        QList<CommandList::Entry> entries;
        for (qsizetype i = 0; i < captions.size(); ++i)
            entries << CommandList::Entry{u"c%1"_s.arg(i), captions.at(i), voices.at(i), captions.at(i) != disabled, true};
        QCOMPARE(character::sayableCommands(entries), expected);
    }

    void heldKeyListensUntilReleased()
    {
        start();
        QSignalSpy clicked(m_button, &QPushButton::clicked);
        QVERIFY(sendKey(m_button, QEvent::KeyPress, Qt::Key_Space));
        QCOMPARE(m_recognizer->m_starts, 1);
        QCOMPARE(m_desktop->listeningState(), DesktopCharacter::ListeningState::Listening);
        QCOMPARE(m_desktop->currentAnimation(), u"Listening"_s);
        ListeningTip *tip = m_desktop->listeningTip();
        QVERIFY(tip->isVisible());
        QCOMPARE(tip->title(), u"Blob is listening..."_s);
        QVERIFY2(tip->body().contains(u"Say: Reset, Level One ... Level Four, Exit"_s), qPrintable(tip->body()));
        QVERIFY2(tip->note().contains(u"the Space bar"_s), qPrintable(tip->note()));
        // The tip stands by the character, clear of its window's middle.
        QVERIFY(!tip->geometry().contains(m_desktop->window()->geometry().center()));

        // Held down, the key repeats; that neither restarts nor stops the listening.
        for (int i = 0; i < 3; ++i) {
            sendKey(m_button, QEvent::KeyRelease, Qt::Key_Space, true);
            sendKey(m_button, QEvent::KeyPress, Qt::Key_Space, true);
        }
        QCOMPARE(m_recognizer->m_starts, 1);
        QCOMPARE(m_recognizer->m_stops, 0);
        QCOMPARE(m_desktop->listeningState(), DesktopCharacter::ListeningState::Listening);

        QVERIFY(sendKey(m_button, QEvent::KeyRelease, Qt::Key_Space));
        QCOMPARE(m_recognizer->m_starts, 1);
        QCOMPARE(m_recognizer->m_stops, 1);
        QCOMPARE(m_desktop->listeningState(), DesktopCharacter::ListeningState::Off);
        QTRY_VERIFY_WITH_TIMEOUT(m_desktop->currentAnimation().isEmpty(), 3000);
        // The key was the character's, not the focused button's.
        QCOMPARE(clicked.size(), 0);
        QVERIFY(!m_button->isDown());

        // Once more the way the window system delivers it: to the window, then to the focus.
        QTest::keyPress(m_main->windowHandle(), Qt::Key_Space);
        QCOMPARE(m_recognizer->m_starts, 2);
        QCOMPARE(m_desktop->listeningState(), DesktopCharacter::ListeningState::Listening);
        QTest::keyRelease(m_main->windowHandle(), Qt::Key_Space);
        QCOMPARE(m_recognizer->m_stops, 2);
        QCOMPARE(clicked.size(), 0);
    }

    void heardRaisesCommand_data()
    {
        QTest::addColumn<short>("count");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("voice");
        QTest::addColumn<QString>("shown");
        QTest::newRow("a command") << short(1) << u"LevelThree"_s << u"level three please"_s
                                   << u"\u201clevel three please\u201d"_s;
        // The program ignores these, but the event is still raised.
        QTest::newRow("speech that is no command") << short(0) << QString() << u"i like cats"_s
                                                   << u"I didn't understand."_s;
    }

    void heardRaisesCommand()
    {
        QFETCH(short, count);
        QFETCH(QString, name);
        QFETCH(QString, voice);
        QFETCH(QString, shown);
        start();
        QSignalSpy commands(m_agent.get(), &Agent::Command);
        sendKey(m_button, QEvent::KeyPress, Qt::Key_Space);
        sendKey(m_button, QEvent::KeyRelease, Qt::Key_Space);
        QCOMPARE(commands.size(), 0);

        UserInput heard;
        heard.Count = count;
        heard.Name = name;
        heard.Confidence = 61;
        heard.Voice = voice;
        heard.Alt1Name = u"LevelTwo"_s;
        heard.Alt1Confidence = 12;
        m_recognizer->hear(heard);
        QCOMPARE(commands.size(), 1);
        const auto input = commands.first().first().value<UserInput>();
        QCOMPARE(input.CharacterID, u"MyChar"_s);
        QCOMPARE(input.Count, count);
        QCOMPARE(input.Name, name);
        QCOMPARE(input.Confidence, short(61));
        QCOMPARE(input.Voice, voice);
        QCOMPARE(input.Alt1Name, u"LevelTwo"_s);
        QCOMPARE(input.Alt1Confidence, short(12));
        QVERIFY(m_desktop->listeningTip()->isVisible());
        QVERIFY2(m_desktop->listeningTip()->text().contains(shown), qPrintable(m_desktop->listeningTip()->text()));

        // Heard once per listening: nothing more is taken until the next one.
        m_recognizer->hear(heard);
        QCOMPARE(commands.size(), 1);
    }

    void disabledCommandsAreNotListenedFor()
    {
        start();
        addProgramCommands(m_character->Commands(), false);
        m_character->Commands().Add(u"Menu"_s, u"&Menu only"_s, QString(), true, true);
        QStringList names;
        for (const VoiceCommand &command : std::as_const(m_recognizer->m_commands)) {
            QVERIFY(command.enabled);
            names << command.name;
        }
        QCOMPARE(names, (QStringList{u"Reset"_s, u"LevelOne"_s, u"LevelThree"_s, u"LevelFour"_s, u"Exit"_s}));
        sendKey(m_button, QEvent::KeyPress, Qt::Key_Space);
        const QString body = m_desktop->listeningTip()->body();
        QVERIFY2(body.contains(u"Say: Reset, Level One, Level Three, Level Four, Exit"_s), qPrintable(body));
        QVERIFY(!body.contains(u"Two"_s));
        sendKey(m_button, QEvent::KeyRelease, Qt::Key_Space);
    }

    void keyIgnoredOutsideTheMainWindow_data()
    {
        QTest::addColumn<QString>("where");
        QTest::addColumn<bool>("typedIntoDialog");
        QTest::newRow("a dialog is active") << u"dialog"_s << true;
        QTest::newRow("a modal dialog is open") << u"modal"_s << true;
        // The component watches only the windows the program gave it.
        QTest::newRow("a window not given to the component") << u"other"_s << true;
        // The key stays the character's, so it never presses a button instead.
        QTest::newRow("the character is hidden") << u"hidden"_s << false;
    }

    void keyIgnoredOutsideTheMainWindow()
    {
        QFETCH(QString, where);
        QFETCH(bool, typedIntoDialog);
        start();
        QSignalSpy clicked(m_button, &QPushButton::clicked);
        QDialog dialog(m_main.get());
        QWidget other;
        auto *name = new QLineEdit(where == u"other" ? &other : &dialog);
        (new QVBoxLayout(where == u"other" ? &other : &dialog))->addWidget(name);
        QWidget *receiver = m_button;
        if (where == u"hidden") {
            m_character->Hide(true);
            QVERIFY(!m_character->Visible());
        } else {
            QWidget *window = where == u"other" ? &other : &dialog;
            dialog.setModal(where == u"modal");
            window->show();
            window->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(window));
            name->setFocus();
            receiver = name;
        }
        QTest::keyClicks(receiver, u"ab"_s);
        sendKey(receiver, QEvent::KeyPress, Qt::Key_Space);
        QCOMPARE(m_desktop->listeningState(), DesktopCharacter::ListeningState::Off);
        QVERIFY(!m_desktop->listeningTip()->isVisible());
        sendKey(receiver, QEvent::KeyRelease, Qt::Key_Space);
        QCOMPARE(m_recognizer->m_starts, 0);
        QCOMPARE(m_recognizer->m_stops, 0);
        QCOMPARE(clicked.size(), 0);
        if (typedIntoDialog)
            QCOMPARE(name->text(), u"ab "_s);
    }

    void listeningKeyCanBeChanged()
    {
        start();
        m_agent->setListeningKey(Qt::Key_F12);
        QSignalSpy clicked(m_button, &QPushButton::clicked);
        // Space is the button's again.
        sendKey(m_button, QEvent::KeyPress, Qt::Key_Space);
        sendKey(m_button, QEvent::KeyRelease, Qt::Key_Space);
        QCOMPARE(clicked.size(), 1);
        QCOMPARE(m_recognizer->m_starts, 0);
        QVERIFY(sendKey(m_button, QEvent::KeyPress, Qt::Key_F12));
        QCOMPARE(m_recognizer->m_starts, 1);
        QVERIFY2(m_desktop->listeningTip()->note().contains(u"the F12 key"_s),
                 qPrintable(m_desktop->listeningTip()->body()));
        QVERIFY(sendKey(m_button, QEvent::KeyRelease, Qt::Key_F12));
        QCOMPARE(m_recognizer->m_stops, 1);
    }

    void hidingWhileListeningStopsTheRecording()
    {
        start();
        sendKey(m_button, QEvent::KeyPress, Qt::Key_Space);
        QCOMPARE(m_recognizer->m_starts, 1);
        menuAction(u"hideAction"_s)->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(!m_character->Visible(), 3000);
        QCOMPARE(m_recognizer->m_stops, 1);
        QVERIFY(!m_desktop->listeningTip()->isVisible());
        sendKey(m_button, QEvent::KeyRelease, Qt::Key_Space);
        QCOMPARE(m_recognizer->m_stops, 1);
    }

    void menuListensOnceForAWhile()
    {
        start();
        m_agent->setListenOnceDuration(60);
        QMenu *menu = openMenu();
        QVERIFY(menu);
        QCOMPARE(menuTexts(menu).mid(0, 3), (QStringList{u"&Hide"_s, u"&Listen"_s, u"-"_s}));
        menu->findChild<QAction *>(u"listenAction"_s)->trigger();
        menu->hide();
        QCOMPARE(m_recognizer->m_starts, 1);
        QCOMPARE(m_desktop->listeningState(), DesktopCharacter::ListeningState::Listening);
        QVERIFY2(m_desktop->listeningTip()->note().contains(u"Speak now"_s), qPrintable(m_desktop->listeningTip()->body()));
        QTRY_COMPARE_WITH_TIMEOUT(m_recognizer->m_stops, 1, 2000);
        QCOMPARE(m_recognizer->m_starts, 1);
        QCOMPARE(m_desktop->listeningState(), DesktopCharacter::ListeningState::Off);

        QSignalSpy commands(m_agent.get(), &Agent::Command);
        UserInput heard;
        heard.Count = 1;
        heard.Name = u"Exit"_s;
        heard.Voice = u"exit now"_s;
        m_recognizer->hear(heard);
        QCOMPARE(commands.size(), 1);
    }

    void spokenExitMayUnloadTheCharacter()
    {
        // As the program's Exit command does: let go of the character from inside its event,
        // here raised while the key's release is still being handled.
        start();
        bool unloaded = false;
        connect(m_agent.get(), &Agent::Command, this, [&] {
            m_character.reset();
            m_agent->Characters().Unload(u"MyChar"_s);
            unloaded = true;
        });
        UserInput heard;
        heard.Count = 1;
        heard.Name = u"Exit"_s;
        m_recognizer->m_decodeOnStop = heard;
        sendKey(m_button, QEvent::KeyPress, Qt::Key_Space);
        sendKey(m_button, QEvent::KeyRelease, Qt::Key_Space);
        QVERIFY(unloaded);
        QTest::qWait(50);
        QVERIFY(!m_agent->character(u"MyChar"_s));
        QCOMPARE(m_recognizer->m_stops, 1);
        // The key is nobody's now, and nothing listens.
        sendKey(m_button, QEvent::KeyPress, Qt::Key_Space);
        sendKey(m_button, QEvent::KeyRelease, Qt::Key_Space);
        QCOMPARE(m_recognizer->m_starts, 1);
    }

    void cannotHearWithoutAWorkingRecognizer_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("reason");
        QTest::newRow("no recogniser") << u"none"_s << u"not available"_s;
        QTest::newRow("no microphone") << u"unavailable"_s << u"No microphone was found."_s;
        QTest::newRow("the microphone fails while listening") << u"fails"_s << u"The microphone stopped"_s;
        // A long technical message is for a grown-up, not the tip.
        QTest::newRow("a long reason") << u"long"_s << u"plugged in?"_s;
    }

    void cannotHearWithoutAWorkingRecognizer()
    {
        QFETCH(QString, how);
        QFETCH(QString, reason);
        start(how != u"none");
        QSignalSpy commands(m_agent.get(), &Agent::Command);
        if (how == u"unavailable")
            m_recognizer->fail(u"No microphone was found."_s);
        if (how == u"long")
            m_recognizer->fail(u"The audio input device alsa_input.pci-0000_00_1f.3.analog-stereo reported "
                               "error 17 (resource busy) while opening at 16000 Hz mono"_s);
        sendKey(m_button, QEvent::KeyPress, Qt::Key_Space);
        if (how == u"fails") {
            QCOMPARE(m_recognizer->m_starts, 1);
            m_recognizer->fail(u"The microphone stopped"_s);
        } else if (m_recognizer) {
            QCOMPARE(m_recognizer->m_starts, 0);
        }
        ListeningTip *tip = m_desktop->listeningTip();
        QVERIFY(tip->isVisible());
        QCOMPARE(tip->title(), u"Blob cannot hear you."_s);
        QVERIFY2(tip->body().contains(reason), qPrintable(tip->body()));
        QCOMPARE(m_desktop->listeningState(), DesktopCharacter::ListeningState::Off);
        sendKey(m_button, QEvent::KeyRelease, Qt::Key_Space);
        if (m_recognizer) {
            // What a failed recogniser still reports is not taken.
            UserInput heard;
            heard.Count = 1;
            heard.Name = u"Reset"_s;
            m_recognizer->hear(heard);
        }
        QCOMPARE(commands.size(), 0);
        // The menu's Listen says the same, and its commands still work.
        menuAction(u"listenAction"_s)->trigger();
        QCOMPARE(tip->title(), u"Blob cannot hear you."_s);
        QCOMPARE(commands.size(), 0);
        QMenu *menu = openMenu();
        const QList<QAction *> actions = menu->actions();
        const auto reset = std::find_if(actions.begin(), actions.end(), [](QAction *a) { return a->text() == u"&Reset"_s; });
        QVERIFY(reset != actions.end());
        (*reset)->trigger();
        QCOMPARE(commands.size(), 1);
        QCOMPARE(commands.first().first().value<UserInput>().Name, u"Reset"_s);
    }
};

QTEST_MAIN(TestPushToTalk)
#include "tst_pushtotalk.moc"

// SPDX-License-Identifier: GPL-3.0-or-later
#include "characterdesktop/desktopcharacter.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QMenu>
#include <QPainter>
#include <QScreen>
#include <QWidget>

#include "character/framerenderer.h"
#include "character/logging.h"
#include "character/phraselist.h"
#include "character/readingtimespeech.h"
#include "characterdesktop/balloonwindow.h"
#include "characterdesktop/characterwindow.h"
#include "characterdesktop/listeningtip.h"

using namespace Qt::StringLiterals;

namespace character {

namespace {

// Room between the program's window and the character standing beside it.
constexpr int windowGap = 8;
// Where a character with no program window to stand by goes: near the bottom-right corner,
// clear of a panel's edge.
constexpr int cornerMargin = 40;
// A reason longer than this is a message for a grown-up, not for the tip.
constexpr int shortReasonLength = 80;

QString sayText(const QString &commands)
{
    //: The commands are the recogniser's own words, which are English whatever the interface language;
    //: a translation should say that they are to be said in English.
    return QCoreApplication::translate("character", "Say: %1").arg(commands);
}

} // namespace

DesktopCharacter::DesktopCharacter(const QString &id, std::shared_ptr<const CharacterData> data, Options options,
                                   QObject *parent)
    : QObject(parent)
    , m_id(id)
    , m_data(data)
    , m_options(std::move(options))
    , m_queue(data, m_options)
    , m_commands([this] { commandsChanged(); })
{
    installAccessibleInterfaces();
    const bool translucent = m_options.translucent.value_or(desktopHasCompositor());
    m_window = std::make_unique<CharacterWindow>(translucent);
    m_window->setWindowTitle(m_data->name);
    // What a screen reader says of him, and where his words and the listening tip come from.
    m_window->setAccessibleName(m_data->name);
    m_window->setAccessibleDescription(QCoreApplication::translate(
        "character", "An animated character. Click him and he speaks; drag him to move him. Right-click him, or "
                     "press the Menu key or Shift+F10, for his menu."));
    m_balloon = std::make_unique<BalloonWindow>(translucent);
    m_balloon->setAccessibleDescription(QCoreApplication::translate("character", "What %1 says").arg(m_data->name));
    m_tip = std::make_unique<ListeningTip>(translucent);

    connect(&m_queue, &RequestQueue::appeared, this, &DesktopCharacter::onAppeared);
    connect(&m_queue, &RequestQueue::disappeared, this, &DesktopCharacter::onDisappeared);
    connect(&m_queue, &RequestQueue::visibleChanged, this, [this](bool visible) {
        // Whoever shows him again, or hides him later, is not the child's Hide.
        emit visibleChanged(visible, std::exchange(m_hidingByUser, false) && !visible);
    });
    connect(&m_queue, &RequestQueue::frameChanged, this, &DesktopCharacter::renderFrame);
    connect(&m_queue, &RequestQueue::wordShown, this, &DesktopCharacter::showBalloon);
    connect(&m_queue, &RequestQueue::balloonCleared, m_balloon.get(), &QWidget::hide);
    connect(&m_queue, &RequestQueue::soundStarted, this, &DesktopCharacter::playSound);

    connect(m_window.get(), &CharacterWindow::clicked, this, [this](short button, short shift, QPoint at) {
        emit clicked(m_id, button, shift, short(at.x()), short(at.y()));
    });
    connect(m_window.get(), &CharacterWindow::dragged, this, [this](short button, short shift, QPoint at) {
        m_placementSettled = true;
        emit dragCompleted(m_id, button, shift, short(at.x()), short(at.y()));
    });
    connect(m_window.get(), &CharacterWindow::menuRequested, this, &DesktopCharacter::openMenu);
    connect(m_window.get(), &CharacterWindow::menuKeyPressed, this, &DesktopCharacter::openMenuFromKeyboard);
    connect(m_window.get(), &CharacterWindow::devicePixelRatioChanged, this, &DesktopCharacter::renderFrame);
    connect(m_window.get(), &CharacterWindow::closedFromOutside, this, [this] {
        QTimer::singleShot(0, this, [this] {
            if (m_queue.isVisible() && !m_window->isVisible()) {
                m_window->show();
                renderFrame();
            }
        });
    });
    connect(m_window.get(), &CharacterWindow::moved, this, [this] {
        if (m_balloon->isVisible())
            showBalloon(m_balloon->text(), m_balloonWholeText);
        if (m_tip->isVisible())
            placeTip();
    });

    // A changed screen (resolution, a panel moved, a monitor unplugged) must not leave the
    // character out of reach.
    const auto keepOnScreen = [this] {
        if (m_window->isVisible())
            m_window->moveWithinWorkArea(m_window->pos());
    };
    const auto watchScreen = [this, keepOnScreen](QScreen *screen) {
        connect(screen, &QScreen::availableGeometryChanged, this, keepOnScreen);
    };
    for (QScreen *screen : QGuiApplication::screens())
        watchScreen(screen);
    connect(qApp, &QGuiApplication::screenAdded, this, watchScreen);
    connect(qApp, &QGuiApplication::screenRemoved, this,
            [this, keepOnScreen] { QTimer::singleShot(0, this, keepOnScreen); });

    m_listenOnceTimer.setSingleShot(true);
    connect(&m_listenOnceTimer, &QTimer::timeout, this, &DesktopCharacter::stopListening);
    m_resultTimer.setSingleShot(true);
    connect(&m_resultTimer, &QTimer::timeout, this, [this] {
        m_awaitingResult = false;
        m_tip->hide();
    });
    m_tipTimer.setSingleShot(true);
    connect(&m_tipTimer, &QTimer::timeout, m_tip.get(), &QWidget::hide);
}

DesktopCharacter::~DesktopCharacter()
{
    unload();
}

// ---- Requests --------------------------------------------------------------------------------

RequestPtr DesktopCharacter::Show(bool fast)
{
    return m_queue.show(fast);
}

RequestPtr DesktopCharacter::Hide(bool fast)
{
    return m_queue.hide(fast);
}

RequestPtr DesktopCharacter::Play(const QString &animation)
{
    return m_queue.play(animation);
}

RequestPtr DesktopCharacter::Speak(const QString &text)
{
    return m_queue.speak(text);
}

void DesktopCharacter::StopAll()
{
    if (m_sounds)
        m_sounds->stopAll();
    m_queue.stopAll();
}

void DesktopCharacter::setTiming(const Timing &timing)
{
    m_options.timing = timing;
    m_queue.setTiming(timing);
}

// ---- Drawing ---------------------------------------------------------------------------------

void DesktopCharacter::renderFrame()
{
    if (!m_window->isVisible())
        return;
    const double scale = m_window->devicePixelRatioF();
    m_window->setFrame(renderer().render(m_queue.pose(), scale, m_queue.mouth()));
}

FrameRenderer &DesktopCharacter::renderer()
{
    if (!m_renderer)
        m_renderer = std::make_shared<FrameRenderer>(m_data);
    return *m_renderer;
}

QImage DesktopCharacter::iconImage(int side) const
{
    const double scale = side / std::max(m_data->frameSize.width(), m_data->frameSize.height());
    // A renderer of its own, so the window's cached parts at its scale stay.
    FrameRenderer renderer(m_data);
    QImage frame = renderer.render(m_data->neutralPose(), scale);
    frame.setDevicePixelRatio(1);
    QImage icon(side, side, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    QPainter painter(&icon);
    painter.drawImage(QPointF((side - frame.width()) / 2.0, (side - frame.height()) / 2.0), frame);
    return icon;
}

QString DesktopCharacter::currentAnimation() const
{
    return m_queue.currentAnimation();
}

void DesktopCharacter::showBalloon(const QString &shown, const QString &whole)
{
    // Words spoken before the window is out are shown beside it once it is.
    if (std::exchange(m_showPending, false))
        showWindow();
    m_balloonWholeText = whole;
    const QWidget *program = findProgramWindow();
    m_balloon->showText(shown, whole, m_window->frameGeometry(),
                        m_window->mapToGlobal(m_data->balloonAnchor.toPoint()).x(),
                        program && program->isVisible() ? program->frameGeometry() : QRect());
}

void DesktopCharacter::playSound(const QString &path)
{
    if (!m_soundsTried) {
        m_soundsTried = true;
        m_sounds = m_options.soundFactory ? m_options.soundFactory() : nullptr;
        if (!m_sounds)
            qCWarning(lcCharacter) << "No sound player; the animations of" << m_id << "play without their sounds";
    }
    if (m_sounds)
        m_sounds->play(path);
}

// ---- Windows ---------------------------------------------------------------------------------

void DesktopCharacter::onAppeared()
{
    // On the next turn of the event loop: a host that asks for the character while it builds its
    // own window, and shows that window in the same turn, has its window on the screen first, and
    // the character stands beside where that window really is.
    if (m_showPending)
        return;
    m_showPending = true;
    QTimer::singleShot(0, this, [this] {
        if (std::exchange(m_showPending, false) && m_queue.isVisible())
            showWindow();
    });
}

void DesktopCharacter::showWindow()
{
    if (!m_placed) {
        QWidget *program = findProgramWindow();
        // The window needs its size before it can be placed.
        m_window->setFrame(renderer().render(m_queue.pose(), m_window->devicePixelRatioF(), m_queue.mouth()));
        if (program) {
            placeBeside(program->frameGeometry());
            m_placementSettled = program->isVisible();
        } else if (QScreen *screen = QGuiApplication::primaryScreen()) {
            const QRect area = screen->availableGeometry();
            m_window->moveWithinWorkArea(QPoint(area.right() - m_window->width() - cornerMargin,
                                                area.bottom() - m_window->height() - cornerMargin));
        }
        m_placed = true;
    }
    m_window->show();
    renderFrame();
}

void DesktopCharacter::onDisappeared()
{
    m_showPending = false;
    endListening();
    m_balloon->hide();
    m_window->hide();
}

void DesktopCharacter::placeBeside(const QRect &windowFrame)
{
    // A window never given a frame has the toolkit's default size, not the character's; the size
    // its first frame will give it is known without drawing one.
    if (m_window->frame().isNull())
        m_window->setFixedSize(FrameRenderer::frameSize(*m_data, m_window->devicePixelRatioF()));
    const QSize size = m_window->size();
    QScreen *screen = QGuiApplication::screenAt(windowFrame.center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    // Without any screen there is no edge to keep to.
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    // To the right of the window, standing on its lower edge; to its left when the right has no room.
    QPoint topLeft(windowFrame.right() + 1 + windowGap, windowFrame.bottom() + 1 - size.height());
    if (topLeft.x() + size.width() > area.right() + 1 && windowFrame.left() - windowGap - size.width() >= area.left())
        topLeft.setX(windowFrame.left() - windowGap - size.width());
    m_window->moveWithinWorkArea(topLeft);
    m_placed = true;
}

void DesktopCharacter::programWindowShown(QWidget *window)
{
    if (m_placementSettled || !window)
        return;
    placeBeside(window->frameGeometry());
    m_placementSettled = true;
}

QWidget *DesktopCharacter::findProgramWindow() const
{
    const auto isProgramWindow = [](QWidget *w) {
        return w && w->isWindow() && !w->property(CharacterWindow::ownWindowProperty).toBool()
            && (w->windowType() == Qt::Window || w->windowType() == Qt::Dialog);
    };
    if (QWidget *active = QApplication::activeWindow(); isProgramWindow(active))
        return active;
    QWidget *hidden = nullptr;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (!isProgramWindow(w) || w->windowType() != Qt::Window)
            continue;
        if (w->isVisible())
            return w;
        if (!hidden)
            hidden = w;
    }
    return hidden;
}

void DesktopCharacter::unload()
{
    if (m_sounds)
        m_sounds->stopAll();
    m_queue.leave();
    endListening();
    if (m_menu)
        m_menu->hide();
    m_balloon->hide();
    m_window->hide();
}

// ---- Menu and commands -----------------------------------------------------------------------

void DesktopCharacter::openMenu(QPoint globalPos)
{
    if (!m_menu) {
        m_menu = std::make_unique<QMenu>();
        m_menu->setObjectName(u"characterMenu"_s);
        m_menu->setAccessibleName(QCoreApplication::translate("character", "%1's commands").arg(m_data->name));
        m_menu->setProperty(CharacterWindow::ownWindowProperty, true);
    }
    m_menu->clear();
    QAction *hide = m_menu->addAction(QCoreApplication::translate("character", "&Hide"));
    hide->setObjectName(u"hideAction"_s);
    connect(hide, &QAction::triggered, this, &DesktopCharacter::hideByUser);
    // For the mouse: the listening key does the same for as long as it is held.
    QAction *listen = m_menu->addAction(QCoreApplication::translate("character", "&Listen"));
    listen->setObjectName(u"listenAction"_s);
    connect(listen, &QAction::triggered, this, [this] { startListening(true); });
    m_menu->addSeparator();
    for (const CommandList::Entry &command : m_commands.entries()) {
        if (command.caption.isEmpty() || !command.visible)
            continue;
        QAction *action = m_menu->addAction(command.caption);
        action->setEnabled(command.enabled);
        action->setData(command.name);
        connect(action, &QAction::triggered, this, [this, name = command.name] {
            UserInput input;
            input.CharacterID = m_id;
            input.Count = 1;
            input.Name = name;
            input.Confidence = 100;
            emit commandChosen(input);
        });
    }
    m_menu->popup(globalPos);
}

void DesktopCharacter::openMenuFromKeyboard()
{
    if (!m_queue.isVisible() || (m_menu && m_menu->isVisible()))
        return;
    openMenu(m_window->mapToGlobal(QPoint(m_window->width() / 2, m_window->height() / 2)));
    // The first entry is marked, so the arrow keys and Enter work at once and a screen reader
    // has an entry to read.
    for (QAction *action : m_menu->actions()) {
        if (!action->isSeparator() && action->isEnabled()) {
            m_menu->setActiveAction(action);
            break;
        }
    }
}

void DesktopCharacter::hideByUser()
{
    if (!m_queue.isVisible())
        return;
    StopAll();
    m_hidingByUser = true;
    Hide();
}

void DesktopCharacter::setRecognizer(CommandRecognizer *recognizer)
{
    if (recognizer == m_recognizer)
        return;
    endListening();
    if (m_recognizer)
        disconnect(m_recognizer, nullptr, this, nullptr);
    m_recognizer = recognizer;
    m_unavailableReason.clear();
    if (!recognizer)
        return;
    connect(recognizer, &CommandRecognizer::heard, this, &DesktopCharacter::onHeard);
    connect(recognizer, &CommandRecognizer::unavailable, this, &DesktopCharacter::onRecognizerUnavailable);
    commandsChanged();
}

void DesktopCharacter::commandsChanged()
{
    if (!m_recognizer)
        return;
    QList<VoiceCommand> commands;
    // A disabled command must not be matched at all, so it stays out of the grammar.
    for (const CommandList::Entry &command : m_commands.entries()) {
        if (!command.voice.trimmed().isEmpty() && command.enabled)
            commands << VoiceCommand{command.name, command.voice, true};
    }
    m_recognizer->setCommands(commands);
}

// ---- Listening -------------------------------------------------------------------------------

void DesktopCharacter::setListeningKeyName(const QString &name)
{
    m_options.listeningKeyName = name;
}

void DesktopCharacter::startListening(bool once)
{
    if (!m_queue.isVisible())
        return;
    if (isListening()) {
        // The key held while the menu's listening runs: it now lasts until the key is let go.
        if (!once && m_listenMode == ListenMode::Once) {
            m_listenOnceTimer.stop();
            m_listenMode = ListenMode::Held;
            showListeningTip();
        }
        return;
    }
    if (!m_recognizer || !m_recognizer->isAvailable()) {
        showCannotHear();
        return;
    }
    m_unavailableReason.clear();
    m_listenMode = once ? ListenMode::Once : ListenMode::Held;
    m_awaitingResult = true;
    m_resultTimer.stop();
    m_tipTimer.stop();
    setListeningState(ListeningState::Listening);
    showListeningTip();
    if (once)
        m_listenOnceTimer.start(std::max(0, m_queue.timing().listenOnceMs));
    m_recognizer->startListening();
}

void DesktopCharacter::stopListening()
{
    if (!isListening())
        return;
    m_listenMode = ListenMode::None;
    m_listenOnceTimer.stop();
    setListeningState(ListeningState::Off);
    // The tip stays until the recogniser says what it heard.
    m_resultTimer.start(m_queue.timing().resultWaitMs);
    if (m_recognizer)
        m_recognizer->stopListening();
}

void DesktopCharacter::endListening()
{
    stopListening();
    m_awaitingResult = false;
    m_resultTimer.stop();
    m_tipTimer.stop();
    m_tip->hide();
}

void DesktopCharacter::onHeard(const UserInput &heard)
{
    if (!m_awaitingResult)
        return;
    // A recogniser that decides before the key is let go ends the listening itself.
    stopListening();
    m_awaitingResult = false;
    m_resultTimer.stop();
    if (m_queue.isVisible()) {
        const QString commands = sayableCommands(m_commands.entries());
        if (heard.Count > 0) {
            const QString words = heard.Voice.trimmed().isEmpty() ? heard.Name : heard.Voice.trimmed();
            m_tip->showTip(ListeningTip::Mark::Listening, QCoreApplication::translate("character", "%1 heard:").arg(m_data->name),
                           u"\u201c%1\u201d"_s.arg(words), QString(), m_window->frameGeometry());
        } else {
            m_tip->showTip(ListeningTip::Mark::Listening, QCoreApplication::translate("character", "I didn't understand."),
                           commands.isEmpty() ? QString() : sayText(commands), QString(),
                           m_window->frameGeometry());
        }
        m_tipTimer.start(m_queue.timing().heardTipMs);
    }
    UserInput input = heard;
    input.CharacterID = m_id;
    // Last: the program may let go of the character from inside this event.
    emit commandChosen(input);
}

void DesktopCharacter::onRecognizerUnavailable(const QString &reason)
{
    m_unavailableReason = reason.trimmed();
    if (!isListening() && !m_awaitingResult)
        return;
    // The recogniser has nothing left to record or decode; only the character's side ends here.
    m_listenMode = ListenMode::None;
    m_listenOnceTimer.stop();
    m_awaitingResult = false;
    m_resultTimer.stop();
    setListeningState(ListeningState::Off);
    showCannotHear();
}

void DesktopCharacter::showListeningTip()
{
    const QString commands = sayableCommands(m_commands.entries());
    const QString body = commands.isEmpty() ? QCoreApplication::translate("character", "There is no command to give just now.")
                                             : sayText(commands);
    const QString &key = m_options.listeningKeyName;
    QString note;
    if (m_listenMode == ListenMode::Once)
        note = key.isEmpty() ? QCoreApplication::translate("character", "Speak now.")
                             : QCoreApplication::translate("character", "Speak now. You can also hold %1 while you speak.").arg(key);
    else if (!key.isEmpty())
        note = QCoreApplication::translate("character", "Keep holding %1 while you speak.").arg(key);
    m_tip->showTip(ListeningTip::Mark::Listening, QCoreApplication::translate("character", "%1 is listening...").arg(m_data->name), body, note,
                   m_window->frameGeometry());
}

void DesktopCharacter::showCannotHear()
{
    if (!m_queue.isVisible())
        return;
    QString reason = m_unavailableReason;
    if (!m_recognizer)
        reason = QCoreApplication::translate("character", "Spoken commands are not available.");
    else if (reason.isEmpty() || reason.size() > shortReasonLength)
        reason = QCoreApplication::translate("character", "Is a microphone plugged in?");
    if (!reason.isEmpty() && !reason.endsWith(u'.') && !reason.endsWith(u'?') && !reason.endsWith(u'!'))
        reason += u'.';
    m_tip->showTip(ListeningTip::Mark::CannotHear, QCoreApplication::translate("character", "%1 cannot hear you.").arg(m_data->name), reason,
                   QCoreApplication::translate("character", "Right-click %1 for the menu.").arg(m_data->name), m_window->frameGeometry());
    m_tipTimer.start(m_queue.timing().cannotHearTipMs);
}

void DesktopCharacter::placeTip()
{
    m_tip->placeBy(m_window->frameGeometry());
}

} // namespace character

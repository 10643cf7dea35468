// SPDX-License-Identifier: GPL-3.0-or-later
#include "characterdesktop/desktopcharacter.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QMenu>
#include <QPainter>
#include <QRegularExpression>
#include <QScreen>
#include <QSoundEffect>
#include <QWidget>

#include "characterdesktop/balloonwindow.h"
#include "characterdesktop/characterwindow.h"
#include "character/framerenderer.h"
#include "characterdesktop/listeningtip.h"
#include "character/phraselist.h"
#include "character/readingtimespeech.h"

using namespace Qt::StringLiterals;

namespace character {

namespace {

// After speech the balloon stays a moment, so the last word can still be read.
constexpr int balloonLingerMs = 600;
// Deeper idles come after this long without a request.
constexpr qint64 idleLevel2AfterMs = 30000;
constexpr qint64 idleLevel3AfterMs = 120000;
constexpr int windowGap = 8;
// How long the tip shows what was heard, or that nothing can be heard.
constexpr int heardTipMs = 2500;
constexpr int cannotHearTipMs = 4000;
// Decoding takes a moment after the key is let go; a recogniser that heard nothing at all may
// say nothing, and then the tip goes after this.
constexpr int resultWaitMs = 3000;
// A reason longer than this is a message for a grown-up, not for the tip.
constexpr int shortReasonLength = 80;

} // namespace

CommandList::CommandList(std::function<void()> changed)
    : m_changed(std::move(changed))
{
}

void CommandList::Add(const QString &name, const QString &caption, const QString &voice, bool enabled, bool visible)
{
    const Entry entry{name, caption, voice, enabled, visible};
    auto it = std::find_if(m_entries.begin(), m_entries.end(), [&](const Entry &e) { return e.name == name; });
    if (it != m_entries.end())
        *it = entry;
    else
        m_entries << entry;
    if (m_changed)
        m_changed();
}

namespace {

struct Sayable
{
    QString text;
    bool enabled = false;
};

Sayable sayable(const CommandList::Entry &entry)
{
    static const QRegularExpression alternatives(u"\\(([^|)]*)[^)]*\\)"_s);
    static const QRegularExpression optional(u"\\[[^\\]]*\\]"_s);
    static const QRegularExpression spaces(u"\\s+"_s);
    QString voice = entry.voice;
    voice.replace(alternatives, u"\\1"_s);
    voice.replace(optional, u" "_s);
    const bool anyWordsFirst = voice.trimmed().startsWith(u"..."_s);
    voice.replace(u"..."_s, u" "_s);
    QStringList words = voice.split(spaces, Qt::SkipEmptyParts);
    if (words.isEmpty())
        return {};
    if (anyWordsFirst) {
        QString caption = entry.caption;
        caption.replace(u"&&"_s, u"\x01"_s).remove(u'&').replace(u"\x01"_s, u"&"_s).replace(u"..."_s, u" "_s);
        const QStringList captionWords = caption.split(spaces, Qt::SkipEmptyParts);
        if (captionWords.size() > words.size())
            words = captionWords.first(captionWords.size() - words.size()) + words;
    }
    QString text = words.join(u' ');
    text[0] = text[0].toUpper();
    return {text, entry.enabled};
}

QString leadingWords(const QString &text)
{
    const qsizetype space = text.lastIndexOf(u' ');
    return space < 0 ? QString() : text.left(space);
}

QString sayText(const QString &commands)
{
    //: The commands are the recogniser's own words, which are English whatever the interface language;
    //: a translation should say that they are to be said in English.
    return QCoreApplication::translate("character", "Say: %1").arg(commands);
}

} // namespace

QString sayableCommands(const QList<CommandList::Entry> &entries)
{
    QList<Sayable> all;
    for (const CommandList::Entry &entry : entries) {
        if (const Sayable s = sayable(entry); !s.text.isEmpty())
            all << s;
    }
    // A shortened run must not take in a disabled command between its ends.
    QStringList parts;
    for (qsizetype i = 0; i < all.size();) {
        if (!all.at(i).enabled) {
            ++i;
            continue;
        }
        const QString lead = leadingWords(all.at(i).text);
        qsizetype end = i + 1;
        while (!lead.isEmpty() && end < all.size() && all.at(end).enabled && leadingWords(all.at(end).text) == lead)
            ++end;
        if (end - i >= 3) {
            parts << all.at(i).text + u" ... "_s + all.at(end - 1).text;
        } else {
            for (qsizetype k = i; k < end; ++k)
                parts << all.at(k).text;
        }
        i = end;
    }
    return parts.join(u", "_s);
}

DesktopCharacter::DesktopCharacter(const QString &id, std::shared_ptr<const CharacterData> data, Options options,
                                   QObject *parent)
    : QObject(parent)
    , m_id(id)
    , m_data(std::move(data))
    , m_options(std::move(options))
    , m_renderer(std::make_unique<FrameRenderer>(m_data))
    , m_player(m_options.random)
    , m_commands([this] { commandsChanged(); })
{
    const bool translucent = m_options.translucent.value_or(desktopHasCompositor());
    m_window = std::make_unique<CharacterWindow>(translucent);
    m_window->setWindowTitle(m_data->name);
    m_balloon = std::make_unique<BalloonWindow>(translucent);
    m_tip = std::make_unique<ListeningTip>(translucent);
    m_speech = m_options.speechFactory ? m_options.speechFactory() : nullptr;
    if (!m_speech)
        m_speech = std::make_unique<ReadingTimeSpeech>();
    m_pose = m_data->neutralPose();

    connect(&m_player, &AnimationPlayer::frameChanged, this, &DesktopCharacter::onFrame);
    connect(&m_player, &AnimationPlayer::finished, this, &DesktopCharacter::onAnimationFinished);
    connect(&m_player, &AnimationPlayer::soundStarted, this, &DesktopCharacter::playSound);
    connect(m_speech.get(), &SpeechEngine::wordStarted, this, &DesktopCharacter::onWordStarted);
    connect(m_speech.get(), &SpeechEngine::mouthShapeChanged, this, &DesktopCharacter::onMouthShape);
    connect(m_speech.get(), &SpeechEngine::finished, this, &DesktopCharacter::onSpeechFinished);

    connect(m_window.get(), &CharacterWindow::clicked, this, [this](short button, short shift, QPoint at) {
        emit clicked(m_id, button, shift, short(at.x()), short(at.y()));
    });
    connect(m_window.get(), &CharacterWindow::dragged, this, [this](short button, short shift, QPoint at) {
        m_placementSettled = true;
        emit dragCompleted(m_id, button, shift, short(at.x()), short(at.y()));
    });
    connect(m_window.get(), &CharacterWindow::menuRequested, this, &DesktopCharacter::openMenu);
    connect(m_window.get(), &CharacterWindow::closedFromOutside, this, [this] {
        QTimer::singleShot(0, this, [this] {
            if (m_visible && !m_window->isVisible()) {
                m_window->show();
                renderFrame();
            }
        });
    });
    connect(m_window.get(), &CharacterWindow::moved, this, [this] {
        if (m_balloon->isVisible())
            showBalloon(m_balloon->text());
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
    connect(qApp, &QGuiApplication::screenRemoved, this, [this, keepOnScreen] {
        QTimer::singleShot(0, this, keepOnScreen);
    });

    m_idleTimer.setSingleShot(true);
    connect(&m_idleTimer, &QTimer::timeout, this, &DesktopCharacter::onIdleTimer);
    m_balloonTimer.setSingleShot(true);
    connect(&m_balloonTimer, &QTimer::timeout, m_balloon.get(), &QWidget::hide);
    // A speech engine that never reports its end must not hold the queue up for ever.
    m_speechWatchdog.setSingleShot(true);
    connect(&m_speechWatchdog, &QTimer::timeout, this, [this] {
        m_speech->stop();
        onSpeechFinished();
    });
    m_listenOnceTimer.setSingleShot(true);
    connect(&m_listenOnceTimer, &QTimer::timeout, this, &DesktopCharacter::stopListening);
    m_resultTimer.setSingleShot(true);
    connect(&m_resultTimer, &QTimer::timeout, this, [this] {
        m_awaitingResult = false;
        m_tip->hide();
    });
    m_tipTimer.setSingleShot(true);
    connect(&m_tipTimer, &QTimer::timeout, m_tip.get(), &QWidget::hide);
    m_sinceActivity.start();
}

DesktopCharacter::~DesktopCharacter()
{
    unload();
}

// ---- Requests --------------------------------------------------------------------------------

RequestPtr DesktopCharacter::Show(bool fast)
{
    return enqueue(Kind::Show, fast, {});
}

RequestPtr DesktopCharacter::Hide(bool fast)
{
    return enqueue(Kind::Hide, fast, {});
}

RequestPtr DesktopCharacter::Play(const QString &animation)
{
    return enqueue(Kind::Play, false, animation);
}

RequestPtr DesktopCharacter::Speak(const QString &text)
{
    return enqueue(Kind::Speak, false, text);
}

RequestPtr DesktopCharacter::enqueue(Kind kind, bool fast, const QString &text)
{
    Item item{std::make_shared<Request>(RequestStatus::Pending), kind, fast, text};
    m_queue << item;
    startNext();
    return item.request;
}

void DesktopCharacter::startNext()
{
    if (m_starting)
        return;
    m_starting = true;
    while (!m_current && !m_queue.isEmpty()) {
        if (m_idling) {
            // Let the idle animation land in a proper pose before the request begins.
            if (m_player.endEarly())
                break;
            continue;
        }
        m_idleTimer.stop();
        m_current = m_queue.takeFirst();
        m_current->request->setStatus(RequestStatus::InProgress);
        m_sinceActivity.start();
        begin();
    }
    m_starting = false;
    if (!m_current && m_queue.isEmpty() && !m_idling) {
        if (m_listening != ListeningState::Off && m_visible)
            playListeningState();
        else
            scheduleIdle(m_options.idleDelayMs);
    }
}

void DesktopCharacter::begin()
{
    const Item &item = *m_current;
    switch (item.kind) {
    case Kind::Show:
        if (m_visible) {
            finishCurrent(RequestStatus::Complete);
            return;
        }
        m_visible = true;
        m_heldAnimation = nullptr;
        if (item.fast || !playState(u"Showing"_s, Phase::Showing)) {
            setPose(m_data->neutralPose());
            showWindow();
            emit visibleChanged(true);
            finishCurrent(RequestStatus::Complete);
            return;
        }
        showWindow();
        emit visibleChanged(true);
        return;
    case Kind::Hide:
        if (!m_visible) {
            finishCurrent(RequestStatus::Failed);
            return;
        }
        if (!item.fast && m_heldAnimation && !m_heldAnimation->returnAnimation.isEmpty()) {
            // Leave from the rest pose, as the hiding animation expects.
            m_pendingAnimation = nullptr;
            playAnimation(m_data->animation(m_heldAnimation->returnAnimation), Phase::Returning);
            return;
        }
        if (item.fast || !playState(u"Hiding"_s, Phase::Hiding)) {
            hideWindow();
            finishCurrent(RequestStatus::Complete);
        }
        return;
    case Kind::Play: {
        const Animation *animation = m_data->animation(item.text);
        if (!m_visible || !animation) {
            finishCurrent(RequestStatus::Failed);
            return;
        }
        if (m_heldAnimation && !m_heldAnimation->returnAnimation.isEmpty()
            && m_heldAnimation->returnAnimation != animation->name) {
            m_pendingAnimation = animation;
            playAnimation(m_data->animation(m_heldAnimation->returnAnimation), Phase::Returning);
        } else {
            playAnimation(animation, Phase::Animating);
        }
        return;
    }
    case Kind::Speak: {
        if (!m_visible) {
            finishCurrent(RequestStatus::Failed);
            return;
        }
        const QStringList alternatives = phraseAlternatives(item.text);
        if (alternatives.isEmpty()) {
            finishCurrent(RequestStatus::Complete);
            return;
        }
        m_spokenText = alternatives.at(randomIndex(alternatives.size())).trimmed();
        m_speechDone = false;
        m_balloonTimer.stop();
        // Speaking keeps a held pose (say, a raised hand); otherwise the speaking animation plays.
        const bool holdPose = m_heldAnimation && !m_heldAnimation->returnAnimation.isEmpty();
        m_speakingAnimationDone = holdPose || !playState(u"Speaking"_s, Phase::Speaking);
        m_phase = Phase::Speaking;
        const auto words = m_spokenText.count(u' ') + 1;
        m_speechWatchdog.start(int(std::min<qsizetype>(60000, 8000 + 1500 * words)));
        m_speech->speak(m_spokenText, m_data->voice);
        return;
    }
    }
}

void DesktopCharacter::finishCurrent(RequestStatus status)
{
    if (!m_current)
        return;
    const RequestPtr request = m_current->request;
    m_current.reset();
    m_phase = Phase::None;
    request->setStatus(status);
    m_sinceActivity.start();
    startNext();
}

void DesktopCharacter::StopAll()
{
    m_player.stop();
    m_speech->stop();
    for (QSoundEffect *effect : std::as_const(m_sounds))
        effect->stop();
    m_speechWatchdog.stop();
    m_balloonTimer.stop();
    m_balloon->hide();
    m_mouth.reset();
    std::optional<Item> current = std::move(m_current);
    const QList<Item> queued = std::exchange(m_queue, {});
    m_current.reset();
    m_phase = Phase::None;
    m_idling = false;
    m_heldAnimation = nullptr;
    m_pendingAnimation = nullptr;
    if (current)
        current->request->setStatus(RequestStatus::Interrupted);
    for (const Item &item : queued)
        item.request->setStatus(RequestStatus::Interrupted);
    setPose(m_data->neutralPose());
    m_sinceActivity.start();
    scheduleIdle(m_options.idleDelayMs);
}

// ---- Animation -------------------------------------------------------------------------------

bool DesktopCharacter::playState(const QString &state, Phase phase)
{
    const QStringList names = m_data->states.value(state);
    if (names.isEmpty())
        return false;
    playAnimation(m_data->animation(names.at(randomIndex(names.size()))), phase);
    return true;
}

void DesktopCharacter::playAnimation(const Animation *animation, Phase phase)
{
    m_phase = phase;
    m_player.start(animation);
}

void DesktopCharacter::onFrame(const Frame &frame)
{
    setPose(frame.pose);
}

void DesktopCharacter::onAnimationFinished()
{
    switch (m_phase) {
    case Phase::Idle:
        m_idling = false;
        m_phase = Phase::None;
        // The character's own animations leave it at rest, also when cut short without an exit.
        setPose(m_data->neutralPose());
        if (!m_queue.isEmpty())
            startNext();
        else if (m_listening != ListeningState::Off && m_visible)
            playListeningState();
        else
            scheduleIdle(m_sinceActivity.elapsed() < idleLevel3AfterMs ? 4000 + randomIndex(6000)
                                                                        : 10000 + randomIndex(10000));
        return;
    case Phase::Returning:
        m_heldAnimation = nullptr;
        if (m_pendingAnimation) {
            playAnimation(m_pendingAnimation, Phase::Animating);
        } else if (!playState(u"Hiding"_s, Phase::Hiding)) {
            hideWindow();
            finishCurrent(RequestStatus::Complete);
        }
        return;
    case Phase::Animating:
        m_heldAnimation = m_current ? m_data->animation(m_current->text) : nullptr;
        finishCurrent(RequestStatus::Complete);
        return;
    case Phase::Showing:
        finishCurrent(RequestStatus::Complete);
        return;
    case Phase::Hiding:
        hideWindow();
        finishCurrent(RequestStatus::Complete);
        return;
    case Phase::Speaking:
        m_speakingAnimationDone = true;
        if (m_speechDone)
            finishSpeaking();
        return;
    case Phase::None:
        return;
    }
}

void DesktopCharacter::setPose(const Pose &pose)
{
    if (pose == m_pose)
        return;
    m_pose = pose;
    renderFrame();
}

void DesktopCharacter::renderFrame()
{
    if (!m_window->isVisible())
        return;
    const double scale = m_window->devicePixelRatioF();
    m_window->setFrame(m_renderer->render(m_pose, scale, m_mouth));
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
    return m_player.isPlaying() ? m_player.animation()->name : QString();
}

// ---- Speech ----------------------------------------------------------------------------------

void DesktopCharacter::onWordStarted(int, const QString &shownSoFar)
{
    if (m_phase != Phase::Speaking)
        return;
    showBalloon(shownSoFar);
}

void DesktopCharacter::onMouthShape(MouthShape shape)
{
    if (m_phase != Phase::Speaking || m_mouth == shape)
        return;
    m_mouth = shape;
    renderFrame();
}

void DesktopCharacter::onSpeechFinished()
{
    if (m_phase != Phase::Speaking)
        return;
    m_speechDone = true;
    m_speechWatchdog.stop();
    m_mouth.reset();
    renderFrame();
    m_balloonTimer.start(balloonLingerMs);
    if (m_speakingAnimationDone || !m_player.endEarly())
        finishSpeaking();
}

void DesktopCharacter::finishSpeaking()
{
    if (m_phase == Phase::Speaking && m_speechDone)
        finishCurrent(RequestStatus::Complete);
}

void DesktopCharacter::showBalloon(const QString &shown)
{
    m_balloon->showText(shown, m_spokenText, m_window->frameGeometry(),
                        m_window->mapToGlobal(m_data->balloonAnchor.toPoint()).x());
}

// ---- Idling ----------------------------------------------------------------------------------

void DesktopCharacter::scheduleIdle(int delayMs)
{
    if (!m_visible || delayMs < 0 || m_options.idleDelayMs < 0) {
        m_idleTimer.stop();
        return;
    }
    m_idleTimer.start(delayMs);
}

void DesktopCharacter::onIdleTimer()
{
    if (m_current || !m_queue.isEmpty() || !m_visible || m_idling || m_listening != ListeningState::Off)
        return;
    const qint64 quiet = m_sinceActivity.elapsed();
    int level = quiet < idleLevel2AfterMs ? 1 : quiet < idleLevel3AfterMs ? 2 : 3;
    // Small things keep happening between the larger ones.
    if (level == 2 && m_options.random() < 0.4)
        level = 1;
    const QStringList names = m_data->states.value(u"IdlingLevel%1"_s.arg(level));
    if (names.isEmpty())
        return;
    m_idling = true;
    // An idle animation always starts from the rest pose.
    m_heldAnimation = nullptr;
    playAnimation(m_data->animation(names.at(randomIndex(names.size()))), Phase::Idle);
}

void DesktopCharacter::setListeningState(ListeningState state)
{
    if (state == m_listening)
        return;
    m_listening = state;
    if (!m_visible || m_current || !m_queue.isEmpty())
        return;
    if (m_idling) {
        // The next listening animation follows when this one has landed.
        m_player.endEarly();
        return;
    }
    if (state != ListeningState::Off)
        playListeningState();
}

void DesktopCharacter::playListeningState()
{
    m_idleTimer.stop();
    m_idling = true;
    m_heldAnimation = nullptr;
    if (!playState(m_listening == ListeningState::Hearing ? u"Hearing"_s : u"Listening"_s, Phase::Idle)) {
        m_idling = false;
        m_phase = Phase::None;
    }
}

void DesktopCharacter::playSound(const QString &path)
{
    QSoundEffect *&effect = m_sounds[path];
    if (!effect) {
        effect = new QSoundEffect(this);
        effect->setSource(QUrl::fromLocalFile(path));
    }
    effect->play();
}

// ---- Windows ---------------------------------------------------------------------------------

void DesktopCharacter::showWindow()
{
    if (!m_placed) {
        QWidget *program = findProgramWindow();
        // The window needs its size before it can be placed.
        m_window->setFrame(m_renderer->render(m_pose, m_window->devicePixelRatioF(), m_mouth));
        if (program) {
            placeBeside(program->frameGeometry());
            m_placementSettled = program->isVisible();
        } else if (QScreen *screen = QGuiApplication::primaryScreen()) {
            const QRect area = screen->availableGeometry();
            m_window->moveWithinWorkArea(
                QPoint(area.right() - m_window->width() - 40, area.bottom() - m_window->height() - 40));
        }
        m_placed = true;
    }
    m_window->show();
    renderFrame();
}

void DesktopCharacter::hideWindow()
{
    endListening();
    m_visible = false;
    m_heldAnimation = nullptr;
    m_player.stop();
    m_idleTimer.stop();
    m_balloonTimer.stop();
    m_balloon->hide();
    m_window->hide();
    m_pose = m_data->neutralPose();
    emit visibleChanged(false);
}

void DesktopCharacter::placeBeside(const QRect &windowFrame)
{
    if (m_window->size().isEmpty() || m_window->width() < 2)
        m_window->setFrame(m_renderer->render(m_pose, m_window->devicePixelRatioF(), m_mouth));
    const QSize size = m_window->size();
    QScreen *screen = QGuiApplication::screenAt(windowFrame.center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1 << 14, 1 << 14);
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
    StopAll();
    endListening();
    m_idleTimer.stop();
    if (m_menu)
        m_menu->hide();
    m_balloon->hide();
    m_window->hide();
    m_visible = false;
}

// ---- Menu and commands -----------------------------------------------------------------------

void DesktopCharacter::openMenu(QPoint globalPos)
{
    if (!m_menu) {
        m_menu = std::make_unique<QMenu>();
        m_menu->setObjectName(u"characterMenu"_s);
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

void DesktopCharacter::hideByUser()
{
    if (!m_visible)
        return;
    StopAll();
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

void DesktopCharacter::setListenOnceDuration(int ms)
{
    m_options.listenOnceMs = ms;
}

void DesktopCharacter::startListening(bool once)
{
    if (!m_visible)
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
        m_listenOnceTimer.start(std::max(0, m_options.listenOnceMs));
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
    m_resultTimer.start(resultWaitMs);
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
    if (m_visible) {
        const QString commands = sayableCommands(m_commands.entries());
        if (heard.Count > 0) {
            const QString words = heard.Voice.trimmed().isEmpty() ? heard.Name : heard.Voice.trimmed();
            m_tip->showTip(ListeningTip::Mark::Listening,
                           QCoreApplication::translate("character", "%1 heard:").arg(m_data->name),
                           u"\u201c%1\u201d"_s.arg(words), QString(), m_window->frameGeometry());
        } else {
            m_tip->showTip(ListeningTip::Mark::Listening, QCoreApplication::translate("character", "I didn't understand."),
                           commands.isEmpty() ? QString() : sayText(commands), QString(), m_window->frameGeometry());
        }
        m_tipTimer.start(heardTipMs);
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
    m_tip->showTip(ListeningTip::Mark::Listening,
                   QCoreApplication::translate("character", "%1 is listening...").arg(m_data->name), body, note,
                   m_window->frameGeometry());
}

void DesktopCharacter::showCannotHear()
{
    if (!m_visible)
        return;
    QString reason = m_unavailableReason;
    if (!m_recognizer)
        reason = QCoreApplication::translate("character", "Spoken commands are not available.");
    else if (reason.isEmpty() || reason.size() > shortReasonLength)
        reason = QCoreApplication::translate("character", "Is a microphone plugged in?");
    if (!reason.isEmpty() && !reason.endsWith(u'.') && !reason.endsWith(u'?') && !reason.endsWith(u'!'))
        reason += u'.';
    m_tip->showTip(ListeningTip::Mark::CannotHear,
                   QCoreApplication::translate("character", "%1 cannot hear you.").arg(m_data->name), reason,
                   QCoreApplication::translate("character", "Right-click %1 for the menu.").arg(m_data->name),
                   m_window->frameGeometry());
    m_tipTimer.start(cannotHearTipMs);
}

void DesktopCharacter::placeTip()
{
    m_tip->placeBy(m_window->frameGeometry());
}

int DesktopCharacter::randomIndex(qsizetype count)
{
    if (count <= 1)
        return 0;
    return int(std::min<qsizetype>(count - 1, qsizetype(m_options.random() * double(count))));
}

} // namespace character

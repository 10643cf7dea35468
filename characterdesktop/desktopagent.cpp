// SPDX-License-Identifier: GPL-3.0-or-later
#include "characterdesktop/desktopagent.h"

#include <future>
#include <map>

#include <QApplication>
#include <QChildEvent>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDialog>
#include <QEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLoggingCategory>
#include <QMenu>
#include <QPainter>
#include <QRandomGenerator>
#include <QSystemTrayIcon>
#include <QThread>
#include <QTimer>
#include <QWidget>

#include "character/characterfile.h"
#include "character/framerenderer.h"
#include "character/logging.h"
#include "characterdesktop/characterwindow.h"

using namespace Qt::StringLiterals;

namespace character {

class DesktopAgent::Collection final : public CharacterCollection
{
public:
    explicit Collection(DesktopAgent &agent)
        : m_agent(agent)
    {
    }

    RequestPtr Load(const QString &characterId, const QString &file) override
    {
        if (m_loaded.contains(characterId))
            throw Error(u"A character is already loaded as %1."_s.arg(characterId));
        Read loaded;
        try {
            loaded = takeRead(file);
        } catch (const Error &error) {
            qCWarning(lcCharacter).noquote() << "cannot load" << file << "-" << error.message();
            throw;
        }
        const std::shared_ptr<const CharacterData> &data = loaded.data;
        qCDebug(lcCharacter) << "Loaded" << data->name << "from" << loaded.path << "as" << characterId;

        DesktopCharacter::Options options;
        QRandomGenerator *random = m_agent.m_random.get();
        options.random = [random] { return random->generateDouble(); };
        options.speechFactory = m_agent.m_speechFactory;
        options.soundFactory = m_agent.m_soundFactory;
        options.timing = m_agent.m_timing;
        options.translucent = m_agent.m_translucent;
        options.listeningKeyName = m_agent.listeningKeyName();
        // The last holder may let go of a character from inside one of its own events (the Exit
        // command of its menu ends in Unload): then it is deleted once that event is over.
        std::shared_ptr<DesktopCharacter> character(new DesktopCharacter(characterId, data, options),
                                                    [](DesktopCharacter *c) {
                                                        c->unload();
                                                        if (QThread::currentThread()->loopLevel() > 0)
                                                            c->deleteLater();
                                                        else
                                                            delete c;
                                                    });
        DesktopAgent *agent = &m_agent;
        connect(character.get(), &DesktopCharacter::clicked, agent, &Agent::Click);
        connect(character.get(), &DesktopCharacter::dragCompleted, agent, &Agent::DragComplete);
        connect(character.get(), &DesktopCharacter::commandChosen, agent, &Agent::Command);
        connect(character.get(), &DesktopCharacter::visibleChanged, agent, &DesktopAgent::updateTrayIcon);
        connect(character.get(), &DesktopCharacter::visibleChanged, agent, [agent, characterId](bool visible, bool byUser) {
            emit agent->visibleChanged(characterId, visible, byUser);
        });
        if (m_agent.m_recognizer)
            character->setRecognizer(m_agent.m_recognizer);
        // The listening key works on the character itself too.
        character->window()->installEventFilter(agent);
        m_loaded.insert(characterId, character);
        m_order << characterId;
        m_agent.updateTrayIcon();
        return std::make_shared<Request>(RequestStatus::Complete);
    }

    struct Read
    {
        QString path;
        std::shared_ptr<const CharacterData> data;
    };

    static Read read(const QString &file, const QStringList &directories, const QStringList &needed)
    {
        const QString path = resolveCharacterFile(file, directories);
        if (path.isEmpty())
            throw Error(u"The character file %1 was not found in %2."_s.arg(file, directories.join(u", "_s)));
        return {path, loadCharacterFile(path, needed)};
    }

    void prefetch(const QString &file)
    {
        Prefetch &prefetch = m_prefetched[file];
        prefetch.directories = m_agent.m_directories;
        prefetch.needed = m_agent.m_neededAnimations;
        // Only the reading: the parts are drawn when the character is first drawn, on the thread
        // that draws it. Drawn here, they would take a processor from the program's own start.
        prefetch.result
            = std::async(std::launch::async, &Collection::read, file, prefetch.directories, prefetch.needed);
    }

    // What a prefetch read, if it read with the settings that hold now; else the file, read now.
    Read takeRead(const QString &file)
    {
        auto node = m_prefetched.extract(file);
        if (!node.empty()) {
            Prefetch &prefetch = node.mapped();
            if (prefetch.directories == m_agent.m_directories && prefetch.needed == m_agent.m_neededAnimations) {
                return prefetch.result.get();
            }
        }
        return read(file, m_agent.m_directories, m_agent.m_neededAnimations);
    }

    std::shared_ptr<Character> Item(const QString &characterId) override
    {
        const auto it = m_loaded.constFind(characterId);
        if (it == m_loaded.constEnd())
            throw Error(u"No character is loaded as %1."_s.arg(characterId));
        return *it;
    }

    void Unload(const QString &characterId) override
    {
        const std::shared_ptr<DesktopCharacter> character = m_loaded.take(characterId);
        m_order.removeAll(characterId);
        if (character)
            character->unload();
        m_agent.updateTrayIcon();
    }

    QHash<QString, std::shared_ptr<DesktopCharacter>> m_loaded;
    QStringList m_order; // the IDs in the order they were loaded

    struct Prefetch
    {
        QStringList directories;
        QStringList needed;
        std::future<Read> result;
    };
    std::map<QString, Prefetch> m_prefetched;

private:
    DesktopAgent &m_agent;
};

DesktopAgent::DesktopAgent(QObject *parent)
    : Agent(parent)
    , m_characters(std::make_unique<Collection>(*this))
    , m_random(std::make_unique<QRandomGenerator>(QRandomGenerator::securelySeeded()))
{
    // The release of a key held while the program loses the keyboard never comes.
    if (qApp)
        connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
            if (state != Qt::ApplicationActive && m_keyListener)
                std::exchange(m_keyListener, nullptr)->stopListening();
        });
}

DesktopAgent::~DesktopAgent()
{
    m_tray.reset();
    for (const auto &character : std::as_const(m_characters->m_loaded))
        character->unload();
}

CharacterCollection &DesktopAgent::Characters()
{
    return *m_characters;
}

void DesktopAgent::setSpeechEngineFactory(SpeechEngineFactory factory)
{
    m_speechFactory = std::move(factory);
}

void DesktopAgent::setSoundPlayerFactory(SoundPlayerFactory factory)
{
    m_soundFactory = std::move(factory);
}

void DesktopAgent::setCommandRecognizer(CommandRecognizer *recognizer)
{
    m_keyListener = nullptr;
    m_recognizer = recognizer;
    for (const auto &character : std::as_const(m_characters->m_loaded))
        character->setRecognizer(recognizer);
}

void DesktopAgent::setCharacterDirectories(const QStringList &directories)
{
    m_directories = directories;
}

void DesktopAgent::setNeededAnimations(const QStringList &names)
{
    m_neededAnimations = names;
}

void DesktopAgent::prefetch(const QString &file)
{
    m_characters->prefetch(file);
}

void DesktopAgent::setRandomSeed(quint32 seed)
{
    m_random->seed(seed);
}

void DesktopAgent::setIdleDelay(int ms)
{
    Timing timing = m_timing;
    timing.idleDelayMs = ms;
    setTiming(timing);
}

void DesktopAgent::setTiming(const Timing &timing)
{
    m_timing = timing;
    for (const auto &character : std::as_const(m_characters->m_loaded))
        character->setTiming(timing);
}

void DesktopAgent::setTranslucentWindows(std::optional<bool> translucent)
{
    m_translucent = translucent;
}

void DesktopAgent::setTrayIconEnabled(bool enabled)
{
    m_trayEnabled = enabled;
    refreshTrayIcon();
}

void DesktopAgent::setListeningKey(Qt::Key key)
{
    if (m_keyListener)
        m_keyListener->stopListening();
    m_keyListener = nullptr;
    m_listeningKey = key;
    for (const auto &character : std::as_const(m_characters->m_loaded))
        character->setListeningKeyName(listeningKeyName());
}

void DesktopAgent::setListenOnceDuration(int ms)
{
    Timing timing = m_timing;
    timing.listenOnceMs = ms;
    setTiming(timing);
}

QString DesktopAgent::listeningKeyName() const
{
    if (m_listeningKey == Qt::Key_unknown || m_listeningKey == 0)
        return {};
    if (m_listeningKey == Qt::Key_Space)
        return QCoreApplication::translate("character", "the Space bar");
    return QCoreApplication::translate("character", "the %1 key")
        .arg(QKeySequence(m_listeningKey).toString(QKeySequence::NativeText));
}

DesktopCharacter *DesktopAgent::character(const QString &characterId) const
{
    const auto it = m_characters->m_loaded.constFind(characterId);
    return it == m_characters->m_loaded.constEnd() ? nullptr : it->get();
}

QSystemTrayIcon *DesktopAgent::trayIcon() const
{
    return m_tray.get();
}

void DesktopAgent::addHostWindow(QWidget *window)
{
    watchWidget(window);
    for (QWidget *child : window->findChildren<QWidget *>())
        watchWidget(child);
}

void DesktopAgent::watchWidget(QWidget *widget)
{
    // Installing twice would only move the filter to the front; the list keeps one entry.
    widget->installEventFilter(this);
}

bool DesktopAgent::eventFilter(QObject *watched, QEvent *event)
{
    if (!watched->isWidgetType())
        return Agent::eventFilter(watched, event);
    auto *widget = static_cast<QWidget *>(watched);
    if (menuKeyEvent(widget, event))
        return true;
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        // A key the focus widget ignores travels on to its parents; it was decided at the first.
        if (listeningKeyEvent(widget, static_cast<QKeyEvent *>(event)))
            return true;
        break;
    case QEvent::ChildAdded:
        // Keys go to the widget with the focus, so a host window's widgets added later are
        // watched as well.
        if (QObject *child = static_cast<QChildEvent *>(event)->child(); child && child->isWidgetType())
            addHostWindow(static_cast<QWidget *>(child));
        break;
    case QEvent::Show:
        // A host window that appears may take a character that is not yet placed to its side.
        if (widget->isWindow() && widget->windowType() == Qt::Window
            && !widget->property(CharacterWindow::ownWindowProperty).toBool()) {
            for (const auto &character : std::as_const(m_characters->m_loaded))
                character->programWindowShown(widget);
        }
        break;
    default:
        break;
    }
    return Agent::eventFilter(watched, event);
}

bool DesktopAgent::menuKeyEvent(QWidget *receiver, QEvent *event)
{
    // In the program's main window the menu keys open the character's menu: that is where a
    // keyboard user is, and the character's own window never takes the keyboard from it. The
    // Menu key arrives as a key and, on X11, also as a context menu request.
    const bool key = event->type() == QEvent::KeyPress && isMenuKey(static_cast<QKeyEvent *>(event));
    const bool contextKey = event->type() == QEvent::ContextMenu
        && static_cast<QContextMenuEvent *>(event)->reason() == QContextMenuEvent::Keyboard;
    if (!key && !contextKey)
        return false;
    if (receiver->window()->property(CharacterWindow::ownWindowProperty).toBool() || !takesListeningKey(receiver))
        return false;
    DesktopCharacter *character = listeningCharacter();
    if (!character)
        return false;
    if (key && static_cast<QKeyEvent *>(event)->isAutoRepeat())
        return true;
    character->openMenuFromKeyboard();
    return true;
}

bool DesktopAgent::takesListeningKey(QWidget *receiver) const
{
    // The main window and the character's own windows only: a dialog or an open menu needs
    // its keys (the name entry types spaces, Space presses a dialog's buttons).
    const auto listensIn = [](const QWidget *window) {
        if (!window)
            return false;
        if (window->property(CharacterWindow::ownWindowProperty).toBool())
            return qobject_cast<const CharacterWindow *>(window) != nullptr;
        return window->windowType() == Qt::Window && !qobject_cast<const QDialog *>(window);
    };
    return !m_characters->m_loaded.isEmpty() && !QApplication::activePopupWidget() && !QApplication::activeModalWidget()
        && listensIn(QApplication::activeWindow()) && listensIn(receiver->window());
}

DesktopCharacter *DesktopAgent::listeningCharacter() const
{
    for (const QString &id : std::as_const(m_characters->m_order)) {
        if (DesktopCharacter *c = character(id); c && c->Visible())
            return c;
    }
    return nullptr;
}

bool DesktopAgent::listeningKeyEvent(QWidget *receiver, QKeyEvent *event)
{
    if (m_listeningKey == Qt::Key_unknown || event->key() != m_listeningKey)
        return false;
    if (event->type() == QEvent::KeyRelease) {
        if (event->isAutoRepeat())
            return m_keyListener || takesListeningKey(receiver);
        if (m_keyListener) {
            // Cleared first: the character's result may unload it.
            QPointer<DesktopCharacter> listener = std::exchange(m_keyListener, nullptr);
            listener->stopListening();
            return true;
        }
        return takesListeningKey(receiver);
    }
    // With Ctrl, Alt or Meta the key is someone else's shortcut.
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    if (event->isAutoRepeat())
        return m_keyListener || takesListeningKey(receiver);
    if (!takesListeningKey(receiver))
        return false;
    // Taken also when no character is shown, so the key never presses a button instead.
    if (DesktopCharacter *listener = listeningCharacter()) {
        m_keyListener = listener;
        listener->startListening();
    }
    return true;
}

void DesktopAgent::updateTrayIcon()
{
    // On the next turn of the event loop: a program loads and shows its character while it builds
    // its window, which should not wait for the notification area to answer and the icon to be
    // drawn; and the changes of one turn make one update.
    if (std::exchange(m_trayUpdatePending, true))
        return;
    QTimer::singleShot(0, this, [this] {
        m_trayUpdatePending = false;
        refreshTrayIcon();
    });
}

void DesktopAgent::refreshTrayIcon()
{
    if (!m_trayEnabled || m_characters->m_loaded.isEmpty() || !QSystemTrayIcon::isSystemTrayAvailable()) {
        m_tray.reset();
        m_trayMenu.reset();
        return;
    }
    // One icon stands for the program's character, the first one loaded.
    const std::shared_ptr<DesktopCharacter> first = m_characters->m_loaded.value(m_characters->m_order.constFirst());
    const QString id = first->id();
    if (!m_tray || m_trayCharacter != id) {
        m_trayCharacter = id;
        m_trayMenu = std::make_unique<QMenu>();
        m_trayMenu->setProperty(CharacterWindow::ownWindowProperty, true);
        QAction *show = m_trayMenu->addAction(
            QCoreApplication::translate("character", "&Show %1").arg(first->data().name));
        show->setObjectName(u"showAction"_s);
        connect(show, &QAction::triggered, this, [this] {
            if (DesktopCharacter *c = character(m_trayCharacter); c && !c->Visible())
                c->Show();
        });
        QAction *hide = m_trayMenu->addAction(
            QCoreApplication::translate("character", "&Hide %1").arg(first->data().name));
        hide->setObjectName(u"hideAction"_s);
        connect(hide, &QAction::triggered, this, [this] {
            if (DesktopCharacter *c = character(m_trayCharacter))
                c->hideByUser();
        });
        m_tray = std::make_unique<QSystemTrayIcon>();
        m_tray->setIcon(QIcon(QPixmap::fromImage(first->iconImage(64))));
        m_tray->setToolTip(first->data().name);
        m_tray->setContextMenu(m_trayMenu.get());
        connect(m_tray.get(), &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
            if (reason != QSystemTrayIcon::Trigger && reason != QSystemTrayIcon::DoubleClick)
                return;
            if (DesktopCharacter *c = character(m_trayCharacter); c && !c->Visible())
                c->Show();
        });
        m_tray->show();
    }
    const bool visible = first->Visible();
    const QList<QAction *> actions = m_trayMenu->actions();
    actions.at(0)->setEnabled(!visible);
    actions.at(1)->setEnabled(visible);
}

} // namespace character

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

#include <QPointer>
#include <QStringList>

#include "character/agent.h"
#include "characterdesktop/desktopcharacter.h"

class QKeyEvent;
class QMenu;
class QRandomGenerator;
class QSystemTrayIcon;

namespace character {

class CommandRecognizer;

// The component as it runs on the desktop. Characters are found by the base name of the file the
// program asks for ("Merlin.acs" -> characters/merlin/merlin.json in one of the folders the
// program gives), or by the path of a .json manifest.
class DesktopAgent final : public Agent
{
    Q_OBJECT

public:
    explicit DesktopAgent(QObject *parent = nullptr);
    ~DesktopAgent() override;
    Q_DISABLE_COPY_MOVE(DesktopAgent)

    CharacterCollection &Characters() override;

    // How characters loaded from now on speak; without one, speech is shown for a reading time.
    void setSpeechEngineFactory(SpeechEngineFactory factory);
    // What plays the sounds of the animations of characters loaded from now on; without one they
    // are not played.
    void setSoundPlayerFactory(SoundPlayerFactory factory);
    // Spoken commands for every character, now and later loaded; null for none.
    void setCommandRecognizer(CommandRecognizer *recognizer);
    // The folders whose characters/ subfolder holds the character folders; none by default.
    void setCharacterDirectories(const QStringList &directories);
    // The animations the program will play: a character that lacks one is refused at Load.
    void setNeededAnimations(const QStringList &names);
    // Starts reading a character file on a worker thread, with the folders and animations set so
    // far, so that the program can build its windows meanwhile. A later Load of the same file
    // takes what was read, or the error met, instead of reading the file again.
    void prefetch(const QString &file);
    // Makes the choices of phrases, branches and idles repeatable.
    void setRandomSeed(quint32 seed);
    // How long characters wait for things and let them take, now and later loaded.
    void setTiming(const Timing &timing);
    const Timing &timing() const { return m_timing; }
    // Quiet time before a shown character starts idling; negative never idles.
    void setIdleDelay(int ms);
    // Forces translucent windows (true) or windows shaped from the frame's alpha (false);
    // by default the desktop decides.
    void setTranslucentWindows(std::optional<bool> translucent);
    // Whether a notification-area icon is offered to show a hidden character again.
    void setTrayIconEnabled(bool enabled);
    // A window of the program that takes the listening key and that a character not yet placed
    // stands beside when it appears. The component watches only these windows (their widgets,
    // now and later added) and its own; a dialog or menu open over them keeps its keys.
    void addHostWindow(QWidget *window);
    // Push to talk: while this key is held in a host window (or on the character), the first
    // shown character listens. Qt::Key_unknown turns the key off. Default: Space.
    void setListeningKey(Qt::Key key);
    Qt::Key listeningKey() const { return m_listeningKey; }
    // How long the pop-up menu's Listen listens.
    void setListenOnceDuration(int ms);

    // The loaded character of that ID, or null.
    DesktopCharacter *character(const QString &characterId) const;
    QSystemTrayIcon *trayIcon() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    class Collection;
    friend class Collection;
    void updateTrayIcon();
    void refreshTrayIcon();
    void watchWidget(QWidget *widget);
    bool listeningKeyEvent(QWidget *receiver, QKeyEvent *event);
    bool takesListeningKey(QWidget *receiver) const;
    bool menuKeyEvent(QWidget *receiver, QEvent *event);
    DesktopCharacter *listeningCharacter() const;
    QString listeningKeyName() const;

    std::unique_ptr<Collection> m_characters;
    std::unique_ptr<QRandomGenerator> m_random;
    SpeechEngineFactory m_speechFactory;
    SoundPlayerFactory m_soundFactory;
    QPointer<CommandRecognizer> m_recognizer;
    QStringList m_directories;
    QStringList m_neededAnimations;
    Timing m_timing;
    std::optional<bool> m_translucent;
    bool m_trayEnabled = true;
    bool m_trayUpdatePending = false;
    std::unique_ptr<QMenu> m_trayMenu;
    std::unique_ptr<QSystemTrayIcon> m_tray;
    QString m_trayCharacter;
    Qt::Key m_listeningKey = Qt::Key_Space;
    // The character listening while the key is held; its release goes there wherever it lands.
    QPointer<DesktopCharacter> m_keyListener;
};

} // namespace character

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <memory>
#include <optional>

#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include "character/agent.h"
#include "character/characterfile.h"
#include "character/commandlist.h"
#include "character/recognizer.h"
#include "character/requestqueue.h"
#include "character/soundplayer.h"

class QMenu;
class QWidget;

namespace character {

class BalloonWindow;
class CharacterWindow;
class ListeningTip;
class FrameRenderer;

// A loaded character on the desktop: its request queue (which carries out the requests, the
// animation, speech and idling) put on the screen with a window, balloon, listening tip and
// pop-up menu.
class DesktopCharacter final : public QObject, public Character
{
    Q_OBJECT

public:
    // The queue's own, and what only the screen needs.
    struct Options : RequestQueue::Options
    {
        std::optional<bool> translucent; // empty: translucent where a compositor runs
        QString listeningKeyName;        // how the tip names the key held to talk; empty: none
        SoundPlayerFactory soundFactory; // empty: the animations' sounds are not played
    };

    DesktopCharacter(const QString &id, std::shared_ptr<const CharacterData> data, Options options,
                     QObject *parent = nullptr);
    ~DesktopCharacter() override;
    Q_DISABLE_COPY_MOVE(DesktopCharacter)

    RequestPtr Show(bool fast = false) override;
    RequestPtr Hide(bool fast = false) override;
    RequestPtr Play(const QString &animation) override;
    RequestPtr Speak(const QString &text) override;
    void StopAll() override;
    bool Visible() const override { return m_queue.isVisible(); }
    CommandCollection &Commands() override { return m_commands; }

    QString id() const { return m_id; }
    const CharacterData &data() const { return *m_data; }
    CharacterWindow *window() const { return m_window.get(); }
    BalloonWindow *balloon() const { return m_balloon.get(); }
    // The pop-up menu as last opened; null before the first right click.
    QMenu *menu() const { return m_menu.get(); }
    void setRecognizer(CommandRecognizer *recognizer);

    // Push to talk. Listening starts the recogniser, plays the Listening state and shows the
    // listening tip with what to say; stopping lets the recogniser decode what it recorded, and
    // what it heard is shown in the tip and raised as a command. Listening once (the menu's
    // Listen) stops by itself after the listen-once duration. Without a recogniser that can
    // hear, the tip says so and nothing starts. A hidden character does not listen.
    void startListening(bool once = false);
    void stopListening();
    bool isListening() const { return m_listenMode != ListenMode::None; }
    ListeningTip *listeningTip() const { return m_tip.get(); }
    void setListeningKeyName(const QString &name);
    void setTiming(const Timing &timing);
    const Timing &timing() const { return m_queue.timing(); }
    RequestQueue &queue() { return m_queue; }

    // The animation playing now (a request's, a state's or an idle one), or empty.
    QString currentAnimation() const;
    const Pose &pose() const { return m_queue.pose(); }
    bool isIdling() const { return m_queue.isIdling(); }
    // The character at rest, fitted into a square, for icons.
    QImage iconImage(int side) const;

    // Puts the character beside a window (frame geometry on the screen), inside the work area.
    void placeBeside(const QRect &windowFrame);
    // Until the character stands beside a shown window or the child has moved it, a window of
    // the program that appears takes the character to its side.
    bool isPlacementSettled() const { return m_placementSettled; }
    void programWindowShown(QWidget *window);

    // Stops everything and takes the windows off the screen: the character is let go.
    void unload();

    using ListeningState = RequestQueue::ListeningState;
    void setListeningState(ListeningState state) { m_queue.setListeningState(state); }
    ListeningState listeningState() const { return m_queue.listeningState(); }

    // The child hid the character (its menu or the notification area).
    void hideByUser();
    void openMenu(QPoint globalPos);
    // The menu beside him with its first entry marked, as the Menu key and Shift+F10 open it.
    void openMenuFromKeyboard();

signals:
    void clicked(const QString &characterId, short button, short shift, short x, short y);
    void dragCompleted(const QString &characterId, short button, short shift, short x, short y);
    void commandChosen(const character::UserInput &input);
    void visibleChanged(bool visible, bool byUser);

private:
    enum class ListenMode { None, Held, Once };

    void onAppeared();
    void onDisappeared();
    void playSound(const QString &path);
    void showWindow();
    void renderFrame();
    // The one that draws the window's frames: the one made ahead, once it is done, or one made now.
    FrameRenderer &renderer();
    void commandsChanged();
    void showBalloon(const QString &shown, const QString &whole);
    QWidget *findProgramWindow() const;
    void onHeard(const UserInput &heard);
    void onRecognizerUnavailable(const QString &reason);
    void endListening();
    void showListeningTip();
    void showCannotHear();
    void placeTip();

    QString m_id;
    std::shared_ptr<const CharacterData> m_data;
    Options m_options;
    RequestQueue m_queue;
    std::shared_ptr<FrameRenderer> m_renderer; // made at the first frame
    std::unique_ptr<CharacterWindow> m_window;
    std::unique_ptr<BalloonWindow> m_balloon;
    std::unique_ptr<ListeningTip> m_tip;
    std::unique_ptr<QMenu> m_menu;
    CommandList m_commands;
    QPointer<CommandRecognizer> m_recognizer;

    // The balloon is sized for the whole utterance; it keeps that size when the character moves.
    QString m_balloonWholeText;
    bool m_placementSettled = false;
    bool m_hidingByUser = false;
    bool m_placed = false;
    // Shown, and the window to come out on the next turn of the event loop.
    bool m_showPending = false;
    // Made at the first sound, like the voice.
    std::unique_ptr<SoundPlayer> m_sounds;
    bool m_soundsTried = false;
    ListenMode m_listenMode = ListenMode::None;
    // From the start of listening until the result comes: only then is what the recogniser
    // hears this character's (others may share the recogniser).
    bool m_awaitingResult = false;
    QString m_unavailableReason;

    QTimer m_listenOnceTimer;
    QTimer m_resultTimer;
    QTimer m_tipTimer;
};

} // namespace character

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <memory>
#include <optional>

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include "character/agent.h"
#include "character/animationplayer.h"
#include "character/characterfile.h"
#include "character/recognizer.h"
#include "character/speechengine.h"

class QMenu;
class QSoundEffect;
class QWidget;

namespace character {

class BalloonWindow;
class CharacterWindow;
class ListeningTip;
class FrameRenderer;

using SpeechEngineFactory = std::function<std::unique_ptr<SpeechEngine>()>;

// The commands of one character, in the order they were added.
class CommandList final : public CommandCollection
{
public:
    struct Entry
    {
        QString name;
        QString caption;
        QString voice;
        bool enabled = true;
        bool visible = true;
    };

    explicit CommandList(std::function<void()> changed);
    // A name added again replaces the earlier command in its place.
    void Add(const QString &name, const QString &caption, const QString &voice, bool enabled, bool visible) override;
    const QList<Entry> &entries() const { return m_entries; }

private:
    QList<Entry> m_entries;
    std::function<void()> m_changed;
};

// The enabled voice commands written as a child would say them, for the listening tip: "..."
// and optional words left out, the first of alternatives, and a voice text that lets any words
// come first takes the leading words of its caption ("... One" with "Level &1" is "Level One").
// Three or more in a row that differ in their last word only are shortened to the first and
// the last: "Reset, Level One ... Level Four, Exit".
QString sayableCommands(const QList<CommandList::Entry> &entries);

// A loaded character on the desktop: its request queue, its animation, speech and idling, its
// window, balloon and pop-up menu.
class DesktopCharacter final : public QObject, public Character
{
    Q_OBJECT

public:
    struct Options
    {
        RandomSource random;
        SpeechEngineFactory speechFactory; // empty: speech shown for a reading time
        int idleDelayMs = 6000;            // negative: never idle
        std::optional<bool> translucent;   // empty: translucent where a compositor runs
        QString listeningKeyName;          // how the tip names the key held to talk; empty: none
        int listenOnceMs = 4000;           // how long the menu's Listen listens
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
    bool Visible() const override { return m_visible; }
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
    void setListenOnceDuration(int ms);

    // The animation playing now (a request's, a state's or an idle one), or empty.
    QString currentAnimation() const;
    const Pose &pose() const { return m_pose; }
    bool isIdling() const { return m_idling; }
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

    // While a spoken command is listened for, the character shows it with its Listening and
    // Hearing animations, between requests; requests still come first.
    enum class ListeningState { Off, Listening, Hearing };
    void setListeningState(ListeningState state);
    ListeningState listeningState() const { return m_listening; }

    // The child hid the character (its menu or the notification area).
    void hideByUser();
    void openMenu(QPoint globalPos);

signals:
    void clicked(const QString &characterId, short button, short shift, short x, short y);
    void dragCompleted(const QString &characterId, short button, short shift, short x, short y);
    void commandChosen(const character::UserInput &input);
    void visibleChanged(bool visible);

private:
    enum class Kind { Show, Hide, Play, Speak };
    enum class ListenMode { None, Held, Once };
    enum class Phase { None, Showing, Hiding, Returning, Animating, Speaking, Idle };
    struct Item
    {
        RequestPtr request;
        Kind kind = Kind::Play;
        bool fast = false;
        QString text;
    };

    RequestPtr enqueue(Kind kind, bool fast, const QString &text);
    void startNext();
    void begin();
    void finishCurrent(RequestStatus status);
    void playAnimation(const Animation *animation, Phase phase);
    bool playState(const QString &state, Phase phase);
    void onFrame(const Frame &frame);
    void onAnimationFinished();
    void onSpeechFinished();
    void onWordStarted(int index, const QString &shownSoFar);
    void onMouthShape(MouthShape shape);
    void finishSpeaking();
    void scheduleIdle(int delayMs);
    void onIdleTimer();
    void playListeningState();
    void playSound(const QString &path);
    void showWindow();
    void hideWindow();
    void setPose(const Pose &pose);
    void renderFrame();
    void commandsChanged();
    void showBalloon(const QString &shown);
    int randomIndex(qsizetype count);
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
    std::unique_ptr<FrameRenderer> m_renderer;
    std::unique_ptr<CharacterWindow> m_window;
    std::unique_ptr<BalloonWindow> m_balloon;
    std::unique_ptr<ListeningTip> m_tip;
    std::unique_ptr<QMenu> m_menu;
    std::unique_ptr<SpeechEngine> m_speech;
    AnimationPlayer m_player;
    CommandList m_commands;
    QPointer<CommandRecognizer> m_recognizer;

    QList<Item> m_queue;
    std::optional<Item> m_current;
    Phase m_phase = Phase::None;
    const Animation *m_pendingAnimation = nullptr;
    const Animation *m_heldAnimation = nullptr;
    bool m_visible = false;
    bool m_starting = false;
    bool m_idling = false;
    bool m_speechDone = false;
    bool m_speakingAnimationDone = false;
    QString m_spokenText;
    std::optional<MouthShape> m_mouth;
    Pose m_pose;
    bool m_placementSettled = false;
    bool m_placed = false;
    ListeningState m_listening = ListeningState::Off;
    QHash<QString, QSoundEffect *> m_sounds;
    ListenMode m_listenMode = ListenMode::None;
    // From the start of listening until the result comes: only then is what the recogniser
    // hears this character's (others may share the recogniser).
    bool m_awaitingResult = false;
    QString m_unavailableReason;

    QTimer m_idleTimer;
    QTimer m_balloonTimer;
    QTimer m_speechWatchdog;
    QTimer m_listenOnceTimer;
    QTimer m_resultTimer;
    QTimer m_tipTimer;
    QElapsedTimer m_sinceActivity;
};

} // namespace character

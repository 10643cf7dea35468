// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <memory>
#include <optional>

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QTimer>

#include "character/agent.h"
#include "character/animationplayer.h"
#include "character/characterfile.h"
#include "character/speechengine.h"

namespace character {

using SpeechEngineFactory = std::function<std::unique_ptr<SpeechEngine>()>;

// How long the character waits for things and how long it lets them take. The defaults suit a
// child at the screen; a test shortens them to see a watchdog fire without waiting for it.
struct Timing
{
    // Quiet time after a request before a shown character starts idling; negative: never idles.
    int idleDelayMs = 6000;
    // Idling grows livelier the longer nobody asks anything: level 2 after half a minute of
    // quiet, level 3 (the sleepy ones) after two minutes.
    int idleLevel2AfterMs = 30000;
    int idleLevel3AfterMs = 120000;
    // Between two idle animations: a few seconds, picked at random so the character does not tick
    // like a clock, and longer gaps once it is deeply idle.
    int idleGapMs = 4000;
    int idleGapSpreadMs = 6000;
    int deepIdleGapMs = 10000;
    int deepIdleGapSpreadMs = 10000;
    // After speech the balloon stays a moment, so the last word can still be read.
    int balloonLingerMs = 600;
    // A speech engine that never reports its end must not hold the queue up for ever. A child's
    // sentence at the slowest voice takes well under a second a word; the base covers a slow
    // synthesiser start, and the cap a runaway text.
    int speechWatchdogBaseMs = 8000;
    int speechWatchdogPerWordMs = 1500;
    int speechWatchdogMaxMs = 60000;
    // A played animation is brought to its end after this long, so a looping one ends too.
    int animationLimitMs = AnimationPlayer::defaultMaximumPlayMs;
    // How long the pop-up menu's Listen listens: long enough for a short command and a pause.
    int listenOnceMs = 4000;
    // Decoding takes a moment after the key is let go; a recogniser that heard nothing at all may
    // say nothing, and then the listening tip goes after this.
    int resultWaitMs = 3000;
    // How long the tip shows what was heard (a glance), or that nothing can be heard (a sentence
    // to read).
    int heardTipMs = 2500;
    int cannotHearTipMs = 4000;

    // How long the watchdog gives an utterance of that many words.
    int speechLimitMs(qsizetype words) const;
};

// One character's requests carried out one after another, with its animation, speech and
// idling: the character's behaviour without any window. It says what to draw and when to show
// or take away the character and its balloon; whoever puts it on a screen follows those signals.
class RequestQueue final : public QObject
{
    Q_OBJECT

public:
    struct Options
    {
        RandomSource random;
        SpeechEngineFactory speechFactory; // empty: speech shown for a reading time
        Timing timing;
    };

    RequestQueue(std::shared_ptr<const CharacterData> data, Options options, QObject *parent = nullptr);
    ~RequestQueue() override;
    Q_DISABLE_COPY_MOVE(RequestQueue)

    RequestPtr show(bool fast);
    RequestPtr hide(bool fast);
    RequestPtr play(const QString &animation);
    RequestPtr speak(const QString &text);
    // Interrupts the current request and every queued one, and returns to the neutral pose.
    void stopAll();
    // Interrupts everything and is off the screen at once, without a word: the character is let go.
    void leave();

    bool isVisible() const { return m_visible; }
    bool isBusy() const { return m_current.has_value() || !m_queue.isEmpty(); }
    bool isIdling() const { return m_idling; }
    // The animation playing now (a request's, a state's or an idle one), or empty.
    QString currentAnimation() const;
    const Pose &pose() const { return m_pose; }
    std::optional<MouthShape> mouth() const { return m_mouth; }
    const CharacterData &data() const { return *m_data; }
    // The engine that speaks for the character, made by the factory at the first use.
    SpeechEngine &speechEngine();

    const Timing &timing() const { return m_timing; }
    void setTiming(const Timing &timing);

    // While a spoken command is listened for, the character shows it with its Listening and
    // Hearing animations, between requests; requests still come first.
    enum class ListeningState { Off, Listening, Hearing };
    void setListeningState(ListeningState state);
    ListeningState listeningState() const { return m_listening; }

    // A uniform pick among count things, from the random source.
    int randomIndex(qsizetype count) const;

signals:
    // The character comes onto the screen (its pose is already the first one to draw).
    void appeared();
    // The character has left the screen.
    void disappeared();
    void visibleChanged(bool visible);
    // The pose or the mouth changed: draw again.
    void frameChanged();
    // The balloon shows shownSoFar of wholeText; balloonCleared() takes it away.
    void wordShown(const QString &shownSoFar, const QString &wholeText);
    void balloonCleared();
    void soundStarted(const QString &path);

private:
    enum class Kind { Show, Hide, Play, Speak };
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
    void beginShow(bool fast);
    void beginHide(bool fast);
    void beginPlay(const QString &name);
    void beginSpeak(const QString &text);
    void finishCurrent(RequestStatus status);
    void playAnimation(const Animation *animation, Phase phase);
    bool playState(const QString &state, Phase phase);
    void onAnimationFinished();
    void onSpeechFinished();
    void onWordStarted(int index, const QString &shownSoFar);
    void onMouthShape(MouthShape shape);
    void finishSpeaking();
    void scheduleIdle(int delayMs);
    void scheduleNextIdle();
    void onIdleTimer();
    void playListeningState();
    void goOffScreen();
    void setPose(const Pose &pose);
    // A held pose (say, a raised hand) that has a way back to rest.
    bool holdsPose() const;

    std::shared_ptr<const CharacterData> m_data;
    RandomSource m_random;
    Timing m_timing;
    SpeechEngineFactory m_speechFactory;
    std::unique_ptr<SpeechEngine> m_speech;
    AnimationPlayer m_player;

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
    ListeningState m_listening = ListeningState::Off;

    QTimer m_idleTimer;
    QTimer m_balloonTimer;
    QTimer m_speechWatchdog;
    QElapsedTimer m_sinceActivity;
};

} // namespace character

// SPDX-License-Identifier: GPL-3.0-or-later
#include "character/requestqueue.h"

#include <algorithm>

#include "character/logging.h"
#include "character/phraselist.h"
#include "character/readingtimespeech.h"

using namespace Qt::StringLiterals;

namespace character {

int Timing::speechLimitMs(qsizetype words) const
{
    return int(std::min<qsizetype>(speechWatchdogMaxMs, speechWatchdogBaseMs + speechWatchdogPerWordMs * words));
}

RequestQueue::RequestQueue(std::shared_ptr<const CharacterData> data, Options options, QObject *parent)
    : QObject(parent)
    , m_data(std::move(data))
    , m_random(std::move(options.random))
    , m_timing(options.timing)
    , m_speechFactory(std::move(options.speechFactory))
    , m_player(m_random)
{
    m_pose = m_data->neutralPose();
    m_player.setMaximumPlayMs(m_timing.animationLimitMs);

    connect(&m_player, &AnimationPlayer::frameChanged, this, [this](const Frame &frame) { setPose(frame.pose); });
    connect(&m_player, &AnimationPlayer::finished, this, &RequestQueue::onAnimationFinished);
    connect(&m_player, &AnimationPlayer::soundStarted, this, &RequestQueue::soundStarted);

    m_idleTimer.setSingleShot(true);
    connect(&m_idleTimer, &QTimer::timeout, this, &RequestQueue::onIdleTimer);
    m_balloonTimer.setSingleShot(true);
    connect(&m_balloonTimer, &QTimer::timeout, this, &RequestQueue::balloonCleared);
    m_speechWatchdog.setSingleShot(true);
    connect(&m_speechWatchdog, &QTimer::timeout, this, [this] {
        qCWarning(lcCharacter) << "The speech engine did not finish" << m_spokenText << "within"
                               << m_speechWatchdog.interval() << "ms; the request goes on without it";
        speechEngine().stop();
        onSpeechFinished();
    });
    m_sinceActivity.start();
}

RequestQueue::~RequestQueue() = default;

SpeechEngine &RequestQueue::speechEngine()
{
    // Made when first needed: a voice takes a moment to set up (its sound device among it), and
    // the character's first frame should not wait for that.
    if (!m_speech) {
        m_speech = m_speechFactory ? m_speechFactory() : nullptr;
        if (!m_speech) {
            if (m_speechFactory)
                qCWarning(lcCharacter) << "No speech engine could be made; words are shown at a reading pace";
            m_speech = std::make_unique<ReadingTimeSpeech>();
        }
        connect(m_speech.get(), &SpeechEngine::wordStarted, this, &RequestQueue::onWordStarted);
        connect(m_speech.get(), &SpeechEngine::mouthShapeChanged, this, &RequestQueue::onMouthShape);
        connect(m_speech.get(), &SpeechEngine::finished, this, &RequestQueue::onSpeechFinished);
    }
    return *m_speech;
}

void RequestQueue::setTiming(const Timing &timing)
{
    m_timing = timing;
    m_player.setMaximumPlayMs(timing.animationLimitMs);
}

// ---- Requests --------------------------------------------------------------------------------

RequestPtr RequestQueue::show(bool fast)
{
    return enqueue(Kind::Show, fast, {});
}

RequestPtr RequestQueue::hide(bool fast)
{
    return enqueue(Kind::Hide, fast, {});
}

RequestPtr RequestQueue::play(const QString &animation)
{
    return enqueue(Kind::Play, false, animation);
}

RequestPtr RequestQueue::speak(const QString &text)
{
    return enqueue(Kind::Speak, false, text);
}

RequestPtr RequestQueue::enqueue(Kind kind, bool fast, const QString &text)
{
    Item item{std::make_shared<Request>(RequestStatus::Pending), kind, fast, text};
    m_queue << item;
    startNext();
    return item.request;
}

void RequestQueue::startNext()
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
            scheduleIdle(m_timing.idleDelayMs);
    }
}

void RequestQueue::begin()
{
    const Item &item = *m_current;
    switch (item.kind) {
    case Kind::Show:
        beginShow(item.fast);
        return;
    case Kind::Hide:
        beginHide(item.fast);
        return;
    case Kind::Play:
        beginPlay(item.text);
        return;
    case Kind::Speak:
        beginSpeak(item.text);
        return;
    }
}

void RequestQueue::beginShow(bool fast)
{
    if (m_visible) {
        finishCurrent(RequestStatus::Complete);
        return;
    }
    m_visible = true;
    m_heldAnimation = nullptr;
    if (fast || !playState(u"Showing"_s, Phase::Showing)) {
        setPose(m_data->neutralPose());
        emit appeared();
        emit visibleChanged(true);
        finishCurrent(RequestStatus::Complete);
        return;
    }
    emit appeared();
    emit visibleChanged(true);
}

void RequestQueue::beginHide(bool fast)
{
    if (!m_visible) {
        finishCurrent(RequestStatus::Failed);
        return;
    }
    if (!fast && holdsPose()) {
        // Leave from the rest pose, as the hiding animation expects.
        m_pendingAnimation = nullptr;
        playAnimation(m_data->animation(m_heldAnimation->returnAnimation), Phase::Returning);
        return;
    }
    if (fast || !playState(u"Hiding"_s, Phase::Hiding)) {
        goOffScreen();
        finishCurrent(RequestStatus::Complete);
    }
}

void RequestQueue::beginPlay(const QString &name)
{
    const Animation *animation = m_data->animation(name);
    if (!m_visible || !animation) {
        if (m_visible)
            qCInfo(lcCharacter) << m_data->name << "has no animation" << name;
        finishCurrent(RequestStatus::Failed);
        return;
    }
    if (holdsPose() && m_heldAnimation->returnAnimation != animation->name) {
        m_pendingAnimation = animation;
        playAnimation(m_data->animation(m_heldAnimation->returnAnimation), Phase::Returning);
    } else {
        playAnimation(animation, Phase::Animating);
    }
}

void RequestQueue::beginSpeak(const QString &text)
{
    if (!m_visible) {
        finishCurrent(RequestStatus::Failed);
        return;
    }
    const QStringList alternatives = phraseAlternatives(text);
    if (alternatives.isEmpty()) {
        finishCurrent(RequestStatus::Complete);
        return;
    }
    m_spokenText = alternatives.at(randomIndex(alternatives.size())).trimmed();
    m_speechDone = false;
    m_balloonTimer.stop();
    // Speaking keeps a held pose; otherwise the speaking animation plays.
    m_speakingAnimationDone = holdsPose() || !playState(u"Speaking"_s, Phase::Speaking);
    m_phase = Phase::Speaking;
    m_speechWatchdog.start(m_timing.speechLimitMs(m_spokenText.count(u' ') + 1));
    speechEngine().speak(m_spokenText, m_data->voice);
}

bool RequestQueue::holdsPose() const
{
    return m_heldAnimation && !m_heldAnimation->returnAnimation.isEmpty();
}

void RequestQueue::finishCurrent(RequestStatus status)
{
    if (!m_current)
        return;
    const RequestPtr request = m_current->request;
    m_current.reset();
    m_phase = Phase::None;
    m_sinceActivity.start();
    // The queue is in order before anyone hears of the end: a caller may ask for more from there.
    request->setStatus(status);
    startNext();
}

void RequestQueue::stopAll()
{
    m_player.stop();
    if (m_speech)
        m_speech->stop();
    m_speechWatchdog.stop();
    m_balloonTimer.stop();
    m_mouth.reset();
    std::optional<Item> current = std::move(m_current);
    const QList<Item> queued = std::exchange(m_queue, {});
    m_current.reset();
    m_phase = Phase::None;
    m_idling = false;
    m_heldAnimation = nullptr;
    m_pendingAnimation = nullptr;
    emit balloonCleared();
    setPose(m_data->neutralPose());
    m_sinceActivity.start();
    scheduleIdle(m_timing.idleDelayMs);
    if (current)
        current->request->setStatus(RequestStatus::Interrupted);
    for (const Item &item : queued)
        item.request->setStatus(RequestStatus::Interrupted);
}

void RequestQueue::leave()
{
    stopAll();
    // Quietly: whoever lets the character go takes its windows away and wants no news of it.
    m_idleTimer.stop();
    m_visible = false;
    m_pose = m_data->neutralPose();
}

// ---- Animation -------------------------------------------------------------------------------

bool RequestQueue::playState(const QString &state, Phase phase)
{
    const QStringList names = m_data->states.value(state);
    if (names.isEmpty())
        return false;
    playAnimation(m_data->animation(names.at(randomIndex(names.size()))), phase);
    return true;
}

void RequestQueue::playAnimation(const Animation *animation, Phase phase)
{
    m_phase = phase;
    m_player.start(animation);
}

void RequestQueue::onAnimationFinished()
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
            scheduleNextIdle();
        return;
    case Phase::Returning:
        m_heldAnimation = nullptr;
        if (m_pendingAnimation) {
            playAnimation(m_pendingAnimation, Phase::Animating);
        } else if (!playState(u"Hiding"_s, Phase::Hiding)) {
            goOffScreen();
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
        goOffScreen();
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

void RequestQueue::setPose(const Pose &pose)
{
    if (pose == m_pose)
        return;
    m_pose = pose;
    emit frameChanged();
}

QString RequestQueue::currentAnimation() const
{
    return m_player.isPlaying() ? m_player.animation()->name : QString();
}

// ---- Speech ----------------------------------------------------------------------------------

void RequestQueue::onWordStarted(int, const QString &shownSoFar)
{
    if (m_phase != Phase::Speaking)
        return;
    emit wordShown(shownSoFar, m_spokenText);
}

void RequestQueue::onMouthShape(MouthShape shape)
{
    if (m_phase != Phase::Speaking || m_mouth == shape)
        return;
    m_mouth = shape;
    emit frameChanged();
}

void RequestQueue::onSpeechFinished()
{
    if (m_phase != Phase::Speaking)
        return;
    m_speechDone = true;
    m_speechWatchdog.stop();
    m_mouth.reset();
    emit frameChanged();
    m_balloonTimer.start(m_timing.balloonLingerMs);
    if (m_speakingAnimationDone || !m_player.endEarly())
        finishSpeaking();
}

void RequestQueue::finishSpeaking()
{
    if (m_phase == Phase::Speaking && m_speechDone)
        finishCurrent(RequestStatus::Complete);
}

// ---- Idling ----------------------------------------------------------------------------------

void RequestQueue::scheduleIdle(int delayMs)
{
    if (!m_visible || delayMs < 0 || m_timing.idleDelayMs < 0) {
        m_idleTimer.stop();
        return;
    }
    m_idleTimer.start(delayMs);
}

void RequestQueue::scheduleNextIdle()
{
    if (m_sinceActivity.elapsed() < m_timing.idleLevel3AfterMs)
        scheduleIdle(m_timing.idleGapMs + randomIndex(m_timing.idleGapSpreadMs));
    else
        scheduleIdle(m_timing.deepIdleGapMs + randomIndex(m_timing.deepIdleGapSpreadMs));
}

void RequestQueue::onIdleTimer()
{
    if (isBusy() || !m_visible || m_idling || m_listening != ListeningState::Off)
        return;
    const qint64 quiet = m_sinceActivity.elapsed();
    int level = quiet < m_timing.idleLevel2AfterMs ? 1 : quiet < m_timing.idleLevel3AfterMs ? 2 : 3;
    // Small things keep happening between the larger ones.
    if (level == 2 && m_random() < 0.4)
        level = 1;
    const QStringList names = m_data->states.value(u"IdlingLevel%1"_s.arg(level));
    if (names.isEmpty())
        return;
    m_idling = true;
    // An idle animation always starts from the rest pose.
    m_heldAnimation = nullptr;
    playAnimation(m_data->animation(names.at(randomIndex(names.size()))), Phase::Idle);
}

void RequestQueue::setListeningState(ListeningState state)
{
    if (state == m_listening)
        return;
    m_listening = state;
    if (!m_visible || isBusy())
        return;
    if (m_idling) {
        // The next listening animation follows when this one has landed.
        m_player.endEarly();
        return;
    }
    if (state != ListeningState::Off)
        playListeningState();
}

void RequestQueue::playListeningState()
{
    m_idleTimer.stop();
    m_idling = true;
    m_heldAnimation = nullptr;
    if (!playState(m_listening == ListeningState::Hearing ? u"Hearing"_s : u"Listening"_s, Phase::Idle)) {
        m_idling = false;
        m_phase = Phase::None;
    }
}

void RequestQueue::goOffScreen()
{
    m_visible = false;
    m_heldAnimation = nullptr;
    m_player.stop();
    m_idleTimer.stop();
    m_balloonTimer.stop();
    emit balloonCleared();
    // Drawn again only when the character comes back, in the pose it comes back in.
    m_pose = m_data->neutralPose();
    emit disappeared();
    emit visibleChanged(false);
}

int RequestQueue::randomIndex(qsizetype count) const
{
    if (count <= 1)
        return 0;
    return int(std::min<qsizetype>(count - 1, qsizetype(m_random() * double(count))));
}

} // namespace character

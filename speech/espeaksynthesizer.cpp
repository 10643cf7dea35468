// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/espeaksynthesizer.h"

#include <algorithm>
#include <cmath>
#include <mutex>
#include <optional>

#include <QLoggingCategory>
#include <QSet>

#include <espeak-ng/speak_lib.h>

#include "speech/flitespeech.h"
#include "speech/logging.h"

using namespace Qt::StringLiterals;
using character::MouthShape;

namespace speech {

namespace {

// A calm pace for young listeners; eSpeak's own default is 175 words a minute.
constexpr int baseWordsPerMinute = 150;
constexpr int basePitch = 50; // eSpeak's scale runs from 0 to 100
constexpr int minWordsPerMinute = 80;
constexpr int maxWordsPerMinute = 450;

std::mutex &espeakMutex()
{
    static std::mutex mutex;
    return mutex;
}

// Where a word of the text lies, in characters as eSpeak counts them (code points).
struct Token
{
    qsizetype start = 0; // in QChar units
    qsizetype end = 0;
    qsizetype firstCodePoint = 0;
    qsizetype endCodePoint = 0;
    int startMs = -1;
};

// A no-break space (French puts one before "!" and "?") keeps the mark with its word.
bool separates(QChar c)
{
    return c.isSpace() && c != QChar(0x00A0) && c != QChar(0x202F) && c != QChar(0x2007);
}

QList<Token> tokensOf(const QString &text)
{
    QList<Token> tokens;
    qsizetype codePoint = 0;
    qsizetype i = 0;
    auto step = [&] {
        i += (text.at(i).isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
        ++codePoint;
    };
    while (i < text.size()) {
        while (i < text.size() && separates(text.at(i)))
            step();
        if (i >= text.size())
            break;
        Token token;
        token.start = i;
        token.firstCodePoint = codePoint;
        while (i < text.size() && !separates(text.at(i)))
            step();
        token.end = i;
        token.endCodePoint = codePoint;
        tokens << token;
    }
    return tokens;
}

// What one synthesis collects from eSpeak's callback. Only touched with the lock held.
struct Collection
{
    QByteArray pcm;
    QList<Token> tokens;
    QList<MouthCue> mouth;
    int lastEventMs = 0;
};

Collection *g_collection = nullptr;

void noteWord(Collection &c, int textPosition, int audioMs)
{
    // eSpeak counts from 1; a number may be spoken as several words from one place in the text.
    const qsizetype at = qsizetype(textPosition) - 1;
    for (Token &token : c.tokens) {
        if (at < token.endCodePoint) {
            if (token.startMs < 0 && at >= token.firstCodePoint - 1)
                token.startMs = audioMs;
            return;
        }
    }
}

void noteShape(Collection &c, MouthShape shape, int audioMs)
{
    if (!c.mouth.isEmpty() && c.mouth.last().shape == shape)
        return;
    if (!c.mouth.isEmpty() && c.mouth.last().timeMs == audioMs)
        c.mouth.last().shape = shape;
    else
        c.mouth.append({audioMs, shape});
}

int onSynthesis(short *samples, int count, espeak_EVENT *events)
{
    Collection *c = g_collection;
    if (!c)
        return 1;
    if (samples && count > 0)
        c->pcm.append(reinterpret_cast<const char *>(samples), qsizetype(count) * 2);
    for (const espeak_EVENT *event = events; event && event->type != espeakEVENT_LIST_TERMINATED; ++event) {
        c->lastEventMs = std::max(c->lastEventMs, event->audio_position);
        switch (event->type) {
        case espeakEVENT_WORD:
            noteWord(*c, event->text_position, event->audio_position);
            break;
        case espeakEVENT_PHONEME: {
            const QString name = QString::fromUtf8(event->id.string, qstrnlen(event->id.string, sizeof event->id.string));
            noteShape(*c, mouthShapeForEspeakPhoneme(name), event->audio_position);
            break;
        }
        case espeakEVENT_END:
            noteShape(*c, MouthShape::Closed, event->audio_position);
            break;
        default:
            break;
        }
    }
    return 0;
}

// Called with the lock held. eSpeak is started once for the life of the process.
int sampleRate()
{
    static int rate = [] {
        const int r = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 200, nullptr,
                                        espeakINITIALIZE_PHONEME_EVENTS | espeakINITIALIZE_DONT_EXIT);
        if (r <= 0)
            qCWarning(lcSpeech) << "eSpeak NG could not start (is espeak-ng-data installed?)";
        else
            espeak_SetSynthCallback(&onSynthesis);
        return r;
    }();
    return rate;
}

// Called with the lock held.
bool selectVoice(const QString &language)
{
    if (sampleRate() <= 0)
        return false;
    const QByteArray name = language.toUtf8();
    if (espeak_SetVoiceByName(name.constData()) == EE_OK)
        return true;
    espeak_VOICE wanted{};
    wanted.languages = name.constData();
    if (espeak_SetVoiceByProperties(&wanted) == EE_OK)
        return true;
    static QSet<QString> warned;
    if (!warned.contains(language)) {
        warned.insert(language);
        qCWarning(lcSpeech) << "eSpeak NG has no voice for" << language;
    }
    return false;
}

} // namespace

MouthShape mouthShapeForEspeakPhoneme(const QString &phoneme)
{
    if (phoneme.isEmpty())
        return MouthShape::Closed;
    const QChar first = phoneme.at(0);
    const QChar second = phoneme.size() > 1 ? phoneme.at(1) : QChar();
    switch (first.unicode()) {
    case u'_': case u'm': case u'p': case u'b':
        return MouthShape::Closed;
    case u'a':
        return (second == u'I' || second == u'U' || second == u'i' || second == u'u') ? MouthShape::Wide3
                                                                                       : MouthShape::Wide4;
    case u'A':
        return MouthShape::Wide4;
    case u'E': case u'e': case u'&':
        return MouthShape::Wide2;
    case u'@': case u'6': case u'3': case u'I': case u'V': case u'f': case u'v': case u'T': case u'D':
        return MouthShape::Wide1;
    case u'i': case u'y': case u'Y': case u'u': case u'U': case u'o': case u'O': case u'w': case u'W':
    case u'j': case u'S': case u'Z': case u'r': case u'R':
        return MouthShape::Narrow;
    default:
        return MouthShape::Medium;
    }
}

EspeakSynthesizer::EspeakSynthesizer(QString language)
    : m_language(std::move(language))
{
}

bool EspeakSynthesizer::hasVoice(const QString &language)
{
    const std::lock_guard lock(espeakMutex());
    return selectVoice(language);
}

std::optional<Utterance> EspeakSynthesizer::synthesize(const QString &text, const character::VoiceSettings &voice,
                                                       UtteranceStream *)
{
    const std::lock_guard lock(espeakMutex());
    if (!selectVoice(m_language))
        return std::nullopt;
    const int rate = std::clamp(int(std::lround(baseWordsPerMinute * voice.rate)), minWordsPerMinute, maxWordsPerMinute);
    const int pitch = std::clamp(int(std::lround(basePitch * voice.pitch)), 0, 100);
    espeak_SetParameter(espeakRATE, rate, 0);
    espeak_SetParameter(espeakPITCH, pitch, 0);

    Collection collection;
    collection.tokens = tokensOf(text);
    g_collection = &collection;
    const QByteArray utf8 = text.toUtf8();
    const espeak_ERROR result = espeak_Synth(utf8.constData(), size_t(utf8.size()) + 1, 0, POS_CHARACTER, 0,
                                             espeakCHARS_UTF8, nullptr, nullptr);
    g_collection = nullptr;
    if (result != EE_OK || collection.pcm.isEmpty()) {
        qCWarning(lcSpeech) << "eSpeak NG could not speak" << text;
        return std::nullopt;
    }

    Utterance out;
    out.sampleRate = sampleRate();
    out.pcm = std::move(collection.pcm);
    const int audioMs = int(qint64(out.sampleCount()) * 1000 / out.sampleRate);
    // A token eSpeak did not report as a word (a dash, a lone mark) shows together with the word
    // before it, so every token of the text reaches the balloon and start times never go back.
    int previousMs = 0;
    for (qsizetype i = 0; i < collection.tokens.size(); ++i) {
        const Token &token = collection.tokens.at(i);
        const int startMs = std::max(previousMs, token.startMs < 0 ? previousMs : token.startMs);
        WordTiming timing;
        timing.shown = text.mid(token.start, token.end - token.start);
        timing.shownSoFar = text.left(token.end).trimmed();
        timing.startMs = startMs;
        out.words.append(timing);
        previousMs = startMs;
    }
    for (qsizetype i = 0; i < out.words.size(); ++i)
        out.words[i].endMs = i + 1 < out.words.size() ? out.words.at(i + 1).startMs : audioMs;
    out.mouth = std::move(collection.mouth);
    if (out.mouth.isEmpty() || out.mouth.last().shape != MouthShape::Closed)
        out.mouth.append({std::max(audioMs, collection.lastEventMs), MouthShape::Closed});
    out.durationMs = std::max(audioMs, out.mouth.last().timeMs);
    return out;
}

VoiceEngine voiceEngineFor(const QString &language)
{
    const QString bare = language.section(u'_', 0, 0);
    if (bare.isEmpty() || bare == u"en"_s)
        return VoiceEngine::Flite;
    if (!EspeakSynthesizer::hasVoice(bare)) {
        qCWarning(lcSpeech) << "No voice for" << bare << "; the character speaks with the English voice";
        return VoiceEngine::Flite;
    }
    return VoiceEngine::Espeak;
}

std::unique_ptr<character::SpeechEngine> createSpeechEngineFor(const QString &language)
{
    if (voiceEngineFor(language) == VoiceEngine::Flite)
        return createSpeechEngine();
    return std::make_unique<FliteSpeech>(std::make_shared<EspeakSynthesizer>(language.section(u'_', 0, 0)),
                                         FliteSpeech::Output::DefaultDevice);
}

} // namespace speech

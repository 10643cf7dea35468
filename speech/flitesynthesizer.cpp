// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/flitesynthesizer.h"

#include <algorithm>
#include <cmath>
#include <mutex>
#include <optional>

#include <QHash>
#include <QSet>

#include "speech/logging.h"
extern "C" {
#include <flite/cst_audio.h>
#include <flite/cst_synth.h>
#include <flite/flite.h>
cst_voice *register_cmu_us_rms(const char *voxdir);
}

using namespace Qt::StringLiterals;
using character::MouthShape;

namespace speech {

namespace {

// flite keeps global state (the lexicon, its feature functions, the voices' own features), so
// every call into it in the process goes through this one lock.
std::mutex &fliteMutex()
{
    static std::mutex mutex;
    return mutex;
}

struct FliteVoice
{
    cst_voice *voice = nullptr;
    float f0Mean = 100;
    float f0Stddev = 12;
};

// Called with the lock held. Voices are registered on first use and kept for the life of the
// process: flite's voice data is static, and a voice is not safe to register twice.
const FliteVoice *voiceFor(const QString &name)
{
    static bool initialised = false;
    static FliteVoice rms;
    if (!initialised) {
        initialised = true;
        flite_init();
        rms.voice = register_cmu_us_rms(nullptr);
        if (rms.voice) {
            rms.f0Mean = flite_get_param_float(rms.voice->features, "int_f0_target_mean", 100);
            rms.f0Stddev = flite_get_param_float(rms.voice->features, "int_f0_target_stddev", 12);
        }
    }
    // One voice so far. A character asking for another still speaks, with this one. Kept for the
    // life of the process, like the voices: the synthesising thread may outlive main().
    static auto &warned = *new QSet<QString>;
    if (!name.isEmpty() && name != FliteSynthesizer::defaultVoice() && !warned.contains(name)) {
        warned.insert(name);
        qCWarning(lcSpeech, "speech: no voice \"%s\", speaking with %s", qPrintable(name),
                  qPrintable(FliteSynthesizer::defaultVoice()));
    }
    if (!rms.voice)
        qCWarning(lcSpeech, "flite could not register its voice %s", qPrintable(FliteSynthesizer::defaultVoice()));
    return rms.voice ? &rms : nullptr;
}

int msFromSeconds(float seconds)
{
    return int(std::lround(seconds * 1000.0f));
}

float segmentStart(const cst_item *segment)
{
    const cst_item *previous = item_prev(segment);
    return previous ? item_feat_float(previous, "end") : 0.0f;
}

// The first and last segment of a word, through its syllables.
std::pair<const cst_item *, const cst_item *> wordSegments(const cst_item *word)
{
    const cst_item *structure = item_as(word, "SylStructure");
    if (!structure)
        return {nullptr, nullptr};
    const cst_item *firstSyllable = item_daughter(structure);
    const cst_item *lastSyllable = item_last_daughter(structure);
    if (!firstSyllable || !lastSyllable)
        return {nullptr, nullptr};
    const cst_item *first = item_daughter(firstSyllable);
    const cst_item *last = item_last_daughter(lastSyllable);
    if (!first || !last)
        return {nullptr, nullptr};
    return {item_as(first, "Segment"), item_as(last, "Segment")};
}

// Finds where a token flite read lies in the request's text, so the balloon shows the text as
// written ("12", "Welcome.") rather than as spoken. Punctuation around it belongs to it.
qsizetype tokenEnd(const QString &text, const QString &name, qsizetype &cursor)
{
    const qsizetype from = cursor;
    qsizetype start = name.isEmpty() ? -1 : text.indexOf(name, cursor);
    while (start > from && !text.at(start - 1).isSpace())
        --start;
    qsizetype end;
    if (start >= 0) {
        end = start + name.size();
    } else {
        // Not found as written (flite may have changed the characters): take the next
        // whitespace-separated piece of the text instead.
        end = cursor;
        while (end < text.size() && text.at(end).isSpace())
            ++end;
        start = end;
    }
    while (end < text.size() && !text.at(end).isSpace())
        ++end;
    cursor = end;
    return start;
}

void collectWords(const QString &text, cst_utterance *utt, Utterance &out)
{
    qsizetype cursor = 0;
    for (const cst_item *token = relation_head(utt_relation(utt, "Token")); token; token = item_next(token)) {
        const cst_item *firstWord = item_daughter(token);
        if (!firstWord)
            continue; // punctuation on its own; it shows with the next token
        const cst_item *firstSegment = nullptr;
        const cst_item *lastSegment = nullptr;
        for (const cst_item *word = firstWord; word; word = item_next(word)) {
            const auto [first, last] = wordSegments(word);
            if (!first)
                continue;
            if (!firstSegment)
                firstSegment = first;
            lastSegment = last;
        }
        if (!firstSegment)
            continue;
        const qsizetype start = tokenEnd(text, QString::fromUtf8(item_name(token)), cursor);
        WordTiming timing;
        timing.shown = text.mid(start, cursor - start);
        timing.shownSoFar = text.left(cursor).trimmed();
        timing.startMs = msFromSeconds(segmentStart(firstSegment));
        timing.endMs = msFromSeconds(item_feat_float(lastSegment, "end"));
        out.words.append(timing);
    }
}

void collectMouth(cst_utterance *utt, Utterance &out)
{
    std::optional<MouthShape> current;
    int endMs = 0;
    for (const cst_item *segment = relation_head(utt_relation(utt, "Segment")); segment; segment = item_next(segment)) {
        const MouthShape shape = mouthShapeForPhone(QString::fromLatin1(item_name(segment)));
        endMs = msFromSeconds(item_feat_float(segment, "end"));
        if (current == shape)
            continue;
        current = shape;
        out.mouth.append({msFromSeconds(segmentStart(segment)), shape});
    }
    if (current != MouthShape::Closed)
        out.mouth.append({endMs, MouthShape::Closed});
}

int durationMs(const cst_wave *wave, const Utterance &timed)
{
    int ms = int(qint64(wave->num_samples) * 1000 / wave->sample_rate);
    if (!timed.mouth.isEmpty())
        ms = std::max(ms, timed.mouth.last().timeMs);
    return ms;
}

struct StreamContext
{
    const QString &text;
    UtteranceStream *stream;
    bool begun = false;
    bool stopped = false;
};

int streamChunk(const cst_wave *wave, int start, int size, int last, cst_audio_streaming_info *info)
{
    Q_UNUSED(last)
    auto *context = static_cast<StreamContext *>(info->userdata);
    if (!context->begun) {
        // By the first chunk every segment is timed and the wave has its (nearly) final length.
        context->begun = true;
        Utterance timeline;
        timeline.sampleRate = wave->sample_rate;
        collectWords(context->text, const_cast<cst_utterance *>(info->utt), timeline);
        collectMouth(const_cast<cst_utterance *>(info->utt), timeline);
        timeline.durationMs = durationMs(wave, timeline);
        if (!context->stream->begin(timeline)) {
            context->stopped = true;
            return CST_AUDIO_STREAM_STOP;
        }
    }
    const bool more = context->stream->append(reinterpret_cast<const char *>(wave->samples + start), qsizetype(size) * 2);
    context->stopped = !more;
    return more ? CST_AUDIO_STREAM_CONT : CST_AUDIO_STREAM_STOP;
}

} // namespace

QString FliteSynthesizer::defaultVoice()
{
    return u"cmu_us_rms"_s;
}

QStringList FliteSynthesizer::voices()
{
    return {defaultVoice()};
}

std::optional<Utterance> FliteSynthesizer::synthesize(const QString &text, const character::VoiceSettings &settings,
                                                      UtteranceStream *stream)
{
    Utterance out;
    if (text.trimmed().isEmpty()) {
        out.sampleRate = 16000;
        return out;
    }

    std::lock_guard lock(fliteMutex());
    const FliteVoice *voice = voiceFor(settings.voice);
    if (!voice)
        return std::nullopt;

    // The settings go on the voice itself, which is why they are set afresh for every utterance.
    const double rate = std::clamp(settings.rate > 0 ? settings.rate : 1.0, 0.25, 4.0);
    const double pitch = std::clamp(settings.pitch > 0 ? settings.pitch : 1.0, 0.25, 4.0);
    flite_feat_set_float(voice->voice->features, "duration_stretch", float(1.0 / rate));
    flite_feat_set_float(voice->voice->features, "int_f0_target_mean", float(voice->f0Mean * pitch));
    flite_feat_set_float(voice->voice->features, "int_f0_target_stddev", float(voice->f0Stddev * pitch));

    cst_utterance *utt = new_utterance();
    utt_set_input_text(utt, text.toUtf8().constData());
    StreamContext context{text, stream};
    if (stream) {
        // Set on the utterance, not the voice, so that it ends with this utterance; the feature
        // owns the streaming info.
        cst_audio_streaming_info *info = new_audio_streaming_info();
        info->asc = streamChunk;
        info->userdata = &context;
        feat_set(utt->features, "streaming_info", audio_streaming_info_val(info));
    }
    utt = flite_do_synth(utt, voice->voice, utt_synth); // deletes the utterance when it fails
    if (!utt) {
        qCWarning(lcSpeech, "flite could not synthesise \"%s\"", qPrintable(text));
        return std::nullopt;
    }
    if (stream && context.stopped) {
        // The listener has gone; nothing more is wanted of this utterance.
        delete_utterance(utt);
        return std::nullopt;
    }
    const cst_wave *wave = utt_wave(utt);
    if (!wave || wave->sample_rate <= 0 || wave->num_channels != 1) {
        delete_utterance(utt);
        return std::nullopt;
    }
    out.sampleRate = wave->sample_rate;
    out.pcm = QByteArray(reinterpret_cast<const char *>(wave->samples), qsizetype(wave->num_samples) * 2);
    collectWords(text, utt, out);
    collectMouth(utt, out);
    out.durationMs = durationMs(wave, out);
    delete_utterance(utt);
    return out;
}

MouthShape mouthShapeForPhone(const QString &phone)
{
    // Lips together for the pauses and the bilabials; the open vowels open the mouth by how open
    // they are; rounded vowels, "ee" and the lip-pushing consonants purse it; the other
    // consonants sit half open.
    // Never destroyed: the synthesising thread may still use it while the program ends.
    static const auto &shapes = *new QHash<QString, MouthShape>{
        {u"pau"_s, MouthShape::Closed}, {u"h#"_s, MouthShape::Closed},  {u"m"_s, MouthShape::Closed},
        {u"b"_s, MouthShape::Closed},   {u"p"_s, MouthShape::Closed},

        {u"ih"_s, MouthShape::Wide1},   {u"ax"_s, MouthShape::Wide1},   {u"er"_s, MouthShape::Wide1},
        {u"f"_s, MouthShape::Wide1},    {u"v"_s, MouthShape::Wide1},    {u"th"_s, MouthShape::Wide1},
        {u"dh"_s, MouthShape::Wide1},
        {u"eh"_s, MouthShape::Wide2},   {u"ey"_s, MouthShape::Wide2},   {u"ah"_s, MouthShape::Wide2},
        {u"ae"_s, MouthShape::Wide3},   {u"ay"_s, MouthShape::Wide3},
        {u"aa"_s, MouthShape::Wide4},   {u"aw"_s, MouthShape::Wide4},   {u"ao"_s, MouthShape::Wide4},

        {u"uw"_s, MouthShape::Narrow},  {u"uh"_s, MouthShape::Narrow},  {u"ow"_s, MouthShape::Narrow},
        {u"oy"_s, MouthShape::Narrow},  {u"iy"_s, MouthShape::Narrow},  {u"w"_s, MouthShape::Narrow},
        {u"r"_s, MouthShape::Narrow},   {u"y"_s, MouthShape::Narrow},   {u"sh"_s, MouthShape::Narrow},
        {u"zh"_s, MouthShape::Narrow},  {u"ch"_s, MouthShape::Narrow},  {u"jh"_s, MouthShape::Narrow},
    };
    return shapes.value(phone, MouthShape::Medium);
}

} // namespace speech

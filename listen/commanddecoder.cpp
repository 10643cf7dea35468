// SPDX-License-Identifier: GPL-3.0-or-later
#include "listen/commanddecoder.h"

#include <algorithm>
#include <cmath>
#include <mutex>
#include <vector>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QScopeGuard>
#include <QTemporaryFile>

#include <pocketsphinx.h>
#include <sphinxbase/err.h>
#include <sphinxbase/fe.h>
#include <sphinxbase/logmath.h>

#include "listen/adaptation.h"
#include "listen/logging.h"
#include "listen/noisereducer.h"
#include "listen/pronunciationdictionary.h"

using namespace Qt::StringLiterals;

namespace listen {

namespace {

// The best command word, two alternatives, and garbage alone to weigh them against.
constexpr int maxRescoreRounds = 4;
constexpr int maxUnexplainedFrames = 10;
// 26 dB below the loud part of the speech is silence for trimming.
constexpr double quietRatio = 0.05;
constexpr size_t keptSilenceFrames = 25;
constexpr qsizetype maxKeptSearches = 40;
// Far more than the means of any model this decoder runs in real time (under a megabyte for the
// system's model); a larger file is not read into memory at all.
constexpr qint64 maxAdaptationBytes = 64 * 1024 * 1024;
// A frame within 14 dB of the loud part of the utterance is speech, not room noise. Inside a
// pause of 0.6 s or more, 0.4 s of such frames is speech the decoder did not explain.
constexpr double swallowedSpeechRatio = 0.2;
constexpr int longPauseFrames = 60;
constexpr int pauseEdgeFrames = 10;
constexpr int maxSwallowedFrames = 40;
constexpr size_t samplesPerFrame = 160; // 10 ms at 16 kHz
// Speech where the voice text allows none: a frame a fifth of the way from the noise floor to the
// loud part of the speech is speech; 0.15 s after (or before) the command words is still their
// own fading (or rising) sound; more than 0.1 s of speech beyond that is another word. Chosen on
// the development command set, where it halves the sentences taken for a command. A word whose
// frames stay below that level on average is not the speaker's.
constexpr double outsideSpeechRatio = 0.2;
constexpr int outsideMarginFrames = 15;
constexpr int maxOutsideSpeechFrames = 10;
// Path scores are scaled log likelihoods in the decoder's log base; this many nats per unit
// brings their differences to the spread of a posterior, so a clear word reads above 90 and a
// toss-up near 50.
constexpr double natsPerScoreUnit = 0.01;
// How well the command word's frames fit the model's speech at all: its acoustic score per frame,
// in the decoder's score units. Right commands on the development set fit at -37 (median), false
// ones at -54; the confidence halves at the midpoint and falls off over the spread. Noise, a
// voice the model knows badly and a sentence forced onto a command word all fit worse.
constexpr double fitMidpoint = -46.0;
constexpr double fitSpread = 8.0;
// A command word that fits worse than this is no command at all: a word forced onto noise or onto
// another word. On the development set, 2 % of the right commands fit this badly, against 14 % of
// the sentences taken for a command and 29 % of the commands heard as another.
constexpr double minFit = -65.0;
// Where the warp of a high voice's spectrum turns from scaling the formant region to squeezing what
// lies above it into the rest of the band.
constexpr int warpKneeHz = 5500;
// Path scores as the decoder reports them. A warp must explain the audio better than the unwarped
// spectrum by this much before its command counts: less is the noise of a slightly different
// spectrum, not a better fitting voice. Chosen on the development set.
constexpr int32_t minWarpGain = 100;
// A warp that fits this much better than none shows a high voice; if it still heard no command,
// a stronger one may.
constexpr int32_t nextWarpGain = 600;
// A command heard through a warp needs this share (see Hearing). A warp is one more chance for a
// sentence that is no command to end on a command word, and the warp's fit says little about it:
// adult voices saying "thirteen" or "okay" fit some warps better too. What such a guess seldom has
// is a command word that clearly beats the others and garbage alone.
constexpr short minWarpedShare = 90;
// A command heard only once the words of other voices in the room were set aside needs more than
// no share at all: their talk can hold a command word of its own, and a command that garbage
// alone explains better than any command word rests on nothing but the loudness. Chosen on the
// development set, where it takes away two of the five mistakes for four of the 36 commands won.
constexpr short minShareBesideTalk = 1;

// How people say the command words beyond the dictionary's forms: a reduced first vowel in
// "reset", "exit" with a short last vowel, a non-rhotic "four", the rounded British "one", and
// "three" with f or t for th as many young children say it.
const QList<std::pair<QString, QString>> &everydayForms()
{
    static const QList<std::pair<QString, QString>> forms = {
        {u"reset"_s, u"R IH S EH T"_s}, {u"reset"_s, u"R AH S EH T"_s}, {u"reset"_s, u"R IY Z EH T"_s},
        {u"exit"_s, u"EH K S IH T"_s},  {u"exit"_s, u"EH G Z AH T"_s},  {u"four"_s, u"F AO"_s},
        {u"one"_s, u"W AA N"_s},        {u"three"_s, u"F R IY"_s},      {u"three"_s, u"T R IY"_s},
    };
    return forms;
}

void silenceLibraryLog()
{
    // The libraries log every setting and every utterance to stderr; the program has no use for it.
    static std::once_flag once;
    std::call_once(once, [] { err_set_logfp(nullptr); });
}

short percent(double probability)
{
    return static_cast<short>(std::lround(std::clamp(probability, 0.0, 1.0) * 100.0));
}

QStringList splitWords(const char *hypothesis)
{
    if (!hypothesis)
        return {};
    return QString::fromUtf8(hypothesis).split(u' ', Qt::SkipEmptyParts);
}

// The level of the louder part of the speech: a high percentile, so a click does not set it.
double loudSpeechLevel(std::vector<double> loudness)
{
    if (loudness.empty())
        return 0.0;
    const size_t at = loudness.size() * 9 / 10;
    std::nth_element(loudness.begin(), loudness.begin() + qsizetype(at), loudness.end());
    return loudness[at];
}

// The key goes down a moment before the child speaks and comes up a moment after; decoding that
// silence costs time and tells nothing. Keeps a quarter second either side of the speech, which
// the batch normalisation and the silence model need.
void trimSilence(const qint16 *&samples, size_t &count)
{
    const std::vector<double> loudness = frameLoudness(samples, count);
    const double threshold = loudSpeechLevel(loudness) * quietRatio;
    size_t first = 0;
    while (first < loudness.size() && loudness[first] < threshold)
        ++first;
    if (first == loudness.size())
        return;
    size_t last = loudness.size() - 1;
    while (last > first && loudness[last] < threshold)
        --last;
    const size_t from = (first > keptSilenceFrames ? first - keptSilenceFrames : 0) * samplesPerFrame;
    const size_t to = std::min(count, (last + 1 + keptSilenceFrames) * samplesPerFrame);
    samples += from;
    count = to - from;
}

// The loudness from which on a frame is speech rather than the room: a fifth of the way from the
// noise floor (the quieter frames) to the loud part of the speech.
double speechThreshold(const std::vector<double> &loudness, double speechLevel)
{
    std::vector<double> sorted = loudness;
    std::sort(sorted.begin(), sorted.end());
    const double noiseFloor = sorted.empty() ? 0.0 : sorted[sorted.size() / 10];
    return noiseFloor + (speechLevel - noiseFloor) * outsideSpeechRatio;
}

// Whether there is speech where the command's voice text allows no word: after "three" in "...
// Three", before "reset" in "Reset ...". The decoder tends to put such words down as silence
// ("three little pigs" heard as "three" and a pause), so the loudness decides: frames well above
// the room's noise floor, counted from a little beyond the command words so that their own fading
// sound is not taken for more speech.
bool speechOutsideCommand(const std::vector<double> &loudness, double threshold, int firstFrame, int lastFrame,
                          std::pair<bool, bool> wordsAllowedBeforeAndAfter)
{
    const auto frames = int(loudness.size());
    int outside = 0;
    if (!wordsAllowedBeforeAndAfter.second) {
        for (int frame = lastFrame + outsideMarginFrames; frame < frames; ++frame)
            outside += loudness[size_t(frame)] >= threshold;
    }
    if (!wordsAllowedBeforeAndAfter.first) {
        for (int frame = 0; frame < std::min(frames, firstFrame - outsideMarginFrames); ++frame)
            outside += loudness[size_t(frame)] >= threshold;
    }
    return outside > maxOutsideSpeechFrames;
}

// "three(2)" is the second pronunciation of "three".
QString baseWord(const char *word)
{
    QString text = QString::fromUtf8(word ? word : "");
    const qsizetype variant = text.indexOf(u'(');
    if (variant > 0)
        text.truncate(variant);
    return text;
}

// The words of the decoder's best path that the child said, as far as the loudness tells. A
// garbage word whose frames are on average quieter than speech is someone else talking in the
// room, or the room itself, that the decoder had to put down as some word. A command word only
// has to reach the loudness of speech somewhere: whether it stands where its voice text allows
// is for the grammar to say, and a word said softly at the end of a sentence still counts. One
// that never reaches it was not said at all: the decoder fits a short word such as "four" said
// as "faw" to the breath after the last word.
QStringList wordsSaid(ps_decoder_t *decoder, const CommandGrammar &grammar, const std::vector<double> &loudness,
                      double threshold)
{
    QStringList words;
    for (ps_seg_t *seg = ps_seg_iter(decoder); seg; seg = ps_seg_next(seg)) {
        const QString word = baseWord(ps_seg_word(seg));
        // Silence, noise and the grammar's empty steps ("(NULL)") are no words.
        if (word.isEmpty() || word.startsWith(u'<') || word.startsWith(u'[') || word.startsWith(u'('))
            continue;
        int sf = 0, ef = 0;
        ps_seg_frames(seg, &sf, &ef);
        double sum = 0, loudest = 0;
        int frames = 0;
        for (int frame = std::max(0, sf); frame <= ef && size_t(frame) < loudness.size(); ++frame, ++frames) {
            sum += loudness[size_t(frame)];
            loudest = std::max(loudest, loudness[size_t(frame)]);
        }
        if (frames > 0 && (grammar.isCommandWord(word) ? loudest : sum / frames) < threshold)
            continue;
        words.append(word);
    }
    return words;
}

// The cepstra of the samples, as the decoder's own front end makes them from raw audio: every
// full frame, then what is left padded into a last one.
void computeCepstra(fe_t *frontEnd, const qint16 *samples, size_t count, std::vector<mfcc_t> &cepstra,
                    std::vector<mfcc_t *> &frames)
{
    frames.clear();
    fe_start_utt(frontEnd);
    size_t left = count;
    int32 n = 0;
    if (fe_process_frames(frontEnd, nullptr, &left, nullptr, &n, nullptr) < 0 || n < 0)
        return;
    const auto width = size_t(fe_get_output_size(frontEnd));
    cepstra.assign((size_t(n) + 1) * width, 0);
    frames.resize(size_t(n) + 1);
    for (size_t i = 0; i < frames.size(); ++i)
        frames[i] = cepstra.data() + i * width;
    const auto *in = reinterpret_cast<const int16 *>(samples);
    left = count;
    if (fe_process_frames(frontEnd, &in, &left, frames.data(), &n, nullptr) < 0) {
        frames.clear();
        return;
    }
    int32 tail = 0;
    fe_end_utt(frontEnd, frames[size_t(n)], &tail);
    frames.resize(size_t(n + tail));
}

// The library keeps the warp parameters of the front end being set up in globals; two decoders
// on two threads must not set one up at the same time.
fe_t *newFrontEnd(cmd_ln_t *settings)
{
    static std::mutex settingUp;
    const std::lock_guard lock(settingUp);
    return fe_init_auto_r(settings);
}

// The library's settings from command-line style arguments; null when it rejects them.
cmd_ln_t *parseSettings(QList<QByteArray> args)
{
    QList<char *> argv;
    for (QByteArray &arg : args)
        argv.append(arg.data());
    return cmd_ln_parse_r(nullptr, ps_args(), int(argv.size()), argv.data(), FALSE);
}

QList<QByteArray> decoderSettings()
{
    // The third pass over the word lattice costs seconds on a grammar with a garbage loop, for
    // a posterior that the rescoring below gives far cheaper. A low word insertion penalty keeps
    // the garbage loop from splitting a short command word into two or three garbage words that
    // fit its sounds a little better ("one" as "why and").
    // Beams a little narrower than the defaults save a third of the decoding time without a
    // command lost. The word exit beam stays wide: pruned too hard, the no-command path can die
    // out mid-sentence and leave a command as the only path to the end. The front end's own
    // silence removal stays off: push to talk already bounds the utterance, and with it on the
    // decoder's frame numbers no longer match the audio that the rescoring cuts out.
    return {"-bestpath", "no", "-wip", "1e-3", "-beam", "1e-35", "-pbeam", "1e-35", "-remove_silence", "no"};
}

} // namespace

CommandDecoder::CommandDecoder(const QString &modelDir, const QString &dictionaryFile)
    : m_modelDir(modelDir.isEmpty() ? defaultModelDir() : modelDir)
    , m_dictionaryFile(dictionaryFile.isEmpty() ? defaultDictionaryFile() : dictionaryFile)
    , m_adaptation(modelDir.isEmpty() ? defaultAdaptation() : QString())
{
}

CommandDecoder::~CommandDecoder()
{
    release();
}

QString CommandDecoder::defaultModelDir()
{
    return u"/usr/share/pocketsphinx/model/en-us/en-us"_s;
}

QString CommandDecoder::defaultDictionaryFile()
{
    return u"/usr/share/pocketsphinx/model/en-us/cmudict-en-us.dict"_s;
}

QString CommandDecoder::defaultAdaptation()
{
    return u":/listen/en-us-adapted.means"_s;
}

void CommandDecoder::setAdaptation(const QString &file)
{
    m_adaptation = file;
    m_dirty = true;
}

bool CommandDecoder::isUsable() const
{
    return QFileInfo::exists(m_modelDir + u"/mdef"_s) && QFileInfo(m_dictionaryFile).isReadable() && m_error.isEmpty();
}

QString CommandDecoder::errorString() const
{
    if (!QFileInfo::exists(m_modelDir + u"/mdef"_s))
        return QCoreApplication::translate("listen", "The speech model is missing (%1).").arg(m_modelDir);
    if (!QFileInfo(m_dictionaryFile).isReadable())
        return QCoreApplication::translate("listen", "The pronouncing dictionary is missing (%1).")
            .arg(m_dictionaryFile);
    return m_error;
}

void CommandDecoder::setCommands(const QList<character::VoiceCommand> &commands)
{
    m_grammar.setCommands(commands);
    m_dirty = true;
}

void CommandDecoder::setWarpFactors(const QList<double> &factors)
{
    m_warpFactors = factors;
    m_dirty = true;
}

void CommandDecoder::releaseFrontEnds()
{
    for (cmd_ln_t *config : std::as_const(m_warpedFrontEnds))
        cmd_ln_free_r(config);
    m_warpedFrontEnds.clear();
}

void CommandDecoder::release()
{
    m_adapted = false;
    releaseFrontEnds();
    if (m_decoder)
        ps_free(m_decoder);
    m_decoder = nullptr;
    if (m_config)
        cmd_ln_free_r(m_config);
    m_config = nullptr;
    m_smallDictionary.reset();
    m_wordSearches.clear();
}

bool CommandDecoder::prepare()
{
    if (!m_dirty && m_decoder)
        return true;
    release();
    m_error.clear();
    m_dirty = false;
    const auto warnOnFailure = qScopeGuard([this] {
        if (!m_error.isEmpty())
            qCWarning(lcListen).noquote() << "the speech decoder cannot be used:" << m_error;
    });
    silenceLibraryLog();
    if (!QFileInfo::exists(m_modelDir + u"/mdef"_s)) {
        m_error = errorString();
        return false;
    }

    PronunciationDictionary dictionary;
    const QStringList wanted = m_grammar.words();
    if (!dictionary.load(m_dictionaryFile, wanted)) {
        m_error = QCoreApplication::translate("listen", "The pronouncing dictionary cannot be read (%1).")
                      .arg(m_dictionaryFile);
        return false;
    }
    // A word without a pronunciation makes the decoder refuse the grammar as a whole; saying
    // which word it is lets the command's author pick another.
    for (const auto &[word, phones] : everydayForms())
        dictionary.addVariant(word, phones);
    const QStringList missing = dictionary.missingWords(wanted);
    if (!missing.isEmpty()) {
        m_error = QCoreApplication::translate("listen", "No pronunciation for: %1.").arg(missing.join(u", "_s));
        return false;
    }

    m_smallDictionary = std::make_unique<QTemporaryFile>(QDir::tempPath() + u"/zumbrel-dict-XXXXXX"_s);
    if (!m_smallDictionary->open()) {
        m_error = QCoreApplication::translate("listen", "Cannot write the decoder's word list.");
        return false;
    }
    m_smallDictionary->write(dictionary.toText().toUtf8());
    m_smallDictionary->flush();

    const QByteArray model = QFile::encodeName(m_modelDir);
    const QByteArray dict = QFile::encodeName(m_smallDictionary->fileName());
    // Batch mean normalisation: the whole utterance is at hand before decoding starts, so the
    // channel (microphone, room, distance) is estimated on it rather than guessed up front.
    QList<QByteArray> args = {"-hmm", model, "-dict", dict, "-cmn", "batch", "-logfn", "/dev/null"};
    args += decoderSettings();
    // The decoder reads the adapted means while it loads the model, from a file name: it cannot
    // open a resource, so it gets a checked copy, which is not needed once the model is loaded.
    QTemporaryFile adaptedMeans(QDir::tempPath() + u"/zumbrel-means-XXXXXX"_s);
    if (!m_adaptation.isEmpty()) {
        if (writeAdaptedMeans(adaptedMeans))
            args += {"-mean", QFile::encodeName(adaptedMeans.fileName())};
        else
            qCWarning(lcListen).noquote()
                << "the speaker adaptation" << m_adaptation << "cannot be used; the speech model is used as it is";
    }
    m_config = parseSettings(args);
    if (!m_config) {
        m_error = QCoreApplication::translate("listen", "The speech decoder rejected its settings.");
        return false;
    }
    m_decoder = ps_init(m_config);
    if (!m_decoder) {
        m_error = QCoreApplication::translate("listen", "The speech decoder cannot load its model.");
        release();
        return false;
    }
    m_adapted = args.contains("-mean");
    const QByteArray jsgf = m_grammar.toJsgf().toUtf8();
    if (ps_set_jsgf_string(m_decoder, "commands", jsgf.constData()) != 0 || ps_set_search(m_decoder, "commands") != 0) {
        m_error = QCoreApplication::translate("listen", "The speech decoder rejected the command grammar.");
        release();
        return false;
    }
    if (!prepareFrontEnds()) {
        // Adults are still understood without the warped front ends.
        qCWarning(lcListen) << "the frequency warped front ends cannot be set up; high voices are heard unwarped";
        releaseFrontEnds();
    }
    return true;
}

bool CommandDecoder::writeAdaptedMeans(QTemporaryFile &copy) const
{
    QFile file(m_adaptation);
    QFile own(m_modelDir + u"/means"_s);
    if (!file.open(QIODevice::ReadOnly) || file.size() > maxAdaptationBytes || !own.open(QIODevice::ReadOnly)
        || own.size() > maxAdaptationBytes)
        return false;
    const QByteArray means = file.readAll();
    if (!isGaussianFileLike(means, own.readAll()))
        return false;
    return copy.open() && copy.write(means) == means.size() && copy.flush();
}

bool CommandDecoder::prepareFrontEnds()
{
    // The warped front ends must compute the same features as the decoder's own, which takes its
    // settings from the model's feature parameters.
    const QString featureParameters = m_modelDir + u"/feat.params"_s;
    for (const double factor : std::as_const(m_warpFactors)) {
        // Piecewise linear: the spectrum up to the knee is scaled by the factor, where the
        // formants are; above it a steeper line still reaches the Nyquist frequency, so the top
        // filters keep audio to look at.
        QList<QByteArray> args
            = {"-remove_silence", "no",
               "-warp_type",      "piecewise_linear",
               "-warp_params",    QByteArray::number(factor, 'f', 3) + ' ' + QByteArray::number(warpKneeHz)};
        cmd_ln_t *config = parseSettings(args);
        if (!config)
            return false;
        m_warpedFrontEnds.append(config);
        if (QFileInfo::exists(featureParameters)
            && !cmd_ln_parse_file_r(config, ps_args(), QFile::encodeName(featureParameters).constData(), FALSE))
            return false;
        // Checked once here, so that a decode can count on it.
        fe_t *frontEnd = newFrontEnd(config);
        if (!frontEnd)
            return false;
        fe_free(frontEnd);
    }
    return true;
}

int32 CommandDecoder::decodeWith(const char *search, cmd_ln_s *frontEnd, const qint16 *samples, size_t count,
                                 QStringList &words)
{
    words.clear();
    // The decoder's own front end keeps its estimate of the room's noise from one utterance to
    // the next, and subtracts it from the spectrum: the same words would be heard differently
    // after a noisy utterance than after a quiet one. A new stream starts that estimate afresh.
    ps_start_stream(m_decoder);
    if (ps_set_search(m_decoder, search) != 0 || ps_start_utt(m_decoder) < 0)
        return 0;
    if (frontEnd) {
        // A front end adapts to the audio it has seen (its noise estimate); a new one for each
        // decode keeps one utterance from changing how the next is heard. Setting one up costs
        // far less than a millisecond.
        std::vector<mfcc_t> cepstra;
        std::vector<mfcc_t *> frames;
        if (fe_t *fresh = newFrontEnd(frontEnd)) {
            computeCepstra(fresh, samples, count, cepstra, frames);
            fe_free(fresh);
        }
        if (!frames.empty())
            ps_process_cep(m_decoder, frames.data(), int(frames.size()), FALSE, TRUE);
    } else {
        ps_process_raw(m_decoder, reinterpret_cast<const int16 *>(samples), count, FALSE, TRUE);
    }
    ps_end_utt(m_decoder);
    int32 score = 0;
    words = splitWords(ps_get_hyp(m_decoder, &score));
    return score;
}

character::UserInput CommandDecoder::decode(const QByteArray &pcm16k)
{
    if (m_grammar.commandNames().isEmpty() || !prepare())
        return {};

    const auto *samples = reinterpret_cast<const qint16 *>(pcm16k.constData());
    size_t count = static_cast<size_t>(pcm16k.size()) / sizeof(qint16);
    // Before the silence is trimmed: the pauses around the words are where the noise shows.
    // The checks on where the child spoke go by the loudness of the audio as recorded: they
    // know how speech stands out of noise, not how the noise's leftovers after the reduction
    // rise and fall.
    const qint16 *recorded = samples;
    std::vector<qint16> conditioned(samples, samples + count);
    bool changed = false;
    if (m_noiseReduction) {
        const NoiseReport noise = reduceSteadyNoise(conditioned);
        qCDebug(lcListen).noquote() << "speech" << noise.speechAboveNoiseDb << "dB above noise, noise unsteady by"
                                    << noise.noiseUnsteadinessDb << "dB, reduced:" << noise.reduced;
        changed = noise.reduced;
    }
    if (m_roomTone && addRoomTone(conditioned)) {
        qCDebug(lcListen) << "pauses quieter than a room: room tone added";
        changed = true;
    }
    if (changed)
        samples = conditioned.data();
    const qint16 *const start = samples;
    trimSilence(samples, count);
    recorded += samples - start;
    const Hearing plain = decodeAt(nullptr, samples, recorded, count);
    if (plain.input.Count > 0 || count == 0)
        return plain.input;

    // The voice as heard matched no command. A child's voice may match once its spectrum is
    // scaled down towards the adult voices the model learned. A warp's command counts only when
    // its best path explains the audio clearly better than the unwarped one did: the warp then
    // fits the voice, not just the command. Most sentences that are no command fit worse warped,
    // and those that do not are mostly caught by the confidence, which a command guessed out of
    // a mismatched spectrum rarely earns. A stronger warp is tried only when the one before fit
    // the voice clearly better and still heard no command.
    int32_t bestGain = 0;
    for (qsizetype i = 0; i < m_warpedFrontEnds.size(); ++i) {
        const Hearing warped = decodeAt(m_warpedFrontEnds.at(i), samples, recorded, count, plain.score + minWarpGain);
        const int32_t gain = warped.score - plain.score;
        qCDebug(lcListen).noquote() << "warp" << m_warpFactors.at(i) << "gain" << gain << "heard" << warped.input.Voice
                                    << warped.input.Name << warped.input.Confidence;
        if (warped.input.Count > 0 && gain > std::max(bestGain, minWarpGain) && warped.share >= minWarpedShare)
            return warped.input;
        if (gain <= nextWarpGain)
            break;
        bestGain = std::max(bestGain, gain);
    }
    return plain.input;
}

CommandDecoder::Hearing CommandDecoder::decodeAt(cmd_ln_s *frontEnd, const qint16 *samples, const qint16 *recorded,
                                                 size_t count, int32_t minScore)
{
    Hearing hearing;
    character::UserInput &input = hearing.input;
    QStringList heard;
    hearing.score = decodeWith("commands", frontEnd, samples, count, heard);
    input.Voice = heard.join(u' ');
    // Rescoring for the confidence costs several decodes; a path that cannot count needs none.
    if (hearing.score <= minScore)
        return hearing;
    const std::vector<double> loudness = frameLoudness(recorded, count);
    const double speechLevel = loudSpeechLevel(loudness);
    const double speechFrom = speechThreshold(loudness, speechLevel);
    const QStringList said = wordsSaid(m_decoder, m_grammar, loudness, speechFrom);
    const QStringList names = m_grammar.match(said);
    if (names.isEmpty())
        return hearing;
    const bool besideTalk = said.size() < heard.size() && m_grammar.match(heard).isEmpty();

    // Where the words that make the command were said, where the decoder's path ends, and
    // how much loud audio it put down as a long silence.
    const QStringList bestWords = m_grammar.commandWords(names.constFirst());
    int firstFrame = -1, lastFrame = -1, pathEnd = -1, swallowedFrames = 0;
    int32 wordScore = 0;
    int wordFrames = 0;
    for (ps_seg_t *seg = ps_seg_iter(m_decoder); seg; seg = ps_seg_next(seg)) {
        int sf = 0, ef = 0;
        ps_seg_frames(seg, &sf, &ef);
        pathEnd = std::max(pathEnd, ef);
        const QString word = baseWord(ps_seg_word(seg));
        if (word.startsWith(u'<') || word.startsWith(u'[')) {
            // Only the inside of a long pause counts; its edges carry the fading and rising
            // sounds of the words next to it.
            if (ef - sf + 1 >= longPauseFrames) {
                const int from = std::max(0, sf + pauseEdgeFrames);
                for (int frame = from; frame <= ef - pauseEdgeFrames && size_t(frame) < loudness.size(); ++frame)
                    swallowedFrames += loudness[size_t(frame)] >= speechLevel * swallowedSpeechRatio;
            }
        }
        if (!bestWords.contains(word))
            continue;
        if (firstFrame < 0)
            firstFrame = sf;
        lastFrame = ef;
        int32 acoustic = 0, language = 0, backoff = 0;
        ps_seg_prob(seg, &acoustic, &language, &backoff);
        wordScore += acoustic;
        wordFrames += ef - sf + 1;
    }
    // When no path through the grammar survives to the end of the utterance, the decoder still
    // answers with the path that got furthest, which can be a command cut out of a sentence.
    // And with words dear and silence cheap, it sometimes lets a pause swallow the rest of a
    // sentence ("I do not know the answer" as "I two" and a long pause). Speech it could not
    // explain means the command is not what was said.
    if (pathEnd < ps_get_n_frames(m_decoder) - maxUnexplainedFrames || swallowedFrames > maxSwallowedFrames)
        return hearing;
    const std::pair<bool, bool> wordsAllowed = m_grammar.wordsAllowedAround(names.constFirst());
    if (firstFrame >= 0 && speechOutsideCommand(loudness, speechFrom, firstFrame, lastFrame, wordsAllowed))
        return hearing;
    if (wordFrames > 0 && double(wordScore) / wordFrames < minFit)
        return hearing;
    input.Count = 1;
    input.Name = names.constFirst();
    if (firstFrame < 0) {
        input.Confidence = hearing.share = 50;
        return hearing;
    }

    // The confidence and the alternatives come from decoding that stretch again against one
    // command word amid garbage words, or garbage alone. The best command word there, then the
    // best once it is taken away, and so on down to garbage alone, rank what the stretch could
    // have been; how far each falls behind the first gives its share of the probability. The
    // confidences weigh each share by how well the command word's frames fit the model at all:
    // a word that wins only among poor fits is no sure thing.
    const size_t margin = 8 * samplesPerFrame;
    const size_t from = std::min(
        count, size_t(firstFrame) * samplesPerFrame > margin ? size_t(firstFrame) * samplesPerFrame - margin : 0);
    const size_t to = std::min(count, size_t(lastFrame + 1) * samplesPerFrame + margin);
    struct Candidate
    {
        QString word;
        int32 score = 0;
    };
    QList<Candidate> ranked;
    QStringList excluded;
    for (int round = 0; round < maxRescoreRounds; ++round) {
        const QByteArray search = wordSearch(excluded);
        if (search.isEmpty())
            break;
        QStringList words;
        const int32 score = decodeWith(search.constData(), frontEnd, samples + from, to - from, words);
        QString word;
        for (const QString &candidate : std::as_const(words)) {
            if (m_grammar.isCommandWord(candidate)) {
                word = candidate;
                break;
            }
        }
        ranked.append({word, score});
        if (round == 0
            && endsBeforeSpeech(from, bestWords, loudness, speechFrom, firstFrame, lastFrame, wordsAllowed.second)) {
            input = character::UserInput{};
            input.Voice = heard.join(u' ');
            return hearing;
        }
        // Once garbage alone wins, what follows is no command the child could have meant.
        if (word.isEmpty())
            break;
        excluded.append(word);
    }

    const double nats = natsPerScoreUnit;
    const auto share = [&](int32 score) {
        double total = 0;
        for (const Candidate &candidate : ranked)
            total += std::exp((candidate.score - score) * nats);
        return total > 0 ? 1.0 / total : 0.0;
    };
    double bestShare = 0;
    for (const Candidate &candidate : ranked) {
        if (bestWords.contains(candidate.word))
            bestShare = std::max(bestShare, share(candidate.score));
    }
    const double perFrame = wordFrames > 0 ? double(wordScore) / wordFrames : fitMidpoint;
    const double fit = 1.0 / (1.0 + std::exp((fitMidpoint - perFrame) / fitSpread));
    hearing.share = percent(bestShare);
    input.Confidence = percent(bestShare * fit);
    if (besideTalk && hearing.share < minShareBesideTalk) {
        input = character::UserInput{};
        input.Voice = heard.join(u' ');
        return hearing;
    }

    for (const Candidate &candidate : ranked) {
        if (input.Count >= 3)
            break;
        const QString name = m_grammar.commandOfWord(candidate.word);
        if (name.isEmpty() || name == input.Name || name == input.Alt1Name)
            continue;
        if (input.Count == 1) {
            input.Alt1Name = name;
            input.Alt1Confidence = percent(share(candidate.score) * fit);
            input.Alt1Voice = candidate.word;
        } else {
            input.Alt2Name = name;
            input.Alt2Confidence = percent(share(candidate.score) * fit);
            input.Alt2Voice = candidate.word;
        }
        ++input.Count;
    }
    return hearing;
}

bool CommandDecoder::endsBeforeSpeech(size_t from, const QStringList &commandWords, const std::vector<double> &loudness,
                                      double speechFrom, int firstFrame, int lastFrame, bool wordsAllowedAfter) const
{
    // The command grammar has no words after a command that ends its voice text, so the decoder
    // stretches the last command word over whatever follows it ("fourteen" as a long "four",
    // "three little pigs" as "three" and a drawn-out vowel). The rescoring search has garbage on
    // either side: where it ends the command word is where the word ends, and the rule for speech
    // after the command then applies from there. In front of a command the grammar already has a
    // place for other words.
    if (wordsAllowedAfter)
        return false;
    const int offset = int(from / samplesPerFrame);
    int wordEnd = -1;
    for (ps_seg_t *seg = ps_seg_iter(m_decoder); seg; seg = ps_seg_next(seg)) {
        if (commandWords.contains(baseWord(ps_seg_word(seg)))) {
            int sf = 0, ef = 0;
            ps_seg_frames(seg, &sf, &ef);
            wordEnd = ef + offset;
        }
    }
    return wordEnd >= 0 && wordEnd < lastFrame
        && speechOutsideCommand(loudness, speechFrom, firstFrame, wordEnd, {true, false});
}

QByteArray CommandDecoder::wordSearch(QStringList excluded)
{
    // Building a search costs about as much as decoding a short word, and the same few
    // exclusions come back decode after decode ("three", then "three" and "two"), so the
    // searches are kept under a name made of what they exclude.
    excluded.sort();
    const QByteArray name = "word:" + excluded.join(u',').toUtf8();
    if (m_wordSearches.contains(name))
        return name;
    const QByteArray jsgf = m_grammar.toWordJsgf(excluded).toUtf8();
    const QByteArray key = m_wordSearches.size() < maxKeptSearches ? name : QByteArray("word:scratch");
    if (ps_set_jsgf_string(m_decoder, key.constData(), jsgf.constData()) != 0)
        return {};
    if (key == name)
        m_wordSearches.insert(name);
    return key;
}

} // namespace listen

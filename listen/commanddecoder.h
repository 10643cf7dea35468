// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <limits>
#include <memory>
#include <vector>

#include <QByteArray>
#include <QList>
#include <QSet>
#include <QString>

#include "character/agent.h"
#include "character/recognizer.h"
#include "listen/commandgrammar.h"

class QTemporaryFile;
struct ps_decoder_s;
struct cmd_ln_s;

namespace listen {

// Decodes one utterance of speech against the grammar of the registered commands. Not thread
// safe: one thread at a time may use an instance.
class CommandDecoder
{
public:
    // The acoustic model folder and the pronouncing dictionary; empty for the system's
    // US English model.
    explicit CommandDecoder(const QString &modelDir = QString(), const QString &dictionaryFile = QString());
    ~CommandDecoder();
    Q_DISABLE_COPY_MOVE(CommandDecoder)

    static QString defaultModelDir();
    static QString defaultDictionaryFile();

    // False when the model or dictionary is missing or the decoder cannot start; errorString()
    // says why. Checked without starting the decoder.
    bool isUsable() const;
    QString errorString() const;

    void setCommands(const QList<character::VoiceCommand> &commands);
    const CommandGrammar &grammar() const { return m_grammar; }

    // 16 kHz mono signed 16-bit little-endian samples of one utterance. Count is 0 when the
    // speech matched no command, including silence; Voice carries the words heard.
    character::UserInput decode(const QByteArray &pcm16k);

    // Starts the decoder for the current commands now rather than on the first decode.
    bool prepare();

    // How far the spectrum is scaled down when the voice as heard matches no command: a child's
    // shorter vocal tract puts every formant higher than the adult voices the model learned.
    // Each factor below 1 is one more try; empty for none.
    void setWarpFactors(const QList<double> &factors);
    QList<double> warpFactors() const { return m_warpFactors; }

    // Whether a loud, steady background noise is taken out before decoding (on by default).
    void setNoiseReduction(bool enabled) { m_noiseReduction = enabled; }
    bool noiseReduction() const { return m_noiseReduction; }
    // Whether pauses quieter than any room get a faint room tone before decoding (on by default).
    void setRoomTone(bool enabled) { m_roomTone = enabled; }
    bool roomTone() const { return m_roomTone; }

    // The speech model learned adults reading into desk microphones. The adaptation is a file of
    // its Gaussian means moved towards the many voices and rooms the decoder hears (sphinxtrain's
    // map_adapt output, in the model's own layout), used in place of the model's means; empty for
    // none. With the system's model the decoder uses the means built into the library (estimated
    // by tools/adapt/make_adaptation.py); with another model, none. A file that cannot be read or
    // does not fit the model leaves a warning, and the model is used as it is.
    void setAdaptation(const QString &file);
    QString adaptation() const { return m_adaptation; }
    static QString defaultAdaptation();
    // Whether the adaptation in use was read and applied.
    bool isAdapted() const { return m_adapted; }

private:
    struct Hearing
    {
        character::UserInput input;
        int32_t score = 0;
        // The command word's share of what its stretch could have been, in percent; the reported
        // confidence also weighs how well the stretch fits the model's speech at all.
        short share = 0;
    };
    void release();
    bool prepareFrontEnds();
    // Writes the adapted means to the file once they are read and found to fit the model.
    bool writeAdaptedMeans(QTemporaryFile &copy) const;
    void releaseFrontEnds();
    // frontEnd is the settings of a warped front end, or null for the decoder's own. recorded is
    // the same stretch of audio before any noise reduction, for judging where the child spoke. A
    // best path that scores no more than minScore is reported without a command.
    Hearing decodeAt(cmd_ln_s *frontEnd, const qint16 *samples, const qint16 *recorded, size_t count,
                     int32_t minScore = std::numeric_limits<int32_t>::min());
    int32_t decodeWith(const char *search, cmd_ln_s *frontEnd, const qint16 *samples, size_t count, QStringList &words);
    // The name of the search for one word other than the excluded ones; empty on failure.
    QByteArray wordSearch(QStringList excluded);
    // Whether the last search, over the stretch from sample `from`, ends the command word before
    // speech that its voice text allows no words after.
    bool endsBeforeSpeech(size_t from, const QStringList &commandWords, const std::vector<double> &loudness,
                          double speechFrom, int firstFrame, int lastFrame, bool wordsAllowedAfter) const;

    QString m_modelDir;
    QString m_dictionaryFile;
    QString m_error;
    CommandGrammar m_grammar;
    bool m_dirty = true;
    ps_decoder_s *m_decoder = nullptr;
    cmd_ln_s *m_config = nullptr;
    std::unique_ptr<QTemporaryFile> m_smallDictionary;
    QSet<QByteArray> m_wordSearches;
    QList<double> m_warpFactors = {0.7, 0.6};
    bool m_noiseReduction = true;
    bool m_roomTone = true;
    QString m_adaptation;
    bool m_adapted = false;
    QList<cmd_ln_s *> m_warpedFrontEnds; // settings for each warp factor
};

} // namespace listen

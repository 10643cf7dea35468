// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Synthesised speech for the recogniser's round trip test and benchmark: phrases said by the
// synthesiser's voices at several rates and pitches, as 16 kHz mono 16-bit audio, the way the
// microphone delivers it.
namespace speechsamples {

struct Delivery
{
    QString voice;       // "slt", "rms", "awb" or "kal16"
    double stretch = 1.0; // above 1 slower
    double pitch = 1.0;   // factor on the voice's own pitch
};

struct Phrase
{
    QString text;
    QString command; // expected command name; empty for a sentence that is no command
};

QStringList voices();
// Empty on failure (unknown voice).
QByteArray say(const QString &text, const Delivery &delivery);
// Silence before and after, as the child presses the key a little before speaking.
QByteArray padded(const QByteArray &pcm, int leadMs, int trailMs);
enum class Noise { White, Pink };
// Noise added at the given signal-to-noise ratio over the speech's own loudness; the same seed
// gives the same noise.
QByteArray withNoise(const QByteArray &pcm, double snrDb, quint32 seed, Noise colour);
// Other people talking in the room, all at once, the given number of dB below the speech's own
// loudness; each talker's audio is repeated to the length of the speech.
QByteArray withTalkBehind(const QByteArray &pcm, const QList<QByteArray> &talkers, double snrDb);
// As heard in a room with hard walls: the speech, then its echoes dying away by 60 dB over
// t60Seconds, as loud together as the speech itself. The same seed gives the same room.
QByteArray reverberant(const QByteArray &pcm, double t60Seconds, quint32 seed);
double durationSeconds(const QByteArray &pcm);
// Every frequency raised by the factor and the speech sped up alike, as a smaller vocal tract
// and a higher voice would say it: a child's voice from an adult's.
QByteArray raised(const QByteArray &pcm, double factor);
// Amplified by the factor and clipped at full scale, as a microphone too close distorts.
QByteArray clipped(const QByteArray &pcm, double gain);
// A cough: two bursts of low, decaying noise.
QByteArray cough(quint32 seed);

// The six commands in the voice texts that the program registers.
struct CommandText
{
    QString name;
    QString voice;
};
QList<CommandText> programCommands();
// Each command said in several ways, and sentences that are no command.
QList<Phrase> commandPhrases();
QList<Phrase> otherSentences();

} // namespace speechsamples

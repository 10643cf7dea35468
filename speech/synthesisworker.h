// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <memory>
#include <mutex>

#include <QList>
#include <QString>

#include "character/speechengine.h"
#include "speech/utterance.h"

class QObject;

namespace speech {

class PcmStream;
class Synthesizer;

// A stretch [start, end) of a text that is synthesised in one go.
struct TextPiece
{
    qsizetype start = 0;
    qsizetype end = 0;
};

// Cuts a text into the pieces it is synthesised in: its sentences, and a long sentence again
// after a comma or, failing that, after a number of words. Between two pieces a synthesis can be
// abandoned, so the longest piece bounds how long a stopped synthesis keeps the voice busy.
QList<TextPiece> splitIntoPieces(const QString &text);

// Hands events from the synthesising thread to an object on the window's thread, until it is
// closed; after close() returns nothing more is posted. An event posted just before is still
// delivered (unless the receiver is gone), so the receiver checks that it still wants it.
class Mailbox
{
public:
    explicit Mailbox(QObject *receiver);
    Mailbox(const Mailbox &) = delete;
    Mailbox &operator=(const Mailbox &) = delete;

    void post(std::function<void()> event);
    void close();

private:
    std::mutex m_mutex;
    QObject *m_receiver;
};

struct SynthesisOrder
{
    QString text;
    character::VoiceSettings voice;
    std::shared_ptr<Synthesizer> synthesizer;
    // Receives the samples; cancelling it abandons the synthesis at the next piece or chunk.
    std::shared_ptr<PcmStream> stream;
    // Called on the synthesising thread once the first samples of a piece are in the stream,
    // with the piece's words and mouth shapes in the whole utterance's time and text. When a
    // piece cannot be synthesised, the rest of the text comes as one last piece without samples,
    // timed at a reading pace.
    std::function<void(const Utterance &piece)> pieceReady;
    // The last call: every piece has been handed over (failed: some only as text).
    std::function<void(bool failed)> finished;
};

// Synthesises the order piece by piece on the calling thread.
void synthesizePieces(const SynthesisOrder &order);

// The same on the process's one synthesising thread. That thread is never joined: the program may
// end while flite is still busy with a piece, and nothing waits for it.
void synthesizeInBackground(SynthesisOrder order);

} // namespace speech

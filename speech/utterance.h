// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include "character/speechengine.h"

namespace speech {

// One token of the text as the balloon shows it ("12", "Welcome."), timed by the words the voice
// speaks for it ("twelve").
struct WordTiming
{
    QString shown;      // the token as written in the request, with its punctuation
    QString shownSoFar; // the request's text up to and including this token
    int startMs = 0;
    int endMs = 0;
};

struct MouthCue
{
    int timeMs = 0;
    character::MouthShape shape = character::MouthShape::Closed;
};

// A synthesised utterance held in memory, ready to play.
struct Utterance
{
    QByteArray pcm; // signed 16-bit mono samples in native byte order
    int sampleRate = 0;
    QList<WordTiming> words;  // in speaking order, start times increasing
    QList<MouthCue> mouth;    // only the changes of shape, ending with Closed
    int durationMs = 0;       // how long the timeline runs; covers the audio and every cue

    int sampleCount() const { return int(pcm.size() / 2); }
};

// What is shown when the voice fails: the words one after another at a child's reading pace,
// in silence, with the mouth closed.
Utterance readingUtterance(const QString &text);

} // namespace speech

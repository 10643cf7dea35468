// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <vector>

#include <QtGlobal>

namespace listen {

// What the noise reducer found in an utterance, and whether it changed the audio.
struct NoiseReport
{
    // How far the loud part of the utterance stands above its quiet part, in dB.
    double speechAboveNoiseDb = 0.0;
    // How much the spectrum of the quiet part changes over time, in dB: a fan or a hiss holds
    // steady, other people talking do not.
    double noiseUnsteadinessDb = 0.0;
    bool reduced = false;
};

// The root mean square of each full 10 ms frame of 16 kHz audio.
std::vector<double> frameLoudness(const qint16 *samples, size_t count);

// Takes a steady background noise (a fan, a hiss, the hum of a car) out of one utterance of
// 16 kHz speech before it is decoded. The noise's spectrum is estimated from the quietest part of
// the utterance, which push to talk always has before and after the words; each short-time
// spectrum is then weighed by how far it stands above that noise, with the estimate of the speech
// smoothed from frame to frame so that the noise left over does not turn into short tones that the
// decoder would take for speech.
//
// Only noise that is both loud and steady is reduced. Quiet noise costs the decoder little and the
// reduction's own distortion would cost more; other voices in the room change from moment to
// moment, so no estimate of them holds, and reducing them takes the child's voice apart too.
NoiseReport reduceSteadyNoise(std::vector<qint16> &samples);

// Gives an utterance whose pauses are quieter than any room a faint room tone: a steady pink noise
// 40 dB below the loud part of the speech. Synthesised speech, and audio that passed a digital
// noise gate, can fall to near digital silence between the words, 70 dB and more below the speech.
// The decoder's model learned speech from microphones in rooms, and such pauses throw off its
// normalisation of the spectrum: the jump from nothing to speech sounds like no phone it knows, so
// a plainly spoken command can fail to be heard at all. Audio that already has a room's noise
// comes back unchanged, as does audio with no speech in it. The tone is the same on every call, so
// the same audio is always heard the same way. Returns whether it changed the audio.
bool addRoomTone(std::vector<qint16> &samples);

} // namespace listen

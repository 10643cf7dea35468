// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A character file as the engine uses it: the parts of its art, and every animation compiled
// into frames of fixed poses. The file format is described in docs/character-format.md.

#include <memory>

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include "character/speechengine.h"

class QSvgRenderer;

namespace character {

struct PartTransform
{
    double rotate = 0;
    QPointF offset;
    double scaleX = 1;
    double scaleY = 1;
    double opacity = 1;
    int variant = 0; // index into Part::variants

    friend bool operator==(const PartTransform &, const PartTransform &) = default;
};

struct Part
{
    QString id;
    QStringList variants; // SVG element ids
    QPointF pivot;
    int parent = -1;
    double opacity = 1;
};

// One transform per part, in the order of Character::parts.
using Pose = QList<PartTransform>;

struct Branch
{
    int toFrame = 0;
    int probability = 0; // percent
};

struct Frame
{
    int duration = 100; // ms
    Pose pose;
    QList<Branch> branches; // only on the last frame of a keyframe
    int exitFrame = -1;     // where to go when the animation must end early
    QString sound;          // absolute path, on the first frame of a keyframe
};

struct Animation
{
    QString name;
    QList<Frame> frames;
    QString returnAnimation;

    // How long one play from the first frame to the last takes when no branch is taken, in ms.
    int straightDuration() const;
    // The frame that shows ms into such a play; the last frame at or past its end.
    int frameAt(int ms) const;
    // Whether some branch leads back, so that the animation goes on until it is ended.
    bool loops() const;
};

struct CharacterData
{
    QString name;
    QString manifestPath;
    QString artPath;
    QByteArray art;
    QSizeF frameSize; // device-independent pixels
    QPointF balloonAnchor;
    VoiceSettings voice;
    QList<Part> parts;
    int mouthPart = -1;
    int mouthVariants[7] = {0, 0, 0, 0, 0, 0, 0}; // by MouthShape
    QHash<QString, Animation> animations;
    QHash<QString, QStringList> states;

    Pose neutralPose() const;
    const Animation *animation(const QString &name) const;
    // The index of the part with this id in parts, or -1.
    int partIndex(const QString &id) const;
};

// The states the component plays by itself; every character has them.
const QStringList &stateNames();

// Reads a manifest and its art; throws Error naming the file and the fault. Every file the
// manifest names must be a regular file inside the manifest's folder, and no file is read that
// is larger than the loader's bound (docs/character-format.md). The host names the animations it
// will ask for, so a character without one of them is refused at once rather than failing a
// request later.
std::shared_ptr<const CharacterData> loadCharacterFile(const QString &manifestPath,
                                                       const QStringList &neededAnimations = {});

// The same from a manifest already read: baseDir is the character's folder, the only place its
// art and sounds may come from.
std::shared_ptr<const CharacterData> parseCharacter(const QByteArray &manifest, const QString &baseDir,
                                                   const QStringList &neededAnimations = {});

// Where the character of a program's file name ("Merlin.acs") lives: characters/<name>/<name>.json
// in one of the folders, names compared without regard to case. A path to an existing .json file
// stands for itself. Empty when nothing matches.
QString resolveCharacterFile(const QString &file, const QStringList &dataDirectories);

} // namespace character

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A small reader and renderer of character files for tools and checks. It follows the documented
// character format on its own (manifest JSON, one SVG group per part variant, keyframes compiled
// into frames) and draws any frame with Qt SVG, so the contact sheet and the character's own tests
// judge the art without going through the desktop component's engine.

#include <memory>

#include <QJsonObject>
#include <QList>
#include <QMap>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <QTransform>

class QImage;
class QPainter;
class QSvgRenderer;

namespace contactsheet {

// One part's place in a frame.
struct PartPose
{
    double rotate = 0;
    QPointF offset;
    QPointF scale{1, 1};
    double opacity = 1;
    int variant = 0;
};

// A pose holds one PartPose per part, in the manifest's drawing order.
using Pose = QList<PartPose>;

struct Part
{
    QString id;
    QStringList variants;
    QPointF pivot;
    int parent = -1;
    double opacity = 1;
};

struct Branch
{
    int toFrame = 0;
    int probability = 0;
};

struct Frame
{
    int duration = 0; // ms
    int keyframe = 0;
    Pose pose;
    QList<Branch> branches; // only on the last frame of a keyframe
    int exitFrame = -1;     // where an early end jumps to, -1 for none
};

struct Animation
{
    QString name;
    QString returnAnimation;
    QList<Frame> frames;

    // Played from start to end without taking any branch.
    int straightDuration() const;
    // The frame that shows at time ms of a straight play (the last one at or past the end).
    int frameAt(int ms) const;
    // True when some branch jumps back, so the animation can go on until it is ended.
    bool loops() const;
};

class CharacterPreview
{
public:
    // Reads and compiles a manifest; on a fault returns null and says why in error.
    static std::unique_ptr<CharacterPreview> load(const QString &manifestPath, QString *error);
    ~CharacterPreview();
    Q_DISABLE_COPY_MOVE(CharacterPreview)

    QString name() const { return m_name; }
    QJsonObject voice() const { return m_voice; }
    QRectF frameRect() const { return m_frame; }
    const QList<Part> &parts() const { return m_parts; }
    int partIndex(const QString &id) const;
    const QMap<QString, Animation> &animations() const { return m_animations; }
    const QMap<QString, QStringList> &states() const { return m_states; }
    QString mouthPart() const { return m_mouthPart; }
    const QMap<QString, QString> &mouthShapes() const { return m_mouthShapes; }

    Pose neutralPose() const;
    // Whether two poses show the same picture, up to rounding in the interpolation.
    bool samePose(const Pose &a, const Pose &b, bool compareVariants = true) const;

    // Where a part is drawn, in frame coordinates, including everything its parents do.
    QTransform partTransform(const Pose &pose, int part) const;
    double partOpacity(const Pose &pose, int part) const;

    // Draws the pose with the painter's current transform mapping frame coordinates.
    void paint(QPainter *painter, const Pose &pose) const;
    // The pose on a transparent image of the frame's size times scale, with margin (in frame
    // units) of extra room on every side so that anything drawn outside the frame can be seen.
    QImage render(const Pose &pose, double scale = 1.0, int margin = 0) const;

private:
    CharacterPreview();

    bool readParts(const QJsonValue &value, QString *error);
    bool readMouth(const QJsonValue &value, QString *error);
    bool readAnimation(const QString &name, const QJsonValue &value, QString *error);
    bool readStates(const QJsonValue &value, QString *error);

    QString m_name;
    QJsonObject m_voice;
    QRectF m_frame;
    std::unique_ptr<QSvgRenderer> m_svg;
    QList<Part> m_parts;
    QMap<QString, Animation> m_animations;
    QMap<QString, QStringList> m_states;
    QString m_mouthPart;
    QMap<QString, QString> m_mouthShapes;
};

} // namespace contactsheet

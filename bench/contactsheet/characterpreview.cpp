// SPDX-License-Identifier: GPL-3.0-or-later
#include "characterpreview.h"

#include <algorithm>
#include <cmath>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QPainter>
#include <QSvgRenderer>
#include <QtMath>

using namespace Qt::StringLiterals;

namespace contactsheet {

namespace {

constexpr int MinFrameMs = 100;

bool readPoint(const QJsonValue &value, QPointF *point)
{
    const QJsonArray a = value.toArray();
    if (!value.isArray() || a.size() != 2 || !a[0].isDouble() || !a[1].isDouble())
        return false;
    *point = QPointF(a[0].toDouble(), a[1].toDouble());
    return true;
}

double smooth(double t)
{
    return t * t * (3 - 2 * t);
}

PartPose mix(const PartPose &a, const PartPose &b, double t)
{
    PartPose p = a;
    p.rotate = a.rotate + (b.rotate - a.rotate) * t;
    p.offset = a.offset + (b.offset - a.offset) * t;
    p.scale = a.scale + (b.scale - a.scale) * t;
    p.opacity = a.opacity + (b.opacity - a.opacity) * t;
    return p;
}

struct RawKeyframe
{
    int duration = 0;
    int steps = 1;
    bool smooth = false;
    Pose pose;
    QList<QPair<QJsonValue, int>> branches;
    QJsonValue exit;
};

} // namespace

int Animation::straightDuration() const
{
    int total = 0;
    for (const Frame &f : frames)
        total += f.duration;
    return total;
}

int Animation::frameAt(int ms) const
{
    int start = 0;
    for (int i = 0; i < frames.size(); ++i) {
        start += frames[i].duration;
        if (ms < start)
            return i;
    }
    return int(frames.size()) - 1;
}

bool Animation::loops() const
{
    for (int i = 0; i < frames.size(); ++i) {
        for (const Branch &b : frames[i].branches) {
            if (b.toFrame <= i)
                return true;
        }
    }
    return false;
}

CharacterPreview::CharacterPreview() = default;
CharacterPreview::~CharacterPreview() = default;

std::unique_ptr<CharacterPreview> CharacterPreview::load(const QString &manifestPath, QString *error)
{
    auto fail = [&](const QString &why) {
        *error = u"%1: %2"_s.arg(manifestPath, why);
        return nullptr;
    };

    QFile file(manifestPath);
    if (!file.open(QIODevice::ReadOnly))
        return fail(file.errorString());
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return fail(parseError.errorString());
    if (!doc.isObject())
        return fail(u"the manifest is not a JSON object"_s);
    const QJsonObject root = doc.object();
    if (root.value("format"_L1).toInt() != 1)
        return fail(u"unknown format"_s);

    std::unique_ptr<CharacterPreview> c(new CharacterPreview);
    c->m_name = root.value("name"_L1).toString();
    c->m_voice = root.value("voice"_L1).toObject();
    const QString art = root.value("art"_L1).toString();
    if (c->m_name.isEmpty() || art.isEmpty())
        return fail(u"name or art missing"_s);
    c->m_svg = std::make_unique<QSvgRenderer>(QFileInfo(manifestPath).dir().filePath(art));
    if (!c->m_svg->isValid())
        return fail(u"cannot read the art %1"_s.arg(art));
    c->m_frame = c->m_svg->viewBoxF();
    if (c->m_frame.isEmpty())
        return fail(u"the art has no frame"_s);

    QString why;
    if (!c->readParts(root.value("parts"_L1), &why) || !c->readMouth(root.value("mouth"_L1), &why))
        return fail(why);
    const QJsonObject animations = root.value("animations"_L1).toObject();
    if (animations.isEmpty())
        return fail(u"no animations"_s);
    for (auto it = animations.begin(); it != animations.end(); ++it) {
        if (!c->readAnimation(it.key(), it.value(), &why))
            return fail(u"animation %1: %2"_s.arg(it.key(), why));
    }
    for (const Animation &a : std::as_const(c->m_animations)) {
        if (!a.returnAnimation.isEmpty() && !c->m_animations.contains(a.returnAnimation))
            return fail(u"animation %1 returns through unknown %2"_s.arg(a.name, a.returnAnimation));
    }
    if (!c->readStates(root.value("states"_L1), &why))
        return fail(why);
    return c;
}

bool CharacterPreview::readParts(const QJsonValue &value, QString *error)
{
    const QJsonArray parts = value.toArray();
    if (parts.isEmpty()) {
        *error = u"no parts"_s;
        return false;
    }
    QHash<QString, QString> parentIds;
    for (const QJsonValue &v : parts) {
        const QJsonObject o = v.toObject();
        Part p;
        p.id = o.value("id"_L1).toString();
        for (const QJsonValue &variant : o.value("variants"_L1).toArray())
            p.variants.append(variant.toString());
        if (p.id.isEmpty() || p.variants.isEmpty() || partIndex(p.id) >= 0) {
            *error = u"part %1 has no variants, no id or a duplicate id"_s.arg(p.id);
            return false;
        }
        for (const QString &variant : std::as_const(p.variants)) {
            if (!m_svg->elementExists(variant)) {
                *error = u"part %1: no group %2 in the art"_s.arg(p.id, variant);
                return false;
            }
        }
        if (o.contains("pivot"_L1)) {
            if (!readPoint(o.value("pivot"_L1), &p.pivot)) {
                *error = u"part %1: bad pivot"_s.arg(p.id);
                return false;
            }
        } else {
            p.pivot = m_svg->boundsOnElement(p.variants.first()).center();
        }
        p.opacity = o.value("opacity"_L1).toDouble(1.0);
        parentIds.insert(p.id, o.value("parent"_L1).toString());
        m_parts.append(p);
    }
    for (Part &p : m_parts) {
        const QString parent = parentIds.value(p.id);
        if (parent.isEmpty())
            continue;
        p.parent = partIndex(parent);
        if (p.parent < 0) {
            *error = u"part %1: unknown parent %2"_s.arg(p.id, parent);
            return false;
        }
    }
    for (int i = 0; i < m_parts.size(); ++i) {
        int steps = 0;
        for (int p = m_parts[i].parent; p >= 0; p = m_parts[p].parent) {
            if (++steps > m_parts.size()) {
                *error = u"part %1: its parents form a cycle"_s.arg(m_parts[i].id);
                return false;
            }
        }
    }
    return true;
}

bool CharacterPreview::readMouth(const QJsonValue &value, QString *error)
{
    const QJsonObject o = value.toObject();
    m_mouthPart = o.value("part"_L1).toString();
    const int index = partIndex(m_mouthPart);
    if (index < 0) {
        *error = u"no mouth part"_s;
        return false;
    }
    const QJsonObject shapes = o.value("shapes"_L1).toObject();
    for (auto it = shapes.begin(); it != shapes.end(); ++it) {
        if (!m_parts[index].variants.contains(it.value().toString())) {
            *error = u"mouth shape %1 is not a variant of the mouth"_s.arg(it.key());
            return false;
        }
        m_mouthShapes.insert(it.key(), it.value().toString());
    }
    return true;
}

bool CharacterPreview::readAnimation(const QString &name, const QJsonValue &value, QString *error)
{
    const QJsonObject o = value.toObject();
    const QJsonArray keyframes = o.value("keyframes"_L1).toArray();
    if (keyframes.isEmpty()) {
        *error = u"no keyframes"_s;
        return false;
    }

    QList<RawKeyframe> raw;
    QHash<QString, int> labels;
    for (const QJsonValue &kv : keyframes) {
        const QJsonObject k = kv.toObject();
        RawKeyframe r;
        r.duration = k.value("duration"_L1).toInt(-1);
        r.steps = k.value("steps"_L1).toInt(1);
        r.smooth = k.value("ease"_L1).toString() == "smooth"_L1;
        if (r.steps < 1 || r.steps > 100 || r.duration < MinFrameMs * r.steps || r.duration > 10000) {
            *error = u"keyframe %1: bad duration or steps"_s.arg(raw.size());
            return false;
        }
        r.pose = neutralPose();
        const QJsonObject pose = k.value("pose"_L1).toObject();
        for (auto it = pose.begin(); it != pose.end(); ++it) {
            const int part = partIndex(it.key());
            if (part < 0) {
                *error = u"keyframe %1: unknown part %2"_s.arg(raw.size()).arg(it.key());
                return false;
            }
            const QJsonObject t = it.value().toObject();
            PartPose &pp = r.pose[part];
            pp.rotate = t.value("rotate"_L1).toDouble(0);
            if (t.contains("offset"_L1) && !readPoint(t.value("offset"_L1), &pp.offset)) {
                *error = u"keyframe %1: bad offset"_s.arg(raw.size());
                return false;
            }
            const QJsonValue scale = t.value("scale"_L1);
            if (scale.isDouble())
                pp.scale = QPointF(scale.toDouble(), scale.toDouble());
            else if (!scale.isUndefined() && !readPoint(scale, &pp.scale)) {
                *error = u"keyframe %1: bad scale"_s.arg(raw.size());
                return false;
            }
            pp.opacity = t.value("opacity"_L1).toDouble(m_parts[part].opacity);
            if (t.contains("variant"_L1)) {
                pp.variant = int(m_parts[part].variants.indexOf(t.value("variant"_L1).toString()));
                if (pp.variant < 0) {
                    *error = u"keyframe %1: part %2 has no variant %3"_s.arg(raw.size()).arg(it.key(),
                                                                              t.value("variant"_L1).toString());
                    return false;
                }
            }
        }
        int total = 0;
        for (const QJsonValue &b : k.value("branches"_L1).toArray()) {
            const int probability = b.toObject().value("probability"_L1).toInt();
            total += probability;
            r.branches.append({b.toObject().value("to"_L1), probability});
        }
        if (total > 100) {
            *error = u"keyframe %1: branch probabilities above 100"_s.arg(raw.size());
            return false;
        }
        r.exit = k.value("exit"_L1);
        const QString label = k.value("label"_L1).toString();
        if (!label.isEmpty())
            labels.insert(label, int(raw.size()));
        raw.append(r);
    }

    Animation a;
    a.name = name;
    a.returnAnimation = o.value("return"_L1).toString();
    QList<int> firstFrame;
    for (int i = 0; i < raw.size(); ++i) {
        firstFrame.append(int(a.frames.size()));
        const RawKeyframe &r = raw[i];
        const Pose &next = i + 1 < raw.size() ? raw[i + 1].pose : r.pose;
        for (int s = 0; s < r.steps; ++s) {
            double t = double(s) / r.steps;
            if (r.smooth)
                t = smooth(t);
            Frame f;
            f.duration = r.duration / r.steps;
            f.keyframe = i;
            for (int p = 0; p < m_parts.size(); ++p)
                f.pose.append(mix(r.pose[p], next[p], t));
            a.frames.append(f);
        }
    }
    auto resolve = [&](const QJsonValue &to) {
        const int k = to.isString() ? labels.value(to.toString(), -1) : (to.isDouble() ? to.toInt() : -1);
        return k >= 0 && k < raw.size() ? firstFrame[k] : -1;
    };
    for (int i = 0; i < raw.size(); ++i) {
        const int last = (i + 1 < raw.size() ? firstFrame[i + 1] : int(a.frames.size())) - 1;
        for (const auto &[to, probability] : raw[i].branches) {
            const int frame = resolve(to);
            if (frame < 0) {
                *error = u"keyframe %1: unknown branch target"_s.arg(i);
                return false;
            }
            a.frames[last].branches.append({frame, probability});
        }
        if (!raw[i].exit.isUndefined()) {
            const int frame = resolve(raw[i].exit);
            if (frame < 0) {
                *error = u"keyframe %1: unknown exit"_s.arg(i);
                return false;
            }
            for (int f = firstFrame[i]; f <= last; ++f)
                a.frames[f].exitFrame = frame;
        }
    }
    m_animations.insert(name, a);
    return true;
}

bool CharacterPreview::readStates(const QJsonValue &value, QString *error)
{
    const QJsonObject states = value.toObject();
    for (auto it = states.begin(); it != states.end(); ++it) {
        QStringList names;
        for (const QJsonValue &v : it.value().toArray()) {
            if (!m_animations.contains(v.toString())) {
                *error = u"state %1 names unknown animation %2"_s.arg(it.key(), v.toString());
                return false;
            }
            names.append(v.toString());
        }
        m_states.insert(it.key(), names);
    }
    return true;
}

int CharacterPreview::partIndex(const QString &id) const
{
    for (int i = 0; i < m_parts.size(); ++i) {
        if (m_parts[i].id == id)
            return i;
    }
    return -1;
}

Pose CharacterPreview::neutralPose() const
{
    Pose pose;
    for (const Part &p : m_parts) {
        PartPose pp;
        pp.opacity = p.opacity;
        pose.append(pp);
    }
    return pose;
}

bool CharacterPreview::samePose(const Pose &a, const Pose &b, bool compareVariants) const
{
    if (a.size() != b.size())
        return false;
    constexpr double eps = 1e-3;
    for (int i = 0; i < a.size(); ++i) {
        const PartPose &x = a[i];
        const PartPose &y = b[i];
        // A part nobody can see may be anywhere.
        if (partOpacity(a, i) < eps && partOpacity(b, i) < eps)
            continue;
        if (std::abs(x.rotate - y.rotate) > eps || std::abs(x.opacity - y.opacity) > eps
            || (x.offset - y.offset).manhattanLength() > eps || (x.scale - y.scale).manhattanLength() > eps
            || (compareVariants && x.variant != y.variant))
            return false;
    }
    return true;
}

QTransform CharacterPreview::partTransform(const Pose &pose, int part) const
{
    const PartPose &pp = pose[part];
    const QPointF pivot = m_parts[part].pivot;
    QTransform local;
    local.translate(pp.offset.x() + pivot.x(), pp.offset.y() + pivot.y());
    local.rotate(pp.rotate);
    local.scale(pp.scale.x(), pp.scale.y());
    local.translate(-pivot.x(), -pivot.y());
    const int parent = m_parts[part].parent;
    return parent >= 0 ? local * partTransform(pose, parent) : local;
}

double CharacterPreview::partOpacity(const Pose &pose, int part) const
{
    double opacity = 1;
    for (int p = part; p >= 0; p = m_parts[p].parent)
        opacity *= std::clamp(pose[p].opacity, 0.0, 1.0);
    return opacity;
}

void CharacterPreview::paint(QPainter *painter, const Pose &pose) const
{
    const QTransform base = painter->worldTransform();
    for (int i = 0; i < m_parts.size(); ++i) {
        const double opacity = partOpacity(pose, i);
        if (opacity <= 0.001)
            continue;
        const QString &id = m_parts[i].variants.value(pose[i].variant);
        const QTransform transform = partTransform(pose, i) * base;
        painter->save();
        if (opacity >= 0.999) {
            painter->setWorldTransform(transform);
            // Drawing an element into its own bounds leaves it where the art placed it.
            m_svg->render(painter, id, m_svg->boundsOnElement(id));
        } else {
            // A fading part fades as one picture, as a cached pixmap would: its own shapes must
            // not show through each other.
            QImage layer(painter->device()->width(), painter->device()->height(),
                         QImage::Format_ARGB32_Premultiplied);
            layer.fill(Qt::transparent);
            QPainter layerPainter(&layer);
            layerPainter.setRenderHints(painter->renderHints());
            layerPainter.setWorldTransform(transform);
            m_svg->render(&layerPainter, id, m_svg->boundsOnElement(id));
            layerPainter.end();
            painter->resetTransform();
            painter->setOpacity(opacity);
            painter->drawImage(0, 0, layer);
        }
        painter->restore();
    }
}

QImage CharacterPreview::render(const Pose &pose, double scale, int margin) const
{
    const QSizeF size = (m_frame.size() + QSizeF(2 * margin, 2 * margin)) * scale;
    QImage image(qCeil(size.width()), qCeil(size.height()), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(scale, scale);
    painter.translate(margin - m_frame.left(), margin - m_frame.top());
    paint(&painter, pose);
    return image;
}

} // namespace contactsheet

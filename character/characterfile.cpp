// SPDX-License-Identifier: GPL-3.0-or-later
#include "character/characterfile.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSvgRenderer>
#include <QTransform>
#include <QXmlStreamReader>

#include "character/agent.h"

using namespace Qt::StringLiterals;

namespace character {

namespace {

constexpr int minimumFrameMs = 100;
constexpr int maximumKeyframeMs = 10000;
constexpr int maximumParts = 200;
constexpr int maximumKeyframes = 100;
constexpr int maximumAnimations = 500;
constexpr int maximumSteps = 100;
constexpr double maximumFrameSide = 2000;
// Frames hold a pose of every part; this bounds the memory a manifest can ask for.
constexpr qsizetype maximumPartPoses = 1000000;
// Character folders come from other people. These bound what one can make the program read
// before it has looked at a single value: a real manifest or drawing is a few tens of kilobytes
// and a few hundred elements, nested a few levels deep.
constexpr qint64 maximumFileBytes = 8 * 1024 * 1024;
constexpr int maximumSvgElements = 20000;
constexpr int maximumSvgDepth = 64;

const char *const mouthShapeKeys[7] = {"closed", "wide1", "wide2", "wide3", "wide4", "medium", "narrow"};

[[noreturn]] void fail(const QString &message)
{
    throw Error(message);
}

// What a value is, for the message that refuses it. Put together only for that message: a
// manifest has thousands of values and nearly always none to refuse. Every piece is a view, so a
// What must not outlive the texts it was made from.
class What
{
public:
    What(const QString &text)
        : m_text(text)
    {
    }
    What(const What &before, QStringView text, qsizetype number = -1)
        : m_before(&before)
        , m_text(text)
        , m_number(number)
    {
    }

    QString text() const
    {
        QString result = m_before ? m_before->text() : QString();
        result += m_text;
        if (m_number >= 0)
            result += QString::number(m_number);
        return result;
    }

private:
    const What *m_before = nullptr;
    QStringView m_text;
    qsizetype m_number = -1;
};

double number(const QJsonValue &value, const What &what, double low, double high)
{
    if (!value.isDouble())
        fail(u"%1 must be a number"_s.arg(what.text()));
    const double v = value.toDouble();
    if (!std::isfinite(v) || v < low || v > high)
        fail(u"%1 is out of range (%2 to %3)"_s.arg(what.text()).arg(low).arg(high));
    return v;
}

int integer(const QJsonValue &value, const What &what, int low, int high)
{
    const double v = number(value, what, low, high);
    if (v != std::floor(v))
        fail(u"%1 must be a whole number"_s.arg(what.text()));
    return int(v);
}

QString string(const QJsonValue &value, const What &what)
{
    if (!value.isString())
        fail(u"%1 must be a text"_s.arg(what.text()));
    return value.toString();
}

QJsonObject object(const QJsonValue &value, const What &what)
{
    if (!value.isObject())
        fail(u"%1 must be an object"_s.arg(what.text()));
    return value.toObject();
}

QJsonArray array(const QJsonValue &value, const What &what)
{
    if (!value.isArray())
        fail(u"%1 must be an array"_s.arg(what.text()));
    return value.toArray();
}

QPointF point(const QJsonValue &value, const What &what, double limit)
{
    const QJsonArray a = array(value, what);
    if (a.size() != 2)
        fail(u"%1 must be two numbers"_s.arg(what.text()));
    return {number(a.at(0), what, -limit, limit), number(a.at(1), what, -limit, limit)};
}

// The folder a character lives in. Every file its manifest names must be a regular file inside
// it: no absolute path, no "..", no symbolic link that leads elsewhere, no FIFO or device (which
// would block the loader or feed it without end).
class CharacterFolder
{
public:
    explicit CharacterFolder(const QString &path)
        : m_path(QFileInfo(path).absoluteFilePath())
        , m_canonical(QFileInfo(path).canonicalFilePath())
    {
    }

    // The real path of a file named by the manifest, once it has passed every check.
    QString resolve(const QString &name, const QString &what) const
    {
        if (name.isEmpty())
            fail(u"%1 names no file"_s.arg(what));
        if (name.contains(QChar(0)))
            fail(u"%1 \"%2\" is not a usable file name"_s.arg(what, name));
        if (name.startsWith(u'/'))
            fail(u"%1 \"%2\" is an absolute path; files must lie in the character's folder"_s.arg(what, name));
        if (name.split(u'/').contains(u".."_s))
            fail(u"%1 \"%2\" climbs out of the character's folder with \"..\""_s.arg(what, name));
        if (m_canonical.isEmpty())
            fail(u"the character's folder %1 does not exist"_s.arg(m_path));
        const QString path = m_path + u'/' + name;
        const QString real = QFileInfo(path).canonicalFilePath();
        if (real.isEmpty())
            fail(u"%1 %2 does not exist"_s.arg(what, path));
        if (!real.startsWith(m_canonical + u'/'))
            fail(u"%1 %2 leads out of the character's folder (to %3)"_s.arg(what, path, real));
        return real;
    }

    // The bytes of a file named by the manifest, refused before reading when it is too large.
    QByteArray read(const QString &name, const QString &what) const
    {
        const QString real = resolve(name, what);
        // Not blocking: a FIFO swapped in after the check above must not hang the program.
        const int fd = ::open(QFile::encodeName(real).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOFOLLOW);
        if (fd < 0)
            fail(u"cannot read %1 %2: %3"_s.arg(what, real, QString::fromLocal8Bit(std::strerror(errno))));
        QFile file;
        if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
            ::close(fd);
            fail(u"cannot read %1 %2: %3"_s.arg(what, real, file.errorString()));
        }
        struct stat status {};
        if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode))
            fail(u"%1 %2 is not a regular file"_s.arg(what, real));
        if (status.st_size > maximumFileBytes)
            fail(u"%1 %2 is larger than %3 MB"_s.arg(what, real).arg(maximumFileBytes / (1024 * 1024)));
        // One byte more than measured tells a file that grew since; reading only that much keeps
        // the buffer the file's size rather than the bound's.
        const QByteArray bytes = file.read(qint64(status.st_size) + 1);
        if (bytes.size() > status.st_size)
            fail(u"%1 %2 grew while it was read"_s.arg(what, real));
        return bytes;
    }

    // A file that is only handed on (a sound): checked like one that is read, but not read.
    QString check(const QString &name, const QString &what) const
    {
        const QString real = resolve(name, what);
        struct stat status {};
        if (::stat(QFile::encodeName(real).constData(), &status) != 0 || !S_ISREG(status.st_mode))
            fail(u"%1 %2 is not a regular file"_s.arg(what, real));
        if (status.st_size > maximumFileBytes)
            fail(u"%1 %2 is larger than %3 MB"_s.arg(what, real).arg(maximumFileBytes / (1024 * 1024)));
        return real;
    }

private:
    QString m_path;
    QString m_canonical;
};

// Qt SVG builds a node for every element and draws them recursively, so a drawing of millions of
// elements takes seconds and gigabytes, and one nested thousands deep overflows the stack. A
// quick pass refuses both before Qt SVG sees them.
enum class SvgShape { Fine, TooMany, TooDeep, Unsure };

// Counts as an XML reader does, and to the same place: where the XML is not well formed, the reader
// (and so Qt SVG) stops, and up to there the two count alike. Ten times as fast as the reader on a
// character's art. Unsure where markup may come from elsewhere (a document type can declare
// entities that expand to elements) or the text is not in an encoding where '<' is one byte.
SvgShape scanSvgShape(QByteArrayView art)
{
    if (art.contains('\0') || art.startsWith("\xFE\xFF") || art.startsWith("\xFF\xFE"))
        return SvgShape::Unsure;
    // An encoding named in the XML declaration may use the byte of '<' inside other characters.
    QByteArrayView declaration = art.startsWith("\xEF\xBB\xBF") ? art.sliced(3) : art;
    if (declaration.startsWith("<?xml")) {
        declaration = declaration.first(std::max<qsizetype>(declaration.indexOf("?>"), 0));
        const qsizetype named = declaration.indexOf("encoding");
        if (named >= 0) {
            // encoding = "name" or 'name'
            const QByteArray rest = declaration.sliced(named + 8).toByteArray().trimmed();
            const QByteArray value = rest.startsWith('=') ? rest.sliced(1).trimmed() : QByteArray();
            const QByteArray name = value.isEmpty() ? QByteArray() : value.sliced(1).split(value.at(0)).value(0);
            if (name.compare("utf-8", Qt::CaseInsensitive) != 0 && name.compare("us-ascii", Qt::CaseInsensitive) != 0)
                return SvgShape::Unsure;
        }
    }
    const auto skipPast = [&art](qsizetype from, QByteArrayView end) {
        const qsizetype at = art.indexOf(end, from);
        return at < 0 ? art.size() : at + end.size();
    };
    int elements = 0;
    int depth = 0;
    qsizetype at = art.indexOf('<');
    while (at >= 0 && at < art.size()) {
        const QByteArrayView tag = art.sliced(at);
        if (tag.startsWith("<!--")) {
            at = skipPast(at + 4, "-->");
        } else if (tag.startsWith("<![CDATA[")) {
            at = skipPast(at + 9, "]]>");
        } else if (tag.startsWith("<!")) {
            return SvgShape::Unsure;
        } else if (tag.startsWith("<?")) {
            at = skipPast(at + 2, "?>");
        } else if (tag.startsWith("</")) {
            --depth;
            at = skipPast(at + 2, ">");
        } else {
            if (++elements > maximumSvgElements)
                return SvgShape::TooMany;
            // The tag ends at the first '>' outside quoted attribute values.
            char quote = 0;
            qsizetype end = at + 1;
            for (; end < art.size(); ++end) {
                const char c = art.at(end);
                if (quote) {
                    if (c == quote)
                        quote = 0;
                } else if (c == '"' || c == '\'') {
                    quote = c;
                } else if (c == '>') {
                    break;
                }
            }
            if (end >= art.size() || art.at(end - 1) != '/') {
                if (++depth > maximumSvgDepth)
                    return SvgShape::TooDeep;
            }
            at = end + 1;
        }
        at = art.indexOf('<', at);
    }
    return SvgShape::Fine;
}

SvgShape readSvgShape(const QByteArray &art)
{
    QXmlStreamReader reader(art);
    int elements = 0;
    int depth = 0;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement:
            if (++elements > maximumSvgElements)
                return SvgShape::TooMany;
            if (++depth > maximumSvgDepth)
                return SvgShape::TooDeep;
            break;
        case QXmlStreamReader::EndElement:
            --depth;
            break;
        default:
            break;
        }
    }
    // Malformed XML is left for the SVG reader to refuse, with its own words.
    return SvgShape::Fine;
}

void checkSvgComplexity(const QByteArray &art, const QString &name)
{
    SvgShape shape = scanSvgShape(art);
    if (shape == SvgShape::Unsure)
        shape = readSvgShape(art);
    if (shape == SvgShape::TooMany)
        fail(u"the art %1 has more than %2 elements"_s.arg(name).arg(maximumSvgElements));
    if (shape == SvgShape::TooDeep)
        fail(u"the art %1 nests elements more than %2 deep"_s.arg(name).arg(maximumSvgDepth));
}

// Where a named group sits in the frame: its own bounds carried through the transforms of the
// groups around it, so that art that does transform its layers is still placed right.
QRectF elementRect(QSvgRenderer &renderer, const QString &id)
{
    return renderer.transformForElement(id).mapRect(renderer.boundsOnElement(id));
}

struct Keyframe
{
    int duration = minimumFrameMs;
    int steps = 1;
    bool smooth = false;
    Pose pose;
    QList<std::pair<QJsonValue, int>> branches; // target, probability
    QJsonValue exit{QJsonValue::Undefined};
    QString sound;
};

class Parser
{
public:
    Parser(CharacterData &data, QSvgRenderer &renderer, const CharacterFolder &folder)
        : m_data(data)
        , m_renderer(renderer)
        , m_folder(folder)
    {
    }

    void parseParts(const QJsonValue &value)
    {
        const QJsonArray parts = array(value, u"parts"_s);
        if (parts.isEmpty() || parts.size() > maximumParts)
            fail(u"parts must list 1 to %1 parts"_s.arg(maximumParts));
        QList<QString> parents;
        for (qsizetype i = 0; i < parts.size(); ++i) {
            const QJsonObject o = object(parts.at(i), u"part %1"_s.arg(i));
            Part part;
            part.id = string(o.value(u"id"), u"part %1 id"_s.arg(i));
            if (part.id.isEmpty() || m_partIndex.contains(part.id))
                fail(u"part id \"%1\" is empty or used twice"_s.arg(part.id));
            const QJsonArray variants = array(o.value(u"variants"), u"variants of %1"_s.arg(part.id));
            if (variants.isEmpty())
                fail(u"part %1 has no variants"_s.arg(part.id));
            for (const QJsonValue &v : variants) {
                const QString id = string(v, u"variant of %1"_s.arg(part.id));
                if (!m_renderer.elementExists(id))
                    fail(u"the art has no element \"%1\" (part %2)"_s.arg(id, part.id));
                part.variants << id;
            }
            if (o.contains(u"pivot"))
                part.pivot = point(o.value(u"pivot"), u"pivot of %1"_s.arg(part.id), 1e5);
            else
                part.pivot = elementRect(m_renderer, part.variants.first()).center();
            if (o.contains(u"opacity"))
                part.opacity = number(o.value(u"opacity"), u"opacity of %1"_s.arg(part.id), 0, 1);
            parents << (o.contains(u"parent") ? string(o.value(u"parent"), u"parent of %1"_s.arg(part.id)) : QString());
            m_partIndex.insert(part.id, int(m_data.parts.size()));
            m_data.parts << part;
        }
        for (qsizetype i = 0; i < parents.size(); ++i) {
            if (parents.at(i).isEmpty())
                continue;
            const auto it = m_partIndex.constFind(parents.at(i));
            if (it == m_partIndex.constEnd())
                fail(u"part %1 has an unknown parent %2"_s.arg(m_data.parts.at(i).id, parents.at(i)));
            m_data.parts[i].parent = *it;
        }
        for (qsizetype i = 0; i < m_data.parts.size(); ++i) {
            int p = m_data.parts.at(i).parent;
            for (qsizetype steps = 0; p >= 0; ++steps) {
                if (steps > m_data.parts.size() || p == i)
                    fail(u"the parents of part %1 form a cycle"_s.arg(m_data.parts.at(i).id));
                p = m_data.parts.at(p).parent;
            }
        }
    }

    void parseMouth(const QJsonValue &value)
    {
        const QJsonObject o = object(value, u"mouth"_s);
        const QString partId = string(o.value(u"part"), u"mouth part"_s);
        const auto it = m_partIndex.constFind(partId);
        if (it == m_partIndex.constEnd())
            fail(u"the mouth part %1 is not a part"_s.arg(partId));
        m_data.mouthPart = *it;
        const QJsonObject shapes = object(o.value(u"shapes"), u"mouth shapes"_s);
        for (int s = 0; s < 7; ++s) {
            const QString key = QString::fromLatin1(mouthShapeKeys[s]);
            const QString id = string(shapes.value(key), u"mouth shape %1"_s.arg(key));
            const int variant = int(m_data.parts.at(*it).variants.indexOf(id));
            if (variant < 0)
                fail(u"mouth shape %1 (%2) is not a variant of the mouth part"_s.arg(key, id));
            m_data.mouthVariants[s] = variant;
        }
    }

    void parseAnimations(const QJsonValue &value)
    {
        const QJsonObject animations = object(value, u"animations"_s);
        if (animations.isEmpty() || animations.size() > maximumAnimations)
            fail(u"animations must hold 1 to %1 animations"_s.arg(maximumAnimations));
        for (auto it = animations.constBegin(); it != animations.constEnd(); ++it)
            m_data.animations.insert(it.key(), parseAnimation(it.key(), object(it.value(), it.key())));
        for (const Animation &a : std::as_const(m_data.animations)) {
            if (!a.returnAnimation.isEmpty() && !m_data.animations.contains(a.returnAnimation))
                fail(u"the return animation %1 of %2 does not exist"_s.arg(a.returnAnimation, a.name));
        }
    }

    void parseStates(const QJsonValue &value)
    {
        const QJsonObject states = object(value, u"states"_s);
        for (auto it = states.constBegin(); it != states.constEnd(); ++it) {
            QStringList names;
            for (const QJsonValue &v : array(it.value(), u"state %1"_s.arg(it.key()))) {
                const QString name = string(v, u"animation of state %1"_s.arg(it.key()));
                if (!m_data.animations.contains(name))
                    fail(u"state %1 names the missing animation %2"_s.arg(it.key(), name));
                names << name;
            }
            if (names.isEmpty())
                fail(u"state %1 names no animation"_s.arg(it.key()));
            m_data.states.insert(it.key(), names);
        }
    }

private:
    Animation parseAnimation(const QString &name, const QJsonObject &o)
    {
        Animation animation;
        animation.name = name;
        const What animationName(name);
        if (o.contains(u"return"))
            animation.returnAnimation = string(o.value(u"return"), u"return of %1"_s.arg(name));
        const QJsonArray keys = array(o.value(u"keyframes"), u"keyframes of %1"_s.arg(name));
        if (keys.isEmpty() || keys.size() > maximumKeyframes)
            fail(u"%1 must have 1 to %2 keyframes"_s.arg(name).arg(maximumKeyframes));

        QList<Keyframe> keyframes;
        QHash<QString, int> labels;
        for (qsizetype k = 0; k < keys.size(); ++k) {
            const What where(animationName, u" keyframe ", k);
            const QJsonObject ko = object(keys.at(k), where);
            Keyframe key;
            key.steps
                = ko.contains(u"steps") ? integer(ko.value(u"steps"), What(where, u" steps"), 1, maximumSteps) : 1;
            key.duration = integer(ko.value(u"duration"), What(where, u" duration"), 0, maximumKeyframeMs);
            if (key.duration / key.steps < minimumFrameMs)
                fail(u"%1 has frames shorter than %2 ms"_s.arg(where.text()).arg(minimumFrameMs));
            if (ko.contains(u"ease")) {
                const QString ease = string(ko.value(u"ease"), What(where, u" ease"));
                if (ease != u"linear" && ease != u"smooth")
                    fail(u"%1 ease must be linear or smooth"_s.arg(where.text()));
                key.smooth = ease == u"smooth";
            }
            key.pose = parsePose(ko.value(u"pose"), where);
            if (ko.contains(u"label")) {
                const QString label = string(ko.value(u"label"), What(where, u" label"));
                if (labels.contains(label))
                    fail(u"%1: label %2 used twice"_s.arg(where.text(), label));
                labels.insert(label, int(k));
            }
            if (ko.contains(u"branches")) {
                int total = 0;
                for (const QJsonValue &b : array(ko.value(u"branches"), What(where, u" branches"))) {
                    const QJsonObject bo = object(b, What(where, u" branch"));
                    const int p = integer(bo.value(u"probability"), What(where, u" probability"), 0, 100);
                    total += p;
                    if (!bo.contains(u"to"))
                        fail(u"%1: a branch has no target"_s.arg(where.text()));
                    key.branches.append({bo.value(u"to"), p});
                }
                if (total > 100)
                    fail(u"%1: branch probabilities add up to more than 100"_s.arg(where.text()));
            }
            if (ko.contains(u"exit"))
                key.exit = ko.value(u"exit");
            if (ko.contains(u"sound")) {
                const What sound(where, u" sound");
                key.sound = m_folder.check(string(ko.value(u"sound"), sound), sound.text());
            }
            keyframes << key;
        }

        const auto target = [&](const QJsonValue &v, const What &where) {
            if (v.isString()) {
                const auto it = labels.constFind(v.toString());
                if (it == labels.constEnd())
                    fail(u"%1: no keyframe is labelled %2"_s.arg(where.text(), v.toString()));
                return *it;
            }
            return integer(v, where, 0, int(keyframes.size()) - 1);
        };

        QList<int> firstFrame;
        int count = 0;
        for (const Keyframe &key : std::as_const(keyframes)) {
            firstFrame << count;
            count += key.steps;
        }
        m_partPoses += qsizetype(count) * m_data.parts.size();
        if (m_partPoses > maximumPartPoses)
            fail(u"the animations have too many frames (frames times parts above %1)"_s.arg(maximumPartPoses));
        for (qsizetype k = 0; k < keyframes.size(); ++k) {
            const Keyframe &key = keyframes.at(k);
            const What where(animationName, u" keyframe ", k);
            const int exitFrame = key.exit.isUndefined() ? -1 : firstFrame.at(target(key.exit, What(where, u" exit")));
            QList<Branch> branches;
            for (const auto &[to, probability] : key.branches)
                branches.append({firstFrame.at(target(to, What(where, u" branch"))), probability});
            const Pose &next = k + 1 < keyframes.size() ? keyframes.at(k + 1).pose : key.pose;
            for (int step = 0; step < key.steps; ++step) {
                double t = double(step) / key.steps;
                if (key.smooth)
                    t = t * t * (3 - 2 * t);
                Frame frame;
                frame.duration = key.duration / key.steps;
                frame.pose = interpolate(key.pose, next, t);
                frame.exitFrame = exitFrame;
                if (step == 0)
                    frame.sound = key.sound;
                if (step == key.steps - 1)
                    frame.branches = branches;
                animation.frames << frame;
            }
        }
        return animation;
    }

    Pose parsePose(const QJsonValue &value, const What &where)
    {
        Pose pose = m_data.neutralPose();
        if (value.isUndefined() || value.isNull())
            return pose;
        const QJsonObject o = object(value, What(where, u" pose"));
        const What spaced(where, u" ");
        for (auto it = o.constBegin(); it != o.constEnd(); ++it) {
            const QString key = it.key();
            const auto part = m_partIndex.constFind(key);
            if (part == m_partIndex.constEnd())
                fail(u"%1 poses the unknown part %2"_s.arg(where.text(), key));
            const What what(spaced, key);
            const QJsonObject t = object(it.value(), what);
            PartTransform &p = pose[*part];
            if (t.contains(u"rotate"))
                p.rotate = number(t.value(u"rotate"), What(what, u" rotate"), -3600, 3600);
            if (t.contains(u"offset"))
                p.offset = point(t.value(u"offset"), What(what, u" offset"), 1e4);
            if (t.contains(u"scale")) {
                const QJsonValue s = t.value(u"scale");
                if (s.isArray()) {
                    const QPointF xy = point(s, What(what, u" scale"), 100);
                    p.scaleX = xy.x();
                    p.scaleY = xy.y();
                } else {
                    p.scaleX = p.scaleY = number(s, What(what, u" scale"), -100, 100);
                }
            }
            if (t.contains(u"opacity"))
                p.opacity = number(t.value(u"opacity"), What(what, u" opacity"), 0, 1);
            if (t.contains(u"variant")) {
                const QString id = string(t.value(u"variant"), What(what, u" variant"));
                const int v = int(m_data.parts.at(*part).variants.indexOf(id));
                if (v < 0)
                    fail(u"%1: %2 is not a variant of the part"_s.arg(what.text(), id));
                p.variant = v;
            }
        }
        return pose;
    }

    static Pose interpolate(const Pose &from, const Pose &to, double t)
    {
        if (t <= 0)
            return from;
        Pose pose = from;
        for (qsizetype i = 0; i < pose.size(); ++i) {
            PartTransform &p = pose[i];
            const PartTransform &q = to.at(i);
            p.rotate += (q.rotate - p.rotate) * t;
            p.offset += (q.offset - p.offset) * t;
            p.scaleX += (q.scaleX - p.scaleX) * t;
            p.scaleY += (q.scaleY - p.scaleY) * t;
            p.opacity += (q.opacity - p.opacity) * t;
        }
        return pose;
    }

    CharacterData &m_data;
    QSvgRenderer &m_renderer;
    const CharacterFolder &m_folder;
    QHash<QString, int> m_partIndex;
    qsizetype m_partPoses = 0;
};

} // namespace

Pose CharacterData::neutralPose() const
{
    Pose pose(parts.size());
    for (qsizetype i = 0; i < parts.size(); ++i)
        pose[i].opacity = parts.at(i).opacity;
    return pose;
}

const Animation *CharacterData::animation(const QString &name) const
{
    const auto it = animations.constFind(name);
    return it == animations.constEnd() ? nullptr : &*it;
}

int CharacterData::partIndex(const QString &id) const
{
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (parts.at(i).id == id)
            return int(i);
    }
    return -1;
}

int Animation::straightDuration() const
{
    int total = 0;
    for (const Frame &frame : frames)
        total += frame.duration;
    return total;
}

int Animation::frameAt(int ms) const
{
    int end = 0;
    for (qsizetype i = 0; i < frames.size(); ++i) {
        end += frames.at(i).duration;
        if (ms < end)
            return int(i);
    }
    return int(frames.size()) - 1;
}

bool Animation::loops() const
{
    for (qsizetype i = 0; i < frames.size(); ++i) {
        for (const Branch &branch : frames.at(i).branches) {
            if (branch.toFrame <= i)
                return true;
        }
    }
    return false;
}

const QStringList &stateNames()
{
    static const QStringList names = {u"Showing"_s,      u"Hiding"_s,       u"Speaking"_s,  u"IdlingLevel1"_s,
                                      u"IdlingLevel2"_s, u"IdlingLevel3"_s, u"Listening"_s, u"Hearing"_s};
    return names;
}

std::shared_ptr<const CharacterData> parseCharacter(const QByteArray &manifest, const QString &baseDir,
                                                   const QStringList &neededAnimations)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(manifest, &error);
    if (error.error != QJsonParseError::NoError)
        fail(u"not valid JSON at offset %1: %2"_s.arg(error.offset).arg(error.errorString()));
    if (!document.isObject())
        fail(u"the manifest must be a JSON object"_s);
    const QJsonObject root = document.object();
    if (integer(root.value(u"format"), u"format"_s, 0, 1000) != 1)
        fail(u"unknown format version"_s);

    auto data = std::make_shared<CharacterData>();
    data->name = string(root.value(u"name"), u"name"_s);
    const QString artName = string(root.value(u"art"), u"art"_s);
    const CharacterFolder folder(baseDir);
    data->art = folder.read(artName, u"the art"_s);
    data->artPath = folder.resolve(artName, u"the art"_s);
    checkSvgComplexity(data->art, artName);
    QSvgRenderer renderer(data->art);
    if (!renderer.isValid())
        fail(u"the art %1 is not an SVG file Qt can draw"_s.arg(artName));
    data->frameSize = renderer.viewBoxF().size();
    if (!(data->frameSize.width() >= 1 && data->frameSize.height() >= 1 && data->frameSize.width() <= maximumFrameSide
          && data->frameSize.height() <= maximumFrameSide))
        fail(u"the art's viewBox must be between 1 and %1 units wide and high"_s.arg(maximumFrameSide));

    if (root.contains(u"voice")) {
        const QJsonObject voice = object(root.value(u"voice"), u"voice"_s);
        if (voice.contains(u"voice"))
            data->voice.voice = string(voice.value(u"voice"), u"voice name"_s);
        if (voice.contains(u"rate"))
            data->voice.rate = number(voice.value(u"rate"), u"voice rate"_s, 0.5, 2);
        if (voice.contains(u"pitch"))
            data->voice.pitch = number(voice.value(u"pitch"), u"voice pitch"_s, 0.5, 2);
    }
    data->balloonAnchor = root.contains(u"balloonAnchor")
        ? point(root.value(u"balloonAnchor"), u"balloonAnchor"_s, 1e4)
        : QPointF(data->frameSize.width() / 2, 0);

    Parser parser(*data, renderer, folder);
    parser.parseParts(root.value(u"parts"));
    parser.parseMouth(root.value(u"mouth"));
    parser.parseAnimations(root.value(u"animations"));
    parser.parseStates(root.value(u"states"));

    for (const QString &state : stateNames()) {
        if (!data->states.contains(state))
            fail(u"the state %1 is missing"_s.arg(state));
    }
    for (const QString &name : neededAnimations) {
        if (!data->animations.contains(name))
            fail(u"the animation %1 is missing"_s.arg(name));
    }
    return data;
}

std::shared_ptr<const CharacterData> loadCharacterFile(const QString &manifestPath, const QStringList &neededAnimations)
{
    const QFileInfo manifest(manifestPath);
    try {
        // The manifest is held to the rules of its own folder, so a link to a file elsewhere is
        // refused like any other file that leads out.
        const QByteArray bytes = CharacterFolder(manifest.absolutePath()).read(manifest.fileName(), u"the manifest"_s);
        auto data = parseCharacter(bytes, manifest.absolutePath(), neededAnimations);
        const_cast<CharacterData &>(*data).manifestPath = QFileInfo(manifestPath).absoluteFilePath();
        return data;
    } catch (const Error &e) {
        fail(u"%1: %2"_s.arg(manifestPath, e.message()));
    }
}

QString resolveCharacterFile(const QString &file, const QStringList &dataDirectories)
{
    const QFileInfo info(file);
    if (info.suffix().compare(u"json", Qt::CaseInsensitive) == 0 && info.isFile())
        return info.absoluteFilePath();
    // Only the name counts, whatever folder (in whichever spelling) came with it.
    const QString fileName = file.mid(std::max(file.lastIndexOf(u'/'), file.lastIndexOf(u'\\')) + 1);
    const QString name = fileName.left(fileName.lastIndexOf(u'.') > 0 ? fileName.lastIndexOf(u'.') : fileName.size());
    if (name.isEmpty())
        return {};
    for (const QString &dir : dataDirectories) {
        const QDir characters(dir + u"/characters"_s);
        for (const QString &sub : characters.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            if (sub.compare(name, Qt::CaseInsensitive) != 0)
                continue;
            const QDir folder(characters.filePath(sub));
            for (const QString &entry : folder.entryList(QDir::Files)) {
                if (entry.compare(name + u".json"_s, Qt::CaseInsensitive) == 0)
                    return folder.absoluteFilePath(entry);
            }
        }
    }
    return {};
}

} // namespace character

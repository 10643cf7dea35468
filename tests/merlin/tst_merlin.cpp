// SPDX-License-Identifier: GPL-3.0-or-later
// Checks the Merlin character as shipped: everything the program and the component ask of him is
// there, every animation comes back to the rest pose, and every frame draws something inside the
// character's frame. He is read and drawn by the component's own loader and renderer, so what is
// checked here is the Merlin the program shows.

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QSet>
#include <QSvgRenderer>
#include <QTest>
#include <QXmlStreamReader>

#include "character/agent.h"
#include "character/characterfile.h"
#include "character/framerenderer.h"
#include "teacher/teacher.h"

using namespace Qt::StringLiterals;
using character::Animation;
using character::MouthShape;
using character::Pose;

namespace {

const QString ManifestPath = QStringLiteral(ZUMBREL_SOURCE_DIR "/data/characters/merlin/merlin.json");

// What the program plays by name, and what the component plays by itself.
const QStringList &ProgramAnimations = teacher::animationsUsed();
const QStringList &States = character::stateNames();

// Counts the pixels that show, inside or outside a rectangle, and where they are.
int visiblePixels(const QImage &image, const QRect &inside, bool countInside, QRect *where = nullptr)
{
    int count = 0;
    QRect bounds;
    for (int y = 0; y < image.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(line[x]) > 8 && inside.contains(x, y) == countInside) {
                ++count;
                bounds |= QRect(x, y, 1, 1);
            }
        }
    }
    if (where)
        *where = bounds;
    return count;
}

// Whether two poses show the same picture, up to rounding in the interpolation. A part that
// shows in neither may be anywhere.
bool samePose(const QList<double> &opacityA, const Pose &a, const QList<double> &opacityB, const Pose &b,
              bool compareVariants = true)
{
    if (a.size() != b.size())
        return false;
    constexpr double eps = 1e-3;
    for (qsizetype i = 0; i < a.size(); ++i) {
        const character::PartTransform &x = a.at(i);
        const character::PartTransform &y = b.at(i);
        if (opacityA.at(i) < eps && opacityB.at(i) < eps)
            continue;
        if (std::abs(x.rotate - y.rotate) > eps || std::abs(x.opacity - y.opacity) > eps
            || (x.offset - y.offset).manhattanLength() > eps || std::abs(x.scaleX - y.scaleX) > eps
            || std::abs(x.scaleY - y.scaleY) > eps || (compareVariants && x.variant != y.variant))
            return false;
    }
    return true;
}

} // namespace

class TstMerlin : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void isFoundUnderItsFileName();
    void drawnAtEveryScreenDensity_data();
    void drawnAtEveryScreenDensity();
    void programAndComponentFindEverything_data();
    void programAndComponentFindEverything();
    void artUsesOnlyWhatQtSvgDraws();
    void speaksSlowlyWithTheChosenVoice();
    void mouthShapesAreDistinctAndMoveWithTheHead();

    void startsWhereTheLastOneEnded_data() { addEveryAnimation(); }
    void startsWhereTheLastOneEnded();
    void endsInTheRestPose_data() { addEveryAnimation(); }
    void endsInTheRestPose();
    void lengthLikeAClassicCharacter_data() { addEveryAnimation(); }
    void lengthLikeAClassicCharacter();
    void loopsCanBeEndedGracefully_data() { addEveryAnimation(); }
    void loopsCanBeEndedGracefully();
    void everyFrameIsVisibleAndInsideTheFrame_data() { addEveryAnimation(); }
    void everyFrameIsVisibleAndInsideTheFrame();

    void propsMakeTheMeaningPlain_data();
    void propsMakeTheMeaningPlain();

private:
    void addEveryAnimation();
    const Animation &animation(const QString &name) const { return *m_merlin->animation(name); }
    double partOpacity(const Pose &pose, const QString &part) const
    {
        return m_renderer->opacities(pose).at(m_merlin->partIndex(part));
    }
    bool samePose(const Pose &a, const Pose &b, bool compareVariants = true) const
    {
        return ::samePose(m_renderer->opacities(a), a, m_renderer->opacities(b), b, compareVariants);
    }

    std::shared_ptr<const character::CharacterData> m_merlin;
    std::unique_ptr<character::FrameRenderer> m_renderer;
};

// Asked for every animation the lessons play, as the program asks.
void TstMerlin::initTestCase()
{
    try {
        m_merlin = character::loadCharacterFile(ManifestPath, teacher::animationsUsed());
    } catch (const character::Error &error) {
        QFAIL(qPrintable(error.message()));
    }
    m_renderer = std::make_unique<character::FrameRenderer>(m_merlin);
}

// The program asks for "Merlin.acs"; the component looks for characters/<base name>/<base name>.json
// in lower case, and the manifest names the art beside it.
void TstMerlin::isFoundUnderItsFileName()
{
    const QString baseName = QFileInfo(u"Merlin.acs"_s).completeBaseName().toLower();
    const QFileInfo manifest(ManifestPath);
    QCOMPARE(manifest.completeBaseName(), baseName);
    QCOMPARE(manifest.dir().dirName(), baseName);
    QCOMPARE(m_merlin->name, u"Merlin"_s);
    // The renderer places parts by their coordinates in the art, so the frame must start at 0,0.
    QCOMPARE(QSvgRenderer(m_merlin->art).viewBoxF().topLeft(), QPointF(0, 0));
}

void TstMerlin::drawnAtEveryScreenDensity_data()
{
    QTest::addColumn<double>("scale");
    QTest::newRow("ordinary screen") << 1.0;
    QTest::newRow("high-density screen") << 2.0;
}

void TstMerlin::drawnAtEveryScreenDensity()
{
    QFETCH(double, scale);
    const QImage frame = m_renderer->render(m_merlin->neutralPose(), scale);
    QCOMPARE(frame.size(), (m_merlin->frameSize * scale).toSize());
    QRect shown;
    visiblePixels(frame, frame.rect(), true, &shown);
    // About 128 to 160 pixels tall at rest, whatever the screen's density, with room for props
    // around him.
    const double height = shown.height() / scale;
    QVERIFY2(height >= 128 && height <= 160, qPrintable(u"%1 px tall"_s.arg(height)));
    // Every part drawn at rest lies inside the frame.
    const QRectF bounds = m_renderer->paintedBounds(m_merlin->neutralPose());
    QVERIFY(QRectF(QPointF(0, 0), m_merlin->frameSize).adjusted(-0.5, -0.5, 0.5, 0.5).contains(bounds));
}

void TstMerlin::programAndComponentFindEverything_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("isState");
    for (const QString &name : ProgramAnimations)
        QTest::newRow(qPrintable(name)) << name << false;
    for (const QString &state : States)
        QTest::newRow(qPrintable(state)) << state << true;
}

void TstMerlin::programAndComponentFindEverything()
{
    QFETCH(QString, name);
    QFETCH(bool, isState);
    if (isState) {
        QVERIFY(m_merlin->states.contains(name));
        const QStringList animations = m_merlin->states.value(name);
        QVERIFY(!animations.isEmpty());
        // The loader already refused unknown names; the same animation twice would skew the draw.
        QCOMPARE(QSet<QString>(animations.begin(), animations.end()).size(), animations.size());
    } else {
        QVERIFY(m_merlin->animations.contains(name));
    }
}

// Qt SVG skips what it cannot draw without a word, and the engine places a part by its group's own
// coordinates: so no filters, masks, text or styles, and no transform on a part or above it.
void TstMerlin::artUsesOnlyWhatQtSvgDraws()
{
    QSet<QString> partGroups;
    for (const auto &part : m_merlin->parts)
        partGroups.unite(QSet<QString>(part.variants.begin(), part.variants.end()));

    QXmlStreamReader xml(m_merlin->art);
    QList<bool> transformed; // per open element: it or an ancestor has a transform
    const QStringList unsupported = {u"text"_s, u"filter"_s, u"mask"_s, u"clipPath"_s, u"image"_s,
                                     u"style"_s, u"foreignObject"_s, u"pattern"_s};
    int found = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            const QString name = xml.name().toString();
            QVERIFY2(!unsupported.contains(name), qPrintable(name));
            const bool hasTransform = xml.attributes().hasAttribute("transform"_L1);
            const QString id = xml.attributes().value("id"_L1).toString();
            if (partGroups.contains(id)) {
                QVERIFY2(!hasTransform && !transformed.contains(true), qPrintable(id + u" is transformed"_s));
                ++found;
            }
            transformed.append(hasTransform);
        } else if (xml.isEndElement()) {
            transformed.removeLast();
        }
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QCOMPARE(found, partGroups.size());
}

void TstMerlin::speaksSlowlyWithTheChosenVoice()
{
    const character::VoiceSettings &voice = m_merlin->voice;
    QCOMPARE(voice.voice, u"cmu_us_rms"_s);
    QVERIFY2(voice.rate >= 0.8 && voice.rate < 1.0, "a little slower than natural, for young children");
    QVERIFY(voice.pitch >= 0.5 && voice.pitch <= 2.0);
}

void TstMerlin::mouthShapesAreDistinctAndMoveWithTheHead()
{
    const QStringList shapes = {u"closed"_s, u"wide1"_s, u"wide2"_s, u"wide3"_s, u"wide4"_s, u"medium"_s, u"narrow"_s};
    const int mouth = m_merlin->mouthPart;
    QVERIFY(mouth >= 0);
    // At rest, when nothing is said, the mouth is closed.
    QCOMPARE(m_merlin->mouthVariants[int(MouthShape::Closed)], 0);

    bool onTheHead = false;
    for (int p = m_merlin->parts[mouth].parent; p >= 0; p = m_merlin->parts[p].parent)
        onTheHead = onTheHead || m_merlin->parts[p].id == "head"_L1;
    QVERIFY2(onTheHead, "the mouth must follow the head when it turns");

    // Each shape must show and look different from every other, or the lips would not move. The
    // shapes are drawn the way lip sync draws them, over the pose of the moment.
    QList<QImage> pictures;
    for (int shape = 0; shape < shapes.size(); ++shape) {
        const QImage picture = m_renderer->render(m_merlin->neutralPose(), 2.0, MouthShape(shape));
        for (int i = 0; i < pictures.size(); ++i)
            QVERIFY2(picture != pictures[i], qPrintable(u"%1 looks like %2"_s.arg(shapes[shape], shapes[i])));
        pictures.append(picture);
    }
}

void TstMerlin::addEveryAnimation()
{
    QTest::addColumn<QString>("name");
    QStringList names = m_merlin->animations.keys();
    names.sort();
    for (const QString &name : std::as_const(names))
        QTest::newRow(qPrintable(name)) << name;
}

// Every animation but the two that join others starts from the rest pose in place and scale (the
// eyes or mouth may change at once), so one follows another without a jump.
void TstMerlin::startsWhereTheLastOneEnded()
{
    QFETCH(QString, name);
    const Pose &first = animation(name).frames.first().pose;

    if (name == "Showing"_L1) {
        // He appears out of nothing.
        QVERIFY(partOpacity(first, u"body"_s) < 0.05);
        return;
    }
    for (const Animation &other : m_merlin->animations) {
        if (other.returnAnimation == name) {
            // A return animation starts where the animation it returns from stopped.
            QVERIFY2(samePose(first, other.frames.last().pose), qPrintable(other.name));
            return;
        }
    }
    QVERIFY(samePose(first, m_merlin->neutralPose(), false));
}

void TstMerlin::endsInTheRestPose()
{
    QFETCH(QString, name);
    const Animation &played = animation(name);
    const Pose &last = played.frames.last().pose;

    if (name == "Hiding"_L1) {
        // The last frame is what shows as the window goes: Merlin himself is gone by then.
        QVERIFY(partOpacity(last, u"body"_s) < 0.05);
        return;
    }
    if (!played.returnAnimation.isEmpty()) {
        const Animation &back = animation(played.returnAnimation);
        QVERIFY(samePose(back.frames.last().pose, m_merlin->neutralPose()));
        return;
    }
    QVERIFY(samePose(last, m_merlin->neutralPose()));
}

void TstMerlin::lengthLikeAClassicCharacter()
{
    QFETCH(QString, name);
    const Animation &played = animation(name);
    for (const auto &frame : played.frames)
        QVERIFY(frame.duration >= 100);
    const int length = played.straightDuration();
    QVERIFY2(length <= 6000, qPrintable(u"%1 ms"_s.arg(length)));
    if (name == "RestPose"_L1)
        QVERIFY(length <= 500);
    else if (ProgramAnimations.contains(name))
        QVERIFY2(length >= 1000 && length <= 3500, qPrintable(u"%1 ms"_s.arg(length)));
}

// A loop goes on until the engine ends it (speech over, a new request); every frame in the loop
// must then have a way out that lands in the rest pose instead of stopping mid-gesture.
void TstMerlin::loopsCanBeEndedGracefully()
{
    QFETCH(QString, name);
    const Animation &played = animation(name);
    for (int i = 0; i < played.frames.size(); ++i) {
        for (const auto &branch : played.frames[i].branches) {
            if (branch.toFrame > i)
                continue;
            for (int f = branch.toFrame; f <= i; ++f)
                QVERIFY2(played.frames[f].exitFrame >= 0, qPrintable(u"frame %1 has no exit"_s.arg(f)));
        }
    }
}

void TstMerlin::everyFrameIsVisibleAndInsideTheFrame()
{
    QFETCH(QString, name);
    const Animation &played = animation(name);
    // Drawn with room on every side, so that anything the window would cut off shows.
    constexpr int margin = 60;
    const QRect frame = QRect(QPoint(margin, margin), m_merlin->frameSize.toSize());
    const QRectF area = QRectF(QPointF(0, 0), m_merlin->frameSize).adjusted(-margin, -margin, margin, margin);
    for (int i = 0; i < played.frames.size(); ++i) {
        const QImage image = m_renderer->renderArea(played.frames[i].pose, area, 1.0);
        QRect where;
        const int outside = visiblePixels(image, frame, false, &where);
        where.translate(-margin, -margin);
        QVERIFY2(outside == 0, qPrintable(u"frame %1: %2 pixels outside the frame, within %3,%4 %5x%6"_s.arg(i)
                                              .arg(outside).arg(where.x()).arg(where.y()).arg(where.width())
                                              .arg(where.height())));
        // Merlin covers thousands of pixels; a last sparkle as he vanishes still shows a few hundred.
        const int inside = visiblePixels(image, frame, true);
        QVERIFY2(inside >= 200, qPrintable(u"frame %1: only %2 pixels show"_s.arg(i).arg(inside)));
    }
}

void TstMerlin::propsMakeTheMeaningPlain_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("part");
    QTest::addColumn<QString>("variant");
    QTest::newRow("Read: book") << u"Read"_s << u"book"_s << QString();
    QTest::newRow("Write: scroll") << u"Write"_s << u"scroll"_s << QString();
    QTest::newRow("Write: quill") << u"Write"_s << u"quill"_s << QString();
    QTest::newRow("Search: magnifier") << u"Search"_s << u"magnifier"_s << QString();
    QTest::newRow("Congratulate: trumpet") << u"Congratulate"_s << u"trumpet"_s << QString();
    QTest::newRow("Congratulate: sparkles") << u"Congratulate"_s << u"sparkles"_s << QString();
    QTest::newRow("Suggest: light bulb") << u"Suggest"_s << u"bulb"_s << QString();
    QTest::newRow("Showing: puff") << u"Showing"_s << u"puff"_s << QString();
    QTest::newRow("Hiding: puff") << u"Hiding"_s << u"puff"_s << QString();
    QTest::newRow("Listening: hand to ear") << u"Listening"_s << u"armLeft"_s << u"arm-left-ear"_s;
    QTest::newRow("Hearing: hand to ear") << u"Hearing"_s << u"armLeft"_s << u"arm-left-ear"_s;
    QTest::newRow("Wave: raised hand") << u"Wave"_s << u"armRight"_s << u"arm-right-up"_s;
    QTest::newRow("Sad: tear") << u"Sad"_s << u"tear"_s << QString();
    QTest::newRow("Confused: question mark") << u"Confused"_s << u"question"_s << QString();
    QTest::newRow("Doze: Zzz") << u"Doze"_s << u"zzz"_s << QString();
}

void TstMerlin::propsMakeTheMeaningPlain()
{
    QFETCH(QString, name);
    QFETCH(QString, part);
    QFETCH(QString, variant);
    const int index = m_merlin->partIndex(part);
    QVERIFY(index >= 0);
    QVERIFY(m_merlin->animations.contains(name));
    // Props stay out of sight in the rest pose and show fully somewhere in their animation.
    if (variant.isEmpty())
        QCOMPARE(partOpacity(m_merlin->neutralPose(), part), 0.0);
    bool shown = false;
    for (const auto &frame : animation(name).frames) {
        const bool rightLook
            = variant.isEmpty() || m_merlin->parts[index].variants.value(frame.pose[index].variant) == variant;
        shown = shown || (rightLook && partOpacity(frame.pose, part) > 0.95);
    }
    QVERIFY(shown);
}

QTEST_MAIN(TstMerlin)
#include "tst_merlin.moc"

// SPDX-License-Identifier: GPL-3.0-or-later
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

#include "character/agent.h"
#include "character/animationplayer.h"
#include "character/characterfile.h"
#include "character/framerenderer.h"
#include "characterdesktop/characterwindow.h"
#include "characterdesktop/desktopagent.h"

using namespace Qt::StringLiterals;
using namespace character;

namespace {

QString blobDir()
{
    return QStringLiteral(ZUMBREL_TEST_DATA) + u"/characters/blob"_s;
}

QJsonObject blobManifest()
{
    QFile file(blobDir() + u"/blob.json"_s);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("the test character is missing");
    return QJsonDocument::fromJson(file.readAll()).object();
}

QByteArray blobArt()
{
    QFile file(blobDir() + u"/blob.svg"_s);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("the test character's art is missing");
    return file.readAll();
}

// Replaces a value found by a path of keys and array indices; a null value removes it.
QJsonValue edited(const QJsonValue &value, QStringList path, const QJsonValue &replacement)
{
    if (path.isEmpty())
        return replacement;
    const QString key = path.takeFirst();
    if (value.isArray()) {
        QJsonArray array = value.toArray();
        const int index = key.toInt();
        array[index] = edited(array.at(index), path, replacement);
        return array;
    }
    QJsonObject object = value.toObject();
    if (path.isEmpty() && replacement.isNull())
        object.remove(key);
    else
        object[key] = edited(object.value(key), path, replacement);
    return object;
}

// Records which frames of an animation a player shows, by their pose of the head part.
QList<int> framesShown(AnimationPlayer &player, const Animation &animation)
{
    QList<int> shown;
    QObject::connect(&player, &AnimationPlayer::frameChanged, &player,
                     [&shown, &player](const Frame &) { shown << player.frameIndex(); });
    QSignalSpy finished(&player, &AnimationPlayer::finished);
    player.start(&animation);
    if (!finished.wait(5000))
        qWarning("the animation did not finish");
    return shown;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

// A character folder of a manifest and its art; returns the manifest's path.
QString writeCharacter(const QTemporaryDir &dir, const QByteArray &manifest, const QByteArray &art)
{
    writeFile(dir.filePath(u"blob.svg"_s), art);
    writeFile(dir.filePath(u"blob.json"_s), manifest);
    return dir.filePath(u"blob.json"_s);
}

// An SVG with the test character's groups and a given number of extra elements, flat or nested.
QByteArray artWithExtraElements(int count, bool nested)
{
    QByteArray art = blobArt();
    QByteArray extra;
    for (int i = 0; i < count; ++i)
        extra += nested ? "<g>" : "<rect width=\"1\" height=\"1\"/>";
    if (nested) {
        for (int i = 0; i < count; ++i)
            extra += "</g>";
    }
    art.insert(art.lastIndexOf("</svg>"), extra);
    return art;
}

} // namespace

class TestCharacterFile : public QObject
{
    Q_OBJECT

private slots:
    void loadsTheTestCharacter()
    {
        const auto data = loadCharacterFile(blobDir() + u"/blob.json"_s);
        QCOMPARE(data->name, u"Blob"_s);
        QCOMPARE(data->frameSize, QSizeF(120, 150));
        QCOMPARE(data->voice.rate, 1.0);
        for (const QString &name : {u"Greet"_s, u"RestPose"_s, u"Forever"_s})
            QVERIFY2(data->animation(name), qPrintable(name));
        for (const QString &state : stateNames())
            QVERIFY2(!data->states.value(state).isEmpty(), qPrintable(state));
        // The mouth shapes map onto the mouth part's variants in the order the shapes are named.
        QCOMPARE(data->parts.at(data->mouthPart).id, u"mouth"_s);
        QCOMPARE(data->parts.at(data->mouthPart).variants.at(data->mouthVariants[int(MouthShape::Narrow)]),
                 u"mouth-narrow"_s);
        // A part given no pivot turns about the middle of its drawing.
        const Part &eyes = data->parts.at(4);
        QCOMPARE(eyes.id, u"eyes"_s);
        QVERIFY(qAbs(eyes.pivot.x() - 60) < 1 && qAbs(eyes.pivot.y() - 48) < 1);
    }

    void compilesKeyframesIntoFrames()
    {
        const auto data = loadCharacterFile(blobDir() + u"/blob.json"_s);
        const Animation *showing = data->animation(u"Showing"_s);
        // Three steps from the small, transparent body to the neutral pose, then the neutral frame.
        QCOMPARE(showing->frames.size(), 4);
        const int body = 1;
        QCOMPARE(showing->frames.at(0).pose.at(body).scaleX, 0.1);
        QCOMPARE(showing->frames.at(0).pose.at(body).opacity, 0.0);
        double previous = 0;
        for (int i = 1; i < 4; ++i) {
            QVERIFY(showing->frames.at(i).pose.at(body).scaleX > previous);
            previous = showing->frames.at(i).pose.at(body).scaleX;
        }
        QCOMPARE(showing->frames.last().pose, data->neutralPose());
        for (const Animation &animation : data->animations) {
            for (const Frame &frame : animation.frames)
                QVERIFY2(frame.duration >= 100, qPrintable(animation.name));
        }
        // Branches sit on the last frame of their keyframe and lead to the target's first frame.
        const Animation *wave = data->animation(u"Wave"_s);
        const auto withBranch = std::find_if(wave->frames.begin(), wave->frames.end(),
                                             [](const Frame &f) { return !f.branches.isEmpty(); });
        QVERIFY(withBranch != wave->frames.end());
        QCOMPARE(withBranch - wave->frames.begin(), 5);
        QCOMPARE(withBranch->branches.first().toFrame, 2);
        QCOMPARE(withBranch->exitFrame, 8);
        QCOMPARE(data->animation(u"GetAttention"_s)->returnAnimation, u"GetAttentionReturn"_s);
    }

    void refusesBrokenFiles_data()
    {
        QTest::addColumn<QStringList>("path");
        QTest::addColumn<QJsonValue>("value");
        QTest::addColumn<QByteArray>("rawManifest"); // used instead of the edited one when set
        QTest::addColumn<QByteArray>("art");

        const QByteArray art = blobArt();
        const auto row = [&](const char *name, QStringList path, QJsonValue value, QByteArray raw = {},
                             QByteArray svg = {}) {
            QTest::newRow(name) << path << value << raw << (svg.isNull() ? art : svg);
        };
        row("not JSON", {}, {}, "{ \"format\": 1, ");
        row("not an object", {}, {}, "[1, 2, 3]");
        row("empty file", {}, {}, " ");
        row("unknown format", {u"format"_s}, 2);
        row("format is text", {u"format"_s}, u"1"_s);
        row("no art named", {u"art"_s}, QJsonValue::Null);
        row("art file missing", {u"art"_s}, u"nowhere.svg"_s);
        row("art not SVG", {}, {}, {}, "this is not <svg");
        row("art truncated", {}, {}, {}, art.left(art.size() / 2));
        row("missing animation", {u"animations"_s, u"Sad"_s}, QJsonValue::Null);
        row("missing state", {u"states"_s, u"Hearing"_s}, QJsonValue::Null);
        row("state names missing animation", {u"states"_s, u"Hearing"_s}, QJsonArray{u"Nope"_s});
        row("variant not in art", {u"parts"_s, u"0"_s, u"variants"_s}, QJsonArray{u"no-such-group"_s});
        row("part without variants", {u"parts"_s, u"0"_s, u"variants"_s}, QJsonArray{});
        row("unknown parent", {u"parts"_s, u"0"_s, u"parent"_s}, u"ghost"_s);
        row("parents in a cycle", {u"parts"_s, u"1"_s, u"parent"_s}, u"head"_s);
        row("frame shorter than 100 ms", {u"animations"_s, u"Greet"_s, u"keyframes"_s, u"2"_s, u"duration"_s}, 50);
        row("steps make frames too short",
            {u"animations"_s, u"Greet"_s, u"keyframes"_s, u"0"_s, u"steps"_s}, 4);
        row("branch total above 100",
            {u"animations"_s, u"Branchy"_s, u"keyframes"_s, u"0"_s, u"branches"_s},
            QJsonArray{QJsonObject{{u"to"_s, 1}, {u"probability"_s, 60}}, QJsonObject{{u"to"_s, 2}, {u"probability"_s, 60}}});
        row("branch to unknown label",
            {u"animations"_s, u"Branchy"_s, u"keyframes"_s, u"0"_s, u"branches"_s},
            QJsonArray{QJsonObject{{u"to"_s, u"nowhere"_s}, {u"probability"_s, 10}}});
        row("exit past the end", {u"animations"_s, u"Forever"_s, u"keyframes"_s, u"0"_s, u"exit"_s}, 7);
        row("unknown return animation", {u"animations"_s, u"GetAttention"_s, u"return"_s}, u"Nope"_s);
        row("pose of unknown part",
            {u"animations"_s, u"Write"_s, u"keyframes"_s, u"1"_s, u"pose"_s}, QJsonObject{{u"tail"_s, QJsonObject{}}});
        row("opacity above 1",
            {u"animations"_s, u"Write"_s, u"keyframes"_s, u"1"_s, u"pose"_s, u"arm-right"_s, u"opacity"_s}, 3);
        row("offset not a pair",
            {u"animations"_s, u"Write"_s, u"keyframes"_s, u"1"_s, u"pose"_s, u"arm-right"_s, u"offset"_s},
            QJsonArray{1});
        row("variant of another part",
            {u"animations"_s, u"Write"_s, u"keyframes"_s, u"1"_s, u"pose"_s, u"arm-right"_s, u"variant"_s},
            u"eyes-closed"_s);
        row("mouth shape missing", {u"mouth"_s, u"shapes"_s, u"narrow"_s}, QJsonValue::Null);
        row("mouth shape not a mouth variant", {u"mouth"_s, u"shapes"_s, u"narrow"_s}, u"hat"_s);
        row("voice rate out of range", {u"voice"_s, u"rate"_s}, 40);
        row("no keyframes", {u"animations"_s, u"Read"_s, u"keyframes"_s}, QJsonArray{});
    }

    void refusesBrokenFiles()
    {
        QFETCH(QStringList, path);
        QFETCH(QJsonValue, value);
        QFETCH(QByteArray, rawManifest);
        QFETCH(QByteArray, art);

        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QByteArray manifest = !rawManifest.isNull()
            ? rawManifest
            : QJsonDocument(edited(blobManifest(), path, value).toObject()).toJson();
        const QString json = writeCharacter(dir, manifest, art);

        // The animation some rows take away is one the host says it needs.
        const QStringList needed{u"Sad"_s};
        try {
            loadCharacterFile(json, needed);
            QFAIL("the file was accepted");
        } catch (const Error &e) {
            QVERIFY(e.message().contains(json));
        }
        // The program's load reports it at the call, too.
        DesktopAgent agent;
        agent.setTrayIconEnabled(false);
        agent.setNeededAnimations(needed);
        QVERIFY_THROWS_EXCEPTION(Error, agent.Characters().Load(u"MyChar"_s, json));
        QVERIFY_THROWS_EXCEPTION(Error, agent.Characters().Item(u"MyChar"_s));
    }

    // The refusal names the value, down to the animation, keyframe, part and property.
    void refusalNamesTheValue_data()
    {
        QTest::addColumn<QStringList>("path");
        QTest::addColumn<QJsonValue>("value");
        QTest::addColumn<QString>("named");
        const QStringList greet{u"animations"_s, u"Greet"_s, u"keyframes"_s};
        const QStringList arm{u"animations"_s, u"Write"_s, u"keyframes"_s, u"1"_s, u"pose"_s, u"arm-right"_s};
        QTest::newRow("keyframe") << greet + QStringList{u"0"_s, u"steps"_s} << QJsonValue(4)
                                  << u"Greet keyframe 0 has frames shorter than 100 ms"_s;
        QTest::newRow("keyframe property") << greet + QStringList{u"2"_s, u"duration"_s} << QJsonValue(u"long"_s)
                                           << u"Greet keyframe 2 duration must be a number"_s;
        QTest::newRow("part of a pose") << arm + QStringList{u"opacity"_s} << QJsonValue(3)
                                        << u"Write keyframe 1 arm-right opacity is out of range"_s;
        QTest::newRow("pair") << arm + QStringList{u"offset"_s} << QJsonValue(QJsonArray{1})
                              << u"Write keyframe 1 arm-right offset must be two numbers"_s;
        QTest::newRow("exit") << QStringList{u"animations"_s, u"Forever"_s, u"keyframes"_s, u"0"_s, u"exit"_s}
                              << QJsonValue(7) << u"Forever keyframe 0 exit is out of range"_s;
        QTest::newRow("branch target") << QStringList{u"animations"_s, u"Branchy"_s, u"keyframes"_s, u"0"_s,
                                                      u"branches"_s}
                                       << QJsonValue(
                                              QJsonArray{QJsonObject{{u"to"_s, u"nowhere"_s}, {u"probability"_s, 10}}})
                                       << u"Branchy keyframe 0 branch: no keyframe is labelled nowhere"_s;
    }

    void refusalNamesTheValue()
    {
        QFETCH(QStringList, path);
        QFETCH(QJsonValue, value);
        QFETCH(QString, named);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString json
            = writeCharacter(dir, QJsonDocument(edited(blobManifest(), path, value).toObject()).toJson(), blobArt());
        try {
            loadCharacterFile(json);
            QFAIL("the file was accepted");
        } catch (const Error &e) {
            QVERIFY2(e.message().contains(named), qPrintable(e.message()));
        }
    }

    // Only the host knows which animations it plays; the rest of a character may be missing.
    void neededAnimationsDecideWhatIsMissing_data()
    {
        QTest::addColumn<QString>("removed");
        QTest::addColumn<QStringList>("needed");
        QTest::addColumn<bool>("loads");
        QTest::newRow("nothing needed, one missing") << u"Sad"_s << QStringList{} << true;
        QTest::newRow("another one needed") << u"Sad"_s << QStringList{u"Greet"_s} << true;
        QTest::newRow("the missing one needed") << u"Sad"_s << QStringList{u"Greet"_s, u"Sad"_s} << false;
        QTest::newRow("one the character never had") << QString() << QStringList{u"Juggle"_s} << false;
    }

    void neededAnimationsDecideWhatIsMissing()
    {
        QFETCH(QString, removed);
        QFETCH(QStringList, needed);
        QFETCH(bool, loads);
        QJsonObject manifest = blobManifest();
        if (!removed.isEmpty())
            manifest = edited(manifest, {u"animations"_s, removed}, QJsonValue::Null).toObject();
        bool loaded = false;
        QString message;
        try {
            loaded = parseCharacter(QJsonDocument(manifest).toJson(), blobDir(), needed) != nullptr;
        } catch (const Error &e) {
            message = e.message();
        }
        QCOMPARE(loaded, loads);
        if (!loads)
            QVERIFY2(message.contains(needed.last()), qPrintable(message));
    }

    // A character folder is a boundary: whatever its manifest says, the loader reads only regular
    // files inside it, of bounded size, and says which file broke which rule.
    // The art's elements are counted as an XML reader counts them, in every notation XML allows.
    void artIsMeasuredAsXmlReadsIt_data()
    {
        QTest::addColumn<QByteArray>("art");
        QTest::addColumn<QString>("fault"); // in the message; empty: must load

        const auto repeated = [](const QByteArray &text, int times) { return text.repeated(times); };
        const auto withExtra = [](const QByteArray &extra, const QByteArray &declaration = {}) {
            QByteArray art = blobArt();
            art.insert(art.lastIndexOf("</svg>"), extra);
            art.replace("<?xml version=\"1.0\" encoding=\"UTF-8\"?>", declaration);
            return art;
        };
        const auto utf16 = [](const QByteArray &art) {
            const QString text = QString::fromUtf8(art);
            return "\xFF\xFE" + QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
        };
        const QByteArray nested = repeated("<g>", 70) + repeated("</g>", 70);

        QTest::newRow("tags in a comment") << withExtra("<!--" + repeated("<g>", 25000) + "-->") << QString();
        QTest::newRow("tags in character data")
            << withExtra("<desc><![CDATA[" + repeated("<g>", 25000) + "]]></desc>") << QString();
        QTest::newRow("'>' in attribute values")
            << withExtra(repeated("<rect data-x=\">\" width=\"1\" height=\"1\"/>", 100)) << QString();
        QTest::newRow("'/>' in attribute values")
            << withExtra(repeated("<g data-x=\"/>\">", 70) + repeated("</g>", 70)) << u"deep"_s;
        QTest::newRow("nested groups") << withExtra(nested) << u"deep"_s;
        // Nine entities, each eight groups deep around the one before.
        QByteArray entities = "<!ENTITY e0 \"\">";
        for (int level = 1; level <= 9; ++level) {
            entities += "<!ENTITY e" + QByteArray::number(level) + " \"" + repeated("<g>", 8) + "&e"
                + QByteArray::number(level - 1) + ";" + repeated("</g>", 8) + "\">";
        }
        QTest::newRow("entities of nested groups")
            << withExtra("&e9;", "<?xml version=\"1.0\"?>\n<!DOCTYPE svg [ " + entities + " ]>") << u"deep"_s;
        QTest::newRow("UTF-16") << utf16(withExtra({})) << QString();
        QTest::newRow("UTF-16, nested groups") << utf16(withExtra(nested)) << u"deep"_s;
        // In ISO-2022-JP, the bytes of "</" and of ">!" are kanji.
        QTest::newRow("an encoding whose characters hold the bytes of an end tag")
            << withExtra("<desc>\x1B$B" + repeated("</>!", 100) + "\x1B(B</desc>" + nested,
                         "<?xml version=\"1.0\" encoding=\"ISO-2022-JP\"?>")
            << u"deep"_s;
    }

    void artIsMeasuredAsXmlReadsIt()
    {
        QFETCH(QByteArray, art);
        QFETCH(QString, fault);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString manifest = writeCharacter(dir, QJsonDocument(blobManifest()).toJson(), art);
        try {
            const auto data = loadCharacterFile(manifest);
            QVERIFY2(fault.isEmpty(), "the art was accepted");
        } catch (const Error &e) {
            QVERIFY2(!fault.isEmpty() && e.message().contains(fault), qPrintable(e.message()));
        }
    }

    void staysInsideItsFolder_data()
    {
        QTest::addColumn<QString>("art");     // the manifest's art value
        QTest::addColumn<QString>("sound");   // a sound on Greet's first keyframe, if not empty
        QTest::addColumn<QString>("setup");   // what to place in the folder first
        QTest::addColumn<QString>("fault");   // in the message; empty: must load

        QTest::newRow("absolute art path") << u"@root/outside.svg"_s << QString() << QString() << u"absolute path"_s;
        QTest::newRow("art up and out") << u"../outside.svg"_s << QString() << QString() << u"\"..\""_s;
        QTest::newRow("art down, then up and out") << u"parts/../../outside.svg"_s << QString() << QString()
                                                   << u"\"..\""_s;
        QTest::newRow("art linked out") << u"link.svg"_s << QString() << u"link.svg->@root/outside.svg"_s
                                        << u"leads out"_s;
        QTest::newRow("art in a folder linked out") << u"shared/outside.svg"_s << QString() << u"shared->@root"_s
                                                    << u"leads out"_s;
        QTest::newRow("art linked to a device") << u"zero.svg"_s << QString() << u"zero.svg->/dev/zero"_s
                                                << u"leads out"_s;
        QTest::newRow("art is a FIFO") << u"pipe.svg"_s << QString() << u"pipe.svg=fifo"_s << u"not a regular file"_s;
        QTest::newRow("art is a folder") << u"parts"_s << QString() << u"parts=dir"_s << u"not a regular file"_s;
        QTest::newRow("art too large") << u"big.svg"_s << QString() << u"big.svg=9MB"_s << u"larger than 8 MB"_s;
        QTest::newRow("art of too many elements") << u"many.svg"_s << QString() << u"many.svg=elements"_s
                                                  << u"more than"_s;
        QTest::newRow("art nested too deep") << u"deep.svg"_s << QString() << u"deep.svg=nested"_s << u"deep"_s;
        QTest::newRow("art missing") << u"none.svg"_s << QString() << QString() << u"does not exist"_s;
        QTest::newRow("art names nothing") << QString() << QString() << QString() << u"names no file"_s;
        QTest::newRow("sound up and out") << u"blob.svg"_s << u"../../../../../../etc/passwd"_s << QString()
                                          << u"\"..\""_s;
        QTest::newRow("sound absolute") << u"blob.svg"_s << u"/etc/passwd"_s << QString() << u"absolute path"_s;
        QTest::newRow("sound linked out") << u"blob.svg"_s << u"ding.wav"_s << u"ding.wav->/etc/passwd"_s
                                          << u"leads out"_s;
        QTest::newRow("sound is a FIFO") << u"blob.svg"_s << u"ding.wav"_s << u"ding.wav=fifo"_s
                                         << u"not a regular file"_s;
        QTest::newRow("sound missing") << u"blob.svg"_s << u"ding.wav"_s << QString() << u"does not exist"_s;
        QTest::newRow("manifest linked out") << u"blob.svg"_s << QString() << u"manifest->@root"_s << u"leads out"_s;
        // Links that stay inside are fine, and so is a folder reached through a link.
        QTest::newRow("art linked inside") << u"link.svg"_s << QString() << u"link.svg->@dir/parts/blob.svg"_s
                                           << QString();
        QTest::newRow("art in a subfolder") << u"parts/./blob.svg"_s << QString() << QString() << QString();
        QTest::newRow("sound inside") << u"blob.svg"_s << u"ding.wav"_s << u"ding.wav=file"_s << QString();
        QTest::newRow("folder reached through a link") << u"blob.svg"_s << QString() << u"folder->@root/real"_s
                                                       << QString();
    }

    void staysInsideItsFolder()
    {
        QFETCH(QString, art);
        QFETCH(QString, sound);
        QFETCH(QString, setup);
        QFETCH(QString, fault);

        QTemporaryDir root;
        QVERIFY(root.isValid());
        const QString rootPath = QFileInfo(root.path()).canonicalFilePath();
        writeFile(rootPath + u"/outside.svg"_s, blobArt());
        QString dir = rootPath + u"/blob"_s;
        if (setup == u"folder->@root/real") {
            QVERIFY(QDir(rootPath).mkdir(u"real"_s));
            QVERIFY(QFile::link(rootPath + u"/real"_s, dir));
        } else {
            QVERIFY(QDir(rootPath).mkdir(u"blob"_s));
        }
        QVERIFY(QDir(dir).mkdir(u"parts"_s));
        writeFile(dir + u"/blob.svg"_s, blobArt());
        writeFile(dir + u"/parts/blob.svg"_s, blobArt());

        QJsonObject manifest = blobManifest();
        art.replace(u"@root"_s, rootPath);
        manifest[u"art"_s] = art;
        if (!sound.isEmpty())
            manifest = edited(manifest, {u"animations"_s, u"Greet"_s, u"keyframes"_s, u"0"_s, u"sound"_s}, sound).toObject();
        const QByteArray json = QJsonDocument(manifest).toJson();
        QString manifestPath = dir + u"/blob.json"_s;

        const QString name = setup.section(QRegularExpression(u"->|="_s), 0, 0);
        const QString what = setup.section(QRegularExpression(u"->|="_s), 1);
        if (setup.contains(u"->"_s) && name != u"folder") {
            const QString target = QString(what).replace(u"@root"_s, rootPath).replace(u"@dir"_s, dir);
            if (name == u"manifest") {
                writeFile(target + u"/elsewhere.json"_s, json);
                QVERIFY(QFile::link(target + u"/elsewhere.json"_s, manifestPath));
            } else {
                QVERIFY(QFile::link(target, dir + u'/' + name));
            }
        } else if (what == u"fifo") {
            QCOMPARE(::mkfifo(QFile::encodeName(dir + u'/' + name).constData(), 0600), 0);
        } else if (what == u"9MB") {
            QFile big(dir + u'/' + name);
            QVERIFY(big.open(QIODevice::WriteOnly));
            QVERIFY(big.resize(9 * 1024 * 1024));
        } else if (what == u"elements") {
            writeFile(dir + u'/' + name, artWithExtraElements(25000, false));
        } else if (what == u"nested") {
            writeFile(dir + u'/' + name, artWithExtraElements(200, true));
        } else if (what == u"file") {
            writeFile(dir + u'/' + name, "RIFF");
        }
        if (!QFileInfo(manifestPath).isSymLink())
            writeFile(manifestPath, json);

        if (fault.isEmpty()) {
            const auto data = loadCharacterFile(manifestPath);
            QVERIFY(data->animation(u"Greet"_s));
            if (!sound.isEmpty())
                QVERIFY(data->animation(u"Greet"_s)->frames.first().sound.startsWith(QFileInfo(dir).canonicalFilePath()));
            return;
        }
        try {
            loadCharacterFile(manifestPath);
            QFAIL("the character was accepted");
        } catch (const Error &e) {
            QVERIFY2(e.message().contains(fault), qPrintable(e.message()));
            // The message names the manifest and, for a file it names, that file as written.
            QVERIFY2(e.message().contains(manifestPath), qPrintable(e.message()));
            const QString named = sound.isEmpty() ? art : sound;
            if (name != u"manifest" && !named.isEmpty())
                QVERIFY2(e.message().contains(named), qPrintable(e.message()));
        }
    }

    // Art that asks for huge images, or a screen scale far beyond any real one, is drawn at a
    // lower resolution rather than allowed to take gigabytes.
    void staysWithinThePixelBudget_data()
    {
        QTest::addColumn<QByteArray>("bodyExtra"); // drawn into the body part
        QTest::addColumn<double>("scale");
        QTest::addColumn<bool>("reduced"); // the frame comes at a lower ratio than asked
        QTest::addColumn<int>("bodyAlpha"); // at least, in the middle of the body
        QTest::newRow("ordinary art, ordinary scale") << QByteArray() << 2.0 << false << 255;
        QTest::newRow("ordinary art, a fractional scale") << QByteArray() << 1.75 << false << 255;
        // Drawn at a fraction of a pixel per unit: blurred, but there.
        QTest::newRow("a part far beyond its frame")
            << QByteArray("<rect x=\"-90000\" y=\"-90000\" width=\"180000\" height=\"180000\" fill-opacity=\"0.01\"/>")
            << 1.0 << false << 1;
        QTest::newRow("a part with a coordinate near the float limit")
            << QByteArray("<rect x=\"1e30\" y=\"0\" width=\"1e30\" height=\"10\"/>") << 1.0 << false << 255;
        QTest::newRow("a scale no screen has") << QByteArray() << 60.0 << true << 255;
    }

    void staysWithinThePixelBudget()
    {
        QFETCH(QByteArray, bodyExtra);
        QFETCH(double, scale);
        QFETCH(bool, reduced);
        QFETCH(int, bodyAlpha);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QByteArray art = blobArt();
        const qsizetype body = art.indexOf("<g id=\"body\">") + qsizetype(strlen("<g id=\"body\">"));
        art.insert(body, bodyExtra);
        writeFile(dir.filePath(u"blob.svg"_s), art);
        writeFile(dir.filePath(u"blob.json"_s), QJsonDocument(blobManifest()).toJson());
        const auto data = loadCharacterFile(dir.filePath(u"blob.json"_s));
        FrameRenderer renderer(data);
        const QImage frame = renderer.render(data->neutralPose(), scale);
        // 16 megapixels for the frame, 32 for all part images together (4 bytes a pixel).
        QVERIFY(qint64(frame.width()) * frame.height() <= 16 * 1024 * 1024);
        QVERIFY(renderer.cacheBytes() <= qint64(32) * 1024 * 1024 * 4);
        QCOMPARE(frame.devicePixelRatio() < scale, reduced);
        // Still Merlin's size on screen, and still drawn: the body shows where it stands.
        QCOMPARE((QSizeF(frame.size()) / frame.devicePixelRatio()).toSize(), QSize(120, 150));
        // The size a window is given before its first frame is the one that frame brings.
        QCOMPARE(FrameRenderer::frameSize(*data, scale), (QSizeF(frame.size()) / frame.devicePixelRatio()).toSize());
        const QPoint inBody = (QPointF(60, 120) * frame.devicePixelRatio()).toPoint();
        QVERIFY2(qAlpha(frame.pixel(inBody)) >= bodyAlpha, qPrintable(QString::number(qAlpha(frame.pixel(inBody)))));
    }

    void refusesMissingFile()
    {
        DesktopAgent agent;
        agent.setTrayIconEnabled(false);
        agent.setCharacterDirectories({QStringLiteral(ZUMBREL_TEST_DATA) + u"/nowhere"_s});
        QVERIFY_THROWS_EXCEPTION(Error, agent.Characters().Load(u"MyChar"_s, u"Merlin.acs"_s));
        QVERIFY_THROWS_EXCEPTION(Error, loadCharacterFile(blobDir() + u"/missing.json"_s));
    }

    // A file read ahead on a worker thread loads as if read at Load, errors included, and only
    // with the folders and animations that hold when Load comes.
    void prefetchedLoadIsTheSame_data()
    {
        QTest::addColumn<QString>("prefetchedFolder");
        QTest::addColumn<QStringList>("prefetchedNeeds");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QStringList>("needs");
        QTest::addColumn<bool>("loads");
        const QString here = QStringLiteral(ZUMBREL_TEST_DATA);
        const QString nowhere = here + u"/nowhere"_s;
        QTest::newRow("found") << here << QStringList{u"Greet"_s} << here << QStringList{u"Greet"_s} << true;
        QTest::newRow("not found") << nowhere << QStringList{} << nowhere << QStringList{} << false;
        QTest::newRow("folder set after") << nowhere << QStringList{} << here << QStringList{} << true;
        QTest::newRow("animation needed after") << here << QStringList{} << here << QStringList{u"Juggle"_s} << false;
    }

    void prefetchedLoadIsTheSame()
    {
        QFETCH(QString, prefetchedFolder);
        QFETCH(QStringList, prefetchedNeeds);
        QFETCH(QString, folder);
        QFETCH(QStringList, needs);
        QFETCH(bool, loads);
        DesktopAgent agent;
        agent.setTrayIconEnabled(false);
        agent.setCharacterDirectories({prefetchedFolder});
        agent.setNeededAnimations(prefetchedNeeds);
        agent.prefetch(u"Blob.acs"_s);
        agent.setCharacterDirectories({folder});
        agent.setNeededAnimations(needs);
        if (!loads) {
            QVERIFY_THROWS_EXCEPTION(Error, agent.Characters().Load(u"MyChar"_s, u"Blob.acs"_s));
            QVERIFY(!agent.character(u"MyChar"_s));
            return;
        }
        agent.Characters().Load(u"MyChar"_s, u"Blob.acs"_s);
        QVERIFY(agent.character(u"MyChar"_s));
        // What was read ahead is taken once: another Load of the file reads it again.
        agent.Characters().Load(u"Other"_s, u"Blob.acs"_s);
        QVERIFY(agent.character(u"Other"_s));
        // The parts drawn on the worker make the same frame as those drawn here.
        for (const QString &id : {u"MyChar"_s, u"Other"_s}) {
            agent.Characters().Item(id)->Show(true);
            QTRY_VERIFY(agent.character(id)->window()->isVisible());
        }
        const QImage ahead = agent.character(u"MyChar"_s)->window()->frame();
        QVERIFY(!ahead.isNull());
        QCOMPARE(ahead, agent.character(u"Other"_s)->window()->frame());
    }

    void findsCharacterByBaseName_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("found");
        QTest::newRow("as the program names it") << u"Blob.acs"_s << true;
        QTest::newRow("lower case") << u"blob.acs"_s << true;
        QTest::newRow("upper case, no suffix") << u"BLOB"_s << true;
        QTest::newRow("with a folder") << u"/usr/share/chars/Blob.acs"_s << true;
        QTest::newRow("with a Windows folder") << u"C:\\Windows\\msagent\\chars\\Blob.acs"_s << true;
        QTest::newRow("manifest path") << blobDir() + u"/blob.json"_s << true;
        QTest::newRow("other name") << u"Merlin.acs"_s << false;
        QTest::newRow("empty") << QString() << false;
    }

    void findsCharacterByBaseName()
    {
        QFETCH(QString, file);
        QFETCH(bool, found);
        const QString path = resolveCharacterFile(file, {u"/nonexistent"_s, QStringLiteral(ZUMBREL_TEST_DATA) + u"/.."_s,
                                                         QStringLiteral(ZUMBREL_TEST_DATA)});
        if (found)
            QCOMPARE(QFileInfo(path).canonicalFilePath(), QFileInfo(blobDir() + u"/blob.json"_s).canonicalFilePath());
        else
            QVERIFY(path.isEmpty());
    }

    void branchesFollowTheRandomSource_data()
    {
        QTest::addColumn<double>("draw");
        QTest::addColumn<QList<int>>("frames");
        // Branchy: a (50 % to c), b, c, end.
        QTest::newRow("branch taken") << 0.3 << QList<int>{0, 2, 3};
        QTest::newRow("branch not taken") << 0.7 << QList<int>{0, 1, 2, 3};
        QTest::newRow("edge of the branch") << 0.5 << QList<int>{0, 1, 2, 3};
    }

    void branchesFollowTheRandomSource()
    {
        QFETCH(double, draw);
        QFETCH(QList<int>, frames);
        const auto data = loadCharacterFile(blobDir() + u"/blob.json"_s);
        AnimationPlayer player([draw] { return draw; });
        QCOMPARE(framesShown(player, *data->animation(u"Branchy"_s)), frames);
    }

    void seededBranchesRepeat()
    {
        // The speaking loop branches back 95 % of the time; the same seed plays it the same way.
        const auto data = loadCharacterFile(blobDir() + u"/blob.json"_s);
        Animation animation = *data->animation(u"Speaking"_s);
        animation.frames[3].branches = {{0, 60}};
        const auto run = [&](quint32 seed) {
            QRandomGenerator generator(seed);
            AnimationPlayer player([&generator] { return generator.generateDouble(); });
            return framesShown(player, animation);
        };
        const QList<int> first = run(7);
        QCOMPARE(run(7), first);
        QVERIFY(first.size() >= 5);
        QCOMPARE(first.last(), 4);
    }

    void endingEarlyTakesTheExit()
    {
        const auto data = loadCharacterFile(blobDir() + u"/blob.json"_s);
        AnimationPlayer player([] { return 0.0; });
        QSignalSpy finished(&player, &AnimationPlayer::finished);
        player.start(data->animation(u"Forever"_s));
        QTest::qWait(350);
        QCOMPARE(finished.size(), 0);
        QVERIFY(player.endEarly());
        QCOMPARE(player.frameIndex(), 1);
        QVERIFY(finished.wait(2000));
        // Without an exit the animation stops at once.
        player.start(data->animation(u"Blink"_s));
        QVERIFY(!player.endEarly());
        QCOMPARE(finished.size(), 2);
    }

    void rendersPartsAndMouth()
    {
        const auto data = loadCharacterFile(blobDir() + u"/blob.json"_s);
        FrameRenderer renderer(data);
        const QImage neutral = renderer.render(data->neutralPose(), 1.0);
        QCOMPARE(neutral.size(), QSize(120, 150));
        QVERIFY(qAlpha(neutral.pixel(60, 100)) == 255); // body
        QVERIFY(qAlpha(neutral.pixel(2, 2)) == 0);      // around the character
        QVERIFY(qAlpha(neutral.pixel(104, 25)) == 0);   // the star is hidden at rest
        const QImage attention = renderer.render(data->animation(u"GetAttention"_s)->frames.last().pose, 1.0);
        QVERIFY(qAlpha(attention.pixel(104, 25)) > 0);
        // A wide mouth covers what the closed one leaves open.
        const QImage wide = renderer.render(data->neutralPose(), 1.0, MouthShape::Wide4);
        QVERIFY(wide.pixel(60, 68) != neutral.pixel(60, 68));
        // Twice the scale: twice the pixels, same drawing.
        const QImage sharp = renderer.render(data->neutralPose(), 2.0);
        QCOMPARE(sharp.size(), QSize(240, 300));
        QCOMPARE(qAlpha(sharp.pixel(120, 200)), 255);
        // Half the scale (a tool's thumbnail): the whole character, not a corner of him.
        const QImage small = renderer.render(data->neutralPose(), 0.5);
        QCOMPARE(small.size(), QSize(60, 75));
        QCOMPARE(qAlpha(small.pixel(30, 50)), 255);
        QCOMPARE(qAlpha(small.pixel(52, 12)), 0);
        QVERIFY(data->frameSize.width() >= renderer.paintedBounds(data->neutralPose()).right());
        // Any area of the frame's coordinates: the character sits where the frame lies in it.
        const QImage wider = renderer.renderArea(data->neutralPose(), QRectF(-20, -10, 160, 170), 1.0);
        QCOMPARE(wider.size(), QSize(160, 170));
        QCOMPARE(wider.pixel(80, 110), neutral.pixel(60, 100));
        QCOMPARE(qAlpha(wider.pixel(22, 12)), 0);
    }
};

QTEST_MAIN(TestCharacterFile)
#include "tst_characterfile.moc"

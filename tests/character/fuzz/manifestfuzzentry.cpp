// SPDX-License-Identifier: GPL-3.0-or-later
#include "manifestfuzzentry.h"

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "character/agent.h"
#include "character/characterfile.h"
#include "character/framerenderer.h"

using namespace Qt::StringLiterals;

namespace character {

namespace {

const char builtInArt[] = R"(<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 40 50">
<g id="body"><rect x="5" y="20" width="30" height="30" fill="#36c"/></g>
<g id="head"><circle cx="20" cy="12" r="10" fill="#fc9"/></g>
<g id="m0"><path d="M15 16h10" stroke="#000"/></g><g id="m1"><ellipse cx="20" cy="16" rx="4" ry="1"/></g>
<g id="m2"><ellipse cx="20" cy="16" rx="4" ry="2"/></g><g id="m3"><ellipse cx="20" cy="16" rx="4" ry="3"/></g>
</svg>)";

void ensureApplication()
{
    if (QGuiApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "fuzz";
    static char *argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication application(argc, argv);
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        qFatal("fuzz: cannot write %s", qPrintable(path));
}

// A character folder inside a private temporary folder, laid out once per process:
//   outside.svg            art beside, not inside, the character's folder
//   c/ding.wav             a sound the manifest may name
//   c/parts/inside.svg     art in a subfolder
//   c/out.svg              a link to ../outside.svg
//   c/zero.svg             a link to /dev/zero
//   c/pipe.svg             a FIFO
//   c/loop.svg             a link to itself
// Each input's manifest is written as c/c.json and its art under the name the manifest gives,
// when that is a plain file name and no trap's.
class FuzzFolder
{
public:
    FuzzFolder()
    {
        if (!m_root.isValid())
            qFatal("fuzz: no temporary folder");
        const QDir root(m_root.path());
        root.mkpath(u"c/parts"_s);
        m_dir = root.filePath(u"c"_s);
        writeFile(root.filePath(u"outside.svg"_s), builtInArt);
        writeFile(m_dir + u"/ding.wav"_s, "RIFF");
        writeFile(m_dir + u"/parts/inside.svg"_s, builtInArt);
        QFile::link(u"../outside.svg"_s, m_dir + u"/out.svg"_s);
        QFile::link(u"/dev/zero"_s, m_dir + u"/zero.svg"_s);
        QFile::link(m_dir + u"/loop.svg"_s, m_dir + u"/loop.svg"_s);
        ::mkfifo(QFile::encodeName(m_dir + u"/pipe.svg"_s).constData(), 0600);
    }

    QString write(const QByteArray &manifest, const QByteArray &art)
    {
        if (!m_artName.isEmpty())
            QFile::remove(m_dir + u'/' + m_artName);
        m_artName.clear();
        const QString name = QJsonDocument::fromJson(manifest).object().value(u"art").toString();
        static const QRegularExpression plain(u"^[A-Za-z0-9_-][A-Za-z0-9._-]{0,100}$"_s);
        static const QStringList taken = {u"c.json"_s, u"ding.wav"_s, u"parts"_s,    u"out.svg"_s,
                                          u"zero.svg"_s, u"pipe.svg"_s, u"loop.svg"_s};
        if (plain.match(name).hasMatch() && !taken.contains(name)) {
            writeFile(m_dir + u'/' + name, art);
            m_artName = name;
        }
        const QString path = m_dir + u"/c.json"_s;
        writeFile(path, manifest);
        return path;
    }

private:
    QTemporaryDir m_root;
    QString m_dir;
    QString m_artName;
};

} // namespace

int fuzzCharacterManifest(const uint8_t *data, size_t size)
{
    // Real manifests are a few tens of kilobytes.
    if (size > 256 * 1024)
        return 0;
    ensureApplication();
    const QByteArray input = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const qsizetype split = input.indexOf('\0');
    const QByteArray manifest = split < 0 ? input : input.left(split);
    const QByteArray art = split < 0 ? QByteArray(builtInArt) : input.mid(split + 1);
    static FuzzFolder folder;
    const QString path = folder.write(manifest, art);
    try {
        const auto character = loadCharacterFile(path);
        // Drawing a few frames reaches the renderer with whatever the loader let through.
        FrameRenderer renderer(character);
        int drawn = 0;
        for (const Animation &animation : character->animations) {
            if (drawn++ >= 4)
                break;
            renderer.render(animation.frames.first().pose, 0.25, MouthShape::Wide2);
            renderer.render(animation.frames.last().pose, 0.25);
        }
        return 1;
    } catch (const Error &) {
        return 0;
    }
}

} // namespace character

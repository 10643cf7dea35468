// SPDX-License-Identifier: GPL-3.0-or-later
#include "manifestfuzzentry.h"

#include <QGuiApplication>

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
    try {
        const auto character = parseCharacter(manifest, u"/nonexistent"_s, &art);
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

// SPDX-License-Identifier: GPL-3.0-or-later
// Renders a few frames of every animation of a character into one picture, so that the whole
// character can be judged at a glance (and shown in the README). The character is read and drawn
// by the component's own loader and renderer: the sheet shows what the program shows.
//
//     contactsheet [manifest.json] [sheet.png]
//
// Without arguments it draws Merlin from the source tree into docs/merlin-sheet.png.

#include <algorithm>
#include <cstdio>

#include <QCommandLineParser>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include "character/agent.h"
#include "character/characterfile.h"
#include "character/framerenderer.h"

using namespace Qt::StringLiterals;
using character::Animation;
using character::CharacterData;

namespace {

struct Layout
{
    int frames = 5;
    double scale = 0.5;
    int columns = 2;
};
constexpr int LabelHeight = 18;
constexpr int Gap = 14;
constexpr int Border = 16;

// The animations the program plays first, in the order a child meets them, then what the states
// use, then anything else the character has.
QStringList sheetOrder(const CharacterData &character)
{
    const QStringList program = {
        u"RestPose"_s, u"Greet"_s, u"GetAttention"_s, u"GetAttentionReturn"_s, u"Wave"_s, u"Pleased"_s,
        u"Announce"_s, u"Congratulate"_s, u"Congratulate_2"_s, u"Surprised"_s, u"Write"_s,
        u"Confused"_s, u"Decline"_s, u"Explain"_s, u"Read"_s, u"Sad"_s, u"Search"_s, u"Suggest"_s,
    };
    const QStringList stateOrder = {
        u"Showing"_s, u"Hiding"_s, u"Speaking"_s, u"IdlingLevel1"_s, u"IdlingLevel2"_s, u"IdlingLevel3"_s,
        u"Listening"_s, u"Hearing"_s,
    };
    QStringList order;
    auto add = [&](const QString &name) {
        if (character.animations.contains(name) && !order.contains(name))
            order.append(name);
    };
    for (const QString &name : program)
        add(name);
    for (const QString &state : stateOrder) {
        for (const QString &name : character.states.value(state))
            add(name);
    }
    QStringList others = character.animations.keys();
    others.sort();
    for (const QString &name : std::as_const(others))
        add(name);
    return order;
}

// Evenly spread over one straight play, first and last frame included.
QList<int> sampleFrames(const Animation &animation, int count)
{
    QList<int> frames;
    const int length = animation.straightDuration();
    for (int i = 0; i < count; ++i) {
        const int frame = i + 1 == count ? int(animation.frames.size()) - 1
                                         : animation.frameAt(length * i / (count - 1));
        if (frames.isEmpty() || frames.last() != frame)
            frames.append(frame);
    }
    return frames;
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(u"Draws every animation of a character on one contact sheet."_s);
    parser.addHelpOption();
    const QCommandLineOption framesOption(u"frames"_s, u"Frames drawn per animation (default 5)."_s, u"n"_s, u"5"_s);
    const QCommandLineOption scaleOption(u"scale"_s, u"Size of a frame (default 0.5)."_s, u"factor"_s, u"0.5"_s);
    const QCommandLineOption columnsOption(u"columns"_s, u"Animations side by side (default 2)."_s, u"n"_s, u"2"_s);
    const QCommandLineOption onlyOption(u"only"_s, u"Draw only these animations (comma-separated)."_s, u"names"_s);
    parser.addOptions({framesOption, scaleOption, columnsOption, onlyOption});
    parser.addPositionalArgument(u"manifest"_s, u"The character's manifest (.json)."_s);
    parser.addPositionalArgument(u"sheet"_s, u"The PNG file to write."_s);
    parser.process(app);
    const QStringList args = parser.positionalArguments();
    const QString manifest = args.value(0, QStringLiteral(ZUMBREL_SOURCE_DIR "/data/characters/merlin/merlin.json"));
    const QString output = args.value(1, QStringLiteral(ZUMBREL_SOURCE_DIR "/docs/merlin-sheet.png"));

    std::shared_ptr<const CharacterData> character;
    try {
        character = character::loadCharacterFile(manifest);
    } catch (const character::Error &error) {
        std::fprintf(stderr, "contactsheet: %s\n", qPrintable(error.message()));
        return 1;
    }
    character::FrameRenderer renderer(character);

    Layout layout;
    layout.frames = std::clamp(parser.value(framesOption).toInt(), 2, 20);
    layout.scale = std::clamp(parser.value(scaleOption).toDouble(), 0.1, 8.0);
    layout.columns = std::clamp(parser.value(columnsOption).toInt(), 1, 10);
    QStringList order = sheetOrder(*character);
    if (parser.isSet(onlyOption)) {
        const QStringList only = parser.value(onlyOption).split(u',');
        order.removeIf([&](const QString &name) { return !only.contains(name); });
    }
    const QSize cell = (character->frameSize * layout.scale).toSize();
    const int cellWidth = layout.frames * cell.width() + Gap;
    const int rowHeight = LabelHeight + cell.height() + 6;
    const int rows = int((order.size() + layout.columns - 1) / layout.columns);
    const int titleHeight = 30;
    QImage sheet(2 * Border + layout.columns * cellWidth - Gap, 2 * Border + titleHeight + rows * rowHeight,
                 QImage::Format_RGB32);
    sheet.fill(QColor(0xf4, 0xf1, 0xfa));

    QPainter painter(&sheet);
    painter.setRenderHint(QPainter::Antialiasing);
    QFont titleFont(u"DejaVu Sans"_s);
    titleFont.setPixelSize(20);
    titleFont.setBold(true);
    QFont labelFont(u"DejaVu Sans"_s);
    labelFont.setPixelSize(12);
    painter.setFont(titleFont);
    painter.setPen(QColor(0x2b, 0x21, 0x40));
    painter.drawText(QRect(Border, Border, sheet.width(), titleHeight), Qt::AlignLeft | Qt::AlignTop,
                     u"%1: %2 animations"_s.arg(character->name).arg(order.size()));

    for (int n = 0; n < order.size(); ++n) {
        const Animation &animation = *character->animation(order[n]);
        const QPoint origin(Border + (n % layout.columns) * cellWidth,
                            Border + titleHeight + (n / layout.columns) * rowHeight);
        QString label = u"%1  %2 s"_s.arg(animation.name).arg(animation.straightDuration() / 1000.0, 0, 'f', 1);
        if (animation.loops())
            label += u", loops"_s;
        if (!animation.returnAnimation.isEmpty())
            label += u", returns by %1"_s.arg(animation.returnAnimation);
        painter.setFont(labelFont);
        painter.drawText(QRect(origin, QSize(cellWidth, LabelHeight)), Qt::AlignLeft | Qt::AlignVCenter, label);

        const QList<int> frames = sampleFrames(animation, layout.frames);
        for (int i = 0; i < frames.size(); ++i) {
            const QRect box(origin + QPoint(i * cell.width(), LabelHeight), cell);
            painter.fillRect(box.adjusted(1, 1, -1, -1), Qt::white);
            // Drawn pixel for pixel: the frame already comes at the sheet's scale.
            QImage frame = renderer.render(animation.frames[frames[i]].pose, layout.scale);
            frame.setDevicePixelRatio(1);
            painter.drawImage(box.topLeft(), frame);
        }
    }
    painter.end();

    if (!sheet.save(output)) {
        std::fprintf(stderr, "contactsheet: cannot write %s\n", qPrintable(output));
        return 1;
    }
    std::printf("contactsheet: %lld animations drawn into %s\n", qlonglong(order.size()), qPrintable(output));
    return 0;
}

// SPDX-License-Identifier: GPL-3.0-or-later
// Figures of the character component: how long a frame takes to draw, how much memory a loaded
// character holds, and how much processor time a shown character takes while nothing happens.
// Usage: bench_character [manifest.json] [--idle-seconds N]

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>

#include <QApplication>
#include <QBitmap>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>

#include "character/characterfile.h"
#include "characterdesktop/desktopagent.h"
#include "character/framerenderer.h"
#include "platform/datapaths.h"

using namespace Qt::StringLiterals;

namespace {

double residentMegabytes()
{
    QFile statm(u"/proc/self/statm"_s);
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields.at(1).toDouble() * 4096.0 / (1024.0 * 1024.0) : 0;
}

double processorSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values.at(values.size() / 2);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QString manifest;
    int idleSeconds = 30;
    const QStringList args = QApplication::arguments();
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (args.at(i) == u"--idle-seconds" && i + 1 < args.size())
            idleSeconds = args.at(++i).toInt();
        else
            manifest = args.at(i);
    }
    if (manifest.isEmpty())
        manifest = character::resolveCharacterFile(u"Merlin.acs"_s, platform::dataDirectories());
    if (manifest.isEmpty())
        manifest = QStringLiteral(ZUMBREL_TEST_CHARACTER);
    std::printf("# character %s on %s\n", qPrintable(manifest), qPrintable(QGuiApplication::platformName()));

    // Frame drawing: every frame of every animation, at scales 1 and 2, after one warm-up pass
    // that fills the part cache (what a character does in its first seconds on screen).
    const double before = residentMegabytes();
    QElapsedTimer loadTimer;
    loadTimer.start();
    const auto data = character::loadCharacterFile(manifest);
    std::printf("BENCH character_load_time %.2f ms\n", loadTimer.nsecsElapsed() / 1e6);
    for (const double scale : {1.0, 2.0}) {
        character::FrameRenderer renderer(data);
        QList<double> render, mask;
        for (int pass = 0; pass < 2; ++pass) {
            for (const character::Animation &animation : data->animations) {
                for (const character::Frame &frame : animation.frames) {
                    QElapsedTimer timer;
                    timer.start();
                    const QImage image = renderer.render(frame.pose, scale);
                    const double renderMs = timer.nsecsElapsed() / 1e6;
                    timer.restart();
                    const QRegion shape(QBitmap::fromImage(image.createAlphaMask()));
                    const double maskMs = timer.nsecsElapsed() / 1e6;
                    if (pass == 1) {
                        render << renderMs;
                        mask << maskMs;
                    }
                }
            }
        }
        std::printf("BENCH frame_render_scale%.0f_median %.3f ms\n", scale, median(render));
        std::printf("BENCH frame_render_scale%.0f_max %.3f ms\n", scale, *std::max_element(render.begin(), render.end()));
        std::printf("BENCH frame_shape_mask_scale%.0f_median %.3f ms\n", scale, median(mask));
        std::printf("BENCH part_cache_scale%.0f %.2f MB\n", scale, renderer.cacheBytes() / (1024.0 * 1024.0));
    }

    // Memory and idle load of a character as the program uses it: loaded, shown, left alone
    // with its idle animations.
    character::DesktopAgent agent;
    agent.setTrayIconEnabled(false);
    agent.Characters().Load(u"MyChar"_s, manifest);
    const auto teacher = agent.Characters().Item(u"MyChar"_s);
    teacher->Show(true);
    for (int i = 0; i < 20; ++i)
        QApplication::processEvents();
    std::printf("BENCH memory_character_loaded %.1f MB\n", residentMegabytes() - before);
    std::printf("BENCH memory_process_resident %.1f MB\n", residentMegabytes());

    if (idleSeconds > 0) {
        const double start = processorSeconds();
        QElapsedTimer wall;
        wall.start();
        QTimer::singleShot(idleSeconds * 1000, &application, &QApplication::quit);
        QApplication::exec();
        const double used = processorSeconds() - start;
        std::printf("BENCH idle_cpu_%ds %.3f %%core\n", idleSeconds, 100.0 * used / (wall.nsecsElapsed() / 1e9));
    }
    return 0;
}

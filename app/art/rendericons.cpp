// SPDX-License-Identifier: GPL-3.0-or-later
// Renders the program's SVG icon, one folder per size: <out>/<size>/zumbrel.png for the desktop's
// icon theme, and <out>/<size>/zumbrel.rgba, the same pixels raw (premultiplied RGBA, one byte per
// channel, rows without padding), which the program's window takes without decoding anything.
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

int main(int argc, char *argv[])
{
    QGuiApplication application(argc, argv);
    const QStringList args = application.arguments();
    if (args.size() < 4) {
        qWarning("usage: zumbrel_rendericons icon.svg outdir size...");
        return 2;
    }
    QSvgRenderer renderer(args.at(1));
    if (!renderer.isValid())
        return 1;
    for (qsizetype i = 3; i < args.size(); ++i) {
        const int size = args.at(i).toInt();
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        renderer.render(&painter);
        painter.end();
        const QString dir = args.at(2) + u'/' + QString::number(size);
        if (!QDir().mkpath(dir) || !image.save(dir + QStringLiteral("/zumbrel.png")))
            return 1;
        const QImage raw = image.convertToFormat(QImage::Format_RGBA8888_Premultiplied);
        QFile rawFile(dir + QStringLiteral("/zumbrel.rgba"));
        if (!rawFile.open(QIODevice::WriteOnly))
            return 1;
        for (int y = 0; y < raw.height(); ++y) {
            const qint64 row = qint64(raw.width()) * 4;
            if (rawFile.write(reinterpret_cast<const char *>(raw.constScanLine(y)), row) != row)
                return 1;
        }
        if (!rawFile.flush())
            return 1;
    }
    return 0;
}

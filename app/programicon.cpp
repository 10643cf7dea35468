// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/programicon.h"

#include <QPixmap>
#include <QResource>

#include "app/logging.h"

using namespace Qt::StringLiterals;

namespace app {

QList<QImage> programIconImages()
{
    QList<QImage> images;
    for (const int size : {16, 32, 48, 64, 128}) {
        const QResource resource(u":/zumbrel/icons/%1/zumbrel.rgba"_s.arg(size));
        const qint64 bytesPerLine = qint64(size) * 4;
        if (!resource.isValid() || resource.compressionAlgorithm() != QResource::NoCompression
            || resource.size() != bytesPerLine * size) {
            qCWarning(lcApp) << "The program's icon at" << size << "pixels is missing from the program";
            continue;
        }
        images << QImage(resource.data(), size, size, bytesPerLine, QImage::Format_RGBA8888_Premultiplied);
    }
    return images;
}

QIcon programIcon()
{
    QIcon icon;
    for (const QImage &image : programIconImages())
        icon.addPixmap(QPixmap::fromImage(image));
    return icon;
}

} // namespace app

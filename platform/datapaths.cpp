// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/datapaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include "buildinfo.h"

using namespace Qt::StringLiterals;

namespace platform {

QString buildTreeMarkerName()
{
    return u"zumbrel-build-data"_s;
}

QStringList dataDirectories()
{
    QStringList candidates;
    const QString appDir = QCoreApplication::applicationDirPath();
    if (!appDir.isEmpty()) {
        // Only the build writes this file, beside the programs it builds, and nothing installs it:
        // a program run from the build folder reads the source tree's data, an installed one
        // knows only installed folders. It comes first, so that a build under development is not
        // shadowed by an older Zumbrel installed on the same machine.
        QFile marker(appDir + u'/' + buildTreeMarkerName());
        if (marker.open(QIODevice::ReadOnly)) {
            const QString dir = QString::fromUtf8(marker.readLine(4096)).trimmed();
            if (QDir::isAbsolutePath(dir))
                candidates << QDir::cleanPath(dir);
        }
        candidates << QDir::cleanPath(appDir + u'/' + QString::fromUtf8(buildinfo::installedDataDir));
    }
    // Then the desktop's data folders (XDG_DATA_HOME, XDG_DATA_DIRS), as for any installed program.
    for (const QString &dir : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation))
        candidates << QDir::cleanPath(dir + u"/zumbrel"_s);

    QStringList existing;
    for (const QString &dir : std::as_const(candidates)) {
        if (QFileInfo(dir).isDir() && !existing.contains(dir))
            existing << dir;
    }
    return existing;
}

QString findDataPath(const QString &relativePath)
{
    for (const QString &dir : dataDirectories()) {
        const QString path = dir + u'/' + relativePath;
        if (QFileInfo::exists(path))
            return QDir::cleanPath(path);
    }
    return {};
}

} // namespace platform

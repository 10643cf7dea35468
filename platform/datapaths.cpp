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

namespace {

// Only the build writes the marker, beside the programs it builds, and nothing installs it: a
// program run from the build folder takes the source tree's data and the build's modules, an
// installed one knows only installed folders. What it names comes first, so that a build under
// development is not shadowed by an older Zumbrel installed on the same machine.
QString buildTreeFolder(const QString &appDir, int line)
{
    QFile marker(appDir + u'/' + buildTreeMarkerName());
    if (!marker.open(QIODevice::ReadOnly))
        return {};
    QString dir;
    for (int i = 0; i <= line; ++i) {
        if (marker.atEnd())
            return {};
        dir = QString::fromUtf8(marker.readLine(4096)).trimmed();
    }
    return QDir::isAbsolutePath(dir) ? QDir::cleanPath(dir) : QString();
}

QStringList existingFolders(const QStringList &candidates)
{
    QStringList existing;
    for (const QString &dir : candidates) {
        if (!dir.isEmpty() && QFileInfo(dir).isDir() && !existing.contains(dir))
            existing << dir;
    }
    return existing;
}

} // namespace

QStringList moduleDirectories()
{
    const QString appDir = QCoreApplication::applicationDirPath();
    if (appDir.isEmpty())
        return {};
    return existingFolders({buildTreeFolder(appDir, 1),
                            QDir::cleanPath(appDir + u'/' + QString::fromUtf8(buildinfo::installedModuleDir))});
}

QStringList dataDirectories()
{
    QStringList candidates;
    const QString appDir = QCoreApplication::applicationDirPath();
    if (!appDir.isEmpty()) {
        candidates << buildTreeFolder(appDir, 0);
        candidates << QDir::cleanPath(appDir + u'/' + QString::fromUtf8(buildinfo::installedDataDir));
    }
    // Then the desktop's data folders (XDG_DATA_HOME, XDG_DATA_DIRS), as for any installed program.
    for (const QString &dir : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation))
        candidates << QDir::cleanPath(dir + u"/zumbrel"_s);
    return existingFolders(candidates);
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

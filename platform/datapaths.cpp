// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/datapaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include "buildinfo.h"

namespace platform {

QStringList dataDirectories()
{
    QStringList candidates;
    const QString appDir = QCoreApplication::applicationDirPath();
    if (!appDir.isEmpty())
        candidates << QDir::cleanPath(appDir + u'/' + QString::fromUtf8(buildinfo::installedDataDir));
    candidates << QString::fromUtf8(buildinfo::sourceDataDir);

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

// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/programs.h"

#include <QFileInfo>
#include <QProcess>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace platform {

bool DetachedProgramLauncher::startDetached(const QString &program)
{
    // The program runs on after we end and is never waited for.
    return QProcess::startDetached(program, {});
}

bool DesktopFileProbe::isOrdinaryFile(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isFile() || info.isHidden())
        return false;
#ifdef Q_OS_WIN
    const DWORD attributes = GetFileAttributesW(reinterpret_cast<const wchar_t *>(path.utf16()));
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_SYSTEM))
        return false;
#endif
    return true;
}

} // namespace platform

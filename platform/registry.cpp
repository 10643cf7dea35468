// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/registry.h"

#include <cstring>

#include <QStandardPaths>

using namespace Qt::StringLiterals;

namespace platform {

#ifndef Q_OS_WIN

namespace {

// The registry compares names without regard to case; the names here are plain ASCII.
const QByteArray toolKey = "software\\microsoft\\shared tools\\msinfo";
const QByteArray toolValue = "path";

bool isPredefinedRoot(Registry::Handle handle)
{
    // HKEY_CLASSES_ROOT (0x80000000) to HKEY_CURRENT_USER_LOCAL_SETTINGS (0x80000007).
    return handle >= Registry::rootHandle(qint32(0x80000000u)) && handle <= Registry::rootHandle(qint32(0x80000007u));
}

bool keyExists(const QByteArray &lowerPath)
{
    // The tool's key and every key above it.
    return lowerPath.isEmpty() || lowerPath == toolKey || toolKey.startsWith(lowerPath + '\\');
}

} // namespace

DesktopRegistry::DesktopRegistry(QStringList candidates, QStringList searchPaths)
    : m_candidates(std::move(candidates))
    , m_searchPaths(std::move(searchPaths))
{
}

QStringList DesktopRegistry::defaultSystemInfoTools()
{
    // Tools that describe the machine first, then the desktops' system monitors, which at least
    // show the processor, memory and disks.
    return {u"hardinfo2"_s,          u"hardinfo"_s,           u"kinfocenter"_s,      u"cpu-x"_s,
            u"gnome-system-monitor"_s, u"mate-system-monitor"_s, u"xfce4-taskmanager"_s, u"lxtask"_s};
}

QString DesktopRegistry::findTool() const
{
    for (const QString &name : m_candidates) {
        const QString path = QStandardPaths::findExecutable(name, m_searchPaths);
        if (!path.isEmpty())
            return path;
    }
    return {};
}

long DesktopRegistry::open(Handle root, const QByteArray &keyName, quint32 options, quint32 accessMask,
                           Handle *result)
{
    Q_UNUSED(options)
    if (!result)
        return ErrorInvalidParameter;

    QByteArray path;
    if (const auto parent = m_openKeys.constFind(root); parent != m_openKeys.cend()) {
        path = parent->path;
    } else if (root != rootHandle(HkeyLocalMachine)) {
        return isPredefinedRoot(root) ? ErrorFileNotFound : ErrorInvalidHandle;
    }
    if (!keyName.isEmpty())
        path = path.isEmpty() ? keyName : path + '\\' + keyName;
    if (!keyExists(path.toLower()))
        return ErrorFileNotFound;

    const Handle handle = m_nextHandle++;
    m_openKeys.insert(handle, OpenKey{path, accessMask});
    *result = handle;
    return ErrorSuccess;
}

long DesktopRegistry::query(Handle key, const QByteArray &valueName, quint32 *type, char *data, quint32 *size)
{
    const auto openKey = m_openKeys.constFind(key);
    if (openKey == m_openKeys.cend())
        return ErrorInvalidHandle;
    if (!(openKey->access & (KeyQueryValue | GenericRead | GenericAll)))
        return ErrorAccessDenied;
    if (data && !size)
        return ErrorInvalidParameter;
    if (openKey->path.toLower() != toolKey || valueName.toLower() != toolValue)
        return ErrorFileNotFound;

    const QString tool = findTool();
    if (tool.isEmpty())
        return ErrorFileNotFound;

    // A string value carries its terminating zero, as the registry stores it.
    const QByteArray bytes = tool.toLocal8Bit();
    const quint32 needed = quint32(bytes.size()) + 1;
    if (type)
        *type = RegSz;
    if (!data) {
        if (size)
            *size = needed;
        return ErrorSuccess;
    }
    if (*size < needed) {
        *size = needed;
        return ErrorMoreData;
    }
    std::memcpy(data, bytes.constData(), needed);
    *size = needed;
    return ErrorSuccess;
}

long DesktopRegistry::close(Handle key)
{
    return m_openKeys.remove(key) ? ErrorSuccess : ErrorInvalidHandle;
}

std::unique_ptr<Registry> systemRegistry()
{
    return std::make_unique<DesktopRegistry>();
}

#endif

} // namespace platform

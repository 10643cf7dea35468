// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Doubles for what the About dialog uses from outside: a registry held in memory, a launcher and
// a file test that know a chosen set of programs and files. The message box is testsupport's.

#include <cstring>

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include "platform/programs.h"
#include "platform/registry.h"

struct FakeValue
{
    quint32 type = platform::RegSz;
    QByteArray bytes; // as stored, a string's terminating zero included
};

inline FakeValue stringValue(const QByteArray &text)
{
    return {platform::RegSz, text + '\0'};
}

class FakeRegistry final : public platform::Registry
{
public:
    // Key paths below HKEY_LOCAL_MACHINE, as the lookup spells them.
    QHash<QByteArray, QHash<QByteArray, FakeValue>> keys;
    QSet<QByteArray> deniedKeys;
    QList<QByteArray> openedKeys;
    QList<quint32> accessMasks;
    QList<quint32> options;
    QSet<Handle> openHandles;

    long open(Handle root, const QByteArray &keyName, quint32 opts, quint32 accessMask, Handle *result) override
    {
        if (root != rootHandle(platform::HkeyLocalMachine))
            return platform::ErrorInvalidHandle;
        accessMasks.append(accessMask);
        options.append(opts);
        if (deniedKeys.contains(keyName))
            return platform::ErrorAccessDenied;
        if (!keys.contains(keyName))
            return platform::ErrorFileNotFound;
        openedKeys.append(keyName);
        const Handle handle = m_next++;
        m_paths.insert(handle, keyName);
        openHandles.insert(handle);
        *result = handle;
        return platform::ErrorSuccess;
    }

    long query(Handle key, const QByteArray &valueName, quint32 *type, char *data, quint32 *size) override
    {
        if (!openHandles.contains(key))
            return platform::ErrorInvalidHandle;
        const auto &values = keys[m_paths.value(key)];
        const auto value = values.constFind(valueName);
        if (value == values.cend())
            return platform::ErrorFileNotFound;
        const auto needed = quint32(value->bytes.size());
        if (type)
            *type = value->type;
        if (*size < needed) {
            *size = needed;
            return platform::ErrorMoreData;
        }
        std::memcpy(data, value->bytes.constData(), needed);
        *size = needed;
        return platform::ErrorSuccess;
    }

    long close(Handle key) override { return openHandles.remove(key) ? platform::ErrorSuccess : platform::ErrorInvalidHandle; }

private:
    QHash<Handle, QByteArray> m_paths;
    Handle m_next = 100;
};

class FakeLauncher final : public platform::ProgramLauncher
{
public:
    QSet<QString> startable;
    QStringList attempts;
    QStringList started;

    bool startDetached(const QString &program) override
    {
        attempts.append(program);
        if (!startable.contains(program))
            return false;
        started.append(program);
        return true;
    }
};

class FakeFiles final : public platform::FileProbe
{
public:
    QSet<QString> files;
    QStringList asked;

    bool isOrdinaryFile(const QString &path) override
    {
        asked.append(path);
        return files.contains(path);
    }
};

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>

#include <QByteArray>
#include <QHash>
#include <QStringList>

namespace platform {

// The codes below carry the same values as the system registry's, so that a lookup written
// against this interface behaves alike over the real registry and over our own layer. Their names
// differ from the system headers' on purpose: those are macros there.

// Value types.
inline constexpr quint32 RegSz = 1;
inline constexpr quint32 RegDword = 4;

// Root keys are 32-bit values that the system widens with their sign into handles.
inline constexpr qint32 HkeyLocalMachine = qint32(0x80000002u);

// Results.
inline constexpr long ErrorSuccess = 0;
inline constexpr long ErrorFileNotFound = 2;
inline constexpr long ErrorAccessDenied = 5;
inline constexpr long ErrorInvalidHandle = 6;
inline constexpr long ErrorInvalidParameter = 87;
inline constexpr long ErrorMoreData = 234;

// Access rights asked for when a key is opened.
inline constexpr quint32 KeyQueryValue = 0x0001;
inline constexpr quint32 KeySetValue = 0x0002;
inline constexpr quint32 KeyCreateSubKey = 0x0004;
inline constexpr quint32 KeyEnumerateSubKeys = 0x0008;
inline constexpr quint32 KeyNotify = 0x0010;
inline constexpr quint32 KeyCreateLink = 0x0020;
inline constexpr quint32 ReadControl = 0x00020000;
inline constexpr quint32 GenericAll = 0x10000000;
inline constexpr quint32 GenericRead = 0x80000000;

// A read-only view of a registry in the shape of its three system calls: open a key below a root
// or an open key, read one value of it into the caller's buffer, close it. Names are 8-bit text.
class Registry
{
public:
    using Handle = std::intptr_t;

    static Handle rootHandle(qint32 root) { return Handle(root); }

    virtual ~Registry() = default;

    // On success *result receives the new key, which the caller closes.
    virtual long open(Handle root, const QByteArray &keyName, quint32 options, quint32 accessMask,
                      Handle *result) = 0;
    // Reads at most *size bytes into data and sets *size to the bytes the value takes. A value that
    // does not fit yields ErrorMoreData with *size set to what it needs; a null data asks for the
    // size alone. type may be null.
    virtual long query(Handle key, const QByteArray &valueName, quint32 *type, char *data, quint32 *size) = 0;
    virtual long close(Handle key) = 0;
};

// The registry of this system: the real one on Windows, DesktopRegistry elsewhere.
std::unique_ptr<Registry> systemRegistry();

#ifndef Q_OS_WIN
// Where there is no system registry, this read-only layer answers the one question the program
// asks of it: where the desktop's system information tool lives. Under HKEY_LOCAL_MACHINE the key
// "SOFTWARE\Microsoft\Shared Tools\MSINFO" (and its parents) exists, and its value "PATH" is a
// string holding the full path of the first tool of the candidate list found on the search path;
// without such a tool the value is missing. No other key exists.
//
// Opening a key grants every right asked for, write rights included: this interface has no call
// that changes anything, so a write right grants nothing, and refusing it would only make a lookup
// that asks for more than it needs fail on every machine. A key opened without the right to query
// values refuses to be read, as the real registry does.
class DesktopRegistry final : public Registry
{
public:
    // Empty searchPaths means the PATH of the environment. The tool is looked for at each read,
    // so one installed while the program runs is found.
    explicit DesktopRegistry(QStringList candidates = defaultSystemInfoTools(), QStringList searchPaths = {});

    static QStringList defaultSystemInfoTools();

    long open(Handle root, const QByteArray &keyName, quint32 options, quint32 accessMask, Handle *result) override;
    long query(Handle key, const QByteArray &valueName, quint32 *type, char *data, quint32 *size) override;
    long close(Handle key) override;

    QString findTool() const;

private:
    struct OpenKey
    {
        QByteArray path; // below HKEY_LOCAL_MACHINE, as given when opened
        quint32 access = 0;
    };

    QStringList m_candidates;
    QStringList m_searchPaths;
    QHash<Handle, OpenKey> m_openKeys;
    Handle m_nextHandle = 1;
};
#endif

} // namespace platform

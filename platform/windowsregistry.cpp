// SPDX-License-Identifier: GPL-3.0-or-later
// Built on Windows only: the system registry through its 8-bit calls.
#include "platform/registry.h"

#include <windows.h>

namespace platform {

namespace {

class WindowsRegistry final : public Registry
{
public:
    long open(Handle root, const QByteArray &keyName, quint32 options, quint32 accessMask, Handle *result) override
    {
        HKEY key = nullptr;
        const LONG status = RegOpenKeyExA(reinterpret_cast<HKEY>(root), keyName.constData(), DWORD(options),
                                          REGSAM(accessMask), &key);
        if (status == ERROR_SUCCESS && result)
            *result = reinterpret_cast<Handle>(key);
        return status;
    }

    long query(Handle key, const QByteArray &valueName, quint32 *type, char *data, quint32 *size) override
    {
        DWORD valueType = 0;
        DWORD valueSize = size ? DWORD(*size) : 0;
        const LONG status = RegQueryValueExA(reinterpret_cast<HKEY>(key), valueName.constData(), nullptr, &valueType,
                                             reinterpret_cast<LPBYTE>(data), size ? &valueSize : nullptr);
        if (type)
            *type = quint32(valueType);
        if (size)
            *size = quint32(valueSize);
        return status;
    }

    long close(Handle key) override { return RegCloseKey(reinterpret_cast<HKEY>(key)); }
};

} // namespace

std::unique_ptr<Registry> systemRegistry()
{
    return std::make_unique<WindowsRegistry>();
}

} // namespace platform

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace platform {

// Starts a program on its own, with its own window, without waiting for it or watching it.
// False when it could not be started at all.
class ProgramLauncher
{
public:
    virtual ~ProgramLauncher() = default;
    virtual bool startDetached(const QString &program) = 0;
};

class DetachedProgramLauncher final : public ProgramLauncher
{
public:
    bool startDetached(const QString &program) override;
};

// Whether an ordinary file is at that path: folders, hidden files and system files do not count.
class FileProbe
{
public:
    virtual ~FileProbe() = default;
    virtual bool isOrdinaryFile(const QString &path) = 0;
};

class DesktopFileProbe final : public FileProbe
{
public:
    bool isOrdinaryFile(const QString &path) override;
};

} // namespace platform

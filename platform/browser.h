// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QUrl>

namespace platform {

// Opens the page in the desktop's default browser without waiting for it. False when no
// browser could be started.
class Browser
{
public:
    virtual ~Browser() = default;
    virtual bool open(const QUrl &url) = 0;
};

class DesktopBrowser final : public Browser
{
public:
    bool open(const QUrl &url) override;
};

} // namespace platform

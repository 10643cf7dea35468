// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/browser.h"

#include <QDesktopServices>

#include "platform/logging.h"

namespace platform {

bool DesktopBrowser::open(const QUrl &url)
{
    // xdg-open (through Qt) starts the browser detached; we neither wait for it nor close it.
    const bool opened = QDesktopServices::openUrl(url);
    if (!opened)
        qCWarning(lcPlatform) << "No browser could open" << url;
    return opened;
}

} // namespace platform

// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/browser.h"

#include <QDesktopServices>

namespace platform {

bool DesktopBrowser::open(const QUrl &url)
{
    // xdg-open (through Qt) starts the browser detached; we neither wait for it nor close it.
    return QDesktopServices::openUrl(url);
}

} // namespace platform

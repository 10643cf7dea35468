// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The character component on the desktop as the tests set it up.

#include <memory>

#include <QString>
#include <QTest>
#include <QWidget>

#include "characterdesktop/desktopagent.h"

namespace testsupport {

// Characters from one folder; no idle animations, which would change the frames a test looks at
// whenever it waits; no tray icon, since Xvfb and the offscreen platform have no notification
// area.
inline std::unique_ptr<character::DesktopAgent> quietAgent(const QString &characterFolder)
{
    auto agent = std::make_unique<character::DesktopAgent>();
    agent->setCharacterDirectories({characterFolder});
    agent->setIdleDelay(-1);
    agent->setTrayIconEnabled(false);
    return agent;
}

// A character's window comes out on the turn of the event loop after his Show, and has no
// native window before: waits for it to be shown, then to be on the screen.
inline bool shownOnScreen(QWidget *window)
{
    return QTest::qWaitFor([window] { return window->isVisible(); }) && QTest::qWaitForWindowExposed(window);
}

} // namespace testsupport

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>
#include <QImage>
#include <QList>

namespace app {

// The program's icon at every size the window and the desktop's task bar draw it in: the pixels
// rendered when the program was built, compiled in uncompressed, so nothing is decoded while the
// program starts. The images share the program's own memory.
QList<QImage> programIconImages();

QIcon programIcon();

} // namespace app

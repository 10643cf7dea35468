// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What a real X server shows of a window: its shape and a screenshot of it, in device pixels.

#include <QImage>
#include <QRegion>

class QWidget;

namespace shapecheck {

// The colour the root window is painted; none of the character's windows draws it.
inline constexpr QRgb backdrop = 0xff12ee34;

void paintBackdrop();
// The window's bounding shape, window-relative, in device pixels.
QRegion xShape(QWidget *window);
// What the screen shows where the window is, in device pixels.
QImage screenshot(QWidget *window);
// Pixels of the window whose visibility on screen disagrees with its shape.
int shapeMismatches(QWidget *window, const QRegion &shape);

} // namespace shapecheck

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QRect>

namespace platform {

// The windows are laid out in twips, 15 to a device-independent pixel, and their colours are
// written as 0x00BBGGRR.
constexpr int fromTwips(int twips)
{
    return (twips + 7) / 15;
}

constexpr QRect twipsRect(int left, int top, int width, int height)
{
    return {fromTwips(left), fromTwips(top), fromTwips(width), fromTwips(height)};
}

constexpr QColor fromBgr(quint32 bgr)
{
    return QColor(int(bgr & 0xff), int((bgr >> 8) & 0xff), int((bgr >> 16) & 0xff));
}

} // namespace platform

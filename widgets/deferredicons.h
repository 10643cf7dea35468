// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QProxyStyle>

namespace widgets {

// The platform's own style, except that the icons of the menu bar's and tool bars' extension
// buttons are read from their image files when first drawn instead of when the bar is made.
//
// A menu bar asks its style for that icon in its constructor, and the common style names a PNG
// file. Qt reads an image named by file by first asking every installed image format plugin
// whether it reads PNG, which loads each of them: a millisecond or more before the main window
// can be shown, for a button that appears only when the menus do not fit on one line.
class DeferredIconStyle final : public QProxyStyle
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DeferredIconStyle)

public:
    // Takes ownership of base; with none, the application's default style.
    explicit DeferredIconStyle(QStyle *base = nullptr);

    QIcon standardIcon(StandardPixmap standardIcon, const QStyleOption *option = nullptr,
                       const QWidget *widget = nullptr) const override;
};

// The style the application would use, wrapped; a -style argument or QT_STYLE_OVERRIDE is kept.
// Call once the application object exists.
void deferExtensionIcons();

} // namespace widgets

// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/fonts.h"

#include <QFont>
#include <QStringList>

#ifdef ZUMBREL_HAVE_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

using namespace Qt::StringLiterals;

namespace platform {

void installFontSubstitutions()
{
    QFont::insertSubstitutions(u"Times New Roman"_s, {u"Liberation Serif"_s, u"Nimbus Roman"_s, u"Tinos"_s});
    QFont::insertSubstitutions(u"News Gothic"_s,
                               {u"News Gothic MT"_s, u"Nimbus Sans Narrow"_s, u"Liberation Sans Narrow"_s});
    QFont::insertSubstitutions(u"MS Sans Serif"_s, {u"Microsoft Sans Serif"_s, u"Liberation Sans"_s, u"Arimo"_s});
}

void loadFontConfiguration()
{
#ifdef ZUMBREL_HAVE_FONTCONFIG
    // The same default configuration the toolkit's font database asks for; fontconfig keeps it.
    FcInit();
#endif
}

} // namespace platform

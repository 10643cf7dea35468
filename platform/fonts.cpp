// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/fonts.h"

#include <algorithm>

#include <QFont>
#include <QFontDatabase>
#include <QHash>
#include <QStringList>

#ifdef ZUMBREL_HAVE_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

using namespace Qt::StringLiterals;

namespace platform {

namespace {

struct Substitution
{
    QString name;
    QStringList substitutes;
};

// Metric-compatible fonts first, so that texts fill the space they were laid out for.
const QList<Substitution> &substitutions()
{
    static const QList<Substitution> table = {
        {u"Times New Roman"_s, {u"Liberation Serif"_s, u"Nimbus Roman"_s, u"Tinos"_s}},
        {u"News Gothic"_s, {u"News Gothic MT"_s, u"Nimbus Sans Narrow"_s, u"Liberation Sans Narrow"_s}},
        {u"MS Sans Serif"_s, {u"Microsoft Sans Serif"_s, u"Liberation Sans"_s, u"Arimo"_s}},
    };
    return table;
}

} // namespace

void installFontSubstitutions()
{
    for (const Substitution &substitution : substitutions())
        QFont::insertSubstitutions(substitution.name, substitution.substitutes);
}

QString installedFamily(const QString &name)
{
    static const QHash<QString, QString> installed = [] {
        const QStringList families = QFontDatabase::families();
        auto find = [&families](const QString &family) {
            // A family that several foundries make is listed as "Family [foundry]".
            const auto it = std::find_if(families.cbegin(), families.cend(), [&family](const QString &known) {
                return QStringView(known).left(known.indexOf(u" ["_s)).compare(family, Qt::CaseInsensitive) == 0;
            });
            return it == families.cend() ? QString() : *it;
        };
        QHash<QString, QString> table;
        for (const Substitution &substitution : substitutions()) {
            for (const QString &candidate : QStringList{substitution.name} + substitution.substitutes) {
                if (const QString family = find(candidate); !family.isEmpty()) {
                    table.insert(substitution.name, family);
                    break;
                }
            }
        }
        return table;
    }();
    return installed.value(name, name);
}

void loadFontConfiguration()
{
#ifdef ZUMBREL_HAVE_FONTCONFIG
    // The same default configuration the toolkit's font database asks for; fontconfig keeps it.
    FcInit();
#endif
}

} // namespace platform

// SPDX-License-Identifier: GPL-3.0-or-later
#include "translations/language.h"

#include <memory>

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QLoggingCategory>
#include <QTranslator>

using namespace Qt::StringLiterals;

Q_LOGGING_CATEGORY(lcTranslations, "zumbrel.translations", QtWarningMsg)

namespace translations {

namespace {

const QString catalogFolder = u":/i18n"_s;
const QString catalogPrefix = u"zumbrel_"_s;

// "de_DE.UTF-8@euro" -> "de_DE"; "C.UTF-8" -> "C".
QString stripCodeset(const QString &locale)
{
    QString name = locale.trimmed();
    name.truncate(name.indexOf(u'@') < 0 ? name.size() : name.indexOf(u'@'));
    name.truncate(name.indexOf(u'.') < 0 ? name.size() : name.indexOf(u'.'));
    return name;
}

bool isPlainLocale(const QString &name)
{
    return name.isEmpty() || name == u"C"_s || name == u"POSIX"_s;
}

void appendWithBareLanguage(QStringList &list, const QString &name)
{
    if (name.isEmpty())
        return;
    const QString normal = isPlainLocale(name) ? u"en"_s : name;
    if (!list.contains(normal))
        list << normal;
    const qsizetype cut = normal.indexOf(u'_');
    if (cut > 0 && !list.contains(normal.left(cut)))
        list << normal.left(cut);
}

} // namespace

QByteArray systemEnvironment(const char *name)
{
    return qgetenv(name);
}

QStringList preferredLanguages(const Environment &environment)
{
    QString locale;
    for (const char *variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        locale = stripCodeset(QString::fromLocal8Bit(environment(variable)));
        if (!locale.isEmpty())
            break;
    }
    QStringList languages;
    if (!isPlainLocale(locale)) {
        const QString list = QString::fromLocal8Bit(environment("LANGUAGE"));
        for (const QString &entry : list.split(u':', Qt::SkipEmptyParts))
            appendWithBareLanguage(languages, stripCodeset(entry));
    }
    appendWithBareLanguage(languages, isPlainLocale(locale) ? u"en"_s : locale);
    return languages;
}

QStringList shippedLanguages()
{
    QStringList languages{u"en"_s};
    // Matched by hand: a name filter is a regular expression, compiled at every start.
    const QStringList names = QDir(catalogFolder).entryList(QDir::Files, QDir::Name);
    for (const QString &name : names) {
        if (name.startsWith(catalogPrefix) && name.endsWith(u".qm"_s) && name.size() > catalogPrefix.size() + 3)
            languages << name.mid(catalogPrefix.size()).chopped(3);
    }
    return languages;
}

QString chooseLanguage(const QStringList &preferred, const QStringList &shipped)
{
    for (const QString &language : preferred) {
        if (shipped.contains(language))
            return language;
    }
    return u"en"_s;
}

bool install(QCoreApplication &application, const QString &language)
{
    QLocale::setDefault(QLocale(language));
    if (language == u"en"_s)
        return true;
    auto *own = new QTranslator(&application);
    if (!own->load(catalogPrefix + language, catalogFolder)) {
        qCWarning(lcTranslations) << "No catalog for the language" << language << "; the texts stay English";
        delete own;
        return false;
    }
    QCoreApplication::installTranslator(own);
    auto *qt = new QTranslator(&application);
    const QString qtFolder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (qt->load(u"qtbase_"_s + language, qtFolder)) {
        QCoreApplication::installTranslator(qt);
    } else {
        qCWarning(lcTranslations) << "Qt's own catalog for" << language << "is missing from" << qtFolder
                                  << "; Qt's buttons stay English";
        delete qt;
    }
    qCInfo(lcTranslations) << "Interface language:" << language;
    return true;
}

QString installFromEnvironment(QCoreApplication &application, const Environment &environment)
{
    const QString language = chooseLanguage(preferredLanguages(environment), shippedLanguages());
    if (!install(application, language)) {
        install(application, u"en"_s);
        return u"en"_s;
    }
    return language;
}

QString terminalText(const char *context, const char *sourceText)
{
    // Loaded once, without an application: the catalogs are resources compiled into the program.
    static const std::unique_ptr<QTranslator> translator = [] {
        auto catalog = std::make_unique<QTranslator>();
        const QString language = chooseLanguage(preferredLanguages(), shippedLanguages());
        if (language != u"en"_s && !catalog->load(catalogPrefix + language, catalogFolder))
            qCWarning(lcTranslations) << "no catalog for" << language;
        return catalog;
    }();
    const QString translated = translator->translate(context, sourceText);
    return translated.isEmpty() ? QString::fromUtf8(sourceText) : translated;
}

} // namespace translations

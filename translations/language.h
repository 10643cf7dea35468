// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The language of the interface. The program's texts are written in English and translated
// through Qt's catalogs, which are compiled into the program (":/i18n/zumbrel_<language>.qm").
// The language is the first one of the desktop's preferences that has a catalog: the GNU list in
// LANGUAGE ("de:fr") comes first, then the locale of LC_ALL, LC_MESSAGES or LANG; anything else
// is English. Qt's own texts (the Yes and No of a message box) follow from Qt's qtbase catalog.

#include <functional>

#include <QByteArray>
#include <QString>
#include <QStringList>

class QCoreApplication;

namespace translations {

using Environment = std::function<QByteArray(const char *name)>;

// The process environment.
QByteArray systemEnvironment(const char *name);

// The desktop's preferred languages, most wanted first, each followed by its bare language
// ("de_AT", "de"). A locale of "C" or "POSIX" stands for English and, as with GNU gettext, makes
// LANGUAGE count for nothing.
QStringList preferredLanguages(const Environment &environment = systemEnvironment);

// "en" and every language with a catalog compiled in.
QStringList shippedLanguages();

// The first preferred language that is shipped; English when there is none.
QString chooseLanguage(const QStringList &preferred, const QStringList &shipped);

// Loads the catalogs of `language` (the program's and Qt's) into the application and makes it
// the default locale. Returns false, with a warning, when the program's catalog is missing.
bool install(QCoreApplication &application, const QString &language);

// A text of the program in the desktop's language, for what is printed before any application
// object exists (the command line's help and errors). Untranslated texts come back as they are.
QString terminalText(const char *context, const char *sourceText);

// Chooses from the environment and installs; returns the language chosen.
QString installFromEnvironment(QCoreApplication &application, const Environment &environment = systemEnvironment);

} // namespace translations

// SPDX-License-Identifier: GPL-3.0-or-later
// The catalogs as translators leave them and as the program loads them: every text translated,
// its placeholders, alternatives and accelerator kept; and the language chosen from the desktop.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTest>
#include <QTranslator>
#include <QXmlStreamReader>

#include "translations/language.h"

using namespace Qt::StringLiterals;

namespace {

struct Message
{
    QString context;
    QString source;
    QString translation;
    QString type; // "unfinished", "vanished", "obsolete" or empty when done
};

QList<Message> readCatalog(const QString &path)
{
    QList<Message> messages;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return messages;
    QXmlStreamReader xml(&file);
    QString context;
    Message current;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement()) {
            if (xml.isEndElement() && xml.name() == u"message")
                messages << current;
            continue;
        }
        if (xml.name() == u"name") {
            context = xml.readElementText();
        } else if (xml.name() == u"message") {
            current = Message{context, {}, {}, {}};
        } else if (xml.name() == u"source") {
            current.source = xml.readElementText();
        } else if (xml.name() == u"translation") {
            current.type = xml.attributes().value(u"type"_s).toString();
            current.translation = xml.readElementText();
        }
    }
    return xml.hasError() ? QList<Message>{} : messages;
}

QStringList placeholders(const QString &text)
{
    static const QRegularExpression pattern(u"%[1-9]"_s);
    QStringList found;
    for (const QRegularExpressionMatch &match : pattern.globalMatch(text))
        found << match.captured();
    found.sort();
    return found;
}

// The accelerator marks of a caption: "&&" is a literal ampersand, not a mark.
int acceleratorCount(QString text)
{
    text.remove(u"&&"_s);
    return int(text.count(u'&'));
}

const QStringList languages{u"de"_s, u"fr"_s, u"es"_s};

} // namespace

class TestCatalogs : public QObject
{
    Q_OBJECT

private slots:
    void everyTextIsTranslated_data();
    void everyTextIsTranslated();
    void compiledCatalogsAreShipped();
    void preferredLanguages_data();
    void preferredLanguages();
    void chosenLanguage_data();
    void chosenLanguage();
    void installingTranslatesQtToo();
};

void TestCatalogs::everyTextIsTranslated_data()
{
    QTest::addColumn<QString>("context");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("translation");
    QTest::addColumn<QString>("type");
    for (const QString &language : languages) {
        const QString path = QStringLiteral(ZUMBREL_TS_DIR) + u"/zumbrel_"_s + language + u".ts"_s;
        const QList<Message> messages = readCatalog(path);
        // A catalog that is missing or cannot be read would otherwise pass with no rows.
        QTest::newRow(qPrintable(language + u" catalog has messages"_s))
            << u"-"_s << u"-"_s << (messages.size() > 20 ? u"-"_s : QString()) << QString();
        for (const Message &m : messages) {
            QTest::newRow(qPrintable(language + u": "_s + m.context + u": "_s + m.source.left(40)))
                << m.context << m.source << m.translation << m.type;
        }
    }
}

void TestCatalogs::everyTextIsTranslated()
{
    QFETCH(QString, source);
    QFETCH(QString, translation);
    QFETCH(QString, type);
    QVERIFY2(type.isEmpty(), qPrintable(u"left "_s + type));
    QVERIFY2(!translation.trimmed().isEmpty(), "no translation");
    QCOMPARE(placeholders(translation), placeholders(source));
    // A phrase list keeps its number of alternatives, none of them empty.
    QCOMPARE(translation.count(u'|'), source.count(u'|'));
    for (const QString &alternative : translation.split(u'|'))
        QVERIFY2(!alternative.trimmed().isEmpty(), qPrintable(translation));
    QCOMPARE(acceleratorCount(translation), acceleratorCount(source));
    // Line breaks are the layout's; a translation adds none and drops none.
    QCOMPARE(translation.count(u'\n'), source.count(u'\n'));
    // "..." says that a menu entry or button opens a dialog.
    QCOMPARE(translation.endsWith(u"..."_s), source.endsWith(u"..."_s));
}

void TestCatalogs::compiledCatalogsAreShipped()
{
    const QStringList shipped = translations::shippedLanguages();
    QCOMPARE(shipped.first(), u"en"_s);
    for (const QString &language : languages) {
        QVERIFY2(shipped.contains(language), qPrintable(shipped.join(u' ')));
        QTranslator translator;
        QVERIFY(translator.load(u"zumbrel_"_s + language, u":/i18n"_s));
        // The compiled catalog answers for texts of every part of the program.
        for (const auto &[context, source] : {std::pair{"quiz", "The correct answer is %1"},
                                              std::pair{"teacher", "Are you ready?"},
                                              std::pair{"character", "&Listen"},
                                              std::pair{"app::MainWindow", "&Skip"}}) {
            const QString translated = translator.translate(context, source);
            QVERIFY2(!translated.isEmpty() && translated != QLatin1String(source),
                     qPrintable(language + u": "_s + QLatin1String(source)));
        }
    }
}

void TestCatalogs::preferredLanguages_data()
{
    QTest::addColumn<QString>("languageList");
    QTest::addColumn<QString>("lcAll");
    QTest::addColumn<QString>("lcMessages");
    QTest::addColumn<QString>("lang");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("nothing set") << "" << "" << "" << "" << QStringList{u"en"_s};
    QTest::newRow("LANG with codeset") << "" << "" << "" << "de_DE.UTF-8" << QStringList{u"de_DE"_s, u"de"_s};
    QTest::newRow("modifier") << "" << "" << "" << "fr_BE.UTF-8@euro" << QStringList{u"fr_BE"_s, u"fr"_s};
    QTest::newRow("LC_MESSAGES before LANG") << "" << "" << "es_ES.UTF-8" << "de_DE.UTF-8"
                                             << QStringList{u"es_ES"_s, u"es"_s};
    QTest::newRow("LC_ALL before all") << "" << "fr_FR.UTF-8" << "es_ES.UTF-8" << "de_DE.UTF-8"
                                       << QStringList{u"fr_FR"_s, u"fr"_s};
    QTest::newRow("LANGUAGE list first") << "sv:de_AT:fr" << "" << "" << "es_ES.UTF-8"
                                         << QStringList{u"sv"_s, u"de_AT"_s, u"de"_s, u"fr"_s, u"es_ES"_s, u"es"_s};
    // As in GNU gettext: the C locale means untranslated, whatever LANGUAGE says.
    QTest::newRow("C locale ignores LANGUAGE") << "de" << "" << "" << "C" << QStringList{u"en"_s};
    QTest::newRow("C.UTF-8 ignores LANGUAGE") << "de" << "C.UTF-8" << "" << "de_DE.UTF-8" << QStringList{u"en"_s};
    QTest::newRow("POSIX") << "" << "" << "" << "POSIX" << QStringList{u"en"_s};
    QTest::newRow("empty entries skipped") << ":es::" << "" << "" << "de_DE.UTF-8"
                                           << QStringList{u"es"_s, u"de_DE"_s, u"de"_s};
}

void TestCatalogs::preferredLanguages()
{
    QFETCH(QString, languageList);
    QFETCH(QString, lcAll);
    QFETCH(QString, lcMessages);
    QFETCH(QString, lang);
    QFETCH(QStringList, expected);
    const QHash<QByteArray, QByteArray> values{{"LANGUAGE", languageList.toUtf8()},
                                               {"LC_ALL", lcAll.toUtf8()},
                                               {"LC_MESSAGES", lcMessages.toUtf8()},
                                               {"LANG", lang.toUtf8()}};
    QCOMPARE(translations::preferredLanguages([&](const char *name) { return values.value(name); }), expected);
}

void TestCatalogs::chosenLanguage_data()
{
    QTest::addColumn<QStringList>("preferred");
    QTest::addColumn<QString>("expected");
    QTest::newRow("shipped") << QStringList{u"de_DE"_s, u"de"_s} << u"de"_s;
    QTest::newRow("first shipped one wins") << QStringList{u"sv"_s, u"fr"_s, u"de"_s} << u"fr"_s;
    QTest::newRow("English before a later one") << QStringList{u"en_GB"_s, u"en"_s, u"de"_s} << u"en"_s;
    QTest::newRow("none shipped") << QStringList{u"pt_BR"_s, u"pt"_s} << u"en"_s;
    QTest::newRow("nothing") << QStringList{} << u"en"_s;
}

void TestCatalogs::chosenLanguage()
{
    QFETCH(QStringList, preferred);
    QFETCH(QString, expected);
    QCOMPARE(translations::chooseLanguage(preferred, translations::shippedLanguages()), expected);
}

void TestCatalogs::installingTranslatesQtToo()
{
    const QHash<QByteArray, QByteArray> values{{"LANG", "es_ES.UTF-8"}};
    QCOMPARE(translations::installFromEnvironment(*QCoreApplication::instance(),
                                                  [&](const char *name) { return values.value(name); }),
             u"es"_s);
    QCOMPARE(QCoreApplication::translate("quiz", "The correct answer is %1").arg(12),
             u"La respuesta correcta es 12"_s);
    // Qt's own catalog: the buttons of Qt's dialogs.
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "&Yes"), u"&Sí"_s);
    QCOMPARE(QLocale().language(), QLocale::Spanish);
}

QTEST_GUILESS_MAIN(TestCatalogs)
#include "tst_catalogs.moc"

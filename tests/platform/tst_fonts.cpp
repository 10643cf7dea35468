// SPDX-License-Identifier: GPL-3.0-or-later
// The fonts the windows ask for by their Windows names, and the installed families that stand for
// them. The packages the program depends on install the Liberation and URW fonts.
#include <QFontDatabase>
#include <QFontInfo>
#include <QTest>

#include "platform/fonts.h"

using namespace Qt::StringLiterals;

class tst_Fonts : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { platform::installFontSubstitutions(); }
    void installedSubstitute_data();
    void installedSubstitute();
    void askingDirectlyDrawsTheSameFont_data();
    void askingDirectlyDrawsTheSameFont();
};

void tst_Fonts::installedSubstitute_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected");
    // Metric-compatible first, although another substitute (Nimbus Roman) is installed too.
    QTest::newRow("Times New Roman") << u"Times New Roman"_s << u"Liberation Serif"_s;
    QTest::newRow("MS Sans Serif") << u"MS Sans Serif"_s << u"Liberation Sans"_s;
    QTest::newRow("News Gothic") << u"News Gothic"_s << u"Nimbus Sans Narrow"_s;
    QTest::newRow("not a Windows name") << u"DejaVu Sans"_s << u"DejaVu Sans"_s;
    QTest::newRow("unknown") << u"No Such Font"_s << u"No Such Font"_s;
}

void tst_Fonts::installedSubstitute()
{
    QFETCH(QString, name);
    QFETCH(QString, expected);
    QVERIFY2(QFontDatabase::hasFamily(expected) || expected == u"No Such Font"_s, qPrintable(expected));
    // The database may add the foundry to a family that several foundries make.
    QCOMPARE(platform::installedFamily(name).section(u" ["_s, 0, 0), expected);
}

void tst_Fonts::askingDirectlyDrawsTheSameFont_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("bold");
    QTest::newRow("Times New Roman") << u"Times New Roman"_s << false;
    QTest::newRow("MS Sans Serif bold") << u"MS Sans Serif"_s << true;
    QTest::newRow("News Gothic") << u"News Gothic"_s << false;
}

// Taking the shortcut changes nothing on the screen.
void tst_Fonts::askingDirectlyDrawsTheSameFont()
{
    QFETCH(QString, name);
    QFETCH(bool, bold);
    QFont byName(name);
    QFont direct(platform::installedFamily(name));
    for (QFont *font : {&byName, &direct}) {
        font->setPointSizeF(20.25);
        font->setBold(bold);
    }
    const QFontInfo byNameInfo(byName);
    const QFontInfo directInfo(direct);
    QCOMPARE(directInfo.family(), byNameInfo.family());
    QCOMPARE(directInfo.styleName(), byNameInfo.styleName());
    QCOMPARE(directInfo.pixelSize(), byNameInfo.pixelSize());
}

QTEST_MAIN(tst_Fonts)
#include "tst_fonts.moc"

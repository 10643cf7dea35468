// SPDX-License-Identifier: GPL-3.0-or-later
#include <QTest>

#include "quiz/numbers.h"

using namespace Qt::StringLiterals;

class TestNumbers : public QObject
{
    Q_OBJECT

private slots:
    void readNumber_data();
    void readNumber();
    void counterRule_data();
    void counterRule();
};

void TestNumbers::readNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::newRow("empty") << QString() << 0.0;
    QTest::newRow("leading zero") << u"07"_s << 7.0;
    QTest::newRow("three digits") << u"102"_s << 102.0;
    QTest::newRow("digits then text") << u"12 apples"_s << 12.0;
    QTest::newRow("not a digit first") << u"Label2"_s << 0.0;
    QTest::newRow("blank first") << u" 5"_s << 0.0;
    QTest::newRow("fraction") << u"2.5"_s << 2.5;
    QTest::newRow("past 16 bits") << u"40000"_s << 40000.0;
    QTest::newRow("arabic-indic digit is not a decimal digit here") << u"\u0663"_s << 0.0;
}

void TestNumbers::readNumber()
{
    QFETCH(QString, text);
    QFETCH(double, value);
    QCOMPARE(quiz::readNumber(text), value);
}

void TestNumbers::counterRule_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("raised");
    QTest::newRow("zero") << u"0"_s << u"1"_s;
    QTest::newRow("41") << u"41"_s << u"42"_s;
    QTest::newRow("passing 9") << u"9"_s << u"10"_s;
    QTest::newRow("past 32767") << u"32767"_s << u"32768"_s;
    QTest::newRow("large count") << u"4294967295"_s << u"4294967296"_s;
    QTest::newRow("design-time caption") << u"Label2"_s << u"1"_s;
    QTest::newRow("empty") << QString() << u"1"_s;
    QTest::newRow("leading zero dropped") << u"007"_s << u"8"_s;
}

void TestNumbers::counterRule()
{
    QFETCH(QString, caption);
    QFETCH(QString, raised);
    QCOMPARE(quiz::raiseCounter(caption), raised);
}

QTEST_GUILESS_MAIN(TestNumbers)
#include "tst_numbers.moc"

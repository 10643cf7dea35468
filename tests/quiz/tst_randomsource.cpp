// SPDX-License-Identifier: GPL-3.0-or-later
#include <QSet>
#include <QTest>
#include <QTime>

#include "quiz/randomsource.h"

class TestRandomSource : public QObject
{
    Q_OBJECT

private slots:
    void valuesStayInUnitInterval();
    void sameTimeTwiceGivesFreshNumbers();
    void reseedNeverReplaysAnEarlierSequence();
    void drawsAreRoughlyUniform();
    void secondsSinceMidnightKeepsTheFraction();
};

void TestRandomSource::valuesStayInUnitInterval()
{
    quiz::ClockSeededRandom random(0);
    for (int i = 0; i < 100000; ++i) {
        const double r = random.next();
        QVERIFY(r >= 0.0 && r < 1.0);
    }
}

void TestRandomSource::sameTimeTwiceGivesFreshNumbers()
{
    // Two quick skips within one clock tick reseed with the same time.
    quiz::ClockSeededRandom random(7);
    random.reseed(3600.25);
    const double a1 = random.next();
    const double a2 = random.next();
    random.reseed(3600.25);
    const double b1 = random.next();
    const double b2 = random.next();
    QVERIFY(a1 != b1 || a2 != b2);
}

void TestRandomSource::reseedNeverReplaysAnEarlierSequence()
{
    quiz::ClockSeededRandom random(1);
    QSet<quint64> seen;
    for (int i = 0; i < 2000; ++i) {
        random.reseed((i % 3) * 0.5); // a handful of times, used again and again
        const double r1 = random.next();
        const double r2 = random.next();
        const quint64 pair = quint64(r1 * (1ull << 32)) << 32 | quint64(r2 * (1ull << 32));
        QVERIFY2(!seen.contains(pair), "a reseed brought back an earlier pair of draws");
        seen.insert(pair);
    }
}

void TestRandomSource::drawsAreRoughlyUniform()
{
    quiz::ClockSeededRandom random(99);
    constexpr int bins = 7;
    constexpr int draws = 70000;
    int counts[bins] = {};
    for (int i = 0; i < draws; ++i) {
        random.reseed(i * 0.001);
        ++counts[int(random.next() * bins)];
    }
    double chiSquare = 0;
    for (int count : counts)
        chiSquare += (count - draws / bins) * double(count - draws / bins) / (draws / bins);
    // 6 degrees of freedom: 22.5 is the 0.1 % critical value.
    QVERIFY2(chiSquare < 22.5, qPrintable(QString::number(chiSquare)));
}

void TestRandomSource::secondsSinceMidnightKeepsTheFraction()
{
    QCOMPARE(quiz::secondsSinceMidnight(QTime(1, 0, 0, 250)), 3600.25);
    QCOMPARE(quiz::secondsSinceMidnight(QTime(0, 0)), 0.0);
}

QTEST_GUILESS_MAIN(TestRandomSource)
#include "tst_randomsource.moc"

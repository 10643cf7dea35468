// SPDX-License-Identifier: GPL-3.0-or-later
#include <cmath>
#include <limits>

#include <QTest>

#include "quiz/question.h"
#include "quiz/randomsource.h"

using quiz::Operation;

namespace {
// The largest double below 1: the top edge of a uniform draw.
constexpr double almostOne = 1.0 - std::numeric_limits<double>::epsilon() / 2;

class ScriptedRandom final : public quiz::RandomSource
{
public:
    explicit ScriptedRandom(QList<double> values)
        : m_values(std::move(values))
    {
    }
    double next() override { return m_values.takeFirst(); }
    void reseed(double) override {}
    qsizetype remaining() const { return m_values.size(); }

private:
    QList<double> m_values;
};

struct Range
{
    int low;
    int high;
};
} // namespace

class TestQuestionRules : public QObject
{
    Q_OBJECT

private slots:
    void limitsTable();
    void edgesOfTheDraws_data();
    void edgesOfTheDraws();
    void rangesByLevel_data();
    void rangesByLevel();
    void additionWithTopFirstOperand();
    void subtractionReachesZeroAndEqualOperands();
    void divisionIsAlwaysExact();
    void eachQuestionCostsTwoDraws();
};

void TestQuestionRules::limitsTable()
{
    const quiz::RangeLimits limits = quiz::standardRangeLimits();
    const int expected[4][4] = {{10, 20, 60, 100}, {10, 20, 40, 100}, {2, 3, 6, 9}, {3, 5, 7, 10}};
    for (int op = 0; op < 4; ++op) {
        for (qint16 level = 0; level < 4; ++level)
            QCOMPARE(quiz::rangeLimit(limits, Operation(op), level), expected[op][level]);
    }
}

void TestQuestionRules::edgesOfTheDraws_data()
{
    QTest::addColumn<Operation>("operation");
    QTest::addColumn<int>("limit");
    QTest::addColumn<double>("r1");
    QTest::addColumn<double>("r2");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("second");
    QTest::addColumn<int>("result");

    QTest::newRow("addition lowest") << Operation::Addition << 10 << 0.0 << 0.0 << 1 << 1 << 2;
    QTest::newRow("addition first 1, second top") << Operation::Addition << 10 << 0.0 << almostOne << 1 << 9 << 10;
    QTest::newRow("addition first T") << Operation::Addition << 10 << 0.85 << 0.5 << 10 << 1 << 11;
    QTest::newRow("addition first T+1") << Operation::Addition << 10 << almostOne << 0.5 << 11 << 0 << 11;
    QTest::newRow("addition first T+1, r2 zero") << Operation::Addition << 10 << almostOne << 0.0 << 11 << 1 << 12;
    QTest::newRow("subtraction zero second") << Operation::Subtraction << 10 << 0.5 << 0.0 << 6 << 0 << 6;
    QTest::newRow("subtraction equal operands") << Operation::Subtraction << 10 << 0.5 << almostOne << 6 << 6 << 0;
    QTest::newRow("subtraction top") << Operation::Subtraction << 100 << almostOne << 0.0 << 101 << 0 << 101;
    QTest::newRow("multiplication lowest") << Operation::Multiplication << 2 << 0.0 << 0.0 << 1 << 1 << 1;
    QTest::newRow("multiplication top level 4") << Operation::Multiplication << 9 << almostOne << almostOne << 10
                                                << 10 << 100;
    QTest::newRow("division lowest") << Operation::Division << 3 << 0.0 << 0.0 << 1 << 1 << 1;
    QTest::newRow("division top level 4") << Operation::Division << 10 << almostOne << almostOne << 121 << 11 << 11;
    QTest::newRow("division divisor from r1") << Operation::Division << 3 << 0.5 << 0.0 << 3 << 3 << 1;
}

void TestQuestionRules::edgesOfTheDraws()
{
    QFETCH(Operation, operation);
    QFETCH(int, limit);
    QFETCH(double, r1);
    QFETCH(double, r2);
    QFETCH(int, first);
    QFETCH(int, second);
    QFETCH(int, result);
    QCOMPARE(quiz::questionFromDraws(operation, limit, r1, r2), (quiz::Question{first, second, result}));
}

void TestQuestionRules::rangesByLevel_data()
{
    QTest::addColumn<Operation>("operation");
    QTest::addColumn<qint16>("level");
    QTest::addColumn<int>("firstLow");
    QTest::addColumn<int>("firstHigh");
    QTest::addColumn<int>("resultLow");
    QTest::addColumn<int>("resultHigh");

    // The ranges that follow from the rules; a sum above T + 1 needs r2 exactly 0, tested above.
    const int additionTop[] = {11, 21, 61, 101};
    const int subtractionTop[] = {11, 21, 41, 101};
    const int factorTop[] = {3, 4, 7, 10};
    const int divisionTop[] = {4, 6, 8, 11};
    for (qint16 level = 0; level < 4; ++level) {
        const QByteArray n = QByteArray::number(level + 1);
        QTest::newRow("addition level " + n) << Operation::Addition << level << 1 << additionTop[level] << 2
                                             << additionTop[level];
        QTest::newRow("subtraction level " + n) << Operation::Subtraction << level << 1 << subtractionTop[level] << 0
                                                << subtractionTop[level];
        QTest::newRow("multiplication level " + n) << Operation::Multiplication << level << 1 << factorTop[level] << 1
                                                   << factorTop[level] * factorTop[level];
        // For division the first number shown is the product; the answer runs like the divisor.
        QTest::newRow("division level " + n) << Operation::Division << level << 1
                                             << divisionTop[level] * divisionTop[level] << 1 << divisionTop[level];
    }
}

void TestQuestionRules::rangesByLevel()
{
    QFETCH(Operation, operation);
    QFETCH(qint16, level);
    QFETCH(int, firstLow);
    QFETCH(int, firstHigh);
    QFETCH(int, resultLow);
    QFETCH(int, resultHigh);

    const int limit = quiz::rangeLimit(quiz::standardRangeLimits(), operation, level);
    // A fine grid over [0, 1), its top edge included, with r2 = 0 left out (see above).
    constexpr int steps = 400;
    Range first{INT_MAX, INT_MIN};
    Range result{INT_MAX, INT_MIN};
    for (int i = 0; i <= steps; ++i) {
        const double r1 = i == steps ? almostOne : double(i) / steps;
        for (int j = 1; j <= steps; ++j) {
            const double r2 = j == steps ? almostOne : double(j) / steps;
            const quiz::Question q = quiz::questionFromDraws(operation, limit, r1, r2);
            first = {std::min(first.low, q.first), std::max(first.high, q.first)};
            result = {std::min(result.low, q.result), std::max(result.high, q.result)};
            QVERIFY(q.result >= 0 && q.result <= 121);
            QVERIFY(q.second >= 0);
        }
    }
    QCOMPARE(first.low, firstLow);
    QCOMPARE(first.high, firstHigh);
    QCOMPARE(result.low, resultLow);
    QCOMPARE(result.high, resultHigh);
}

void TestQuestionRules::additionWithTopFirstOperand()
{
    // At level 1 a first operand of 11 always comes with a second operand of 0 (r2 above 0).
    for (double r2 : {1e-9, 0.25, 0.5, almostOne}) {
        const quiz::Question q = quiz::questionFromDraws(Operation::Addition, 10, almostOne, r2);
        QCOMPARE(q.first, 11);
        QCOMPARE(q.second, 0);
        QCOMPARE(q.result, 11);
    }
}

void TestQuestionRules::subtractionReachesZeroAndEqualOperands()
{
    bool sawZeroSecond = false;
    bool sawEqual = false;
    for (int i = 0; i < 50; ++i) {
        for (int j = 0; j < 50; ++j) {
            const quiz::Question q = quiz::questionFromDraws(Operation::Subtraction, 20, i / 50.0, j / 50.0);
            QVERIFY2(q.result >= 0, "a difference is never negative");
            QCOMPARE(q.result, q.first - q.second);
            sawZeroSecond |= q.second == 0;
            sawEqual |= q.first == q.second;
        }
    }
    QVERIFY(sawZeroSecond);
    QVERIFY(sawEqual);
}

void TestQuestionRules::divisionIsAlwaysExact()
{
    quiz::ClockSeededRandom random(42);
    bool reached121 = false;
    for (int i = 0; i < 5000; ++i) {
        const quiz::Question q = quiz::drawQuestion(Operation::Division, 10, random);
        QCOMPARE(q.first % q.second, 0);
        QCOMPARE(q.first / q.second, q.result);
        reached121 |= q.first == 121;
    }
    QVERIFY2(reached121, "at level 4 the first number reaches 121");
}

void TestQuestionRules::eachQuestionCostsTwoDraws()
{
    for (Operation operation : quiz::allOperations) {
        ScriptedRandom random({0.3, 0.6, 0.9});
        quiz::drawQuestion(operation, 10, random);
        QCOMPARE(random.remaining(), 1);
    }
    // r1 is drawn before r2: swapping them changes the question.
    ScriptedRandom random({0.0, almostOne});
    QCOMPARE(quiz::drawQuestion(Operation::Multiplication, 2, random), (quiz::Question{1, 3, 3}));
}

QTEST_GUILESS_MAIN(TestQuestionRules)
#include "tst_questionrules.moc"

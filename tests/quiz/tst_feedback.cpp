// SPDX-License-Identifier: GPL-3.0-or-later
#include <QTest>

#include "quiz/feedback.h"

using namespace Qt::StringLiterals;

class TestFeedback : public QObject
{
    Q_OBJECT

private slots:
    void phrasesWithoutName();
    void phrasesWithName();
    void nameIsInsertedExactly();
    void barInNameCannotSplitTheList();
    void animationLists();
    void drawIndexCoversEveryEntry();
    void answerChecking_data();
    void answerChecking();
};

void TestFeedback::phrasesWithoutName()
{
    QCOMPARE(quiz::praisePhrases(QString()).split(u'|'),
             (QStringList{u"Correct answer"_s, u"You are right"_s, u"Well done"_s, u"Very Good"_s,
                          u"That is correct"_s}));
    QCOMPARE(quiz::correctionPhrases(QString()).split(u'|'),
             (QStringList{u"Wrong answer"_s, u"That is not correct"_s, u"You gave the wrong answer"_s,
                          u"Your answer is wrong"_s, u"Oops! That is not right"_s}));
    QCOMPARE(quiz::correctAnswerSentence(u"12"_s), u"The correct answer is 12"_s);
}

void TestFeedback::phrasesWithName()
{
    QCOMPARE(quiz::praisePhrases(u"Ann"_s).split(u'|'),
             (QStringList{u"Correct answer"_s, u"You are right, Ann"_s, u"Well done, Ann"_s, u"Very Good, Ann"_s,
                          u"That is correct"_s, u"You are very smart, Ann"_s}));
    QCOMPARE(quiz::correctionPhrases(u"Ann"_s).split(u'|'),
             (QStringList{u"Wrong answer, Ann"_s, u"That is not correct, Ann"_s, u"You gave the wrong answer, Ann"_s,
                          u"Your answer is wrong"_s, u"Oops! That is not right"_s, u"Please, pay attention"_s,
                          u"Hey, you made a boo-boo"_s}));
}

void TestFeedback::nameIsInsertedExactly()
{
    // No trimming and no change of case: three blanks are a name too.
    QVERIFY(quiz::praisePhrases(u"   "_s).split(u'|').contains(u"Well done,    "_s));
    QVERIFY(quiz::praisePhrases(u"sAM"_s).split(u'|').contains(u"You are very smart, sAM"_s));
}

void TestFeedback::barInNameCannotSplitTheList()
{
    const QString name = u"Jo|Ann"_s;
    QCOMPARE(quiz::praisePhrases(name).split(u'|').size(), 6);
    QCOMPARE(quiz::correctionPhrases(name).split(u'|').size(), 7);
    QCOMPARE(quiz::phraseLiteral(u"a|b||"_s).count(u'|'), 0);
    QCOMPARE(quiz::phraseLiteral(u"Ann"_s), u"Ann"_s);
}

void TestFeedback::animationLists()
{
    QCOMPARE(quiz::praiseAnimations(),
             (QStringList{u"Announce"_s, u"Congratulate"_s, u"Congratulate_2"_s, u"Pleased"_s, u"Surprised"_s,
                          u"Write"_s}));
    QCOMPARE(quiz::correctionAnimations(),
             (QStringList{u"Confused"_s, u"Decline"_s, u"Explain"_s, u"Read"_s, u"Sad"_s, u"Search"_s,
                          u"Suggest"_s}));
}

void TestFeedback::drawIndexCoversEveryEntry()
{
    QCOMPARE(quiz::drawIndex(0.0, 6), 0);
    QCOMPARE(quiz::drawIndex(1.0 / 6, 6), 1);
    QCOMPARE(quiz::drawIndex(0.9999999999, 6), 5);
    QCOMPARE(quiz::drawIndex(0.9999999999, 7), 6);
    QList<int> hits(7);
    for (int i = 0; i < 700; ++i)
        ++hits[quiz::drawIndex(i / 700.0, 7)];
    for (int count : hits)
        QCOMPARE(count, 100);
}

void TestFeedback::answerChecking_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("correct");
    QTest::newRow("equal") << u"12"_s << u"12"_s << true;
    QTest::newRow("leading zero") << u"07"_s << u"7"_s << true;
    QTest::newRow("zero answer") << u"0"_s << u"0"_s << true;
    QTest::newRow("three digits") << u"101"_s << u"101"_s << true;
    QTest::newRow("wrong") << u"13"_s << u"12"_s << false;
    QTest::newRow("prefix is not enough") << u"1"_s << u"12"_s << false;
}

void TestFeedback::answerChecking()
{
    QFETCH(QString, typed);
    QFETCH(QString, expected);
    QFETCH(bool, correct);
    QCOMPARE(quiz::answerIsCorrect(typed, expected), correct);
}

QTEST_GUILESS_MAIN(TestFeedback)
#include "tst_feedback.moc"

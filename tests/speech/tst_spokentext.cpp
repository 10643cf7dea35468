// SPDX-License-Identifier: GPL-3.0-or-later
// How a text is cut before it is spoken: bounded as a whole, and into the pieces it is
// synthesised in.
#include <QTest>

#include "character/phraselist.h"
#include "speech/synthesisworker.h"

using namespace Qt::StringLiterals;

namespace {

QString words(int count, const QString &word = u"word"_s)
{
    QStringList list;
    for (int i = 1; i <= count; ++i)
        list << word + QString::number(i);
    return list.join(u' ');
}

} // namespace

class TestSpokenText : public QObject
{
    Q_OBJECT

private slots:
    void boundedPhrase_data();
    void boundedPhrase();
    void boundedPhraseCutsAtAWholeWord_data();
    void boundedPhraseCutsAtAWholeWord();
    void pieces_data();
    void pieces();
};

void TestSpokenText::boundedPhrase_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    QTest::newRow("short") << u"Good-bye, Ann"_s << u"Good-bye, Ann"_s;
    QTest::newRow("blanks kept as they are") << u"  Hi there,   Bob  "_s << u"  Hi there,   Bob  "_s;
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("fifty words") << words(50, u"w"_s) << words(50, u"w"_s);
    QTest::newRow("fifty-one words") << words(51, u"w"_s) << words(50, u"w"_s) + u"..."_s;
    QTest::newRow("one word of ten thousand letters") << QString(10000, u'a') << QString(300, u'a') + u"..."_s;
    QTest::newRow("comma before the cut") << u"Hello, "_s + QString(290, u'n') + u", and more"_s
                                          << u"Hello, "_s + QString(290, u'n') + u"..."_s;
    QTest::newRow("name of ten thousand letters") << u"Hello, "_s + QString(10000, u'a') + u". Nice to meet you"_s
                                                  << u"Hello, "_s + QString(293, u'a') + u"..."_s;
    QTest::newRow("long word is not cut") << u"Hi "_s + QString(270, u'b') + u" Supercalifragilisticexpialidocious"_s
                                          << u"Hi "_s + QString(270, u'b') + u"..."_s;
    QTest::newRow("no half character") << QString(299, u'a') + u"\U0001F600\U0001F600"_s << QString(299, u'a') + u"..."_s;
}

void TestSpokenText::boundedPhrase()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(character::boundedPhrase(text), expected);
}

void TestSpokenText::boundedPhraseCutsAtAWholeWord_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("name of many words") << u"Good-bye, "_s + words(200, u"Bartholomew"_s);
    QTest::newRow("long words") << words(40, u"Supercalifragilistic"_s);
    QTest::newRow("many short words") << u"Wrong answer, "_s + words(70, u"Al"_s);
}

void TestSpokenText::boundedPhraseCutsAtAWholeWord()
{
    QFETCH(QString, text);
    const QString bounded = character::boundedPhrase(text);
    QVERIFY(bounded.endsWith(u"..."_s));
    const QString kept = bounded.chopped(3);
    QVERIFY(kept.size() <= character::mostSpokenCharacters);
    QVERIFY(kept.split(u' ', Qt::SkipEmptyParts).size() <= character::mostSpokenWords);
    QVERIFY(text.startsWith(kept));
    // The cut falls between two words, and nothing that would still have fitted is left out.
    QVERIFY(text.at(kept.size()).isSpace());
    const qsizetype nextEnd = text.indexOf(u' ', kept.size() + 1);
    const QString withNext = text.left(nextEnd < 0 ? text.size() : nextEnd);
    QVERIFY(withNext.size() > character::mostSpokenCharacters
            || withNext.split(u' ', Qt::SkipEmptyParts).size() > character::mostSpokenWords);
}

void TestSpokenText::pieces_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("one sentence") << u"Are you ready?"_s << QStringList{u"Are you ready?"_s};
    QTest::newRow("two sentences") << u"Welcome. I am your teacher for today."_s
                                   << QStringList{u"Welcome."_s, u"I am your teacher for today."_s};
    QTest::newRow("question then more") << u"What? There's something special about this place?"_s
                                        << QStringList{u"What?"_s, u"There's something special about this place?"_s};
    QTest::newRow("quote after the stop") << u"\"Hello.\" said Ann"_s << QStringList{u"\"Hello.\""_s, u"said Ann"_s};
    QTest::newRow("early comma stays") << u"Good-bye, Anna Maria"_s << QStringList{u"Good-bye, Anna Maria"_s};
    QTest::newRow("late comma breaks") << u"You gave the wrong answer today, Anna Maria"_s
                                       << QStringList{u"You gave the wrong answer today,"_s, u"Anna Maria"_s};
    QTest::newRow("no punctuation") << words(40)
                                    << QStringList{words(16), words(32).mid(words(16).size() + 1),
                                                   words(40).mid(words(32).size() + 1)};
    QTest::newRow("blanks around") << u"  Hi there.  Bob  "_s << QStringList{u"Hi there."_s, u"Bob"_s};
    QTest::newRow("only blanks") << u"   "_s << QStringList{};
}

void TestSpokenText::pieces()
{
    QFETCH(QString, text);
    QFETCH(QStringList, expected);
    QStringList got;
    qsizetype previousEnd = 0;
    for (const speech::TextPiece &piece : speech::splitIntoPieces(text)) {
        // In order, not overlapping, and nothing but blanks between them.
        QVERIFY(piece.start >= previousEnd);
        QVERIFY(text.mid(previousEnd, piece.start - previousEnd).trimmed().isEmpty());
        got << text.mid(piece.start, piece.end - piece.start);
        previousEnd = piece.end;
    }
    QVERIFY(text.mid(previousEnd).trimmed().isEmpty());
    QCOMPARE(got, expected);
}

QTEST_GUILESS_MAIN(TestSpokenText)
#include "tst_spokentext.moc"

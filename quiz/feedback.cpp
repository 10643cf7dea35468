// SPDX-License-Identifier: GPL-3.0-or-later
#include "quiz/feedback.h"

#include <algorithm>
#include <cmath>

#include <QCoreApplication>

#include "quiz/numbers.h"

using namespace Qt::StringLiterals;

namespace quiz {

QString phraseLiteral(const QString &text)
{
    QString literal = text;
    literal.replace(u'|', QChar(0x00A6));
    return literal;
}

QString praisePhrases(const QString &learnerName)
{
    if (learnerName.isEmpty())
        return QCoreApplication::translate("quiz", "Correct answer|You are right|Well done|Very Good|That is correct");
    return QCoreApplication::translate("quiz", "Correct answer|You are right, %1|Well done, %1|Very Good, %1"
                                               "|That is correct|You are very smart, %1")
        .arg(phraseLiteral(learnerName));
}

QString correctionPhrases(const QString &learnerName)
{
    if (learnerName.isEmpty())
        return QCoreApplication::translate("quiz", "Wrong answer|That is not correct|You gave the wrong answer"
                                                   "|Your answer is wrong|Oops! That is not right");
    return QCoreApplication::translate("quiz", "Wrong answer, %1|That is not correct, %1|You gave the wrong answer, %1"
                                               "|Your answer is wrong|Oops! That is not right|Please, pay attention"
                                               "|Hey, you made a boo-boo")
        .arg(phraseLiteral(learnerName));
}

QString correctAnswerSentence(const QString &expectedResult)
{
    //: Followed by the number, written in digits.
    return QCoreApplication::translate("quiz", "The correct answer is %1").arg(expectedResult);
}

const QStringList &praiseAnimations()
{
    static const QStringList names{u"Announce"_s, u"Congratulate"_s, u"Congratulate_2"_s,
                                   u"Pleased"_s,  u"Surprised"_s,    u"Write"_s};
    return names;
}

const QStringList &correctionAnimations()
{
    static const QStringList names{u"Confused"_s, u"Decline"_s, u"Explain"_s, u"Read"_s,
                                   u"Sad"_s,      u"Search"_s,  u"Suggest"_s};
    return names;
}

qsizetype drawIndex(double r, qsizetype count)
{
    const auto index = static_cast<qsizetype>(std::floor(r * double(count)));
    return std::clamp<qsizetype>(index, 0, count - 1);
}

bool answerIsCorrect(const QString &typed, const QString &expectedResult)
{
    return readNumber(typed) == readNumber(expectedResult);
}

} // namespace quiz

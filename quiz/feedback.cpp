// SPDX-License-Identifier: GPL-3.0-or-later
#include "quiz/feedback.h"

#include <algorithm>
#include <cmath>

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
        return QStringLiteral("Correct answer|You are right|Well done|Very Good|That is correct");
    const QString n = phraseLiteral(learnerName);
    return u"Correct answer|You are right, "_s + n + u"|Well done, "_s + n + u"|Very Good, "_s + n
        + u"|That is correct|You are very smart, "_s + n;
}

QString correctionPhrases(const QString &learnerName)
{
    if (learnerName.isEmpty())
        return QStringLiteral("Wrong answer|That is not correct|You gave the wrong answer|Your answer is wrong"
                              "|Oops! That is not right");
    const QString n = phraseLiteral(learnerName);
    return u"Wrong answer, "_s + n + u"|That is not correct, "_s + n + u"|You gave the wrong answer, "_s + n
        + u"|Your answer is wrong|Oops! That is not right|Please, pay attention|Hey, you made a boo-boo"_s;
}

QString correctAnswerSentence(const QString &expectedResult)
{
    return u"The correct answer is "_s + expectedResult;
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

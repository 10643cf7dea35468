// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

namespace quiz {

// A phrase list is a text of alternatives separated by "|"; the teacher speaks one of them.
// A name typed by the child is put in as a literal: a "|" in it is shown as a broken bar, so the
// name can neither add an alternative nor cut one.
QString phraseLiteral(const QString &text);

// The feedback to a confirmed answer, with the learner's name where one is known (empty: none).
QString praisePhrases(const QString &learnerName);
QString correctionPhrases(const QString &learnerName);
QString correctAnswerSentence(const QString &expectedResult);

const QStringList &praiseAnimations();
const QStringList &correctionAnimations();

// The entry at floor(r * count) for a uniform r in [0, 1).
qsizetype drawIndex(double r, qsizetype count);

// Both texts read as numbers and compared, so "07" answers 7.
bool answerIsCorrect(const QString &typed, const QString &expectedResult);

} // namespace quiz

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

namespace character {

// The alternatives of a phrase list ("a|b|c"); empty alternatives are left out.
QStringList phraseAlternatives(const QString &phraseList);

} // namespace character

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

namespace listen {

// The pronunciations of a handful of words, taken from a pronouncing dictionary in the CMU format
// ("word PH ON EMES", variants as "word(2) ..."). The decoder loads this small extract in a few
// milliseconds where the whole dictionary takes a large part of a second.
class PronunciationDictionary
{
public:
    // Reads the entries of the given words (lower case) from the dictionary file; returns false
    // when the file cannot be read.
    bool load(const QString &dictionaryFile, const QStringList &words);

    // Another way of saying a word that the file already has; ignored for a word it lacks, or a
    // pronunciation it already lists.
    void addVariant(const QString &word, const QString &phones);

    bool contains(const QString &word) const;
    QStringList missingWords(const QStringList &words) const;
    // The extract in the same format, variants after their word.
    QString toText() const;

private:
    // word -> its pronunciations, first the main one
    QHash<QString, QStringList> m_pronunciations;
};

} // namespace listen

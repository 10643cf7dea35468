// SPDX-License-Identifier: GPL-3.0-or-later
#include "listen/pronunciationdictionary.h"

#include <QFile>
#include <QSet>

using namespace Qt::StringLiterals;

namespace listen {

bool PronunciationDictionary::load(const QString &dictionaryFile, const QStringList &words)
{
    m_pronunciations.clear();
    QFile file(dictionaryFile);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QSet<QByteArray> wanted;
    for (const QString &word : words)
        wanted.insert(word.toLower().toUtf8());

    while (!file.atEnd()) {
        const QByteArray line = file.readLine().trimmed();
        const qsizetype space = line.indexOf(' ');
        if (space <= 0)
            continue;
        QByteArray word = line.left(space);
        const qsizetype variant = word.indexOf('(');
        if (variant > 0)
            word.truncate(variant);
        if (!wanted.contains(word))
            continue;
        const QString phones = QString::fromUtf8(line.mid(space + 1).simplified());
        if (!phones.isEmpty())
            m_pronunciations[QString::fromUtf8(word)].append(phones);
    }
    return true;
}

void PronunciationDictionary::addVariant(const QString &word, const QString &phones)
{
    const auto found = m_pronunciations.find(word.toLower());
    const QString spelled = phones.simplified();
    if (found != m_pronunciations.end() && !spelled.isEmpty() && !found->contains(spelled))
        found->append(spelled);
}

bool PronunciationDictionary::contains(const QString &word) const
{
    return m_pronunciations.contains(word.toLower());
}

QStringList PronunciationDictionary::missingWords(const QStringList &words) const
{
    QStringList missing;
    for (const QString &word : words) {
        if (!contains(word))
            missing.append(word);
    }
    return missing;
}

QString PronunciationDictionary::toText() const
{
    QStringList words = m_pronunciations.keys();
    words.sort();
    QString text;
    for (const QString &word : std::as_const(words)) {
        const QStringList &variants = m_pronunciations[word];
        for (qsizetype i = 0; i < variants.size(); ++i) {
            text += i == 0 ? word : u"%1(%2)"_s.arg(word).arg(i + 1);
            text += u' ' + variants.at(i) + u'\n';
        }
    }
    return text;
}

} // namespace listen

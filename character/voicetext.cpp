// SPDX-License-Identifier: GPL-3.0-or-later
#include "character/voicetext.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace character {

namespace {

class Parser
{
public:
    explicit Parser(const QStringList &tokens)
        : m_tokens(tokens)
    {
    }

    // Returns false on unbalanced brackets or a stray "|".
    bool parseAll(VoiceSequence &out)
    {
        if (!parseSequence(out))
            return false;
        return m_pos == m_tokens.size();
    }

private:
    bool parseSequence(VoiceSequence &out)
    {
        while (m_pos < m_tokens.size()) {
            const QString &token = m_tokens.at(m_pos);
            if (token == u"]"_s || token == u")"_s || token == u"|"_s)
                return true;
            ++m_pos;
            if (token == u"..."_s) {
                // Two "..." in a row say no more than one.
                if (out.isEmpty() || out.constLast().kind != VoicePattern::Kind::AnyWords)
                    out.append(VoicePattern{VoicePattern::Kind::AnyWords, {}, {}});
            } else if (token == u"["_s || token == u"("_s) {
                VoicePattern group;
                group.kind = token == u"["_s ? VoicePattern::Kind::Optional : VoicePattern::Kind::Group;
                const QString close = token == u"["_s ? u"]"_s : u")"_s;
                for (;;) {
                    VoiceSequence alternative;
                    if (!parseSequence(alternative))
                        return false;
                    group.alternatives.append(alternative);
                    if (m_pos >= m_tokens.size())
                        return false;
                    const QString &sep = m_tokens.at(m_pos++);
                    if (sep == close)
                        break;
                    if (sep != u"|"_s)
                        return false;
                }
                out.append(group);
            } else {
                out.append(VoicePattern{VoicePattern::Kind::Word, token, {}});
            }
        }
        return true;
    }

    const QStringList &m_tokens;
    qsizetype m_pos = 0;
};

} // namespace

QStringList voiceTextTokens(const QString &voice)
{
    QStringList tokens;
    QString word;
    const auto flushWord = [&] {
        if (!word.isEmpty())
            tokens.append(word);
        word.clear();
    };
    const QString text = QString(voice).replace(QChar(0x2026), u"..."_s);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (text.mid(i, 3) == u"..."_s) {
            flushWord();
            tokens.append(u"..."_s);
            i += 2;
        } else if (c == u'[' || c == u']' || c == u'(' || c == u')' || c == u'|') {
            flushWord();
            tokens.append(QString(c));
        } else if (c.isDigit() && c.digitValue() >= 0 && c.digitValue() <= 9) {
            // A number is a word of its own, also when written against letters ("level2").
            if (!word.isEmpty() && !word.back().isDigit())
                flushWord();
            word.append(c);
        } else if (c.isLetter() || c == u'\'') {
            if (!word.isEmpty() && word.back().isDigit())
                flushWord();
            word.append(c);
        } else {
            // Spaces and punctuation such as "," or "?" only separate words.
            flushWord();
        }
    }
    flushWord();
    return tokens;
}

bool saysAWord(const VoiceSequence &sequence)
{
    return std::any_of(sequence.cbegin(), sequence.cend(), [](const VoicePattern &item) {
        if (item.kind == VoicePattern::Kind::Word)
            return true;
        // An optional part may be left out, so only a group guarantees that a word is said.
        if (item.kind == VoicePattern::Kind::Group)
            return std::all_of(item.alternatives.cbegin(), item.alternatives.cend(), saysAWord);
        return false;
    });
}

VoiceSequence parseVoiceText(const QString &voice)
{
    const QStringList tokens = voiceTextTokens(voice);
    VoiceSequence sequence;
    Parser parser(tokens);
    if (!parser.parseAll(sequence) || !saysAWord(sequence))
        return {};
    return sequence;
}

} // namespace character

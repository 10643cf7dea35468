// SPDX-License-Identifier: GPL-3.0-or-later
#include "listen/commandgrammar.h"

#include <algorithm>
#include <functional>

using namespace Qt::StringLiterals;

namespace listen {

namespace {

// Digits in a voice text are said as words; the pronouncing dictionary only knows words.
QString spokenDigit(QChar digit)
{
    static const QStringList names = {u"zero"_s, u"one"_s, u"two"_s, u"three"_s, u"four"_s,
                                      u"five"_s, u"six"_s, u"seven"_s, u"eight"_s, u"nine"_s};
    return names.at(digit.digitValue());
}

// The decoder's spelling of a word of a voice text: lower case, a number digit by digit.
QStringList decoderWords(const QString &word)
{
    if (word.isEmpty() || !word.at(0).isDigit())
        return {word.toLower()};
    QStringList digits;
    for (const QChar digit : word)
        digits.append(spokenDigit(digit));
    return digits;
}

VoiceSequence spellForDecoder(const VoiceSequence &sequence)
{
    VoiceSequence spelled;
    for (const VoicePattern &item : sequence) {
        if (item.kind == VoicePattern::Kind::Word) {
            for (const QString &word : decoderWords(item.word))
                spelled.append(VoicePattern{VoicePattern::Kind::Word, word, {}});
            continue;
        }
        VoicePattern copy = item;
        for (VoiceSequence &alternative : copy.alternatives)
            alternative = spellForDecoder(alternative);
        spelled.append(copy);
    }
    return spelled;
}

void collectWords(const VoiceSequence &sequence, QStringList &out)
{
    for (const VoicePattern &item : sequence) {
        if (item.kind == VoicePattern::Kind::Word)
            out.append(item.word);
        for (const VoiceSequence &alternative : item.alternatives)
            collectWords(alternative, out);
    }
}

QString sequenceToJsgf(const VoiceSequence &sequence)
{
    QStringList parts;
    for (const VoicePattern &item : sequence) {
        switch (item.kind) {
        case VoicePattern::Kind::Word:
            parts.append(item.word);
            break;
        case VoicePattern::Kind::AnyWords:
            parts.append(u"<garbage>*"_s);
            break;
        case VoicePattern::Kind::Group:
        case VoicePattern::Kind::Optional: {
            QStringList alternatives;
            for (const VoiceSequence &alternative : item.alternatives) {
                const QString text = sequenceToJsgf(alternative);
                if (!text.isEmpty())
                    alternatives.append(text);
            }
            if (alternatives.isEmpty())
                break;
            const QString inner = alternatives.join(u" | "_s);
            parts.append(item.kind == VoicePattern::Kind::Optional ? u"["_s + inner + u"]"_s
                                                                  : u"("_s + inner + u")"_s);
            break;
        }
        }
    }
    return parts.join(u' ');
}

// Matches words[pos..] against sequence[index..] followed by the continuation; backtracks over
// "..." and the branches of groups. The patterns are a few words long, so this stays cheap.
using Continuation = std::function<bool(qsizetype)>;

bool matchSequence(const VoiceSequence &sequence, qsizetype index, const QStringList &words, qsizetype pos,
                   const Continuation &rest)
{
    if (index == sequence.size())
        return rest(pos);
    const VoicePattern &item = sequence.at(index);
    switch (item.kind) {
    case VoicePattern::Kind::Word:
        return pos < words.size() && words.at(pos) == item.word
            && matchSequence(sequence, index + 1, words, pos + 1, rest);
    case VoicePattern::Kind::AnyWords:
        for (qsizetype end = pos; end <= words.size(); ++end) {
            if (matchSequence(sequence, index + 1, words, end, rest))
                return true;
        }
        return false;
    case VoicePattern::Kind::Optional:
        if (matchSequence(sequence, index + 1, words, pos, rest))
            return true;
        Q_FALLTHROUGH();
    case VoicePattern::Kind::Group:
        for (const VoiceSequence &alternative : item.alternatives) {
            const Continuation afterGroup = [&](qsizetype next) {
                return matchSequence(sequence, index + 1, words, next, rest);
            };
            if (matchSequence(alternative, 0, words, pos, afterGroup))
                return true;
        }
        return false;
    }
    return false;
}

} // namespace

CommandGrammar::CommandGrammar() = default;

QStringList CommandGrammar::garbageWords()
{
    // Everyday words a child says around a command, and the numbers and signs of the sums on the
    // screen. Left out on purpose, so the loop cannot swallow a command word: anything that
    // sounds like one ("to", "too", "two", "do", "who", "for", "four", "or", "more", "won", "one",
    // "want", "why", "what", "but", "three", "free", "tree", "set", "rest", "said", "exist",
    // "next", "it"). Such a word may come in as part of a phrase that a command word cannot
    // sound like: "want" alone would take "one", but "i want" needs the "i" before it. Without
    // it, "I want level two" has no path but "i one" and a tail the grammar cannot explain.
    // Short pronouns stay in although "we" and "you" come near "three" and "two" in noise:
    // without them a sentence like "can we play a game" finds its way into a command.
    // The answers of the sums above ten are in the list as well: without them "seventeen" or
    // "nineteen" can only be explained as "... one" or "... two". Not "fourteen": it would take
    // "level four" for itself.
    // clang-format off
    static const QStringList words = {
        u"a"_s,      u"the"_s,    u"i"_s,      u"they"_s,   u"is"_s,     u"are"_s,    u"was"_s,
        u"am"_s,     u"be"_s,     u"how"_s,    u"where"_s,  u"yes"_s,    u"no"_s,     u"of"_s,
        u"at"_s,     u"with"_s,   u"my"_s,     u"your"_s,   u"like"_s,   u"can"_s,    u"now"_s,
        u"go"_s,     u"get"_s,    u"this"_s,   u"that"_s,   u"here"_s,   u"there"_s,  u"okay"_s,
        u"hello"_s,  u"thanks"_s, u"good"_s,   u"bad"_s,    u"cat"_s,    u"cats"_s,   u"dog"_s,
        u"play"_s,   u"game"_s,   u"some"_s,   u"not"_s,    u"all"_s,    u"make"_s,   u"time"_s,
        u"number"_s, u"plus"_s,   u"minus"_s,  u"times"_s,  u"five"_s,   u"six"_s,    u"seven"_s,
        u"eight"_s,  u"nine"_s,   u"ten"_s,    u"zero"_s,   u"level"_s,  u"again"_s,  u"start"_s,
        u"stop"_s,   u"know"_s,   u"look"_s,   u"up"_s,     u"down"_s,   u"big"_s,    u"little"_s,
        u"have"_s,   u"just"_s,   u"so"_s,     u"very"_s,   u"much"_s,   u"please"_s, u"mum"_s,
        u"dad"_s,    u"school"_s, u"house"_s,  u"equals"_s, u"answer"_s, u"question"_s, u"many"_s,
        u"let"_s,    u"us"_s,     u"merlin"_s, u"hey"_s,    u"you"_s,    u"we"_s,     u"he"_s,
        u"she"_s,    u"me"_s,     u"in"_s,     u"and"_s,    u"then"_s,   u"think"_s,  u"eat"_s,
        u"eleven"_s, u"twelve"_s, u"thirteen"_s, u"fifteen"_s, u"sixteen"_s, u"seventeen"_s,
        u"eighteen"_s, u"nineteen"_s, u"twenty"_s,   u"i want"_s,
    };
    // clang-format on
    return words;
}

QStringList CommandGrammar::tokenize(const QString &voice)
{
    QStringList tokens;
    for (const QString &token : character::voiceTextTokens(voice))
        tokens += decoderWords(token);
    return tokens;
}

VoiceSequence CommandGrammar::parse(const QString &voice)
{
    return spellForDecoder(character::parseVoiceText(voice));
}

void CommandGrammar::setCommands(const QList<character::VoiceCommand> &commands)
{
    m_entries.clear();
    for (const character::VoiceCommand &command : commands) {
        if (!command.enabled)
            continue;
        VoiceSequence pattern = parse(command.voice);
        if (!pattern.isEmpty())
            m_entries.append(Entry{command.name, pattern});
    }
}

QStringList CommandGrammar::commandNames() const
{
    QStringList names;
    for (const Entry &entry : m_entries)
        names.append(entry.name);
    return names;
}

namespace {

QStringList allCommandWords(const QList<VoiceSequence> &patterns)
{
    QStringList words;
    for (const VoiceSequence &pattern : patterns)
        collectWords(pattern, words);
    words.sort();
    words.removeDuplicates();
    return words;
}

// Garbage that is, or holds, a command word would let the no-command path eat the command.
QStringList usableGarbage(const QStringList &commandWords)
{
    QStringList garbage;
    for (const QString &entry : CommandGrammar::garbageWords()) {
        const QStringList words = entry.split(u' ');
        const bool holdsCommandWord = std::any_of(words.cbegin(), words.cend(),
                                                  [&](const QString &word) { return commandWords.contains(word); });
        if (!holdsCommandWord && !garbage.contains(entry))
            garbage.append(entry);
    }
    return garbage;
}

} // namespace

QStringList CommandGrammar::words() const
{
    QList<VoiceSequence> patterns;
    for (const Entry &entry : m_entries)
        patterns.append(entry.pattern);
    const QStringList own = allCommandWords(patterns);
    QStringList all = own;
    for (const QString &entry : usableGarbage(own))
        all += entry.split(u' '); // a phrase's words each need a pronunciation
    all.sort();
    all.removeDuplicates();
    return all;
}

QString CommandGrammar::toJsgf() const
{
    QList<VoiceSequence> patterns;
    for (const Entry &entry : m_entries)
        patterns.append(entry.pattern);
    const QStringList own = allCommandWords(patterns);
    const QStringList garbage = usableGarbage(own);

    // The decoder gives every place that uses a rule a copy of its words, and the garbage words
    // are most of its work. So the commands that start with "..." share one garbage loop in front
    // of them, which also starts the path of speech that is no command, and the commands that end
    // with "..." share one after them: three copies of the garbage however many commands there
    // are, rather than one for each. Speech that is no command must have a path, or the decoder
    // forces the nearest command onto every sentence.
    // The commands that end with "..." have the garbage in front of them too: other people
    // talking in the room while the child says "exit" have to be put down as some words, and
    // without a place in front of the command they take the command with them. Whether those
    // words were the child's is for the caller to tell (match() on the words the child said), as
    // the grammar cannot.
    QString jsgf = u"#JSGF V1.0;\ngrammar commands;\n"_s;
    jsgf += u"<garbage> = "_s + garbage.join(u" | "_s) + u";\n"_s;
    QStringList afterAny;
    QStringList beforeAny;
    QStringList top;
    for (qsizetype i = 0; i < m_entries.size(); ++i) {
        const VoiceSequence &pattern = m_entries.at(i).pattern;
        const bool anyFirst = pattern.constFirst().kind == VoicePattern::Kind::AnyWords;
        const bool anyLast = pattern.constLast().kind == VoicePattern::Kind::AnyWords;
        if (anyFirst && !anyLast) {
            afterAny.append(sequenceToJsgf(pattern.mid(1)));
        } else if (anyLast && !anyFirst) {
            beforeAny.append(sequenceToJsgf(pattern.first(pattern.size() - 1)));
        } else {
            const QString rule = u"<command%1>"_s.arg(i);
            jsgf += rule + u" = "_s + sequenceToJsgf(pattern) + u";\n"_s;
            top.append(rule);
        }
    }
    QStringList afterGarbage;
    if (!afterAny.isEmpty()) {
        jsgf += u"<afterAny> = "_s + afterAny.join(u" | "_s) + u";\n"_s;
        afterGarbage.append(u"<afterAny>"_s);
    }
    if (!beforeAny.isEmpty()) {
        jsgf += u"<beforeAny> = "_s + beforeAny.join(u" | "_s) + u";\n"_s;
        afterGarbage.append(u"<beforeAny> <garbage>*"_s);
    }
    afterGarbage.append(u"<garbage>"_s);
    top.append(u"<garbage>* ("_s + afterGarbage.join(u" | "_s) + u")"_s);
    jsgf += u"public <utterance> = "_s + top.join(u" | "_s) + u";\n"_s;
    return jsgf;
}

QStringList CommandGrammar::commandWords(const QString &name) const
{
    QStringList words;
    for (const Entry &entry : m_entries) {
        if (entry.name == name)
            collectWords(entry.pattern, words);
    }
    words.removeDuplicates();
    return words;
}

bool CommandGrammar::isCommandWord(const QString &word) const
{
    return !commandOfWord(word).isEmpty();
}

QString CommandGrammar::commandOfWord(const QString &word) const
{
    for (const Entry &entry : m_entries) {
        QStringList words;
        collectWords(entry.pattern, words);
        if (words.contains(word))
            return entry.name;
    }
    return {};
}

QString CommandGrammar::toWordJsgf(const QStringList &excluded) const
{
    QList<VoiceSequence> patterns;
    for (const Entry &entry : m_entries)
        patterns.append(entry.pattern);
    const QStringList own = allCommandWords(patterns);
    QStringList choices;
    for (const QString &word : own) {
        if (!excluded.contains(word))
            choices.append(word);
    }
    const QStringList garbage = usableGarbage(own);
    QString jsgf = u"#JSGF V1.0;\ngrammar word;\n<garbage> = "_s + garbage.join(u" | "_s) + u";\n"_s;
    if (choices.isEmpty())
        return jsgf + u"public <word> = <garbage>+;\n"_s;
    return jsgf + u"public <word> = <garbage>* [ "_s + choices.join(u" | "_s) + u" ] <garbage>*;\n"_s;
}

std::pair<bool, bool> CommandGrammar::wordsAllowedAround(const QString &name) const
{
    for (const Entry &entry : m_entries) {
        if (entry.name == name)
            return {entry.pattern.constFirst().kind == VoicePattern::Kind::AnyWords,
                    entry.pattern.constLast().kind == VoicePattern::Kind::AnyWords};
    }
    return {true, true};
}

QStringList CommandGrammar::match(const QStringList &heardWords) const
{
    QStringList words;
    for (const QString &word : heardWords)
        words.append(word.toLower());
    // Words only where the voice text has "...": "please reset" and "three little pigs" are no
    // command.
    QStringList names;
    for (const Entry &entry : m_entries) {
        const Continuation atEnd = [&](qsizetype pos) { return pos == words.size(); };
        if (matchSequence(entry.pattern, 0, words, 0, atEnd))
            names.append(entry.name);
    }
    return names;
}

} // namespace listen

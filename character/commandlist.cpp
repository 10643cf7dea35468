// SPDX-License-Identifier: GPL-3.0-or-later
#include "character/commandlist.h"

#include <algorithm>

#include "character/voicetext.h"

using namespace Qt::StringLiterals;

namespace character {

CommandList::CommandList(std::function<void()> changed)
    : m_changed(std::move(changed))
{
}

void CommandList::Add(const QString &name, const QString &caption, const QString &voice, bool enabled, bool visible)
{
    const Entry entry{name, caption, voice, enabled, visible};
    auto it = std::find_if(m_entries.begin(), m_entries.end(), [&](const Entry &e) { return e.name == name; });
    if (it != m_entries.end())
        *it = entry;
    else
        m_entries << entry;
    if (m_changed)
        m_changed();
}

namespace {

struct Sayable
{
    QString text;
    bool enabled = false;
};

// The words of a voice text as a child would say them: the first of alternatives, optional words
// and any words left out.
void sayableWords(const VoiceSequence &sequence, QStringList &out)
{
    for (const VoicePattern &item : sequence) {
        if (item.kind == VoicePattern::Kind::Word)
            out << item.word;
        else if (item.kind == VoicePattern::Kind::Group && !item.alternatives.isEmpty())
            sayableWords(item.alternatives.constFirst(), out);
    }
}

Sayable sayable(const CommandList::Entry &entry)
{
    const VoiceSequence voice = parseVoiceText(entry.voice);
    QStringList words;
    sayableWords(voice, words);
    if (words.isEmpty())
        return {};
    if (voice.constFirst().kind == VoicePattern::Kind::AnyWords) {
        QString caption = entry.caption;
        caption.replace(u"&&"_s, u"\x01"_s).remove(u'&').replace(u"\x01"_s, u"&"_s).replace(u"..."_s, u" "_s);
        const QStringList captionWords = caption.simplified().split(u' ', Qt::SkipEmptyParts);
        if (captionWords.size() > words.size())
            words = captionWords.first(captionWords.size() - words.size()) + words;
    }
    QString text = words.join(u' ');
    text[0] = text[0].toUpper();
    return {text, entry.enabled};
}

QString leadingWords(const QString &text)
{
    const qsizetype space = text.lastIndexOf(u' ');
    return space < 0 ? QString() : text.left(space);
}

} // namespace

QString sayableCommands(const QList<CommandList::Entry> &entries)
{
    QList<Sayable> all;
    for (const CommandList::Entry &entry : entries) {
        if (const Sayable s = sayable(entry); !s.text.isEmpty())
            all << s;
    }
    // A shortened run must not take in a disabled command between its ends.
    QStringList parts;
    for (qsizetype i = 0; i < all.size();) {
        if (!all.at(i).enabled) {
            ++i;
            continue;
        }
        const QString lead = leadingWords(all.at(i).text);
        qsizetype end = i + 1;
        while (!lead.isEmpty() && end < all.size() && all.at(end).enabled && leadingWords(all.at(end).text) == lead)
            ++end;
        if (end - i >= 3) {
            parts << all.at(i).text + u" ... "_s + all.at(end - 1).text;
        } else {
            for (qsizetype k = i; k < end; ++k)
                parts << all.at(k).text;
        }
        i = end;
    }
    return parts.join(u", "_s);
}

} // namespace character

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Offline recognition of the character's spoken commands.
//
// CommandGrammar turns the voice texts of the registered commands into a finite-state grammar for
// the decoder and maps what the decoder heard back to command names. PronunciationDictionary picks
// the grammar's words out of the large pronouncing dictionary, so the decoder loads a few hundred
// entries instead of a hundred thousand. CommandDecoder runs pocketsphinx over one utterance of
// 16 kHz mono audio, and SphinxRecognizer records that utterance from the microphone while the
// child holds the listening key and decodes it on a worker thread.

#include <memory>
#include <utility>

#include <QList>
#include <QString>
#include <QStringList>

#include "character/recognizer.h"
#include "character/voicetext.h"

namespace listen {

// One voice text parsed, its words as the decoder spells them (lower case, digits as words).
using VoicePattern = character::VoicePattern;
using VoiceSequence = character::VoiceSequence;

class CommandGrammar
{
public:
    CommandGrammar();

    // Disabled commands and commands whose voice text has no word are left out.
    void setCommands(const QList<character::VoiceCommand> &commands);
    QStringList commandNames() const;

    // The words that "..." stands for in the grammar, and a few short phrases (words separated by
    // a space) for words that only sound unlike a command word next to another. They carry no
    // meaning; they let the decoder soak up whatever the child says around a command, and a
    // sentence made of them alone is heard as no command at all.
    static QStringList garbageWords();

    // Every word the grammar can produce, lower case, sorted, without duplicates.
    QStringList words() const;
    // The JSGF text of the grammar: any registered command, with garbage words where its voice
    // text has "...", or garbage words alone. Commands whose voice text ends with "..." may have
    // garbage words in front as well, for other voices in the room: a path through the grammar
    // is no command until match() agrees on the words the speaker said.
    QString toJsgf() const;

    // The words of a command's own voice text, without "..." and brackets: the words that tell it
    // from the others.
    QStringList commandWords(const QString &name) const;

    // Whether the command's voice text lets other words come before and after its own ("..." at
    // its start or end).
    std::pair<bool, bool> wordsAllowedAround(const QString &name) const;

    bool isCommandWord(const QString &word) const;
    // The first command whose voice text has the word; empty for none.
    QString commandOfWord(const QString &word) const;
    // A grammar of one word: a command word or a garbage word, less the excluded ones.
    QString toWordJsgf(const QStringList &excluded) const;

    // The names of the commands whose voice text matches the words heard, in registration order.
    QStringList match(const QStringList &heardWords) const;

    // Parses one voice text; returns an empty sequence when it is malformed or has no word.
    static VoiceSequence parse(const QString &voice);
    // Lower-case words, "..." and the brackets of a voice text as separate tokens.
    static QStringList tokenize(const QString &voice);

private:
    struct Entry
    {
        QString name;
        VoiceSequence pattern;
    };
    QList<Entry> m_entries;
};

} // namespace listen

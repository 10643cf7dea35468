// SPDX-License-Identifier: GPL-3.0-or-later
#include <QTemporaryFile>
#include <QTest>

#include "listen/commanddecoder.h"
#include "listen/commandgrammar.h"
#include "listen/pronunciationdictionary.h"

using namespace Qt::StringLiterals;

class TestPronunciationDictionary : public QObject
{
    Q_OBJECT

private slots:
    void extractKeepsVariantsOfWantedWordsOnly()
    {
        QTemporaryFile file;
        QVERIFY(file.open());
        file.write("exit EH1 G Z AH0 T\nexit(2) EH1 K S AH0 T\nexile EH1 G Z AY0 L\nreset R IY0 S EH1 T\n"
                   "  \nbroken\n");
        file.flush();
        listen::PronunciationDictionary dictionary;
        QVERIFY(dictionary.load(file.fileName(), {u"Exit"_s, u"reset"_s, u"zebra"_s}));
        QVERIFY(dictionary.contains(u"exit"_s));
        QVERIFY(!dictionary.contains(u"exile"_s));
        QCOMPARE(dictionary.missingWords({u"exit"_s, u"zebra"_s}), QStringList{u"zebra"_s});
        QCOMPARE(dictionary.toText(),
                 u"exit EH1 G Z AH0 T\nexit(2) EH1 K S AH0 T\nreset R IY0 S EH1 T\n"_s);

        // Everyday forms join a word's variants once, and never bring in a word of their own.
        dictionary.addVariant(u"reset"_s, u"R  IH S EH T"_s);
        dictionary.addVariant(u"reset"_s, u"R IH S EH T"_s);
        dictionary.addVariant(u"exit"_s, u"EH1 K S AH0 T"_s);
        dictionary.addVariant(u"zebra"_s, u"Z IY B R AH"_s);
        QCOMPARE(dictionary.toText(), u"exit EH1 G Z AH0 T\nexit(2) EH1 K S AH0 T\nreset R IY0 S EH1 T\n"
                                      "reset(2) R IH S EH T\n"_s);
    }

    void unreadableFileFails()
    {
        listen::PronunciationDictionary dictionary;
        QVERIFY(!dictionary.load(u"/nonexistent/dictionary"_s, {u"exit"_s}));
    }

    // The grammar's garbage and courtesy words must all be pronounceable, or the decoder
    // refuses the grammar and the child cannot be heard at all.
    void systemDictionaryKnowsEveryGrammarWord()
    {
        QVERIFY2(QFile::exists(listen::CommandDecoder::defaultDictionaryFile()),
                 "the US English pronouncing dictionary is missing; `make test` installs it");
        listen::CommandGrammar grammar;
        grammar.setCommands({{u"Reset"_s, u"Reset ..."_s, true}, {u"LevelFour"_s, u"... Four"_s, true},
                             {u"Exit"_s, u"Exit ..."_s, true}});
        listen::PronunciationDictionary dictionary;
        QVERIFY(dictionary.load(listen::CommandDecoder::defaultDictionaryFile(), grammar.words()));
        QCOMPARE(dictionary.missingWords(grammar.words()), QStringList{});
    }
};

QTEST_GUILESS_MAIN(TestPronunciationDictionary)
#include "tst_pronunciationdictionary.moc"

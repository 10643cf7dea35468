// SPDX-License-Identifier: GPL-3.0-or-later
#include <QTest>

#include "listen/commandgrammar.h"

using namespace Qt::StringLiterals;
using character::VoiceCommand;

class TestCommandGrammar : public QObject
{
    Q_OBJECT

private:
    static QList<VoiceCommand> programCommands()
    {
        return {{u"Reset"_s, u"Reset ..."_s, true},       {u"LevelOne"_s, u"... One"_s, true},
                {u"LevelTwo"_s, u"... Two"_s, true},      {u"LevelThree"_s, u"... Three"_s, true},
                {u"LevelFour"_s, u"... Four"_s, true},    {u"Exit"_s, u"Exit ..."_s, true},
                {u"Colour"_s, u"[show] (red | green) dots"_s, true}};
    }

private slots:
    void tokenizeSplitsNotation_data()
    {
        QTest::addColumn<QString>("voice");
        QTest::addColumn<QStringList>("tokens");
        QTest::newRow("trailing any") << u"Reset ..."_s << QStringList{u"reset"_s, u"..."_s};
        QTest::newRow("glued brackets") << u"[please](red|green)"_s
                                        << QStringList{u"["_s, u"please"_s, u"]"_s, u"("_s, u"red"_s, u"|"_s,
                                                       u"green"_s, u")"_s};
        QTest::newRow("ellipsis character") << u"…One"_s << QStringList{u"..."_s, u"one"_s};
        QTest::newRow("digits said as words") << u"Level 3"_s << QStringList{u"level"_s, u"three"_s};
        QTest::newRow("punctuation separates") << u"Stop, now!"_s << QStringList{u"stop"_s, u"now"_s};
    }
    void tokenizeSplitsNotation()
    {
        QFETCH(QString, voice);
        QFETCH(QStringList, tokens);
        QCOMPARE(listen::CommandGrammar::tokenize(voice), tokens);
    }

    void malformedOrWordlessVoiceIsRejected_data()
    {
        QTest::addColumn<QString>("voice");
        QTest::newRow("unclosed group") << u"(red | green"_s;
        QTest::newRow("unopened optional") << u"red ]"_s;
        QTest::newRow("stray bar") << u"red | green"_s;
        QTest::newRow("only any") << u"..."_s;
        QTest::newRow("only optional") << u"[please]"_s;
        QTest::newRow("empty") << QString();
    }
    void malformedOrWordlessVoiceIsRejected()
    {
        QFETCH(QString, voice);
        QVERIFY(listen::CommandGrammar::parse(voice).isEmpty());
        listen::CommandGrammar grammar;
        grammar.setCommands({{u"Bad"_s, voice, true}, {u"Reset"_s, u"Reset ..."_s, true}});
        QCOMPARE(grammar.commandNames(), QStringList{u"Reset"_s});
    }

    void heardWordsMapToCommands_data()
    {
        QTest::addColumn<QStringList>("heard");
        QTest::addColumn<QStringList>("names");
        const auto words = [](const char *text) { return QString::fromLatin1(text).split(u' ', Qt::SkipEmptyParts); };
        QTest::newRow("reset alone") << words("reset") << QStringList{u"Reset"_s};
        QTest::newRow("reset then anything") << words("reset the game now") << QStringList{u"Reset"_s};
        QTest::newRow("word before reset") << words("please reset") << QStringList{};
        QTest::newRow("words before exit") << words("i want to exit") << QStringList{};
        QTest::newRow("word after number") << words("level two please") << QStringList{};
        QTest::newRow("level three") << words("level three") << QStringList{u"LevelThree"_s};
        QTest::newRow("bare number") << words("three") << QStringList{u"LevelThree"_s};
        QTest::newRow("number not last") << words("three cats") << QStringList{};
        QTest::newRow("exit now") << words("exit now") << QStringList{u"Exit"_s};
        QTest::newRow("two commands at once") << words("reset one") << QStringList{u"Reset"_s, u"LevelOne"_s};
        QTest::newRow("optional left out") << words("red dots") << QStringList{u"Colour"_s};
        QTest::newRow("optional said") << words("show green dots") << QStringList{u"Colour"_s};
        QTest::newRow("word before optional") << words("please show red dots") << QStringList{};
        QTest::newRow("alternative missing") << words("show dots") << QStringList{};
        QTest::newRow("upper case heard") << words("EXIT") << QStringList{u"Exit"_s};
        QTest::newRow("no command") << words("i like cats") << QStringList{};
        QTest::newRow("nothing") << QStringList{} << QStringList{};
    }
    void heardWordsMapToCommands()
    {
        QFETCH(QStringList, heard);
        QFETCH(QStringList, names);
        listen::CommandGrammar grammar;
        grammar.setCommands(programCommands());
        QCOMPARE(grammar.match(heard), names);
    }

    void disabledCommandsAreLeftOut()
    {
        QList<VoiceCommand> commands = programCommands();
        commands[2].enabled = false; // LevelTwo
        listen::CommandGrammar grammar;
        grammar.setCommands(commands);
        QVERIFY(!grammar.commandNames().contains(u"LevelTwo"_s));
        QVERIFY(grammar.match({u"two"_s}).isEmpty());
        QVERIFY(!grammar.words().contains(u"two"_s));
        QVERIFY(!grammar.toJsgf().contains(u" two"_s));
        QCOMPARE(grammar.match({u"level"_s, u"four"_s}), QStringList{u"LevelFour"_s});
    }

    void jsgfSharesTheGarbageBetweenCommands()
    {
        listen::CommandGrammar grammar;
        QList<VoiceCommand> commands = programCommands();
        commands.append({u"Both"_s, u"... show ..."_s, true});
        grammar.setCommands(commands);
        const QString jsgf = grammar.toJsgf();
        QVERIFY(jsgf.startsWith(u"#JSGF V1.0;"_s));
        // The commands with "..." in front share one garbage loop, which also makes the path of
        // no command (one garbage word at least); those with "..." behind share another, and
        // the one in front as well, for voices in the room that are not the speaker's.
        QVERIFY(jsgf.contains(u"<afterAny> = one | two | three | four;"_s));
        QVERIFY(jsgf.contains(u"<beforeAny> = reset | exit;"_s));
        // Others keep a rule of their own, with garbage only where their voice text has "...".
        QVERIFY(jsgf.contains(u"<command6> = [show] (red | green) dots;"_s));
        QVERIFY(jsgf.contains(u"<command7> = <garbage>* show <garbage>*;"_s));
        QVERIFY(jsgf.contains(u"public <utterance> = <command6> | <command7> | "
                              "<garbage>* (<afterAny> | <beforeAny> <garbage>* | <garbage>);"_s));
        // However many commands there are, the garbage is copied a fixed number of times.
        commands.append({u"LevelFive"_s, u"... Five"_s, true});
        commands.append({u"Quit"_s, u"Quit ..."_s, true});
        grammar.setCommands(commands);
        QCOMPARE(grammar.toJsgf().count(u"<garbage>"_s), jsgf.count(u"<garbage>"_s));
    }

    void garbageNeverSoundsLikeACommand()
    {
        const QStringList garbage = listen::CommandGrammar::garbageWords();
        for (const QString &soundAlike : {u"to"_s, u"too"_s, u"two"_s, u"for"_s, u"four"_s, u"won"_s, u"one"_s,
                                          u"three"_s, u"free"_s, u"tree"_s, u"exist"_s, u"set"_s, u"do"_s}) {
            QVERIFY2(!garbage.contains(soundAlike), qPrintable(soundAlike));
        }
        // A command that uses a garbage word takes it out of the loop, or the loop would eat it.
        listen::CommandGrammar grammar;
        grammar.setCommands({{u"Stop"_s, u"stop ..."_s, true}});
        const QString jsgf = grammar.toJsgf();
        const QString garbageRule = jsgf.section(u'\n', 2, 2);
        QVERIFY(garbageRule.startsWith(u"<garbage> ="_s));
        QVERIFY(!garbageRule.contains(u" stop "_s) && !garbageRule.contains(u" stop;"_s));
        QVERIFY(grammar.words().contains(u"stop"_s));

        // "want" sounds like "one" and comes in only behind "i"; a phrase is one choice in the
        // loop, and each of its words needs a pronunciation.
        QVERIFY(!garbage.contains(u"want"_s));
        QVERIFY(garbageRule.contains(u"| i want |"_s) || garbageRule.contains(u"| i want;"_s));
        QVERIFY(grammar.words().contains(u"want"_s));
        // A phrase that holds a command word goes out of the loop with it.
        grammar.setCommands({{u"Want"_s, u"... want"_s, true}});
        QVERIFY(!grammar.toJsgf().contains(u"i want"_s));
        QVERIFY(grammar.words().contains(u"i"_s));
    }

    void wordGrammarExcludesRankedWords()
    {
        listen::CommandGrammar grammar;
        grammar.setCommands(programCommands());
        const QString jsgf = grammar.toWordJsgf({u"three"_s});
        QVERIFY(jsgf.contains(u"[ "_s));
        QVERIFY(!jsgf.contains(u" three "_s));
        QVERIFY(jsgf.contains(u" two "_s));
        QCOMPARE(grammar.commandOfWord(u"dots"_s), u"Colour"_s);
        QVERIFY(!grammar.isCommandWord(u"level"_s));
    }
};

QTEST_GUILESS_MAIN(TestCommandGrammar)
#include "tst_commandgrammar.moc"

// SPDX-License-Identifier: GPL-3.0-or-later
// Zumbrel as a German-speaking child's desktop starts it (LANG=de_DE.UTF-8, set by the test's
// command): German captions and menus, Merlin's German balloon text, and a German voice.
#include <QAction>
#include <QGroupBox>
#include <QMenuBar>
#include <QTest>
#include <QTimer>

#include "app/application.h"
#include "app/mainwindow.h"
#include "appfixture.h"
#include "characterdesktop/balloonwindow.h"
#include "characterdesktop/desktopagent.h"
#include "characterdesktop/desktopcharacter.h"
#include "platform/fonts.h"
#include "speech/espeaksynthesizer.h"
#include "translations/language.h"

using namespace Qt::StringLiterals;

class TestGermanRun : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void captionsBalloonAndVoiceAreGerman();

private:
    QString m_language;
};

void TestGermanRun::initTestCase()
{
    QCOMPARE(qgetenv("LANG"), QByteArray("de_DE.UTF-8"));
    m_language = translations::installFromEnvironment(*qApp);
    platform::installFontSubstitutions();
}

void TestGermanRun::captionsBalloonAndVoiceAreGerman()
{
    QCOMPARE(m_language, u"de"_s);
    QCOMPARE(speech::voiceEngineFor(m_language), speech::VoiceEngine::Espeak);

    character::DesktopAgent agent;
    agent.setCharacterDirectories({QStringLiteral(ZUMBREL_SOURCE_DIR "/data")});
    agent.setTrayIconEnabled(false);
    agent.setIdleDelay(-1);
    int engines = 0;
    agent.setSpeechEngineFactory([this, &engines] {
        ++engines;
        return speech::createSpeechEngineFor(m_language);
    });
    testsupport::FixedRandom random;
    testsupport::FakeOutside outside;
    app::MainWindow window(outside.services(agent, random));
    QVERIFY(window.Form_Load());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QCOMPARE(window.findChild<QPushButton *>(u"cmdSkip"_s)->text(), u"&Passen"_s);
    QCOMPARE(window.findChild<QGroupBox *>(u"Frame2"_s)->title(), u"Punkte"_s);
    QCOMPARE(window.findChild<QLabel *>(u"Label3"_s)->text(), u"Falsch:"_s);
    QCOMPARE(window.menuBar()->actions().at(1)->text(), u"&Aufgaben"_s);
    QCOMPARE(window.findChild<QAction *>(u"mnuQuestionsMultiplication"_s)->text(), u"M&alaufgaben"_s);

    character::DesktopCharacter *merlin = agent.character(u"MyChar"_s);
    QVERIFY(merlin);
    QTRY_VERIFY_WITH_TIMEOUT(merlin->balloon()->text().startsWith(u"Willkommen!"_s), 20000);
    QVERIFY(engines > 0);
    QTRY_VERIFY_WITH_TIMEOUT(merlin->balloon()->text().contains(u"bereit?"_s), 20000);

    // A wrong answer: the balloon names the right one in German, the number in digits. The answer
    // handler waits for Merlin, so the balloon is watched from inside that wait.
    QStringList shown;
    QTimer watch;
    connect(&watch, &QTimer::timeout, this, [&] {
        const QString text = merlin->balloon()->isVisible() ? merlin->balloon()->text() : QString();
        if (!text.isEmpty() && (shown.isEmpty() || shown.last() != text))
            shown << text;
    });
    watch.start(5);
    auto *answer = window.findChild<QLineEdit *>(u"txtAnswer"_s);
    const int expected = answer->property("Tag").toString().toInt();
    answer->setText(QString::number(expected + 1));
    window.findChild<QPushButton *>(u"cmdOK"_s)->click();
    watch.stop();
    const QString sentence = u"Die richtige Antwort ist %1"_s.arg(expected);
    QVERIFY2(std::any_of(shown.cbegin(), shown.cend(), [&](const QString &t) { return t.contains(sentence); }),
             qPrintable(shown.join(u" / "_s)));
    // Word by word: the balloon grew through the sentence before it was whole.
    QVERIFY2(std::any_of(shown.cbegin(), shown.cend(), [](const QString &t) { return t.endsWith(u"Die richtige"_s); }),
             qPrintable(shown.join(u" / "_s)));

    // The German voice makes sound for a short sentence.
    speech::EspeakSynthesizer voice(m_language);
    const std::optional<speech::Utterance> spoken = voice.synthesize(sentence, {});
    QVERIFY(spoken);
    QVERIFY(spoken->sampleRate > 0);
    QVERIFY(spoken->sampleCount() > spoken->sampleRate / 2);
    QCOMPARE(spoken->words.last().shownSoFar, sentence);
}

QTEST_MAIN(TestGermanRun)
#include "tst_germanrun.moc"

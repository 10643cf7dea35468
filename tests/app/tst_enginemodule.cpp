// SPDX-License-Identifier: GPL-3.0-or-later
// The engines module as the program finds and loads it, and what the program has when it cannot:
// no engines, and a reason that names the file.
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include "app/enginemodule.h"
#include "platform/datapaths.h"

using namespace Qt::StringLiterals;

class TestEngineModule : public QObject
{
    Q_OBJECT

private slots:
    void loadsOnlyARealModule_data()
    {
        QTest::addColumn<QString>("content"); // what the module file in the folder is
        QTest::addColumn<bool>("loads");
        QTest::addColumn<QString>("reason");
        QTest::newRow("the build's module") << u"module"_s << true << QString();
        QTest::newRow("no module") << QString() << false << u"was not found"_s;
        QTest::newRow("not a library") << u"text"_s << false << u"zumbrel_engines.so"_s;
        QTest::newRow("a library without the entry point")
            << u"other library"_s << false << u"not a module of this version"_s;
    }

    void loadsOnlyARealModule()
    {
        QFETCH(QString, content);
        QFETCH(bool, loads);
        QFETCH(QString, reason);
        const QStringList buildFolders = platform::moduleDirectories();
        QVERIFY2(!buildFolders.isEmpty(), "the build's module folder is not noted beside the test");
        const QString buildFolder = buildFolders.first();
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString module = dir.filePath(u"zumbrel_engines.so"_s);
        if (content == u"module"_s) {
            QVERIFY(QFile::copy(buildFolder + u"/zumbrel_engines.so"_s, module));
        } else if (content == u"other library"_s) {
            QVERIFY(QFile::copy(QStringLiteral(ZUMBREL_OTHER_LIBRARY), module));
        } else if (content == u"text"_s) {
            QFile file(module);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("not a library\n");
        }

        app::EngineModule engines({dir.path()});
        if (!loads)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"Speech, spoken commands and sounds are off"_s));
        QCOMPARE(engines.load(), loads);
        QVERIFY2(engines.errorString().contains(reason), qPrintable(engines.errorString()));
        // Asked again, the module is not looked for again, and the answer stays.
        QCOMPARE(engines.load(), loads);
        QCOMPARE(engines.createSoundPlayer() != nullptr, loads);
        QCOMPARE(engines.createRecognizer() != nullptr, loads);
        if (!loads)
            return;
        // The voice it makes speaks, and says when it is done.
        std::unique_ptr<character::SpeechEngine> voice = engines.createSpeechEngine(QString());
        QVERIFY(voice);
        QSignalSpy finished(voice.get(), &character::SpeechEngine::finished);
        voice->speak(u"One."_s, {});
        QVERIFY(finished.wait(10000));
    }

    // Loaded on a worker thread, the module answers on the main thread, once, and only while the
    // one who asked is still there.
    void loadsInTheBackground_data()
    {
        QTest::addColumn<bool>("contextStays");
        QTest::newRow("the asker stays") << true;
        QTest::newRow("the asker is gone") << false;
    }

    void loadsInTheBackground()
    {
        QFETCH(bool, contextStays);
        app::EngineModule engines;
        auto context = std::make_unique<QObject>();
        int answers = 0;
        bool onMainThread = false;
        engines.loadInBackground(context.get(), [&] {
            ++answers;
            onMainThread = QThread::currentThread() == qApp->thread();
        });
        engines.loadInBackground(context.get(), [&] { answers += 100; });
        if (!contextStays)
            context.reset();
        // Asking for an engine meanwhile waits for the load instead of starting another.
        QVERIFY(engines.createSoundPlayer());
        // The worker posted its answer before that wait ended; one turn delivers it.
        QCoreApplication::processEvents();
        QCOMPARE(answers, contextStays ? 1 : 0);
        QCOMPARE(onMainThread, contextStays);
    }
};

QTEST_MAIN(TestEngineModule)
#include "tst_enginemodule.moc"

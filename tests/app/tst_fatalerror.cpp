// SPDX-License-Identifier: GPL-3.0-or-later
// An error that no handler caught: the application object reports it in a message box that
// names it, writes it to the terminal, and ends the program with a failure status. The test runs
// itself as a child program that throws from an event handler and answers the message box.
#include <cstdio>
#include <stdexcept>

#include <QMessageBox>
#include <QProcess>
#include <QTest>
#include <QTimer>

#include "app/application.h"

using namespace Qt::StringLiterals;

namespace {

constexpr char childFlag[] = "--throw-from-handler";

int runChild(int argc, char **argv, const QString &what)
{
    app::Application application(argc, argv);
    // Reads the message box as a person would, then closes it.
    QTimer reader;
    QObject::connect(&reader, &QTimer::timeout, &application, [] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            std::printf("title: %s\ntext: %s\n", qPrintable(box->windowTitle()), qPrintable(box->text()));
            std::fflush(stdout);
            box->accept();
        }
    });
    reader.start(10);
    QTimer::singleShot(0, &application, [what] {
        if (what == u"unknown")
            throw 42;
        throw std::runtime_error(what.toStdString());
    });
    return app::Application::exec();
}

} // namespace

class TestFatalError : public QObject
{
    Q_OBJECT

private slots:
    void uncaughtErrorIsReportedAndEndsTheProgram_data()
    {
        QTest::addColumn<QString>("thrown");
        QTest::addColumn<QString>("reported");
        QTest::newRow("a standard exception") << u"The abacus fell over."_s << u"The abacus fell over."_s;
        QTest::newRow("anything else") << u"unknown"_s << u"An unknown error occurred."_s;
    }

    void uncaughtErrorIsReportedAndEndsTheProgram()
    {
        QFETCH(QString, thrown);
        QFETCH(QString, reported);
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
        child.setProcessEnvironment(environment);
        child.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(childFlag), thrown});
        QVERIFY(child.waitForFinished(60000));
        const QString out = QString::fromLocal8Bit(child.readAllStandardOutput());
        const QString err = QString::fromLocal8Bit(child.readAllStandardError());
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), EXIT_FAILURE);
        QVERIFY2(out.contains(u"title: Zumbrel\n"_s), qPrintable(out));
        QVERIFY2(out.contains(u"text: Zumbrel has stopped because of an error:\n\n"_s + reported), qPrintable(out));
        QVERIFY2(err.contains(u"zumbrel: "_s + reported), qPrintable(err));
    }
};

int main(int argc, char **argv)
{
    if (argc > 2 && qstrcmp(argv[1], childFlag) == 0)
        return runChild(argc, argv, QString::fromLocal8Bit(argv[2]));
    QCoreApplication application(argc, argv);
    TestFatalError test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_fatalerror.moc"

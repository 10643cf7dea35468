// SPDX-License-Identifier: GPL-3.0-or-later
// The command line: what each argument list asks for, when a display counts as missing, and the
// real program answering --help and --version without any display at all.
#include <QProcess>
#include <QProcessEnvironment>
#include <QTest>

#include "app/commandline.h"
#include "buildinfo.h"

using namespace Qt::StringLiterals;
using app::CommandLineAction;

class tst_CommandLine : public QObject
{
    Q_OBJECT

private slots:
    void arguments_data();
    void arguments();
    void display_data();
    void display();
    void realProgram_data();
    void realProgram();
    void speaksTheDesktopsLanguage_data();
    void speaksTheDesktopsLanguage();
};

void tst_CommandLine::arguments_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<CommandLineAction>("action");
    QTest::addColumn<QString>("platform");
    QTest::addColumn<bool>("displayGiven");

    const auto run = CommandLineAction::Run;
    const auto error = CommandLineAction::Error;
    QTest::newRow("nothing") << QStringList() << run << QString() << false;
    QTest::newRow("--help") << QStringList{u"--help"_s} << CommandLineAction::ShowHelp << QString() << false;
    QTest::newRow("-h") << QStringList{u"-h"_s} << CommandLineAction::ShowHelp << QString() << false;
    QTest::newRow("--version") << QStringList{u"--version"_s} << CommandLineAction::ShowVersion << QString() << false;
    QTest::newRow("-v") << QStringList{u"-v"_s} << CommandLineAction::ShowVersion << QString() << false;
    QTest::newRow("help wins over what follows")
        << QStringList{u"--help"_s, u"--bogus"_s} << CommandLineAction::ShowHelp << QString() << false;
    QTest::newRow("Qt option with value") << QStringList{u"-platform"_s, u"offscreen"_s} << run << u"offscreen"_s
                                          << false;
    QTest::newRow("Qt option, two dashes and =")
        << QStringList{u"--platform=xcb"_s} << run << u"xcb"_s << false;
    QTest::newRow("value is not read as an option")
        << QStringList{u"-qwindowtitle"_s, u"--help"_s} << run << QString() << false;
    QTest::newRow("display named") << QStringList{u"-display"_s, u":3"_s} << run << QString() << true;
    QTest::newRow("flag Qt option") << QStringList{u"-reverse"_s} << run << QString() << false;
    QTest::newRow("unknown option") << QStringList{u"--bogus"_s} << error << QString() << false;
    QTest::newRow("unknown after a good one")
        << QStringList{u"-reverse"_s, u"-x"_s} << error << QString() << false;
    QTest::newRow("value missing") << QStringList{u"-platform"_s} << error << QString() << false;
    QTest::newRow("value on a flag") << QStringList{u"-reverse=1"_s} << error << QString() << false;
    QTest::newRow("bare word") << QStringList{u"sums"_s} << error << QString() << false;
    QTest::newRow("lone dash") << QStringList{u"-"_s} << error << QString() << false;
}

void tst_CommandLine::arguments()
{
    QFETCH(QStringList, arguments);
    QFETCH(CommandLineAction, action);
    QFETCH(QString, platform);
    QFETCH(bool, displayGiven);

    const app::CommandLineRequest request = app::parseCommandLine(arguments);
    QCOMPARE(request.action, action);
    QCOMPARE(request.platform, platform);
    QCOMPARE(request.displayGiven, displayGiven);
    // Every error names the argument it is about.
    if (action == CommandLineAction::Error)
        QVERIFY2(request.error.contains(arguments.last()), qPrintable(request.error));
}

void tst_CommandLine::display_data()
{
    QTest::addColumn<QString>("platform");
    QTest::addColumn<bool>("displayGiven");
    QTest::addColumn<QByteArray>("display");
    QTest::addColumn<QByteArray>("wayland");
    QTest::addColumn<bool>("missing");

    QTest::newRow("nothing at all") << QString() << false << QByteArray() << QByteArray() << true;
    QTest::newRow("X display") << QString() << false << QByteArray(":0") << QByteArray() << false;
    // Without XWayland there is no X server for the character's windows.
    QTest::newRow("Wayland without XWayland") << QString() << false << QByteArray() << QByteArray("wayland-0") << true;
    QTest::newRow("Wayland with XWayland") << QString() << false << QByteArray(":1") << QByteArray("wayland-0")
                                           << false;
    QTest::newRow("wayland asked for") << u"wayland"_s << false << QByteArray() << QByteArray("wayland-0") << false;
    QTest::newRow("xcb without display") << u"xcb"_s << false << QByteArray() << QByteArray() << true;
    QTest::newRow("-display given") << u"xcb"_s << true << QByteArray() << QByteArray() << false;
    QTest::newRow("offscreen") << u"offscreen"_s << false << QByteArray() << QByteArray() << false;
    QTest::newRow("vnc with options") << u"vnc:size=800x600"_s << false << QByteArray() << QByteArray() << false;
    QTest::newRow("wayland without socket") << u"wayland"_s << false << QByteArray() << QByteArray() << true;
}

void tst_CommandLine::display()
{
    QFETCH(QString, platform);
    QFETCH(bool, displayGiven);
    QFETCH(QByteArray, display);
    QFETCH(QByteArray, wayland);
    QFETCH(bool, missing);

    const QString problem = app::displayProblem(platform, displayGiven, display, wayland);
    QCOMPARE(!problem.isEmpty(), missing);
    if (missing)
        QVERIFY(problem.contains(u"DISPLAY"_s));
}

void tst_CommandLine::realProgram_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");
    QTest::addColumn<QByteArray>("display");
    QTest::addColumn<QByteArray>("wayland");

    const QString version = u"zumbrel "_s + QString::fromLatin1(buildinfo::versionString) + u'\n';
    const QByteArray none;
    QTest::newRow("--version") << QStringList{u"--version"_s} << 0 << version << QString() << none << none;
    QTest::newRow("--help") << QStringList{u"--help"_s} << 0 << app::helpText() << QString() << none << none;
    QTest::newRow("no display") << QStringList() << 1 << QString() << u"no display"_s << none << none;
    QTest::newRow("unknown option") << QStringList{u"--bogus"_s} << 2 << QString()
                                    << u"zumbrel: unknown option '--bogus'"_s << none << none;
    QTest::newRow("Wayland without XWayland") << QStringList() << 1 << QString() << u"XWayland"_s << none
                                              << QByteArray("wayland-0");
    // A display that is named but answers no one: no X server listens on display 87.
    QTest::newRow("display unreachable") << QStringList() << 1 << QString() << u"\":87\""_s << QByteArray(":87")
                                         << none;
}

void tst_CommandLine::realProgram()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, out);
    QFETCH(QString, err);
    QFETCH(QByteArray, display);
    QFETCH(QByteArray, wayland);

    // The environment of a text console or an ssh session without X forwarding, unless the row
    // names a display.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString &name : {u"DISPLAY"_s, u"WAYLAND_DISPLAY"_s, u"QT_QPA_PLATFORM"_s})
        environment.remove(name);
    if (!display.isEmpty())
        environment.insert(u"DISPLAY"_s, QString::fromLatin1(display));
    if (!wayland.isEmpty())
        environment.insert(u"WAYLAND_DISPLAY"_s, QString::fromLatin1(wayland));
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(QString::fromUtf8(ZUMBREL_PROGRAM), arguments);
    QVERIFY2(program.waitForFinished(30000), "the program did not end");
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    const QString stdOut = QString::fromLocal8Bit(program.readAllStandardOutput());
    const QString stdErr = QString::fromLocal8Bit(program.readAllStandardError());
    QCOMPARE(program.exitCode(), status);
    if (!out.isEmpty() || status != 0)
        QCOMPARE(stdOut, out);
    if (err.isEmpty())
        QCOMPARE(stdErr, QString());
    else // the toolkit may say its own word first
        QVERIFY2((stdErr.startsWith(u"zumbrel: "_s) || stdErr.contains(u"\nzumbrel: "_s)) && stdErr.contains(err),
                 qPrintable(stdErr));
}

// What the program prints in a terminal follows the desktop's language too.
void tst_CommandLine::speaksTheDesktopsLanguage_data()
{
    QTest::addColumn<QString>("lang");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("said");
    QTest::newRow("German help") << u"de_DE.UTF-8"_s << QStringList{u"--help"_s} << u"Aufruf: zumbrel"_s;
    QTest::newRow("French error") << u"fr_FR.UTF-8"_s << QStringList{u"--bogus"_s} << u"option inconnue '--bogus'"_s;
    QTest::newRow("Spanish, no display") << u"es_ES.UTF-8"_s << QStringList() << u"no hay pantalla"_s;
    QTest::newRow("English stays English") << u"C.UTF-8"_s << QStringList{u"--help"_s} << u"Usage: zumbrel"_s;
}

void tst_CommandLine::speaksTheDesktopsLanguage()
{
    QFETCH(QString, lang);
    QFETCH(QStringList, arguments);
    QFETCH(QString, said);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString &name : {u"DISPLAY"_s, u"WAYLAND_DISPLAY"_s, u"QT_QPA_PLATFORM"_s, u"LANGUAGE"_s,
                                u"LC_ALL"_s, u"LC_MESSAGES"_s})
        environment.remove(name);
    environment.insert(u"LANG"_s, lang);
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(QString::fromUtf8(ZUMBREL_PROGRAM), arguments);
    QVERIFY2(program.waitForFinished(30000), "the program did not end");
    const QString output = QString::fromUtf8(program.readAllStandardOutput() + program.readAllStandardError());
    QVERIFY2(output.contains(said), qPrintable(output));
}

QTEST_GUILESS_MAIN(tst_CommandLine)
#include "tst_commandline.moc"

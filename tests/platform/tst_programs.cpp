// SPDX-License-Identifier: GPL-3.0-or-later
// The file test and the detached program start that the About dialog relies on.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "platform/programs.h"

using namespace Qt::StringLiterals;

class tst_Programs : public QObject
{
    Q_OBJECT

private slots:
    void onlyOrdinaryFilesCount_data();
    void onlyOrdinaryFilesCount();
    void startFailsForWhatCannotRun();
};

void tst_Programs::onlyOrdinaryFilesCount_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("expected");
    QTest::newRow("ordinary file") << u"MSINFO32.EXE"_s << true;
    QTest::newRow("folder") << u"folder"_s << false;
    QTest::newRow("hidden file") << u".hidden"_s << false;
    QTest::newRow("missing") << u"missing"_s << false;
    QTest::newRow("other case") << u"msinfo32.exe"_s << false;
}

void tst_Programs::onlyOrdinaryFilesCount()
{
    QFETCH(QString, name);
    QFETCH(bool, expected);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    for (const auto &file : {u"MSINFO32.EXE"_s, u".hidden"_s}) {
        QFile f(dir.filePath(file));
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    QVERIFY(QDir(dir.path()).mkdir(u"folder"_s));

    platform::DesktopFileProbe probe;
    QCOMPARE(probe.isOrdinaryFile(dir.filePath(name)), expected);
}

void tst_Programs::startFailsForWhatCannotRun()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QFile plain(dir.filePath(u"not-a-program"_s));
    QVERIFY(plain.open(QIODevice::WriteOnly));
    plain.close();

    platform::DetachedProgramLauncher launcher;
    QVERIFY(!launcher.startDetached(QString()));
    QVERIFY(!launcher.startDetached(dir.filePath(u"missing"_s)));
    QVERIFY(!launcher.startDetached(plain.fileName()));
    QVERIFY(!launcher.startDetached(dir.path()));
}

QTEST_GUILESS_MAIN(tst_Programs)
#include "tst_programs.moc"

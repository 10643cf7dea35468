// SPDX-License-Identifier: GPL-3.0-or-later
// Finding and starting the system information tool through the registry, with doubles for the
// registry, the program start, the file test and the message box.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "about/frmabout.h"
#include "fakedialogs.h"
#include "fakes.h"

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(FakeValue)

namespace {

const QByteArray firstKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const QByteArray secondKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
const QString unavailable = u"System Information Is Unavailable At This Time"_s;

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

FakeValue absent()
{
    return {0, {}};
}

} // namespace

class tst_SysInfo : public QObject
{
    Q_OBJECT

private slots:
    void startSysInfo_data();
    void startSysInfo();
    void getKeyValue_data();
    void getKeyValue();
    void lookupAsksWithTheDesignedMaskAndRoot();
    void toolInFolder_data();
    void toolInFolder();
    void secondPressStartsAgain();
    void desktopToolStartsForReal();
    void unavailableMessageIsPlain();
};

void tst_SysInfo::startSysInfo_data()
{
    QTest::addColumn<FakeValue>("first");
    QTest::addColumn<bool>("firstDenied");
    QTest::addColumn<FakeValue>("second");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("startable");
    QTest::addColumn<QStringList>("expectedStarted");
    QTest::addColumn<bool>("expectMessage");
    QTest::addColumn<bool>("expectSecondConsulted");

    const QString tool = native(u"/usr/bin/sysinfo-tool"_s);
    const QByteArray folder = native(u"/opt/msinfo"_s).toLocal8Bit();
    const QString inFolder = native(u"/opt/msinfo/MSINFO32.EXE"_s);
    const FakeValue folderValue = stringValue(folder);

    QTest::newRow("first found and started")
        << stringValue(tool.toLocal8Bit()) << false << folderValue << QStringList{inFolder}
        << QStringList{tool, inFolder} << QStringList{tool} << false << false;
    QTest::newRow("first missing, second folder holds the tool")
        << absent() << false << folderValue << QStringList{inFolder} << QStringList{inFolder}
        << QStringList{inFolder} << false << true;
    QTest::newRow("first missing, second folder without the tool")
        << absent() << false << folderValue << QStringList{} << QStringList{inFolder} << QStringList{} << true
        << true;
    QTest::newRow("neither present") << absent() << false << absent() << QStringList{} << QStringList{tool}
                                     << QStringList{} << true << true;
    QTest::newRow("first names a missing file, second not consulted")
        << stringValue(tool.toLocal8Bit()) << false << folderValue << QStringList{inFolder}
        << QStringList{inFolder} << QStringList{} << true << false;
    QTest::newRow("first of another type counts as found, empty path fails to start")
        << FakeValue{3, QByteArray("\x01\x02\x03", 3)} << false << folderValue << QStringList{inFolder}
        << QStringList{inFolder} << QStringList{} << true << false;
    QTest::newRow("first fills the whole buffer without a terminator")
        << FakeValue{platform::RegSz, QByteArray(1024, 'A')} << false << folderValue << QStringList{inFolder}
        << QStringList{inFolder, QString(1024, u'A')} << QStringList{} << true << false;
    QTest::newRow("first just fits the buffer with its terminator")
        << stringValue(QByteArray(1023, 'B')) << false << absent() << QStringList{}
        << QStringList{QString(1023, u'B')} << QStringList{QString(1023, u'B')} << false << false;
    QTest::newRow("first too long for the buffer reads as missing")
        << stringValue(QByteArray(1024, 'C')) << false << folderValue << QStringList{inFolder}
        << QStringList{inFolder} << QStringList{inFolder} << false << true;
    QTest::newRow("first key cannot be opened reads as missing")
        << stringValue(tool.toLocal8Bit()) << true << folderValue << QStringList{inFolder}
        << QStringList{tool, inFolder} << QStringList{inFolder} << false << true;
}

void tst_SysInfo::startSysInfo()
{
    QFETCH(FakeValue, first);
    QFETCH(bool, firstDenied);
    QFETCH(FakeValue, second);
    QFETCH(QStringList, files);
    QFETCH(QStringList, startable);
    QFETCH(QStringList, expectedStarted);
    QFETCH(bool, expectMessage);
    QFETCH(bool, expectSecondConsulted);

    FakeRegistry registry;
    // The keys exist; whether their values do is the row's choice.
    registry.keys[firstKey];
    registry.keys[secondKey];
    if (first.type)
        registry.keys[firstKey].insert("PATH", first);
    if (firstDenied)
        registry.deniedKeys.insert(firstKey);
    if (second.type)
        registry.keys[secondKey].insert("MSINFO", second);
    FakeLauncher launcher;
    launcher.startable = QSet<QString>(startable.cbegin(), startable.cend());
    FakeFiles fileProbe;
    fileProbe.files = QSet<QString>(files.cbegin(), files.cend());
    testsupport::FakeDialogs messages;

    about::frmAbout dialog({&registry, &launcher, &fileProbe, &messages});
    dialog.StartSysInfo();

    QCOMPARE(launcher.started, expectedStarted);
    QCOMPARE(messages.informed.size(), expectMessage ? 1 : 0);
    if (expectMessage) {
        QCOMPARE(messages.informed.first().title, u"Zumbrel"_s);
        QCOMPARE(messages.informed.first().text, unavailable);
    }
    QCOMPARE(registry.openedKeys.contains(secondKey), expectSecondConsulted);
    QVERIFY2(registry.openHandles.isEmpty(), "every key opened is closed again");
}

void tst_SysInfo::getKeyValue_data()
{
    QTest::addColumn<FakeValue>("value");
    QTest::addColumn<QString>("initial");
    QTest::addColumn<bool>("expectFound");
    QTest::addColumn<QString>("expected");

    QTest::newRow("string taken unchanged") << stringValue("C:\\Program Files\\tool.exe") << u"old"_s << true
                                            << u"C:\\Program Files\\tool.exe"_s;
    QTest::newRow("empty string") << stringValue("") << u"old"_s << true << QString();
    QTest::newRow("string cut at its first zero")
        << FakeValue{platform::RegSz, QByteArray("abc\0def\0", 8)} << u"old"_s << true << u"abc"_s;
    QTest::newRow("number as decimal")
        << FakeValue{platform::RegDword, QByteArray("\x02\x01\x00\x00", 4)} << u"old"_s << true << u"258"_s;
    QTest::newRow("number zero") << FakeValue{platform::RegDword, QByteArray(4, '\0')} << u"old"_s << true
                                 << u"0"_s;
    QTest::newRow("largest number")
        << FakeValue{platform::RegDword, QByteArray("\xff\xff\xff\xff", 4)} << u"old"_s << true
        << u"4294967295"_s;
    QTest::newRow("other type leaves the text as it was")
        << FakeValue{11, QByteArray("\x01\x00\x00\x00\x00\x00\x00\x00", 8)} << u"old"_s << true << u"old"_s;
    QTest::newRow("missing value empties the text") << absent() << u"old"_s << false << QString();
    QTest::newRow("value too long empties the text") << stringValue(QByteArray(2000, 'x')) << u"old"_s << false
                                                     << QString();
}

void tst_SysInfo::getKeyValue()
{
    QFETCH(FakeValue, value);
    QFETCH(QString, initial);
    QFETCH(bool, expectFound);
    QFETCH(QString, expected);

    FakeRegistry registry;
    registry.keys["Key"];
    if (value.type)
        registry.keys["Key"].insert("Value", value);
    FakeLauncher launcher;
    FakeFiles fileProbe;
    testsupport::FakeDialogs messages;
    about::frmAbout dialog({&registry, &launcher, &fileProbe, &messages});

    QString keyVal = initial;
    QCOMPARE(dialog.GetKeyValue(platform::HkeyLocalMachine, u"Key"_s, u"Value"_s, keyVal), expectFound);
    QCOMPARE(keyVal, expected);
    QVERIFY(registry.openHandles.isEmpty());
}

void tst_SysInfo::lookupAsksWithTheDesignedMaskAndRoot()
{
    FakeRegistry registry;
    FakeLauncher launcher;
    FakeFiles fileProbe;
    testsupport::FakeDialogs messages;
    about::frmAbout dialog({&registry, &launcher, &fileProbe, &messages});

    // Unopenable keys: the fake accepts only the sign-widened HKEY_LOCAL_MACHINE as root.
    QString keyVal = u"old"_s;
    QVERIFY(!dialog.GetKeyValue(platform::HkeyLocalMachine, u"Missing"_s, u"Value"_s, keyVal));
    QVERIFY(keyVal.isEmpty());
    QCOMPARE(registry.accessMasks, QList<quint32>{0x2003F});
    QCOMPARE(registry.options, QList<quint32>{0});

    keyVal = u"old"_s;
    QVERIFY(!dialog.GetKeyValue(qint32(0x80000001u), u"Missing"_s, u"Value"_s, keyVal));
    QVERIFY(keyVal.isEmpty());
}

void tst_SysInfo::toolInFolder_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("expected");
    QTest::newRow("plain folder") << native(u"/opt/msinfo"_s) << native(u"/opt/msinfo/MSINFO32.EXE"_s);
    QTest::newRow("folder with its separator") << native(u"/opt/msinfo/"_s) << native(u"/opt/msinfo/MSINFO32.EXE"_s);
}

void tst_SysInfo::toolInFolder()
{
    QFETCH(QString, folder);
    QFETCH(QString, expected);
    QCOMPARE(about::frmAbout::toolInFolder(folder), expected);
}

void tst_SysInfo::secondPressStartsAgain()
{
    const QString tool = native(u"/usr/bin/sysinfo-tool"_s);
    FakeRegistry registry;
    registry.keys[firstKey].insert("PATH", stringValue(tool.toLocal8Bit()));
    FakeLauncher launcher;
    launcher.startable.insert(tool);
    FakeFiles fileProbe;
    testsupport::FakeDialogs messages;
    about::frmAbout dialog({&registry, &launcher, &fileProbe, &messages});
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));

    auto *cmdSysInfo = dialog.findChild<QPushButton *>(u"cmdSysInfo"_s);
    QVERIFY(cmdSysInfo);
    cmdSysInfo->click();
    cmdSysInfo->click();
    QCOMPARE(launcher.started, (QStringList{tool, tool}));
    QVERIFY(messages.informed.isEmpty());
    QVERIFY(dialog.isVisible());
}

void tst_SysInfo::desktopToolStartsForReal()
{
    // The dialog's own registry layer, launcher and file test, with a stand-in tool on the PATH
    // that leaves a mark when it runs.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString tool = dir.filePath(u"hardinfo"_s);
    const QString mark = dir.filePath(u"ran"_s);
    {
        QFile script(tool);
        QVERIFY(script.open(QIODevice::WriteOnly));
        // Shell built-ins only: the PATH holds nothing else.
        script.write("#!/bin/sh\n: > \"${0%/*}/ran\"\n");
        script.close();
        QVERIFY(script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    }
    const QByteArray oldPath = qgetenv("PATH");
    const auto restorePath = qScopeGuard([&oldPath] { qputenv("PATH", oldPath); });

    testsupport::FakeDialogs messages;
    qputenv("PATH", dir.path().toLocal8Bit());
    {
        about::frmAbout dialog({nullptr, nullptr, nullptr, &messages});
        dialog.StartSysInfo();
    }
    QTRY_VERIFY(QFile::exists(mark));
    QVERIFY(messages.informed.isEmpty());

    // With no tool anywhere on the PATH the user is told.
    QVERIFY(QFile::remove(tool));
    qputenv("PATH", dir.path().toLocal8Bit());
    about::frmAbout dialog({nullptr, nullptr, nullptr, &messages});
    dialog.StartSysInfo();
    QCOMPARE(messages.informed.size(), 1);
    QCOMPARE(messages.informed.first().text, unavailable);
}

void tst_SysInfo::unavailableMessageIsPlain()
{
    QMessageBox::Icon icon = QMessageBox::Critical;
    QMessageBox::StandardButtons buttons;
    QString title;
    QString message;
    QTimer::singleShot(0, this, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        icon = box->icon();
        buttons = box->standardButtons();
        title = box->windowTitle();
        message = box->text();
        box->accept();
    });
    widgets::DesktopDialogs().inform(nullptr, u"Zumbrel"_s, unavailable);
    QCOMPARE(icon, QMessageBox::NoIcon);
    QCOMPARE(buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(title, u"Zumbrel"_s);
    QCOMPARE(message, unavailable);
}

QTEST_MAIN(tst_SysInfo)
#include "tst_sysinfo.moc"

// SPDX-License-Identifier: GPL-3.0-or-later
// Our own read-only registry: it tells where the desktop's system information tool is, found on a
// search path we choose, and behaves like the system registry's calls at their edges.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "platform/registry.h"

using namespace Qt::StringLiterals;
using platform::DesktopRegistry;
using platform::Registry;

namespace {

const QByteArray toolKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
constexpr quint32 lookupAccess = 0x2003F;

bool makeProgram(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write("#!/bin/sh\n");
    file.close();
    return file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

// Opens the tool's key and reads its PATH into a buffer of the given size.
long readToolPath(Registry &registry, quint32 bufferSize, QByteArray *text, quint32 *size, quint32 *type)
{
    Registry::Handle key = 0;
    long status = registry.open(Registry::rootHandle(platform::HkeyLocalMachine), toolKey, 0, lookupAccess, &key);
    if (status != platform::ErrorSuccess)
        return status;
    QByteArray buffer(int(bufferSize), '\0');
    *size = bufferSize;
    status = registry.query(key, "PATH", type, buffer.data(), size);
    *text = buffer.left(int(qstrnlen(buffer.constData(), bufferSize)));
    registry.close(key);
    return status;
}

} // namespace

class tst_DesktopRegistry : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void findsTheFirstToolOfTheList_data();
    void findsTheFirstToolOfTheList();
    void tooSmallBufferAsksForMore();
    void keysAndValuesThatDoNotExist_data();
    void keysAndValuesThatDoNotExist();
    void rightsAndHandles();

private:
    QTemporaryDir m_dir;
    QString m_first;
    QString m_second;
};

void tst_DesktopRegistry::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_first = m_dir.filePath(u"first"_s);
    m_second = m_dir.filePath(u"second"_s);
    QVERIFY(QDir().mkpath(m_first));
    QVERIFY(QDir().mkpath(m_second));
    QVERIFY(makeProgram(m_first + u"/monitor"_s));
    QVERIFY(makeProgram(m_second + u"/hardinfo"_s));
    // Present but not runnable: not a tool.
    QFile plain(m_first + u"/kinfocenter"_s);
    QVERIFY(plain.open(QIODevice::WriteOnly));
}

void tst_DesktopRegistry::findsTheFirstToolOfTheList_data()
{
    QTest::addColumn<QStringList>("candidates");
    QTest::addColumn<QString>("expected"); // relative to the temporary folder; empty for none

    QTest::newRow("list order wins over path order")
        << QStringList{u"hardinfo"_s, u"monitor"_s} << u"second/hardinfo"_s;
    QTest::newRow("missing ones are skipped") << QStringList{u"nosuchtool"_s, u"monitor"_s} << u"first/monitor"_s;
    QTest::newRow("a file that cannot run is no tool")
        << QStringList{u"kinfocenter"_s, u"hardinfo"_s} << u"second/hardinfo"_s;
    QTest::newRow("none installed") << QStringList{u"nosuchtool"_s} << QString();
}

void tst_DesktopRegistry::findsTheFirstToolOfTheList()
{
    QFETCH(QStringList, candidates);
    QFETCH(QString, expected);

    DesktopRegistry registry(candidates, {m_first, m_second});
    QByteArray text;
    quint32 size = 0;
    quint32 type = 0;
    const long status = readToolPath(registry, 1024, &text, &size, &type);
    if (expected.isEmpty()) {
        QCOMPARE(status, platform::ErrorFileNotFound);
        return;
    }
    QCOMPARE(status, platform::ErrorSuccess);
    QCOMPARE(type, platform::RegSz);
    QCOMPARE(QString::fromLocal8Bit(text), m_dir.filePath(expected));
    // The stored string counts its terminating zero.
    QCOMPARE(size, quint32(text.size() + 1));
}

void tst_DesktopRegistry::tooSmallBufferAsksForMore()
{
    DesktopRegistry registry({u"monitor"_s}, {m_first});
    const auto needed = quint32(QString(m_first + u"/monitor"_s).toLocal8Bit().size() + 1);

    QByteArray text;
    quint32 size = 0;
    quint32 type = 0;
    QCOMPARE(readToolPath(registry, needed - 1, &text, &size, &type), platform::ErrorMoreData);
    QCOMPARE(size, needed);
    QCOMPARE(readToolPath(registry, needed, &text, &size, &type), platform::ErrorSuccess);
    QCOMPARE(size, needed);

    // Without a buffer the call only tells the size.
    Registry::Handle key = 0;
    QCOMPARE(registry.open(Registry::rootHandle(platform::HkeyLocalMachine), toolKey, 0, lookupAccess, &key),
             platform::ErrorSuccess);
    size = 0;
    QCOMPARE(registry.query(key, "PATH", nullptr, nullptr, &size), platform::ErrorSuccess);
    QCOMPARE(size, needed);
    QCOMPARE(registry.close(key), platform::ErrorSuccess);
}

void tst_DesktopRegistry::keysAndValuesThatDoNotExist_data()
{
    QTest::addColumn<qint32>("root");
    QTest::addColumn<QByteArray>("keyName");
    QTest::addColumn<QByteArray>("valueName");
    QTest::addColumn<long>("openStatus");
    QTest::addColumn<long>("queryStatus");

    const qint32 machine = platform::HkeyLocalMachine;
    QTest::newRow("the tool's key, in any case")
        << machine << QByteArray("software\\MICROSOFT\\shared tools\\msinfo") << QByteArray("path")
        << platform::ErrorSuccess << platform::ErrorSuccess;
    QTest::newRow("the folder location has nothing")
        << machine << QByteArray("SOFTWARE\\Microsoft\\Shared Tools Location") << QByteArray("MSINFO")
        << platform::ErrorFileNotFound << 0L;
    QTest::newRow("a parent key exists but holds no value")
        << machine << QByteArray("SOFTWARE\\Microsoft") << QByteArray("PATH") << platform::ErrorSuccess
        << platform::ErrorFileNotFound;
    QTest::newRow("another value of the tool's key") << machine << toolKey << QByteArray("Version")
                                                     << platform::ErrorSuccess << platform::ErrorFileNotFound;
    QTest::newRow("a name that only starts like the key")
        << machine << QByteArray("SOFTWARE\\Micro") << QByteArray("PATH") << platform::ErrorFileNotFound << 0L;
    QTest::newRow("another root") << qint32(0x80000001u) << toolKey << QByteArray("PATH")
                                  << platform::ErrorFileNotFound << 0L;
    QTest::newRow("no root at all") << qint32(12345) << toolKey << QByteArray("PATH")
                                    << platform::ErrorInvalidHandle << 0L;
}

void tst_DesktopRegistry::keysAndValuesThatDoNotExist()
{
    QFETCH(qint32, root);
    QFETCH(QByteArray, keyName);
    QFETCH(QByteArray, valueName);
    QFETCH(long, openStatus);
    QFETCH(long, queryStatus);

    DesktopRegistry registry({u"monitor"_s}, {m_first});
    Registry::Handle key = 0;
    QCOMPARE(registry.open(Registry::rootHandle(root), keyName, 0, lookupAccess, &key), openStatus);
    if (openStatus != platform::ErrorSuccess)
        return;
    char buffer[1024] = {};
    quint32 size = sizeof buffer;
    QCOMPARE(registry.query(key, valueName, nullptr, buffer, &size), queryStatus);
    QCOMPARE(registry.close(key), platform::ErrorSuccess);
}

void tst_DesktopRegistry::rightsAndHandles()
{
    DesktopRegistry registry({u"monitor"_s}, {m_first});
    const Registry::Handle machine = Registry::rootHandle(platform::HkeyLocalMachine);
    char buffer[1024] = {};
    quint32 size = sizeof buffer;

    // Nothing can be written through this layer, so write rights are granted along with reading.
    Registry::Handle key = 0;
    QCOMPARE(registry.open(machine, toolKey, 0, lookupAccess, &key), platform::ErrorSuccess);
    QCOMPARE(registry.query(key, "PATH", nullptr, buffer, &size), platform::ErrorSuccess);

    // A key opened without the right to query cannot be read.
    Registry::Handle blind = 0;
    QCOMPARE(registry.open(machine, toolKey, 0, platform::KeyEnumerateSubKeys, &blind), platform::ErrorSuccess);
    size = sizeof buffer;
    QCOMPARE(registry.query(blind, "PATH", nullptr, buffer, &size), platform::ErrorAccessDenied);
    QVERIFY(blind != key);

    // A key opened below an open key.
    Registry::Handle parent = 0;
    Registry::Handle child = 0;
    QCOMPARE(registry.open(machine, "SOFTWARE\\Microsoft", 0, lookupAccess, &parent), platform::ErrorSuccess);
    QCOMPARE(registry.open(parent, "Shared Tools\\MSINFO", 0, lookupAccess, &child), platform::ErrorSuccess);
    size = sizeof buffer;
    QCOMPARE(registry.query(child, "PATH", nullptr, buffer, &size), platform::ErrorSuccess);
    QCOMPARE(QString::fromLocal8Bit(buffer), m_first + u"/monitor"_s);

    for (Registry::Handle handle : {key, blind, parent, child})
        QCOMPARE(registry.close(handle), platform::ErrorSuccess);
    // A closed key is gone.
    QCOMPARE(registry.close(key), platform::ErrorInvalidHandle);
    size = sizeof buffer;
    QCOMPARE(registry.query(key, "PATH", nullptr, buffer, &size), platform::ErrorInvalidHandle);
}

QTEST_GUILESS_MAIN(tst_DesktopRegistry)
#include "tst_desktopregistry.moc"

// SPDX-License-Identifier: GPL-3.0-or-later
#include <QDir>
#include <QTest>

#include "manifestfuzzentry.h"

using namespace Qt::StringLiterals;

// Every input the fuzzer keeps goes through the loader in the ordinary test run, so a fault it
// once found stays fixed.
class TestManifestCorpus : public QObject
{
    Q_OBJECT

private slots:
    void loaderSurvivesInput_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("accepted"); // -1: either
        const QDir corpus(QStringLiteral(ZUMBREL_FUZZ_CORPUS));
        const QStringList files = corpus.entryList(QDir::Files, QDir::Name);
        QVERIFY(files.size() >= 10);
        for (const QString &file : files)
            QTest::newRow(qPrintable(file)) << corpus.filePath(file) << (file.startsWith(u"valid-"_s) ? 1 : file.startsWith(u"bad-"_s) ? 0 : -1);
    }

    void loaderSurvivesInput()
    {
        QFETCH(QString, path);
        QFETCH(int, accepted);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        const int result = character::fuzzCharacterManifest(reinterpret_cast<const uint8_t *>(bytes.constData()),
                                                            size_t(bytes.size()));
        if (accepted >= 0)
            QCOMPARE(result, accepted);
    }
};

QTEST_MAIN(TestManifestCorpus)
#include "tst_manifestcorpus.moc"

// SPDX-License-Identifier: GPL-3.0-or-later
#include <QFile>
#include <QTest>
#include <QtEndian>

#include <algorithm>
#include <cstring>
#include <limits>

#include "listen/adaptation.h"
#include "listen/commanddecoder.h"

using namespace Qt::StringLiterals;

// Checking a file of adapted Gaussian means against the model's own before the decoder, which
// ends the program on sizes or a checksum it cannot match, reads it.
class TestAdaptation : public QObject
{
    Q_OBJECT

private:
    static void appendWord(QByteArray &file, quint32 word)
    {
        char bytes[4];
        qToLittleEndian(word, bytes);
        file.append(bytes, 4);
    }

    // A Gaussian parameter file as sphinxtrain writes it: header lines, the byte order mark, the
    // dimensions, the values, and the running checksum over all words after the mark.
    static QByteArray gaussians(const QList<float> &values, const QList<int> &streams = {2, 1}, int codebooks = 1,
                                int densities = 1, bool checksummed = true)
    {
        QByteArray file = "s3\nversion 1.0\n";
        if (checksummed)
            file += "chksum0 yes\n";
        file += "endhdr\n";
        appendWord(file, 0x11223344);
        const qsizetype dimensionsAt = file.size();
        appendWord(file, codebooks);
        appendWord(file, streams.size());
        appendWord(file, densities);
        for (const int length : streams)
            appendWord(file, length);
        appendWord(file, quint32(values.size()));
        for (const float value : values) {
            quint32 bits = 0;
            std::memcpy(&bits, &value, sizeof bits);
            appendWord(file, bits);
        }
        if (checksummed) {
            quint32 sum = 0;
            for (qsizetype at = dimensionsAt; at < file.size(); at += 4)
                sum = ((sum << 20) | (sum >> 12)) + qFromLittleEndian<quint32>(file.constData() + at);
            appendWord(file, sum);
        }
        return file;
    }

    static QByteArray readAll(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private slots:
    void isGaussianFileLike_data()
    {
        QTest::addColumn<QByteArray>("candidate");
        QTest::addColumn<QByteArray>("reference");
        QTest::addColumn<bool>("fits");
        const QByteArray system = readAll(listen::CommandDecoder::defaultModelDir() + u"/means"_s);
        const QByteArray shipped = readAll(listen::CommandDecoder::defaultAdaptation());
        QVERIFY(!system.isEmpty());
        QVERIFY(!shipped.isEmpty());
        QTest::newRow("the shipped means for the system's model") << shipped << system << true;
        QTest::newRow("the model's own means") << system << system << true;
        QByteArray changed = system;
        changed[changed.size() - 10] = char(changed.at(changed.size() - 10) ^ 0x01);
        QTest::newRow("one value changed, checksum not") << changed << system << false;
        QTest::newRow("cut short") << shipped.left(shipped.size() - 4) << system << false;
        QTest::newRow("a word too many") << shipped + QByteArray(4, '\0') << system << false;

        const QByteArray model = gaussians({1.0f, -2.5f, 3.0f});
        QTest::newRow("other values") << gaussians({0.5f, 0.25f, -7.0f}) << model << true;
        QTest::newRow("no checksum in either")
            << gaussians({1, 2, 3}, {2, 1}, 1, 1, false) << gaussians({4, 5, 6}, {2, 1}, 1, 1, false) << true;
        QTest::newRow("without the model's checksum line")
            << gaussians({1, 2, 3}, {2, 1}, 1, 1, false) << model << false;
        QTest::newRow("streams of other lengths") << gaussians({1, 2, 3}, {1, 2}) << model << false;
        QTest::newRow("another codebook count") << gaussians({1, 2, 3, 4, 5, 6}, {2, 1}, 2) << model << false;
        QTest::newRow("another density count") << gaussians({1, 2, 3, 4, 5, 6}, {2, 1}, 1, 2) << model << false;
        QTest::newRow("nan") << gaussians({1, std::numeric_limits<float>::quiet_NaN(), 3}) << model << false;
        QTest::newRow("infinite") << gaussians({1, 2, std::numeric_limits<float>::infinity()}) << model << false;
        QByteArray count = model;
        count[count.indexOf("endhdr\n") + 7 + 4 * 6] = 4; // says four values, holds three
        QTest::newRow("a count that does not match") << count << count << false;
        QByteArray swapped = model;
        std::reverse(swapped.begin() + swapped.indexOf("endhdr\n") + 7,
                     swapped.begin() + swapped.indexOf("endhdr\n") + 11);
        QTest::newRow("the other byte order") << swapped << model << false;
        QTest::newRow("another version line")
            << QByteArray(model).replace("version 1.0", "version 2.0") << model << false;
        QTest::newRow("no end of header") << QByteArray(model).replace("endhdr", "endhd_") << model << false;
        QTest::newRow("text") << QByteArray("<html><body>Not found</body></html>") << model << false;
        QTest::newRow("empty") << QByteArray() << model << false;
        QTest::newRow("no reference") << model << QByteArray() << false;
    }
    void isGaussianFileLike()
    {
        QFETCH(QByteArray, candidate);
        QFETCH(QByteArray, reference);
        QFETCH(bool, fits);
        QCOMPARE(listen::isGaussianFileLike(candidate, reference), fits);
    }

    // Sizes beyond reason are refused before they are multiplied, and never read past the file.
    void absurdDimensions()
    {
        QByteArray file = gaussians({1, 2, 3});
        const qsizetype dimensionsAt = file.indexOf("endhdr\n") + 11;
        for (const quint32 absurd : {0x7fffffffu, 0x80000000u, 0xffffffffu, 0u}) {
            for (int word = 0; word < 6; ++word) {
                QByteArray broken = file;
                qToLittleEndian(absurd, broken.data() + dimensionsAt + 4 * word);
                QVERIFY2(!listen::isGaussianFileLike(broken, broken), qPrintable(QString::number(word)));
            }
        }
        // Every dimension at its largest at once: the value count they declare must not overflow.
        const QByteArray widest = gaussians({1, 2, 3}, QList<int>(64, 1 << 20), 1 << 20, 1 << 20);
        QVERIFY(!listen::isGaussianFileLike(widest, widest));
    }
};

QTEST_GUILESS_MAIN(TestAdaptation)
#include "tst_adaptation.moc"

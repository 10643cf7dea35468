// SPDX-License-Identifier: GPL-3.0-or-later
#include <QFile>
#include <QTest>

#include "listen/adaptation.h"
#include "listen/commanddecoder.h"

using namespace Qt::StringLiterals;

// Reading a model's stream layout, and checking a speaker adaptation against it before the
// decoder's reader (which trusts every size in the file) sees it.
class TestAdaptation : public QObject
{
    Q_OBJECT

private:
    // An identity transform in mllr_solve's layout, with the variance scale given.
    static QByteArray transform(int classes, const QList<int> &lengths, const QByteArray &scale = "1.0")
    {
        QByteArray text = QByteArray::number(classes) + '\n' + QByteArray::number(lengths.size()) + '\n';
        for (const int length : lengths) {
            text += QByteArray::number(length) + '\n';
            for (int c = 0; c < classes; ++c) {
                for (int row = 0; row < length; ++row) {
                    for (int column = 0; column < length; ++column)
                        text += row == column ? "1.000000 " : "0.000000 ";
                    text += '\n';
                }
                text += QByteArray("0.0 ").repeated(length) + '\n';
                text += (scale + ' ').repeated(length) + '\n';
            }
        }
        return text;
    }

    static QByteArray shipped()
    {
        QFile file(listen::CommandDecoder::defaultAdaptation());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private slots:
    void modelStreamLengths_data()
    {
        QTest::addColumn<QByteArray>("parameters");
        QTest::addColumn<QList<int>>("lengths");
        QFile system(listen::CommandDecoder::defaultModelDir() + u"/feat.params"_s);
        QVERIFY(system.open(QIODevice::ReadOnly));
        QTest::newRow("the system's model") << system.readAll() << QList<int>{13, 13, 13};
        QTest::newRow("a subvector of two ranges") << QByteArray("-svspec 0-12,26-38/13-25") << QList<int>{26, 13};
        QTest::newRow("one dimension") << QByteArray("-svspec 0-12/13") << QList<int>{13, 1};
        QTest::newRow("one stream, default cepstra") << QByteArray("-feat 1s_c_d_dd\n-cmn batch\n") << QList<int>{39};
        QTest::newRow("nothing said: the front end's defaults") << QByteArray() << QList<int>{39};
        QTest::newRow("more cepstra") << QByteArray("-ceplen 20") << QList<int>{60};
        QTest::newRow("another feature type") << QByteArray("-feat s2_4x") << QList<int>{};
        QTest::newRow("not a range") << QByteArray("-svspec 0-x/13-25") << QList<int>{};
        QTest::newRow("a range backwards") << QByteArray("-svspec 12-0") << QList<int>{};
        QTest::newRow("three ends") << QByteArray("-svspec 0-5-12") << QList<int>{};
        QTest::newRow("no cepstra") << QByteArray("-ceplen 0") << QList<int>{};
    }
    void modelStreamLengths()
    {
        QFETCH(QByteArray, parameters);
        QFETCH(QList<int>, lengths);
        QCOMPARE(listen::modelStreamLengths(parameters), lengths);
    }

    void isAdaptationFor_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QList<int>>("lengths");
        QTest::addColumn<bool>("fits");
        const QList<int> model = {13, 13, 13};
        const QByteArray identity = transform(1, model);
        QVERIFY(!shipped().isEmpty());
        QTest::newRow("the shipped transform") << shipped() << model << true;
        QTest::newRow("identity") << identity << model << true;
        // The decoder would apply the first class to every Gaussian.
        QTest::newRow("two classes") << transform(2, model) << model << false;
        QTest::newRow("one stream of 39") << transform(1, {39}) << QList<int>{39} << true;
        QTest::newRow("for another model") << shipped() << QList<int>{39} << false;
        QTest::newRow("streams of other lengths") << transform(1, {13, 13, 12}) << model << false;
        QTest::newRow("model layout unknown") << identity << QList<int>{} << false;
        QTest::newRow("cut short") << identity.left(identity.lastIndexOf("1.0")) << model << false;
        QTest::newRow("a number too many") << identity + "1.0\n" << model << false;
        QTest::newRow("not a number") << QByteArray(identity).replace("0.000000", "zero") << model << false;
        QTest::newRow("nan") << QByteArray(identity).replace("0.000000", "nan") << model << false;
        QTest::newRow("infinite") << QByteArray(identity).replace("0.000000", "inf") << model << false;
        QTest::newRow("zero variance scale") << transform(1, model, "0.0") << model << false;
        QTest::newRow("negative variance scale") << transform(1, model, "-1.0") << model << false;
        QTest::newRow("no classes") << transform(0, model) << model << false;
        QTest::newRow("absurd class count") << "100000" + identity.mid(1) << model << false;
        QTest::newRow("empty") << QByteArray() << model << false;
        QTest::newRow("binary") << QByteArray("\x01\x00\xff\xfe", 4) << model << false;
    }
    void isAdaptationFor()
    {
        QFETCH(QByteArray, text);
        QFETCH(QList<int>, lengths);
        QFETCH(bool, fits);
        QCOMPARE(listen::isAdaptationFor(text, lengths), fits);
    }
};

QTEST_GUILESS_MAIN(TestAdaptation)
#include "tst_adaptation.moc"

// SPDX-License-Identifier: GPL-3.0-or-later
// Intelligibility: what the voice says, a general-purpose recogniser should hear.
#include <QTest>

#include <pocketsphinx.h>

#include "speech/flitesynthesizer.h"

using namespace Qt::StringLiterals;

namespace {

const char *const modelDir = "/usr/share/pocketsphinx/model/en-us";

int editDistance(const QStringList &a, const QStringList &b)
{
    QList<int> row(b.size() + 1);
    for (qsizetype j = 0; j <= b.size(); ++j)
        row[j] = int(j);
    for (qsizetype i = 1; i <= a.size(); ++i) {
        int diagonal = row[0];
        row[0] = int(i);
        for (qsizetype j = 1; j <= b.size(); ++j) {
            const int above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

} // namespace

class TestVoiceRoundTrip : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void recogniserHearsTheWords_data();
    void recogniserHearsTheWords();

private:
    cmd_ln_t *m_config = nullptr;
    ps_decoder_t *m_decoder = nullptr;
};

void TestVoiceRoundTrip::initTestCase()
{
    const QByteArray dir(modelDir);
    if (!QFile::exists(QString::fromLatin1(dir + "/en-us.lm.bin")))
        QFAIL("the pocketsphinx en-us model is missing; scripts/setup.sh installs it (pocketsphinx-en-us)");
    m_config = cmd_ln_init(nullptr, ps_args(), TRUE, "-hmm", (dir + "/en-us").constData(), "-lm",
                           (dir + "/en-us.lm.bin").constData(), "-dict", (dir + "/cmudict-en-us.dict").constData(),
                           "-logfn", "/dev/null", nullptr);
    QVERIFY(m_config);
    m_decoder = ps_init(m_config);
    QVERIFY(m_decoder);
}

void TestVoiceRoundTrip::cleanupTestCase()
{
    if (m_decoder)
        ps_free(m_decoder);
    if (m_config)
        cmd_ln_free_r(m_config);
}

void TestVoiceRoundTrip::recogniserHearsTheWords_data()
{
    QTest::addColumn<double>("rate");
    QTest::addColumn<double>("pitch");
    QTest::addColumn<double>("minAccuracy");

    QTest::newRow("natural") << 1.0 << 1.0 << 0.9;
    QTest::newRow("quicker, higher") << 1.25 << 1.3 << 0.7;
    QTest::newRow("slower, lower") << 0.8 << 0.85 << 0.7;
}

void TestVoiceRoundTrip::recogniserHearsTheWords()
{
    QFETCH(double, rate);
    QFETCH(double, pitch);
    QFETCH(double, minAccuracy);

    // Spoken forms as the recogniser's dictionary writes them.
    const QList<std::pair<QString, QString>> sentences = {
        {u"Welcome. I am your teacher for today."_s, u"welcome i am your teacher for today"_s},
        {u"Are you ready?"_s, u"are you ready"_s},
        {u"The correct answer is 12"_s, u"the correct answer is twelve"_s},
        {u"Very good! Let us try another one."_s, u"very good let us try another one"_s},
        {u"Leave me where I was"_s, u"leave me where i was"_s},
    };

    speech::FliteSynthesizer synthesizer;
    int errors = 0;
    int words = 0;
    for (const auto &[text, expected] : sentences) {
        const auto utterance = synthesizer.synthesize(text, character::VoiceSettings{QString(), rate, pitch});
        QVERIFY(utterance);
        QCOMPARE(utterance->sampleRate, 16000); // the acoustic model's rate
        QCOMPARE(ps_start_utt(m_decoder), 0);
        ps_process_raw(m_decoder, reinterpret_cast<const int16 *>(utterance->pcm.constData()),
                       size_t(utterance->sampleCount()), FALSE, TRUE);
        QCOMPARE(ps_end_utt(m_decoder), 0);
        qint32 score = 0;
        const char *hypothesis = ps_get_hyp(m_decoder, &score);
        const QString heard = QString::fromUtf8(hypothesis ? hypothesis : "");
        qInfo("%s -> %s", qPrintable(text), qPrintable(heard));
        const QStringList reference = expected.split(u' ');
        errors += editDistance(reference, heard.split(u' ', Qt::SkipEmptyParts));
        words += int(reference.size());
    }
    const double accuracy = 1.0 - double(errors) / words;
    qInfo("word accuracy %.0f %%", accuracy * 100);
    QVERIFY2(accuracy >= minAccuracy, qPrintable(QString::number(accuracy)));
}

QTEST_GUILESS_MAIN(TestVoiceRoundTrip)
#include "tst_voiceroundtrip.moc"

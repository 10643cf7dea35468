// SPDX-License-Identifier: GPL-3.0-or-later
#include <cmath>

#include <QSignalSpy>
#include <QTest>

#include "listen/sphinxrecognizer.h"
#include "speechsamples.h"

using namespace Qt::StringLiterals;

class TestSphinxRecognizer : public QObject
{
    Q_OBJECT

private slots:
    void withoutMicrophoneItSaysSoAndKeepsWorking()
    {
        listen::SphinxRecognizer recognizer{QAudioDevice()};
        QSignalSpy unavailable(&recognizer, &character::CommandRecognizer::unavailable);
        QSignalSpy heard(&recognizer, &character::CommandRecognizer::heard);
        QVERIFY(!recognizer.isAvailable());
        recognizer.startListening();
        QCOMPARE(unavailable.size(), 1);
        QVERIFY(!unavailable.at(0).at(0).toString().isEmpty());
        QVERIFY(!recognizer.isListening());
        recognizer.stopListening();
        QTest::qWait(50);
        QCOMPARE(heard.size(), 0);

        // Audio given directly is still decoded.
        recognizer.setCommands({{u"Exit"_s, u"Exit ..."_s, true}});
        const QByteArray audio =
            speechsamples::padded(speechsamples::say(u"exit"_s, {u"slt"_s, 1.0, 1.0}), 300, 300);
        QCOMPARE(recognizer.decode(audio).Name, u"Exit"_s);
    }

    void captureFormatsBecomeSixteenKilohertzMono_data()
    {
        QTest::addColumn<int>("rate");
        QTest::addColumn<int>("channels");
        QTest::addColumn<int>("sampleFormat");
        QTest::newRow("48 kHz stereo float") << 48000 << 2 << int(QAudioFormat::Float);
        QTest::newRow("44.1 kHz mono int16") << 44100 << 1 << int(QAudioFormat::Int16);
        QTest::newRow("8 kHz mono int32") << 8000 << 1 << int(QAudioFormat::Int32);
        QTest::newRow("16 kHz stereo uint8") << 16000 << 2 << int(QAudioFormat::UInt8);
    }
    void captureFormatsBecomeSixteenKilohertzMono()
    {
        QFETCH(int, rate);
        QFETCH(int, channels);
        QFETCH(int, sampleFormat);
        QAudioFormat format;
        format.setSampleRate(rate);
        format.setChannelCount(channels);
        format.setSampleFormat(QAudioFormat::SampleFormat(sampleFormat));

        // Half a second of a 440 Hz tone at half scale.
        const int frames = rate / 2;
        QByteArray audio(frames * format.bytesPerFrame(), '\0');
        for (int i = 0; i < frames; ++i) {
            const double value = 0.5 * std::sin(2 * M_PI * 440.0 * i / rate);
            for (int c = 0; c < channels; ++c) {
                char *at = audio.data() + i * format.bytesPerFrame() + c * format.bytesPerSample();
                switch (format.sampleFormat()) {
                case QAudioFormat::Float: *reinterpret_cast<float *>(at) = float(value); break;
                case QAudioFormat::Int16: *reinterpret_cast<qint16 *>(at) = qint16(value * 32767); break;
                case QAudioFormat::Int32: *reinterpret_cast<qint32 *>(at) = qint32(value * 2147483647.0); break;
                case QAudioFormat::UInt8: *reinterpret_cast<quint8 *>(at) = quint8(128 + value * 127); break;
                default: break;
                }
            }
        }

        const QByteArray pcm = listen::SphinxRecognizer::toDecoderFormat(audio, format);
        const qsizetype samples = pcm.size() / 2;
        QVERIFY(std::abs(samples - 8000) <= 2);
        const auto *s = reinterpret_cast<const qint16 *>(pcm.constData());
        int crossings = 0;
        int peak = 0;
        for (qsizetype i = 1; i < samples; ++i) {
            crossings += (s[i - 1] < 0) != (s[i] < 0);
            peak = std::max(peak, std::abs(int(s[i])));
        }
        // 440 Hz for half a second crosses zero about 440 times; the level stays at half scale.
        QVERIFY2(std::abs(crossings - 440) <= 6, qPrintable(QString::number(crossings)));
        QVERIFY2(std::abs(peak - 16384) < 700, qPrintable(QString::number(peak)));
    }

    void decoderFormatPassesThrough()
    {
        QAudioFormat format;
        format.setSampleRate(16000);
        format.setChannelCount(1);
        format.setSampleFormat(QAudioFormat::Int16);
        const QByteArray audio("\x01\x02\x03\x04", 4);
        QCOMPARE(listen::SphinxRecognizer::toDecoderFormat(audio, format), audio);
    }
};

QTEST_GUILESS_MAIN(TestSphinxRecognizer)
#include "tst_sphinxrecognizer.moc"

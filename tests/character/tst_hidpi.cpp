// SPDX-License-Identifier: GPL-3.0-or-later
#include <QProcess>
#include <QTest>

#include <xcb/xcb.h>

using namespace Qt::StringLiterals;

// Merlin at the scales family laptops use, set either for the program (QT_SCALE_FACTOR) or for
// the whole X server (Xft.dpi). Each scale needs a program start of its own, so every row runs
// shape_at_scale with the scale set.
class TestHiDpi : public QObject
{
    Q_OBJECT

private:
    xcb_connection_t *m_x = nullptr;

    void setServerDpi(int dpi)
    {
        xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(m_x)).data->root;
        if (dpi <= 0) {
            xcb_delete_property(m_x, root, XCB_ATOM_RESOURCE_MANAGER);
        } else {
            const QByteArray resources = "Xft.dpi:\t" + QByteArray::number(dpi) + '\n';
            xcb_change_property(m_x, XCB_PROP_MODE_REPLACE, root, XCB_ATOM_RESOURCE_MANAGER, XCB_ATOM_STRING, 8,
                                uint32_t(resources.size()), resources.constData());
        }
        free(xcb_get_input_focus_reply(m_x, xcb_get_input_focus(m_x), nullptr));
    }

private slots:
    void initTestCase()
    {
        m_x = xcb_connect(nullptr, nullptr);
        QVERIFY2(m_x && !xcb_connection_has_error(m_x), "this test needs an X server (scripts/with-xvfb.sh)");
    }

    void cleanupTestCase()
    {
        if (m_x) {
            setServerDpi(0);
            xcb_disconnect(m_x);
        }
    }

    void shownExactlyAsDrawn_data()
    {
        QTest::addColumn<QString>("scaleFactor");
        QTest::addColumn<int>("serverDpi");
        QTest::addColumn<double>("ratio");
        for (const double ratio : {1.0, 1.25, 1.5, 1.75, 2.0, 3.0}) {
            QTest::addRow("QT_SCALE_FACTOR=%g", ratio) << QString::number(ratio) << 0 << ratio;
            QTest::addRow("Xft.dpi=%d", int(96 * ratio)) << QString() << int(96 * ratio) << ratio;
        }
    }

    void shownExactlyAsDrawn()
    {
        QFETCH(QString, scaleFactor);
        QFETCH(int, serverDpi);
        QFETCH(double, ratio);
        setServerDpi(serverDpi);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(u"QT_SCALE_FACTOR"_s);
        environment.remove(u"QT_SCREEN_SCALE_FACTORS"_s);
        environment.remove(u"QT_ENABLE_HIGHDPI_SCALING"_s);
        environment.remove(u"QT_USE_PHYSICAL_DPI"_s);
        environment.insert(u"QT_QPA_PLATFORM"_s, u"xcb"_s);
        if (!scaleFactor.isEmpty())
            environment.insert(u"QT_SCALE_FACTOR"_s, scaleFactor);
        environment.insert(u"ZUMBREL_EXPECTED_RATIO"_s, QString::number(ratio));
        QProcess check;
        check.setProcessEnvironment(environment);
        check.setProcessChannelMode(QProcess::MergedChannels);
        check.start(QStringLiteral(ZUMBREL_SHAPE_CHECK), {u"-maxwarnings"_s, u"20"_s});
        QVERIFY(check.waitForFinished(120000));
        const QByteArray output = check.readAll();
        QVERIFY2(check.exitStatus() == QProcess::NormalExit && check.exitCode() == 0, output.constData());
    }
};

QTEST_GUILESS_MAIN(TestHiDpi)
#include "tst_hidpi.moc"

// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QFile>
#include <QImage>
#include <QMainWindow>
#include <QMenuBar>
#include <QPixmap>
#include <QStyleFactory>
#include <QTest>

#include "widgets/deferredicons.h"

using namespace Qt::StringLiterals;

namespace {

bool imagePluginLoaded()
{
    QFile maps(u"/proc/self/maps"_s);
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("/imageformats/");
}

} // namespace

class DeferredIconsTest final : public QObject
{
    Q_OBJECT

private slots:
    // First, while no image has been read in this process.
    void menuBarLoadsNoImagePlugin()
    {
        widgets::deferExtensionIcons();
        QVERIFY(!imagePluginLoaded());
        QMainWindow window;
        window.menuBar()->addMenu(u"&File"_s)->addAction(u"E&xit"_s);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(!imagePluginLoaded());
    }

    void iconIsTheBaseStyles_data()
    {
        QTest::addColumn<QStyle::StandardPixmap>("which");
        QTest::addColumn<Qt::LayoutDirection>("direction");
        QTest::addColumn<qreal>("scale");
        QTest::newRow("horizontal") << QStyle::SP_ToolBarHorizontalExtensionButton << Qt::LeftToRight << 1.0;
        QTest::newRow("horizontal, right to left")
            << QStyle::SP_ToolBarHorizontalExtensionButton << Qt::RightToLeft << 1.0;
        QTest::newRow("horizontal, scale 2") << QStyle::SP_ToolBarHorizontalExtensionButton << Qt::LeftToRight << 2.0;
        QTest::newRow("vertical") << QStyle::SP_ToolBarVerticalExtensionButton << Qt::LeftToRight << 1.0;
    }
    void iconIsTheBaseStyles()
    {
        QFETCH(QStyle::StandardPixmap, which);
        QFETCH(Qt::LayoutDirection, direction);
        QFETCH(qreal, scale);
        QApplication::setLayoutDirection(direction);
        std::unique_ptr<QStyle> reference(QStyleFactory::create(u"Fusion"_s));
        widgets::DeferredIconStyle style(QStyleFactory::create(u"Fusion"_s));
        const QIcon deferred = style.standardIcon(which);
        const QIcon expected = reference->standardIcon(which);
        QApplication::setLayoutDirection(Qt::LeftToRight);
        QVERIFY(!expected.isNull());
        QVERIFY(!deferred.isNull());
        // Copies share the icon made at the first question.
        const QIcon copy = deferred;
        QCOMPARE(copy.pixmap(QSize(16, 16), scale).toImage(), expected.pixmap(QSize(16, 16), scale).toImage());
        QCOMPARE(deferred.actualSize(QSize(64, 64)), expected.actualSize(QSize(64, 64)));
        QCOMPARE(deferred.availableSizes(), expected.availableSizes());
        // The control: drawing it reads the image file the ordinary way.
        QVERIFY(imagePluginLoaded());
    }

    void iconOutlivesItsStyle()
    {
        QIcon icon;
        {
            widgets::DeferredIconStyle style(QStyleFactory::create(u"Fusion"_s));
            icon = style.standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton);
        }
        QVERIFY(icon.pixmap(QSize(16, 16)).isNull());
    }

    void chosenStyleIsKept()
    {
        QApplication::setStyle(u"Windows"_s);
        widgets::deferExtensionIcons();
        const auto *proxy = qobject_cast<QProxyStyle *>(QApplication::style());
        QVERIFY(proxy);
        QCOMPARE(proxy->baseStyle()->name(), u"windows"_s);
    }
};

QTEST_MAIN(DeferredIconsTest)
#include "tst_deferredicons.moc"

// SPDX-License-Identifier: GPL-3.0-or-later
// Run by tst_hidpi once per scale (QT_SCALE_FACTOR or the X server's Xft.dpi): what the X server
// shows of Merlin, his balloon and the listening tip must be exactly what they draw.
#include <QApplication>
#include <QScreen>
#include <QTest>

#include "characterdesktop/balloonwindow.h"
#include "characterdesktop/characterwindow.h"
#include "characterdesktop/desktopagent.h"
#include "characterdesktop/listeningtip.h"
#include "desktopagents.h"
#include "shapecheck.h"

using namespace Qt::StringLiterals;
using namespace character;
using namespace shapecheck;

namespace {

QRegion opaquePixels(const QImage &image)
{
    QRegion region;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(image.pixel(x, y)) >= 128)
                region += QRect(x, y, 1, 1);
        }
    }
    return region;
}

// Fully opaque pixels of the picture whose colour on screen differs.
int colourMismatches(QWidget *window, const QImage &picture)
{
    const QImage shot = screenshot(window);
    int mismatches = 0;
    for (int y = 0; y < std::min(shot.height(), picture.height()); ++y) {
        for (int x = 0; x < std::min(shot.width(), picture.width()); ++x) {
            const QRgb drawn = picture.pixel(x, y);
            if (qAlpha(drawn) == 255 && qAlpha(shot.pixel(x, y)) == 255)
                mismatches += (shot.pixel(x, y) & 0xffffff) != (drawn & 0xffffff);
        }
    }
    return mismatches;
}

QString describe(const QRegion &region)
{
    const QRect r = region.boundingRect();
    return u"%1 pixels in %2x%3+%4+%5"_s.arg(QString::number([&] {
                                                  qint64 n = 0;
                                                  for (const QRect &rect : region)
                                                      n += qint64(rect.width()) * rect.height();
                                                  return n;
                                              }()))
        .arg(r.width())
        .arg(r.height())
        .arg(r.x())
        .arg(r.y());
}

} // namespace

class ShapeAtScale : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<DesktopAgent> m_agent;
    std::unique_ptr<QWidget> m_main;

    DesktopCharacter *showMerlin()
    {
        m_main = std::make_unique<QWidget>();
        m_main->setWindowTitle(u"Program"_s);
        // Low on the screen, so Merlin beside it has room above his head for the balloon.
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        m_main->setGeometry(area.left() + 10, area.bottom() - 160, 120, 150);
        m_main->show();
        m_agent = std::make_unique<DesktopAgent>();
        m_agent->setCharacterDirectories({QStringLiteral(ZUMBREL_SOURCE_DATA)});
        m_agent->setIdleDelay(-1);
        m_agent->setTrayIconEnabled(false);
        m_agent->setTranslucentWindows(false);
        m_agent->Characters().Load(u"MyChar"_s, u"Merlin.acs"_s);
        DesktopCharacter *merlin = m_agent->character(u"MyChar"_s);
        merlin->Show(true);
        return merlin;
    }

private slots:
    void initTestCase()
    {
        QCOMPARE(QGuiApplication::platformName(), u"xcb"_s);
        const double expected = qEnvironmentVariable("ZUMBREL_EXPECTED_RATIO").toDouble();
        QVERIFY(expected > 0);
        // The row tests the scale it says it does.
        QCOMPARE(QGuiApplication::primaryScreen()->devicePixelRatio(), expected);
        paintBackdrop();
    }

    void cleanup()
    {
        m_agent.reset();
        m_main.reset();
    }

    void merlinShowsExactlyHisPicture()
    {
        DesktopCharacter *merlin = showMerlin();
        CharacterWindow *window = merlin->window();
        QVERIFY(testsupport::shownOnScreen(window));
        const QImage frame = window->frame();
        QCOMPARE(frame.devicePixelRatio(), window->devicePixelRatioF());
        // Drawn for the screen: the picture has as many pixels as the window.
        QCOMPARE(frame.size(), (QSizeF(window->size()) * window->devicePixelRatioF()).toSize());
        const QRegion shape = xShape(window);
        const QRegion expected = opaquePixels(frame);
        QVERIFY2(shape.xored(expected).isEmpty(), qPrintable(u"X shape %1, picture %2"_s.arg(describe(shape), describe(expected))));
        QTRY_COMPARE(shapeMismatches(window, shape), 0);
        QTRY_COMPARE(colourMismatches(window, frame), 0);
    }

    void popupsShowExactlyTheirPicture_data()
    {
        QTest::addColumn<QString>("popup");
        QTest::addColumn<QPoint>("characterAt"); // in the screen's logical size, per mille
        QTest::newRow("balloon above") << u"balloon"_s << QPoint(500, 700);
        QTest::newRow("balloon below") << u"balloon"_s << QPoint(500, 0);
        QTest::newRow("tip below") << u"tip"_s << QPoint(300, 100);
        QTest::newRow("tip beside") << u"tip"_s << QPoint(300, 1000);
    }

    void popupsShowExactlyTheirPicture()
    {
        QFETCH(QString, popup);
        QFETCH(QPoint, characterAt);
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        const QSize body(120, 160);
        const QPoint at(std::min(area.width() * characterAt.x() / 1000, area.right() - body.width()),
                        std::min(area.height() * characterAt.y() / 1000, area.bottom() - body.height()));
        const QRect character(at, body);
        std::unique_ptr<PopupWindow> window;
        if (popup == u"balloon") {
            auto balloon = std::make_unique<BalloonWindow>(false);
            balloon->showText(u"Welcome. I am"_s, u"Welcome. I am your teacher, Merlin"_s, character,
                              character.center().x());
            window = std::move(balloon);
        } else {
            auto tip = std::make_unique<ListeningTip>(false);
            tip->showTip(ListeningTip::Mark::CannotHear, u"Merlin cannot hear you."_s, u"Is a microphone plugged in?"_s,
                         u"Right-click Merlin for the menu."_s, character);
            window = std::move(tip);
        }
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QCOMPARE(window->image().devicePixelRatio(), window->devicePixelRatioF());
        const QRegion shape = xShape(window.get());
        const QRegion expected = opaquePixels(window->image());
        QVERIFY2(shape.xored(expected).isEmpty(), qPrintable(u"X shape %1, picture %2"_s.arg(describe(shape), describe(expected))));
        QTRY_COMPARE(shapeMismatches(window.get(), shape), 0);
        QTRY_COMPARE(colourMismatches(window.get(), window->image()), 0);
    }

    void balloonPointsAtHisHead()
    {
        DesktopCharacter *merlin = showMerlin();
        QVERIFY(testsupport::shownOnScreen(merlin->window()));
        merlin->Speak(u"Welcome. I am your teacher"_s);
        QTRY_VERIFY(merlin->balloon()->isVisible());
        const QPoint head = merlin->window()->mapToGlobal(merlin->data().balloonAnchor.toPoint());
        const QPoint tip = merlin->balloon()->tailTip();
        const QRect body = merlin->window()->frameGeometry();
        QVERIFY2(std::abs(tip.x() - head.x()) <= 4, qPrintable(u"tail at %1, head at %2"_s.arg(tip.x()).arg(head.x())));
        // The tail reaches just into the top of his frame, above his hat.
        QVERIFY2(tip.y() >= body.top() - 1 && tip.y() <= body.top() + 8,
                 qPrintable(u"tail at %1, frame from %2"_s.arg(tip.y()).arg(body.top())));
        // Clear of the program's window.
        QVERIFY(!merlin->balloon()->frameGeometry().intersects(m_main->frameGeometry()));
    }
};

QTEST_MAIN(ShapeAtScale)
#include "shape_at_scale.moc"

// SPDX-License-Identifier: GPL-3.0-or-later
// The About dialog as the user meets it: its texts, layout, keys, and how it opens and closes.
#include <functional>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "about/frmabout.h"
#include "fakedialogs.h"
#include "fakes.h"
#include "platform/fonts.h"

using namespace Qt::StringLiterals;

namespace {

const QString description = u"Developed by Vantrell\r\n"
                            u"This program is intended to teach basic arithmetic to children between the ages of 5 and 8.\r\n"
                            u"It requires a Linux desktop with a sound card plus speakers, and a microphone for spoken "
                            u"commands."_s;

struct Doubles
{
    FakeRegistry registry;
    FakeLauncher launcher;
    FakeFiles files;
    testsupport::FakeDialogs messages;

    about::AboutServices services() { return {&registry, &launcher, &files, &messages}; }
};

QString text(QWidget *dialog, const QString &name)
{
    auto *label = dialog->findChild<QLabel *>(name);
    return label ? label->text() : u"<no %1>"_s.arg(name);
}

} // namespace

class tst_FrmAbout : public QObject
{
    Q_OBJECT

private slots:
    // The program installs its font substitutions before any window; so does the test.
    void initTestCase() { platform::installFontSubstitutions(); }

    void showsTitleVersionAndDescription();
    void geometryFollowsTwips_data();
    void geometryFollowsTwips();
    void etchedRuleColours();
    void textsFitTheirLabels();
    void pictureIsTheWizard();
    void closingKeys_data();
    void closingKeys();
    void tabRunsBetweenTheButtons();
    void altSStartsSystemInfo();
    void eachOpeningIsFreshModalAndCentred();
};

void tst_FrmAbout::showsTitleVersionAndDescription()
{
    // The main window holds the dialog as a std::function.
    [[maybe_unused]] const std::function<void(QWidget *)> handedOver = &about::showAboutDialog;

    Doubles doubles;
    about::frmAbout dialog(doubles.services());
    QCOMPARE(dialog.objectName(), u"frmAbout"_s);
    QCOMPARE(dialog.windowTitle(), u"About Zumbrel Teacher"_s);
    QCOMPARE(text(&dialog, u"lblTitle"_s), u"Zumbrel"_s);
    QCOMPARE(text(&dialog, u"lblVersion"_s), u"Version 1.1.8"_s);
    QCOMPARE(text(&dialog, u"lblDescription"_s), description);
    const QString disclaimer = text(&dialog, u"lblDisclaimer"_s);
    QVERIFY(disclaimer.contains(u"GNU General Public License"_s));
    QVERIFY(disclaimer.contains(u"no warranty"_s));
    QCOMPARE(dialog.findChild<QPushButton *>(u"cmdOK"_s)->text(), u"OK"_s);
    QCOMPARE(dialog.findChild<QPushButton *>(u"cmdSysInfo"_s)->text(), u"&System Info..."_s);
}

void tst_FrmAbout::geometryFollowsTwips_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("expected");
    // Pixels worked out by hand from the twips, 15 to a pixel.
    QTest::newRow("picIcon") << u"picIcon"_s << QRect(8, 16, 65, 65);
    QTest::newRow("lblTitle") << u"lblTitle"_s << QRect(88, 16, 273, 32);
    QTest::newRow("lblVersion") << u"lblVersion"_s << QRect(88, 52, 273, 15);
    QTest::newRow("lblDescription") << u"lblDescription"_s << QRect(88, 75, 273, 78);
    QTest::newRow("lblDisclaimer") << u"lblDisclaimer"_s << QRect(17, 175, 258, 55);
    QTest::newRow("cmdOK") << u"cmdOK"_s << QRect(283, 175, 98, 23);
    QTest::newRow("cmdSysInfo") << u"cmdSysInfo"_s << QRect(284, 205, 97, 23);
    QTest::newRow("grey line") << u"Line1_1"_s << QRect(15, 162, 362, 1);
    QTest::newRow("white line, a pixel lower and two wide") << u"Line1_0"_s << QRect(16, 163, 361, 2);
}

void tst_FrmAbout::geometryFollowsTwips()
{
    QFETCH(QString, name);
    QFETCH(QRect, expected);
    Doubles doubles;
    about::frmAbout dialog(doubles.services());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));

    QCOMPARE(dialog.size(), QSize(391, 242));
    QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
    auto *control = dialog.findChild<QWidget *>(name);
    QVERIFY(control);
    QCOMPARE(control->geometry(), expected);
}

void tst_FrmAbout::etchedRuleColours()
{
    Doubles doubles;
    about::frmAbout dialog(doubles.services());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));

    // What is on the screen, not just what was asked for.
    const QImage shot = dialog.grab().toImage();
    const qreal ratio = shot.devicePixelRatio();
    auto pixel = [&](int x, int y) { return QColor(shot.pixel(qRound(x * ratio), qRound(y * ratio))); };
    QCOMPARE(pixel(200, 162), QColor(0x80, 0x80, 0x80));
    QCOMPARE(pixel(200, 163), QColor(Qt::white));
    QCOMPARE(pixel(200, 164), QColor(Qt::white));
    QCOMPARE(pixel(15, 162), QColor(0x80, 0x80, 0x80));
    QCOMPARE(pixel(376, 164), QColor(Qt::white));
    QVERIFY(pixel(200, 165) != QColor(Qt::white));

    for (const auto &name : {u"lblTitle"_s, u"lblDescription"_s, u"lblDisclaimer"_s})
        QCOMPARE(dialog.findChild<QLabel *>(name)->palette().color(QPalette::WindowText), QColor(Qt::black));
}

void tst_FrmAbout::textsFitTheirLabels()
{
    Doubles doubles;
    about::frmAbout dialog(doubles.services());
    for (const auto &name : {u"lblTitle"_s, u"lblVersion"_s, u"lblDescription"_s, u"lblDisclaimer"_s}) {
        auto *label = dialog.findChild<QLabel *>(name);
        QVERIFY(label);
        QVERIFY2(label->heightForWidth(label->width()) <= label->height(),
                 qPrintable(u"%1 needs %2 pixels, has %3"_s.arg(name)
                                .arg(label->heightForWidth(label->width()))
                                .arg(label->height())));
    }
}

void tst_FrmAbout::pictureIsTheWizard()
{
    Doubles doubles;
    about::frmAbout dialog(doubles.services());
    auto *picIcon = dialog.findChild<QLabel *>(u"picIcon"_s);
    QVERIFY(picIcon);
    const QPixmap picture = picIcon->pixmap();
    QVERIFY(!picture.isNull());
    QCOMPARE(picture.deviceIndependentSize().toSize(), QSize(61, 61));
    // The face in the middle is drawn, the corner beside the hat is left clear.
    const QImage image = picture.toImage();
    const qreal ratio = image.devicePixelRatio();
    QCOMPARE(image.pixelColor(qRound(30 * ratio), qRound(31 * ratio)).alpha(), 255);
    QCOMPARE(image.pixelColor(1, 1).alpha(), 0);
    // The picture fits its sunken box exactly.
    QCOMPARE(picIcon->contentsRect().size(), QSize(61, 61));
}

void tst_FrmAbout::closingKeys_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("Enter") << int(Qt::Key_Return);
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter);
    QTest::newRow("Esc") << int(Qt::Key_Escape);
}

void tst_FrmAbout::closingKeys()
{
    QFETCH(int, key);
    Doubles doubles;
    about::frmAbout dialog(doubles.services());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    auto *cmdOK = dialog.findChild<QPushButton *>(u"cmdOK"_s);
    QCOMPARE(QApplication::focusWidget(), cmdOK);
    QVERIFY(cmdOK->isDefault());

    int clicks = 0;
    connect(cmdOK, &QPushButton::clicked, this, [&clicks] { ++clicks; });
    QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
    QCOMPARE(clicks, 1);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(doubles.launcher.attempts.isEmpty());
}

void tst_FrmAbout::tabRunsBetweenTheButtons()
{
    Doubles doubles;
    about::frmAbout dialog(doubles.services());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QCOMPARE(QApplication::focusWidget()->objectName(), u"cmdOK"_s);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget()->objectName(), u"cmdSysInfo"_s);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget()->objectName(), u"cmdOK"_s);
}

void tst_FrmAbout::altSStartsSystemInfo()
{
    Doubles doubles;
    about::frmAbout dialog(doubles.services());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QTest::keyClick(&dialog, Qt::Key_S, Qt::AltModifier);
    // Nothing registered in the fake: the lookup fails and says so, and the dialog stays. The
    // button shows itself pressed for a moment before it acts.
    QTRY_COMPARE(doubles.messages.informed.size(), 1);
    QCOMPARE(doubles.messages.informed.first().text, u"System Information Is Unavailable At This Time"_s);
    QVERIFY(dialog.isVisible());
}

void tst_FrmAbout::eachOpeningIsFreshModalAndCentred()
{
    QWidget mainWindow;
    mainWindow.setGeometry(300, 200, 369, 401);
    mainWindow.show();
    QVERIFY(QTest::qWaitForWindowExposed(&mainWindow));

    struct Seen
    {
        QStringList texts;
        bool modal = false;
        QWidget *parent = nullptr;
        QPoint centre;
    };
    QList<Seen> seen;
    Doubles doubles;

    for (int opening = 0; opening < 2; ++opening) {
        // A safety net: a dialog left open would hang the test.
        QTimer watchdog;
        watchdog.setSingleShot(true);
        connect(&watchdog, &QTimer::timeout, this, [] {
            if (QWidget *modal = QApplication::activeModalWidget())
                modal->close();
        });
        watchdog.start(10000);
        QTimer::singleShot(0, this, [&seen] {
            auto *dialog = qobject_cast<about::frmAbout *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            Seen now;
            for (const auto &name : {u"lblTitle"_s, u"lblVersion"_s, u"lblDescription"_s, u"lblDisclaimer"_s})
                now.texts << text(dialog, name);
            now.texts << dialog->windowTitle();
            now.modal = dialog->isModal();
            now.parent = dialog->parentWidget();
            now.centre = dialog->geometry().center();
            seen << now;
            QTest::keyClick(dialog, Qt::Key_Escape);
        });
        about::showAboutDialogWith(doubles.services(), &mainWindow);
        QVERIFY2(watchdog.isActive(), "the dialog closed by itself, not by Esc");
    }

    QCOMPARE(seen.size(), 2);
    QCOMPARE(seen[0].texts, seen[1].texts);
    QCOMPARE(seen[0].texts.value(1), u"Version 1.1.8"_s);
    QCOMPARE(seen[0].texts.value(4), u"About Zumbrel Teacher"_s);
    for (const Seen &opening : seen) {
        QVERIFY(opening.modal);
        QCOMPARE(opening.parent, &mainWindow);
        const QPoint offset = opening.centre - mainWindow.geometry().center();
        QVERIFY2(offset.manhattanLength() <= 1, qPrintable(u"off centre by %1,%2"_s.arg(offset.x()).arg(offset.y())));
    }
    // Each opening was a dialog of its own, gone once closed.
    QVERIFY(mainWindow.findChildren<about::frmAbout *>().isEmpty());
}

QTEST_MAIN(tst_FrmAbout)
#include "tst_frmabout.moc"

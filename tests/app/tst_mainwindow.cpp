// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAccessible>
#include <QAction>
#include <QActionGroup>
#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QGroupBox>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

#include "app/application.h"
#include "app/programicon.h"
#include "appfixture.h"
#include "platform/fonts.h"

using namespace Qt::StringLiterals;
using testsupport::AppFixture;

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void controlsByDesignName_data();
    void controlsByDesignName();
    void fixedWindowOfTheDesignedSize();
    void iconIsTheDesktopsIcon();
    void fontsAndColours();
    void tabOrder();
    void menuTree_data();
    void menuTree();
    void menusAreNeverCheckedOrDisabled();
    void firstStateHasNoPlaceholders();
    void answerBoxTakesUpToThreeDigits();
    void answerBoxReadsEmptyWhenBlank();
    void answerBoxShowsTheDigitsItJudges_data();
    void answerBoxShowsTheDigitsItJudges();
    void otherScriptsDigitsAreJudgedByValue_data();
    void otherScriptsDigitsAreJudgedByValue();
    void enterConfirmsExactlyOnce();
    void enterPressesTheFocusedButton_data();
    void enterPressesTheFocusedButton();
    void heldEnterConfirmsOnce();
    void escapeSkipsWhereverTheFocusIs();
    void shortcutsChooseOperationAndLevel();
    void accessKeysPressButtons();
    void activationPutsFocusInAnswerBox();
    void pictureCallsHiddenTeacherBack_data();
    void pictureCallsHiddenTeacherBack();
    void screenReaderNames_data();
    void screenReaderNames();
    void screenReaderHearsTheSum_data();
    void screenReaderHearsTheSum();
    void screenReaderHearsCountersChange();
    void valuesReadAsText_data();
    void valuesReadAsText();
    void contentsOpensTheGuide_data();
    void contentsOpensTheGuide();

private:
    std::unique_ptr<AppFixture> f;
    void showAndActivate();
};

void TestMainWindow::initTestCase()
{
    platform::installFontSubstitutions();
}

void TestMainWindow::init()
{
    f = std::make_unique<AppFixture>();
    f->start();
}

void TestMainWindow::cleanup()
{
    f.reset();
}

void TestMainWindow::showAndActivate()
{
    f->window->show();
    f->window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f->window.get()));
}

void TestMainWindow::controlsByDesignName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("twips");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("toolTip");
    auto row = [](const QString &name, QRect twips, const QString &caption, const QString &toolTip = {}) {
        QTest::newRow(qPrintable(name)) << name << twips << caption << toolTip;
    };
    row(u"Label5"_s, {120, 960, 2085, 1095}, u"Zumbrel Teacher"_s);
    row(u"txtAnswer"_s, {2160, 0, 3255, 2055}, QString(), u"Type your answer here"_s);
    row(u"Frame1"_s, {2280, 2160, 2895, 2415}, u"Question"_s);
    row(u"Frame2"_s, {120, 2280, 1695, 2295}, u"Score"_s);
    row(u"cmdReset"_s, {120, 4800, 1095, 495}, u"&Reset"_s, u"Click here to reset scores"_s);
    row(u"cmdSkip"_s, {1680, 4800, 1095, 495}, u"&Skip"_s,
        u"Click here to skip the current question. You can also press the Esc key."_s);
    row(u"cmdOK"_s, {3120, 4800, 1095, 495}, u"Ok"_s,
        u"Click here after typing the answer. Alternatively, press the Enter key"_s);
    row(u"cmdClose"_s, {4320, 4800, 1095, 495}, u"&Close"_s);
    row(u"lblSign"_s, {360, 960, 615, 975}, u"+"_s, u"Type of questions being asked"_s);
    row(u"lblNumber1"_s, {1200, 240, 1335, 975}, {});
    row(u"lblNumber2"_s, {1200, 1320, 1335, 975}, {});
    row(u"Label1"_s, {120, 360, 615, 255}, u"Total:"_s);
    row(u"lblTotal"_s, {960, 360, 615, 255}, u"1"_s, u"Total questions shown"_s);
    row(u"Label2"_s, {120, 720, 615, 255}, u"Correct:"_s);
    row(u"lblCorrect"_s, {960, 720, 615, 255}, u"0"_s, u"Number of correct answers given"_s);
    row(u"Label3"_s, {120, 1080, 615, 255}, u"Wrong:"_s);
    row(u"lblWrong"_s, {960, 1080, 615, 255}, u"0"_s, u"Number of wrong answers given"_s);
    row(u"Label4"_s, {120, 1440, 735, 255}, u"Skipped:"_s);
    row(u"lblSkipped"_s, {960, 1440, 615, 255}, u"0"_s, u"Number of questions not answered"_s);
    row(u"Label6"_s, {120, 1920, 615, 255}, u"Level:"_s);
    row(u"lblLevel"_s, {960, 1800, 615, 375}, u"1"_s, u"The current level of diffulty"_s);
    row(u"Picture1"_s, {120, 120, 495, 495}, {});
}

void TestMainWindow::controlsByDesignName()
{
    QFETCH(QString, name);
    QFETCH(QRect, twips);
    QFETCH(QString, caption);
    QFETCH(QString, toolTip);
    auto *control = f->window->findChild<QWidget *>(name);
    QVERIFY2(control, qPrintable(name));
    const QRect pixels(qRound(twips.x() / 15.0), qRound(twips.y() / 15.0), qRound(twips.width() / 15.0),
                       qRound(twips.height() / 15.0));
    QCOMPARE(control->geometry(), pixels);
    QCOMPARE(control->toolTip(), toolTip);
    if (auto *label = qobject_cast<QLabel *>(control); label && !caption.isNull())
        QCOMPARE(label->text(), caption);
    if (auto *button = qobject_cast<QPushButton *>(control))
        QCOMPARE(button->text(), caption);
    if (auto *frame = qobject_cast<QGroupBox *>(control))
        QCOMPARE(frame->title(), caption);
}

void TestMainWindow::fixedWindowOfTheDesignedSize()
{
    app::MainWindow &window = *f->window;
    QCOMPARE(window.windowTitle(), u"Zumbrel"_s);
    QCOMPARE(window.centralWidget()->size(), QSize(369, 364));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.minimumSize(), window.maximumSize());
    QVERIFY(!(window.windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(!window.windowIcon().isNull());
    QVERIFY(!f->control<QLabel>(u"Picture1")->pixmap().isNull());
}

// The raw pixels compiled into the program are the same picture as the icon theme's PNG files.
void TestMainWindow::iconIsTheDesktopsIcon()
{
    const QList<QImage> images = app::programIconImages();
    QCOMPARE(images.size(), 5);
    for (const QImage &image : images) {
        const QString png = u"%1/%2/zumbrel.png"_s.arg(QStringLiteral(ZUMBREL_ICON_DIR)).arg(image.width());
        const QImage expected(png);
        QVERIFY2(!expected.isNull(), qPrintable(png));
        QCOMPARE(image.size(), expected.size());
        QCOMPARE(image.convertToFormat(QImage::Format_ARGB32), expected.convertToFormat(QImage::Format_ARGB32));
    }
    QCOMPARE(app::programIcon().availableSizes().size(), 5);
}

void TestMainWindow::fontsAndColours()
{
    for (const char16_t *name : {u"lblNumber1", u"lblNumber2", u"lblSign"}) {
        const QFont font = f->control<QLabel>(name)->font();
        QCOMPARE(font.family(), platform::installedFamily(u"Times New Roman"_s));
        QCOMPARE(font.pointSizeF(), 48.0);
    }
    QCOMPARE(f->answerBox()->font().pointSizeF(), 72.0);
    QCOMPARE(f->control<QLabel>(u"lblLevel")->font().pointSizeF(), 15.75);
    QCOMPARE(f->control<QLabel>(u"Label5")->font().family(), platform::installedFamily(u"News Gothic"_s));
    // The substitutes installed with the program stand in for the fonts the window asks for.
    QCOMPARE(QFontInfo(f->control<QLabel>(u"lblSign")->font()).family(), u"Liberation Serif"_s);
    QCOMPARE(QFontInfo(f->answerBox()->font()).family(), u"Liberation Serif"_s);
    QCOMPARE(QFontInfo(f->control<QLabel>(u"Label1")->font()).family(), u"Liberation Sans"_s);

    auto colour = [this](const char16_t *name) {
        return f->control<QLabel>(name)->palette().color(QPalette::WindowText);
    };
    QCOMPARE(colour(u"lblNumber1"), QColor(0, 0, 0x80));
    QCOMPARE(colour(u"lblNumber2"), QColor(0, 0, 0x80));
    QCOMPARE(colour(u"lblSign"), QColor(0xC0, 0, 0));
    QCOMPARE(colour(u"lblLevel"), QColor(0, 0, 0xFF));
}

void TestMainWindow::tabOrder()
{
    showAndActivate();
    QStringList order;
    QWidget *widget = f->control<QPushButton>(u"cmdOK");
    for (int i = 0; i < 5; ++i) {
        order << widget->objectName();
        widget = widget->nextInFocusChain();
        while (widget->focusPolicy() == Qt::NoFocus)
            widget = widget->nextInFocusChain();
    }
    QCOMPARE(order, (QStringList{u"cmdOK"_s, u"cmdClose"_s, u"cmdReset"_s, u"cmdSkip"_s, u"txtAnswer"_s}));
}

void TestMainWindow::menuTree_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QKeySequence>("shortcut");
    QTest::newRow("name") << u"mnuFileName"_s << u"Your &Name..."_s << QKeySequence();
    QTest::newRow("exit") << u"mnuFileExit"_s << u"E&xit"_s << QKeySequence();
    QTest::newRow("addition") << u"mnuQuestionsAddition"_s << u"&Addition"_s << QKeySequence(u"Ctrl+F1"_s);
    QTest::newRow("subtraction") << u"mnuQuestionsSubtraction"_s << u"&Subtraction"_s << QKeySequence(u"Ctrl+F2"_s);
    QTest::newRow("multiplication") << u"mnuQuestionsMultiplication"_s << u"&Multiplication"_s
                                    << QKeySequence(u"Ctrl+F3"_s);
    QTest::newRow("division") << u"mnuQuestionsDivision"_s << u"&Division"_s << QKeySequence(u"Ctrl+F4"_s);
    QTest::newRow("contents") << u"mnuHelpContents"_s << u"&Contents"_s << QKeySequence(u"F1"_s);
    QTest::newRow("about") << u"mnuHelpAbout"_s << u"&About..."_s << QKeySequence();
}

void TestMainWindow::menuTree()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QKeySequence, shortcut);
    auto *action = f->window->findChild<QAction *>(name);
    QVERIFY(action);
    QCOMPARE(action->text(), caption);
    QCOMPARE(action->shortcut(), shortcut);
}

void TestMainWindow::menusAreNeverCheckedOrDisabled()
{
    QStringList bar;
    for (QAction *menu : f->window->menuBar()->actions())
        bar << menu->text();
    QCOMPARE(bar, (QStringList{u"&File"_s, u"&Questions"_s, u"&Help"_s}));

    auto *levels = f->window->findChild<QActionGroup *>(u"mnuQuestionsLevelsLevel"_s);
    QVERIFY(levels);
    QCOMPARE(levels->actions().size(), 4);
    for (int index = 0; index < 4; ++index) {
        QAction *level = levels->actions().at(index);
        QCOMPARE(level->text(), u"Level &%1"_s.arg(index + 1));
        QCOMPARE(level->data().toInt(), index);
        QCOMPARE(level->shortcut(), QKeySequence(Qt::SHIFT | Qt::Key(Qt::Key_F1 + index)));
    }
    auto *levelsMenu = f->window->findChild<QMenu *>(u"mnuQuestionsLevels"_s);
    QCOMPARE(levelsMenu->title(), u"Levels"_s);
    for (QAction *action : f->window->findChildren<QAction *>()) {
        QVERIFY(!action->isCheckable());
        QVERIFY(action->isEnabled());
    }
}

void TestMainWindow::firstStateHasNoPlaceholders()
{
    QCOMPARE(f->text(u"lblSign"), u"+"_s);
    QCOMPARE(f->text(u"lblLevel"), u"1"_s);
    QCOMPARE(f->counters(), u"1/0/0/0"_s);
    for (const char16_t *name : {u"lblNumber1", u"lblNumber2", u"lblSign", u"lblTotal", u"lblCorrect", u"lblWrong",
                                 u"lblSkipped"}) {
        const QString caption = f->text(name);
        QVERIFY2(caption != u"88"_s && caption != u"X"_s && !caption.startsWith(u"Label"_s), qPrintable(caption));
    }
    const int first = f->text(u"lblNumber1").toInt();
    const int second = f->text(u"lblNumber2").toInt();
    QCOMPARE(f->expectedResult(), QString::number(first + second));
    QVERIFY(first >= 1 && first <= 11);
}

void TestMainWindow::answerBoxTakesUpToThreeDigits()
{
    showAndActivate();
    QLineEdit *box = f->answerBox();
    box->setFocus();
    QTest::keyClicks(box, u"1a2-b3.45"_s);
    QCOMPARE(box->text(), u"123"_s);
    QCOMPARE(box->displayText(), u"123"_s);
    QTest::keyClick(box, Qt::Key_Backspace);
    QCOMPARE(box->displayText(), u"12_"_s);
}

void TestMainWindow::answerBoxReadsEmptyWhenBlank()
{
    QLineEdit *box = f->answerBox();
    QCOMPARE(box->text(), QString());
    QCOMPARE(box->displayText(), u"___"_s);
    box->setText(u"7"_s);
    box->setText(QString());
    QCOMPARE(box->text(), QString());
}

namespace {

// Types text key by key as a keyboard layout or input method of that script would deliver it.
void typeText(QWidget *widget, const QString &text)
{
    for (const char32_t c : text.toUcs4()) {
        const QString one = QString::fromUcs4(&c, 1);
        QTest::sendKeyEvent(QTest::Press, widget, Qt::Key_unknown, one, Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, widget, Qt::Key_unknown, one, Qt::NoModifier);
    }
}

void pasteText(QWidget *widget, const QString &text)
{
    QGuiApplication::clipboard()->setText(text);
    QTest::keyClick(widget, Qt::Key_V, Qt::ControlModifier);
}

// The same number in another script's digits.
QString inDigitsFrom(char32_t zero, const QString &ascii)
{
    QString out;
    for (const QChar c : ascii) {
        const char32_t digit = zero + char32_t(c.digitValue());
        out += QString::fromUcs4(&digit, 1);
    }
    return out;
}

} // namespace

void TestMainWindow::answerBoxShowsTheDigitsItJudges_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<bool>("paste");
    QTest::addColumn<QString>("shown");
    const auto both = [](const char *name, const QString &input, const QString &shown) {
        QTest::addRow("%s, typed", name) << input << false << shown;
        QTest::addRow("%s, pasted", name) << input << true << shown;
    };
    both("Arabic-Indic", u"\u0663\u0664"_s, u"34"_s);
    both("Extended Arabic-Indic", u"\u06F3\u06F4"_s, u"34"_s);
    both("Devanagari", u"\u0969\u096A"_s, u"34"_s);
    both("Bengali", u"\u09E7\u09EF"_s, u"19"_s);
    both("full-width", u"\uFF13\uFF14"_s, u"34"_s);
    both("superscript", u"\u00B3\u2074"_s, u"34"_s);
    both("mixed with ASCII", u"1\u0662\uFF13"_s, u"123"_s);
    both("numbers that are no digit", u"\u00BD\u216B7"_s, u"7"_s);
    both("zero", u"\u0660"_s, u"0"_s);
    both("more digits than fit", u"\u0661\u0662\u0663\u0664"_s, u"123"_s);
}

void TestMainWindow::answerBoxShowsTheDigitsItJudges()
{
    QFETCH(QString, input);
    QFETCH(bool, paste);
    QFETCH(QString, shown);
    showAndActivate();
    QLineEdit *box = f->answerBox();
    box->setFocus();
    if (paste)
        pasteText(box, input);
    else
        typeText(box, input);
    QCOMPARE(box->text(), shown);
    QCOMPARE(box->displayText(), shown + QString(3 - shown.size(), u'_'));
    // Typing goes on after the converted digits.
    if (shown.size() < 3) {
        QTest::keyClick(box, Qt::Key_5);
        QCOMPARE(box->text(), shown + u'5');
    }
}

void TestMainWindow::otherScriptsDigitsAreJudgedByValue_data()
{
    QTest::addColumn<int>("zero"); // the script's digit zero
    QTest::addColumn<bool>("paste");
    QTest::addColumn<int>("offset"); // added to the expected result
    QTest::addColumn<QString>("counters");
    QTest::newRow("Arabic-Indic, right, pasted") << 0x0660 << true << 0 << u"2/1/0/0"_s;
    QTest::newRow("Devanagari, right, typed") << 0x0966 << false << 0 << u"2/1/0/0"_s;
    QTest::newRow("full-width, wrong, pasted") << 0xFF10 << true << 1 << u"2/0/1/0"_s;
    QTest::newRow("Extended Arabic-Indic, wrong, typed") << 0x06F0 << false << 1 << u"2/0/1/0"_s;
}

void TestMainWindow::otherScriptsDigitsAreJudgedByValue()
{
    QFETCH(int, zero);
    QFETCH(bool, paste);
    QFETCH(int, offset);
    QFETCH(QString, counters);
    showAndActivate();
    f->agent.character()->visible = false; // judged and moved on at once
    QLineEdit *box = f->answerBox();
    box->setFocus();
    const QString answer = inDigitsFrom(char32_t(zero), QString::number(f->expectedResult().toInt() + offset));
    if (paste)
        pasteText(box, answer);
    else
        typeText(box, answer);
    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(f->counters(), counters);
}

void TestMainWindow::enterConfirmsExactlyOnce()
{
    showAndActivate();
    f->agent.character()->visible = false; // no reaction: judged and moved on at once
    QLineEdit *box = f->answerBox();
    box->setFocus();
    QTest::keyClicks(box, f->expectedResult());
    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(f->counters(), u"2/1/0/0"_s);
    QTest::keyClicks(box, u"999"_s);
    QTest::keyClick(box, Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(f->counters(), u"3/1/1/0"_s);
}

void TestMainWindow::enterPressesTheFocusedButton_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("counters");
    // Counted from Total 2 and Skipped 1, so that a reset shows in the counters.
    QTest::newRow("skip") << u"cmdSkip"_s << u"3/0/0/2"_s;
    QTest::newRow("reset") << u"cmdReset"_s << u"1/0/0/0"_s;
    QTest::newRow("ok") << u"cmdOK"_s << u"3/1/0/1"_s;
}

void TestMainWindow::enterPressesTheFocusedButton()
{
    QFETCH(QString, button);
    QFETCH(QString, counters);
    showAndActivate();
    f->agent.character()->visible = false;
    f->type(f->expectedResult());
    f->click(u"cmdSkip");
    f->type(f->expectedResult());
    auto *target = f->window->findChild<QPushButton *>(button);
    target->setFocus();
    QTest::keyClick(target, Qt::Key_Return);
    QCOMPARE(f->counters(), counters);
}

void TestMainWindow::heldEnterConfirmsOnce()
{
    showAndActivate();
    f->agent.character()->visible = false;
    QLineEdit *box = f->answerBox();
    box->setFocus();
    QTest::keyClicks(box, u"999"_s);
    QTest::keyPress(box, Qt::Key_Return);
    QTest::keyPress(box, Qt::Key_Return, Qt::NoModifier); // plain second press: empty box, nothing happens
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QString(), true);
    QTest::keyClicks(box, u"999"_s);
    QApplication::sendEvent(box, &repeat);
    QCOMPARE(f->counters(), u"2/0/1/0"_s);
}

void TestMainWindow::escapeSkipsWhereverTheFocusIs()
{
    showAndActivate();
    for (const char16_t *name : {u"txtAnswer", u"cmdOK", u"cmdReset", u"cmdClose"}) {
        auto *widget = f->control<QWidget>(name);
        widget->setFocus();
        QTest::keyClick(widget, Qt::Key_Escape);
    }
    QCOMPARE(f->counters(), u"5/0/0/4"_s);
    QVERIFY(f->agent.log.filter(u"Speak"_s).isEmpty());
}

void TestMainWindow::shortcutsChooseOperationAndLevel()
{
    showAndActivate();
    QTest::keyClick(f->window.get(), Qt::Key_F3, Qt::ControlModifier);
    QCOMPARE(f->text(u"lblSign"), QString(QChar(0x00D7)));
    QCOMPARE(f->control<QLabel>(u"lblSign")->property("Tag").toString(), u"*"_s);
    QTest::keyClick(f->window.get(), Qt::Key_F4, Qt::ShiftModifier);
    QCOMPARE(f->text(u"lblLevel"), u"4"_s);
    QCOMPARE(f->text(u"lblSign"), QString(QChar(0x00D7)));
    QTest::keyClick(f->window.get(), Qt::Key_F2, Qt::ControlModifier);
    QCOMPARE(f->text(u"lblSign"), QString(QChar(0x2013)));
    QTest::keyClick(f->window.get(), Qt::Key_F4, Qt::ControlModifier);
    QCOMPARE(f->text(u"lblSign"), QString(QChar(0x00F7)));
    QCOMPARE(f->text(u"lblLevel"), u"4"_s);
}

void TestMainWindow::accessKeysPressButtons()
{
    showAndActivate();
    // An access key presses its button the way a click does, with the button shown pressed a moment.
    QTest::keyClick(f->window.get(), Qt::Key_S, Qt::AltModifier);
    QTRY_COMPARE(f->counters(), u"2/0/0/1"_s);
    QTest::keyClick(f->window.get(), Qt::Key_R, Qt::AltModifier);
    QTRY_COMPARE(f->counters(), u"1/0/0/0"_s);
}

void TestMainWindow::activationPutsFocusInAnswerBox()
{
    showAndActivate();
    f->control<QPushButton>(u"cmdReset")->setFocus();
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(f->window.get(), &activate);
    QCOMPARE(QApplication::focusWidget(), f->answerBox());
}

void TestMainWindow::pictureCallsHiddenTeacherBack_data()
{
    QTest::addColumn<bool>("hiddenByChild");
    QTest::addColumn<bool>("byKeyboard");
    // Without a notification area the picture is the only way back after the child's Hide.
    QTest::newRow("child hid him, picture clicked") << true << false;
    QTest::newRow("child hid him, picture reached with Tab, Enter") << true << true;
    // The program hides him itself only for a while (About) or for good (the farewell).
    QTest::newRow("program hid him, picture clicked") << false << false;
}

void TestMainWindow::pictureCallsHiddenTeacherBack()
{
    QFETCH(bool, hiddenByChild);
    QFETCH(bool, byKeyboard);
    showAndActivate();
    auto *picture = f->control<QLabel>(u"Picture1");
    QVERIFY(picture->toolTip().isEmpty());
    f->agent.character()->visible = false;
    emit f->agent.visibleChanged(u"MyChar"_s, false, hiddenByChild);
    QCOMPARE(picture->toolTip().contains(u"call him back"_s), hiddenByChild);
    QCOMPARE(picture->accessibleName().contains(u"call him back"_s), hiddenByChild);

    const QString counters = f->counters();
    if (byKeyboard) {
        for (int i = 0; i < 6 && !picture->hasFocus(); ++i)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QVERIFY(picture->hasFocus());
        QTest::keyClick(picture, Qt::Key_Return);
    } else {
        QTest::mouseClick(picture, Qt::LeftButton, {}, QPoint(10, 10));
    }
    QCOMPARE(f->agent.entriesStartingWith(u"Show"_s).size(), hiddenByChild ? 1 : 0);
    // Enter on the picture calls him back and does not also confirm the answer.
    QCOMPARE(f->counters(), counters);

    f->agent.completePending();
    f->agent.character()->visible = true;
    emit f->agent.visibleChanged(u"MyChar"_s, true, false);
    QVERIFY(picture->toolTip().isEmpty());
    QCOMPARE(picture->accessibleName(), u"Zumbrel"_s);
    QCOMPARE(picture->focusPolicy(), Qt::NoFocus);
    if (byKeyboard)
        QCOMPARE(QApplication::focusWidget(), f->answerBox());
    // Back on the screen, the picture is a picture again.
    QTest::mouseClick(picture, Qt::LeftButton, {}, QPoint(10, 10));
    QCOMPARE(f->agent.entriesStartingWith(u"Show"_s).size(), hiddenByChild ? 1 : 0);
}

namespace {

QAccessibleInterface *accessible(QWidget *widget)
{
    return QAccessible::queryAccessibleInterface(widget);
}

QString accessibleText(QWidget *widget, QAccessible::Text which)
{
    QAccessibleInterface *interface = accessible(widget);
    return interface ? interface->text(which) : u"<no interface>"_s;
}

} // namespace

void TestMainWindow::screenReaderNames_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QAccessible::Role>("role");
    QTest::addColumn<QString>("name");

    // After the start: the first question counts as shown, level 1.
    QTest::newRow("answer box") << u"txtAnswer"_s << QAccessible::EditableText << u"Your answer"_s;
    QTest::newRow("total") << u"lblTotal"_s << QAccessible::StaticText << u"Total: 1"_s;
    QTest::newRow("correct") << u"lblCorrect"_s << QAccessible::StaticText << u"Correct: 0"_s;
    QTest::newRow("wrong") << u"lblWrong"_s << QAccessible::StaticText << u"Wrong: 0"_s;
    QTest::newRow("skipped") << u"lblSkipped"_s << QAccessible::StaticText << u"Skipped: 0"_s;
    QTest::newRow("level") << u"lblLevel"_s << QAccessible::StaticText << u"Level: 1"_s;
    QTest::newRow("sign") << u"lblSign"_s << QAccessible::StaticText << u"plus"_s;
    QTest::newRow("question frame") << u"Frame1"_s << QAccessible::Grouping << u"Question"_s;
    QTest::newRow("score frame") << u"Frame2"_s << QAccessible::Grouping << u"Score"_s;
    QTest::newRow("ok") << u"cmdOK"_s << QAccessible::Button << u"Ok"_s;
    QTest::newRow("skip") << u"cmdSkip"_s << QAccessible::Button << u"Skip"_s;
    QTest::newRow("reset") << u"cmdReset"_s << QAccessible::Button << u"Reset"_s;
    QTest::newRow("close") << u"cmdClose"_s << QAccessible::Button << u"Close"_s;
    QTest::newRow("picture") << u"Picture1"_s << QAccessible::Graphic << u"Zumbrel"_s;
}

void TestMainWindow::screenReaderNames()
{
    QFETCH(QString, control);
    QFETCH(QAccessible::Role, role);
    QFETCH(QString, name);
    auto *widget = f->window->findChild<QWidget *>(control);
    QVERIFY(widget);
    QAccessibleInterface *interface = accessible(widget);
    QVERIFY(interface);
    QCOMPARE(interface->role(), role);
    // Access-key marks are not read aloud.
    QCOMPARE(interface->text(QAccessible::Name).remove(u'&'), name);
    // Every control that does something, and every value, says what it is for.
    if (role != QAccessible::Grouping && control != u"Picture1"_s)
        QVERIFY2(!interface->text(QAccessible::Description).isEmpty(), qPrintable(control));
}

void TestMainWindow::screenReaderHearsTheSum_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("spokenSign");
    QTest::newRow("addition") << int(Qt::Key_F1) << u"plus"_s;
    QTest::newRow("subtraction") << int(Qt::Key_F2) << u"minus"_s;
    QTest::newRow("multiplication") << int(Qt::Key_F3) << u"times"_s;
    QTest::newRow("division") << int(Qt::Key_F4) << u"divided by"_s;
}

void TestMainWindow::screenReaderHearsTheSum()
{
    QFETCH(int, key);
    QFETCH(QString, spokenSign);
    showAndActivate();
    // The sign changes first: Ctrl+F4 from addition shows a division, and its sum must follow.
    QTest::keyClick(f->window.get(), Qt::Key(key), Qt::ControlModifier);
    const QString sum = f->text(u"lblNumber1") + u' ' + spokenSign + u' ' + f->text(u"lblNumber2");
    QCOMPARE(accessibleText(f->answerBox(), QAccessible::Description), sum);
    QCOMPARE(accessibleText(f->control<QWidget>(u"Frame1"), QAccessible::Description), sum);
    QCOMPARE(accessibleText(f->control<QWidget>(u"lblSign"), QAccessible::Name), spokenSign);
    // The visible sign stays the written one.
    QVERIFY(f->text(u"lblSign").size() == 1);
}

void TestMainWindow::screenReaderHearsCountersChange()
{
    showAndActivate();
    QAccessibleInterface *correct = accessible(f->control<QWidget>(u"lblCorrect"));
    QAccessibleInterface *wrong = accessible(f->control<QWidget>(u"lblWrong"));
    f->type(f->expectedResult());
    f->click(u"cmdOK");
    QCOMPARE(correct->text(QAccessible::Name), u"Correct: 1"_s);
    QCOMPARE(accessibleText(f->control<QWidget>(u"lblTotal"), QAccessible::Name), u"Total: 2"_s);
    // A wrong answer: one more than the right one.
    f->type(QString::number(f->expectedResult().toInt() + 1));
    f->click(u"cmdOK");
    QCOMPARE(wrong->text(QAccessible::Name), u"Wrong: 1"_s);
    // Each new question is described afresh, and the description matches what is on screen.
    const QString shown = f->text(u"lblNumber1") + u" plus "_s + f->text(u"lblNumber2");
    QCOMPARE(accessibleText(f->answerBox(), QAccessible::Description), shown);
    QTest::keyClick(f->window.get(), Qt::Key_F3, Qt::ShiftModifier);
    QCOMPARE(accessibleText(f->control<QWidget>(u"lblLevel"), QAccessible::Name), u"Level: 3"_s);
    QCOMPARE(correct->text(QAccessible::Name), u"Correct: 0"_s);
    // The typed answer is readable as the box's value.
    f->type(u"7"_s);
    QCOMPARE(accessibleText(f->answerBox(), QAccessible::Value), u"7"_s);
}

void TestMainWindow::valuesReadAsText_data()
{
    QTest::addColumn<QString>("control");
    for (const char *name : {"lblNumber1", "lblSign", "lblNumber2", "lblTotal", "lblCorrect", "lblWrong", "lblSkipped",
                             "lblLevel"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void TestMainWindow::valuesReadAsText()
{
    QFETCH(QString, control);
    auto *label = f->window->findChild<QLabel *>(control);
    QVERIFY(label);
    // A skip changes the operands and two counters; the text must follow what is shown.
    f->click(u"cmdSkip");
    QAccessibleInterface *interface = accessible(label);
    QVERIFY(interface);
    QCOMPARE(interface->text(QAccessible::Value), label->text());
    QAccessibleTextInterface *text = interface->textInterface();
    QVERIFY(text);
    QCOMPARE(text->characterCount(), label->text().size());
    QCOMPARE(text->text(0, text->characterCount()), label->text());
    QCOMPARE(text->text(0, -1), label->text());
    // Out-of-range offsets are clamped, never a crash.
    QCOMPARE(text->text(-5, 1000), label->text());
    QCOMPARE(text->text(1, 1), QString());
}

void TestMainWindow::contentsOpensTheGuide_data()
{
    QTest::addColumn<bool>("browserWorks");
    QTest::newRow("browser opens it") << true;
    QTest::newRow("no browser") << false;
}

void TestMainWindow::contentsOpensTheGuide()
{
    QFETCH(bool, browserWorks);
    f->browser.works = browserWorks;
    showAndActivate();
    QTest::keyClick(f->window.get(), Qt::Key_F1);
    QCOMPARE(f->browser.opened.size(), 1);
    const QUrl guide = f->browser.opened.first();
    QVERIFY(guide.isLocalFile());
    QVERIFY2(QFileInfo(guide.toLocalFile()).isFile(), qPrintable(guide.toString()));
    QVERIFY(guide.toLocalFile().endsWith(u"/help/index.html"_s));
    if (browserWorks) {
        QVERIFY(f->dialogs.warnings.isEmpty());
    } else {
        // Told where the guide is, so that it can be opened by hand.
        QCOMPARE(f->dialogs.warnings.size(), 1);
        QVERIFY(f->dialogs.warnings.first().contains(guide.toString()));
    }
    // Nothing else happened to the quiz.
    QCOMPARE(f->counters(), u"1/0/0/0"_s);
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"

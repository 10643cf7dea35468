// SPDX-License-Identifier: GPL-3.0-or-later
// The fixed layout holds in every shipped language: each window is built in each language and
// every caption, title, menu entry and tooltip is measured against the room its control gives.
#include <functional>

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QInputDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QToolTip>
#include <QTranslator>

#include "about/frmabout.h"
#include "appfixture.h"
#include "characterdesktop/desktopagent.h"
#include "characterdesktop/listeningtip.h"
#include "platform/fonts.h"
#include "teacher/teacher.h"
#include "translations/language.h"

using namespace Qt::StringLiterals;

namespace {

QString withoutMarks(QString text)
{
    text.replace(u"&&"_s, u"\x01"_s).remove(u'&').replace(u"\x01"_s, u"&"_s);
    return text;
}

int inkWidth(const QFontMetrics &fm, const QString &text)
{
    const QRect ink = fm.boundingRect(text);
    return std::max(0, ink.right() + 1);
}

QRect screenRect()
{
    return QGuiApplication::primaryScreen()->availableGeometry();
}

struct Fit
{
    QString text;
    int overflow = 0; // pixels beyond the control's room; 0 or less fits
};

// How far the text of every captioned control of `root` goes beyond the room it has, by name.
QHash<QString, Fit> overflows(QWidget *root)
{
    QHash<QString, Fit> out;
    for (QLabel *label : root->findChildren<QLabel *>()) {
        if (!label->isVisibleTo(root) || label->text().isEmpty() || label->textFormat() == Qt::RichText)
            continue;
        const QRect room = label->contentsRect();
        const QFontMetrics fm(label->font());
        QString text = label->text();
        text.remove(u'\r');
        if (label->wordWrap()) {
            const QRect needed = fm.boundingRect(QRect(0, 0, room.width(), 100000), Qt::TextWordWrap, text);
            out.insert(label->objectName(),
                       {text, std::max(needed.width() - room.width(), needed.height() - room.height())});
        } else {
            // The ink of the text, so that the empty side bearing of a final ":" is not counted.
            const QStringList lines = text.split(u'\n');
            int widest = 0;
            for (const QString &line : lines)
                widest = std::max(widest, inkWidth(fm, withoutMarks(line)));
            int overflow = widest - room.width();
            if (lines.size() > 1)
                overflow = std::max(overflow, int(lines.size()) * fm.lineSpacing() - room.height());
            out.insert(label->objectName(), {text, overflow});
        }
    }
    for (QAbstractButton *button : root->findChildren<QAbstractButton *>()) {
        if (!button->isVisibleTo(root) || button->text().isEmpty())
            continue;
        // Room for the text inside the button's bevel, as the style draws it.
        const int needed = QFontMetrics(button->font()).horizontalAdvance(withoutMarks(button->text())) + 6;
        out.insert(button->objectName(), {button->text(), needed - button->width()});
    }
    for (QGroupBox *box : root->findChildren<QGroupBox *>()) {
        const int needed = QFontMetrics(box->font()).horizontalAdvance(withoutMarks(box->title())) + 16;
        out.insert(box->objectName(), {box->title(), needed - box->width()});
    }
    // A plain tooltip is one line; wider than the screen, it is cut.
    const QFontMetrics tipMetrics(QToolTip::font());
    for (QWidget *widget : root->findChildren<QWidget *>()) {
        if (!widget->toolTip().isEmpty())
            out.insert(widget->objectName() + u" (tooltip)"_s,
                       {widget->toolTip(), tipMetrics.horizontalAdvance(widget->toolTip()) + 8 - screenRect().width()});
    }
    return out;
}

// The controls whose translated text overflows. Where the English text already overflows its
// control with this system's fonts, a translation may go as far, and no further.
QStringList misfits(const QHash<QString, Fit> &translated, const QHash<QString, Fit> &english)
{
    QStringList out;
    for (auto it = translated.cbegin(); it != translated.cend(); ++it) {
        const int allowed = std::max(0, english.value(it.key()).overflow);
        if (it->overflow > allowed)
            out << u"%1 \"%2\" is %3 px too wide or tall"_s.arg(it.key(), it->text).arg(it->overflow);
    }
    out.sort();
    return out;
}

void reportEnglishOverflows(const QHash<QString, Fit> &english)
{
    for (auto it = english.cbegin(); it != english.cend(); ++it) {
        if (it->overflow > 0)
            qWarning("English \"%s\" overflows %s by %d px", qPrintable(it->text), qPrintable(it.key()), it->overflow);
    }
}

// The key that goes with Alt for a caption, lower case; none without a mark.
QChar mnemonic(const QString &text)
{
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text.at(i) == u'&') {
            if (text.at(i + 1) != u'&')
                return text.at(i + 1).toLower();
            ++i;
        }
    }
    return {};
}

// Captions that share their Alt key with another one reached from the same place.
QStringList clashes(const QStringList &captions)
{
    QStringList out;
    QHash<QChar, QString> taken;
    for (const QString &caption : captions) {
        const QChar key = mnemonic(caption);
        if (key.isNull())
            continue;
        if (taken.contains(key))
            out << taken.value(key) + u" and "_s + caption;
        taken.insert(key, caption);
    }
    return out;
}

QStringList menuClashes(QMenu *menu)
{
    QStringList captions;
    QStringList out;
    for (QAction *action : menu->actions()) {
        captions << action->text();
        if (action->menu())
            out << menuClashes(action->menu());
    }
    return out + clashes(captions);
}

QStringList menuMisfits(QMenu *menu, const QString &name)
{
    QStringList out;
    menu->ensurePolished();
    if (menu->sizeHint().width() > screenRect().width() || menu->sizeHint().height() > screenRect().height())
        out << name + u" menu is larger than the screen"_s;
    for (QAction *action : menu->actions()) {
        if (action->menu())
            out << menuMisfits(action->menu(), name + u" > "_s + withoutMarks(action->text()));
    }
    return out;
}

} // namespace

class TestLayoutFit : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void mainWindowFits_data();
    void mainWindowFits();
    void aboutDialogFits_data() { mainWindowFits_data(); }
    void aboutDialogFits();
    void dialogsFit_data() { mainWindowFits_data(); }
    void dialogsFit();
    void characterMenuAndTipFit_data() { mainWindowFits_data(); }
    void characterMenuAndTipFit();

private:
    void useLanguage(const QString &language);
    // What `measure` finds with the catalogs of this test's language taken out for the while.
    QHash<QString, Fit> inEnglish(const std::function<QHash<QString, Fit>()> &measure);
    QList<QTranslator *> m_installed;
};

void TestLayoutFit::initTestCase()
{
    // The fonts the program measures with: the window's font names mapped as the program maps them.
    platform::installFontSubstitutions();
}

void TestLayoutFit::init()
{
    QFETCH(QString, language);
    useLanguage(language);
}

void TestLayoutFit::cleanup()
{
    for (QTranslator *translator : std::as_const(m_installed))
        QCoreApplication::removeTranslator(translator);
    qDeleteAll(m_installed);
    m_installed.clear();
}

void TestLayoutFit::useLanguage(const QString &language)
{
    const QList<QTranslator *> before = qApp->findChildren<QTranslator *>(Qt::FindDirectChildrenOnly);
    QVERIFY(translations::install(*qApp, language));
    for (QTranslator *translator : qApp->findChildren<QTranslator *>(Qt::FindDirectChildrenOnly)) {
        if (!before.contains(translator))
            m_installed << translator;
    }
    if (language != u"en"_s)
        QVERIFY2(!m_installed.isEmpty(), "no catalog installed");
}

QHash<QString, Fit> TestLayoutFit::inEnglish(const std::function<QHash<QString, Fit>()> &measure)
{
    for (QTranslator *translator : std::as_const(m_installed))
        QCoreApplication::removeTranslator(translator);
    const QHash<QString, Fit> result = measure();
    for (QTranslator *translator : std::as_const(m_installed))
        QCoreApplication::installTranslator(translator);
    return result;
}

void TestLayoutFit::mainWindowFits_data()
{
    QTest::addColumn<QString>("language");
    for (const QString &language : translations::shippedLanguages())
        QTest::newRow(qPrintable(language)) << language;
}

void TestLayoutFit::mainWindowFits()
{
    QFETCH(QString, language);
    const QHash<QString, Fit> english = inEnglish([] {
        testsupport::AppFixture f;
        app::MainWindow &window = f.start();
        window.show();
        return overflows(&window);
    });
    if (language == u"en"_s)
        reportEnglishOverflows(english);
    testsupport::AppFixture f;
    app::MainWindow &window = f.start();
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QStringList bad = misfits(overflows(&window), english);
    QVERIFY2(bad.isEmpty(), qPrintable(bad.join(u'\n')));

    // Every menu title is on the menu bar, none pushed into its overflow.
    QMenuBar *bar = window.menuBar();
    for (QAction *action : bar->actions()) {
        const QRect place = bar->actionGeometry(action);
        QVERIFY2(!place.isEmpty() && place.right() < bar->width(), qPrintable(action->text()));
        QStringList menuBad = menuMisfits(action->menu(), withoutMarks(action->text()));
        QVERIFY2(menuBad.isEmpty(), qPrintable(menuBad.join(u'\n')));
    }
    if (language != u"en"_s)
        QVERIFY(window.findChild<QPushButton *>(u"cmdSkip"_s)->text() != u"&Skip"_s);

    // Alt and a letter reaches one thing only: the menu titles and the buttons of the window,
    // and the entries of each menu.
    QStringList topLevel;
    for (QAction *action : bar->actions())
        topLevel << action->text();
    for (QPushButton *button : window.findChildren<QPushButton *>())
        topLevel << button->text();
    QStringList clash = clashes(topLevel);
    for (QAction *action : bar->actions())
        clash << menuClashes(action->menu());
    QVERIFY2(clash.isEmpty(), qPrintable(clash.join(u'\n')));
}

void TestLayoutFit::aboutDialogFits()
{
    QFETCH(QString, language);
    const QHash<QString, Fit> english = inEnglish([] {
        about::frmAbout dialog;
        dialog.show();
        return overflows(&dialog);
    });
    if (language == u"en"_s)
        reportEnglishOverflows(english);
    about::frmAbout dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    const QStringList bad = misfits(overflows(&dialog), english);
    QVERIFY2(bad.isEmpty(), qPrintable(bad.join(u'\n')));
    if (language != u"en"_s)
        QVERIFY(!dialog.windowTitle().startsWith(u"About"_s));
}

void TestLayoutFit::dialogsFit()
{
    QFETCH(QString, language);
    const auto fitsScreen = [](QWidget &dialog) {
        dialog.adjustSize();
        return dialog.width() <= screenRect().width() && dialog.height() <= screenRect().height();
    };
    const QString address = teacher::helpPageUrl().toString();
    const std::pair<QString, QString> messages[] = {
        {teacher::missingCharacterTitle(), teacher::missingCharacterMessage(address)},
        {u"Zumbrel"_s, QCoreApplication::translate("app::MainWindow",
                                                    "The page could not be opened in a web browser. Open it yourself:")
                           + u"\r\n"_s + address},
        {u"Zumbrel"_s, QCoreApplication::translate("about::frmAbout", "System Information Is Unavailable At This Time")},
    };
    for (const auto &[title, text] : messages) {
        QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Yes | QMessageBox::No);
        QVERIFY2(fitsScreen(box), qPrintable(text));
        // Qt's own buttons speak the language too.
        if (language != u"en"_s)
            QVERIFY(box.button(QMessageBox::Yes)->text() != u"&Yes"_s);
    }
    QInputDialog name;
    name.setWindowTitle(QCoreApplication::translate("app::MainWindow", "Enter Name"));
    name.setLabelText(QCoreApplication::translate("app::MainWindow", "What is your name?"));
    QVERIFY(fitsScreen(name));
    if (language != u"en"_s)
        QVERIFY(name.labelText() != u"What is your name?"_s);
}

void TestLayoutFit::characterMenuAndTipFit()
{
    QFETCH(QString, language);
    character::DesktopAgent agent;
    agent.setCharacterDirectories({QStringLiteral(ZUMBREL_SOURCE_DIR "/data")});
    agent.setIdleDelay(-1);
    agent.setTrayIconEnabled(false);
    try {
        agent.Characters().Load(u"MyChar"_s, u"Merlin.acs"_s);
    } catch (const std::exception &error) {
        QFAIL(error.what());
    }
    std::shared_ptr<character::Character> merlin = agent.Characters().Item(u"MyChar"_s);
    for (const teacher::CommandDefinition &command : teacher::commandTable())
        merlin->Commands().Add(command.name, teacher::commandCaption(command), command.voice, true, true);
    merlin->Show(true);
    character::DesktopCharacter *desktop = agent.character(u"MyChar"_s);
    QVERIFY(desktop);

    desktop->openMenu(screenRect().center());
    QMenu *menu = desktop->menu();
    QVERIFY(menu);
    QStringList bad = menuMisfits(menu, u"Merlin"_s);
    QVERIFY2(bad.isEmpty(), qPrintable(bad.join(u'\n')));
    const QStringList clash = menuClashes(menu);
    QVERIFY2(clash.isEmpty(), qPrintable(clash.join(u'\n')));
    if (language != u"en"_s)
        QVERIFY(menu->findChild<QAction *>(u"hideAction"_s)->text() != u"&Hide"_s);
    menu->hide();

    // The longest tip the character shows, placed by a character in the screen's corner.
    character::ListeningTip tip(false);
    const QString say = QCoreApplication::translate("character", "Say: %1")
                            .arg(u"Reset, Level One ... Level Four, Exit"_s);
    const QString note = QCoreApplication::translate("character", "Speak now. You can also hold %1 while you speak.")
                             .arg(QCoreApplication::translate("character", "the Space bar"));
    tip.showTip(character::ListeningTip::Mark::Listening,
                QCoreApplication::translate("character", "%1 is listening...").arg(u"Merlin"_s), say, note,
                QRect(screenRect().right() - 130, screenRect().top(), 128, 128));
    QVERIFY2(screenRect().contains(tip.geometry()), qPrintable(tip.text()));
}

QTEST_MAIN(TestLayoutFit)
#include "tst_layoutfit.moc"

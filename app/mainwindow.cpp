// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/mainwindow.h"

#include <cstdio>

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGroupBox>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QVBoxLayout>

#include "app/answerbox.h"
#include "app/logging.h"
#include "app/programicon.h"
#include "app/valuelabel.h"
#include "platform/browser.h"
#include "platform/datapaths.h"
#include "platform/fonts.h"
#include "platform/twips.h"
#include "quiz/feedback.h"
#include "quiz/numbers.h"
#include "quiz/randomsource.h"
#include "teacher/teacher.h"
#include "widgets/dialogs.h"
#include "widgets/labels.h"

using namespace Qt::StringLiterals;

namespace app {

namespace {

// Every control carries a tag: a text that is never shown.
const char tagProperty[] = "Tag";

QString tagOf(const QObject *control)
{
    return control->property(tagProperty).toString();
}

void setTag(QObject *control, const QString &tag)
{
    control->setProperty(tagProperty, tag);
}

using platform::fromBgr;
using platform::fromTwips;
using platform::twipsRect;
using widgets::makeLabel;

void frame(QLabel *label)
{
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setLineWidth(1);
}

void setTextColour(QWidget *widget, quint32 bgr)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, fromBgr(bgr));
    widget->setPalette(palette);
}

QFont serifFont(qreal points)
{
    QFont font(platform::installedFamily(u"Times New Roman"_s));
    font.setPointSizeF(points);
    // Digits and the four signs only, which every serif font has: no other fonts are looked for
    // to fill in missing characters, a search that costs the start milliseconds.
    font.setStyleStrategy(QFont::NoFontMerging);
    return font;
}

QPushButton *makeButton(QWidget *parent, const QString &name, const QString &caption, const QRect &geometry)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setGeometry(geometry);
    // Enter is routed by the window itself: only one button acts on one press.
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

// The sign as a screen reader should say it: "8 plus 2", not "8 + 2" read as "8 2".
QString spokenSign(quiz::Operation operation)
{
    switch (operation) {
    case quiz::Operation::Addition:
        return QCoreApplication::translate("app::MainWindow", "plus");
    case quiz::Operation::Subtraction:
        return QCoreApplication::translate("app::MainWindow", "minus");
    case quiz::Operation::Multiplication:
        return QCoreApplication::translate("app::MainWindow", "times");
    case quiz::Operation::Division:
        return QCoreApplication::translate("app::MainWindow", "divided by");
    }
    return {};
}

// The guide for parents and children, installed with the program.
QUrl guideUrl()
{
    const QString relative = u"help/index.html"_s;
    QString path = platform::findDataPath(relative);
    if (path.isEmpty())
        path = QCoreApplication::applicationDirPath() + u"/../share/zumbrel/"_s + relative;
    return QUrl::fromLocalFile(path);
}

} // namespace

MainWindow::MainWindow(const MainWindowServices &services, QWidget *parent)
    : QMainWindow(parent)
    , m_services(services)
    , Agent1(services.agent)
{
    Q_ASSERT(services.agent && services.random && services.browser && services.dialogs);
    setObjectName(u"frmMain"_s);
    setWindowTitle(tr("Zumbrel"));
    setWindowIcon(programIcon());
    // A fixed border with no maximise button.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    // The menus first: they need no font yet, and meanwhile the installed families are listed
    // on a worker at start.
    createMenus();
    QFont controlsFont(platform::installedFamily(u"MS Sans Serif"_s));
    controlsFont.setPointSizeF(8.25);
    setFont(controlsFont);
    createControls();
    connectEvents();
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

MainWindow::~MainWindow() = default;

void MainWindow::createControls()
{
    auto *client = new QWidget(this);
    client->setObjectName(u"client"_s);
    client->setFixedSize(fromTwips(5535), fromTwips(5460));
    setCentralWidget(client);

    Picture1 = makeLabel(client, u"Picture1"_s, QString(), twipsRect(120, 120, 495, 495));
    Picture1->setPixmap(windowIcon().pixmap(32, 32));
    Picture1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Picture1->installEventFilter(this);

    Label5 = makeLabel(client, u"Label5"_s, tr("Zumbrel Teacher"), twipsRect(120, 960, 2085, 1095));
    QFont titleFont(platform::installedFamily(u"News Gothic"_s));
    titleFont.setPointSizeF(20.25);
    titleFont.setWeight(QFont::Normal);
    Label5->setFont(titleFont);
    Label5->setWordWrap(true);

    txtAnswer = new AnswerBox(client);
    txtAnswer->setObjectName(u"txtAnswer"_s);
    txtAnswer->setGeometry(twipsRect(2160, 0, 3255, 2055));
    txtAnswer->setFont(serifFont(72));
    txtAnswer->setToolTip(tr("Type your answer here"));

    Frame1 = new QGroupBox(tr("Question"), client);
    Frame1->setObjectName(u"Frame1"_s);
    Frame1->setGeometry(twipsRect(2280, 2160, 2895, 2415));
    lblNumber1 = makeLabel(Frame1, u"lblNumber1"_s, u"88"_s, twipsRect(1200, 240, 1335, 975));
    lblSign = makeLabel(Frame1, u"lblSign"_s, u"X"_s, twipsRect(360, 960, 615, 975));
    lblNumber2 = makeLabel(Frame1, u"lblNumber2"_s, u"88"_s, twipsRect(1200, 1320, 1335, 975));
    for (QLabel *label : {lblNumber1, lblSign, lblNumber2}) {
        // Before anything asks for the label's accessible interface, which is then kept.
        exposeValueAsText(label);
        frame(label);
        label->setFont(serifFont(48));
    }
    lblNumber1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblNumber2->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblSign->setAlignment(Qt::AlignCenter);
    setTextColour(lblNumber1, 0x00800000);
    setTextColour(lblNumber2, 0x00800000);
    setTextColour(lblSign, 0x000000C0);
    lblSign->setToolTip(tr("Type of questions being asked"));

    Frame2 = new QGroupBox(tr("Score"), client);
    Frame2->setObjectName(u"Frame2"_s);
    Frame2->setGeometry(twipsRect(120, 2280, 1695, 2295));
    Label1 = makeLabel(Frame2, u"Label1"_s, tr("Total:"), twipsRect(120, 360, 615, 255));
    lblTotal = makeLabel(Frame2, u"lblTotal"_s, u"Label2"_s, twipsRect(960, 360, 615, 255));
    Label2 = makeLabel(Frame2, u"Label2"_s, tr("Correct:"), twipsRect(120, 720, 615, 255));
    lblCorrect = makeLabel(Frame2, u"lblCorrect"_s, u"Label3"_s, twipsRect(960, 720, 615, 255));
    Label3 = makeLabel(Frame2, u"Label3"_s, tr("Wrong:"), twipsRect(120, 1080, 615, 255));
    lblWrong = makeLabel(Frame2, u"lblWrong"_s, u"Label4"_s, twipsRect(960, 1080, 615, 255));
    Label4 = makeLabel(Frame2, u"Label4"_s, tr("Skipped:"), twipsRect(120, 1440, 735, 255));
    lblSkipped = makeLabel(Frame2, u"lblSkipped"_s, u"Label5"_s, twipsRect(960, 1440, 615, 255));
    Label6 = makeLabel(Frame2, u"Label6"_s, tr("Level:"), twipsRect(120, 1920, 615, 255));
    lblLevel = makeLabel(Frame2, u"lblLevel"_s, u"1"_s, twipsRect(960, 1800, 615, 375));
    for (QLabel *label : {lblTotal, lblCorrect, lblWrong, lblSkipped, lblLevel}) {
        exposeValueAsText(label);
        frame(label);
    }
    lblTotal->setToolTip(tr("Total questions shown"));
    lblCorrect->setToolTip(tr("Number of correct answers given"));
    lblWrong->setToolTip(tr("Number of wrong answers given"));
    lblSkipped->setToolTip(tr("Number of questions not answered"));
    lblLevel->setAlignment(Qt::AlignCenter);
    setTextColour(lblLevel, 0x00FF0000);
    lblLevel->setFont(serifFont(15.75));
    lblLevel->setToolTip(tr("The current level of diffulty"));

    cmdReset = makeButton(client, u"cmdReset"_s, tr("&Reset"), twipsRect(120, 4800, 1095, 495));
    cmdReset->setToolTip(tr("Click here to reset scores"));
    cmdSkip = makeButton(client, u"cmdSkip"_s, tr("&Skip"), twipsRect(1680, 4800, 1095, 495));
    cmdSkip->setToolTip(tr("Click here to skip the current question. You can also press the Esc key."));
    cmdOK = makeButton(client, u"cmdOK"_s, tr("Ok"), twipsRect(3120, 4800, 1095, 495));
    cmdOK->setToolTip(tr("Click here after typing the answer. Alternatively, press the Enter key"));
    cmdClose = makeButton(client, u"cmdClose"_s, tr("&Close"), twipsRect(4320, 4800, 1095, 495));

    // Tab order by the controls' tab indexes; labels, frames and the picture take no focus.
    setTabOrder(cmdOK, cmdClose);
    setTabOrder(cmdClose, cmdReset);
    setTabOrder(cmdReset, cmdSkip);
    setTabOrder(cmdSkip, txtAnswer);

    // Names and descriptions for screen readers. Tooltips already serve as descriptions; the
    // rest says what a sighted child sees at a glance. The values are kept current by
    // describeForScreenReaders().
    Picture1->setAccessibleName(u"Zumbrel"_s);
    txtAnswer->setAccessibleName(tr("Your answer"));
    lblNumber1->setAccessibleDescription(tr("First number"));
    lblNumber2->setAccessibleDescription(tr("Second number"));
    cmdClose->setAccessibleDescription(tr("Merlin says good-bye and Zumbrel closes"));
}

void MainWindow::createMenus()
{
    auto addAction = [this](QMenu *menu, const QString &name, const QString &caption) {
        QAction *action = menu->addAction(caption);
        action->setObjectName(name);
        return action;
    };

    mnuFile = menuBar()->addMenu(tr("&File"));
    mnuFile->setObjectName(u"mnuFile"_s);
    mnuFileName = addAction(mnuFile, u"mnuFileName"_s, tr("Your &Name..."));
    mnuFileSep1 = mnuFile->addSeparator();
    mnuFileSep1->setObjectName(u"mnuFileSep1"_s);
    mnuFileExit = addAction(mnuFile, u"mnuFileExit"_s, tr("E&xit"));

    mnuQuestions = menuBar()->addMenu(tr("&Questions"));
    mnuQuestions->setObjectName(u"mnuQuestions"_s);
    mnuQuestionsAddition = addAction(mnuQuestions, u"mnuQuestionsAddition"_s, tr("&Addition"));
    mnuQuestionsAddition->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F1));
    mnuQuestionsSubtraction = addAction(mnuQuestions, u"mnuQuestionsSubtraction"_s, tr("&Subtraction"));
    mnuQuestionsSubtraction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F2));
    mnuQuestionsMultiplication = addAction(mnuQuestions, u"mnuQuestionsMultiplication"_s, tr("&Multiplication"));
    mnuQuestionsMultiplication->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F3));
    mnuQuestionsDivision = addAction(mnuQuestions, u"mnuQuestionsDivision"_s, tr("&Division"));
    mnuQuestionsDivision->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F4));
    mnuQuestionsSep1 = mnuQuestions->addSeparator();
    mnuQuestionsSep1->setObjectName(u"mnuQuestionsSep1"_s);
    mnuQuestionsLevels = mnuQuestions->addMenu(tr("Levels"));
    mnuQuestionsLevels->setObjectName(u"mnuQuestionsLevels"_s);
    mnuQuestionsLevelsLevel = new QActionGroup(this);
    mnuQuestionsLevelsLevel->setObjectName(u"mnuQuestionsLevelsLevel"_s);
    mnuQuestionsLevelsLevel->setExclusionPolicy(QActionGroup::ExclusionPolicy::None);
    const Qt::Key levelKeys[] = {Qt::Key_F1, Qt::Key_F2, Qt::Key_F3, Qt::Key_F4};
    for (int index = 0; index < 4; ++index) {
        QAction *level = mnuQuestionsLevels->addAction(tr("Level &%1").arg(index + 1));
        level->setObjectName(u"mnuQuestionsLevelsLevel"_s);
        level->setData(index);
        level->setShortcut(QKeySequence(Qt::SHIFT | levelKeys[index]));
        mnuQuestionsLevelsLevel->addAction(level);
    }

    mnuHelp = menuBar()->addMenu(tr("&Help"));
    mnuHelp->setObjectName(u"mnuHelp"_s);
    // The guide: how to play, the keys, Merlin's commands, and what to do about sound.
    mnuHelpContents = addAction(mnuHelp, u"mnuHelpContents"_s, tr("&Contents"));
    mnuHelpContents->setShortcut(QKeySequence(Qt::Key_F1));
    mnuHelpSep1 = mnuHelp->addSeparator();
    mnuHelpSep1->setObjectName(u"mnuHelpSep1"_s);
    mnuHelpAbout = addAction(mnuHelp, u"mnuHelpAbout"_s, tr("&About..."));
}

void MainWindow::connectEvents()
{
    connect(cmdOK, &QPushButton::clicked, this, &MainWindow::cmdOK_Click);
    connect(cmdSkip, &QPushButton::clicked, this, &MainWindow::cmdSkip_Click);
    connect(cmdReset, &QPushButton::clicked, this, &MainWindow::cmdReset_Click);
    connect(cmdClose, &QPushButton::clicked, this, &MainWindow::cmdClose_Click);
    connect(mnuFileName, &QAction::triggered, this, &MainWindow::mnuFileName_Click);
    connect(mnuFileExit, &QAction::triggered, this, &MainWindow::mnuFileExit_Click);
    connect(mnuQuestionsAddition, &QAction::triggered, this, &MainWindow::mnuQuestionsAddition_Click);
    connect(mnuQuestionsSubtraction, &QAction::triggered, this, &MainWindow::mnuQuestionsSubtraction_Click);
    connect(mnuQuestionsMultiplication, &QAction::triggered, this, &MainWindow::mnuQuestionsMultiplication_Click);
    connect(mnuQuestionsDivision, &QAction::triggered, this, &MainWindow::mnuQuestionsDivision_Click);
    connect(mnuQuestionsLevelsLevel, &QActionGroup::triggered, this,
            [this](QAction *level) { mnuQuestionsLevelsLevel_Click(qint16(level->data().toInt())); });
    connect(mnuHelpContents, &QAction::triggered, this, &MainWindow::mnuHelpContents_Click);
    connect(mnuHelpAbout, &QAction::triggered, this, &MainWindow::mnuHelpAbout_Click);
    connect(Agent1, &character::Agent::Click, this, &MainWindow::Agent1_Click);
    connect(Agent1, &character::Agent::DragComplete, this, &MainWindow::Agent1_DragComplete);
    connect(Agent1, &character::Agent::Command, this, &MainWindow::Agent1_Command);
    connect(Agent1, &character::Agent::visibleChanged, this, &MainWindow::Agent1_VisibleChange);
}

bool MainWindow::event(QEvent *event)
{
    const bool handled = QMainWindow::event(event);
    if (event->type() == QEvent::WindowActivate)
        Form_Activate();
    return handled;
}

void MainWindow::keyPressEvent(QKeyEvent *event)
{
    // Keys that no control took reach the window. Enter presses the focused button, or the
    // default button Ok; Esc presses the cancel button Skip wherever the focus is. A held key's
    // repeats are not presses.
    const int key = event->key();
    const bool enter = ((key == Qt::Key_Return || key == Qt::Key_Enter) && event->modifiers() == Qt::NoModifier)
        || (key == Qt::Key_Enter && event->modifiers() == Qt::KeypadModifier);
    if (enter) {
        event->accept();
        if (event->isAutoRepeat())
            return;
        auto *focusedButton = qobject_cast<QPushButton *>(focusWidget());
        (focusedButton ? focusedButton : cmdOK)->click();
        return;
    }
    if (key == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        if (!event->isAutoRepeat())
            cmdSkip->click();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    event->accept();
    emit closed();
}

// ---- Start-up and activation ----------------------------------------------------------------

bool MainWindow::Form_Load()
{
    try {
        Agent1->Characters().Load(QString::fromUtf16(teacher::characterId), QString::fromUtf16(teacher::characterFile));
    } catch (const std::exception &error) {
        qCWarning(lcApp) << "The teacher character cannot be loaded:" << error.what();
        missingCharacter(QString::fromUtf8(error.what()));
        return false;
    }
    TeacherCharacter = Agent1->Characters().Item(QString::fromUtf16(teacher::characterId));
    teacher().Show();
    teacher().Play(u"Greet"_s);
    if (teacher().Visible())
        teacher().Speak(teacher::welcomeText());
    if (teacher().Visible())
        teacher().Play(u"GetAttention"_s);
    if (teacher().Visible())
        teacher().Speak(teacher::readyText());
    if (teacher().Visible())
        teacher().Play(u"GetAttentionReturn"_s);
    for (const teacher::CommandDefinition &command : teacher::commandTable())
        teacher().Commands().Add(command.name, teacher::commandCaption(command), command.voice, command.enabled, command.visible);

    lblSign->setText(quiz::operationSign(quiz::Operation::Addition));
    setTag(lblSign, quiz::operationKey(quiz::Operation::Addition));
    Level = 0;
    lblLevel->setText(u"1"_s);
    RangeLimits = quiz::standardRangeLimits();
    ResetScores();
    return true;
}

void MainWindow::missingCharacter(const QString &reason)
{
    // The loader's own words say which file is at fault and how, so that it can be repaired.
    std::fprintf(stderr, "zumbrel: %s: %s\n", qPrintable(teacher::missingCharacterTitle()), qPrintable(reason));
    std::fflush(stderr);
    const QUrl page = teacher::helpPageUrl();
    const QString address = page.toString();
    const bool open = m_services.dialogs->askYesNoWarning(nullptr, teacher::missingCharacterTitle(),
                                                          teacher::missingCharacterMessage(address), reason);
    if (open && !m_services.browser->open(page)) {
        m_services.dialogs->warn(nullptr, teacher::missingCharacterTitle(),
                                 tr("The page could not be opened in a web browser. Open it yourself:") + u"\r\n"_s + address);
    }
}

void MainWindow::Form_Activate()
{
    txtAnswer->setFocus();
}

// ---- The quiz ---------------------------------------------------------------------------------

void MainWindow::NewQuestion()
{
    m_services.random->reseed(quiz::secondsSinceMidnight(m_services.clock()));
    const auto operation = quiz::operationFromKey(tagOf(lblSign)).value_or(quiz::Operation::Addition);
    const quiz::Question question =
        quiz::drawQuestion(operation, quiz::rangeLimit(RangeLimits, operation, Level), *m_services.random);
    setTag(txtAnswer, QString::number(question.result));
    lblNumber1->setText(QString::number(question.first));
    lblNumber2->setText(QString::number(question.second));
    lblTotal->setText(quiz::raiseCounter(lblTotal->text()));
    txtAnswer->setText(QString());
    ++m_questionSerial;
    describeForScreenReaders();
    // Fails quietly while the window is not shown yet.
    txtAnswer->setFocus();
}

void MainWindow::describeForScreenReaders()
{
    const auto operation = quiz::operationFromKey(tagOf(lblSign)).value_or(quiz::Operation::Addition);
    const QString sign = spokenSign(operation);
    const QString sum = lblNumber1->text() + u' ' + sign + u' ' + lblNumber2->text();
    lblSign->setAccessibleName(sign);
    Frame1->setAccessibleDescription(sum);
    txtAnswer->setAccessibleDescription(sum);
    const std::pair<QLabel *, QLabel *> counters[] = {
        {Label1, lblTotal}, {Label2, lblCorrect}, {Label3, lblWrong}, {Label4, lblSkipped}, {Label6, lblLevel}};
    for (const auto &[caption, value] : counters)
        value->setAccessibleName(caption->text() + u' ' + value->text());
}

void MainWindow::ResetScores()
{
    txtAnswer->setText(QString());
    lblNumber1->setText(QString());
    lblNumber2->setText(QString());
    for (QLabel *counter : {lblTotal, lblCorrect, lblWrong, lblSkipped})
        counter->setText(u"0"_s);
    teacher().Play(u"RestPose"_s);
    NewQuestion();
}

void MainWindow::cmdOK_Click()
{
    const QString typed = txtAnswer->text();
    if (typed.isEmpty())
        return;
    // A second confirmation of the question still being reacted to (a second Enter during the
    // rest pose) would judge the same answer twice.
    if (m_questionUnderReaction == m_questionSerial)
        return;
    const QScopedValueRollback reacting(m_questionUnderReaction, m_questionSerial);

    const QString PraisePhrases = quiz::praisePhrases(LearnerName);
    const QString CorrectionPhrases = quiz::correctionPhrases(LearnerName);
    m_services.random->reseed(quiz::secondsSinceMidnight(m_services.clock()));
    const QStringList &PraiseAnimations = quiz::praiseAnimations();
    const QStringList &CorrectionAnimations = quiz::correctionAnimations();

    if (teacher().Visible())
        teacher().StopAll();

    const QString expected = tagOf(txtAnswer);
    if (quiz::answerIsCorrect(typed, expected)) {
        lblCorrect->setText(quiz::raiseCounter(lblCorrect->text()));
        describeForScreenReaders();
        if (teacher().Visible()) {
            teacher().Play(PraiseAnimations.at(quiz::drawIndex(m_services.random->next(), PraiseAnimations.size())));
            teacher().Speak(PraisePhrases);
        }
    } else {
        lblWrong->setText(quiz::raiseCounter(lblWrong->text()));
        describeForScreenReaders();
        if (teacher().Visible()) {
            teacher().Play(
                CorrectionAnimations.at(quiz::drawIndex(m_services.random->next(), CorrectionAnimations.size())));
            teacher().Speak(CorrectionPhrases);
            teacher().Speak(quiz::correctAnswerSentence(expected));
        }
    }

    if (teacher().Visible()) {
        RestPoseRequest = teacher().Play(u"RestPose"_s);
        // The slot is read afresh each time: a nested confirmation replaces the request.
        m_wait.until([this] { return m_endedAtOnce || !RestPoseRequest || RestPoseRequest->hasEnded(); },
                     {RestPoseRequest});
    }
    if (m_endedAtOnce)
        return;
    NewQuestion();
}

void MainWindow::cmdSkip_Click()
{
    lblSkipped->setText(quiz::raiseCounter(lblSkipped->text()));
    NewQuestion();
}

void MainWindow::setOperation(quiz::Operation operation)
{
    lblSign->setText(quiz::operationSign(operation));
    setTag(lblSign, quiz::operationKey(operation));
    ResetScores();
}

void MainWindow::setLevel(qint16 level)
{
    Level = level;
    lblLevel->setText(QString::number(level + 1));
    ResetScores();
}

void MainWindow::mnuQuestionsAddition_Click()
{
    setOperation(quiz::Operation::Addition);
}

void MainWindow::mnuQuestionsSubtraction_Click()
{
    setOperation(quiz::Operation::Subtraction);
}

void MainWindow::mnuQuestionsMultiplication_Click()
{
    setOperation(quiz::Operation::Multiplication);
}

void MainWindow::mnuQuestionsDivision_Click()
{
    setOperation(quiz::Operation::Division);
}

void MainWindow::mnuQuestionsLevelsLevel_Click(qint16 Index)
{
    setLevel(Index);
}

void MainWindow::cmdReset_Click()
{
    ResetScores();
}

// ---- The learner's name and the About dialog ------------------------------------------------

void MainWindow::mnuFileName_Click()
{
    LearnerName = m_services.dialogs->askText(this, tr("Enter Name"), tr("What is your name?"));
    if (LearnerName.size() < 3) {
        LearnerName.clear();
        return;
    }
    teacher().Play(u"Pleased"_s);
    teacher().Speak(teacher::nameGreetingPhrases(LearnerName));
    teacher().Play(u"RestPose"_s);
}

void MainWindow::mnuHelpContents_Click()
{
    const QUrl guide = guideUrl();
    if (!m_services.browser->open(guide)) {
        m_services.dialogs->warn(this, u"Zumbrel"_s,
                                 tr("The guide could not be opened in a web browser. Open it yourself:") + u"\r\n"_s
                                     + guide.toString());
    }
}

void MainWindow::mnuHelpAbout_Click()
{
    const bool wasVisible = teacher().Visible();
    if (wasVisible)
        teacher().Hide(true);
    if (m_services.showAbout)
        m_services.showAbout(this);
    if (wasVisible)
        teacher().Show(true);
}

// ---- The character's events -------------------------------------------------------------------

void MainWindow::Agent1_Click(const QString &, short button, short, short, short)
{
    if (button != 1)
        return;
    teacher().Speak(teacher::clickPhrases());
}

void MainWindow::Agent1_DragComplete(const QString &, short, short, short, short)
{
    teacher().Speak(teacher::dragPhrases());
}

void MainWindow::Agent1_Command(const character::UserInput &input)
{
    const teacher::CommandDecision decision = teacher::decideCommand(input);
    switch (decision.action) {
    case teacher::CommandAction::None:
        return;
    case teacher::CommandAction::Reset:
        ResetScores();
        return;
    case teacher::CommandAction::Exit:
        SayGoodbye();
        close();
        return;
    case teacher::CommandAction::SetLevel:
        setLevel(decision.level);
        return;
    }
}

void MainWindow::Agent1_VisibleChange(const QString &characterId, bool visible, bool byUser)
{
    if (characterId != QString::fromUtf16(teacher::characterId))
        return;
    // A farewell waits for him to be gone, however that came about.
    m_wait.wake();
    if (visible)
        offerCallBack(false);
    else if (byUser && TeacherCharacter)
        offerCallBack(true);
}

// ---- Calling the teacher back ------------------------------------------------------------------

void MainWindow::offerCallBack(bool offer)
{
    const QString callBackText = tr("Merlin is away. Click here to call him back.");
    if (offer == m_callBackOffered)
        return;
    m_callBackOffered = offer;
    if (offer) {
        m_pictureName = Picture1->accessibleName();
        Picture1->setToolTip(callBackText);
        Picture1->setAccessibleName(callBackText);
        Picture1->setCursor(Qt::PointingHandCursor);
        Picture1->setFocusPolicy(Qt::TabFocus);
    } else {
        const bool hadFocus = Picture1->hasFocus();
        Picture1->setToolTip(QString());
        Picture1->setAccessibleName(m_pictureName);
        Picture1->unsetCursor();
        Picture1->setFocusPolicy(Qt::NoFocus);
        if (hadFocus)
            txtAnswer->setFocus();
    }
}

void MainWindow::callTeacherBack()
{
    if (!m_callBackOffered || !TeacherCharacter || TeacherCharacter->Visible())
        return;
    TeacherCharacter->Show();
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Picture1 && m_callBackOffered) {
        if (event->type() == QEvent::MouseButtonRelease
            && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton
            && Picture1->rect().contains(static_cast<QMouseEvent *>(event)->position().toPoint())) {
            callTeacherBack();
            return true;
        }
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                // The window's Enter would press Ok instead.
                if (!static_cast<QKeyEvent *>(event)->isAutoRepeat())
                    callTeacherBack();
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---- Farewell and the ways out ------------------------------------------------------------------

character::Character &MainWindow::teacher() const
{
    if (!TeacherCharacter)
        throw character::Error(u"The teacher character is not loaded."_s);
    return *TeacherCharacter;
}

void MainWindow::SayGoodbye()
{
    const QString farewell = teacher::farewellPhrases(LearnerName);
    const QScopedValueRollback inFarewell(m_inFarewell, true);
    m_farewellCut = false;
    try {
        character::RequestPtr goodbye;
        if (teacher().Visible()) {
            teacher().StopAll();
            teacher().Play(u"Wave"_s);
            goodbye = teacher().Speak(farewell);
        }
        if (teacher().Visible()) {
            const character::RequestPtr hide = teacher().Hide();
            // Bounded: a character that never reports itself hidden must not keep the program
            // from ending. The bound follows what he actually says, which is known only once he
            // has begun to say it.
            const auto gone = [this, &hide] {
                return m_farewellCut || !TeacherCharacter || !TeacherCharacter->Visible() || hide->hasEnded();
            };
            const auto speaking = [&gone, &goodbye] {
                return gone() || !goodbye || goodbye->status() != character::RequestStatus::Pending;
            };
            const teacher::FarewellTiming &timing = m_services.farewellTiming;
            m_wait.until(speaking, {goodbye, hide}, QDeadlineTimer(timing.untilSpeaking));
            if (!gone()) {
                const QString spoken = goodbye ? goodbye->spokenText() : QString();
                m_wait.until(gone, {hide}, QDeadlineTimer(teacher::farewellSpeakingBound(spoken, timing)));
            }
        }
        TeacherCharacter.reset();
        Agent1->Characters().Unload(QString::fromUtf16(teacher::characterId));
    } catch (const std::exception &) {
        // An error of the character never keeps the program from closing.
    }
}

void MainWindow::terminationRequested()
{
    if (m_inFarewell) {
        m_farewellCut = true;
        m_wait.wake();
    } else
        close();
}

void MainWindow::cmdClose_Click()
{
    SayGoodbye();
    endAtOnce();
}

void MainWindow::mnuFileExit_Click()
{
    SayGoodbye();
    endAtOnce();
}

void MainWindow::endAtOnce()
{
    m_endedAtOnce = true;
    m_wait.wake();
    hide();
    emit endRequested();
}

void MainWindow::Form_Terminate()
{
    SayGoodbye();
}

} // namespace app

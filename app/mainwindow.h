// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The program's window and start: the main window frmMain with its controls, menus and keys,
// which holds the quiz state in its labels and fields and drives the teacher character; the
// application object that turns an uncaught error into an error report; and run(), which starts
// everything and takes the program's ways out.

#include <functional>
#include <memory>

#include <QMainWindow>
#include <QTime>

#include "character/agent.h"
#include "quiz/question.h"
#include "teacher/teacher.h"

class QAction;
class QActionGroup;
class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;

namespace platform {
class Browser;
}
namespace quiz {
class RandomSource;
}
namespace widgets {
class Dialogs;
}

namespace app {

class AnswerBox;

// What the window uses from outside; tests hand in doubles.
struct MainWindowServices
{
    character::Agent *agent = nullptr;
    quiz::RandomSource *random = nullptr;
    platform::Browser *browser = nullptr;
    widgets::Dialogs *dialogs = nullptr;
    std::function<QTime()> clock = [] { return QTime::currentTime(); };
    // Runs the About dialog modally; returns when it has closed.
    std::function<void(QWidget *)> showAbout;
    teacher::FarewellTiming farewellTiming;
};

class MainWindow final : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(const MainWindowServices &services, QWidget *parent = nullptr);
    ~MainWindow() override;
    Q_DISABLE_COPY_MOVE(MainWindow)

    // Start-up, before the window is first shown. False when the character could not be loaded:
    // the user has been told, and the program ends without showing the window.
    bool Form_Load();
    // The way out after the window was closed by its close box, the Exit command or a signal.
    void Form_Terminate();
    // True once Close or File > Exit has ended the program at once.
    bool hasEndedAtOnce() const { return m_endedAtOnce; }
    // A termination signal (a session ending, kill): closes the window, which leads to the
    // farewell; one that comes while a farewell waits for the character ends the wait at once.
    void terminationRequested();

signals:
    // The program should end now (Close, File > Exit); the farewell has already run.
    void endRequested();
    // The window was closed; the farewell of Form_Terminate is still to come.
    void closed();

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private slots:
    void Form_Activate();
    void cmdOK_Click();
    void cmdSkip_Click();
    void cmdReset_Click();
    void cmdClose_Click();
    void mnuFileName_Click();
    void mnuFileExit_Click();
    void mnuQuestionsAddition_Click();
    void mnuQuestionsSubtraction_Click();
    void mnuQuestionsMultiplication_Click();
    void mnuQuestionsDivision_Click();
    void mnuQuestionsLevelsLevel_Click(qint16 Index);
    void mnuHelpContents_Click();
    void mnuHelpAbout_Click();
    void Agent1_Click(const QString &characterId, short button, short shift, short x, short y);
    void Agent1_DragComplete(const QString &characterId, short button, short shift, short x, short y);
    void Agent1_Command(const character::UserInput &input);
    void Agent1_VisibleChange(const QString &characterId, bool visible, bool byUser);

private:
    void createControls();
    void createMenus();
    void connectEvents();
    // What a screen reader says for the sum, the counters and the level; called after they change.
    void describeForScreenReaders();

    void NewQuestion();
    void ResetScores();
    void SayGoodbye();
    void setOperation(quiz::Operation operation);
    void setLevel(qint16 level);
    void missingCharacter(const QString &reason);
    void endAtOnce();
    character::Character &teacher() const;
    // After the child hid the teacher, the wizard picture calls him back (click, or Enter once
    // it has the focus); a notification area may be missing, and then nothing else would.
    void offerCallBack(bool offer);
    void callTeacherBack();

    MainWindowServices m_services;

    // Quiz state kept in fields; the rest lives in the controls' captions and tags.
    qint16 Level = 0;
    quiz::RangeLimits RangeLimits{};
    QString LearnerName;
    std::shared_ptr<character::Character> TeacherCharacter;
    character::RequestPtr RestPoseRequest;
    teacher::CharacterWait m_wait;

    // One answer is judged once: the serial of the question on screen and of the one whose
    // reaction is under way (0: none).
    quint64 m_questionSerial = 0;
    quint64 m_questionUnderReaction = 0;
    bool m_endedAtOnce = false;
    bool m_inFarewell = false;
    bool m_farewellCut = false;
    bool m_callBackOffered = false;
    QString m_pictureName; // the picture's accessible name while the teacher is here

    character::Agent *Agent1 = nullptr;
    QLabel *Picture1 = nullptr;
    QLabel *Label5 = nullptr;
    AnswerBox *txtAnswer = nullptr;
    QGroupBox *Frame1 = nullptr;
    QLabel *lblNumber1 = nullptr;
    QLabel *lblSign = nullptr;
    QLabel *lblNumber2 = nullptr;
    QGroupBox *Frame2 = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *lblTotal = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *lblCorrect = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *lblWrong = nullptr;
    QLabel *Label4 = nullptr;
    QLabel *lblSkipped = nullptr;
    QLabel *Label6 = nullptr;
    QLabel *lblLevel = nullptr;
    QPushButton *cmdReset = nullptr;
    QPushButton *cmdSkip = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdClose = nullptr;

    QMenu *mnuFile = nullptr;
    QAction *mnuFileName = nullptr;
    QAction *mnuFileSep1 = nullptr;
    QAction *mnuFileExit = nullptr;
    QMenu *mnuQuestions = nullptr;
    QAction *mnuQuestionsAddition = nullptr;
    QAction *mnuQuestionsSubtraction = nullptr;
    QAction *mnuQuestionsMultiplication = nullptr;
    QAction *mnuQuestionsDivision = nullptr;
    QAction *mnuQuestionsSep1 = nullptr;
    QMenu *mnuQuestionsLevels = nullptr;
    QActionGroup *mnuQuestionsLevelsLevel = nullptr;
    QMenu *mnuHelp = nullptr;
    QAction *mnuHelpContents = nullptr;
    QAction *mnuHelpSep1 = nullptr;
    QAction *mnuHelpAbout = nullptr;
};

} // namespace app

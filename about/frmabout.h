// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The About dialog: the program's title, version, description and disclaimer beside a picture of
// the wizard, and a button that starts the system's information tool. The dialog finds that tool
// through the registry layer of platform/ (the system registry on Windows, our own read-only
// answer elsewhere), starts it through a launcher, and tells the user through a message box when
// it cannot. The main window calls showAboutDialog(); tests build frmAbout with doubles for those
// four services.

#include <array>
#include <memory>
#include <stdexcept>

#include <QDialog>

class QLabel;
class QPushButton;

namespace platform {
class Registry;
class ProgramLauncher;
class FileProbe;
} // namespace platform

namespace widgets {
class Dialogs;
} // namespace widgets

namespace about {

// What the dialog uses from outside. Members left null are the system's own.
struct AboutServices
{
    platform::Registry *registry = nullptr;
    platform::ProgramLauncher *launcher = nullptr;
    platform::FileProbe *files = nullptr;
    widgets::Dialogs *messages = nullptr;
};

// Raised when the system information tool cannot be looked up or started; StartSysInfo turns it
// into its message.
class SysInfoError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

class frmAbout final : public QDialog
{
    Q_OBJECT

public:
    // Fills the dialog at once (Form_Load); each opening builds a new one.
    explicit frmAbout(QWidget *parent = nullptr);
    explicit frmAbout(const AboutServices &services, QWidget *parent = nullptr);
    ~frmAbout() override;
    Q_DISABLE_COPY_MOVE(frmAbout)

    // Starts the system information tool, or tells the user that there is none.
    void StartSysInfo();

    // Reads the value SubKeyRef of the key KeyName under KeyRoot into KeyVal: a string unchanged,
    // a 32-bit number as unsigned decimal text, any other type leaves KeyVal as it was. False,
    // with KeyVal empty, when the key cannot be opened or the value cannot be read into 1024
    // bytes. A value that fills all 1024 bytes without a terminating zero raises SysInfoError.
    bool GetKeyValue(const qint32 &KeyRoot, const QString &KeyName, const QString &SubKeyRef, QString &KeyVal);

    // The folder of the second registry location and the tool's file name, joined with this
    // platform's separator ("\\" on Windows, "/" elsewhere) unless the folder ends with one.
    static QString toolInFolder(const QString &folder);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;

private slots:
    void cmdOK_Click();
    void cmdSysInfo_Click();

private:
    void createControls();
    void Form_Load();
    void centreOverOwner();

    std::unique_ptr<platform::Registry> m_ownRegistry;
    std::unique_ptr<platform::ProgramLauncher> m_ownLauncher;
    std::unique_ptr<platform::FileProbe> m_ownFiles;
    std::unique_ptr<widgets::Dialogs> m_ownMessages;
    platform::Registry *m_registry = nullptr;
    platform::ProgramLauncher *m_launcher = nullptr;
    platform::FileProbe *m_files = nullptr;
    widgets::Dialogs *m_messages = nullptr;

    QLabel *picIcon = nullptr;
    QLabel *lblTitle = nullptr;
    QLabel *lblVersion = nullptr;
    QLabel *lblDescription = nullptr;
    // The etched rule, two strips of solid colour named "Line1_1" (the grey line) and "Line1_0"
    // (the white one, two pixels wide, just below it).
    std::array<QWidget *, 2> Line1{};
    QLabel *lblDisclaimer = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdSysInfo = nullptr;
};

// Opens a new About dialog centred over the main window, modal, and returns when it has closed.
// One function of one signature, so that it can be handed over as a std::function<void(QWidget *)>.
void showAboutDialog(QWidget *mainWindow);
// The same with the services given, for tests.
void showAboutDialogWith(const AboutServices &services, QWidget *mainWindow);

} // namespace about

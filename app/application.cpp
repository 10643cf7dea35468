// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/application.h"

#include <cstdio>
#include <cstdlib>

#include <QFont>
#include <QMessageBox>

#include "about/frmabout.h"
#include "app/commandline.h"
#include "app/dialogs.h"
#include "app/mainwindow.h"
#include "buildinfo.h"
#include "characterdesktop/desktopagent.h"
#include "listen/sphinxrecognizer.h"
#include "platform/browser.h"
#include "platform/terminationsignals.h"
#include "quiz/randomsource.h"
#include "speech/espeaksynthesizer.h"
#include "speech/flitespeech.h"
#include "translations/language.h"

using namespace Qt::StringLiterals;

namespace app {

Application::Application(int &argc, char **argv)
    : QApplication(argc, argv)
{
}

bool Application::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &error) {
        reportFatalError(QString::fromLocal8Bit(error.what()));
    } catch (...) {
        reportFatalError(QCoreApplication::translate("app", "An unknown error occurred."));
    }
}

void reportFatalError(const QString &what)
{
    std::fprintf(stderr, "zumbrel: %s\n", qPrintable(what));
    std::fflush(stderr);
    QMessageBox::critical(nullptr, QCoreApplication::translate("app", "Zumbrel"),
                          QCoreApplication::translate("app", "Zumbrel has stopped because of an error:") + u"\n\n"_s
                              + what);
    // Unwinding further would run handlers over a state the error left half done.
    std::_Exit(EXIT_FAILURE);
}

void installFontSubstitutions()
{
    QFont::insertSubstitutions(u"Times New Roman"_s, {u"Liberation Serif"_s, u"Nimbus Roman"_s, u"Tinos"_s});
    QFont::insertSubstitutions(u"News Gothic"_s,
                               {u"News Gothic MT"_s, u"Nimbus Sans Narrow"_s, u"Liberation Sans Narrow"_s});
    QFont::insertSubstitutions(u"MS Sans Serif"_s, {u"Microsoft Sans Serif"_s, u"Liberation Sans"_s, u"Arimo"_s});
}

int run(int argc, char **argv)
{
    // Before any application object: --help and --version need no display, and without one the
    // toolkit would abort instead of saying why.
    if (const std::optional<int> status = handleCommandLine(argc, argv))
        return *status;

    // The character places its own windows on the desktop, which Wayland does not allow.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "xcb");

    Application application(argc, argv);
    Application::setApplicationName(u"zumbrel"_s);
    Application::setApplicationVersion(QString::fromLatin1(buildinfo::versionString));
    Application::setDesktopFileName(u"org.zumbrel.zumbrel"_s);
    // The main window decides when the program ends, after the farewell.
    Application::setQuitOnLastWindowClosed(false);
    installFontSubstitutions();
    // Before the first text is made: every window, menu and phrase reads its catalog once.
    const QString language = translations::installFromEnvironment(application);

    character::DesktopAgent agent;
    agent.setSpeechEngineFactory([language] { return speech::createSpeechEngineFor(language); });
    listen::SphinxRecognizer recognizer;
    agent.setCommandRecognizer(&recognizer);
    quiz::ClockSeededRandom random;
    platform::DesktopBrowser browser;
    DesktopDialogs dialogs;
    MainWindowServices services;
    services.agent = &agent;
    services.random = &random;
    services.browser = &browser;
    services.dialogs = &dialogs;
    services.showAbout = &about::showAboutDialog;

    MainWindow window(services);
    try {
        if (!window.Form_Load())
            return EXIT_FAILURE;
    } catch (const std::exception &error) {
        // Outside the event loop, so the application object cannot catch it.
        reportFatalError(QString::fromLocal8Bit(error.what()));
    }

    platform::TerminationSignals terminationSignals;
    QObject::connect(&terminationSignals, &platform::TerminationSignals::terminationRequested, &window, &MainWindow::close);
    QObject::connect(&window, &MainWindow::closed, &application, &QCoreApplication::quit);
    QObject::connect(&window, &MainWindow::endRequested, &application, &QCoreApplication::quit);

    window.show();
    const int status = Application::exec();
    if (!window.hasEndedAtOnce())
        window.Form_Terminate();
    return status;
}

} // namespace app

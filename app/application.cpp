// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/application.h"

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <future>
#include <memory>
#include <vector>

#include <QDBusConnection>
#include <QElapsedTimer>
#include <QEvent>
#include <QLayout>
#include <QMessageBox>
#include <QTimer>

#include "about/frmabout.h"
#include "app/commandline.h"
#include "app/enginemodule.h"
#include "app/logging.h"
#include "app/mainwindow.h"
#include "buildinfo.h"
#include "characterdesktop/desktopagent.h"
#include "platform/browser.h"
#include "platform/datapaths.h"
#include "platform/fonts.h"
#include "platform/terminationsignals.h"
#include "quiz/randomsource.h"
#include "teacher/teacher.h"
#include "translations/language.h"
#include "widgets/deferredicons.h"
#include "widgets/dialogs.h"

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
    qCCritical(lcApp).noquote() << "Stopping after an error no handler caught:" << what;
    std::fprintf(stderr, "zumbrel: %s\n", qPrintable(what));
    std::fflush(stderr);
    QMessageBox::critical(nullptr, QCoreApplication::translate("app", "Zumbrel"),
                          QCoreApplication::translate("app", "Zumbrel has stopped because of an error:") + u"\n\n"_s
                              + what);
    // Unwinding further would run handlers over a state the error left half done.
    std::_Exit(EXIT_FAILURE);
}

namespace {

// Runs work once, on the turn of the event loop after the window's first paint.
class FirstPaintFilter final : public QObject
{
public:
    FirstPaintFilter(std::function<void()> work, QObject *parent)
        : QObject(parent)
        , m_work(std::move(work))
    {
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && m_work) {
            QTimer::singleShot(0, this, [this, work = std::exchange(m_work, {})] {
                work();
                deleteLater();
            });
        }
        return false;
    }

private:
    std::function<void()> m_work;
};

void afterFirstPaint(QWidget *window, std::function<void()> work)
{
    window->installEventFilter(new FirstPaintFilter(std::move(work), window));
}

// Qt sets up two things on their first use that the main window needs and that cost milliseconds
// each, and both may be set up from any thread and are then known to all, so workers do it while
// the main thread builds the window:
// - the font database's family list, once the system's font configuration, read since before the
//   application object, is there, and in it the installed families that stand for the window's
//   fonts (the fonts themselves are loaded per thread, so the window's own are not);
// - the session bus, which the screen reader support asks whether a screen reader runs when the
//   first label gets its text.
// The image plugins, which the menu bar's own icon makes Qt load, are left to the main thread:
// while a worker loads them it holds the toolkit's plugin lock, and the main thread waited longer
// for that lock at its first label than loading them itself takes.
std::vector<std::future<void>> warmUpToolkit(std::future<void> fontConfiguration)
{
    std::vector<std::future<void>> work;
    work.push_back(std::async(std::launch::async, [fontConfiguration = std::move(fontConfiguration)] {
        fontConfiguration.wait();
        // Reads the font database's family list and looks up the window's fonts in it.
        platform::installedFamily(u"MS Sans Serif"_s);
    }));
    work.push_back(std::async(std::launch::async, [] { QDBusConnection::sessionBus(); }));
    return work;
}

} // namespace

void setUpAgent(character::DesktopAgent &agent, EngineModule &engines, const QString &language)
{
    agent.setCharacterDirectories(platform::dataDirectories());
    agent.setNeededAnimations(teacher::animationsUsed());
    agent.setSpeechEngineFactory([&engines, language] { return engines.createSpeechEngine(language); });
    agent.setSoundPlayerFactory([&engines] { return engines.createSoundPlayer(); });
}

int run(int argc, char **argv, const std::function<void(MainWindow &)> &started)
{
    // Before any application object: --help and --version need no display, and without one the
    // toolkit would abort instead of saying why.
    if (const std::optional<int> status = handleCommandLine(argc, argv))
        return *status;

    // The character places its own windows on the desktop, which Wayland does not allow.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "xcb");

    QElapsedTimer sinceStart;
    sinceStart.start();
    // The font configuration takes milliseconds to read and needs no display: it is read while the
    // toolkit connects to the X server.
    std::future<void> fontConfiguration = std::async(std::launch::async, &platform::loadFontConfiguration);
    // A display that is named but cannot be reached (an X server gone, XWayland stopped) makes the
    // toolkit abort while it starts; say so plainly instead, and end as without a display.
    static QtMessageHandler toolkitHandler = nullptr;
    toolkitHandler = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &context, const QString &text) {
        if (type == QtFatalMsg && text.contains(u"platform plugin"_s)) {
            const QString problem = translations::terminalText(
                "commandline", QT_TRANSLATE_NOOP("commandline", "cannot open a window: no X server answers on the "
                                                                "display \"%1\". Start Zumbrel from a graphical "
                                                                "desktop session."));
            std::fprintf(stderr, "zumbrel: %s\n", qPrintable(problem.arg(qEnvironmentVariable("DISPLAY"))));
            std::fflush(stderr);
            std::_Exit(ExitNoDisplay);
        }
        if (toolkitHandler)
            toolkitHandler(type, context, text);
    });
    Application application(argc, argv);
    qInstallMessageHandler(toolkitHandler);
    Application::setApplicationName(u"zumbrel"_s);
    Application::setApplicationVersion(QString::fromLatin1(buildinfo::versionString));
    Application::setDesktopFileName(u"org.zumbrel.zumbrel"_s);
    // The main window decides when the program ends, after the farewell.
    Application::setQuitOnLastWindowClosed(false);
    platform::installFontSubstitutions();
    widgets::deferExtensionIcons();
    const std::vector<std::future<void>> warmedUp = warmUpToolkit(std::move(fontConfiguration));

    // Before the first text is made: every window, menu and phrase reads its catalog once.
    const QString language = translations::installFromEnvironment(application);

    // Loaded after the first frame, or before when the character speaks or plays a sound sooner.
    EngineModule engines;
    character::DesktopAgent agent;
    setUpAgent(agent, engines, language);
    // Read while the main window is built; Form_Load takes it.
    agent.prefetch(QString::fromUtf16(teacher::characterFile));
    // Made once the window is on the screen: the recogniser's model is not needed for the
    // first frame, and the window should not wait for it.
    std::unique_ptr<character::CommandRecognizer> recognizer;
    quiz::ClockSeededRandom random;
    platform::DesktopBrowser browser;
    widgets::DesktopDialogs dialogs;
    MainWindowServices services;
    services.agent = &agent;
    services.random = &random;
    services.browser = &browser;
    services.dialogs = &dialogs;
    services.showAbout = &about::showAboutDialog;

    MainWindow window(services);
    agent.addHostWindow(&window);
    // The window's own X window and layout are made while the character is still being read, so
    // that show() has only to map it.
    window.winId();
    window.ensurePolished();
    window.layout()->activate();
    qCDebug(lcApp) << "Start-up: the main window made after" << sinceStart.elapsed() << "ms";
    try {
        if (!window.Form_Load())
            return EXIT_FAILURE;
    } catch (const std::exception &error) {
        // Outside the event loop, so the application object cannot catch it.
        reportFatalError(QString::fromLocal8Bit(error.what()));
    }

    qCDebug(lcApp) << "Start-up: the character loaded and greeting after" << sinceStart.elapsed() << "ms";

    platform::TerminationSignals terminationSignals;
    QObject::connect(&terminationSignals, &platform::TerminationSignals::terminationRequested, &window,
                     &MainWindow::terminationRequested);
    QObject::connect(&window, &MainWindow::closed, &application, &QCoreApplication::quit);
    QObject::connect(&window, &MainWindow::endRequested, &application, &QCoreApplication::quit);

    afterFirstPaint(&window, [&agent, &engines, &recognizer, &sinceStart, &window] {
        qCDebug(lcApp) << "Start-up: the main window painted after" << sinceStart.elapsed() << "ms";
        // The module's libraries load on a worker thread: Merlin's first frames keep their pace.
        engines.loadInBackground(&window, [&agent, &engines, &recognizer, &sinceStart] {
            recognizer = engines.createRecognizer();
            agent.setCommandRecognizer(recognizer.get());
            qCDebug(lcApp) << "Start-up: spoken commands ready after" << sinceStart.elapsed() << "ms";
        });
    });
    window.show();
    if (started)
        started(window);
    const int status = Application::exec();
    if (!window.hasEndedAtOnce())
        window.Form_Terminate();
    return status;
}

} // namespace app

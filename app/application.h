// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

#include <QApplication>

namespace character {
class DesktopAgent;
}

namespace app {

class MainWindow;

// The application object. An error that no handler caught must not unwind into the event loop:
// it is reported in a message box that names it, and the program ends with a failure status.
class Application final : public QApplication
{
    Q_OBJECT

public:
    Application(int &argc, char **argv);
    Q_DISABLE_COPY_MOVE(Application)

    bool notify(QObject *receiver, QEvent *event) override;
};

[[noreturn]] void reportFatalError(const QString &what);

class EngineModule;

// Points the character component at Zumbrel's characters, the animations the lessons play, and
// the voice and sounds of the engines module. The voice speaks `language` (empty: English).
void setUpAgent(character::DesktopAgent &agent, EngineModule &engines, const QString &language = {});

// Starts Zumbrel and returns its exit status. started, when given, is called once the main window
// is shown, before the event loop runs (the soak test drives the program from there).
int run(int argc, char **argv, const std::function<void(MainWindow &)> &started = {});

} // namespace app

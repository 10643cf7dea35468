// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace app {

// The program takes no arguments of its own beyond --help and --version; Qt's own options
// (-platform, -display, -style, ...) pass through to the application object. All of this is
// decided before any application object exists, so that --help and --version work without a
// display and a missing display gives a sentence instead of an abort.
enum class CommandLineAction { Run, ShowHelp, ShowVersion, Error };

struct CommandLineRequest
{
    CommandLineAction action = CommandLineAction::Run;
    // The platform named by -platform, if any; it overrides QT_QPA_PLATFORM.
    QString platform;
    // Whether -display named an X display.
    bool displayGiven = false;
    // For Error: what was wrong, as one line.
    QString error;
};

// The arguments without the program's name.
CommandLineRequest parseCommandLine(const QStringList &arguments);

QString helpText();
QString versionText();

// Empty when the environment names a display that the platform could use; otherwise the reason,
// as one line. Platforms that need no display (offscreen, vnc, ...) always pass.
QString displayProblem(const QString &platform, bool displayGiven, const QByteArray &display,
                       const QByteArray &waylandDisplay);

// Exit statuses: 0 after --help or --version, 1 without a display, 2 for a wrong argument.
enum ExitStatus : int { ExitSuccess = 0, ExitNoDisplay = 1, ExitUsage = 2 };

// Prints what the command line asks for and returns the exit status when the program ends here;
// nothing when it should go on to open its window.
std::optional<int> handleCommandLine(int argc, char **argv);

} // namespace app

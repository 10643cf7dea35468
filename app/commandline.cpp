// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/commandline.h"

#include <cstdio>

#include "buildinfo.h"

using namespace Qt::StringLiterals;

namespace app {

namespace {

// Options that QGuiApplication and QApplication read themselves, with whether a value follows.
struct QtOption
{
    QStringView name;
    bool takesValue;
};

constexpr QtOption qtOptions[] = {
    {u"platform", true},   {u"platformpluginpath", true}, {u"platformtheme", true}, {u"plugin", true},
    {u"qwindowgeometry", true}, {u"qwindowicon", true}, {u"qwindowtitle", true}, {u"reverse", false},
    {u"session", true},    {u"display", true},            {u"name", true},          {u"style", true},
    {u"stylesheet", true}, {u"widgetcount", false},       {u"nograb", false},       {u"dograb", false},
    {u"sync", false},      {u"geometry", true},
};

const QtOption *findQtOption(QStringView name)
{
    for (const QtOption &option : qtOptions) {
        if (option.name == name)
            return &option;
    }
    return nullptr;
}

// Platforms that draw into something other than a desktop session.
bool needsNoDisplay(const QString &platform)
{
    static const QStringList headless = {u"offscreen"_s, u"minimal"_s, u"minimalegl"_s, u"vnc"_s,
                                         u"eglfs"_s,     u"linuxfb"_s, u"vkkhrdisplay"_s};
    return headless.contains(platform.section(u':', 0, 0));
}

void print(std::FILE *stream, const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

} // namespace

CommandLineRequest parseCommandLine(const QStringList &arguments)
{
    CommandLineRequest request;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (argument == u"-h"_s || argument == u"--help"_s || argument == u"-?"_s) {
            request.action = CommandLineAction::ShowHelp;
            return request;
        }
        if (argument == u"-v"_s || argument == u"--version"_s) {
            request.action = CommandLineAction::ShowVersion;
            return request;
        }
        if (!argument.startsWith(u'-') || argument == u"-"_s || argument == u"--"_s) {
            request.action = CommandLineAction::Error;
            request.error = u"unexpected argument '%1'"_s.arg(argument);
            return request;
        }
        // Qt accepts its options with one dash or two, and "-style=NAME" as well as "-style NAME".
        QStringView name = QStringView(argument).mid(argument.startsWith(u"--"_s) ? 2 : 1);
        QString value;
        bool valueInline = false;
        if (const qsizetype equals = name.indexOf(u'='); equals >= 0) {
            value = name.mid(equals + 1).toString();
            name = name.first(equals);
            valueInline = true;
        }
        const QtOption *option = findQtOption(name);
        if (!option || (valueInline && !option->takesValue)) {
            request.action = CommandLineAction::Error;
            request.error = u"unknown option '%1'"_s.arg(argument);
            return request;
        }
        if (option->takesValue && !valueInline) {
            if (i + 1 >= arguments.size()) {
                request.action = CommandLineAction::Error;
                request.error = u"option '%1' needs a value"_s.arg(argument);
                return request;
            }
            value = arguments.at(++i);
        }
        if (name == u"platform")
            request.platform = value;
        else if (name == u"display")
            request.displayGiven = !value.isEmpty();
    }
    return request;
}

QString helpText()
{
    return u"Usage: zumbrel [options]\n"
           u"An arithmetic drill for children aged 5 to 8: Merlin the wizard asks sums, listens and talks.\n"
           u"\n"
           u"Options:\n"
           u"  -h, --help     Show this help and exit.\n"
           u"  -v, --version  Show the version and exit.\n"
           u"\n"
           u"Qt's own options, such as -platform NAME or -display DISPLAY, are accepted too.\n"
           u"Zumbrel needs a graphical desktop session (X11, or Wayland with XWayland) and sound.\n"
           u"More in the manual page zumbrel(6) and in the guide: Help > Contents, or F1.\n"_s;
}

QString versionText()
{
    return u"zumbrel %1\n"_s.arg(QString::fromLatin1(buildinfo::versionString));
}

QString displayProblem(const QString &platform, bool displayGiven, const QByteArray &display,
                       const QByteArray &waylandDisplay)
{
    if (!platform.isEmpty() && needsNoDisplay(platform))
        return {};
    if (displayGiven)
        return {};
    // Unless told otherwise the program runs on X (XWayland in a Wayland session): the character
    // places its own windows on the desktop, which Wayland's own protocol does not allow.
    const bool onX = platform.isEmpty() || platform.section(u':', 0, 0) == u"xcb";
    if (onX ? !display.isEmpty() : (!display.isEmpty() || !waylandDisplay.isEmpty()))
        return {};
    if (onX && !waylandDisplay.isEmpty())
        return u"cannot open a window: this Wayland session offers no X server (DISPLAY is not set). "
               u"Zumbrel needs XWayland; install and enable it, or start Zumbrel from an X session."_s;
    return u"cannot open a window: no display is set (neither DISPLAY nor WAYLAND_DISPLAY). "
           u"Start Zumbrel from a graphical desktop session."_s;
}

std::optional<int> handleCommandLine(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLineRequest request = parseCommandLine(arguments);
    switch (request.action) {
    case CommandLineAction::ShowHelp:
        print(stdout, helpText());
        return ExitSuccess;
    case CommandLineAction::ShowVersion:
        print(stdout, versionText());
        return ExitSuccess;
    case CommandLineAction::Error:
        print(stderr, u"zumbrel: %1\nTry 'zumbrel --help' for more information.\n"_s.arg(request.error));
        return ExitUsage;
    case CommandLineAction::Run:
        break;
    }
    const QString platform =
        request.platform.isEmpty() ? qEnvironmentVariable("QT_QPA_PLATFORM") : request.platform;
    const QString problem = displayProblem(platform, request.displayGiven, qgetenv("DISPLAY"),
                                           qgetenv("WAYLAND_DISPLAY"));
    if (!problem.isEmpty()) {
        print(stderr, u"zumbrel: %1\n"_s.arg(problem));
        return ExitNoDisplay;
    }
    return std::nullopt;
}

} // namespace app

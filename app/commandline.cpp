// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/commandline.h"

#include <cstdio>

#include "buildinfo.h"
#include "translations/language.h"

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
QString text(const char *sourceText)
{
    return translations::terminalText("commandline", sourceText);
}

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
            request.error = text(QT_TRANSLATE_NOOP("commandline", "unexpected argument '%1'")).arg(argument);
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
            request.error = text(QT_TRANSLATE_NOOP("commandline", "unknown option '%1'")).arg(argument);
            return request;
        }
        if (option->takesValue && !valueInline) {
            if (i + 1 >= arguments.size()) {
                request.action = CommandLineAction::Error;
                request.error = text(QT_TRANSLATE_NOOP("commandline", "option '%1' needs a value")).arg(argument);
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
    return text(QT_TRANSLATE_NOOP("commandline",
                                  "Usage: zumbrel [options]\n"
                                  "An arithmetic drill for children aged 5 to 8: Merlin the wizard asks sums, "
                                  "listens and talks.\n"
                                  "\n"
                                  "Options:\n"
                                  "  -h, --help     Show this help and exit.\n"
                                  "  -v, --version  Show the version and exit.\n"
                                  "\n"
                                  "Qt's own options, such as -platform NAME or -display DISPLAY, are accepted too.\n"
                                  "Zumbrel needs a graphical desktop session (X11, or Wayland with XWayland) and "
                                  "sound.\n"
                                  "More in the manual page zumbrel(1) and in the guide: Help > Contents, or F1.\n"));
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
        return text(QT_TRANSLATE_NOOP("commandline",
                                      "cannot open a window: this Wayland session offers no X server (DISPLAY is "
                                      "not set). Zumbrel needs XWayland; install and enable it, or start Zumbrel "
                                      "from an X session."));
    return text(QT_TRANSLATE_NOOP("commandline", "cannot open a window: no display is set (neither DISPLAY nor "
                                                 "WAYLAND_DISPLAY). Start Zumbrel from a graphical desktop session."));
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
        print(stderr, u"zumbrel: %1\n"_s.arg(request.error)
                          + text(QT_TRANSLATE_NOOP("commandline", "Try 'zumbrel --help' for more information.\n")));
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

// SPDX-License-Identifier: GPL-3.0-or-later
// Shows any character, has it say a text and takes it away again: the character component used
// by a program of its own.
//
//     showcharacter [--quit-after MS] <character folder or manifest> [text]

#include <cstdio>

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSoundEffect>
#include <QTimer>
#include <QUrl>

#include "character/agent.h"
#include "character/soundplayer.h"
#include "characterdesktop/desktopagent.h"

using namespace Qt::StringLiterals;

namespace {

const char *statusName(character::RequestStatus status)
{
    switch (status) {
    case character::RequestStatus::Complete:
        return "complete";
    case character::RequestStatus::Failed:
        return "failed";
    case character::RequestStatus::Interrupted:
        return "interrupted";
    case character::RequestStatus::Pending:
    case character::RequestStatus::InProgress:
        break;
    }
    return "running";
}

// A character folder holds <folder name>.json; a manifest stands for itself.
QString manifestOf(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isDir())
        return info.absoluteFilePath();
    const QDir folder(info.absoluteFilePath());
    const QString named = folder.filePath(info.fileName() + u".json"_s);
    if (QFileInfo::exists(named))
        return named;
    const QStringList manifests = folder.entryList({u"*.json"_s}, QDir::Files);
    return manifests.size() == 1 ? folder.filePath(manifests.first()) : named;
}

// The sounds that the character's animations name, through Qt Multimedia. The component plays
// none itself: the host decides how, or whether, sound is made.
class SoundEffects final : public character::SoundPlayer
{
public:
    void play(const QString &path) override
    {
        QSoundEffect *&effect = m_effects[path];
        if (!effect) {
            effect = new QSoundEffect(&m_owner);
            effect->setSource(QUrl::fromLocalFile(path));
        }
        effect->play();
    }

    void stopAll() override
    {
        for (QSoundEffect *effect : std::as_const(m_effects))
            effect->stop();
    }

private:
    QObject m_owner;
    QHash<QString, QSoundEffect *> m_effects;
};

} // namespace

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(u"showcharacter"_s);
    QCommandLineParser parser;
    parser.setApplicationDescription(u"Shows a character on the desktop and has it say a text."_s);
    parser.addHelpOption();
    const QCommandLineOption quitAfter(u"quit-after"_s, u"Give up after this many milliseconds."_s, u"ms"_s);
    parser.addOption(quitAfter);
    parser.addPositionalArgument(u"character"_s, u"A character folder or its manifest (.json)."_s);
    parser.addPositionalArgument(u"text"_s, u"What the character says; alternatives separated by |."_s);
    parser.process(application);
    const QStringList arguments = parser.positionalArguments();
    if (arguments.isEmpty())
        parser.showHelp(2);
    const QString text = arguments.size() > 1 ? arguments.mid(1).join(u' ') : u"Hello!"_s;

    character::DesktopAgent agent;
    agent.setTrayIconEnabled(false);
    agent.setSoundPlayerFactory([] { return std::make_unique<SoundEffects>(); });
    std::shared_ptr<character::Character> shown;
    try {
        agent.Characters().Load(u"Example"_s, manifestOf(arguments.first()));
        shown = agent.Characters().Item(u"Example"_s);
    } catch (const character::Error &error) {
        std::fprintf(stderr, "showcharacter: %s\n", qPrintable(error.message()));
        return 1;
    }

    // Each request reports its end; the next step waits for the one before. The exit status says
    // whether every request completed.
    bool allComplete = true;
    const auto report = [&allComplete](const char *what, const character::RequestPtr &request) {
        QObject::connect(request.get(), &character::Request::finished, request.get(),
                         [what, &allComplete](character::RequestStatus status) {
                             allComplete = allComplete && status == character::RequestStatus::Complete;
                             std::printf("%s: %s\n", what, statusName(status));
                             std::fflush(stdout);
                         });
    };
    report("Show", shown->Show());
    const character::RequestPtr speak = shown->Speak(text);
    report("Speak", speak);
    QObject::connect(speak.get(), &character::Request::finished, &application, [&] {
        const character::RequestPtr hide = shown->Hide();
        report("Hide", hide);
        QObject::connect(hide.get(), &character::Request::finished, &application,
                         [&allComplete] { QCoreApplication::exit(allComplete ? 0 : 1); });
    });
    if (parser.isSet(quitAfter)) {
        QTimer::singleShot(parser.value(quitAfter).toInt(), &application, [] {
            std::fprintf(stderr, "showcharacter: gave up waiting\n");
            QCoreApplication::exit(3);
        });
    }
    return QApplication::exec();
}

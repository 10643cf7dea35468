// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/enginemodule.h"

#include <utility>

#include <QCoreApplication>
#include <QFileInfo>
#include <QPointer>

#include "app/logging.h"
#include "platform/datapaths.h"

using namespace Qt::StringLiterals;

namespace app {

EngineModule::EngineModule() = default;

EngineModule::EngineModule(const QStringList &folders)
    : m_folders(folders)
{
}

// The module stays loaded until the program ends: the engines it made may outlive this object.
EngineModule::~EngineModule() = default;

bool EngineModule::load()
{
    if (m_pending.valid())
        m_pending.get();
    else if (!std::exchange(m_tried, true))
        open();
    return m_engines;
}

void EngineModule::loadInBackground(QObject *context, std::function<void()> whenLoaded)
{
    if (m_tried || m_pending.valid())
        return;
    m_tried = true;
    // The answer goes by way of the application object, which outlives this one; whether the
    // context still exists is asked on the main thread, where it could be destroyed.
    auto answer = [guard = QPointer<QObject>(context), whenLoaded = std::move(whenLoaded)] {
        if (guard)
            whenLoaded();
    };
    m_pending = std::async(std::launch::async, [this, answer = std::move(answer)] {
        open();
        QMetaObject::invokeMethod(QCoreApplication::instance(), answer, Qt::QueuedConnection);
    });
}

// Runs once, on the worker or on the thread that first asks; m_tried is set by the caller, on the
// asking thread, and what this sets is read only after the worker is waited for.
void EngineModule::open()
{
    const QString fileName = QString::fromLatin1(engines::moduleBaseName) + u".so"_s;
    const QStringList folders = m_folders.value_or(platform::moduleDirectories());
    QString path;
    for (const QString &folder : folders) {
        if (QFileInfo::exists(folder + u'/' + fileName)) {
            path = folder + u'/' + fileName;
            break;
        }
    }
    if (path.isEmpty()) {
        m_error = u"%1 was not found in the program's module folders (%2)"_s.arg(
            fileName, folders.isEmpty() ? u"none exists"_s : folders.join(u", "_s));
    } else {
        m_library.setFileName(path);
        if (!m_library.load()) {
            m_error = m_library.errorString();
        } else if (auto entry = reinterpret_cast<engines::EntryPoint>(m_library.resolve(engines::entryPointName))) {
            m_engines = entry();
            if (!m_engines)
                m_error = u"%1 offers no engines"_s.arg(path);
        } else {
            m_error = u"%1 is not a module of this version of the program"_s.arg(path);
        }
    }
    if (m_engines)
        qCDebug(lcApp).noquote() << "Engines module loaded from" << path;
    else
        qCWarning(lcApp).noquote() << "Speech, spoken commands and sounds are off:" << m_error;
}

std::unique_ptr<character::SpeechEngine> EngineModule::createSpeechEngine(const QString &language)
{
    return load() ? m_engines->createSpeechEngine(language) : nullptr;
}

std::unique_ptr<character::CommandRecognizer> EngineModule::createRecognizer()
{
    return load() ? m_engines->createRecognizer() : nullptr;
}

std::unique_ptr<character::SoundPlayer> EngineModule::createSoundPlayer()
{
    return load() ? m_engines->createSoundPlayer() : nullptr;
}

} // namespace app

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <future>
#include <memory>
#include <optional>

#include <QLibrary>
#include <QObject>
#include <QString>
#include <QStringList>

#include "engines/engines.h"

namespace app {

// The engines module (voice, spoken commands, animation sounds), loaded from the program's own
// module folders the first time one of them is asked for. When it cannot be loaded the program
// goes on without: words shown at a reading pace, no listening, no sounds; a warning says why.
class EngineModule
{
public:
    // Looks in the program's module folders (platform::moduleDirectories()), or in those given.
    EngineModule();
    explicit EngineModule(const QStringList &folders);
    ~EngineModule();
    Q_DISABLE_COPY_MOVE(EngineModule)

    // Loads the module once; later calls give the first answer. While a load started by
    // loadInBackground() runs, waits for it.
    bool load();
    // Loads the module on a worker thread, so that the event loop goes on meanwhile; then calls
    // whenLoaded on context's thread (not at all if context is gone by then). Once only.
    void loadInBackground(QObject *context, std::function<void()> whenLoaded);
    QString errorString() const { return m_error; }

    std::unique_ptr<character::SpeechEngine> createSpeechEngine(const QString &language);
    std::unique_ptr<character::CommandRecognizer> createRecognizer();
    std::unique_ptr<character::SoundPlayer> createSoundPlayer();

private:
    void open();

    std::optional<QStringList> m_folders;
    std::future<void> m_pending;
    QLibrary m_library;
    engines::Engines *m_engines = nullptr;
    bool m_tried = false;
    QString m_error;
};

} // namespace app

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A main window wired to test doubles: the recording character component, scripted dialogs, a
// browser that only notes what it was asked to open, and a random source of fixed numbers.

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QUrl>

#include "app/mainwindow.h"
#include "fakedialogs.h"
#include "platform/browser.h"
#include "quiz/randomsource.h"
#include "recordingagent.h"

namespace testsupport {

class FakeBrowser final : public platform::Browser
{
public:
    bool open(const QUrl &url) override
    {
        opened << url;
        return works;
    }
    QList<QUrl> opened;
    bool works = true;
};

// Hands out queued numbers first, then a fixed one; reseeding changes nothing.
class FixedRandom final : public quiz::RandomSource
{
public:
    double next() override { return queued.isEmpty() ? fallback : queued.takeFirst(); }
    void reseed(double) override { ++reseeds; }
    QList<double> queued;
    double fallback = 0.5;
    int reseeds = 0;
};

// What the window reaches outside the character and the numbers, answered by doubles.
struct FakeOutside
{
    FakeBrowser browser;
    FakeDialogs dialogs;

    app::MainWindowServices services(character::Agent &agent, quiz::RandomSource &random)
    {
        app::MainWindowServices services;
        services.agent = &agent;
        services.random = &random;
        services.browser = &browser;
        services.dialogs = &dialogs;
        return services;
    }
};

struct AppFixture : FakeOutside
{
    RecordingAgent agent;
    FixedRandom random;
    int aboutShown = 0;
    teacher::FarewellTiming farewellTiming;
    std::unique_ptr<app::MainWindow> window;

    app::MainWindow &create()
    {
        app::MainWindowServices services = FakeOutside::services(agent, random);
        services.showAbout = [this](QWidget *) { ++aboutShown; };
        services.farewellTiming = farewellTiming;
        window = std::make_unique<app::MainWindow>(services);
        return *window;
    }

    // Created, loaded and with every queued request of the start carried out.
    app::MainWindow &start()
    {
        create();
        if (!window->Form_Load())
            qFatal("start-up failed");
        agent.completePending();
        agent.log.clear();
        return *window;
    }

    template <typename T>
    T *control(const char16_t *name) const
    {
        return window->findChild<T *>(QString::fromUtf16(name));
    }
    QString text(const char16_t *label) const { return control<QLabel>(label)->text(); }
    QLineEdit *answerBox() const { return control<QLineEdit>(u"txtAnswer"); }
    QString expectedResult() const { return answerBox()->property("Tag").toString(); }
    QString counters() const
    {
        return text(u"lblTotal") + u'/' + text(u"lblCorrect") + u'/' + text(u"lblWrong") + u'/' + text(u"lblSkipped");
    }
    void type(const QString &answer) const { answerBox()->setText(answer); }
    void click(const char16_t *button) const { control<QPushButton>(button)->click(); }
};

} // namespace testsupport

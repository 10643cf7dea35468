// SPDX-License-Identifier: GPL-3.0-or-later
// The real program, driven from inside by a few thousand random actions of a child at play: answers
// right and wrong, skips, resets, operations and levels from menus and keys, names, About, clicks,
// drags and commands on Merlin, push-to-talk. After every action that returns to the top of the
// event loop the score must add up; a watchdog thread notices an event loop that stops turning or
// an action that never ends. Run by scripts/soak.sh (`make soak`), not by the test suite.
//
// Environment: ZUMBREL_SOAK_ACTIONS (default 5000), ZUMBREL_SOAK_SEED (default: from the clock).

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include <csignal>

#include <execinfo.h>
#include <malloc.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTest>
#include <QTimer>

#include "app/application.h"
#include "app/mainwindow.h"

using namespace Qt::StringLiterals;

namespace {

qint64 residentKiB()
{
    QFile statm(u"/proc/self/statm"_s);
    if (!statm.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields.at(1).toLongLong() * (sysconf(_SC_PAGESIZE) / 1024) : -1;
}

// Bytes the program holds from malloc: steadier than the resident size, which pages come and go from.
qint64 heapKiB()
{
    return qint64(mallinfo2().uordblks / 1024);
}

qint64 nowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// What the driver is doing, for reports written where nothing may be allocated.
std::atomic<int> currentAction{0};
std::atomic<const char *> currentActionName{"start"};

// A crash names the action it happened in and leaves a backtrace (resolve the addresses with
// addr2line -e zumbrel_soak), then ends the process as the signal would have.
void reportCrash(int signal)
{
    char line[160];
    const int length = std::snprintf(line, sizeof line, "soak: CRASH: signal %d in action %d (%s)\n", signal,
                                     currentAction.load(), currentActionName.load());
    if (length > 0)
        (void)!::write(STDERR_FILENO, line, size_t(std::min<int>(length, sizeof line - 1)));
    void *frames[64];
    backtrace_symbols_fd(frames, backtrace(frames, 64), STDERR_FILENO);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

// Watches the main thread from outside it: the event loop must turn (a heartbeat timer) and every
// action must end. Either failing is a hang: say which action, then end the process.
class Watchdog
{
public:
    Watchdog(int loopStallMs, int actionStallMs)
        : m_thread([this, loopStallMs, actionStallMs] {
            while (!m_stop) {
                std::this_thread::sleep_for(std::chrono::milliseconds(250));
                const qint64 now = nowMs();
                const char *what = nullptr;
                if (now - m_heartbeat > loopStallMs)
                    what = "the event loop stopped turning";
                else if (now - m_progress > actionStallMs)
                    what = "an action did not end";
                if (what) {
                    std::fprintf(stderr, "soak: HANG: %s (action %d, %s)\n", what, m_action.load(),
                                 m_actionName.load());
                    std::fflush(stderr);
                    std::_Exit(3);
                }
            }
        })
    {
    }
    ~Watchdog()
    {
        m_stop = true;
        m_thread.join();
    }

    void beat() { m_heartbeat = nowMs(); }
    // A top-level action begins: it must end within the bound.
    void progress(int action, const char *name)
    {
        m_progress = nowMs();
        note(action, name);
    }
    // An action nested in one that waits: named for the report, timed with the one it runs in.
    void note(int action, const char *name)
    {
        m_action = action;
        m_actionName = name;
        currentAction = action;
        currentActionName = name;
    }

private:
    std::atomic<qint64> m_heartbeat{nowMs()};
    std::atomic<qint64> m_progress{nowMs()};
    std::atomic<int> m_action{0};
    std::atomic<const char *> m_actionName{"start"};
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

class Driver final : public QObject
{
public:
    Driver(app::MainWindow &window, int actions, quint32 seed, Watchdog &watchdog)
        : QObject(&window)
        , m_window(window)
        , m_actions(actions)
        , m_random(seed)
        , m_watchdog(watchdog)
    {
        m_heartbeat.setInterval(100);
        connect(&m_heartbeat, &QTimer::timeout, this, [this] { m_watchdog.beat(); });
        m_heartbeat.start();
        // Modal dialogs (the name box, About, a message) are answered as a child would.
        m_modal.setInterval(150);
        connect(&m_modal, &QTimer::timeout, this, &Driver::answerModal);
        m_modal.start();
        // While an answer waits for Merlin, the child goes on clicking: actions nested in the wait.
        m_nested.setSingleShot(true);
        connect(&m_nested, &QTimer::timeout, this, &Driver::nestedAction);
        m_nested.start(150);
        m_elapsed.start();
        m_window.activateWindow();
        QTimer::singleShot(0, this, &Driver::topLevelAction);
    }

private:
    enum Kind { Right, Wrong, Skip, Reset, Operation, Level, Name, ClickMerlin, DragMerlin, MerlinMenu, About,
                PushToTalk, TypeAndErase, EmptyEnter };

    Kind draw(bool nested)
    {
        // Weights of a child's play; nested in a wait, only what a child can do there quickly.
        static const QList<std::pair<Kind, int>> all = {
            {Right, 20}, {Wrong, 14}, {Skip, 12}, {Reset, 4}, {Operation, 4}, {Level, 4}, {Name, 3},
            {ClickMerlin, 9}, {DragMerlin, 5}, {MerlinMenu, 4}, {About, 2}, {PushToTalk, 4},
            {TypeAndErase, 3}, {EmptyEnter, 2},
        };
        // Nested answers are rarer: each one after a new question renews the wait with a whole
        // reaction, and the wait is where the other actions happen.
        const auto weightOf = [&](Kind kind, int weight) {
            if (!nested)
                return weight;
            if (!quick(kind))
                return 0;
            return kind == Right || kind == Wrong ? weight / 4 : weight;
        };
        int total = 0;
        for (const auto &[kind, weight] : all)
            total += weightOf(kind, weight);
        int r = int(m_random.bounded(total));
        for (const auto &[kind, weight] : all) {
            if (r < weightOf(kind, weight))
                return kind;
            r -= weightOf(kind, weight);
        }
        return Skip;
    }

    bool quick(Kind kind) const
    {
        // Answers may nest once more; modal dialogs and held keys only at the top.
        return kind != Name && kind != About && kind != PushToTalk && ((kind != Right && kind != Wrong) || m_okDepth < 2);
    }

    static const char *name(Kind kind)
    {
        static const char *const names[] = {"right", "wrong", "skip", "reset", "operation", "level", "name",
                                            "click", "drag", "merlin-menu", "about", "push-to-talk",
                                            "type-and-erase", "empty-enter"};
        return names[kind];
    }

    template<typename T>
    T *child(const QString &objectName) const
    {
        T *found = m_window.findChild<T *>(objectName);
        if (!found)
            qFatal("soak: no %s", qPrintable(objectName));
        return found;
    }

    QString label(const char16_t *name) const { return child<QLabel>(QString::fromUtf16(name))->text(); }

    QWidget *merlin() const
    {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (w->objectName() == u"characterWindow" && w->isVisible())
                return w;
        }
        return nullptr;
    }

    void perform(Kind kind)
    {
        ++m_performed;
        m_history << u"%1 %2%3 (%4)"_s.arg(m_performed).arg(QString(m_nestDepth * 2, u' '), QLatin1StringView(name(kind)),
                                          label(u"lblTotal") + u'/' + label(u"lblCorrect") + u'/' + label(u"lblWrong")
                                              + u'/' + label(u"lblSkipped"));
        if (m_history.size() > 30)
            m_history.removeFirst();
        if (m_nestDepth == 0)
            m_watchdog.progress(m_performed, name(kind));
        else
            m_watchdog.note(m_performed, name(kind));
        QLineEdit *answer = child<QLineEdit>(u"txtAnswer"_s);
        switch (kind) {
        case Right:
        case Wrong: {
            const int expected = answer->property("Tag").toString().toInt();
            int typed = expected;
            if (kind == Wrong)
                typed = (expected + 1 + int(m_random.bounded(98))) % 100;
            answer->setFocus();
            answer->clear();
            QTest::keyClicks(answer, QString::number(typed));
            ++m_okDepth;
            QTest::keyClick(answer, Qt::Key_Return);
            --m_okDepth;
            break;
        }
        case Skip:
            if (m_random.bounded(2))
                QTest::keyClick(&m_window, Qt::Key_Escape);
            else
                child<QPushButton>(u"cmdSkip"_s)->click();
            break;
        case Reset:
            resetting();
            child<QPushButton>(u"cmdReset"_s)->click();
            break;
        case Operation: {
            static const char16_t *const names[] = {u"mnuQuestionsAddition", u"mnuQuestionsSubtraction",
                                                    u"mnuQuestionsMultiplication", u"mnuQuestionsDivision"};
            const int index = int(m_random.bounded(4));
            resetting();
            // Shortcuts reach only the active window; Merlin or a closing dialog may hold the focus.
            if (m_random.bounded(2) && QApplication::activeWindow() == &m_window)
                QTest::keyClick(&m_window, Qt::Key(Qt::Key_F1 + index), Qt::ControlModifier);
            else
                child<QAction>(QString::fromUtf16(names[index]))->trigger();
            break;
        }
        case Level: {
            const int index = int(m_random.bounded(4));
            resetting();
            if (m_random.bounded(2) && QApplication::activeWindow() == &m_window) {
                QTest::keyClick(&m_window, Qt::Key(Qt::Key_F1 + index), Qt::ShiftModifier);
            } else {
                const QList<QAction *> levels = m_window.findChildren<QAction *>(u"mnuQuestionsLevelsLevel"_s);
                for (QAction *level : levels) {
                    if (level->data().toInt() == index && !level->menu())
                        level->trigger();
                }
            }
            break;
        }
        case Name: {
            static const QStringList names = {u"Ann"_s, u"Bo"_s, u"Maximilian"_s, u"Zoë"_s, u"Søren"_s,
                                              u"李小龙"_s, u"Mary Jane Watson-Parker"_s, QString(300, u'a'),
                                              u""_s, u"O'Brien & <Co>"_s};
            m_pendingName = names.at(int(m_random.bounded(int(names.size()))));
            child<QAction>(u"mnuFileName"_s)->trigger();
            break;
        }
        case ClickMerlin:
            if (QWidget *w = merlin())
                QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center());
            break;
        case DragMerlin:
            if (QWidget *w = merlin()) {
                const QPoint start = w->rect().center();
                QTest::mousePress(w, Qt::LeftButton, {}, start);
                const QPoint step(int(m_random.bounded(41)) - 20, int(m_random.bounded(41)) - 20);
                for (int i = 1; i <= 5; ++i)
                    QTest::mouseMove(w, start + step * i);
                QTest::mouseRelease(w, Qt::LeftButton, {}, start + step * 5);
            }
            break;
        case MerlinMenu:
            if (QWidget *w = merlin()) {
                QTest::mouseClick(w, Qt::RightButton, {}, w->rect().center());
                auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
                if (!menu)
                    break;
                QList<QAction *> choices;
                for (QAction *action : menu->actions()) {
                    // Leaving or hiding Merlin would end the soak early.
                    if (!action->isSeparator() && action->objectName() != u"hideAction"
                        && action->data().toString() != u"Exit")
                        choices << action;
                }
                menu->hide();
                if (choices.isEmpty())
                    break;
                QAction *chosen = choices.at(int(m_random.bounded(int(choices.size()))));
                if (chosen->data().toString() == u"Reset" || chosen->data().toString().startsWith(u"Level"))
                    resetting();
                chosen->trigger();
            }
            break;
        case About:
            child<QAction>(u"mnuHelpAbout"_s)->trigger();
            break;
        case PushToTalk: {
            QWidget *target = m_random.bounded(2) ? static_cast<QWidget *>(answer) : merlin();
            if (!target)
                target = answer;
            QTest::keyPress(target, Qt::Key_Space);
            QTest::qWait(200 + int(m_random.bounded(600)));
            QTest::keyRelease(target, Qt::Key_Space);
            break;
        }
        case TypeAndErase:
            answer->setFocus();
            QTest::keyClicks(answer, u"7x9-"_s);
            for (int i = 0; i < 4; ++i)
                QTest::keyClick(answer, Qt::Key_Backspace);
            break;
        case EmptyEnter:
            answer->clear();
            QTest::keyClick(answer, Qt::Key_Return);
            break;
        }
    }

    // The score starts afresh; each answer still waiting for Merlin will show one more question
    // when its wait ends, so the total then stands that many above the sum (a documented exception).
    void resetting() { m_resetOffset = m_okDepth; }

    void topLevelAction()
    {
        if (m_performed >= m_actions) {
            finish();
            return;
        }
        ++m_depth;
        m_nestedInThisAction = 0;
        const Kind kind = draw(false);
        const qint64 started = m_elapsed.elapsed();
        perform(kind);
        m_timeByKind[kind] += m_elapsed.elapsed() - started;
        ++m_countByKind[kind];
        --m_depth;
        checkScore();
        if (m_performed >= 250 && m_rssAt250 < 0) {
            m_rssAt250 = residentKiB();
            m_heapAt250 = heapKiB();
            m_performedAt250 = m_performed;
        }
        if (m_performed / 250 != m_lastReport) {
            m_lastReport = m_performed / 250;
            std::fprintf(stderr, "soak: %d actions, %lld KiB resident, %lld KiB heap, %.1f s\n", m_performed,
                         residentKiB(), heapKiB(), m_elapsed.elapsed() / 1000.0);
        }
        if (!m_failed)
            QTimer::singleShot(0, this, &Driver::topLevelAction);
    }

    void nestedAction()
    {
        // Only inside a wait of the main window, never over a modal dialog or at the top.
        // A few per top-level action: each answer made here renews the wait it runs in.
        if (m_depth > 0 && m_okDepth > 0 && m_nestDepth < 2 && m_nestedInThisAction < maxNestedPerAction
            && !QApplication::activeModalWidget() && m_performed < m_actions) {
            ++m_nestedInThisAction;
            ++m_nestedTotal;
            ++m_nestDepth;
            perform(draw(true));
            --m_nestDepth;
        }
        m_nested.start(30 + int(m_random.bounded(90)));
    }

    void answerModal()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        if (auto *input = qobject_cast<QInputDialog *>(modal)) {
            input->setTextValue(m_pendingName);
            if (m_random.bounded(8) == 0)
                input->reject();
            else
                input->accept();
        } else if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            box->accept();
        } else if (auto *dialog = qobject_cast<QDialog *>(modal)) {
            dialog->reject();
        } else {
            modal->close();
        }
    }

    void checkScore()
    {
        const int total = label(u"lblTotal").toInt();
        const int sum = label(u"lblCorrect").toInt() + label(u"lblWrong").toInt() + label(u"lblSkipped").toInt();
        if (total != sum + 1 + m_resetOffset) {
            std::fprintf(stderr, "soak: FAIL after action %d: total %d, correct + wrong + skipped + 1 = %d (offset %d)\n",
                         m_performed, total, sum + 1, m_resetOffset);
            std::fprintf(stderr, "soak: the last actions (number, name, score before it):\n");
            for (const QString &line : std::as_const(m_history))
                std::fprintf(stderr, "soak:   %s\n", qPrintable(line));
            m_failed = true;
            QCoreApplication::exit(2);
        }
    }

    void finish()
    {
        const double seconds = m_elapsed.elapsed() / 1000.0;
        const qint64 rss = residentKiB();
        std::printf("soak: %d actions in %.1f s, score checked after each top-level one\n", m_performed, seconds);
        // Growth counts from the 250th action, after start-up and the first of everything.
        if (m_rssAt250 >= 0)
            std::printf("BENCH soak_rss_growth_kib %lld KiB\n", rss - m_rssAt250);
        std::printf("BENCH soak_rss_end_kib %lld KiB\n", rss);
        // The sanitizer's allocator tells malloc's statistics nothing.
        if (m_heapAt250 > 0)
            std::printf("BENCH soak_heap_growth_kib %lld KiB\n", heapKiB() - m_heapAt250);
        std::printf("BENCH soak_actions_per_second %.2f actions/s\n", m_performed / seconds);
        if (m_rssAt250 >= 0 && m_performed > m_performedAt250) {
            std::printf("BENCH soak_rss_growth_per_action_bytes %.0f B\n",
                        (rss - m_rssAt250) * 1024.0 / (m_performed - m_performedAt250));
        }
        for (auto it = m_countByKind.cbegin(); it != m_countByKind.cend(); ++it) {
            std::printf("soak: top-level %-14s %5d times, %6.2f s on average\n", name(it.key()), it.value(),
                        m_timeByKind.value(it.key()) / 1000.0 / it.value());
        }
        std::printf("soak: %d actions nested in waits\n", m_nestedTotal);
        std::fflush(stdout);
        m_heartbeat.stop();
        m_modal.stop();
        m_nested.stop();
        // Leave as a child does: the Close button, with Merlin's good-bye.
        child<QPushButton>(u"cmdClose"_s)->click();
    }

    app::MainWindow &m_window;
    const int m_actions;
    QRandomGenerator m_random;
    Watchdog &m_watchdog;
    QTimer m_heartbeat;
    QTimer m_modal;
    QTimer m_nested;
    QElapsedTimer m_elapsed;
    QString m_pendingName;
    QStringList m_history;
    int m_performed = 0;
    int m_depth = 0;
    int m_okDepth = 0;
    int m_nestDepth = 0;
    int m_nestedInThisAction = 0;
    int m_nestedTotal = 0;
    QMap<Kind, int> m_countByKind;
    QMap<Kind, qint64> m_timeByKind;
    static constexpr int maxNestedPerAction = 40;
    int m_resetOffset = 0;
    int m_lastReport = 0;
    qint64 m_rssAt250 = -1;
    qint64 m_heapAt250 = -1;
    int m_performedAt250 = 0;
    bool m_failed = false;
};

} // namespace

int main(int argc, char **argv)
{
    const int actions = qEnvironmentVariableIsSet("ZUMBREL_SOAK_ACTIONS")
        ? qEnvironmentVariableIntValue("ZUMBREL_SOAK_ACTIONS")
        : 5000;
    const quint32 seed = qEnvironmentVariableIsSet("ZUMBREL_SOAK_SEED")
        ? quint32(qEnvironmentVariableIntValue("ZUMBREL_SOAK_SEED"))
        : quint32(nowMs());
    std::fprintf(stderr, "soak: %d actions, seed %u\n", actions, seed);
    // The sanitizer build reports crashes itself, better.
    if (!qEnvironmentVariableIsSet("ZUMBREL_SOAK_SLOW")) {
        for (const int signal : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT})
            std::signal(signal, reportCrash);
    }
    // The sanitizer build runs several times slower; a stalled loop is still a stall.
    const bool slow = qEnvironmentVariableIsSet("ZUMBREL_SOAK_SLOW");
    Watchdog watchdog(slow ? 30000 : 10000, slow ? 400000 : 120000);
    const int status = app::run(argc, argv, [&](app::MainWindow &window) {
        new Driver(window, actions, seed, watchdog); // owned by the window
    });
    // The driver went with the window; its verdict went to the exit status.
    std::fprintf(stderr, "soak: program ended with status %d\n", status);
    return status;
}

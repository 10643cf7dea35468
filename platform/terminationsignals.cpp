// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/terminationsignals.h"

#include <cerrno>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

#include <QSocketNotifier>

#include "platform/logging.h"

namespace platform {

namespace {
int signalPipe[2] = {-1, -1};

void onSignal(int signalNumber)
{
    // Only async-signal-safe work here: hand the number to the event loop.
    const unsigned char byte = static_cast<unsigned char>(signalNumber);
    [[maybe_unused]] const auto written = ::write(signalPipe[1], &byte, 1);
}

constexpr int handledSignals[] = {SIGTERM, SIGINT, SIGHUP};
} // namespace

TerminationSignals::TerminationSignals(QObject *parent)
    : QObject(parent)
{
    if (signalPipe[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0) {
        qCWarning(lcPlatform) << "No socket pair for the termination signals:" << qt_error_string(errno)
                              << "- SIGTERM ends the program without its farewell";
        return;
    }
    m_notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::readSignal);

    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int number : handledSignals)
        sigaction(number, &action, nullptr);
}

TerminationSignals::~TerminationSignals()
{
    for (int number : handledSignals)
        std::signal(number, SIG_DFL);
}

void TerminationSignals::readSignal()
{
    unsigned char byte = 0;
    if (::read(signalPipe[0], &byte, 1) == 1)
        emit terminationRequested(byte);
}

} // namespace platform

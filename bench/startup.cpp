// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up figures of a program on the current X display: the time from exec until its window with
// the given title is mapped (median of several runs), and its resident memory a moment later.
//
//   zumbrel_bench_startup <name> <title> <runs> <program> [args...]
// prints
//   BENCH <name>_startup_ms <median> ms
//   BENCH <name>_rss_kib <median> KiB

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <X11/Xlib.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

bool hasTitle(Display *display, Window window, const char *title)
{
    char *name = nullptr;
    const bool match = XFetchName(display, window, &name) && name && std::strcmp(name, title) == 0;
    if (name)
        XFree(name);
    return match;
}

long residentKib(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    }
    return -1;
}

void stop(pid_t pid)
{
    kill(pid, SIGTERM);
    for (int i = 0; i < 200; ++i) {
        if (waitpid(pid, nullptr, WNOHANG) == pid)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 5) {
        std::fprintf(stderr, "usage: %s name title runs program [args...]\n", argv[0]);
        return 2;
    }
    const char *benchName = argv[1];
    const char *title = argv[2];
    const int runs = std::max(1, std::atoi(argv[3]));
    Display *display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "no X display\n");
        return 1;
    }
    std::vector<double> startMs;
    std::vector<double> rssKib;
    for (int run = 0; run < runs; ++run) {
        XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
        XSync(display, True);
        const auto started = Clock::now();
        const pid_t pid = fork();
        if (pid == 0) {
            execvp(argv[4], argv + 4);
            _exit(127);
        }
        bool mapped = false;
        while (!mapped && Clock::now() - started < std::chrono::seconds(30)) {
            while (XPending(display)) {
                XEvent event;
                XNextEvent(display, &event);
                if (event.type == MapNotify && hasTitle(display, event.xmap.window, title))
                    mapped = true;
            }
            if (!mapped)
                std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        const double ms = std::chrono::duration<double, std::milli>(Clock::now() - started).count();
        if (!mapped) {
            std::fprintf(stderr, "%s: no window titled '%s' within 30 s\n", benchName, title);
            stop(pid);
            return 1;
        }
        startMs.push_back(ms);
        std::this_thread::sleep_for(std::chrono::seconds(1));
        rssKib.push_back(double(residentKib(pid)));
        stop(pid);
    }
    std::printf("BENCH %s_startup_ms %.1f ms\n", benchName, median(startMs));
    std::printf("BENCH %s_rss_kib %.0f KiB\n", benchName, median(rssKib));
    XCloseDisplay(display);
    return 0;
}

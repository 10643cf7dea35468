// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up figures of a program on the current X display: the time from exec until its window with
// the given title is mapped (median of several runs), and its resident memory a moment later.
//
//   zumbrel_bench_startup [--painted] <name> <title> <runs> <program> [args...]
// prints
//   BENCH <name>_startup_ms <median> ms
//   BENCH <name>_rss_kib <median> KiB
// With --painted the time runs until the window shows something other than black, the empty
// root of a bare X server: its first visible frame.

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
#include <X11/Xutil.h>
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

// Whether a mapped window has drawn anything yet; a shaped window's pixels outside its shape
// read as they were, so the whole window is looked at.
bool hasPainted(Display *display, Window window)
{
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes) || attributes.map_state != IsViewable)
        return false;
    XImage *image = XGetImage(display, window, 0, 0, unsigned(attributes.width), unsigned(attributes.height), AllPlanes,
                              ZPixmap);
    if (!image)
        return false;
    bool painted = false;
    for (int y = 0; y < image->height && !painted; ++y) {
        for (int x = 0; x < image->width && !painted; ++x)
            painted = (XGetPixel(image, x, y) & 0xffffff) != 0;
    }
    XDestroyImage(image);
    return painted;
}

int main(int argc, char *argv[])
{
    bool untilPainted = false;
    if (argc > 1 && std::strcmp(argv[1], "--painted") == 0) {
        untilPainted = true;
        --argc;
        ++argv;
    }
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
        Window window = 0;
        while (!mapped && Clock::now() - started < std::chrono::seconds(30)) {
            while (!window && XPending(display)) {
                XEvent event;
                XNextEvent(display, &event);
                if (event.type == MapNotify && hasTitle(display, event.xmap.window, title))
                    window = event.xmap.window;
            }
            mapped = window && (!untilPainted || hasPainted(display, window));
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

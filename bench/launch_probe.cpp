// SPDX-License-Identifier: GPL-3.0-or-later
// Starts a program under the current X server and reports, from the outside,
// when its first window maps and when that window first shows drawn pixels,
// then optionally its CPU use over a quiet period and its peak resident memory.
// The same probe serves any program, so two programs compare on equal terms.
//
// Usage: trenix_launch_probe [--timeout S] [--wait-exit] [--idle S] [--then CMD] [--settle S]
//                            [--again CMD] [--measure S] [--no-kill] -- PROGRAM ARGS...
// Prints one line of key=value pairs; times in ms from the fork, -1 when not seen;
// hwm_paint_kb is the peak resident memory when the window is first seen drawn;
// cpu_idle_ms the CPU of the --idle seconds after it; cpu_then_ms the CPU from
// there to the end of --then and --settle (a started game shows here);
// cpu_again_ms the same for --again and a second --settle; cpu_pct over --measure.
// The server's root must be black (Xvfb -br): "drawn" means the centre of the
// window is no longer black.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <poll.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point t0) { return std::chrono::duration<double, std::milli>(Clock::now() - t0).count(); }

long statusKb(pid_t pid, const char *field)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    const size_t n = std::strlen(field);
    while (std::getline(in, line)) {
        if (line.compare(0, n, field) == 0 && line.size() > n && line[n] == ':')
            return std::strtol(line.c_str() + n + 1, nullptr, 10);
    }
    return -1;
}

// utime + stime of all threads, in ms (clock-tick resolution).
double statCpuMs(pid_t pid)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const size_t close = all.rfind(')');
    if (close == std::string::npos)
        return -1;
    std::istringstream fields(all.substr(close + 2));
    std::string f;
    unsigned long long utime = 0, stime = 0;
    for (int i = 3; fields >> f; ++i) {
        if (i == 14)
            utime = std::stoull(f);
        if (i == 15) {
            stime = std::stoull(f);
            break;
        }
    }
    return double(utime + stime) * 1000.0 / double(sysconf(_SC_CLK_TCK));
}

// Time on the CPU summed over all threads, in ms (nanosecond resolution).
double schedCpuMs(pid_t pid)
{
    const std::string dir = "/proc/" + std::to_string(pid) + "/task";
    DIR *d = opendir(dir.c_str());
    if (!d)
        return -1;
    double sum = 0;
    while (dirent *e = readdir(d)) {
        if (e->d_name[0] == '.')
            continue;
        std::ifstream in(dir + "/" + e->d_name + "/schedstat");
        unsigned long long ns = 0;
        if (in >> ns)
            sum += double(ns) / 1e6;
    }
    closedir(d);
    return sum;
}

bool drawn(Display *dpy, Window w)
{
    XWindowAttributes a;
    if (!XGetWindowAttributes(dpy, w, &a) || a.map_state != IsViewable)
        return false;
    const int side = 32;
    const int x = std::max(0, a.width / 2 - side / 2), y = std::max(0, a.height / 2 - side / 2);
    XImage *img = XGetImage(dpy, w, x, y, std::min(side, a.width), std::min(side, a.height), AllPlanes, ZPixmap);
    if (!img)
        return false;
    bool any = false;
    for (int j = 0; j < img->height && !any; ++j)
        for (int i = 0; i < img->width && !any; ++i)
            any = (XGetPixel(img, i, j) & 0xFFFFFF) != 0;
    XDestroyImage(img);
    return any;
}

int ignoreErrors(Display *, XErrorEvent *) { return 0; } // a window may vanish while we look

} // namespace

int main(int argc, char *argv[])
{
    double timeout = 30, settle = 0, measure = 0, idle = 0;
    std::string then, again;
    bool killAtEnd = true, waitExit = false;
    int i = 1;
    for (; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--") {
            ++i;
            break;
        }
        if (a == "--wait-exit") {
            waitExit = true;
            continue;
        }
        if (a == "--no-kill") {
            killAtEnd = false;
            continue;
        }
        if (i + 1 >= argc) {
            std::fprintf(stderr, "missing value for %s\n", a.c_str());
            return 2;
        }
        if (a == "--timeout")
            timeout = std::atof(argv[++i]);
        else if (a == "--settle")
            settle = std::atof(argv[++i]);
        else if (a == "--measure")
            measure = std::atof(argv[++i]);
        else if (a == "--then")
            then = argv[++i];
        else if (a == "--again")
            again = argv[++i];
        else if (a == "--idle")
            idle = std::atof(argv[++i]);
        else {
            std::fprintf(stderr, "unknown option %s\n", a.c_str());
            return 2;
        }
    }
    if (i >= argc) {
        std::fprintf(stderr, "usage: %s [options] -- PROGRAM ARGS...\n", argv[0]);
        return 2;
    }

    Display *dpy = XOpenDisplay(nullptr);
    if (!dpy) {
        std::fprintf(stderr, "cannot open the X display\n");
        return 2;
    }
    XSetErrorHandler(ignoreErrors);
    const Window root = DefaultRootWindow(dpy);
    XSelectInput(dpy, root, SubstructureNotifyMask);
    XSync(dpy, False);

    const Clock::time_point t0 = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        execvp(argv[i], argv + i);
        std::perror("exec");
        _exit(127);
    }

    double mapMs = -1, paintMs = -1, exitMs = -1;
    long hwmPaint = -1;
    Window win = 0;
    int status = 0;
    pollfd pfd{ConnectionNumber(dpy), POLLIN, 0};
    while (msSince(t0) < timeout * 1000) {
        while (XPending(dpy)) {
            XEvent ev;
            XNextEvent(dpy, &ev);
            if (ev.type == MapNotify && !win && !ev.xmap.override_redirect) {
                XWindowAttributes a;
                if (XGetWindowAttributes(dpy, ev.xmap.window, &a) && a.width > 50 && a.height > 50) {
                    win = ev.xmap.window;
                    mapMs = msSince(t0);
                }
            }
        }
        if (win && paintMs < 0 && drawn(dpy, win)) {
            paintMs = msSince(t0);
            hwmPaint = statusKb(pid, "VmHWM");
        }
        if (waitpid(pid, &status, WNOHANG) == pid) {
            exitMs = msSince(t0);
            break;
        }
        if (paintMs >= 0 && !waitExit)
            break;
        poll(&pfd, 1, win ? 0 : 1);
        if (win)
            std::this_thread::sleep_for(std::chrono::microseconds(500));
    }

    double cpuPct = -1, schedPct = -1, cpuAtPaint = -1, cpuIdle = -1, cpuThen = -1, cpuAgain = -1;
    long hwm = -1, rss = -1;
    setenv("PROBE_WIN", std::to_string(win).c_str(), 1);
    setenv("PROBE_PID", std::to_string(pid).c_str(), 1);
    // Runs a command, lets the program settle and returns the CPU it used meanwhile.
    auto cpuOf = [&](const std::string &command) {
        const double c0 = schedCpuMs(pid);
        if (!command.empty() && std::system(command.c_str()) != 0)
            std::fprintf(stderr, "the command failed: %s\n", command.c_str());
        std::this_thread::sleep_for(std::chrono::duration<double>(settle));
        return schedCpuMs(pid) - c0;
    };
    if (exitMs < 0) {
        cpuAtPaint = schedCpuMs(pid);
        std::this_thread::sleep_for(std::chrono::duration<double>(idle));
        cpuIdle = schedCpuMs(pid) - cpuAtPaint;
        cpuThen = cpuOf(then);
        if (!again.empty())
            cpuAgain = cpuOf(again);
        if (measure > 0) {
            const double c0 = statCpuMs(pid), s0 = schedCpuMs(pid);
            const Clock::time_point m0 = Clock::now();
            std::this_thread::sleep_for(std::chrono::duration<double>(measure));
            const double wall = msSince(m0);
            cpuPct = 100.0 * (statCpuMs(pid) - c0) / wall;
            schedPct = 100.0 * (schedCpuMs(pid) - s0) / wall;
        }
        hwm = statusKb(pid, "VmHWM");
        rss = statusKb(pid, "VmRSS");
        if (killAtEnd) {
            ::kill(pid, SIGTERM);
            for (int k = 0; k < 200 && waitpid(pid, &status, WNOHANG) != pid; ++k)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            if (waitpid(pid, &status, WNOHANG) == 0) {
                ::kill(pid, SIGKILL);
                waitpid(pid, &status, 0);
            }
        }
    }
    std::printf("pid=%d map_ms=%.1f paint_ms=%.1f exit_ms=%.1f cpu_at_paint_ms=%.1f cpu_idle_ms=%.1f cpu_then_ms=%.1f "
                "cpu_again_ms=%.1f hwm_paint_kb=%ld hwm_kb=%ld rss_kb=%ld cpu_pct=%.3f sched_cpu_pct=%.3f\n",
                int(pid), mapMs, paintMs, exitMs, cpuAtPaint, cpuIdle, cpuThen, cpuAgain, hwmPaint, hwm, rss, cpuPct,
                schedPct);
    XCloseDisplay(dpy);
    return 0;
}

// Start-up time of the real program, measured from outside on an X server:
//
//   zrv_bench_startup <path to zerlivan> [runs, default 10]     (DISPLAY: an X server, e.g. Xvfb)
//
// For each run: a fresh empty working directory (so the built-in defaults are loaded); the
// clock is read right before fork(); the program is started there.  This process watches the
// root window for the program's top-level window being mapped (MapNotify, the window's
// _NET_WM_PID is the child's), then reads a few pixels of that window every 0.25 ms until one of
// them differs from the root window's colour: the settings window has then been drawn on the
// screen.  The program is then ended (SIGTERM).  One unmeasured run first warms the file cache.
// Prints each run and the medians: "map_ms" (window mapped) and "shown_ms" (first drawn).
// Also the program's peak resident memory at that point (VmHWM).

#include "Measure.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace bench;

namespace
{

long WindowPid(Display* dpy, Window w)
{
    static const Atom pidAtom = XInternAtom(dpy, "_NET_WM_PID", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    long pid = -1;
    if (XGetWindowProperty(dpy, w, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &count, &after,
                           &data) == Success &&
        data && count == 1 && format == 32)
        pid = long(*reinterpret_cast<unsigned long*>(data));
    if (data)
        XFree(data);
    return pid;
}

unsigned long Pixel(Display* dpy, Window w, int x, int y, bool* ok)
{
    XImage* image = XGetImage(dpy, w, x, y, 1, 1, AllPlanes, ZPixmap);
    *ok = image != nullptr;
    if (!image)
        return 0;
    const unsigned long p = XGetPixel(image, 0, 0);
    XDestroyImage(image);
    return p;
}

long VmHwm_kB(pid_t pid)
{
    const std::string path = "/proc/" + std::to_string(pid) + "/status";
    FILE* f = std::fopen(path.c_str(), "r");
    if (!f)
        return -1;
    char line[256];
    long kB = -1;
    while (std::fgets(line, sizeof line, f))
        if (std::sscanf(line, "VmHWM: %ld kB", &kB) == 1)
            break;
    std::fclose(f);
    return kB;
}

struct Run {
    double map_ms = -1, shown_ms = -1;
    long hwm_kB = -1;
    unsigned long pixel = 0; // the first drawn pixel seen
};

Run StartOnce(Display* dpy, const char* program)
{
    Run run;
    char dir[] = "/tmp/zrv-startup-XXXXXX";
    if (!mkdtemp(dir))
        return run;
    const Window root = DefaultRootWindow(dpy);
    XSync(dpy, True); // drop events of earlier runs
    bool ok = false;
    const unsigned long rootPixel = Pixel(dpy, root, 5, 5, &ok);

    const int64_t t0 = MonotonicNs();
    const pid_t pid = fork();
    if (pid == 0) {
        if (chdir(dir) != 0)
            _exit(127);
        execl(program, program, static_cast<char*>(nullptr));
        _exit(127);
    }
    Window window = None;
    const int64_t limit = t0 + 20'000'000'000LL;
    while (MonotonicNs() < limit && window == None) {
        while (XPending(dpy)) {
            XEvent e;
            XNextEvent(dpy, &e);
            if (e.type == MapNotify && WindowPid(dpy, e.xmap.window) == pid) {
                window = e.xmap.window;
                run.map_ms = double(MonotonicNs() - t0) / 1e6;
                break;
            }
        }
        if (window == None)
            usleep(100);
    }
    if (window != None) {
        XWindowAttributes a{};
        XGetWindowAttributes(dpy, window, &a);
        // Points across the window, away from its edges.
        const int xs[] = {a.width / 4, a.width / 2, 3 * a.width / 4};
        const int ys[] = {a.height / 4, a.height / 2, 3 * a.height / 4};
        while (MonotonicNs() < limit && run.shown_ms < 0) {
            for (int x : xs) {
                for (int y : ys) {
                    bool read = false;
                    const unsigned long p = Pixel(dpy, window, x, y, &read);
                    if (read && p != rootPixel) {
                        run.shown_ms = double(MonotonicNs() - t0) / 1e6;
                        run.pixel = p;
                        break;
                    }
                }
                if (run.shown_ms >= 0)
                    break;
            }
            if (run.shown_ms < 0)
                usleep(250);
        }
    }
    run.hwm_kB = VmHwm_kB(pid);
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    const std::string cleanup = std::string("rm -rf ") + dir;
    if (std::system(cleanup.c_str()) != 0)
        std::fprintf(stderr, "could not remove %s\n", dir);
    return run;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <zerlivan> [runs]\n", argv[0]);
        return 2;
    }
    const int runs = argc > 2 ? std::atoi(argv[2]) : 10;
    Display* dpy = XOpenDisplay(nullptr);
    if (!dpy) {
        std::fprintf(stderr, "no X display\n");
        return 1;
    }
    XSelectInput(dpy, DefaultRootWindow(dpy), SubstructureNotifyMask);
    const Run warm = StartOnce(dpy, argv[1]);
    std::printf("warm-up run: map %.1f ms, shown %.1f ms (not counted)\n", warm.map_ms, warm.shown_ms);
    std::vector<double> maps, shown, hwm;
    for (int i = 0; i < runs; ++i) {
        const Run r = StartOnce(dpy, argv[1]);
        std::printf("run %d: map %.1f ms, shown %.1f ms (pixel #%06lx), VmHWM %ld kB\n", i + 1, r.map_ms,
                    r.shown_ms, r.pixel, r.hwm_kB);
        if (r.shown_ms >= 0) {
            maps.push_back(r.map_ms);
            shown.push_back(r.shown_ms);
            hwm.push_back(double(r.hwm_kB));
        }
    }
    std::printf("RESULT runs=%zu map_med_ms=%.1f shown_med_ms=%.1f shown_min_ms=%.1f shown_max_ms=%.1f "
                "hwm_med_kB=%.0f\n",
                shown.size(), Median(maps), Median(shown), shown.empty() ? 0.0 : Percentile(shown, 0),
                Max(shown), Median(hwm));
    XCloseDisplay(dpy);
    return shown.size() == size_t(runs) ? 0 : 1;
}

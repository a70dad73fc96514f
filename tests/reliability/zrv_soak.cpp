// A long exercise run, watched: the settings window starts the exercise with its start button,
// the real frame timer (platform clock and wake-up) ticks it at the chosen pace for the chosen
// time, and every minute the tool prints the ticks so far, the ticks lost, the worst lateness,
// resident memory and the heap.  At the end: lost ticks and growth since the first minute.
//
//   zrv_soak [--minutes 30] [--interval-ms 40] [--exercise dot|pyramid|block]
//            [--surface memory|screen] [--report-seconds 60]
//
// --surface memory draws on the in-memory display (any Qt platform, offscreen included);
// --surface screen on the real one (QT_QPA_PLATFORM=xcb with DISPLAY).  The application counts
// as active all the time, so the timer never pauses for the window manager.
//
// Definitions: a tick's lateness is its millisecond count minus the due one (the previous tick's
// count plus the interval); lost ticks are the sum of lagCount - 1, the steps the pace skipped;
// expected ticks are (last tick - first tick) / interval + 1.
#include "Resident.h"
#include "exercises/ExerciseWindow.h"
#include "support/DefaultSettings.h"
#include "timer/FrameTimer.h"
#include "timer/ManualTime.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <sys/resource.h>

namespace
{

struct Options {
    double minutes = 30;
    int interval_ms = 40;
    int exercise = 0;
    bool memoryDisplay = true;
    int report_s = 60;
};

bool ParseOptions(int argc, char** argv, Options& o)
{
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        const char* v = i + 1 < argc ? argv[i + 1] : nullptr;
        if (!v)
            return false;
        if (!std::strcmp(a, "--minutes"))
            o.minutes = std::atof(v);
        else if (!std::strcmp(a, "--interval-ms"))
            o.interval_ms = std::atoi(v);
        else if (!std::strcmp(a, "--report-seconds"))
            o.report_s = std::atoi(v);
        else if (!std::strcmp(a, "--exercise"))
            o.exercise = !std::strcmp(v, "pyramid") ? 1 : !std::strcmp(v, "block") ? 2 : 0;
        else if (!std::strcmp(a, "--surface"))
            o.memoryDisplay = std::strcmp(v, "screen") != 0;
        else
            return false;
        ++i;
    }
    return o.minutes > 0 && o.interval_ms >= 40 && o.interval_ms <= 2000 && o.report_s > 0;
}

double CpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

struct Stats {
    qint64 ticks = 0;
    qint64 lost = 0;
    qint64 firstNs = -1;
    qint64 lastNs = -1;
    qint64 prevMs = -1;
    qint64 maxLateness_ms = 0;
    qint64 late1ms = 0; // ticks at least 1 ms after their due millisecond
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    Options opt;
    if (!ParseOptions(argc, argv, opt)) {
        std::fprintf(stderr,
                     "usage: zrv_soak [--minutes M] [--interval-ms 40..2000] [--exercise dot|pyramid|block]"
                     " [--surface memory|screen] [--report-seconds S]\n");
        return 2;
    }
    ManualActivity activity(true);
    ExerciseWindow::Environment env;
    if (opt.memoryDisplay)
        env.offscreenScale = 1;
    env.activity = &activity;
    ExerciseWindow screen(std::move(env));
    // The exercise with its built-in settings, at the pace asked for, without an end.
    ExerciseSettings settings = zrvtest::DefaultSettings(opt.exercise);
    settings.pace = zrv::Pace(opt.interval_ms);
    settings.minutes = 0;
    screen.setSettings(settings);

    Stats s;
    QObject::connect(screen.timer(), &FrameTimer::aboutToTick, [&s, &opt](qint64 tickNs, int lagCount) {
        const qint64 ms = tickNs / 1'000'000;
        if (s.firstNs < 0)
            s.firstNs = tickNs;
        else {
            const qint64 lateness = ms - (s.prevMs + opt.interval_ms);
            s.maxLateness_ms = std::max(s.maxLateness_ms, lateness);
            if (lateness >= 1)
                ++s.late1ms;
            s.lost += lagCount - 1;
        }
        s.prevMs = ms;
        s.lastNs = tickNs;
        ++s.ticks;
    });

    std::printf("zrv_soak: exercise %d, %d ms, %.1f minutes, %s display\n", opt.exercise, opt.interval_ms,
                opt.minutes, opt.memoryDisplay ? "in-memory" : "screen");
    std::printf("%8s %10s %10s %6s %8s %8s %10s %10s %6s\n", "time_s", "ticks", "expected", "lost", "late>=1",
                "max_ms", "rss_KiB", "heap_KiB", "cpu%");
    std::fflush(stdout);

    QElapsedTimer wall;
    long firstRss = -1, firstHeap = -1;
    double lastCpu = CpuSeconds();
    qint64 lastWall_ms = 0;
    auto expected = [&s, &opt] {
        return s.firstNs < 0 ? 0 : (s.lastNs - s.firstNs) / 1'000'000 / opt.interval_ms + 1;
    };
    QTimer report;
    QObject::connect(&report, &QTimer::timeout, [&] {
        const long rss = zrvtest::ResidentKb();
        const long heap = zrvtest::HeapInUseBytes() / 1024;
        if (firstRss < 0) {
            firstRss = rss;
            firstHeap = heap;
        }
        const double cpu = CpuSeconds();
        const qint64 now_ms = wall.elapsed();
        const double cpuPercent = 100.0 * (cpu - lastCpu) / (double(now_ms - lastWall_ms) / 1000.0);
        lastCpu = cpu;
        lastWall_ms = now_ms;
        std::printf("%8lld %10lld %10lld %6lld %8lld %8lld %10ld %10ld %6.1f\n", now_ms / 1000, s.ticks,
                    expected(), s.lost, s.late1ms, s.maxLateness_ms, rss, heap, cpuPercent);
        std::fflush(stdout);
    });

    int exitCode = 0;
    QTimer::singleShot(0, &screen, [&] {
        wall.start();
        report.start(opt.report_s * 1000);
        QTimer::singleShot(qint64(opt.minutes * 60'000), &screen, [&] { screen.requestClose(); });
        screen.showModal(); // returns when the run has ended
        report.stop();
        const long rss = zrvtest::ResidentKb();
        const long heap = zrvtest::HeapInUseBytes() / 1024;
        std::printf(
            "summary: %.1f s, %lld ticks of %lld expected, %lld lost, %lld late by 1 ms or more, worst "
            "lateness %lld ms\n",
            double(s.lastNs - s.firstNs) / 1e9, s.ticks, expected(), s.lost, s.late1ms, s.maxLateness_ms);
        std::printf(
            "memory: resident %ld KiB after the first report, %ld KiB at the end (%+ld KiB); heap %ld KiB, "
            "%ld KiB (%+ld KiB)\n",
            firstRss, rss, rss - firstRss, firstHeap, heap, heap - firstHeap);
        std::printf("blocks alive: %d\n", LetterBlock::liveCount());
        std::fflush(stdout);
        exitCode = s.lost == 0 ? 0 : 1;
        app.quit();
    });
    app.exec();
    return exitCode;
}

// The pace of the exercises, measured.
//
//   zrv_bench_pacing case --variant zrv|ref|floor [--exercise dot|block] --interval-ms N
//                         [--seconds S] [--min-ticks M] [--fake-active] [--pause-seconds P]
//                         [--plain] [--prompt] [--ticks-csv FILE]
//       One run in this process; prints one "RESULT key=value ..." line.
//         zrv    the real frame timer drives the real exercise through the real message loop
//                (the settings window picks the exercise and the pace; its start button shows
//                the exercise window modally; the run is ended with RequestClose).
//         ref    the same exercise and loop, ticked the old way: an idle handler that never lets
//                the loop wait and reads the millisecond clock on every pass.
//         floor  no Qt at all: clock_nanosleep to absolute deadlines, the best the kernel gives.
//       The Qt platform is QT_QPA_PLATFORM's (offscreen, or xcb with DISPLAY).  The application's
//       own activity reports are used unless --fake-active injects an always-active source.
//       --pause-seconds: after the ticks, make the application inactive (X11: move the input
//       focus to the root window; with --fake-active: the fake reports inactive) and measure
//       the CPU time of the pause.  --plain: zrv without the timer's prompt wake-ups (the
//       program as it was before).  --prompt: the floor asks for what the timer asks for (a
//       short scheduler slice, a small timer slack), without the RealtimeKit fallback.
//
//   zrv_bench_pacing suite [--quick|--full] [--reps R] [--seconds S] [--out DIR]
//                          [--x11-display :N] [--intervals 40,130,...] [--loads idle,busy]
//                          [--platforms offscreen,xcb] [--exercises dot,block] [--no-evidence]
//                          [--prompt-intervals 40,130,1000] [--ref-seconds S]
//       Runs every case in child processes, the variants interleaved, R times, with the other
//       core idle or loaded by a spinning child process (not counted in the run's CPU time),
//       and prints and writes the tables (DIR/pacing.md, DIR/pacing.csv, per-tick files).
//       Environment: ZRV_BENCH_MODE, ZRV_BENCH_SECONDS, ZRV_BENCH_REPS.
//
// Definitions (per run):
//   due moment    zrv and ref: the moment the millisecond count reaches lastTick + Interval, i.e.
//                 (floor(previous tick / 1 ms) + Interval) ms; floor: start + k * Interval.
//   lateness      tick time - due moment, for every tick but the first.
//   lost ticks    sum of (lagCount - 1): steps the pace skipped.
//   gap deviation |(tick - previous tick) - Interval|, for every tick but the first: the jitter
//                 of one step as the eye sees it.
//   slip          (last - first tick) - (ticks - 1) * Interval: the time the schedule lost.
//   pace error    (ticks - 1) * Interval / (last - first tick) - 1, in %; negative is slow.
//   CPU           getrusage(RUSAGE_SELF) user + system between the first and the last tick, per
//                 second of that span, in % of one core (every thread of the process).
//   run-queue     /proc/thread-self/schedstat: time the UI thread spent runnable but waiting
//   delay         for a CPU between the end of the previous tick's handler and this tick (the
//                 kernel's share of the lateness).

#include "Measure.h"
#include "Session.h"
#include "core/Report.h"
#include "timer/FrameTimer.h"
#include "timer/ManualTime.h"
#include "timer/ThreadPromptness.h"
#include "timer/TickWaker.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QMap>
#include <QProcess>
#include <QStringList>
#include <QTextStream>
#include <QTimer>

#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <vector>

#if defined(ZRV_BENCH_HAVE_X11)
#include <X11/Xlib.h>
#endif

using namespace bench;

namespace
{

constexpr int64_t kNsPerMs = 1'000'000;

// ---------------------------------------------------------------------------------------------
// Arguments

struct Args {
    QStringList list;
    bool Has(const char* name) const { return list.contains(QLatin1String(name)); }
    QString Value(const char* name, const QString& fallback = {}) const
    {
        const int i = list.indexOf(QLatin1String(name));
        return i >= 0 && i + 1 < list.size() ? list[i + 1] : fallback;
    }
    double Number(const char* name, double fallback) const
    {
        bool ok = false;
        const double v = Value(name).toDouble(&ok);
        return ok ? v : fallback;
    }
};

// ---------------------------------------------------------------------------------------------
// One run

struct Tick {
    int64_t t_ns = 0;
    int lag = 1;
    int64_t runDelay_ns = -1;      // cumulative, at the tick
    int64_t runDelayAfter_ns = -1; // cumulative, when the tick's handler had returned
};

struct RunResult {
    QString variant, platform, exercise;
    int interval_ms = 0;
    std::vector<Tick> ticks;
    bool floorSchedule = false; // due moments on start + k * Interval
    int64_t start_ns = 0;       // floor: the schedule's origin
    CpuSample cpuFirst, cpuLast;
    bool active = true; // the application was active at the first tick
    QString activityNote;
    double pauseCpuPercent = -1;
    int pauseTicks = -1;
    QString error;
    QString prompt; // what made the ticking thread prompt: slice, rtkit, none, off
};

QString Emit(const RunResult& r, const QString& csvPath)
{
    QMap<QString, QString> out;
    out["variant"] = r.variant;
    out["platform"] = r.platform;
    out["exercise"] = r.exercise;
    out["interval_ms"] = QString::number(r.interval_ms);
    out["ticks"] = QString::number(r.ticks.size());
    if (!r.error.isEmpty())
        out["error"] = QString(r.error).replace(' ', '_');
    const int64_t interval_ns = int64_t(r.interval_ms) * kNsPerMs;
    std::vector<double> late_ms, delay_ms;
    std::vector<double> delayEach_ms; // per counted tick, -1 when unknown
    int lost = 0;
    QFile csv(csvPath);
    QTextStream csvOut(&csv);
    const bool writeCsv = !csvPath.isEmpty() && csv.open(QIODevice::WriteOnly | QIODevice::Truncate);
    if (writeCsv)
        csvOut << "k,t_ns,due_ns,late_ns,lag,runqueue_delay_ns\n";
    for (size_t k = 0; k < r.ticks.size(); ++k) {
        const Tick& t = r.ticks[k];
        lost += t.lag - 1;
        int64_t due = 0;
        if (r.floorSchedule)
            due = r.start_ns + int64_t(k) * interval_ns;
        else if (k > 0)
            due = (r.ticks[k - 1].t_ns / kNsPerMs) * kNsPerMs + interval_ns;
        const bool counted = r.floorSchedule ? k > 0 : k > 0;
        int64_t delay = -1;
        // Waiting for a CPU between the end of the previous tick's handler and this tick.
        if (k > 0 && t.runDelay_ns >= 0) {
            const Tick& previous = r.ticks[k - 1];
            const int64_t from =
                previous.runDelayAfter_ns >= 0 ? previous.runDelayAfter_ns : previous.runDelay_ns;
            if (from >= 0)
                delay = t.runDelay_ns - from;
        }
        if (counted) {
            late_ms.push_back(double(t.t_ns - due) / 1e6);
            delayEach_ms.push_back(delay >= 0 ? double(delay) / 1e6 : -1.0);
            if (delay >= 0)
                delay_ms.push_back(double(delay) / 1e6);
        }
        if (writeCsv)
            csvOut << k << ',' << t.t_ns << ',' << (counted ? due : 0) << ',' << (counted ? t.t_ns - due : 0)
                   << ',' << t.lag << ',' << delay << '\n';
    }
    out["lost"] = QString::number(lost);
    std::vector<double> gapDev_ms;
    for (size_t k = 1; k < r.ticks.size(); ++k)
        gapDev_ms.push_back(std::abs(double(r.ticks[k].t_ns - r.ticks[k - 1].t_ns - interval_ns)) / 1e6);
    out["gapdev_p99_ms"] = QString::number(Percentile(gapDev_ms, 99), 'f', 4);
    out["gapdev_max_ms"] = QString::number(Max(gapDev_ms), 'f', 4);
    out["late_med_ms"] = QString::number(Median(late_ms), 'f', 4);
    out["late_p99_ms"] = QString::number(Percentile(late_ms, 99), 'f', 4);
    out["late_max_ms"] = QString::number(Max(late_ms), 'f', 4);
    // Ticks late by a millisecond or more, and how many of them the thread spent (nearly) all
    // of that time runnable but waiting for a CPU: lateness the kernel caused, not the program.
    int late1ms = 0, waited = 0;
    for (size_t i = 0; i < late_ms.size(); ++i) {
        if (late_ms[i] < 1.0)
            continue;
        ++late1ms;
        waited += delayEach_ms[i] >= 0 && delayEach_ms[i] >= late_ms[i] - 0.5;
    }
    out["late_ge1ms"] = QString::number(late1ms);
    out["late_ge1ms_waiting"] = QString::number(waited);
    out["rqdelay_med_ms"] = QString::number(Median(delay_ms), 'f', 4);
    out["rqdelay_p99_ms"] = QString::number(Percentile(delay_ms, 99), 'f', 4);
    out["rqdelay_max_ms"] = QString::number(Max(delay_ms), 'f', 4);
    if (r.ticks.size() >= 2) {
        const int64_t span = r.ticks.back().t_ns - r.ticks.front().t_ns;
        const double expected = double(r.ticks.size() - 1) * double(interval_ns);
        out["span_s"] = QString::number(double(span) / 1e9, 'f', 3);
        out["slip_ms"] = QString::number((double(span) - expected) / 1e6, 'f', 3);
        out["pace_err_pct"] = QString::number((expected / double(span) - 1.0) * 100.0, 'f', 5);
        out["steps_per_min"] = QString::number(double(r.ticks.size() - 1) * 60e9 / double(span), 'f', 4);
        const int64_t cpu = r.cpuLast.cpu_ns - r.cpuFirst.cpu_ns;
        out["cpu_pct"] = QString::number(100.0 * double(cpu) / double(span), 'f', 4);
        out["nvcsw"] = QString::number(r.cpuLast.voluntarySwitches - r.cpuFirst.voluntarySwitches);
        out["nivcsw"] = QString::number(r.cpuLast.involuntarySwitches - r.cpuFirst.involuntarySwitches);
    }
    out["active"] = r.active ? "1" : "0";
    if (!r.activityNote.isEmpty())
        out["activity"] = r.activityNote;
    if (r.pauseCpuPercent >= 0) {
        out["pause_cpu_pct"] = QString::number(r.pauseCpuPercent, 'f', 4);
        out["pause_ticks"] = QString::number(r.pauseTicks);
    }
    double load1 = 0;
    if (FILE* f = std::fopen("/proc/loadavg", "r")) {
        if (std::fscanf(f, "%lf", &load1) != 1)
            load1 = 0;
        std::fclose(f);
    }
    out["loadavg1"] = QString::number(load1, 'f', 2);
    if (!r.prompt.isEmpty())
        out["prompt"] = r.prompt;
    QString line = QStringLiteral("RESULT");
    for (auto it = out.cbegin(); it != out.cend(); ++it)
        line += QStringLiteral(" %1=%2").arg(it.key(), it.value());
    return line;
}

// The floor: a plain thread sleeping to absolute deadlines.
RunResult RunFloor(int interval_ms, int tickCount)
{
    RunResult r;
    r.variant = "floor";
    r.platform = "none";
    r.exercise = "none";
    r.interval_ms = interval_ms;
    r.floorSchedule = true;
    SchedStat sched;
    const int64_t interval_ns = int64_t(interval_ms) * kNsPerMs;
    r.start_ns = MonotonicNs() + interval_ns;
    r.ticks.reserve(size_t(tickCount));
    for (int k = 0; k < tickCount; ++k) {
        const int64_t deadline = r.start_ns + int64_t(k) * interval_ns;
        timespec ts{time_t(deadline / 1'000'000'000), long(deadline % 1'000'000'000)};
        while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr) == EINTR) {
        }
        Tick t;
        t.t_ns = MonotonicNs();
        t.runDelay_ns = sched.RunDelayNs();
        if (k == 0)
            r.cpuFirst = ProcessCpu();
        if (k == tickCount - 1)
            r.cpuLast = ProcessCpu();
        r.ticks.push_back(t);
    }
    return r;
}

const char* PromptName(const ThreadPromptness* promptness)
{
    if (!promptness)
        return "off";
    // (no switch: Xlib's headers define None)
    if (promptness->inEffect() == ThreadPromptness::Means::Slice)
        return "slice";
    if (promptness->inEffect() == ThreadPromptness::Means::HighPriority)
        return "rtkit";
    return "none";
}

// A waker that never fires: the reference ticks from its own idle polling.
class SilentWaker final : public TickWaker
{
  public:
    void armAt(qint64) override { m_armed = true; }
    void disarm() override { m_armed = false; }
    bool isArmed() const override { return m_armed; }

  private:
    bool m_armed = false;
};

#if defined(ZRV_BENCH_HAVE_X11)
// Moves the X input focus away from the program (to the root window), as clicking on another
// application would: the program becomes inactive.  Our own connection, not Qt's.
bool FocusAwayOnX11()
{
    Display* dpy = XOpenDisplay(nullptr);
    if (!dpy)
        return false;
    XSetInputFocus(dpy, DefaultRootWindow(dpy), RevertToPointerRoot, CurrentTime);
    XSync(dpy, False);
    XCloseDisplay(dpy);
    return true;
}
#endif

int RunCase(int argc, char** argv, const Args& args)
{
    const QString variant = args.Value("--variant", "zrv");
    const int interval_ms = int(args.Number("--interval-ms", 40));
    const double seconds = args.Number("--seconds", 5);
    const int minTicks = int(args.Number("--min-ticks", 5));
    const int tickCount = std::max(minTicks, int(seconds * 1000.0 / interval_ms + 0.5)) + 1;
    const QString csvPath = args.Value("--ticks-csv");

    if (variant == QLatin1String("floor")) {
        std::unique_ptr<ThreadPromptness> promptness;
        if (args.Has("--prompt")) {
            promptness = std::make_unique<ThreadPromptness>(ThreadScheduler::system(), nullptr);
            promptness->acquire();
        }
        RunResult r = RunFloor(interval_ms, tickCount);
        if (promptness)
            r.prompt = PromptName(promptness.get());
        std::printf("%s\n", qPrintable(Emit(r, csvPath)));
        return 0;
    }

    Exercise exercise = Exercise::Dot;
    if (!ParseExercise(args.Value("--exercise", "dot"), exercise)) {
        std::fprintf(stderr, "unknown exercise\n");
        return 2;
    }
    const bool reference = variant == QLatin1String("ref");
    const double pauseSeconds = args.Number("--pause-seconds", 0);

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Nivoleth"));
    zrv::setApplicationTitle(QStringLiteral("Nivoleth"));
    QStringList reports;
    zrv::setReportHook([&reports](zrv::ReportKind, const QString& text) {
        reports << text;
        std::fprintf(stderr, "report: %s\n", qPrintable(text));
    });

    RunResult r;
    r.variant = variant;
    r.platform = QGuiApplication::platformName();
    r.exercise = ExerciseName(exercise);
    r.interval_ms = interval_ms;
    r.ticks.reserve(size_t(tickCount) + 16);

    ManualActivity* fake = nullptr;
    ExerciseEnvironment env;
    if (args.Has("--fake-active")) {
        fake = new ManualActivity(true);
        env.activity = fake;
        r.activityNote = "injected";
    } else {
        r.activityNote = "application";
    }
    if (reference)
        env.waker = std::make_unique<SilentWaker>();

    Session session(std::move(env));
    session.Configure(exercise, interval_ms);
    ExerciseWindow* screen = session.screen.get();
    if (args.Has("--plain") || reference)
        screen->timer()->setPromptness(nullptr);
    SchedStat sched;

    bool measuring = true;
    int pauseTicks = 0;
    int64_t pauseStart_ns = 0;
    CpuSample pauseStartCpu;

    auto recordTick = [&](qint64 t_ns, int lag) {
        if (!measuring) {
            ++pauseTicks;
            return;
        }
        Tick t;
        t.t_ns = t_ns;
        t.lag = lag;
        t.runDelay_ns = sched.RunDelayNs();
        if (r.ticks.empty()) {
            r.prompt = PromptName(screen->timer()->promptness());
            r.cpuFirst = ProcessCpu();
            r.active = QGuiApplication::applicationState() == Qt::ApplicationActive;
        }
        r.ticks.push_back(t);
        if (int(r.ticks.size()) < tickCount)
            return;
        r.cpuLast = ProcessCpu();
        measuring = false;
        if (pauseSeconds <= 0) {
            screen->requestClose();
            return;
        }
        // The paused part: the application becomes inactive; the timer must cost nothing.
        QTimer::singleShot(0, [&] {
            bool done = false;
            if (fake) {
                fake->setActive(false);
                done = true;
            }
#if defined(ZRV_BENCH_HAVE_X11)
            else if (QGuiApplication::platformName() == QLatin1String("xcb")) {
                done = FocusAwayOnX11();
            }
#endif
            if (!done) {
                r.error = "cannot make the application inactive";
                screen->requestClose();
                return;
            }
            // Let the report arrive, then measure.
            QTimer::singleShot(500, [&] {
                pauseTicks = 0;
                pauseStart_ns = MonotonicNs();
                pauseStartCpu = ProcessCpu();
                QTimer::singleShot(int(pauseSeconds * 1000), [&] {
                    const int64_t span = MonotonicNs() - pauseStart_ns;
                    r.pauseCpuPercent =
                        100.0 * double(ProcessCpu().cpu_ns - pauseStartCpu.cpu_ns) / double(span);
                    r.pauseTicks = pauseTicks;
                    screen->requestClose();
                });
            });
        });
    };

    QTimer poll; // the reference's idle handler
    bool refTicking = false;
    quint32 refLast_ms = 0;
    if (reference) {
        poll.setInterval(0);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (!screen->timer()->isTicking()) {
                refTicking = false;
                return;
            }
            const int64_t now_ns = MonotonicNs();
            const quint32 now_ms = quint32(uint64_t(now_ns / kNsPerMs));
            if (!refTicking) { // resume
                refTicking = true;
                refLast_ms = now_ms;
                return;
            }
            const quint32 elapsed = now_ms - refLast_ms;
            const quint32 interval = quint32(screen->timer()->pace().ms());
            if (elapsed < interval)
                return;
            refLast_ms = now_ms;
            const int lag = std::max(1, int(elapsed / std::max<quint32>(interval, 1)));
            recordTick(now_ns, lag);
            screen->timerTick(lag);
            if (measuring && !r.ticks.empty())
                r.ticks.back().runDelayAfter_ns = sched.RunDelayNs();
        });
        poll.start();
    } else {
        QObject::connect(screen->timer(), &FrameTimer::aboutToTick,
                         [&](qint64 t_ns, int lag) { recordTick(t_ns, lag); });
        // Note the scheduler's account once the tick's handler (connected first) is done as well.
        QObject::connect(screen->timer(), &FrameTimer::ticked, [&](int) {
            if (measuring && !r.ticks.empty())
                r.ticks.back().runDelayAfter_ns = sched.RunDelayNs();
        });
    }

    // Give up when no tick comes (an inactive application under activeOnly, say).
    const int limit_ms = int(5000 + 3.0 * tickCount * interval_ms + pauseSeconds * 1000);
    QTimer::singleShot(limit_ms, [&] {
        r.error = QStringLiteral("timed out after %1 ticks (active %2)")
                      .arg(r.ticks.size())
                      .arg(QGuiApplication::applicationState() == Qt::ApplicationActive);
        measuring = false;
        screen->requestClose();
    });
    QTimer::singleShot(0, [&] {
        session.screen->showModal(); // shows the exercise window modally until the run ends
        QCoreApplication::quit();
    });
    QApplication::exec();
    poll.stop();
    if (!reports.isEmpty() && r.error.isEmpty())
        r.error = QStringLiteral("error box: ") + reports.join(QLatin1String("; "));
    std::printf("%s\n", qPrintable(Emit(r, csvPath)));
    std::fflush(stdout);
    return r.error.isEmpty() ? 0 : 1;
}

// ---------------------------------------------------------------------------------------------
// The suite

pid_t StartSpinner()
{
    const pid_t pid = fork();
    if (pid == 0) {
        // A session of its own, like another program started elsewhere: with the kernel's
        // automatic grouping its time is not charged to the group of the process measured.
        setsid();
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        volatile uint64_t n = 0;
        for (;;)
            n = n + 1;
    }
    return pid;
}

void StopSpinner(pid_t pid)
{
    if (pid <= 0)
        return;
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

using Fields = std::map<QString, QString>;

Fields ParseResult(const QString& output)
{
    Fields f;
    for (const QString& line : output.split('\n')) {
        if (!line.startsWith(QLatin1String("RESULT ")))
            continue;
        for (const QString& kv : line.mid(7).split(' ', Qt::SkipEmptyParts)) {
            const int eq = kv.indexOf('=');
            if (eq > 0)
                f[kv.left(eq)] = kv.mid(eq + 1);
        }
    }
    return f;
}

// Variants of the suite: zrv, ref, floor; paused (zrv, then the application made inactive);
// zrv-plain (the program without its prompt wake-ups, as it was before) and floor-slice (the
// floor asking for the same slice and timer slack as the program), for the comparison of the
// prompt wake-ups.
struct CaseSpec {
    QString variant;
    QString platform; // offscreen, xcb, none
    QString exercise; // dot, block, none
    int interval_ms = 40;
    QString load; // idle, busy
    QString Key() const
    {
        return QStringLiteral("%1|%2|%3|%4|%5").arg(variant, platform, exercise).arg(interval_ms).arg(load);
    }
};

struct Suite {
    QString self;
    QString mode;
    QString outDir;
    QString x11Display;
    QString offscreenPlatform = QStringLiteral("offscreen");
    double seconds40 = 5;   // run length at 40 and 130 ms
    double secondsLong = 5; // at 1000 and 2000 ms ...
    int minTicksLong = 5;   // ... but at least this many ticks
    double refSeconds = 3;
    double pauseSeconds = 3;
    bool evidence = true;
    QList<int> promptIntervals{40, 130, 1000};
    int reps = 1;
    QList<int> intervals{40, 130, 1000, 2000};
    QStringList loads{"idle", "busy"};
    QStringList platforms{"offscreen", "xcb"};
    QStringList exercises{"dot", "block"};
    std::map<QString, std::vector<Fields>> results;
    QFile rawCsv;
    QStringList rawColumns;

    struct Length {
        double seconds;
        int minTicks;
    };
    Length LengthOf(const CaseSpec& c) const
    {
        const bool longInterval = c.interval_ms >= 1000;
        if (c.variant == "ref")
            return {std::min(longInterval ? secondsLong : seconds40, refSeconds), 3};
        if (c.variant == "paused")
            return {1, 3};
        return {longInterval ? secondsLong : seconds40, longInterval ? minTicksLong : 5};
    }
    double EstimateSeconds(const CaseSpec& c) const
    {
        const Length l = LengthOf(c);
        const double ticks = std::max<double>(l.minTicks, l.seconds * 1000.0 / c.interval_ms);
        return ticks * c.interval_ms / 1000.0 + 1.0 + (c.variant == "paused" ? pauseSeconds + 0.5 : 0);
    }

    Fields Run(const CaseSpec& c, int rep)
    {
        const bool floorVariant = c.variant.startsWith("floor");
        const QString variant = floorVariant         ? QStringLiteral("floor")
                                : c.variant == "ref" ? QStringLiteral("ref")
                                                     : QStringLiteral("zrv");
        const Length length = LengthOf(c);
        QStringList a{"case",
                      "--variant",
                      variant,
                      "--interval-ms",
                      QString::number(c.interval_ms),
                      "--seconds",
                      QString::number(length.seconds),
                      "--min-ticks",
                      QString::number(length.minTicks)};
        if (c.exercise != "none")
            a << "--exercise" << c.exercise;
        if (c.variant == "paused") {
            a << "--pause-seconds" << QString::number(pauseSeconds);
            if (c.platform == "offscreen")
                a << "--fake-active"; // the offscreen platform cannot be made inactive from outside
        }
        if (c.variant == "zrv-plain")
            a << "--plain";
        if (c.variant == "floor-slice")
            a << "--prompt";
        QString csvName;
        if (c.variant != "ref" && c.variant != "paused") {
            csvName = QStringLiteral("ticks/%1_%2_%3_%4ms_%5_rep%6.csv")
                          .arg(c.variant, c.platform, c.exercise)
                          .arg(c.interval_ms)
                          .arg(c.load)
                          .arg(rep);
            a << "--ticks-csv" << QDir(outDir).filePath(csvName);
        }
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        if (c.platform == "xcb") {
            env.insert("QT_QPA_PLATFORM", "xcb");
            env.insert("DISPLAY", x11Display);
        } else {
            env.insert("QT_QPA_PLATFORM", offscreenPlatform);
        }
        env.insert("QT_LOGGING_RULES", "qt.qpa.*=false");
        p.setProcessEnvironment(env);
        const pid_t spinner = c.load == "busy" ? StartSpinner() : 0;
        if (spinner > 0)
            usleep(200'000); // let it take its core
        p.start(self, a);
        p.waitForFinished(-1);
        StopSpinner(spinner);
        Fields f = ParseResult(QString::fromLocal8Bit(p.readAllStandardOutput()));
        const QString err = QString::fromLocal8Bit(p.readAllStandardError()).trimmed();
        if (f.empty())
            f["error"] = QStringLiteral("no result (exit %1): %2")
                             .arg(p.exitCode())
                             .arg(err.left(200))
                             .replace(',', ';');
        f["variant"] = c.variant;
        f["platform"] = c.platform;
        f["load"] = c.load;
        f["rep"] = QString::number(rep);
        f["csv"] = csvName;
        results[c.Key()].push_back(f);
        WriteRaw(f);
        return f;
    }

    void WriteRaw(const Fields& f)
    {
        if (!rawCsv.isOpen())
            return;
        QTextStream out(&rawCsv);
        QStringList row;
        for (const QString& c : rawColumns) {
            auto it = f.find(c);
            row << (it == f.end() ? QString() : it->second);
        }
        out << row.join(',') << '\n';
        out.flush();
    }

    // Median over the repetitions of one field (runs that failed are left out).
    double Med(const QString& key, const char* field, bool* ok = nullptr) const
    {
        std::vector<double> v;
        auto it = results.find(key);
        if (it != results.end())
            for (const Fields& f : it->second) {
                auto fi = f.find(QLatin1String(field));
                if (fi != f.end() && !f.count("error"))
                    v.push_back(fi->second.toDouble());
            }
        if (ok)
            *ok = !v.empty();
        return Median(v);
    }
    int Errors(const QString& key) const
    {
        int n = 0;
        auto it = results.find(key);
        if (it != results.end())
            for (const Fields& f : it->second)
                n += f.count("error") ? 1 : 0;
        return n;
    }

    // The intervals of the comparison of the prompt wake-ups (none without evidence).
    QList<int> PromptIntervals() const
    {
        QList<int> v;
        if (evidence)
            for (int interval : promptIntervals)
                if (intervals.contains(interval))
                    v << interval;
        return v;
    }

    // One field of every repetition, "a / b / c"; "failed" for a run that failed.
    QString Each(const QString& key, const char* field, int decimals) const
    {
        QStringList v;
        auto it = results.find(key);
        if (it != results.end())
            for (const Fields& f : it->second) {
                auto fi = f.find(QLatin1String(field));
                v << (f.count("error") ? QStringLiteral("failed")
                      : fi == f.end()  ? QStringLiteral("-")
                      : decimals < 0   ? fi->second
                                       : QString::number(fi->second.toDouble(), 'f', decimals));
            }
        v.removeDuplicates();
        return v.isEmpty() ? QStringLiteral("-") : v.join(QLatin1String(" / "));
    }

    QList<CaseSpec> Plan(int rep) const
    {
        QList<CaseSpec> plan;
        // Alternate the order of the loads between repetitions so neither always goes first.
        QStringList loadOrder = loads;
        if (rep % 2 == 0)
            std::reverse(loadOrder.begin(), loadOrder.end());
        for (int interval : intervals)
            for (const QString& load : loadOrder) {
                // Interleaved: the floor, ours and the reference one after the other.
                plan << CaseSpec{"floor", "none", "none", interval, load};
                for (const QString& platform : platforms) {
                    for (const QString& exercise : exercises)
                        plan << CaseSpec{"zrv", platform, exercise, interval, load};
                    plan << CaseSpec{"ref", platform, "dot", interval, load};
                }
            }
        for (int interval : PromptIntervals())
            for (const QString& load : loadOrder) {
                plan << CaseSpec{"floor-slice", "none", "none", interval, load};
                for (const QString& platform : platforms)
                    plan << CaseSpec{"zrv-plain", platform, "dot", interval, load};
            }
        for (const QString& platform : platforms)
            for (const QString& load : loadOrder)
                plan << CaseSpec{"paused", platform, "dot", 40, load};
        return plan;
    }

    void RunAll()
    {
        QDir().mkpath(QDir(outDir).filePath("ticks"));
        rawCsv.setFileName(QDir(outDir).filePath("pacing.csv"));
        rawColumns = QStringList{"rep",
                                 "variant",
                                 "platform",
                                 "exercise",
                                 "interval_ms",
                                 "load",
                                 "ticks",
                                 "span_s",
                                 "late_med_ms",
                                 "late_p99_ms",
                                 "late_max_ms",
                                 "late_ge1ms",
                                 "late_ge1ms_waiting",
                                 "lost",
                                 "slip_ms",
                                 "pace_err_pct",
                                 "steps_per_min",
                                 "cpu_pct",
                                 "rqdelay_med_ms",
                                 "rqdelay_p99_ms",
                                 "rqdelay_max_ms",
                                 "nvcsw",
                                 "nivcsw",
                                 "pause_cpu_pct",
                                 "pause_ticks",
                                 "active",
                                 "activity",
                                 "prompt",
                                 "gapdev_p99_ms",
                                 "gapdev_max_ms",
                                 "loadavg1",
                                 "csv",
                                 "error"};
        if (rawCsv.open(QIODevice::WriteOnly | QIODevice::Truncate))
            QTextStream(&rawCsv) << rawColumns.join(',') << '\n';
        double total = 0;
        for (int rep = 1; rep <= reps; ++rep)
            for (const CaseSpec& c : Plan(rep))
                total += EstimateSeconds(c);
        std::fprintf(stderr, "pacing: about %.0f minutes\n", total / 60);
        const int64_t start = MonotonicNs();
        double done = 0;
        for (int rep = 1; rep <= reps; ++rep) {
            for (const CaseSpec& c : Plan(rep)) {
                Fields f = Run(c, rep);
                done += EstimateSeconds(c);
                const double elapsed = double(MonotonicNs() - start) / 1e9;
                std::fprintf(
                    stderr,
                    "[rep %d, %3.0f%%, %3.0f min left] %-11s %-9s %-5s %4d ms %-4s late med %s p99 %s max %s "
                    "ms, lost %s, pace %s %%, cpu %s %%%s%s\n",
                    rep, 100 * done / total, std::max(0.0, (total - done) * elapsed / done / 60),
                    qPrintable(c.variant), qPrintable(c.platform), qPrintable(c.exercise), c.interval_ms,
                    qPrintable(c.load), qPrintable(f["late_med_ms"]), qPrintable(f["late_p99_ms"]),
                    qPrintable(f["late_max_ms"]), qPrintable(f["lost"]), qPrintable(f["pace_err_pct"]),
                    qPrintable(f["cpu_pct"]),
                    f.count("pause_cpu_pct") ? qPrintable(", paused cpu " + f["pause_cpu_pct"] + " %") : "",
                    f.count("error") ? qPrintable("  ERROR " + f["error"]) : "");
            }
        }
        rawCsv.close();
    }

    static QString Ms(double v) { return QString::number(v, 'f', 3); }

    QString table() const
    {
        QString md;
        QTextStream out(&md);
        out << "Our timer (real FrameTimer, real exercise, real message loop). Lateness in ms beyond the due "
               "moment; "
               "'>=1 ms' counts ticks late by a millisecond or more (each shifts the schedule by whole ms), "
               "in brackets those during which the thread waited runnable for a CPU for all but 0.5 ms of "
               "the "
               "lateness (/proc/thread-self/schedstat); "
               "pace error negative = slow; CPU in % of one core.\n\n";
        out << "| platform | exercise | interval | load | late median | late p99 | late max | >=1 ms "
               "(waiting) | floor "
               "p99 | "
               "p99 - floor | lost | slip ms | pace error | CPU | CPU / ref | run-queue delay p99 | loadavg "
               "|\n";
        out << "|---|---|---|---|---|---|---|---|---|---|---|---|---|---|---|---|---|\n";
        for (const QString& platform : platforms)
            for (const QString& exercise : exercises)
                for (int interval : intervals)
                    for (const QString& load : loads) {
                        const QString key = CaseSpec{"zrv", platform, exercise, interval, load}.Key();
                        bool ok = false;
                        const double med = Med(key, "late_med_ms", &ok);
                        out << "| " << platform << " | " << exercise << " | " << interval << " ms | " << load
                            << " | ";
                        if (!ok) {
                            out << "failed (" << Errors(key) << " errors) |||||||||||||\n";
                            continue;
                        }
                        const QString floorKey = CaseSpec{"floor", "none", "none", interval, load}.Key();
                        const QString refKey = CaseSpec{"ref", platform, "dot", interval, load}.Key();
                        const double p99 = Med(key, "late_p99_ms");
                        bool floorOk = false, refOk = false;
                        const double floorP99 = Med(floorKey, "late_p99_ms", &floorOk);
                        const double cpu = Med(key, "cpu_pct");
                        const double refCpu = Med(refKey, "cpu_pct", &refOk);
                        out << Ms(med) << " | " << Ms(p99) << " | " << Ms(Med(key, "late_max_ms")) << " | "
                            << Med(key, "late_ge1ms") << " (" << Med(key, "late_ge1ms_waiting") << ") | "
                            << (floorOk ? Ms(floorP99) : QStringLiteral("-")) << " | "
                            << (floorOk ? Ms(p99 - floorP99) : QStringLiteral("-")) << " | "
                            << Med(key, "lost") << " | " << QString::number(Med(key, "slip_ms"), 'f', 1)
                            << " | " << QString::number(Med(key, "pace_err_pct"), 'f', 4) << " % | "
                            << QString::number(cpu, 'f', 2) << " % | "
                            << (refOk && refCpu > 0 && cpu > 0
                                    ? QStringLiteral("1/%1").arg(refCpu / cpu, 0, 'f', 0)
                                    : QStringLiteral("-"))
                            << " | " << Ms(Med(key, "rqdelay_p99_ms")) << " | "
                            << QString::number(Med(key, "loadavg1"), 'f', 1) << " |\n";
                    }
        out << "\nThe floor (clock_nanosleep to absolute deadlines; lateness against start + k x interval) "
               "and the "
               "reference (the same exercise ticked by an idle handler that polls the millisecond clock and "
               "never "
               "lets the loop wait):\n\n";
        out << "| interval | load | floor median | floor p99 | floor max | floor pace error | ref platform | "
               "ref late p99 | ref pace error | ref CPU |\n";
        out << "|---|---|---|---|---|---|---|---|---|---|\n";
        for (int interval : intervals)
            for (const QString& load : loads)
                for (const QString& platform : platforms) {
                    const QString floorKey = CaseSpec{"floor", "none", "none", interval, load}.Key();
                    const QString refKey = CaseSpec{"ref", platform, "dot", interval, load}.Key();
                    out << "| " << interval << " ms | " << load << " | " << Ms(Med(floorKey, "late_med_ms"))
                        << " | " << Ms(Med(floorKey, "late_p99_ms")) << " | "
                        << Ms(Med(floorKey, "late_max_ms")) << " | "
                        << QString::number(Med(floorKey, "pace_err_pct"), 'f', 4) << " % | " << platform
                        << " | " << Ms(Med(refKey, "late_p99_ms")) << " | "
                        << QString::number(Med(refKey, "pace_err_pct"), 'f', 4) << " % | "
                        << QString::number(Med(refKey, "cpu_pct"), 'f', 1) << " % |\n";
                }
        out << "\nPaused: after the ticks the application becomes inactive (X11: the input focus moves to "
               "the root "
               "window; offscreen: the injected activity source reports inactive); CPU over the pause:\n\n";
        out << "| platform | load | paused CPU | ticks while paused |\n|---|---|---|---|\n";
        for (const QString& platform : platforms)
            for (const QString& load : loads) {
                const QString key = CaseSpec{"paused", platform, "dot", 40, load}.Key();
                bool ok = false;
                const double cpu = Med(key, "pause_cpu_pct", &ok);
                out << "| " << platform << " | " << load << " | "
                    << (ok ? QString::number(cpu, 'f', 4) + " %" : QStringLiteral("failed")) << " | "
                    << (ok ? QString::number(Med(key, "pause_ticks")) : QString()) << " |\n";
            }
        if (!PromptIntervals().isEmpty()) {
            out << "\nPrompt wake-ups: the program (Dot; its ticking thread asks for a 0.1 ms scheduler "
                   "slice, "
                   "else RealtimeKit, and a 1 us timer slack; 'prompt' says what took effect), the same "
                   "without them (as before), the floor asking for the same slice and slack, the floor "
                   "alone and the polling reference.  Each repetition's value, separated by '/'; gap "
                   "deviation = |tick - previous tick - interval|; loadavg = 1-minute load average at the "
                   "end of each run.\n\n";
            out << "| interval | load | run | prompt | pace error % | gap dev. p99 | gap dev. max | lost | "
                   "late p99 | CPU % | loadavg |\n|---|---|---|---|---|---|---|---|---|---|---|\n";
            for (int interval : PromptIntervals())
                for (const QString& load : loads) {
                    QList<CaseSpec> rows;
                    for (const QString& platform : platforms)
                        rows << CaseSpec{"zrv", platform, "dot", interval, load}
                             << CaseSpec{"zrv-plain", platform, "dot", interval, load};
                    rows << CaseSpec{"floor-slice", "none", "none", interval, load}
                         << CaseSpec{"floor", "none", "none", interval, load};
                    for (const QString& platform : platforms)
                        rows << CaseSpec{"ref", platform, "dot", interval, load};
                    for (const CaseSpec& c : rows) {
                        const QString key = c.Key();
                        out << "| " << interval << " ms | " << load << " | " << c.variant
                            << (c.platform == "none" ? QString() : QStringLiteral(" (%1)").arg(c.platform))
                            << " | " << Each(key, "prompt", -1) << " | " << Each(key, "pace_err_pct", 4)
                            << " | " << Each(key, "gapdev_p99_ms", 2) << " | "
                            << Each(key, "gapdev_max_ms", 2) << " | " << Each(key, "lost", 0) << " | "
                            << Each(key, "late_p99_ms", 2) << " | " << Each(key, "cpu_pct", 2) << " | "
                            << Each(key, "loadavg1", 1) << " |\n";
                    }
                }
        }
        return md;
    }
};

QList<int> ParseIntervals(const QString& text)
{
    QList<int> v;
    for (const QString& s : text.split(',', Qt::SkipEmptyParts))
        v << s.toInt();
    return v;
}

int RunSuite(const char* self, const Args& args)
{
    Suite s;
    s.mode = args.Has("--full")    ? QStringLiteral("full")
             : args.Has("--quick") ? QStringLiteral("quick")
                                   : qEnvironmentVariable("ZRV_BENCH_MODE", "quick");
    s.self = QString::fromLocal8Bit(self);
    if (s.mode == "full") {
        // 60 s at 40 and 130 ms (1500 and 461 ticks); at 1000 ms 40 ticks (40 s), at 2000 ms
        // 30 ticks (60 s); the reference 10 s (its CPU is the point); 10 s paused; three
        // repetitions.
        s.seconds40 = 60;
        s.secondsLong = 40;
        s.minTicksLong = 30;
        s.refSeconds = 10;
        s.pauseSeconds = 10;
        s.reps = 3;
    }
    const double envSeconds = qEnvironmentVariable("ZRV_BENCH_SECONDS").toDouble();
    if (args.Has("--seconds") || envSeconds > 0) {
        s.seconds40 = args.Number("--seconds", envSeconds);
        s.secondsLong = s.seconds40;
    }
    const int envReps = qEnvironmentVariable("ZRV_BENCH_REPS").toInt();
    s.reps = int(args.Number("--reps", envReps > 0 ? envReps : s.reps));
    s.outDir = args.Value("--out", "bench-results");
    s.x11Display = args.Value("--x11-display", qEnvironmentVariable("DISPLAY"));
    if (args.Has("--intervals"))
        s.intervals = ParseIntervals(args.Value("--intervals"));
    if (args.Has("--loads"))
        s.loads = args.Value("--loads").split(',', Qt::SkipEmptyParts);
    if (args.Has("--platforms"))
        s.platforms = args.Value("--platforms").split(',', Qt::SkipEmptyParts);
    if (args.Has("--exercises"))
        s.exercises = args.Value("--exercises").split(',', Qt::SkipEmptyParts);
    if (args.Has("--no-evidence"))
        s.evidence = false;
    s.refSeconds = args.Number("--ref-seconds", s.refSeconds);
    if (args.Has("--prompt-intervals"))
        s.promptIntervals = ParseIntervals(args.Value("--prompt-intervals"));
    if (s.x11Display.isEmpty())
        s.platforms.removeAll("xcb");
    QDir().mkpath(s.outDir);
    // The offscreen platform's screen: 1920 x 1080, like a common monitor (its default is 800 x 800).
    const QString screenConfig = QDir(s.outDir).absoluteFilePath("offscreen-1920x1080.json");
    QFile config(screenConfig);
    if (config.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        config.write(R"({ "screens": [ { "name": "bench", "x": 0, "y": 0, "width": 1920, "height": 1080,)"
                     R"( "logicalDpiX": 96, "logicalDpiY": 96, "dpr": 1 } ] })");
        config.close();
        s.offscreenPlatform = QStringLiteral("offscreen:configfile=") + screenConfig;
    }
    std::fprintf(stderr,
                 "pacing: %s mode, %d repetition(s), %g s per case at 40/130 ms, %g s (at least %d ticks) at "
                 "1000/2000 ms, out %s\n",
                 qPrintable(s.mode), s.reps, s.seconds40, s.secondsLong, s.minTicksLong,
                 qPrintable(s.outDir));
    s.RunAll();
    const QString table = s.table();
    std::printf("%s\n", qPrintable(table));
    QFile md(QDir(s.outDir).filePath("pacing.md"));
    if (md.open(QIODevice::WriteOnly | QIODevice::Truncate))
        QTextStream(&md) << "Pacing, " << s.mode << " mode, medians of " << s.reps << " repetition(s); "
                         << s.seconds40 << " s per case at 40/130 ms, " << s.secondsLong << " s (at least "
                         << s.minTicksLong << " ticks) at 1000/2000 ms.\n\n"
                         << table;
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    Args args;
    for (int i = 1; i < argc; ++i)
        args.list << QString::fromLocal8Bit(argv[i]);
    if (args.list.value(0) == QLatin1String("case"))
        return RunCase(argc, argv, args);
    if (args.list.value(0) == QLatin1String("suite")) {
        QCoreApplication app(argc, argv);
        return RunSuite(argv[0], args);
    }
    std::fprintf(stderr, "usage: %s case|suite [options] (see the top of pacing.cpp)\n", argv[0]);
    return 2;
}

// Instruction counts of the first frame and of a tick, repeatable on a noisy machine:
//
//   valgrind --tool=callgrind --instr-atstart=no zrv_bench_callgrind memory|screen dot|pyramid|block [ticks]
//
// Instrumentation runs only around the measured parts: the first frame (dumped as "first-frame")
// and then `ticks` ticks (dumped as "ticks"); divide the second dump's total by `ticks`.  On
// the screen each part includes the repaint and flush the event loop does after a present.

#include "TickRig.h"
#include "core/Report.h"

#include <QApplication>
#include <cstdio>
#include <valgrind/callgrind.h>

using namespace bench;

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    zrv::setReportHook(
        [](zrv::ReportKind, const QString& text) { std::fprintf(stderr, "report: %s\n", qPrintable(text)); });
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: %s memory|screen dot|pyramid|block [ticks]\n", argv[0]);
        return 2;
    }
    const Backend backend = args[1] == QLatin1String("memory") ? Backend::Memory : Backend::Screen;
    Exercise exercise = Exercise::Dot;
    if (!ParseExercise(args[2], exercise))
        return 2;
    const int ticks = args.size() > 3 ? args[3].toInt() : 200;

    TickRig rig(backend, exercise);
    // Warm up: caches of glyphs and scaled images are filled once per run, not per tick.
    for (int i = 0; i < 20; ++i) {
        rig.Tick();
        TickRig::Settle();
    }

    CALLGRIND_START_INSTRUMENTATION;
    rig.FirstFrame();
    TickRig::Settle();
    CALLGRIND_DUMP_STATS_AT("first-frame");
    for (int i = 0; i < ticks; ++i) {
        rig.Tick();
        TickRig::Settle();
    }
    CALLGRIND_DUMP_STATS_AT("ticks");
    CALLGRIND_STOP_INSTRUMENTATION;
    std::printf("ticks=%d\n", ticks);
    return 0;
}

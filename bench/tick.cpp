// The cost of one tick (the step's drawing and its present) and of the first frame, for each
// exercise's heaviest case, on the in-memory display and on the screen (the Qt platform this
// runs on: offscreen, or xcb; the screen draws at its own resolution, so its size is in the
// name).  Google Benchmark; the CPU column is the figure that counts.
//
//   QT_QPA_PLATFORM=offscreen zrv_bench_tick [--benchmark_* options]

#include "TickRig.h"
#include "display/Report.h"

#include <QApplication>
#include <QScreen>
#include <benchmark/benchmark.h>
#include <cstdio>

using namespace bench;

namespace
{

void TickBenchmark(benchmark::State& state, Backend display, Exercise exercise)
{
    TickRig rig(display, exercise);
    for (auto _ : state) {
        rig.Tick();
        if (display == Backend::Screen)
            TickRig::Settle();
    }
    state.SetItemsProcessed(state.iterations());
}

void FirstFrameBenchmark(benchmark::State& state, Backend display, Exercise exercise)
{
    TickRig rig(display, exercise);
    for (auto _ : state) {
        rig.FirstFrame();
        if (display == Backend::Screen)
            TickRig::Settle();
    }
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    zrv::SetReportHook(
        [](zrv::ReportKind, const QString& text) { std::fprintf(stderr, "report: %s\n", qPrintable(text)); });
    const QString platform = QGuiApplication::platformName();
    for (Backend display : {Backend::Memory, Backend::Screen}) {
        for (Exercise exercise : {Exercise::Dot, Exercise::Pyramid, Exercise::Block}) {
            QString name = QString::fromLatin1(BackendName(display));
            if (display == Backend::Screen) {
                const QSize size = QGuiApplication::primaryScreen()->size();
                name += QStringLiteral("(%1 %2x%3)").arg(platform).arg(size.width()).arg(size.height());
            }
            name += QLatin1Char('/') + QString::fromLatin1(ExerciseName(exercise));
            const std::string suffix = name.toStdString();
            benchmark::RegisterBenchmark(("Tick/" + suffix).c_str(), TickBenchmark, display, exercise)
                ->Unit(benchmark::kMicrosecond)
                ->MeasureProcessCPUTime();
            benchmark::RegisterBenchmark(("FirstFrame/" + suffix).c_str(), FirstFrameBenchmark, display,
                                         exercise)
                ->Unit(benchmark::kMicrosecond)
                ->MeasureProcessCPUTime();
        }
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

// The cost of one tick (the step's drawing and its present) and of the first frame, for each
// exercise's heaviest case, on the in-memory display and on the screen (the Qt platform this
// runs on: offscreen, or xcb; the screen draws at its own resolution, so its size is in the
// name); and the pace meter's share of a tick.  Google Benchmark; the CPU column is the figure
// that counts.
//
//   QT_QPA_PLATFORM=offscreen zrv_bench_tick [--benchmark_* options]

#include "TickRig.h"
#include "core/Report.h"
#include "timer/PaceMeter.h"

#include <QApplication>
#include <QScreen>
#include <benchmark/benchmark.h>
#include <cstdio>

using namespace bench;

namespace
{

// Repeats one step of a run (a tick, or the first frame); on the screen each step waits until
// the window has taken its frame.  `glyphMasks` false: texts drawn glyph by glyph at every step,
// as before their masks were kept (the same pixels).
void StepBenchmark(benchmark::State& state, Backend display, Exercise exercise, void (TickRig::*step)(),
                   bool glyphMasks)
{
    Canvas::setGlyphMasks(glyphMasks);
    {
        TickRig rig(display, exercise);
        for (auto _ : state) {
            (rig.*step)();
            if (display == Backend::Screen)
                TickRig::Settle();
        }
    }
    Canvas::setGlyphMasks(true);
    state.SetItemsProcessed(state.iterations());
}

// What measuring the pace adds to a tick: the pace meter's share of each step (every tick
// above includes it), on steps that alternate between on time and a millisecond late.
void PaceMeterStep(benchmark::State& state)
{
    PaceMeter meter;
    qint64 due_ns = 0;
    for (auto _ : state) {
        due_ns += 40'000'000;
        meter.step(due_ns + (due_ns & (1 << 25) ? 1'000'000 : 0), due_ns, 1, false);
        benchmark::DoNotOptimize(meter);
    }
    benchmark::DoNotOptimize(meter.meanInterval_us());
    state.SetItemsProcessed(state.iterations());
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    zrv::setReportHook(
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
            const std::pair<const char*, void (TickRig::*)()> steps[] = {
                {"Tick/", &TickRig::Tick}, {"FirstFrame/", &TickRig::FirstFrame}};
            for (const auto& [prefix, step] : steps) {
                // The text exercises also the old way, side by side.
                for (bool masks : {true, false}) {
                    if (!masks && exercise == Exercise::Dot)
                        continue;
                    const std::string label = prefix + suffix + (masks ? "" : " (glyphs drawn)");
                    benchmark::RegisterBenchmark(label.c_str(), StepBenchmark, display, exercise, step, masks)
                        ->Unit(benchmark::kMicrosecond)
                        ->MeasureProcessCPUTime();
                }
            }
        }
    }
    benchmark::RegisterBenchmark("PaceMeter/Step", PaceMeterStep)->Unit(benchmark::kNanosecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

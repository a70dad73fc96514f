// What the journal adds to the end of a run.  Two figures (Google Benchmark):
//  - EndOfRun: the close of the exercise window as Escape brings it (the display given back,
//    the window hidden, the run handed on), without a journal and with one, on the in-memory
//    display and on the screen (the Qt platform this runs on: offscreen, or xcb);
//  - Record: Record() alone, on an empty journal and on one of 10 000 runs.
// The journals lie in a folder on the disk the user's data lives on (the working directory's
// file system, unless ZRV_BENCH_JOURNAL_DIR names another).
//
//   QT_QPA_PLATFORM=offscreen zrv_bench_journal [--benchmark_* options]

#include "exercises/ExerciseWindow.h"
#include "journal/SqliteJournal.h"
#include "timer/ManualTime.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace
{

RunRecord Run(int n)
{
    RunRecord run;
    run.started = QDateTime::currentDateTime().addSecs(-60 * n);
    run.exercise = n % 3;
    run.interval_ms = 300 + n % 100;
    run.run_ms = 60'000;
    run.steps = 200;
    return run;
}

QString Folder()
{
    const QByteArray dir = qgetenv("ZRV_BENCH_JOURNAL_DIR");
    return (dir.isEmpty() ? QDir::currentPath() : QString::fromLocal8Bit(dir)) +
           QStringLiteral("/zrv-bench-journal-XXXXXX");
}

// range(0): 0 no journal, 1 a journal; range(1): 0 the in-memory display, 1 the screen.
void EndOfRunBenchmark(benchmark::State& state)
{
    QTemporaryDir dir(Folder());
    SqliteJournal journal(dir.filePath(QStringLiteral("journal.sqlite")));
    ManualActivity activity(true);
    ExerciseEnvironment env;
    if (state.range(1) == 0)
        env.offscreenScale = 1;
    env.waker = std::make_unique<ManualWaker>();
    env.activity = &activity;
    ExerciseWindow screen(std::move(env));
    if (state.range(0) == 1)
        screen.onRunEnded = [&journal](const RunRecord& run) { journal.record(run); };
    ExerciseSettings settings;
    settings.exercise = ExerciseSettings::Dot;
    screen.setSettings(settings);
    for (auto _ : state) {
        state.PauseTiming();
        screen.show();
        QCoreApplication::processEvents();
        state.ResumeTiming();
        screen.close();
        QCoreApplication::processEvents();
    }
    if (state.range(0) == 1 && journal.runs().size() != qsizetype(state.iterations()))
        state.SkipWithError("runs were not recorded");
}

// One run recorded into a journal that holds `state.range(0)` runs already.
void RecordBenchmark(benchmark::State& state)
{
    QTemporaryDir dir(Folder());
    SqliteJournal journal(dir.filePath(QStringLiteral("journal.sqlite")));
    for (int n = 0; n < state.range(0); ++n)
        journal.record(Run(n));
    int n = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(journal.record(Run(n++)));
    if (journal.state() != JournalState::Open)
        state.SkipWithError("the journal is not open");
}

} // namespace

BENCHMARK(EndOfRunBenchmark)
    ->ArgNames({"journal", "screen"})
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();
BENCHMARK(RecordBenchmark)->Arg(0)->Arg(10'000)->Unit(benchmark::kMicrosecond)->UseRealTime();

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

// What the journal adds to the end of a run: Record() on journals of different sizes, in a
// folder on the disk the user's data lives on (the build directory's file system, unless
// ZRV_BENCH_JOURNAL_DIR names another).
//
//   zrv_bench_journal [--benchmark_* options]

#include "journal/SqliteJournal.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTimeZone>
#include <benchmark/benchmark.h>

namespace
{

RunRecord Run(int n)
{
    RunRecord run;
    run.started = QDateTime::currentDateTime().addSecs(-60 * n);
    run.exercise = n % 3;
    run.speed_ms = 300 + n % 100;
    run.run_ms = 60'000;
    run.steps = 200;
    return run;
}

QString Folder()
{
    const QByteArray dir = qgetenv("ZRV_BENCH_JOURNAL_DIR");
    return dir.isEmpty() ? QDir::currentPath() : QString::fromLocal8Bit(dir);
}

// One run recorded into a journal that holds `state.range(0)` runs already.
void RecordBenchmark(benchmark::State& state)
{
    QTemporaryDir dir(Folder() + QStringLiteral("/zrv-bench-journal-XXXXXX"));
    SqliteJournal journal(dir.filePath(QStringLiteral("journal.sqlite")));
    for (int n = 0; n < state.range(0); ++n)
        journal.Record(Run(n));
    int n = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(journal.Record(Run(n++)));
    if (journal.State() != JournalState::Open)
        state.SkipWithError("the journal is not open");
}

} // namespace

BENCHMARK(RecordBenchmark)->Arg(0)->Arg(10'000)->Unit(benchmark::kMicrosecond)->UseRealTime();

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

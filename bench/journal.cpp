// What the journal adds to the end of a run, and what its page costs.  Figures (Google
// Benchmark):
//  - EndOfRun: the close of the exercise window as Escape brings it (the display given back,
//    the window hidden, the run handed on), without a journal and with one, on the in-memory
//    display and on the screen (the Qt platform this runs on: offscreen, or xcb);
//  - EndOfRunWithPage: the same close with a journal of 100 000 runs and its page open, until
//    the window is hidden; the counter page_ms is what the page then takes to catch up;
//  - JournalPage: the page made and shown, on an empty journal and on one of 100 000 runs of
//    the first layout (brought up to date when the journal opens it), with the resident memory
//    while it is open (rss_MB);
//  - Record: Record() alone, on an empty journal and on one of 10 000 runs.
// The journals lie in a folder on the disk the user's data lives on (the working directory's
// file system, unless ZRV_BENCH_JOURNAL_DIR names another).
//
//   QT_QPA_PLATFORM=offscreen zrv_bench_journal [--benchmark_* options]

#include "exercises/ExerciseWindow.h"
#include "gui/JournalView.h"
#include "journal/SqliteJournal.h"
#include "timer/ManualTime.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>
#include <unistd.h>

namespace
{

RunRecord Run(int n)
{
    RunRecord run;
    run.started = QDateTime::currentDateTime().addSecs(-60 * n);
    run.exercise = n % 3;
    run.pace = zrv::Pace(300 + n % 100);
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

constexpr int kLargeJournal = 100'000;

// A journal file of the first layout (user_version 1) holding `runs` runs, one every 20
// minutes back from now, made with SQL alone.  False when it could not be made.
bool MakeFirstLayout(const QString& path, int runs)
{
    bool made = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bench-v1"));
        db.setDatabaseName(path);
        QSqlQuery q(db);
        made =
            db.open() &&
            q.exec(QStringLiteral(
                "CREATE TABLE runs (id INTEGER PRIMARY KEY, started TEXT NOT NULL, exercise INTEGER NOT NULL,"
                " type INTEGER NOT NULL, direction INTEGER NOT NULL, lines INTEGER NOT NULL,"
                " letters INTEGER NOT NULL, background INTEGER NOT NULL, active INTEGER NOT NULL,"
                " passive INTEGER NOT NULL, dot INTEGER NOT NULL, speed_ms INTEGER NOT NULL,"
                " duration_min INTEGER NOT NULL, run_ms INTEGER NOT NULL, steps INTEGER NOT NULL,"
                " ended TEXT NOT NULL)")) &&
            q.exec(
                QStringLiteral(
                    "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1)"
                    " INSERT INTO runs SELECT i, datetime('now', '-' || (20 * i) || ' minutes', 'localtime'),"
                    " i % 3, i % 2, i % 3, 1 + i % 6, 4 + i % 30, i % 16, (i + 1) % 16, (i + 2) % 16,"
                    " (i + 3) % 16, 40 + i % 500, i % 6, 1000 * (i % 600), i % 900,"
                    " CASE i % 3 WHEN 0 THEN 'escape' WHEN 1 THEN 'duration' ELSE 'stopped' END FROM n")
                    .arg(runs)) &&
            q.exec(QStringLiteral("PRAGMA user_version=1"));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("bench-v1"));
    return made;
}

// The resident memory of this process in MB (/proc/self/statm).
double ResidentMB()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1
               ? double(fields[1].toLongLong()) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0)
               : 0;
}

// An exercise window of the Dot exercise on the screen or in memory, its time moved by hand.
std::unique_ptr<ExerciseWindow> DotWindow(ManualActivity& activity, bool onScreen)
{
    ExerciseEnvironment env;
    if (!onScreen)
        env.offscreenScale = 1;
    env.waker = std::make_unique<ManualWaker>();
    env.activity = &activity;
    auto screen = std::make_unique<ExerciseWindow>(std::move(env));
    ExerciseSettings settings;
    settings.exercise = ExerciseSettings::Dot;
    screen->setSettings(settings);
    return screen;
}

// range(0): 0 no journal, 1 a journal; range(1): 0 the in-memory display, 1 the screen.
void EndOfRunBenchmark(benchmark::State& state)
{
    QTemporaryDir dir(Folder());
    SqliteJournal journal(dir.filePath(QStringLiteral("journal.sqlite")));
    ManualActivity activity(true);
    const auto window = DotWindow(activity, state.range(1) == 1);
    ExerciseWindow& screen = *window;
    if (state.range(0) == 1)
        QObject::connect(&screen, &ExerciseWindow::runEnded, &journal, &SqliteJournal::record);
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

// range(0): runs in the journal, of the first layout.
void JournalPageBenchmark(benchmark::State& state)
{
    QTemporaryDir dir(Folder());
    const QString path = dir.filePath(QStringLiteral("journal.sqlite"));
    if (!MakeFirstLayout(path, int(state.range(0)))) {
        state.SkipWithError("the journal could not be made");
        return;
    }
    SqliteJournal journal(path);
    if (journal.state() != JournalState::Open) {
        state.SkipWithError("the journal is not open");
        return;
    }
    double resident_MB = 0;
    for (auto _ : state) {
        auto view = std::make_unique<JournalView>(journal, true);
        view->resize(473, 400);
        view->show();
        QCoreApplication::processEvents();
        state.PauseTiming();
        resident_MB = std::max(resident_MB, ResidentMB());
        view.reset();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["rss_MB"] = resident_MB;
}

// The close of the exercise window with a journal of 100 000 runs and its page shown.
void EndOfRunWithPageBenchmark(benchmark::State& state)
{
    QTemporaryDir dir(Folder());
    const QString path = dir.filePath(QStringLiteral("journal.sqlite"));
    if (!MakeFirstLayout(path, kLargeJournal)) {
        state.SkipWithError("the journal could not be made");
        return;
    }
    SqliteJournal journal(path);
    JournalView page(journal, true);
    page.resize(473, 400);
    page.show();
    ManualActivity activity(true);
    const auto window = DotWindow(activity, true);
    ExerciseWindow& screen = *window;
    QObject::connect(&screen, &ExerciseWindow::runEnded, &journal, &SqliteJournal::record);
    QElapsedTimer after;
    qint64 after_ns = 0;
    for (auto _ : state) {
        state.PauseTiming();
        screen.show();
        QCoreApplication::processEvents();
        state.ResumeTiming();
        screen.close();
        state.PauseTiming();
        if (screen.isVisible())
            state.SkipWithError("the window is still shown");
        after.start();
        QCoreApplication::processEvents();
        after_ns += after.nsecsElapsed();
        state.ResumeTiming();
    }
    state.counters["page_ms"] =
        double(after_ns) / 1e6 / double(std::max<benchmark::IterationCount>(1, state.iterations()));
    if (journal.state() != JournalState::Open)
        state.SkipWithError("the journal is not open");
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

// First: the memory of the empty journal's page is taken before anything else has grown the heap.
BENCHMARK(JournalPageBenchmark)
    ->ArgName("runs")
    ->Arg(0)
    ->Arg(kLargeJournal)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(EndOfRunBenchmark)
    ->ArgNames({"journal", "screen"})
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();
BENCHMARK(EndOfRunWithPageBenchmark)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK(RecordBenchmark)->Arg(0)->Arg(10'000)->Unit(benchmark::kMicrosecond)->UseRealTime();

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // The page's chart module, from the build (the program finds it beside itself).
    QCoreApplication::addLibraryPath(QStringLiteral(ZRV_CHART_MODULE_BUILD_DIR));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

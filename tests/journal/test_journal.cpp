// The journal on temporary files: storing and querying runs, the layout of older files,
// damaged, read-only, locked and newer files, a kill right after a run is recorded, and the
// figures and CSV the page shows.
#include "JournalRig.h"
#include "journal/JournalFigures.h"
#include "journal/PaceChart.h"
#include "journal/ReadingStore.h"
#include "journal/RoutinePlan.h"
#include "journal/RoutineSummary.h"
#include "journal/SqliteJournal.h"
#include "settings/PrivateMounts.h"
#include "support/Files.h"

#include <QBuffer>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>

#include <csignal>
#include <filesystem>
#include <optional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using zrvtest::At;
using zrvtest::Paced;
using zrvtest::RawDb;
using zrvtest::SampleRun;

namespace
{
// The runs table of the first layout, which kept the local start time as text.
const char* const kFirstLayout =
    "CREATE TABLE runs (id INTEGER PRIMARY KEY, started TEXT NOT NULL, exercise INTEGER NOT NULL,"
    " type INTEGER NOT NULL, direction INTEGER NOT NULL, lines INTEGER NOT NULL,"
    " letters INTEGER NOT NULL, background INTEGER NOT NULL, active INTEGER NOT NULL,"
    " passive INTEGER NOT NULL, dot INTEGER NOT NULL, speed_ms INTEGER NOT NULL,"
    " duration_min INTEGER NOT NULL, run_ms INTEGER NOT NULL, steps INTEGER NOT NULL,"
    " ended TEXT NOT NULL)";

// Takes a journal file back to the second layout, without the columns of the pace.
// A journal of the current layout taken back to `layout` (2, 3 or 4).
bool ToLayout(const QString& path, int layout)
{
    RawDb raw(path);
    QStringList sql{"DROP TABLE reading_tests"};
    if (layout < 4)
        sql << "ALTER TABLE runs DROP COLUMN routine_utc_ms"
            << "DROP TABLE routine_steps"
            << "DROP TABLE routine_paces"
            << "DROP TABLE routine_options";
    if (layout < 3)
        for (const char* column :
             {"paused_ms", "delivered_us", "late_steps", "worst_late_us", "lost_steps", "refresh_mhz"})
            sql << QStringLiteral("ALTER TABLE runs DROP COLUMN %1").arg(QLatin1String(column));
    for (const QString& statement : sql)
        if (!raw.Exec(statement))
            return false;
    return raw.Exec(QStringLiteral("PRAGMA user_version=%1").arg(layout));
}

bool ToSecondLayout(const QString& path)
{
    return ToLayout(path, 2);
}

// The runs without the journal's numbers, for comparing what went in with what came out.
QList<RunRecord> WithoutIds(QList<RunRecord> runs)
{
    for (RunRecord& run : runs)
        run.id = 0;
    return runs;
}

// A run of `type` at a pace of `interval_ms`.
RunRecord Typed(int type, const QDateTime& started, int interval_ms, qint64 run_ms = 60'000,
                RunEnd end = RunEnd::Escape)
{
    RunRecord run = Paced(SampleRun(0, started), interval_ms, run_ms);
    run.type = type;
    run.end = end;
    return run;
}

// Santiago de Chile puts its clocks forward at midnight: the day of 2026 that has no 00:00.
QDate SkippedMidnight()
{
    const QTimeZone zone("America/Santiago");
    for (QDate day(2026, 1, 1); day.year() == 2026; day = day.addDays(1))
        if (!QDateTime(day, QTime(0, 0), zone).isValid())
            return day;
    return {};
}

QDateTime InSantiago(const QDate& day, int hour)
{
    return QDateTime(day, QTime(hour, 0), QTimeZone("America/Santiago"));
}

// A chart's series as "type:pace,pace;type:pace", the runs' points or each day's fastest.
QString Drawn(const PaceChart& chart, bool fastest)
{
    QStringList series;
    for (const PaceSeries& s : chart.series) {
        QStringList paces;
        for (const RunRecord& run : fastest ? s.fastest : s.runs)
            paces << QString::number(run.pace.ms());
        series << QStringLiteral("%1:%2").arg(s.type).arg(paces.join(QLatin1Char(',')));
    }
    return series.join(QLatin1Char(';'));
}
} // namespace

// How a journal of runs is damaged before it is opened.
enum class Damage { None, Pages, IndexRecords };
Q_DECLARE_METATYPE(Damage)

class TestJournal : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_path;

    // Four runs, recorded out of order: two Pyramid runs on one day, a Dot and a Block run.
    QList<RunRecord> RecordFour(SqliteJournal& journal)
    {
        QList<RunRecord> runs{SampleRun(1, At(2024, 5, 2, 9), 1), SampleRun(0, At(2024, 5, 1, 22), 2),
                              SampleRun(2, At(2024, 5, 3, 7, 30, 0), 3), SampleRun(1, At(2024, 5, 2, 21), 4)};
        // The pace: all of it known, some of it, none of it.
        runs[0].paused_ms = 5'000;
        runs[0].delivered_us = 40'012;
        runs[0].lateSteps = 3;
        runs[0].worstLate_us = 4'200;
        runs[0].lostSteps = 1;
        runs[0].refresh_mHz = 59'940;
        runs[1].lateSteps = 0;
        runs[3].paused_ms = RunRecord::kUnknown;
        for (const RunRecord& run : runs)
            [&] { QVERIFY(journal.record(run)); }();
        return runs;
    }

  private slots:
    void init()
    {
        const QString folder =
            QStringLiteral("%1-%2").arg(QTest::currentTestFunction(), QTest::currentDataTag());
        m_path = m_dir.path() + QStringLiteral("/%1/journal.sqlite").arg(folder);
        QDir(m_dir.path()).mkpath(folder);
    }

    void storesAndQueriesRuns()
    {
        const QString deeper = m_dir.path() + QStringLiteral("/new/folder/journal.sqlite");
        QList<RunRecord> stored;
        {
            // Left to its first use (as the program opens it): the first run opens it.
            SqliteJournal journal(deeper, SqliteJournal::Opening::AtFirstUse);
            QVERIFY(!QFile::exists(deeper));
            stored = RecordFour(journal);
            QCOMPARE(journal.state(), JournalState::Open);
        }
        SqliteJournal journal(deeper);
        const QList<RunRecord> all = journal.runs();
        QCOMPARE(WithoutIds(all), (QList<RunRecord>{stored[2], stored[3], stored[0], stored[1]}));
        QCOMPARE(all[0].started.offsetFromUtc(), 0); // each run keeps its own offset
        QCOMPARE(all[1].started.offsetFromUtc(), 3 * 3600);

        const QList<RunRecord> pyramid = journal.runs({1, {}, {}});
        QCOMPARE(WithoutIds(pyramid), (QList<RunRecord>{stored[3], stored[0]}));
        // [from, to): the run at 09:00 is in, the one at 21:00 is the end and out.
        QCOMPARE(WithoutIds(journal.runs({{}, At(2024, 5, 2, 9), At(2024, 5, 2, 21)})),
                 QList<RunRecord>{stored[0]});
        QCOMPARE(journal.runs({2, At(2024, 5, 3, 10, 29), At(2024, 5, 3, 10, 31)}).size(), 1); // 07:30 UTC

        // Deleting takes exactly the runs given, by their numbers.
        QVERIFY(journal.remove({all[0], all[2]}));
        QCOMPARE(WithoutIds(SqliteJournal(deeper).runs()), (QList<RunRecord>{stored[3], stored[1]}));
        // Another copy takes the run this one shows and stores a new one, which gets its number
        // again: this copy's delete leaves the new run.
        QVERIFY(journal.record(SampleRun(0, At(2024, 5, 4, 9), 5)));
        const RunRecord shown = journal.runs().first();
        SqliteJournal other(deeper);
        QVERIFY(other.remove({shown}));
        const RunRecord since = SampleRun(2, At(2024, 5, 5, 9), 6);
        QVERIFY(other.record(since));
        QCOMPARE(other.runs().first().id, shown.id);
        QVERIFY(journal.remove({shown}));
        QCOMPARE(WithoutIds(SqliteJournal(deeper).runs()), (QList<RunRecord>{since, stored[3], stored[1]}));

        RawDb raw(deeper);
        QCOMPARE(raw.Value(QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
        QCOMPARE(raw.Value(QStringLiteral("PRAGMA journal_mode")).toString(), QStringLiteral("wal"));
        QCOMPARE(raw.Value(QStringLiteral("PRAGMA user_version")).toInt(), SqliteJournal::kSchemaVersion);
    }

    void migratesTheFirstLayout()
    {
        {
            RawDb raw(m_path);
            QVERIFY(raw.Exec(QLatin1String(kFirstLayout)));
            QVERIFY(
                raw.Exec(QStringLiteral("INSERT INTO runs VALUES (1, '2024-01-15 08:00:00', 2, 1, 2, 3, 12,"
                                        " 7, 1, 8, 4, 350, 2, 120500, 344, 'duration')")));
            QVERIFY(
                raw.Exec(QStringLiteral("INSERT INTO runs VALUES (2, '2024-07-15 20:45:10', 0, 3, 0, 1, 4,"
                                        " 0, 4, 5, 0, 420, 0, 30000, 71, 'escape')")));
            QVERIFY(raw.Exec(QStringLiteral("PRAGMA user_version=1")));
        }
        SqliteJournal journal(m_path);
        QCOMPARE(journal.state(), JournalState::Open);
        const QList<RunRecord> runs = journal.runs();
        QCOMPARE(runs.size(), 2);
        // The old local times, read in this machine's zone (winter and summer time alike).
        const auto local = [](const char* text) {
            return QDateTime::fromString(QString::fromLatin1(text), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        };
        QCOMPARE(runs[0].started, local("2024-07-15 20:45:10"));
        QCOMPARE(runs[0].started.offsetFromUtc(), local("2024-07-15 20:45:10").offsetFromUtc());
        QCOMPARE(runs[1].started, local("2024-01-15 08:00:00"));
        const RunRecord& block = runs[1];
        QCOMPARE(block.exercise, 2);
        // Item indexes 7, 1, 8, 4: Lacivert, Beyaz, Sarı, Kırmızı.
        QCOMPARE(block.colours, (std::array<ColorValue, 4>{rgbColor(0, 0, 192), rgbColor(255, 255, 255),
                                                           rgbColor(255, 255, 0), rgbColor(255, 0, 0)}));
        QCOMPARE(block.pace.ms(), 350);
        QCOMPARE(block.run_ms, 120500);
        QCOMPARE(block.end, RunEnd::Duration);
        QVERIFY(!block.inactive);
        QVERIFY(journal.record(SampleRun(0, At(2024, 8, 1, 10))));
        QCOMPARE(journal.runs().size(), 3);
        RawDb raw(m_path);
        QCOMPARE(raw.Value(QStringLiteral("PRAGMA user_version")).toInt(), SqliteJournal::kSchemaVersion);
    }

    // A file of the second layout is taken to the current one in place; its runs' pace is not
    // known.
    void migratesTheSecondLayout()
    {
        RunRecord run = SampleRun(1, At(2024, 5, 1, 10), 1);
        QVERIFY(SqliteJournal(m_path).record(run));
        QVERIFY(ToSecondLayout(m_path));
        run.paused_ms = RunRecord::kUnknown;
        QCOMPARE(WithoutIds(SqliteJournal(m_path).runs()), QList<RunRecord>{run}); // not set aside
        QCOMPARE(RawDb(m_path).Value(QStringLiteral("PRAGMA user_version")).toInt(),
                 SqliteJournal::kSchemaVersion);
    }

    // Files this program cannot store runs in: set aside whole, and a new journal takes the run.
    void unusableFileIsSetAside_data()
    {
        QTest::addColumn<Damage>("damage");
        QTest::addColumn<QStringList>("sql"); // run over a journal with one Dot run
        QTest::newRow("not a database") << Damage::None << QStringList();
        QTest::newRow("damaged pages") << Damage::Pages << QStringList();
        QTest::newRow("damaged index records") << Damage::IndexRecords << QStringList();
        QTest::newRow("other columns")
            << Damage::None << QStringList{"ALTER TABLE runs RENAME COLUMN inactive TO owner"};
        QTest::newRow("a trigger")
            << Damage::None
            << QStringList{"CREATE TRIGGER t AFTER INSERT ON runs BEGIN DELETE FROM runs; END"};
        QTest::newRow("refusing runs")
            << Damage::None << QStringList{"CREATE UNIQUE INDEX one ON runs (exercise)"};
        QTest::newRow("another program's database") << Damage::None
                                                    << QStringList{"DROP TABLE runs",
                                                                   "DROP TABLE routine_steps",
                                                                   "DROP TABLE routine_paces",
                                                                   "DROP TABLE routine_options",
                                                                   "CREATE TABLE notes (body TEXT)",
                                                                   "INSERT INTO notes VALUES ('not a run')",
                                                                   "PRAGMA user_version=0",
                                                                   "PRAGMA journal_mode=DELETE"};
        QTest::newRow("first layout, a date it cannot read")
            << Damage::None
            << QStringList{
                   "DROP TABLE runs", kFirstLayout,
                   "INSERT INTO runs VALUES (1, 'dün', 2, 1, 2, 3, 12, 7, 1, 8, 4, 350, 2, 1, 3, 'escape')",
                   "PRAGMA user_version=1"};
    }
    void unusableFileIsSetAside()
    {
        QFETCH(Damage, damage);
        QFETCH(QStringList, sql);
        QByteArray bytes = QByteArray("Zerlivan ").repeated(500);
        if (!sql.isEmpty()) {
            SqliteJournal(m_path).record(SampleRun(0, At(2024, 5, 1, 10)));
            RawDb raw(m_path);
            for (const QString& statement : sql)
                QVERIFY2(raw.Exec(statement), qPrintable(statement));
        }
        if (damage != Damage::None) {
            { // A real journal of 50 runs.
                SqliteJournal journal(m_path);
                for (int i = 0; i < 50; ++i)
                    journal.record(SampleRun(i % 3, At(2024, 5, 1 + i % 28, 10), i));
            }
            const qsizetype pageSize = RawDb(m_path).Value(QStringLiteral("PRAGMA page_size")).toInt();
            const qsizetype indexPage =
                RawDb(m_path)
                    .Value(
                        QStringLiteral("SELECT rootpage FROM sqlite_master WHERE name = 'runs_by_exercise'"))
                    .toInt();
            bytes = ReadAll(m_path);
            QVERIFY(bytes.size() > 2 * pageSize && indexPage > 1);
            if (damage == Damage::Pages) { // the table pages overwritten behind the header
                bytes.replace(pageSize, pageSize, QByteArray(pageSize, '\x5a'));
            } else {
                // Each key of the index has a header longer than the key: the pages stay sound,
                // the keys cannot be read.
                const qsizetype page = (indexPage - 1) * pageSize;
                QCOMPARE(bytes[page], '\x0a'); // a leaf of an index
                const int cells = quint8(bytes[page + 3]) << 8 | quint8(bytes[page + 4]);
                for (int i = 0; i < cells; ++i) {
                    const qsizetype at = page + 8 + 2 * i;
                    bytes[page + (quint8(bytes[at]) << 8 | quint8(bytes[at + 1])) + 1] = '\x3c';
                }
            }
        }
        if (!sql.isEmpty())
            bytes = ReadAll(m_path);
        QVERIFY(WriteAll(m_path, bytes));

        SqliteJournal journal(m_path);
        QCOMPARE(journal.state(), JournalState::Open);
        const RunRecord run = SampleRun(0, At(2024, 6, 1, 10), 1);
        QVERIFY(journal.record(run));
        QVERIFY(!journal.asidePath().isEmpty());
        QCOMPARE(ReadAll(journal.asidePath()), bytes);
        QCOMPARE(WithoutIds(SqliteJournal(m_path).runs()), QList<RunRecord>{run});
    }

    // An older file its migration could not make usable (a column of its own that runs do not
    // fill) is set aside before anything is written to it: byte for byte, with what lies past
    // its pages, which a rolled-back write would cut off.  The fuzzer found it.
    void olderFileSetAsideUntouched()
    {
        const QByteArray bytes =
            ReadAll(QStringLiteral(ZRV_FUZZ_JOURNAL_CORPUS_DIR "/layout2-owner-column-bytes-past-pages"));
        QVERIFY(bytes.size() % 512 != 0);
        QVERIFY(WriteAll(m_path, bytes));
        SqliteJournal journal(m_path);
        QVERIFY(journal.record(SampleRun(1, At(2024, 6, 1, 10), 1)));
        QVERIFY(!journal.asidePath().isEmpty());
        QCOMPARE(ReadAll(journal.asidePath()), bytes);
    }

    // Removed while the program runs: the next run goes into the file the next start reads.
    void fileRemovedWhileOpen()
    {
        SqliteJournal journal(m_path);
        QVERIFY(journal.record(SampleRun(0, At(2024, 5, 1, 10))));
        for (const char* suffix : {"", "-wal", "-shm"})
            QFile::remove(m_path + QLatin1String(suffix));
        const RunRecord later = SampleRun(1, At(2024, 5, 2, 10), 1);
        QVERIFY(journal.record(later));
        QCOMPARE(WithoutIds(SqliteJournal(m_path).runs()), QList<RunRecord>{later});
    }

    // A data folder named in bytes that are not UTF-8 ("Ödev" in Windows-1254): the journal goes
    // under that very folder, not one named after the replacement characters.
    void dataFolderOfOtherBytes()
    {
        const QByteArray folder = QFile::encodeName(m_dir.path()) + "/data/\xD6"
                                                                    "dev";
        const QByteArray saved = qgetenv("XDG_DATA_HOME");
        const auto restore = qScopeGuard([&] {
            std::filesystem::remove_all(folder.toStdString()); // beyond what QDir can name
            if (saved.isNull())
                qunsetenv("XDG_DATA_HOME");
            else
                qputenv("XDG_DATA_HOME", saved);
        });
        qputenv("XDG_DATA_HOME", folder);
        QVERIFY(SqliteJournal(SqliteJournal::defaultPath()).record(SampleRun(0, At(2024, 5, 1, 10))));
        struct stat st {
        };
        QCOMPARE(::stat((folder + "/zerlivan/journal.sqlite").constData(), &st), 0);
        QVERIFY(!QFileInfo::exists(m_dir.filePath(QStringLiteral("data/\uFFFDdev"))));
    }

    // A file on a read-only file system, or in a folder that cannot be written, is read, never
    // written; runs are kept in memory.
    void readOnlyPlace_data()
    {
        QTest::addColumn<bool>("mount");
        QTest::addColumn<bool>("secondLayout"); // read as it is, not migrated
        QTest::newRow("read-only file system") << true << false;
        QTest::newRow("read-only file system, second layout") << true << true;
        QTest::newRow("read-only folder, writable file") << false << false;
    }
    void readOnlyPlace()
    {
        QFETCH(bool, mount);
        QFETCH(bool, secondLayout);
        if (mount && !zrvtest::EnterPrivateMounts())
            QSKIP("needs the right to mount a file system");
        const QString dir = QFileInfo(m_path).absolutePath();
        {
            SqliteJournal journal(m_path);
            RecordFour(journal);
        }
        if (secondLayout)
            QVERIFY(ToSecondLayout(m_path));
        // Root writes in any folder: there the folder's owner is an unprivileged user, who
        // opens the journal.
        constexpr uid_t kNobody = 65534;
        const bool asOwner = !mount && geteuid() == 0;
        if (asOwner)
            for (const QString& path : {m_dir.path(), dir, m_path})
                QVERIFY(::chown(QFile::encodeName(path).constData(), kNobody, kNobody) == 0);
        std::optional<zrvtest::ReadOnlyBind> readOnly;
        if (mount)
            QVERIFY(readOnly.emplace(dir).Mounted());
        else
            QVERIFY(QFile::setPermissions(dir, QFile::ReadOwner | QFile::ExeOwner));
        const auto writable = qScopeGuard(
            [&] { QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner); });
        const QByteArray before = ReadAll(m_path);

        const auto check = [&] {
            SqliteJournal journal(m_path);
            QCOMPARE(journal.state(), JournalState::ReadOnly);
            QCOMPARE(journal.runs().size(), 4);
            const RunRecord later = SampleRun(1, At(2024, 6, 1, 10), 5);
            QVERIFY(!journal.record(later));
            QCOMPARE(journal.pendingCount(), 1);
            QCOMPARE(WithoutIds(journal.runs()).first(), later);
            QCOMPARE(ReadAll(m_path), before);

            // Nowhere to make the file at all.
            SqliteJournal none(dir + QStringLiteral("/sub/journal.sqlite"));
            QCOMPARE(none.state(), JournalState::ReadOnly);
            QVERIFY(!none.record(later));
            QCOMPARE(none.runs().size(), 1);
        };
        if (!asOwner) {
            check();
            return;
        }
        const pid_t child = fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)
                _exit(2);
            check();
            _exit(QTest::currentTestFailed() ? 1 : 0);
        }
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 0);
    }

    // Another copy holding the file: runs wait in memory and are stored once it lets go.
    void lockedByAnotherCopy()
    {
        SqliteJournal(m_path).record(SampleRun(0, At(2024, 5, 1, 10)));
        auto other = std::make_unique<RawDb>(m_path, QStringLiteral("other"));
        QVERIFY(other->HoldExclusively());

        SqliteJournal journal(m_path);
        QCOMPARE(journal.state(), JournalState::Locked);
        QVERIFY(!journal.record(SampleRun(1, At(2024, 5, 2, 10), 1)));
        QCOMPARE(journal.runs().size(), 1);

        QVERIFY(other->Exec(QStringLiteral("COMMIT")));
        other.reset();
        QVERIFY(journal.record(SampleRun(2, At(2024, 5, 3, 10), 2)));
        QCOMPARE(journal.state(), JournalState::Open);
        QCOMPARE(journal.pendingCount(), 0);
        QCOMPARE(SqliteJournal(m_path).runs().size(), 3);
    }

    // A file of a newer version is read, never written: new runs and reading tests stay in memory.
    void newerFileIsLeftAlone()
    {
        ReadingTest test;
        test.started = At(2024, 5, 1, 9);
        test.passage = QStringLiteral("en/01");
        {
            SqliteJournal journal(m_path);
            QVERIFY(journal.record(SampleRun(0, At(2024, 5, 1, 10))) && ReadingStore(journal).record(test));
        }
        RawDb(m_path).Exec(QStringLiteral("PRAGMA user_version=%1").arg(SqliteJournal::kSchemaVersion + 1));
        const QByteArray before = ReadAll(m_path);
        {
            SqliteJournal journal(m_path);
            QCOMPARE(journal.state(), JournalState::NewerVersion);
            QVERIFY(!journal.record(SampleRun(1, At(2024, 5, 2, 10))));
            QVERIFY(!journal.saveRoutine(Routine::standard()));
            QCOMPARE(journal.runs().size(), 2);
            ReadingStore store(journal);
            test.started = test.started.addDays(1);
            QVERIFY(!store.record(test));
            QCOMPARE(store.tests().size(), 2);
        }
        QCOMPARE(ReadAll(m_path), before);
    }

    // The routine beside the runs: none until one is saved, then read back as it was, with the
    // runs that were its steps, also through the fourth layout's migration; a file of the third layout is
    // migrated with its runs and starts without one.
    void keepsTheRoutine()
    {
        Routine routine = Routine::standard();
        routine.steps.append({RoutineStep::kRest, 5});
        routine.steps.append({RoutineStep::kReading, 180});
        routine.paces[1] = {zrv::Pace(340), zrv::Pace(200), 1'700'000'000'000};
        routine.progression = false;
        routine.goal_minutes = 12;
        RunRecord step = SampleRun(0, At(2024, 5, 1, 10));
        step.routine_utc_ms = 1'714'550'400'000;
        {
            SqliteJournal journal(m_path);
            QVERIFY(!journal.routine());
            QVERIFY(journal.saveRoutine(routine));
            QVERIFY(journal.record(step) && journal.record(SampleRun(1, At(2024, 5, 1, 11))));
        }
        RunQuery routineRuns;
        routineRuns.routineOnly = true;
        QCOMPARE(SqliteJournal(m_path).routine(), std::optional<Routine>(routine));
        QCOMPARE(WithoutIds(SqliteJournal(m_path).runs(routineRuns)), QList<RunRecord>{step});
        QVERIFY(ToLayout(m_path, 4)); // before reading tests: runs and routine come through
        {
            SqliteJournal fourth(m_path);
            QCOMPARE(fourth.runs().size(), 2);
            QCOMPARE(fourth.routine(), std::optional<Routine>(routine));
        }
        QVERIFY(ToLayout(m_path, 3));
        SqliteJournal migrated(m_path);
        QCOMPARE(migrated.runs().size(), 2);
        QVERIFY(!migrated.routine() && migrated.runs(routineRuns).isEmpty());
        QVERIFY(migrated.saveRoutine(routine));
    }

    // Runs given as "D360" (ended by the duration at 360 ms), "E" (Escape after a minute), "F"
    // (Escape after 5 s), "S" (stopped), a day apart, the last yesterday.
    void routinePace_data()
    {
        QTest::addColumn<QString>("runs");
        QTest::addColumn<bool>("progression");
        QTest::addColumn<int>("limit_ms");
        QTest::addColumn<bool>("setAfterRuns"); // the pace set by hand since
        QTest::addColumn<int>("expected_ms");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("next"); // the runs to the next step
        QTest::newRow("three complete runs bring it forward")
            << "D360 D360 D360" << true << 100 << false << 340 << "Nokta 340 ms (dün 360 ms)"
            << "Nokta: 0 / 3 çalışma 340 ms'de";
        QTest::newRow("two do not") << "D360 D360" << true << 100 << false << 360 << ""
                                    << "Nokta: 2 / 3 çalışma 360 ms'de";
        QTest::newRow("an early end steps back") << "D360 D360 D360 E340" << true << 100 << false << 360 << ""
                                                 << "Nokta: 0 / 3 çalışma 360 ms'de";
        QTest::newRow("a false start neither steps back nor counts")
            << "D360 D360 F360 D360" << true << 100 << false << 340 << ""
            << "";
        QTest::newRow("the limit holds") << "D210 D210 D210" << true << 205 << false << 205 << ""
                                         << "Nokta: en hızlı 205 ms'de";
        QTest::newRow("a limit raised above the runs") << "D210 D210" << true << 300 << false << 300 << ""
                                                       << "Nokta: en hızlı 300 ms'de";
        QTest::newRow("stopped runs do not count")
            << "D360 S360 D360 D360" << true << 100 << false << 340 << ""
            << "";
        QTest::newRow("off: the pace as set") << "D360 D360 D360" << false << 100 << false << 400 << ""
                                              << "-";
        QTest::newRow("set by hand after the runs") << "D360 D360 D360" << true << 100 << true << 400 << ""
                                                    << "";
        QTest::newRow("none yet") << "" << true << 100 << false << 400 << "Nokta 400 ms"
                                  << "";
    }
    void routinePace()
    {
        QFETCH(QString, runs);
        QFETCH(bool, progression);
        QFETCH(int, limit_ms);
        QFETCH(bool, setAfterRuns);
        QFETCH(int, expected_ms);
        QFETCH(QString, text);
        QFETCH(QString, next);
        const QStringList codes = runs.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        const QDateTime now = At(2024, 5, 1 + int(codes.size()), 12);
        QList<RunRecord> records;
        for (int i = 0; i < codes.size(); ++i) {
            RunRecord run = Paced(SampleRun(0, At(2024, 5, 1 + i, 10)), codes[i].mid(1).toInt());
            const QChar code = codes[i][0];
            run.end = code == QLatin1Char('D')                               ? RunEnd::Duration
                      : code == QLatin1Char('E') || code == QLatin1Char('F') ? RunEnd::Escape
                                                                             : RunEnd::Stopped;
            if (code == QLatin1Char('F'))
                run.run_ms = 5'000;
            records.prepend(run); // in any order
        }
        const RoutinePace pace{zrv::Pace(400), zrv::Pace(limit_ms),
                               setAfterRuns ? now.toMSecsSinceEpoch() : 0};
        const PacePlan plan = planPace(pace, progression, records, now);
        QCOMPARE(plan.pace.ms(), expected_ms);
        if (!text.isEmpty())
            QCOMPARE(planText(0, plan, now), text);
        if (!next.isEmpty())
            QCOMPARE(nextStepText(0, plan), next == QLatin1String("-") ? QString() : next);
    }

    // The standard routine run once today at 200 ms after earlier runs, its Blok ended as given:
    // the screen that closes it, from the journal's runs.
    void routineSummary_data()
    {
        QTest::addColumn<int>("blokEnd_ms"); // Escape after this time; 0: the duration ended it
        QTest::addColumn<QString>("blok");   // its line; Nokta is a step forward, Piramit as it was
        QTest::newRow("complete: the goal met, the streak begun")
            << 0 << "Blok 200 ms · 2 / 3 çalışma 200 ms'de";
        QTest::newRow("Blok given up after 30 s steps back")
            << 30'000 << "Blok 200 → 210 ms (erken bırakıldı: hız bir adım geri) · 0 / 3 çalışma 210 ms'de";
        QTest::newRow("Blok ended in its first 5 s keeps its pace")
            << 5'000 << "Blok 200 ms (ilk 10 sn içinde bitti: hız aynı kaldı) · 1 / 3 çalışma 200 ms'de";
    }
    void routineSummary()
    {
        QFETCH(int, blokEnd_ms);
        QFETCH(QString, blok);
        Routine routine = Routine::standard();
        for (RoutinePace& pace : routine.paces)
            pace.pace = zrv::Pace(200);
        const QDateTime now = At(2024, 5, 10, 20);
        const qint64 start_utc_ms = now.addSecs(-200).toMSecsSinceEpoch();
        QList<RunRecord> runs;
        // Earlier routines, two days ago: two complete runs of Nokta, one of Piramit, one of Blok.
        for (const int e : {0, 0, 1, 2}) {
            RunRecord run = Paced(SampleRun(e, At(2024, 5, 8, 10 + int(runs.size()))), 200);
            run.end = RunEnd::Duration;
            run.routine_utc_ms = run.started.toMSecsSinceEpoch();
            runs.append(run);
        }
        QList<RunRecord> today;
        for (int e = 0; e < Routine::kExercises; ++e) {
            RunRecord run = Paced(SampleRun(e, now.addSecs(-200 + 80 * e)), 200, 60'500);
            run.end = RunEnd::Duration;
            if (e == 2 && blokEnd_ms > 0) {
                run.end = RunEnd::Escape;
                run.run_ms = blokEnd_ms;
            }
            run.routine_utc_ms = start_utc_ms;
            today.append(run);
        }
        runs += today;
        const RoutineSummary summary = summarizeRoutine(routine, runs, today, start_utc_ms, now);
        const bool complete = blokEnd_ms == 0;
        QCOMPARE(summary.lines(), (QStringList{complete ? "Bugün 3 dk · Günün hedefi (3 dk): tamam"
                                                        : "Bugün 2 dk · Günün hedefi (3 dk): 1 dk eksik",
                                               complete ? "Seri: 1 gün" : "Seri: 0 gün",
                                               "Nokta 200 → 190 ms · 0 / 3 çalışma 190 ms'de",
                                               "Piramit 200 ms · 2 / 3 çalışma 200 ms'de", blok}));
        QCOMPARE(summary.complete, complete);
    }

    // Minutes a day, oldest first, the last today; a goal of 5 minutes.
    void dailyGoal_data()
    {
        QTest::addColumn<QList<int>>("minutes");
        QTest::addColumn<int>("streak");
        QTest::newRow("met every day") << QList<int>{5, 6, 5} << 3;
        QTest::newRow("today not yet") << QList<int>{5, 5, 2} << 2;
        QTest::newRow("a missed day pauses") << QList<int>{5, 0, 5, 5} << 3;
        QTest::newRow("two missed days end it") << QList<int>{5, 0, 0, 5, 5} << 2;
        QTest::newRow("yesterday missed, today not yet") << QList<int>{5, 5, 0, 2} << 2;
    }
    void dailyGoal()
    {
        QFETCH(QList<int>, minutes);
        QFETCH(int, streak);
        const QDateTime now = At(2024, 5, 10, 20); // a Friday
        QList<DayFigures> days;
        for (int i = 0; i < minutes.size(); ++i)
            days.append({now.date().addDays(i - minutes.size() + 1), 400, double(minutes[i]), 1});
        const GoalFigures goal = goalFigures(days, 5, now);
        QCOMPARE(goal.streak_days, streak);
        QCOMPARE(goal.metToday, minutes.last() >= 5);
        QCOMPARE(goal.today_minutes, double(minutes.last()));
    }

    // SIGKILL the moment Record() returns: no destructor, no checkpoint, no close.
    void killedRightAfterRecording()
    {
        const RunRecord run = SampleRun(2, At(2024, 5, 1, 10), 7);
        const pid_t child = fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            auto* journal = new SqliteJournal(m_path);
            journal->record(run);
            raise(SIGKILL);
            _exit(1);
        }
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
        QVERIFY(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
        QVERIFY(QFileInfo::exists(m_path + QStringLiteral("-wal"))); // the run lives in the log alone
        QCOMPARE(WithoutIds(SqliteJournal(m_path).runs()), QList<RunRecord>{run});
    }

    void figuresPerDayAndTotals()
    {
        const RunRecord a = Paced(SampleRun(1, At(2024, 5, 6, 8)), 300, 60'000); // a Monday
        const RunRecord b = Paced(SampleRun(1, At(2024, 5, 6, 23, 30)), 400, 180'000);
        // Lasted no time: its speed alone.
        const RunRecord c = Paced(SampleRun(1, At(2024, 5, 4, 12)), 500, 0);
        // 01:30 in Istanbul: the local day, not the day before of UTC.
        const RunRecord early = Paced(SampleRun(1, At(2024, 5, 4, 1, 30)), 500, 0);
        const QList<DayFigures> days = figuresByDay({a, b, c, early});
        QCOMPARE(days.size(), 2);
        QCOMPARE(days[0].runs, 2);
        QCOMPARE(days[0].day, QDate(2024, 5, 4));
        QCOMPARE(days[0].pace_ms, 500.0);
        QCOMPARE(days[1].day, QDate(2024, 5, 6));
        QCOMPARE(days[1].pace_ms, 375.0); // (300 * 1 + 400 * 3) / 4
        QCOMPARE(days[1].minutes, 4.0);
        QCOMPARE(days[1].runs, 2);
        QCOMPARE(totalOf({a, b, c, early}).minutes, 4.0);

        for (int d = 6; d <= 12; ++d) // every day of that week starts on Monday the 6th
            QCOMPARE(weekStart(At(2024, 5, d, 23, 59)), At(2024, 5, 6, 0));
        QCOMPARE(thirtyDaysStart(At(2024, 5, 30, 15)), At(2024, 5, 1, 0));
        QCOMPARE(chartStart(At(2024, 5, 30, 15), 14), At(2024, 5, 17, 0));
        const QDate skipped = SkippedMidnight();
        QCOMPARE(chartStart(InSantiago(skipped.addDays(1), 12), 2), InSantiago(skipped, 1));
    }

    // The chart's points: a run each at its own pace, a series a type; its time axis on whole
    // days from the first day with runs to today (eight marks at most), or on one day's hours.
    void chartOfTheRuns_data()
    {
        QTest::addColumn<QList<RunRecord>>("runs"); // as the journal gives them, newest first
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QString>("points");
        QTest::addColumn<QString>("fastest");
        QTest::addColumn<QDateTime>("from");
        QTest::addColumn<QDateTime>("to");
        QTest::addColumn<int>("ticks");
        // 74 s at 150 ms and 60 s at 400 ms: two points, never one near 262 ms.
        QTest::newRow("two paces a day")
            << QList<RunRecord>{Typed(0, At(2024, 5, 8, 9), 200), Typed(0, At(2024, 5, 6, 9), 400),
                                Typed(0, At(2024, 5, 6, 8), 150, 74'000)}
            << At(2024, 5, 9, 12) << "0:150,400,200"
            << "0:150,200" << At(2024, 5, 6, 0) << At(2024, 5, 10, 0) << 5;
        // Twenty days to today in steps of three: the axis starts a day early.
        QTest::newRow("types apart, days skipped")
            << QList<RunRecord>{Typed(0, At(2024, 5, 3, 9), 450), Typed(1, At(2024, 5, 1, 9), 300),
                                Typed(0, At(2024, 5, 1, 8), 500)}
            << At(2024, 5, 20, 12) << "0:500,450;1:300"
            << "0:500,450;1:300" << At(2024, 4, 30, 0) << At(2024, 5, 21, 0) << 8;
        // One day: its hours, half an hour either side; a run that showed nothing is left out.
        QTest::newRow("one day") << QList<RunRecord>{Typed(0, At(2024, 5, 9, 10, 10), 250),
                                                     Typed(0, At(2024, 5, 9, 8, 40), 300),
                                                     Typed(0, At(2024, 5, 8, 9), 100, 0,
                                                           RunEnd::DisplayFailure)}
                                 << At(2024, 5, 9, 12) << "0:300,250"
                                 << "0:250" << At(2024, 5, 9, 8) << At(2024, 5, 9, 11) << 4;
        // The first day's clocks go from 23:59:59 to 01:00: its first moment is 01:00.
        const QDate skipped = SkippedMidnight();
        QTest::newRow("a day without its midnight")
            << QList<RunRecord>{Typed(0, InSantiago(skipped.addDays(1), 10), 250),
                                Typed(0, InSantiago(skipped, 10), 300)}
            << InSantiago(skipped.addDays(1), 12) << "0:300,250"
            << "0:300,250" << InSantiago(skipped, 1) << InSantiago(skipped.addDays(2), 0) << 3;
        QTest::newRow("nothing shown")
            << QList<RunRecord>{Typed(0, At(2024, 5, 8, 9), 100, 0, RunEnd::DisplayFailure)}
            << At(2024, 5, 9, 12) << ""
            << "" << QDateTime() << QDateTime() << 0;
    }

    void chartOfTheRuns()
    {
        QFETCH(QList<RunRecord>, runs);
        QFETCH(QDateTime, now);
        const PaceChart chart = paceChart(runs, now, 8);
        QTEST(Drawn(chart, false), "points");
        QTEST(Drawn(chart, true), "fastest");
        QTEST(chart.from, "from");
        QTEST(chart.to, "to");
        QTEST(chart.ticks, "ticks");
    }

    void csvReadsBackInASpreadsheet_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("separator");
        QTest::addColumn<QString>("seconds");
        QTest::newRow("Turkish: semicolons, decimal comma") << "tr_TR"
                                                            << ";"
                                                            << "61,3";
        QTest::newRow("English") << "en_US"
                                 << ","
                                 << "61.3";
        QTest::newRow("C") << "C"
                           << ","
                           << "61.3";
    }
    // Read back as a spreadsheet reads a file it is given: the text's encoding from its byte-order
    // mark, the separator sniffed from the text (Python's csv module).
    void csvReadsBackInASpreadsheet()
    {
        QFETCH(QString, locale);
        QFETCH(QString, separator);
        QFETCH(QString, seconds);
        const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
        if (python.isEmpty())
            QSKIP("needs python3");
        RunRecord dot = SampleRun(0, At(2024, 5, 6, 8, 5), 3);
        RunRecord block = SampleRun(2, At(2024, 5, 6, 9), 2);
        block.type = 1;
        block.colours = {rgbColor(0, 0, 192), rgbColor(255, 255, 255), rgbColor(255, 255, 0),
                         rgbColor(1, 2, 254)};
        block.run_ms = 61'250;
        block.delivered_us = 40'012;
        block.lateSteps = 3;
        block.worstLate_us = 4'200;
        block.lostSteps = 1;
        block.refresh_mHz = 59'940;
        QFile file(m_path + QStringLiteral(".csv"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(writeCsv(file, {block, dot}, QLocale(locale)));
        file.close();

        QProcess reader;
        reader.start(python, {QStringLiteral("-c"), QStringLiteral(R"(
import codecs, csv, json, sys
raw = open(sys.argv[1], 'rb').read()
text = raw.decode('utf-8-sig')
dialect = csv.Sniffer().sniff(text)
rows = list(csv.reader(text.splitlines(), dialect))
print(json.dumps({'bom': raw.startswith(codecs.BOM_UTF8), 'separator': dialect.delimiter, 'rows': rows}))
)"),
                              file.fileName()});
        QVERIFY(reader.waitForFinished(30'000));
        QVERIFY2(reader.exitCode() == 0, reader.readAllStandardError().constData());
        const QJsonObject read = QJsonDocument::fromJson(reader.readAllStandardOutput()).object();
        QVERIFY(read[QLatin1String("bom")].toBool());
        QCOMPARE(read[QLatin1String("separator")].toString(), separator);
        const QJsonArray rows = read[QLatin1String("rows")].toArray();
        QCOMPARE(rows.size(), 3); // the header and the two runs
        const QStringList header = rows[0].toVariant().toStringList();
        QCOMPARE(header.first(), QStringLiteral("Başlangıç"));
        const QStringList row = rows[1].toVariant().toStringList();
        QCOMPARE(row.size(), header.size());
        QCOMPARE(rows[2].toArray().size(), header.size());
        QCOMPARE(QDateTime::fromString(row[0], Qt::ISODate), block.started);
        QCOMPARE(row.mid(1, 3), (QStringList{QStringLiteral("Blok"), QStringLiteral("Bitişik bloklar"),
                                             QStringLiteral("Zigzag")}));
        QCOMPARE(row.mid(6, 4), (QStringList{QStringLiteral("Lacivert"), QStringLiteral("Beyaz"),
                                             QStringLiteral("Sarı"), QStringLiteral("#0102FE")}));
        QCOMPARE(row[12], seconds);
        QCOMPARE(rows[2].toArray()[1].toString(), QStringLiteral("Nokta"));

        // The pace at the end of the row; nothing for a run that has none of it.
        QCOMPARE(row.mid(16), (QStringList{QLocale(locale).toString(40.012, 'f', 3), "3",
                                           QLocale(locale).toString(4.2, 'f', 3), "1",
                                           QLocale(locale).toString(59.94, 'f', 3)}));
        QCOMPARE(rows[2].toVariant().toStringList().mid(16), (QStringList{"", "", "", "", ""}));
        QCOMPARE(deliveredName(block), QStringLiteral("40,0"));
        QCOMPARE(deliveredName(dot), QStringLiteral("—"));
        QCOMPARE(paceDetails(block),
                 QStringLiteral("Ekran 59,94 Hz: 380 ms'lik adımlar 22 ya da 23 kare (367 / "
                                "383,7 ms). Geç kalan adım: 3 (en çok 4,2 ms), kaybolan adım: 1"));
        QCOMPARE(paceDetails(dot), QString());
    }
};

QTEST_MAIN(TestJournal)
#include "test_journal.moc"

// What the journal's page shows, without widgets: the ranges of the totals in any time zone,
// sums of crafted run times, and the table read a page at a time, sorted by the journal.
#include "JournalRig.h"
#include "journal/JournalFigures.h"
#include "journal/RunTableModel.h"
#include "journal/SqliteJournal.h"

#include <QTemporaryDir>
#include <QTest>
#include <limits>

using zrvtest::At;
using zrvtest::Paced;
using zrvtest::SampleRun;

class TestJournalPage : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

  private slots:
    // Each range runs from the first moment of a day, which is 01:00 where the clocks skip
    // midnight, to the first moment of tomorrow.
    void rangesAreWholeLocalDays_data()
    {
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QDateTime>("week");
        QTest::addColumn<QDateTime>("thirtyDays");
        QTest::addColumn<QDateTime>("tomorrow");
        const QTimeZone santiago("America/Santiago");
        const QTimeZone beirut("Asia/Beirut");
        const QTimeZone istanbul("Europe/Istanbul");
        const auto at = [](const QTimeZone& zone, int y, int m, int d, int h) {
            return QDateTime(QDate(y, m, d), QTime(h, 0), zone);
        };
        // Santiago skipped 2024-09-08 00:00, Beirut 2024-03-31 00:00.
        QTest::newRow("Santiago, 29 days after a skipped midnight")
            << at(santiago, 2024, 10, 7, 12) << at(santiago, 2024, 10, 7, 0) << at(santiago, 2024, 9, 8, 1)
            << at(santiago, 2024, 10, 8, 0);
        QTest::newRow("Santiago, the day before")
            << at(santiago, 2024, 9, 7, 22) << at(santiago, 2024, 9, 2, 0) << at(santiago, 2024, 8, 9, 0)
            << at(santiago, 2024, 9, 8, 1);
        QTest::newRow("Beirut, 29 days after a skipped midnight")
            << at(beirut, 2024, 4, 29, 9) << at(beirut, 2024, 4, 29, 0) << at(beirut, 2024, 3, 31, 1)
            << at(beirut, 2024, 4, 30, 0);
        QTest::newRow("an ordinary Thursday") << at(istanbul, 2024, 5, 9, 12) << at(istanbul, 2024, 5, 6, 0)
                                              << at(istanbul, 2024, 4, 10, 0) << at(istanbul, 2024, 5, 10, 0);
        QTest::newRow("Monday night") << at(istanbul, 2024, 5, 6, 23) << at(istanbul, 2024, 5, 6, 0)
                                      << at(istanbul, 2024, 4, 7, 0) << at(istanbul, 2024, 5, 7, 0);
    }
    void rangesAreWholeLocalDays()
    {
        QFETCH(QDateTime, now);
        QFETCH(QDateTime, week);
        QFETCH(QDateTime, thirtyDays);
        QFETCH(QDateTime, tomorrow);
        QVERIFY(now.isValid() && thirtyDays.isValid() && tomorrow.isValid());
        QCOMPARE(weekStart(now), week);
        QCOMPARE(thirtyDaysStart(now), thirtyDays);
        QCOMPARE(tomorrowStart(now), tomorrow);
    }

    // Run times a file may hold, whatever a real run lasts: their sums neither wrap nor fail.
    void craftedRunTimes()
    {
        const qint64 max = std::numeric_limits<qint64>::max();
        const RunRecord half = Paced(SampleRun(1, At(2024, 5, 6, 8)), 300, qint64(1) << 62);
        const RunRecord longest = Paced(SampleRun(1, At(2024, 5, 6, 9)), 500, max);
        const QList<DayFigures> days = figuresByDay({half, half, longest});
        QCOMPARE(days.size(), 1);
        QVERIFY(days[0].minutes > 0);
        QVERIFY(days[0].pace_ms > 300 && days[0].pace_ms < 500);
        QCOMPARE(spanName(61'500), QStringLiteral("1 dk 2 sn"));
        QCOMPARE(spanName(-65'000), QStringLiteral("-1 dk 5 sn"));
        QCOMPARE(spanName(double(max)), QStringLiteral("277777777777 sa 46 dk"));

        SqliteJournal journal(m_dir.filePath(QStringLiteral("crafted.sqlite")));
        for (const RunRecord& run : {half, half})
            QVERIFY(journal.record(run));
        const Totals totals = journal.totals({});
        QCOMPARE(totals.runs, 2);
        QCOMPARE(totals.minutes, 2 * double(half.run_ms) / 60'000.0);
    }

    void tableReadsAPageAtATime()
    {
        SqliteJournal journal(m_dir.filePath(QStringLiteral("table.sqlite")));
        const int count = RunTableModel::kPageRows + 50;
        for (int n = 0; n < count; ++n) { // a run every hour, paces in a cycle of 7, ends in one of 4
            RunRecord run = Paced(SampleRun(n % 3, At(2024, 5, 1, 0).addSecs(3600 * n), n), 300 + n % 7);
            run.delivered_us = 300'000 + 1000 * (n % 7);
            journal.record(run);
        }
        RunTableModel model(journal);
        QCOMPARE(model.rowCount(), RunTableModel::kPageRows);
        QVERIFY(model.canFetchMore({}));
        model.fetchMore({});
        QCOMPARE(model.rowCount(), count);
        QVERIFY(!model.canFetchMore({}));
        QCOMPARE(model.run(0).started, At(2024, 5, 1, 0).addSecs(3600 * (count - 1)));

        // Sorted by the journal, by the column and then by the start; the end of a run in the
        // order of its kinds, not of its stored names.
        model.sort(RunTableModel::Speed, Qt::AscendingOrder);
        QCOMPARE(model.run(0).pace.ms(), 300);
        QCOMPARE(model.index(0, RunTableModel::Delivered).data().toString(), QStringLiteral("300,0"));
        QCOMPARE(model.run(1).started, model.run(0).started.addSecs(7 * 3600));
        model.sort(RunTableModel::End, Qt::AscendingOrder);
        model.fetchMore({});
        QCOMPARE(model.run(0).end, RunEnd::Escape);
        QCOMPARE(model.run(count - 1).end, RunEnd::Stopped);
        QCOMPARE(model.run(count / 4 + 1).end, RunEnd::Duration);
    }

    // Dates shown in one zone follow the order of the instants; a run's own time is in its
    // tooltip.  Runs the file cannot take come first.
    void zonesAndRunsHeldInMemory()
    {
        const QString path = m_dir.filePath(QStringLiteral("zones.sqlite"));
        SqliteJournal(path).record(SampleRun(0, At(2024, 5, 9, 6, 10)));
        QVERIFY(zrvtest::RawDb(path).Exec(QStringLiteral("PRAGMA user_version=99"))); // read, never written
        SqliteJournal journal(path);
        journal.record(SampleRun(1, At(2024, 5, 8, 23, 40, -5 * 3600))); // 04:40 UTC, the later one
        QCOMPARE(journal.pendingCount(), 1);
        RunTableModel model(journal);
        model.setZone(QTimeZone(3 * 3600));
        QCOMPARE(model.rowCount(), 2);
        QCOMPARE(model.index(0, 0).data().toString(), QStringLiteral("09.05.2024 07:40"));
        QCOMPARE(model.index(1, 0).data().toString(), QStringLiteral("09.05.2024 06:10"));
        QVERIFY(model.index(0, 1)
                    .data(Qt::ToolTipRole)
                    .toString()
                    .endsWith(QStringLiteral("Başladığı yerin saatiyle: 08.05.2024 23:40 (UTC-05:00)")));
        QVERIFY(!model.index(1, 1).data(Qt::ToolTipRole).toString().contains(QStringLiteral("Başladığı")));
    }
};

QTEST_MAIN(TestJournalPage)
#include "test_journal_page.moc"

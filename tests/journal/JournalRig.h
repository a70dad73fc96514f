#pragma once
// Runs to record and a raw look into a journal file, shared by the journal's tests.

#include "journal/RunRecord.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTimeZone>
#include <optional>

namespace zrvtest
{

// A run of `exercise` started at `started`, its other facts drawn from `n` so that runs differ.
inline RunRecord SampleRun(int exercise, const QDateTime& started, int n = 0)
{
    RunRecord run;
    run.started = started;
    run.exercise = exercise;
    run.type = n % 2;
    run.direction = n % 3;
    run.lines = 1 + n % 6;
    run.letters = 4 + n;
    run.colours = {rgbColor(n, 0, 0), rgbColor(0, n, 0), rgbColor(0, 0, n), rgbColor(n, n, n)};
    run.pace = zrv::Pace(400 - 10 * n);
    run.duration_minutes = n % 6;
    run.run_ms = 60'000 + 1'000 * n;
    run.steps = 150 + n;
    run.end = RunEnd(n % 4);
    run.inactive = n % 2 == 1;
    return run;
}

// `run` at another pace, and lasting `run_ms` when given.
inline RunRecord Paced(RunRecord run, int interval_ms, std::optional<qint64> run_ms = {})
{
    run.pace = zrv::Pace(interval_ms);
    run.run_ms = run_ms.value_or(run.run_ms);
    return run;
}

// A local time with a fixed offset (Istanbul's +03:00 unless told).
inline QDateTime At(int y, int m, int d, int h, int min = 0, int offset_s = 3 * 3600)
{
    return QDateTime(QDate(y, m, d), QTime(h, min), QTimeZone(offset_s));
}

// A connection of the test's own to a journal file; SQL statements run one by one.
class RawDb
{
  public:
    explicit RawDb(const QString& path, const QString& name = QStringLiteral("raw")) : m_name(name)
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        db.setDatabaseName(path);
        db.open();
    }
    ~RawDb()
    {
        QSqlDatabase::database(m_name, false).close();
        QSqlDatabase::removeDatabase(m_name);
    }
    bool Exec(const QString& sql)
    {
        QSqlQuery q(QSqlDatabase::database(m_name, false));
        return q.exec(sql);
    }
    // Holds the file as another copy of the program does while it writes: an exclusive lock,
    // until COMMIT.
    bool HoldExclusively()
    {
        return Exec(QStringLiteral("PRAGMA locking_mode=EXCLUSIVE")) &&
               Exec(QStringLiteral("BEGIN EXCLUSIVE")) &&
               Exec(QStringLiteral("INSERT INTO runs SELECT * FROM runs WHERE 0"));
    }
    QVariant Value(const QString& sql)
    {
        QSqlQuery q(QSqlDatabase::database(m_name, false));
        return q.exec(sql) && q.next() ? q.value(0) : QVariant();
    }

  private:
    QString m_name;
};

} // namespace zrvtest

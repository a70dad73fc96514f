#pragma once

#include "journal/JournalFigures.h"
#include "journal/RunRecord.h"

#include <QList>
#include <QSqlDatabase>
#include <QStringList>

#include <optional>

class QSqlError;

// The runs in the journal's file, in their table, and those held in memory until the file takes
// them.  It reads and writes the table on the journal's connection; the journal decides when the
// file may be read or written, and holds the transactions that store and remove runs.
//
// `layout`: the layout of the runs table as the file is read (older than the program's only for
// a file read as it stands); nullopt when the file cannot be read, and only the runs held in
// memory count.
class RunStore
{
  public:
    // `db`: the journal's connection, which it opens and closes.
    explicit RunStore(const QSqlDatabase& db) : m_db(db) {}

    // The statements that make the runs table of `layout` and its index in a new file.
    static QStringList tablesSql(int layout);
    // The statements of the runs table that take a file of version `version` - 1 to `version`.
    static QStringList migrationTo(int version);
    // The columns that the runs table of `layout` has, by name.
    static QStringList columnNames(int layout);

    // Holds `run` in memory until storePending() and stored() take it into the file.
    void hold(const RunRecord& run) { m_pending.append(run); }
    qsizetype pendingCount() const { return m_pending.size(); }
    // Inserts the runs held in memory, inside the caller's transaction.  False, with `error` set,
    // when a run cannot be inserted.
    bool storePending(QSqlError& error) const;
    // The caller's transaction was committed: the runs held in memory are in the file.
    void stored() { m_pending.clear(); }

    // The runs `query` matches, newest first.
    QList<RunRecord> runs(const RunQuery& query, std::optional<int> layout) const;
    // How many runs `query` matches and the minutes they lasted together.
    Totals totals(const RunQuery& query, std::optional<int> layout) const;
    // Up to `limit` runs from the `offset`th in `order`: the runs held in memory first (newest
    // first), then those of the file.
    QList<RunRecord> runPage(const RunOrder& order, qint64 offset, int limit,
                             std::optional<int> layout) const;

    // Deletes the rows of `runs` stored in the file, inside the caller's transaction: by their
    // numbers and starts (a number is given again once the highest run is gone, by another copy
    // of the program too, so a row goes only with the start of the run that was read).  False
    // when a statement fails.
    bool removeFromFile(const QList<RunRecord>& runs) const;
    // Forgets those of `runs` held in memory.
    void forget(const QList<RunRecord>& runs);

  private:
    const QSqlDatabase& m_db;
    QList<RunRecord> m_pending;
};

#pragma once

#include "core/Routine.h"

#include <QSqlDatabase>
#include <QStringList>
#include <QVariantList>

#include <optional>

class QSqlQuery;

// The daily routine in the journal's file, beside the runs: its steps in order, the pace of
// each exercise, and its options by name.  It reads and writes its tables on the journal's
// connection; the journal decides when the file may be read or written, and holds the
// transaction that a save runs in.
class RoutineStore
{
  public:
    // `db`: the journal's connection, which it opens and closes.
    explicit RoutineStore(const QSqlDatabase& db) : m_db(db) {}

    // The statements that make the routine's tables in a new file or at the migration to the
    // layout that has them.
    static QStringList tablesSql();

    // The routine as stored; nullopt when none was stored yet or a table cannot be read.
    std::optional<Routine> read() const;
    // Replaces what is stored by `routine`, inside the caller's transaction.  False when a
    // statement fails.
    bool write(const Routine& routine) const;

  private:
    const QSqlDatabase& m_db;
};

// Runs `sql` on `query` with `values` bound in their order.
bool execWith(QSqlQuery& query, const QString& sql, const QVariantList& values);

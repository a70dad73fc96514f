#pragma once

#include "core/Routine.h"
#include "journal/JournalFigures.h"
#include "journal/RoutineStore.h"
#include "journal/RunRecord.h"
#include "journal/RunStore.h"

#include <QObject>
#include <QSqlDatabase>
#include <QString>

#include <utility>

// What the journal can do with its file.
enum class JournalState {
    Open,         // runs are read and stored
    ReadOnly,     // the file or its folder cannot be written: runs are kept in memory only
    Locked,       // another program holds the file: runs are kept in memory and stored later
    NewerVersion, // a later version of the program made the file: it is read, never changed
    Unavailable,  // no file could be opened or made: runs are kept in memory only
};

// The training journal in an SQLite file: one table of runs, its layout version in the
// file's user_version, written in WAL mode, one transaction a run.  A run is on disk when
// record() returns true: a crash or kill of the program after that loses nothing (a power
// failure may lose the last runs, since commits do not wait for the disk).
//
// Nothing that goes wrong with the file stops the program.  A file that is not a database, a
// damaged one, or one this program cannot use as it is (a runs table of other columns, an older
// layout whose values cannot be converted, a table that refuses runs) is renamed aside (never
// deleted) and a new journal is started; a file that cannot be written is read when it can be;
// runs that cannot be stored stay in memory, show in runs(), and are stored with the next run
// once the file can be written again.  A file removed or replaced while the program runs is
// noticed before a run is stored, and the run goes into the file at the path.
class SqliteJournal : public QObject, public RunLog
{
    Q_OBJECT
  public:
    static constexpr int kSchemaVersion = 5;

    // When the journal at `path` is opened (making its folder and the file when missing): at
    // once, or when it is first used (the program's start then does without the database).
    enum class Opening { Now, AtFirstUse };
    // Opens the journal at `path` at once.
    explicit SqliteJournal(QString path, QObject* parent = nullptr);
    SqliteJournal(QString path, Opening opening, QObject* parent = nullptr);
    ~SqliteJournal() override;

    // Opens a journal left to its first use now, unless it is open.
    void openIfClosed() { openOnce(); }
    // journal.sqlite in the user's data folder for the program (~/.local/share/zerlivan).
    static QString defaultPath();

    bool record(const RunRecord& run) override;
    QList<RunRecord> runs(const RunQuery& query = {}) const override;

    JournalState state() const
    {
        openOnce();
        return m_state;
    }
    const QString& path() const { return m_path; }
    // Where a damaged file was put aside when this journal was opened; empty when none was.
    const QString& asidePath() const
    {
        openOnce();
        return m_asidePath;
    }
    // The database's own words about the last failure.
    const QString& errorText() const
    {
        openOnce();
        return m_error;
    }
    int pendingCount() const
    {
        openOnce();
        return int(m_runs.pendingCount());
    }

    // For a store that keeps a table of its own in this file (the reading tests): the connection,
    // whether the file can be read and written, and its layout.  `toWrite`: a file that was held
    // or could not be written when it was opened is tried again first, as for a run.
    struct FileAccess {
        QSqlDatabase db;
        bool readable = false;
        bool writable = false;
        int layout = 0;
    };
    FileAccess fileAccess(bool toWrite);

  signals:
    // A run was recorded (stored or held in memory), or the state changed.
    void changed();

  private:
    // Unusable: a database, but what it holds keeps this program from storing runs in it.
    enum class Failure { None, Damaged, Unusable, Busy, NotWritable, Other };
    enum class ReadMode { ReadWrite, ReadOnly, Immutable };

    void open();
    // Opens the journal if it was left to its first use and is not open yet.
    void openOnce() const
    {
        if (!m_opened)
            const_cast<SqliteJournal*>(this)->open();
    }
    Failure tryOpen(ReadMode mode);
    Failure prepareSchema();
    // Unusable when the file, of a layout before the second, holds what this program does not make.
    Failure checkNoForeignTables(int version);
    // The runs table as the given layout has it (its columns, nothing else runs must fill).
    Failure checkRunsTable(int layout);
    Failure storePending();
    Failure exec(const QString& sql, bool onContent = false);
    // `onContent`: the statement reads or writes the runs, so an error of SQL or a constraint
    // comes from what the file holds.
    Failure classify(const class QSqlError& error, bool onContent = false);
    void close();
    bool setAside();
    // The layout the runs are read in; nullopt when the file cannot be read.
    std::optional<int> readLayout() const { return m_readable ? std::optional<int>(m_layout) : std::nullopt; }

    QString m_path;
    QString m_connection;
    bool m_opened = false;
    QSqlDatabase m_db;
    // The routine's tables, on m_db.
    RoutineStore m_routine{m_db};
    // The runs table, on m_db, and the runs held in memory until the file takes them.
    RunStore m_runs{m_db};
    bool m_readable = false;
    // The layout of the runs table as it is read: older than the program's only for a file that
    // is read and not migrated.
    int m_layout = kSchemaVersion;
    JournalState m_state = JournalState::Unavailable;
    QString m_asidePath;
    QString m_error;
    // The device and inode of the open file, to notice it removed or replaced.
    std::pair<quint64, quint64> m_file{};

    // What the journal's page reads, in SQL, so that its cost does not grow with the journal:
    // a page of the table at a time, and the figures as aggregates.  Runs held in memory count
    // alike.  Text columns are read only as far as they can mean anything (a crafted file may
    // hold megabytes in one).
  public:
    // How many runs `query` matches and the minutes they lasted together.
    Totals totals(const RunQuery& query) const;
    // Up to `limit` runs from the `offset`th in `order`: the runs held in memory first (newest
    // first), then those of the file.
    QList<RunRecord> runPage(const RunOrder& order, qint64 offset, int limit) const;

    // Takes `runs` out of the journal, all or none, in one transaction: those of the file by
    // their numbers and starts (a run another copy stored since under a number given again
    // stays), those held in memory as they are.  False, with nothing taken, when the file
    // cannot be written now.
    bool remove(const QList<RunRecord>& runs);

    // The daily routine kept in the file beside the runs (RoutineStore); nullopt when none was
    // stored yet or the file cannot be read (the routine is then the standard one).
    std::optional<Routine> routine() const;
    // Stores the routine in one transaction.  False, with the file unchanged, when it cannot be
    // written now (or is a newer version's): the caller keeps it and tries again later.
    bool saveRoutine(const Routine& routine);
};

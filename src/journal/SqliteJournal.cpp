#include "journal/SqliteJournal.h"

#include "journal/ReadingStore.h"
#include "journal/RunStore.h"

#include <QAtomicInteger>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <algorithm>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
// SQLite's primary result codes.  Qt reports the extended code in QSqlError::nativeErrorCode(),
// whose low byte is the primary one (1544, a folder that cannot be written, is 8 READONLY).
constexpr int kSqliteError = 1;
constexpr int kSqlitePerm = 3;
constexpr int kSqliteBusy = 5;
constexpr int kSqliteLocked = 6;
constexpr int kSqliteNoMem = 7;
constexpr int kSqliteReadOnly = 8;
constexpr int kSqliteCorrupt = 11;
constexpr int kSqliteCantOpen = 14;
constexpr int kSqliteTooBig = 18;
constexpr int kSqliteConstraint = 19;
constexpr int kSqliteMismatch = 20;
constexpr int kSqliteNotADb = 26;

// How long a write waits for another program that holds the file before giving up.
constexpr int kBusyTimeout_ms = 200;

// The statements that take a file of version `version` - 1 to `version`.
QStringList migrationTo(int version)
{
    QStringList statements = RunStore::migrationTo(version);
    if (version == 4) // the daily routine
        statements << RoutineStore::tablesSql();
    else if (version == 5) // the reading tests
        statements << ReadingStore::tablesSql();
    return statements;
}

// The device and inode of the file at `path`; zeros when there is none.
std::pair<quint64, quint64> identityOf(const QString& path)
{
    struct stat st {
    };
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return {};
    return {quint64(st.st_dev), quint64(st.st_ino)};
}

// The folders of `folder` that do not exist yet, outermost first.
QStringList missingFolders(const QString& folder)
{
    QStringList missing;
    for (QDir dir(folder); !dir.exists() && !dir.isRoot(); dir.setPath(QFileInfo(dir.path()).path()))
        missing.prepend(dir.path());
    return missing;
}

// Run as root with another user's data folder (sudo keeping HOME), what the journal makes in a
// folder of that user is given to the user, who could not write to the journal afterwards
// otherwise.  Links are never followed.
void handOver(const QStringList& made, const QString& madeIn)
{
    struct stat owner {
    };
    if (made.isEmpty() || ::geteuid() != 0 || ::stat(QFile::encodeName(madeIn).constData(), &owner) != 0 ||
        owner.st_uid == 0)
        return;
    for (const QString& path : made)
        if (::lchown(QFile::encodeName(path).constData(), owner.st_uid, owner.st_gid) != 0)
            continue; // gone again, or a file system without owners: nothing to hand over
}
// The folder the file system names `bytes`, as a path the program can pass on.  A name that is
// not UTF-8 (Windows-1254 bytes) has no QString of its own: the folder is made when missing and
// named through a descriptor of it held until the program ends, so that its bytes stay as they
// are and nothing goes to a folder named after the replacement characters.
QString folderNamed(const QByteArray& bytes)
{
    QString name = QFile::decodeName(bytes);
    if (!bytes.startsWith('/') || QFile::encodeName(name) == bytes)
        return name;
    for (qsizetype slash = bytes.indexOf('/', 1); slash != -1; slash = bytes.indexOf('/', slash + 1))
        ::mkdir(bytes.left(slash).constData(), 0700); // an existing one is left as it is
    ::mkdir(bytes.constData(), 0700);
    const int folder = ::open(bytes.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    return folder < 0 ? name : QStringLiteral("/proc/self/fd/%1").arg(folder);
}
} // namespace

SqliteJournal::SqliteJournal(QString path, QObject* parent)
    : SqliteJournal(std::move(path), Opening::Now, parent)
{
}

SqliteJournal::SqliteJournal(QString path, Opening opening, QObject* parent)
    : QObject(parent), m_path(std::move(path))
{
    static QAtomicInteger<int> counter;
    m_connection = QStringLiteral("zerlivan-journal-%1").arg(counter.fetchAndAddRelaxed(1));
    if (opening == Opening::Now)
        open();
}

SqliteJournal::~SqliteJournal()
{
    close();
}

QString SqliteJournal::defaultPath()
{
    // The folder the menu entry starts the program in, whatever the application is called.  A
    // relative XDG_DATA_HOME is not to be used (it would put a journal in every folder the
    // program starts in): the default is, as when it is not set.
    QString data = folderNamed(qgetenv("XDG_DATA_HOME"));
    if (QDir::isRelativePath(data))
        data = QDir::homePath() + QStringLiteral("/.local/share");
    return data + QStringLiteral("/zerlivan/journal.sqlite");
}

void SqliteJournal::open()
{
    m_opened = true;
    close();
    m_readable = false;
    const QString folder = QFileInfo(m_path).absolutePath();
    const QStringList madeFolders = missingFolders(folder);
    if (!QDir().mkpath(folder)) {
        m_state = JournalState::ReadOnly;
        m_error = QStringLiteral("cannot make the folder %1").arg(folder);
        return;
    }
    if (!madeFolders.isEmpty())
        handOver(madeFolders, QFileInfo(madeFolders.first()).path());
    bool madeFile = !QFileInfo::exists(m_path);
    Failure failure = tryOpen(ReadMode::ReadWrite);
    if (failure == Failure::Damaged || failure == Failure::Unusable) {
        close();
        if (!setAside()) {
            m_state = JournalState::Unavailable;
            return;
        }
        madeFile = true;
        failure = tryOpen(ReadMode::ReadWrite);
    }
    switch (failure) {
    case Failure::None:
        m_readable = true;
        m_file = identityOf(m_path);
        if (madeFile)
            handOver({m_path, m_path + QStringLiteral("-wal"), m_path + QStringLiteral("-shm")}, folder);
        return;
    case Failure::Busy:
        m_state = JournalState::Locked;
        break;
    case Failure::NotWritable:
        m_state = JournalState::ReadOnly;
        break;
    case Failure::Damaged:
    case Failure::Unusable:
    case Failure::Other:
        m_state = JournalState::Unavailable;
        break;
    }
    close();
    // What the file holds can still be shown when it can be read: as it stands when the
    // write-ahead log cannot be set up beside it (a read-only file system).
    if (m_state == JournalState::ReadOnly && QFileInfo::exists(m_path)) {
        m_readable = tryOpen(ReadMode::ReadOnly) == Failure::None;
        if (!m_readable) {
            close();
            m_readable = tryOpen(ReadMode::Immutable) == Failure::None;
        }
    }
}

SqliteJournal::Failure SqliteJournal::tryOpen(ReadMode mode)
{
    m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    QString options = QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(kBusyTimeout_ms);
    if (mode == ReadMode::Immutable) {
        m_db.setDatabaseName(QUrl::fromLocalFile(m_path).toString(QUrl::FullyEncoded) +
                             QStringLiteral("?immutable=1"));
        options += QStringLiteral(";QSQLITE_OPEN_READONLY;QSQLITE_OPEN_URI");
    } else {
        m_db.setDatabaseName(m_path);
        if (mode == ReadMode::ReadOnly)
            options += QStringLiteral(";QSQLITE_OPEN_READONLY");
    }
    m_db.setConnectOptions(options);
    if (!m_db.open())
        return classify(m_db.lastError());
    m_layout = kSchemaVersion;
    if (mode != ReadMode::ReadWrite) {
        // An older file read as it stands: what later layouts added is not known.  A file of the
        // first layout is not read without its migration.
        QSqlQuery version(m_db);
        if (version.exec(QStringLiteral("PRAGMA user_version")) && version.next()) {
            const int v = version.value(0).toInt();
            if (v >= 2 && v < kSchemaVersion)
                m_layout = v;
        }
        version.finish();
        if (const Failure f = checkRunsTable(m_layout); f != Failure::None)
            return f;
        QSqlQuery probe(m_db);
        return probe.exec(QStringLiteral("SELECT count(*) FROM runs")) ? Failure::None
                                                                       : classify(probe.lastError());
    }
    if (const Failure f = prepareSchema(); f != Failure::None || m_state == JournalState::NewerVersion)
        return f;
    // After the layout is known to be this program's: a file that is set aside, or a newer one,
    // stays exactly as it was.
    if (const Failure f = exec(QStringLiteral("PRAGMA journal_mode=WAL")); f != Failure::None)
        return f;
    return exec(QStringLiteral("PRAGMA synchronous=NORMAL"));
}

SqliteJournal::Failure SqliteJournal::prepareSchema()
{
    QSqlQuery query(m_db);
    // The first statement that reads the file: an error of SQL here is what the file holds (a
    // format or schema this SQLite cannot read).  The whole check, keys of the index included:
    // a file whose damage only a run's insert would find is set aside before it is written to.
    if (!query.exec(QStringLiteral("PRAGMA integrity_check")) || !query.next())
        return classify(query.lastError(), true);
    if (query.value(0).toString() != QLatin1String("ok")) {
        m_error = query.value(0).toString();
        return Failure::Damaged;
    }
    if (!query.exec(QStringLiteral("PRAGMA user_version")) || !query.next())
        return classify(query.lastError());
    const int version = query.value(0).toInt();
    query.finish();
    if (version > kSchemaVersion) {
        m_state = JournalState::NewerVersion;
        return Failure::None;
    }
    m_state = JournalState::Open;
    if (version == kSchemaVersion)
        return checkRunsTable(m_layout);
    // A table the migration would not make usable (a column of its own that runs do not fill,
    // one of the layout missing) is found before anything is written: a rolled-back transaction
    // still leaves the file cut to its pages, or its last page made whole.
    if (version >= 2)
        if (const Failure f = checkRunsTable(version); f != Failure::None)
            return f;
    // Before the layout is known to be this program's, a database of another program (its own
    // tables, no version) is not taken over: it is set aside as it is.
    if (version < 2)
        if (const Failure f = checkNoForeignTables(version); f != Failure::None)
            return f;
    QStringList statements;
    if (version == 0) { // a new file, or an empty database: the current layout
        statements << RunStore::tablesSql(kSchemaVersion) << RoutineStore::tablesSql()
                   << ReadingStore::tablesSql();
    } else {
        for (int v = version + 1; v <= kSchemaVersion; ++v)
            statements << migrationTo(v);
    }
    statements << QStringLiteral("PRAGMA user_version=%1").arg(kSchemaVersion);
    // One transaction: a file is either wholly migrated or left as it was.
    if (const Failure f = exec(QStringLiteral("BEGIN IMMEDIATE")); f != Failure::None)
        return f;
    for (const QString& sql : statements)
        if (const Failure f = exec(sql, true); f != Failure::None) {
            m_db.rollback();
            return f;
        }
    if (const Failure f = checkRunsTable(m_layout); f != Failure::None) {
        m_db.rollback();
        return f;
    }
    return exec(QStringLiteral("COMMIT"));
}

// A file without a version holds nothing (this program makes its tables and its version in one
// transaction); one of the first layout holds its runs table alone.
SqliteJournal::Failure SqliteJournal::checkNoForeignTables(int version)
{
    QSqlQuery query(m_db);
    // The first layout's file holds its runs table and what belongs to it (an index).
    const QString ownTable =
        version == 1 ? QStringLiteral(" AND tbl_name <> 'runs' COLLATE NOCASE") : QString();
    if (!query.exec(QStringLiteral("SELECT group_concat(name, ', ') FROM sqlite_master"
                                   " WHERE name NOT LIKE 'sqlite\\_%' ESCAPE '\\'") +
                    ownTable) ||
        !query.next())
        return classify(query.lastError(), true);
    const QString foreign = query.value(0).toString();
    if (foreign.isEmpty())
        return Failure::None;
    m_error = QStringLiteral("the file holds what another program made: %1").arg(foreign.left(200));
    return Failure::Unusable;
}

// The runs table is a table, with the columns runs are written to, no other column a run must
// fill, and no trigger of its own.
SqliteJournal::Failure SqliteJournal::checkRunsTable(int layout)
{
    QSqlQuery query(m_db);
    if (!query.exec(QStringLiteral("SELECT group_concat(type) FROM sqlite_master"
                                   " WHERE tbl_name = 'runs' COLLATE NOCASE AND type <> 'index'")) ||
        !query.next())
        return classify(query.lastError());
    if (query.value(0).toString() != QLatin1String("table")) {
        m_error = QStringLiteral("runs is not a table of its own: %1").arg(query.value(0).toString());
        return Failure::Unusable;
    }
    if (!query.exec(QStringLiteral("SELECT lower(name), \"notnull\" AND dflt_value IS NULL AND NOT pk"
                                   " FROM pragma_table_info('runs')")))
        return classify(query.lastError());
    QStringList missing = RunStore::columnNames(layout);
    while (query.next()) {
        const QString name = query.value(0).toString();
        if (!missing.removeOne(name) && query.value(1).toBool()) {
            m_error = QStringLiteral("the runs table has a column %1 that runs do not fill").arg(name);
            return Failure::Unusable;
        }
    }
    if (!missing.isEmpty()) {
        m_error = QStringLiteral("the runs table has no column %1").arg(missing.join(QStringLiteral(", ")));
        return Failure::Unusable;
    }
    return Failure::None;
}

SqliteJournal::Failure SqliteJournal::exec(const QString& sql, bool onContent)
{
    QSqlQuery query(m_db);
    return query.exec(sql) ? Failure::None : classify(query.lastError(), onContent);
}

SqliteJournal::Failure SqliteJournal::classify(const QSqlError& error, bool onContent)
{
    m_error = error.text();
    switch (error.nativeErrorCode().toInt() & 0xff) {
    case kSqliteCorrupt:
    case kSqliteNotADb:
        return Failure::Damaged;
    case kSqliteBusy:
    case kSqliteLocked:
        return Failure::Busy;
    case kSqlitePerm:
    case kSqliteReadOnly:
    case kSqliteCantOpen:
        return Failure::NotWritable;
    case kSqliteError:
    case kSqliteConstraint:
    case kSqliteMismatch:
        return onContent ? Failure::Unusable : Failure::Other;
    case kSqliteNoMem:
    case kSqliteTooBig:
        // Reading what the file holds: sizes in damaged records that no memory can hold.
        return onContent ? Failure::Damaged : Failure::Other;
    default:
        return Failure::Other;
    }
}

void SqliteJournal::close()
{
    if (!m_db.isValid())
        return;
    m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_connection);
}

bool SqliteJournal::setAside()
{
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString aside = m_path + QStringLiteral(".corrupt-") + stamp;
    for (int n = 2; QFileInfo::exists(aside); ++n)
        aside = m_path + QStringLiteral(".corrupt-%1-%2").arg(stamp).arg(n);
    if (!QFile::rename(m_path, aside)) {
        m_error = QStringLiteral("the damaged file cannot be renamed to %1").arg(aside);
        return false;
    }
    // The write-ahead log belongs to the file it was written for.
    for (const char* suffix : {"-wal", "-shm"})
        if (QFileInfo::exists(m_path + QLatin1String(suffix)))
            QFile::rename(m_path + QLatin1String(suffix), aside + QLatin1String(suffix));
    m_asidePath = aside;
    return true;
}

SqliteJournal::FileAccess SqliteJournal::fileAccess(bool toWrite)
{
    openOnce();
    if (toWrite && m_state != JournalState::Open && m_state != JournalState::NewerVersion)
        open();
    return {m_db, m_readable, m_state == JournalState::Open, m_layout};
}

bool SqliteJournal::record(const RunRecord& run)
{
    openOnce();
    m_runs.hold(run);
    // A file removed or replaced since it was opened would take the run with it.
    const bool sameFile = m_readable && identityOf(m_path) == m_file;
    if ((m_state != JournalState::Open && m_state != JournalState::NewerVersion) || !sameFile)
        open();
    if (m_state == JournalState::Open) {
        Failure failure = storePending();
        if (failure == Failure::Damaged || failure == Failure::Unusable) {
            // Damaged since it was opened, or in a way the check at opening does not see (an
            // index that disagrees with its table), or a table that refuses runs for what the
            // file holds (a constraint of its own): the file is put aside whole and a new
            // journal takes the runs.
            close();
            m_readable = false;
            if (setAside()) {
                open();
                failure = m_state == JournalState::Open ? storePending() : failure;
            }
        }
        if (failure == Failure::Busy)
            m_state = JournalState::Locked;
        else if (failure == Failure::NotWritable)
            m_state = JournalState::ReadOnly;
        else if (failure != Failure::None)
            m_state = JournalState::Unavailable;
    }
    emit changed();
    return m_runs.pendingCount() == 0;
}

SqliteJournal::Failure SqliteJournal::storePending()
{
    if (const Failure f = exec(QStringLiteral("BEGIN IMMEDIATE")); f != Failure::None)
        return f;
    if (QSqlError error; !m_runs.storePending(error)) {
        const Failure f = classify(error, true);
        m_db.rollback();
        return f;
    }
    if (const Failure f = exec(QStringLiteral("COMMIT")); f != Failure::None) {
        m_db.rollback();
        return f;
    }
    m_runs.stored();
    return Failure::None;
}

QList<RunRecord> SqliteJournal::runs(const RunQuery& query) const
{
    openOnce();
    return m_runs.runs(query, readLayout());
}

Totals SqliteJournal::totals(const RunQuery& query) const
{
    openOnce();
    return m_runs.totals(query, readLayout());
}

QList<RunRecord> SqliteJournal::runPage(const RunOrder& order, qint64 offset, int limit) const
{
    openOnce();
    return m_runs.runPage(order, offset, limit, readLayout());
}

bool SqliteJournal::remove(const QList<RunRecord>& runs)
{
    openOnce();
    const bool inFile =
        std::any_of(runs.begin(), runs.end(), [](const RunRecord& run) { return run.id > 0; });
    if (inFile) {
        if (m_state != JournalState::Open)
            return false;
        if (exec(QStringLiteral("BEGIN IMMEDIATE")) != Failure::None)
            return false;
        if (!m_runs.removeFromFile(runs) || exec(QStringLiteral("COMMIT")) != Failure::None) {
            m_db.rollback();
            return false;
        }
    }
    m_runs.forget(runs);
    emit changed();
    return true;
}

std::optional<Routine> SqliteJournal::routine() const
{
    openOnce();
    if (!m_readable || m_layout < 4)
        return std::nullopt;
    return m_routine.read();
}

bool SqliteJournal::saveRoutine(const Routine& routine)
{
    openOnce();
    if (m_state != JournalState::Open || identityOf(m_path) != m_file)
        return false;
    if (exec(QStringLiteral("BEGIN IMMEDIATE")) != Failure::None)
        return false;
    bool ok = m_routine.write(routine);
    // Tables of the file's own making (other columns, a trigger) may take the rows and give back
    // something else: the routine is stored only when it reads back as it was written.
    ok = ok && this->routine() == routine.normalized();
    if (!ok || exec(QStringLiteral("COMMIT")) != Failure::None) {
        m_db.rollback();
        return false;
    }
    return true;
}

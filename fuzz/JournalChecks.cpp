#include "JournalChecks.h"

#include "../tests/support/Files.h"

#include "core/Routine.h"
#include "gui/JournalView.h"
#include "journal/JournalFigures.h"
#include "journal/SqliteJournal.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QTimeZone>

#include <algorithm>
#include <memory>

namespace zrvfuzz
{
namespace
{

RunRecord SampleRun()
{
    RunRecord run;
    run.started = QDateTime(QDate(2024, 5, 6), QTime(8, 30), QTimeZone(3 * 3600));
    run.exercise = 1;
    run.type = 2;
    run.lines = 3;
    run.letters = 12;
    run.pace = zrv::Pace(350);
    run.duration_minutes = 2;
    run.run_ms = 120'000;
    run.steps = 340;
    run.end = RunEnd::Duration;
    return run;
}

// The file set aside is the input as it was.  A transaction rolled back on it (a migration that
// failed) leaves SQLite's view of the file: a last page that was cut short made whole with
// zeros, or bytes past the pages its header counts cut off.  The pages themselves are the same.
bool SameFile(const QByteArray& aside, const QByteArray& input)
{
    if (aside == input)
        return true;
    if (input.size() < 100)
        return false;
    const qsizetype pageSize = quint8(input[16]) << 8 | quint8(input[17]);
    const qsizetype page = pageSize == 1 ? 65536 : pageSize;
    if (page < 512 || aside.size() % page != 0)
        return false;
    if (aside.size() > input.size())
        return aside.size() - input.size() < page && aside.startsWith(input) &&
               std::all_of(aside.begin() + input.size(), aside.end(), [](char c) { return c == 0; });
    const auto be32 = [&input](int at) {
        return quint32(quint8(input[at])) << 24 | quint32(quint8(input[at + 1])) << 16 |
               quint32(quint8(input[at + 2])) << 8 | quint32(quint8(input[at + 3]));
    };
    const qsizetype pages = be32(28);
    return be32(24) == be32(92) && aside.size() == pages * page && input.startsWith(aside);
}

bool Holds(const QList<RunRecord>& runs, RunRecord run)
{
    return std::any_of(runs.begin(), runs.end(), [&](RunRecord stored) {
        stored.id = run.id = 0;
        return stored == run;
    });
}

// What the page makes of the runs, without the page.
void Describe(const QList<RunRecord>& runs)
{
    figuresByDay(runs);
    totalOf(runs);
    for (const RunRecord& run : runs) {
        exerciseName(run.exercise);
        typeName(run.exercise, run.type);
        directionName(run.exercise, run.direction);
        for (const ColorValue colour : run.colours)
            colourName(colour);
        endName(run.end);
        durationName(run.duration_minutes);
        weekStart(run.started);
        thirtyDaysStart(run.started);
    }
    QBuffer csv;
    csv.open(QIODevice::WriteOnly);
    writeCsv(csv, runs);
}

} // namespace

QString CheckJournalFile(const QByteArray& bytes, const QString& dir, bool withPage)
{
    QDir(dir).removeRecursively();
    QDir().mkpath(dir);
    const QString path = dir + QStringLiteral("/journal.sqlite");
    if (!WriteAll(path, bytes))
        return QStringLiteral("cannot write %1").arg(path);

    const RunRecord run = SampleRun();
    bool stored = false;
    {
        SqliteJournal journal(path);
        Describe(journal.runs());
        std::unique_ptr<JournalView> page;
        if (withPage)
            page = std::make_unique<JournalView>(journal, true);
        stored = journal.record(run);
        Describe(journal.runs());
        // The routine kept beside the runs: read as whatever the file holds, stored back as read.
        const Routine routine = journal.routine().value_or(Routine::standard());
        if (journal.saveRoutine(routine) && journal.routine() != routine.normalized())
            return QStringLiteral("the routine stored is not read back");
        const QString state =
            QStringLiteral("state %1 (%2)").arg(int(journal.state())).arg(journal.errorText());

        if (!journal.asidePath().isEmpty() && !SameFile(ReadAll(journal.asidePath()), bytes))
            return QStringLiteral("the file set aside differs from the input; ") + state;
        if (journal.asidePath().isEmpty() && !QFileInfo::exists(path))
            return QStringLiteral("the file is gone; ") + state;
        if (!Holds(journal.runs(), run))
            return QStringLiteral("the run recorded is not among the runs; ") + state;
        switch (journal.state()) {
        case JournalState::Open:
            if (!stored || journal.pendingCount() != 0)
                return QStringLiteral("open, the run not stored; ") + state;
            break;
        case JournalState::NewerVersion:
            if (stored || ReadAll(path) != bytes)
                return QStringLiteral("a newer file changed; ") + state;
            break;
        case JournalState::ReadOnly:
            // SQLite's own rule: a file whose header names a later write version is read only.
            if (bytes.size() > 18 && quint8(bytes[18]) > 2 && ReadAll(path) == bytes)
                break;
            [[fallthrough]];
        default:
            // A writable file in a folder of its own: whatever it holds, runs are not lost.
            return QStringLiteral("the run held in memory; ") + state;
        }
    }
    // The next start uses the file as it was left.
    SqliteJournal next(path);
    if (!next.asidePath().isEmpty())
        return QStringLiteral("the file left is set aside at the next start: %1").arg(next.errorText());
    if (stored && !Holds(next.runs(), run))
        return QStringLiteral("the run stored is not read at the next start: %1").arg(next.errorText());
    return {};
}

} // namespace zrvfuzz

#include "journal/RunStore.h"

#include "journal/RoutineStore.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QTimeZone>
#include <algorithm>
#include <iterator>
#include <utility>

namespace
{
// The columns of the runs table, in the order in which runs are written and read.  Those of the
// third layout hold the pace a run was given; NULL: not known, as for the runs before it.
struct RunColumn {
    const char* name;
    const char* declaration;
    int layout = 2; // the first layout with the column as it is
};
constexpr RunColumn kRunColumns[] = {
    {"id", "INTEGER PRIMARY KEY"},        {"started_utc_ms", "INTEGER NOT NULL"},
    {"utc_offset_s", "INTEGER NOT NULL"}, {"exercise", "INTEGER NOT NULL"},
    {"type", "INTEGER NOT NULL"},         {"direction", "INTEGER NOT NULL"},
    {"lines", "INTEGER NOT NULL"},        {"letters", "INTEGER NOT NULL"},
    {"background", "INTEGER NOT NULL"},   {"active", "INTEGER NOT NULL"},
    {"passive", "INTEGER NOT NULL"},      {"dot", "INTEGER NOT NULL"},
    {"speed_ms", "INTEGER NOT NULL"},     {"duration_min", "INTEGER NOT NULL"},
    {"run_ms", "INTEGER NOT NULL"},       {"steps", "INTEGER NOT NULL"},
    {"ended", "TEXT NOT NULL"},           {"inactive", "INTEGER NOT NULL"},
    {"paused_ms", "INTEGER", 3},          {"delivered_us", "INTEGER", 3},
    {"late_steps", "INTEGER", 3},         {"worst_late_us", "INTEGER", 3},
    {"lost_steps", "INTEGER", 3},         {"refresh_mhz", "INTEGER", 3},
    {"routine_utc_ms", "INTEGER", 4},
};
constexpr int kColumnCount = int(std::size(kRunColumns));

// The runs table of `layout`.
QString createRunsSql(int layout)
{
    QStringList columns;
    for (const RunColumn& c : kRunColumns)
        if (c.layout <= layout)
            columns << QStringLiteral(" %1 %2").arg(QLatin1String(c.name), QLatin1String(c.declaration));
    return QStringLiteral("CREATE TABLE runs (%1)").arg(columns.join(QLatin1Char(',')));
}

QString columnList()
{
    QStringList names;
    for (const RunColumn& c : kRunColumns)
        names << QLatin1String(c.name);
    return names.join(QStringLiteral(", "));
}

// The columns as runs are read from a file of `layout`: the one text is cut to what a run's end
// can be called, so that a file with huge texts in it costs no more to read than any other; a
// column that later layouts added reads as NULL.
QString selectList(int layout)
{
    QStringList names;
    for (const RunColumn& c : kRunColumns)
        names << (c.layout > layout               ? QStringLiteral("NULL")
                  : qstrcmp(c.name, "ended") == 0 ? QStringLiteral("substr(ended, 1, 16)")
                                                  : QLatin1String(c.name));
    return names.join(QStringLiteral(", "));
}

const char* const kCreateIndex = "CREATE INDEX runs_by_exercise ON runs (exercise, started_utc_ms)";

// The new columns of `layout` in the runs table, NULL for the runs before.
QStringList addedColumnsSql(int layout)
{
    QStringList statements;
    for (const RunColumn& c : kRunColumns)
        if (c.layout == layout)
            statements << QStringLiteral("ALTER TABLE runs ADD COLUMN %1 %2")
                              .arg(QLatin1String(c.name), QLatin1String(c.declaration));
    return statements;
}

// How a run ended, as the file names it.
constexpr std::pair<RunEnd, const char*> kStoredEnds[] = {
    {RunEnd::Escape, "escape"},
    {RunEnd::Duration, "duration"},
    {RunEnd::DisplayFailure, "display"},
    {RunEnd::Stopped, "stopped"},
};

QString storedEndName(RunEnd end)
{
    for (const auto& [e, name] : kStoredEnds)
        if (e == end)
            return QLatin1String(name);
    return QStringLiteral("escape");
}

RunEnd endOfStoredName(const QString& name)
{
    for (const auto& [end, stored] : kStoredEnds)
        if (name == QLatin1String(stored))
            return end;
    return RunEnd::Escape;
}

// A figure that may not be known, as it is bound (NULL) and read back.
template <typename T> QVariant valueOrNull(const std::optional<T>& value)
{
    return value ? QVariant::fromValue(*value) : QVariant(QMetaType::fromType<T>());
}

template <typename T> std::optional<T> optionalOf(const QSqlQuery& query, int column)
{
    if (query.isNull(column))
        return std::nullopt;
    return query.value(column).value<T>();
}

bool newer(const RunRecord& a, const RunRecord& b)
{
    return a.started != b.started ? a.started > b.started : a.id > b.id;
}

// The WHERE clause of `query`, its values appended to `values`.
QString whereOf(const RunQuery& query, int layout, QVariantList& values)
{
    QString sql = QStringLiteral(" WHERE 1");
    if (query.exercise) {
        sql += QStringLiteral(" AND exercise = ?");
        values << *query.exercise;
    }
    if (query.from.isValid()) {
        sql += QStringLiteral(" AND started_utc_ms >= ?");
        values << query.from.toMSecsSinceEpoch();
    }
    if (query.to.isValid()) {
        sql += QStringLiteral(" AND started_utc_ms < ?");
        values << query.to.toMSecsSinceEpoch();
    }
    if (query.routineOnly) // a file read as it stands from before the routine has no step of it
        sql += layout >= 4 ? QStringLiteral(" AND routine_utc_ms IS NOT NULL") : QStringLiteral(" AND 0");
    return sql;
}

// A run from a row of the columns of kRunColumns, in their order (selectList()).
RunRecord runOfRow(const QSqlQuery& select)
{
    RunRecord run;
    run.id = select.value(0).toLongLong();
    run.started =
        QDateTime::fromMSecsSinceEpoch(select.value(1).toLongLong(), QTimeZone(select.value(2).toInt()));
    run.exercise = select.value(3).toInt();
    run.type = select.value(4).toInt();
    run.direction = select.value(5).toInt();
    run.lines = select.value(6).toInt();
    run.letters = select.value(7).toInt();
    for (int c = 0; c < 4; ++c)
        run.colours[size_t(c)] = ColorValue(select.value(8 + c).toUInt());
    run.pace = zrv::Pace(select.value(12).toInt());
    run.duration_minutes = select.value(13).toInt();
    run.run_ms = select.value(14).toLongLong();
    run.steps = select.value(15).toLongLong();
    run.end = endOfStoredName(select.value(16).toString());
    run.inactive = select.value(17).toBool();
    run.paused_ms = select.isNull(18) ? RunRecord::kUnknown : select.value(18).toLongLong();
    run.delivered_us = optionalOf<qint64>(select, 19);
    run.lateSteps = optionalOf<qint64>(select, 20);
    run.worstLate_us = optionalOf<qint64>(select, 21);
    run.lostSteps = optionalOf<qint64>(select, 22);
    run.refresh_mHz = optionalOf<int>(select, 23);
    run.routine_utc_ms = optionalOf<qint64>(select, 24);
    return run;
}

// What the table's runs are ordered by, in SQL.
QString orderExpression(RunKey key, int layout)
{
    switch (key) {
    case RunKey::Started:
        break;
    case RunKey::Exercise:
        return QStringLiteral("exercise");
    case RunKey::Type:
        return QStringLiteral("type");
    case RunKey::Pace:
        return QStringLiteral("speed_ms");
    case RunKey::Delivered: // a file of an older layout, read as it is, has no such column
        return layout >= 3 ? QStringLiteral("delivered_us") : QStringLiteral("NULL");
    case RunKey::RunTime:
        return QStringLiteral("run_ms");
    case RunKey::Steps:
        return QStringLiteral("steps");
    case RunKey::End: { // in the order of RunEnd, as endOfStoredName() reads the names
        QString sql = QStringLiteral("CASE substr(ended, 1, 16)");
        for (const auto& [end, name] : kStoredEnds)
            sql += QStringLiteral(" WHEN '%1' THEN %2").arg(QLatin1String(name)).arg(int(end));
        return sql + QStringLiteral(" ELSE %1 END").arg(int(RunEnd::Escape));
    }
    }
    return QStringLiteral("started_utc_ms");
}
} // namespace

QStringList RunStore::tablesSql(int layout)
{
    return {createRunsSql(layout), QString::fromLatin1(kCreateIndex)};
}

QStringList RunStore::migrationTo(int version)
{
    switch (version) {
    case 2: {
        // Version 1 kept the local start time as text without its offset ("2024-05-01
        // 18:30:00"), the colours as the selectors' item indexes, and did not know whether the
        // application was inactive.  The local time is read in the zone the machine has now.
        const auto colour = [](const char* column) {
            QString sql = QStringLiteral("CASE %1").arg(QLatin1String(column));
            for (int i = 0; i < int(zrv::kColors.size()); ++i)
                sql += QStringLiteral(" WHEN %1 THEN %2").arg(i).arg(zrv::colorOfIndex(i));
            return sql + QStringLiteral(" ELSE 0 END");
        };
        return {QStringLiteral("ALTER TABLE runs RENAME TO runs_v1"), createRunsSql(2),
                QStringLiteral("INSERT INTO runs SELECT id,"
                               " CAST(strftime('%s', started, 'utc') AS INTEGER) * 1000,"
                               " CAST(strftime('%s', started) AS INTEGER) -"
                               " CAST(strftime('%s', started, 'utc') AS INTEGER),"
                               " exercise, type, direction, lines, letters, %1, %2, %3, %4,"
                               " speed_ms, duration_min, run_ms, steps, ended, 0 FROM runs_v1")
                    .arg(colour("background"), colour("active"), colour("passive"), colour("dot")),
                QStringLiteral("DROP TABLE runs_v1"), QString::fromLatin1(kCreateIndex)};
    }
    case 3: // the pace delivered
        return addedColumnsSql(3);
    case 4: // which runs were the daily routine's steps
        return addedColumnsSql(4);
    default:
        return {};
    }
}

QStringList RunStore::columnNames(int layout)
{
    QStringList names;
    for (const RunColumn& c : kRunColumns)
        if (c.layout <= layout)
            names << QLatin1String(c.name);
    return names;
}

bool RunStore::storePending(QSqlError& error) const
{
    QSqlQuery insert(m_db);
    // The journal numbers the run: every column but the first is bound.
    insert.prepare(QStringLiteral("INSERT INTO runs (%1) VALUES (NULL%2)")
                       .arg(columnList(), QStringLiteral(", ?").repeated(kColumnCount - 1)));
    const QVariant unknown(QMetaType::fromType<qlonglong>());
    for (const RunRecord& run : std::as_const(m_pending)) {
        const QVariantList values{run.started.toMSecsSinceEpoch(),
                                  run.started.offsetFromUtc(),
                                  run.exercise,
                                  run.type,
                                  run.direction,
                                  run.lines,
                                  run.letters,
                                  run.colours[0],
                                  run.colours[1],
                                  run.colours[2],
                                  run.colours[3],
                                  run.pace.ms(),
                                  run.duration_minutes,
                                  run.run_ms,
                                  run.steps,
                                  storedEndName(run.end),
                                  int(run.inactive),
                                  run.paused_ms >= 0 ? QVariant(run.paused_ms) : unknown,
                                  valueOrNull(run.delivered_us),
                                  valueOrNull(run.lateSteps),
                                  valueOrNull(run.worstLate_us),
                                  valueOrNull(run.lostSteps),
                                  valueOrNull(run.refresh_mHz),
                                  valueOrNull(run.routine_utc_ms)};
        Q_ASSERT(values.size() == kColumnCount - 1);
        for (int i = 0; i < values.size(); ++i)
            insert.bindValue(i, values[i]);
        if (!insert.exec()) {
            error = insert.lastError();
            return false;
        }
    }
    return true;
}

QList<RunRecord> RunStore::runs(const RunQuery& query, std::optional<int> layout) const
{
    QList<RunRecord> runs;
    if (layout) {
        QSqlQuery select(m_db);
        QVariantList values;
        const QString sql = QStringLiteral("SELECT %1 FROM runs").arg(selectList(*layout)) +
                            whereOf(query, *layout, values) +
                            QStringLiteral(" ORDER BY started_utc_ms DESC, id DESC");
        if (execWith(select, sql, values)) {
            while (select.next())
                runs.append(runOfRow(select));
        }
    }
    for (const RunRecord& run : m_pending)
        if (query.matches(run))
            runs.append(run);
    std::stable_sort(runs.begin(), runs.end(), newer);
    return runs;
}

Totals RunStore::totals(const RunQuery& query, std::optional<int> layout) const
{
    QList<RunRecord> pending;
    for (const RunRecord& run : m_pending)
        if (query.matches(run))
            pending.append(run);
    Totals t = totalOf(pending);
    if (layout) {
        QSqlQuery select(m_db);
        QVariantList values;
        const QString where = whereOf(query, *layout, values);
        if (execWith(select, QStringLiteral("SELECT count(*), total(run_ms) FROM runs") + where, values) &&
            select.next()) {
            t.runs += select.value(0).toInt();
            t.minutes += select.value(1).toDouble() / 60'000.0;
        }
    }
    return t;
}

QList<RunRecord> RunStore::runPage(const RunOrder& order, qint64 offset, int limit,
                                   std::optional<int> layout) const
{
    QList<RunRecord> pending = m_pending;
    std::stable_sort(pending.begin(), pending.end(), newer);
    QList<RunRecord> page;
    for (qint64 i = offset; i < pending.size() && page.size() < limit; ++i)
        page.append(pending[i]);
    if (!layout || page.size() >= limit)
        return page;
    const QString direction = order.descending ? QStringLiteral(" DESC") : QStringLiteral(" ASC");
    QSqlQuery select(m_db);
    const QString sql =
        QStringLiteral("SELECT %1 FROM runs ORDER BY %2%3, started_utc_ms%3, id%3 LIMIT ? OFFSET ?")
            .arg(selectList(*layout), orderExpression(order.key, *layout), direction);
    if (execWith(select, sql, {limit - page.size(), qMax(qint64(0), offset - pending.size())}))
        while (select.next())
            page.append(runOfRow(select));
    return page;
}

bool RunStore::removeFromFile(const QList<RunRecord>& runs) const
{
    QSqlQuery drop(m_db);
    bool ok = drop.prepare(QStringLiteral("DELETE FROM runs WHERE id = ? AND started_utc_ms = ?"));
    for (const RunRecord& run : runs) {
        if (!ok || run.id <= 0)
            continue;
        drop.bindValue(0, run.id);
        drop.bindValue(1, run.started.toMSecsSinceEpoch());
        ok = drop.exec();
    }
    drop.finish();
    return ok;
}

void RunStore::forget(const QList<RunRecord>& runs)
{
    for (const RunRecord& run : runs)
        if (run.id == 0)
            m_pending.removeOne(run);
}

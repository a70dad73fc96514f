#include "journal/RoutineStore.h"

#include <QSqlQuery>

namespace
{
// The daily routine, beside the runs: its steps in order, the pace of each exercise, and its
// options by name.  "IF NOT EXISTS": a table of that name that an older file happens to hold
// is read as it is rather than failing the migration.
const char* const kRoutineTables[] = {
    "CREATE TABLE IF NOT EXISTS routine_steps"
    " (position INTEGER PRIMARY KEY, exercise INTEGER NOT NULL, duration_s INTEGER NOT NULL)",
    "CREATE TABLE IF NOT EXISTS routine_paces (exercise INTEGER PRIMARY KEY, interval_ms INTEGER NOT NULL,"
    " limit_ms INTEGER NOT NULL, since_utc_ms INTEGER NOT NULL)",
    "CREATE TABLE IF NOT EXISTS routine_options (name TEXT PRIMARY KEY, value INTEGER NOT NULL)",
};
} // namespace

QStringList RoutineStore::tablesSql()
{
    QStringList statements;
    for (const char* sql : kRoutineTables)
        statements << QString::fromLatin1(sql);
    return statements;
}

bool execWith(QSqlQuery& query, const QString& sql, const QVariantList& values)
{
    query.setForwardOnly(true);
    if (!query.prepare(sql))
        return false;
    for (int i = 0; i < values.size(); ++i)
        query.bindValue(i, values[i]);
    return query.exec();
}

std::optional<Routine> RoutineStore::read() const
{
    QSqlQuery select(m_db);
    select.setForwardOnly(true);
    Routine routine;
    bool stored = false;
    if (!select.exec(QStringLiteral("SELECT name, value FROM routine_options")))
        return std::nullopt;
    while (select.next()) {
        const QString name = select.value(0).toString();
        if (name == QLatin1String("stored"))
            stored = true;
        else if (name == QLatin1String("progression"))
            routine.progression = select.value(1).toBool();
        else if (name == QLatin1String("goal_minutes"))
            routine.goal_minutes = select.value(1).toInt();
    }
    if (!stored)
        return std::nullopt;
    if (!select.exec(QStringLiteral("SELECT exercise, duration_s FROM routine_steps ORDER BY position")))
        return std::nullopt;
    while (select.next())
        routine.steps.append({select.value(0).toInt(), select.value(1).toInt()});
    if (!select.exec(
            QStringLiteral("SELECT exercise, interval_ms, limit_ms, since_utc_ms FROM routine_paces")))
        return std::nullopt;
    while (select.next()) {
        const int exercise = select.value(0).toInt();
        const int pace_ms = select.value(1).toInt(); // 0: not set yet
        if (exercise >= 0 && exercise < Routine::kExercises)
            routine.paces[size_t(exercise)] = {
                pace_ms != 0 ? std::optional(zrv::Pace(pace_ms)) : std::nullopt,
                zrv::Pace(select.value(2).toInt()), select.value(3).toLongLong()};
    }
    return routine.normalized();
}

bool RoutineStore::write(const Routine& routine) const
{
    const auto run = [this](const QString& sql, const QVariantList& values) {
        QSqlQuery query(m_db);
        return execWith(query, sql, values);
    };
    bool ok = run(QStringLiteral("DELETE FROM routine_steps"), {}) &&
              run(QStringLiteral("DELETE FROM routine_paces"), {}) &&
              run(QStringLiteral("DELETE FROM routine_options"), {});
    for (int i = 0; ok && i < routine.steps.size(); ++i)
        ok =
            run(QStringLiteral("INSERT INTO routine_steps (position, exercise, duration_s) VALUES (?, ?, ?)"),
                {i, routine.steps[i].exercise, routine.steps[i].duration_s});
    for (int e = 0; ok && e < Routine::kExercises; ++e) {
        const RoutinePace& pace = routine.paces[size_t(e)];
        ok = run(QStringLiteral("INSERT INTO routine_paces (exercise, interval_ms, limit_ms, since_utc_ms) "
                                "VALUES (?, ?, ?, ?)"),
                 {e, pace.pace ? pace.pace->ms() : 0, pace.limit.ms(), pace.since_ms});
    }
    const std::pair<const char*, int> options[] = {
        {"stored", 1}, {"progression", int(routine.progression)}, {"goal_minutes", routine.goal_minutes}};
    for (const auto& [name, value] : options)
        ok = ok && run(QStringLiteral("INSERT INTO routine_options (name, value) VALUES (?, ?)"),
                       {QLatin1String(name), value});
    return ok;
}

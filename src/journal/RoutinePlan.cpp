#include "journal/RoutinePlan.h"

#include <QCoreApplication>
#include <QMap>
#include <QTimeZone>
#include <QtMath>
#include <algorithm>

PacePlan planPace(const RoutinePace& pace, bool progression, const QList<RunRecord>& runs,
                  const QDateTime& now)
{
    QList<RunRecord> ordered = runs;
    std::sort(ordered.begin(), ordered.end(),
              [](const RunRecord& a, const RunRecord& b) { return a.started < b.started; });
    PacePlan plan;
    plan.pace = pace.pace.value_or(zrv::Pace(zrv::Pace::kMin_ms));
    const QDateTime today = todayStart(now);
    for (const RunRecord& run : std::as_const(ordered)) {
        if (run.started < today) {
            plan.previous = run.pace;
            plan.previousDay = run.started.toTimeZone(now.timeZone()).date();
        }
        if (!progression || run.started.toMSecsSinceEpoch() < pace.since_ms ||
            (run.end != RunEnd::Duration && !isGivenUp(run)))
            continue;
        if (run.pace != plan.pace) {
            plan.pace = run.pace;
            plan.completeAtPace = 0;
        }
        if (run.end == RunEnd::Escape) {
            plan.pace = zrv::slowerPace(plan.pace);
            plan.completeAtPace = 0;
        } else if (++plan.completeAtPace >= zrv::kRunsToAdvance) {
            plan.pace = zrv::fasterPace(plan.pace, pace.limit);
            plan.completeAtPace = 0;
        }
    }
    // A limit raised since: the pace never runs faster than it.
    if (progression)
        plan.pace = std::max(plan.pace, pace.limit);
    plan.progression = progression;
    plan.advancing = progression && zrv::fasterPace(plan.pace, pace.limit) < plan.pace;
    return plan;
}

bool isFalseStart(const RunRecord& run)
{
    return run.end == RunEnd::Escape && run.run_ms < zrv::kFalseStart_ms;
}

bool isGivenUp(const RunRecord& run)
{
    return run.end == RunEnd::Escape && !isFalseStart(run);
}

QString runsText(const PacePlan& plan)
{
    if (!plan.progression)
        return {};
    const int runs = zrv::kRunsToAdvance;
    if (plan.advancing)
        return QCoreApplication::translate("RoutinePlan", "%1 / %n çalışma %2 ms'de", nullptr, runs)
            .arg(plan.completeAtPace)
            .arg(plan.pace.ms());
    return QCoreApplication::translate("RoutinePlan", "en hızlı %1 ms'de").arg(plan.pace.ms());
}

QString nextStepText(int exercise, const PacePlan& plan)
{
    const QString runs = runsText(plan);
    return runs.isEmpty() ? runs : exerciseName(exercise) + QStringLiteral(": ") + runs;
}

QString planText(int exercise, const PacePlan& plan, const QDateTime& now)
{
    QString text = QCoreApplication::translate("RoutinePlan", "%1 %2 ms")
                       .arg(exerciseName(exercise))
                       .arg(plan.pace.ms());
    if (plan.previous) {
        text += plan.previousDay == now.date().addDays(-1)
                    ? QCoreApplication::translate("RoutinePlan", " (dün %1 ms)").arg(plan.previous->ms())
                    : QCoreApplication::translate("RoutinePlan", " (son %1 ms)").arg(plan.previous->ms());
    }
    return text;
}

GoalFigures goalFigures(const QList<DayFigures>& days, int goal_minutes, const QDateTime& now)
{
    GoalFigures figures;
    const QDate today = now.date();
    const QDate monday = weekStart(now).date();
    QMap<QDate, double> minutes;
    for (const DayFigures& day : days) {
        minutes[day.day] += day.minutes;
        if (day.day >= monday && day.day <= today)
            figures.week_minutes += day.minutes;
    }
    figures.today_minutes = minutes.value(today);
    figures.metToday = figures.today_minutes >= goal_minutes;
    int missed = 0;
    for (QDate day = today; !minutes.isEmpty() && day >= minutes.firstKey(); day = day.addDays(-1)) {
        if (minutes.value(day) >= goal_minutes) {
            ++figures.streak_days;
            missed = 0;
        } else if (day != today && ++missed >= 2) {
            break;
        }
    }
    return figures;
}

QString progressText(const QList<RunRecord>& routineRuns, int exercise, const QDateTime& now, int weeks)
{
    const QDate firstWeek = weekStart(now).date().addDays(qint64(-7) * (weeks - 1));
    QMap<QDate, zrv::Pace> fastest; // the Monday of a week, and its fastest complete run
    for (const RunRecord& run : routineRuns) {
        const QDate monday = weekStart(run.started.toTimeZone(now.timeZone())).date();
        if (run.exercise != exercise || run.end != RunEnd::Duration || monday < firstWeek)
            continue;
        const auto it = fastest.find(monday);
        if (it == fastest.end() || run.pace < *it)
            fastest[monday] = run.pace;
    }
    if (fastest.isEmpty())
        return {};
    QStringList paces;
    for (const zrv::Pace pace : std::as_const(fastest))
        paces << QString::number(pace.ms());
    return QCoreApplication::translate("RoutinePlan", "%1 ms").arg(paces.join(QStringLiteral(" → ")));
}

QString goalText(double today_minutes, int goal_minutes)
{
    const QString goal =
        QCoreApplication::translate("RoutinePlan", "Günün hedefi (%1 dk): ").arg(goal_minutes);
    if (today_minutes >= goal_minutes)
        return goal + QCoreApplication::translate("RoutinePlan", "tamam");
    return goal +
           QCoreApplication::translate("RoutinePlan", "%1 dk eksik").arg(qCeil(goal_minutes - today_minutes));
}

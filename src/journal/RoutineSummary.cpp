#include "journal/RoutineSummary.h"

#include <QCoreApplication>
#include <QtMath>
#include <algorithm>

RoutineSummary summarizeRoutine(const Routine& routine, const QList<RunRecord>& routineRuns,
                                const QList<RunRecord>& recentRuns, qint64 start_utc_ms, const QDateTime& now)
{
    RoutineSummary summary;
    summary.goal_minutes = routine.goal_minutes;
    summary.goal = goalFigures(figuresByDay(recentRuns), routine.goal_minutes, now);
    for (int e = 0; e < Routine::kExercises; ++e) {
        QList<RunRecord> before;
        QList<RunRecord> all;
        std::optional<RunRecord> last; // this routine's last run of the exercise
        for (const RunRecord& run : routineRuns) {
            if (run.exercise != e)
                continue;
            all.append(run);
            if (run.routine_utc_ms != start_utc_ms)
                before.append(run);
            else if (!last || last->started <= run.started)
                last = run;
        }
        if (!last)
            continue;
        const RoutinePace& pace = routine.paces[size_t(e)];
        ExerciseOutcome outcome;
        outcome.exercise = e;
        outcome.before = planPace(pace, routine.progression, before, now).pace;
        outcome.after = planPace(pace, routine.progression, all, now);
        outcome.givenUp = isGivenUp(*last);
        outcome.falseStart = isFalseStart(*last);
        summary.complete = summary.complete && last->end == RunEnd::Duration;
        summary.exercises.append(outcome);
    }
    // Complete when each exercise of the routine ran to its end.
    for (const RoutineStep& step : routine.steps) {
        const bool ran = step.isRest() || std::any_of(summary.exercises.begin(), summary.exercises.end(),
                                                      [&step](const ExerciseOutcome& o) {
                                                          return o.exercise == step.exercise;
                                                      });
        summary.complete = summary.complete && ran;
    }
    return summary;
}

QString RoutineSummary::title() const
{
    return complete ? QCoreApplication::translate("RoutineSummary", "Program tamamlandı")
                    : QCoreApplication::translate("RoutineSummary", "Program erken bitti");
}

QStringList RoutineSummary::lines() const
{
    QStringList lines;
    lines << QCoreApplication::translate("RoutineSummary", "Bugün %1 dk").arg(qFloor(goal.today_minutes)) +
                 QStringLiteral(" · ") + goalText(goal.today_minutes, goal_minutes);
    lines << QCoreApplication::translate("RoutineSummary", "Seri: %n gün", nullptr, goal.streak_days);
    for (const ExerciseOutcome& outcome : exercises) {
        QString line = outcome.before == outcome.after.pace
                           ? QCoreApplication::translate("RoutineSummary", "%1 %2 ms")
                                 .arg(exerciseName(outcome.exercise))
                                 .arg(outcome.before.ms())
                           : QCoreApplication::translate("RoutineSummary", "%1 %2 → %3 ms")
                                 .arg(exerciseName(outcome.exercise))
                                 .arg(outcome.before.ms())
                                 .arg(outcome.after.pace.ms());
        if (outcome.givenUp && outcome.after.progression)
            line += QCoreApplication::translate("RoutineSummary", " (erken bırakıldı: hız bir adım geri)");
        else if (outcome.falseStart)
            line += QCoreApplication::translate("RoutineSummary", " (ilk %1 sn içinde bitti: hız aynı kaldı)")
                        .arg(zrv::kFalseStart_ms / 1000);
        const QString next = runsText(outcome.after);
        if (!next.isEmpty())
            line += QStringLiteral(" · ") + next;
        lines << line;
    }
    return lines;
}

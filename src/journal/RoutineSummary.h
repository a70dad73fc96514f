#pragma once

#include "journal/RoutinePlan.h"

#include <QStringList>

// What one run of the daily routine did, for the screen that closes it: the minutes trained
// today against the goal, the days in a row, and each exercise's pace before and after.

struct ExerciseOutcome {
    int exercise = 0;
    zrv::Pace before; // the pace the routine ran it at
    PacePlan after;   // its pace for the next run
    bool givenUp = false;
    bool falseStart = false;
};

struct RoutineSummary {
    GoalFigures goal;
    int goal_minutes = 0;
    bool complete = true; // every step ran to its end
    QList<ExerciseOutcome> exercises;

    QString title() const;
    // "Bugün 3 dk · Günün hedefi (3 dk): tamam", "Seri: 1 gün", then a line an exercise:
    // "Nokta 200 → 190 ms · 0 / 3 çalışma 190 ms'de".
    QStringList lines() const;
};

// The routine that started at `start_utc_ms`, from the routine's runs of every exercise (this
// run's among them) and the runs of the recent days (for the goal and the days in a row).
RoutineSummary summarizeRoutine(const Routine& routine, const QList<RunRecord>& routineRuns,
                                const QList<RunRecord>& recentRuns, qint64 start_utc_ms,
                                const QDateTime& now);

#pragma once

#include "core/Routine.h"
#include "journal/JournalFigures.h"
#include "journal/RunRecord.h"

#include <QDateTime>
#include <optional>

// The daily routine's plan from the journal: the pace each exercise runs at today, brought
// forward by complete runs and back by runs ended early, and the minutes trained against the
// daily goal.

// The pace of one exercise for the routine's next run.
struct PacePlan {
    zrv::Pace pace;
    int completeAtPace = 0; // complete runs at this pace so far (zrv::kRunsToAdvance bring it forward)
    std::optional<zrv::Pace> previous; // the pace of the last run before today
    QDate previousDay;
    bool progression = false;
    bool advancing = false; // progression is on and the pace has not reached its limit
};

// The pace `pace` stands for after `runs` (the routine's runs of that exercise, in any order).
// From pace.since_ms on, each run counts at the pace it ran at: kRunsToAdvance complete runs in
// a row (ended by their duration) bring it a step forward, never past pace.limit; a run
// given up with Escape takes it a step back, unless it ended within zrv::kFalseStart_ms of its
// start (a false start, which does not count at all).  Runs the program ended, or that could
// not be shown, do not count.  Without progression the pace stays as it was set.
PacePlan planPace(const RoutinePace& pace, bool progression, const QList<RunRecord>& runs,
                  const QDateTime& now);

// "Nokta 340 ms (dün 360 ms)": the exercise's pace today, with the last one before today.
QString planText(int exercise, const PacePlan& plan, const QDateTime& now);

// Whether the run is one that steps the pace back: given up with Escape after its false start.
bool isGivenUp(const RunRecord& run);
bool isFalseStart(const RunRecord& run);

// "Piramit: 2 / 3 çalışma 350 ms'de" (complete runs so far of those that bring the next step),
// "Piramit: en hızlı 200 ms'de" at the limit; empty without progression.
QString nextStepText(int exercise, const PacePlan& plan);
QString runsText(const PacePlan& plan); // the same without the exercise's name

// The minutes trained today and this week (every run counts, in the routine or not), whether
// today's goal is met, and the days in a row the goal was met: counted back from today, a
// single missed day pauses the count and two in a row end it; today counts once it is met.
struct GoalFigures {
    double today_minutes = 0;
    double week_minutes = 0;
    bool metToday = false;
    int streak_days = 0;
};
GoalFigures goalFigures(const QList<DayFigures>& days, int goal_minutes, const QDateTime& now);

// The routine's progress in one exercise for the journal: the fastest pace of its complete
// runs week by week, the oldest of the last `weeks` first ("400 → 380 → 360 ms"); empty when
// the routine has not run it.
QString progressText(const QList<RunRecord>& routineRuns, int exercise, const QDateTime& now, int weeks = 6);

// The day's goal for the journal: "Günün hedefi (5 dk): tamam" or "… 3 dk eksik".
QString goalText(double today_minutes, int goal_minutes);

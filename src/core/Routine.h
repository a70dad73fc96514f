#pragma once

#include "core/ExerciseSettings.h"

#include <QList>
#include <QString>
#include <array>
#include <optional>

// One step of the daily routine: an exercise run for a number of seconds, with the settings of
// that exercise's section and the routine's own pace for it, a rest, or a reading test (which
// lasts as long as the reading; its seconds are what it is reckoned at in the routine's total).
// A program from before reading tests drops such a step when it reads the routine.
struct RoutineStep {
    static constexpr int kRest = -1;
    static constexpr int kReading = -2;
    static constexpr int min_s = 1;
    static constexpr int max_s = 3600;

    int exercise = ExerciseSettings::Dot; // ExerciseSettings::Kind, or kRest
    int duration_s = 60;

    bool isRest() const { return exercise == kRest; }
    bool isReading() const { return exercise == kReading; }
    bool operator==(const RoutineStep&) const = default;
};

// The routine's pace for one exercise.  From `since_ms` (UTC) on, the routine's runs of the
// exercise move it; a pace set by hand starts again from there.  Never faster than `limit`.
struct RoutinePace {
    std::optional<zrv::Pace> pace; // not set yet: the exercise section's speed is taken at the first start
    zrv::Pace limit{100};
    qint64 since_ms = 0;

    bool operator==(const RoutinePace&) const = default;
};

// The daily routine: its steps in order, the pace of each exercise, whether the runs bring the
// pace forward, and the minutes a day the person means to train.
struct Routine {
    static constexpr int kExercises = 3;
    static constexpr int min_goal_minutes = 1;
    static constexpr int max_goal_minutes = 240;

    QList<RoutineStep> steps;
    std::array<RoutinePace, kExercises> paces{};
    bool progression = true;
    int goal_minutes = 3; // the standard routine's exercise time

    bool operator==(const Routine&) const = default;

    // Nokta 1 minute, a rest of 20 s, Piramit 1 minute, a rest, Blok 1 minute; its goal is the
    // minutes it trains, so one run of it meets the day's goal.
    static Routine standard();
    int totalSeconds() const;
    // The time of the exercises alone: rests are not training.
    int exerciseSeconds() const;
    // The routine with every number held to its range and unknown exercises dropped; a routine
    // read from a file may hold anything.
    Routine normalized() const;
};

namespace zrv
{

// How many complete runs at one pace bring the pace forward.
inline constexpr int kRunsToAdvance = 3;
// A run ended by Escape within this time of its start is a false start: it neither counts nor
// steps the pace back.  One given up later steps it back.
inline constexpr qint64 kFalseStart_ms = 10'000;

// The pace a few percent faster (5 %, in whole 10 ms above 200 ms), never faster than
// `limit`, and the pace a step back (5 % slower), never slower than the slowest pace.
Pace fasterPace(Pace pace, Pace limit);
Pace slowerPace(Pace pace);

// "Nokta", "Piramit", "Blok" or "Dinlenme" with its length: "Nokta · 1 dk", "Dinlenme · 20 sn".
QString stepName(const RoutineStep& step);
// "1 dk 20 sn", "45 sn", "2 dk".
QString secondsName(int seconds);

} // namespace zrv

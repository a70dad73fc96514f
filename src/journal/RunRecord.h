#pragma once

#include "core/Color.h"
#include "core/ExerciseSettings.h"

#include <QDateTime>
#include <QList>
#include <array>
#include <optional>

// How a run ended.
enum class RunEnd {
    Escape = 0,         // the user pressed Escape
    Duration = 1,       // the chosen duration ran out
    DisplayFailure = 2, // the display could not be taken; nothing was shown
    Stopped = 3,        // the program was told to end (a stop signal, the end of the session)
};

// One exercise run as the journal keeps it.  Type and direction are the item indexes of the
// settings window's selectors (the settings file holds the same numbers).
struct RunRecord {
    qint64 id = 0;     // the journal's number for the run; 0 until it is stored
    QDateTime started; // local date and time of the start, with its offset from UTC
    int exercise = 0;  // 0 Nokta, 1 Piramit, 2 Blok
    int type = 0;
    int direction = 0;
    int lines = 0;
    int letters = 0;
    std::array<ColorValue, 4> colours{}; // background, active text, passive text, dot
    zrv::Pace pace;                      // the time a step was shown (the journal's column "speed_ms")
    int duration_minutes = 0;            // 0: continuous
    qint64 run_ms = 0;                   // time the run lasted without its pauses, on the monotonic clock
    qint64 steps = 0;                    // steps shown after the first frame
    qint64 paused_ms = 0;                // time the run stood paused; kUnknown for runs of older journals
    RunEnd end = RunEnd::Escape;
    bool inactive = false; // the application was inactive at some time during the run
    // The pace the run was given, as the frame timer measured it; unknown (nullopt) for runs of
    // older journals, and the mean for a run with fewer than two steps in a row.
    std::optional<qint64> delivered_us; // mean interval between the steps shown
    std::optional<qint64> lateSteps;    // steps shown 1 ms or more after they were due
    std::optional<qint64> worstLate_us; // how late the latest step came
    std::optional<qint64> lostSteps;    // steps that were never shown: a tick came an interval late
    std::optional<int> refresh_mHz;     // the lowest refresh rate of the screen the run was shown on
    // A step of the daily routine that started at this moment (UTC); nullopt for a run of its own.
    std::optional<qint64> routine_utc_ms;

    static constexpr qint64 kUnknown = -1;

    bool operator==(const RunRecord&) const = default;

    // A run with these settings, nothing run yet.
    static RunRecord of(const ExerciseSettings& settings)
    {
        RunRecord run;
        run.exercise = settings.exercise;
        run.type = settings.type;
        run.direction = settings.direction;
        run.lines = settings.lines;
        run.letters = settings.letters;
        run.colours = {settings.background, settings.active, settings.passive, settings.dot};
        run.pace = settings.pace;
        run.duration_minutes = qMax(0, settings.minutes);
        return run;
    }
};

// Which runs a query returns: one exercise or all, started in [from, to) (an invalid bound
// leaves that side open).
struct RunQuery {
    std::optional<int> exercise;
    QDateTime from;
    QDateTime to;
    bool routineOnly = false; // only the steps of the daily routine

    bool matches(const RunRecord& run) const
    {
        return (!exercise || run.exercise == *exercise) && (!from.isValid() || run.started >= from) &&
               (!to.isValid() || run.started < to) && (!routineOnly || run.routine_utc_ms);
    }
};

// What the journal's table can be ordered by: a column of the runs.
enum class RunKey { Started, Exercise, Type, Pace, Delivered, RunTime, Steps, End };

// An order of the runs: by `key`, then by the start and the journal's number, all ascending or
// all descending (the default: newest first).
struct RunOrder {
    RunKey key = RunKey::Started;
    bool descending = true;
};

// The journal as the program sees it: runs go in when they end, and come out by exercise and
// date range, newest first.
class RunLog
{
  public:
    virtual ~RunLog() = default;
    // Keeps the run.  False when it could not be stored now; the journal then holds it in
    // memory, shows it in its queries and stores it with the next run that can be stored.
    virtual bool record(const RunRecord& run) = 0;
    virtual QList<RunRecord> runs(const RunQuery& query = {}) const = 0;
};

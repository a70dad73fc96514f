#pragma once

#include "journal/JournalFigures.h"

#include <QDateTime>
#include <QList>

// What the journal's chart of one exercise draws, worked out from its runs without widgets:
// a point for every run at its start and its own pace (never a mean of different paces), one
// series a type, since the types of an exercise are different tasks; the minutes trained per
// day; and a time axis on whole days, or on the hours of the day when every run is on one day.

// The runs of one type of the exercise.
struct PaceSeries {
    int type = 0;
    QList<RunRecord> runs;    // one point a run, oldest first
    QList<RunRecord> fastest; // the fastest run of each day, oldest first: the line of progress
};

struct PaceChart {
    QList<PaceSeries> series; // the types that were run, in the selector's order
    QList<DayFigures> days;   // the minutes trained on each day with runs
    // The time axis: `ticks` evenly spaced marks from `from` to `to`, both included, on whole
    // days (at their first moment: midnight, or later where the clocks skip it) or, when `hours`, on whole
    // hours.
    QDateTime from;
    QDateTime to;
    int ticks = 0;
    bool hours = false;
    int fastest_ms = 0; // the range of the paces
    int slowest_ms = 0;

    bool isEmpty() const { return series.isEmpty(); }
};

// The start of the first of the `days` days that end with the day of `now`.
QDateTime chartStart(const QDateTime& now, int days);

// The chart of `runs` (of one exercise, any order) up to the day of `now`, its time axis with no
// more than `maxTicks` marks.  Runs in which the display could not be taken showed nothing and
// are left out.
PaceChart paceChart(const QList<RunRecord>& runs, const QDateTime& now, int maxTicks);

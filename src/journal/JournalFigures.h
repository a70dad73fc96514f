#pragma once

#include "journal/RunRecord.h"

#include <QDate>
#include <QIODevice>

// Figures of a list of runs, for the journal's page: the pace per day, the time trained, and
// the texts that describe a run.

// One day on which the exercise was run.
struct DayFigures {
    QDate day;              // the local date at the start of the runs
    double interval_ms = 0; // the pace of that day: the intervals weighted by the time each run lasted
    double minutes = 0;     // time trained that day
    int runs = 0;
};

struct Totals {
    int runs = 0;
    double minutes = 0;
};

// The days of `runs` in date order, oldest first.
QList<DayFigures> figuresByDay(const QList<RunRecord>& runs);
Totals totalOf(const QList<RunRecord>& runs);

// Monday 00:00 of the week of `now`, and 00:00 of the day 29 days before `now` (the last 30
// days with today), in the time zone of `now`.
QDateTime weekStart(const QDateTime& now);
QDateTime thirtyDaysStart(const QDateTime& now);

// The Turkish names the settings window shows.
QString exerciseName(int exercise);
QString typeName(int exercise, int type);
QString directionName(int exercise, int direction); // empty for the Dot exercise, which has none
// The name of a colour of the colour selectors, or #RRGGBB for any other.
QString colourName(ColorValue colour);
QString endName(RunEnd end);
// "3 dakika", or "Sürekli" for a run that no duration ends.
QString durationName(int minutes);

// Writes the runs as CSV, UTF-8, one header row, one row a run, in the order given.  False
// when the device could not take it all.
bool writeCsv(QIODevice& device, const QList<RunRecord>& runs);

// The pace the run was given, for the journal's column "Gerçek (ms)": the mean interval between
// its steps in milliseconds with a decimal comma ("40,0"), or "—" when it is not known.
QString deliveredName(const RunRecord& run);
// What the steps of the run were on its screen and how many came late or were lost, for the
// run's tip: "Ekran 60 Hz: 40 ms'lik adımlar 2 ya da 3 kare (33,3 / 50 ms). Geç kalan adım: 3 (en
// çok 4,2 ms), kaybolan adım: 1".  Empty for a run of which none of it is known.
QString paceDetails(const RunRecord& run);

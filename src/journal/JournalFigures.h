#pragma once

#include "journal/RunRecord.h"

#include <QDate>
#include <QIODevice>
#include <QLocale>

// Figures of a list of runs, for the journal's page: the pace per day, the time trained, and
// the texts that describe a run.

// One day on which the exercise was run.
struct DayFigures {
    QDate day;          // the local date at the start of the runs
    double pace_ms = 0; // the pace of that day: the paces weighted by the time each run lasted
    double minutes = 0; // time trained that day
    int runs = 0;
};

struct Totals {
    int runs = 0;
    double minutes = 0;
};

// The days of `runs` in date order, oldest first.  A day's pace is its runs' intervals weighted
// by the time each lasted (alike when none lasted any time); times are summed in double, so that
// a sum of crafted values cannot overflow.
QList<DayFigures> figuresByDay(const QList<RunRecord>& runs);
Totals totalOf(const QList<RunRecord>& runs);

// The start of Monday of the week of `now`, of the day 29 days before `now` (the last 30 days
// with today), of the day after `now` and of `now`'s own day, in the time zone of `now`.  The start of a day
// is its first moment, which is not 00:00 where the clocks skip midnight.
QDateTime weekStart(const QDateTime& now);
QDateTime thirtyDaysStart(const QDateTime& now);
QDateTime tomorrowStart(const QDateTime& now);
QDateTime todayStart(const QDateTime& now);

// A time run: "4 dk 5 sn", "1 sa 2 dk", rounded to the second; a negative one with a minus sign.
QString spanName(double ms);

// The Turkish names the settings window shows.
QString exerciseName(int exercise);
QString typeName(int exercise, int type);
QString directionName(int exercise, int direction); // empty for the Dot exercise, which has none
// The name of a colour of the colour selectors, or #RRGGBB for any other.
QString colourName(ColorValue colour);
QString endName(RunEnd end);
// "3 dakika", or "Sürekli" for a run that no duration ends.
QString durationName(int minutes);

// Writes the runs as CSV for a spreadsheet of `locale`: UTF-8 with a byte-order mark, one header
// row, one row a run in the order given; fields separated by ';' where the locale's decimal
// sign is a comma, by ',' elsewhere, and numbers written with that decimal sign.  False when the
// device could not take it all.
bool writeCsv(QIODevice& device, const QList<RunRecord>& runs, const QLocale& locale = QLocale());

// The pace the run was given, for the journal's column "Gerçek (ms)": the mean interval between
// its steps in milliseconds with a decimal comma ("40,0"), or "—" when it is not known.
QString deliveredName(const RunRecord& run);
// What the steps of the run were on its screen and how many came late or were lost, for the
// run's tip: "Ekran 60 Hz: 40 ms'lik adımlar 2 ya da 3 kare (33,3 / 50 ms). Geç kalan adım: 3 (en
// çok 4,2 ms), kaybolan adım: 1".  Empty for a run of which none of it is known.
QString paceDetails(const RunRecord& run);

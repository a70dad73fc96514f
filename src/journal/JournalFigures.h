#pragma once

#include "journal/RunRecord.h"

#include <QDate>
#include <QIODevice>
#include <QLocale>

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

// Writes the runs as CSV for a spreadsheet of `locale`: UTF-8 with a byte-order mark, one header
// row, one row a run in the order given; fields separated by ';' where the locale's decimal
// sign is a comma, by ',' elsewhere, and numbers written with that decimal sign.  False when the
// device could not take it all.
bool writeCsv(QIODevice& device, const QList<RunRecord>& runs, const QLocale& locale = QLocale());

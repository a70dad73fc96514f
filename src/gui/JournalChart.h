#pragma once

#include "journal/RunRecord.h"

#include <QChartView>

struct PaceChart;

// The journal's chart of one exercise: a point for every run at its own pace, one colour a
// type, on a time axis on which the days without runs show (the hours of the day when all the
// runs are on one day); a line through each day's fastest run of a type; the minutes trained
// per day as light bars underneath.  The pace axis is in milliseconds a step and reads faster
// upwards.  Hovering over a point tells that run's figures, over a bar that day's.
class JournalChart : public QChartView
{
    Q_OBJECT
  public:
    // `compact`: for the settings window's page, the last 14 days; otherwise the last 30.
    explicit JournalChart(bool compact, QWidget* parent = nullptr);

    int days() const { return m_compact ? 14 : 30; }
    // 00:00 of the first day shown, the runs to give are those started from then on.
    QDateTime firstShown(const QDateTime& now) const;
    // Draws the runs of `exercise` (from firstShown(now) on).
    void showRuns(int exercise, const QList<RunRecord>& runs, const QDateTime& now);

  private:
    void clear();
    void addMinutes(const PaceChart& figures, class QDateTimeAxis* timeAxis);

    bool m_compact;
    QFont m_small;
};

#pragma once

#include "gui/RunChart.h"

#include <QChartView>

struct PaceChart;

// The journal's chart of one exercise: a point for every run at its own pace, one colour a
// type, on a time axis on which the days without runs show (the hours of the day when all the
// runs are on one day); a line through each day's fastest run of a type; the minutes trained
// per day as light bars underneath.  The pace axis is in milliseconds a step and reads faster
// upwards.  Hovering over a point tells that run's figures, over a bar that day's.
class JournalChart : public QChartView, public RunChart
{
    Q_OBJECT
  public:
    // `compact`: for the settings window's page, the last 14 days; otherwise the last 30.
    explicit JournalChart(bool compact, QWidget* parent = nullptr);

    int days() const { return m_compact ? 14 : 30; }
    QWidget* widget() override { return this; }
    QDateTime firstShown(const QDateTime& now) const override;
    void showRuns(int exercise, const QList<RunRecord>& runs, const QDateTime& now) override;
    void showReadings(const QList<ReadingTest>& tests, const QDateTime& now) override;

  private:
    void clear();
    void addMinutes(const PaceChart& figures, class QDateTimeAxis* timeAxis);

    bool m_compact;
    QFont m_small;
};

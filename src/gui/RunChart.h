#pragma once

#include "journal/ReadingStore.h"
#include "journal/RunRecord.h"

#include <QDateTime>
#include <QList>
#include <QStringList>
#include <QtPlugin>

class QWidget;

// The journal's chart of one exercise's runs.  It is drawn with Qt Charts, which takes a few
// milliseconds to load, so the chart lives in a module of its own (chart/, zerlivan_chart)
// that is loaded the first time a chart is made: the settings window does not wait for it at
// every start.
class RunChart
{
  public:
    virtual ~RunChart() = default;
    // The chart itself; the parent it was made with owns it.
    virtual QWidget* widget() = 0;
    // 00:00 of the first day shown: the runs to give are those started from then on.
    virtual QDateTime firstShown(const QDateTime& now) const = 0;
    // Draws the runs of `exercise` (from firstShown(now) on).
    virtual void showRuns(int exercise, const QList<RunRecord>& runs, const QDateTime& now) = 0;
    // Draws the reading tests that count (finished, and plausible as a reading) over the weeks:
    // words per minute and the share right as bars, the effective rate as the line.
    virtual void showReadings(const QList<ReadingTest>& tests, const QDateTime& now) = 0;
};

// What the module gives: charts made on demand.
class RunChartFactory
{
  public:
    virtual ~RunChartFactory() = default;
    // `compact`: for the settings window's page, the last 14 days; otherwise the last 30.
    virtual RunChart* createChart(bool compact, QWidget* parent) = 0;
};

#define ZRV_RUN_CHART_FACTORY_IID "example.nivoleth.zerlivan.RunChartFactory/2"
Q_DECLARE_INTERFACE(RunChartFactory, ZRV_RUN_CHART_FACTORY_IID)

namespace zrv
{
// The folders the module is looked for in, first to last: beside the program where it is
// installed (bin/../lib/zerlivan/plugins, as in the build tree), then Qt's library paths
// (QT_PLUGIN_PATH adds to them).
QStringList runChartFolders();
// The module's factory from the first of `folders` that holds the module, loaded once and
// kept; nullptr, with `error` saying why, when no folder holds a module that loads.
RunChartFactory* loadRunChartFactory(const QStringList& folders, QString* error);
// A chart from the module found in runChartFolders(); nullptr, with `error` saying why.
RunChart* createRunChart(bool compact, QWidget* parent, QString* error);
} // namespace zrv

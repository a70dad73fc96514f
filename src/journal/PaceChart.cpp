#include "journal/PaceChart.h"

#include <QTimeZone>
#include <algorithm>
#include <map>

namespace
{
constexpr qint64 kSecsPerHour = 3600;

// The whole hour at or before `t`, in `zone`.
QDateTime hourOf(const QDateTime& t, const QTimeZone& zone)
{
    // Counted back from `t`: a whole hour that the clocks skip has no time of its own.
    const QDateTime local = t.toTimeZone(zone);
    const QTime time = local.time();
    return local.addMSecs(-qint64(time.minute() * 60 + time.second()) * 1000 - time.msec());
}

// Spreads `units` whole days or hours over at most `maxTicks` marks: how many units a step.
int stepOf(qint64 units, int maxTicks)
{
    const qint64 intervals = qMax(1, maxTicks - 1);
    return int(qMax<qint64>(1, (units + intervals - 1) / intervals));
}
} // namespace

QDateTime chartStart(const QDateTime& now, int days)
{
    return now.date().addDays(1 - days).startOfDay(now.timeZone());
}

PaceChart paceChart(const QList<RunRecord>& runs, const QDateTime& now, int maxTicks)
{
    QList<RunRecord> shown;
    for (const RunRecord& run : runs)
        if (run.end != RunEnd::DisplayFailure)
            shown.append(run);
    PaceChart chart;
    if (shown.isEmpty())
        return chart;
    std::stable_sort(shown.begin(), shown.end(),
                     [](const RunRecord& a, const RunRecord& b) { return a.started < b.started; });

    std::map<int, PaceSeries> byType;
    std::map<std::pair<int, QDate>, RunRecord> fastest;
    chart.fastest_ms = shown.first().pace.ms();
    chart.slowest_ms = shown.first().pace.ms();
    for (const RunRecord& run : shown) {
        PaceSeries& series = byType[run.type];
        series.type = run.type;
        series.runs.append(run);
        const auto [it, first] = fastest.try_emplace({run.type, run.started.date()}, run);
        if (!first && run.pace < it->second.pace)
            it->second = run;
        chart.fastest_ms = qMin(chart.fastest_ms, run.pace.ms());
        chart.slowest_ms = qMax(chart.slowest_ms, run.pace.ms());
    }
    for (const auto& [key, run] : fastest)
        byType[key.first].fastest.append(run);
    for (auto& [type, series] : byType)
        chart.series.append(std::move(series));
    chart.days = figuresByDay(shown);

    const QTimeZone zone = now.timeZone();
    const QDate firstDay = chart.days.first().day;
    const QDate lastDay = chart.days.last().day;
    if (firstDay == lastDay) {
        // One day: its hours, with half an hour either side of the runs.
        chart.hours = true;
        chart.from = hourOf(shown.first().started.addSecs(-kSecsPerHour / 2), zone);
        const QDateTime last = shown.last().started.addSecs(kSecsPerHour / 2);
        chart.to = hourOf(last, zone);
        if (chart.to < last)
            chart.to = chart.to.addSecs(kSecsPerHour);
        const qint64 hours = chart.from.secsTo(chart.to) / kSecsPerHour;
        const int step = stepOf(hours, maxTicks);
        const qint64 steps = (hours + step - 1) / step;
        chart.to = chart.from.addSecs(steps * step * kSecsPerHour);
        chart.ticks = int(steps) + 1;
        return chart;
    }
    // From the first day with runs to today, so that the days without runs show, the last
    // ones too; the axis starts earlier when the days do not fill its steps.
    const QDate end = std::max(now.date(), lastDay).addDays(1);
    const qint64 days = firstDay.daysTo(end);
    const int step = stepOf(days, maxTicks);
    const qint64 steps = (days + step - 1) / step;
    chart.from = end.addDays(-steps * step).startOfDay(zone);
    chart.to = end.startOfDay(zone);
    chart.ticks = int(steps) + 1;
    return chart;
}

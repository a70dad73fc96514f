#include "chart/JournalChart.h"

#include "journal/JournalFigures.h"
#include "journal/PaceChart.h"

#include <QAreaSeries>
#include <QChart>
#include <QCoreApplication>
#include <QCursor>
#include <QDateTimeAxis>
#include <QGraphicsLayout>
#include <QLegendMarker>
#include <QLineSeries>
#include <QLocale>
#include <QScatterSeries>
#include <QTimeZone>
#include <QToolTip>
#include <QValueAxis>

#include <algorithm>

namespace
{
// A colour a type, the same for its points and its line.
const QColor kTypeColours[] = {QColor(0x1f, 0x6f, 0xb4), QColor(0xd0, 0x50, 0x2a), QColor(0x2e, 0x9a, 0x4a),
                               QColor(0x8a, 0x56, 0xb8), QColor(0xb8, 0x8a, 0x10)};
const QColor kMinutesColour(0xdc, 0xe6, 0xf0);
const QColor kGridColour(0xe2, 0xe2, 0xe2);
constexpr double kMsPerMinute = 60'000.0;

QColor typeColour(int type)
{
    return kTypeColours[qBound(0, type, int(std::size(kTypeColours)) - 1)];
}

QString span(qint64 ms)
{
    const qint64 s = (ms + 500) / 1000;
    if (s >= 3600)
        return QCoreApplication::translate("JournalChart", "%1 sa %2 dk").arg(s / 3600).arg(s / 60 % 60);
    return QCoreApplication::translate("JournalChart", "%1 dk %2 sn").arg(s / 60).arg(s % 60);
}

QString dayName(const QDate& day)
{
    // The names of days and months in the language of the rest.
    const QLocale language(QCoreApplication::translate("JournalChart", "tr_TR", "locale of the day names"));
    return language.toString(day, QCoreApplication::translate("JournalChart", "d MMMM yyyy, dddd"));
}

QString runText(const RunRecord& run)
{
    QString text = dayName(run.started.date()) + QStringLiteral(" ") +
                   run.started.toString(QStringLiteral("HH:mm")) + QStringLiteral("\n") +
                   typeName(run.exercise, run.type) + QStringLiteral(": %1 ms").arg(run.pace.ms()) +
                   QCoreApplication::translate("JournalChart", "\nÇalışılan: ") + span(run.run_ms) +
                   QCoreApplication::translate("JournalChart", "\nBitiş: ") + endName(run.end);
    if (run.inactive)
        text += QCoreApplication::translate("JournalChart", "\nProgram bir süre etkin değildi.");
    return text;
}
} // namespace

JournalChart::JournalChart(bool compact, QWidget* parent)
    : QChartView(new QChart, parent), m_compact(compact), m_small(font())
{
    QChart* c = chart();
    c->setMargins(compact ? QMargins(2, 2, 2, 2) : QMargins(8, 8, 8, 8));
    c->legend()->setAlignment(Qt::AlignBottom);
    c->setBackgroundRoundness(0);
    if (compact) {
        c->layout()->setContentsMargins(0, 0, 0, 0);
        // The font is set in points or in pixels.
        if (m_small.pointSizeF() > 0)
            m_small.setPointSizeF(m_small.pointSizeF() * 0.85);
        else
            m_small.setPixelSize(qMax(8, m_small.pixelSize() * 85 / 100));
        c->legend()->setFont(m_small);
        c->setTitleFont(m_small);
    }
    setRenderHint(QPainter::Antialiasing);
    setMinimumHeight(compact ? 170 : 260);
}

QDateTime JournalChart::firstShown(const QDateTime& now) const
{
    return chartStart(now, days());
}

void JournalChart::clear()
{
    QChart* c = chart();
    c->removeAllSeries();
    // The chart gives a removed axis back to its caller: it is ours to delete.
    for (QAbstractAxis* axis : c->axes()) {
        c->removeAxis(axis);
        delete axis;
    }
}

void JournalChart::showRuns(int exercise, const QList<RunRecord>& runs, const QDateTime& now)
{
    clear();
    QChart* c = chart();
    const PaceChart figures = paceChart(runs, now, m_compact ? 8 : 16);
    if (figures.isEmpty()) {
        c->setTitle(QCoreApplication::translate("JournalChart", "%1: son %2 günde çalışma yok")
                        .arg(exerciseName(exercise))
                        .arg(days()));
        return;
    }
    if (figures.hours) {
        const DayFigures& day = figures.days.first();
        c->setTitle(
            QCoreApplication::translate("JournalChart", "%1, %2: %n çalışma, %3", nullptr, day.runs)
                .arg(exerciseName(exercise), dayName(day.day), span(qint64(day.minutes * kMsPerMinute))));
    } else {
        c->setTitle(m_compact
                        ? QCoreApplication::translate("JournalChart", "%1, son %2 gün: her nokta bir çalışma")
                              .arg(exerciseName(exercise))
                              .arg(days())
                        : QCoreApplication::translate("JournalChart",
                                                      "%1, son %2 gün: her nokta bir çalışma, çizgi her "
                                                      "günün en hızlı çalışması")
                              .arg(exerciseName(exercise))
                              .arg(days()));
    }

    auto* timeAxis = new QDateTimeAxis;
    timeAxis->setRange(figures.from, figures.to);
    timeAxis->setTickCount(figures.ticks);
    timeAxis->setFormat(figures.hours
                            ? QStringLiteral("HH:mm")
                            : QCoreApplication::translate("JournalChart", "dd.MM", "day and month"));
    timeAxis->setGridLineColor(kGridColour);
    auto* paceAxis = new QValueAxis;
    // The fewer milliseconds a step, the faster: faster is up.
    paceAxis->setReverse(true);
    paceAxis->setTitleText(m_compact ? QCoreApplication::translate("JournalChart", "ms  ↑ daha hızlı")
                                     : QCoreApplication::translate("JournalChart", "Hız (ms)  ↑ daha hızlı"));
    const int pad_ms = qMax(20, (figures.slowest_ms - figures.fastest_ms) / 10);
    paceAxis->setRange(qMax(0, figures.fastest_ms - pad_ms), figures.slowest_ms + pad_ms);
    paceAxis->applyNiceNumbers();
    paceAxis->setLabelFormat(QStringLiteral("%d"));
    paceAxis->setGridLineColor(kGridColour);
    c->addAxis(timeAxis, Qt::AlignBottom);
    c->addAxis(paceAxis, Qt::AlignLeft);
    if (m_compact) {
        timeAxis->setLabelsFont(m_small);
        paceAxis->setLabelsFont(m_small);
        paceAxis->setTitleFont(m_small);
    }

    if (!figures.hours)
        addMinutes(figures, timeAxis);

    for (const PaceSeries& type : figures.series) {
        const QColor colour = typeColour(type.type);
        if (!figures.hours && type.fastest.size() > 1) {
            auto* line = new QLineSeries;
            QColor lineColour = colour;
            lineColour.setAlpha(150);
            line->setPen(QPen(lineColour, m_compact ? 1.2 : 1.6));
            for (const RunRecord& run : type.fastest)
                line->append(double(run.started.toMSecsSinceEpoch()), run.pace.ms());
            c->addSeries(line);
            line->attachAxis(timeAxis);
            line->attachAxis(paceAxis);
            for (QLegendMarker* marker : c->legend()->markers(line))
                marker->setVisible(false);
        }
        auto* points = new QScatterSeries;
        points->setName(typeName(exercise, type.type));
        points->setColor(colour);
        points->setBorderColor(colour.darker(130));
        points->setMarkerSize(m_compact ? 7 : 9);
        for (const RunRecord& run : type.runs)
            points->append(double(run.started.toMSecsSinceEpoch()), run.pace.ms());
        c->addSeries(points);
        points->attachAxis(timeAxis);
        points->attachAxis(paceAxis);
        // The point hovered comes back from the screen, not exactly as given: the run nearest
        // to it on the plot.
        const QSizeF scale(double(figures.from.msecsTo(figures.to)), paceAxis->max() - paceAxis->min());
        connect(points, &QXYSeries::hovered, this,
                [this, scale, runs = type.runs](const QPointF& point, bool over) {
                    if (!over || runs.isEmpty()) {
                        QToolTip::hideText();
                        return;
                    }
                    const auto distance = [&](const RunRecord& run) {
                        return qAbs(double(run.started.toMSecsSinceEpoch()) - point.x()) / scale.width() +
                               qAbs(run.pace.ms() - point.y()) / scale.height();
                    };
                    const RunRecord& nearest = *std::min_element(
                        runs.begin(), runs.end(),
                        [&](const RunRecord& a, const RunRecord& b) { return distance(a) < distance(b); });
                    QToolTip::showText(QCursor::pos(), runText(nearest), this);
                });
    }
}

void JournalChart::addMinutes(const PaceChart& figures, QDateTimeAxis* timeAxis)
{
    // A bar a day with runs, narrower than the day so that days side by side stay apart.
    auto* top = new QLineSeries;
    double maxMinutes = 0;
    const QTimeZone zone = figures.from.timeZone();
    for (const DayFigures& day : figures.days) {
        const double start = double(day.day.startOfDay(zone).toMSecsSinceEpoch());
        const double width = 24 * 3600 * 1000.0;
        const double left = start + width * 0.15;
        const double right = start + width * 0.85;
        *top << QPointF(left, 0) << QPointF(left, day.minutes) << QPointF(right, day.minutes)
             << QPointF(right, 0);
        maxMinutes = qMax(maxMinutes, day.minutes);
    }
    auto* bars = new QAreaSeries(top);
    top->setParent(bars); // an area does not own the line it fills under
    bars->setName(QCoreApplication::translate("JournalChart", "Dakika/gün"));
    bars->setColor(kMinutesColour);
    bars->setBorderColor(kMinutesColour.darker(115));
    QChart* c = chart();
    c->addSeries(bars);

    auto* minutesAxis = new QValueAxis;
    // The bars keep to the lower part, under most of the points.
    minutesAxis->setRange(0, qMax(1.0, maxMinutes * 2.5));
    minutesAxis->applyNiceNumbers();
    minutesAxis->setLabelFormat(minutesAxis->max() >= 5 ? QStringLiteral("%d") : QStringLiteral("%.1f"));
    minutesAxis->setGridLineVisible(false);
    minutesAxis->setLabelsColor(kMinutesColour.darker(170));
    if (m_compact) {
        minutesAxis->setLabelsFont(m_small);
    } else {
        minutesAxis->setTitleText(QCoreApplication::translate("JournalChart", "Dakika/gün"));
        minutesAxis->setTitleBrush(kMinutesColour.darker(170));
    }
    c->addAxis(minutesAxis, Qt::AlignRight);
    bars->attachAxis(timeAxis);
    bars->attachAxis(minutesAxis);

    const QList<DayFigures> days = figures.days;
    connect(bars, &QAreaSeries::hovered, this, [this, days, zone](const QPointF& point, bool over) {
        if (!over) {
            QToolTip::hideText();
            return;
        }
        const QDate date = QDateTime::fromMSecsSinceEpoch(qint64(point.x()), zone).date();
        for (const DayFigures& day : days)
            if (day.day == date)
                QToolTip::showText(
                    QCursor::pos(),
                    dayName(day.day) +
                        QCoreApplication::translate("JournalChart", "\n%n çalışma, ", nullptr, day.runs) +
                        span(qint64(day.minutes * kMsPerMinute)),
                    this);
    });
}

void JournalChart::showReadings(const QList<ReadingTest>& tests, const QDateTime& now)
{
    clear();
    QChart* c = chart();
    QList<ReadingTest> counted;
    for (const ReadingTest& t : tests)
        if (t.counts())
            counted << t;
    if (counted.isEmpty()) {
        c->setTitle(QCoreApplication::translate("JournalChart", "Sayılan okuma testi yok"));
        return;
    }
    c->setTitle(m_compact ? QCoreApplication::translate("JournalChart", "Okuma testleri")
                          : QCoreApplication::translate("JournalChart",
                                                        "Okuma testleri: çubuklar kelime/dk ve anlama, "
                                                        "çizgi etkin hız"));
    // From the Monday of the first test's week to the end of today: the weeks show.
    const QDateTime from = weekStart(counted.first().started.toTimeZone(now.timeZone()));
    const QDateTime to = tomorrowStart(now);
    const double span_ms = double(from.msecsTo(to));
    auto* timeAxis = new QDateTimeAxis;
    timeAxis->setRange(from, to);
    timeAxis->setTickCount(int(std::clamp<qint64>(from.daysTo(to) + 1, 2, m_compact ? 6 : 10)));
    timeAxis->setFormat(QStringLiteral("dd.MM"));
    timeAxis->setGridLineColor(kGridColour);
    auto* wpmAxis = new QValueAxis;
    wpmAxis->setTitleText(QCoreApplication::translate("JournalChart", "Kelime/dk"));
    wpmAxis->setLabelFormat(QStringLiteral("%d"));
    wpmAxis->setGridLineColor(kGridColour);
    auto* shareAxis = new QValueAxis;
    shareAxis->setRange(0, 100);
    shareAxis->setLabelFormat(QStringLiteral("%d %%"));
    shareAxis->setGridLineVisible(false);
    c->addAxis(timeAxis, Qt::AlignBottom);
    c->addAxis(wpmAxis, Qt::AlignLeft);
    c->addAxis(shareAxis, Qt::AlignRight);
    if (m_compact) {
        for (QAbstractAxis* axis :
             {static_cast<QAbstractAxis*>(timeAxis), static_cast<QAbstractAxis*>(wpmAxis),
              static_cast<QAbstractAxis*>(shareAxis)}) {
            axis->setLabelsFont(m_small);
            axis->setTitleFont(m_small);
        }
    }

    // Two thin bars a test, side by side: its speed (left axis) and its share right (right axis).
    const double bar_ms = std::max(span_ms / 120, 3600'000.0);
    auto* wpmTop = new QLineSeries;
    auto* shareTop = new QLineSeries;
    auto* effective = new QLineSeries;
    double most = 0;
    for (const ReadingTest& t : std::as_const(counted)) {
        const zrv::ReadingFigures f = t.figures();
        const double x = double(t.started.toMSecsSinceEpoch());
        *wpmTop << QPointF(x - bar_ms, 0) << QPointF(x - bar_ms, f.wordsPerMinute)
                << QPointF(x, f.wordsPerMinute) << QPointF(x, 0);
        if (f.comprehension) {
            const double share = *f.comprehension * 100;
            *shareTop << QPointF(x, 0) << QPointF(x, share) << QPointF(x + bar_ms, share)
                      << QPointF(x + bar_ms, 0);
            effective->append(x, f.effectiveRate);
        }
        most = std::max(most, f.wordsPerMinute);
    }
    wpmAxis->setRange(0, std::max(100.0, most * 1.15));
    wpmAxis->applyNiceNumbers();
    const auto bars = [&](QLineSeries* top, const QString& name, const QColor& colour, QValueAxis* axis) {
        auto* area = new QAreaSeries(top);
        top->setParent(area);
        area->setName(name);
        area->setColor(colour);
        area->setBorderColor(colour.darker(125));
        c->addSeries(area);
        area->attachAxis(timeAxis);
        area->attachAxis(axis);
    };
    bars(wpmTop, QCoreApplication::translate("JournalChart", "Kelime/dk"), QColor(0x9c, 0xc0, 0xe4), wpmAxis);
    bars(shareTop, QCoreApplication::translate("JournalChart", "Anlama (%)"), QColor(0xc8, 0xe0, 0xb4),
         shareAxis);
    effective->setName(QCoreApplication::translate("JournalChart", "Etkin hız"));
    effective->setPen(QPen(kTypeColours[1], m_compact ? 1.6 : 2.2));
    effective->setPointsVisible(true);
    c->addSeries(effective);
    effective->attachAxis(timeAxis);
    effective->attachAxis(wpmAxis);
}

#include "journal/JournalFigures.h"

#include "core/StepFrames.h"

#include <QStringList>
#include <QTextStream>
#include <QTimeZone>
#include <map>

namespace
{
constexpr double kMsPerMinute = 60'000.0;

QString item(const QStringList& items, int index)
{
    return index >= 0 && index < items.size() ? items[index] : QString::number(index);
}

// A CSV field: quoted when it holds a separator, a quote or a line break.
QString field(const QString& text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}
} // namespace

QList<DayFigures> figuresByDay(const QList<RunRecord>& runs)
{
    struct Sums {
        double weightedInterval = 0;
        double intervalSum = 0;
        qint64 run_ms = 0;
        int runs = 0;
    };
    std::map<QDate, Sums> days;
    for (const RunRecord& run : runs) {
        Sums& s = days[run.started.date()];
        s.weightedInterval += double(run.interval_ms) * double(run.run_ms);
        s.intervalSum += run.interval_ms;
        s.run_ms += run.run_ms;
        ++s.runs;
    }
    QList<DayFigures> figures;
    for (const auto& [day, s] : days) {
        // Runs that lasted no time at all count alike.
        const double interval_ms =
            s.run_ms > 0 ? s.weightedInterval / double(s.run_ms) : s.intervalSum / s.runs;
        figures.append({day, interval_ms, double(s.run_ms) / kMsPerMinute, s.runs});
    }
    return figures;
}

Totals totalOf(const QList<RunRecord>& runs)
{
    Totals t;
    for (const RunRecord& run : runs) {
        ++t.runs;
        t.minutes += double(run.run_ms) / kMsPerMinute;
    }
    return t;
}

QDateTime weekStart(const QDateTime& now)
{
    const QDate monday = now.date().addDays(1 - now.date().dayOfWeek());
    return QDateTime(monday, QTime(0, 0), now.timeZone());
}

QDateTime thirtyDaysStart(const QDateTime& now)
{
    return QDateTime(now.date().addDays(-29), QTime(0, 0), now.timeZone());
}

QString exerciseName(int exercise)
{
    return item({QStringLiteral("Nokta"), QStringLiteral("Piramit"), QStringLiteral("Blok")}, exercise);
}

QString typeName(int exercise, int type)
{
    switch (exercise) {
    case 0:
        return item({QStringLiteral("1 2 3 4"), QStringLiteral("1 2 4 3"), QStringLiteral("1 4 2 3"),
                     QStringLiteral("1 2 4 3 5 8 6 7"), QStringLiteral("1 4 2 3 5 6 8 7")},
                    type);
    case 1:
        return item({QStringLiteral("Üçgen"), QStringLiteral("Tek Satır")}, type);
    case 2:
        return item({QStringLiteral("Ayrı bloklar"), QStringLiteral("Bitişik bloklar")}, type);
    default:
        return QString::number(type);
    }
}

QString directionName(int exercise, int direction)
{
    switch (exercise) {
    case 0:
        return QString();
    case 1:
        return item({QStringLiteral("Tek Yön"), QStringLiteral("Çift Yön")}, direction);
    case 2:
        return item({QStringLiteral("Dikey"), QStringLiteral("Yatay"), QStringLiteral("Zigzag")}, direction);
    default:
        return QString::number(direction);
    }
}

QString colourName(ColorValue colour)
{
    for (const zrv::NamedColor& c : zrv::kColors)
        if (c.color == colour)
            return QString::fromUtf8(c.name);
    return QStringLiteral("#%1%2%3")
        .arg(redOf(colour), 2, 16, QLatin1Char('0'))
        .arg(greenOf(colour), 2, 16, QLatin1Char('0'))
        .arg(blueOf(colour), 2, 16, QLatin1Char('0'))
        .toUpper();
}

QString endName(RunEnd end)
{
    switch (end) {
    case RunEnd::Duration:
        return QStringLiteral("Süre doldu");
    case RunEnd::DisplayFailure:
        return QStringLiteral("Ekran açılamadı");
    case RunEnd::Stopped:
        return QStringLiteral("Durduruldu");
    case RunEnd::Escape:
        break;
    }
    return QStringLiteral("Escape");
}

QString durationName(int minutes)
{
    return minutes > 0 ? QStringLiteral("%1 dakika").arg(minutes) : QStringLiteral("Sürekli");
}

bool writeCsv(QIODevice& device, const QList<RunRecord>& runs)
{
    QTextStream out(&device);
    out.setEncoding(QStringConverter::Utf8);
    out << "Başlangıç,Alıştırma,Tip,Yön,Satır,Harf,Zemin Rengi,Aktif Metin Rengi,Pasif Metin Rengi,Nokta "
           "Rengi,"
           "Hız (ms),Süre,Çalışılan (sn),Adım,Bitiş,Arada Etkin Değildi,"
           "Gerçek (ms),Geç Adım,En Geç (ms),Kayıp Adım,Ekran (Hz)\r\n";
    const auto known = [](const auto& figure, double unit, int decimals) {
        return figure ? QString::number(double(*figure) / unit, 'f', decimals) : QString();
    };
    for (const RunRecord& run : runs) {
        const bool dot = run.exercise == 0;
        const QStringList fields{
            run.started.toString(Qt::ISODate),
            exerciseName(run.exercise),
            typeName(run.exercise, run.type),
            directionName(run.exercise, run.direction),
            dot ? QString() : QString::number(run.lines),
            dot ? QString() : QString::number(run.letters),
            colourName(run.colours[0]),
            colourName(run.colours[1]),
            colourName(run.colours[2]),
            dot ? QString() : colourName(run.colours[3]),
            QString::number(run.interval_ms),
            durationName(run.duration_minutes),
            QString::number(double(run.run_ms) / 1000.0, 'f', 1),
            QString::number(run.steps),
            endName(run.end),
            run.inactive ? QStringLiteral("evet") : QStringLiteral("hayır"),
            known(run.delivered_us, 1000.0, 3),
            known(run.lateSteps, 1.0, 0),
            known(run.worstLate_us, 1000.0, 3),
            known(run.lostSteps, 1.0, 0),
            known(run.refresh_mHz, 1000.0, 3),
        };
        QStringList quoted;
        for (const QString& f : fields)
            quoted << field(f);
        out << quoted.join(QLatin1Char(',')) << "\r\n";
    }
    out.flush();
    return out.status() == QTextStream::Ok;
}

QString deliveredName(const RunRecord& run)
{
    if (!run.delivered_us)
        return QStringLiteral("—");
    return QString::number(double(*run.delivered_us) / 1000.0, 'f', 1)
        .replace(QLatin1Char('.'), QLatin1Char(','));
}

QString paceDetails(const RunRecord& run)
{
    QStringList parts;
    if (run.refresh_mHz && *run.refresh_mHz > 0) {
        const double hz = *run.refresh_mHz / 1000.0;
        parts << QStringLiteral("Ekran %1 Hz: %2")
                     .arg(zrv::decimalName(hz, 2), zrv::stepFramesText(run.interval_ms, hz));
    }
    if (run.lateSteps) {
        QString late = QStringLiteral("Geç kalan adım: %1").arg(*run.lateSteps);
        if (*run.lateSteps > 0 && run.worstLate_us)
            late += QStringLiteral(" (en çok %1 ms)")
                        .arg(zrv::decimalName(double(*run.worstLate_us) / 1000.0, 1));
        if (run.lostSteps)
            late += QStringLiteral(", kaybolan adım: %1").arg(*run.lostSteps);
        parts << late;
    }
    return parts.join(QStringLiteral(". "));
}

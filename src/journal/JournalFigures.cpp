#include "journal/JournalFigures.h"

#include "core/StepFrames.h"

#include <QCoreApplication>
#include <QStringList>
#include <QTextStream>
#include <QTimeZone>
#include <cmath>
#include <map>

namespace
{
constexpr double kMsPerMinute = 60'000.0;

QString item(const QStringList& items, int index)
{
    return index >= 0 && index < items.size() ? items[index] : QString::number(index);
}

// A CSV field: quoted when it holds the separator, a quote or a line break.
QString field(const QString& text, QChar separator)
{
    if (!text.contains(separator) && !text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char('\n')) &&
        !text.contains(QLatin1Char('\r')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}
} // namespace

QList<DayFigures> figuresByDay(const QList<RunRecord>& runs)
{
    struct Sums {
        int runs = 0;
        double run_ms = 0;
        double weightedInterval = 0; // pace x run_ms, summed
        double intervalSum = 0;
    };
    std::map<QDate, Sums> days;
    for (const RunRecord& run : runs) {
        Sums& s = days[run.started.date()];
        ++s.runs;
        s.run_ms += double(run.run_ms);
        s.weightedInterval += double(run.pace.ms()) * double(run.run_ms);
        s.intervalSum += run.pace.ms();
    }
    QList<DayFigures> figures;
    for (const auto& [day, s] : days) {
        const double pace_ms = s.run_ms > 0 ? s.weightedInterval / s.run_ms : s.intervalSum / s.runs;
        figures.append({day, pace_ms, s.run_ms / kMsPerMinute, s.runs});
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
    return now.date().addDays(1 - now.date().dayOfWeek()).startOfDay(now.timeZone());
}

QDateTime thirtyDaysStart(const QDateTime& now)
{
    return now.date().addDays(-29).startOfDay(now.timeZone());
}

QDateTime tomorrowStart(const QDateTime& now)
{
    return now.date().addDays(1).startOfDay(now.timeZone());
}

QDateTime todayStart(const QDateTime& now)
{
    return now.date().startOfDay(now.timeZone());
}

QString spanName(double ms)
{
    // Whole seconds, bounded far above any real run so that the sum of crafted values still
    // converts to an integer.
    constexpr double kMaxSeconds = 1e15;
    const double rounded = std::round(std::abs(ms) / 1000.0);
    const qint64 s = rounded < kMaxSeconds ? qint64(rounded) : qint64(kMaxSeconds);
    const QString sign = ms < 0 && s > 0 ? QStringLiteral("-") : QString();
    if (s >= 3600)
        return sign +
               QCoreApplication::translate("JournalFigures", "%1 sa %2 dk").arg(s / 3600).arg(s / 60 % 60);
    return sign + QCoreApplication::translate("JournalFigures", "%1 dk %2 sn").arg(s / 60).arg(s % 60);
}

QString exerciseName(int exercise)
{
    return item({QCoreApplication::translate("JournalFigures", "Nokta"),
                 QCoreApplication::translate("JournalFigures", "Piramit"),
                 QCoreApplication::translate("JournalFigures", "Blok")},
                exercise);
}

QString typeName(int exercise, int type)
{
    switch (exercise) {
    case 0:
        return item({QStringLiteral("1 2 3 4"), QStringLiteral("1 2 4 3"), QStringLiteral("1 4 2 3"),
                     QStringLiteral("1 2 4 3 5 8 6 7"), QStringLiteral("1 4 2 3 5 6 8 7")},
                    type);
    case 1:
        return item({QCoreApplication::translate("JournalFigures", "Üçgen"),
                     QCoreApplication::translate("JournalFigures", "Tek Satır")},
                    type);
    case 2:
        return item({QCoreApplication::translate("JournalFigures", "Ayrı bloklar"),
                     QCoreApplication::translate("JournalFigures", "Bitişik bloklar")},
                    type);
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
        return item({QCoreApplication::translate("JournalFigures", "Tek Yön"),
                     QCoreApplication::translate("JournalFigures", "Çift Yön")},
                    direction);
    case 2:
        return item({QCoreApplication::translate("JournalFigures", "Dikey"),
                     QCoreApplication::translate("JournalFigures", "Yatay"),
                     QCoreApplication::translate("JournalFigures", "Zigzag")},
                    direction);
    default:
        return QString::number(direction);
    }
}

QString colourName(ColorValue colour)
{
    for (const zrv::NamedColor& c : zrv::kColors)
        if (c.color == colour)
            return zrv::colourText(c);
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
        return QCoreApplication::translate("JournalFigures", "Süre doldu");
    case RunEnd::DisplayFailure:
        return QCoreApplication::translate("JournalFigures", "Ekran kullanılamadı");
    case RunEnd::Stopped:
        return QCoreApplication::translate("JournalFigures", "Program kapatıldı");
    case RunEnd::Escape:
        break;
    }
    return QCoreApplication::translate("JournalFigures", "Esc ile bitirildi");
}

QString durationName(int minutes)
{
    return minutes > 0 ? QCoreApplication::translate("JournalFigures", "%n dakika", nullptr, minutes)
                       : QCoreApplication::translate("JournalFigures", "Sürekli");
}

bool writeCsv(QIODevice& device, const QList<RunRecord>& runs, const QLocale& locale)
{
    // Spreadsheets take the separator from the locale: where the decimal sign is a comma (as
    // in Turkish) a list is separated by semicolons.  The byte-order mark tells them the text
    // is UTF-8 rather than the system's code page.
    QLocale numbers = locale;
    numbers.setNumberOptions(QLocale::OmitGroupSeparator);
    const QChar separator = locale.decimalPoint() == QLatin1String(",") ? QLatin1Char(';') : QLatin1Char(',');
    QTextStream out(&device);
    out.setEncoding(QStringConverter::Utf8);
    out.setGenerateByteOrderMark(true);
    const auto row = [&out, separator](const QStringList& fields) {
        QStringList quoted;
        for (const QString& f : fields)
            quoted << field(f, separator);
        out << quoted.join(separator) << "\r\n";
    };
    row({QCoreApplication::translate("JournalFigures", "Başlangıç"),
         QCoreApplication::translate("JournalFigures", "Alıştırma"),
         QCoreApplication::translate("JournalFigures", "Tip"),
         QCoreApplication::translate("JournalFigures", "Yön"),
         QCoreApplication::translate("JournalFigures", "Satır"),
         QCoreApplication::translate("JournalFigures", "Harf"),
         QCoreApplication::translate("JournalFigures", "Zemin Rengi"),
         QCoreApplication::translate("JournalFigures", "Aktif Metin Rengi"),
         QCoreApplication::translate("JournalFigures", "Pasif Metin Rengi"),
         QCoreApplication::translate("JournalFigures", "Nokta Rengi"),
         QCoreApplication::translate("JournalFigures", "Hız (ms)"),
         QCoreApplication::translate("JournalFigures", "Süre"),
         QCoreApplication::translate("JournalFigures", "Çalışılan (sn)"),
         QCoreApplication::translate("JournalFigures", "Adım"),
         QCoreApplication::translate("JournalFigures", "Bitiş"),
         QCoreApplication::translate("JournalFigures", "Arada Etkin Değildi"),
         QCoreApplication::translate("JournalFigures", "Gerçek (ms)"),
         QCoreApplication::translate("JournalFigures", "Geç Adım"),
         QCoreApplication::translate("JournalFigures", "En Geç (ms)"),
         QCoreApplication::translate("JournalFigures", "Kayıp Adım"),
         QCoreApplication::translate("JournalFigures", "Ekran (Hz)")});
    const auto known = [&numbers](const auto& figure, double unit, int decimals) {
        return figure ? numbers.toString(double(*figure) / unit, 'f', decimals) : QString();
    };
    for (const RunRecord& run : runs) {
        const bool dot = run.exercise == 0;
        row({
            run.started.toString(Qt::ISODate),
            exerciseName(run.exercise),
            typeName(run.exercise, run.type),
            directionName(run.exercise, run.direction),
            dot ? QString() : numbers.toString(run.lines),
            dot ? QString() : numbers.toString(run.letters),
            colourName(run.colours[0]),
            colourName(run.colours[1]),
            colourName(run.colours[2]),
            dot ? QString() : colourName(run.colours[3]),
            numbers.toString(run.pace.ms()),
            durationName(run.duration_minutes),
            numbers.toString(double(run.run_ms) / 1000.0, 'f', 1),
            numbers.toString(run.steps),
            endName(run.end),
            run.inactive ? QCoreApplication::translate("JournalFigures", "evet")
                         : QCoreApplication::translate("JournalFigures", "hayır"),
            known(run.delivered_us, 1000.0, 3),
            known(run.lateSteps, 1.0, 0),
            known(run.worstLate_us, 1000.0, 3),
            known(run.lostSteps, 1.0, 0),
            known(run.refresh_mHz, 1000.0, 3),
        });
    }
    out.flush();
    return out.status() == QTextStream::Ok;
}

QString deliveredName(const RunRecord& run)
{
    if (!run.delivered_us)
        return QStringLiteral("—");
    return QString::number(double(*run.delivered_us) / 1000.0, 'f', 1)
        .replace(QLatin1Char('.'), zrv::decimalSign());
}

QString paceDetails(const RunRecord& run)
{
    QStringList parts;
    if (run.refresh_mHz && *run.refresh_mHz > 0) {
        const double hz = *run.refresh_mHz / 1000.0;
        parts << QCoreApplication::translate("JournalFigures", "Ekran %1 Hz: %2")
                     .arg(zrv::decimalName(hz, 2), zrv::stepFramesText(run.pace, hz));
    }
    if (run.lateSteps) {
        QString late =
            QCoreApplication::translate("JournalFigures", "Geç kalan adım: %1").arg(*run.lateSteps);
        if (*run.lateSteps > 0 && run.worstLate_us)
            late += QCoreApplication::translate("JournalFigures", " (en çok %1 ms)")
                        .arg(zrv::decimalName(double(*run.worstLate_us) / 1000.0, 1));
        if (run.lostSteps)
            late += QCoreApplication::translate("JournalFigures", ", kaybolan adım: %1").arg(*run.lostSteps);
        parts << late;
    }
    return parts.join(QStringLiteral(". "));
}

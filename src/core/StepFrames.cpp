#include "core/StepFrames.h"

#include <QCoreApplication>

#include <cmath>

namespace zrv
{

namespace
{
// A frame's slip a step that is still a whole number of frames: one frame in 100 steps.
constexpr double kWholeTolerance = 0.01;

double framesOf(int interval_ms, double refresh_hz)
{
    return interval_ms * refresh_hz / 1000.0;
}

bool isWhole(double frames)
{
    return std::abs(frames - std::round(frames)) <= kWholeTolerance;
}
} // namespace

StepFrames stepFrames(Pace pace, double refresh_hz)
{
    const double frames = framesOf(pace.ms(), refresh_hz);
    StepFrames f;
    f.frame_ms = 1000.0 / refresh_hz;
    f.fewer = isWhole(frames) ? int(std::lround(frames)) : int(std::floor(frames));
    f.more = isWhole(frames) ? f.fewer : f.fewer + 1;
    return f;
}

std::optional<Pace> wholeFramePace(Pace pace, double refresh_hz)
{
    for (int d = 0; d <= Pace::kMax_ms - Pace::kMin_ms; ++d)
        for (const int candidate : {pace.ms() - d, pace.ms() + d})
            if (candidate >= Pace::kMin_ms && candidate <= Pace::kMax_ms &&
                isWhole(framesOf(candidate, refresh_hz)))
                return Pace(candidate);
    return std::nullopt;
}

QString decimalName(double value, int decimals)
{
    QString text = QString::number(value, 'f', decimals);
    if (text.contains(QLatin1Char('.'))) {
        while (text.endsWith(QLatin1Char('0')))
            text.chop(1);
        if (text.endsWith(QLatin1Char('.')))
            text.chop(1);
    }
    return text.replace(QLatin1Char('.'), decimalSign());
}

QString decimalSign()
{
    return QCoreApplication::translate("StepFrames", ",", "the decimal sign");
}

QString stepFramesText(Pace pace, double refresh_hz)
{
    const StepFrames f = stepFrames(pace, refresh_hz);
    if (f.fewer == f.more)
        return QCoreApplication::translate("StepFrames", "%1 ms'lik adımların her biri %2 kare")
            .arg(pace.ms())
            .arg(f.fewer);
    return QCoreApplication::translate("StepFrames", "%1 ms'lik adımlar %2 ya da %3 kare (%4 / %5 ms)")
        .arg(pace.ms())
        .arg(f.fewer)
        .arg(f.more)
        .arg(decimalName(f.fewer * f.frame_ms, 1), decimalName(f.more * f.frame_ms, 1));
}

QString speedFramesTip(Pace pace, double refresh_hz)
{
    if (!(refresh_hz > 0))
        return QString();
    QString tip = QCoreApplication::translate("StepFrames", "Bu ekran %1 Hz: %2 kalır")
                      .arg(decimalName(refresh_hz, 2), stepFramesText(pace, refresh_hz));
    const std::optional<Pace> whole = wholeFramePace(pace, refresh_hz);
    if (whole && *whole != pace)
        tip += QCoreApplication::translate("StepFrames", "; %1 ms her adımda %2 kare")
                   .arg(whole->ms())
                   .arg(stepFrames(*whole, refresh_hz).fewer);
    return tip;
}

} // namespace zrv

#include "timer/Clock.h"

#include "timer/TimerPolicy.h"

#include <QDateTime>

#if defined(Q_OS_UNIX)
#include <time.h>
#else
#include <chrono>
#endif

namespace
{

class SystemClock final : public Clock
{
  public:
    quint32 milliseconds() const override { return zrv::timing::millisecondsAt(monotonicNanoseconds()); }

    qint64 monotonicNanoseconds() const override
    {
#if defined(Q_OS_UNIX)
        timespec ts{};
        clock_gettime(CLOCK_MONOTONIC, &ts);
        return qint64(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
#else
        return std::chrono::duration_cast<std::chrono::nanoseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
#endif
    }

    double localDays() const override
    {
        // One reading, split into the date and the time of day of the same moment.
        const QDateTime now = QDateTime::currentDateTime();
        static const QDate epoch(1899, 12, 30);
        return double(epoch.daysTo(now.date())) + double(now.time().msecsSinceStartOfDay()) / 86'400'000.0;
    }

    quint32 utcMillisecondOfDay() const override
    {
        return quint32(QDateTime::currentDateTimeUtc().time().msecsSinceStartOfDay());
    }
};

} // namespace

Clock& Clock::system()
{
    static SystemClock clock;
    return clock;
}

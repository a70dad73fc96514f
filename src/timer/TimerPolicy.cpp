#include "timer/TimerPolicy.h"

namespace zrv::timing
{

qint64 millisecondStartNs(qint64 ns)
{
    qint64 ms = ns / kNanosecondsPerMillisecond;
    if (ns % kNanosecondsPerMillisecond < 0)
        --ms; // floor, should a clock ever hand out negative readings
    return ms * kNanosecondsPerMillisecond;
}

quint32 millisecondsAt(qint64 ns)
{
    return quint32(quint64(millisecondStartNs(ns) / kNanosecondsPerMillisecond));
}

qint64 wakeMomentNs(qint64 nowNs, quint32 msAhead)
{
    return millisecondStartNs(nowNs) + qint64(msAhead) * kNanosecondsPerMillisecond;
}

TickCheck checkTick(quint32 nowMs, quint32 lastTickMs, quint32 intervalMs)
{
    const quint32 elapsed = nowMs - lastTickMs;
    TickCheck check;
    if (elapsed < intervalMs) {
        check.msUntilDue = intervalMs - elapsed;
        return check;
    }
    check.due = true;
    const quint32 divisor = intervalMs > 0 ? intervalMs : 1;
    const qint32 lag = qint32(elapsed / divisor);
    check.lagCount = lag < 1 ? 1 : lag;
    return check;
}

} // namespace zrv::timing

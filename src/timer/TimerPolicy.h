#pragma once

#include <QtGlobal>

// The arithmetic of the frame timer, free of any event loop: when a tick is due, its lag count,
// and the moment on the monotonic nanosecond line at which the wrapping millisecond count
// reaches the next due value.
namespace zrv::timing
{

inline constexpr qint64 kNanosecondsPerMillisecond = 1'000'000;

// The millisecond count at the moment `ns`: floor(ns / 10^6), truncated to 32 bits.
quint32 millisecondsAt(qint64 ns);

// The start of the millisecond that contains `ns`, in nanoseconds.
qint64 millisecondStartNs(qint64 ns);

// The moment at which the count, which reads millisecondsAt(nowNs) at `nowNs`, has advanced by
// `msAhead`.  With 0 it is the start of the current millisecond, which has already passed.
// Exact across the wrap of the 32-bit count: the arithmetic is on the 64-bit line.
qint64 wakeMomentNs(qint64 nowNs, quint32 msAhead);

struct TickCheck {
    bool due = false;
    // Not due: milliseconds of the count until it is (1 .. interval).
    quint32 msUntilDue = 0;
    // Due: whole intervals since the last tick, at least 1.
    int lagCount = 0;
};

// The idle check: elapsed = now - last in unsigned 32-bit arithmetic (the wrap does no harm); due
// once elapsed reaches the interval; the lag count is elapsed div max(interval, 1), at least 1.
TickCheck checkTick(quint32 nowMs, quint32 lastTickMs, quint32 intervalMs);

} // namespace zrv::timing

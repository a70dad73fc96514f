#pragma once
// CONTRACT HEADER.

#include <QtGlobal>

// The clocks the program reads, replaceable so that timing tests never wait.
class Clock
{
public:
    virtual ~Clock() = default;
    // Milliseconds since an arbitrary start, as an unsigned 32-bit count that wraps around
    // (stands in for the platform's millisecond clock).  Monotonic.
    virtual quint32 Milliseconds() const = 0;
    // Nanoseconds of the same monotonic time line, for precise wake-ups and for logging.
    virtual qint64 MonotonicNanoseconds() const = 0;
    // Local date and time in days: whole days plus the fraction of the day (one minute is
    // 1/1440).  Used for the exercise duration.
    virtual double LocalDays() const = 0;
    // UTC time of day in milliseconds, 0 .. 86 399 999.  Seeds the random generator.
    virtual quint32 UtcMillisecondOfDay() const = 0;

    // The process-wide platform clock.
    static Clock& System();
};

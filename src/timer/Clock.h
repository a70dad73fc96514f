#pragma once

#include <QtGlobal>

// The clocks the program reads, replaceable so that timing tests never wait.
//
// One rule ties the first two together, and the frame timer relies on it: the millisecond
// count is the nanosecond reading in whole milliseconds, truncated to 32 bits,
//     milliseconds() == quint32(floor(monotonicNanoseconds() / 1 000 000)),
// so that the moment at which the count reaches a value can be named on the nanosecond line.
class Clock
{
  public:
    virtual ~Clock() = default;
    // Milliseconds since an arbitrary start, as an unsigned 32-bit count that wraps around
    // (stands in for the platform's millisecond clock).  Monotonic.
    virtual quint32 milliseconds() const = 0;
    // Nanoseconds of the same monotonic time line, for precise wake-ups and for logging.
    virtual qint64 monotonicNanoseconds() const = 0;
    // Local date and time in days: whole days plus the fraction of the day (one minute is
    // 1/1440).  Used for the exercise duration.  Days are counted from 1899-12-30, the usual
    // epoch of such day counts; only differences matter to the program.
    virtual double localDays() const = 0;
    // UTC time of day in milliseconds, 0 .. 86 399 999.  Seeds the random generator.
    virtual quint32 utcMillisecondOfDay() const = 0;

    // The process-wide platform clock: CLOCK_MONOTONIC where there is one (the timer's
    // platform waker sleeps on the same clock), the system's wall clock for the dates.
    static Clock& system();
};

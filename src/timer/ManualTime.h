#pragma once

#include "timer/ActivitySource.h"
#include "timer/Clock.h"
#include "timer/TickWaker.h"

// Time that moves only when told to: a clock, a wake-up and the application's activity, set by
// hand.  The frame renderer runs an exercise on them, one step at a time; tests drive the timer
// with them.

// A clock that stands still until it is moved.  One nanosecond line drives everything:
// milliseconds() is that line in whole milliseconds truncated to 32 bits (so the count wraps
// when the line passes a multiple of 2^32 ms), and localDays() moves along with it from the
// value last set.
class ManualClock : public Clock
{
  public:
    static constexpr qint64 kNsPerMs = 1'000'000;
    static constexpr qint64 kNsPerDay = 86'400'000LL * kNsPerMs;

    explicit ManualClock(qint64 start_ns = 1'000 * kNsPerMs) : m_ns(start_ns) {}

    quint32 milliseconds() const override { return quint32(quint64(m_ns / kNsPerMs)); }
    qint64 monotonicNanoseconds() const override { return m_ns; }
    double localDays() const override
    {
        return m_localDays + double(m_ns - m_localSetAt_ns) / double(kNsPerDay);
    }
    quint32 utcMillisecondOfDay() const override { return m_utcMsOfDay; }

    // The line itself.  Moving it backwards is the caller's own business.
    void setNs(qint64 ns) { m_ns = ns; }
    void advanceNs(qint64 ns) { m_ns += ns; }
    void advanceMs(qint64 ms) { m_ns += ms * kNsPerMs; }
    // Moves forward to the first moment at which the count reads `ms` (wrapping if it must),
    // plus `fraction_ns` into that millisecond.
    void advanceToMilliseconds(quint32 ms, qint64 fraction_ns = 0)
    {
        const qint64 start = (m_ns / kNsPerMs) * kNsPerMs;
        const quint32 ahead = ms - milliseconds();
        m_ns = qMax(m_ns, start + qint64(ahead) * kNsPerMs + fraction_ns);
    }
    // Local time: `days` now, moving on with the line from here.
    void setLocalDays(double days)
    {
        m_localDays = days;
        m_localSetAt_ns = m_ns;
    }
    void setUtcMillisecondOfDay(quint32 ms) { m_utcMsOfDay = ms; }

  private:
    qint64 m_ns;
    double m_localDays = 45'000.0; // 2023-03-15 00:00
    qint64 m_localSetAt_ns = 0;
    quint32 m_utcMsOfDay = 0;
};

// A wake-up that only records where it was aimed; fire() wakes the timer by hand (usually after
// the ManualClock was moved to the deadline), standing for the event loop's wake-up.  Made with
// no parent and handed to the timer, the raw pointer kept:
//     auto waker = std::make_unique<ManualWaker>();
//     ManualWaker* w = waker.get();
//     FrameTimer timer(nullptr, &clock, std::move(waker), &activity);
class ManualWaker : public TickWaker
{
  public:
    using TickWaker::TickWaker;

    void armAt(qint64 deadline_ns) override
    {
        m_armed = true;
        m_deadline_ns = deadline_ns;
        ++m_armCount;
    }
    void disarm() override { m_armed = false; }
    bool isArmed() const override { return m_armed; }

    qint64 deadline() const { return m_deadline_ns; }
    int armCount() const { return m_armCount; }
    // Fires whether armed or not (a stale wake-up when not).
    void fire()
    {
        m_armed = false;
        emit woken();
    }

  private:
    bool m_armed = false;
    qint64 m_deadline_ns = 0;
    int m_armCount = 0;
};

// The application's activity as set by hand; reports only real changes, as the application does.
class ManualActivity : public ActivitySource
{
  public:
    explicit ManualActivity(bool active = true) : m_active(active) {}

    bool isActive() const override { return m_active; }
    void setActive(bool active)
    {
        if (active == m_active)
            return;
        m_active = active;
        emit activeChanged(active);
    }

  private:
    bool m_active;
};

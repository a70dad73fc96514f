#pragma once

#include "timer/Clock.h"

// A clock that stands still until the test moves it.  One nanosecond line drives everything:
// milliseconds() is that line in whole milliseconds truncated to 32 bits (so the count wraps
// when the line passes a multiple of 2^32 ms), and localDays() moves along with it from the
// value last set.
class MockClock : public Clock
{
  public:
    static constexpr qint64 kNsPerMs = 1'000'000;
    static constexpr qint64 kNsPerDay = 86'400'000LL * kNsPerMs;

    explicit MockClock(qint64 start_ns = 1'000 * kNsPerMs) : m_ns(start_ns) {}

    quint32 milliseconds() const override { return quint32(quint64(m_ns / kNsPerMs)); }
    qint64 monotonicNanoseconds() const override { return m_ns; }
    double localDays() const override
    {
        return m_localDays + double(m_ns - m_localSetAt_ns) / double(kNsPerDay);
    }
    quint32 utcMillisecondOfDay() const override { return m_utcMsOfDay; }

    // The line itself.  Moving it backwards is the test's own business.
    void SetNs(qint64 ns) { m_ns = ns; }
    void AdvanceNs(qint64 ns) { m_ns += ns; }
    void AdvanceMs(qint64 ms) { m_ns += ms * kNsPerMs; }
    // Moves forward to the first moment at which the count reads `ms` (wrapping if it must),
    // plus `fraction_ns` into that millisecond.
    void AdvanceToMilliseconds(quint32 ms, qint64 fraction_ns = 0)
    {
        const qint64 start = (m_ns / kNsPerMs) * kNsPerMs;
        const quint32 ahead = ms - milliseconds();
        m_ns = qMax(m_ns, start + qint64(ahead) * kNsPerMs + fraction_ns);
    }

    // Local time: `days` now, moving on with the line from here.
    void SetLocalDays(double days)
    {
        m_localDays = days;
        m_localSetAt_ns = m_ns;
    }
    void SetUtcMillisecondOfDay(quint32 ms) { m_utcMsOfDay = ms; }

  private:
    qint64 m_ns;
    double m_localDays = 45'000.0; // 2023-03-15 00:00
    qint64 m_localSetAt_ns = 0;
    quint32 m_utcMsOfDay = 0;
};

#pragma once
// What the frame renderer runs the exercise window on instead of the platform's clock, timer
// wake-up and activity reports: a clock that moves only when told, a wake-up that is fired by
// hand, and an application that is always active.

#include "display/ActivitySource.h"
#include "display/Clock.h"
#include "display/TickWaker.h"

// Stands still until moved; the millisecond count and the local time follow the nanosecond line.
class HandClock final : public Clock
{
  public:
    static constexpr qint64 kNsPerMs = 1'000'000;
    static constexpr double kNsPerDay = 86'400'000.0 * 1'000'000.0;

    quint32 Milliseconds() const override { return quint32(quint64(m_ns / kNsPerMs)); }
    qint64 MonotonicNanoseconds() const override { return m_ns; }
    double LocalDays() const override { return 45'000.0 + double(m_ns) / kNsPerDay; }
    quint32 UtcMillisecondOfDay() const override { return quint32((m_ns / kNsPerMs) % 86'400'000); }

    void SetNs(qint64 ns) { m_ns = ns; }

  private:
    qint64 m_ns = 1'000 * kNsPerMs;
};

// Remembers where it was aimed; Fire() wakes the timer as the event loop would.
class HandWaker final : public TickWaker
{
  public:
    using TickWaker::TickWaker;

    void ArmAt(qint64 deadline_ns) override
    {
        m_armed = true;
        m_deadline_ns = deadline_ns;
    }
    void Disarm() override { m_armed = false; }
    bool Armed() const override { return m_armed; }
    qint64 Deadline() const { return m_deadline_ns; }

    void Fire()
    {
        m_armed = false;
        emit Woken();
    }

  private:
    bool m_armed = false;
    qint64 m_deadline_ns = 0;
};

class AlwaysActive final : public ActivitySource
{
  public:
    bool IsActive() const override { return true; }
};

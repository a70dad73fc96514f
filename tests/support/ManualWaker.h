#pragma once

#include "timer/TickWaker.h"

// A waker that only records where it was aimed; the test fires it by hand (usually after moving
// a MockClock to the deadline).  Firing emits woken directly, standing for the event loop's
// wake-up.  Create it with no parent and hand it to the timer, keeping the raw pointer:
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

    qint64 Deadline() const { return m_deadline_ns; }
    int ArmCount() const { return m_armCount; }

    // Fires whether armed or not (a stale wake-up when not).
    void Fire()
    {
        m_armed = false;
        emit woken();
    }

  private:
    bool m_armed = false;
    qint64 m_deadline_ns = 0;
    int m_armCount = 0;
};

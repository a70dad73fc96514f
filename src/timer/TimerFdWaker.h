#pragma once

#include "timer/TickWaker.h"

class QSocketNotifier;

// Linux: a timerfd on CLOCK_MONOTONIC armed with an absolute deadline (TFD_TIMER_ABSTIME) and
// watched by the event loop through a QSocketNotifier.  Wakes within a fraction of a
// millisecond of the deadline, with nothing running in between.
class TimerFdWaker final : public TickWaker
{
    Q_OBJECT
  public:
    // Null when the kernel gives no timer descriptor.
    static std::unique_ptr<TimerFdWaker> create(QObject* parent = nullptr);
    ~TimerFdWaker() override;

    void armAt(qint64 deadlineNs) override;
    void disarm() override;
    bool isArmed() const override;

  private:
    TimerFdWaker(int fd, QObject* parent);
    void onReadable();

    int m_fd;
    QSocketNotifier* m_notifier;
    bool m_armed = false;
};

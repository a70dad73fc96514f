#pragma once

#include "core/Pace.h"

#include <QObject>
#include <memory>

class Clock;
#include "timer/TickWaker.h"
class ActivitySource; // reports the application becoming active or inactive
class ThreadPromptness;

// The frame timer.  Ticks on the user-interface thread, never while another handler runs,
// never closer together than the pace on the millisecond clock, only while the application is
// active when activeOnly is on.  Sleeps until the next tick is due (no busy polling).
//
// States: stopped (not running, nothing armed), ticking (running, the wake-up armed for the
// next due moment) and suspended (running, nothing armed: activeOnly and the application not
// active).  A pass runs when the wake-up fires: it first lets the event loop deliver whatever
// is waiting (a key press, a repaint), then reads the clock and ticks if the pace has run out.
//
// The wake-up is aimed at the very nanosecond at which the millisecond count reaches
// lastTick + pace, so a tick that comes within that millisecond sets lastTick exactly to the
// due value and sub-millisecond lateness never adds up over a run.
//
// While ticking, the thread asks the scheduler for prompt wake-ups (ThreadPromptness) and gives
// them back when the timer stops or is suspended; which means took effect is logged once per run
// (from enabled true to false) at info level in zerlivan.timer.
class FrameTimer : public QObject
{
    Q_OBJECT
  public:
    // Null arguments: the platform clock, the platform waker, the application's activity.
    // The clock and the activity source are not owned and must outlive the timer; the waker
    // is owned.  A waker other than the platform's must be aimed on the injected clock's line
    // (tests pair a mock clock with a waker they fire by hand).  Like every timer, it starts
    // at construction since enabled defaults to true; a holder that wants it disabled sets
    // enabled false right after (nothing can tick before the event loop runs).
    explicit FrameTimer(QObject* parent = nullptr, Clock* clock = nullptr,
                        std::unique_ptr<TickWaker> waker = {}, ActivitySource* activity = nullptr);
    ~FrameTimer() override;

    bool activeOnly() const;
    void setActiveOnly(bool on);
    bool isEnabled() const;
    void setEnabled(bool on);
    // The time between ticks; 1000 ms until set.
    zrv::Pace pace() const;
    void setPace(zrv::Pace pace);
    bool isRunning() const;
    quint32 lastTick() const;

    // The last tick as measured, for the pace a run was given: the monotonic time it was decided
    // on, the moment it was due (the nanosecond at which the millisecond count reached the
    // previous tick's + pace, or the start's or resume's + pace), and whether it was the
    // first since the schedule started (a start, a resume after a suspend) rather than a step on
    // from the tick before.
    struct TickTimes {
        qint64 tick_ns = 0;
        qint64 due_ns = 0;
        bool firstOfSchedule = true;
    };
    const TickTimes& lastTickTimes() const;

    // True while the timer's wake-up is set up, i.e. the timer is ticking rather than stopped
    // or suspended.
    bool isTicking() const;

    // Replaces the promptness policy (by default the system's; null: none).  Anything the old
    // one holds is given back first.
    void setPromptness(std::unique_ptr<ThreadPromptness> promptness);
    const ThreadPromptness* promptness() const;

  signals:
    // At each tick, with the number of whole paces since the previous tick (>= 1).  Connected
    // directly; a slot must not raise (nothing between it and the event loop catches).
    void ticked(int lagCount);
    // For measurements: right before ticked, with the monotonic time of the tick in
    // nanoseconds (the reading lastTick was taken from) and the lagCount.
    void aboutToTick(qint64 tick_ns, int lagCount);

  private:
    struct Private;
    std::unique_ptr<Private> m_d;
};

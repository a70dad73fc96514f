#include "timer/FrameTimer.h"

#include "core/Report.h"
#include "timer/ActivitySource.h"
#include "timer/Clock.h"
#include "timer/RealtimeKitClient.h"
#include "timer/ThreadPromptness.h"
#include "timer/TimerPolicy.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QLoggingCategory>
#include <QPointer>
#include <QThread>

// Off by default; QT_LOGGING_RULES="zerlivan.timer.debug=true" turns the tick log on.  One line
// per tick, written right before OnTimer runs:
//     tick t_us=<T> last_ms=<L> interval_ms=<I> lag=<N>
// T: the monotonic time of the tick in microseconds (CLOCK_MONOTONIC on Linux, the reading the
//    tick was decided on); L: LastTick, the millisecond count at the tick (wraps at 2^32);
// I: Interval at the tick; N: LagCount.  Differences of T give the real pace of a run.
// At info level ("zerlivan.timer.info=true"), once per run, what made the ticking thread prompt:
//     promptness: scheduler slice 100 us for thread <tid>; timer slack 1 us (was 50 us)
Q_LOGGING_CATEGORY(lcTimer, "zerlivan.timer", QtWarningMsg)

using zrv::timing::CheckTick;
using zrv::timing::MillisecondsAt;
using zrv::timing::WakeMomentNs;

namespace
{
// Rounds of waiting-event delivery before a tick.  One round delivers everything that is
// waiting; the bound only keeps a flood of new events from holding ticks back for ever.
constexpr int kMaxDeliveryRounds = 8;
} // namespace

struct FrameTimer::Private {
    FrameTimer* q;
    Clock* clock;
    std::unique_ptr<TickWaker> waker;
    QPointer<ActivitySource> activity;
    std::unique_ptr<ThreadPromptness> promptness;
    bool promptnessLogged = false; // in this run

    bool activeOnly = true;
    bool enabled = true;
    quint32 interval_ms = 1000;
    bool running = false;
    bool ticking = false; // the timer holds the idle slot: its wake-up is (or will be) armed
    quint32 lastTick_ms = 0;
    bool inPass = false;

    bool ApplicationActive() const { return !activity || activity->IsActive(); }

    void Start()
    {
        Stop();
        promptnessLogged = false;
        if (!activeOnly || ApplicationActive())
            Resume();
        running = true;
    }

    void Stop()
    {
        if (!running)
            return;
        Suspend();
        running = false;
    }

    void Resume()
    {
        ticking = true;
        MakePrompt();
        lastTick_ms = MillisecondsAt(clock->MonotonicNanoseconds());
        Rearm();
    }

    void Suspend()
    {
        ticking = false;
        waker->Disarm();
        if (promptness)
            promptness->Release();
    }

    void MakePrompt()
    {
        if (!promptness)
            return;
        promptness->Acquire();
        if (!promptnessLogged) {
            promptnessLogged = true;
            qCInfo(lcTimer, "promptness: %s", qUtf8Printable(promptness->Describe()));
        }
    }

    // Aims the wake-up at the moment the millisecond count reaches LastTick + Interval, or at
    // once when that has passed.  Inside a pass the pass does it at its end.
    void Rearm()
    {
        if (!ticking) {
            waker->Disarm();
            return;
        }
        if (inPass)
            return;
        const qint64 now_ns = clock->MonotonicNanoseconds();
        const auto check = CheckTick(MillisecondsAt(now_ns), lastTick_ms, interval_ms);
        waker->ArmAt(WakeMomentNs(now_ns, check.due ? 0 : check.msUntilDue));
    }

    void OnActiveChanged(bool active)
    {
        if (!running || !activeOnly)
            return;
        if (active)
            Resume();
        else
            Suspend();
    }

    // Lets the event loop handle what is waiting (posted events, window-system input, other
    // descriptors) without blocking, so that a key press in the queue comes before a due tick.
    static void DeliverWaitingEvents()
    {
        QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance(QThread::currentThread());
        if (!dispatcher) {
            QCoreApplication::sendPostedEvents();
            return;
        }
        for (int round = 0; round < kMaxDeliveryRounds; ++round) {
            if (!dispatcher->processEvents(QEventLoop::AllEvents))
                break;
        }
    }

    // The idle pass, run when the wake-up fires.
    void OnWoken()
    {
        // A wake-up from an event loop nested in a pass (a handler's dialog, the delivery
        // below) or a stale one after a suspend: the pass in progress re-arms at its end.
        if (inPass || !ticking)
            return;
        QPointer<FrameTimer> alive(q);
        inPass = true;
        DeliverWaitingEvents();
        if (!alive)
            return;
        if (ticking) {
            const qint64 now_ns = clock->MonotonicNanoseconds();
            const quint32 now_ms = MillisecondsAt(now_ns);
            const auto check = CheckTick(now_ms, lastTick_ms, interval_ms);
            if (check.due) {
                lastTick_ms = now_ms;
                qCDebug(lcTimer, "tick t_us=%lld last_ms=%u interval_ms=%u lag=%d", now_ns / 1000,
                        unsigned(now_ms), unsigned(interval_ms), check.lagCount);
                if (q->TickProbe)
                    q->TickProbe(now_ns, check.lagCount);
                if (q->OnTimer) {
                    zrv::Guarded([this, &check] { q->OnTimer(q, check.lagCount); });
                    if (!alive)
                        return;
                }
            }
        }
        inPass = false;
        Rearm();
    }
};

FrameTimer::FrameTimer(QObject* parent, Clock* clock, std::unique_ptr<TickWaker> waker,
                       ActivitySource* activity)
    : QObject(parent), d(std::make_unique<Private>())
{
    d->q = this;
    d->clock = clock ? clock : &Clock::System();
    d->waker = waker ? std::move(waker) : TickWaker::CreatePlatformWaker();
    d->waker->setParent(nullptr); // owned here alone
    d->activity = activity ? activity : new ApplicationActivity(this);
    connect(d->waker.get(), &TickWaker::Woken, this, [this] { d->OnWoken(); });
    connect(d->activity.data(), &ActivitySource::ActiveChanged, this,
            [this](bool active) { d->OnActiveChanged(active); });
    // Loaded with Enabled true: starts.  The thread is made prompt once the event loop runs, so
    // that a holder that disables the timer right away never touches the scheduler.
    if (d->enabled)
        d->Start();
    d->promptness = CreateSystemPromptness();
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (d->ticking)
                d->MakePrompt();
        },
        Qt::QueuedConnection);
}

FrameTimer::~FrameTimer()
{
    d->Stop();
    // The waker goes with d; keep its last signals away from a half-destroyed timer.
    disconnect(d->waker.get(), nullptr, this, nullptr);
}

bool FrameTimer::ActiveOnly() const
{
    return d->activeOnly;
}

void FrameTimer::setActiveOnly(bool on)
{
    d->activeOnly = on;
}

bool FrameTimer::Enabled() const
{
    return d->enabled;
}

void FrameTimer::setEnabled(bool on)
{
    if (on == d->enabled)
        return;
    d->enabled = on;
    if (on)
        d->Start();
    else
        d->Stop();
}

quint32 FrameTimer::Interval() const
{
    return d->interval_ms;
}

void FrameTimer::setInterval(quint32 ms)
{
    if (ms == d->interval_ms)
        return;
    d->interval_ms = ms;
    // Applies from the next pass, measured from LastTick: aim the wake-up anew.
    d->Rearm();
}

bool FrameTimer::Running() const
{
    return d->running;
}

quint32 FrameTimer::LastTick() const
{
    return d->lastTick_ms;
}

bool FrameTimer::Ticking() const
{
    return d->ticking;
}

void FrameTimer::setPromptness(std::unique_ptr<ThreadPromptness> promptness)
{
    if (d->promptness)
        d->promptness->Release();
    d->promptness = std::move(promptness);
    if (d->ticking)
        d->MakePrompt();
}

const ThreadPromptness* FrameTimer::Promptness() const
{
    return d->promptness.get();
}

#include "timer/FrameTimer.h"

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
// per tick, written right before ticked is emitted:
//     tick t_us=<T> last_ms=<L> interval_ms=<I> lag=<N>
// T: the monotonic time of the tick in microseconds (CLOCK_MONOTONIC on Linux, the reading the
//    tick was decided on); L: lastTick, the millisecond count at the tick (wraps at 2^32);
// I: the pace at the tick; N: lagCount.  Differences of T give the real pace of a run.
// At info level ("zerlivan.timer.info=true"), once per run, what made the ticking thread prompt:
//     promptness: scheduler slice 100 us for thread <tid>; timer slack 1 us (was 50 us)
Q_LOGGING_CATEGORY(lcTimer, "zerlivan.timer", QtWarningMsg)

using zrv::timing::checkTick;
using zrv::timing::millisecondsAt;
using zrv::timing::wakeMomentNs;

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
    zrv::Pace pace{1000};
    bool running = false;
    bool ticking = false; // the timer holds the idle slot: its wake-up is (or will be) armed
    quint32 lastTick_ms = 0;
    TickTimes lastTimes;
    bool scheduleStarted = true; // no tick yet since the last resume
    bool inPass = false;

    bool applicationActive() const { return !activity || activity->isActive(); }

    void start()
    {
        stop();
        promptnessLogged = false;
        if (!activeOnly || applicationActive())
            resume();
        running = true;
    }

    void stop()
    {
        if (!running)
            return;
        suspend();
        running = false;
    }

    void resume()
    {
        ticking = true;
        scheduleStarted = true;
        makePrompt();
        lastTick_ms = millisecondsAt(clock->monotonicNanoseconds());
        rearm();
    }

    void suspend()
    {
        ticking = false;
        waker->disarm();
        if (promptness)
            promptness->release();
    }

    void makePrompt()
    {
        if (!promptness)
            return;
        promptness->acquire();
        if (!promptnessLogged) {
            promptnessLogged = true;
            qCInfo(lcTimer, "promptness: %s", qUtf8Printable(promptness->describe()));
        }
    }

    // Aims the wake-up at the moment the millisecond count reaches lastTick + pace, or at
    // once when that has passed.  Inside a pass the pass does it at its end.
    void rearm()
    {
        if (!ticking) {
            waker->disarm();
            return;
        }
        if (inPass)
            return;
        const qint64 now_ns = clock->monotonicNanoseconds();
        const auto check = checkTick(millisecondsAt(now_ns), lastTick_ms, quint32(pace.ms()));
        waker->armAt(wakeMomentNs(now_ns, check.due ? 0 : check.msUntilDue));
    }

    void onActiveChanged(bool active)
    {
        if (!running || !activeOnly)
            return;
        if (active)
            resume();
        else
            suspend();
    }

    // Lets the event loop handle what is waiting (posted events, window-system input, other
    // descriptors) without blocking, so that a key press in the queue comes before a due tick.
    static void deliverWaitingEvents()
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
    void onWoken()
    {
        // A wake-up from an event loop nested in a pass (a handler's dialog, the delivery
        // below) or a stale one after a suspend: the pass in progress re-arms at its end.
        if (inPass || !ticking)
            return;
        QPointer<FrameTimer> alive(q);
        inPass = true;
        deliverWaitingEvents();
        if (!alive)
            return;
        if (ticking) {
            const qint64 now_ns = clock->monotonicNanoseconds();
            const quint32 now_ms = millisecondsAt(now_ns);
            const auto check = checkTick(now_ms, lastTick_ms, quint32(pace.ms()));
            if (check.due) {
                const quint32 overdue_ms = now_ms - lastTick_ms - quint32(pace.ms());
                lastTimes = {now_ns,
                             zrv::timing::millisecondStartNs(now_ns) -
                                 qint64(overdue_ms) * zrv::timing::kNanosecondsPerMillisecond,
                             scheduleStarted};
                scheduleStarted = false;
                lastTick_ms = now_ms;
                qCDebug(lcTimer, "tick t_us=%lld last_ms=%u interval_ms=%u lag=%d", now_ns / 1000,
                        unsigned(now_ms), unsigned(pace.ms()), check.lagCount);
                emit q->aboutToTick(now_ns, check.lagCount);
                if (!alive)
                    return;
                emit q->ticked(check.lagCount);
                if (!alive)
                    return;
            }
        }
        inPass = false;
        rearm();
    }
};

FrameTimer::FrameTimer(QObject* parent, Clock* clock, std::unique_ptr<TickWaker> waker,
                       ActivitySource* activity)
    : QObject(parent), m_d(std::make_unique<Private>())
{
    m_d->q = this;
    m_d->clock = clock ? clock : &Clock::system();
    m_d->waker = waker ? std::move(waker) : TickWaker::createPlatformWaker();
    m_d->waker->setParent(nullptr); // owned here alone
    m_d->activity = activity ? activity : new ApplicationActivity(this);
    connect(m_d->waker.get(), &TickWaker::woken, this, [this] { m_d->onWoken(); });
    connect(m_d->activity.data(), &ActivitySource::activeChanged, this,
            [this](bool active) { m_d->onActiveChanged(active); });
    // Loaded with enabled true: starts.  The thread is made prompt once the event loop runs, so
    // that a holder that disables the timer right away never touches the scheduler.
    if (m_d->enabled)
        m_d->start();
    m_d->promptness = createSystemPromptness();
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (m_d->ticking)
                m_d->makePrompt();
        },
        Qt::QueuedConnection);
}

FrameTimer::~FrameTimer()
{
    m_d->stop();
    // The waker goes with m_d; keep its last signals away from a half-destroyed timer.
    disconnect(m_d->waker.get(), nullptr, this, nullptr);
}

bool FrameTimer::activeOnly() const
{
    return m_d->activeOnly;
}

void FrameTimer::setActiveOnly(bool on)
{
    m_d->activeOnly = on;
}

bool FrameTimer::isEnabled() const
{
    return m_d->enabled;
}

void FrameTimer::setEnabled(bool on)
{
    if (on == m_d->enabled)
        return;
    m_d->enabled = on;
    if (on)
        m_d->start();
    else
        m_d->stop();
}

zrv::Pace FrameTimer::pace() const
{
    return m_d->pace;
}

void FrameTimer::setPace(zrv::Pace pace)
{
    if (pace == m_d->pace)
        return;
    m_d->pace = pace;
    // Applies from the next pass, measured from lastTick: aim the wake-up anew.
    m_d->rearm();
}

bool FrameTimer::isRunning() const
{
    return m_d->running;
}

quint32 FrameTimer::lastTick() const
{
    return m_d->lastTick_ms;
}

const FrameTimer::TickTimes& FrameTimer::lastTickTimes() const
{
    return m_d->lastTimes;
}

bool FrameTimer::isTicking() const
{
    return m_d->ticking;
}

void FrameTimer::setPromptness(std::unique_ptr<ThreadPromptness> promptness)
{
    if (m_d->promptness)
        m_d->promptness->release();
    m_d->promptness = std::move(promptness);
    if (m_d->ticking)
        m_d->makePrompt();
}

const ThreadPromptness* FrameTimer::promptness() const
{
    return m_d->promptness.get();
}

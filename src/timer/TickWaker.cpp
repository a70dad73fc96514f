#include "timer/TickWaker.h"

#include "timer/Clock.h"
#include "timer/TimerPolicy.h"

#if defined(Q_OS_LINUX)
#include "timer/TimerFdWaker.h"
#endif

#include <QTimer>
#include <limits>

PreciseTimerWaker::PreciseTimerWaker(QObject* parent) : TickWaker(parent), m_timer(new QTimer(this))
{
    m_timer->setSingleShot(true);
    m_timer->setTimerType(Qt::PreciseTimer);
    connect(m_timer, &QTimer::timeout, this, &PreciseTimerWaker::onTimeout);
}

void PreciseTimerWaker::armAt(qint64 deadlineNs)
{
    const qint64 waitNs = deadlineNs - Clock::system().monotonicNanoseconds();
    qint64 waitMs = 0;
    if (waitNs > 0)
        waitMs =
            (waitNs + zrv::timing::kNanosecondsPerMillisecond - 1) / zrv::timing::kNanosecondsPerMillisecond;
    m_timer->start(int(qMin<qint64>(waitMs, std::numeric_limits<int>::max())));
}

void PreciseTimerWaker::disarm()
{
    m_timer->stop();
}

bool PreciseTimerWaker::isArmed() const
{
    return m_timer->isActive();
}

void PreciseTimerWaker::onTimeout()
{
    emit woken();
}

std::unique_ptr<TickWaker> TickWaker::createPreciseTimerWaker(QObject* parent)
{
    return std::make_unique<PreciseTimerWaker>(parent);
}

std::unique_ptr<TickWaker> TickWaker::createPlatformWaker(QObject* parent)
{
#if defined(Q_OS_LINUX)
    if (auto waker = TimerFdWaker::create(parent))
        return waker;
#endif
    return createPreciseTimerWaker(parent);
}

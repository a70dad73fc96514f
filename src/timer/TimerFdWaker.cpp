#include "timer/TimerFdWaker.h"

#include <QLoggingCategory>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <cstdint>
#include <sys/timerfd.h>
#include <unistd.h>

Q_DECLARE_LOGGING_CATEGORY(lcTimer)

std::unique_ptr<TimerFdWaker> TimerFdWaker::create(QObject* parent)
{
    const int fd = timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    if (fd < 0)
        return nullptr;
    return std::unique_ptr<TimerFdWaker>(new TimerFdWaker(fd, parent));
}

TimerFdWaker::TimerFdWaker(int fd, QObject* parent)
    : TickWaker(parent), m_fd(fd), m_notifier(new QSocketNotifier(fd, QSocketNotifier::Read, this))
{
    connect(m_notifier, &QSocketNotifier::activated, this, &TimerFdWaker::onReadable);
}

TimerFdWaker::~TimerFdWaker()
{
    delete m_notifier;
    ::close(m_fd);
}

void TimerFdWaker::armAt(qint64 deadlineNs)
{
    // An all-zero value would disarm: a deadline at or before the clock's start is simply past.
    if (deadlineNs < 1)
        deadlineNs = 1;
    itimerspec timer_setting{};
    timer_setting.it_value.tv_sec = time_t(deadlineNs / 1'000'000'000);
    timer_setting.it_value.tv_nsec = long(deadlineNs % 1'000'000'000);
    m_armed = true;
    if (timerfd_settime(m_fd, TFD_TIMER_ABSTIME, &timer_setting, nullptr) != 0) {
        // Not expected with a valid descriptor; wake at once rather than stall the timer.
        qCWarning(lcTimer, "timerfd_settime failed (errno %d); waking at once", errno);
        QTimer::singleShot(0, Qt::PreciseTimer, this, [this] {
            if (m_armed) {
                m_armed = false;
                emit woken();
            }
        });
    }
}

void TimerFdWaker::disarm()
{
    m_armed = false;
    itimerspec timer_setting{};
    timerfd_settime(m_fd, 0, &timer_setting, nullptr); // also forgets an expiry not read yet
}

bool TimerFdWaker::isArmed() const
{
    return m_armed;
}

void TimerFdWaker::onReadable()
{
    std::uint64_t expirations = 0;
    if (::read(m_fd, &expirations, sizeof expirations) != ssize_t(sizeof expirations))
        return; // disarmed or re-armed after the descriptor was seen readable
    m_armed = false;
    emit woken();
}

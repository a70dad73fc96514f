#include "timer/ThreadPromptness.h"

#include <cerrno>
#include <cstring>

#if defined(Q_OS_LINUX)
#include <cstdint>
#include <sched.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace
{

#if defined(Q_OS_LINUX)
// The kernel's struct sched_attr (glibc has no wrapper for sched_setattr).
struct SchedAttr {
    uint32_t size;
    uint32_t sched_policy;
    uint64_t sched_flags;
    int32_t sched_nice;
    uint32_t sched_priority;
    uint64_t sched_runtime; // fair policies, Linux 6.12 and later: the requested slice
    uint64_t sched_deadline;
    uint64_t sched_period;
    uint32_t sched_util_min;
    uint32_t sched_util_max;
};
constexpr uint64_t kSchedFlagResetOnFork = 0x01;

bool getAttr(SchedAttr* attr)
{
    *attr = SchedAttr{};
    return syscall(SYS_sched_getattr, 0, attr, sizeof *attr, 0) == 0;
}

// Sets the calling thread's slice, keeping its policy, nice level and reset-on-fork flag.
int setSlice(uint64_t slice_ns)
{
    SchedAttr attr;
    if (!getAttr(&attr))
        return -errno;
    attr.size = sizeof attr;
    attr.sched_flags &= kSchedFlagResetOnFork; // no utilisation clamps: leave those as they are
    attr.sched_runtime = slice_ns;
    attr.sched_deadline = 0;
    attr.sched_period = 0;
    if (syscall(SYS_sched_setattr, 0, &attr, 0) != 0)
        return -errno;
    return 0;
}

class LinuxScheduler final : public ThreadScheduler
{
  public:
    quint64 threadId() override { return quint64(syscall(SYS_gettid)); }

    qint64 requestSlice(qint64 slice_ns) override
    {
        if (const int error = setSlice(uint64_t(slice_ns)))
            return error;
        // Kernels before 6.12 accept the call and ignore the runtime of a fair policy: they
        // report none back.
        SchedAttr now;
        if (!getAttr(&now))
            return -errno;
        return qint64(now.sched_runtime);
    }

    void resetSlice() override { setSlice(0); }

    bool nice(quint64 thread, int* nice) override
    {
        errno = 0;
        const int value = getpriority(PRIO_PROCESS, id_t(thread));
        if (value == -1 && errno != 0)
            return false;
        *nice = value;
        return true;
    }

    bool setNice(quint64 thread, int nice) override
    {
        return setpriority(PRIO_PROCESS, id_t(thread), nice) == 0;
    }

    qint64 timerSlack() override
    {
        const int slack = prctl(PR_GET_TIMERSLACK, 0, 0, 0, 0);
        return slack < 0 ? -1 : qint64(slack);
    }

    bool setTimerSlack(qint64 slack_ns) override
    {
        return prctl(PR_SET_TIMERSLACK, static_cast<unsigned long>(slack_ns), 0, 0, 0) == 0;
    }
};
#else
class NoScheduler final : public ThreadScheduler
{
  public:
    quint64 threadId() override { return 0; }
    qint64 requestSlice(qint64) override { return -ENOSYS; }
    void resetSlice() override {}
    bool nice(quint64, int*) override { return false; }
    bool setNice(quint64, int) override { return false; }
    qint64 timerSlack() override { return -1; }
    bool setTimerSlack(qint64) override { return false; }
};
#endif

QString microseconds(qint64 ns)
{
    return QString::number(double(ns) / 1000.0, 'g', 4) + QStringLiteral(" us");
}

} // namespace

std::unique_ptr<ThreadScheduler> ThreadScheduler::system()
{
#if defined(Q_OS_LINUX)
    return std::make_unique<LinuxScheduler>();
#else
    return std::make_unique<NoScheduler>();
#endif
}

ThreadPromptness::ThreadPromptness(std::unique_ptr<ThreadScheduler> scheduler,
                                   std::unique_ptr<PriorityService> service)
    : m_scheduler(std::move(scheduler)), m_service(std::move(service))
{
}

ThreadPromptness::~ThreadPromptness()
{
    release();
}

void ThreadPromptness::acquire()
{
    if (m_held)
        return;
    m_held = true;
    m_means = Means::None;
    m_notes.clear();
    m_thread = m_scheduler->threadId();

    const qint64 slice_ns = m_scheduler->requestSlice(kSlice_ns);
    if (slice_ns > 0) {
        m_means = Means::Slice;
        m_slice_ns = slice_ns;
    } else {
        m_notes =
            slice_ns == 0
                ? QStringLiteral("the kernel takes no requested slice")
                : QStringLiteral("slice refused (%1)").arg(QString::fromLocal8Bit(strerror(int(-slice_ns))));
        QString error;
        if (!m_service)
            m_notes += QStringLiteral("; no priority service");
        else if (!m_serviceRefusal.isEmpty())
            m_notes += QStringLiteral("; RealtimeKit refused earlier (%1)").arg(m_serviceRefusal);
        else if (!m_scheduler->nice(m_thread, &m_niceBefore))
            m_notes += QStringLiteral("; the thread's nice level is unreadable");
        else if (m_niceBefore <= kHighPriorityNice)
            m_notes += QStringLiteral("; already at nice %1").arg(m_niceBefore);
        else if (m_service->makeThreadHighPriority(m_thread, kHighPriorityNice, &error))
            m_means = Means::HighPriority;
        else {
            m_serviceRefusal = error.isEmpty() ? QStringLiteral("no reason given") : error;
            m_notes += QStringLiteral("; RealtimeKit refused (%1)").arg(m_serviceRefusal);
        }
    }

    // Only lowered, and only from a value that can be put back.
    m_slackBefore_ns = m_scheduler->timerSlack();
    m_slackReduced = m_slackBefore_ns > kTimerSlack_ns && m_scheduler->setTimerSlack(kTimerSlack_ns);
}

void ThreadPromptness::release()
{
    if (!m_held)
        return;
    if (m_means == Means::Slice)
        m_scheduler->resetSlice();
    else if (m_means == Means::HighPriority)
        m_scheduler->setNice(m_thread, m_niceBefore); // raising the nice level needs no privilege
    if (m_slackReduced)
        m_scheduler->setTimerSlack(m_slackBefore_ns);
    m_held = false;
    m_means = Means::None;
    m_slackReduced = false;
}

QString ThreadPromptness::describe() const
{
    QString text;
    switch (m_means) {
    case Means::Slice:
        text = QStringLiteral("scheduler slice %1 for thread %2").arg(microseconds(m_slice_ns)).arg(m_thread);
        break;
    case Means::HighPriority:
        text = QStringLiteral("RealtimeKit: nice %1 for thread %2 (was %3; %4)")
                   .arg(kHighPriorityNice)
                   .arg(m_thread)
                   .arg(m_niceBefore)
                   .arg(m_notes);
        break;
    case Means::None:
        text = QStringLiteral("as scheduled by default (%1)").arg(m_notes);
        break;
    }
    if (m_slackReduced)
        text += QStringLiteral("; timer slack %1 (was %2)")
                    .arg(microseconds(kTimerSlack_ns), microseconds(m_slackBefore_ns));
    else
        text += QStringLiteral("; timer slack left at %1")
                    .arg(m_slackBefore_ns < 0 ? QStringLiteral("an unknown value")
                                              : microseconds(m_slackBefore_ns));
    return text;
}

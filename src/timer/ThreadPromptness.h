#pragma once
// Prompt wake-ups for the ticking thread: what the scheduler is asked for while an exercise
// ticks, and given back after.  Nothing here needs privileges.

#include <QString>
#include <QtGlobal>
#include <memory>

// The calling thread's scheduling, as the system gives it.  One instance serves one thread at a
// time; tests replace it to refuse whatever they like.
class ThreadScheduler
{
  public:
    virtual ~ThreadScheduler() = default;
    // The kernel's id of the calling thread (what a priority service is told).
    virtual quint64 threadId() = 0;
    // Asks the fair scheduler for a slice of `slice_ns` for the calling thread (Linux 6.12 and
    // later take it through sched_setattr; a shorter slice lets a thread that wakes up run
    // before one that is running), keeping its policy and nice level.  Returns the slice in force
    // afterwards: 0 when the kernel does not take requested slices, -errno when refused.
    virtual qint64 requestSlice(qint64 slice_ns) = 0;
    // Back to the kernel's own slice.
    virtual void resetSlice() = 0;
    // Nice level of thread `thread` of this process; false when it cannot be read or set.
    virtual bool nice(quint64 thread, int* nice) = 0;
    virtual bool setNice(quint64 thread, int nice) = 0;
    // Timer slack of the calling thread in nanoseconds (how far the kernel may defer its timed
    // waits to bundle wake-ups); -1 when unknown.
    virtual qint64 timerSlack() = 0;
    virtual bool setTimerSlack(qint64 slack_ns) = 0;

    // The system's own: Linux system calls; elsewhere one that refuses everything.
    static std::unique_ptr<ThreadScheduler> system();
};

// A service that raises the priority of a thread of an unprivileged program, as the desktop's
// RealtimeKit does for audio servers.
class PriorityService
{
  public:
    virtual ~PriorityService() = default;
    // Asks for thread `thread` of this process to run at nice level `nice`.  False with the
    // reason in *error when refused or unreachable.
    virtual bool makeThreadHighPriority(quint64 thread, int nice, QString* error) = 0;
};

// The policy.  acquire() on the thread to make prompt: a short scheduler slice where the kernel
// takes one, else a higher priority from the priority service, else nothing; in every case a
// small timer slack.  release() gives back exactly what was taken.  A service that refused once is
// not asked again by this instance (it would only delay the next run).
class ThreadPromptness
{
  public:
    enum class Means { None, Slice, HighPriority };

    static constexpr qint64 kSlice_ns = 100'000;   // the shortest slice the kernel takes
    static constexpr int kHighPriorityNice = -11;  // what audio servers ask RealtimeKit for
    static constexpr qint64 kTimerSlack_ns = 1000; // the kernel's default is 50 us

    // `service` may be null (no priority service on this platform).
    ThreadPromptness(std::unique_ptr<ThreadScheduler> scheduler, std::unique_ptr<PriorityService> service);
    ~ThreadPromptness();
    ThreadPromptness(const ThreadPromptness&) = delete;
    ThreadPromptness& operator=(const ThreadPromptness&) = delete;

    // Makes the calling thread prompt; does nothing while already held.
    void acquire();
    // Gives back what acquire() took, on the thread that acquired.  Does nothing when not held.
    void release();

    Means inEffect() const { return m_means; }
    // One line for the log: what took effect and why the better means did not.
    QString describe() const;

  private:
    std::unique_ptr<ThreadScheduler> m_scheduler;
    std::unique_ptr<PriorityService> m_service;
    bool m_held = false;
    Means m_means = Means::None;
    qint64 m_slice_ns = 0;
    quint64 m_thread = 0;
    int m_niceBefore = 0;
    bool m_slackReduced = false;
    qint64 m_slackBefore_ns = -1;
    QString m_serviceRefusal; // sticky: the service is not asked again
    QString m_notes;
};

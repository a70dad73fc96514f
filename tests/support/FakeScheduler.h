#pragma once

#include "timer/ThreadPromptness.h"

#include <cerrno>

// The scheduling state of one thread, in memory.
struct FakeThreadState {
    qint64 slice_ns = 0; // 0: the kernel's own
    int nice = 0;
    qint64 slack_ns = 50'000;
    bool operator==(const FakeThreadState&) const = default;
};

// The system calls on a FakeThreadState, each refusable; lowering the nice level is refused as
// it is without a privilege.
class FakeScheduler final : public ThreadScheduler
{
  public:
    enum class Slice { Taken, Ignored, Refused };
    explicit FakeScheduler(FakeThreadState* state) : m_state(state) {}
    Slice slice = Slice::Taken;
    bool slackSettable = true;
    bool slackKnown = true;

    quint64 threadId() override { return 4242; }
    qint64 requestSlice(qint64 slice_ns) override
    {
        if (slice == Slice::Taken)
            m_state->slice_ns = slice_ns;
        return slice == Slice::Taken ? slice_ns : slice == Slice::Ignored ? 0 : -EPERM;
    }
    void resetSlice() override { m_state->slice_ns = 0; }
    bool nice(quint64, int* nice) override { return *nice = m_state->nice, true; }
    bool setNice(quint64, int nice) override { return nice >= m_state->nice && (m_state->nice = nice, true); }
    qint64 timerSlack() override { return slackKnown ? m_state->slack_ns : -1; }
    bool setTimerSlack(qint64 slack_ns) override
    {
        return slackSettable && (m_state->slack_ns = slack_ns, true);
    }

  private:
    FakeThreadState* m_state;
};

// A RealtimeKit that grants by lowering the fake thread's nice level, or refuses.
class FakePriorityService final : public PriorityService
{
  public:
    FakePriorityService(FakeThreadState* state, bool grants) : m_state(state), m_grants(grants) {}
    int calls = 0;
    bool makeThreadHighPriority(quint64, int nice, QString* error) override
    {
        ++calls;
        *error = QStringLiteral("org.freedesktop.DBus.Error.AccessDenied: refused");
        return m_grants && (m_state->nice = nice, true);
    }

  private:
    FakeThreadState* m_state;
    bool m_grants;
};

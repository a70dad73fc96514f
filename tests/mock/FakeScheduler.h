#pragma once

#include "display/ThreadPromptness.h"

#include <cerrno>

// The scheduling state of one thread, kept in memory, with each system call refusable.
struct FakeThreadState {
    qint64 slice_ns = 0; // 0: the kernel's own
    int nice = 0;
    qint64 slack_ns = 50'000;
    bool operator==(const FakeThreadState&) const = default;
};

class FakeScheduler final : public ThreadScheduler
{
  public:
    enum class Slice { Taken, Ignored, Refused };

    explicit FakeScheduler(FakeThreadState* state) : m_state(state) {}

    Slice slice = Slice::Taken;
    bool niceReadable = true;
    bool slackSettable = true;
    bool slackKnown = true;

    quint64 ThreadId() override { return 4242; }
    qint64 RequestSlice(qint64 slice_ns) override
    {
        if (slice == Slice::Refused)
            return -EPERM;
        if (slice == Slice::Ignored)
            return 0;
        m_state->slice_ns = slice_ns;
        return slice_ns;
    }
    void ResetSlice() override { m_state->slice_ns = 0; }
    bool Nice(quint64, int* nice) override
    {
        *nice = m_state->nice;
        return niceReadable;
    }
    bool SetNice(quint64, int nice) override
    {
        if (nice < m_state->nice)
            return false; // lowering needs a privilege
        m_state->nice = nice;
        return true;
    }
    qint64 TimerSlack() override { return slackKnown ? m_state->slack_ns : -1; }
    bool SetTimerSlack(qint64 slack_ns) override
    {
        if (slackSettable)
            m_state->slack_ns = slack_ns;
        return slackSettable;
    }

  private:
    FakeThreadState* m_state;
};

// A RealtimeKit that grants by lowering the fake thread's nice level, or refuses.
class FakePriorityService final : public PriorityService
{
  public:
    explicit FakePriorityService(FakeThreadState* state, bool grants = true)
        : m_state(state), m_grants(grants)
    {
    }
    int calls = 0;

    bool MakeThreadHighPriority(quint64, int nice, QString* error) override
    {
        ++calls;
        if (!m_grants) {
            *error = QStringLiteral("org.freedesktop.DBus.Error.AccessDenied: refused");
            return false;
        }
        m_state->nice = nice;
        return true;
    }

  private:
    FakeThreadState* m_state;
    bool m_grants;
};

#pragma once

#include <QtGlobal>
#include <optional>

// What pace a run was given, measured tick by tick: the mean interval between the steps shown,
// the steps that came late and how late the worst was, the steps lost to a tick that came more
// than an interval late, and the lowest refresh rate of the screen the run was shown on.
//
// A step's interval is the time since the step before it in the same schedule; the first step
// after a start or a resume begins a new schedule, so that neither a pause nor the time before
// the first step counts as a long interval.  A step is late when its tick came 1 ms or more after
// the moment it was due.  Costs a few additions a tick.
class PaceMeter
{
  public:
    static constexpr qint64 kLateFrom_ns = 1'000'000;

    // Forgets the run measured so far.
    void reset() { *this = PaceMeter(); }

    // A step shown at `tick_ns`, due at `due_ns` (both on the monotonic line), `lagCount` whole
    // intervals after the step before; `firstOfSchedule`: the first step since a start or resume.
    void step(qint64 tick_ns, qint64 due_ns, int lagCount, bool firstOfSchedule)
    {
        if (!firstOfSchedule && m_scheduled) {
            m_span_ns += tick_ns - m_previous_ns;
            ++m_spans;
        }
        m_previous_ns = tick_ns;
        m_scheduled = true;
        const qint64 late_ns = tick_ns - due_ns;
        if (late_ns >= kLateFrom_ns)
            ++m_lateSteps;
        m_worstLate_ns = qMax(m_worstLate_ns, late_ns);
        m_lostSteps += qMax(0, lagCount - 1);
    }

    // The steps that follow do not go on from the one before (a tick that showed no step).
    void breakSchedule() { m_scheduled = false; }

    // The refresh rate of the screen the run is shown on, at the start and whenever it may have
    // changed; a rate of 0 or less is not known and ignored.
    void noteRefreshRate(double hz)
    {
        if (hz > 0 && (m_lowest_hz == 0 || hz < m_lowest_hz))
            m_lowest_hz = hz;
    }

    // The mean interval between the steps, in microseconds (rounded); unknown until two steps
    // of one schedule were shown.
    std::optional<qint64> meanInterval_us() const
    {
        if (m_spans == 0)
            return std::nullopt;
        return (m_span_ns + m_spans * 500) / (m_spans * 1000);
    }
    qint64 lateSteps() const { return m_lateSteps; }
    // How late the latest step came, in microseconds; 0 when none was late.
    qint64 worstLate_us() const { return m_worstLate_ns / 1000; }
    qint64 lostSteps() const { return m_lostSteps; }
    // The lowest refresh rate noted, in millihertz (rounded); unknown when none was.
    std::optional<int> refresh_mHz() const
    {
        if (m_lowest_hz == 0)
            return std::nullopt;
        return qRound(m_lowest_hz * 1000.0);
    }

  private:
    qint64 m_previous_ns = 0;
    bool m_scheduled = false; // a step of the current schedule was shown
    qint64 m_span_ns = 0;
    qint64 m_spans = 0;
    qint64 m_lateSteps = 0;
    qint64 m_worstLate_ns = 0;
    qint64 m_lostSteps = 0;
    double m_lowest_hz = 0; // 0: none noted
};

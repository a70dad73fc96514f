#pragma once
// The one platform seam of the frame timer.

#include <QObject>
#include <memory>

class QTimer;

// Wakes the user-interface thread's event loop at an absolute moment of the monotonic clock
// (Clock::MonotonicNanoseconds of the platform clock), precisely: no rounding up to whole
// milliseconds.  On Linux a timer file descriptor watched through a QSocketNotifier; elsewhere
// a precise QTimer.  Woken is always emitted from the event loop, never inside ArmAt.
class TickWaker : public QObject
{
    Q_OBJECT
  public:
    using QObject::QObject;
    ~TickWaker() override = default;
    // Arms a single wake-up at `deadlineNs` (replacing any armed one); a deadline in the past
    // wakes at once (from the event loop, not inside the call).
    virtual void ArmAt(qint64 deadlineNs) = 0;
    virtual void Disarm() = 0;
    virtual bool Armed() const = 0;

    // The best waker of this platform: the timer file descriptor where there is one, else the
    // precise QTimer.
    static std::unique_ptr<TickWaker> CreatePlatformWaker(QObject* parent = nullptr);
    // The portable one, on every platform (for comparisons).
    static std::unique_ptr<TickWaker> CreatePreciseTimerWaker(QObject* parent = nullptr);

  signals:
    void Woken();
};

// The portable waker: a single-shot Qt::PreciseTimer (never Qt::CoarseTimer, which moves
// deadlines by up to 5 %).  Its waits are whole milliseconds, rounded up so that it does not
// wake before the deadline; the timer checks the clock anyway.
class PreciseTimerWaker final : public TickWaker
{
    Q_OBJECT
  public:
    explicit PreciseTimerWaker(QObject* parent = nullptr);
    void ArmAt(qint64 deadlineNs) override;
    void Disarm() override;
    bool Armed() const override;

  private:
    void OnTimeout();
    QTimer* m_timer;
};

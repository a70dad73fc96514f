#pragma once
// The one platform seam of the frame timer.

#include <QObject>
#include <memory>

class QTimer;

// Wakes the user-interface thread's event loop at an absolute moment of the monotonic clock
// (Clock::monotonicNanoseconds of the platform clock), precisely: no rounding up to whole
// milliseconds.  On Linux a timer file descriptor watched through a QSocketNotifier; elsewhere
// a precise QTimer.  woken is always emitted from the event loop, never inside armAt.
class TickWaker : public QObject
{
    Q_OBJECT
  public:
    using QObject::QObject;
    ~TickWaker() override = default;
    // Arms a single wake-up at `deadlineNs` (replacing any armed one); a deadline in the past
    // wakes at once (from the event loop, not inside the call).
    virtual void armAt(qint64 deadlineNs) = 0;
    virtual void disarm() = 0;
    virtual bool isArmed() const = 0;

    // The best waker of this platform: the timer file descriptor where there is one, else the
    // precise QTimer.
    static std::unique_ptr<TickWaker> createPlatformWaker(QObject* parent = nullptr);
    // The portable one, on every platform (for comparisons).
    static std::unique_ptr<TickWaker> createPreciseTimerWaker(QObject* parent = nullptr);

  signals:
    void woken();
};

// The portable waker: a single-shot Qt::PreciseTimer (never Qt::CoarseTimer, which moves
// deadlines by up to 5 %).  Its waits are whole milliseconds, rounded up so that it does not
// wake before the deadline; the timer checks the clock anyway.
class PreciseTimerWaker final : public TickWaker
{
    Q_OBJECT
  public:
    explicit PreciseTimerWaker(QObject* parent = nullptr);
    void armAt(qint64 deadlineNs) override;
    void disarm() override;
    bool isArmed() const override;

  private:
    void onTimeout();
    QTimer* m_timer;
};

#pragma once
// CONTRACT HEADER: the one platform seam of the frame timer.

#include <QObject>
#include <memory>

// Wakes the user-interface thread's event loop at an absolute moment of the monotonic clock
// (Clock::MonotonicNanoseconds), precisely: no rounding up to whole milliseconds.  On Linux a
// timer file descriptor watched through a QSocketNotifier; elsewhere a precise QTimer.
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

    // The best waker of this platform.
    static std::unique_ptr<TickWaker> CreatePlatformWaker(QObject* parent = nullptr);

signals:
    void Woken();
};

#pragma once
// CONTRACT HEADER (public API fixed; the timer implementer fills in the private side and may
// add members).

#include <QObject>
#include <functional>
#include <memory>

class Clock;
#include "display/TickWaker.h"
class ActivitySource; // reports the application becoming active or inactive

// The frame timer.  Ticks on the user-interface thread, never while another handler runs,
// never closer together than Interval on the millisecond clock, only while the application is
// active when ActiveOnly is on.  Sleeps until the next tick is due (no busy polling).
class TCustomDXTimer : public QObject
{
    Q_OBJECT
public:
    // Null arguments: the platform clock, the platform waker, the application's activity.
    explicit TCustomDXTimer(QObject* parent = nullptr, Clock* clock = nullptr,
                            std::unique_ptr<TickWaker> waker = {}, ActivitySource* activity = nullptr);
    ~TCustomDXTimer() override;

    bool ActiveOnly() const;
    void setActiveOnly(bool on);
    bool Enabled() const;
    void setEnabled(bool on);
    quint32 Interval() const;
    void setInterval(quint32 ms);
    bool Running() const;
    quint32 LastTick() const;

    // Raised at each tick with the number of whole intervals since the previous tick (>= 1).
    std::function<void(QObject* sender, int LagCount)> OnTimer;

private:
    struct Private;
    std::unique_ptr<Private> d;
};

class TDXTimer : public TCustomDXTimer
{
    Q_OBJECT
public:
    using TCustomDXTimer::TCustomDXTimer;
};

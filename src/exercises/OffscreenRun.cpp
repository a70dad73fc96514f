#include "exercises/OffscreenRun.h"

#include "display/ExerciseDisplay.h"
#include "exercises/ExerciseWindow.h"
#include "timer/ActivitySource.h"
#include "timer/Clock.h"
#include "timer/FrameTimer.h"

#include <QCoreApplication>

namespace
{

// A clock that moves only when told to, from a fixed start.
class HandClock final : public Clock
{
  public:
    quint32 milliseconds() const override { return quint32(quint64(m_ns / 1'000'000)); }
    qint64 monotonicNanoseconds() const override { return m_ns; }
    double localDays() const override { return 45'000.0 + double(m_ns) / 86'400'000'000'000.0; }
    quint32 utcMillisecondOfDay() const override { return 0; }
    void moveTo(qint64 ns) { m_ns = std::max(m_ns, ns); }

  private:
    qint64 m_ns = 1'000'000'000;
};

// A wake-up that only notes its deadline; step() wakes the timer by hand.
class HandWaker final : public TickWaker
{
  public:
    void armAt(qint64 deadlineNs) override
    {
        m_armed = true;
        m_deadline_ns = deadlineNs;
    }
    void disarm() override { m_armed = false; }
    bool isArmed() const override { return m_armed; }
    qint64 deadline() const { return m_deadline_ns; }
    void fire()
    {
        m_armed = false;
        emit woken();
    }

  private:
    bool m_armed = false;
    qint64 m_deadline_ns = 0;
};

class AlwaysActive final : public ActivitySource
{
  public:
    bool isActive() const override { return true; }
};

} // namespace

struct OffscreenRun::Private {
    HandClock clock;
    AlwaysActive activity;
    HandWaker* waker = nullptr;
    std::unique_ptr<ExerciseWindow> window;
};

OffscreenRun::OffscreenRun(double scale) : d(std::make_unique<Private>())
{
    auto waker = std::make_unique<HandWaker>();
    d->waker = waker.get();
    ExerciseEnvironment environment;
    environment.offscreenScale = scale;
    environment.clock = &d->clock;
    environment.waker = std::move(waker);
    environment.activity = &d->activity;
    d->window = std::make_unique<ExerciseWindow>(std::move(environment));
}

OffscreenRun::~OffscreenRun()
{
    d->window->hide();
}

void OffscreenRun::start(const ExerciseSettings& settings)
{
    d->window->SetSettings(settings);
    d->window->show();
    QCoreApplication::processEvents();
}

bool OffscreenRun::ticking() const
{
    return d->window->isVisible() && d->waker->isArmed();
}

void OffscreenRun::step()
{
    if (!ticking())
        return;
    d->clock.moveTo(d->waker->deadline());
    d->waker->fire();
}

void OffscreenRun::stop()
{
    d->window->keyDown(Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::processEvents();
}

QImage OffscreenRun::frame() const
{
    const FrameSurface* surface = d->window->display()->surface();
    return surface ? surface->image() : QImage();
}

ExerciseWindow& OffscreenRun::window() const
{
    return *d->window;
}

#include "exercises/OffscreenRun.h"

#include "display/ExerciseDisplay.h"
#include "exercises/ExerciseWindow.h"
#include "timer/FrameTimer.h"
#include "timer/ManualTime.h"

#include <QCoreApplication>

struct OffscreenRun::Private {
    ManualClock clock;
    ManualActivity activity;
    ManualWaker* waker = nullptr;
    std::unique_ptr<ExerciseWindow> window;
};

OffscreenRun::OffscreenRun(double scale) : d(std::make_unique<Private>())
{
    auto waker = std::make_unique<ManualWaker>();
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
    d->window->setSettings(settings);
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
    d->clock.setNs(std::max(d->clock.monotonicNanoseconds(), d->waker->deadline()));
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

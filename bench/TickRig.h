#pragma once
// One exercise shown and drawn, ready to tick by hand: the exercise window as the program makes
// it, with its frame in memory (640 x 480) or on the screen (whatever Qt platform runs), with a wake-up that
// never fires so that only the caller ticks.

#include "Session.h"
#include "display/ExerciseDisplay.h"
#include "timer/ManualTime.h"
#include "timer/TickWaker.h"

#include <QCoreApplication>
#include <memory>

namespace bench
{

enum class Backend { Memory, Screen };

inline const char* BackendName(Backend d)
{
    return d == Backend::Memory ? "memory" : "screen";
}

class TickRig
{
  public:
    TickRig(Backend display, Exercise exercise) : m_activity(true)
    {
        ExerciseEnvironment env;
        if (display == Backend::Memory)
            env.offscreenScale = 1;
        env.waker = std::make_unique<ManualWaker>();
        env.activity = &m_activity;
        m_session = std::make_unique<Session>(std::move(env));
        m_session->Configure(exercise, 40);
        screen = m_session->screen.get();
        screen->show(); // the show step: initialize() and the first frame
        Settle();
    }
    ~TickRig()
    {
        screen->hide();
        Settle();
    }

    // One tick as the timer raises it: the duration check, the step, its present.
    void Tick() { screen->timerTick(1); }
    // The first frame of the exercise again, with its present.
    void FirstFrame() { screen->currentExercise()->start(); }
    // What the event loop does after a present on the screen: the repaint of the changed part
    // and its flush to the window system.
    static void Settle() { QCoreApplication::processEvents(); }

    ExerciseWindow* screen = nullptr;

  private:
    ManualActivity m_activity;
    std::unique_ptr<Session> m_session;
};

} // namespace bench

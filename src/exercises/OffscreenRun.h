#pragma once

#include "core/ExerciseSettings.h"

#include <QImage>
#include <memory>

class ExerciseWindow;

// The exercise window run off-screen, one step at a time: the frame kept in memory at a chosen
// scale (1: 640 x 480; a screen's scale draws the frame as that screen shows it), a clock that
// stands still until step() moves it to the next tick, and the application always active.  The
// frames are exactly what the program shows, through the same drawing path.  The frame
// renderer draws with it.
class OffscreenRun
{
  public:
    explicit OffscreenRun(double scale = 1);
    ~OffscreenRun();
    OffscreenRun(const OffscreenRun&) = delete;
    OffscreenRun& operator=(const OffscreenRun&) = delete;

    // Shows the exercise window with `settings`: the first frame is drawn.
    void start(const ExerciseSettings& settings);
    // Whether the timer waits for a next tick (false once the run has ended).
    bool ticking() const;
    // Moves the clock to the next tick and lets the timer tick once.
    void step();
    // Ends the run as Escape does.
    void stop();

    // The frame as drawn now (RGB32), or a null image when no run is on.
    QImage frame() const;
    ExerciseWindow& window() const;

  private:
    struct Private;
    std::unique_ptr<Private> d;
};

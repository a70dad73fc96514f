#pragma once
// An exercise window with its frame kept off-screen, with a clock, a wake-up and application
// activity that the test drives by hand, and the settings of the next run.

#include "core/Report.h"
#include "display/ExerciseDisplay.h"
#include "exercises/ExerciseWindow.h"
#include "support/Sandbox.h"
#include "support/Scales.h"
#include "timer/FrameTimer.h"
#include "timer/ManualTime.h"

#include <QCoreApplication>
#include <QImage>
#include <QStringList>
#include <QTest>
#include <cmath>

struct ExerciseRig {
    zrvtest::Sandbox sandbox;
    QStringList& reports = sandbox.reports;
    ManualClock clock;
    ManualActivity activity{true};
    ManualWaker* waker = nullptr;
    ExerciseSettings settings; // what start() runs
    std::unique_ptr<ExerciseWindow> screen;

    // The frame at `scale` device pixels a frame unit (1: 640 x 480).
    explicit ExerciseRig(double scale = 1)
    {
        auto ownedWaker = std::make_unique<ManualWaker>();
        waker = ownedWaker.get();
        ExerciseWindow::Environment env;
        env.offscreenScale = scale;
        env.clock = &clock;
        env.waker = std::move(ownedWaker);
        env.activity = &activity;
        screen = std::make_unique<ExerciseWindow>(std::move(env));
    }

    // Starts a run of `settings` without a modal loop: the show step runs, the first frame is
    // presented.
    void start(int exercise)
    {
        settings.exercise = exercise;
        screen->setSettings(settings);
        screen->show();
        QCoreApplication::processEvents();
    }
    // The exercise of the run.
    DotExercise& dot() const { return dynamic_cast<DotExercise&>(*screen->currentExercise()); }
    LetterExercise& letters() const { return dynamic_cast<LetterExercise&>(*screen->currentExercise()); }
    Canvas* canvas() const { return screen->display()->surface()->canvas(); }
    double scale() const { return *screen->display()->offscreenScale(); }
    // Whether the display is given back (nothing held between runs).
    bool displayReleased() const
    {
        return !screen->display()->isInitialized() && !screen->display()->surface();
    }

    // Moves the clock to the next due moment and lets the timer tick once.
    void tick()
    {
        QVERIFY(waker->isArmed());
        clock.setNs(waker->deadline());
        waker->fire();
    }
    void pressKey(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(screen.get(), Qt::Key(key), modifiers);
        QCoreApplication::processEvents();
    }
    // The frame as drawn now, or a null image when the display is not held.
    QImage screenImage() const
    {
        const FrameSurface* surface = screen->display()->surface();
        return surface ? surface->image() : QImage();
    }
};

// The colour of frame unit (x, y) of a frame, whatever its scale: the device pixel under the
// unit's centre.
inline int devicePixelOf(int v, const QImage& image)
{
    return int(std::floor((v + 0.5) * (image.width() / 640.0)));
}
inline QRgb pixel(const QImage& image, int x, int y)
{
    const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(devicePixelOf(y, image)));
    return row[devicePixelOf(x, image)] | 0xFF000000u;
}

// Frame units of `image` in `value` inside `rect`.
inline int countPixels(const QImage& image, QRgb value, QRect rect = QRect(0, 0, 640, 480))
{
    int n = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(devicePixelOf(y, image)));
        for (int x = rect.left(); x <= rect.right(); ++x)
            n += (row[devicePixelOf(x, image)] | 0xFF000000u) == value;
    }
    return n;
}

#pragma once
// An exercise window on the in-memory display, with a clock, a wake-up and application activity
// that the test drives by hand, and the settings of the next run.

#include "core/Report.h"
#include "display/ExerciseDisplay.h"
#include "display/MemoryPlatform.h"
#include "exercises/ExerciseWindow.h"
#include "support/FakeActivity.h"
#include "support/ManualWaker.h"
#include "support/MockClock.h"
#include "support/Sandbox.h"
#include "timer/FrameTimer.h"

#include <QCoreApplication>
#include <QImage>
#include <QStringList>
#include <QTest>

struct ExerciseRig {
    zrvtest::Sandbox sandbox;
    QStringList& reports = sandbox.reports;
    MockClock clock;
    FakeActivity activity{true};
    std::shared_ptr<MemoryPlatform> platform = std::make_shared<MemoryPlatform>();
    ManualWaker* waker = nullptr;
    ExerciseSettings settings; // what start() runs
    std::unique_ptr<ExerciseWindow> screen;

    ExerciseRig()
    {
        auto ownedWaker = std::make_unique<ManualWaker>();
        waker = ownedWaker.get();
        ExerciseWindow::Environment env;
        env.platform = platform;
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
        screen->SetSettings(settings);
        screen->show();
        QCoreApplication::processEvents();
    }
    // The exercise of the run.
    DotExercise& dot() const { return dynamic_cast<DotExercise&>(*screen->CurrentExercise()); }
    LetterExercise& letters() const { return dynamic_cast<LetterExercise&>(*screen->CurrentExercise()); }
    Canvas* canvas() const { return screen->Display->Surface()->canvas(); }

    // Moves the clock to the next due moment and lets the timer tick once.
    void tick()
    {
        QVERIFY(waker->isArmed());
        clock.SetNs(waker->Deadline());
        waker->Fire();
    }
    void pressKey(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(screen.get(), Qt::Key(key), modifiers);
        QCoreApplication::processEvents();
    }
    QImage screenImage() const { return platform->Screen(); }
};

inline quint16 pixel(const QImage& image, int x, int y)
{
    return reinterpret_cast<const quint16*>(image.constScanLine(y))[x];
}

// Pixels of `image` equal to `value` inside `rect`.
inline int countPixels(const QImage& image, quint16 value, QRect rect = QRect(0, 0, 640, 480))
{
    int n = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            n += pixel(image, x, y) == value;
    return n;
}

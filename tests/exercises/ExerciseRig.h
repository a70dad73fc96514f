#pragma once
// The settings window and an exercise window on the in-memory display, with a clock, a
// wake-up and application activity that the test drives by hand.

#include "core/Report.h"
#include "display/DXDraw.h"
#include "display/DXTimer.h"
#include "display/MemoryPlatform.h"
#include "exercises/ScreenForm.h"
#include "mock/FakeActivity.h"
#include "mock/ManualWaker.h"
#include "mock/MockClock.h"
#include "settings/MainForm.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

struct ExerciseRig {
    QTemporaryDir dir;
    QString previousDir = QDir::currentPath();
    QStringList reports;
    MockClock clock;
    FakeActivity activity{true};
    std::shared_ptr<MemoryPlatform> platform = std::make_shared<MemoryPlatform>();
    ManualWaker* waker = nullptr;
    std::unique_ptr<TMainForm> main;
    std::unique_ptr<TScreenForm> screen;

    ExerciseRig()
    {
        QDir::setCurrent(dir.path());
        zrv::SetReportHook([this](zrv::ReportKind, const QString& text) { reports << text; });
        main = std::make_unique<TMainForm>();
        main->show();
        auto ownedWaker = std::make_unique<ManualWaker>();
        waker = ownedWaker.get();
        TScreenForm::Environment env;
        env.platform = platform;
        env.clock = &clock;
        env.waker = std::move(ownedWaker);
        env.activity = &activity;
        screen = std::make_unique<TScreenForm>(main.get(), std::move(env));
        main->SetScreenForm(screen.get());
    }
    ~ExerciseRig()
    {
        screen.reset();
        main->hide();
        main.reset();
        zrv::SetReportHook({});
        QDir::setCurrent(previousDir);
    }

    // Selects an exercise in the settings window as the user would.
    void selectExercise(int exercise)
    {
        main->boxAls->setCurrentIndex(exercise);
        main->boxAlsChange();
    }
    // Starts a run without a modal loop: the show step runs, the first frame is presented.
    void start(int exercise)
    {
        screen->Exercise = quint8(exercise);
        screen->show();
        QCoreApplication::processEvents();
    }
    // Moves the clock to the next due moment and lets the timer tick once.
    void tick()
    {
        QVERIFY(waker->Armed());
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

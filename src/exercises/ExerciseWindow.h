#pragma once

#include "core/ExerciseSettings.h"
#include "display/ProgramWindow.h"
#include "exercises/ExerciseRun.h"
#include "journal/RunRecord.h"
#include "timer/TickWaker.h"

#include <functional>

#include <memory>

class ActivitySource;
class Clock;
class DisplayPlatform;
class ExerciseDisplay;
class FrameTimer;

// What the exercise window runs on.  Null members: the screen, the platform clock and waker,
// and the application's own activity reports.  Tests pass the in-memory display and fakes.
struct ExerciseEnvironment {
    std::shared_ptr<DisplayPlatform> platform;
    Clock* clock = nullptr;
    std::unique_ptr<TickWaker> waker;
    ActivitySource* activity = nullptr;
};

// The exercise window: runs one exercise at a time on the full-screen drawing surface.  The
// settings window hands it the settings of the run with SetSettings() and calls ShowModal();
// the call returns when the run has ended (Escape, or the chosen duration).  What the run was
// (its settings, the steps shown, how long it lasted, how it ended) goes to OnRunEnded when its
// window closes.
class ExerciseWindow : public ProgramWindow
{
    Q_OBJECT
  public:
    using Environment = ExerciseEnvironment;

    explicit ExerciseWindow(Environment environment = {}, QWidget* parent = nullptr);
    ~ExerciseWindow() override;

    ExerciseDisplay* Display = nullptr;
    FrameTimer* Timer = nullptr;

    // The settings of the next run; they hold until the window is shown again.
    void SetSettings(const ExerciseSettings& settings) { m_settings = settings; }
    const ExerciseSettings& Settings() const { return m_settings; }
    // The exercise of the current or last run; null before the first show.
    ExerciseRun* CurrentExercise() const { return m_exercise.get(); }

    // Called once a run has ended, when its window closes, before the start button's call
    // returns.
    std::function<void(const RunRecord&)> OnRunEnded;

    double StartTime = 0; // days, local time
    double Elapsed = 0;   // days since StartTime, as last measured by a tick

    // Handlers.
    void FormShow();
    void FormKeyDown(int key, Qt::KeyboardModifiers shift);
    void FormClose();
    void DisplayInitialize(QObject* sender);
    void DisplayFinalize(QObject* sender);
    void TimerTick(QObject* sender, int LagCount);

  protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    // The end of the run: its facts go to OnRunEnded.
    void EndRun();

    Clock* m_clock;
    ActivitySource* m_activity;
    RunRecord m_run;             // the run being shown
    bool m_running = false;      // from the show step to the close
    bool m_displayTaken = false; // the display was taken for the run
    std::optional<RunEnd> m_end; // why a close was requested, when it was
    qint64 m_startNs = 0;        // the monotonic moment of StartTime
    ExerciseSettings m_settings;
    std::unique_ptr<ExerciseRun> m_exercise;
};

#pragma once

#include "display/DXForm.h"
#include "display/TickWaker.h"
#include "exercises/ExerciseRun.h"
#include "exercises/ExerciseSettings.h"

#include <memory>

class ActivitySource;
class Clock;
class DisplayPlatform;
class TDXDraw;
class TDXTimer;

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
// the call returns when the run has ended (Escape, or the chosen duration).
class TScreenForm : public TDXForm
{
    Q_OBJECT
  public:
    using Environment = ExerciseEnvironment;

    explicit TScreenForm(Environment environment = {}, QWidget* parent = nullptr);
    ~TScreenForm() override;

    TDXDraw* DXDraw = nullptr;
    TDXTimer* DXTimer = nullptr;

    // The settings of the next run; they hold until the window is shown again.
    void SetSettings(const ExerciseSettings& settings) { m_settings = settings; }
    const ExerciseSettings& Settings() const { return m_settings; }
    // The exercise of the current or last run; null before the first show.
    ExerciseRun* CurrentExercise() const { return m_exercise.get(); }

    double StartTime = 0; // days, local time
    double Elapsed = 0;   // days since StartTime, as last measured by a tick

    // Handlers.
    void FormShow();
    void FormKeyDown(int key, Qt::KeyboardModifiers shift);
    void FormClose();
    void DXDrawInitialize(QObject* sender);
    void DXDrawFinalize(QObject* sender);
    void DXTimerTimer(QObject* sender, int LagCount);

  protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    Clock* m_clock;
    qint64 m_startNs = 0; // the monotonic moment of StartTime
    ExerciseSettings m_settings;
    std::unique_ptr<ExerciseRun> m_exercise;
};

#pragma once

#include "core/ExerciseSettings.h"
#include "exercises/ExerciseRun.h"
#include "journal/RunRecord.h"
#include "timer/PaceMeter.h"
#include "timer/ScreenSaverInhibitor.h"
#include "timer/TickWaker.h"

#include <QPointer>
#include <QWidget>
#include <memory>
#include <optional>

class ActivitySource;
class Clock;
class ExerciseDisplay;
class FrameTimer;
class QEventLoop;
class QLabel;
class QScreen;
class RestScreen;
class StageScreen;
class SummaryScreen;
struct RoutineSummary;

// One step of a routine as the exercise window runs it: an exercise with its settings, or a
// rest, for a number of seconds.
struct RoutineStage {
    std::optional<ExerciseSettings> exercise; // nullopt: a rest
    int duration_s = 60;
    QString nextName; // a rest: the exercise that follows it; empty when none does
    // A stage with a screen of its own (a reading test), made when the stage begins; it lasts
    // until the screen is done, whatever duration_s says.
    std::function<StageScreen*(QWidget* parent)> screen = {};
};

// What the exercise window runs on.  Unset members: the screen, the platform clock and waker,
// the application's own activity reports, and the desktop's screensaver (none for a frame kept
// off-screen).  Tests and the frame renderer keep the frame off-screen at a scale of their
// choosing (1: 640 x 480) and pass fakes.
struct ExerciseEnvironment {
    std::optional<double> offscreenScale;
    Clock* clock = nullptr;
    std::unique_ptr<TickWaker> waker;
    ActivitySource* activity = nullptr;
    std::optional<ScreenSaverInhibitor::Backends> screenSaver;
};

// The exercise window: runs one exercise at a time on the full-screen drawing surface.  The
// settings window hands it the settings of the run with setSettings() and calls showModal();
// the call returns when the run has ended (Escape, or the chosen duration).  What the run was
// (its settings, the steps shown, how long it lasted, how it ended) goes out with runEnded when
// its window closes.  An error of the display or the drawing is shown in the standard error box
// where it is raised; the rest of that step is skipped and the run goes on.  A top-level window of its own,
// with its own taskbar entry.
//
// While the run shows its frame the screen is kept on.  Space pauses the run and resumes it:
// the frame stands as it is under a line that says so, the screen may blank, and neither the
// duration nor the run's time counts the pause; the steps go on at the full interval from the
// resume.
class ExerciseWindow : public QWidget
{
    Q_OBJECT
  public:
    using Environment = ExerciseEnvironment;

    explicit ExerciseWindow(Environment environment = {}, QWidget* parent = nullptr);
    ~ExerciseWindow() override;

    ExerciseDisplay* display() const { return m_display; }
    FrameTimer* timer() const { return m_timer; }
    const ScreenSaverInhibitor* screenSaver() const { return m_screenSaver; }
    bool isPaused() const { return m_paused; }

    // Shows the window application-modal (other windows are disabled) and returns when it has
    // closed, like a dialog's exec().
    void showModal();
    // Marks a window shown with ShowModal for closing and returns at once: the close
    // (closeEvent, hiding) happens afterwards in the modal loop, never inside the caller.
    void requestClose();
    bool isModalRunning() const { return m_modalLoop != nullptr; }

    // The settings of the next run; they hold until the window is shown again.
    void setSettings(const ExerciseSettings& settings) { m_settings = settings; }
    // The stages of the daily routine that the next show runs one after the other in this
    // window, each exercise recorded as a run of its own marked with the routine's start; an
    // empty list (the default) runs the settings of setSettings() alone.  Escape ends the
    // routine: the exercise going on is recorded as ended by Escape, nothing further runs.
    void setRoutine(QList<RoutineStage> stages) { m_stages = std::move(stages); }
    // The stage going on, 0-based; -1 outside a routine.
    int stageIndex() const { return m_stages.isEmpty() ? -1 : m_stage; }
    // When the routine going on started (UTC ms); nullopt outside a routine.
    std::optional<qint64> routineStart_utc_ms() const { return m_routineStart_utc_ms; }
    bool isResting() const { return m_resting; }
    const RestScreen* restScreen() const { return m_restScreen; }
    const ExerciseSettings& settings() const { return m_settings; }
    // The exercise of the current or last run; null before the first show.
    ExerciseRun* currentExercise() const { return m_exercise.get(); }

    // Shows `summary` in place of the routine until Escape or Enter closes the window; called
    // by a receiver of routineEnded.
    void showSummary(const RoutineSummary& summary);
    const SummaryScreen* summaryScreen() const { return m_summaryScreen; }
    bool isSummaryShown() const { return m_summaryShown; }

    double startTime() const { return m_startTime; } // days, local time
    // Days since startTime() without the pauses, as last measured by a tick.
    double elapsed() const { return m_elapsed; }

    // Handlers.
    void showStep();
    void keyDown(int key, Qt::KeyboardModifiers modifiers);
    void closeStep();
    void timerTick(int lagCount);

  signals:
    // Once a run has ended, when its window closes, before the start button's call returns.
    void runEnded(const RunRecord& run);
    // A routine has ended (its last stage, or Escape), after its last run went to runEnded,
    // with the routine's start (UTC).  A receiver may show its summary (showSummary); without
    // one the window closes at once.
    void routineEnded(qint64 start_utc_ms);

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void displayInitialized();
    void displayFinalized();
    // The surface was made again at another scale: the exercise draws its frame again.
    void surfaceRemade();
    // The end of the run: its facts go out with runEnded.
    void endRun();
    void recordRun();
    // A routine's stage: its run or rest begun, then its first frame or the rest screen shown
    // on the display taken for the routine.
    void beginStage();
    void drawStage();
    // The stage's time is up: the next one, or the end of the routine after the last.
    void nextStage();
    // The routine's end: its summary on the screen, false when there is none to show.
    bool endRoutine();
    void restTick();
    // Space: pauses a run that shows its frame, or resumes it.
    void togglePause();
    // The paused time of the run so far, the pause going on included.
    qint64 pausedNs() const;
    void placePauseLine();
    // The screen the run is shown on, at the start and when the window moves to another one:
    // the pace meter keeps its lowest refresh rate.
    void noteScreen(QScreen* screen);

    ExerciseDisplay* m_display = nullptr;
    FrameTimer* m_timer = nullptr;
    QEventLoop* m_modalLoop = nullptr;
    bool m_closeRequested = false;
    double m_startTime = 0;
    double m_elapsed = 0;
    Clock* m_clock;
    ActivitySource* m_activity;
    ScreenSaverInhibitor* m_screenSaver;
    QLabel* m_pauseLine = nullptr;
    // The moment of Space's last release, as the window system tells it.
    quint64 m_spaceReleased_ms = 0;
    RunRecord m_run;             // the run being shown
    bool m_running = false;      // from the show step to the close
    bool m_displayTaken = false; // the display was taken for the run
    std::optional<RunEnd> m_end; // why a close was requested, when it was
    qint64 m_startNs = 0;        // the monotonic moment of StartTime
    bool m_paused = false;
    qint64 m_pauseStartNs = 0; // the monotonic moment the pause going on began
    qint64 m_pausedNs = 0;     // the pauses of the run that have ended
    PaceMeter m_pace;          // the pace the run's steps were shown at
    ExerciseSettings m_settings;
    std::unique_ptr<ExerciseRun> m_exercise;
    QList<RoutineStage> m_stages;
    int m_stage = 0;
    std::optional<qint64> m_routineStart_utc_ms;
    bool m_resting = false;
    bool m_advancing = false; // the next stage is on its way
    RestScreen* m_restScreen = nullptr;
    QPointer<StageScreen> m_stageScreen; // the screen of the stage going on, if it has one
    SummaryScreen* m_summaryScreen = nullptr;
    bool m_summaryShown = false;
};

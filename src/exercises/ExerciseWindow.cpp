#include "exercises/ExerciseWindow.h"

#include "core/Report.h"
#include "display/ExerciseDisplay.h"
#include "exercises/RestScreen.h"
#include "exercises/StageScreen.h"
#include "exercises/SummaryScreen.h"
#include "journal/RoutineSummary.h"
#include "timer/ActivitySource.h"
#include "timer/Clock.h"
#include "timer/FrameTimer.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QShortcut>
#include <QVBoxLayout>
#include <QWindow>

namespace
{
constexpr double kMinutesPerDay = 1440.0;
constexpr double kNanosecondsPerDay = 86'400'000'000'000.0;
constexpr qint64 kNsPerMs = 1'000'000;
constexpr int kPauseLineMargin = 8;
constexpr qint64 kNsPerSecond = 1'000'000'000;
// How often the rest screen's countdown looks at the clock.
constexpr int kRestTick_ms = 200;
} // namespace

ExerciseWindow::ExerciseWindow(Environment environment, QWidget* parent)
    : QWidget(parent, Qt::Window), m_clock(environment.clock ? environment.clock : &Clock::system()),
      m_activity(environment.activity ? environment.activity : new ApplicationActivity(this)),
      m_screenSaver(new ScreenSaverInhibitor(environment.screenSaver      ? *environment.screenSaver
                                             : environment.offscreenScale ? ScreenSaverInhibitor::none()
                                                                          : ScreenSaverInhibitor::system(),
                                             this))
{
    setWindowTitle(QStringLiteral("zrv"));
    setWindowFlag(Qt::FramelessWindowHint);
    resize(640, 480);
    setFocusPolicy(Qt::StrongFocus);

    m_display = new ExerciseDisplay(this);
    if (environment.offscreenScale)
        m_display->setOffscreenScale(*environment.offscreenScale);
    m_display->setCursor(Qt::ForbiddenCursor);
    m_display->setFocusPolicy(Qt::NoFocus);
    connect(m_display, &ExerciseDisplay::initialized, this, &ExerciseWindow::displayInitialized);
    connect(m_display, &ExerciseDisplay::finalized, this, &ExerciseWindow::displayFinalized);
    connect(m_display, &ExerciseDisplay::surfaceRemade, this, &ExerciseWindow::surfaceRemade);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_display);

    // Over the frame, not in it: the frame under the line stays as it was for the resume.
    // Opaque, so that its contrast (about 17:1) holds over any frame.
    m_pauseLine = new QLabel(this);
    m_pauseLine->setObjectName(QStringLiteral("pauseLine"));
    m_pauseLine->setStyleSheet(QStringLiteral("color: #f0f0f0; background: #101010; padding: 2px 8px;"));
    m_pauseLine->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_pauseLine->setCursor(Qt::BlankCursor);
    m_pauseLine->hide();
    m_restScreen = new RestScreen(this);
    m_restScreen->hide();
    m_summaryScreen = new SummaryScreen(this);
    m_summaryScreen->hide();

    // Escape ends the run also when the window system has given the keyboard to another of the
    // program's windows, which this one blocks while it runs: a window switcher can pick the
    // settings window lying beneath it.  Such a window takes no keys, but the program's own
    // shortcuts still see them.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::ApplicationShortcut);
    connect(escape, &QShortcut::activated, this, [this] { keyDown(Qt::Key_Escape, Qt::NoModifier); });

    m_timer = new FrameTimer(this, m_clock, std::move(environment.waker), m_activity);
    m_timer->setActiveOnly(true);
    m_timer->setEnabled(false);
    m_timer->setPace(zrv::Pace(400));
    connect(m_timer, &FrameTimer::ticked, this, &ExerciseWindow::timerTick);
    // While the application is inactive the exercise stands still; the journal notes it.
    connect(m_activity, &ActivitySource::activeChanged, this, [this](bool active) {
        if (m_running && !active)
            m_run.inactive = true;
    });
}

ExerciseWindow::~ExerciseWindow()
{
    m_timer->setEnabled(false);
    m_display->finalize();
    if (m_modalLoop)
        m_modalLoop->exit(0);
}

void ExerciseWindow::showModal()
{
    if (m_modalLoop)
        return;
    QEventLoop loop;
    m_modalLoop = &loop;
    m_closeRequested = false;
    QPointer<ExerciseWindow> self(this);
    setWindowModality(Qt::ApplicationModal);
    show();
    if (isVisible())
        loop.exec(QEventLoop::DialogExec);
    if (self)
        m_modalLoop = nullptr;
}

void ExerciseWindow::requestClose()
{
    if (m_closeRequested)
        return;
    m_closeRequested = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_closeRequested = false;
            close();
        },
        Qt::QueuedConnection);
}

void ExerciseWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        showStep();
}

void ExerciseWindow::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    if (m_modalLoop)
        m_modalLoop->exit(0);
}

void ExerciseWindow::showStep()
{
    // 1. No mouse pointer over the surface.
    m_display->setCursor(Qt::BlankCursor);
    setFocus(Qt::OtherFocusReason);
    m_stage = 0;
    m_routineStart_utc_ms.reset();
    if (!m_stages.isEmpty())
        m_routineStart_utc_ms = QDateTime::currentMSecsSinceEpoch();
    m_displayTaken = false;
    m_advancing = false;
    m_summaryShown = false;
    m_summaryScreen->hide();
    if (QWindow* window = windowHandle())
        connect(window, &QWindow::screenChanged, this, &ExerciseWindow::noteScreen, Qt::UniqueConnection);
    // 2.-4. The run, its exercise and its pace.
    beginStage();
    // 5. Take the display; its initialized() enables the timer.  The first tick comes only
    // after this handler has returned.  A display that cannot be had leaves nothing to draw.
    if (!zrv::attempt([this] { m_display->initialize(); }))
        return;
    // 6.-7. The exercise font on the new canvas that initialize() made, and the first frame.
    drawStage();
}

void ExerciseWindow::beginStage()
{
    const RoutineStage* stage = m_stages.isEmpty() ? nullptr : &m_stages[m_stage];
    if (stage && stage->exercise)
        m_settings = *stage->exercise;
    m_resting = stage && !stage->exercise && !stage->screen;
    // 2. The start of the run (or of the rest).
    m_elapsed = 0;
    m_startTime = m_clock->localDays();
    m_startNs = m_clock->monotonicNanoseconds();
    m_end.reset();
    m_paused = false;
    m_pausedNs = 0;
    m_pauseLine->hide();
    m_exercise.reset();
    if (stage && stage->screen) {
        m_running = false;
        m_stageScreen = stage->screen(this);
        if (!m_stageScreen) { // nothing to show: the routine goes on
            m_advancing = true;
            QMetaObject::invokeMethod(
                this, [this] { nextStage(); }, Qt::QueuedConnection);
            return;
        }
        connect(m_stageScreen, &StageScreen::done, this, [this] {
            if (!m_advancing) {
                m_advancing = true;
                QMetaObject::invokeMethod(
                    this, [this] { nextStage(); }, Qt::QueuedConnection);
            }
        });
        return;
    }
    if (m_resting) {
        m_running = false;
        m_timer->setPace(zrv::Pace(kRestTick_ms));
        return;
    }
    m_run = RunRecord::of(m_settings);
    m_run.started = QDateTime::currentDateTime();
    m_run.inactive = !m_activity->isActive();
    m_run.routine_utc_ms = m_routineStart_utc_ms;
    m_running = true;
    m_pace.reset();
    noteScreen(screen());
    // 3. The exercise, with its blocks; the previous run's are released first.
    m_exercise = ExerciseRun::create(m_settings, *m_display);
    // 4. The pace.
    m_timer->setPace(m_settings.pace);
    m_run.pace = m_timer->pace(); // the journal keeps the pace the run had
}

void ExerciseWindow::drawStage()
{
    if (m_stageScreen) {
        m_restScreen->hide();
        m_stageScreen->setGeometry(rect());
        m_stageScreen->show();
        m_stageScreen->raise();
        m_stageScreen->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (m_resting) {
        const RoutineStage& stage = m_stages[m_stage];
        m_restScreen->setNext(stage.nextName);
        m_restScreen->setSecondsLeft(stage.duration_s);
        m_restScreen->setGeometry(rect());
        m_restScreen->show();
        m_restScreen->raise();
        return;
    }
    m_restScreen->hide();
    if (!m_display->isInitialized())
        return;
    Canvas* canvas = m_display->surface()->canvas();
    canvas->font.name = m_settings.font.name;
    canvas->font.size = m_settings.font.size;
    canvas->font.charset = m_settings.font.charset;
    canvas->font.style = m_settings.font.style;
    if (m_exercise)
        zrv::attempt([this] { m_exercise->start(); });
}

void ExerciseWindow::nextStage()
{
    m_advancing = false;
    // Escape or a stop request on the way: the close (or the summary) ends the routine with
    // this stage.
    if (m_closeRequested || !isVisible() || m_summaryShown)
        return;
    if (m_running)
        recordRun();
    if (m_stageScreen) {
        m_stageScreen->hide();
        m_stageScreen->deleteLater();
        m_stageScreen = nullptr;
        setFocus(Qt::OtherFocusReason);
    }
    if (m_stage + 1 >= m_stages.size()) {
        if (!endRoutine())
            requestClose();
        return;
    }
    ++m_stage;
    beginStage();
    drawStage();
    m_timer->setEnabled(true);
}

bool ExerciseWindow::endRoutine()
{
    if (m_routineStart_utc_ms)
        emit routineEnded(*m_routineStart_utc_ms);
    return m_summaryShown;
}

void ExerciseWindow::showSummary(const RoutineSummary& summary)
{
    // A screen given up with Escape keeps what it has to before the summary covers it.
    if (m_stageScreen) {
        m_stageScreen->abort(m_end == RunEnd::Escape);
        m_stageScreen->hide();
        m_stageScreen->deleteLater();
        m_stageScreen = nullptr;
        setFocus(Qt::OtherFocusReason);
    }
    m_timer->setEnabled(false);
    m_screenSaver->release();
    m_resting = false;
    m_restScreen->hide();
    m_summaryScreen->setSummary(summary);
    m_summaryScreen->setGeometry(rect());
    m_summaryScreen->show();
    m_summaryScreen->raise();
    m_summaryShown = true;
}

void ExerciseWindow::restTick()
{
    const RoutineStage& stage = m_stages[m_stage];
    const qint64 left_ns =
        stage.duration_s * kNsPerSecond - (m_clock->monotonicNanoseconds() - m_startNs - pausedNs());
    m_restScreen->setSecondsLeft(int(std::max<qint64>(0, (left_ns + kNsPerSecond - 1) / kNsPerSecond)));
    if (left_ns <= 0 && !m_advancing) {
        m_advancing = true;
        m_timer->setEnabled(false);
        QMetaObject::invokeMethod(
            this, [this] { nextStage(); }, Qt::QueuedConnection);
    }
}

void ExerciseWindow::keyPressEvent(QKeyEvent* event)
{
    // Space held down pauses once, not on and off with the key's repeats.  On X11 a repeat
    // comes as a release and a press of the same moment, and Qt does not always see the pair
    // as one (the press may not have arrived when the release is read): a press in the
    // millisecond of the last release is a repeat as well.
    const bool repeat =
        event->isAutoRepeat() || (m_spaceReleased_ms && event->timestamp() >= m_spaceReleased_ms &&
                                  event->timestamp() - m_spaceReleased_ms <= 1);
    if (!(event->key() == Qt::Key_Space && repeat))
        keyDown(event->key(), event->modifiers());
    event->accept();
}

void ExerciseWindow::keyReleaseEvent(QKeyEvent* event)
{
    // A release never pauses nor resumes.
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat())
        m_spaceReleased_ms = event->timestamp();
    event->accept();
}

void ExerciseWindow::keyDown(int key, Qt::KeyboardModifiers)
{
    if (m_summaryShown) {
        if (key == Qt::Key_Escape || key == Qt::Key_Return || key == Qt::Key_Enter)
            requestClose();
    } else if (key == Qt::Key_Escape) {
        if (!m_end)
            m_end = RunEnd::Escape;
        // A routine given up: its run goes to the journal now, and its summary says what it did.
        if (!m_stages.isEmpty() && !m_closeRequested && m_displayTaken && isVisible()) {
            if (m_running) {
                m_timer->setEnabled(false);
                recordRun();
            }
            if (endRoutine())
                return;
        }
        requestClose();
    } else if (key == Qt::Key_Space) {
        togglePause();
    }
}

void ExerciseWindow::togglePause()
{
    if (!m_paused) {
        // Only a run that shows its frame (or a rest), and not once its end is on the way.
        if (!(m_running || m_resting) || !m_display->isInitialized() || m_end || m_closeRequested ||
            m_advancing)
            return;
        m_paused = true;
        m_pauseStartNs = m_clock->monotonicNanoseconds();
        m_timer->setEnabled(false);
        m_screenSaver->release();
        QString text = tr("Duraklatıldı — devam etmek için Boşluk, bitirmek için Esc");
        const int duration_s = m_stages.isEmpty() ? m_settings.minutes * 60 : m_stages[m_stage].duration_s;
        if (duration_s > 0) {
            const qint64 left_s = std::max<qint64>(
                0, duration_s - (m_clock->monotonicNanoseconds() - m_startNs - pausedNs()) / kNsPerSecond);
            text += tr(" · kalan %1:%2").arg(left_s / 60).arg(left_s % 60, 2, 10, QLatin1Char('0'));
        }
        m_pauseLine->setText(text);
        placePauseLine();
        m_pauseLine->show();
        m_pauseLine->raise();
        return;
    }
    m_pausedNs = pausedNs();
    m_paused = false;
    m_pauseLine->hide();
    // The timer measures its interval anew from here: no step is caught up.
    m_timer->setEnabled(true);
    m_screenSaver->hold();
}

qint64 ExerciseWindow::pausedNs() const
{
    return m_pausedNs + (m_paused ? m_clock->monotonicNanoseconds() - m_pauseStartNs : 0);
}

void ExerciseWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    placePauseLine();
    m_restScreen->setGeometry(rect());
    if (m_stageScreen)
        m_stageScreen->setGeometry(rect());
    m_summaryScreen->setGeometry(rect());
}

void ExerciseWindow::placePauseLine()
{
    // In proportion to the screen, as the frame is, and never too small to read.
    QFont font = m_pauseLine->font();
    font.setPixelSize(std::max(14, height() / 40));
    m_pauseLine->setFont(font);
    m_pauseLine->adjustSize();
    m_pauseLine->move((width() - m_pauseLine->width()) / 2,
                      height() - m_pauseLine->height() - kPauseLineMargin);
}

void ExerciseWindow::closeEvent(QCloseEvent* event)
{
    closeStep();
    endRun();
    event->accept();
}

void ExerciseWindow::closeStep()
{
    zrv::attempt([this] { m_display->finalize(); });
    m_display->setCursor(Qt::ForbiddenCursor);
}

void ExerciseWindow::endRun()
{
    m_resting = false;
    m_restScreen->hide();
    if (m_stageScreen) {
        if (!m_advancing)
            m_stageScreen->abort(m_end == RunEnd::Escape);
        m_stageScreen->hide();
        m_stageScreen->deleteLater();
        m_stageScreen = nullptr;
    }
    m_summaryShown = false;
    m_summaryScreen->hide();
    if (!m_running)
        return;
    m_screenSaver->release();
    recordRun();
}

void ExerciseWindow::recordRun()
{
    m_running = false;
    const qint64 paused_ns = pausedNs();
    m_paused = false;
    m_pauseLine->hide();
    m_run.paused_ms = paused_ns / kNsPerMs;
    m_run.run_ms = (m_clock->monotonicNanoseconds() - m_startNs - paused_ns) / kNsPerMs;
    // A close that neither Escape nor the duration asked for: the program is ending.
    m_run.end = m_displayTaken ? m_end.value_or(RunEnd::Stopped) : RunEnd::DisplayFailure;
    m_run.delivered_us = m_pace.meanInterval_us();
    m_run.lateSteps = m_pace.lateSteps();
    m_run.worstLate_us = m_pace.worstLate_us();
    m_run.lostSteps = m_pace.lostSteps();
    m_run.refresh_mHz = m_pace.refresh_mHz();
    emit runEnded(m_run);
}

void ExerciseWindow::displayInitialized()
{
    m_displayTaken = true;
    m_timer->setEnabled(true);
    m_screenSaver->hold();
}

void ExerciseWindow::displayFinalized()
{
    m_timer->setEnabled(false);
    m_screenSaver->release();
}

void ExerciseWindow::surfaceRemade()
{
    if (m_exercise && m_running)
        zrv::attempt([this] { m_exercise->redraw(); });
}

void ExerciseWindow::noteScreen(QScreen* screen)
{
    if (m_running && screen)
        m_pace.noteRefreshRate(screen->refreshRate());
}

void ExerciseWindow::timerTick(int lagCount)
{
    if (m_stageScreen)
        return; // the screen keeps its own time
    if (m_resting) {
        restTick();
        return;
    }
    if (!m_display->canDraw()) {
        m_pace.breakSchedule();
        return;
    }
    const int minutes = m_settings.minutes;
    if (!m_stages.isEmpty()) {
        // A routine's exercise lasts its stage's seconds; the next stage follows in this window.
        const qint64 elapsed_ns = m_clock->monotonicNanoseconds() - m_startNs - pausedNs();
        m_elapsed = double(elapsed_ns) / kNanosecondsPerDay;
        if (elapsed_ns > m_stages[m_stage].duration_s * kNsPerSecond && !m_advancing && !m_end) {
            m_end = RunEnd::Duration;
            m_advancing = true;
            m_timer->setEnabled(false);
            QMetaObject::invokeMethod(
                this, [this] { nextStage(); }, Qt::QueuedConnection);
        }
    } else if (minutes > 0) {
        // Measured on the monotonic clock: a change of the wall clock (daylight saving, a
        // manual correction) must not stretch or cut a run short.
        m_elapsed = double(m_clock->monotonicNanoseconds() - m_startNs - pausedNs()) / kNanosecondsPerDay;
        if (m_elapsed > minutes / kMinutesPerDay) {
            if (!m_end)
                m_end = RunEnd::Duration;
            requestClose();
        }
    }
    if (m_exercise) {
        // A step that could not be drawn is not counted; the ticks go on.
        if (!zrv::attempt([this] { m_exercise->step(); }))
            return;
        ++m_run.steps;
        const FrameTimer::TickTimes& times = m_timer->lastTickTimes();
        m_pace.step(times.tick_ns, times.due_ns, lagCount, times.firstOfSchedule);
    }
}

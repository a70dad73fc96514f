#include "exercises/ExerciseWindow.h"

#include "core/Report.h"
#include "display/ExerciseDisplay.h"
#include "timer/ActivitySource.h"
#include "timer/Clock.h"
#include "timer/FrameTimer.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QShortcut>
#include <QVBoxLayout>

namespace
{
constexpr double kMinutesPerDay = 1440.0;
constexpr double kNanosecondsPerDay = 86'400'000'000'000.0;
} // namespace

ExerciseWindow::ExerciseWindow(Environment environment, QWidget* parent)
    : ProgramWindow(parent), m_clock(environment.clock ? environment.clock : &Clock::system()),
      m_activity(environment.activity ? environment.activity : new ApplicationActivity(this))
{
    setWindowTitle(QStringLiteral("zrv"));
    setWindowFlag(Qt::FramelessWindowHint);
    resize(640, 480);
    setFocusPolicy(Qt::StrongFocus);

    Display = new ExerciseDisplay(this, std::move(environment.platform));
    Display->AutoInitialize = true;
    Display->Options = doFullScreen;
    Display->SurfaceWidth = 640;
    Display->SurfaceHeight = 480;
    Display->setCursor(Qt::ForbiddenCursor);
    Display->setFocusPolicy(Qt::NoFocus);
    Display->OnInitialize = [this](QObject* sender) { DisplayInitialize(sender); };
    Display->OnFinalize = [this](QObject* sender) { DisplayFinalize(sender); };
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Display);

    // Escape ends the run also when the window system has given the keyboard to another of the
    // program's windows, which this one blocks while it runs: a window switcher can pick the
    // settings window lying beneath it.  Such a window takes no keys, but the program's own
    // shortcuts still see them.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::ApplicationShortcut);
    connect(escape, &QShortcut::activated, this, [this] { FormKeyDown(Qt::Key_Escape, Qt::NoModifier); });

    Timer = new FrameTimer(this, m_clock, std::move(environment.waker), m_activity);
    Timer->setActiveOnly(true);
    Timer->setEnabled(false);
    Timer->setInterval(400);
    Timer->onTimer = [this](QObject* sender, int lagCount) { TimerTick(sender, lagCount); };
    // While the application is inactive the exercise stands still; the journal notes it.
    connect(m_activity, &ActivitySource::activeChanged, this, [this](bool active) {
        if (m_running && !active)
            m_run.inactive = true;
    });
}

ExerciseWindow::~ExerciseWindow()
{
    Timer->setEnabled(false);
    Display->Finalize();
}

void ExerciseWindow::showEvent(QShowEvent* event)
{
    ProgramWindow::showEvent(event);
    if (!event->spontaneous())
        zrv::Guarded([this] { FormShow(); });
}

void ExerciseWindow::FormShow()
{
    // 1. No mouse pointer over the surface.
    Display->setCursor(Qt::BlankCursor);
    setFocus(Qt::OtherFocusReason);
    // 2. The start of the run.
    Elapsed = 0;
    StartTime = m_clock->localDays();
    m_startNs = m_clock->monotonicNanoseconds();
    m_run = RunRecord::of(m_settings);
    m_run.started = QDateTime::currentDateTime();
    m_run.inactive = !m_activity->isActive();
    m_running = true;
    m_displayTaken = false;
    m_end.reset();
    // 3. The exercise, with its blocks; the previous run's are released first.
    m_exercise.reset();
    m_exercise = ExerciseRun::Create(m_settings, *Display);
    // 4. The pace.  The speed box shows 40..2000; a text still being typed is held to that range too.
    Timer->setInterval(quint32(qBound(40, m_settings.interval_ms, 2000)));
    m_run.speed_ms = int(Timer->interval()); // the journal keeps the pace the run had
    // 5. Take the display; its OnInitialize enables the timer.  The first tick comes only
    // after this handler has returned.
    Display->Initialize();
    // 6. The exercise font, on the new canvas that Initialize made.
    Canvas* canvas = Display->Surface()->canvas();
    canvas->Font.Name = m_settings.font.Name;
    canvas->Font.Size = m_settings.font.Size;
    canvas->Font.Charset = m_settings.font.Charset;
    canvas->Font.Style = m_settings.font.Style;
    // 7. The first frame.
    if (m_exercise)
        m_exercise->Start();
}

void ExerciseWindow::keyPressEvent(QKeyEvent* event)
{
    FormKeyDown(event->key(), event->modifiers());
    event->accept();
}

void ExerciseWindow::FormKeyDown(int key, Qt::KeyboardModifiers)
{
    if (key == Qt::Key_Escape) {
        if (!m_end)
            m_end = RunEnd::Escape;
        RequestClose();
    }
}

void ExerciseWindow::closeEvent(QCloseEvent* event)
{
    zrv::Guarded([this] { FormClose(); });
    zrv::Guarded([this] { EndRun(); });
    event->accept();
}

void ExerciseWindow::FormClose()
{
    Display->Finalize();
    Display->setCursor(Qt::ForbiddenCursor);
}

void ExerciseWindow::EndRun()
{
    if (!m_running)
        return;
    m_running = false;
    m_run.run_ms = (m_clock->monotonicNanoseconds() - m_startNs) / 1'000'000;
    // A close that neither Escape nor the duration asked for: the program is ending.
    m_run.end = m_displayTaken ? m_end.value_or(RunEnd::Stopped) : RunEnd::DisplayFailure;
    if (OnRunEnded)
        OnRunEnded(m_run);
}

void ExerciseWindow::DisplayInitialize(QObject*)
{
    m_displayTaken = true;
    Timer->setEnabled(true);
}

void ExerciseWindow::DisplayFinalize(QObject*)
{
    Timer->setEnabled(false);
}

void ExerciseWindow::TimerTick(QObject*, int)
{
    if (!Display->CanDraw())
        return;
    const int minutes = m_settings.minutes;
    if (minutes > 0) {
        // Measured on the monotonic clock: a change of the wall clock (daylight saving, a
        // manual correction) must not stretch or cut a run short.
        Elapsed = double(m_clock->monotonicNanoseconds() - m_startNs) / kNanosecondsPerDay;
        if (Elapsed > minutes / kMinutesPerDay) {
            if (!m_end)
                m_end = RunEnd::Duration;
            RequestClose();
        }
    }
    if (m_exercise) {
        m_exercise->Step();
        ++m_run.steps;
    }
}

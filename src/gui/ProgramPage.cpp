#include "gui/ProgramPage.h"

#include "core/Autostart.h"
#include "core/Report.h"
#include "journal/SqliteJournal.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

namespace
{
// The items of the step selector: the three exercises, then the rest.
constexpr int kRestItem = Routine::kExercises;
constexpr int kReadingItem = Routine::kExercises + 1;

// How far back the days in a row are looked for.
constexpr int kStreakDays = 400;

QSpinBox* makeSpin(QWidget* parent, const QString& name, int min, int max, const QString& suffix = {})
{
    auto* spin = new QSpinBox(parent);
    spin->setObjectName(name);
    spin->setRange(min, max);
    spin->setSuffix(suffix);
    spin->setKeyboardTracking(false);
    return spin;
}

QPushButton* makeButton(QWidget* parent, const QString& name, const QString& text)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    // Enter presses the button that has the focus; elsewhere on the page it starts the routine.
    button->setAutoDefault(true);
    return button;
}

QLabel* buddyLabel(QWidget* parent, const QString& text, QWidget* buddy)
{
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}
} // namespace

ProgramPage::ProgramPage(SqliteJournal* journal,
                         std::function<std::optional<ExerciseSettings>(int)> sectionSettings, QWidget* parent)
    : QWidget(parent), m_journal(journal), m_sectionSettings(std::move(sectionSettings)),
      m_now([] { return QDateTime::currentDateTime(); })
{
    // The widgets are made when the page is first needed, not before the settings window's
    // first paint.
    if (journal) {
        auto* later = new QTimer(this);
        later->setSingleShot(true);
        connect(later, &QTimer::timeout, this, &ProgramPage::refresh);
        // A run recorded: the figures again once the exercise window is gone, if they are seen.
        connect(journal, &SqliteJournal::changed, this, [this, later] {
            if (isVisible())
                later->start(0);
        });
    }
}

void ProgramPage::createWidgets()
{
    if (lstSteps)
        return;
    lstSteps = new QListWidget(this);
    lstSteps->setObjectName(QStringLiteral("lstSteps"));
    boxStep = new QComboBox(this);
    boxStep->setObjectName(QStringLiteral("boxStep"));
    boxStep->addItems({exerciseName(0), exerciseName(1), exerciseName(2), tr("Dinlenme"), tr("Okuma testi")});
    valStepSeconds =
        makeSpin(this, QStringLiteral("valStepSeconds"), RoutineStep::min_s, RoutineStep::max_s, tr(" sn"));
    btnStepAdd = makeButton(this, QStringLiteral("btnStepAdd"), tr("&Ekle"));
    btnStepRemove = makeButton(this, QStringLiteral("btnStepRemove"), tr("S&il"));
    btnStepUp = makeButton(this, QStringLiteral("btnStepUp"), tr("&Yukarı"));
    btnStepDown = makeButton(this, QStringLiteral("btnStepDown"), tr("A&şağı"));
    labTotal = new QLabel(this);
    labTotal->setObjectName(QStringLiteral("labTotal"));

    auto* stepEditor = new QGridLayout;
    stepEditor->addWidget(buddyLabel(this, tr("&Adım:"), boxStep), 0, 0);
    stepEditor->addWidget(boxStep, 0, 1);
    stepEditor->addWidget(buddyLabel(this, tr("&Süre:"), valStepSeconds), 1, 0);
    stepEditor->addWidget(valStepSeconds, 1, 1);
    auto* moves = new QGridLayout;
    moves->addWidget(btnStepAdd, 0, 0);
    moves->addWidget(btnStepRemove, 0, 1);
    moves->addWidget(btnStepUp, 1, 0);
    moves->addWidget(btnStepDown, 1, 1);
    stepEditor->addLayout(moves, 2, 0, 1, 2);
    stepEditor->addWidget(labTotal, 3, 0, 1, 2);
    stepEditor->setRowStretch(4, 1);
    auto* steps = new QHBoxLayout;
    auto* list = new QVBoxLayout;
    list->addWidget(buddyLabel(this, tr("Adım&lar:"), lstSteps));
    list->addWidget(lstSteps);
    steps->addLayout(list, 1);
    steps->addLayout(stepEditor, 1);

    auto* paces = new QGroupBox(tr("Hız"), this);
    auto* paceGrid = new QGridLayout(paces);
    paceGrid->setVerticalSpacing(2);
    paceGrid->addWidget(new QLabel(tr("Bugün"), paces), 0, 1);
    paceGrid->addWidget(new QLabel(tr("En hızlı"), paces), 0, 2);
    const QString names[] = {tr("&Nokta:"), tr("&Piramit:"), tr("&Blok:")};
    for (int e = 0; e < Routine::kExercises; ++e) {
        valPace[size_t(e)] = makeSpin(paces, QStringLiteral("valPace%1").arg(e), zrv::Pace::kMin_ms,
                                      zrv::Pace::kMax_ms, tr(" ms"));
        valLimit[size_t(e)] = makeSpin(paces, QStringLiteral("valLimit%1").arg(e), zrv::Pace::kMin_ms,
                                       zrv::Pace::kMax_ms, tr(" ms"));
        paceGrid->addWidget(buddyLabel(paces, names[e], valPace[size_t(e)]), e + 1, 0);
        paceGrid->addWidget(valPace[size_t(e)], e + 1, 1);
        paceGrid->addWidget(valLimit[size_t(e)], e + 1, 2);
    }
    boxProgression = new QCheckBox(tr("&Hızı kendiliğinden artır"), paces);
    boxProgression->setObjectName(QStringLiteral("boxProgression"));
    boxProgression->setToolTip(tr("%1 tam koşudan sonra hız %2 artar (en hızlı sınırına kadar); Esc ile "
                                  "erken biten bir koşudan sonra bir adım geri gelir.")
                                   .arg(zrv::kRunsToAdvance)
                                   .arg(QStringLiteral("%5")));
    paceGrid->addWidget(boxProgression, 4, 0, 1, 3);
    labPlan = new QLabel(paces);
    labPlan->setObjectName(QStringLiteral("labPlan"));
    labPlan->setWordWrap(true);
    paceGrid->addWidget(labPlan, 5, 0, 1, 3);

    valGoal = makeSpin(this, QStringLiteral("valGoal"), Routine::min_goal_minutes, Routine::max_goal_minutes,
                       tr(" dk"));
    labGoal = new QLabel(this);
    labGoal->setObjectName(QStringLiteral("labGoal"));
    labGoal->setWordWrap(true);
    btnProgram = makeButton(this, QStringLiteral("btnProgram"), tr("P&rogramı başlat"));
    boxRemind = new QCheckBox(tr("Her gün ha&tırlat"), this);
    boxRemind->setObjectName(QStringLiteral("boxRemind"));
    boxRemind->setToolTip(tr("Oturum açılınca, günün hedefi tutmadıysa bir masaüstü bildirimi gösterilir."));
    auto* goal = new QHBoxLayout;
    goal->addWidget(buddyLabel(this, tr("&Günlük hedef:"), valGoal));
    goal->addWidget(valGoal);
    goal->addWidget(labGoal, 1);
    goal->addWidget(boxRemind);
    labGoalReach = new QLabel(this);
    labGoalReach->setObjectName(QStringLiteral("labGoalReach"));
    auto* start = new QHBoxLayout;
    start->addWidget(labGoalReach, 1);
    start->addWidget(btnProgram);

    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(8, 6, 8, 6);
    page->setSpacing(4);
    page->addLayout(steps);
    page->addWidget(paces);
    page->addLayout(goal);
    page->addLayout(start);

    connect(lstSteps, &QListWidget::currentRowChanged, this, [this] { showSelectedStep(); });
    connect(boxStep, &QComboBox::currentIndexChanged, this, [this](int item) {
        const int row = lstSteps->currentRow();
        change([row, item](Routine& r) {
            if (row >= 0 && row < r.steps.size())
                r.steps[row].exercise = item == kRestItem      ? RoutineStep::kRest
                                        : item == kReadingItem ? RoutineStep::kReading
                                                               : item;
        });
    });
    connect(valStepSeconds, &QSpinBox::valueChanged, this, [this](int seconds) {
        const int row = lstSteps->currentRow();
        change([row, seconds](Routine& r) {
            if (row >= 0 && row < r.steps.size())
                r.steps[row].duration_s = seconds;
        });
    });
    connect(btnStepAdd, &QPushButton::clicked, this, [this] {
        const int row = lstSteps->currentRow();
        change([row](Routine& r) {
            const RoutineStep step = row >= 0 && row < r.steps.size() ? r.steps[row] : RoutineStep{};
            r.steps.insert(row + 1, step);
        });
        lstSteps->setCurrentRow(row + 1);
    });
    connect(btnStepRemove, &QPushButton::clicked, this, [this] {
        const int row = lstSteps->currentRow();
        change([row](Routine& r) {
            if (row >= 0 && row < r.steps.size())
                r.steps.removeAt(row);
        });
        lstSteps->setCurrentRow(qMin(row, lstSteps->count() - 1));
    });
    const auto move = [this](int by) {
        const int row = lstSteps->currentRow();
        if (row < 0 || row + by < 0 || row + by >= m_routine.steps.size())
            return;
        change([row, by](Routine& r) { r.steps.move(row, row + by); });
        lstSteps->setCurrentRow(row + by);
    };
    connect(btnStepUp, &QPushButton::clicked, this, [move] { move(-1); });
    connect(btnStepDown, &QPushButton::clicked, this, [move] { move(1); });
    for (int e = 0; e < Routine::kExercises; ++e) {
        connect(valPace[size_t(e)], &QSpinBox::valueChanged, this,
                [this, e](int ms) { setPaceByHand(e, zrv::Pace(ms)); });
        connect(valLimit[size_t(e)], &QSpinBox::valueChanged, this, [this, e](int ms) {
            change([e, limit = zrv::Pace(ms)](Routine& r) { r.paces[size_t(e)].limit = limit; });
        });
    }
    connect(boxProgression, &QCheckBox::toggled, this, &ProgramPage::setProgression);
    connect(valGoal, &QSpinBox::valueChanged, this,
            [this](int minutes) { change([minutes](Routine& r) { r.goal_minutes = minutes; }); });
    connect(btnProgram, &QPushButton::clicked, this, &ProgramPage::startRequested);
    connect(boxRemind, &QCheckBox::toggled, this, &ProgramPage::setReminder);
}

void ProgramPage::setReminder(bool on)
{
    if (m_showing)
        return;
    QString error;
    // The program opens where it runs now, with the settings of this folder.
    const bool done =
        on ? zrv::installAutostart(QCoreApplication::applicationFilePath(), QDir::currentPath(), &error)
           : zrv::removeAutostart(&error);
    if (done)
        return;
    m_showing = true;
    boxRemind->setChecked(zrv::isAutostartInstalled());
    m_showing = false;
    zrv::showMessage(tr("Hatırlatma ayarlanamadı: %1\n(%2)").arg(error, zrv::autostartPath()));
}

void ProgramPage::load()
{
    if (m_loaded)
        return;
    m_loaded = true;
    if (const std::optional<Routine> stored = m_journal ? m_journal->routine() : std::nullopt)
        m_routine = *stored;
}

const Routine& ProgramPage::routine()
{
    load();
    return m_routine;
}

void ProgramPage::setRoutine(const Routine& routine)
{
    change([&routine](Routine& r) { r = routine.normalized(); });
}

void ProgramPage::change(const std::function<void(Routine&)>& edit)
{
    if (m_showing)
        return;
    load();
    Routine changed = m_routine;
    edit(changed);
    changed = changed.normalized();
    if (changed == m_routine && !m_unsaved)
        return;
    m_routine = changed;
    m_unsaved = !(m_journal && m_journal->saveRoutine(m_routine));
    refresh();
}

void ProgramPage::setPaceByHand(int exercise, zrv::Pace pace)
{
    if (m_showing || pace == m_plans[size_t(exercise)].pace)
        return;
    const qint64 now_ms = m_now().toMSecsSinceEpoch();
    change([exercise, pace, now_ms](Routine& r) {
        RoutinePace& routinePace = r.paces[size_t(exercise)];
        routinePace.pace = pace;
        routinePace.since_ms = now_ms;
        // A pace set faster than the limit moves the limit with it.
        routinePace.limit = std::min(routinePace.limit, pace);
    });
}

void ProgramPage::setProgression(bool on)
{
    const qint64 now_ms = m_now().toMSecsSinceEpoch();
    const auto plans = m_plans;
    change([on, now_ms, plans](Routine& r) {
        r.progression = on;
        // Off: the pace stands where the runs brought it.
        if (!on)
            for (int e = 0; e < Routine::kExercises; ++e)
                r.paces[size_t(e)] = {plans[size_t(e)].pace, r.paces[size_t(e)].limit, now_ms};
    });
}

void ProgramPage::fillUnsetPaces()
{
    bool unset = false;
    for (const RoutinePace& pace : m_routine.paces)
        unset = unset || !pace.pace;
    if (!unset || !m_sectionSettings)
        return;
    change([this](Routine& r) {
        for (int e = 0; e < Routine::kExercises; ++e) {
            RoutinePace& pace = r.paces[size_t(e)];
            if (pace.pace)
                continue;
            const std::optional<ExerciseSettings> settings = m_sectionSettings(e);
            pace.pace = settings ? settings->pace : zrv::Pace();
            pace.limit = std::min(pace.limit, *pace.pace);
        }
    });
}

void ProgramPage::refresh()
{
    createWidgets();
    load();
    fillUnsetPaces();
    const QDateTime now = m_now();
    for (int e = 0; e < Routine::kExercises; ++e)
        m_plans[size_t(e)] = planPace(m_routine.paces[size_t(e)], m_routine.progression, routineRuns(e), now);
    showRoutine();
}

QList<RunRecord> ProgramPage::routineRuns(std::optional<int> exercise) const
{
    RunQuery query;
    query.exercise = exercise;
    query.routineOnly = true;
    return m_journal ? m_journal->runs(query) : QList<RunRecord>();
}

QList<RunRecord> ProgramPage::recentRuns(const QDateTime& now) const
{
    RunQuery recent;
    recent.from = todayStart(now).addDays(-kStreakDays);
    return m_journal ? m_journal->runs(recent) : QList<RunRecord>();
}

RoutineSummary ProgramPage::summaryOf(qint64 start_utc_ms)
{
    load();
    const QDateTime now = m_now();
    return summarizeRoutine(m_routine, routineRuns(std::nullopt), recentRuns(now), start_utc_ms, now);
}

void ProgramPage::showRoutine()
{
    m_showing = true;
    const int row = lstSteps->currentRow();
    lstSteps->clear();
    for (const RoutineStep& step : std::as_const(m_routine.steps))
        lstSteps->addItem(zrv::stepName(step));
    if (!m_routine.steps.isEmpty()) // a routine of no steps: an empty list, nothing chosen
        lstSteps->setCurrentRow(qBound(0, row, int(m_routine.steps.size()) - 1));
    labTotal->setText(tr("Toplam: %1").arg(zrv::secondsName(m_routine.totalSeconds())));
    const QDateTime now = m_now();
    QStringList plan;
    QStringList next;
    for (int e = 0; e < Routine::kExercises; ++e) {
        valPace[size_t(e)]->setValue(m_plans[size_t(e)].pace.ms());
        valLimit[size_t(e)]->setValue(m_routine.paces[size_t(e)].limit.ms());
        const bool inRoutine = std::any_of(m_routine.steps.begin(), m_routine.steps.end(),
                                           [e](const RoutineStep& s) { return s.exercise == e; });
        if (inRoutine) {
            plan << planText(e, m_plans[size_t(e)], now);
            next << nextStepText(e, m_plans[size_t(e)]);
        }
    }
    next.removeAll(QString());
    QString planned = plan.isEmpty() ? QString() : tr("Bugün: %1").arg(plan.join(QStringLiteral(" · ")));
    if (!next.isEmpty())
        planned += QLatin1Char('\n') + tr("Sonraki adıma: %1").arg(next.join(QStringLiteral(" · ")));
    labPlan->setText(planned);
    boxProgression->setChecked(m_routine.progression);
    boxRemind->setChecked(zrv::isAutostartInstalled());
    valGoal->setValue(m_routine.goal_minutes);
    GoalFigures goal;
    if (m_journal && m_loaded) // not before the page is first needed
        goal = goalFigures(figuresByDay(recentRuns(now)), m_routine.goal_minutes, now);
    const int routine_s = m_routine.exerciseSeconds();
    labGoalReach->setText(
        routine_s >= m_routine.goal_minutes * 60
            ? tr("Programın bir çalıştırması (%1) hedefi karşılar.").arg(zrv::secondsName(routine_s))
            : tr("Programın bir çalıştırması (%1) hedefe yetmez.").arg(zrv::secondsName(routine_s)));
    labGoal->setText(tr("Bugün %1 / %2 dk%3 · Bu hafta %4 dk · Seri: %5 gün")
                         .arg(qFloor(goal.today_minutes))
                         .arg(m_routine.goal_minutes)
                         .arg(goal.metToday ? tr(" ✓") : QString())
                         .arg(qFloor(goal.week_minutes))
                         .arg(goal.streak_days));
    btnProgram->setEnabled(!m_routine.steps.isEmpty());
    m_showing = false;
    showSelectedStep();
}

void ProgramPage::showSelectedStep()
{
    const int row = lstSteps->currentRow();
    const bool selected = row >= 0 && row < m_routine.steps.size();
    for (QWidget* w : {static_cast<QWidget*>(boxStep), static_cast<QWidget*>(valStepSeconds),
                       static_cast<QWidget*>(btnStepRemove), static_cast<QWidget*>(btnStepUp),
                       static_cast<QWidget*>(btnStepDown)})
        w->setEnabled(selected);
    if (!selected)
        return;
    m_showing = true;
    const RoutineStep& step = m_routine.steps[row];
    boxStep->setCurrentIndex(step.isRest() ? kRestItem : step.isReading() ? kReadingItem : step.exercise);
    valStepSeconds->setValue(step.duration_s);
    valStepSeconds->setEnabled(!step.isReading()); // a reading test lasts as long as the reading
    m_showing = false;
}

QList<RoutineStage> ProgramPage::stages(QString* why)
{
    refresh();
    QList<RoutineStage> stages;
    for (int i = 0; i < m_routine.steps.size(); ++i) {
        const RoutineStep& step = m_routine.steps[i];
        RoutineStage stage;
        stage.duration_s = step.duration_s;
        if (step.isRest()) {
            for (int j = i + 1; j < m_routine.steps.size() && stage.nextName.isEmpty(); ++j)
                if (!m_routine.steps[j].isRest())
                    stage.nextName = m_routine.steps[j].isReading()
                                         ? tr("Okuma testi")
                                         : exerciseName(m_routine.steps[j].exercise);
        } else if (step.isReading()) {
            if (!m_readingStage)
                continue;
            stage.screen = m_readingStage;
        } else {
            std::optional<ExerciseSettings> settings = m_sectionSettings(step.exercise);
            if (!settings) {
                if (why)
                    *why = tr("Harf gruplarından en az birini seçiniz.");
                return {};
            }
            settings->pace = m_plans[size_t(step.exercise)].pace;
            settings->minutes = (step.duration_s + 59) / 60; // what the journal shows as its length
            stage.exercise = settings;
        }
        stages.append(stage);
    }
    return stages;
}

namespace
{
bool isEnter(const QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<const QKeyEvent*>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}
} // namespace

void ProgramPage::keyPressEvent(QKeyEvent* event)
{
    if (isEnter(event) && btnProgram && btnProgram->isEnabled()) {
        emit startRequested();
        return;
    }
    QWidget::keyPressEvent(event);
}

void ProgramPage::startOnEnterFrom(QWidget* widget)
{
    m_enterFrom = widget;
    widget->installEventFilter(this);
}

bool ProgramPage::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_enterFrom && isVisible() && isEnter(event) && btnProgram && btnProgram->isEnabled()) {
        emit startRequested();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void ProgramPage::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    refresh();
}

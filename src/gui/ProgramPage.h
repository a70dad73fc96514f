#pragma once

#include "core/Routine.h"
#include "exercises/ExerciseWindow.h"
#include "journal/RoutinePlan.h"
#include "journal/RoutineSummary.h"

#include <QWidget>
#include <array>
#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QSpinBox;
class SqliteJournal;

// The "Program" page of the settings window: the daily routine's steps, today's pace of each
// exercise with its limit, the daily goal and the days in a row it was met, and the button that
// runs the routine.  The routine lives in the journal's file, beside the runs; without a
// journal that can keep it, it is the standard one and changes hold until the program ends.
class ProgramPage : public QWidget
{
    Q_OBJECT
  public:
    // `journal` may be null.  `sectionSettings` gives the settings of an exercise's section as
    // the start button would run them, nullopt when it could not start.
    ProgramPage(SqliteJournal* journal, std::function<std::optional<ExerciseSettings>(int)> sectionSettings,
                QWidget* parent = nullptr);

    // The routine, read from the journal the first time it is needed (not before the settings
    // window's first paint).
    const Routine& routine();
    void setRoutine(const Routine& routine);
    // Today's pace of each exercise, from the routine and its runs in the journal.
    const std::array<PacePlan, Routine::kExercises>& plans() const { return m_plans; }
    // The routine as the exercise window runs it, with today's paces; empty when an exercise of
    // it cannot start (`why` then says so).
    QList<RoutineStage> stages(QString* why = nullptr);
    // The clock the page reads "today" from (tests set another).
    void setNow(std::function<QDateTime()> now) { m_now = std::move(now); }
    // Reads the plans and the goal's figures from the journal again and shows them.
    void refresh();
    // What the routine that started at `start_utc_ms` did, from the journal.
    RoutineSummary summaryOf(qint64 start_utc_ms);
    // Enter on `widget` (the tab bar the page was chosen with) starts the routine too while the
    // page is shown.
    void startOnEnterFrom(QWidget* widget);
    // What a reading step of the routine shows; without it such steps are left out.
    void setReadingStage(std::function<StageScreen*(QWidget*)> screen) { m_readingStage = std::move(screen); }

  signals:
    // "Programı başlat", or Enter on the page.
    void startRequested();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void createWidgets();
    void showRoutine();
    void showSelectedStep();
    // Keeps a change of the person: stored at once, shown again.
    void change(const std::function<void(Routine&)>& edit);
    void setPaceByHand(int exercise, zrv::Pace pace);
    void setProgression(bool on);
    void setReminder(bool on);
    // The section's speed for a pace not set yet.
    void fillUnsetPaces();
    void load();
    QList<RunRecord> routineRuns(std::optional<int> exercise) const;
    QList<RunRecord> recentRuns(const QDateTime& now) const;

    SqliteJournal* m_journal;
    std::function<std::optional<ExerciseSettings>(int)> m_sectionSettings;
    std::function<QDateTime()> m_now;
    Routine m_routine = Routine::standard();
    bool m_loaded = false;
    bool m_unsaved = false; // the journal could not keep the last change: tried again with the next
    std::array<PacePlan, Routine::kExercises> m_plans{};
    bool m_showing = false; // the widgets are being set: their signals are not the person's
    QWidget* m_enterFrom = nullptr;
    std::function<StageScreen*(QWidget*)> m_readingStage;

    QListWidget* lstSteps = nullptr;
    QComboBox* boxStep = nullptr;
    QSpinBox* valStepSeconds = nullptr;
    QPushButton* btnStepAdd = nullptr;
    QPushButton* btnStepRemove = nullptr;
    QPushButton* btnStepUp = nullptr;
    QPushButton* btnStepDown = nullptr;
    QLabel* labTotal = nullptr;
    std::array<QSpinBox*, Routine::kExercises> valPace{};
    std::array<QSpinBox*, Routine::kExercises> valLimit{};
    QCheckBox* boxProgression = nullptr;
    QLabel* labPlan = nullptr;
    QSpinBox* valGoal = nullptr;
    QLabel* labGoal = nullptr;
    QLabel* labGoalReach = nullptr; // whether one run of the routine meets the goal
    QCheckBox* boxRemind = nullptr; // "Her gün hatırlat": the session's autostart entry
    QPushButton* btnProgram = nullptr;
};

#include "core/Routine.h"

#include <QCoreApplication>
#include <cmath>

Routine Routine::standard()
{
    Routine routine;
    routine.steps = {{ExerciseSettings::Dot, 60},
                     {RoutineStep::kRest, 20},
                     {ExerciseSettings::Pyramid, 60},
                     {RoutineStep::kRest, 20},
                     {ExerciseSettings::Block, 60}};
    routine.goal_minutes = routine.exerciseSeconds() / 60;
    return routine;
}

int Routine::totalSeconds() const
{
    int total = 0;
    for (const RoutineStep& step : steps)
        total += step.duration_s;
    return total;
}

int Routine::exerciseSeconds() const
{
    int total = 0;
    for (const RoutineStep& step : steps)
        total += step.isRest() ? 0 : step.duration_s;
    return total;
}

Routine Routine::normalized() const
{
    Routine routine = *this;
    routine.steps.clear();
    for (RoutineStep step : steps) {
        if (!step.isRest() && !step.isReading() && (step.exercise < 0 || step.exercise >= kExercises))
            continue;
        step.duration_s = std::clamp(step.duration_s, RoutineStep::min_s, RoutineStep::max_s);
        routine.steps.append(step);
    }
    routine.goal_minutes = std::clamp(goal_minutes, min_goal_minutes, max_goal_minutes);
    return routine;
}

namespace zrv
{

Pace fasterPace(Pace pace, Pace limit)
{
    const int ms = pace.ms();
    const double target = ms * 0.95;
    int faster = ms > 200 ? int(std::lround(target / 10) * 10) : int(std::lround(target));
    faster = std::min(faster, ms - 1);
    return std::max(Pace(faster), limit);
}

Pace slowerPace(Pace pace)
{
    const int ms = pace.ms();
    const double target = ms / 0.95;
    const int slower = ms >= 200 ? int(std::lround(target / 10) * 10) : int(std::lround(target));
    return Pace(std::max(slower, ms + 1));
}

QString secondsName(int seconds)
{
    const int minutes = seconds / 60;
    const int rest = seconds % 60;
    if (minutes == 0)
        return QCoreApplication::translate("Routine", "%1 sn").arg(rest);
    if (rest == 0)
        return QCoreApplication::translate("Routine", "%1 dk").arg(minutes);
    return QCoreApplication::translate("Routine", "%1 dk %2 sn").arg(minutes).arg(rest);
}

QString stepName(const RoutineStep& step)
{
    static const char* const names[] = {QT_TRANSLATE_NOOP("Routine", "Nokta"),
                                        QT_TRANSLATE_NOOP("Routine", "Piramit"),
                                        QT_TRANSLATE_NOOP("Routine", "Blok")};
    if (step.isReading())
        return QCoreApplication::translate("Routine", "Okuma testi");
    const QString name = step.isRest() ? QCoreApplication::translate("Routine", "Dinlenme")
                         : step.exercise >= 0 && step.exercise < Routine::kExercises
                             ? QCoreApplication::translate("Routine", names[step.exercise])
                             : QString();
    return name + QStringLiteral(" · ") + secondsName(step.duration_s);
}

} // namespace zrv

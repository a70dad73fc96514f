#pragma once
// The exercise window as the program makes it, with the settings of the run the start button
// would give it on the built-in defaults.

#include "exercises/ExerciseWindow.h"
#include "support/DefaultSettings.h"
#include "timer/FrameTimer.h"

#include <memory>

namespace bench
{

enum class Exercise { Dot = 0, Pyramid = 1, Block = 2 };

inline const char* ExerciseName(Exercise e)
{
    switch (e) {
    case Exercise::Dot:
        return "dot";
    case Exercise::Pyramid:
        return "pyramid";
    case Exercise::Block:
        return "block";
    }
    return "?";
}

inline bool ParseExercise(const QString& text, Exercise& out)
{
    if (text == QLatin1String("dot"))
        out = Exercise::Dot;
    else if (text == QLatin1String("pyramid"))
        out = Exercise::Pyramid;
    else if (text == QLatin1String("block"))
        out = Exercise::Block;
    else
        return false;
    return true;
}

// The font size of the heavy text cases: small, so that the most blocks fit.
inline constexpr int kSmallFont_pt = 6;

class Session
{
  public:
    explicit Session(ExerciseEnvironment environment = {})
        : screen(std::make_unique<ExerciseWindow>(std::move(environment)))
    {
    }

    // The exercise at the pace, on the built-in defaults.  The text exercises get their
    // heaviest case: Pyramid "Üçgen", Block "Bitişik bloklar" with 36 letters x 6 lines, both
    // with a small font.
    void Configure(Exercise exercise, int interval_ms)
    {
        ExerciseSettings s = zrvtest::DefaultSettings(int(exercise));
        s.pace = zrv::Pace(interval_ms);
        if (exercise == Exercise::Pyramid) {
            s.type = 0; // "Üçgen"
            s.font.size = kSmallFont_pt;
        } else if (exercise == Exercise::Block) {
            s.type = 1; // "Bitişik bloklar"
            s.lines = 6;
            s.letters = 36;
            s.font.size = kSmallFont_pt;
        }
        s.minutes = 0; // "Sürekli": the bench ends the run itself
        screen->setSettings(s);
    }

    std::unique_ptr<ExerciseWindow> screen;
};

} // namespace bench

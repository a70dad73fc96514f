#pragma once

#include "core/ExerciseSettings.h"

namespace zrvtest
{

// What the start button gives the exercise window for `exercise` (0 Dot, 1 Pyramid, 2 Block)
// when the settings are the built-in defaults.
ExerciseSettings DefaultSettings(int exercise);

} // namespace zrvtest

#pragma once

#include "core/Pace.h"

#include <QString>
#include <optional>

// How the steps of an exercise show on a screen that is refreshed refresh_hz times a second:
// a step stays on the screen for whole frames only, so a step whose interval lies between two
// whole numbers of frames stays for the one or the other, as its start falls against the
// refresh.  An interval counts as a whole number of frames when it slips by a frame in no fewer
// than 100 steps (a screen of 59.94 Hz shows 50 ms steps as 3 frames each).
namespace zrv
{

struct StepFrames {
    int fewer = 0; // frames of the shorter showing
    int more = 0;  // of the longer; equal to fewer when the interval is a whole number of frames
    double frame_ms = 0;
};

// refresh_hz > 0.
StepFrames stepFrames(Pace pace, double refresh_hz);

// The pace the speed box can be set to nearest to `pace` that is a whole number of frames, the
// shorter one of two as near; none when the range has none.
std::optional<Pace> wholeFramePace(Pace pace, double refresh_hz);

// With the decimal sign of the language shown and without trailing zeros: "33,3", "50", "59,94"
// (in English "33.3", "59.94").
QString decimalName(double value, int decimals);
// The decimal sign of the language shown: a comma in Turkish.
QString decimalSign();

// "40 ms'lik adımlar 2 ya da 3 kare (33,3 / 50 ms)", or "40 ms'lik adımların her biri 3 kare".
QString stepFramesText(Pace pace, double refresh_hz);

// The speed box's tip: "Bu ekran 60 Hz: 40 ms'lik adımlar 2 ya da 3 kare (33,3 / 50 ms) kalır;
// 50 ms her adımda 3 kare".  Empty when the refresh rate is not known (0 or less).
QString speedFramesTip(Pace pace, double refresh_hz);

} // namespace zrv

#pragma once

#include <QSize>

class QScreen;
class QWidget;

// Showing the exercise window over a whole screen, on a real display.  The monitor's own mode is
// never switched: the window is shown full-screen on the screen that shows the program's other
// window (the settings window), and the frame is drawn at that screen's device resolution.
namespace zrv
{

// The screen a frame should be shown on for `form`: the screen of the active window or of
// another visible window of the program, else the form's, else the primary screen, whatever its
// size (the person sees that one).  Null when there is none.
QScreen* screenFor(const QWidget* form);

// The size of `screen` in device pixels.
QSize deviceSizeOfScreen(const QScreen* screen);

// Shows `form` full-screen on `screen`, keeping its own state and place for GiveBackScreen.
void takeScreen(QWidget* form, QScreen* screen);
// The form gets its own state and place back: at once when it is hidden, else when the event
// loop runs (so that a form being closed does not flash in its normal state); a TakeScreen
// before then calls it off.
void giveBackScreen(QWidget* form);

} // namespace zrv

#pragma once

#include "display/DisplayPlatform.h"

class QScreen;

// The display platform on a real screen, over Qt.  The monitor's own mode is never switched:
// holding the display "exclusively in 640 x 480" means showing the form full-screen on the
// screen that shows the program's other window (the settings window).  The surfaces are kept at
// that screen's device resolution: the 640 x 480 frame scaled to fill the screen's height or
// width (down as well as up), 4:3 kept, black bars beside it, drawn by the canvas at that size
// (RGB32, the named colours exactly).  A mode is refused when there is no screen or when
// it would show at less than a quarter of its size there (or is not 16 bits per pixel).
// Surfaces are never lost, so the frame survives the user switching away and back.
class ScreenPlatform : public DisplayPlatform
{
  public:
    DisplayResult CreateDisplay(std::unique_ptr<DisplayDevice>& device) override;

    // The screen the form would be shown on for a mode of `size` pixels: the screen of the
    // active window or of another visible window of the program, else the form's, else the
    // primary screen, whatever its size (the person sees that one).  Null when there is none.
    static QScreen* ScreenFor(const QWidget* form, QSize size);
};

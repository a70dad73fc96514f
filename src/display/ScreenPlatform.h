#pragma once

#include "display/DisplayPlatform.h"

class QScreen;

// The display platform on a real screen, over Qt.  The monitor's own mode is never switched:
// holding the display "exclusively in 640 x 480" means showing the form full-screen on the
// screen that shows the program's other window (the settings window), with the frame scaled to
// fill the screen's height or width, 4:3 kept, black bars beside it.  A mode is refused only
// when no screen can show it (no screen, or none at least that large in device pixels) or
// when it is not 16 bits per pixel, the only pixel format of the surfaces.  Surfaces are never
// lost, so the frame survives the user switching away and back.
class ScreenPlatform : public DisplayPlatform
{
  public:
    DisplayResult CreateDisplay(std::unique_ptr<DisplayDevice>& device) override;

    // The screen the form would be shown on for a mode of `size` pixels: the screen of the
    // active window or of another visible window of the program, else the form's, else the
    // primary screen; one that is too small gives way to the first screen that is large
    // enough.  Null when none is.
    static QScreen* ScreenFor(const QWidget* form, QSize size);
};

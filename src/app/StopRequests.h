#pragma once

#include <functional>

class SettingsWindow;
class ExerciseWindow;

namespace zrv
{

// Ends the program as a person would, when the system asks it to (a signal, the end of the
// session): a running exercise is ended first, so that the display is given back, an open
// dialog is cancelled, and then the settings window is closed the normal way, which saves the
// settings when the save box is ticked.  Each step waits for the event loop to finish the one
// before it.  A request that comes after one whose save failed (the window said why and stayed
// open), or while the window is still saying why, ends the program without saving, with exit
// code 1: the system is not kept waiting for a person.
class StopRequests
{
  public:
    // `exit` ends the event loop with an exit code (QCoreApplication::exit by default).
    StopRequests(SettingsWindow* settingsWindow, ExerciseWindow* exerciseWindow,
                 std::function<void(int)> exit = {});

    void request();

  private:
    void endStep(int attempt);

    SettingsWindow* m_settingsWindow;
    ExerciseWindow* m_exerciseWindow;
    std::function<void(int)> m_exit;
    bool m_saveFailed = false;
    bool m_closing = false; // inside the close, which may say modally why the save failed
};

} // namespace zrv

#pragma once

#include <QStringList>

#include <cstdio>
#include <optional>

namespace zrv
{

// Reads the program's command line before the application object exists, so that --help and
// --version answer without a display.  The options of Qt itself (-platform, -style, -display...)
// are let through for the application object to take.  Returns the exit code when the program
// has answered and must end (0 after --help or --version, 2 after a wrong option), nothing when
// it goes on to open its window (or to remind, as `start` says).
struct StartOptions {
    bool remind = false;      // --remind: the day's reminder, without a window
    bool programPage = false; // --page program: the window opens on the Program page
};
std::optional<int> handleCommandLine(const QStringList& arguments, std::FILE* out, std::FILE* err,
                                     StartOptions* start = nullptr);

// Around the creation of the application object: when no window system can be reached, Qt gives
// up with a fatal message and aborts.  Between Begin and End that says so in one line on `err`
// and ends the process with exit code 1 instead; Qt's other messages of that time reach the
// usual handler at End.
void beginApplicationStart(std::FILE* err);
void endApplicationStart();

} // namespace zrv

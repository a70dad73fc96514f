#pragma once

#include <thread>

namespace zrv
{
// Reads the system's font configuration (fontconfig: some fifty files parsed, the font caches
// mapped, a few milliseconds) on a thread of its own while the application connects to the
// display.  The settings window measures its texts before it can be shown, so without this the
// window would wait for the configuration; a program whose window is shown first reads it only
// when it paints.  Fontconfig makes its configuration once whichever thread asks first, so a
// font looked up before wait() is still right, only not sooner.
class FontWarmUp
{
  public:
    FontWarmUp();
    // Waits for the thread.
    ~FontWarmUp();
    FontWarmUp(const FontWarmUp&) = delete;
    FontWarmUp& operator=(const FontWarmUp&) = delete;

    // Returns once the configuration has been read.
    void wait();

  private:
    std::thread m_thread;
};
} // namespace zrv

#pragma once

#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QObject>
#include <QTimer>
#include <functional>
#include <optional>
#include <variant>

class QDBusPendingCall;

// Keeps the screen from blanking while held.
//
// The desktop is asked over the session bus, through the first of these that answers:
//   org.freedesktop.ScreenSaver      Inhibit(application, reason) -> cookie; UnInhibit(cookie)
//                                    (KDE, GNOME, Xfce)
//   org.freedesktop.portal.Inhibit   Inhibit("", 8 = idle, {reason}) -> a request handle, given
//                                    back with org.freedesktop.portal.Request.Close on it
// The calls never block the caller: a hold given back before its answer came is given back when
// the answer comes.  No service at all is no error.
//
// On X11 the X server's own screensaver (`xset s`) is reset at intervals as well, whatever the
// desktop said: it blanks on its own timeout, which no desktop service governs.  Qt has no call
// for it, so the reset is the program's one pair of X11 requests of its own (xcb, on the
// connection Qt's native X11 interface gives out), in ScreenSaverInhibitor.cpp alone; without it
// a bare X session (no desktop service on the bus, as under Xvfb or a plain window manager)
// blanks in the middle of a run.
class ScreenSaverInhibitor : public QObject
{
    Q_OBJECT
  public:
    // What it works on.  Tests hand in a private bus and a reset that counts.
    struct Backends {
        // The bus the desktop is asked on; a connection that is not connected asks nothing.
        QDBusConnection bus{QString()};
        // Resets the X screensaver and returns the milliseconds until the next reset is due;
        // null where there is no X server.
        std::function<int()> resetXScreenSaver;
    };
    // Nothing at all: neither a bus nor an X server.
    static Backends none() { return {}; }
    // The session bus and, on X11, the application's connection to the X server: reset every
    // half of the server's screensaver timeout, at least every 10 s.
    static Backends system();

    static constexpr int kCallTimeout_ms = 5000;
    static constexpr int kMaxXResetInterval_ms = 10'000;

    explicit ScreenSaverInhibitor(Backends backends = system(), QObject* parent = nullptr);
    // Gives back what it holds.
    ~ScreenSaverInhibitor() override;

    // Asks that the screen stay on; nothing when already held.
    void hold();
    // Gives the screen back; nothing when not held.
    void release();
    bool isHeld() const { return m_held; }

  private:
    using DesktopHold = std::variant<uint, QDBusObjectPath>; // a cookie or a portal handle
    enum class Service { ScreenSaver, Portal };

    void ask(Service service);
    void answered(const QDBusPendingCall& call, Service service, int generation);
    void giveBack(const DesktopHold& hold);
    void resetX();

    Backends m_backends;
    bool m_held = false;
    int m_generation = 0; // counts holds; an answer to an older one is given back
    std::optional<DesktopHold> m_desktopHold;
    QTimer m_xReset;
};

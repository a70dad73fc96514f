#pragma once

#include <QByteArray>

#include <cstdio>

namespace zrv
{
// What a bus did when it was tried.
enum class BusAnswer {
    Answered,  // it took the connection and answered (or turned it down): Qt's own calls will not hang
    Silent,    // it took the connection and said nothing within the limit
    NotProbed, // nothing took the connection, or the address is not one of a local socket
};

// Tries the D-Bus bus at `address` (as DBUS_SESSION_BUS_ADDRESS gives it) as a client does:
// connects to the first of its sockets that takes the connection, authenticates and says Hello,
// all within `limit_ms`.
BusAnswer probeBus(const QByteArray& address, int limit_ms);

// Called before the application is made: Qt's accessibility bridge asks for the session bus
// while the application connects to the display, and waits as long as the bus keeps the
// connection without answering.  Such a bus is left alone for this run (the address of the
// environment is replaced by one nothing connects to, so that the accessibility bridge and the
// program's own calls fail at once; the screen is then kept on through the X server), and one
// line on `err` says why.
void leaveSilentSessionBusAlone(std::FILE* err, int limit_ms = 1500);
} // namespace zrv

#include "app/SessionBusProbe.h"

#include <QByteArrayList>
#include <QDeadlineTimer>
#include <QtEndian>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace
{
// A file descriptor closed when it goes.
class Socket
{
  public:
    Socket() : m_fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0)) {}
    ~Socket()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    int fd() const { return m_fd; }

  private:
    int m_fd;
};

// Waits for `events` on `fd` until `deadline`.
bool waitFor(int fd, short events, const QDeadlineTimer& deadline)
{
    for (;;) {
        pollfd p{fd, events, 0};
        const int r = ::poll(&p, 1, int(qMax<qint64>(0, deadline.remainingTime())));
        if (r > 0)
            return true;
        if (r == 0 || errno != EINTR)
            return false;
    }
}

bool sendAll(int fd, const QByteArray& bytes, const QDeadlineTimer& deadline)
{
    for (qsizetype sent = 0; sent < bytes.size();) {
        const ssize_t n = ::send(fd, bytes.constData() + sent, size_t(bytes.size() - sent), MSG_NOSIGNAL);
        if (n > 0)
            sent += n;
        else if ((n < 0 && errno != EAGAIN && errno != EINTR) || !waitFor(fd, POLLOUT, deadline))
            return false;
    }
    return true;
}

// Reads what comes until `enough` says so, the peer closes, or the deadline: whether it came.
template <typename Enough> bool receive(int fd, const QDeadlineTimer& deadline, Enough enough)
{
    QByteArray received;
    char buffer[256];
    while (!enough(received)) {
        if (!waitFor(fd, POLLIN, deadline))
            return false;
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n == 0)
            return true; // closed: an answer too, and Qt's calls will not wait for it either
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return true;
        if (n > 0)
            received.append(buffer, n);
    }
    return true;
}

// The bus's Hello call, the first message of every client, in little-endian D-Bus marshalling.
QByteArray helloMessage()
{
    QByteArray m;
    const auto align = [&m](int n) {
        while (m.size() % n)
            m.append('\0');
    };
    const auto u32 = [&m](quint32 v) {
        const quint32 le = qToLittleEndian(v);
        m.append(reinterpret_cast<const char*>(&le), 4);
    };
    m.append("l\x01\x00\x01", 4); // little endian, a method call, no flags, version 1
    u32(0);                       // no body
    u32(1);                       // the serial
    u32(0);                       // the fields' length, filled in below
    const struct {
        char code;
        char signature;
        const char* value;
    } fields[] = {{1, 'o', "/org/freedesktop/DBus"},
                  {6, 's', "org.freedesktop.DBus"},
                  {2, 's', "org.freedesktop.DBus"},
                  {3, 's', "Hello"}};
    for (const auto& f : fields) {
        align(8);
        m.append(f.code);
        m.append('\x01');
        m.append(f.signature);
        m.append('\0');
        align(4);
        u32(quint32(std::strlen(f.value)));
        m.append(f.value);
        m.append('\0');
    }
    const quint32 length = qToLittleEndian(quint32(m.size() - 16));
    std::memcpy(m.data() + 12, &length, 4);
    align(8);
    return m;
}

// The socket address of one bus address, "unix:path=..." or "unix:abstract=..."; false for
// any other kind.
bool socketOf(const QByteArray& address, sockaddr_un* socket, socklen_t* length)
{
    if (!address.startsWith("unix:"))
        return false;
    for (const QByteArray& pair : address.mid(5).split(',')) {
        const qsizetype equals = pair.indexOf('=');
        const QByteArray key = pair.left(equals);
        const QByteArray value = QByteArray::fromPercentEncoding(pair.mid(equals + 1));
        const bool abstract = key == "abstract";
        if (equals < 0 || (key != "path" && !abstract) || value.isEmpty() ||
            value.size() + 1 > qsizetype(sizeof socket->sun_path))
            continue;
        *socket = {};
        socket->sun_family = AF_UNIX;
        std::memcpy(socket->sun_path + (abstract ? 1 : 0), value.constData(), size_t(value.size()));
        *length = socklen_t(offsetof(sockaddr_un, sun_path) + size_t(value.size()) + (abstract ? 1 : 0));
        return true;
    }
    return false;
}

// Connects within the deadline: false when nothing takes the connection.
bool connectTo(int fd, const sockaddr_un& address, socklen_t length, const QDeadlineTimer& deadline)
{
    for (;;) {
        if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), length) == 0)
            return true;
        if (errno == EINPROGRESS) // taken once the socket can be written
            return waitFor(fd, POLLOUT, deadline);
        // A backlog that is full: taken, and not answered so far.
        if (errno != EAGAIN && errno != EINTR)
            return false;
        if (deadline.hasExpired())
            return true;
        ::usleep(10'000);
    }
}
} // namespace

namespace zrv
{

BusAnswer probeBus(const QByteArray& address, int limit_ms)
{
    const QDeadlineTimer deadline(limit_ms);
    for (const QByteArray& one : address.split(';')) {
        sockaddr_un socketAddress{};
        socklen_t length = 0;
        if (!socketOf(one, &socketAddress, &length))
            return BusAnswer::NotProbed; // a client would try it: not known what it does
        Socket socket;
        if (socket.fd() < 0)
            return BusAnswer::NotProbed;
        if (!connectTo(socket.fd(), socketAddress, length, deadline))
            continue;             // the next one, as a client goes on
        QByteArray auth(1, '\0'); // the byte that opens every connection
        auth += "AUTH EXTERNAL " + QByteArray::number(::getuid()).toHex() + "\r\n";
        bool ok = false;
        bool lineEnded = false;
        if (!sendAll(socket.fd(), auth, deadline) ||
            !receive(socket.fd(), deadline, [&](const QByteArray& r) {
                lineEnded = r.contains("\r\n");
                ok = r.startsWith("OK ");
                return lineEnded;
            }))
            return BusAnswer::Silent;
        if (!lineEnded || !ok) // turned down or closed: a client is not kept waiting either
            return BusAnswer::Answered;
        if (!sendAll(socket.fd(), "BEGIN\r\n" + helloMessage(), deadline) ||
            !receive(socket.fd(), deadline, [](const QByteArray& r) { return !r.isEmpty(); }))
            return BusAnswer::Silent;
        return BusAnswer::Answered;
    }
    return BusAnswer::NotProbed;
}

void leaveSilentSessionBusAlone(std::FILE* err, int limit_ms)
{
    const QByteArray address = qgetenv("DBUS_SESSION_BUS_ADDRESS");
    if (address.isEmpty() || probeBus(address, limit_ms) != BusAnswer::Silent)
        return;
    qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");
    std::fprintf(err,
                 "zerlivan: the session bus (%s) does not answer: it is left alone for this run "
                 "(no accessibility; the screen is kept on through the X server where there is one)\n",
                 address.left(200).constData());
    std::fflush(err);
}

} // namespace zrv

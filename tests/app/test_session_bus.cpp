// The session bus tried before the application connects to it, against local sockets that
// behave as buses do and as a bus that hangs does: the answer within the limit, never later.
#include "app/SessionBusProbe.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <optional>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

using zrv::BusAnswer;
Q_DECLARE_METATYPE(BusAnswer)

namespace
{
// How the bus at the socket behaves after it takes the connection.
enum class Bus { Silent, AuthOnly, Answers };

// A socket at `path` that takes one connection and behaves as `bus`, on a thread of its own;
// it ends when the client closes or after five seconds.
class FakeBus
{
  public:
    FakeBus(const QByteArray& path, Bus bus) : m_listen(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0))
    {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        qstrncpy(address.sun_path, path.constData(), sizeof address.sun_path);
        if (::bind(m_listen, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            ::listen(m_listen, 1) != 0)
            return;
        if (::pipe2(m_stop, O_CLOEXEC) == 0)
            m_thread = std::thread([this, bus] { serve(bus); });
    }
    ~FakeBus()
    {
        if (m_thread.joinable()) {
            ::close(m_stop[1]); // ends a wait for a client that does not come
            m_thread.join();
            ::close(m_stop[0]);
        }
        ::close(m_listen);
    }
    FakeBus(const FakeBus&) = delete;
    FakeBus& operator=(const FakeBus&) = delete;

  private:
    // What comes until `until` is among it, the client closes or five seconds pass.
    static bool readUntil(int fd, const QByteArray& until)
    {
        QByteArray received;
        char buffer[256];
        while (!received.contains(until)) {
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, 5000) <= 0)
                return false;
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n <= 0)
                return false;
            received.append(buffer, n);
        }
        return true;
    }
    void serve(Bus bus)
    {
        pollfd p[] = {{m_listen, POLLIN, 0}, {m_stop[0], POLLIN, 0}};
        if (::poll(p, 2, 5000) <= 0 || !(p[0].revents & POLLIN))
            return;
        const int client = ::accept(m_listen, nullptr, nullptr);
        if (client < 0)
            return;
        if (bus != Bus::Silent && readUntil(client, "\r\n")) {
            const QByteArray line = "OK 0123456789abcdef\r\n";
            if (::write(client, line.constData(), size_t(line.size())) == line.size() &&
                bus == Bus::Answers && readUntil(client, "Hello")) {
                const QByteArray reply(16, 'l');
                if (::write(client, reply.constData(), size_t(reply.size())) != reply.size())
                    qWarning("the reply was not written");
            }
        }
        readUntil(client, "never"); // until the client closes
        ::close(client);
    }

    int m_listen;
    int m_stop[2] = {-1, -1};
    std::thread m_thread;
};
} // namespace

class TestSessionBus : public QObject
{
    Q_OBJECT

  private slots:
    void probeBus_data()
    {
        QTest::addColumn<QByteArray>("address"); // %1: a socket that behaves as `bus`
        QTest::addColumn<int>("bus");
        QTest::addColumn<BusAnswer>("answer");
        QTest::newRow("a bus") << QByteArray("unix:path=%1,guid=0123") << int(Bus::Answers)
                               << BusAnswer::Answered;
        QTest::newRow("takes the connection, never answers")
            << QByteArray("unix:path=%1") << int(Bus::Silent) << BusAnswer::Silent;
        QTest::newRow("authenticates, no Hello")
            << QByteArray("unix:path=%1") << int(Bus::AuthOnly) << BusAnswer::Silent;
        QTest::newRow("nobody there, then a silent one")
            << QByteArray("unix:path=%1-gone;unix:path=%1") << int(Bus::Silent) << BusAnswer::Silent;
        QTest::newRow("not a local socket") << QByteArray("tcp:host=localhost,port=1;unix:path=%1")
                                            << int(Bus::Silent) << BusAnswer::NotProbed;
    }
    void probeBus()
    {
        QFETCH(QByteArray, address);
        QFETCH(int, bus);
        QTemporaryDir dir;
        const QByteArray path = QFile::encodeName(dir.filePath(QStringLiteral("bus")));
        std::optional<FakeBus> fake;
        if (address.contains("%1"))
            fake.emplace(path, Bus(bus));
        address.replace("%1", path);
        constexpr int kLimit_ms = 300;
        QElapsedTimer took;
        took.start();
        QTEST(zrv::probeBus(address, kLimit_ms), "answer");
        QVERIFY(took.elapsed() < kLimit_ms + 1000);
    }
};

QTEST_GUILESS_MAIN(TestSessionBus)
#include "test_session_bus.moc"

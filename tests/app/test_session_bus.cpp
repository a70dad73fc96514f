// The session bus tried before the application connects to it: a private bus answers, a socket
// that takes the connection and never answers is a bus that hangs; the answer within the limit.
#include "app/SessionBusProbe.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using zrv::BusAnswer;
Q_DECLARE_METATYPE(BusAnswer)

class TestSessionBus : public QObject
{
    Q_OBJECT

  private slots:
    void probeBus_data()
    {
        QTest::addColumn<QByteArray>("address"); // %1: the socket
        QTest::addColumn<bool>("daemon");        // a private dbus-daemon at %1, else one never accepting
        QTest::addColumn<BusAnswer>("answer");
        QTest::newRow("a bus") << QByteArray("unix:path=%1,guid=0123") << true << BusAnswer::Answered;
        QTest::newRow("takes the connection, never answers")
            << QByteArray("unix:path=%1") << false << BusAnswer::Silent;
        QTest::newRow("nobody there, then a silent one")
            << QByteArray("unix:path=%1-gone;unix:path=%1") << false << BusAnswer::Silent;
        QTest::newRow("not a local socket")
            << QByteArray("tcp:host=localhost,port=1;unix:path=%1") << false << BusAnswer::NotProbed;
    }
    void probeBus()
    {
        QFETCH(QByteArray, address);
        QFETCH(bool, daemon);
        QTemporaryDir dir;
        const QByteArray path = QFile::encodeName(dir.filePath(QStringLiteral("bus")));
        address.replace("%1", path);
        QProcess bus;
        const int silent = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const auto closeSilent = qScopeGuard([silent] { ::close(silent); });
        if (daemon) {
            const QString program = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
            if (program.isEmpty())
                QSKIP("needs dbus-daemon");
            bus.start(program, {QStringLiteral("--session"), QStringLiteral("--nofork"),
                                QStringLiteral("--print-address"),
                                QStringLiteral("--address=unix:path=") + QFile::decodeName(path)});
            QVERIFY(bus.waitForReadyRead(10'000)); // the address: it listens
        } else {
            sockaddr_un socketAddress{};
            socketAddress.sun_family = AF_UNIX;
            qstrncpy(socketAddress.sun_path, path.constData(), sizeof socketAddress.sun_path);
            QCOMPARE(::bind(silent, reinterpret_cast<sockaddr*>(&socketAddress), sizeof socketAddress), 0);
            QCOMPARE(::listen(silent, 1), 0); // the kernel takes the connection; nobody accepts it
        }
        constexpr int kLimit_ms = 300;
        QElapsedTimer took;
        took.start();
        QTEST(zrv::probeBus(address, kLimit_ms), "answer");
        QVERIFY(took.elapsed() < kLimit_ms + 1000);
        bus.kill();
        bus.waitForFinished();
    }
};

QTEST_GUILESS_MAIN(TestSessionBus)
#include "test_session_bus.moc"

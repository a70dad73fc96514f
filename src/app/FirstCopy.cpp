#include "app/FirstCopy.h"

#include <QCryptographicHash>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>

#include <unistd.h>

namespace zrv
{

namespace
{
const QByteArray kRaise("raise\n");
const QByteArray kRaised("raised\n");
} // namespace

FirstCopy::FirstCopy(const QString& folder, QObject* parent) : QObject(parent)
{
    const QByteArray hash = QCryptographicHash::hash(QFile::encodeName(folder), QCryptographicHash::Sha256);
    m_name = QStringLiteral("zerlivan-%1-%2").arg(::getuid()).arg(QString::fromLatin1(hash.toHex().left(24)));
}

bool FirstCopy::askToRaise(int timeout_ms)
{
    QLocalSocket socket;
    socket.connectToServer(m_name);
    if (!socket.waitForConnected(timeout_ms))
        return false;
    socket.write(kRaise);
    if (!socket.waitForBytesWritten(timeout_ms))
        return false;
    while (socket.bytesAvailable() < kRaised.size() && socket.waitForReadyRead(timeout_ms)) {
    }
    return socket.readAll() == kRaised;
}

void FirstCopy::listen(std::function<void()> raise)
{
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // A name left by a copy that ended without closing it (askToRaise found nobody there).
    QLocalServer::removeServer(m_name);
    if (!m_server->listen(m_name))
        return;
    connect(m_server, &QLocalServer::newConnection, this, [this, raise = std::move(raise)] {
        while (QLocalSocket* socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, socket, [socket, raise] {
                if (!socket->canReadLine())
                    return;
                if (socket->readLine() == kRaise) {
                    raise();
                    socket->write(kRaised);
                }
                socket->disconnectFromServer();
            });
        }
    });
}

} // namespace zrv

#include "timer/RealtimeKitClient.h"

#include <QDBusError>
#include <QDBusMessage>

RealtimeKitClient::RealtimeKitClient(QDBusConnection::BusType bus, int timeout_ms)
    : m_bus(bus), m_timeout_ms(timeout_ms)
{
}

bool RealtimeKitClient::makeThreadHighPriority(quint64 thread, int nice, QString* error)
{
    const QDBusConnection bus =
        m_bus == QDBusConnection::SystemBus ? QDBusConnection::systemBus() : QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        *error = QStringLiteral("no bus: ") + bus.lastError().message();
        return false;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.RealtimeKit1"), QStringLiteral("/org/freedesktop/RealtimeKit1"),
        QStringLiteral("org.freedesktop.RealtimeKit1"), QStringLiteral("makeThreadHighPriority"));
    call << qulonglong(thread) << qint32(nice);
    const QDBusMessage reply = bus.call(call, QDBus::Block, m_timeout_ms);
    if (reply.type() == QDBusMessage::ReplyMessage)
        return true;
    *error = reply.type() == QDBusMessage::ErrorMessage
                 ? reply.errorName() + QStringLiteral(": ") + reply.errorMessage()
                 : QStringLiteral("no reply");
    return false;
}

std::unique_ptr<ThreadPromptness> createSystemPromptness()
{
    return std::make_unique<ThreadPromptness>(ThreadScheduler::system(),
                                              std::make_unique<RealtimeKitClient>());
}

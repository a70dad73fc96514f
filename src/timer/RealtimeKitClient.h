#pragma once

#include "timer/ThreadPromptness.h"

#include <QDBusConnection>

// The desktop's RealtimeKit (org.freedesktop.RealtimeKit1 on the system bus) over QtDBus: it
// lowers the nice level of a thread of the calling process on the caller's behalf, within the
// limits it is configured with.  The bus is connected only when first asked.
class RealtimeKitClient final : public PriorityService
{
  public:
    static constexpr int kTimeout_ms = 1000;

    explicit RealtimeKitClient(QDBusConnection::BusType bus = QDBusConnection::SystemBus,
                               int timeout_ms = kTimeout_ms);
    bool makeThreadHighPriority(quint64 thread, int nice, QString* error) override;

  private:
    QDBusConnection::BusType m_bus;
    int m_timeout_ms;
};

// The promptness policy of this system: its scheduler calls and RealtimeKit on the system bus.
std::unique_ptr<ThreadPromptness> createSystemPromptness();

#pragma once

#include <QDBusConnection>
#include <QDateTime>
#include <QObject>
#include <functional>

class SqliteJournal;

namespace zrv
{

// `zerlivan --remind`, started by the desktop session at login: one desktop notification
// (org.freedesktop.Notifications) when today's goal is not met yet, whose action opens the
// program on its Program page.  Nothing when the goal is met, and nothing (quietly) without a
// notification service.
class Reminder : public QObject
{
    Q_OBJECT
  public:
    static constexpr int kCallTimeout_ms = 5000;
    // How long the action may be chosen after the notification went out.
    static constexpr int kWaitForAction_ms = 15 * 60 * 1000;

    // `openProgram` runs when the person chooses the notification's action.
    Reminder(QDBusConnection bus, std::function<void()> openProgram, QObject* parent = nullptr);

    // Reads today's minutes and the goal from the journal and, when the goal is not met, sends
    // the notification and waits for its action, its close or `wait_ms`.  Returns whether a
    // notification went out.
    bool run(SqliteJournal& journal, const QDateTime& now, int wait_ms = kWaitForAction_ms);

  private slots:
    // The notification service's signals (D-Bus signals are connected by their signatures).
    void actionInvoked(uint id, const QString& action);
    void notificationClosed(uint id, uint reason);

  private:
    QDBusConnection m_bus;
    std::function<void()> m_openProgram;
    uint m_id = 0;
    std::function<void()> m_done;
};

} // namespace zrv

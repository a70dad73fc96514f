#include "app/Reminder.h"

#include "journal/RoutinePlan.h"
#include "journal/SqliteJournal.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QEventLoop>
#include <QTimer>
#include <QtMath>

namespace zrv
{

namespace
{
const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = kService;
// The days looked back for the days in a row.
constexpr int kStreakDays = 400;
} // namespace

Reminder::Reminder(QDBusConnection bus, std::function<void()> openProgram, QObject* parent)
    : QObject(parent), m_bus(std::move(bus)), m_openProgram(std::move(openProgram))
{
}

bool Reminder::run(SqliteJournal& journal, const QDateTime& now, int wait_ms)
{
    if (!m_bus.isConnected())
        return false;
    const int goal_minutes = journal.routine().value_or(Routine::standard()).goal_minutes;
    RunQuery recent;
    recent.from = todayStart(now).addDays(-kStreakDays);
    const GoalFigures goal = goalFigures(figuresByDay(journal.runs(recent)), goal_minutes, now);
    if (goal.metToday)
        return false;

    QString body =
        tr("Günün hedefi %1 dk; bugün %2 dk çalışıldı.").arg(goal_minutes).arg(qFloor(goal.today_minutes));
    if (goal.streak_days > 0)
        body += QLatin1Char(' ') + tr("Seri: %n gün.", nullptr, goal.streak_days);
    QDBusMessage notify =
        QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
    notify << QStringLiteral("Zerlivan") << uint(0) << QStringLiteral("zerlivan")
           << tr("Bugünkü göz çalışmaları") << body
           << QStringList{QStringLiteral("default"), tr("Programı aç")} << QVariantMap{} << int(-1);

    // The signals before the call, so that an action chosen at once is not missed.  D-Bus
    // signals are connected by signature: the string form is the only one QtDBus has.
    m_bus.connect(kService, kPath, kInterface, QStringLiteral("ActionInvoked"), this,
                  SLOT(actionInvoked(uint, QString)));
    m_bus.connect(kService, kPath, kInterface, QStringLiteral("NotificationClosed"), this,
                  SLOT(notificationClosed(uint, uint)));
    QEventLoop loop;
    m_done = [&loop] { loop.quit(); };
    bool sent = false;
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(notify, kCallTimeout_ms), &loop);
    connect(watcher, &QDBusPendingCallWatcher::finished, &loop,
            [this, &sent, &loop, wait_ms](QDBusPendingCallWatcher* w) {
                const QDBusPendingReply<uint> reply = *w;
                if (reply.isError()) { // no notification service: nothing more to do
                    loop.quit();
                    return;
                }
                sent = true;
                m_id = reply.value();
                QTimer::singleShot(wait_ms, &loop, &QEventLoop::quit);
            });
    loop.exec();
    m_done = nullptr;
    return sent;
}

void Reminder::actionInvoked(uint id, const QString& action)
{
    if (id != m_id || !m_done)
        return;
    if (action == QLatin1String("default") && m_openProgram)
        m_openProgram();
    m_done();
}

void Reminder::notificationClosed(uint id, uint)
{
    // The action of a notification closed by its choice comes before the close.
    if (id == m_id && m_done)
        m_done();
}

} // namespace zrv

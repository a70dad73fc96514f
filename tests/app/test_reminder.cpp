// The daily reminder: its autostart entry in a private config folder, and its notification sent
// to a fake notification service on a private session bus (ctest runs this under
// dbus-run-session; the bus cases skip elsewhere).

#include "app/Reminder.h"
#include "core/Autostart.h"
#include "journal/SqliteJournal.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

// Stands for org.freedesktop.Notifications: counts the notifications and, when told, chooses
// the action of the first one at once.
class FakeNotifications : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
  public:
    explicit FakeNotifications(bool chooseAction) : m_chooseAction(chooseAction)
    {
        m_bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), this,
                             QDBusConnection::ExportAllSlots);
        m_bus.registerService(QStringLiteral("org.freedesktop.Notifications"));
    }
    ~FakeNotifications() override { QDBusConnection::disconnectFromBus(m_bus.name()); }
    int notified = 0;
    QStringList actions;

  public slots:
    uint Notify(const QString&, uint, const QString&, const QString&, const QString&,
                const QStringList& actions, const QVariantMap&, int)
    {
        ++notified;
        this->actions = actions;
        if (m_chooseAction)
            QTimer::singleShot(0, this, [this] {
                QDBusMessage signal = QDBusMessage::createSignal(
                    QStringLiteral("/org/freedesktop/Notifications"),
                    QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("ActionInvoked"));
                signal << uint(7) << QStringLiteral("default");
                m_bus.send(signal);
            });
        return 7;
    }

  private:
    bool m_chooseAction;
    QDBusConnection m_bus =
        QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("fake-notify"));
};

class TestReminder : public QObject
{
    Q_OBJECT

  private slots:
    // The entry where the session looks for it, with the program quoted for its launcher and
    // gone once removed.
    void autostartEntry()
    {
        QTemporaryDir config;
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
        QVERIFY(!zrv::isAutostartInstalled());
        QVERIFY(
            zrv::installAutostart(QStringLiteral("/opt/my $tools/zerlivan"), QStringLiteral("/home/a\\b")));
        QCOMPARE(zrv::autostartPath(), config.path() + QStringLiteral("/autostart/zerlivan-remind.desktop"));
        QFile file(zrv::autostartPath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray entry = file.readAll();
        QVERIFY2(entry.contains("\nExec=\"/opt/my \\\\$tools/zerlivan\" --remind\n"), entry.constData());
        QVERIFY2(entry.contains("\nPath=/home/a\\\\b\n"), entry.constData());
        QVERIFY(zrv::removeAutostart() && !zrv::isAutostartInstalled() && zrv::removeAutostart());
        qunsetenv("XDG_CONFIG_HOME");
    }

    // One notification while today's goal is not met, its action opening the program; none
    // once it is met; none, at once, without a notification service.
    void notifiesUntilTheGoalIsMet_data()
    {
        QTest::addColumn<bool>("service");
        QTest::addColumn<int>("todayMinutes");
        QTest::addColumn<int>("notified");
        QTest::newRow("not met") << true << 1 << 1;
        QTest::newRow("met") << true << 3 << 0;
        QTest::newRow("no service") << false << 0 << 0;
    }
    void notifiesUntilTheGoalIsMet()
    {
        if (!qEnvironmentVariableIsSet("ZRV_PRIVATE_SESSION_BUS"))
            QSKIP("needs a private session bus (dbus-run-session)");
        QFETCH(bool, service);
        QFETCH(int, todayMinutes);
        QFETCH(int, notified);
        QTemporaryDir dir;
        SqliteJournal journal(dir.filePath(QStringLiteral("journal.sqlite")));
        const QDateTime now = QDateTime::currentDateTime();
        RunRecord run;
        run.started = now.addSecs(-60 * todayMinutes - 1);
        run.run_ms = 60'000LL * todayMinutes;
        run.end = RunEnd::Duration;
        QVERIFY(journal.record(run));
        std::optional<FakeNotifications> fake;
        if (service)
            fake.emplace(notified > 0);
        int opened = 0;
        zrv::Reminder reminder(QDBusConnection::sessionBus(), [&opened] { ++opened; });
        QElapsedTimer took;
        took.start();
        QCOMPARE(reminder.run(journal, now, 20'000), notified > 0);
        QVERIFY(took.elapsed() < 10'000); // the action ended the wait
        QCOMPARE(fake ? fake->notified : 0, notified);
        QCOMPARE(opened, notified);
        if (notified)
            QCOMPARE(fake->actions.value(0), QStringLiteral("default"));
    }
};

QTEST_MAIN(TestReminder)
#include "test_reminder.moc"

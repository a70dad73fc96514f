// The screen kept on through the desktop: against a fake org.freedesktop.ScreenSaver and a fake
// portal on a private session bus (ctest runs this under dbus-run-session; it skips elsewhere).

#include "timer/ScreenSaverInhibitor.h"

#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusVirtualObject>
#include <QTest>

namespace
{
const QString kPortalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kHandles = kPortalPath + QStringLiteral("/request/fake/");
} // namespace

// Stands for the desktop on a connection of its own: writes down every call, each hold with the
// number it was given ("ScreenSaver.Inhibit -> 1", "portal.Close 2").  The screensaver service
// can refuse; holds can wait until answer() answers them.
class FakeDesktop : public QDBusVirtualObject
{
  public:
    QStringList calls;
    bool screenSaverRefuses = false;
    bool holdsWait = false;

    FakeDesktop(bool screenSaver, bool portal)
    {
        if (screenSaver) {
            m_bus.registerVirtualObject(QStringLiteral("/org/freedesktop/ScreenSaver"), this);
            m_bus.registerService(QStringLiteral("org.freedesktop.ScreenSaver"));
        }
        if (portal) {
            m_bus.registerVirtualObject(kPortalPath, this, QDBusConnection::SubPath);
            m_bus.registerService(QStringLiteral("org.freedesktop.portal.Desktop"));
        }
    }
    ~FakeDesktop() override { QDBusConnection::disconnectFromBus(m_bus.name()); }

    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection&) override
    {
        QMetaObject::invokeMethod(
            this, [this, message] { handle(message); }, Qt::QueuedConnection);
        return true;
    }
    int waiting() const { return int(m_waiting.size()); }
    void answer()
    {
        for (const QDBusMessage& m : std::exchange(m_waiting, {}))
            grant(m);
    }

  private:
    void handle(const QDBusMessage& m)
    {
        const QString call = m.interface().section(QLatin1Char('.'), -1) + QLatin1Char('.') + m.member();
        if (call == QLatin1String("ScreenSaver.Inhibit") && screenSaverRefuses) {
            calls << call + QStringLiteral(" refused");
            m_bus.send(m.createErrorReply(QDBusError::NotSupported, QStringLiteral("not here")));
        } else if (call == QLatin1String("ScreenSaver.Inhibit") || call == QLatin1String("Inhibit.Inhibit")) {
            if (holdsWait)
                m_waiting << m;
            else
                grant(m);
        } else if (call == QLatin1String("ScreenSaver.UnInhibit")) {
            calls << call + QLatin1Char(' ') + QString::number(m.arguments().value(0).toUInt());
        } else if (call == QLatin1String("Request.Close")) {
            calls << QStringLiteral("portal.Close ") + m.path().mid(kHandles.size());
        } else {
            calls << QStringLiteral("unknown ") + call;
        }
    }
    void grant(const QDBusMessage& m)
    {
        const int n = ++m_given;
        if (m.interface() == QLatin1String("org.freedesktop.ScreenSaver")) {
            calls << QStringLiteral("ScreenSaver.Inhibit -> %1").arg(n);
            m_bus.send(m.createReply(QVariant::fromValue(uint(n))));
        } else {
            // Only the idle flag, and a reason the desktop can show.
            const bool asked =
                m.arguments().value(1).toUInt() == 8 && !qdbus_cast<QVariantMap>(m.arguments().value(2))
                                                             .value(QStringLiteral("reason"))
                                                             .toString()
                                                             .isEmpty();
            calls << QStringLiteral("portal.Inhibit%1 -> %2").arg(asked ? "" : " (wrong flags)").arg(n);
            m_bus.send(m.createReply(QVariant::fromValue(QDBusObjectPath(kHandles + QString::number(n)))));
        }
    }

    QDBusConnection m_bus =
        QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("fake-desktop"));
    QList<QDBusMessage> m_waiting;
    int m_given = 0;
};

class TestScreenSaverInhibitor : public QObject
{
    Q_OBJECT

  private slots:
    void init()
    {
        if (!qEnvironmentVariableIsSet("ZRV_PRIVATE_SESSION_BUS"))
            QSKIP("needs a private session bus (ctest runs this under dbus-run-session)");
    }

    void holdsAndGivesBack_data()
    {
        QTest::addColumn<bool>("screenSaver");
        QTest::addColumn<bool>("portal");
        QTest::addColumn<bool>("refuses");
        QTest::newRow("org.freedesktop.ScreenSaver") << true << true << false;
        QTest::newRow("the portal alone") << false << true << false;
        QTest::newRow("ScreenSaver refuses: the portal") << true << true << true;
        QTest::newRow("no service") << false << false << false;
    }
    // One hold a run, given back with what the desktop gave; an answer that comes after the
    // hold was given back is given back at once; the X screensaver is reset at each hold.
    void holdsAndGivesBack()
    {
        QFETCH(bool, screenSaver);
        QFETCH(bool, portal);
        QFETCH(bool, refuses);
        FakeDesktop desktop(screenSaver, portal);
        desktop.screenSaverRefuses = refuses;
        const bool viaScreenSaver = screenSaver && !refuses;
        const bool any = viaScreenSaver || portal;
        auto held = [&](int n) {
            return viaScreenSaver ? QStringLiteral("ScreenSaver.Inhibit -> %1").arg(n)
                                  : QStringLiteral("portal.Inhibit -> %1").arg(n);
        };
        auto givenBack = [&](int n) {
            return viaScreenSaver ? QStringLiteral("ScreenSaver.UnInhibit %1").arg(n)
                                  : QStringLiteral("portal.Close %1").arg(n);
        };
        QStringList expected;
        int resets = 0;
        ScreenSaverInhibitor::Backends backends;
        backends.bus = QDBusConnection::sessionBus();
        backends.resetXScreenSaver = [&resets] {
            ++resets;
            return 60'000;
        };
        auto inhibitor = std::make_unique<ScreenSaverInhibitor>(backends);

        inhibitor->hold();
        inhibitor->hold();
        if (refuses)
            expected << QStringLiteral("ScreenSaver.Inhibit refused");
        if (any)
            expected << held(1);
        QTRY_COMPARE(desktop.calls, expected);
        QCOMPARE(resets, 1);
        inhibitor->release();
        inhibitor->release();
        if (any)
            expected << givenBack(1);
        QTRY_COMPARE(desktop.calls, expected);

        if (viaScreenSaver) {
            // Answers that come late: the first hold was given back before its answer came.
            desktop.holdsWait = true;
            inhibitor->hold();
            inhibitor->release();
            inhibitor->hold();
            QTRY_COMPARE(desktop.waiting(), 2);
            desktop.answer();
            expected << held(2) << held(3) << givenBack(2);
            QTRY_COMPARE(desktop.calls, expected);
            QCOMPARE(resets, 3);
            inhibitor.reset(); // the end of the program gives back what is held
            expected << givenBack(3);
            QTRY_COMPARE(desktop.calls, expected);
        }
    }
};

QTEST_MAIN(TestScreenSaverInhibitor)
#include "test_screensaver_inhibitor.moc"

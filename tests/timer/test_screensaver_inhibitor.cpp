// The screen kept on: against a fake desktop on a private session bus (ctest runs this under
// dbus-run-session), and the X server's own screensaver on Xvfb (a second ctest entry runs
// screenStaysOnOnX11 under xvfb-run on the xcb platform).  Each skips elsewhere.

#include "timer/ScreenSaverInhibitor.h"

#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTest>

#ifdef ZRV_HAVE_XCB_SCREENSAVER
#include <xcb/screensaver.h>
#endif

const QString kPortalPath = QStringLiteral("/org/freedesktop/portal/desktop");

// Stands for org.freedesktop.ScreenSaver and the portal on a connection of its own and writes
// down the calls: "Inhibit n" for the n-th hold it gave, "UnInhibit n" / "Close n" for what came
// back, "refused".  Holds can wait for answer().
class FakeDesktop : public QDBusVirtualObject
{
  public:
    QStringList calls;
    bool refuses = false;
    bool holdsWait = false;
    QList<QDBusMessage> waiting;

    FakeDesktop(bool screenSaver, bool portal)
    {
        if (screenSaver && m_bus.registerVirtualObject(QStringLiteral("/org/freedesktop/ScreenSaver"), this))
            m_bus.registerService(QStringLiteral("org.freedesktop.ScreenSaver"));
        if (portal && m_bus.registerVirtualObject(kPortalPath, this, QDBusConnection::SubPath))
            m_bus.registerService(QStringLiteral("org.freedesktop.portal.Desktop"));
    }
    ~FakeDesktop() override { QDBusConnection::disconnectFromBus(m_bus.name()); }
    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& m, const QDBusConnection&) override
    {
        if (m.member() == QLatin1String("Inhibit") && refuses && m.path() != kPortalPath) {
            calls << QStringLiteral("refused");
            m_bus.send(m.createErrorReply(QDBusError::NotSupported, QStringLiteral("not here")));
        } else if (m.member() == QLatin1String("Inhibit")) {
            holdsWait ? void(waiting << m) : grant(m);
        } else {
            const bool close = m.member() == QLatin1String("Close");
            calls << m.member() + QLatin1Char(' ') +
                         (close ? m.path().section(QLatin1Char('/'), -1) : m.arguments().value(0).toString());
        }
        return true;
    }
    void answer()
    {
        for (const QDBusMessage& m : std::exchange(waiting, {}))
            grant(m);
    }

  private:
    void grant(const QDBusMessage& m)
    {
        const int n = ++m_given;
        const bool portal = m.path() == kPortalPath;
        calls << QStringLiteral("Inhibit %1").arg(n) +
                     (portal && m.arguments().value(1).toUInt() != 8 ? "?" : "");
        const QString handle = kPortalPath + QStringLiteral("/request/fake/%1").arg(n);
        m_bus.send(portal ? m.createReply(QVariant::fromValue(QDBusObjectPath(handle)))
                          : m.createReply(uint(n)));
    }

    QDBusConnection m_bus =
        QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("fake"));
    int m_given = 0;
};

class TestScreenSaverInhibitor : public QObject
{
    Q_OBJECT

  private slots:
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
    // One hold a run, given back with what the desktop gave for it; an answer that comes after
    // its hold was given back is given back at once.
    void holdsAndGivesBack()
    {
        if (!qEnvironmentVariableIsSet("ZRV_PRIVATE_SESSION_BUS"))
            QSKIP("needs a private session bus (ctest runs this under dbus-run-session)");
        QFETCH(bool, screenSaver);
        QFETCH(bool, portal);
        QFETCH(bool, refuses);
        FakeDesktop desktop(screenSaver, portal);
        desktop.refuses = refuses;
        auto inhibitor = std::make_unique<ScreenSaverInhibitor>(
            ScreenSaverInhibitor::Backends{QDBusConnection::sessionBus(), {}});
        QStringList expected = refuses       ? QStringList{"refused", "Inhibit 1", "Close 1"}
                               : screenSaver ? QStringList{"Inhibit 1", "UnInhibit 1"}
                               : portal      ? QStringList{"Inhibit 1", "Close 1"}
                                             : QStringList{};
        inhibitor->hold();
        inhibitor->hold();
        QTRY_COMPARE(desktop.calls, expected.mid(0, expected.size() - 1));
        inhibitor->release();
        inhibitor->release();
        QTRY_COMPARE(desktop.calls, expected);
        if (screenSaver && !refuses) {
            desktop.holdsWait = true;
            inhibitor->hold();
            inhibitor->release();
            inhibitor->hold();
            QTRY_COMPARE(desktop.waiting.size(), 2);
            desktop.answer();
            expected += {"Inhibit 2", "Inhibit 3", "UnInhibit 2"};
            QTRY_COMPARE(desktop.calls, expected);
            inhibitor.reset(); // the end of the program gives back what is held
            expected << "UnInhibit 3";
            QTRY_COMPARE(desktop.calls, expected);
        }
    }

    // Held, the X server's screensaver stays off past its timeout; given back, it comes on.
    void screenStaysOnOnX11()
    {
#ifdef ZRV_HAVE_XCB_SCREENSAVER
        const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
        xcb_connection_t* c = x11 ? x11->connection() : nullptr;
        if (!c)
            QSKIP("needs an X server (ctest runs this under xvfb-run)");
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
        auto state = [c, root] {
            auto* info = xcb_screensaver_query_info_reply(c, xcb_screensaver_query_info(c, root), nullptr);
            const int state = info ? info->state : -1;
            free(info);
            return state;
        };
        // Reset at half the server's timeout, read at every reset; not more often than a second
        // apart, nor less than ten.
        const auto resetInterval_ms = [c](int timeout_s) {
            xcb_set_screen_saver(c, int16_t(timeout_s), 0, XCB_BLANKING_PREFERRED, XCB_EXPOSURES_ALLOWED);
            return ScreenSaverInhibitor::system().resetXScreenSaver();
        };
        QCOMPARE(resetInterval_ms(7), 3500);
        QCOMPARE(resetInterval_ms(1), 1000);
        QCOMPARE(resetInterval_ms(600), 10'000);
        QCOMPARE(resetInterval_ms(2), 1000);
        xcb_force_screen_saver(c, XCB_SCREEN_SAVER_RESET);
        ScreenSaverInhibitor inhibitor(
            {QDBusConnection(QString()), ScreenSaverInhibitor::system().resetXScreenSaver});
        inhibitor.hold();
        QElapsedTimer held;
        held.start();
        while (held.elapsed() < 6000) {
            QCOMPARE(state(), int(XCB_SCREENSAVER_STATE_OFF));
            QTest::qWait(100);
        }
        inhibitor.release();
        QTRY_COMPARE_WITH_TIMEOUT(state(), int(XCB_SCREENSAVER_STATE_ON), 4000);
#else
        QSKIP("built without xcb-screensaver");
#endif
    }
};

QTEST_MAIN(TestScreenSaverInhibitor)
#include "test_screensaver_inhibitor.moc"

// The X server's own screensaver on an X server of its own (ctest runs this under xvfb-run, on
// the xcb platform): held, the screensaver stays off past its timeout; given back, it comes on.
// Reads the server's state through the MIT-SCREEN-SAVER extension.

#include "timer/ScreenSaverInhibitor.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTest>

#include <cstdlib>
#include <xcb/screensaver.h>
#include <xcb/xcb.h>

class TestScreenSaverX11 : public QObject
{
    Q_OBJECT

    xcb_connection_t* m_connection = nullptr;
    xcb_window_t m_root = 0;

    int state() const
    {
        xcb_screensaver_query_info_reply_t* info = xcb_screensaver_query_info_reply(
            m_connection, xcb_screensaver_query_info(m_connection, m_root), nullptr);
        const int state = info ? info->state : -1;
        std::free(info);
        return state;
    }

  private slots:
    void initTestCase()
    {
        const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
        if (!x11)
            QSKIP("needs the xcb platform (ctest runs this under xvfb-run)");
        m_connection = x11->connection();
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
    }

    void screenStaysOnWhileHeld()
    {
        const int timeout_s = 2;
        xcb_set_screen_saver(m_connection, timeout_s, 0, XCB_BLANKING_PREFERRED, XCB_EXPOSURES_ALLOWED);
        xcb_force_screen_saver(m_connection, XCB_SCREEN_SAVER_RESET);
        xcb_flush(m_connection);
        ScreenSaverInhibitor::Backends backends = ScreenSaverInhibitor::system();
        QVERIFY(backends.resetXScreenSaver);
        backends.bus = QDBusConnection(QString()); // the X server alone
        ScreenSaverInhibitor inhibitor(backends);

        inhibitor.hold();
        QElapsedTimer held;
        held.start();
        while (held.elapsed() < 3 * timeout_s * 1000) {
            QCOMPARE(state(), int(XCB_SCREENSAVER_STATE_OFF));
            QTest::qWait(100);
        }
        inhibitor.release();
        QTRY_COMPARE_WITH_TIMEOUT(state(), int(XCB_SCREENSAVER_STATE_ON), 2 * timeout_s * 1000);
    }
};

QTEST_MAIN(TestScreenSaverX11)
#include "test_screensaver_x11.moc"

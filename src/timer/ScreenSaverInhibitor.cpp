#include "timer/ScreenSaverInhibitor.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QGuiApplication>
#include <QLoggingCategory>

#if QT_CONFIG(xcb) && defined(ZRV_HAVE_XCB)
#include <cstdlib>
#include <xcb/xcb.h>
#endif

// At info level ("zerlivan.screensaver.info=true") what kept the screen on and when it was given
// back.
Q_LOGGING_CATEGORY(lcScreenSaver, "zerlivan.screensaver", QtWarningMsg)

namespace
{
const QString kScreenSaverService = QStringLiteral("org.freedesktop.ScreenSaver");
const QString kScreenSaverPath = QStringLiteral("/org/freedesktop/ScreenSaver");
const QString kPortalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPortalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kPortalInhibit = QStringLiteral("org.freedesktop.portal.Inhibit");
const QString kPortalRequest = QStringLiteral("org.freedesktop.portal.Request");
constexpr uint kPortalIdle = 8; // the flag of "the session going idle"
// What the desktop lists as the reason, in the person's language.
const char* const kReason = QT_TRANSLATE_NOOP("ScreenSaverInhibitor", "Egzersiz sürüyor");

QString applicationName()
{
    const QString name = QCoreApplication::applicationName();
    return name.isEmpty() ? QStringLiteral("zerlivan") : name;
}
} // namespace

ScreenSaverInhibitor::Backends ScreenSaverInhibitor::system()
{
    Backends backends;
    backends.bus = QDBusConnection::sessionBus();
#if QT_CONFIG(xcb) && defined(ZRV_HAVE_XCB)
    const auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (xcb_connection_t* connection = x11 ? x11->connection() : nullptr) {
        backends.resetXScreenSaver = [connection] {
            xcb_force_screen_saver(connection, XCB_SCREEN_SAVER_RESET);
            // The timeout may change during a run (xset s): read it at every reset.
            int interval_ms = kMaxXResetInterval_ms;
            xcb_get_screen_saver_reply_t* reply =
                xcb_get_screen_saver_reply(connection, xcb_get_screen_saver(connection), nullptr);
            if (reply && reply->timeout > 0)
                interval_ms = qBound(1000, reply->timeout * 1000 / 2, kMaxXResetInterval_ms);
            std::free(reply); // xcb's replies are the caller's
            return interval_ms;
        };
    }
#endif
    return backends;
}

ScreenSaverInhibitor::ScreenSaverInhibitor(Backends backends, QObject* parent)
    : QObject(parent), m_backends(std::move(backends))
{
    m_xReset.setSingleShot(true);
    connect(&m_xReset, &QTimer::timeout, this, &ScreenSaverInhibitor::resetX);
}

ScreenSaverInhibitor::~ScreenSaverInhibitor()
{
    release();
}

void ScreenSaverInhibitor::hold()
{
    if (m_held)
        return;
    m_held = true;
    ++m_generation;
    ask(Service::ScreenSaver);
    if (m_backends.resetXScreenSaver)
        resetX();
}

void ScreenSaverInhibitor::release()
{
    if (!m_held)
        return;
    m_held = false;
    m_xReset.stop();
    if (m_desktopHold)
        giveBack(*std::exchange(m_desktopHold, std::nullopt));
}

void ScreenSaverInhibitor::ask(Service service)
{
    if (!m_backends.bus.isConnected())
        return;
    QDBusMessage call;
    if (service == Service::ScreenSaver) {
        call = QDBusMessage::createMethodCall(kScreenSaverService, kScreenSaverPath, kScreenSaverService,
                                              QStringLiteral("Inhibit"));
        call << applicationName() << tr(kReason);
    } else {
        call = QDBusMessage::createMethodCall(kPortalService, kPortalPath, kPortalInhibit,
                                              QStringLiteral("Inhibit"));
        call << QString() << kPortalIdle << QVariantMap{{QStringLiteral("reason"), tr(kReason)}};
    }
    auto* watcher = new QDBusPendingCallWatcher(m_backends.bus.asyncCall(call, kCallTimeout_ms), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, watcher, service, generation = m_generation] {
                watcher->deleteLater();
                answered(*watcher, service, generation);
            });
}

void ScreenSaverInhibitor::answered(const QDBusPendingCall& call, Service service, int generation)
{
    const bool wanted = m_held && generation == m_generation && !m_desktopHold;
    const QDBusMessage reply = call.reply();
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        qCInfo(lcScreenSaver, "%s: %s",
               service == Service::ScreenSaver ? "org.freedesktop.ScreenSaver" : "portal",
               qUtf8Printable(reply.errorName()));
        if (wanted && service == Service::ScreenSaver)
            ask(Service::Portal);
        return;
    }
    const QVariant value = reply.arguments().constFirst();
    const DesktopHold hold = service == Service::ScreenSaver ? DesktopHold(value.toUInt())
                                                             : DesktopHold(value.value<QDBusObjectPath>());
    if (!wanted) {
        giveBack(hold);
        return;
    }
    m_desktopHold = hold;
    qCInfo(lcScreenSaver, "the screen kept on by %s",
           service == Service::ScreenSaver ? "org.freedesktop.ScreenSaver" : "the portal");
}

void ScreenSaverInhibitor::giveBack(const DesktopHold& hold)
{
    QDBusMessage call;
    if (const uint* cookie = std::get_if<uint>(&hold)) {
        call = QDBusMessage::createMethodCall(kScreenSaverService, kScreenSaverPath, kScreenSaverService,
                                              QStringLiteral("UnInhibit"));
        call << *cookie;
    } else {
        call = QDBusMessage::createMethodCall(kPortalService, std::get<QDBusObjectPath>(hold).path(),
                                              kPortalRequest, QStringLiteral("Close"));
    }
    // The answer does not matter; the desktop also drops the hold when the program leaves the bus.
    m_backends.bus.send(call);
    qCInfo(lcScreenSaver, "the screen given back");
}

void ScreenSaverInhibitor::resetX()
{
    const int next_ms = m_backends.resetXScreenSaver();
    m_xReset.start(qMax(1, next_ms));
}

// Prompt wake-ups for the ticking thread: the policy with every system call and the priority
// service refusable, and the RealtimeKit client against a fake service on a private session bus
// (run under dbus-run-session by ctest; those cases skip elsewhere).

#include "display/RealtimeKitClient.h"
#include "display/ThreadPromptness.h"
#include "mock/FakeScheduler.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QElapsedTimer>
#include <QTest>
#include <QThread>

#include <atomic>

namespace
{

using Means = ThreadPromptness::Means;

// Stands for org.freedesktop.RealtimeKit1: records the request, then grants it, refuses it with
// an error or never answers.
class FakeRealtimeKit : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.RealtimeKit1")
  public:
    enum Answer { Grant, Refuse, Silence };
    std::atomic<int> answer{Grant};
    std::atomic<int> calls{0};
    std::atomic<qulonglong> thread{0};
    std::atomic<int> nice{0};

  public slots:
    void MakeThreadHighPriority(qulonglong threadId, int priority)
    {
        ++calls;
        thread = threadId;
        nice = priority;
        if (answer == Refuse)
            sendErrorReply(QDBusError::AccessDenied, QStringLiteral("not in an active session"));
        else if (answer == Silence)
            setDelayedReply(true);
    }
};

// The fake service on its own connection and thread, so that the blocking call of the client
// on the test's thread is answered.
struct FakeServiceOnBus {
    QThread thread;
    FakeRealtimeKit service;
    QDBusConnection bus =
        QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("fake-rtkit"));

    FakeServiceOnBus()
    {
        service.moveToThread(&thread);
        thread.start();
        bus.registerObject(QStringLiteral("/org/freedesktop/RealtimeKit1"), &service,
                           QDBusConnection::ExportAllSlots);
        bus.registerService(QStringLiteral("org.freedesktop.RealtimeKit1"));
    }
    ~FakeServiceOnBus()
    {
        bus.unregisterService(QStringLiteral("org.freedesktop.RealtimeKit1"));
        bus.unregisterObject(QStringLiteral("/org/freedesktop/RealtimeKit1"));
        QDBusConnection::disconnectFromBus(QStringLiteral("fake-rtkit"));
        QThread* home = QThread::currentThread();
        QMetaObject::invokeMethod(
            &service, [this, home] { service.moveToThread(home); }, Qt::BlockingQueuedConnection);
        thread.quit();
        thread.wait();
    }
};

} // namespace

class TestPromptness : public QObject
{
    Q_OBJECT

    static bool OnPrivateBus() { return qEnvironmentVariableIsSet("ZRV_PRIVATE_SESSION_BUS"); }

  private slots:
    // Every combination of refusals: what is in effect is what Acquire reports, the better
    // means always wins, the service is asked only when the slice is not had, and Release puts
    // the thread back exactly as it was.
    void everyRefusalGivesBackWhatItTook()
    {
        using Slice = FakeScheduler::Slice;
        for (Slice slice : {Slice::Taken, Slice::Ignored, Slice::Refused})
            for (int service = 0; service < 3; ++service) // none, grants, refuses
                for (int slack = 0; slack < 3; ++slack) { // settable, refused, unknown
                    const QString label = QStringLiteral("slice %1 service %2 slack %3")
                                              .arg(int(slice))
                                              .arg(service)
                                              .arg(slack);
                    FakeThreadState state;
                    const FakeThreadState before = state;
                    auto scheduler = std::make_unique<FakeScheduler>(&state);
                    scheduler->slice = slice;
                    scheduler->slackSettable = slack != 1;
                    scheduler->slackKnown = slack != 2;
                    FakePriorityService* rtkit =
                        service ? new FakePriorityService(&state, service == 1) : nullptr;
                    ThreadPromptness promptness(std::move(scheduler),
                                                std::unique_ptr<PriorityService>(rtkit));

                    promptness.Acquire();
                    const Means expected = slice == Slice::Taken ? Means::Slice
                                           : service == 1        ? Means::HighPriority
                                                                 : Means::None;
                    QVERIFY2(promptness.InEffect() == expected, qPrintable(label));
                    QCOMPARE(state.slice_ns, expected == Means::Slice ? ThreadPromptness::kSlice_ns : 0);
                    QCOMPARE(state.nice,
                             expected == Means::HighPriority ? ThreadPromptness::kHighPriorityNice : 0);
                    QCOMPARE(promptness.SlackReduced(), slack == 0);
                    QCOMPARE(state.slack_ns, slack == 0 ? ThreadPromptness::kTimerSlack_ns : before.slack_ns);
                    if (rtkit)
                        QCOMPARE(rtkit->calls, slice == Slice::Taken ? 0 : 1);
                    QVERIFY2(!promptness.Describe().isEmpty(), qPrintable(label));

                    promptness.Acquire(); // held: nothing more is asked
                    if (rtkit)
                        QCOMPARE(rtkit->calls, slice == Slice::Taken ? 0 : 1);
                    promptness.Release();
                    QVERIFY2(state == before, qPrintable(label));
                    QVERIFY(!promptness.Held());
                }
    }

    // A service that refused is not asked again (it would only delay the next run), and the log
    // line says why nothing better took effect.
    void refusingServiceIsAskedOnce()
    {
        FakeThreadState state;
        auto scheduler = std::make_unique<FakeScheduler>(&state);
        scheduler->slice = FakeScheduler::Slice::Ignored;
        auto* rtkit = new FakePriorityService(&state, false);
        ThreadPromptness promptness(std::move(scheduler), std::unique_ptr<PriorityService>(rtkit));
        for (int run = 0; run < 3; ++run) {
            promptness.Acquire();
            promptness.Release();
        }
        QCOMPARE(rtkit->calls, 1);
        promptness.Acquire();
        QVERIFY(promptness.Describe().contains(QLatin1String("no requested slice")));
        QVERIFY(promptness.Describe().contains(QLatin1String("AccessDenied")));
    }

    // A thread already at the level asked for, or whose level cannot be read, is left alone.
    void unreadableOrHighNiceIsLeftAlone()
    {
        for (bool readable : {false, true}) {
            FakeThreadState state;
            state.nice = -15;
            auto scheduler = std::make_unique<FakeScheduler>(&state);
            scheduler->slice = FakeScheduler::Slice::Refused;
            scheduler->niceReadable = readable;
            auto* rtkit = new FakePriorityService(&state);
            ThreadPromptness promptness(std::move(scheduler), std::unique_ptr<PriorityService>(rtkit));
            promptness.Acquire();
            QCOMPARE(rtkit->calls, 0);
            QVERIFY(promptness.InEffect() == Means::None);
            promptness.Release();
            QCOMPARE(state.nice, -15);
        }
    }

    // The real system calls on this thread: whatever this kernel grants, it is given back.
    void systemCallsRestoreTheThread()
    {
        auto probe = ThreadScheduler::System();
        int niceBefore = 0;
        QVERIFY(probe->Nice(probe->ThreadId(), &niceBefore));
        const qint64 slackBefore = probe->TimerSlack();
        ThreadPromptness promptness(ThreadScheduler::System(), nullptr);
        promptness.Acquire();
        QVERIFY(promptness.InEffect() != Means::HighPriority);
        promptness.Release();
        int niceAfter = 0;
        QVERIFY(probe->Nice(probe->ThreadId(), &niceAfter));
        QCOMPARE(niceAfter, niceBefore);
        QCOMPARE(probe->TimerSlack(), slackBefore);
    }

    // --- RealtimeKit over D-Bus -------------------------------------------------------------

    void realtimeKitGrantsRefusesOrIsSilent()
    {
        if (!OnPrivateBus())
            QSKIP("needs a private session bus (ctest runs this under dbus-run-session)");
        FakeServiceOnBus fake;
        const quint64 thread = ThreadScheduler::System()->ThreadId();
        QString error;
        QVERIFY(RealtimeKitClient(QDBusConnection::SessionBus).MakeThreadHighPriority(thread, -11, &error));
        QCOMPARE(fake.service.thread.load(), thread);
        QCOMPARE(fake.service.nice.load(), -11);

        fake.service.answer = FakeRealtimeKit::Refuse;
        QVERIFY(!RealtimeKitClient(QDBusConnection::SessionBus).MakeThreadHighPriority(thread, -11, &error));
        QVERIFY2(error.contains(QLatin1String("AccessDenied")), qPrintable(error));

        fake.service.answer = FakeRealtimeKit::Silence;
        QElapsedTimer waited;
        waited.start();
        QVERIFY(
            !RealtimeKitClient(QDBusConnection::SessionBus, 200).MakeThreadHighPriority(thread, -11, &error));
        QVERIFY2(waited.elapsed() < 5000, "the call gives up after its timeout");
        QCOMPARE(fake.service.calls.load(), 3);
    }

    // Through the policy: the kernel takes no slice, RealtimeKit on the bus grants, or is not
    // there at all.
    void policyFallsBackToRealtimeKit()
    {
        if (!OnPrivateBus())
            QSKIP("needs a private session bus (ctest runs this under dbus-run-session)");
        for (bool present : {true, false}) {
            std::unique_ptr<FakeServiceOnBus> fake(present ? new FakeServiceOnBus : nullptr);
            FakeThreadState state;
            auto scheduler = std::make_unique<FakeScheduler>(&state);
            scheduler->slice = FakeScheduler::Slice::Ignored;
            ThreadPromptness promptness(std::move(scheduler),
                                        std::make_unique<RealtimeKitClient>(QDBusConnection::SessionBus));
            promptness.Acquire();
            QCOMPARE(promptness.InEffect() == Means::HighPriority, present);
            if (present)
                QCOMPARE(fake->service.thread.load(), quint64(4242));
            else
                QVERIFY2(promptness.Describe().contains(QLatin1String("ServiceUnknown")) ||
                             promptness.Describe().contains(QLatin1String("NameHasNoOwner")),
                         qPrintable(promptness.Describe()));
        }
    }
};

QTEST_MAIN(TestPromptness)
#include "test_promptness.moc"

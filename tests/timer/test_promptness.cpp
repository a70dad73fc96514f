// Prompt wake-ups for the ticking thread: the policy with every system call and the priority
// service refusable, and the RealtimeKit client against a fake service on a private session bus
// (ctest runs this under dbus-run-session; those cases skip elsewhere).

#include "support/FakeScheduler.h"
#include "timer/RealtimeKitClient.h"
#include "timer/ThreadPromptness.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QTest>
#include <QThread>

#include <atomic>

using Means = ThreadPromptness::Means;

// Stands for org.freedesktop.RealtimeKit1 on its own connection and thread (so that the client's
// blocking call on the test's thread is answered): records the request, then grants it, refuses
// it or never answers.
class FakeRealtimeKit : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.RealtimeKit1")
  public:
    enum Answer { Grant, Refuse, Silence };
    std::atomic<int> answer{Grant};
    std::atomic<qulonglong> thread{0};
    std::atomic<int> nice{0};

    FakeRealtimeKit()
    {
        moveToThread(&m_thread);
        m_thread.start();
        m_bus.registerObject(QStringLiteral("/org/freedesktop/RealtimeKit1"), this,
                             QDBusConnection::ExportAllSlots);
        m_bus.registerService(QStringLiteral("org.freedesktop.RealtimeKit1"));
    }
    ~FakeRealtimeKit() override
    {
        QDBusConnection::disconnectFromBus(m_bus.name());
        QThread* home = m_thread.thread();
        QMetaObject::invokeMethod(
            this, [this, home] { moveToThread(home); }, Qt::BlockingQueuedConnection);
        m_thread.quit();
        m_thread.wait();
    }

  public slots:
    void makeThreadHighPriority(qulonglong threadId, int priority)
    {
        thread = threadId;
        nice = priority;
        if (answer == Refuse)
            sendErrorReply(QDBusError::AccessDenied, QStringLiteral("not in an active session"));
        else if (answer == Silence)
            setDelayedReply(true);
    }

  private:
    QThread m_thread;
    QDBusConnection m_bus =
        QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("fake-rtkit"));
};

class TestPromptness : public QObject
{
    Q_OBJECT

  private slots:
    // Every combination of refusals, two runs each: what is in effect is what Acquire reports,
    // the better means wins, the service is asked only without the slice and only until it
    // refuses, and Release puts the thread back exactly as it was.
    void everyRefusalGivesBackWhatItTook()
    {
        using Slice = FakeScheduler::Slice;
        for (Slice slice : {Slice::Taken, Slice::Ignored, Slice::Refused})
            for (int service = 0; service < 3; ++service) // none, grants, refuses
                for (int slack = 0; slack < 3; ++slack) { // settable, refused, unknown
                    for (int nice : {0, -15}) {           // -15: already above what is asked
                        const QString label = QStringLiteral("slice %1 service %2 slack %3 nice %4")
                                                  .arg(int(slice))
                                                  .arg(service)
                                                  .arg(slack)
                                                  .arg(nice);
                        FakeThreadState state;
                        state.nice = nice;
                        const FakeThreadState before = state;
                        auto scheduler = std::make_unique<FakeScheduler>(&state);
                        scheduler->slice = slice;
                        scheduler->slackSettable = slack != 1;
                        scheduler->slackKnown = slack != 2;
                        auto* rtkit = service ? new FakePriorityService(&state, service == 1) : nullptr;
                        ThreadPromptness promptness(std::move(scheduler),
                                                    std::unique_ptr<PriorityService>(rtkit));
                        const Means expected = slice == Slice::Taken       ? Means::Slice
                                               : service == 1 && nice == 0 ? Means::HighPriority
                                                                           : Means::None;
                        for (int run = 1; run <= 2; ++run) {
                            promptness.acquire();
                            promptness.acquire(); // held: nothing more is asked
                            QVERIFY2(promptness.inEffect() == expected, qPrintable(label));
                            QCOMPARE(state.slice_ns,
                                     expected == Means::Slice ? ThreadPromptness::kSlice_ns : 0);
                            QCOMPARE(state.nice, expected == Means::HighPriority
                                                     ? ThreadPromptness::kHighPriorityNice
                                                     : nice);
                            QCOMPARE(state.slack_ns,
                                     slack == 0 ? ThreadPromptness::kTimerSlack_ns : before.slack_ns);
                            if (rtkit)
                                QCOMPARE(rtkit->calls, slice == Slice::Taken || nice != 0 ? 0
                                                       : service == 1                     ? run
                                                                                          : 1);
                            promptness.release();
                            QVERIFY2(state == before, qPrintable(label));
                        }
                    }
                }
    }

    // The real system calls on this thread: whatever this kernel grants is given back.
    void systemCallsRestoreTheThread()
    {
        auto probe = ThreadScheduler::system();
        int niceBefore = 0, niceAfter = 0;
        QVERIFY(probe->nice(probe->threadId(), &niceBefore));
        const qint64 slackBefore = probe->timerSlack();
        ThreadPromptness promptness(ThreadScheduler::system(), nullptr);
        promptness.acquire();
        promptness.release();
        QVERIFY(probe->nice(probe->threadId(), &niceAfter));
        QCOMPARE(niceAfter, niceBefore);
        QCOMPARE(probe->timerSlack(), slackBefore);
    }

    // Over D-Bus: granted (through the policy, the kernel taking no slice), refused, never
    // answered (the call gives up after its timeout) and no service at all.
    void realtimeKitOverDBus()
    {
        if (!qEnvironmentVariableIsSet("ZRV_PRIVATE_SESSION_BUS"))
            QSKIP("needs a private session bus (ctest runs this under dbus-run-session)");
        auto fake = std::make_unique<FakeRealtimeKit>();
        FakeThreadState state;
        auto scheduler = std::make_unique<FakeScheduler>(&state);
        scheduler->slice = FakeScheduler::Slice::Ignored;
        ThreadPromptness promptness(std::move(scheduler),
                                    std::make_unique<RealtimeKitClient>(QDBusConnection::SessionBus));
        promptness.acquire();
        QVERIFY(promptness.inEffect() == Means::HighPriority);
        QCOMPARE(fake->thread.load(), 4242u);
        QCOMPARE(fake->nice.load(), ThreadPromptness::kHighPriorityNice);

        QString error;
        fake->answer = FakeRealtimeKit::Refuse;
        QVERIFY(!RealtimeKitClient(QDBusConnection::SessionBus).makeThreadHighPriority(1, -11, &error));
        QVERIFY2(error.contains(QLatin1String("AccessDenied")), qPrintable(error));
        fake->answer = FakeRealtimeKit::Silence;
        QVERIFY(!RealtimeKitClient(QDBusConnection::SessionBus, 100).makeThreadHighPriority(1, -11, &error));
        fake.reset();
        QVERIFY(!RealtimeKitClient(QDBusConnection::SessionBus).makeThreadHighPriority(1, -11, &error));
        QVERIFY2(error.contains(QLatin1String("ServiceUnknown")), qPrintable(error));
    }
};

QTEST_MAIN(TestPromptness)
#include "test_promptness.moc"

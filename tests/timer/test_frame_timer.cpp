// The frame timer, its clock arithmetic and its wake-ups.  Time is a ManualClock moved by hand and
// wake-ups are fired by hand, so nothing waits; one smoke test runs the real platform waker.

#include "core/Exceptions.h"
#include "core/Report.h"
#include "support/FakeScheduler.h"
#include "timer/Clock.h"
#include "timer/FrameTimer.h"
#include "timer/ManualTime.h"
#include "timer/PaceMeter.h"
#include "timer/ThreadPromptness.h"
#include "timer/TickWaker.h"
#include "timer/TimerPolicy.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <QWidget>

using namespace zrv::timing;

namespace
{

constexpr qint64 kMs = 1'000'000;

// The messages of the timer's log category, caught from the moment it is made with `rules`
// (e.g. "zerlivan.timer.debug=true") until it goes, also when a check fails on the way.
class TimerLog
{
  public:
    explicit TimerLog(const QString& rules)
    {
        s_current = this;
        QLoggingCategory::setFilterRules(rules);
        m_previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext& ctx, const QString& m) {
            if (QByteArray(ctx.category) == "zerlivan.timer")
                s_current->lines << m;
        });
    }
    ~TimerLog()
    {
        qInstallMessageHandler(m_previous);
        QLoggingCategory::setFilterRules(QString());
        s_current = nullptr;
    }
    QStringList lines;

  private:
    static inline TimerLog* s_current = nullptr;
    QtMessageHandler m_previous = nullptr;
};

struct Tick {
    quint32 last_ms;
    int lag;
};

// A timer on a mock clock with a waker fired by hand, set up like the exercise window's:
// activeOnly, disabled, then given its interval.  The thread's scheduling is a fake.
struct Rig {
    ManualClock clock;
    ManualActivity activity;
    FakeThreadState thread;
    ManualWaker* waker = nullptr;
    std::unique_ptr<FrameTimer> timer;
    QList<Tick> ticks;
    std::function<void()> during; // runs inside each tick

    explicit Rig(quint32 interval_ms, bool active = true, qint64 start_ns = 1'000'000 * kMs + 300'000)
        : clock(start_ns), activity(active)
    {
        auto w = std::make_unique<ManualWaker>();
        waker = w.get();
        timer = std::make_unique<FrameTimer>(nullptr, &clock, std::move(w), &activity);
        timer->setActiveOnly(true);
        timer->setEnabled(false);
        timer->setPace(zrv::Pace(int(interval_ms)));
        timer->setPromptness(
            std::make_unique<ThreadPromptness>(std::make_unique<FakeScheduler>(&thread), nullptr));
        QObject::connect(timer.get(), &FrameTimer::ticked, [this](int lag) {
            ticks.append({timer->lastTick(), lag});
            if (during)
                during();
        });
    }

    // The event loop wakes `late_ns` after the armed deadline (or now, if that is later).
    // Returns whether the pass ticked.
    bool FireLate(qint64 late_ns = 0)
    {
        if (!waker->isArmed())
            return false;
        clock.setNs(qMax(clock.monotonicNanoseconds(), waker->deadline() + late_ns));
        const auto before = ticks.size();
        waker->fire();
        return ticks.size() > before;
    }
};

} // namespace

class TestFrameTimer : public QObject
{
    Q_OBJECT

  private slots:
    void init()
    {
        m_reports.clear();
        zrv::setReportHook([this](zrv::ReportKind, const QString& text) { m_reports << text; });
    }
    void cleanup() { zrv::setReportHook({}); }

    // --- the arithmetic --------------------------------------------------------------------

    void checkTick_data()
    {
        QTest::addColumn<quint32>("now");
        QTest::addColumn<quint32>("last");
        QTest::addColumn<quint32>("interval");
        QTest::addColumn<bool>("due");
        QTest::addColumn<quint32>("untilDue");
        QTest::addColumn<int>("lag");
        QTest::newRow("not yet") << 1399u << 1000u << 400u << false << 1u << 0;
        QTest::newRow("just due") << 1400u << 1000u << 400u << true << 0u << 1;
        QTest::newRow("slow handler: 1000 div 400") << 2000u << 1000u << 400u << true << 0u << 2;
        QTest::newRow("same millisecond") << 1000u << 1000u << 400u << false << 400u << 0;
        QTest::newRow("interval 0, same millisecond") << 1000u << 1000u << 0u << true << 0u << 1;
        QTest::newRow("interval 0, 7 ms") << 1007u << 1000u << 0u << true << 0u << 7;
        QTest::newRow("across the wrap, not yet") << 5u << 4294967290u << 40u << false << 29u << 0;
        QTest::newRow("across the wrap, due") << 34u << 4294967290u << 40u << true << 0u << 1;
        QTest::newRow("lag beyond int range") << 4294967295u << 0u << 1u << true << 0u << 1;
    }
    void checkTick()
    {
        QFETCH(quint32, now);
        QFETCH(quint32, last);
        QFETCH(quint32, interval);
        const TickCheck c = zrv::timing::checkTick(now, last, interval);
        QTEST(c.due, "due");
        QTEST(c.msUntilDue, "untilDue");
        QTEST(c.lagCount, "lag");
    }

    void wakeMoment_data()
    {
        QTest::addColumn<qint64>("now_ns");
        QTest::addColumn<quint32>("ahead_ms");
        QTest::addColumn<qint64>("expected_ns");
        QTest::addColumn<quint32>("count_then");
        QTest::newRow("mid-millisecond") << 1000 * kMs + 300'000 << 40u << 1040 * kMs << 1040u;
        QTest::newRow("on a boundary") << 1000 * kMs << 40u << 1040 * kMs << 1040u;
        QTest::newRow("now: the current millisecond's start")
            << 1000 * kMs + 999'999 << 0u << 1000 * kMs << 1000u;
        // The count reads 4294967290 and is due at 24 after its wrap: 30 ms ahead on the line.
        QTest::newRow("across the wrap") << 4294967290LL * kMs + 300'000 << 30u << 4294967320LL * kMs << 24u;
        QTest::newRow("across a later wrap")
            << 3 * 4294967296LL * kMs - 1 << 2000u << (3 * 4294967296LL + 1999) * kMs << 1999u;
    }
    void wakeMoment()
    {
        QFETCH(qint64, now_ns);
        QFETCH(quint32, ahead_ms);
        QFETCH(qint64, expected_ns);
        QCOMPARE(wakeMomentNs(now_ns, ahead_ms), expected_ns);
        QTEST(millisecondsAt(expected_ns), "count_then");
        QCOMPARE(millisecondsAt(expected_ns - 1), quint32(millisecondsAt(expected_ns) - 1));
    }

    // --- start, stop and the first tick ----------------------------------------------------

    void defaults()
    {
        ManualClock clock;
        ManualActivity activity(true);
        FrameTimer timer(nullptr, &clock, std::make_unique<ManualWaker>(), &activity);
        QVERIFY(timer.activeOnly());
        QVERIFY(timer.isEnabled());
        QCOMPARE(timer.pace().ms(), 1000);
        QVERIFY(timer.isRunning());
        QVERIFY(timer.isTicking());
        QCOMPARE(timer.lastTick(), clock.milliseconds());
    }

    void firstTickOnlyAfterInterval()
    {
        Rig rig(400);
        QVERIFY(!rig.timer->isRunning());
        QVERIFY(!rig.waker->isArmed());
        rig.timer->setEnabled(true);
        QVERIFY(rig.timer->isRunning());
        QCOMPARE(rig.timer->lastTick(), 1000'000u);
        // Aimed at the moment the count reaches 1000400, not 400 ms after the start's fraction.
        QVERIFY(rig.waker->isArmed());
        QCOMPARE(rig.waker->deadline(), 1000'400 * kMs);

        // A wake-up a hair early does not tick and aims again at the same moment.
        rig.clock.setNs(1000'400 * kMs - 1);
        rig.waker->fire();
        QVERIFY(rig.ticks.isEmpty());
        QCOMPARE(rig.waker->deadline(), 1000'400 * kMs);

        QVERIFY(rig.FireLate(150'000));
        QCOMPARE(rig.ticks.size(), 1);
        QCOMPARE(rig.ticks[0].last_ms, 1000'400u);
        QCOMPARE(rig.ticks[0].lag, 1);
        QCOMPARE(rig.waker->deadline(), 1000'800 * kMs);
    }

    void enableTwiceAndRestart()
    {
        Rig rig(400);
        rig.timer->setEnabled(true);
        rig.clock.advanceMs(250);
        rig.timer->setEnabled(true); // nothing the second time
        QCOMPARE(rig.timer->lastTick(), 1000'000u);
        QCOMPARE(rig.waker->deadline(), 1000'400 * kMs);

        rig.timer->setEnabled(false);
        QVERIFY(!rig.timer->isRunning());
        QVERIFY(!rig.waker->isArmed());
        rig.waker->fire(); // stale: nothing
        QVERIFY(rig.ticks.isEmpty());

        rig.timer->setEnabled(true); // the measure starts again from here
        QCOMPARE(rig.timer->lastTick(), 1000'250u);
        QCOMPARE(rig.waker->deadline(), 1000'650 * kMs);
        QVERIFY(rig.FireLate());
        QCOMPARE(rig.ticks.size(), 1);
        QCOMPARE(rig.ticks[0].last_ms, 1000'650u);
    }

    // --- the tick rules -------------------------------------------------------------------

    void slowHandlerNoCatchUp()
    {
        Rig rig(400);
        rig.timer->setEnabled(true);
        rig.during = [&rig] {
            if (rig.ticks.size() == 1)
                rig.clock.advanceMs(1000); // the first tick's handler takes a second
        };
        QVERIFY(rig.FireLate());
        // Due already: the wake-up is set for at once, through the event loop.
        QVERIFY(rig.waker->isArmed());
        QVERIFY(rig.waker->deadline() <= rig.clock.monotonicNanoseconds());
        QVERIFY(rig.FireLate());
        QCOMPARE(rig.ticks.size(), 2);
        QCOMPARE(rig.ticks[1].lag, 2);
        QCOMPARE(rig.ticks[1].last_ms, 1001'400u);
        // No catch-up: the next one is a whole interval later, with lagCount 1.
        rig.clock.advanceMs(399);
        rig.waker->fire();
        QCOMPARE(rig.ticks.size(), 2);
        QVERIFY(rig.FireLate());
        QCOMPARE(rig.ticks[2].last_ms, 1001'800u);
        QCOMPARE(rig.ticks[2].lag, 1);
    }

    void intervalChangeWhileTicking_data()
    {
        QTest::addColumn<quint32>("newInterval");
        QTest::addColumn<qint64>("changeAfter_ms");
        QTest::addColumn<quint32>("nextTickAt_ms"); // after the last tick
        QTest::newRow("longer") << 1000u << 100ll << 1000u;
        QTest::newRow("shorter, still ahead") << 150u << 100ll << 150u;
        QTest::newRow("shorter than what has passed") << 50u << 100ll << 100u;
        QTest::newRow("from inside the tick") << 700u << 0ll << 700u;
    }
    void intervalChangeWhileTicking()
    {
        QFETCH(quint32, newInterval);
        QFETCH(qint64, changeAfter_ms);
        QFETCH(quint32, nextTickAt_ms);
        Rig rig(400);
        rig.timer->setEnabled(true);
        if (changeAfter_ms == 0)
            rig.during = [&] { rig.timer->setPace(zrv::Pace(int(newInterval))); };
        QVERIFY(rig.FireLate());
        rig.during = nullptr;
        const quint32 last = rig.timer->lastTick();
        rig.clock.advanceMs(changeAfter_ms);
        rig.timer->setPace(zrv::Pace(int(newInterval)));
        QVERIFY(rig.FireLate());
        QCOMPARE(rig.ticks.size(), 2);
        QCOMPARE(rig.ticks[1].last_ms - last, nextTickAt_ms);
    }

    void clockWrap()
    {
        // The count starts 100 ms before its wrap.
        Rig rig(40, true, 4294967196LL * kMs + 500'000);
        rig.timer->setEnabled(true);
        quint32 prev = rig.timer->lastTick();
        for (int i = 0; i < 6; ++i) {
            QVERIFY(rig.FireLate(200'000));
            QCOMPARE(rig.ticks.last().last_ms - prev, 40u);
            QCOMPARE(rig.ticks.last().lag, 1);
            prev = rig.ticks.last().last_ms;
        }
        QCOMPARE(prev, quint32(4294967196u + 240u)); // 140 after the wrap
    }

    // A handler that comes 0.3 ms after its due moment leaves no trace on the schedule; one that
    // comes 1.2 ms late moves it by one millisecond, never closer than Interval.
    void noDrift_data()
    {
        QTest::addColumn<qint64>("late_ns");
        QTest::addColumn<quint32>("gap_ms");
        QTest::newRow("0.3 ms late") << 300'000ll << 40u;
        QTest::newRow("0.999 ms late") << 999'999ll << 40u;
        QTest::newRow("1.2 ms late") << 1'200'000ll << 41u;
    }
    void noDrift()
    {
        QFETCH(qint64, late_ns);
        QFETCH(quint32, gap_ms);
        Rig rig(40);
        rig.timer->setEnabled(true);
        const quint32 start = rig.timer->lastTick();
        for (int i = 0; i < 1500; ++i)
            QVERIFY(rig.FireLate(late_ns));
        for (int i = 0; i < rig.ticks.size(); ++i) {
            const quint32 prev = i ? rig.ticks[i - 1].last_ms : start;
            QCOMPARE(rig.ticks[i].last_ms - prev, gap_ms);
            QCOMPARE(rig.ticks[i].lag, 1);
        }
        QCOMPARE(rig.ticks.last().last_ms - start, 1500 * gap_ms); // 60 000 ms at 40
    }

    // --- activation -----------------------------------------------------------------------

    void inactiveApplication()
    {
        Rig rig(400, /*active=*/false);
        rig.timer->setEnabled(true);
        QVERIFY(rig.timer->isRunning());
        QVERIFY(!rig.timer->isTicking());
        QVERIFY(!rig.waker->isArmed());
        rig.clock.advanceMs(5000);
        rig.waker->fire();
        QVERIFY(rig.ticks.isEmpty());

        rig.activity.setActive(true); // the measure starts at the activation
        const quint32 resumed = rig.timer->lastTick();
        QCOMPARE(resumed, rig.clock.milliseconds());
        QVERIFY(rig.FireLate());
        QCOMPARE(rig.ticks[0].last_ms - resumed, 400u);
        QCOMPARE(rig.ticks[0].lag, 1);

        rig.activity.setActive(false);
        QVERIFY(rig.timer->isRunning());
        QVERIFY(!rig.waker->isArmed());
        rig.clock.advanceMs(3000);
        rig.waker->fire();
        QCOMPARE(rig.ticks.size(), 1);

        rig.activity.setActive(true);
        rig.clock.advanceMs(1000); // a slow first pass after the resume: lag from the resume
        QVERIFY(rig.FireLate());
        QCOMPARE(rig.ticks[1].lag, 2);

        // Reports while stopped change nothing.
        rig.timer->setEnabled(false);
        rig.activity.setActive(false);
        rig.activity.setActive(true);
        QVERIFY(!rig.timer->isRunning());
        QVERIFY(!rig.waker->isArmed());
    }

    // The thread is prompt exactly while the timer ticks, and the log tells once per run (from
    // enabling to disabling) what took effect, however often the application comes and goes.
    void promptWhileTicking()
    {
        Rig rig(40, /*active=*/false);
        const FakeThreadState before = rig.thread;
        TimerLog log(QStringLiteral("zerlivan.timer.info=true"));
        for (int run = 1; run <= 2; ++run) {
            rig.timer->setEnabled(true);
            QVERIFY(rig.thread == before); // not ticking while inactive
            for (int activation = 0; activation < 2; ++activation) {
                rig.activity.setActive(true);
                QCOMPARE(rig.thread.slice_ns, ThreadPromptness::kSlice_ns);
                QCOMPARE(rig.thread.slack_ns, ThreadPromptness::kTimerSlack_ns);
                QVERIFY(rig.FireLate());
                rig.activity.setActive(false);
                QVERIFY(rig.thread == before);
            }
            rig.activity.setActive(true);
            rig.timer->setEnabled(false);
            QVERIFY(rig.thread == before);
            QCOMPARE(log.lines.size(), run);
            rig.activity.setActive(false);
        }
        rig.activity.setActive(true);
        rig.timer->setEnabled(true);
        rig.timer.reset(); // destroyed while ticking: given back
        QVERIFY(rig.thread == before);
        for (const QString& line : log.lines)
            QVERIFY2(line.startsWith(QLatin1String(
                         "promptness: scheduler slice 100 us for thread 4242; timer slack 1 us")),
                     qPrintable(line));
    }

    void activeOnlyOff()
    {
        Rig rig(400, /*active=*/false);
        rig.timer->setActiveOnly(false);
        rig.timer->setEnabled(true);
        QVERIFY(rig.timer->isTicking());
        QVERIFY(rig.FireLate());
        rig.activity.setActive(true);
        rig.activity.setActive(false);
        QVERIFY(rig.timer->isTicking());
        QVERIFY(rig.FireLate());
        QCOMPARE(rig.ticks.size(), 2);
    }

    // --- the event loop -------------------------------------------------------------------

    // A key press waiting in the queue is handled before a due tick, and a key that stops the
    // timer (as Escape does through the window's close) means no tick at all.
    void keyBeforeTick_data()
    {
        QTest::addColumn<bool>("keyStops");
        QTest::newRow("key, then the tick") << false;
        QTest::newRow("key stops the timer") << true;
    }
    void keyBeforeTick()
    {
        QFETCH(bool, keyStops);
        Rig rig(40);
        QStringList order;
        KeyRecorder widget([&](int key) {
            order << QStringLiteral("key %1").arg(key);
            if (keyStops)
                rig.timer->setEnabled(false);
        });
        rig.during = [&] { order << QStringLiteral("tick"); };
        rig.timer->setEnabled(true);
        QCoreApplication::postEvent(&widget, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
        QCoreApplication::postEvent(&widget, new QKeyEvent(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier));
        rig.FireLate();
        const QStringList expected =
            keyStops ? QStringList{"key 16777216", "key 65"} : QStringList{"key 16777216", "key 65", "tick"};
        QCOMPARE(order, expected);
    }

    // A handler that runs an event loop of its own (an error box, say) while the wake-up fires
    // again gets no tick inside it.
    void noTickInsideATick()
    {
        Rig rig(40);
        rig.timer->setEnabled(true);
        int depth = 0, deepest = 0;
        rig.during = [&] {
            deepest = qMax(deepest, ++depth);
            if (rig.ticks.size() == 1) {
                rig.clock.advanceMs(45);
                rig.waker->fire();
            }
            --depth;
        };
        rig.FireLate();
        QCOMPARE(deepest, 1);
        QCOMPARE(rig.ticks.size(), 1);
        QVERIFY(rig.waker->isArmed()); // aimed again when the tick ended
        rig.FireLate();
        QCOMPARE(rig.ticks.size(), 2);
    }

    void destroyedInsideItsTick()
    {
        Rig rig(40);
        rig.timer->setEnabled(true);
        rig.during = [&rig] { rig.timer.reset(); };
        rig.FireLate(); // must not touch the destroyed timer
        QCOMPARE(rig.ticks.size(), 1);
        QVERIFY(!rig.timer);
    }

    // The tick log and the probe: one line per tick, in the documented format.
    void tickLogAndProbe()
    {
        Rig rig(40);
        QList<qint64> probed;
        connect(rig.timer.get(), &FrameTimer::aboutToTick, [&](qint64 ns, int lag) {
            probed << ns;
            QCOMPARE(lag, 1);
        });
        TimerLog log(QStringLiteral("zerlivan.timer.debug=true"));
        rig.timer->setEnabled(true);
        rig.FireLate(123'456);
        rig.FireLate(0);
        const QStringList& lines = log.lines;

        QCOMPARE(probed.size(), 2);
        QCOMPARE(lines.size(), 2);
        const QRegularExpression format(
            QStringLiteral("^tick t_us=(\\d+) last_ms=(\\d+) interval_ms=40 lag=1$"));
        for (int i = 0; i < 2; ++i) {
            const auto match = format.match(lines[i]);
            QVERIFY2(match.hasMatch(), qPrintable(lines[i]));
            QCOMPARE(match.captured(1).toLongLong(), probed[i] / 1000);
            QCOMPARE(match.captured(2).toUInt(), rig.ticks[i].last_ms);
        }
        QCOMPARE(probed[0], 1000'040 * kMs + 123'456);

        // The moment each tick was due, also for one whole milliseconds late, and the first tick
        // of a schedule started anew.
        QCOMPARE(rig.timer->lastTickTimes().due_ns, 1000'080 * kMs);
        QVERIFY(!rig.timer->lastTickTimes().firstOfSchedule);
        rig.FireLate(2'500'000);
        QCOMPARE(rig.timer->lastTickTimes().due_ns, 1000'120 * kMs);
        rig.timer->setEnabled(false);
        rig.timer->setEnabled(true);
        rig.FireLate();
        QVERIFY(rig.timer->lastTickTimes().firstOfSchedule);
    }

    // The pace meter on steps made by hand.  steps: tick_us, due_us, lagCount, first of its
    // schedule (1) for each step; rates: the refresh rates noted; -1: not known.
    void paceMeter_data()
    {
        QTest::addColumn<QList<qint64>>("steps");
        QTest::addColumn<QList<double>>("rates");
        QTest::addColumn<qint64>("mean_us");
        QTest::addColumn<qint64>("late");
        QTest::addColumn<qint64>("worst_us");
        QTest::addColumn<qint64>("lost");
        QTest::addColumn<int>("refresh_mHz");
        // 1 ms late counts, 999 us does not; the intervals are what they were.
        QTest::newRow("late by 1 ms")
            << QList<qint64>{0, 0, 1, 1, 41'000, 40'000, 1, 0, 80'000, 80'000, 1, 0, 120'999, 120'000, 1, 0}
            << QList<double>{} << 40'333ll << 1ll << 1'000ll << 0ll << -1;
        QTest::newRow("a lost step") << QList<qint64>{0, 0, 1, 1, 40'000, 40'000, 1, 0, 120'000, 80'000, 2, 0}
                                     << QList<double>{60, 0, 59.94} << 60'000ll << 1ll << 40'000ll << 1ll
                                     << 59'940;
        // The schedule starts anew at the resume: neither late nor a long interval.
        QTest::newRow("a pause") << QList<qint64>{0,         0,         1, 1, 40'000,    40'000,    1, 0,
                                                  5'000'000, 5'000'000, 1, 1, 5'040'000, 5'040'000, 1, 0}
                                 << QList<double>{} << 40'000ll << 0ll << 0ll << 0ll << -1;
        QTest::newRow("one step") << QList<qint64>{0, 0, 1, 1} << QList<double>{} << -1ll << 0ll << 0ll << 0ll
                                  << -1;
    }
    void paceMeter()
    {
        QFETCH(QList<qint64>, steps);
        QFETCH(QList<double>, rates);
        PaceMeter meter;
        for (qsizetype i = 0; i + 3 < steps.size(); i += 4)
            meter.step(steps[i] * 1000, steps[i + 1] * 1000, int(steps[i + 2]), steps[i + 3] != 0);
        for (double hz : rates)
            meter.noteRefreshRate(hz);
        QTEST(meter.meanInterval_us().value_or(-1), "mean_us");
        QTEST(meter.lateSteps(), "late");
        QTEST(meter.worstLate_us(), "worst_us");
        QTEST(meter.lostSteps(), "lost");
        QTEST(meter.refresh_mHz().value_or(-1), "refresh_mHz");
    }

    // --- the real wake-ups ----------------------------------------------------------------

    void realWakers_data()
    {
        QTest::addColumn<bool>("platform");
        QTest::newRow("platform") << true;
        QTest::newRow("precise QTimer") << false;
    }
    void realWakers()
    {
        QFETCH(bool, platform);
        auto waker = platform ? TickWaker::createPlatformWaker() : TickWaker::createPreciseTimerWaker();
        int woken = 0;
        connect(waker.get(), &TickWaker::woken, this, [&] { ++woken; });
        const qint64 now = Clock::system().monotonicNanoseconds();

        waker->armAt(now - 5 * kMs); // past: at once, but from the event loop
        QVERIFY(waker->isArmed());
        QCOMPARE(woken, 0);
        QTRY_COMPARE_WITH_TIMEOUT(woken, 1, 2000);
        QVERIFY(!waker->isArmed());

        waker->armAt(Clock::system().monotonicNanoseconds() + 3 * kMs);
        QTRY_COMPARE_WITH_TIMEOUT(woken, 2, 2000);

        waker->armAt(Clock::system().monotonicNanoseconds() + 2 * kMs);
        waker->armAt(Clock::system().monotonicNanoseconds() + 4 * kMs); // replaces
        waker->disarm();
        QVERIFY(!waker->isArmed());
        QTest::qWait(20);
        QCOMPARE(woken, 2);
    }

    // The real timer on the real clock and waker: a few ticks at 40 ms, in order, never closer
    // than the pace on the millisecond clock.
    void realTimerSmoke()
    {
        ManualActivity activity(true);
        FrameTimer timer(nullptr, nullptr, {}, &activity);
        timer.setEnabled(false);
        timer.setPace(zrv::Pace(40));
        QList<quint32> ticks;
        connect(&timer, &FrameTimer::ticked, [&](int lag) {
            QVERIFY(lag >= 1);
            ticks << timer.lastTick();
        });
        timer.setEnabled(true);
        QTRY_VERIFY_WITH_TIMEOUT(ticks.size() >= 5, 5000);
        for (int i = 1; i < ticks.size(); ++i)
            QVERIFY(ticks[i] - ticks[i - 1] >= 40u);

        timer.setEnabled(false);
        const auto stoppedAt = ticks.size();
        QTest::qWait(30);
        QCOMPARE(ticks.size(), stoppedAt);
    }

  private:
    class KeyRecorder : public QWidget
    {
      public:
        explicit KeyRecorder(std::function<void(int)> onKey) : m_onKey(std::move(onKey)) {}

      protected:
        void keyPressEvent(QKeyEvent* e) override { m_onKey(e->key()); }

      private:
        std::function<void(int)> m_onKey;
    };

    QStringList m_reports;
};

QTEST_MAIN(TestFrameTimer)
#include "test_frame_timer.moc"

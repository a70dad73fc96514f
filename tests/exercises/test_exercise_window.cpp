// The exercise window and the Dot exercise, given the settings of a run, with the frame kept
// off-screen and a hand-driven clock.
#include "ExerciseRig.h"
#include "core/Random.h"
#include "exercises/RestScreen.h"
#include "journal/RoutineSummary.h"

#include <QLabel>

namespace
{
const QRgb kWhite = qRgb(255, 255, 255);
const QRgb kRed = qRgb(255, 0, 0);
const QRgb kBlue = qRgb(0, 0, 255);
const QPoint kDot[9] = {{0, 0},     {32, 24},   {608, 24},  {608, 456}, {32, 456},
                        {448, 336}, {448, 144}, {192, 144}, {192, 336}};

// The colour at the middle of dot position p.
QRgb dotAt(const QImage& image, int p)
{
    return pixel(image, kDot[p].x(), kDot[p].y());
}

// The positions whose dot shows `colour`.
QList<int> positionsIn(const QImage& image, QRgb colour)
{
    QList<int> found;
    for (int p = 1; p <= 8; ++p)
        if (dotAt(image, p) == colour)
            found << p;
    return found;
}
} // namespace

class TestScreenForm : public QObject
{
    Q_OBJECT

    // White background, red active dot, blue passive dots.
    static void setUpDot(ExerciseRig& rig, int order, int minutes = 0, int interval_ms = 400)
    {
        rig.settings.type = order;
        rig.settings.minutes = minutes;
        rig.settings.pace = zrv::Pace(interval_ms);
        rig.settings.background = rgbColor(255, 255, 255);
        rig.settings.active = rgbColor(255, 0, 0);
        rig.settings.passive = rgbColor(0, 0, 255);
    }

  private slots:
    void initTestCase_data() { addScales(); }
    // Ten different colours, black and white first; no selection or an index past them is black.
    void colourTable()
    {
        QSet<ColorValue> colours;
        for (int i = 0; i < 10; ++i)
            colours << zrv::colorOfIndex(i);
        QCOMPARE(colours.size(), 10);
        QCOMPARE(zrv::colorOfIndex(0), rgbColor(0, 0, 0));
        QCOMPARE(zrv::colorOfIndex(1), rgbColor(255, 255, 255));
        QCOMPARE(zrv::colorOfIndex(-1), ColorValue(0));
        QCOMPARE(zrv::colorOfIndex(10), ColorValue(0));
    }

    void showStepTakesTheRunsSettings()
    {
        ExerciseRig rig(globalScale());
        rig.settings.letters = 36;
        rig.settings.lines = 6;
        rig.settings.pace = zrv::Pace(130);
        rig.settings.font = FontSpec{QStringLiteral("Courier New"), 10, 162, 0, 0};
        rig.start(2);
        QCOMPARE(rig.letters().block(1).letters, 36);
        QCOMPARE(rig.letters().block(1).lines, 6);
        QCOMPARE(rig.screen->timer()->pace().ms(), 130);
        QVERIFY(rig.screen->timer()->isEnabled());
        // The canvas carries the run's font after initialize() made a new canvas.
        QCOMPARE(rig.canvas()->font.name, QStringLiteral("Courier New"));
        QCOMPARE(rig.canvas()->font.size, 10);

        // A second run takes the settings given since.
        rig.pressKey(Qt::Key_Escape);
        QVERIFY(!rig.screen->isVisible());
        rig.settings.pace = zrv::Pace(2000);
        rig.settings.lines = 1;
        rig.start(2);
        QCOMPARE(rig.screen->timer()->pace().ms(), 2000);
        QCOMPARE(rig.letters().block(1).lines, 1);
    }

    // A run of a text exercise holds 800 blocks, whatever ran before; a Dot run none.
    void exactly800BlocksAfterManyRuns()
    {
        ExerciseRig rig(globalScale());
        const int before = LetterBlock::liveCount();
        for (int run = 0; run < 6; ++run) {
            rig.start(run % 3 == 2 ? 0 : 1 + run % 2);
            rig.tick();
            rig.pressKey(Qt::Key_Escape);
            QVERIFY(!rig.screen->isVisible());
            QCOMPARE(LetterBlock::liveCount() - before, rig.settings.exercise == 0 ? 0 : 800);
        }
    }

    void escapeClosesWithAnyModifiers_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("closes");
        QTest::newRow("Escape") << int(Qt::Key_Escape) << int(Qt::NoModifier) << true;
        QTest::newRow("Shift+Escape") << int(Qt::Key_Escape) << int(Qt::ShiftModifier) << true;
        QTest::newRow("Ctrl+Escape") << int(Qt::Key_Escape) << int(Qt::ControlModifier) << true;
        QTest::newRow("Alt+Escape") << int(Qt::Key_Escape) << int(Qt::AltModifier) << true;
        QTest::newRow("Return") << int(Qt::Key_Return) << int(Qt::NoModifier) << false;
        QTest::newRow("Q") << int(Qt::Key_Q) << int(Qt::NoModifier) << false;
    }
    void escapeClosesWithAnyModifiers()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(bool, closes);
        ExerciseRig rig(globalScale());
        setUpDot(rig, 0);
        rig.start(0);
        QVERIFY(rig.screen->display()->isInitialized());
        rig.pressKey(key, Qt::KeyboardModifiers(modifiers));
        QCOMPARE(!rig.screen->isVisible(), closes);
        QCOMPARE(!rig.screen->display()->isInitialized(), closes);
        QCOMPARE(!rig.screen->timer()->isEnabled(), closes);
        QCOMPARE(rig.displayReleased(), closes);
    }

    // The close is requested inside the handler but happens in the modal loop, which then
    // returns control to the settings window.
    void modalRunReturnsAfterEscape()
    {
        ExerciseRig rig(globalScale());
        setUpDot(rig, 0);
        rig.screen->setSettings(rig.settings);
        bool wasInitialized = false;
        QMetaObject::invokeMethod(
            rig.screen.get(),
            [&] {
                wasInitialized = rig.screen->display()->isInitialized();
                rig.pressKey(Qt::Key_Escape);
            },
            Qt::QueuedConnection);
        rig.screen->showModal();
        QVERIFY(wasInitialized);
        QVERIFY(!rig.screen->isVisible());
        QVERIFY(!rig.screen->display()->isInitialized());
        QVERIFY(!rig.screen->timer()->isEnabled());
    }

    void durationEndsTheRun_data()
    {
        QTest::addColumn<double>("startDays");
        QTest::addColumn<int>("minutes");
        QTest::newRow("1 dakika") << 45000.5 << 1;
        QTest::newRow("5 dakika") << 45000.5 << 5;
        QTest::newRow("1 dakika across midnight") << 45000.0 + (86400.0 - 20.0) / 86400.0 << 1;
    }
    void durationEndsTheRun()
    {
        QFETCH(double, startDays);
        QFETCH(int, minutes);
        ExerciseRig rig(globalScale());
        setUpDot(rig, 0, minutes, 1000);
        rig.clock.setLocalDays(startDays);
        rig.start(0);
        // Ticks every second up to exactly n minutes: the run goes on.
        for (int s = 1; s <= minutes * 60; ++s) {
            rig.tick();
            QCoreApplication::processEvents();
            QVERIFY2(rig.screen->isVisible(), qPrintable(QStringLiteral("closed after %1 s").arg(s)));
        }
        // The first tick after more than n minutes still draws its step, then the window closes.
        const qint32 step = rig.dot().dotStep;
        rig.tick();
        QCOMPARE(rig.dot().dotStep, step % 8 + 1);
        QCoreApplication::processEvents();
        QVERIFY(!rig.screen->isVisible());
        QVERIFY(!rig.screen->display()->isInitialized());
    }

    void continuousRunNeverCloses()
    {
        ExerciseRig rig(globalScale());
        setUpDot(rig, 0, 0, 2000);
        rig.start(0);
        for (int i = 0; i < 400; ++i) // more than 13 minutes
            rig.tick();
        QCoreApplication::processEvents();
        QVERIFY(rig.screen->isVisible());
        QCOMPARE(rig.screen->elapsed(), 0.0);
    }

    void screenKeptOnWhileTheRunShows_data()
    {
        QTest::addColumn<QString>("end");
        for (const char* end :
             {"Escape", "duration", "stop request", "display failure", "Escape while paused"})
            QTest::newRow(end) << QString::fromLatin1(end);
    }
    // The screen is kept on from the first frame and given back however the run ends.
    void screenKeptOnWhileTheRunShows()
    {
        QFETCH(QString, end);
        ExerciseRig rig(end == QLatin1String("display failure") ? 0.2 : globalScale());
        setUpDot(rig, 0, end == QLatin1String("duration") ? 1 : 0, 1000);
        RunRecord record;
        connect(rig.screen.get(), &ExerciseWindow::runEnded,
                [&record](const RunRecord& run) { record = run; });
        rig.start(0);
        QCOMPARE(rig.screen->screenSaver()->isHeld(), end != QLatin1String("display failure"));
        if (end == QLatin1String("Escape while paused")) {
            rig.pressKey(Qt::Key_Space);
            rig.clock.advanceMs(5000);
        }
        for (int s = 0; s <= 60 && end == QLatin1String("duration"); ++s)
            rig.tick();
        if (end == QLatin1String("stop request"))
            rig.screen->requestClose();
        else if (end != QLatin1String("duration"))
            rig.pressKey(Qt::Key_Escape);
        QCoreApplication::processEvents();
        QVERIFY(!rig.screen->isVisible() && !rig.screen->screenSaver()->isHeld());
        QCOMPARE(record.paused_ms, end == QLatin1String("Escape while paused") ? 5000 : 0);
    }

    // Space stands the run still under its line and gives the screen back, also when the
    // application comes and goes; the second Space resumes exactly where it stood: the same
    // frame, a whole interval to the next step (once the application is active), and the pause
    // counted neither in the duration nor in the run's time.
    void spacePausesTheRun()
    {
        ExerciseRig rig(globalScale());
        setUpDot(rig, 0, 1, 1000);
        RunRecord record;
        connect(rig.screen.get(), &ExerciseWindow::runEnded,
                [&record](const RunRecord& run) { record = run; });
        rig.start(0);
        for (int s = 0; s < 30; ++s)
            rig.tick();
        rig.clock.advanceMs(400);
        const QImage before = rig.screenImage();
        const auto* line = rig.screen->findChild<QLabel*>(QStringLiteral("pauseLine"));

        rig.pressKey(Qt::Key_Space);
        QCOMPARE(line->text(),
                 QStringLiteral("Duraklatıldı — devam etmek için Boşluk, bitirmek için Esc · kalan 0:30"));
        QVERIFY(line->isVisible() && !rig.waker->isArmed() && !rig.screen->screenSaver()->isHeld());
        // Held down on X11: the repeats come as a release and a press of one moment, which Qt
        // does not always mark as repeats; neither they nor the last release resume.
        const auto send = [&rig](QEvent::Type type, quint64 t_ms) {
            QKeyEvent key(type, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
            key.setTimestamp(t_ms);
            QApplication::sendEvent(rig.screen.get(), &key);
        };
        for (const quint64 t_ms : {5000, 5040, 5080}) {
            send(QEvent::KeyRelease, t_ms);
            send(QEvent::KeyPress, t_ms);
        }
        send(QEvent::KeyRelease, 5120);
        QVERIFY(line->isVisible());
        rig.activity.setActive(false);
        rig.activity.setActive(true);
        QVERIFY(!rig.waker->isArmed());
        rig.clock.advanceMs(10 * 60 * 1000);
        rig.activity.setActive(false);
        rig.pressKey(Qt::Key_Space);
        QVERIFY(!line->isVisible() && !rig.waker->isArmed() && rig.screen->screenSaver()->isHeld());
        rig.activity.setActive(true);
        QCOMPARE(rig.screenImage(), before);
        QCOMPARE(rig.waker->deadline(), rig.clock.monotonicNanoseconds() + 1000 * ManualClock::kNsPerMs);

        // 30.4 s trained before the pause: the 30th step after it passes the minute.
        for (int s = 1; s <= 30; ++s) {
            QVERIFY(rig.screen->isVisible());
            rig.tick();
            QCoreApplication::processEvents();
        }
        QVERIFY(!rig.screen->isVisible());
        QCOMPARE(record.steps, 60);
        QCOMPARE(record.paused_ms, 10 * 60 * 1000);
        QCOMPARE(record.run_ms, 60'400);
    }

    // A routine runs its stages one after the other in the one window, which holds the display
    // throughout: each exercise recorded as a run marked with the routine, each rest counted
    // down on its screen (pauses not counted); Escape ends the routine where it is.  With a
    // summary, the routine's end (its last stage or Escape) shows it once every run is recorded,
    // and the next key closes the window.
    void routineRunsItsStages_data()
    {
        QTest::addColumn<int>("escapeInStage"); // -1: none
        QTest::addColumn<QList<RunEnd>>("ends");
        QTest::addColumn<int>("closeKey"); // 0: no summary
        const QList<RunEnd> whole{RunEnd::Duration, RunEnd::Duration, RunEnd::Duration};
        QTest::newRow("whole") << -1 << whole << 0;
        QTest::newRow("Escape in the second rest")
            << 3 << QList<RunEnd>{RunEnd::Duration, RunEnd::Duration} << 0;
        QTest::newRow("Escape in Piramit") << 2 << QList<RunEnd>{RunEnd::Duration, RunEnd::Escape} << 0;
        QTest::newRow("whole, its summary closed by Enter") << -1 << whole << int(Qt::Key_Return);
        QTest::newRow("Escape in Piramit, its summary closed by Escape")
            << 2 << QList<RunEnd>{RunEnd::Duration, RunEnd::Escape} << int(Qt::Key_Escape);
    }
    void routineRunsItsStages()
    {
        QFETCH(int, escapeInStage);
        QFETCH(QList<RunEnd>, ends);
        QFETCH(int, closeKey);
        ExerciseRig rig(globalScale());
        setUpDot(rig, 0, 0, 500);
        QList<RoutineStage> stages;
        for (int e = 0; e < 3; ++e) {
            ExerciseSettings settings = rig.settings;
            settings.exercise = e;
            settings.pace = zrv::Pace(400 + 100 * e);
            if (e > 0)
                stages.append({std::nullopt, 2, QStringLiteral("next %1").arg(e)});
            stages.append({settings, 2, {}});
        }
        rig.screen->setRoutine(stages);
        QList<RunRecord> runs;
        connect(rig.screen.get(), &ExerciseWindow::runEnded,
                [&runs](const RunRecord& run) { runs.append(run); });
        qsizetype runsAtSummary = -1;
        connect(rig.screen.get(), &ExerciseWindow::routineEnded, [&](qint64 start_utc_ms) {
            if (!closeKey)
                return;
            runsAtSummary = start_utc_ms == runs.value(0).routine_utc_ms ? runs.size() : -2;
            rig.screen->showSummary(RoutineSummary{});
        });
        rig.start(0);
        int stage = 0;
        bool paused = false;
        for (int i = 0; i < 100 && rig.screen->isVisible(); ++i) {
            QCOMPARE(rig.screen->isResting(), stage % 2 == 1);
            QVERIFY(rig.screen->display()->isInitialized());
            if (i == 0) { // a pause in an exercise is not its time, as in a single run
                rig.pressKey(Qt::Key_Space);
                rig.clock.advanceMs(60'000);
                rig.pressKey(Qt::Key_Space);
            }
            if (stage == 1 && !paused) { // a pause in a rest does not count down
                paused = true;
                rig.pressKey(Qt::Key_Space);
                rig.clock.advanceMs(60'000);
                rig.pressKey(Qt::Key_Space);
                QCOMPARE(rig.screen->restScreen()->countdownText(), QStringLiteral("0:02"));
            }
            if (stage == escapeInStage) {
                rig.pressKey(Qt::Key_Escape);
                break;
            }
            rig.tick();
            QCoreApplication::processEvents(); // the next stage
            QCoreApplication::processEvents(); // or the close after the last
            stage = rig.screen->stageIndex();
            if (rig.screen->isSummaryShown())
                break;
        }
        QCoreApplication::processEvents();
        if (closeKey) {
            QVERIFY(rig.screen->isVisible() && rig.screen->isSummaryShown());
            QCOMPARE(runsAtSummary, ends.size());
            QVERIFY(!rig.waker->isArmed()); // the routine goes no further
            QCOMPARE(rig.screen->stageIndex(), stage);
            rig.pressKey(closeKey);
            QCoreApplication::processEvents();
        }
        QVERIFY(!rig.screen->isVisible() && rig.displayReleased());
        QCOMPARE(runs.size(), ends.size());
        for (int r = 0; r < runs.size(); ++r) {
            QCOMPARE(runs[r].exercise, r);
            QCOMPARE(runs[r].pace.ms(), 400 + 100 * r);
            QCOMPARE(runs[r].end, ends[r]);
            QVERIFY(runs[r].routine_utc_ms && runs[r].routine_utc_ms == runs[0].routine_utc_ms);
        }
        QCOMPARE(runs[0].paused_ms, 60'000);
        QVERIFY(runs[0].run_ms >= 2'000 && runs[0].run_ms <= 2'400); // its 2 s, to the step that ends them
    }

    // While the application is inactive nothing ticks, but the duration keeps running: the
    // first tick after coming back closes the window.
    void inactiveTimeStillCounts()
    {
        ExerciseRig rig(globalScale());
        setUpDot(rig, 0, 1);
        rig.start(0);
        rig.tick();
        rig.activity.setActive(false);
        QVERIFY(!rig.waker->isArmed());
        rig.clock.advanceMs(2 * 60 * 1000);
        QVERIFY(rig.screen->isVisible());
        rig.activity.setActive(true);
        rig.tick();
        QCoreApplication::processEvents();
        QVERIFY(!rig.screen->isVisible());
    }

    // A display that is refused (a screen too small to read the frame on): the error box, the
    // window shown with nothing drawn and no ticks, and Escape closes it as usual.
    void refusedDisplayMode()
    {
        ExerciseRig rig(0.2);
        setUpDot(rig, 0);
        rig.start(0);
        QCOMPARE(rig.reports, QStringList{QStringLiteral("Display mode cannot be changed (640x480 16bit).")});
        QVERIFY(rig.screen->isVisible());
        QVERIFY(!rig.screen->timer()->isEnabled());
        QVERIFY(!rig.waker->isArmed());
        rig.pressKey(Qt::Key_Escape);
        QVERIFY(!rig.screen->isVisible());
        QCOMPARE(rig.reports.size(), 1);
    }

    void dotFirstFrame_data()
    {
        QTest::addColumn<int>("order");
        QTest::addColumn<int>("passiveDots");
        QTest::newRow("1 2 3 4") << 0 << 4;
        QTest::newRow("1 2 4 3") << 1 << 4;
        QTest::newRow("1 4 2 3") << 2 << 4;
        QTest::newRow("1 2 4 3 5 8 6 7") << 3 << 8;
        QTest::newRow("1 4 2 3 5 6 8 7") << 4 << 8;
    }
    void dotFirstFrame()
    {
        QFETCH(int, order);
        QFETCH(int, passiveDots);
        ExerciseRig rig(globalScale());
        setUpDot(rig, order);
        rig.start(0);
        const QImage image = rig.screenImage();
        QList<int> expected;
        for (int p = 1; p <= passiveDots; ++p)
            expected << p;
        QCOMPARE(positionsIn(image, kBlue), expected);
        QVERIFY(positionsIn(image, kRed).isEmpty());
        // Each dot is a one-colour disc in the box x - 10 .. x + 9.
        for (int p = 1; p <= passiveDots; ++p) {
            const int x = kDot[p].x(), y = kDot[p].y();
            QCOMPARE(pixel(image, x - 10, y), kBlue);
            QCOMPARE(pixel(image, x + 9, y), kBlue);
            QCOMPARE(pixel(image, x, y - 10), kBlue);
            QCOMPARE(pixel(image, x, y + 9), kBlue);
            QCOMPARE(pixel(image, x + 10, y), kWhite);
            QCOMPARE(pixel(image, x, y + 10), kWhite);
            QCOMPARE(pixel(image, x - 10, y - 10), kWhite); // the box's corner is outside the disc
        }
        // Nothing but the background and the dots.
        QCOMPARE(countPixels(image, kWhite) + countPixels(image, kBlue), 640 * 480);
    }

    void dotTicksFollowTheOrder_data()
    {
        QTest::addColumn<int>("order");
        QTest::addColumn<QList<int>>("lit");
        QTest::newRow("1 2 3 4") << 0 << QList<int>{2, 3, 4, 1, 2, 3, 4, 1, 2};
        QTest::newRow("1 2 4 3") << 1 << QList<int>{2, 4, 3, 1, 2, 4, 3, 1, 2};
        QTest::newRow("1 4 2 3") << 2 << QList<int>{4, 2, 3, 1, 4, 2, 3, 1, 4};
        QTest::newRow("1 2 4 3 5 8 6 7") << 3 << QList<int>{2, 4, 3, 5, 8, 6, 7, 1, 2};
        QTest::newRow("1 4 2 3 5 6 8 7") << 4 << QList<int>{4, 2, 3, 5, 6, 8, 7, 1, 4};
    }
    void dotTicksFollowTheOrder()
    {
        QFETCH(int, order);
        QFETCH(QList<int>, lit);
        ExerciseRig rig(globalScale());
        setUpDot(rig, order);
        rig.start(0);
        const int points = order >= 3 ? 8 : 4;
        for (int k = 0; k < lit.size(); ++k) {
            rig.tick();
            const QImage image = rig.screenImage();
            QCOMPARE(positionsIn(image, kRed), QList<int>{lit[k]});
            QCOMPARE(positionsIn(image, kBlue).size(), points - 1);
            QCOMPARE(countPixels(image, kWhite) + countPixels(image, kBlue) + countPixels(image, kRed),
                     640 * 480);
        }
    }

    void activeLikePassiveLeavesTheScreenAsItWas()
    {
        ExerciseRig rig(globalScale());
        setUpDot(rig, 3);
        rig.settings.active = rig.settings.passive;
        rig.start(0);
        const QImage first = rig.screenImage();
        for (int k = 0; k < 9; ++k) {
            rig.tick();
            QCOMPARE(rig.screenImage(), first);
        }
    }

    // A tick draws two dots and nothing else: the rest of the frame is kept by the surface.
    void tickPresentsOnlyTheTwoDots()
    {
        ExerciseRig rig(globalScale());
        setUpDot(rig, 0);
        rig.start(0);
        rig.tick();
        rig.tick();
        const QRect changed = rig.screen->display()->lastPresented().boundingRect();
        // Positions 2 and 3 share the right column: one box 20 wide from y 14 to 465.
        QVERIFY(!changed.isEmpty());
        QVERIFY2(QRegion(changed).subtracted(QRegion(QRect(598, 14, 20, 452))).isEmpty(),
                 qPrintable(QStringLiteral("changed %1,%2 %3x%4")
                                .arg(changed.x())
                                .arg(changed.y())
                                .arg(changed.width())
                                .arg(changed.height())));
    }

    void screenChangeRedrawsTheFrame_data()
    {
        QTest::addColumn<int>("exercise");
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("direction");
        QTest::addColumn<int>("ticks");
        QTest::newRow("Nokta, eight points") << 0 << 3 << 0 << 5;
        QTest::newRow("Nokta, first frame") << 0 << 0 << 0 << 0;
        QTest::newRow("Piramit, Üçgen") << 1 << 0 << 1 << 7;
        QTest::newRow("Piramit, Tek Satır") << 1 << 1 << 1 << 4;
        QTest::newRow("Blok, Ayrı, zigzag") << 2 << 0 << 2 << 9;
        QTest::newRow("Blok, Bitişik, first frame") << 2 << 1 << 1 << 0;
    }
    // The screen changes during a run (another resolution or screen): the frame is drawn again
    // at the new scale exactly as a run at that scale shows it, and the run goes on from there.
    void screenChangeRedrawsTheFrame()
    {
        QFETCH(int, exercise);
        QFETCH(int, type);
        QFETCH(int, direction);
        QFETCH(int, ticks);
        const double other = globalScale() == 1 ? 1.5 : 1.0;
        auto run = [&](ExerciseRig& rig, double switchTo) {
            rig.settings.type = type;
            rig.settings.direction = direction;
            rig.settings.lines = 2;
            rig.settings.letters = 6;
            rig.settings.background = rgbColor(0, 0, 128);
            rig.settings.active = rgbColor(255, 255, 255);
            rig.settings.passive = rgbColor(255, 255, 0);
            rig.settings.dot = rgbColor(255, 0, 0);
            zrv::setRandSeed(7);
            rig.start(exercise);
            for (int t = 0; t < ticks; ++t)
                rig.tick();
            if (switchTo > 0)
                rig.screen->display()->setOffscreenScale(switchTo);
        };
        ExerciseRig switched(globalScale());
        run(switched, other);
        ExerciseRig direct(other);
        run(direct, 0);
        QCOMPARE(switched.screenImage(), direct.screenImage());
        for (int t = 0; t < 3; ++t) {
            switched.tick();
            direct.tick();
        }
        QCOMPARE(switched.screenImage(), direct.screenImage());
        QCOMPARE(switched.reports, QStringList());
    }

    // No stored order: DotOrder stays all zeros, and every tick lights the dot drawn last by
    // the first frame, position 4, in the active colour.
    void noOrderGivesOneSteadyDot()
    {
        ExerciseRig rig(globalScale());
        setUpDot(rig, -1);
        rig.start(0);
        QCOMPARE(rig.dot().dotOrder, (std::array<qint32, 9>{}));
        for (int k = 0; k < 3; ++k) {
            rig.tick();
            const QImage image = rig.screenImage();
            QCOMPARE(positionsIn(image, kRed), QList<int>{4});
            QCOMPARE(positionsIn(image, kBlue), (QList<int>{1, 2, 3}));
        }
    }
};

QTEST_MAIN(TestScreenForm)
#include "test_exercise_window.moc"

#include "DisplayRig.h"
#include "core/Exceptions.h"
#include "support/Scales.h"

#include <QSignalSpy>
#include <QTest>
#include <cmath>
#include <limits>

namespace
{
constexpr ColorValue kWhite = rgbColor(255, 255, 255);
constexpr ColorValue kRed = rgbColor(255, 0, 0);

void dot(Canvas* cv, int x, int y, ColorValue c)
{
    cv->brush.color = c;
    cv->pen.color = c;
    cv->brush.style = bsSolid;
    cv->ellipse(x - 10, y - 10, x + 10, y + 10);
}

// The message of the DisplayError that f throws, or an empty string.
QString displayError(const std::function<void()>& f)
{
    try {
        f();
    } catch (const DisplayError& e) {
        return e.message();
    }
    return {};
}
} // namespace

class TestExerciseDisplay : public QObject
{
    Q_OBJECT
  private slots:
    void initTestCase_data();
    void initializeAndFinalize();
    void refused_data();
    void refused();
    void surfaceKeepsWhatWasDrawn();
    void presentShowsWhatChanged();
    void rescaleDuringRun();
};

void TestExerciseDisplay::initTestCase_data()
{
    addScales();
}

// A second initialize() finalizes first (finalized, then initialized) and gives a new black
// surface with a new canvas; finalize() is once only.
void TestExerciseDisplay::initializeAndFinalize()
{
    DisplayRig rig(globalScale(), false);
    QStringList events;
    connect(rig.draw, &ExerciseDisplay::initialized, [&] { events << QStringLiteral("initialized"); });
    connect(rig.draw, &ExerciseDisplay::finalized, [&] { events << QStringLiteral("finalized"); });
    rig.draw->finalize(); // not initialized: nothing
    QVERIFY(events.isEmpty());
    QVERIFY(!rig.draw->canDraw());

    rig.draw->initialize();
    QVERIFY(rig.draw->canDraw());
    QCOMPARE(rig.draw->surface()->image().size(), zrv::deviceSizeOf(QSize(640, 480), globalScale()));
    QCOMPARE(rig.draw->surface()->image().format(), QImage::Format_RGB32);
    rig.clear(kWhite);
    rig.canvas()->font.name = QStringLiteral("DejaVu Sans");
    rig.draw->present();

    rig.draw->initialize();
    QCOMPARE(events, (QStringList{"initialized", "finalized", "initialized"}));
    QVERIFY(allPixels(rig.surface(), 0));
    QCOMPARE(rig.canvas()->font.name, FontSpec().name); // the caller sets it again

    rig.draw->finalize();
    rig.draw->finalize();
    QCOMPARE(events.size(), 4);
    QVERIFY(!rig.draw->isInitialized() && !rig.draw->canDraw() && !rig.draw->surface());
    rig.draw->present(); // nothing to present: nothing happens
}

void TestExerciseDisplay::refused_data()
{
    QTest::addColumn<double>("offscreenScale");
    QTest::addColumn<QString>("message");
    const QString mode = QStringLiteral("Display mode cannot be changed (640x480 16bit)");
    QTest::newRow("below a quarter") << 0.24 << mode;
    QTest::newRow("no size") << 0.0 << mode;
    QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << mode;
    QTest::newRow("no memory for it") << 1e6 << QStringLiteral("Surface cannot be made");
}

// A refused initialize() raises no event and leaves nothing to draw on.
void TestExerciseDisplay::refused()
{
    QFETCH(double, offscreenScale);
    QFETCH(QString, message);
    DisplayRig rig(globalScale());
    QSignalSpy finalized(rig.draw, &ExerciseDisplay::finalized);
    QSignalSpy initialized(rig.draw, &ExerciseDisplay::initialized);
    rig.draw->setOffscreenScale(offscreenScale); // kept for the next run
    QVERIFY(rig.draw->canDraw());
    QCOMPARE(displayError([&] { rig.draw->initialize(); }), message);
    QCOMPARE(finalized.count(), 1); // the run before
    QCOMPARE(initialized.count(), 0);
    QVERIFY(!rig.draw->canDraw() && !rig.draw->surface());
}

// Two dots in one frame and a third in the next are all there after the second present.
void TestExerciseDisplay::surfaceKeepsWhatWasDrawn()
{
    DisplayRig rig(globalScale());
    Canvas* cv = rig.clear(kWhite);
    dot(cv, 32, 24, kRed);
    dot(cv, 608, 456, kRed);
    rig.draw->present();
    dot(rig.canvas(), 320, 240, kRed);
    rig.draw->present();
    const QImage img = rig.surface();
    for (const QPoint p : {QPoint(32, 24), QPoint(608, 456), QPoint(320, 240)})
        QCOMPARE(pixelAt(img, p.x(), p.y(), rig.scale()), rgbOf(kRed));
    QCOMPARE(pixelAt(img, 100, 100, rig.scale()), rgbOf(kWhite));
}

// The first present shows the whole frame; later ones only what the canvas changed, and
// present() gives the canvas back first.
void TestExerciseDisplay::presentShowsWhatChanged()
{
    DisplayRig rig(globalScale());
    rig.canvas()->textHeight(QStringLiteral("A")); // measuring alone puts the painter on
    rig.draw->present();
    QVERIFY(!rig.canvas()->isPainting());
    QCOMPARE(rig.draw->lastPresented(), QRegion(0, 0, 640, 480));
    rig.draw->present();
    QVERIFY(rig.draw->lastPresented().isEmpty());
    dot(rig.canvas(), 100, 100, kRed);
    dot(rig.canvas(), 500, 300, kRed);
    rig.draw->present();
    QCOMPARE(rig.draw->lastPresented(), QRegion(90, 90, 20, 20) + QRegion(490, 290, 20, 20));
}

// A new scale during a run (the screen changed) makes the surface again at that scale, black,
// with the canvas set as it was, and asks for the whole frame; a scale that cannot be had keeps
// the surface as it is.
void TestExerciseDisplay::rescaleDuringRun()
{
    DisplayRig rig(globalScale());
    QSignalSpy remade(rig.draw, &ExerciseDisplay::surfaceRemade);
    Canvas* cv = rig.clear(kWhite);
    cv->font.name = QStringLiteral("DejaVu Sans");
    rig.draw->present();
    const FrameSurface* before = rig.draw->surface();

    rig.draw->setOffscreenScale(globalScale()); // the same: nothing to do
    QCOMPARE(remade.count(), 0);
    for (const double bad : {0.1, 1e6}) {
        rig.draw->setOffscreenScale(bad);
        QCOMPARE(rig.draw->surface(), before);
    }
    QCOMPARE(remade.count(), 0);

    const double other = globalScale() == 1 ? 1.5 : 1.0;
    rig.draw->setOffscreenScale(other);
    QCOMPARE(remade.count(), 1);
    QCOMPARE(rig.draw->surface()->image().size(), zrv::deviceSizeOf(QSize(640, 480), other));
    QVERIFY(allPixels(rig.surface(), 0));
    QCOMPARE(rig.canvas()->font.name, QStringLiteral("DejaVu Sans"));
    QCOMPARE(rig.canvas()->brush.color, kWhite);
    rig.draw->present();
    QCOMPARE(rig.draw->lastPresented(), QRegion(0, 0, 640, 480));
}

QTEST_MAIN(TestExerciseDisplay)
#include "test_exercise_display.moc"

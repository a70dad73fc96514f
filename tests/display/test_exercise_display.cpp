#include "DisplayRig.h"
#include "core/Exceptions.h"

#include <QApplication>
#include <QTest>
#include <functional>

namespace
{
constexpr ColorValue kWhite = RGBColor(255, 255, 255);
constexpr ColorValue kRed = RGBColor(255, 0, 0);

using Fault = std::function<void(MemoryPlatform&)>;

// The most derived error class of the exception in flight.
QString errorClass(std::exception_ptr e)
{
    try {
        std::rethrow_exception(e);
    } catch (const DisplayError&) {
        return QStringLiteral("DisplayError");
    } catch (const Exception&) {
        return QStringLiteral("Exception");
    } catch (...) {
        return QStringLiteral("?");
    }
}

// Runs f and returns the class and message of what it throws, or empty strings.
std::pair<QString, QString> thrown(const std::function<void()>& f)
{
    try {
        f();
    } catch (const Exception& e) {
        return {errorClass(std::current_exception()), e.Message()};
    }
    return {};
}

void dot(Canvas* cv, int x, int y, ColorValue c)
{
    cv->Brush.Color = c;
    cv->Pen.Color = c;
    cv->Brush.Style = bsSolid;
    cv->Ellipse(x - 10, y - 10, x + 10, y + 10);
}
} // namespace
Q_DECLARE_METATYPE(Fault)

class TestExerciseDisplay : public QObject
{
    Q_OBJECT
  private slots:
    void initializeTwice();
    void finalizeTwice();
    void refusedMode_data();
    void refusedMode();
    void creationFailure_data();
    void creationFailure();
    void surfaceMemory();
    void threeDotsOverTwoFrames();
    void flipPresentsWhatChanged();
    void lostAndRegained_data();
    void lostAndRegained();
    void lostAndUnrestorable();
    void measuringThenFlip();
    void newCanvasAtEachInitialize();
    void autoInitializeOnShow();
    void eventHandlersThatThrow();
    void inertWhileFinalizing();
    void bitCount_data();
    void bitCount();
    void formNotFound();
};

// A second Initialize finalizes first (OnFinalize, then OnInitialize) and leaves both surfaces
// black even when OnInitialize drew and presented.
void TestExerciseDisplay::initializeTwice()
{
    DisplayRig rig(false);
    QStringList events;
    rig.draw->OnFinalize = [&](QObject* sender) {
        QCOMPARE(sender, rig.draw);
        events << QStringLiteral("finalize");
    };
    rig.draw->OnInitialize = [&](QObject* sender) {
        QCOMPARE(sender, rig.draw);
        events << QStringLiteral("initialize");
        QVERIFY(rig.draw->CanDraw());
        rig.clear(kWhite);
        rig.canvas()->Release();
        rig.draw->Flip();
        QCOMPARE(pixelAt(rig.platform->Screen(), 320, 240), ColorTo565(kWhite));
    };
    rig.draw->Initialize();
    QCOMPARE(events, QStringList{QStringLiteral("initialize")});
    QVERIFY(rig.draw->Initialized() && rig.draw->Allocated() && !rig.draw->Busy());
    QVERIFY(rig.draw->InitializeEventRaised());
    QVERIFY(allPixels(rig.surface(), 0));
    QVERIFY(allPixels(rig.platform->Screen(), 0));
    QCOMPARE(rig.platform->ExclusiveWindow(), &rig.form);
    QCOMPARE(rig.platform->CurrentMode(), (DisplayMode{640, 480, 16}));

    rig.draw->Initialize();
    QCOMPARE(events, (QStringList{QStringLiteral("initialize"), QStringLiteral("finalize"),
                                  QStringLiteral("initialize")}));
    QVERIFY(allPixels(rig.surface(), 0));
    QVERIFY(allPixels(rig.platform->Screen(), 0));
    QCOMPARE(rig.platform->DisplayCount(), 1);
    QCOMPARE(rig.platform->SurfaceCount(), 2);
}

void TestExerciseDisplay::finalizeTwice()
{
    DisplayRig rig(false);
    int finalized = 0;
    rig.draw->OnFinalize = [&](QObject*) { ++finalized; };
    rig.draw->Finalize(); // not initialized: nothing
    QCOMPARE(finalized, 0);
    rig.draw->Initialize();
    rig.draw->Finalize();
    QCOMPARE(finalized, 1);
    QVERIFY(!rig.draw->Initialized() && !rig.draw->Allocated() && !rig.draw->Busy());
    QVERIFY(!rig.draw->InitializeEventRaised());
    QVERIFY(!rig.draw->Surface() && !rig.draw->Primary());
    QCOMPARE(rig.platform->DisplayCount(), 0);
    QCOMPARE(rig.platform->SurfaceCount(), 0);
    QCOMPARE(rig.platform->CurrentMode(), rig.platform->DesktopMode);
    QCOMPARE(rig.platform->ExclusiveWindow(), nullptr);
    QCOMPARE(rig.draw->SurfaceWidth, 640);
    QCOMPARE(rig.draw->SurfaceHeight, 480);
    rig.draw->Finalize();
    QCOMPARE(finalized, 1);
    QVERIFY(!rig.draw->CanDraw());
}

void TestExerciseDisplay::refusedMode_data()
{
    QTest::addColumn<int>("refusals");
    QTest::addColumn<bool>("listed");
    QTest::addColumn<int>("setModeCalls");
    QTest::addColumn<bool>("succeeds");
    QTest::newRow("refused, not listed") << -1 << false << 1 << false;
    QTest::newRow("refused, listed: asked twice") << -1 << true << 2 << false;
    QTest::newRow("refused once, found in the list") << 1 << true << 2 << true;
    QTest::newRow("refused once, not listed") << 1 << false << 1 << false;
}

void TestExerciseDisplay::refusedMode()
{
    QFETCH(int, refusals);
    QFETCH(bool, listed);
    QFETCH(int, setModeCalls);
    QFETCH(bool, succeeds);
    DisplayRig rig(false);
    if (!listed)
        rig.platform->RefuseDisplayMode();
    rig.platform->RefuseSetModeCalls = refusals;
    int events = 0;
    rig.draw->OnInitialize = [&](QObject*) { ++events; };
    rig.draw->OnFinalize = [&](QObject*) { ++events; };

    const auto [cls, message] = thrown([&] { rig.draw->Initialize(); });
    QCOMPARE(rig.platform->SetModeCalls(), setModeCalls);
    QVERIFY(rig.platform->EnumModesCalls() <= 1);
    if (succeeds) {
        QCOMPARE(message, QString());
        QVERIFY(rig.draw->CanDraw());
        return;
    }
    QCOMPARE(cls, QStringLiteral("DisplayError"));
    QCOMPARE(message, QStringLiteral("Display mode cannot be changed (640x480 16bit)"));
    QCOMPARE(events, 0);
    QVERIFY(!rig.draw->CanDraw());
    QVERIFY(!rig.draw->Initialized() && !rig.draw->Allocated() && !rig.draw->Busy());
    rig.draw->Flip();
    QCOMPARE(rig.platform->PresentCount(), 0);
    QCOMPARE(rig.platform->CurrentMode(), rig.platform->DesktopMode);
    QCOMPARE(rig.platform->DisplayCount(), 0);
    // Showing the form does not try again.
    rig.form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&rig.form));
    QCOMPARE(rig.platform->SetModeCalls(), setModeCalls);
    QVERIFY(!rig.draw->Initialized());
    QCOMPARE(events, 0);
}

void TestExerciseDisplay::creationFailure_data()
{
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<QString>("errorClass");
    QTest::addColumn<QString>("message");
    QTest::newRow("library") << Fault([](auto& p) { p.FailLibrary = true; }) << "Exception"
                             << "DDraw.dll not loaded";
    QTest::newRow("display object") << Fault([](auto& p) { p.FailCreate = true; }) << "DisplayError"
                                    << "DirectDraw cannot be initialized";
    QTest::newRow("interface") << Fault([](auto& p) { p.FailInterface = true; }) << "DisplayError"
                               << "Necessary since DirectX 6";
    QTest::newRow("primary") << Fault([](auto& p) { p.FailPrimary = true; }) << "DisplayError"
                             << "Primary Surface cannot be made";
    QTest::newRow("clipper") << Fault([](auto& p) { p.FailClipper = true; }) << "DisplayError"
                             << "Clipper cannot be made";
    QTest::newRow("surface in any memory") << Fault([](auto& p) {
        p.FailVideoSurface = true;
        p.FailSystemSurface = true;
    }) << "DisplayError"
                                           << "Surface cannot be made";
}

// Any failure while taking the display leaves the control idle, with no events raised and the
// display back in the desktop mode.
void TestExerciseDisplay::creationFailure()
{
    QFETCH(Fault, fault);
    QFETCH(QString, errorClass);
    QFETCH(QString, message);
    DisplayRig rig(false);
    fault(*rig.platform);
    int events = 0;
    rig.draw->OnInitialize = [&](QObject*) { ++events; };
    rig.draw->OnFinalize = [&](QObject*) { ++events; };
    const auto [cls, text] = thrown([&] { rig.draw->Initialize(); });
    QCOMPARE(cls, errorClass);
    QCOMPARE(text, message);
    QCOMPARE(events, 0);
    QVERIFY(rig.draw->InitializeAttempted());
    QVERIFY(!rig.draw->Initialized() && !rig.draw->Allocated() && !rig.draw->Busy());
    QVERIFY(!rig.draw->Surface() && !rig.draw->CanDraw());
    QCOMPARE(rig.platform->DisplayCount(), 0);
    QCOMPARE(rig.platform->SurfaceCount(), 0);
    QCOMPARE(rig.platform->CurrentMode(), rig.platform->DesktopMode);
    QCOMPARE(rig.platform->ExclusiveWindow(), nullptr);
}

void TestExerciseDisplay::surfaceMemory()
{
    DisplayRig video;
    QVERIFY(video.draw->Surface()->InVideoMemory());
    DisplayRig fallback(false);
    fallback.platform->FailVideoSurface = true;
    fallback.draw->Initialize();
    QVERIFY(!fallback.draw->Surface()->InVideoMemory());
    QVERIFY(fallback.draw->CanDraw());
    QCOMPARE(fallback.draw->Surface()->Width(), 640);
    QCOMPARE(fallback.draw->Surface()->Height(), 480);
    QCOMPARE(fallback.draw->Surface()->Pixels().format(), QImage::Format_RGB16);
}

// The drawing surface keeps its contents between presents.
void TestExerciseDisplay::threeDotsOverTwoFrames()
{
    DisplayRig rig;
    auto* cv = rig.canvas();
    dot(cv, 32, 24, kRed);
    dot(cv, 608, 24, kWhite);
    cv->Release();
    rig.draw->Flip();
    dot(cv, 608, 456, kRed);
    cv->Release();
    rig.draw->Flip();
    const QImage screen = rig.platform->Screen();
    QCOMPARE(pixelAt(screen, 32, 24), ColorTo565(kRed));
    QCOMPARE(pixelAt(screen, 608, 24), ColorTo565(kWhite));
    QCOMPARE(pixelAt(screen, 608, 456), ColorTo565(kRed));
    QCOMPARE(pixelAt(screen, 320, 240), quint16(0));
    QCOMPARE(screen, rig.draw->Surface()->Pixels());
}

// Flip copies everything but tells the platform only what changed since the last present.
void TestExerciseDisplay::flipPresentsWhatChanged()
{
    DisplayRig rig;
    auto* cv = rig.canvas();
    rig.draw->Flip(); // the first present after Initialize: all of it
    QCOMPARE(rig.platform->LastPresentedChange(), QRegion(0, 0, 640, 480));
    dot(cv, 100, 100, kRed);
    cv->Release();
    rig.draw->Flip();
    QCOMPARE(rig.platform->LastPresentedChange().boundingRect(), QRect(90, 90, 20, 20));
    rig.draw->Flip();
    QVERIFY(rig.platform->LastPresentedChange().isEmpty());
    QCOMPARE(rig.platform->Screen(), rig.draw->Surface()->Pixels());
    // A present that cannot happen (context held) keeps what changed for the next one.
    dot(cv, 200, 200, kWhite);
    const int presents = rig.platform->PresentCount();
    rig.draw->Flip();
    QCOMPARE(rig.platform->PresentCount(), presents);
    dot(cv, 300, 300, kWhite);
    cv->Release();
    rig.draw->Flip();
    QCOMPARE(rig.platform->LastPresentedChange().boundingRect(), QRect(190, 190, 120, 120));
    QCOMPARE(rig.platform->Screen(), rig.draw->Surface()->Pixels());
}

void TestExerciseDisplay::lostAndRegained_data()
{
    QTest::addColumn<bool>("throughFlip");
    QTest::newRow("noticed by CanDraw") << false;
    QTest::newRow("noticed by Flip") << true;
}

void TestExerciseDisplay::lostAndRegained()
{
    QFETCH(bool, throughFlip);
    DisplayRig rig;
    rig.clear(kWhite);
    rig.canvas()->Release();
    rig.draw->Flip();
    rig.platform->LoseSurfaces();
    if (throughFlip)
        rig.draw->Flip();
    else
        QVERIFY(rig.draw->CanDraw());
    // What was drawn before is gone: both surfaces are black.
    QVERIFY(allPixels(rig.platform->Screen(), 0));
    QVERIFY(allPixels(rig.surface(), 0));
    QVERIFY(rig.draw->CanDraw());
    QVERIFY(rig.draw->RestoreIfLost());
    dot(rig.canvas(), 50, 50, kRed);
    rig.canvas()->Release();
    rig.draw->Flip();
    QCOMPARE(pixelAt(rig.platform->Screen(), 50, 50), ColorTo565(kRed));
}

void TestExerciseDisplay::lostAndUnrestorable()
{
    DisplayRig rig;
    rig.platform->FailRestore = true;
    rig.platform->LoseSurfaces();
    const int presents = rig.platform->PresentCount();
    QVERIFY(!rig.draw->CanDraw());
    QVERIFY(!rig.draw->RestoreIfLost());
    rig.draw->Flip();
    QCOMPARE(rig.platform->PresentCount(), presents);
    QVERIFY(rig.draw->Initialized());
    // The next call tries again.
    rig.platform->FailRestore = false;
    QVERIFY(rig.draw->CanDraw());
    QVERIFY(allPixels(rig.platform->Screen(), 0));
}

// Measuring takes a device context; until it is given back, Flip presents nothing.
void TestExerciseDisplay::measuringThenFlip()
{
    DisplayRig rig;
    auto* cv = rig.canvas();
    rig.draw->Flip();
    const int presents = rig.platform->PresentCount();
    QVERIFY(cv->TextWidth(QStringLiteral("abc")) > 0);
    QVERIFY(cv->HasDeviceContext());
    rig.draw->Flip();
    QCOMPARE(rig.platform->PresentCount(), presents);
    cv->Release();
    rig.draw->Flip();
    QCOMPARE(rig.platform->PresentCount(), presents + 1);
}

void TestExerciseDisplay::newCanvasAtEachInitialize()
{
    DisplayRig rig;
    auto* cv = rig.canvas();
    cv->Font.Name = QStringLiteral("Courier");
    cv->Font.Size = 20;
    cv->Brush.Color = kRed;
    rig.draw->Initialize();
    auto* fresh = rig.canvas();
    QCOMPARE(fresh->Font, FontSpec());
    QCOMPARE(fresh->Brush.Color, ColorValue(0xFFFFFF));
    QCOMPARE(fresh->Brush.Style, bsSolid);
    QCOMPARE(fresh->Pen.Color, ColorValue(0));
}

void TestExerciseDisplay::autoInitializeOnShow()
{
    DisplayRig rig(false);
    QStringList log;
    rig.draw->OnInitialize = [&](QObject*) { log << QStringLiteral("initialize"); };
    rig.form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&rig.form));
    QVERIFY(rig.draw->Initialized());
    QCOMPARE(log.size(), 1);
    // Only once: hiding and showing again does not initialize again.
    rig.draw->Finalize();
    rig.form.hide();
    rig.form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&rig.form));
    QVERIFY(!rig.draw->Initialized());

    DisplayRig manual(false);
    manual.draw->AutoInitialize = false;
    manual.form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&manual.form));
    QVERIFY(!manual.draw->InitializeAttempted());
}

// An error in OnInitialize passes on after the control is ready; one in OnFinalize passes on
// after the control has been torn down.
void TestExerciseDisplay::eventHandlersThatThrow()
{
    DisplayRig rig(false);
    rig.draw->OnInitialize = [](QObject*) { throw Exception(QStringLiteral("init failed")); };
    int finalized = 0;
    rig.draw->OnFinalize = [&](QObject*) {
        ++finalized;
        throw Exception(QStringLiteral("finalize failed"));
    };
    QCOMPARE(thrown([&] { rig.draw->Initialize(); }).second, QStringLiteral("init failed"));
    QVERIFY(rig.draw->Initialized() && rig.draw->InitializeEventRaised());
    QCOMPARE(thrown([&] { rig.draw->Finalize(); }).second, QStringLiteral("finalize failed"));
    QCOMPARE(finalized, 1);
    QVERIFY(!rig.draw->Initialized() && !rig.draw->Allocated() && !rig.draw->Busy());
    QCOMPARE(rig.platform->DisplayCount(), 0);
    rig.draw->Finalize();
    QCOMPARE(finalized, 1);
}

void TestExerciseDisplay::inertWhileFinalizing()
{
    DisplayRig rig;
    bool ran = false;
    rig.draw->OnFinalize = [&](QObject*) {
        ran = true;
        QVERIFY(rig.draw->Busy());
        QVERIFY(rig.draw->Surface() != nullptr); // still there
        QVERIFY(!rig.draw->CanDraw());
        const int presents = rig.platform->PresentCount();
        rig.draw->Flip();
        QCOMPARE(rig.platform->PresentCount(), presents);
    };
    rig.draw->Finalize();
    QVERIFY(ran);
}

void TestExerciseDisplay::bitCount_data()
{
    QTest::addColumn<int>("bits");
    QTest::addColumn<bool>("valid");
    for (int b : {8, 16, 24, 32})
        QTest::newRow(qPrintable(QString::number(b))) << b << true;
    for (int b : {0, 1, 15, 64, -16})
        QTest::newRow(qPrintable(QString::number(b))) << b << false;
}

void TestExerciseDisplay::bitCount()
{
    QFETCH(int, bits);
    QFETCH(bool, valid);
    DisplayModeRequest display;
    const auto [cls, message] = thrown([&] { display.SetBitCount(bits); });
    if (valid) {
        QCOMPARE(message, QString());
        QCOMPARE(display.BitCount, bits);
    } else {
        QCOMPARE(cls, QStringLiteral("DisplayError"));
        QCOMPARE(message, QStringLiteral("It should be either of 8 or 16 or 24 or 32"));
        QCOMPARE(display.BitCount, 16);
    }
}

void TestExerciseDisplay::formNotFound()
{
    auto platform = std::make_shared<MemoryPlatform>();
    ExerciseDisplay orphan(nullptr, platform);
    const auto [cls, message] = thrown([&] { orphan.Initialize(); });
    QCOMPARE(cls, QStringLiteral("DisplayError"));
    QCOMPARE(message, QStringLiteral("Form not found"));
    QVERIFY(orphan.InitializeAttempted());
    QCOMPARE(platform->DisplayCount(), 0);
}

QTEST_MAIN(TestExerciseDisplay)
#include "test_exercise_display.moc"

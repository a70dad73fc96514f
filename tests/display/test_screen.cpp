#include "core/Exceptions.h"
#include "core/Letterbox.h"
#include "display/ExerciseDisplay.h"
#include "display/ProgramWindow.h"
#include "display/ScreenPlatform.h"

#include <QApplication>
#include <QScreen>
#include <QTest>

namespace
{
// What the window must show for a frame: the frame scaled into the letterbox (nearest
// neighbour), black bars around it.
QImage expectedWindow(const QImage& frame, QSize device)
{
    QImage out(device, QImage::Format_RGB32);
    out.fill(Qt::black);
    const QImage rgb = frame.convertToFormat(QImage::Format_RGB32);
    const QRect t = zrv::LetterboxRect(frame.size(), device);
    for (int y = 0; y < t.height(); ++y)
        for (int x = 0; x < t.width(); ++x)
            out.setPixel(t.x() + x, t.y() + y,
                         rgb.pixel(zrv::SourcePixelOf(x, frame.width(), t.width()),
                                   zrv::SourcePixelOf(y, frame.height(), t.height())));
    return out;
}

QImage shown(ExerciseDisplay* draw)
{
    return draw->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

struct ScreenRig {
    ProgramWindow form;
    ExerciseDisplay* draw = new ExerciseDisplay(&form);
    ScreenRig()
    {
        form.setWindowFlag(Qt::FramelessWindowHint);
        form.resize(640, 480);
        draw->AutoInitialize = false;
    }
};
} // namespace

class TestScreen : public QObject
{
    Q_OBJECT
  private slots:
    void fullScreenScaledFrame();
    void refusedModes_data();
    void refusedModes();
    void windowGivenBack();
};

// The form covers the screen; the frame is scaled into the letterbox, and presenting only the
// changed rectangles, frame after frame, shows exactly what scaling the whole frame would.
void TestScreen::fullScreenScaledFrame()
{
    ScreenRig rig;
    rig.form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&rig.form));
    rig.draw->Initialize();
    QTRY_COMPARE(rig.form.geometry(), rig.form.screen()->geometry());
    QTRY_COMPARE(rig.draw->size(), rig.form.size());
    QVERIFY(rig.form.windowState() & Qt::WindowFullScreen);
    QVERIFY(rig.draw->RestoreIfLost()); // never lost here

    auto* cv = rig.draw->Surface()->canvas();
    cv->Brush.Color = RGBColor(0, 0, 192);
    cv->Pen.Color = RGBColor(0, 0, 192);
    cv->Rectangle(0, 0, 640, 480);
    cv->Release();
    rig.draw->Flip();
    QApplication::processEvents();
    const qreal dpr = rig.draw->devicePixelRatioF();
    const QSize device(qRound(rig.draw->width() * dpr), qRound(rig.draw->height() * dpr));
    QCOMPARE(shown(rig.draw), expectedWindow(rig.draw->Primary()->Pixels(), device));

    // Frames that change a little each.
    for (int i = 0; i < 12; ++i) {
        const int x = 20 + i * 50, y = 30 + (i * 97) % 400;
        cv->Brush.Color = cv->Pen.Color = RGBColor(255, i * 20, 0);
        cv->Ellipse(x - 10, y - 10, x + 10, y + 10);
        cv->Font.Color = RGBColor(255, 255, 255);
        cv->Brush.Style = i % 2 ? bsClear : bsSolid;
        cv->TextOut(x, y + 12, QStringLiteral("Göz %1").arg(i));
        cv->Brush.Style = bsSolid;
        cv->Release();
        rig.draw->Flip();
        QApplication::processEvents();
    }
    QCOMPARE(rig.draw->Primary()->Pixels(), rig.draw->Surface()->Pixels());
    QCOMPARE(shown(rig.draw), expectedWindow(rig.draw->Primary()->Pixels(), device));
    rig.draw->Finalize();
}

void TestScreen::refusedModes_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("bits");
    QTest::addColumn<QString>("message");
    QTest::newRow("larger than any screen")
        << 100000 << 480 << 16 << "Display mode cannot be changed (100000x480 16bit)";
    QTest::newRow("32 bits per pixel")
        << 640 << 480 << 32 << "Display mode cannot be changed (640x480 32bit)";
    QTest::newRow("no size") << 0 << 0 << 16 << "Display mode cannot be changed (0x0 16bit)";
}

void TestScreen::refusedModes()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, bits);
    QFETCH(QString, message);
    ScreenRig rig;
    rig.draw->Display.Width = width;
    rig.draw->Display.Height = height;
    rig.draw->Display.BitCount = bits;
    try {
        rig.draw->Initialize();
        QFAIL("no error");
    } catch (const DisplayError& e) {
        QCOMPARE(e.Message(), message);
    }
    QVERIFY(!rig.draw->Allocated());
    QVERIFY(!(rig.form.windowState() & Qt::WindowFullScreen));
}

// Finalize gives the form its own state and place back; a new Initialize before that takes
// it again.
void TestScreen::windowGivenBack()
{
    ScreenRig rig;
    rig.form.move(30, 20);
    rig.form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&rig.form));
    const QRect normal = rig.form.geometry();
    rig.draw->Initialize();
    rig.draw->Finalize();
    rig.draw->Initialize();
    QApplication::processEvents();
    QVERIFY(rig.form.windowState() & Qt::WindowFullScreen);
    rig.draw->Finalize();
    QTRY_VERIFY(!(rig.form.windowState() & Qt::WindowFullScreen));
    QTRY_COMPARE(rig.form.geometry(), normal);
    // Hidden first (as when the exercise window closes): given back at once.
    rig.draw->Initialize();
    rig.form.hide();
    rig.draw->Finalize();
    QVERIFY(!(rig.form.windowState() & Qt::WindowFullScreen));
}

QTEST_MAIN(TestScreen)
#include "test_screen.moc"

#include "core/Exceptions.h"
#include "core/Letterbox.h"
#include "display/ExerciseDisplay.h"

#include <QApplication>
#include <QBackingStore>
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
    const QRect t = zrv::letterboxRect(frame.size(), device);
    for (int y = 0; y < t.height(); ++y)
        for (int x = 0; x < t.width(); ++x)
            out.setPixel(t.x() + x, t.y() + y,
                         rgb.pixel(zrv::sourcePixelOf(x, frame.width(), t.width()),
                                   zrv::sourcePixelOf(y, frame.height(), t.height())));
    return out;
}

QImage shown(ExerciseDisplay* draw)
{
    return draw->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

struct ScreenRig {
    QWidget form{nullptr, Qt::Window};
    ExerciseDisplay* draw = new ExerciseDisplay(&form);
    ScreenRig()
    {
        form.setWindowFlag(Qt::FramelessWindowHint);
        form.resize(640, 480);
    }
};
} // namespace

class TestScreen : public QObject
{
    Q_OBJECT
  private slots:
    void fullScreenScaledFrame();
    void nextRunInTheWindowsPixels();
    void windowGivenBack();
};

// The form covers the screen; the frame is scaled into the letterbox, and presenting only the
// changed rectangles, frame after frame, shows exactly what scaling the whole frame would.
void TestScreen::fullScreenScaledFrame()
{
    ScreenRig rig;
    rig.form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&rig.form));
    rig.draw->initialize();
    QTRY_COMPARE(rig.form.geometry(), rig.form.screen()->geometry());
    QTRY_COMPARE(rig.draw->size(), rig.form.size());
    QVERIFY(rig.form.windowState() & Qt::WindowFullScreen);

    auto* cv = rig.draw->surface()->canvas();
    cv->brush.color = rgbColor(0, 0, 192);
    cv->pen.color = rgbColor(0, 0, 192);
    cv->rectangle(0, 0, 640, 480);
    rig.draw->present();
    QApplication::processEvents();
    const qreal dpr = rig.draw->devicePixelRatioF();
    const QSize device(qRound(rig.draw->width() * dpr), qRound(rig.draw->height() * dpr));
    QCOMPARE(shown(rig.draw), expectedWindow(rig.draw->surface()->image(), device));

    // Frames that change a little each.
    for (int i = 0; i < 12; ++i) {
        const int x = 20 + i * 50, y = 30 + (i * 97) % 400;
        cv->brush.color = cv->pen.color = rgbColor(255, i * 20, 0);
        cv->ellipse(x - 10, y - 10, x + 10, y + 10);
        cv->font.color = rgbColor(255, 255, 255);
        cv->brush.style = i % 2 ? bsClear : bsSolid;
        cv->textOut(x, y + 12, QStringLiteral("Göz %1").arg(i));
        cv->brush.style = bsSolid;
        rig.draw->present();
        QApplication::processEvents();
    }
    QCOMPARE(shown(rig.draw), expectedWindow(rig.draw->surface()->image(), device));

    // At 1:1 the window's own pixels are the frame's: what a step draws is there as drawn, and
    // a line over the frame takes them out first, so that none of it is left once it has gone.
    const QRect target = zrv::letterboxRect(rig.draw->surface()->image().size(), device);
    auto inWindow = [&] {
        auto* store = static_cast<QImage*>(rig.form.backingStore()->paintDevice());
        return store->copy(target).convertToFormat(QImage::Format_RGB32);
    };
    if (dpr == 1.0 && target.size() == rig.draw->surface()->image().size()) {
        QVERIFY(rig.draw->surface()->outsideMemory());
        const QImage frame = rig.draw->surface()->image().copy();
        QCOMPARE(inWindow(), frame);
        auto* line = new QWidget(&rig.form);
        line->setStyleSheet(QStringLiteral("background: rgba(0, 0, 0, 160);"));
        line->setGeometry(target.x() + 10, target.y() + 10, 300, 40);
        line->show();
        QTRY_VERIFY(!rig.draw->surface()->outsideMemory());
        delete line;
        QTRY_COMPARE(inWindow(), frame);
        QVERIFY(rig.draw->surface()->outsideMemory());
        // The window's new size makes its backing store again: the frame leaves it unharmed.
        rig.form.setWindowState(Qt::WindowNoState);
        rig.form.resize(700, 500);
        QTRY_VERIFY(!rig.draw->surface()->outsideMemory());
        QApplication::processEvents();
        QCOMPARE(rig.draw->surface()->image(), frame);
    }
    rig.draw->finalize();
}

// The next run in a window that held the last one's frame at 1:1 (hidden in between, as the
// exercise window is) makes its frame in the window's pixels from the start, black, and keeps
// it there when the window takes the screen again: it is never held twice.
void TestScreen::nextRunInTheWindowsPixels()
{
    ScreenRig rig;
    rig.form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&rig.form));
    rig.draw->initialize();
    QTRY_COMPARE(rig.form.geometry(), rig.form.screen()->geometry());
    rig.draw->present();
    QApplication::processEvents();
    if (!rig.draw->surface()->outsideMemory())
        QSKIP("the frame is not shown 1:1 on this screen");
    rig.draw->finalize();
    rig.form.hide();

    rig.draw->initialize();
    QVERIFY(rig.draw->surface()->outsideMemory());
    const uchar* pixels = rig.draw->surface()->outsideMemory();
    QCOMPARE(rig.draw->surface()->image().pixel(5, 5), qRgb(0, 0, 0));
    QVERIFY(QTest::qWaitForWindowExposed(&rig.form));
    QTRY_COMPARE(rig.form.geometry(), rig.form.screen()->geometry());
    auto* cv = rig.draw->surface()->canvas();
    cv->brush.color = cv->pen.color = rgbColor(0, 160, 0);
    cv->rectangle(100, 100, 300, 200);
    rig.draw->present();
    QApplication::processEvents();
    QCOMPARE(rig.draw->surface()->outsideMemory(), pixels);
    const QSize device = rig.form.size();
    QCOMPARE(shown(rig.draw), expectedWindow(rig.draw->surface()->image(), device));
}

// finalize() gives the form its own state and place back; a new initialize() before that takes
// it again.
void TestScreen::windowGivenBack()
{
    ScreenRig rig;
    rig.form.move(30, 20);
    rig.form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&rig.form));
    const QRect normal = rig.form.geometry();
    rig.draw->initialize();
    rig.draw->finalize();
    rig.draw->initialize();
    QApplication::processEvents();
    QVERIFY(rig.form.windowState() & Qt::WindowFullScreen);
    rig.draw->finalize();
    QTRY_VERIFY(!(rig.form.windowState() & Qt::WindowFullScreen));
    QTRY_COMPARE(rig.form.geometry(), normal);
    // Hidden first (as when the exercise window closes): given back at once.
    rig.draw->initialize();
    rig.form.hide();
    rig.draw->finalize();
    QVERIFY(!(rig.form.windowState() & Qt::WindowFullScreen));
}

QTEST_MAIN(TestScreen)
#include "test_screen.moc"

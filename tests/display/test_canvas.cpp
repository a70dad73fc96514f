#include "DisplayRig.h"
#include "core/Letterbox.h"
#include "support/Scales.h"

#include <QApplication>
#include <QTest>
#include <climits>
#include <functional>

namespace
{
constexpr ColorValue kBack = rgbColor(0, 0, 128);
constexpr ColorValue kPen = rgbColor(255, 255, 0);
constexpr ColorValue kBrush = rgbColor(255, 0, 0);
constexpr ColorValue kInk = rgbColor(255, 255, 255);

using Op = std::function<void(Canvas*)>;

// The rig's canvas on the background colour, with the pen colour and the brush colour, solid or
// clear.
Canvas* PenAndBrush(const DisplayRig& rig, bool solid)
{
    Canvas* cv = rig.clear(kBack);
    cv->pen.color = kPen;
    cv->brush.color = kBrush;
    cv->brush.style = solid ? bsSolid : bsClear;
    return cv;
}
} // namespace
Q_DECLARE_METATYPE(Op)

class TestCanvas : public QObject
{
    Q_OBJECT
  private slots:
    void initTestCase_data();
    void rectangle_data();
    void rectangle();
    void dotDisc();
    void ellipseShape_data();
    void ellipseShape();
    void textSolidAndClear();
    void textOverItselfLeavesNoFringe();
    void fontPixelSize_data();
    void fontPixelSize();
    void hostileFonts_data();
    void hostileFonts();
    void changedRegionCoversChanges_data();
    void changedRegionCoversChanges();
    void deviceContext();
};

void TestCanvas::initTestCase_data()
{
    addScales();
}

void TestCanvas::rectangle_data()
{
    QTest::addColumn<QRect>("coords"); // x1, y1 as the top left, x2, y2 as width, height fields
    QTest::addColumn<bool>("solid");
    QTest::addColumn<QRect>("box"); // the pixels covered, x1 <= x < x2, y1 <= y < y2
    auto c = [](int x1, int y1, int x2, int y2) { return QRect(QPoint(x1, y1), QPoint(x2, y2)); };
    QTest::newRow("solid") << c(10, 20, 50, 40) << true << QRect(10, 20, 40, 20);
    QTest::newRow("clear") << c(10, 20, 50, 40) << false << QRect(10, 20, 40, 20);
    QTest::newRow("corners swapped") << c(50, 40, 10, 20) << true << QRect(10, 20, 40, 20);
    QTest::newRow("one pixel wide") << c(10, 10, 11, 30) << true << QRect(10, 10, 1, 20);
    QTest::newRow("two by two") << c(5, 5, 7, 7) << true << QRect(5, 5, 2, 2);
    QTest::newRow("three by three") << c(5, 5, 8, 8) << true << QRect(5, 5, 3, 3);
    QTest::newRow("empty") << c(10, 10, 10, 30) << true << QRect();
    QTest::newRow("whole surface") << c(0, 0, 640, 480) << true << QRect(0, 0, 640, 480);
    QTest::newRow("off the top left") << c(-5, -5, 20, 20) << true << QRect(-5, -5, 25, 25);
    QTest::newRow("off the bottom right") << c(630, 470, 700, 500) << false << QRect(630, 470, 70, 30);
    QTest::newRow("huge") << c(INT_MIN, INT_MIN, INT_MAX, INT_MAX) << true << QRect(-100, -100, 1000, 1000);
}

void TestCanvas::rectangle()
{
    QFETCH(QRect, coords);
    QFETCH(bool, solid);
    QFETCH(QRect, box);
    DisplayRig rig(globalScale());
    auto* cv = PenAndBrush(rig, solid);
    cv->rectangle(coords.left(), coords.top(), coords.right(), coords.bottom());
    const QImage img = rig.surface();
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) {
            ColorValue want = kBack;
            if (box.contains(x, y)) {
                const bool edge = x == box.left() || x == box.right() || y == box.top() || y == box.bottom();
                want = edge ? kPen : (solid ? kBrush : kBack);
            }
            if (pixelAt(img, x, y, rig.scale()) != rgbOf(want))
                QFAIL(qPrintable(QStringLiteral("pixel %1,%2").arg(x).arg(y)));
        }
}

// The dot of the Dot exercise: Ellipse(x - 10, y - 10, x + 10, y + 10) with pen and brush of
// one colour is a one-colour disc covering x - 10 .. x + 9 and y - 10 .. y + 9.
void TestCanvas::dotDisc()
{
    if (globalScale() != 1)
        QSKIP("the ellipse at a device scale: test_canvas_scaled");
    DisplayRig rig;
    auto* cv = rig.clear(kBack);
    cv->pen.color = kBrush;
    cv->brush.color = kBrush;
    cv->ellipse(32 - 10, 24 - 10, 32 + 10, 24 + 10);
    const QImage img = rig.surface();
    QRect drawn;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) {
            const QRgb p = pixelAt(img, x, y, rig.scale());
            if (p == rgbOf(kBack))
                continue;
            QCOMPARE(p, rgbOf(kBrush));
            drawn |= QRect(x, y, 1, 1);
        }
    QCOMPARE(drawn, QRect(22, 14, 20, 20));
    // Full rows and columns through the middle, symmetric, round.
    for (int i = 22; i < 42; ++i)
        QCOMPARE(pixelAt(img, i, 23, rig.scale()), rgbOf(kBrush));
    for (int y = 14; y < 34; ++y)
        for (int x = 22; x < 42; ++x)
            QCOMPARE(pixelAt(img, x, y, rig.scale()), pixelAt(img, 22 + 41 - x, y, rig.scale()));
    QCOMPARE(pixelAt(img, 22, 14, rig.scale()), rgbOf(kBack)); // corners stay background
    QCOMPARE(pixelAt(img, 41, 33, rig.scale()), rgbOf(kBack));
}

void TestCanvas::ellipseShape_data()
{
    QTest::addColumn<QRect>("box");
    QTest::addColumn<bool>("solid");
    QTest::newRow("dot") << QRect(90, 90, 20, 20) << true;
    QTest::newRow("dot, clear brush") << QRect(90, 90, 20, 20) << false;
    QTest::newRow("odd 7x5") << QRect(10, 10, 7, 5) << true;
    QTest::newRow("wide 101x9") << QRect(100, 200, 101, 9) << true;
    QTest::newRow("tall 3x40") << QRect(300, 100, 3, 40) << true;
    QTest::newRow("one pixel") << QRect(5, 5, 1, 1) << true;
    QTest::newRow("large, clipped") << QRect(-200, 100, 1000, 700) << true;
    QTest::newRow("large, clear") << QRect(20, 20, 600, 440) << false;
}

// Any inscribed ellipse: inside its box, touching all four sides, symmetric, the pen only on
// its rim (every pen pixel touches the outside, diagonals included) and the brush within.
void TestCanvas::ellipseShape()
{
    if (globalScale() != 1)
        QSKIP("the ellipse at a device scale: test_canvas_scaled");
    QFETCH(QRect, box);
    QFETCH(bool, solid);
    DisplayRig rig(globalScale());
    auto* cv = PenAndBrush(rig, solid);
    cv->ellipse(box.left(), box.top(), box.right() + 1, box.bottom() + 1);
    const QImage img = rig.surface();
    const QRect visible = box & QRect(0, 0, 640, 480);
    auto inside = [&](int x, int y) {
        return visible.contains(x, y) && pixelAt(img, x, y, rig.scale()) != rgbOf(kBack);
    };
    QRect drawn;
    int brushPixels = 0;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) {
            const QRgb p = pixelAt(img, x, y, rig.scale());
            if (p == rgbOf(kBack))
                continue;
            QVERIFY(box.contains(x, y));
            drawn |= QRect(x, y, 1, 1);
            // Mirror images across the box's centre lines.
            const int mx = box.left() + box.right() - x, my = box.top() + box.bottom() - y;
            if (visible.contains(mx, y))
                QCOMPARE(pixelAt(img, mx, y, rig.scale()), p);
            if (visible.contains(x, my))
                QCOMPARE(pixelAt(img, x, my, rig.scale()), p);
            bool rim = false;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    rim = rim || !box.contains(x + dx, y + dy) ||
                          (visible.contains(x + dx, y + dy) && !inside(x + dx, y + dy));
            if (p == rgbOf(kBrush)) {
                QVERIFY(solid);
                ++brushPixels;
            } else {
                QCOMPARE(p, rgbOf(kPen));
                QVERIFY2(rim, qPrintable(QStringLiteral("pen inside at %1,%2").arg(x).arg(y)));
            }
        }
    QCOMPARE(drawn, visible);
    if (solid && box.width() > 4 && box.height() > 4)
        QVERIFY(brushPixels > 0);
}

void TestCanvas::textSolidAndClear()
{
    const QString text = QStringLiteral("Ağaç Işık 42");
    QImage solid, clear;
    int w = 0, h = 0;
    for (bool isSolid : {true, false}) {
        DisplayRig rig(globalScale());
        auto* cv = rig.clear(kBack);
        cv->font.name = QStringLiteral("DejaVu Sans");
        cv->font.size = 14;
        cv->font.color = kInk;
        cv->brush.color = kBrush;
        cv->brush.style = isSolid ? bsSolid : bsClear;
        w = cv->textWidth(text);
        h = cv->textHeight(text);
        cv->textOut(100, 50, text);
        (isSolid ? solid : clear) = rig.surface();
    }
    QVERIFY(w > 50 && w < 400);
    QCOMPARE(h, QFontMetrics([] {
                    QFont f(QStringLiteral("DejaVu Sans"));
                    f.setPixelSize(19);
                    return f;
                }())
                    .height());
    const QRect box(100, 50, w, h);
    int strokes = 0;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) {
            const QRgb s = pixelAt(solid, x, y, globalScale()), c = pixelAt(clear, x, y, globalScale());
            if (!box.contains(x, y)) {
                QCOMPARE(s, rgbOf(kBack));
                QCOMPARE(c, rgbOf(kBack));
                continue;
            }
            // One-colour strokes at the same places; the box is brush in one and untouched in
            // the other.
            if (s == rgbOf(kInk)) {
                QCOMPARE(c, rgbOf(kInk));
                ++strokes;
            } else {
                QCOMPARE(s, rgbOf(kBrush));
                QCOMPARE(c, rgbOf(kBack));
            }
        }
    QVERIFY(strokes > 50);
}

// The letter blocks draw passive text on a solid box, then the same text in the active colour
// with a clear brush over it: nothing of the passive colour may stay.
void TestCanvas::textOverItselfLeavesNoFringe()
{
    DisplayRig rig(globalScale());
    auto* cv = rig.clear(kBack);
    cv->font.name = QStringLiteral("DejaVu Serif");
    cv->font.size = 20;
    cv->font.style = fsItalic;
    const QString text = QStringLiteral("ÇĞİÖŞÜ çğıöşü");
    cv->brush.color = kBack;
    cv->brush.style = bsSolid;
    cv->font.color = kPen;
    cv->textOut(40, 40, text);
    for (int i = 0; i < 3; ++i) {
        cv->brush.style = bsClear;
        cv->font.color = kInk;
        cv->textOut(40, 40, text);
    }
    const QImage img = rig.surface();
    int ink = 0;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) {
            const QRgb p = pixelAt(img, x, y, rig.scale());
            QVERIFY(p == rgbOf(kBack) || p == rgbOf(kInk));
            ink += p == rgbOf(kInk);
        }
    QVERIFY(ink > 100);
}

void TestCanvas::fontPixelSize_data()
{
    QTest::addColumn<int>("points");
    QTest::addColumn<int>("pixels");
    QTest::newRow("8 (default)") << 8 << 11;
    QTest::newRow("10") << 10 << 13;
    QTest::newRow("12") << 12 << 16;
    QTest::newRow("1") << 1 << 1;
    QTest::newRow("0: default size") << 0 << 11;
    QTest::newRow("-5: magnitude") << -5 << 7;
    QTest::newRow("360 clamped") << 360 << 480;
    QTest::newRow("65535") << 65535 << 480;
    QTest::newRow("INT_MAX") << INT_MAX << 480;
    QTest::newRow("INT_MIN (2^31 wrapped)") << INT_MIN << 480;
}

void TestCanvas::fontPixelSize()
{
    QFETCH(int, points);
    QFETCH(int, pixels);
    QCOMPARE(Canvas::fontPixelSize(points), pixels);
}

void TestCanvas::hostileFonts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("style");
    const QString arial = QStringLiteral("Arial");
    QTest::newRow("size 0") << arial << 0 << 0;
    QTest::newRow("size -5") << arial << -5 << 0;
    QTest::newRow("size 65535") << arial << 65535 << int(fsBold | fsItalic);
    QTest::newRow("size 2^31") << arial << int(qint64(1) << 31) << 0;
    QTest::newRow("size INT_MAX, all styles")
        << arial << INT_MAX << int(fsBold | fsItalic | fsUnderline | fsStrikeOut);
    QTest::newRow("10000-character name") << QString(10000, QLatin1Char('W')) << 12 << 0;
    QTest::newRow("empty name") << QString() << 12 << 0;
    QTest::newRow("no such font") << QStringLiteral("Yok Böyle Bir Yazı Tipi") << 12 << 0;
}

void TestCanvas::hostileFonts()
{
    QFETCH(QString, name);
    QFETCH(int, size);
    QFETCH(int, style);
    DisplayRig rig(globalScale());
    auto* cv = rig.canvas();
    cv->font.name = name;
    cv->font.size = size;
    cv->font.style = style;
    const QString text = QStringLiteral("Wğ");
    const int w = cv->textWidth(text), h = cv->textHeight(text);
    QVERIFY2(w > 0 && w < 5000, qPrintable(QString::number(w)));
    QVERIFY2(h > 0 && h < 1000, qPrintable(QString::number(h)));
    cv->font.color = kInk;
    cv->brush.style = bsSolid;
    cv->textOut(10, 10, text);
    cv->textOut(-w / 2, 400, QString(200, QLatin1Char('x')));
    cv->brush.style = bsClear;
    cv->textOut(INT_MAX - 5, INT_MAX - 5, text);
    cv->textOut(INT_MIN, INT_MIN, text);
    cv->release();
    // What the settings gave is kept as it was.
    QCOMPARE(cv->font.name, name);
    QCOMPARE(cv->font.size, size);
}

void TestCanvas::changedRegionCoversChanges_data()
{
    QTest::addColumn<Op>("op");
    QTest::newRow("rectangle") << Op([](auto* cv) { cv->rectangle(100, 100, 200, 150); });
    QTest::newRow("rectangle off the edge") << Op([](auto* cv) { cv->rectangle(600, -10, 700, 30); });
    QTest::newRow("ellipse") << Op([](auto* cv) { cv->ellipse(300, 300, 320, 320); });
    QTest::newRow("two dots") << Op([](auto* cv) {
        cv->ellipse(22, 14, 42, 34);
        cv->ellipse(598, 446, 618, 466);
    });
    QTest::newRow("solid text") << Op([](auto* cv) { cv->textOut(50, 60, QStringLiteral("Deneme")); });
    QTest::newRow("italic text, clear brush") << Op([](auto* cv) {
        cv->font.style = fsItalic | fsBold;
        cv->font.size = 28;
        cv->brush.style = bsClear;
        cv->textOut(50, 60, QStringLiteral("ffjÇğ"));
    });
    QTest::newRow("many small rectangles") << Op([](auto* cv) {
        for (int i = 0; i < 200; ++i)
            cv->rectangle(i * 3, i * 2, i * 3 + 2, i * 2 + 2);
    });
}

// Presenting repaints only what the canvas reports changed: every pixel that changed must be in it.
void TestCanvas::changedRegionCoversChanges()
{
    QFETCH(Op, op);
    DisplayRig rig(globalScale());
    rig.clear(kBack);
    const QImage before = rig.surface();
    auto* cv = rig.canvas();
    cv->takeChangedRegion();
    cv->pen.color = kPen;
    cv->brush.color = kBrush;
    cv->font.color = kInk;
    op(cv);
    const QRegion changed = cv->takeChangedRegion();
    const QImage after = rig.surface();
    QVERIFY(QRegion(0, 0, 640, 480).contains(changed.boundingRect()));
    QRegion device;
    for (const QRect& r : changed)
        device += zrv::deviceRectOf(r, rig.scale());
    int differing = 0;
    for (int y = 0; y < after.height(); ++y)
        for (int x = 0; x < after.width(); ++x)
            if (before.pixel(x, y) != after.pixel(x, y)) {
                ++differing;
                QVERIFY2(device.contains(QPoint(x, y)), qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
            }
    QVERIFY(differing > 0);
    QVERIFY(cv->takeChangedRegion().isEmpty());
}

void TestCanvas::deviceContext()
{
    DisplayRig rig(globalScale());
    auto* cv = rig.canvas();
    QVERIFY(!cv->isPainting());
    cv->release(); // nothing held: nothing happens
    QVERIFY(!cv->isPainting());
    // Attributes need no context.
    cv->brush.color = kBrush;
    cv->font.size = 30;
    QVERIFY(!cv->isPainting());
    // Measuring takes one, like drawing.
    const int h = cv->textHeight(QStringLiteral("A"));
    QVERIFY(cv->isPainting());
    cv->release();
    QVERIFY(!cv->isPainting());
    // Attributes stay across release() and apply to the next painting.
    QCOMPARE(cv->brush.color, kBrush);
    QCOMPARE(cv->textHeight(QStringLiteral("A")), h);
    cv->rectangle(0, 0, 10, 10);
    QVERIFY(cv->isPainting());
    cv->release();
    QCOMPARE(pixelAt(rig.surface(), 5, 5, rig.scale()), rgbOf(kBrush));
}

QTEST_MAIN(TestCanvas)
#include "test_canvas.moc"

// The canvas on a surface kept at a device resolution, as the screen keeps it.
#include "DisplayRig.h"
#include "core/Letterbox.h"

#include <QRandomGenerator>
#include <QTest>

namespace
{
constexpr ColorValue kBack = rgbColor(0, 0, 192);
constexpr ColorValue kPassive = rgbColor(255, 255, 0);
constexpr ColorValue kActive = rgbColor(255, 255, 255);
constexpr ColorValue kDot = rgbColor(255, 0, 0);

struct ScaledRig : DisplayRig {
    explicit ScaledRig(double scale) : DisplayRig(scale)
    {
        canvas()->font.name = QStringLiteral("Courier New");
        canvas()->font.size = 10;
    }
};

// The bounding box of the pixels of one colour.
QRect boxOf(const QImage& image, QRgb colour)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == colour)
                box |= QRect(x, y, 1, 1);
    return box;
}

// A block of 6 lines of 36 random letters at its place, the way the Block exercise draws one:
// mode 1 passive on a solid box, mode 2 active over a dot with a clear brush.
struct Block {
    QStringList lines;
    int x = 320, y = 60;

    explicit Block(quint32 seed)
    {
        QRandomGenerator random(seed);
        const QString pool = QStringLiteral("abcçdefgğhıijklmnoöprsştuüvyzABCÇDEFGĞHIİJKLMNOÖPRSŞTUÜVYZ");
        for (int i = 0; i < 6; ++i) {
            QString line;
            for (int k = 0; k < 36; ++k)
                line += pool[random.bounded(int(pool.size()))];
            lines << line;
        }
    }
    void draw(Canvas* cv, bool active) const
    {
        const int h = cv->textHeight(lines[0]);
        cv->brush.style = bsSolid;
        if (active) {
            cv->brush.color = cv->pen.color = kDot;
            const int cy = y + 3 * h, r = h / 4;
            cv->ellipse(x - r, cy - r, x + r, cy + r);
            cv->brush.style = bsClear;
        }
        cv->brush.color = cv->pen.color = kBack;
        cv->font.color = active ? kActive : kPassive;
        for (int i = 0; i < lines.size(); ++i)
            cv->textOut(x - cv->textWidth(lines[i]) / 2, y + i * h, lines[i]);
    }
};
} // namespace

class TestCanvasScaled : public QObject
{
    Q_OBJECT
  private slots:
    void shapesOnTheDeviceGrid_data();
    void shapesOnTheDeviceGrid();
    void ellipsesInTurnAsEachAlone_data() { shapesOnTheDeviceGrid_data(); }
    void ellipsesInTurnAsEachAlone();
    void redrawCoversExactly_data() { shapesOnTheDeviceGrid_data(); }
    void redrawCoversExactly();
    void textInFrameUnits_data() { shapesOnTheDeviceGrid_data(); }
    void textInFrameUnits();
    void maskedTextAsDrawnGlyphs_data();
    void maskedTextAsDrawnGlyphs();
};

void TestCanvasScaled::shapesOnTheDeviceGrid_data()
{
    QTest::addColumn<double>("scale");
    QTest::newRow("800x600") << 1.25;
    QTest::newRow("1920x1080") << 2.25;
    QTest::newRow("3840x2160") << 4.5;
    QTest::newRow("smaller screen") << 0.625;
}

// Rectangle and ellipse edges fall on round(x * scale); the dot is round (symmetric both ways);
// the surface has the device size.
void TestCanvasScaled::shapesOnTheDeviceGrid()
{
    QFETCH(double, scale);
    ScaledRig rig(scale);
    auto* cv = rig.clear(kBack);
    cv->brush.color = cv->pen.color = kPassive;
    cv->rectangle(13, 7, 101, 55);
    cv->brush.color = cv->pen.color = kDot;
    cv->ellipse(290, 230, 310, 250);
    const QImage image = rig.surface();
    QCOMPARE(image.size(), zrv::deviceSizeOf(QSize(640, 480), scale));
    QCOMPARE(boxOf(image, rgbOf(kPassive)), zrv::deviceRectOf(QRect(13, 7, 88, 48), scale));
    const QRect dot = boxOf(image, rgbOf(kDot));
    QCOMPARE(dot, zrv::deviceRectOf(QRect(290, 230, 20, 20), scale));
    const QImage disc = image.copy(dot);
    QCOMPARE(disc.mirrored(true, false), disc);
    QCOMPARE(disc.mirrored(false, true), disc);
    if (disc.width() == disc.height()) // a fractional scale may round the box's sides apart
        QCOMPARE(disc.transformed(QTransform().rotate(90)), disc);
}

// Ellipses of several sizes drawn in turn on one canvas are each the one drawn alone on a fresh
// canvas: the rows kept from the last ellipse are not used for another size, and the same size
// elsewhere, also cut by the frame's edge, is the same shape moved.
void TestCanvasScaled::ellipsesInTurnAsEachAlone()
{
    QFETCH(double, scale);
    const QRect boxes[] = {{290, 230, 20, 20}, {3, 461, 20, 20},  {-7, -9, 20, 20},
                           {100, 100, 41, 27}, {300, 50, 20, 20}, {630, 200, 20, 21}};
    ScaledRig inTurn(scale);
    inTurn.clear(kBack);
    for (const QRect& box : boxes) {
        ScaledRig alone(scale);
        alone.clear(kBack);
        for (ScaledRig* rig : {&inTurn, &alone}) {
            Canvas* cv = rig->canvas();
            cv->brush.style = bsSolid;
            cv->brush.color = kDot;
            cv->pen.color = kPassive;
            cv->ellipse(box.left(), box.top(), box.right() + 1, box.bottom() + 1);
        }
        const QRect device = zrv::deviceRectOf(box, scale);
        QCOMPARE(inTurn.surface().copy(device), alone.surface().copy(device));
    }
}

// A block drawn passive, then active and passive again 100 times, is exactly the block drawn
// passive once: no fringe of the other colour, no growing boldness.  Active over passive leaves
// no passive pixel.  Every "l" of a full block has the same stems.
void TestCanvasScaled::redrawCoversExactly()
{
    QFETCH(double, scale);
    ScaledRig rig(scale);
    auto* cv = rig.canvas();
    rig.clear(kBack);
    const Block block(7);
    block.draw(cv, false);
    const QImage once = rig.surface();
    QVERIFY(boxOf(once, rgbOf(kPassive)).isValid());
    block.draw(cv, true);
    QVERIFY(!boxOf(rig.surface(), rgbOf(kPassive)).isValid());
    for (int i = 0; i < 100; ++i) {
        block.draw(cv, true);
        block.draw(cv, false);
    }
    QCOMPARE(rig.surface(), once);

    // Stems: the ink of each "l" on a row through the middle of the letters.
    Block ls(1);
    for (QString& line : ls.lines)
        line.fill(QLatin1Char('l'));
    rig.clear(kBack);
    ls.draw(cv, false);
    const QImage image = rig.surface();
    const int h = cv->textHeight(ls.lines[0]);
    QList<int> widths;
    for (int line = 0; line < 6; ++line) {
        const int y = zrv::deviceEdgeOf(ls.y + line * h + h / 2, scale);
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != rgbOf(kPassive))
                continue;
            int run = 0;
            while (x < image.width() && image.pixel(x, y) == rgbOf(kPassive))
                ++x, ++run;
            widths << run;
        }
    }
    QCOMPARE(widths.size(), 6 * 36);
    QCOMPARE(widths.count(widths.first()), widths.size());
}

// Extents are those of the unscaled font, and a line of 36 letters ends where they say.
void TestCanvasScaled::textInFrameUnits()
{
    QFETCH(double, scale);
    ScaledRig rig(scale);
    DisplayRig plain;
    plain.canvas()->font = rig.canvas()->font;
    const Block block(3);
    auto* cv = rig.canvas();
    for (const QString& line : block.lines) {
        QCOMPARE(cv->textWidth(line), plain.canvas()->textWidth(line));
        QCOMPARE(cv->textHeight(line), plain.canvas()->textHeight(line));
    }
    rig.clear(kBack);
    cv->brush.style = bsClear;
    cv->font.color = kActive;
    const QString line = block.lines[0];
    const int w = cv->textWidth(line), letter = cv->textWidth(QStringLiteral("M"));
    cv->textOut(100, 100, line);
    const QRect ink = boxOf(rig.surface(), rgbOf(kActive));
    QVERIFY2(ink.left() >= zrv::deviceEdgeOf(100 - 2, scale) &&
                 ink.right() < zrv::deviceEdgeOf(100 + w + 2, scale) &&
                 ink.right() >= zrv::deviceEdgeOf(100 + w - letter, scale),
             qPrintable(QStringLiteral("ink %1..%2 for a text of %3 units at 100")
                            .arg(ink.left())
                            .arg(ink.right())
                            .arg(w)));
    // What changed is reported in frame units.
    const QRegion changed = cv->takeChangedRegion();
    QVERIFY(QRect(0, 0, 640, 480).contains(changed.boundingRect()));
    QVERIFY(zrv::deviceRectOf(changed.boundingRect(), scale).contains(ink));
}

void TestCanvasScaled::maskedTextAsDrawnGlyphs_data()
{
    QTest::addColumn<double>("scale");
    QTest::addColumn<QString>("font");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("style");
    QTest::addColumn<QPoint>("at"); // the block's centre and top
    QTest::newRow("1:1 Courier") << 1.0 << "Courier New" << 10 << 0 << QPoint(320, 60);
    QTest::newRow("1080p Courier") << 2.25 << "Courier New" << 6 << 0 << QPoint(320, 60);
    QTest::newRow("2160p Courier") << 4.5 << "Courier New" << 6 << 0 << QPoint(320, 60);
    QTest::newRow("800x600 sans bold") << 1.25 << "DejaVu Sans" << 14 << int(fsBold) << QPoint(300, 200);
    QTest::newRow("1080p serif italic") << 2.25 << "DejaVu Serif" << 12 << int(fsItalic) << QPoint(321, 100);
    QTest::newRow("2160p underlined, struck out")
        << 4.5 << "Arial" << 9 << int(fsUnderline | fsStrikeOut) << QPoint(333, 200);
    QTest::newRow("smaller screen, large")
        << 0.625 << "Times New Roman" << 28 << int(fsBold | fsItalic) << QPoint(320, 100);
    QTest::newRow("cut by the frame's edges")
        << 2.25 << "Courier New" << 16 << int(fsItalic) << QPoint(5, 400);
}

// Texts drawn from their glyphs' mask are, pixel for pixel, the texts drawn glyph by glyph, in
// any colours, fonts, styles and scales, drawn over each other as a Block step does.
void TestCanvasScaled::maskedTextAsDrawnGlyphs()
{
    QFETCH(double, scale);
    QFETCH(QString, font);
    QFETCH(int, size);
    QFETCH(int, style);
    QFETCH(QPoint, at);
    Block block(11);
    block.x = at.x();
    block.y = at.y();
    block.lines[1] = QStringLiteral("ÇĞİÖŞÜ çğıöşü ffjWMgy|_");
    auto render = [&](bool masks) {
        Canvas::setGlyphMasks(masks);
        ScaledRig rig(scale);
        rig.canvas()->font.name = font;
        rig.canvas()->font.size = size;
        rig.canvas()->font.style = style;
        rig.clear(kBack);
        block.draw(rig.canvas(), false);
        block.draw(rig.canvas(), true);
        block.draw(rig.canvas(), false);
        block.draw(rig.canvas(), true);
        Canvas::setGlyphMasks(true);
        return rig.surface();
    };
    const QImage masked = render(true);
    QVERIFY(boxOf(masked, rgbOf(kActive)).isValid());
    QCOMPARE(masked, render(false));
}

QTEST_MAIN(TestCanvasScaled)
#include "test_canvas_scaled.moc"

// Letter blocks, the Pyramid and the Block exercise, with the frame off-screen: what a frame
// shows, checked by its pixels.
#include "ExerciseRig.h"

#include "core/Random.h"

namespace
{
const QRgb kBlack = qRgb(0, 0, 0);
const QRgb kRed = qRgb(255, 0, 0);
const QRgb kBlue = qRgb(0, 0, 255);
const QRgb kYellow = qRgb(255, 255, 0);
const QRgb kWhite = qRgb(255, 255, 255);

// The bounding box of the frame units of one colour.
QRect boundsOf(const QImage& image, QRgb value)
{
    QRect r;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x)
            if (pixel(image, x, y) == value)
                r |= QRect(x, y, 1, 1);
    return r;
}
} // namespace

class TestTextExercises : public QObject
{
    Q_OBJECT

    // Black background, red active text, blue passive text, yellow dots; blocks of two lines of
    // eight letters in Courier New, 10 points.
    static void setUpText(ExerciseRig& rig, int layout, int direction)
    {
        ExerciseSettings& s = rig.settings;
        s.type = layout;
        s.direction = direction;
        s.lines = 2;
        s.letters = 8;
        s.background = rgbColor(0, 0, 0);
        s.active = rgbColor(255, 0, 0);
        s.passive = rgbColor(0, 0, 255);
        s.dot = rgbColor(255, 255, 0);
        s.font = FontSpec{QStringLiteral("Courier New"), 10, 162, 0, 0};
    }
    static Canvas* canvasOf(ExerciseRig& rig) { return rig.canvas(); }
    // The middle of block k, where its dot sits when it is active.
    static QPoint middleOf(ExerciseRig& rig, int k)
    {
        const LetterBlock& b = rig.letters().block(k);
        const int h = canvasOf(rig)->textHeight(b.text[1]);
        return {b.x, b.y + (b.lines * h) / 2};
    }
    // A block of one line at (x, y) with `text`.
    static LetterBlock& blockWith(ExerciseRig& rig, int k, const QString& text, int x, int y, int lines = 1)
    {
        LetterBlock& b = rig.letters().block(k);
        b.letters = int(text.size());
        b.lines = lines;
        for (int i = 1; i <= lines; ++i)
            b.text[size_t(i)] = text;
        b.x = x;
        b.y = y;
        return b;
    }

  private slots:
    void initTestCase_data() { addScales(); }
    void drawBlokModes()
    {
        ExerciseRig rig(globalScale());
        setUpText(rig, 0, 0);
        rig.settings.font.size = 20;
        rig.start(2);
        Canvas* canvas = canvasOf(rig);
        // A blank black screen, then one block of two lines in the middle.
        canvas->brush.color = 0;
        canvas->pen.color = 0;
        canvas->brush.style = bsSolid;
        canvas->rectangle(0, 0, 640, 480);
        LetterBlock& block = blockWith(rig, 1, QStringLiteral("ŞİĞÜÇÖ"), 320, 200, 2);
        const int h = canvas->textHeight(block.text[1]);

        rig.letters().drawBlock(block, 2);
        QImage image = rig.screenImage();
        QVERIFY(countPixels(image, kRed) > 0);
        // The dot: radius h div 4, centred on X and on the middle of the two lines (h below Y).
        const QRect dot = boundsOf(image, kYellow);
        QVERIFY(!dot.isEmpty());
        const int r = h / 4;
        QVERIFY(QRect(320 - r, 200 + h - r, 2 * r, 2 * r).contains(dot));
        QVERIFY(dot.contains(QPoint(320, 200 + h)) || dot.contains(QPoint(319, 200 + h - 1)));

        // Passive over active: the passive text, no dot, no active stroke.
        rig.letters().drawBlock(block, 1);
        image = rig.screenImage();
        QVERIFY(countPixels(image, kBlue) > 0);
        QCOMPARE(countPixels(image, kYellow), 0);
        QCOMPARE(countPixels(image, kRed), 0);

        // Active then hidden: nothing is left.
        rig.letters().drawBlock(block, 2);
        rig.letters().drawBlock(block, 0);
        QCOMPARE(countPixels(rig.screenImage(), kBlack), 640 * 480);
    }

    // A line of odd width wi starts (wi - 1) / 2 left of X: seen as the left edge of the box that
    // a solid brush fills behind the text.
    void lineCentring_data()
    {
        QTest::addColumn<QString>("face");
        QTest::newRow("Arial") << QStringLiteral("Arial");
        QTest::newRow("Courier New") << QStringLiteral("Courier New");
    }
    void lineCentring()
    {
        QFETCH(QString, face);
        ExerciseRig rig(globalScale());
        setUpText(rig, 0, 0);
        rig.settings.background = rgbColor(255, 255, 255);
        rig.settings.font.name = face;
        rig.settings.font.size = 11;
        rig.start(2);
        Canvas* canvas = canvasOf(rig);
        int checkedOdd = 0, checkedEven = 0;
        const QStringList texts{QStringLiteral("i"),   QStringLiteral("il"),   QStringLiteral("ab"),
                                QStringLiteral("abc"), QStringLiteral("Wil"),  QStringLiteral("mmm"),
                                QStringLiteral("ıİ"),  QStringLiteral("AAAAA")};
        for (const QString& text : texts) {
            canvas->brush.color = 0;
            canvas->pen.color = 0;
            canvas->brush.style = bsSolid;
            canvas->rectangle(0, 0, 640, 480);
            LetterBlock& block = blockWith(rig, 1, text, 320, 100);
            const int wi = canvas->textWidth(text);
            rig.letters().drawBlock(block, 1);
            const QRect box = boundsOf(rig.screenImage(), kWhite);
            QCOMPARE(box.left(), 320 - wi / 2);
            QCOMPARE(box.width(), wi);
            if (wi % 2) {
                QCOMPARE(box.left(), 320 - (wi - 1) / 2);
                ++checkedOdd;
            } else {
                ++checkedEven;
            }
        }
        QVERIFY(checkedOdd + checkedEven == texts.size());
    }

    void pyramidTriangle()
    {
        ExerciseRig rig(globalScale());
        setUpText(rig, 0, 0);
        rig.start(1);
        Canvas* canvas = canvasOf(rig);
        const int h = canvas->textHeight(QStringLiteral("A"));
        const int n = (480 / h) / (rig.settings.lines + 1);
        QVERIFY(n > 1);
        QCOMPARE(rig.letters().orderLength, n);
        for (int i = 1; i <= n; ++i) {
            const LetterBlock& b = rig.letters().block(i);
            QCOMPARE(b.text[1].size(), qsizetype(rig.settings.letters + 2 * (i - 1)));
            QCOMPARE(b.y, (i - 1) * (rig.settings.lines + 1) * h);
            QCOMPARE(b.x, 320);
        }
        QImage image = rig.screenImage();
        QVERIFY(countPixels(image, kBlue) > 0);
        QCOMPARE(countPixels(image, kYellow), 0);
        QCOMPARE(countPixels(image, kRed), 0);
        // Each tick highlights the next block: its dot at the block's middle, one dot only.
        QList<int> expected;
        for (int k = 2; k <= n; ++k)
            expected << k;
        expected << 1 << 2;
        for (int k : expected) {
            rig.tick();
            image = rig.screenImage();
            const QRect dot = boundsOf(image, kYellow);
            QVERIFY2(dot.contains(middleOf(rig, k)) || dot.adjusted(-1, -1, 1, 1).contains(middleOf(rig, k)),
                     qPrintable(QStringLiteral("block %1").arg(k)));
            QVERIFY(dot.height() <= h);
        }
    }

    void pyramidOneLineThereAndBack()
    {
        ExerciseRig rig(globalScale());
        setUpText(rig, 1, 1);
        rig.start(1);
        const int n = rig.letters().blocksLaidOut;
        QVERIFY(n > 2);
        QCOMPARE(rig.letters().orderLength, 2 * n - 2);
        // Hidden at first: only the background.
        QCOMPARE(countPixels(rig.screenImage(), kBlack), 640 * 480);
        // The visible line widens to block n, then narrows back to block 1, and so on.
        QList<int> shown;
        for (int k = 0; k < 2 * n - 2; ++k) {
            rig.tick();
            const QImage image = rig.screenImage();
            QCOMPARE(countPixels(image, kBlue), 0);
            shown << rig.letters().showOrder[size_t(rig.letters().current)];
            const QRect text = boundsOf(image, kRed) | boundsOf(image, kYellow);
            const LetterBlock& b = rig.letters().block(shown.last());
            QVERIFY(qAbs(text.center().x() - 320) <= 8);
            QVERIFY(text.width() <= canvasOf(rig)->textWidth(b.text[1]) + 2);
        }
        QList<int> expected;
        for (int k = 2; k <= n; ++k)
            expected << k;
        for (int k = n - 1; k >= 1; --k)
            expected << k;
        QCOMPARE(shown, expected);
    }

    // A font too large for the settings lays out no block: the background stays for the run.
    void pyramidWithNoRoom_data()
    {
        QTest::addColumn<int>("layout");
        QTest::addColumn<int>("size_pt");
        QTest::newRow("Üçgen, 6 lines, 300 pt") << 0 << 300;
        QTest::newRow("Tek Satır, 36 letters, 60 pt") << 1 << 60;
    }
    void pyramidWithNoRoom()
    {
        QFETCH(int, layout);
        QFETCH(int, size_pt);
        ExerciseRig rig(globalScale());
        setUpText(rig, layout, 1);
        rig.settings.lines = 6;
        rig.settings.letters = 36;
        rig.settings.font.size = size_pt;
        rig.start(1);
        QCOMPARE(rig.letters().blocksLaidOut, 0);
        for (int k = 0; k < 5; ++k) {
            rig.tick();
            QCOMPARE(countPixels(rig.screenImage(), kBlack), 640 * 480);
        }
        QVERIFY(rig.screen->isVisible());
    }

    void blockPaths_data()
    {
        QTest::addColumn<int>("layout");
        QTest::addColumn<int>("direction");
        QTest::newRow("Ayrı, Dikey") << 0 << 0;
        QTest::newRow("Ayrı, Yatay") << 0 << 1;
        QTest::newRow("Bitişik, Zigzag") << 1 << 2;
        QTest::newRow("Bitişik, Dikey") << 1 << 0;
    }
    void blockPaths()
    {
        QFETCH(int, layout);
        QFETCH(int, direction);
        ExerciseRig rig(globalScale());
        setUpText(rig, layout, direction);
        rig.start(2);
        const int laidOut = rig.letters().blocksLaidOut;
        QVERIFY(laidOut > 4);
        QImage image = rig.screenImage();
        QVERIFY(countPixels(image, kBlue) > 0);
        QCOMPARE(countPixels(image, kYellow), 0);
        // The first tick highlights path position 2: row 2 of column 1 for "Dikey", row 1 of
        // column 2 for "Yatay", the last column of row 1 for "Zigzag".
        rig.tick();
        image = rig.screenImage();
        const int second = rig.letters().showOrder[2];
        const LetterBlock& b = rig.letters().block(second);
        const LetterBlock& first = rig.letters().block(1);
        switch (direction) {
        case 0:
            QCOMPARE(b.x, first.x);
            QVERIFY(b.y > first.y);
            break;
        case 1:
            QCOMPARE(b.y, first.y);
            QVERIFY(b.x > first.x);
            break;
        default:
            QCOMPARE(b.y, first.y);
            QVERIFY(b.x > 320);
            break;
        }
        QVERIFY(boundsOf(image, kYellow).adjusted(-1, -1, 1, 1).contains(middleOf(rig, second)));
        // Every block keeps its text: passive blocks are still there.
        QVERIFY(countPixels(image, kBlue) > 0);
        // One highlight at a time, over a whole cycle.
        for (int k = 0; k < rig.letters().orderLength; ++k) {
            rig.tick();
            const QRect dot = boundsOf(rig.screenImage(), kYellow);
            const QPoint mid = middleOf(rig, rig.letters().showOrder[size_t(rig.letters().current)]);
            QVERIFY(dot.adjusted(-1, -1, 1, 1).contains(mid));
            QVERIFY(dot.width() <= canvasOf(rig)->textHeight(QStringLiteral("A")));
        }
    }

    // A small font would lay out more blocks than the tables hold: the grid is cut to fit, and
    // the run ticks through it.
    void blockGridKeepsToTheTables()
    {
        ExerciseRig rig(globalScale());
        setUpText(rig, 1, 1);
        rig.settings.lines = 1;
        rig.settings.letters = 4;
        rig.settings.font.name = QStringLiteral("DejaVu Sans Mono");
        rig.settings.font.size = 5;
        rig.start(2);
        QVERIFY(rig.letters().blocksLaidOut > 0);
        QVERIFY(rig.letters().blocksLaidOut <= 800);
        QVERIFY(rig.letters().orderLength <= 800);
        for (int k = 0; k < 5; ++k)
            rig.tick();
        QVERIFY(rig.letters().current >= 1 && rig.letters().current <= rig.letters().orderLength);
    }

    // No grid (a font too large) or no lines (a damaged file): the background stays.
    void blockWithNothingLaidOut_data()
    {
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("size_pt");
        QTest::newRow("font too large") << 5 << 400;
        QTest::newRow("no lines selection") << -1 << 10;
    }
    void blockWithNothingLaidOut()
    {
        QFETCH(int, lines);
        QFETCH(int, size_pt);
        ExerciseRig rig(globalScale());
        setUpText(rig, 1, 2);
        rig.settings.lines = lines + 1;
        rig.settings.font.size = size_pt;
        rig.start(2);
        QCOMPARE(rig.letters().blocksLaidOut, 0);
        for (int k = 0; k < 4; ++k) {
            rig.tick();
            QCOMPARE(countPixels(rig.screenImage(), kBlack), 640 * 480);
        }
    }

    // The same seed and settings give the same letters.
    void sameSeedSameText()
    {
        ExerciseRig rig(globalScale());
        setUpText(rig, 0, 0);
        rig.settings.letterGroups = {true, true, true, false};
        auto run = [&] {
            zrv::setRandSeed(123456789u);
            rig.start(2);
            QStringList texts;
            for (int k = 1; k <= rig.letters().blocksLaidOut; ++k)
                texts << rig.letters().block(k).text[1];
            rig.pressKey(Qt::Key_Escape);
            return texts;
        };
        const QStringList first = run();
        QVERIFY(!first.isEmpty());
        QCOMPARE(run(), first);
    }
};

QTEST_MAIN(TestTextExercises)
#include "test_text_exercises.moc"

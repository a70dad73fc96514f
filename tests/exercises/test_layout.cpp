// Layouts and highlight orders of the Dot, Pyramid and Block exercises.
#include "core/Layout.h"

#include <QList>
#include <QtTest>

using namespace zrv;

namespace
{

constexpr int Sentinel = -7;

OrderTable FreshTable()
{
    OrderTable t;
    t.fill(Sentinel);
    return t;
}

QList<int> Range(int from, int to)
{
    QList<int> r;
    for (int k = from; k <= to; ++k)
        r << k;
    return r;
}

// Checks entries 1..expected.size() and that nothing after them was written.
void CheckTable(const OrderTable& t, const QList<int>& expected)
{
    for (int k = 1; k <= expected.size(); ++k)
        QCOMPARE(t[k], expected[k - 1]);
    for (int k = int(expected.size()) + 1; k <= MaxBloks; ++k)
        QCOMPARE(t[k], Sentinel);
}

// The letter blocks of a layout: the layout index, a letter's height and width in pixels, the
// letters of the first block and its lines.
struct BlockShape {
    int layout, h, w, letters, lines;
};

} // namespace
Q_DECLARE_METATYPE(BlockShape)

class TestLayout : public QObject
{
    Q_OBJECT

  private slots:
    void dotPositions_data();
    void dotPositions();
    void dotOrders_data();
    void dotOrders();

    void pyramidCount_data();
    void pyramidCount();
    void pyramidWorkedLayouts_data();
    void pyramidWorkedLayouts();
    void pyramidOrder_data();
    void pyramidOrder();

    void blockGrid_data();
    void blockGrid();
    void blockCells_data();
    void blockCells();
    void blockPath_data();
    void blockPath();
};

void TestLayout::dotPositions_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");
    QTest::newRow("1 outer top left") << 1 << true << 32 << 24;
    QTest::newRow("2 outer top right") << 2 << true << 608 << 24;
    QTest::newRow("3 outer bottom right") << 3 << true << 608 << 456;
    QTest::newRow("4 outer bottom left") << 4 << true << 32 << 456;
    QTest::newRow("5 inner bottom right") << 5 << true << 448 << 336;
    QTest::newRow("6 inner top right") << 6 << true << 448 << 144;
    QTest::newRow("7 inner top left") << 7 << true << 192 << 144;
    QTest::newRow("8 inner bottom left") << 8 << true << 192 << 336;
    QTest::newRow("0") << 0 << false << 0 << 0;
    QTest::newRow("9") << 9 << false << 0 << 0;
    QTest::newRow("-1") << -1 << false << 0 << 0;
}

void TestLayout::dotPositions()
{
    QFETCH(int, position);
    QFETCH(bool, valid);
    QFETCH(int, x);
    QFETCH(int, y);
    int column = 99, row = 99;
    QCOMPARE(zrv::dotPositionCell(position, &column, &row), valid);
    if (!valid) {
        QCOMPARE(column, 99);
        QCOMPARE(row, 99);
        return;
    }
    QCOMPARE(DotColumnsInit[column], x);
    QCOMPARE(DotRowsInit[row], y);
    // The grid sits at 5, 30, 70 and 95 per cent of the screen.
    QCOMPARE(DotColumnsInit[column] * 100 % 640, 0);
    QCOMPARE(DotRowsInit[row] * 100 % 480, 0);
}

void TestLayout::dotOrders_data()
{
    QTest::addColumn<int>("tipIndex");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QList<int>>("order");
    QTest::addColumn<int>("passive");
    QTest::newRow("1 2 3 4") << 0 << true << QList<int>{1, 2, 3, 4, 1, 2, 3, 4} << 4;
    QTest::newRow("1 2 4 3") << 1 << true << QList<int>{1, 2, 4, 3, 1, 2, 4, 3} << 4;
    QTest::newRow("1 4 2 3") << 2 << true << QList<int>{1, 4, 2, 3, 1, 4, 2, 3} << 4;
    QTest::newRow("1 2 4 3 5 8 6 7") << 3 << true << QList<int>{1, 2, 4, 3, 5, 8, 6, 7} << 8;
    QTest::newRow("1 4 2 3 5 6 8 7") << 4 << true << QList<int>{1, 4, 2, 3, 5, 6, 8, 7} << 8;
    QTest::newRow("index 5") << 5 << false << QList<int>{} << 4;
    QTest::newRow("no selection") << -1 << false << QList<int>{} << 4;
}

void TestLayout::dotOrders()
{
    QFETCH(int, tipIndex);
    QFETCH(bool, valid);
    QFETCH(QList<int>, order);
    QFETCH(int, passive);
    std::array<int, 9> table{0, 9, 9, 9, 9, 9, 9, 9, 9};
    QCOMPARE(zrv::dotOrderFor(tipIndex, &table), valid);
    QCOMPARE(zrv::dotPassiveCount(tipIndex), passive);
    for (int k = 1; k <= 8; ++k)
        QCOMPARE(table[k], valid ? order[k - 1] : 9); // an invalid index keeps the old order
}

void TestLayout::pyramidCount_data()
{
    QTest::addColumn<BlockShape>("shape");
    QTest::addColumn<int>("n");
    // Üçgen: (480 div h) div (lines + 1); Tek Satır: (320 div w) - letters - 2.
    QTest::newRow("triangle h16 1 line") << BlockShape{0, 16, 8, 4, 1} << 480 / 16 / 2;
    QTest::newRow("triangle h13 3 lines") << BlockShape{0, 13, 8, 4, 3} << 480 / 13 / 4;
    QTest::newRow("triangle h70 6 lines: none") << BlockShape{0, 70, 8, 4, 6} << 0;
    QTest::newRow("triangle h1 1 line: most") << BlockShape{0, 1, 1, 4, 1} << 240;
    QTest::newRow("triangle h0 taken as 1") << BlockShape{0, 0, 8, 4, 1} << 240;
    QTest::newRow("triangle lines -1") << BlockShape{0, 16, 8, 4, -1} << 0;
    QTest::newRow("one line w8 4 letters") << BlockShape{1, 16, 8, 4, 1} << 320 / 8 - 4 - 2;
    QTest::newRow("one line w10 30 letters: none") << BlockShape{1, 16, 10, 30, 1} << 0;
    QTest::newRow("one line w10 31 letters: negative") << BlockShape{1, 16, 10, 31, 1} << -1;
    QTest::newRow("one line w1: most") << BlockShape{1, 16, 1, 4, 1} << 314;
    QTest::newRow("one line w0 taken as 1") << BlockShape{1, 16, 0, 4, 1} << 314;
    QTest::newRow("one line never above 800") << BlockShape{1, 16, 1, -1000, 1} << MaxBloks;
    QTest::newRow("layout 2") << BlockShape{2, 16, 8, 4, 1} << 0;
    QTest::newRow("no layout selection") << BlockShape{-1, 16, 8, 4, 1} << 0;
}

void TestLayout::pyramidCount()
{
    QFETCH(BlockShape, shape);
    const auto [layout, h, w, letters, lines] = shape;
    QFETCH(int, n);
    QCOMPARE(zrv::pyramidCount(layout, h, w, letters, lines), n);
}

void TestLayout::pyramidWorkedLayouts_data()
{
    QTest::addColumn<BlockShape>("shape");
    QTest::addColumn<int>("n");
    QTest::addColumn<int>("slot"); // distance between tops; 0: all at one place
    QTest::addColumn<int>("firstTop");
    QTest::addColumn<int>("lastTop");
    QTest::addColumn<int>("lastLetters");
    QTest::newRow("triangle h16 1 line") << BlockShape{0, 16, 8, 4, 1} << 15 << 32 << 0 << 448 << 32;
    QTest::newRow("triangle h20 2 lines") << BlockShape{0, 20, 9, 10, 2} << 8 << 60 << 0 << 420 << 24;
    QTest::newRow("one line w8 h16 4 letters") << BlockShape{1, 16, 8, 4, 1} << 34 << 0 << 232 << 232 << 70;
    QTest::newRow("one line h15 3 lines") << BlockShape{1, 15, 10, 6, 3} << 24 << 0 << 218 << 218 << 52;
}

void TestLayout::pyramidWorkedLayouts()
{
    QFETCH(BlockShape, shape);
    const auto [layout, h, w, letters, lines] = shape;
    QFETCH(int, n);
    QFETCH(int, slot);
    QFETCH(int, firstTop);
    QFETCH(int, lastTop);
    QFETCH(int, lastLetters);
    QCOMPARE(zrv::pyramidCount(layout, h, w, letters, lines), n);
    for (int i = 1; i <= n; ++i) {
        QCOMPARE(zrv::pyramidLetters(i, letters), letters + 2 * (i - 1));
        QCOMPARE(zrv::pyramidTop(layout, i, h, lines), firstTop + slot * (i - 1));
    }
    QCOMPARE(zrv::pyramidTop(layout, n, h, lines), lastTop);
    QCOMPARE(zrv::pyramidLetters(n, letters), lastLetters);
    // Every block lies wholly on the screen vertically.
    QVERIFY(lastTop + lines * h <= 480);
}

void TestLayout::pyramidOrder_data()
{
    QTest::addColumn<int>("n");
    QTest::addColumn<int>("direction");
    QTest::addColumn<QList<int>>("written");
    QTest::addColumn<int>("length");
    QTest::newRow("n1 one way") << 1 << 0 << QList<int>{1} << 1;
    // The tick's wrap test sends Current back to 1, so entry 1 must still name block 1.
    QTest::newRow("n1 both ways") << 1 << 1 << QList<int>{1} << 0;
    QTest::newRow("n2 both ways") << 2 << 1 << QList<int>{1, 2} << 2;
    QTest::newRow("n4 one way") << 4 << 0 << QList<int>{1, 2, 3, 4} << 4;
    QTest::newRow("n4 both ways") << 4 << 1 << QList<int>{1, 2, 3, 4, 3, 2} << 6;
    QTest::newRow("n3 no direction selection") << 3 << -1 << QList<int>{1, 2, 3} << 3;
    QTest::newRow("n3 direction 2") << 3 << 2 << QList<int>{1, 2, 3} << 3;
    QTest::newRow("n0") << 0 << 0 << QList<int>{} << 0;
    QTest::newRow("n0 both ways") << 0 << 1 << QList<int>{} << 0;
    QTest::newRow("n negative") << -5 << 1 << QList<int>{} << 0;
    QTest::newRow("n314 both ways") << 314 << 1 << (Range(1, 314) + Range(-313, -2)) << 626;
    QTest::newRow("n800 one way") << 800 << 0 << Range(1, 800) << 800;
    QTest::newRow("n900 one way capped") << 900 << 0 << Range(1, 800) << 800;
    QTest::newRow("n500 both ways capped") << 500 << 1 << (Range(1, 401) + Range(-400, -2)) << 800;
}

void TestLayout::pyramidOrder()
{
    QFETCH(int, n);
    QFETCH(int, direction);
    QFETCH(QList<int>, written);
    QFETCH(int, length);
    for (int& v : written)
        v = v < 0 ? -v : v; // negative Range entries stand for the way back
    OrderTable t = FreshTable();
    QCOMPARE(zrv::pyramidOrder(n, direction, &t), length);
    CheckTable(t, written);
    QCOMPARE(t[0], Sentinel);
}

void TestLayout::blockGrid_data()
{
    QTest::addColumn<BlockShape>("shape");
    QTest::addColumn<int>("direction");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("cols");
    QTest::newRow("separate worked") << BlockShape{0, 16, 8, 8, 2} << 0 << 30 / 3 << 80 / 9;
    QTest::newRow("touching worked") << BlockShape{1, 16, 8, 8, 2} << 1 << 30 / 2 << 80 / 8;
    // 40 x 22 = 880 blocks do not fit: keep 800 div 22 = 36 rows.
    QTest::newRow("880 blocks capped") << BlockShape{1, 12, 7, 4, 1} << 0 << 36 << 22;
    QTest::newRow("880 blocks capped zigzag") << BlockShape{1, 12, 7, 4, 1} << 2 << 36 << 22;
    QTest::newRow("480 rows one column") << BlockShape{1, 1, 20, 32, 1} << 0 << 480 << 1;
    QTest::newRow("480 rows zigzag capped") << BlockShape{1, 1, 20, 32, 1} << 2 << 400 << 1;
    QTest::newRow("h0 w0 taken as 1") << BlockShape{0, 0, 0, 4, 1} << 1 << 800 / 128 << 640 / 5;
    QTest::newRow("huge font") << BlockShape{0, 500, 300, 4, 1} << 0 << 0 << 0;
    QTest::newRow("no column (w20 36 letters)") << BlockShape{0, 16, 20, 36, 1} << 2 << 0 << 0;
    QTest::newRow("no row (h100 6 lines)") << BlockShape{1, 100, 8, 4, 6} << 2 << 0 << 0;
    QTest::newRow("lines 0 touching") << BlockShape{1, 16, 8, 8, 0} << 0 << 0 << 0;
    QTest::newRow("letters 0 touching") << BlockShape{1, 16, 8, 0, 2} << 0 << 0 << 0;
    QTest::newRow("layout 2") << BlockShape{2, 16, 8, 8, 2} << 0 << 0 << 0;
    QTest::newRow("no layout selection") << BlockShape{-1, 16, 8, 8, 2} << 0 << 0 << 0;
}

void TestLayout::blockGrid()
{
    QFETCH(BlockShape, shape);
    const auto [layout, h, w, letters, lines] = shape;
    QFETCH(int, direction);
    QFETCH(int, rows);
    QFETCH(int, cols);
    const BlockGrid g = zrv::blockGridFor(layout, direction, h, w, letters, lines);
    QCOMPARE(g.rows, rows);
    QCOMPARE(g.cols, cols);
    QVERIFY(g.rows * g.cols <= MaxBloks);

    OrderTable t = FreshTable();
    const int length = zrv::blockPath(g, direction, &t);
    QCOMPARE(length, rows == 0 ? 0 : direction == 2 ? 2 * rows : rows * cols);
    for (int k = 1; k <= length; ++k)
        QVERIFY(t[k] >= 1 && t[k] <= rows * cols);
}

void TestLayout::blockCells_data()
{
    QTest::addColumn<BlockShape>("shape");
    QTest::addColumn<int>("cellWidth");
    QTest::addColumn<int>("cellHeight");
    QTest::newRow("separate worked") << BlockShape{0, 16, 8, 8, 2} << 72 << 48;
    QTest::newRow("touching worked") << BlockShape{1, 16, 8, 8, 2} << 64 << 32;
    QTest::newRow("separate odd cell") << BlockShape{0, 13, 7, 4, 3} << 35 << 52;
    QTest::newRow("touching odd cell") << BlockShape{1, 13, 7, 5, 3} << 35 << 39;
}

void TestLayout::blockCells()
{
    QFETCH(BlockShape, shape);
    const auto [layout, h, w, letters, lines] = shape;
    QFETCH(int, cellWidth);
    QFETCH(int, cellHeight);
    const BlockGrid g = zrv::blockGridFor(layout, 0, h, w, letters, lines);
    QCOMPARE(g.rows, 480 / cellHeight);
    QCOMPARE(g.cols, 640 / cellWidth);
    for (int j = 1; j <= g.cols; ++j)
        QCOMPARE(zrv::blockCenterX(layout, j, w, letters), cellWidth * (j - 1) + cellWidth / 2);
    for (int i = 1; i <= g.rows; ++i)
        QCOMPARE(zrv::blockTop(layout, i, h, lines), cellHeight * (i - 1));
    // The grid starts at the top left and stays on the screen.
    QVERIFY(zrv::blockCenterX(layout, g.cols, w, letters) + (cellWidth + 1) / 2 <= 640);
    QVERIFY(zrv::blockTop(layout, g.rows, h, lines) + lines * h <= 480);
}

void TestLayout::blockPath_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("cols");
    QTest::addColumn<int>("direction");
    QTest::addColumn<QList<int>>("path");
    QTest::newRow("3x4 down") << 3 << 4 << 0 << Range(1, 12);
    QTest::newRow("3x4 across") << 3 << 4 << 1 << QList<int>{1, 4, 7, 10, 2, 5, 8, 11, 3, 6, 9, 12};
    QTest::newRow("3x4 zigzag") << 3 << 4 << 2 << QList<int>{1, 10, 2, 11, 3, 12};
    QTest::newRow("one row down") << 1 << 5 << 0 << Range(1, 5);
    QTest::newRow("one row across") << 1 << 5 << 1 << Range(1, 5);
    QTest::newRow("one row zigzag") << 1 << 5 << 2 << QList<int>{1, 5};
    QTest::newRow("one column across") << 4 << 1 << 1 << Range(1, 4);
    QTest::newRow("one column zigzag") << 4 << 1 << 2 << QList<int>{1, 1, 2, 2, 3, 3, 4, 4};
    QTest::newRow("single block down") << 1 << 1 << 0 << QList<int>{1};
    QTest::newRow("single block zigzag") << 1 << 1 << 2 << QList<int>{1, 1};
    QTest::newRow("40x20 across, full table") << 40 << 20 << 1 << QList<int>{}; // built in the test
    QTest::newRow("empty grid") << 0 << 0 << 0 << QList<int>{};
    QTest::newRow("rows but no columns zigzag") << 3 << 0 << 2 << QList<int>{};
    QTest::newRow("no path selection") << 3 << 4 << -1 << QList<int>{};
    QTest::newRow("path 3") << 3 << 4 << 3 << QList<int>{};
    QTest::newRow("grid too large") << 2 << 401 << 0 << QList<int>{};
    QTest::newRow("zigzag too long") << 401 << 1 << 2 << QList<int>{};
}

void TestLayout::blockPath()
{
    QFETCH(int, rows);
    QFETCH(int, cols);
    QFETCH(int, direction);
    QFETCH(QList<int>, path);
    const BlockGrid g{rows, cols};
    if (rows == 40) { // a full 800-entry row-by-row path, built here from the numbering
        for (int i = 1; i <= rows; ++i)
            for (int j = 1; j <= cols; ++j)
                path << (j - 1) * rows + i;
    }
    OrderTable t = FreshTable();
    QCOMPARE(zrv::blockPath(g, direction, &t), int(path.size()));
    CheckTable(t, path);
    QCOMPARE(t[0], Sentinel);
}

QTEST_MAIN(TestLayout)
#include "test_layout.moc"

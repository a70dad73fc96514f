#include "core/Letterbox.h"

#include <QTest>
#include <vector>

class TestLetterbox : public QObject
{
    Q_OBJECT
  private slots:
    void letterboxRect_data();
    void letterboxRect();
    void axisMapping_data();
    void axisMapping();
    void mappedRectanglesTile();
};

void TestLetterbox::letterboxRect_data()
{
    QTest::addColumn<QSize>("frame");
    QTest::addColumn<QSize>("window");
    QTest::addColumn<QRect>("expected");
    const QSize f(640, 480);
    QTest::newRow("same size") << f << QSize(640, 480) << QRect(0, 0, 640, 480);
    QTest::newRow("full HD: bars left and right") << f << QSize(1920, 1080) << QRect(240, 0, 1440, 1080);
    QTest::newRow("5:4: bars above and below") << f << QSize(1280, 1024) << QRect(0, 32, 1280, 960);
    QTest::newRow("exact 4:3, larger") << f << QSize(1600, 1200) << QRect(0, 0, 1600, 1200);
    QTest::newRow("WXGA, odd bar") << f << QSize(1366, 768) << QRect(171, 0, 1024, 768);
    QTest::newRow("HiDPI 2560x1600") << f << QSize(2560, 1600) << QRect(213, 0, 2133, 1600);
    QTest::newRow("portrait") << f << QSize(1080, 1920) << QRect(0, 555, 1080, 810);
    QTest::newRow("smaller than the frame") << f << QSize(320, 480) << QRect(0, 120, 320, 240);
    QTest::newRow("one pixel") << f << QSize(1, 1) << QRect(0, 0, 1, 1);
    QTest::newRow("thin line keeps a pixel") << f << QSize(1000, 1) << QRect(499, 0, 1, 1);
    QTest::newRow("empty window") << f << QSize(0, 0) << QRect();
    QTest::newRow("zero width") << f << QSize(0, 600) << QRect();
    QTest::newRow("negative") << f << QSize(-5, 600) << QRect();
    QTest::newRow("empty frame") << QSize(0, 0) << QSize(800, 600) << QRect();
    QTest::newRow("huge window") << f << QSize(1 << 30, 1 << 30) << QRect(0, 1 << 27, 1 << 30, 3 << 28);
}

void TestLetterbox::letterboxRect()
{
    QFETCH(QSize, frame);
    QFETCH(QSize, window);
    QFETCH(QRect, expected);
    const QRect r = zrv::letterboxRect(frame, window);
    QCOMPARE(r, expected);
    if (!r.isEmpty()) {
        QVERIFY(QRect(QPoint(0, 0), window).contains(r));
        // Centred: the bars on either side differ by at most one pixel.
        QVERIFY(qAbs(r.left() - (window.width() - r.right() - 1)) <= 1);
        QVERIFY(qAbs(r.top() - (window.height() - r.bottom() - 1)) <= 1);
        // Fills one direction completely.
        QVERIFY(r.width() == window.width() || r.height() == window.height());
    }
}

void TestLetterbox::axisMapping_data()
{
    QTest::addColumn<int>("source");
    QTest::addColumn<int>("target");
    QTest::newRow("1:1") << 640 << 640;
    QTest::newRow("x2") << 480 << 960;
    QTest::newRow("x2.25") << 480 << 1080;
    QTest::newRow("x1.25") << 640 << 800;
    QTest::newRow("odd 2133") << 640 << 2133;
    QTest::newRow("down 0.5") << 640 << 320;
    QTest::newRow("down odd") << 480 << 311;
    QTest::newRow("to one") << 640 << 1;
}

// Every target pixel shows the source pixel under its centre, the edges agree with it, and the
// target pixels of source pixel s are exactly [targetEdgeOf(s), targetEdgeOf(s + 1)).
void TestLetterbox::axisMapping()
{
    QFETCH(int, source);
    QFETCH(int, target);
    QCOMPARE(zrv::targetEdgeOf(0, source, target), 0);
    QCOMPARE(zrv::targetEdgeOf(source, source, target), target);
    int previous = -1;
    for (int t = 0; t < target; ++t) {
        const int s = zrv::sourcePixelOf(t, source, target);
        QVERIFY(s >= 0 && s < source);
        QVERIFY(s >= previous); // monotonic
        previous = s;
        const double centre = (t + 0.5) * source / target;
        QCOMPARE(s, int(centre));
        QVERIFY2(zrv::targetEdgeOf(s, source, target) <= t && t < zrv::targetEdgeOf(s + 1, source, target),
                 qPrintable(QStringLiteral("t=%1 s=%2").arg(t).arg(s)));
    }
    // Enlarging shows every source pixel, each by the whole or the whole plus one of the scale.
    if (target >= source) {
        for (int s = 0; s < source; ++s) {
            const int n = zrv::targetEdgeOf(s + 1, source, target) - zrv::targetEdgeOf(s, source, target);
            QVERIFY(n == target / source || n == target / source + 1);
        }
    }
}

// Rectangles that tile the frame map to rectangles that tile the letterbox: partial updates
// meet without gaps or overlaps.
void TestLetterbox::mappedRectanglesTile()
{
    const QSize frame(640, 480);
    for (const QSize window : {QSize(1920, 1080), QSize(1280, 1024), QSize(1366, 768), QSize(800, 600)}) {
        const QRect target = zrv::letterboxRect(frame, window);
        QCOMPARE(zrv::mapFrameRect(QRect(QPoint(0, 0), frame), frame, target), target);
        std::vector<int> cover(size_t(window.width() * window.height()), 0);
        for (int y = 0; y < 480; y += 37)
            for (int x = 0; x < 640; x += 53) {
                const QRect mapped = zrv::mapFrameRect(QRect(x, y, 53, 37), frame, target);
                for (int j = mapped.top(); j <= mapped.bottom(); ++j)
                    for (int i = mapped.left(); i <= mapped.right(); ++i)
                        ++cover[size_t(j * window.width() + i)];
            }
        int wrong = 0;
        for (int j = 0; j < window.height(); ++j)
            for (int i = 0; i < window.width(); ++i)
                wrong += cover[size_t(j * window.width() + i)] != (target.contains(i, j) ? 1 : 0);
        QCOMPARE(wrong, 0);
    }
    QCOMPARE(zrv::mapFrameRect(QRect(700, 0, 10, 10), frame, QRect(0, 0, 800, 600)), QRect());
    QCOMPARE(zrv::mapFrameRect(QRect(-10, -10, 20, 20), frame, QRect(0, 0, 640, 480)), QRect(0, 0, 10, 10));
}

QTEST_MAIN(TestLetterbox)
#include "test_letterbox.moc"

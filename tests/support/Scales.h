#pragma once

#include <QTest>

// Every test of a frame runs at 640 x 480 and at a scale that is not a whole number (a
// 1920 x 1080 screen): addScales() in initTestCase_data(), globalScale() in the test.
inline void addScales()
{
    QTest::addColumn<double>("scale");
    QTest::newRow("640x480") << 1.0;
    QTest::newRow("scale 2.25") << 2.25;
}

inline double globalScale()
{
    QFETCH_GLOBAL(double, scale);
    return scale;
}

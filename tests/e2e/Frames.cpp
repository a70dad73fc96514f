#include "Frames.h"

#include <algorithm>

namespace e2e
{
namespace
{
QRect Area(const QImage& image, QRect area)
{
    return area.isNull() ? image.rect() : (area & image.rect());
}

// The screen pixel whose centre lies nearest the centre of frame pixel s (scaling up).
int ScreenPixelOf(int s, int frameLength, int boxLength)
{
    return std::clamp(int(((2 * qint64(s) + 1) * boxLength) / (2 * qint64(frameLength))), 0, boxLength - 1);
}

// The frame pixel under the centre of screen pixel t.
int FramePixelOf(int t, int frameLength, int boxLength)
{
    return std::clamp(int(((2 * qint64(t) + 1) * frameLength) / (2 * qint64(boxLength))), 0, frameLength - 1);
}
} // namespace

QRect FrameBox(QSize screen)
{
    // As wide as the screen when the screen is relatively taller than 4:3, else as tall.
    if (qint64(screen.width()) * 3 <= qint64(screen.height()) * 4) {
        const int h = int((qint64(screen.width()) * 3 * 2 + 4) / 8); // width * 3/4, rounded
        return QRect(0, (screen.height() - h) / 2, screen.width(), h);
    }
    const int w = int((qint64(screen.height()) * 4 * 2 + 3) / 6); // height * 4/3, rounded
    return QRect((screen.width() - w) / 2, 0, w, screen.height());
}

QImage FrameOf(const QImage& shot, QRect box)
{
    QImage frame(kFrameSize, QImage::Format_RGB32);
    for (int y = 0; y < kFrameSize.height(); ++y) {
        const int sy = box.top() + ScreenPixelOf(y, kFrameSize.height(), box.height());
        const auto* in = reinterpret_cast<const QRgb*>(shot.constScanLine(sy));
        auto* out = reinterpret_cast<QRgb*>(frame.scanLine(y));
        for (int x = 0; x < kFrameSize.width(); ++x)
            out[x] = in[box.left() + ScreenPixelOf(x, kFrameSize.width(), box.width())] | 0xFF000000u;
    }
    return frame;
}

QImage ScreenOf(const QImage& frame, QRect box, QSize screen)
{
    QImage out(screen, QImage::Format_RGB32);
    out.fill(Qt::black);
    for (int y = 0; y < box.height(); ++y) {
        const auto* in =
            reinterpret_cast<const QRgb*>(frame.constScanLine(FramePixelOf(y, 480, box.height())));
        auto* row = reinterpret_cast<QRgb*>(out.scanLine(box.top() + y)) + box.left();
        for (int x = 0; x < box.width(); ++x)
            row[x] = in[FramePixelOf(x, 640, box.width())];
    }
    return out;
}

int Differences(const QImage& a, const QImage& b, QRect area)
{
    if (a.size() != b.size())
        return a.width() * a.height();
    const QRect r = Area(a, area);
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y) {
        const auto* pa = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* pb = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = r.left(); x <= r.right(); ++x)
            n += (pa[x] & 0xFFFFFF) != (pb[x] & 0xFFFFFF);
    }
    return n;
}

QRect ChangedArea(const QImage& a, const QImage& b, QRect area)
{
    if (a.size() != b.size())
        return a.rect();
    const QRect r = Area(a, area);
    QRect changed;
    for (int y = r.top(); y <= r.bottom(); ++y) {
        const auto* pa = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* pb = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = r.left(); x <= r.right(); ++x)
            if ((pa[x] & 0xFFFFFF) != (pb[x] & 0xFFFFFF))
                changed |= QRect(x, y, 1, 1);
    }
    return changed;
}

bool Uniform(const QImage& image, QRect area)
{
    const QRect r = Area(image, area);
    if (r.isEmpty())
        return true;
    const QRgb first = image.pixel(r.topLeft()) & 0xFFFFFF;
    for (int y = r.top(); y <= r.bottom(); ++y) {
        const auto* p = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = r.left(); x <= r.right(); ++x)
            if ((p[x] & 0xFFFFFF) != first)
                return false;
    }
    return true;
}

int Count(const QImage& image, QRgb colour, QRect area)
{
    const QRect r = Area(image, area);
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y) {
        const auto* p = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = r.left(); x <= r.right(); ++x)
            n += (p[x] & 0xFFFFFF) == (colour & 0xFFFFFF);
    }
    return n;
}

} // namespace e2e

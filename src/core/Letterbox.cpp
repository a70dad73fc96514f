#include "core/Letterbox.h"

#include <algorithm>
#include <cmath>

namespace zrv
{
namespace
{
// Rounds a / b (b > 0) to the nearest whole number, halves up.
qint64 roundedDiv(qint64 a, qint64 b)
{
    return (2 * a + b) / (2 * b);
}

// The smallest integer not below a / b (b > 0).
qint64 ceilDiv(qint64 a, qint64 b)
{
    return a >= 0 ? (a + b - 1) / b : -((-a) / b);
}
} // namespace

QRect letterboxRect(QSize frame, QSize window)
{
    if (frame.isEmpty() || window.isEmpty())
        return {};
    const qint64 fw = frame.width(), fh = frame.height();
    const qint64 ww = window.width(), wh = window.height();
    qint64 w = ww, h = wh;
    if (ww * fh > wh * fw)
        w = std::clamp<qint64>(roundedDiv(wh * fw, fh), 1, ww); // bars left and right
    else
        h = std::clamp<qint64>(roundedDiv(ww * fh, fw), 1, wh); // bars above and below
    return QRect(int((ww - w) / 2), int((wh - h) / 2), int(w), int(h));
}

int sourcePixelOf(int t, int sourceLength, int targetLength)
{
    if (sourceLength <= 0 || targetLength <= 0)
        return 0;
    // The centre of target pixel t, (t + 1/2) * source / target, floored.
    const qint64 s = ((2 * qint64(t) + 1) * sourceLength) / (2 * qint64(targetLength));
    return int(std::clamp<qint64>(s, 0, sourceLength - 1));
}

int targetEdgeOf(int s, int sourceLength, int targetLength)
{
    if (sourceLength <= 0 || targetLength <= 0)
        return 0;
    // The smallest t with (2t + 1) * source >= 2 * s * target.
    const qint64 t = ceilDiv(2 * qint64(s) * targetLength - sourceLength, 2 * qint64(sourceLength));
    return int(std::clamp<qint64>(t, 0, targetLength));
}

QRect mapFrameRect(const QRect& source, QSize frame, const QRect& target)
{
    const QRect clipped = source & QRect(QPoint(0, 0), frame);
    if (clipped.isEmpty() || target.isEmpty())
        return {};
    const int x0 = targetEdgeOf(clipped.left(), frame.width(), target.width());
    const int x1 = targetEdgeOf(clipped.right() + 1, frame.width(), target.width());
    const int y0 = targetEdgeOf(clipped.top(), frame.height(), target.height());
    const int y1 = targetEdgeOf(clipped.bottom() + 1, frame.height(), target.height());
    if (x1 <= x0 || y1 <= y0)
        return {};
    return QRect(target.x() + x0, target.y() + y0, x1 - x0, y1 - y0);
}

qint64 deviceEdgeOf(qint64 v, double scale)
{
    return qint64(std::floor(double(v) * scale + 0.5));
}

QSize deviceSizeOf(QSize frame, double scale)
{
    return QSize(int(std::max<qint64>(deviceEdgeOf(frame.width(), scale), 1)),
                 int(std::max<qint64>(deviceEdgeOf(frame.height(), scale), 1)));
}

QRect deviceRectOf(const QRect& r, double scale)
{
    if (r.isEmpty())
        return {};
    const qint64 l = deviceEdgeOf(r.left(), scale), t = deviceEdgeOf(r.top(), scale);
    const qint64 w = deviceEdgeOf(qint64(r.right()) + 1, scale) - l;
    const qint64 h = deviceEdgeOf(qint64(r.bottom()) + 1, scale) - t;
    if (w <= 0 || h <= 0)
        return {};
    return QRect(int(l), int(t), int(w), int(h));
}

double frameScaleFor(QSize frame, QSize device)
{
    if (frame.isEmpty() || device.isEmpty())
        return 0;
    return std::min(double(device.width()) / frame.width(), double(device.height()) / frame.height());
}

} // namespace zrv
